// The whole window with its editing page, one instance for every case: start-up,
// documents in both modes, commands reaching the surface in use, export, and
// the Markdown corpus through the real page.

#include "support/faults.h"
#include "support/windowtest.h"

#include "../convert/corpushelpers.h"

#include "export/exporthtml.h"
#include "app/palettes.h"
#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "convert/sourceblocks.h"
#include "editor/findreplacebar.h"
#include "editor/highlighter.h"
#include "editor/tabledialog.h"
#include "editor/tablesizecell.h"
#include "settings/settings.h"
#include "settings/themes.h"

#include <KZip>

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

using GuiTest::ModalAnswers;
using GuiTest::readFile;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void loadSequenceAsksForThemeThenDocument();
    void openShowsThePageAndTitle();
    void recentMenuAsksBeforeReplacing();
    void modifiedFlagSurvivesSwitches();
    void sourceModeDisablesPageOnlyCommands();
    void sourceShowsConvertersNormalForm();
    void pageHoldsTheDocumentUntilItAnswers();
    void commandsGoToTheSurfaceInUse();
    void saveAsksForAPathOnce();
    void closingModifiedDocumentAsks();
    void quitWaitsForThePendingSave();
    void noAnswerReachesADestroyedWindow();
    void newDocumentClearsThePage();
    void typedTableSurvivesSaveAsWithReturn();
    void barsFitAndShortcutsSwitchThem();
    void paletteSwitchRestylesBothModesInPlace();

    void standaloneHtmlOfTheRealPage();
    void htmlExportWritesOrWarns_data();
    void htmlExportWritesOrWarns();
    void officeExportsWriteOrWarn_data();
    void officeExportsWriteOrWarn();
    void pdfExportIsA4OrReportsFailure();
    void printToFileIsTheEnginesPdf_data();
    void printToFileIsTheEnginesPdf();

    void roundTrip_data();
    void roundTrip();
    void saveRewritesOnlyEditedBlock_data();
    void saveRewritesOnlyEditedBlock();
    void sourceTextSurvivesPageVisit();
    void fenceLanguageWordKept();

    void pageWithoutAnswerKeepsContent();

private:
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = files.filePath(name);
        return GuiTest::writeFile(path, bytes) ? path : QString();
    }
    // Opens the Markdown as a file in WYSIWYG mode and waits for the page to show it.
    bool openInPage(const QString &name, const QByteArray &markdown);
    // Waits until every call the page made so far has reached the program.
    bool pageCallsArrived() { return w->callsArrived(); }

    std::unique_ptr<QTemporaryDir> home;
    QTemporaryDir files;
    std::unique_ptr<WindowHarness> w;
    QStringList events;
};

void TestWindow::initTestCase()
{
    home = GuiTest::isolate();
    QVERIFY(QDir(files.path()).mkpath(QStringLiteral("pics")));
    QImage image(9, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(files.filePath(QStringLiteral("pics/a.png"))));

    w = std::make_unique<WindowHarness>();
    connect(w->page(), &PageSurface::documentRequested, this, [this] { events << QStringLiteral("document"); });
    // The page loads once the event loop runs: this script is in place by then,
    // and records the commands that reach the page's theme and document.
    QWebEngineScript recorder;
    recorder.setInjectionPoint(QWebEngineScript::DocumentCreation);
    recorder.setWorldId(QWebEngineScript::MainWorld);
    recorder.setSourceCode(QStringLiteral(
        "window.pageCalls = []; Object.defineProperty(window, 'page', { configurable: true, set: function (page) {"
        " ['setTheme', 'setHtml'].forEach(function (name) { var real = page[name];"
        "  page[name] = function () { pageCalls.push(name); return real.apply(page, arguments); }; });"
        " Object.defineProperty(window, 'page', { value: page, writable: true, configurable: true }); } });"));
    w->page()->view()->page()->scripts().insert(recorder);
    w->window.setStartupFilePath(file(QStringLiteral("start.md"), "# Start\n\n![pic](pics/a.png)\n"));
    QVERIFY(w->showAndWait());
}

void TestWindow::init()
{
    w->switchTo(false);
    w->document()->setModified(false);
}

void TestWindow::cleanupTestCase()
{
    w->document()->setModified(false);
    w.reset();
}

bool TestWindow::openInPage(const QString &name, const QByteArray &markdown)
{
    w->js(QStringLiteral("document.body.innerHTML = '<i id=\"pending\"></i>'; true"));
    if (!w->document()->open(file(QString(name).replace(QLatin1Char('/'), QLatin1Char('-')), markdown)))
        return false;
    return GuiTest::waitFor([this] { return w->js(QStringLiteral("!document.getElementById('pending')")).toBool(); },
                            10000);
}

void TestWindow::loadSequenceAsksForThemeThenDocument()
{
    QTRY_COMPARE(events.count(QStringLiteral("document")), 1);
    QCOMPARE(events, QStringList{QStringLiteral("document")});
    QCOMPARE(w->js(QStringLiteral("pageCalls.join()")).toString(), QStringLiteral("setTheme,setHtml"));
    QTRY_COMPARE(w->js(QStringLiteral("document.querySelector('h1') ? document.querySelector('h1').textContent : ''")).toString(),
                 QStringLiteral("Start"));
    const QString theme = w->js(QStringLiteral("document.getElementById('themecss').href")).toString();
    QVERIFY(theme.startsWith(QLatin1String("file:///")) && theme.endsWith(QLatin1String("/themes/github-markdown-light.css")));

    // The start-up document's picture, relative to its folder, shows and saves as written.
    QTRY_COMPARE_WITH_TIMEOUT(w->js(QStringLiteral("document.images[0].naturalWidth")).toInt(), 9, 10000);
    QVERIFY(w->js(QStringLiteral("page.html()")).toString().contains(QLatin1String("src=\"pics/a.png\"")));
    QCOMPARE(w->window.windowTitle(), QStringLiteral("start.md  -  Veltrane"));
}

void TestWindow::openShowsThePageAndTitle()
{
    QVERIFY(openInPage(QStringLiteral("notes.md"), "# Notes\n\nSome *text*.\n"));
    QVERIFY(w->body().contains(QStringLiteral("<h1>Notes</h1>")));
    QCOMPARE(w->window.windowTitle(), QStringLiteral("notes.md  -  Veltrane"));
    QCOMPARE(w->child<QMenu>("recentMenu")->actions().first()->text(), w->document()->filePath());
    // Typing in the page marks the document modified.
    w->js(QStringLiteral("document.body.dispatchEvent(new InputEvent('input', { bubbles: true })); true"));
    QTRY_COMPARE(w->window.windowTitle(), QStringLiteral("notes.md*  -  Veltrane"));
}

void TestWindow::recentMenuAsksBeforeReplacing()
{
    const QString first = file(QStringLiteral("first.md"), "first\n");
    const QString second = file(QStringLiteral("second.md"), "second\n");
    w->document()->open(first);
    w->document()->open(second);
    QMenu *recent = w->child<QMenu>("recentMenu");
    QCOMPARE(recent->actions().at(1)->text(), first);

    // While the document is modified the user is asked first; "否" keeps it.
    w->document()->setModified(true);
    {
        ModalAnswers answers({QStringLiteral("否")});
        recent->actions().at(1)->trigger();
        QCOMPARE(answers.seen, QStringList{QStringLiteral("当前文件还没保存，是否放弃？")});
    }
    QCOMPARE(w->document()->filePath(), second);
    ModalAnswers answers({QStringLiteral("是")});
    recent->actions().at(1)->trigger();
    QCOMPARE(w->document()->filePath(), first);
    QTRY_VERIFY(w->body().contains(QStringLiteral("first")));
}

void TestWindow::modifiedFlagSurvivesSwitches()
{
    QVERIFY(openInPage(QStringLiteral("switch.md"), "# Head\n\nBody text\n"));
    QVERIFY(w->switchTo(true));
    QVERIFY(w->editor()->toPlainText().contains(QStringLiteral("Body text")));
    QVERIFY(!w->document()->isModified());
    QVERIFY(!w->editor()->document()->isModified());
    QVERIFY(w->switchTo(false));

    w->page()->bridge()->edited(); // what the page sends on input
    QVERIFY(w->switchTo(true));
    QVERIFY(w->document()->isModified());
    QVERIFY(w->editor()->document()->isModified());
    QVERIFY(w->window.windowTitle().contains(QLatin1Char('*')));

    w->editor()->appendPlainText(QStringLiteral("\nAdded in source"));
    QVERIFY(w->switchTo(false));
    QTRY_VERIFY(w->body().contains(QStringLiteral("Added in source")));
    QVERIFY(w->document()->isModified());
}

void TestWindow::sourceModeDisablesPageOnlyCommands()
{
    const QList<QAction *> pageOnly{w->action("actionHTML"), w->action("actionPDF"), w->action("actionPrint"),
                                    w->action("actionClearFormat"), w->action("actionUnlink")};
    // Written from the Markdown, these work in both modes.
    const QList<QAction *> everywhere{w->child<QMenu>("menuExport")->menuAction(), w->action("actionWordDocx"),
                                      w->action("actionOdt")};
    auto *button = w->child<QPushButton>("modeButton");
    auto *wordCount = w->child<QLabel>("wordCountLabel");
    button->click(); // as the user switches
    QVERIFY(w->modes()->isSourceMode());
    for (QAction *action : pageOnly)
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    for (QAction *action : everywhere)
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(wordCount->isHidden());
    QCOMPARE(button->text(), QString(QChar(0xF1EA)));
    QCOMPARE(button->toolTip(), QStringLiteral("切换可见即可得模式"));
    button->click();
    QVERIFY(!w->modes()->isSourceMode());
    for (QAction *action : pageOnly)
        QVERIFY(action->isEnabled());
    QVERIFY(!wordCount->isHidden());
    QCOMPARE(button->text(), QString(QChar(0xF121)));
    QCOMPARE(button->toolTip(), QStringLiteral("切换源码模式"));
}

void TestWindow::sourceShowsConvertersNormalForm()
{
    // The source view is regenerated from the page: the blocks left alone
    // keep the file's own text, an edited one is in the converter's form.
    QVERIFY(openInPage(QStringLiteral("setext.md"), "Heading\n=======\n\n* one\n* two\n"));
    QVERIFY(w->switchTo(true));
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("Heading\n=======\n\n* one\n* two\n"));
    QVERIFY(!w->document()->isModified());
    QVERIFY(w->switchTo(false));
    QTRY_VERIFY(w->body().contains(QStringLiteral("<h1>Heading</h1>")));
    w->js(QStringLiteral("document.querySelector('li').textContent = 'first'; true"));
    QVERIFY(w->switchTo(true));
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("Heading\n=======\n\n- first\n- two\n"));
}

void TestWindow::pageHoldsTheDocumentUntilItAnswers()
{
    QVERIFY(openInPage(QStringLiteral("quick.md"), "kept in the page\n"));
    w->modes()->source()->setMarkdown(QStringLiteral("stale source"));
    // Saved before the page answered a switch: the page's text is written.
    w->modes()->setSourceMode(true);
    w->document()->save();
    QTRY_COMPARE(w->editor()->toPlainText(), QStringLiteral("kept in the page\n"));
    QCOMPARE(readFile(w->document()->filePath()), QByteArray("kept in the page\n"));
    QVERIFY(w->switchTo(false));
    // Back before the page answered: the page holds the document, not the stale source.
    w->modes()->source()->setMarkdown(QStringLiteral("stale source"));
    w->modes()->setSourceMode(true);
    w->modes()->setSourceMode(false);
    QVERIFY(!w->modes()->isSourceMode());
    w->js(QStringLiteral("1")); // answers come in order: the late one has arrived and been dropped
    QVERIFY(w->body().contains(QStringLiteral("kept in the page")));
    QVERIFY(!w->body().contains(QStringLiteral("stale")));
}

void TestWindow::commandsGoToTheSurfaceInUse()
{
    QVERIFY(openInPage(QStringLiteral("commands.md"), "page words\n"));
    w->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('p'));"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); true"));
    w->action("actionBold")->trigger();
    QTRY_VERIFY(w->body().contains(QStringLiteral("<b>page words</b>")));

    QVERIFY(w->switchTo(true));
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("**page words**\n"));
    const QString pageBefore = w->body();
    w->editor()->moveCursor(QTextCursor::Start);
    w->action("actionH2")->trigger();
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("## **page words**\n"));
    // The editing actions work on the editor in source mode, never on the hidden page.
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    QTextCursor cursor = w->editor()->textCursor();
    cursor.setPosition(3);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    w->editor()->setTextCursor(cursor);
    w->action("actionCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("**"));
    w->action("actionCut")->trigger();
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("## page words**\n"));
    w->action("actionPaste")->trigger();
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("## **page words**\n"));
    w->action("actionUndo")->trigger();
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("## page words**\n"));
    QCOMPARE(w->body(), pageBefore);

    // The replace bar follows the surface too.
    w->editor()->moveCursor(QTextCursor::Start);
    w->action("actionReplace")->trigger();
    FindReplaceBar *bar = w->window.findReplaceBar();
    bar->searchField()->setText(QStringLiteral("page"));
    bar->replacementField()->setText(QStringLiteral("source"));
    bar->replaceAllAction()->trigger();
    QCOMPARE(w->editor()->toPlainText(), QStringLiteral("## source words**\n"));
    QCOMPARE(w->body(), pageBefore);
    bar->hideBars();
}

void TestWindow::saveAsksForAPathOnce()
{
    w->action("actionNew")->trigger();
    QVERIFY(w->document()->filePath().isEmpty());
    w->js(QStringLiteral("document.body.innerHTML = '<h1>First</h1>'; true"));
    const QString target = files.filePath(QStringLiteral("saved.md"));
    {
        ModalAnswers answers({}, target);
        w->action("actionSave")->trigger();
        QCOMPARE(w->document()->filePath(), target);
        QTRY_COMPARE(readFile(target), QByteArray("# First\n")); // written from the page's answer
    }
    QCOMPARE(w->window.windowTitle(), QStringLiteral("saved.md  -  Veltrane"));
    QCOMPARE(w->statusText(), QStringLiteral("保存成功"));
    QCOMPARE(Settings::instance().recentFiles().value(0), target);

    // A later save writes to the same path without asking.
    w->js(QStringLiteral("document.body.innerHTML = '<h1>Second</h1>'; true"));
    w->document()->setModified(true);
    w->action("actionSaveToolBar")->trigger();
    QTRY_COMPARE(readFile(target), QByteArray("# Second\n"));
    QVERIFY(!w->document()->isModified());

    // Save As always asks, and makes the new path current.
    const QString other = files.filePath(QStringLiteral("other.md"));
    ModalAnswers answers({}, other);
    w->action("actionSaveAs")->trigger();
    QTRY_COMPARE(readFile(other), QByteArray("# Second\n"));
    QCOMPARE(w->document()->filePath(), other);
}

void TestWindow::closingModifiedDocumentAsks()
{
    w->document()->setModified(true);
    {
        ModalAnswers answers({QStringLiteral("否")});
        QVERIFY(!w->window.close());
        w->action("actionExit")->trigger();
        QCOMPARE(answers.seen, (QStringList{QStringLiteral("当前文件还没保存，是否放弃？"), QStringLiteral("当前文件还没保存，是否放弃？")}));
    }
    QVERIFY(w->window.isVisible());
    w->document()->setModified(false); // an unmodified document closes without a question
    QVERIFY(w->window.close());
    w->window.show();
}

void TestWindow::quitWaitsForThePendingSave()
{
    QVERIFY(openInPage(QStringLiteral("quit.md"), "before\n"));
    const QString path = w->document()->filePath();
    w->js(QStringLiteral("document.body.innerHTML = '<p>typed before quitting</p>'; true"));
    w->document()->setModified(true);
    // Save, then quit at once: the quit waits for the page's text and closes once it is written.
    w->action("actionSave")->trigger();
    QVERIFY(!w->window.close());
    QVERIFY(w->window.isVisible());
    QTRY_VERIFY(!w->window.isVisible());
    QCOMPARE(readFile(path), QByteArray("typed before quitting\n"));
    w->window.show();

    // A slow answer shows that the quit waits; a save that then fails leaves the
    // document modified, and the quit asks.
    w->js(QStringLiteral("var realHtml = page.html; page.html = function () {"
                         " var end = Date.now() + 1500; while (Date.now() < end) {} return realHtml(); }; true"));
    ModalAnswers answers({QStringLiteral("明白"), QStringLiteral("否")});
    w->document()->saveAs(files.filePath(QStringLiteral("missing/quit.md")));
    QVERIFY(!w->window.close());
    QPointer<QProgressDialog> progress = w->window.findChild<QProgressDialog *>();
    QTRY_VERIFY(progress && progress->property("answeredByTest").toBool()); // it was shown
    QTRY_COMPARE(answers.seen.size(), 2);
    QVERIFY(answers.seen.first().startsWith(QStringLiteral("不能保存文件 ")));
    QCOMPARE(answers.seen.last(), QStringLiteral("当前文件还没保存，是否放弃？"));
    QVERIFY(w->window.isVisible());
    QVERIFY(w->document()->isModified());
    w->js(QStringLiteral("page.html = realHtml; true"));
}

void TestWindow::noAnswerReachesADestroyedWindow()
{
    auto other = std::make_unique<WindowHarness>();
    QVERIFY(other->showAndWait());
    const QString path = file(QStringLiteral("destroyed.md"), "on disk\n");
    QVERIFY(other->document()->open(path));
    other->document()->setModified(true);
    // The page owes a save, a switch and an export when the window goes.
    ModalAnswers answers({QStringLiteral("明白"), QStringLiteral("否")});
    bool exported = false;
    other->document()->save();
    other->modes()->setSourceMode(true);
    other->page()->toHtml([&exported](const QString &) { exported = true; });
    other.reset();
    QCoreApplication::processEvents();
    QVERIFY(answers.seen.isEmpty());
    QVERIFY(!exported);
    QCOMPARE(readFile(path), QByteArray("on disk\n"));
}

void TestWindow::newDocumentClearsThePage()
{
    QVERIFY(openInPage(QStringLiteral("old.md"), "old text\n"));
    w->action("actionNewToolBar")->trigger();
    QVERIFY(w->document()->filePath().isEmpty());
    QCOMPARE(w->window.windowTitle(), QStringLiteral("[未保存]  -  Veltrane"));
    QTRY_VERIFY(!w->body().contains(QStringLiteral("old text")));
}

// As a user: a 2 by 2 table typed with arrows and Enter, Save As confirmed
// with Return (whose release reaches the page), then Ctrl+S. Both files hold
// the table as typed and nothing else.
void TestWindow::typedTableSurvivesSaveAsWithReturn()
{
    w->action("actionNew")->trigger();
    w->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w->window));
    QWidget *page = w->page()->view()->focusProxy();
    page->setFocus();
    w->js(QStringLiteral("document.body.focus(); true"));
    QTest::keyClicks(page, QStringLiteral("Prices"));
    QTest::keyClick(page, Qt::Key_Return);
    QTRY_VERIFY(w->body().endsWith(QStringLiteral("Prices<p><br></p>")));

    QTimer picker;
    connect(&picker, &QTimer::timeout, this, [] {
        if (auto *dialog = qobject_cast<TableDialog *>(QApplication::activeModalWidget()))
            dialog->cell(1, 1)->click();
    });
    picker.start(20);
    w->action("actionTable")->trigger();
    picker.stop();
    QTRY_VERIFY(w->body().contains(QStringLiteral("<table>")));

    QTest::keyClicks(page, QStringLiteral("Item"));
    QTest::keyClick(page, Qt::Key_Right);
    QTest::keyClicks(page, QStringLiteral("Price"));
    QTest::keyClick(page, Qt::Key_Down);
    QTest::keyClicks(page, QStringLiteral("4.20"));
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(page, Qt::Key_Left);
    QTest::keyClicks(page, QStringLiteral("Tea"));
    QTest::keyClick(page, Qt::Key_Return);
    QTest::keyClicks(page, QStringLiteral("green"));
    QTRY_VERIFY(w->body().contains(QStringLiteral("green")));

    const QString path = files.filePath(QStringLiteral("prices.md"));
    QTimer saveDialog;
    connect(&saveDialog, &QTimer::timeout, this, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *edit = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (edit && edit->text() != path) {
            edit->setText(path);
            QTest::keyPress(edit, Qt::Key_Return);
        }
    });
    saveDialog.start(20);
    w->action("actionSaveAs")->trigger();
    saveDialog.stop();
    QTest::keyRelease(page, Qt::Key_Return);

    const QByteArray expected = "Prices\n\n| Item         | Price |\n|--------------|-------|\n| Tea<br>green | 4.20  |\n";
    QTRY_COMPARE(readFile(path), expected);
    QVERIFY(pageCallsArrived());
    QCOMPARE(w->window.windowTitle(), QStringLiteral("prices.md  -  Veltrane"));
    QVERIFY(QFile::remove(path));
    w->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w->window));
    QTest::keyClick(page, Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(readFile(path), expected);
}

// The bars have a row of their own: at the window's size every item is on
// screen, the fields wide enough to use. Ctrl+F and Ctrl+H each show their bar
// and focus its field, from either bar, and the bar stays.
void TestWindow::barsFitAndShortcutsSwitchThem()
{
    FindReplaceBar *bar = w->window.findReplaceBar();
    w->window.resize(w->window.minimumSizeHint().expandedTo(QSize(1000, 600)));
    w->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w->window));
    QWidget *page = w->page()->view()->focusProxy();
    page->setFocus();
    w->js(QStringLiteral("document.body.focus(); true"));
    QVERIFY(pageCallsArrived()); // the page's focus, which closes the bars, is told
    QTest::keyClick(page, Qt::Key_F, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), bar->findField());
    QTest::keyClick(bar->findField(), Qt::Key_H, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), bar->searchField());
    QVERIFY(pageCallsArrived());
    QCOMPARE(QApplication::focusWidget(), bar->searchField());
    QVERIFY(!bar->findField()->isVisible());

    QToolBar *row = bar->barToolBar();
    const QList<QAction *> items = row->actions();
    for (QAction *action : items) {
        if (!action->isVisible())
            continue;
        QWidget *widget = row->widgetForAction(action);
        QVERIFY2(widget && widget->isVisible(), qPrintable(action->text()));
        QVERIFY(widget->mapTo(&w->window, QPoint(widget->width(), 0)).x() <= w->window.width());
    }
    QVERIFY(bar->searchField()->width() >= 150);
    QVERIFY(row->widgetForAction(bar->replaceAllAction())->isVisible());

    QTest::keyClick(bar->searchField(), Qt::Key_F, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), bar->findField());
    QVERIFY(pageCallsArrived());
    QCOMPARE(QApplication::focusWidget(), bar->findField());
    QVERIFY(bar->findField()->width() >= 150);
    bar->hideBars();
}

void TestWindow::paletteSwitchRestylesBothModesInPlace()
{
    w->window.setPalettes(makeDarkPalette(), makeLightPalette());
    QVERIFY(openInPage(QStringLiteral("palette.md"), "one `code`\n\n```python\nx = 1\n```\n"));
    // The loaded page shows its code block as static code.
    const QString look = QStringLiteral("getComputedStyle(document.body).backgroundColor + ' '"
                                        " + getComputedStyle(document.querySelector('pre.veltrane-code')).backgroundColor");
    const QString light = QStringLiteral("rgb(255, 255, 255) rgb(245, 245, 245)");
    QVERIFY(GuiTest::themeSheetLoaded(w->page()->view()->page(), QUrl::fromLocalFile(Themes::currentPath())));
    QCOMPARE(w->js(look).toString(), light);
    // The page: a dark sheet and dark code blocks at once.
    w->action("actionDarkTheme")->trigger();
    QVERIFY(GuiTest::themeSheetLoaded(w->page()->view()->page(), QUrl::fromLocalFile(Themes::currentPath())));
    QCOMPARE(w->js(look).toString(), QStringLiteral("rgb(13, 17, 23) rgb(46, 52, 64)"));

    // The source editor: the dark colour set and a dark current line, the cursor and undo kept.
    QVERIFY(w->switchTo(true));
    QPlainTextEdit *editor = w->editor();
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(2);
    editor->setTextCursor(cursor);
    QTest::keyClicks(editor, QStringLiteral("n"));
    const auto codeColour = [editor] {
        for (const QTextLayout::FormatRange &range : editor->document()->firstBlock().layout()->formats()) {
            if (range.start > 0 && range.format.hasProperty(QTextFormat::ForegroundBrush))
                return range.format.foreground().color();
        }
        return QColor();
    };
    const auto lineShade = [editor] { return editor->extraSelections().value(0).format.background().color(); };
    // What the text area shows, below the text.
    const auto shownBase = [editor] {
        const QImage shot = editor->viewport()->grab().toImage();
        return QColor(shot.pixel(shot.width() - 3, shot.height() - 3));
    };
    QTRY_COMPARE(codeColour(), Highlighter::colour(Highlighter::Role::Code, true));
    QCOMPARE(lineShade(), Highlighter::colour(Highlighter::Role::CurrentLine, true));
    QCOMPARE(shownBase(), QColor(25, 25, 25));
    w->action("actionLightTheme")->trigger();
    QCOMPARE(codeColour(), Highlighter::colour(Highlighter::Role::Code, false));
    QCOMPARE(lineShade(), Highlighter::colour(Highlighter::Role::CurrentLine, false));
    QCOMPARE(shownBase(), QColor(Qt::white));
    QCOMPARE(editor->textCursor().position(), 3);
    QVERIFY(editor->document()->isUndoAvailable());
    editor->undo();
    QVERIFY(editor->toPlainText().startsWith(QStringLiteral("one `code`")));
    QVERIFY(w->switchTo(false));
    QTRY_COMPARE(w->js(look).toString(), light);
}

void TestWindow::standaloneHtmlOfTheRealPage()
{
    w->page()->setHtml(QStringLiteral("<h1>Export title</h1><p>Some <strong>bold</strong> text, 中文.</p>"
                                      "<pre><code>&lt;div id=\"keep\" contenteditable=\"true\"&gt;</code></pre>"));
    QTRY_VERIFY(w->body().contains(QStringLiteral("Export title")));
    QString page;
    w->page()->view()->page()->toHtml([&page](const QString &html) { page = html; });
    QTRY_VERIFY(!page.isEmpty());
    QVERIFY(page.contains(QStringLiteral("contenteditable=\"true\"")));
    QVERIFY(page.contains(QStringLiteral("id=\"themecss\"")));

    for (const char *sheet : {":/mdgithub.css", ":/lib/codemirror/lib/codemirror.css",
                              ":/lib/codemirror/theme/idea.css", ":/my.css"})
        QVERIFY2(!readFile(QString::fromLatin1(sheet)).isEmpty(), sheet);
    const QString theme = QStringLiteral("/* theme in use */ .markdown-body { color: #123456; }");
    const QString html = makeStandaloneHtml(page, theme);

    // Not editable, no scripts or linked sheets, no ids, nothing pointing into the program's folder.
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("<[^>]*contenteditable"))));
    QVERIFY(!html.contains(QStringLiteral("<script")));
    QVERIFY2(!html.contains(QStringLiteral("<link")), qPrintable(html.left(2000)));
    QVERIFY(!html.contains(QRegularExpression(QStringLiteral("<[^>]*\\sid=\""))));
    QVERIFY(!html.contains(Themes::folder()));
    QVERIFY(!html.contains(QStringLiteral("qrc:")));

    // One style block, closing the head, holding the theme and the program's sheets.
    QCOMPARE(html.count(QStringLiteral("<style>")), 1);
    QCOMPARE(html.count(QStringLiteral("</head>")), 1);
    QCOMPARE(html.count(QStringLiteral("</style>")), 1);
    QVERIFY(html.contains(QStringLiteral("</style></head>")));
    QVERIFY(html.contains(theme));
    QVERIFY(html.contains(QString::fromUtf8(readFile(QStringLiteral(":/lib/codemirror/lib/codemirror.css")))));
    QVERIFY(html.indexOf(QStringLiteral(".cm-s-idea")) > html.indexOf(theme));

    // The document survives, including text that looks like markup.
    QVERIFY(html.contains(QStringLiteral("<h1>Export title</h1>")));
    QVERIFY(html.contains(QStringLiteral("中文")));
    QVERIFY(html.contains(QStringLiteral("&lt;div id=\"keep\" contenteditable=\"true\"&gt;")));
    QVERIFY(html.contains(QStringLiteral("<body class=\"markdown-body\">")));

    // The theme sheet in use follows the setting.
    QCOMPARE(Themes::currentCss(), QString::fromUtf8(readFile(Themes::folder() + QStringLiteral("/github-markdown-light.css"))));
    QVERIFY(!Themes::currentCss().isEmpty());
    Settings::instance().setCssFile(QStringLiteral("no-such-theme.css"));
    QVERIFY(Themes::currentCss().isEmpty());
    Settings::instance().setCssFile(QString::fromLatin1(Themes::defaultTheme));
}

void TestWindow::htmlExportWritesOrWarns_data()
{
    QTest::addColumn<bool>("writable");
    QTest::newRow("written") << true;
    QTest::newRow("missing folder") << false;
}

void TestWindow::htmlExportWritesOrWarns()
{
    QFETCH(bool, writable);
    // A hostile document: the editing page does not run it, nor may the export.
    w->page()->setHtml(QStringLiteral("<h1>Export title</h1><img src=\"x.png\" onerror=\"alert(1)\"><script>alert(2)</script>"
                                      "<iframe src=\"https://example.org/\"></iframe>"));
    QTRY_VERIFY(w->body().contains(QStringLiteral("Export title")));
    const QString path = home->path() + (writable ? QStringLiteral("/") : QStringLiteral("/missing/")) + QStringLiteral("page.html");

    ModalAnswers answers({QStringLiteral("明白")}, path);
    w->action("actionHTML")->trigger();
    QTRY_COMPARE(answers.seen.size(), 1);
    if (writable) {
        QCOMPARE(answers.seen.first(), QStringLiteral("导出成功"));
        const QString written = QString::fromUtf8(readFile(path));
        QVERIFY(written.contains(QStringLiteral("<h1>Export title</h1>")));
        QVERIFY(written.contains(Themes::currentCss()));
        QVERIFY(!written.contains(QStringLiteral("<script")));
        const QString writtenBody = written.mid(written.indexOf(QStringLiteral("<body")));
        QVERIFY2(!writtenBody.contains(QStringLiteral("alert")), qPrintable(writtenBody));
        QVERIFY(!writtenBody.contains(QStringLiteral("<iframe")));
        QVERIFY(written.contains(QStringLiteral("Content-Security-Policy")));
        QVERIFY(written.endsWith(QLatin1Char('\n')));
    } else {
        QVERIFY(answers.seen.first().contains(QStringLiteral("不能导出文件")));
        QVERIFY(answers.seen.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
    }
}

void TestWindow::officeExportsWriteOrWarn_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("source");
    QTest::addColumn<QString>("typed");  // into the file dialog, without an extension
    QTest::addColumn<QString>("target"); // the file the export writes or names in its warning
    QTest::newRow("word, from the page") << "actionWordDocx" << false << "/report" << "/report.docx";
    QTest::newRow("odt, from the source") << "actionOdt" << true << "/report" << "/report.odt";
    QTest::newRow("word, missing folder") << "actionWordDocx" << true << "/missing/report" << "/missing/report.docx";
}

void TestWindow::officeExportsWriteOrWarn()
{
    QFETCH(QString, action);
    QFETCH(bool, source);
    QFETCH(QString, typed);
    QFETCH(QString, target);
    QVERIFY(openInPage(QStringLiteral("office.md"), "# Quarterly\n\n| Item | Count |\n|---|---:|\n| pens | 12 |\n"));
    QVERIFY(w->switchTo(source));
    // In source mode the editor holds the document: a row added there is exported.
    const char *lastRow = source ? "staplers" : "pens";
    if (source)
        w->editor()->appendPlainText(QStringLiteral("| staplers | 3 |"));
    const QString path = home->path() + target;

    ModalAnswers answers({QStringLiteral("明白")}, home->path() + typed);
    w->action(action.toLatin1().constData())->trigger();
    QTRY_COMPARE(answers.seen.size(), 1);
    if (target.startsWith(QLatin1String("/missing/"))) {
        QVERIFY(answers.seen.first().startsWith(QStringLiteral("不能导出文件 ") + QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(answers.seen.first(), QStringLiteral("导出成功"));
    KZip zip(path);
    QVERIFY(zip.open(QIODevice::ReadOnly));
    const bool word = action == QLatin1String("actionWordDocx");
    const auto *part = zip.directory()->file(word ? QStringLiteral("word/document.xml") : QStringLiteral("content.xml"));
    QVERIFY(part);
    const QByteArray body = part->data();
    for (const char *expected : word ? QList<const char *>{"<w:pStyle w:val=\"Heading1\"/>", "<w:tbl>", lastRow}
                                     : QList<const char *>{"text:outline-level=\"1\"", "<table:table ", lastRow})
        QVERIFY2(body.contains(expected), expected);
}

void TestWindow::pdfExportIsA4OrReportsFailure()
{
    const QString path = home->path() + QStringLiteral("/page.pdf");
    {
        ModalAnswers answers({QStringLiteral("明白")}, path);
        w->action("actionPDF")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 1, 30000);
        QCOMPARE(answers.seen.first(), QStringLiteral("导出成功"));
    }
    const QByteArray pdf = readFile(path);
    QVERIFY(pdf.startsWith("%PDF"));
    // A4 portrait in points, with no margins taken off the page box.
    const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                                            .match(QString::fromLatin1(pdf.constData(), pdf.size()));
    QVERIFY(box.hasMatch());
    QCOMPARE(qRound(box.captured(1).toDouble()), 595);
    QCOMPARE(qRound(box.captured(2).toDouble()), 842);

    const QString missing = home->path() + QStringLiteral("/missing/page.pdf");
    ModalAnswers answers({QStringLiteral("明白")}, missing);
    w->action("actionPDF")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 1, 30000);
    QVERIFY(answers.seen.first().startsWith(QStringLiteral("导出失败")));
    QVERIFY(!QFile::exists(missing));
}

void TestWindow::printToFileIsTheEnginesPdf_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("printed") << false;
    QTest::newRow("full disk") << true;
}

void TestWindow::printToFileIsTheEnginesPdf()
{
    QFETCH(bool, fullDisk);
    QString folder = home->path();
    std::unique_ptr<Faults::SmallDisk> disk;
    if (fullDisk) {
        folder = home->filePath(QStringLiteral("small"));
        disk = std::make_unique<Faults::SmallDisk>(folder, 64);
        if (!disk->isMounted())
            QSKIP("needs root to mount a small tmpfs");
        disk->fill();
    }
    const QString path = folder + QStringLiteral("/printed.pdf");
    w->page()->setHtml(QStringLiteral("<h1>Printed words</h1>"));
    QTRY_VERIFY(w->body().contains(QStringLiteral("Printed words")));

    // The print dialog, answered as a user who prints into a file.
    QTimer answerPrintDialog;
    connect(&answerPrintDialog, &QTimer::timeout, this, [path] {
        if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget())) {
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(path);
            dialog->done(QDialog::Accepted);
        }
    });
    answerPrintDialog.start(20);
    w->action("actionPrint")->trigger();
    answerPrintDialog.stop();
    ModalAnswers answers({QStringLiteral("明白")});
    QTRY_COMPARE_WITH_TIMEOUT(answers.seen.size(), 1, 30000);
    if (fullDisk) {
        QVERIFY(answers.seen.first().startsWith(QStringLiteral("打印失败")));
        QVERIFY(answers.seen.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(answers.seen.first(), QStringLiteral("打印成功"));
    // Text in fonts, as the PDF export makes it, not a picture of each page.
    const QByteArray pdf = readFile(path);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.contains("/Font"));
    QVERIFY(!pdf.contains("/Subtype /Image"));
}

void TestWindow::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rewritten");
    // HTML the browser itself rewrites before the page holds it: a tag that
    // never ends is dropped, a processing instruction becomes a comment, an
    // unclosed link is closed at its paragraph's end.
    const QStringList rewritten = {QStringLiteral("classes/C2-incomplete-tag.md"),
                                   QStringLiteral("classes/F1-pi.md"), QStringLiteral("classes/G1-unclosed-a.md")};
    for (const QString &name : Corpus::files())
        QTest::newRow(qPrintable(name)) << name << rewritten.contains(name);
}

void TestWindow::roundTrip()
{
    // A document opened in WYSIWYG mode and saved without edits keeps what it
    // says, and saving again from the page changes nothing.
    QFETCH(QString, name);
    QFETCH(bool, rewritten);
    const QString original = Corpus::read(name);
    QVERIFY(openInPage(name, original.toUtf8()));
    const QString saved = htmlToMarkdown(w->js(QStringLiteral("page.html()")).toString());
    if (!rewritten)
        QCOMPARE(Corpus::normalizeHtml(markdownToHtml(saved)), Corpus::normalizeHtml(markdownToHtml(original)));
    QVERIFY(openInPage(name, saved.toUtf8()));
    const QString again = htmlToMarkdown(w->js(QStringLiteral("page.html()")).toString());
    QCOMPARE(Corpus::normalizeHtml(markdownToHtml(again)), Corpus::normalizeHtml(markdownToHtml(saved)));
    QCOMPARE(again, saved);
}

void TestWindow::saveRewritesOnlyEditedBlock_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("edit");
    // HTML the page cannot hold as written (an unfinished tag, a processing
    // instruction, an unclosed link): such a block is saved as the page holds it.
    const QStringList rewritten = {QStringLiteral("classes/C2-incomplete-tag.md"),
                                   QStringLiteral("classes/F1-pi.md"), QStringLiteral("classes/G1-unclosed-a.md")};
    // A word of the first paragraph or item that has one changes.
    const QString word = QStringLiteral(
        "(function () { var blocks = document.body.querySelectorAll(':scope > p, :scope > ul > li, :scope > ol > li');"
        " for (var i = 0; i < blocks.length; i++) { var walker = document.createTreeWalker(blocks[i], NodeFilter.SHOW_TEXT);"
        " for (var n = walker.nextNode(); n; n = walker.nextNode()) { if (n.parentNode.closest('code, a, pre')) continue;"
        " var m = /[A-Za-z]{4,}/.exec(n.data); if (!m) continue;"
        " n.data = n.data.slice(0, m.index) + 'Zyxwvut' + n.data.slice(m.index + m[0].length); return true; } }"
        " return false; })()");
    for (const QString &name : Corpus::files()) {
        if (rewritten.contains(name))
            continue;
        QTest::newRow(qPrintable(name)) << name << QString();
        QTest::newRow(qPrintable(name + QStringLiteral(": word"))) << name << word;
    }
    const QString readme = QStringLiteral("11-readme.md");
    QTest::newRow("list item added") << readme
        << QStringLiteral("var li = document.createElement('li'); li.textContent = 'Added item';"
                          " document.querySelector('body > ul').appendChild(li); true");
    QTest::newRow("table cell") << readme << QStringLiteral("document.querySelector('body > table td').textContent = 'x'; true");
    QTest::newRow("code block")
        << readme << QStringLiteral("modules.codeblocks.activateCodeBlock(document.querySelector('body > pre')).replaceRange('# note\\n',"
                                    " {line: 0, ch: 0}); true");
}

void TestWindow::saveRewritesOnlyEditedBlock()
{
    // Saved without an edit, the file is what it was; with one block edited
    // in the page, the lines that differ lie in that block.
    QFETCH(QString, name);
    QFETCH(QString, edit);
    const QByteArray original = Corpus::read(name).toUtf8();
    QVERIFY(openInPage(name, original));
    // An edit statement answers whether the document had something to edit.
    const QVariant answer = edit.isEmpty() ? QVariant(false) : w->js(edit);
    QCOMPARE(answer.type(), QVariant::Bool);
    const bool edited = answer.toBool();
    QSignalSpy saved(w->document(), &Document::saved);
    w->document()->save();
    QVERIFY(!saved.isEmpty() || saved.wait(10000));
    const QString text = QString::fromUtf8(readFile(w->document()->filePath()));
    if (!edited) {
        QCOMPARE(text, QString::fromUtf8(original));
        return;
    }
    QVERIFY(text != QString::fromUtf8(original));
    const QStringList before = QString::fromUtf8(original).split(QLatin1Char('\n'));
    const QStringList after = text.split(QLatin1Char('\n'));
    int head = 0;
    while (head < before.size() && head < after.size() && before.at(head) == after.at(head))
        ++head;
    int tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    const int end = before.size() - tail;
    int line = 0;
    bool within = false;
    for (const QString &block : SourceBlocks(QString::fromUtf8(original)).blocks()) {
        const int lines = block.count(QLatin1Char('\n'));
        within = within || (head >= line && end <= line + lines + 1);
        line += lines;
    }
    if (!within)
        QCOMPARE(text, QString::fromUtf8(original));
}

void TestWindow::sourceTextSurvivesPageVisit()
{
    // Text typed in source mode comes back as typed from the page; an edit
    // in the page rewrites its own block only.
    const QString typed = QStringLiteral("Head\n====\n\n* a\n* b\n\nText   with [ref].\n\n[ref]: /r\n");
    QVERIFY(w->switchTo(true));
    w->editor()->setPlainText(QString());
    w->editor()->insertPlainText(typed);
    QVERIFY(w->switchTo(false));
    QTRY_VERIFY(w->body().contains(QStringLiteral("<h1>Head</h1>")));
    QVERIFY(w->switchTo(true));
    QCOMPARE(w->editor()->toPlainText(), typed);
    // Back unchanged, the editor still undoes its own typing.
    QVERIFY(w->editor()->document()->isUndoAvailable());
    QVERIFY(w->switchTo(false));
    QTRY_VERIFY(w->body().contains(QStringLiteral("<h1>Head</h1>")));
    w->js(QStringLiteral("document.querySelector('h1').textContent = 'Top'; true"));
    QVERIFY(w->switchTo(true));
    QCOMPARE(w->editor()->toPlainText(), QString(typed).replace(QStringLiteral("Head\n===="), QStringLiteral("# Top")));
}

void TestWindow::fenceLanguageWordKept()
{
    // A word that is not a display name of the language table comes back as
    // written; once the user picks a language, the display name is written.
    QVERIFY(openInPage(QStringLiteral("fences.md"), "```rust\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
    QCOMPARE(htmlToMarkdown(w->js(QStringLiteral("page.html()")).toString()),
             QStringLiteral("```rust\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
    w->js(QStringLiteral("modules.codeblocks.activateCodeBlocks(); document.querySelector('.CodeMirror').CodeMirror.setOption('mode', 'text/x-c++src'); true"));
    QCOMPARE(htmlToMarkdown(w->js(QStringLiteral("page.html()")).toString()),
             QStringLiteral("```C++\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
}

void TestWindow::pageWithoutAnswerKeepsContent()
{
    // Last: this breaks the page's html() on purpose.
    QVERIFY(openInPage(QStringLiteral("keep.md"), "precious words\n"));
    QVERIFY(w->switchTo(true));
    QVERIFY(w->switchTo(false));
    QTRY_VERIFY(w->body().contains(QStringLiteral("precious words")));
    w->js(QStringLiteral("page.html = undefined; true"));

    w->document()->setModified(true);
    w->child<QPushButton>("modeButton")->click();
    // The switch is taken back: the page still holds the document and the editor is not emptied.
    QTRY_VERIFY(!w->modes()->isSourceMode());
    QVERIFY(!w->child<QPushButton>("modeButton")->isChecked());
    QVERIFY(w->editor()->toPlainText().contains(QStringLiteral("precious words")));
    QVERIFY(!w->statusText().isEmpty());

    // A save writes nothing and says so; the document stays modified.
    const QString path = w->document()->filePath();
    const QString target = home->path() + QStringLiteral("/unanswered.docx");
    ModalAnswers answers({QStringLiteral("明白")}, target);
    w->action("actionSave")->trigger();
    QTRY_COMPARE(answers.seen.size(), 1);
    QVERIFY(answers.seen.first().startsWith(QStringLiteral("不能保存文件 ")));
    QVERIFY(w->document()->isModified());
    QCOMPARE(readFile(path), QByteArray("precious words\n"));

    // No export either: an empty document must not pass for this one.
    w->action("actionWordDocx")->trigger();
    QTRY_COMPARE(answers.seen.size(), 2);
    QVERIFY(answers.seen.last().startsWith(QStringLiteral("不能导出文件 ")));
    QVERIFY(!QFile::exists(target));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
