#include "backup/backupstore.h"
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
    QTest::newRow("srcpath only") << QByteArray("{\"srcpath\":\"/a.md\"}") << int(BackupContent::Ok)
                                  << QString() << QStringLiteral("/a.md");
    QTest::newRow("number as markdown") << QByteArray("{\"markdown\":42,\"srcpath\":[1]}")
                                        << int(BackupContent::Ok) << QString() << QString();
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

QTEST_MAIN(TestBackupStore)
#include "tst_backupstore.moc"
