// The page's editing scripts: inline code, headings and quotes, typed Markdown
// and the page's keys (sent as real key events), code blocks with their
// languages, the table operations and their undo steps.

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "support/pagetest.h"

#include <QMenu>

class TestPageCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void inlineCode();
    void headingsToggleQuoteWraps_data();
    void headingsToggleQuoteWraps();
    void typedKeys_data();
    void typedKeys();
    void keyReleasedWithoutPressChangesNothing();
    void tabMovesBetweenCells();
    void operationsUndoInOrderWithTyping();

    void everyLanguageHasItsMode();
    void languageFromRenderedMarkdown();
    void selectorAppearsOnFocus();
    void setModeAtPoint();
    void insertAtSelection();
    void insertFromInsideAnEditorGoesAfterIt();
    void convertingAgainLeavesEditorsAlone();
    void staticBlocksSaveAsLiveOnes();
    void staticBlockBecomesLive();
    void contextMenuLanguages();
    void codeBlockInsertionIsOneUndoStep();

    void tableOperations_data();
    void tableOperations();
    void insertTableShapes_data();
    void insertTableShapes();
    void operationsOnInsertedTable();
    void newCellsTakeTheirColumnsAlignment();
    void deleteOnlyHeaderThenMoveUp();
    void pointOutsideTableChangesNothing();

private:
    // Body html, then the caret at the end of the first text node of the first
    // element matching selector.
    void setBodyWithCaret(const QString &html, const QString &selector);
    // Real key events into the view, as the user types them.
    void type(const QString &text) { QTest::keyClicks(h->view.focusProxy(), text); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(h->view.focusProxy(), key, modifiers);
    }
    // The body with each code editor written as [CM:its text].
    QString bodyText();
    // "THEAD[th:a,th:b] TBODY[td:c,td:d]" for the first table; cells holding only
    // a no-break space read "_"; an align attribute is written as "@value".
    QString shape();
    QPoint cellPoint(int row, int column);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PageHarness> h;
};

static const char *const sample = "| a | b |\n|---|---|\n| c | d |\n| e | f |\n";

void TestPageCommands::initTestCase()
{
    dir = GuiTest::isolate();
    h = std::make_unique<PageHarness>();
    QVERIFY(h->waitReady());
    h->view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h->view));
    h->view.setFocus();
}

void TestPageCommands::cleanupTestCase()
{
    QVERIFY2(PageHarness::errors().isEmpty(), qPrintable(PageHarness::errors().join(QLatin1Char('\n'))));
    h.reset();
}

void TestPageCommands::setBodyWithCaret(const QString &html, const QString &selector)
{
    h->setBody(html);
    h->js(QStringLiteral("document.body.focus(); var n = document.querySelector(%1);"
                         "while (n.firstChild) n = n.firstChild;"
                         "var r = document.createRange(); r.setStart(n, n.nodeType === 3 ? n.length : 0);"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); true")
              .arg(GuiTest::jsString(selector)));
}

QString TestPageCommands::bodyText()
{
    return h->js(QStringLiteral("var c = document.body.cloneNode(true); var live = document.querySelectorAll('.CodeMirror');"
                                "c.querySelectorAll('.CodeMirror').forEach(function (w, i) {"
                                "  w.parentNode.replaceWith('[CM:' + live[i].CodeMirror.getValue() + ']'); });"
                                "c.innerHTML")).toString();
}

void TestPageCommands::inlineCode()
{
    h->setBody(QStringLiteral("<p>hello <i>big</i> world</p>"));
    h->js(QStringLiteral("var p = document.querySelector('p'); var r = document.createRange();"
                         "r.setStart(p.firstChild, 2); r.setEnd(p.lastChild, 3);"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); page.inlineCode(); true"));
    QCOMPARE(h->js(QStringLiteral("document.body.innerHTML")).toString(),
             QStringLiteral("<p>he<code>llo <i>big</i> wo</code>rld</p>"));
    // Without a selection nothing happens and nothing fails.
    h->js(QStringLiteral("getSelection().removeAllRanges(); page.inlineCode(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('code').length")).toInt(), 1);
}

void TestPageCommands::headingsToggleQuoteWraps_data()
{
    QTest::addColumn<QString>("html"); // the caret goes into the element with id c
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("H2 on a paragraph") << "<p id=\"c\">t</p>" << "page.heading(2)" << "<h2>t</h2>";
    QTest::newRow("H2 on an H2 gives a paragraph") << "<h2 id=\"c\">t</h2>" << "page.heading(2)" << "<p>t</p>";
    QTest::newRow("H3 on an H2") << "<h2 id=\"c\">t</h2>" << "page.heading(3)" << "<h3>t</h3>";
    QTest::newRow("H1 in a cell changes nothing") << "<table><tbody><tr><td id=\"c\">t</td></tr></tbody></table>"
                                                 << "page.heading(1)" << "<table><tbody><tr><td id=\"c\">t</td></tr></tbody></table>";
    QTest::newRow("quote wraps a heading") << "<p>a</p><h2 id=\"c\">t</h2><p>b</p>" << "page.quote()"
                                           << "<p>a</p><blockquote><h2 id=\"c\">t</h2></blockquote><p>b</p>";
    QTest::newRow("quote wraps a paragraph") << "<p id=\"c\">t</p>" << "page.quote()" << "<blockquote><p id=\"c\">t</p></blockquote>";
    QTest::newRow("code at the start of a line") << "<p id=\"c\">one two</p>" << "page.inlineCode()" << "<p id=\"c\"><code>one</code> two</p>";
    QTest::newRow("code in a cell") << "<table><tbody><tr><td id=\"c\">one two</td></tr></tbody></table>" << "page.inlineCode()"
                                    << "<table><tbody><tr><td id=\"c\"><code>one</code> two</td></tr></tbody></table>";
}

// Through the window's command, each one step that Ctrl+Z takes back.
void TestPageCommands::headingsToggleQuoteWraps()
{
    QFETCH(QString, html);
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    h->setBody(html);
    h->js(QStringLiteral("document.body.focus(); true"));
    if (statement == QLatin1String("page.inlineCode()"))
        h->js(QStringLiteral("var n = document.getElementById('c'); var r = document.createRange();"
                             "r.setStart(n.firstChild, 0); r.setEnd(n.firstChild, 3);"
                             "if (n.children[0]) r.selectNodeContents(n.children[0]);"
                             "getSelection().removeAllRanges(); getSelection().addRange(r); true"));
    else
        h->select(QStringLiteral("#c"));
    h->js(statement + QStringLiteral("; true"));
    QCOMPARE(h->body(), expected);
    key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(h->body(), html);
}

void TestPageCommands::typedKeys_data()
{
    QTest::addColumn<QString>("html"); // the caret goes to the end of the first text or element
    QTest::addColumn<QString>("typed"); // "\n" is Enter
    QTest::addColumn<QString>("expected");
    const QString empty = QStringLiteral("<p><br></p>");
    QTest::newRow("## gives H2") << empty << "## Second level" << "<h2>Second level</h2>";
    QTest::newRow("###### gives H6") << empty << "###### six" << "<h6>six</h6>";
    QTest::newRow("seven hashes stay text") << empty << "####### x" << "<p>####### x</p>";
    QTest::newRow("a heading after Enter") << "<p>Intro</p>" << "\n## Second level" << "<p>Intro</p><h2>Second level</h2>";
    QTest::newRow("heading in a new document") << QString() << "## Title" << "<h2>Title</h2>";
    QTest::newRow("minus before a digit") << empty << "-5 degrees" << "<p>-5 degrees</p>";
    QTest::newRow("a decimal number") << empty << "1.5 litres" << "<p>1.5 litres</p>";
    QTest::newRow("hash before a digit") << empty << "#1 priority" << "<p>#1 priority</p>";
    QTest::newRow("marker not at the start") << "<p>a</p>" << " - b" << "<p>a - b</p>";
    QTest::newRow("bullet") << empty << "- item" << "<p><ul><li>item</li></ul></p>";
    QTest::newRow("numbered") << empty << "3. item" << "<p><ol><li>item</li></ol></p>";
    QTest::newRow("quote") << empty << "> q" << "<blockquote>q</blockquote>";
    QTest::newRow("fence starts a code block") << "<p>a</p>" << "\n```\nx = 1" << "<p>a</p>[CM:x = 1]";
    QTest::newRow("fence with a language") << "<p>a</p>" << "\n```Python\nx" << "<p>a</p>[CM:x]";
    QTest::newRow("keys in a code block are its own") << "<pre><code>x</code></pre>" << "## y" << "[CM:## yx]";
    QTest::newRow("Enter in a cell breaks the line")
        << "<table><tbody><tr><td>a</td><td>b</td></tr></tbody></table>" << "\nz"
        << "<table><tbody><tr><td>a<br>z</td><td>b</td></tr></tbody></table>";
    QTest::newRow("Enter after a heading gives a paragraph") << "<h2>t</h2>" << "\nx" << "<h2>t</h2><p>x</p>";
}

// Markdown typed into the page: a marker counts only when the space that
// completes it is typed at the very start of a paragraph.
void TestPageCommands::typedKeys()
{
    QFETCH(QString, html);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    h->setBody(html);
    h->view.setFocus();
    if (html.contains(QLatin1String("<pre>"))) {
        h->js(QStringLiteral("var cm = document.querySelector('.CodeMirror').CodeMirror; cm.focus(); cm.setCursor(0, 0); true"));
    } else if (!html.isEmpty()) {
        h->js(QStringLiteral("document.body.focus(); true"));
        h->select(QStringLiteral("body > * :not(br), body > *"));
    } else {
        h->js(QStringLiteral("document.body.focus(); true"));
    }
    const QStringList lines = typed.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            key(Qt::Key_Return);
        type(lines.at(i));
    }
    QTRY_COMPARE(bodyText(), expected);
    if (QByteArray(QTest::currentDataTag()) == "fence with a language") {
        QCOMPARE(h->text(QStringLiteral("document.querySelector('.CodeMirror').CodeMirror.getOption('mode')")),
                 QStringLiteral("text/x-python"));
        QCOMPARE(htmlToMarkdown(h->text(QStringLiteral("page.html()"))), QStringLiteral("a\n\n```Python\nx\n```\n"));
    }
}

// A Return released over the page after a dialog or a menu took its press
// (Save As confirmed with Return) changes nothing.
void TestPageCommands::keyReleasedWithoutPressChangesNothing()
{
    const QString html = QStringLiteral("<h2>Head</h2><table><tbody><tr><td>cell</td></tr></tbody></table>");
    h->setBody(html);
    h->view.setFocus();
    h->js(QStringLiteral("document.body.focus(); true"));
    for (const QString &selector : {QStringLiteral("h2"), QStringLiteral("td")}) {
        h->select(selector);
        QTest::keyRelease(h->view.focusProxy(), Qt::Key_Return);
        QTest::keyRelease(h->view.focusProxy(), Qt::Key_Space);
    }
    type(QStringLiteral("!")); // arrives after the releases
    QTRY_COMPARE(h->body(), QStringLiteral("<h2>Head</h2><table><tbody><tr><td>cell!</td></tr></tbody></table>"));
}

// Tab and Shift+Tab move between the cells and keep the focus in the page;
// Tab in the last cell adds a row, which Ctrl+Z takes back.
void TestPageCommands::tabMovesBetweenCells()
{
    h->setBody(markdownToHtml(QStringLiteral("| a | b |\n|:--|--:|\n| c | d |\n")) + QStringLiteral("<p>after</p>"));
    h->view.setFocus();
    h->js(QStringLiteral("document.body.focus(); true"));
    h->select(QStringLiteral("th"));
    key(Qt::Key_Tab);
    type(QStringLiteral("B"));
    key(Qt::Key_Tab);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    type(QStringLiteral("A"));
    QTRY_COMPARE(shape(), QStringLiteral("THEAD[th:A@left,th:B@right] TBODY[td:c@left,td:d@right]"));
    h->select(QStringLiteral("tbody td:last-child"));
    key(Qt::Key_Tab);
    type(QStringLiteral("e"));
    key(Qt::Key_Tab);
    type(QStringLiteral("f"));
    QTRY_COMPARE(shape(), QStringLiteral("THEAD[th:A@left,th:B@right] TBODY[td:c@left,td:d@right] TBODY[td:e@left,td:f@right]"));
    QVERIFY(h->view.focusProxy()->hasFocus());
    QCOMPARE(h->text(QStringLiteral("document.activeElement.tagName")), QStringLiteral("BODY"));
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(shape(), QStringLiteral("THEAD[th:A@left,th:B@right] TBODY[td:c@left,td:d@right]"));
}

// Each program operation is one undo step, taken back in order with the
// typing around it, and redone.
void TestPageCommands::operationsUndoInOrderWithTyping()
{
    h->setBody(QStringLiteral("<p>one two</p>") + markdownToHtml(QString::fromUtf8(sample)));
    h->view.setFocus();
    h->js(QStringLiteral("document.body.focus(); true"));
    QStringList states{h->body()};
    h->select(QStringLiteral("td"));
    type(QStringLiteral("x"));
    QTRY_VERIFY(h->body() != states.last());
    states << h->body();
    const QPoint cell = cellPoint(1, 0);
    for (const QString &statement : {QStringLiteral("page.insertRow(%1,%2,'below')"), QStringLiteral("page.alignColumn(%1,%2,'right')"),
                                     QStringLiteral("page.deleteColumn(%1,%2)"), QStringLiteral("page.deleteTable(%1,%2)")}) {
        h->js(statement.arg(cell.x()).arg(cell.y()) + QStringLiteral("; true"));
        QVERIFY2(h->body() != states.last(), qPrintable(statement));
        states << h->body();
    }
    h->select(QStringLiteral("p"), 0, 3);
    h->js(QStringLiteral("page.inlineCode(); true"));
    QVERIFY(h->body().startsWith(QStringLiteral("<p><code>one</code> two")));
    states << h->body();
    type(QStringLiteral("y"));
    QTRY_VERIFY(h->body() != states.last());
    states << h->body();
    // Searching leaves the history alone; a replacement is a step of it.
    h->js(QStringLiteral("page.markMatches('two'); page.replaceMatch('2'); page.clearMatches(); true"));
    QVERIFY(h->body().contains(QStringLiteral("</code> 2")));
    states << h->body();

    for (int i = states.size() - 2; i >= 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(h->body(), states.at(i));
    }
    // A redone rebuilt line may end in the browser's empty-line placeholder,
    // which shows nothing.
    auto redone = [this] { return h->body().replace(QStringLiteral("<br></p>"), QStringLiteral("</p>")); };
    for (int i = 1; i < states.size(); ++i) {
        key(Qt::Key_Y, Qt::ControlModifier);
        QTRY_COMPARE(redone(), states.at(i));
    }
}

// Every script loaded without an error, and each entry of the language table
// names a MIME type that resolves to a loaded mode.
void TestPageCommands::everyLanguageHasItsMode()
{
    QVERIFY2(PageHarness::errors().isEmpty(), qPrintable(PageHarness::errors().join(QLatin1Char('\n'))));
    QCOMPARE(h->js(QStringLiteral("modules.languages.languageList().length")).toInt(), 35);
    QCOMPARE(h->js(QStringLiteral("var l = modules.languages.languageList(); l[0][0] + '|' + l[0][1] + '|' + l[34][0]")).toString(),
             QStringLiteral("|default|application/xml"));
    const QString missing = h->js(QStringLiteral(R"((function () {
        var bad = [];
        for (var pair of modules.languages.languageList()) {
            var key = pair[0];
            if (key === '') continue;
            var spec = CodeMirror.mimeModes[key];
            var name = spec && (typeof spec === 'string' ? spec : spec.name);
            if (!name || !CodeMirror.modes[name]) { bad.push(key); continue; }
            // Building the mode runs its dependencies on other modes.
            var mode = CodeMirror.getMode({indentUnit: 2}, key);
            if (!mode || mode.name === 'null') bad.push(key);
        }
        return bad.join(',');
    })())")).toString();
    QCOMPARE(missing, QString());
    QCOMPARE(h->js(QStringLiteral("modules.languages.modeNamed('C++')")).toString(), QStringLiteral("text/x-c++src"));
    QCOMPARE(h->js(QStringLiteral("modules.languages.modeNamed('python')")).toString(), QString());
    QCOMPARE(h->js(QStringLiteral("modules.languages.modeNamed('default')")).toString(), QString());
}

// Rendered fences become editors; the language is found by its name or a usual alias.
void TestPageCommands::languageFromRenderedMarkdown()
{
    const QString html = markdownToHtml(QStringLiteral(
        "text\n\n```C++\nint x;\n```\n\n```python\nx = 1\n```\n\n```\n  plain\n\n```\n\n    indented\n"));
    QVERIFY(html.contains(QLatin1String("class=\"language-C++\"")));
    h->setBody(html);
    const QString summary = h->js(QStringLiteral(R"((function () {
        var out = [];
        document.querySelectorAll('div.CodeMirror').forEach(function (w) {
            out.push(w.CodeMirror.getOption('mode') + '=' + w.CodeMirror.getValue());
        });
        return out.join('|') + '|pre outside editors: ' +
            Array.prototype.filter.call(document.querySelectorAll('pre'), function (p) {
                return !p.closest('.CodeMirror') && !p.veltraneBlock; }).length;
    })())")).toString();
    // The code keeps its indentation and its empty last line.
    QCOMPARE(summary, QStringLiteral("text/x-c++src=int x;|text/x-python=x = 1|=  plain\n|=indented|pre outside editors: 0"));
    // What the saved page writes as the block's class.
    QCOMPARE(h->js(QStringLiteral("modules.languages.languageName(document.querySelector('div.CodeMirror').CodeMirror.getOption('mode'))")).toString(),
             QStringLiteral("C++"));
}

void TestPageCommands::selectorAppearsOnFocus()
{
    h->setBody(markdownToHtml(QStringLiteral("```Go\nfunc main() {}\n```\n\nafter\n")));
    const QString selectorState = QStringLiteral(
        "(function () { var s = document.querySelector('div.CodeMirror select.code-language');"
        "return s.style.display + ':' + s.options.length + ':' + s.value; })()");
    QCOMPARE(h->js(selectorState).toString(), QStringLiteral("none:0:"));

    h->view.setFocus();
    h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); true"));
    QTRY_COMPARE(h->js(selectorState).toString(), QStringLiteral("block:35:text/x-go"));
    const QString names = h->js(QStringLiteral(
        "Array.prototype.map.call(document.querySelector('select.code-language').options, function (o) { return o.text; }).join(',')")).toString();
    const QString expected = h->js(QStringLiteral("modules.languages.languageList().map(function (l) { return l[1]; }).join(',')")).toString();
    QCOMPARE(names, expected);

    // Choosing a language sets the editor's mode.
    h->js(QStringLiteral("var s = document.querySelector('select.code-language'); s.value = 'text/x-python';"
                         "s.dispatchEvent(new Event('change')); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.getOption('mode')")).toString(),
             QStringLiteral("text/x-python"));

    // Leaving the editor hides the selector again.
    h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.getInputField().blur(); true"));
    QTRY_COMPARE(h->js(selectorState).toString(), QStringLiteral("none:0:"));
}

void TestPageCommands::setModeAtPoint()
{
    h->setBody(markdownToHtml(QStringLiteral("para\n\n```\nfirst\n```\n\n```Go\nsecond\n```\n")));
    const QString point = QStringLiteral(
        "(function () { var r = document.querySelectorAll('div.CodeMirror')[%1].getBoundingClientRect();"
        "return Math.round(r.left + 10) + ',' + Math.round(r.top + r.height / 2); })()");
    const QString second = h->js(point.arg(1)).toString();
    QCOMPARE(h->js(QStringLiteral("page.setCodeBlockMode(%1,'text/x-c++src')").arg(second)).toBool(), true);
    const QString first = h->js(point.arg(0)).toString();
    QCOMPARE(h->js(QStringLiteral("page.setCodeBlockMode(%1,'')").arg(first)).toBool(), true);
    QCOMPARE(h->js(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('div.CodeMirror'),"
                                  "function (w) { return w.CodeMirror.getOption('mode'); }).join('|')")).toString(),
             QStringLiteral("|text/x-c++src"));

    // Outside a block nothing changes.
    const QString para = h->js(QStringLiteral(
        "(function () { var r = document.querySelector('p').getBoundingClientRect();"
        "return Math.round(r.left + 5) + ',' + Math.round(r.top + r.height / 2); })()")).toString();
    QCOMPARE(h->js(QStringLiteral("page.setCodeBlockMode(%1,'text/x-go')").arg(para)).toBool(), false);
}

void TestPageCommands::insertAtSelection()
{
    h->setBody(QStringLiteral("<p>keep <b>code()</b> tail</p>"));
    h->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('b'));"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); page.codeBlock(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 1);
    QCOMPARE(h->js(QStringLiteral("var cm = document.querySelector('div.CodeMirror').CodeMirror;"
                                  "cm.getValue() + '|' + cm.getOption('mode') + '|' + cm.hasFocus()")).toString(),
             QStringLiteral("code()||true"));
    // The selected text moved into the block.
    QCOMPARE(h->js(QStringLiteral("var c = document.body.cloneNode(true);"
                                  "c.querySelectorAll('.CodeMirror').forEach(function (w) { w.remove(); });"
                                  "c.textContent.replace(/\\u00a0/g, ' ')")).toString(),
             QStringLiteral("keep  tail"));

    // Without a selection nothing is inserted.
    h->setBody(QStringLiteral("<p>x</p>"));
    h->js(QStringLiteral("getSelection().removeAllRanges(); page.codeBlock(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 0);
}

void TestPageCommands::insertFromInsideAnEditorGoesAfterIt()
{
    h->setBody(markdownToHtml(QStringLiteral("```\nold\n```\n")));
    h->view.setFocus();
    h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); page.codeBlock(); true"));
    QCOMPARE(h->js(QStringLiteral(
        "Array.prototype.map.call(document.body.children, function (e) {"
        "  return e.veltraneBlock ? 'CM:' + modules.codeblocks.codeBlockText(e) : e.tagName; }).join('|')")).toString(),
             QStringLiteral("CM:old|CM:"));
}

void TestPageCommands::convertingAgainLeavesEditorsAlone()
{
    h->setBody(markdownToHtml(QStringLiteral("```\na\nb\n```\n")));
    h->js(QStringLiteral("modules.codeblocks.makeCodeBlocks(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length + ':' +"
                                  "document.querySelector('div.CodeMirror').CodeMirror.getValue()")).toString(),
             QStringLiteral("1:a\nb"));
}

// A loaded block is static code, coloured by its fence's word (any usual
// name, in any case), and is saved exactly as its live editor would be.
void TestPageCommands::staticBlocksSaveAsLiveOnes()
{
    const QString markdown = QStringLiteral("para\n\n```python\ndef f(x):\n    return x  # \\t\n```\n\n```bash\necho \"$HOME\"\n```\n\n"
                                            "```c++\nint x;\n```\n\n```yml\na: 1\n```\n\n```rust2\nfn\n```\n\n```\n\n\n```\n\n```\n```\n");
    // A tab stays a tab, in the shown text too.
    const QString html = markdownToHtml(markdown) + QStringLiteral("<pre><code>\tTab\n</code></pre>");
    QVERIFY(h->setHtml(html));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length + ':' +"
                                  "document.querySelectorAll('pre.veltrane-code.cm-s-default').length")).toString(),
             QStringLiteral("0:8"));
    QTRY_COMPARE(h->text(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('pre.veltrane-code'), function (p) {"
                                        "  return modules.codeblocks.codeBlockMode(p) + (p.querySelector('span[class^=cm-]') ? '+' : ''); }).join('|')")),
             QStringLiteral("text/x-python+|text/x-sh+|text/x-c++src+|text/x-yaml+||||"));
    QCOMPARE(h->text(QStringLiteral("document.querySelector('pre:last-of-type').textContent")), QStringLiteral("\tTab"));
    const QString saved = h->text(QStringLiteral("page.html()"));
    QVERIFY(saved.contains(QLatin1String("<pre><code>\tTab\n</code></pre>")));
    QVERIFY(h->setHtml(html));
    h->js(QStringLiteral("modules.codeblocks.activateCodeBlocks(); true"));
    QCOMPARE(h->text(QStringLiteral("page.html()")), saved);
    const QString back = htmlToMarkdown(saved);
    for (const char *word : {"```python\n", "```bash\n", "```c++\n", "```yml\n", "```rust2\n"})
        QVERIFY2(back.contains(QLatin1String(word)), qPrintable(back));
}

// A static block turns into its editor when clicked (the caret where the
// click was) and when the caret arrives from the text before or after it.
void TestPageCommands::staticBlockBecomesLive()
{
    QVERIFY(h->setHtml(markdownToHtml(QStringLiteral("above\n\n```\nfirst line\nsecond line\n```\n\nbelow\n"))));
    h->view.setFocus();
    const QString state = QStringLiteral("(function () { var p = document.querySelector('pre.veltrane-code');"
                                         " var e = p.veltraneBlock.editor; if (!e) return 'static';"
                                         " var c = e.getCursor(); return c.line + ':' + c.ch + (e.hasFocus() ? ' focused' : ''); })()");
    const QStringList point = h->text(QStringLiteral(
        "(function () { var r = modules.codeblocks.staticBlockRange(document.querySelector('pre'), 14, 15).getBoundingClientRect();"
        " return Math.round(r.left + 1) + ',' + Math.round(r.top + r.height / 2); })()")).split(QLatin1Char(','));
    QCOMPARE(h->text(state), QStringLiteral("static"));
    QTest::mouseClick(h->view.focusProxy(), Qt::LeftButton, Qt::NoModifier, QPoint(point.at(0).toInt(), point.at(1).toInt()));
    QTRY_COMPARE(h->text(state), QStringLiteral("1:3 focused"));
    type(QStringLiteral("X"));
    QTRY_VERIFY(h->text(QStringLiteral("page.html()")).contains(QLatin1String("secXond line")));

    for (const bool down : {true, false}) {
        QVERIFY(h->setHtml(markdownToHtml(QStringLiteral("above\n\n```\nfirst line\nsecond line\n```\n\nbelow\n"))));
        h->js(QStringLiteral("document.body.focus(); true"));
        h->select(down ? QStringLiteral("p") : QStringLiteral("p:last-of-type"));
        key(down ? Qt::Key_Down : Qt::Key_Up);
        QTRY_COMPARE(h->text(state), down ? QStringLiteral("0:0 focused") : QStringLiteral("1:11 focused"));
    }
}

// The context menu offers the block's own selector's languages and sets the
// language of a static block (it stays static, coloured anew) and of a live
// one (its selector follows).
void TestPageCommands::contextMenuLanguages()
{
    QVERIFY(h->setHtml(markdownToHtml(QStringLiteral("para\n\n```\nx = 1\n```\n"))));
    const QStringList point = h->text(QStringLiteral(
        "(function () { var r = document.querySelector('pre').getBoundingClientRect();"
        " return Math.round(r.left + 20) + ',' + Math.round(r.top + r.height / 2); })()")).split(QLatin1Char(','));
    const QPoint at(point.at(0).toInt(), point.at(1).toInt());
    auto choose = [this, at](const QString &name) {
        QStringList names;
        GuiTest::throughModals([&] { emit h->view.customContextMenuRequested(at); }, {[&](QWidget *popup) {
            for (QAction *action : popup->actions()) {
                if (action->text() != QStringLiteral("代码块语言") || !action->menu())
                    continue;
                for (QAction *language : action->menu()->actions()) {
                    names << language->text();
                    if (language->text() == name)
                        language->trigger();
                }
            }
            popup->close();
        }});
        return names;
    };
    QSignalSpy modified(&h->bridge(), &PageBridge::documentEdited);
    const QStringList names = choose(QStringLiteral("Python"));
    QStringList selector = h->text(QStringLiteral("modules.languages.languageList().map(function (l) { return l[1]; }).join('|')")).split(QLatin1Char('|'));
    selector[0] = QStringLiteral("默认");
    QCOMPARE(names, selector);
    QTRY_COMPARE(h->text(QStringLiteral("modules.codeblocks.codeBlockMode(document.querySelector('pre'))")), QStringLiteral("text/x-python"));
    QTRY_COMPARE(modified.count(), 1); // a change to save
    // Coloured once the mode has loaded: waited for as such, not through the mark.
    QTRY_VERIFY(h->js(QStringLiteral("modules.codeblocks.isStaticCodeBlock(document.querySelector('pre')) && !!document.querySelector('pre .cm-number')")).toBool());
    QVERIFY(h->text(QStringLiteral("page.html()")).contains(QLatin1String("<code class=\"Python\">x = 1\n</code>")));

    h->view.setFocus();
    h->js(QStringLiteral("modules.codeentry.enterCodeBlock(document.querySelector('pre'), 0, true); true"));
    QTRY_COMPARE(h->text(QStringLiteral("document.querySelector('select.code-language').value")), QStringLiteral("text/x-python"));
    choose(QStringLiteral("Go"));
    QTRY_COMPARE(h->text(QStringLiteral("document.querySelector('select.code-language').value")), QStringLiteral("text/x-go"));
    QCOMPARE(h->text(QStringLiteral("modules.codeblocks.codeBlockMode(document.querySelector('pre'))")), QStringLiteral("text/x-go"));
}

// Inserting a code block, from the command or typed as a fence, is one undo
// step in order with the typing around it, and is redone whole.
void TestPageCommands::codeBlockInsertionIsOneUndoStep()
{
    h->setBody(QStringLiteral("<p>a</p>"));
    h->view.setFocus();
    h->js(QStringLiteral("document.body.focus(); true"));
    h->select(QStringLiteral("p"));
    type(QStringLiteral("b"));
    QTRY_COMPARE(h->body(), QStringLiteral("<p>ab</p>"));
    h->js(QStringLiteral("page.codeBlock(); true"));
    QCOMPARE(bodyText(), QStringLiteral("<p>ab</p>[CM:]"));
    type(QStringLiteral("c"));
    QTRY_COMPARE(bodyText(), QStringLiteral("<p>ab</p>[CM:c]"));
    key(Qt::Key_Z, Qt::ControlModifier); // the block's own typing first
    QTRY_COMPARE(bodyText(), QStringLiteral("<p>ab</p>[CM:]"));
    key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(h->body(), QStringLiteral("<p>ab</p>"));
    key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(h->body(), QStringLiteral("<p>a</p>"));
    key(Qt::Key_Y, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    QTRY_COMPARE(bodyText(), QStringLiteral("<p>ab</p>[CM:]"));
    QCOMPARE(h->js(QStringLiteral("document.querySelector('pre').getAttribute('contenteditable')")).toString(), QStringLiteral("false"));

    setBodyWithCaret(QStringLiteral("<p>a</p><p><br></p>"), QStringLiteral("p:last-child"));
    type(QStringLiteral("```js"));
    key(Qt::Key_Return);
    QTRY_COMPARE(bodyText(), QStringLiteral("<p>a</p>[CM:]"));
    QCOMPARE(h->text(QStringLiteral("modules.codeblocks.codeBlockMode(document.querySelector('pre'))")), QStringLiteral("text/javascript"));
    key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(h->body(), QStringLiteral("<p>a</p><p>```js</p>"));
}

QString TestPageCommands::shape()
{
    return h->js(QStringLiteral(R"((function () {
        var t = document.querySelector('table');
        if (!t) return 'none';
        var out = [];
        if (t.tHead && t.tHead.rows.length === 0) out.push('THEAD[]');
        for (var i = 0; i < t.rows.length; i++) {
            var r = t.rows[i], cells = [];
            for (var j = 0; j < r.cells.length; j++) {
                var c = r.cells[j];
                var text = c.textContent.trim() === '' && c.innerHTML === '&nbsp;' ? '_' : c.textContent.trim();
                cells.push(c.tagName.toLowerCase() + ':' + text + (c.hasAttribute('align') ? '@' + c.getAttribute('align') : ''));
            }
            out.push(r.parentElement.tagName + '[' + cells.join(',') + ']');
        }
        return out.join(' ');
    })())")).toString();
}

QPoint TestPageCommands::cellPoint(int row, int column)
{
    const QVariantList point = h->js(QStringLiteral(
        "(function () { var r = document.querySelector('table').rows[%1].cells[%2].getBoundingClientRect();"
        "return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)]; })()")
        .arg(row).arg(column)).toList();
    return point.size() == 2 ? QPoint(point.at(0).toInt(), point.at(1).toInt()) : QPoint(-1, -1);
}

void TestPageCommands::tableOperations_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("row"); // index in table.rows: 0 is the header
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("insert above the header") << "page.insertRow(%1,%2,'above')" << 0 << 0
        << "THEAD[th:,th:] TBODY[td:a,td:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert below the header") << "page.insertRow(%1,%2,'below')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:,td:] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert above a body row") << "page.insertRow(%1,%2,'above')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:,td:] TBODY[td:e,td:f]";
    QTest::newRow("insert below the last row") << "page.insertRow(%1,%2,'below')" << 2 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:,td:]";
    QTest::newRow("column right of the first") << "page.insertColumn(%1,%2,'right')" << 2 << 0
        << "THEAD[th:a,th:,th:b] TBODY[td:c,td:,td:d] TBODY[td:e,td:,td:f]";
    QTest::newRow("column left of the first, from the header") << "page.insertColumn(%1,%2,'left')" << 0 << 0
        << "THEAD[th:,th:a,th:b] TBODY[td:,td:c,td:d] TBODY[td:,td:e,td:f]";
    QTest::newRow("delete the header row promotes the first body row") << "page.deleteRow(%1,%2)" << 0 << 0
        << "THEAD[th:c,th:d] TBODY[td:e,td:f]";
    QTest::newRow("delete a body row") << "page.deleteRow(%1,%2)" << 1 << 1
        << "THEAD[th:a,th:b] TBODY[td:e,td:f]";
    QTest::newRow("delete a column") << "page.deleteColumn(%1,%2)" << 1 << 1
        << "THEAD[th:a] TBODY[td:c] TBODY[td:e]";
    QTest::newRow("move up the first body row swaps with the header") << "page.moveRow(%1,%2,'up')" << 1 << 0
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move up a later body row") << "page.moveRow(%1,%2,'up')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move up the header does nothing") << "page.moveRow(%1,%2,'up')" << 0 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move down the header swaps") << "page.moveRow(%1,%2,'down')" << 0 << 1
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move down a body row") << "page.moveRow(%1,%2,'down')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move down the last row does nothing") << "page.moveRow(%1,%2,'down')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column left does nothing") << "page.moveColumn(%1,%2,'left')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column right") << "page.moveColumn(%1,%2,'right')" << 1 << 0
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column left, from the header") << "page.moveColumn(%1,%2,'left')" << 0 << 1
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column right does nothing") << "page.moveColumn(%1,%2,'right')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("align a column") << "page.alignColumn(%1,%2,'center')" << 2 << 1
        << "THEAD[th:a,th:b@center] TBODY[td:c,td:d@center] TBODY[td:e,td:f@center]";
    QTest::newRow("delete the table") << "page.deleteTable(%1,%2)" << 1 << 1 << "none";
}

void TestPageCommands::tableOperations()
{
    QFETCH(QString, statement);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    const QString html = markdownToHtml(QString::fromUtf8(sample));
    QVERIFY(html.contains(QLatin1String("</tr>\n<tr>"))); // white space between rows
    h->setBody(html);
    QCOMPARE(shape(), QStringLiteral("THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]"));
    const QString before = shape();
    const QPoint point = cellPoint(row, column);
    h->view.setFocus();
    h->js(statement.arg(point.x()).arg(point.y()) + QStringLiteral("; true"));
    QCOMPARE(shape(), expected);
    // New cells start empty (no placeholder space), and the operation is one
    // undo step.
    if (expected != before) {
        key(Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(shape(), before);
        key(Qt::Key_Y, Qt::ControlModifier);
        QTRY_COMPARE(shape(), expected);
    }
}

void TestPageCommands::insertTableShapes_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1 by 1") << 1 << 1 << "THEAD[th:]";
    QTest::newRow("3 by 2") << 3 << 2 << "THEAD[th:,th:] TBODY[td:,td:] TBODY[td:,td:]";
}

void TestPageCommands::insertTableShapes()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    // The table replaces the selected text.
    h->setBody(QStringLiteral("<p>before<b>SEL</b>after</p>"));
    h->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('b'));"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); true"));
    h->js(QStringLiteral("page.insertTable(%1,%2); true").arg(rows).arg(columns));
    QCOMPARE(shape(), expected);
    QVERIFY(!h->js(QStringLiteral("document.body.textContent")).toString().contains(QLatin1String("SEL")));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('table').length")).toInt(), 1);
}

// The same row moves on a table the page built (no white space between rows).
void TestPageCommands::operationsOnInsertedTable()
{
    h->setBody(QStringLiteral("<p>x</p>"));
    h->js(QStringLiteral("var r = document.createRange(); r.setStart(document.querySelector('p').firstChild, 1);"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); page.insertTable(3,2);"
                         "var t = document.querySelector('table'), n = 0;"
                         "for (var i = 0; i < t.rows.length; i++) for (var j = 0; j < 2; j++)"
                         "  t.rows[i].cells[j].textContent = 'abcdef'[n++]; true"));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]"));
    QPoint p = cellPoint(1, 0);
    h->js(QStringLiteral("page.moveRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]"));
    p = cellPoint(1, 1);
    h->js(QStringLiteral("page.moveRow(%1,%2,'down'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("page.insertRow(%1,%2,'above'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:,th:] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
}

// New rows take their columns' alignment, also a new header above the old
// one, so that the saved delimiter row keeps its colons.
void TestPageCommands::newCellsTakeTheirColumnsAlignment()
{
    h->setBody(markdownToHtml(QStringLiteral("| a | b |\n|:-:|--:|\n| c | d |\n")));
    QPoint p = cellPoint(0, 0);
    h->js(QStringLiteral("page.insertRow(%1,%2,'above'); true").arg(p.x()).arg(p.y()));
    p = cellPoint(2, 1);
    h->js(QStringLiteral("page.insertRow(%1,%2,'below'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:@center,th:@right] TBODY[td:a@center,td:b@right] "
                                     "TBODY[td:c@center,td:d@right] TBODY[td:@center,td:@right]"));
    const QString saved = htmlToMarkdown(h->text(QStringLiteral("page.html()")));
    QVERIFY2(saved.contains(QRegularExpression(QStringLiteral("^\\| *:-+: *\\| *-+: *\\|$"),
                                               QRegularExpression::MultilineOption)), qPrintable(saved));
}

// A header row deleted from a table without body rows leaves an empty header;
// a body row moved up into an empty header becomes the header.
void TestPageCommands::deleteOnlyHeaderThenMoveUp()
{
    h->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead></table>"));
    QPoint p = cellPoint(0, 0);
    h->js(QStringLiteral("page.deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[]"));

    h->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>x</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("page.deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:x]"));

    h->setBody(QStringLiteral("<table><thead></thead><tbody><tr><td>x</td></tr><tr><td>y</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("page.moveRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:x] TBODY[td:y]"));
}

void TestPageCommands::pointOutsideTableChangesNothing()
{
    h->setBody(markdownToHtml(QString::fromUtf8(sample)) + QStringLiteral("<p>below</p>"));
    const QVariantList point = h->js(QStringLiteral(
        "(function () { var r = document.querySelector('p').getBoundingClientRect();"
        "return [Math.round(r.left + 5), Math.round(r.top + r.height / 2)]; })()")).toList();
    QCOMPARE(point.size(), 2);
    const QString before = shape();
    for (const QString &statement : {QStringLiteral("page.insertRow(%1,%2,'above')"), QStringLiteral("page.deleteRow(%1,%2)"),
                                     QStringLiteral("page.deleteColumn(%1,%2)"), QStringLiteral("page.moveRow(%1,%2,'up')"),
                                     QStringLiteral("page.deleteTable(%1,%2)")})
        h->js(statement.arg(point.at(0).toInt()).arg(point.at(1).toInt()) + QStringLiteral("; true"));
    QCOMPARE(shape(), before);
}

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
