// Document files, the window title, the recent list and the two modes, driven
// through a real window with its editing page.

#include "support/backuptest.h"
#include "support/guitest.h"
#include "support/mainwindowprobe.h"

#include "settings/settings.h"

#include <QSettings>
#include <QStatusBar>

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void openShowsFileAndTitle();
    void recentListKeepsFiveNewestFirst();
    void modifiedFlagSurvivesSwitches();
    void sourceModeDisablesPageOnlyCommands();
    void saveWritesAndClearsMark();
    void failedSaveKeepsDocumentModified();
    void saveAsMakesNewPathCurrent();
    void sourceShowsConvertersNormalForm();
    void invalidUtf8Warns();
    void unreadableFileWarnsAndKeepsDocument();
    void closingModifiedDocumentAsks();
    void newDocumentClearsState();
    void startupOpensCommandLineFile();
    void pageWithoutAnswerKeepsContent();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QString pageBody();
    void switchTo(bool source);

    std::unique_ptr<QTemporaryDir> home;
    QTemporaryDir files;
    MainWindow *window = nullptr;
    MainWindowProbe *probe = nullptr;
};

void TestDocuments::initTestCase()
{
    home = GuiTest::isolate();
    window = new MainWindow;
    probe = new MainWindowProbe(window);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(GuiTest::pageReady(probe->ui()->webView->page()), 20000);
}

void TestDocuments::cleanupTestCase()
{
    probe->isModified() = false;
    delete probe;
    delete window;
}

void TestDocuments::init()
{
    if (probe->isSourceMode())
        switchTo(false);
    probe->isModified() = false;
    probe->ui()->editor->document()->setModified(false);
}

QString TestDocuments::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

QString TestDocuments::pageBody()
{
    return GuiTest::runJs(probe->ui()->webView->page(), QStringLiteral("document.body.innerHTML")).toString();
}

void TestDocuments::switchTo(bool source)
{
    if (source) // so that the wait below sees the page's answer, not the previous text
        probe->setEditorText(QString());
    probe->modeButton()->setChecked(source);
    QTRY_COMPARE(probe->ui()->stackedWidget->currentIndex(), source ? 1 : 0);
    if (source) { // the page's answer arrives through the event loop
        QTRY_VERIFY(!probe->ui()->editor->toPlainText().isEmpty() || pageBody().isEmpty());
    }
}

void TestDocuments::openShowsFileAndTitle()
{
    const QString path = writeFile(QStringLiteral("notes.md"), "# Notes\n\nSome *text*.\n");
    probe->openFile(path);
    QCOMPARE(window->windowTitle(), QStringLiteral("notes.md  -  Veltrane"));
    QCOMPARE(probe->currentFilePath(), path);
    QTRY_VERIFY(pageBody().contains(QStringLiteral("<h1>Notes</h1>")));
    QCOMPARE(Settings::instance().recentFiles().value(0), path);

    probe->content().updateModifyStatus(true); // what the page sends on input
    QCOMPARE(window->windowTitle(), QStringLiteral("notes.md*  -  Veltrane"));
}

void TestDocuments::recentListKeepsFiveNewestFirst()
{
    Settings::instance().setRecentFiles(QStringList());
    QStringList paths;
    for (int i = 1; i <= 6; ++i) {
        paths << writeFile(QStringLiteral("r%1.md").arg(i), "x\n");
        probe->openFile(paths.last());
    }
    QStringList expected{paths[5], paths[4], paths[3], paths[2], paths[1]};
    QCOMPARE(Settings::instance().recentFiles(), expected);
    QCOMPARE(probe->recentActions().size(), 5);
    QCOMPARE(probe->recentActions().first()->text(), paths[5]);

    probe->openFile(paths[2]); // reopening moves it to the front, once
    expected = QStringList{paths[2], paths[5], paths[4], paths[3], paths[1]};
    QCOMPARE(Settings::instance().recentFiles(), expected);

    // Choosing a recent file while the document is modified asks first; "否" keeps it.
    probe->content().updateModifyStatus(true);
    QString question;
    GuiTest::answerNextModal(QStringLiteral("否"), &question);
    probe->recentActions().at(3)->trigger();
    QCOMPARE(question, QStringLiteral("当前文件还没保存，是否放弃？"));
    QCOMPARE(probe->currentFilePath(), paths[2]);
    GuiTest::answerNextModal(QStringLiteral("是"));
    probe->recentActions().at(3)->trigger();
    QCOMPARE(probe->currentFilePath(), paths[3]);
}

void TestDocuments::modifiedFlagSurvivesSwitches()
{
    probe->openFile(writeFile(QStringLiteral("switch.md"), "# Head\n\nBody text\n"));
    QTRY_VERIFY(pageBody().contains(QStringLiteral("Body text")));

    switchTo(true);
    QTRY_VERIFY(probe->ui()->editor->toPlainText().contains(QStringLiteral("Body text")));
    QVERIFY(!probe->isModified());
    QVERIFY(!window->windowTitle().contains(QLatin1Char('*')));
    switchTo(false);

    probe->content().updateModifyStatus(true);
    switchTo(true);
    QTRY_VERIFY(probe->ui()->editor->toPlainText().contains(QStringLiteral("Body text")));
    QVERIFY(probe->isModified());
    QVERIFY(probe->ui()->editor->document()->isModified());
    QVERIFY(window->windowTitle().contains(QLatin1Char('*')));

    probe->ui()->editor->appendPlainText(QStringLiteral("\nAdded in source"));
    switchTo(false);
    QTRY_VERIFY(pageBody().contains(QStringLiteral("Added in source")));
    QVERIFY(probe->isModified());
}

void TestDocuments::sourceModeDisablesPageOnlyCommands()
{
    switchTo(true);
    QVERIFY(!probe->ui()->menuExport->isEnabled());
    QVERIFY(!probe->ui()->actionPrint->isEnabled());
    QVERIFY(!probe->ui()->actionClear->isEnabled());
    QVERIFY(!probe->ui()->actionUnlink->isEnabled());
    QVERIFY(probe->wordCountLabel()->isHidden());
    QCOMPARE(probe->modeButton()->text(), QString(QChar(0xF1EA)));
    QCOMPARE(probe->modeButton()->toolTip(), QStringLiteral("切换可见即可得模式"));
    switchTo(false);
    QVERIFY(probe->ui()->menuExport->isEnabled());
    QVERIFY(probe->ui()->actionPrint->isEnabled());
    QVERIFY(!probe->wordCountLabel()->isHidden());
    QCOMPARE(probe->modeButton()->text(), QString(QChar(0xF121)));
}

void TestDocuments::saveWritesAndClearsMark()
{
    switchTo(true);
    const QString path = files.filePath(QStringLiteral("saved.md"));
    probe->currentFilePath() = path;
    probe->currentFileName() = QStringLiteral("saved.md");
    probe->ui()->editor->selectAll();
    probe->ui()->editor->insertPlainText(QStringLiteral("# Saved\n\n中文 text\n"));
    QVERIFY(probe->isModified());
    probe->ui()->actionSave->trigger();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("# Saved\n\n中文 text\n"));
    QVERIFY(!probe->isModified());
    QCOMPARE(window->windowTitle(), QStringLiteral("saved.md  -  Veltrane"));
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("保存成功"));
    QCOMPARE(Settings::instance().recentFiles().value(0), path);
}

void TestDocuments::failedSaveKeepsDocumentModified()
{
    switchTo(true);
    const QStringList recentBefore = Settings::instance().recentFiles();
    const QString path = files.filePath(QStringLiteral("missing-folder/cannot.md"));
    probe->currentFilePath() = path;
    probe->currentFileName() = QStringLiteral("cannot.md");
    probe->ui()->editor->selectAll();
    probe->ui()->editor->insertPlainText(QStringLiteral("unsaved words"));
    window->statusBar()->clearMessage();

    QString warning;
    GuiTest::answerNextModal(QStringLiteral("明白"), &warning);
    probe->ui()->actionSave->trigger();
    QTRY_VERIFY(!warning.isEmpty());
    QVERIFY(warning.startsWith(QStringLiteral("不能保存文件 ")));
    QVERIFY(warning.contains(QStringLiteral("cannot.md")));
    QVERIFY(probe->isModified());
    QVERIFY(probe->ui()->editor->document()->isModified());
    QCOMPARE(window->windowTitle(), QStringLiteral("cannot.md*  -  Veltrane"));
    QVERIFY(window->statusBar()->currentMessage() != QStringLiteral("保存成功"));
    QCOMPARE(Settings::instance().recentFiles(), recentBefore);
    QVERIFY(!QFile::exists(path));
}

void TestDocuments::saveAsMakesNewPathCurrent()
{
    probe->openFile(writeFile(QStringLiteral("first.md"), "# First\n"));
    const QString target = files.filePath(QStringLiteral("second.md"));
    BackupTest::answerFileDialog(target);
    probe->ui()->actionSaveAs->trigger();
    QCOMPARE(probe->currentFilePath(), target);
    QTRY_VERIFY(QFileInfo(target).size() > 0); // written from the page's answer
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("# First\n"));
    QCOMPARE(window->windowTitle(), QStringLiteral("second.md  -  Veltrane"));
    QCOMPARE(Settings::instance().recentFiles().value(0), target);

    // A later save writes to the same path without asking.
    probe->content().updateModifyStatus(true);
    probe->ui()->actionSave->trigger();
    QTRY_VERIFY(!probe->isModified());
    QCOMPARE(probe->currentFilePath(), target);
}

void TestDocuments::sourceShowsConvertersNormalForm()
{
    // The source view is regenerated from the page, not the file's own text.
    probe->openFile(writeFile(QStringLiteral("setext.md"), "Heading\n=======\n\n* one\n* two\n"));
    QTRY_VERIFY(pageBody().contains(QStringLiteral("<h1>Heading</h1>")));
    switchTo(true);
    QTRY_COMPARE(probe->ui()->editor->toPlainText(), QStringLiteral("# Heading\n\n- one\n- two\n"));
    QVERIFY(!probe->isModified());
}

void TestDocuments::invalidUtf8Warns()
{
    const QString path = writeFile(QStringLiteral("latin1.md"), "caf\xe9 au lait\n");
    QString warning;
    GuiTest::answerNextModal(QStringLiteral("明白"), &warning);
    probe->openFile(path);
    QVERIFY(warning.contains(QStringLiteral("UTF-8")));
    QCOMPARE(probe->currentFilePath(), path); // it opens all the same

    warning.clear();
    probe->openFile(writeFile(QStringLiteral("fine.md"), "caf\xc3\xa9\n"));
    QVERIFY(warning.isEmpty());
}

void TestDocuments::unreadableFileWarnsAndKeepsDocument()
{
    const QString before = probe->currentFilePath();
    QString warning;
    GuiTest::answerNextModal(QStringLiteral("明白"), &warning);
    probe->openFile(files.filePath(QStringLiteral("does-not-exist.md")));
    QVERIFY(warning.startsWith(QStringLiteral("不能打开文件 ")));
    QCOMPARE(probe->currentFilePath(), before);
}

void TestDocuments::closingModifiedDocumentAsks()
{
    probe->content().updateModifyStatus(true);
    QString question;
    GuiTest::answerNextModal(QStringLiteral("否"), &question);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(question, QStringLiteral("当前文件还没保存，是否放弃？"));

    GuiTest::answerNextModal(QStringLiteral("否"));
    probe->ui()->actionExit->trigger();
    QVERIFY(window->isVisible());

    probe->isModified() = false; // an unmodified document closes without a question
    QVERIFY(window->close());
    window->show();
}

void TestDocuments::newDocumentClearsState()
{
    probe->openFile(writeFile(QStringLiteral("old.md"), "old text\n"));
    probe->ui()->actionNew->trigger();
    QVERIFY(probe->currentFilePath().isEmpty());
    QVERIFY(probe->currentFileName().isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("[未保存]  -  Veltrane"));
    QTRY_VERIFY(!pageBody().contains(QStringLiteral("old text")));
    QVERIFY(probe->ui()->editor->toPlainText().isEmpty());
}

void TestDocuments::startupOpensCommandLineFile()
{
    const QString path = writeFile(QStringLiteral("cli.md"), "from the command line\n");
    probe->currentFilePath() = path;
    window->openAtStartup();
    QTRY_VERIFY(pageBody().contains(QStringLiteral("from the command line")));
    QCOMPARE(window->windowTitle(), QStringLiteral("cli.md  -  Veltrane"));

    // openType 1 with an empty recent list keeps the blank document.
    probe->ui()->actionNew->trigger();
    Settings::instance().setOpenType(1);
    Settings::instance().setRecentFiles(QStringList());
    probe->rebuildRecentMenu();
    window->openAtStartup();
    QVERIFY(probe->currentFilePath().isEmpty());
    Settings::instance().setOpenType(0);
}

void TestDocuments::pageWithoutAnswerKeepsContent()
{
    // Last: this breaks the page's getHtml on purpose.
    probe->openFile(writeFile(QStringLiteral("keep.md"), "precious words\n"));
    switchTo(true);
    QTRY_VERIFY(probe->ui()->editor->toPlainText().contains(QStringLiteral("precious words")));
    switchTo(false);
    QTRY_VERIFY(pageBody().contains(QStringLiteral("precious words")));
    GuiTest::runJs(probe->ui()->webView->page(), QStringLiteral("getHtml = undefined; true"));

    probe->content().updateModifyStatus(true);
    probe->modeButton()->setChecked(true);
    // The switch is taken back: the page still holds the document and the editor is not emptied.
    QTRY_COMPARE(probe->ui()->stackedWidget->currentIndex(), 0);
    QVERIFY(!probe->modeButton()->isChecked());
    QVERIFY(probe->ui()->editor->toPlainText().contains(QStringLiteral("precious words")));
    QVERIFY(!window->statusBar()->currentMessage().isEmpty());

    // A save writes nothing and says so; the document stays modified.
    const QString path = probe->currentFilePath();
    QString warning;
    GuiTest::answerNextModal(QStringLiteral("明白"), &warning);
    probe->ui()->actionSave->trigger();
    QTRY_VERIFY(!warning.isEmpty());
    QVERIFY(warning.startsWith(QStringLiteral("不能保存文件 ")));
    QVERIFY(probe->isModified());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("precious words\n"));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
