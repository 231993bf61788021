// Writing a document over its file: what the file is (its links, owner, folder)
// survives, and a failure leaves the old content whole. The faults are Unix ones.
// A file's bytes read as text and written back unchanged are the same bytes.

#include "app/documentfile.h"
#include "support/faults.h"
#include "support/guitest.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using GuiTest::readFile;
using GuiTest::writeFile;

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void keepsWhatTheFileIs_data();
    void keepsWhatTheFileIs();
    void textIsWrittenAsItWasRead_data();
    void textIsWrittenAsItWasRead();
};

#ifdef Q_OS_UNIX
namespace {
struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}
} // namespace
#endif

void TestDocumentFile::keepsWhatTheFileIs_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("saved");
    QTest::newRow("hard link") << "hard link" << true;
    QTest::newRow("other owner") << "owner" << true;
    QTest::newRow("folder takes no new file") << "immutable folder" << true;
    QTest::newRow("full disk") << "full" << false;
    QTest::newRow("full disk, hard link") << "full, hard link" << false;
    QTest::newRow("full disk, no room for a copy") << "full, no copy" << false;
}

void TestDocumentFile::keepsWhatTheFileIs()
{
#ifndef Q_OS_UNIX
    QSKIP("hard links, owners and tmpfs are Unix faults");
#else
    QFETCH(QString, fault);
    QFETCH(bool, saved);
    QTemporaryDir root;
    const QString copies = root.filePath(QStringLiteral("copies"));
    QString folder = root.filePath(QStringLiteral("docs"));
    std::unique_ptr<Faults::SmallDisk> disk;
    if (fault.startsWith(QLatin1String("full"))) {
        disk = std::make_unique<Faults::SmallDisk>(folder, 64);
        if (!disk->isMounted())
            QSKIP("needs root to mount a small tmpfs");
    }
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/notes.md");
    const QByteArray old = QByteArray("old content\n").repeated(100);
    QVERIFY(writeFile(path, old));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

    QString otherName;
    if (fault.contains(QLatin1String("hard link"))) {
        otherName = folder + QStringLiteral("/other-name.md");
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()), 0);
    } else if (fault == QLatin1String("owner")) {
        if (!Faults::isRoot())
            QSKIP("needs root to give the file another owner");
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 4321, 4321), 0);
    } else if (fault == QLatin1String("full, no copy")) {
        otherName = folder + QStringLiteral("/other-name.md");
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()), 0);
        qputenv("TMPDIR", folder.toLocal8Bit());
    }
    if (disk)
        disk->fill();
    std::unique_ptr<Faults::Immutable> immutable;
    if (fault == QLatin1String("immutable folder")) {
        immutable = std::make_unique<Faults::Immutable>(folder);
        if (!immutable->isMade())
            QSKIP("needs root and chattr to keep a folder from taking new files");
    }

    const struct stat before = statOf(path);
    const QByteArray data = QByteArray("new content, longer than before\n").repeated(200);
    QString error;
    const bool ok = writeDocumentFile(path, data, fault == QLatin1String("full, no copy") ? folder : copies, &error);
    qunsetenv("TMPDIR");
    immutable.reset();
    QCOMPARE(ok, saved);
    QCOMPARE(error.isEmpty(), saved);
    if (disk && fault != QLatin1String("full, no copy"))
        QVERIFY2(error.startsWith(QLatin1String("No space left on device")), qPrintable(error));

    const struct stat after = statOf(path);
    QCOMPARE(readFile(path), saved ? data : old);
    QCOMPARE(after.st_mode & 07777, before.st_mode & 07777);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    if (!otherName.isEmpty()) {
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(readFile(otherName), readFile(path));
    }
    // Nothing left behind: no temporary file beside it, no copy once the old content is safe.
    QStringList expected{QStringLiteral("notes.md")};
    if (!otherName.isEmpty())
        expected << QStringLiteral("other-name.md");
    if (disk)
        expected << QStringLiteral("filler");
    expected.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
    QVERIFY(QDir(copies).isEmpty());
#endif
}

void TestDocumentFile::textIsWrittenAsItWasRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("old Mac line ends") << QByteArray("# Title\r\rline one\rline two\r")
                                       << QStringLiteral("# Title\n\nline one\nline two\n");
    QTest::newRow("CR within a line") << QByteArray("a\nb\rc\n") << QStringLiteral("a\nb\rc\n");
    QTest::newRow("CR within a CR LF line") << QByteArray("a\r\nb\rc") << QStringLiteral("a\nb\rc");
    QTest::newRow("Latin-1") << QByteArray("Caf\xe9 cr\xe8me\n") << QStringLiteral("Café crème\n");
    QTest::newRow("Windows Western") << QByteArray("\x93quoted\x94 \x80\r\n") << QStringLiteral("“quoted” €\n");
    QTest::newRow("bytes Windows leaves undefined") << QByteArray("\x81\x8d\xe9") << QStringLiteral("\u0081\u008d\u00e9");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\r\n") << QStringLiteral("\uFEFFx\n");
    QTest::newRow("UTF-16 with mark") << QByteArray("\xFF\xFE" "a\0\r\0\n\0\xe9\0", 10) << QStringLiteral("a\né");
}

void TestDocumentFile::textIsWrittenAsItWasRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TextFormat format;
    QCOMPARE(documentText(bytes, &format), text);
    QCOMPARE(documentBytes(text, format), bytes);
    // What the encoding cannot hold is not written as something else.
    const QString typed = text + QStringLiteral("中");
    QCOMPARE(canEncode(typed, format), format.encoding.isEmpty() || format.encoding.startsWith("UTF"));
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
