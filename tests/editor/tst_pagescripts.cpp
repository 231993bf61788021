// The page's link, paste and search functions (links.js, search.js) on a bare page.

#include "support/guitest.h"
#include "support/insertpage.h"

#include "settings/settings.h"
#include "editor/mimepayload.h"

#include <QImage>
#include <QJsonDocument>
#include <QMimeData>
#include <QSettings>
#include <QWebEngineView>
#include <QtTest>

using namespace InsertPage;

class TestPageScripts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete view; }
    void linksStayTextAndAttributes();
    void linkClicks();
    void payloadsOfEachKind();
    void pastedMarkupCannotRunScript();
    void droppedImagesAreCopiedOnceAndShown();
    void highlightsOnlyText_data();
    void highlightsOnlyText();
    void stepsAndReplaces();

private:
    QString js(const QString &script) { return run(view, script).toString(); }
    void send(const QString &function, const QJsonObject &arg)
    {
        run(view, function + '(' + QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact)) + "); true");
    }
    QJsonObject link(const QString &title, const QString &url, bool modify)
    {
        return {{"title", title}, {"url", url}, {"isModify", modify}, {"isATag", true}};
    }
    // The highlight spans as text, the current one in brackets.
    QString marks()
    {
        return js("Array.prototype.map.call(document.querySelectorAll('span.search-hit,span.search-select'), function (s)"
                  " { return s.className === 'search-select' ? '[' + s.textContent + ']' : s.textContent; }).join(' ')");
    }

    std::unique_ptr<QTemporaryDir> workDir;
    QWebEngineView *view = nullptr;
};

void TestPageScripts::initTestCase()
{
    workDir = GuiTest::isolate();
    view = new QWebEngineView;
    view->show();
    QVERIFY(load(view));
}

void TestPageScripts::linksStayTextAndAttributes()
{
    setBody(view, "<p>before </p>", "p");
    const QString title = "<img src=x onerror=\"window.pwned=1\">";
    const QString url = "https://example.com/a\"onmouseover=\"window.pwned=1";
    send("onAddLink", link(title, url, false));
    QCOMPARE(js("document.querySelector('p > a').textContent"), title);
    QCOMPARE(js("document.querySelector('a').getAttribute('href')"), url);
    QCOMPARE(js("document.querySelector('a').getAttributeNames().join()"), QStringLiteral("href,target"));
    QCOMPARE(js("document.body.querySelectorAll('img').length"), QStringLiteral("0"));

    // An empty title shows the address; an empty address is ignored.
    setBody(view, "<p>x</p>", "p");
    send("onAddLink", link("", "https://example.com/", false));
    send("onAddLink", link("t", "", false));
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x<a href=\"https://example.com/\" target=\"_blank\">https://example.com/</a></p>"));

    // Changing the clicked link, and no other.
    setBody(view, "<p><a href=\"https://old.example.com/\">old</a> <a href=\"https://other.example.com/\">other</a></p>", "none");
    run(view, "onLinkClick({ target: document.querySelector('a'), preventDefault: function () {} })");
    const QString newUrl = "https://new.example.com/?q='\"><script>window.pwned=1</script>";
    send("onAddLink", link("<b onclick=x>new</b>", newUrl, true));
    QCOMPARE(js("document.querySelector('a').textContent"), QStringLiteral("<b onclick=x>new</b>"));
    QCOMPARE(js("document.querySelector('a').children.length + ' ' + document.querySelector('a').getAttribute('href')"), "0 " + newUrl);
    QCOMPARE(js("document.querySelectorAll('a')[1].outerHTML"), QStringLiteral("<a href=\"https://other.example.com/\">other</a>"));
    QCOMPARE(js("String(edits > 0 && window.pwned === undefined)"), QStringLiteral("true"));
}

void TestPageScripts::linkClicks()
{
    setBody(view, "<p><a href=\"https://old.example.com/x\">old <b>bold</b></a> plain</p>");
    const QString click = "(function () { var handled = onLinkClick({ target: document.querySelector('%1'), ctrlKey: %2,"
                          " preventDefault: function () {} }); return JSON.stringify([handled, calls]); })()";
    QCOMPARE(js(click.arg("b", "false")), QStringLiteral("[true,[[\"modifyLink\",\"old bold\",\"https://old.example.com/x\"]]]"));
    QCOMPARE(js("String(currentTarget === document.querySelector('a'))"), QStringLiteral("true"));
    run(view, "calls = []");
    QCOMPARE(js(click.arg("a", "true")), QStringLiteral("[true,[[\"openUrl\",\"https://old.example.com/x\"]]]"));
    run(view, "calls = []");
    QCOMPARE(js(click.arg("p", "false")), QStringLiteral("[false,[]]"));
}

void TestPageScripts::payloadsOfEachKind()
{
    setBody(view, "<p>ab</p>");
    run(view, "(function () { var r = document.createRange(), t = document.querySelector('p').firstChild;"
              " r.setStart(t, 1); r.setEnd(t, 2); getSelection().removeAllRanges(); getSelection().addRange(r); })()");
    // At the start of the selection, which stays; the caret moves past each insertion.
    send("insertPayload", {{"type", "img"}, {"title", "a b.png"}, {"url", "/tmp/x/a b.png"}});
    send("insertPayload", {{"type", "a"}, {"title", "notes.txt"}, {"url", "/tmp/x/notes.txt"}});
    send("insertPayload", {{"type", "text"}, {"text", "one\ntwo <i>"}});
    send("insertPayload", {{"type", "unknown"}, {"text", "zzz"}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>a<img src=\"/tmp/x/a b.png\" alt=\"a b.png\" title=\"a b.png\">"
                                            "<a href=\"/tmp/x/notes.txt\">notes.txt</a>one<br>two &lt;i&gt;b</p>"));
    QCOMPARE(js("edits + ' ' + resolved"), QStringLiteral("3 1"));

    // Without a caret in the page: at the end.
    setBody(view, "<p>x</p>", "none");
    send("insertPayload", {{"type", "text"}, {"text", "end"}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x</p>end"));
}

void TestPageScripts::pastedMarkupCannotRunScript()
{
    setBody(view, "<p>x</p>", "p");
    send("insertPayload", {{"type", "html"}, {"html",
        "<p onclick=\"window.pwned=1\">kept <a href=\" javascript:window.pwned=2\">link</a> <strong>b</strong></p>"
        "<script>window.pwned=3</script><img src=\"nope:\" onerror=\"window.pwned=4\">"
        "<iframe srcdoc=\"<script>parent.pwned=5</script>\"></iframe>"}});
    QCOMPARE(js("document.querySelector('a').outerHTML"), QStringLiteral("<a>link</a>"));
    QCOMPARE(js("document.body.querySelectorAll('strong,img').length"), QStringLiteral("2"));
    QCOMPARE(js("document.body.querySelectorAll('script,iframe,[onclick],[onerror]').length"), QStringLiteral("0"));
    QTest::qWait(300); // time for a failing image to report its error
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestPageScripts::droppedImagesAreCopiedOnceAndShown()
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath("red.png")) && picture.save(dir.filePath("also red.jpg")));
    Settings::instance().setSaveImageType(1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("red.png")), QUrl::fromLocalFile(dir.filePath("also red.jpg"))});
    const QList<QJsonObject> payloads = insertPayloads(&data, dir.filePath("doc/notes.v2.md"));
    Settings::instance().setSaveImageType(0);

    setBody(view, "<p>x</p>", "p");
    for (const QJsonObject &payload : payloads)
        send("insertPayload", payload);
    const QString assets = dir.filePath("doc/notes.assets");
    QCOMPARE(QDir(assets).entryList(QDir::Files, QDir::Name), QStringList({"also red.jpg", "red.png"}));
    QCOMPARE(js("Array.prototype.map.call(document.images, function (i) { return i.getAttribute('src'); }).join('|')"),
             assets + "/red.png|" + assets + "/also red.jpg");
}

void TestPageScripts::highlightsOnlyText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString markup = "<p class=\"span\" title=\"a.b\">one span <span style=\"color:red\">two spans</span></p>"
                           "<ul><li><a href=\"https://span.example/\">SPAN span</a></li></ul><p>axb a.b a.b.a.b</p>"
                           "<div class=\"CodeMirror\"><pre>span a.b</pre></div><textarea>span</textarea>";
    QTest::newRow("tag name") << markup << "span" << "span span span";
    QTest::newRow("attribute name") << markup << "class" << "";
    QTest::newRow("literal dot") << markup << "a.b" << "a.b a.b a.b";
    QTest::newRow("case kept") << markup << "SPAN" << "SPAN";
    QTest::newRow("no overlap") << "<p>aaaaa</p>" << "aa" << "aa aa";
}

void TestPageScripts::highlightsOnlyText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    setBody(view, html);
    const QString textBefore = js("document.body.textContent");
    run(view, "highLightKeyword(" + jsString(text) + "); true");
    QCOMPARE(marks(), expected);
    QCOMPARE(js("document.body.textContent"), textBefore);
    run(view, "clearHighLight(); true");
    QCOMPARE(bodyHtml(view), html);
    // Text split by the highlights is joined again.
    QCOMPARE(js("document.querySelector('p').childNodes.length"), QString(html.startsWith("<p class") ? "2" : "1"));
}

void TestPageScripts::stepsAndReplaces()
{
    setBody(view, "<p>gamma</p>");
    run(view, "highLightKeyword('x'); selectedText(false); replaceSelectedText('y'); replaceAllHighText('y'); true");
    QCOMPARE(js("document.body.innerHTML + edits"), QStringLiteral("<p>gamma</p>0"));

    setBody(view, "<p>x1 x2</p><p>x3</p>");
    run(view, "highLightKeyword('x'); selectedText(true); true");
    QCOMPARE(marks(), QStringLiteral("[x] x x")); // the first step picks the first match
    run(view, "selectedText(true); true");
    QCOMPARE(marks(), QStringLiteral("x x [x]"));
    run(view, "selectedText(false); true");
    QCOMPARE(marks(), QStringLiteral("[x] x x"));

    // Replacing with no current match: the first goes, the second becomes current.
    setBody(view, "<p>a x b x</p><p>x</p>");
    run(view, "highLightKeyword('x'); replaceSelectedText('<b>'); true");
    QCOMPARE(marks(), QStringLiteral("[x] x"));
    QCOMPARE(js("document.body.textContent + document.body.querySelectorAll('b').length"), QStringLiteral("a <b> b xx0"));
    run(view, "replaceAllHighText('<i>'); true");
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>a &lt;b&gt; b &lt;i&gt;</p><p>&lt;i&gt;</p>"));

    // The only match replaced leaves no highlight.
    setBody(view, "<p>one <i>two</i></p>");
    run(view, "highLightKeyword('two'); replaceSelectedText('2'); replaceSelectedText('3'); true");
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>one <i>2</i></p>"));
    QVERIFY(js("edits").toInt() > 0);
}

QTEST_MAIN(TestPageScripts)
#include "tst_pagescripts.moc"
