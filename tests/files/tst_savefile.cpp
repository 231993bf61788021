// Writing a file whole or not at all: whatever fails (a full disk, a missing
// folder, a writer that gives up), the old file stays as it was and nothing
// is left beside it.

#include "files/savefile.h"
#include "support/faults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void wholeOrNothing_data();
    void wholeOrNothing();
    void textIsUtf8WithoutMark();
};

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestSaveFile::wholeOrNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("none") << "none";
    // Less than a buffer: written through one, it would fail only at the flush.
    QTest::newRow("full disk") << "full disk";
    QTest::newRow("missing folder") << "missing folder";
    QTest::newRow("writer gives up") << "cancelled";
}

void TestSaveFile::wholeOrNothing()
{
    QFETCH(QString, fault);
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<Faults::SmallDisk> disk;
    if (fault == QLatin1String("full disk")) {
        disk = std::make_unique<Faults::SmallDisk>(folder, 64);
        if (!disk->isMounted())
            QSKIP("needs root to mount a small tmpfs");
    }
    const QString path = folder + QStringLiteral("/file.bin");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old content") == 11);
    }
    if (disk)
        disk->fill();
    const QStringList before = QDir(folder).entryList(QDir::Files);
    const QByteArray data(8 * 1024, 'n');

    QString error;
    bool saved = false;
    if (fault == QLatin1String("cancelled")) {
        SaveFile file(path);
        QVERIFY(file.open() && file.write(data));
        file.cancel();
        QVERIFY(!file.commit());
    } else {
        saved = saveFile(fault == QLatin1String("missing folder") ? root.filePath(QStringLiteral("no/file.bin")) : path,
                         data, &error);
    }
    QCOMPARE(saved, fault == QLatin1String("none"));
    QCOMPARE(error.isEmpty(), saved || fault == QLatin1String("cancelled"));
    QCOMPARE(readFile(path), saved ? data : QByteArray("old content"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), before);
}

void TestSaveFile::textIsUtf8WithoutMark()
{
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("page.html"));
    QVERIFY(saveTextFile(path, QStringLiteral("<p>中文</p>\n<p>b</p>\n")));
#ifdef Q_OS_WIN
    QCOMPARE(readFile(path), QByteArray("<p>\xE4\xB8\xAD\xE6\x96\x87</p>\r\n<p>b</p>\r\n"));
#else
    QCOMPARE(readFile(path), QByteArray("<p>\xE4\xB8\xAD\xE6\x96\x87</p>\n<p>b</p>\n"));
#endif
}

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
