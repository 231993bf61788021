// The page's editing scripts: inline code and typed Markdown, code blocks with
// their languages, and the table operations.

#include "convert/markdowntohtml.h"
#include "support/pagetest.h"

class TestPageCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void inlineCode();
    void typedShortcuts_data();
    void typedShortcuts();
    void enterMakesParagraphOutsideLists();
    void keysInCodeBlocksAreLeftAlone();

    void everyLanguageHasItsMode();
    void languageFromRenderedMarkdown();
    void selectorAppearsOnFocus();
    void setModeAtPoint();
    void insertAtSelection();
    void insertFromInsideAnEditorGoesAfterIt();
    void convertingAgainLeavesEditorsAlone();

    void tableOperations_data();
    void tableOperations();
    void insertTableShapes_data();
    void insertTableShapes();
    void operationsOnInsertedTable();
    void deleteOnlyHeaderThenMoveUp();
    void pointOutsideTableChangesNothing();

private:
    // Body html, then the caret at the end of the first text node of the first
    // element matching selector.
    void setBodyWithCaret(const QString &html, const QString &selector);
    QString keyUp(const QString &key, bool inCodeBlock = false);
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

QString TestPageCommands::keyUp(const QString &key, bool inCodeBlock)
{
    const QString target = inCodeBlock ? QStringLiteral("document.querySelector('.CodeMirror textarea')")
                                       : QStringLiteral("document.body");
    h->js(QStringLiteral("var e = {key: %1, keyCode: %2, shiftKey: false, target: %3}; onBodyKeyDown(e); onBodyKeyUp(e); true")
              .arg(GuiTest::jsString(key))
              .arg(key == QLatin1String("Enter") ? 13 : 32)
              .arg(target));
    return h->js(QStringLiteral("var c = document.body.cloneNode(true);"
                                "c.querySelectorAll('.CodeMirror').forEach(function (w) { w.replaceWith('[CM]'); });"
                                "c.innerHTML")).toString();
}

void TestPageCommands::inlineCode()
{
    h->setBody(QStringLiteral("<p>hello <i>big</i> world</p>"));
    h->js(QStringLiteral("var p = document.querySelector('p'); var r = document.createRange();"
                         "r.setStart(p.firstChild, 2); r.setEnd(p.lastChild, 3);"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); inserCode(); true"));
    QCOMPARE(h->js(QStringLiteral("document.body.innerHTML")).toString(),
             QStringLiteral("<p>he<code>llo <i>big</i> wo</code>rld</p>"));
    // Without a selection nothing happens and nothing fails.
    h->js(QStringLiteral("getSelection().removeAllRanges(); inserCode(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('code').length")).toInt(), 1);
}

void TestPageCommands::typedShortcuts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("h1") << QStringLiteral("#\u00A0") << QStringLiteral("<h1>&nbsp;</h1>");
    QTest::newRow("h2") << QStringLiteral("##\u00A0") << QStringLiteral("<h2>&nbsp;</h2>");
    QTest::newRow("h6") << QStringLiteral("######\u00A0") << QStringLiteral("<h6>&nbsp;</h6>");
    QTest::newRow("seven hashes stay text") << QStringLiteral("#######\u00A0") << QStringLiteral("<p>#######&nbsp;</p>");
    QTest::newRow("quote") << QStringLiteral(">\u00A0") << QStringLiteral("<blockquote>&nbsp;</blockquote>");
    QTest::newRow("numbered") << QStringLiteral("12.\u00A0") << QStringLiteral("<ol><li></li></ol>");
    QTest::newRow("bullet -") << QStringLiteral("-\u00A0") << QStringLiteral("<ul><li></li></ul>");
    QTest::newRow("bullet *") << QStringLiteral("*\u00A0") << QStringLiteral("<ul><li></li></ul>");
    QTest::newRow("text after the marker") << QStringLiteral("##\u00A0x") << QStringLiteral("<p>##&nbsp;x</p>");
}

void TestPageCommands::typedShortcuts()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    setBodyWithCaret(QStringLiteral("<p>%1</p>").arg(typed), QStringLiteral("p"));
    QCOMPARE(keyUp(QStringLiteral(" ")), expected);
}

void TestPageCommands::enterMakesParagraphOutsideLists()
{
    setBodyWithCaret(QStringLiteral("<div>line</div>"), QStringLiteral("div"));
    QCOMPARE(keyUp(QStringLiteral("Enter")), QStringLiteral("<p>line</p>"));
    setBodyWithCaret(QStringLiteral("<ul><li>item</li></ul>"), QStringLiteral("li"));
    QCOMPARE(keyUp(QStringLiteral("Enter")), QStringLiteral("<ul><li>item</li></ul>"));
    // Released without being pressed here (Return closing a dialog): the heading stays.
    setBodyWithCaret(QStringLiteral("<h2>title</h2>"), QStringLiteral("h2"));
    h->js(QStringLiteral("onBodyKeyUp({key: 'Enter', keyCode: 13, shiftKey: false, target: document.body}); true"));
    QCOMPARE(h->js(QStringLiteral("document.body.innerHTML")).toString(), QStringLiteral("<h2>title</h2>"));
}

void TestPageCommands::keysInCodeBlocksAreLeftAlone()
{
    setBodyWithCaret(QStringLiteral("<p>##\u00A0</p><pre><code>x</code></pre>"), QStringLiteral("p"));
    QCOMPARE(keyUp(QStringLiteral(" "), true), QStringLiteral("<p>##&nbsp;</p>[CM]"));
}

// Every script loaded without an error, and each entry of the language table
// names a MIME type that resolves to a loaded mode.
void TestPageCommands::everyLanguageHasItsMode()
{
    QVERIFY2(PageHarness::errors().isEmpty(), qPrintable(PageHarness::errors().join(QLatin1Char('\n'))));
    QCOMPARE(h->js(QStringLiteral("Object.keys(options).length")).toInt(), 27);
    QCOMPARE(h->js(QStringLiteral("Object.keys(options)[0] + '|' + options[''] + '|' + Object.keys(options)[26]")).toString(),
             QStringLiteral("|default|application/xml"));
    const QString missing = h->js(QStringLiteral(R"((function () {
        var bad = [];
        for (var key in options) {
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
    QCOMPARE(h->js(QStringLiteral("findLanguageKey('C++')")).toString(), QStringLiteral("text/x-c++src"));
    QCOMPARE(h->js(QStringLiteral("findLanguageKey('python')")).toString(), QString());
    QCOMPARE(h->js(QStringLiteral("findLanguageKey('default')")).toString(), QString());
}

// Rendered fences become editors; the language is found by its exact name.
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
            Array.prototype.filter.call(document.querySelectorAll('pre'), function (p) { return !p.closest('.CodeMirror'); }).length;
    })())")).toString();
    // The code keeps its indentation and its empty last line.
    QCOMPARE(summary, QStringLiteral("text/x-c++src=int x;|=x = 1|=  plain\n|=indented|pre outside editors: 0"));
    // What the saved page writes as the block's class.
    QCOMPARE(h->js(QStringLiteral("options[document.querySelector('div.CodeMirror').CodeMirror.getOption('mode')]")).toString(),
             QStringLiteral("C++"));
}

void TestPageCommands::selectorAppearsOnFocus()
{
    h->setBody(markdownToHtml(QStringLiteral("```Go\nfunc main() {}\n```\n\nafter\n")));
    const QString selectorState = QStringLiteral(
        "(function () { var s = document.querySelector('div.CodeMirror select.son');"
        "return s.style.display + ':' + s.options.length + ':' + s.value; })()");
    QCOMPARE(h->js(selectorState).toString(), QStringLiteral("none:0:"));

    h->view.setFocus();
    h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); true"));
    QTRY_COMPARE(h->js(selectorState).toString(), QStringLiteral("block:27:text/x-go"));
    const QString names = h->js(QStringLiteral(
        "Array.prototype.map.call(document.querySelector('select.son').options, function (o) { return o.text; }).join(',')")).toString();
    const QString expected = h->js(QStringLiteral("Object.keys(options).map(function (k) { return options[k]; }).join(',')")).toString();
    QCOMPARE(names, expected);

    // Choosing a language sets the editor's mode.
    h->js(QStringLiteral("var s = document.querySelector('select.son'); s.value = 'text/x-python';"
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
    QCOMPARE(h->js(QStringLiteral("setCodeBlockModeAt(%1,'text/x-c++src')").arg(second)).toBool(), true);
    const QString first = h->js(point.arg(0)).toString();
    QCOMPARE(h->js(QStringLiteral("setCodeBlockModeAt(%1,'')").arg(first)).toBool(), true);
    QCOMPARE(h->js(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('div.CodeMirror'),"
                                  "function (w) { return w.CodeMirror.getOption('mode'); }).join('|')")).toString(),
             QStringLiteral("|text/x-c++src"));

    // Outside a block nothing changes.
    const QString para = h->js(QStringLiteral(
        "(function () { var r = document.querySelector('p').getBoundingClientRect();"
        "return Math.round(r.left + 5) + ',' + Math.round(r.top + r.height / 2); })()")).toString();
    QCOMPARE(h->js(QStringLiteral("setCodeBlockModeAt(%1,'text/x-go')").arg(para)).toBool(), false);
}

void TestPageCommands::insertAtSelection()
{
    h->setBody(QStringLiteral("<p>keep <b>code()</b> tail</p>"));
    h->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('b'));"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); insertCodeMirror(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 1);
    QCOMPARE(h->js(QStringLiteral("var cm = document.querySelector('div.CodeMirror').CodeMirror;"
                                  "cm.getValue() + '|' + cm.getOption('mode') + '|' + cm.hasFocus()")).toString(),
             QStringLiteral("code()||true"));
    // The selected text moved into the block.
    QCOMPARE(h->js(QStringLiteral("var c = document.body.cloneNode(true);"
                                  "c.querySelectorAll('.CodeMirror').forEach(function (w) { w.remove(); });"
                                  "c.textContent")).toString(),
             QStringLiteral("keep  tail"));

    // Without a selection nothing is inserted.
    h->setBody(QStringLiteral("<p>x</p>"));
    h->js(QStringLiteral("getSelection().removeAllRanges(); insertCodeMirror(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 0);
}

void TestPageCommands::insertFromInsideAnEditorGoesAfterIt()
{
    h->setBody(markdownToHtml(QStringLiteral("```\nold\n```\n")));
    h->view.setFocus();
    h->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); insertCodeMirror(); true"));
    QCOMPARE(h->js(QStringLiteral(
        "Array.prototype.map.call(document.body.children, function (e) {"
        "  return e.classList.contains('CodeMirror') ? 'CM:' + e.CodeMirror.getValue() : e.tagName; }).join('|')")).toString(),
             QStringLiteral("CM:old|CM:"));
}

void TestPageCommands::convertingAgainLeavesEditorsAlone()
{
    h->setBody(markdownToHtml(QStringLiteral("```\na\nb\n```\n")));
    h->js(QStringLiteral("changePreToCodeMirror(); true"));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length + ':' +"
                                  "document.querySelector('div.CodeMirror').CodeMirror.getValue()")).toString(),
             QStringLiteral("1:a\nb"));
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

    QTest::newRow("insert above the header") << "insertTableRow(%1,%2,'above')" << 0 << 0
        << "THEAD[th:_,th:_] TBODY[td:a,td:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert below the header") << "insertTableRow(%1,%2,'below')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:_,td:_] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("insert above a body row") << "insertTableRow(%1,%2,'above')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:_,td:_] TBODY[td:e,td:f]";
    QTest::newRow("insert below the last row") << "insertTableRow(%1,%2,'below')" << 2 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:_,td:_]";
    QTest::newRow("column right of the first") << "insertTableColumn(%1,%2,'right')" << 2 << 0
        << "THEAD[th:a,th:_,th:b] TBODY[td:c,td:_,td:d] TBODY[td:e,td:_,td:f]";
    QTest::newRow("column left of the first, from the header") << "insertTableColumn(%1,%2,'left')" << 0 << 0
        << "THEAD[th:_,th:a,th:b] TBODY[td:_,td:c,td:d] TBODY[td:_,td:e,td:f]";
    QTest::newRow("delete the header row promotes the first body row") << "deleteRow(%1,%2)" << 0 << 0
        << "THEAD[th:c,th:d] TBODY[td:e,td:f]";
    QTest::newRow("delete a body row") << "deleteRow(%1,%2)" << 1 << 1
        << "THEAD[th:a,th:b] TBODY[td:e,td:f]";
    QTest::newRow("delete a column") << "deleteColumn(%1,%2)" << 1 << 1
        << "THEAD[th:a] TBODY[td:c] TBODY[td:e]";
    QTest::newRow("move up the first body row swaps with the header") << "shiftRow(%1,%2,'up')" << 1 << 0
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move up a later body row") << "shiftRow(%1,%2,'up')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move up the header does nothing") << "shiftRow(%1,%2,'up')" << 0 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move down the header swaps") << "shiftRow(%1,%2,'down')" << 0 << 1
        << "THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]";
    QTest::newRow("move down a body row") << "shiftRow(%1,%2,'down')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:e,td:f] TBODY[td:c,td:d]";
    QTest::newRow("move down the last row does nothing") << "shiftRow(%1,%2,'down')" << 2 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column left does nothing") << "shiftColumn(%1,%2,'left')" << 1 << 0
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("move the first column right") << "shiftColumn(%1,%2,'right')" << 1 << 0
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column left, from the header") << "shiftColumn(%1,%2,'left')" << 0 << 1
        << "THEAD[th:b,th:a] TBODY[td:d,td:c] TBODY[td:f,td:e]";
    QTest::newRow("move the last column right does nothing") << "shiftColumn(%1,%2,'right')" << 0 << 1
        << "THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]";
    QTest::newRow("align a column") << "alignColumn(%1,%2,'center')" << 2 << 1
        << "THEAD[th:a,th:b@center] TBODY[td:c,td:d@center] TBODY[td:e,td:f@center]";
    QTest::newRow("delete the table") << "deleteTable(%1,%2)" << 1 << 1 << "none";
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
    const QPoint point = cellPoint(row, column);
    h->js(statement.arg(point.x()).arg(point.y()) + QStringLiteral("; true"));
    QCOMPARE(shape(), expected);
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
    h->js(QStringLiteral("insertTable(%1,%2); true").arg(rows).arg(columns));
    QCOMPARE(shape(), expected);
    QVERIFY(!h->js(QStringLiteral("document.body.textContent")).toString().contains(QLatin1String("SEL")));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('table').length")).toInt(), 1);
}

// The same row moves on a table the page built (no white space between rows).
void TestPageCommands::operationsOnInsertedTable()
{
    h->setBody(QStringLiteral("<p>x</p>"));
    h->js(QStringLiteral("var r = document.createRange(); r.setStart(document.querySelector('p').firstChild, 1);"
                         "getSelection().removeAllRanges(); getSelection().addRange(r); insertTable(3,2);"
                         "var t = document.querySelector('table'), n = 0;"
                         "for (var i = 0; i < t.rows.length; i++) for (var j = 0; j < 2; j++)"
                         "  t.rows[i].cells[j].textContent = 'abcdef'[n++]; true"));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:a,th:b] TBODY[td:c,td:d] TBODY[td:e,td:f]"));
    QPoint p = cellPoint(1, 0);
    h->js(QStringLiteral("shiftRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:a,td:b] TBODY[td:e,td:f]"));
    p = cellPoint(1, 1);
    h->js(QStringLiteral("shiftRow(%1,%2,'down'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:c,th:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("insertTableRow(%1,%2,'above'); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:_,th:_] TBODY[td:c,td:d] TBODY[td:e,td:f] TBODY[td:a,td:b]"));
}

// A header row deleted from a table without body rows leaves an empty header;
// a body row moved up into an empty header becomes the header.
void TestPageCommands::deleteOnlyHeaderThenMoveUp()
{
    h->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead></table>"));
    QPoint p = cellPoint(0, 0);
    h->js(QStringLiteral("deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[]"));

    h->setBody(QStringLiteral("<table><thead><tr><th>h</th></tr></thead><tbody><tr><td>x</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("deleteRow(%1,%2); true").arg(p.x()).arg(p.y()));
    QCOMPARE(shape(), QStringLiteral("THEAD[th:x]"));

    h->setBody(QStringLiteral("<table><thead></thead><tbody><tr><td>x</td></tr><tr><td>y</td></tr></tbody></table>"));
    p = cellPoint(0, 0);
    h->js(QStringLiteral("shiftRow(%1,%2,'up'); true").arg(p.x()).arg(p.y()));
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
    for (const QString &statement : {QStringLiteral("insertTableRow(%1,%2,'above')"), QStringLiteral("deleteRow(%1,%2)"),
                                     QStringLiteral("deleteColumn(%1,%2)"), QStringLiteral("shiftRow(%1,%2,'up')"),
                                     QStringLiteral("deleteTable(%1,%2)")})
        h->js(statement.arg(point.at(0).toInt()).arg(point.at(1).toInt()) + QStringLiteral("; true"));
    QCOMPARE(shape(), before);
}

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
