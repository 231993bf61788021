// The page's search highlighting and replacing (search.js), on a bare page.

#include "support/guitest.h"
#include "support/insertpage.h"

#include <QWebEngineView>
#include <QtTest>

using namespace InsertPage;

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete view; }
    void noMatchLeavesNothing();
    void highlightsOnlyText_data();
    void highlightsOnlyText();
    void stepsWrapAround();
    void replaceMovesToTheNextMatch();
    void replaceTheOnlyMatch();
    void replacementIsText();
    void codeEditorsAreNotTouched();

private:
    QString js(const QString &script) { return run(view, script).toString(); }
    // The highlight spans as text, the current one in brackets.
    QString marks()
    {
        return js("Array.prototype.map.call(document.querySelectorAll('span.search-hit,span.search-select'),"
                  " function (s) { return s.className === 'search-select' ? '[' + s.textContent + ']' : s.textContent; }).join(' ')");
    }

    std::unique_ptr<QTemporaryDir> workDir;
    QWebEngineView *view = nullptr;
};

void TestSearch::initTestCase()
{
    workDir = GuiTest::isolate();
    view = new QWebEngineView;
    view->resize(600, 400);
    view->show();
    QVERIFY(load(view));
}

void TestSearch::noMatchLeavesNothing()
{
    const QString html = QStringLiteral("<p>alpha <b>beta</b></p>");
    setBody(view, html);
    run(view, QStringLiteral("highLightKeyword('gamma'); selectedText(false); selectedText(true);"
                             " replaceSelectedText('x'); replaceAllHighText('y'); true"));
    QCOMPARE(bodyHtml(view), html);
    QCOMPARE(js("edits"), QStringLiteral("0"));
    run(view, QStringLiteral("highLightKeyword(''); true"));
    QCOMPARE(bodyHtml(view), html);
}

void TestSearch::highlightsOnlyText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString markup = QStringLiteral(
        "<p class=\"span\" title=\"a.b\">one span <span style=\"color:red\">two spans</span></p>"
        "<ul><li><a href=\"https://span.example/\">SPAN span</a></li></ul><p>axb a.b a.b.a.b</p>");
    QTest::newRow("tag name") << markup << "span" << "span span span";
    QTest::newRow("attribute name") << markup << "class" << "";
    QTest::newRow("literal dot") << markup << "a.b" << "a.b a.b a.b";
    QTest::newRow("case kept") << markup << "SPAN" << "SPAN";
    QTest::newRow("no overlap") << "<p>aaaaa</p>" << "aa" << "aa aa";
}

void TestSearch::highlightsOnlyText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    setBody(view, html);
    const QString before = js("document.body.textContent");
    run(view, QStringLiteral("highLightKeyword(%1); true").arg(jsString(text)));
    QCOMPARE(marks(), expected);
    QCOMPARE(js("document.body.textContent"), before);

    run(view, QStringLiteral("clearHighLight(); true"));
    QCOMPARE(bodyHtml(view), html);
    // The text is joined again after clearing: a longer search still finds it.
    QCOMPARE(js("document.querySelector('p').childNodes.length"), js("(function () { var d = document.createElement('div');"
             " d.innerHTML = " + jsString(html) + "; return d.querySelector('p').childNodes.length; })()"));
}

void TestSearch::stepsWrapAround()
{
    setBody(view, QStringLiteral("<p>x1 x2</p><p>x3</p>"));
    run(view, QStringLiteral("highLightKeyword('x'); true"));
    QCOMPARE(marks(), QStringLiteral("x x x"));

    // The first step selects the first match whatever the direction.
    run(view, QStringLiteral("selectedText(true); true"));
    QCOMPARE(marks(), QStringLiteral("[x] x x"));
    run(view, QStringLiteral("selectedText(true); true"));
    QCOMPARE(marks(), QStringLiteral("x x [x]"));
    run(view, QStringLiteral("selectedText(false); true"));
    QCOMPARE(marks(), QStringLiteral("[x] x x"));
    run(view, QStringLiteral("selectedText(false); selectedText(false); true"));
    QCOMPARE(marks(), QStringLiteral("x x [x]"));
    QCOMPARE(js("document.querySelectorAll('.search-select').length"), QStringLiteral("1"));

    // A new search starts over.
    run(view, QStringLiteral("highLightKeyword('x1'); true"));
    QCOMPARE(marks(), QStringLiteral("x1"));
}

void TestSearch::replaceMovesToTheNextMatch()
{
    setBody(view, QStringLiteral("<p>cat dog cat</p><p>cat</p>"));
    run(view, QStringLiteral("highLightKeyword('cat'); replaceSelectedText('cow'); true"));
    QCOMPARE(marks(), QStringLiteral("[cat] cat"));
    QCOMPARE(js("document.body.textContent"), QStringLiteral("cow dog catcat"));
    QCOMPARE(js("String(edits > 0)"), QStringLiteral("true"));

    run(view, QStringLiteral("replaceAllHighText('ant'); true"));
    QCOMPARE(marks(), QString());
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>cow dog ant</p><p>ant</p>"));
    QCOMPARE(js("document.querySelector('p').childNodes.length"), QStringLiteral("1"));
}

void TestSearch::replaceTheOnlyMatch()
{
    setBody(view, QStringLiteral("<p>one <i>two</i></p>"));
    run(view, QStringLiteral("highLightKeyword('two'); replaceSelectedText('2'); true"));
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>one <i>2</i></p>"));
    run(view, QStringLiteral("replaceSelectedText('3'); true"));
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>one <i>2</i></p>"));
}

void TestSearch::replacementIsText()
{
    setBody(view, QStringLiteral("<p>a x b x</p>"));
    run(view, QStringLiteral("highLightKeyword('x'); replaceSelectedText('<b>'); true"));
    QCOMPARE(js("document.querySelectorAll('b').length"), QStringLiteral("0"));
    QCOMPARE(js("document.body.textContent"), QStringLiteral("a <b> b x"));
    run(view, QStringLiteral("replaceAllHighText('<img src=x onerror=window.pwned=1>'); true"));
    QCOMPARE(js("document.body.textContent"), QStringLiteral("a <b> b <img src=x onerror=window.pwned=1>"));
    QCOMPARE(js("document.querySelectorAll('img').length"), QStringLiteral("0"));
}

void TestSearch::codeEditorsAreNotTouched()
{
    const QString html = QStringLiteral("<p>key</p><div class=\"CodeMirror\"><pre>key</pre></div><textarea>key</textarea>");
    setBody(view, html);
    run(view, QStringLiteral("highLightKeyword('key'); true"));
    QCOMPARE(marks(), QStringLiteral("key"));
    run(view, QStringLiteral("replaceAllHighText('k'); true"));
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>k</p><div class=\"CodeMirror\"><pre>key</pre></div><textarea>key</textarea>"));
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
