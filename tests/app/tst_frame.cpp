// The application frame, each case with a window of its own: settings store,
// palettes, theme menu, zoom, glyphs, language, start-up, the message-box helper
// and the command-line path; without a window, the start-up backup offer and the
// close that waits for the page.

#include "support/windowtest.h"

#include "app/backupoffer.h"
#include "app/closewait.h"
#include "app/fileassociation.h"
#include "app/messagebox.h"
#include "app/palettes.h"
#include "settings/settings.h"

#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>

namespace {

// A window that closes as the program's does while the page may owe answers.
class WaitingWindow : public QWidget
{
public:
    bool busy = true;
    CloseWait *wait = new CloseWait(this, [this] { return busy; });

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (wait->mustWait())
            event->ignore();
        else
            event->accept();
    }
};

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { Settings::instance().clear(); }
    void settingsDefaults();
    void wrongTypedSettings();
    void settingsLiveInConfigFolder();
    void zoomBoundsAndMessages();
    void zoomKeysFollowTheVisibleEditor();
    void noticesLeaveTheModeButton();
    void glyphsSurviveLanguageChange();
    void englishInterface();
    void settingsReachTheirConsumers();
    void startupOffersBackupThenOpens();
    void recoveryOffersEachBackupNoWindowHolds();
    void backupOfferAsksThenLetsChoose_data();
    void backupOfferAsksThenLetsChoose();
    void closeWaitsForThePageOrTheUser();
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
    WindowHarness w;
    QVERIFY(w.action("actionLightTheme")->isChecked());
    QVERIFY(!w.action("actionDarkTheme")->isChecked());
    QCOMPARE(w.page()->view()->zoomFactor(), 1.0);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 16px;}"));
    QVERIFY(!w.document()->findChild<QTimer *>(QStringLiteral("backupTimer")));
    QVERIFY(w.child<QMenu>("recentMenu")->actions().isEmpty());
    QCOMPARE(w.child<QLabel>("wordCountLabel")->text(), QStringLiteral("0 词"));
    QVERIFY(!w.modes()->isSourceMode());
    QVERIFY(!w.child<QPushButton>("modeButton")->isChecked());
    // Chinese interface by default.
    QCOMPARE(w.child<QMenu>("menuFile")->title(), QStringLiteral("文件"));
    QCOMPARE(w.action("actionNew")->toolTip(), QStringLiteral("新建文件"));
    QCOMPARE(w.action("actionSaveAs")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(w.action("actionBold")->menuRole(), QAction::NoRole);
}

void TestFrame::wrongTypedSettings()
{
    QSettings file(Settings::instance().fileName(), QSettings::IniFormat);
    file.setValue(QStringLiteral("theme"), 2);
    file.setValue(QStringLiteral("language"), QStringLiteral("english"));
    Settings::instance().setAutoBackup(true);

    const QPalette before = QApplication::palette();
    applyStoredPalette(makeDarkPalette(), makeLightPalette());
    QCOMPARE(QApplication::palette(), before); // theme 2: no palette applied

    WindowHarness w;
    QVERIFY(!w.action("actionLightTheme")->isChecked());
    QVERIFY(!w.action("actionDarkTheme")->isChecked());
    // A non-numeric language counts as 0: the Chinese texts stay.
    QCOMPARE(w.action("actionNew")->text(), QStringLiteral("新建"));
    auto *timer = w.document()->findChild<QTimer *>(QStringLiteral("backupTimer"));
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 10000);

    // Started with the dark palette stored, the status bar's own widgets are dark too.
    file.setValue(QStringLiteral("theme"), 1);
    w.window.setPalettes(makeDarkPalette(), makeLightPalette());
    QCOMPARE(w.child<QPushButton>("modeButton")->palette().color(QPalette::Button), QColor(53, 53, 53));
    QCOMPARE(w.child<QLabel>("wordCountLabel")->palette().color(QPalette::WindowText), QColor(Qt::white));

    // Choosing dark from the menu stores 1, checks only dark and applies the dark window colour.
    file.setValue(QStringLiteral("theme"), 2);
    w.action("actionDarkTheme")->trigger();
    QCOMPARE(Settings::instance().theme(), Settings::Theme::Dark);
    QVERIFY(w.action("actionDarkTheme")->isChecked());
    QVERIFY(!w.action("actionLightTheme")->isChecked());
    w.action("actionDarkTheme")->trigger(); // chosen again, it stays checked
    QVERIFY(w.action("actionDarkTheme")->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(53, 53, 53));
    QCOMPARE(w.editor()->palette().color(QPalette::Base), QColor(25, 25, 25));
    w.action("actionLightTheme")->trigger();
    QCOMPARE(Settings::instance().theme(), Settings::Theme::Light);
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(240, 240, 240));
    // Disabled menu items (drawn with Text) must look disabled in both palettes.
    for (const QPalette &palette : {makeDarkPalette(), makeLightPalette()})
        QVERIFY(palette.color(QPalette::Disabled, QPalette::Text) != palette.color(QPalette::Active, QPalette::Text));
}

void TestFrame::settingsLiveInConfigFolder()
{
    // The real program, started twice from folders of the user's: the first has an
    // "app.ini" of an earlier version, which is carried over once and never written.
    QTemporaryDir home, project, other;
    const QByteArray legacy = "[General]\nzoom=1.5\nrecentFileList=/a.md, /b.md\n";
    QVERIFY(GuiTest::writeFile(project.filePath(QStringLiteral("app.ini")), legacy));
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
    QCOMPARE(GuiTest::readFile(project.filePath(QStringLiteral("app.ini"))), legacy);
    QVERIFY(!QFile::exists(other.filePath(QStringLiteral("app.ini"))));
}

void TestFrame::zoomBoundsAndMessages()
{
    WindowHarness w;
    QWebEngineView *view = w.page()->view();
    for (int i = 0; i < 100; ++i)
        w.action("actionZoomIn")->trigger();
    QCOMPARE(view->zoomFactor(), 5.0);
    QCOMPARE(w.statusText(), QStringLiteral("缩放比例500%"));
    QCOMPARE(Settings::instance().zoom(), 5.0);

    Settings::instance().setZoom(0.3); // as the settings dialog sets it
    QCOMPARE(view->zoomFactor(), 0.3);
    w.action("actionZoomOut")->trigger();
    QCOMPARE(view->zoomFactor(), 0.25);
    QCOMPARE(w.statusText(), QStringLiteral("缩放比例25%"));
    w.action("actionZoomOut")->trigger();
    QCOMPARE(view->zoomFactor(), 0.25);

    w.action("actionDefaultZoom")->trigger();
    QCOMPARE(view->zoomFactor(), 1.0);
    QCOMPARE(QSettings(Settings::instance().fileName(), QSettings::IniFormat).value(QStringLiteral("zoom")).toString(),
             QStringLiteral("1"));
    QCOMPARE(w.statusText(), QStringLiteral("缩放比例100%"));
}

void TestFrame::noticesLeaveTheModeButton()
{
    // As with a read-only home: backups are off, and the notice says so until other news.
    WindowHarness w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const QString text = QStringLiteral("不能写入备份文件夹 /home/x：未保存的修改现在没有备份");
    emit w.document()->notice(text);
    QVERIFY(w.child<QPushButton>("modeButton")->isVisible());
    auto *notice = w.child<QLabel>("noticeLabel");
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), text);
    w.action("actionZoomIn")->trigger();
    QVERIFY(!notice->isVisible());
}

void TestFrame::zoomKeysFollowTheVisibleEditor()
{
    WindowHarness w;
    QVERIFY(w.showAndWait());
    QApplication::setActiveWindow(&w.window);
    QWebEngineView *view = w.page()->view();
    auto key = [&w](int key) { QTest::keyClick(&w.window, Qt::Key(key), Qt::ControlModifier); };
    // Ctrl+= zooms in as Ctrl++ does.
    key(Qt::Key_Equal);
    QCOMPARE(view->zoomFactor(), 1.05);
    key(Qt::Key_Plus);
    QCOMPARE(view->zoomFactor(), 1.1);

    // In source mode the editor zooms (16 px at 110 % is 18 px) and the page keeps its zoom.
    QVERIFY(w.switchTo(true));
    key(Qt::Key_Equal);
    key(Qt::Key_Equal);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 18px;}"));
    QCOMPARE(w.statusText(), QStringLiteral("缩放比例110%"));
    key(Qt::Key_Minus);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 17px;}"));
    key(Qt::Key_0);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 16px;}"));
    QCOMPARE(w.statusText(), QStringLiteral("缩放比例100%"));
    QCOMPARE(view->zoomFactor(), 1.1);
    QCOMPARE(Settings::instance().zoom(), 1.1);
    QCOMPARE(Settings::instance().sourceZoom(), 1.0);
}

void TestFrame::glyphsSurviveLanguageChange()
{
    WindowHarness w;
    QCOMPARE(w.action("actionBold")->text(), QString(QChar(0xF032)));
    QCOMPARE(w.action("actionBold")->toolTip(), QStringLiteral("加粗"));

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/english.qm")));
    QCoreApplication::installTranslator(&english);
    QCoreApplication::processEvents();
    QCOMPARE(w.action("actionBold")->text(), QString(QChar(0xF032)));
    QCOMPARE(w.action("actionSaveToolBar")->text(), QString(QChar(0xF0C7)));
    QCOMPARE(w.action("actionBold")->toolTip(), QStringLiteral("Bold"));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Veltrane"));
    QCOMPARE(w.action("actionLightTheme")->text(), QStringLiteral("light"));
    QCOMPARE(w.child<QPushButton>("modeButton")->toolTip(), QStringLiteral("Switch to source code mode"));
    QCoreApplication::removeTranslator(&english);
}

void TestFrame::englishInterface()
{
    Settings::instance().setLanguage(Settings::Language::English);
    WindowHarness w;
    QCoreApplication::processEvents(); // the language change is delivered through the event loop
    // Menu titles in title case, as desktop programs write them.
    QStringList titles;
    for (const char *menu : {"menuFile", "menuEdit", "menuOptions", "menuHelp", "menuExport"})
        titles << w.child<QMenu>(menu)->title();
    QCOMPARE(titles, (QStringList{"File", "Edit", "Options", "Help", "Export"}));
    QCOMPARE(w.action("actionNew")->toolTip(), QStringLiteral("new file"));
    QCOMPARE(w.child<QMenu>("recentMenu")->title(), QStringLiteral("open recently"));
    w.page()->bridge()->wordCount(QStringLiteral("12"));
    QCOMPARE(w.child<QLabel>("wordCountLabel")->text(), QStringLiteral("12 words"));
    QCOMPARE(w.document()->title(), QStringLiteral("[Not saved]  -  Veltrane"));
}

void TestFrame::settingsReachTheirConsumers()
{
    // A change made anywhere (the settings dialog, a menu, here) reaches what it changes at once.
    WindowHarness w;
    QVERIFY(w.showAndWait());
    w.window.setPalettes(makeDarkPalette(), makeLightPalette());
    const auto sheet = [&w] { return QUrl(w.js(QStringLiteral("document.getElementById('themecss').href")).toString()).fileName(); };
    QMenu *recent = w.child<QMenu>("recentMenu");
    Settings &settings = Settings::instance();
    settings.setZoom(1.5);
    QCOMPARE(w.page()->view()->zoomFactor(), 1.5);
    settings.setEditorFontSize(20);
    settings.setSourceZoom(1.5);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 30px;}"));
    settings.setCssFile(QStringLiteral("github-markdown-dark.css"));
    QTRY_COMPARE(sheet(), QStringLiteral("github-markdown-dark.css"));
    settings.setTheme(Settings::Theme::Dark);
    QVERIFY(w.action("actionDarkTheme")->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(53, 53, 53));
    settings.setLanguage(Settings::Language::English);
    QTRY_COMPARE(w.child<QMenu>("menuFile")->title(), QStringLiteral("File"));
    settings.setAutoBackup(true);
    auto *timer = w.document()->findChild<QTimer *>(QStringLiteral("backupTimer"));
    QVERIFY(timer && timer->isActive());
    settings.setRecentFiles({QStringLiteral("/notes/a.md")});
    QCOMPARE(recent->actions().size(), 1);

    // Clearing the settings takes every consumer back to the defaults.
    settings.clear();
    QCOMPARE(w.page()->view()->zoomFactor(), 1.0);
    QCOMPARE(w.editor()->styleSheet(), QStringLiteral("QPlainTextEdit{font-size: 16px;}"));
    QTRY_COMPARE(sheet(), QStringLiteral("github-markdown-light.css"));
    QVERIFY(w.action("actionLightTheme")->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(240, 240, 240));
    QTRY_COMPARE(w.child<QMenu>("menuFile")->title(), QStringLiteral("文件"));
    QVERIFY(!timer->isActive());
    QVERIFY(recent->actions().isEmpty());
}

void TestFrame::startupOffersBackupThenOpens()
{
    // What the page's request for its first document opens, as the user answers.
    const QString backupDir = BackupStore::defaultDir();
    QVERIFY(QDir().mkpath(backupDir));
    QVERIFY(GuiTest::writeFile(backupDir + QStringLiteral("/untitled-1"),
                               BackupStore::serialize(QStringLiteral("recovered"), QString())));
    const QString cli = home->filePath(QStringLiteral("cli.md"));
    QVERIFY(GuiTest::writeFile(cli, "from the command line\n"));
    auto start = [](const QString &startupPath) {
        auto w = std::make_unique<WindowHarness>();
        QSignalSpy asked(w->page(), &PageSurface::documentRequested);
        w->window.setStartupFilePath(startupPath);
        w->window.show();
        return asked.wait(30000) ? std::move(w) : nullptr;
    };
    const QStringList question{QStringLiteral("系统检查到有未保存的备份文件，是否继续编辑？")};
    {
        // Declined: the command-line file opens; the backup stays.
        GuiTest::ModalAnswers answers({QStringLiteral("否")});
        auto w = start(cli);
        QVERIFY(w);
        QCOMPARE(answers.seen, question);
        QCOMPARE(w->document()->filePath(), cli);
        QVERIFY(!w->document()->isModified());
        QVERIFY(QFile::exists(backupDir + QStringLiteral("/untitled-1")));
        QTRY_VERIFY(w->body().contains(QStringLiteral("from the command line")));
    }
    {
        // Accepted: the backup of an untitled document stays untitled, whatever the command line named.
        GuiTest::ModalAnswers answers({QStringLiteral("是")});
        auto w = start(cli);
        QVERIFY(w);
        QCOMPARE(answers.seen, question);
        QVERIFY(w->document()->filePath().isEmpty());
        QVERIFY(w->document()->isModified());
        QCOMPARE(w->window.windowTitle(), QStringLiteral("[未保存]*  -  Veltrane"));
        QTRY_VERIFY(w->body().contains(QStringLiteral("recovered")));
    }
    // No backup: "openType" 1 opens the most recent file, if there is one.
    QVERIFY(QDir(backupDir).removeRecursively());
    Settings::instance().setStartupDocument(Settings::StartupDocument::MostRecent);
    Settings::instance().setRecentFiles({});
    auto w = start(QString());
    QVERIFY(w && w->document()->filePath().isEmpty());
    Settings::instance().setRecentFiles({cli});
    w = start(QString());
    QVERIFY(w);
    QCOMPARE(w->document()->filePath(), cli);
    // A command-line file that does not exist is reported once the page is ready.
    GuiTest::ModalAnswers answers({QStringLiteral("明白")});
    w = start(home->filePath(QStringLiteral("missing.md")));
    QVERIFY(w);
    QCOMPARE(answers.seen.size(), 1);
    QVERIFY(answers.seen.first().startsWith(QStringLiteral("不能打开文件 ")));
    QVERIFY(w->document()->filePath().isEmpty());
}

void TestFrame::recoveryOffersEachBackupNoWindowHolds()
{
    const QString backupDir = BackupStore::defaultDir();
    QDir(backupDir).removeRecursively();
    QVERIFY(QDir().mkpath(backupDir));
    for (const char *name : {"a.md-1", "b.md-2"})
        QVERIFY(GuiTest::writeFile(backupDir + QLatin1Char('/') + QLatin1String(name),
                                   BackupStore::serialize(QStringLiteral("text of ") + QLatin1String(name), QString())));
    BackupStore otherWindow(backupDir); // a window still running, with its own unsaved work
    QVERIFY(otherWindow.write(QStringLiteral("held"), QString(), QString()));

    GuiTest::ModalAnswers answers({QStringLiteral("是")}, QStringLiteral("b.md-2"));
    WindowHarness w;
    QSignalSpy asked(w.page(), &PageSurface::documentRequested);
    w.window.show();
    QVERIFY(asked.wait(30000));
    QCOMPARE(answers.seen, (QStringList{QStringLiteral("系统检查到有未保存的备份文件，是否继续编辑？"),
                                        QStringLiteral("a.md-1\nb.md-2")}));
    QTRY_VERIFY(w.body().contains(QStringLiteral("text of b.md-2")));
    QCOMPARE(w.document()->backupPath(), backupDir + QStringLiteral("/b.md-2"));
    // The next window is offered what is left.
    QCOMPARE(w.document()->backupsToOffer(), QStringList{backupDir + QStringLiteral("/a.md-1")});
    w.document()->setModified(false);
}

void TestFrame::backupOfferAsksThenLetsChoose_data()
{
    QTest::addColumn<QStringList>("backups");
    QTest::addColumn<QString>("answer"); // to "continue editing?"
    QTest::addColumn<QString>("chosen"); // from the list; empty cancels it
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("expected");
    const QStringList one{QStringLiteral("/backup/a.md-1")};
    const QStringList two = one + QStringList{QStringLiteral("/backup/b.md-2")};
    QTest::newRow("none") << QStringList() << "" << "" << 0 << "";
    QTest::newRow("one, declined") << one << "否" << "" << 1 << "";
    QTest::newRow("one, accepted") << one << "是" << "" << 1 << "/backup/a.md-1";
    QTest::newRow("two, declined") << two << "否" << "" << 1 << "";
    QTest::newRow("two, the second chosen") << two << "是" << "b.md-2" << 2 << "/backup/b.md-2";
    QTest::newRow("two, the list cancelled") << two << "是" << "" << 2 << "";
}

void TestFrame::backupOfferAsksThenLetsChoose()
{
    QFETCH(QStringList, backups);
    QFETCH(QString, answer);
    QFETCH(QString, chosen);
    QFETCH(int, dialogs);
    QFETCH(QString, expected);
    const auto answerQuestion = [answer](QWidget *box) {
        for (QPushButton *button : box->findChildren<QPushButton *>()) {
            if (button->text() == answer)
                return button->click();
        }
    };
    const auto choose = [chosen](QWidget *dialog) {
        auto *list = qobject_cast<QInputDialog *>(dialog);
        QCOMPARE(list->comboBoxItems(), (QStringList{QStringLiteral("a.md-1"), QStringLiteral("b.md-2")}));
        list->setTextValue(chosen);
        chosen.isEmpty() ? list->reject() : list->accept();
    };
    QString result = QStringLiteral("not asked");
    const QStringList met = GuiTest::throughModals([&] { result = BackupOffer::choose(nullptr, backups); },
                                                   QList<std::function<void(QWidget *)>>{answerQuestion, choose}.mid(0, dialogs));
    QCOMPARE(met.size(), dialogs);
    QCOMPARE(result, expected);
}

void TestFrame::closeWaitsForThePageOrTheUser()
{
    WaitingWindow window;
    window.show();
    // The page owes an answer: the close waits, once however often it is asked.
    QVERIFY(!window.close());
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChildren<QProgressDialog *>().size(), 1);
    window.busy = false;
    window.wait->settled();
    QTRY_VERIFY(!window.isVisible());

    // The user stops waiting: the window closes although the answer is still
    // owed; the next close waits again.
    window.busy = true;
    window.show();
    QTRY_VERIFY(window.findChildren<QProgressDialog *>().isEmpty());
    QVERIFY(!window.close());
    window.findChild<QProgressDialog *>()->findChild<QPushButton *>()->click(); // "不再等待"
    QTRY_VERIFY(!window.isVisible());
    window.show();
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
}

void TestFrame::messageBoxButtonSets()
{
    {
        GuiTest::ModalAnswers yes({QStringLiteral("是"), QStringLiteral("明白")});
        QCOMPARE(showMessageBox(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("one"), MessageBoxYes),
                 int(QMessageBox::Yes));
        QCOMPARE(showMessageBox(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("two"), MessageBoxYesNo), 0x4000);
        QCOMPARE(showMessageBox(QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("three"), MessageBoxUnderstood),
                 int(QMessageBox::Yes));
        QCOMPARE(yes.seen, (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    }
    GuiTest::ModalAnswers no({QStringLiteral("否")});
    QCOMPARE(showMessageBox(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("two"), MessageBoxYesNo),
             int(QMessageBox::No));
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
