// The application frame: settings store, palettes, theme menu, zoom, glyphs,
// the message-box helper and the command-line path.

#include "support/backuptest.h"
#include "support/mainwindowprobe.h"

#include "settings/settings.h"
#include "app/fileassociation.h"
#include "app/messagebox.h"
#include "app/palettes.h"

#include <QProcess>
#include <QSettings>
#include <QStatusBar>
#include <QTranslator>

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void settingsDefaults();
    void wrongTypedSettings();
    void settingsLiveInConfigFolder();
    void zoomBoundsAndMessages();
    void glyphsSurviveLanguageChange();
    void englishInterface();
    void messageBoxButtonSets();
    void commandLinePath();
    void fileAssociationEntries();

private:
    std::unique_ptr<QTemporaryDir> home;
};

void TestFrame::initTestCase()
{
    home = GuiTest::isolate();
}

void TestFrame::settingsDefaults()
{
    Settings::instance().clear();
    MainWindow window;
    MainWindowProbe probe(&window);
    QVERIFY(probe.lightThemeAction()->isChecked());
    QVERIFY(!probe.darkThemeAction()->isChecked());
    QCOMPARE(probe.ui()->webView->zoomFactor(), 1.0);
    QCOMPARE(probe.ui()->editor->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 16px;}"));
    QVERIFY(!probe.backupTimer());
    QVERIFY(probe.recentActions().isEmpty());
    QCOMPARE(probe.wordCountLabel()->text(), QStringLiteral("0 词"));
    QCOMPARE(probe.ui()->stackedWidget->currentIndex(), 0);
    QVERIFY(!probe.modeButton()->isChecked());
    // Chinese interface by default.
    QCOMPARE(probe.ui()->menuFile->title(), QStringLiteral("文件"));
    QCOMPARE(probe.ui()->actionNew->toolTip(), QStringLiteral("新建文件"));
    QCOMPARE(probe.ui()->actionSaveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(probe.ui()->actionBold->menuRole(), QAction::NoRole);
}

void TestFrame::wrongTypedSettings()
{
    Settings::instance().clear();
    Settings::instance().setTheme(2);
    QSettings(Settings::instance().fileName(), QSettings::IniFormat).setValue(QStringLiteral("language"), QStringLiteral("english"));
    Settings::instance().setAutoSave(true);

    const QPalette before = QApplication::palette();
    applyStoredPalette(makeDarkPalette(), makeLightPalette());
    QCOMPARE(QApplication::palette(), before); // theme 2: no palette applied

    MainWindow window;
    MainWindowProbe probe(&window);
    QVERIFY(!probe.lightThemeAction()->isChecked());
    QVERIFY(!probe.darkThemeAction()->isChecked());
    // A non-numeric language counts as 0: the Chinese texts stay.
    QCOMPARE(probe.ui()->actionNew->text(), QStringLiteral("新建"));
    QVERIFY(probe.backupTimer());
    QCOMPARE(probe.backupTimer()->interval(), 10000);

    // Choosing dark from the menu stores 1, checks only dark and applies the dark window colour.
    window.setPalettes(makeDarkPalette(), makeLightPalette());
    probe.darkThemeAction()->trigger();
    QCOMPARE(Settings::instance().theme(), 1);
    QVERIFY(probe.darkThemeAction()->isChecked());
    QVERIFY(!probe.lightThemeAction()->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(53, 53, 53));
    probe.lightThemeAction()->trigger();
    QCOMPARE(Settings::instance().theme(), 0);
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(240, 240, 240));
    Settings::instance().clear();
}

void TestFrame::settingsLiveInConfigFolder()
{
    // The real program, started twice from folders of the user's: the first has an
    // "app.ini" of an earlier version, which is carried over once and never written.
    QTemporaryDir home, project, other;
    const QByteArray legacy = "[General]\nzoom=1.5\nrecentFileList=/a.md, /b.md\n";
    QVERIFY(BackupTest::writeFile(project.filePath(QStringLiteral("app.ini")), legacy));
    const QString ini = home.filePath(QStringLiteral(".config/Orrinfold/Veltrane/app.ini"));
    for (const QString &cwd : {project.path(), other.path()}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(cwd);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/veltrane"), QStringList());
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QSettings(ini, QSettings::IniFormat).contains(QStringLiteral("version")), 30000);
        program.terminate();
        QVERIFY(program.waitForFinished());
        QSettings written(ini, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("version")).toString(), QStringLiteral("0.0.2"));
        QCOMPARE(written.value(QStringLiteral("zoom")).toDouble(), 1.5);
        QCOMPARE(written.value(QStringLiteral("recentFileList")).toStringList(),
                 (QStringList{QStringLiteral("/a.md"), QStringLiteral("/b.md")}));
    }
    QCOMPARE(BackupTest::readFile(project.filePath(QStringLiteral("app.ini"))), legacy);
    QVERIFY(!QFile::exists(other.filePath(QStringLiteral("app.ini"))));
}

void TestFrame::zoomBoundsAndMessages()
{
    Settings::instance().clear();
    MainWindow window;
    MainWindowProbe probe(&window);
    for (int i = 0; i < 100; ++i)
        probe.ui()->actionZoomIn->trigger();
    QCOMPARE(probe.ui()->webView->zoomFactor(), 5.0);
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("缩放比例500%"));
    QCOMPARE(Settings::instance().zoom(), 5.0);

    probe.ui()->webView->setZoomFactor(0.3);
    probe.ui()->actionZoomOut->trigger();
    QCOMPARE(probe.ui()->webView->zoomFactor(), 0.25);
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("缩放比例25%"));
    probe.ui()->actionZoomOut->trigger();
    QCOMPARE(probe.ui()->webView->zoomFactor(), 0.25);

    probe.ui()->actionDefaultZoom->trigger();
    QCOMPARE(probe.ui()->webView->zoomFactor(), 1.0);
    QCOMPARE(QSettings(Settings::instance().fileName(), QSettings::IniFormat).value(QStringLiteral("zoom")).toString(),
             QStringLiteral("1"));
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("缩放比例100%"));
}

void TestFrame::glyphsSurviveLanguageChange()
{
    Settings::instance().clear();
    MainWindow window;
    MainWindowProbe probe(&window);
    QCOMPARE(probe.ui()->actionBold->text(), QString(QChar(0xF032)));
    QCOMPARE(probe.ui()->actionBold->toolTip(), QStringLiteral("加粗"));

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/english.qm")));
    QCoreApplication::installTranslator(&english);
    QCoreApplication::processEvents();
    QCOMPARE(probe.ui()->actionBold->text(), QString(QChar(0xF032)));
    QCOMPARE(probe.ui()->actionSaveToolBar->text(), QString(QChar(0xF0C7)));
    QCOMPARE(probe.ui()->actionBold->toolTip(), QStringLiteral("Bold"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Veltrane"));
    QCOMPARE(probe.lightThemeAction()->text(), QStringLiteral("light"));
    QCoreApplication::removeTranslator(&english);
}

void TestFrame::englishInterface()
{
    Settings::instance().clear();
    Settings::instance().setLanguage(1);
    MainWindow window;
    MainWindowProbe probe(&window);
    QCoreApplication::processEvents(); // the language change is delivered through the event loop
    QCOMPARE(probe.ui()->menuFile->title(), QStringLiteral("file"));
    QCOMPARE(probe.ui()->actionNew->toolTip(), QStringLiteral("new file"));
    QCOMPARE(probe.recentMenu()->title(), QStringLiteral("open recently"));
    probe.content().showInfoInStatusBar(QStringLiteral("12"));
    QCOMPARE(probe.wordCountLabel()->text(), QStringLiteral("12 words"));
    Settings::instance().clear();
}

void TestFrame::messageBoxButtonSets()
{
    QString text;
    GuiTest::answerNextModal(QStringLiteral("是"), &text);
    QCOMPARE(showMessageBox(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("one"), MessageBoxYes),
             int(QMessageBox::Yes));
    QCOMPARE(text, QStringLiteral("one"));

    GuiTest::answerNextModal(QStringLiteral("否"));
    QCOMPARE(showMessageBox(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("two"), MessageBoxYesNo),
             int(QMessageBox::No));
    GuiTest::answerNextModal(QStringLiteral("是"));
    QCOMPARE(showMessageBox(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("two"), MessageBoxYesNo),
             0x4000);

    GuiTest::answerNextModal(QStringLiteral("明白"), &text);
    QCOMPARE(showMessageBox(QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("three"), MessageBoxUnderstood),
             int(QMessageBox::Yes));
    QCOMPARE(text, QStringLiteral("three"));
}

void TestFrame::commandLinePath()
{
    QCOMPARE(startupPathFromArgument("C:\\docs\\notes.md"), QStringLiteral("C:/docs/notes.md"));
    QCOMPARE(startupPathFromArgument("/home/me/notes.md"), QStringLiteral("/home/me/notes.md"));
    QVERIFY(startupPathFromArgument("").isEmpty());
    QVERIFY(startupPathFromArgument(nullptr).isEmpty());
}

void TestFrame::fileAssociationEntries()
{
    const auto entries = ::fileAssociationEntries(QStringLiteral("C:\\Apps\\veltrane.exe"), QStringLiteral("file1"),
                                                  QStringLiteral(".md"), QStringLiteral("markdown"));
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries[0].first, QStringLiteral("/file1/Shell/Open/Command/."));
    QCOMPARE(entries[0].second, QStringLiteral("\"C:\\Apps\\veltrane.exe\" \"%1\""));
    QCOMPARE(entries[1], qMakePair(QStringLiteral("/file1/."), QStringLiteral("markdown")));
    QCOMPARE(entries[2], qMakePair(QStringLiteral("/file1/DefaultIcon/."), QStringLiteral("C:\\Apps\\veltrane.exe,0")));
    QCOMPARE(entries[3], qMakePair(QStringLiteral("/.md/OpenWithProgIds/file1"), QString()));
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
