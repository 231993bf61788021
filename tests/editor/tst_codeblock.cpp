#include "convert/markdowntohtml.h"
#include "support/consolepage.h"
#include "support/guitest.h"

#include <QtTest>

// Code blocks in the page: the language modes, the editors made from rendered
// Markdown, the per-block selector and the context menu's language items.
class TestCodeBlock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyLanguageHasItsMode();
    void languageFromRenderedMarkdown();
    void selectorAppearsOnFocus();
    void setModeAtPoint();
    void insertAtSelection();
    void insertFromInsideAnEditorGoesAfterIt();
    void convertingAgainLeavesEditorsAlone();
    void cleanupTestCase();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ConsolePageHarness> editor;
};

void TestCodeBlock::initTestCase()
{
    dir = GuiTest::isolate();
    editor = std::make_unique<ConsolePageHarness>();
    QVERIFY(editor->waitReady());
    editor->view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor->view));
}

void TestCodeBlock::cleanupTestCase()
{
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
}

// Every script loaded without an error, and each entry of the language table
// names a MIME type that resolves to a loaded mode.
void TestCodeBlock::everyLanguageHasItsMode()
{
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
    QCOMPARE(editor->js(QStringLiteral("Object.keys(options).length")).toInt(), 27);
    QCOMPARE(editor->js(QStringLiteral("Object.keys(options)[0] + '|' + options[''] + '|' + Object.keys(options)[26]")).toString(),
             QStringLiteral("|default|application/xml"));
    const QString missing = editor->js(QStringLiteral(R"((function () {
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
    QCOMPARE(editor->js(QStringLiteral("findLanguageKey('C++')")).toString(), QStringLiteral("text/x-c++src"));
    QCOMPARE(editor->js(QStringLiteral("findLanguageKey('python')")).toString(), QString());
    QCOMPARE(editor->js(QStringLiteral("findLanguageKey('default')")).toString(), QString());
}

// Rendered fences become editors; the language is found by its exact name.
void TestCodeBlock::languageFromRenderedMarkdown()
{
    const QString html = markdownToHtml(QStringLiteral(
        "text\n\n```C++\nint x;\n```\n\n```python\nx = 1\n```\n\n```\n  plain\n\n```\n\n    indented\n"));
    QVERIFY(html.contains(QLatin1String("class=\"language-C++\"")));
    editor->setBody(html);
    const QString summary = editor->js(QStringLiteral(R"((function () {
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
    QCOMPARE(editor->js(QStringLiteral("options[document.querySelector('div.CodeMirror').CodeMirror.getOption('mode')]")).toString(),
             QStringLiteral("C++"));
}

void TestCodeBlock::selectorAppearsOnFocus()
{
    editor->setBody(markdownToHtml(QStringLiteral("```Go\nfunc main() {}\n```\n\nafter\n")));
    const QString selectorState = QStringLiteral(
        "(function () { var s = document.querySelector('div.CodeMirror select.son');"
        "return s.style.display + ':' + s.options.length + ':' + s.value; })()");
    QCOMPARE(editor->js(selectorState).toString(), QStringLiteral("none:0:"));

    editor->view.setFocus();
    editor->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); true"));
    QTRY_COMPARE(editor->js(selectorState).toString(), QStringLiteral("block:27:text/x-go"));
    const QString names = editor->js(QStringLiteral(
        "Array.prototype.map.call(document.querySelector('select.son').options, function (o) { return o.text; }).join(',')")).toString();
    const QString expected = editor->js(QStringLiteral("Object.keys(options).map(function (k) { return options[k]; }).join(',')")).toString();
    QCOMPARE(names, expected);

    // Choosing a language sets the editor's mode.
    editor->js(QStringLiteral("var s = document.querySelector('select.son'); s.value = 'text/x-python';"
                              "s.dispatchEvent(new Event('change')); true"));
    QCOMPARE(editor->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.getOption('mode')")).toString(),
             QStringLiteral("text/x-python"));

    // Leaving the editor hides the selector again.
    editor->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.getInputField().blur(); true"));
    QTRY_COMPARE(editor->js(selectorState).toString(), QStringLiteral("none:0:"));
}

void TestCodeBlock::setModeAtPoint()
{
    editor->setBody(markdownToHtml(QStringLiteral("para\n\n```\nfirst\n```\n\n```Go\nsecond\n```\n")));
    const QString point = QStringLiteral(
        "(function () { var r = document.querySelectorAll('div.CodeMirror')[%1].getBoundingClientRect();"
        "return Math.round(r.left + 10) + ',' + Math.round(r.top + r.height / 2); })()");
    const QString second = editor->js(point.arg(1)).toString();
    QCOMPARE(editor->js(QStringLiteral("setCodeBlockModeAt(%1,'text/x-c++src')").arg(second)).toBool(), true);
    const QString first = editor->js(point.arg(0)).toString();
    QCOMPARE(editor->js(QStringLiteral("setCodeBlockModeAt(%1,'')").arg(first)).toBool(), true);
    QCOMPARE(editor->js(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('div.CodeMirror'),"
                                       "function (w) { return w.CodeMirror.getOption('mode'); }).join('|')")).toString(),
             QStringLiteral("|text/x-c++src"));

    // Outside a block nothing changes.
    const QString para = editor->js(QStringLiteral(
        "(function () { var r = document.querySelector('p').getBoundingClientRect();"
        "return Math.round(r.left + 5) + ',' + Math.round(r.top + r.height / 2); })()")).toString();
    QCOMPARE(editor->js(QStringLiteral("setCodeBlockModeAt(%1,'text/x-go')").arg(para)).toBool(), false);
}

void TestCodeBlock::insertAtSelection()
{
    editor->setBody(QStringLiteral("<p>keep <b>code()</b> tail</p>"));
    editor->js(QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.querySelector('b'));"
                              "getSelection().removeAllRanges(); getSelection().addRange(r); insertCodeMirror(); true"));
    QCOMPARE(editor->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 1);
    QCOMPARE(editor->js(QStringLiteral("var cm = document.querySelector('div.CodeMirror').CodeMirror;"
                                       "cm.getValue() + '|' + cm.getOption('mode') + '|' + cm.hasFocus()")).toString(),
             QStringLiteral("code()||true"));
    // The selected text moved into the block.
    QCOMPARE(editor->js(QStringLiteral("var c = document.body.cloneNode(true);"
                                       "c.querySelectorAll('.CodeMirror').forEach(function (w) { w.remove(); });"
                                       "c.textContent")).toString(),
             QStringLiteral("keep  tail"));

    // Without a selection nothing is inserted.
    editor->setBody(QStringLiteral("<p>x</p>"));
    editor->js(QStringLiteral("getSelection().removeAllRanges(); insertCodeMirror(); true"));
    QCOMPARE(editor->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 0);
}

void TestCodeBlock::insertFromInsideAnEditorGoesAfterIt()
{
    editor->setBody(markdownToHtml(QStringLiteral("```\nold\n```\n")));
    editor->view.setFocus();
    editor->js(QStringLiteral("document.querySelector('div.CodeMirror').CodeMirror.focus(); insertCodeMirror(); true"));
    QCOMPARE(editor->js(QStringLiteral(
        "Array.prototype.map.call(document.body.children, function (e) {"
        "  return e.classList.contains('CodeMirror') ? 'CM:' + e.CodeMirror.getValue() : e.tagName; }).join('|')")).toString(),
             QStringLiteral("CM:old|CM:"));
}

void TestCodeBlock::convertingAgainLeavesEditorsAlone()
{
    editor->setBody(markdownToHtml(QStringLiteral("```\na\nb\n```\n")));
    editor->js(QStringLiteral("changePreToCodeMirror(); true"));
    QCOMPARE(editor->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length + ':' +"
                                       "document.querySelector('div.CodeMirror').CodeMirror.getValue()")).toString(),
             QStringLiteral("1:a\nb"));
}

QTEST_MAIN(TestCodeBlock)
#include "tst_codeblock.moc"
