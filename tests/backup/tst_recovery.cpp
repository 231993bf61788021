// Auto-backup ticks and start-up recovery, driven through a real main window.

#include "app/mainwindow.h"
#include "support/backuptest.h"
#include "support/mainwindowprobe.h"


#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QtTest>

using BackupTest::ModalRecorder;
using BackupTest::readFile;
using BackupTest::writeFile;

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void tickWritesNamedCompactBackup();
    void unmodifiedTickDeletesBackup();
    void failingBackupRetriedAtNextTick();

    void declinedRecoveryKeepsFiles();
    void twoFilesOfferTheFirstByName();
    void markdownOnly();
    void numberAsMarkdown();
    void missingSourceFile();
    void arrayOrGarbageLetStartupGoOn_data();
    void arrayOrGarbageLetStartupGoOn();

private:
    void tick() { QVERIFY(QMetaObject::invokeMethod(window, "autoBackup")); }
    void setModified(bool on) { QVERIFY(QMetaObject::invokeMethod(window, "updateModifyStatus", Q_ARG(bool, on))); }
    QString bodyHtml() { return GuiTest::runJs(page(), QStringLiteral("document.body.innerHTML")).toString(); }
    QWebEnginePage *page() { return probe->ui()->webView->page(); }
    QStringList backupFiles() { return QDir(dir).entryList(QDir::Files); }
    void setSourceMode(bool on) { probe->ui()->stackedWidget->setCurrentIndex(on ? 1 : 0); }

    std::unique_ptr<QTemporaryDir> home;
    MainWindow *window = nullptr;
    std::unique_ptr<MainWindowProbe> probe;
    QString dir;
};

void TestRecovery::initTestCase()
{
    home = GuiTest::isolate();
    window = new MainWindow;
    probe = std::make_unique<MainWindowProbe>(window);
    dir = probe->backupStore().dir;
    QVERIFY(QFileInfo(dir).isDir());
    QCOMPARE(dir, BackupStore::defaultDir());

    // The page asks for its start-up document once; wait for that so the recovery
    // below runs only when the tests call it.
    QSignalSpy startup(&probe->content(), &Content::loadRecentMdSignal);
    window->show();
    QTRY_COMPARE_WITH_TIMEOUT(startup.count(), 1, 30000);
    QTRY_VERIFY(GuiTest::pageReady(page()));
}

void TestRecovery::init()
{
    QDir(dir).removeRecursively();
    QVERIFY(QDir().mkpath(dir));
    BackupStore &store = probe->backupStore();
    store.fileName.clear();
    store.filePath.clear();
    store.pending = false;
    probe->isModified() = false;
    probe->currentFilePath().clear();
    probe->currentFileName().clear();
    setSourceMode(false);
}

void TestRecovery::cleanupTestCase()
{
    probe->isModified() = false;
    probe.reset();
    delete window;
}

void TestRecovery::tickWritesNamedCompactBackup()
{
    setSourceMode(true);
    probe->currentFileName() = QStringLiteral("notes.md");
    probe->currentFilePath() = QStringLiteral("/docs/notes.md");
    probe->ui()->editor->setPlainText(QStringLiteral("# 笔记\n\nline two"));
    setModified(true);
    tick();

    const QStringList files = backupFiles();
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^notes\\.md-\\d{4}-\\d\\d-\\d\\d_\\d{9}$")).match(files.first()).hasMatch(),
             qPrintable(files.first()));
    QCOMPARE(readFile(dir + QLatin1Char('/') + files.first()),
             QStringLiteral("{\"markdown\":\"# 笔记\\n\\nline two\",\"srcpath\":\"/docs/notes.md\"}").toUtf8());
    QCOMPARE(probe->backupStore().fileName, files.first());
    QVERIFY(!probe->backupStore().pending);
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("备份成功"));

    // Nothing pending: the next tick leaves the file alone; a new edit rewrites the same file.
    probe->ui()->editor->setPlainText(QStringLiteral("changed"));
    probe->isModified() = true;
    tick();
    QVERIFY(readFile(dir + QLatin1Char('/') + files.first()).contains("line two"));
    setModified(true);
    tick();
    QCOMPARE(backupFiles(), files);
    QVERIFY(readFile(dir + QLatin1Char('/') + files.first()).contains("\"changed\""));
}

void TestRecovery::unmodifiedTickDeletesBackup()
{
    setSourceMode(true);
    probe->ui()->editor->setPlainText(QStringLiteral("text"));
    setModified(true);
    tick();
    QCOMPARE(backupFiles().size(), 1);

    setModified(false);
    tick();
    QVERIFY(backupFiles().isEmpty());
    QVERIFY(probe->backupStore().filePath.isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("备份已删除"));
}

void TestRecovery::failingBackupRetriedAtNextTick()
{
    setSourceMode(true);
    probe->ui()->editor->setPlainText(QStringLiteral("keep me"));
    QVERIFY(QDir(dir).removeRecursively());
    QVERIFY(writeFile(dir, "a file where the folder was"));
    window->statusBar()->clearMessage();
    setModified(true);
    tick();
    QVERIFY(probe->backupStore().pending);
    QVERIFY(probe->backupStore().filePath.isEmpty());
    QVERIFY(window->statusBar()->currentMessage().isEmpty());

    QVERIFY(QFile::remove(dir));
    tick();
    QVERIFY(!probe->backupStore().pending);
    QCOMPARE(backupFiles().size(), 1);
    QVERIFY(readFile(probe->backupStore().filePath).contains("keep me"));
}

void TestRecovery::declinedRecoveryKeepsFiles()
{
    QVERIFY(writeFile(dir + QStringLiteral("/untitled-1"), "{\"markdown\":\"x\",\"srcpath\":\"\"}"));
    ModalRecorder answers({QStringLiteral("否")});
    QVERIFY(!probe->restoreBackupOnStartup());
    QCOMPARE(answers.seen, QStringList{QStringLiteral("系统检查到有未保存的备份文件，是否继续编辑？")});
    QVERIFY(!probe->isModified());
    QCOMPARE(backupFiles().size(), 1);
    QVERIFY(probe->backupStore().filePath.isEmpty());
}

void TestRecovery::twoFilesOfferTheFirstByName()
{
    const QString notes = home->path() + QStringLiteral("/notes.md");
    QVERIFY(writeFile(notes, "# on disk\n"));
    const QString notesBackup = dir + QStringLiteral("/notes.md-2026-12-06_140700123");
    QVERIFY(writeFile(notesBackup, BackupStore::serialize(QStringLiteral("# Recovered notes"), notes)));
    QVERIFY(writeFile(dir + QStringLiteral("/untitled-2026-12-06_140700123"),
                      BackupStore::serialize(QStringLiteral("untitled text"), QString())));

    ModalRecorder answers({QStringLiteral("是"), QStringLiteral("明白")});
    QVERIFY(probe->restoreBackupOnStartup());
    QCOMPARE(answers.seen, QStringList{QStringLiteral("系统检查到有未保存的备份文件，是否继续编辑？")});
    QCOMPARE(probe->currentFilePath(), notes);
    QCOMPARE(probe->currentFileName(), QStringLiteral("notes.md"));
    QVERIFY(probe->isModified());
    QVERIFY(window->windowTitle().contains(QLatin1Char('*')));
    QCOMPARE(probe->backupStore().filePath, notesBackup);
    QTRY_VERIFY(bodyHtml().contains(QStringLiteral("Recovered notes")));

    // The restored file is the document's backup from now on: the next backup rewrites it.
    setSourceMode(true);
    probe->ui()->editor->setPlainText(QStringLiteral("edited after recovery"));
    setModified(true);
    tick();
    QCOMPARE(backupFiles().size(), 2);
    QCOMPARE(readFile(notesBackup), BackupStore::serialize(QStringLiteral("edited after recovery"), notes));
}

void TestRecovery::markdownOnly()
{
    probe->currentFilePath() = QStringLiteral("/from/command/line.md");
    QVERIFY(writeFile(dir + QStringLiteral("/x"), "{\"markdown\":\"**only markdown**\"}"));
    ModalRecorder answers({QStringLiteral("是"), QStringLiteral("明白")});
    QVERIFY(probe->restoreBackupOnStartup());
    QCOMPARE(answers.seen.size(), 1);
    QCOMPARE(probe->currentFilePath(), QStringLiteral("/from/command/line.md"));
    QTRY_VERIFY(bodyHtml().contains(QStringLiteral("<strong>only markdown</strong>")));
}

void TestRecovery::numberAsMarkdown()
{
    GuiTest::runJs(page(), QStringLiteral("document.body.innerHTML = '<p>stale</p>'; true"));
    QVERIFY(writeFile(dir + QStringLiteral("/x"), "{\"markdown\":42,\"srcpath\":\"\"}"));
    ModalRecorder answers({QStringLiteral("是"), QStringLiteral("明白")});
    QVERIFY(probe->restoreBackupOnStartup());
    QCOMPARE(answers.seen.size(), 1);
    QTRY_VERIFY(!bodyHtml().contains(QStringLiteral("stale")));
    QVERIFY(!bodyHtml().contains(QStringLiteral("42")));
    QVERIFY(probe->isModified());
}

void TestRecovery::missingSourceFile()
{
    // Also in source mode: the text goes to the editor, which shows it as modified.
    setSourceMode(true);
    QVERIFY(writeFile(dir + QStringLiteral("/gone.md-1"),
                      BackupStore::serialize(QStringLiteral("text of a lost file"), home->path() + QStringLiteral("/gone.md"))));
    ModalRecorder answers({QStringLiteral("是"), QStringLiteral("明白")});
    QVERIFY(probe->restoreBackupOnStartup());
    QVERIFY(probe->currentFilePath().isEmpty());
    QVERIFY(probe->currentFileName().isEmpty());
    QCOMPARE(probe->ui()->editor->toPlainText(), QStringLiteral("text of a lost file"));
    QVERIFY(probe->ui()->editor->document()->isModified());
    QCOMPARE(probe->backupStore().filePath, dir + QStringLiteral("/gone.md-1"));
}

void TestRecovery::arrayOrGarbageLetStartupGoOn_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("array") << QByteArray("[\"markdown\",\"srcpath\"]");
    QTest::newRow("garbage") << QByteArray("\x89PNG not a backup");
    QTest::newRow("neither member") << QByteArray("{\"text\":\"x\"}");
}

void TestRecovery::arrayOrGarbageLetStartupGoOn()
{
    QFETCH(QByteArray, data);
    QVERIFY(writeFile(dir + QStringLiteral("/broken"), data));
    ModalRecorder answers({QStringLiteral("是"), QStringLiteral("明白")});
    // false: the start-up open step (command-line or recent file) still runs.
    QVERIFY(!probe->restoreBackupOnStartup());
    QCOMPARE(answers.seen, (QStringList{QStringLiteral("系统检查到有未保存的备份文件，是否继续编辑？"),
                                        QStringLiteral("备份文件已损坏，请查看备份管理。")}));
    QVERIFY(!probe->isModified());
    QVERIFY(probe->backupStore().filePath.isEmpty());
    // The file stays for the backup manager.
    QCOMPARE(backupFiles(), QStringList{QStringLiteral("broken")});
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
