// Find and replace on the tool bar: searching and replacing in the source
// surface, and what the bars send to the page surface.

#include "support/guitest.h"

#include "convert/markdowntohtml.h"

#include "editor/findreplacebar.h"
#include "editor/pagesurface.h"
#include "editor/pageview.h"
#include "editor/sourcesurface.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QToolBar>

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void replaceAllReachesEveryMatch();
    void replaceAllDoesNotLoop();
    void replaceCurrent();
    void barsShowAndHide();
    void typingKeepsTheMatch();
    void findStepsWithoutWrapping();
    void pageModeTalksToThePage();
    void pageReplacesInCodeBlocks();

private:
    void setSource(const QString &text, int cursorAt)
    {
        editor->setPlainText(text);
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(cursorAt);
        editor->setTextCursor(cursor);
    }

    std::unique_ptr<QTemporaryDir> workDir;
    QMainWindow *window = nullptr;
    QPlainTextEdit *editor = nullptr;
    SourceSurface *source = nullptr;
    PageSurface *page = nullptr;
    FindReplaceBar *bar = nullptr;
};

void TestFindReplace::initTestCase()
{
    workDir = GuiTest::isolate();
    window = new QMainWindow;
    auto *toolBar = window->addToolBar(QStringLiteral("main"));
    editor = new QPlainTextEdit(window);
    window->setCentralWidget(editor);
    source = new SourceSurface(editor, window);
    page = new PageSurface(new PageView(window), window);
    bar = new FindReplaceBar(toolBar, source, window);
    window->resize(1200, 500);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestFindReplace::cleanupTestCase()
{
    delete window;
}

void TestFindReplace::init()
{
    bar->setSurface(source);
}

void TestFindReplace::replaceAllReachesEveryMatch()
{
    setSource(QStringLiteral("Cat cat\nCAT dog cat"), 12);
    source->replaceAllMatches(QStringLiteral("cat"), QStringLiteral("ox"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("ox ox\nox dog ox"));

    // One undo step brings everything back.
    editor->undo();
    QCOMPARE(editor->toPlainText(), QStringLiteral("Cat cat\nCAT dog cat"));

    source->replaceAllMatches(QStringLiteral("bird"), QStringLiteral("ox"));
    source->replaceAllMatches(QString(), QStringLiteral("ox"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("Cat cat\nCAT dog cat"));
}

void TestFindReplace::replaceAllDoesNotLoop()
{
    setSource(QStringLiteral("a-a"), 0);
    source->replaceAllMatches(QStringLiteral("a"), QStringLiteral("aA"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("aA-aA"));

    setSource(QStringLiteral("aaaa"), 0);
    source->replaceAllMatches(QStringLiteral("aa"), QString());
    QCOMPARE(editor->toPlainText(), QString());
}

void TestFindReplace::replaceCurrent()
{
    // No selection: the next match from the cursor is replaced.
    setSource(QStringLiteral("one two one"), 1);
    source->replaceMatch(QStringLiteral("ONE"), QStringLiteral("1"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one two 1"));

    // A selection is replaced even when it is not a match.
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    source->replaceMatch(QStringLiteral("one"), QStringLiteral("2"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one 2 1"));

    // Nothing further: nothing changes.
    source->replaceMatch(QStringLiteral("one"), QStringLiteral("x"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("one 2 1"));
}

void TestFindReplace::barsShowAndHide()
{
    setSource(QStringLiteral("alpha beta"), 0);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    bar->showFindBar(); // with the selection
    QTRY_VERIFY(bar->findField()->isVisible() && bar->findNextAction()->isVisible());
    QCOMPARE(window->focusWidget(), bar->findField());
    QVERIFY(!bar->replaceAllAction()->isVisible() && !bar->searchField()->isVisible());
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("beta"));

    editor->moveCursor(QTextCursor::Start);
    bar->showReplaceBar();
    QTRY_VERIFY(bar->searchField()->isVisible() && bar->replacementField()->isVisible());
    QCOMPARE(window->focusWidget(), bar->searchField());
    QVERIFY(!bar->findField()->isVisible() && !bar->findNextAction()->isVisible());

    // The close item is the one after "替换全部".
    QList<QAction *> actions = bar->barToolBar()->actions();
    actions.at(actions.indexOf(bar->replaceAllAction()) + 1)->trigger();
    QTRY_VERIFY(!bar->searchField()->isVisible());
    QVERIFY(!bar->replaceOneAction()->isVisible());
}

void TestFindReplace::typingKeepsTheMatch()
{
    setSource(QStringLiteral("xx hello"), 0);
    bar->showFindBar();
    QTest::keyClicks(bar->findField(), QStringLiteral("HEL"));
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("hel"));
    QTest::keyClicks(bar->findField(), QStringLiteral("lo"));
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("hello"));
    QCOMPARE(editor->textCursor().selectionStart(), 3);

    // No match: the selection stays where it was.
    QTest::keyClicks(bar->findField(), QStringLiteral("!"));
    QCOMPARE(editor->textCursor().selectionStart(), 3);
}

void TestFindReplace::findStepsWithoutWrapping()
{
    setSource(QStringLiteral("ab ab ab"), 4);
    bar->showReplaceBar();
    bar->searchField()->setText(QStringLiteral("ab"));
    QCOMPARE(editor->textCursor().selectionStart(), 6);
    bar->replaceNextAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 6);
    bar->replacePreviousAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 3);
    bar->replacePreviousAction()->trigger();
    bar->replacePreviousAction()->trigger();
    QCOMPARE(editor->textCursor().selectionStart(), 0);

    bar->replacementField()->setText(QStringLiteral("c"));
    bar->replaceOneAction()->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("c ab ab"));
    bar->replaceAllAction()->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("c c c"));
}

void TestFindReplace::pageModeTalksToThePage()
{
    bar->setSurface(page);
    const QString sourceBefore = editor->toPlainText();

    QWebEnginePage *view = page->view()->page();
    QVERIFY(GuiTest::waitForPage(view));
    // The page's search functions, recording the calls that reach them.
    GuiTest::runJs(view, QStringLiteral("window.calls = [];"
                                        " ['markMatches', 'replaceMatch', 'replaceAllMatches'].forEach(function (name) {"
                                        "  var real = page[name]; page[name] = function (text) {"
                                        "   calls.push(name + ':' + text); return real(text); }; }); true"));
    const auto calls = [view] { return GuiTest::runJs(view, QStringLiteral("calls.join('|')")).toString(); };
    GuiTest::runJs(view, QStringLiteral("document.body.innerHTML = '<p>word</p>'; getSelection().selectAllChildren("
                                        "document.querySelector('p')); true"));
    QTRY_COMPARE(page->selectedText(), QStringLiteral("word"));
    bar->showReplaceBar();
    QCOMPARE(bar->searchField()->text(), QStringLiteral("word"));
    QTRY_COMPARE(calls(), QStringLiteral("markMatches:word"));
    // Shown again with the same text: highlighted again.
    QTRY_VERIFY(GuiTest::runJs(view, QStringLiteral("modules.search.marked().matches.length > 0")).toBool());
    GuiTest::runJs(view, QStringLiteral("getSelection().selectAllChildren(document.querySelector('p')); true"));
    QTRY_COMPARE(page->selectedText(), QStringLiteral("word"));
    bar->showReplaceBar();
    QTRY_COMPARE(calls(), QStringLiteral("markMatches:word|markMatches:word"));

    bar->replacementField()->setText(QStringLiteral("<b>"));
    bar->replaceOneAction()->trigger();
    bar->replaceAllAction()->trigger();
    QTRY_COMPARE(calls(), QStringLiteral("markMatches:word|markMatches:word|replaceMatch:<b>|replaceAllMatches:<b>"));

    bar->searchField()->clear();
    QCOMPARE(GuiTest::runJs(view, QStringLiteral("calls.filter(function (c) { return c.indexOf('markMatches') === 0; }).length")).toInt(), 2);
    QCOMPARE(editor->toPlainText(), sourceBefore);
}

// Both modes replace inside code: in the page a static block through its text,
// a live one through its editor (a step of its own undo history).
void TestFindReplace::pageReplacesInCodeBlocks()
{
    QWebEnginePage *view = page->view()->page();
    QVERIFY(GuiTest::waitForPage(view));
    auto js = [view](const QString &script) { return GuiTest::runJs(view, script); };
    js(QStringLiteral("document.body.innerHTML = %1; modules.codeblocks.makeCodeBlocks();"
                      "modules.codeblocks.activateCodeBlock(document.querySelectorAll('pre')[1]); true")
           .arg(GuiTest::jsString(markdownToHtml(QStringLiteral("cat\n\n```python\ncat = \"cat\"\n```\n\n```\ncat\n```\n")))));
    QCOMPARE(js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 1);

    page->markMatches(QStringLiteral("cat"));
    // Found in document order, across the coloured tokens of the static block.
    QTRY_COMPARE(js(QStringLiteral("modules.search.marked().matches.map(function (m) { return m.block ? m.start : 'p'; }).join()")).toString(),
                 QStringLiteral("p,0,7,0"));
    QVERIFY(js(QStringLiteral("modules.search.marked().matches[2].getClientRects().length")).toInt() > 0);
    page->stepMatch(QStringLiteral("cat"), false);
    page->stepMatch(QStringLiteral("cat"), false);
    page->replaceMatch(QStringLiteral("cat"), QStringLiteral("dog"));
    QTRY_VERIFY(js(QStringLiteral("page.html()")).toString().contains(QLatin1String("dog = \"cat\"")));
    // The later match of the same block moved with the text.
    page->replaceAllMatches(QStringLiteral("cat"), QStringLiteral("ox"));
    QTRY_COMPARE(js(QStringLiteral("page.html()")).toString(),
                 QStringLiteral("<p>ox</p>\n<pre><code class=\"language-python\">dog = \"ox\"\n</code></pre>\n"
                                "<pre><code>ox\n</code></pre>\n"));
    QCOMPARE(js(QStringLiteral("document.querySelector('.CodeMirror').CodeMirror.historySize().undo")).toInt(), 1);
    QCOMPARE(js(QStringLiteral("modules.codeblocks.isStaticCodeBlock(document.querySelector('pre'))")).toBool(), true);

    bar->setSurface(source);
    setSource(QStringLiteral("cat\n```\ncat\n```\n"), 0);
    source->replaceAllMatches(QStringLiteral("cat"), QStringLiteral("ox"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("ox\n```\nox\n```\n"));
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
