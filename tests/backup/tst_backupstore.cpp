#include "backup/backupstore.h"
#include "support/faults.h"
#include "support/guitest.h"

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using GuiTest::writeFile;

class TestBackupStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void fileNames();
    void contentIsOneCompactUtf8Line();
    void recoveryListOrder();
    void readStatuses_data();
    void readStatuses();
    void eachWindowHoldsItsOwnBackup();
    void fullDiskKeepsThePreviousBackup();

private:
    std::unique_ptr<QTemporaryDir> home;
    QString dir;
};

void TestBackupStore::initTestCase()
{
    home = GuiTest::isolate();
}

void TestBackupStore::init()
{
    dir = home->path() + QStringLiteral("/backup");
    QDir(dir).removeRecursively();
    QVERIFY(QDir().mkpath(dir));
}

void TestBackupStore::fileNames()
{
    const QDateTime when(QDate(2026, 12, 6), QTime(14, 7, 0, 123));
    QCOMPARE(BackupStore::makeFileName(QStringLiteral("notes.md"), when),
             QStringLiteral("notes.md-2026-12-06_140700123"));
    QCOMPARE(BackupStore::makeFileName(QString(), when), QStringLiteral("untitled-2026-12-06_140700123"));
    // The default folder is this program's per-user data folder.
    QVERIFY(BackupStore::defaultDir().endsWith(QStringLiteral("/backup")));
    QVERIFY(BackupStore::defaultDir().contains(QStringLiteral("Veltrane")));
}

void TestBackupStore::contentIsOneCompactUtf8Line()
{
    const QByteArray data = BackupStore::serialize(QStringLiteral("# 标题\n\n\"quoted\" text\n"),
                                                   QStringLiteral("/home/me/笔记.md"));
    const QByteArray expected = QStringLiteral("{\"markdown\":\"# 标题\\n\\n\\\"quoted\\\" text\\n\","
                                               "\"srcpath\":\"/home/me/笔记.md\"}").toUtf8();
    QCOMPARE(data, expected);
    QVERIFY(!data.startsWith("\xEF\xBB\xBF"));
}

void TestBackupStore::recoveryListOrder()
{
    QVERIFY(BackupStore::listForRecovery(dir + QStringLiteral("/missing")).isEmpty());
    for (const char *name : {"untitled-2026-01-01_000000000", "Zeta.md-2026", "notes.md-2026", ".hidden"})
        QVERIFY(writeFile(dir + QLatin1Char('/') + QLatin1String(name), "{}"));
    QVERIFY(QDir().mkpath(dir + QStringLiteral("/a-folder")));
    QVERIFY(QFile::link(dir + QStringLiteral("/notes.md-2026"), dir + QStringLiteral("/a-link")));

    QStringList names;
    for (const QFileInfo &info : BackupStore::listForRecovery(dir))
        names << info.fileName();
    QCOMPARE(names, (QStringList{QStringLiteral("notes.md-2026"), QStringLiteral("untitled-2026-01-01_000000000"),
                                 QStringLiteral("Zeta.md-2026")}));
}

void TestBackupStore::readStatuses_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QString>("srcPath");

    QTest::newRow("both") << QByteArray("{\"markdown\":\"# 你好\\n\",\"srcpath\":\"/a.md\"}")
                          << int(BackupContent::Ok) << QStringLiteral("# 你好\n") << QStringLiteral("/a.md");
    QTest::newRow("markdown only") << QByteArray("{\"markdown\":\"x\"}") << int(BackupContent::Ok)
                                   << QStringLiteral("x") << QString();
    // Members of the wrong type, or no text at all: damaged, never an empty text bound to a file.
    QTest::newRow("srcpath only") << QByteArray("{\"srcpath\":\"/a.md\"}") << int(BackupContent::Corrupt)
                                  << QString() << QString();
    QTest::newRow("number as markdown") << QByteArray("{\"markdown\":12345,\"srcpath\":\"/a.md\"}")
                                        << int(BackupContent::Corrupt) << QString() << QString();
    QTest::newRow("array as srcpath") << QByteArray("{\"markdown\":\"x\",\"srcpath\":[1]}")
                                      << int(BackupContent::Corrupt) << QString() << QString();
    QTest::newRow("neither member") << QByteArray("{\"other\":\"x\"}") << int(BackupContent::Corrupt)
                                    << QString() << QString();
    QTest::newRow("array") << QByteArray("[\"markdown\"]") << int(BackupContent::NotObject) << QString()
                           << QString();
    QTest::newRow("garbage") << QByteArray("\x01\x02 not json {") << int(BackupContent::Corrupt)
                             << QString() << QString();
    QTest::newRow("empty") << QByteArray() << int(BackupContent::Corrupt) << QString() << QString();
    QTest::newRow("cut short") << QByteArray("{\"markdown\":\"hal") << int(BackupContent::Corrupt)
                               << QString() << QString();
}

void TestBackupStore::readStatuses()
{
    QFETCH(QByteArray, data);
    QFETCH(int, status);
    QFETCH(QString, markdown);
    QFETCH(QString, srcPath);
    const QString path = dir + QStringLiteral("/b");
    QVERIFY(writeFile(path, data));
    const BackupContent content = BackupStore::read(path);
    QCOMPARE(int(content.status), status);
    QCOMPARE(content.markdown, markdown);
    QCOMPARE(content.srcPath, srcPath);
    QCOMPARE(int(BackupStore::read(dir + QStringLiteral("/none")).status), int(BackupContent::Unreadable));
}

void TestBackupStore::eachWindowHoldsItsOwnBackup()
{
    // Two windows whose first backups fall in the same millisecond get two files.
    const QDateTime when(QDate(2026, 1, 1), QTime(10, 0));
    auto first = std::make_unique<BackupStore>(dir);
    BackupStore second(dir);
    QVERIFY(first->write(QStringLiteral("first"), QString(), QString(), when));
    QVERIFY(second.write(QStringLiteral("second"), QString(), QString(), when));
    QVERIFY(first->filePath() != second.filePath());
    QVERIFY(QDir(dir).entryList(QDir::Files).size() == 2);

    // While their windows run, neither is offered or taken over.
    QVERIFY(BackupStore::listForRecovery(dir).isEmpty());
    BackupStore third(dir);
    QVERIFY(!third.adopt(first->filePath()));

    // A window gone (closed or killed) leaves its backup to be offered, and to one window only.
    const QString orphan = first->filePath();
    first.reset();
    const QFileInfoList offered = BackupStore::listForRecovery(dir);
    QCOMPARE(offered.size(), 1);
    QCOMPARE(offered.first().filePath(), orphan);
    QVERIFY(third.adopt(orphan));
    QVERIFY(BackupStore::listForRecovery(dir).isEmpty());
    QVERIFY(!BackupStore(dir).adopt(orphan));
}

void TestBackupStore::fullDiskKeepsThePreviousBackup()
{
    Faults::SmallDisk disk(dir, 64);
    if (!disk.isMounted())
        QSKIP("needs root to mount a small tmpfs");
    BackupStore store(dir);
    QVERIFY(store.write(QStringLiteral("first"), QString(), QString()));
    const QByteArray first = GuiTest::readFile(store.filePath());
    disk.fill();
    QVERIFY(!store.write(QString(5000, QLatin1Char('x')), QString(), QString()));
    QCOMPARE(GuiTest::readFile(store.filePath()), first);
}

QTEST_MAIN(TestBackupStore)
#include "tst_backupstore.moc"
