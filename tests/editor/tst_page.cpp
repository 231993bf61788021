// The editing page's own functions and body handlers, against the real page.

#include "support/guitest.h"
#include "support/pagetest.h"

#include "editor/linkdialog.h"

#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void programStatementsRunUnderThePolicy();
    void getHtmlWithoutCodeBlocksIsTheBody();
    void getHtmlTurnsCodeEditorsBackIntoCodeBlocks();
    void elementFromPoint();
    void clickKeepsOneTrailingParagraph();
    void relativeAndAbsoluteImagesShow();
    void imagesKeepTheirWrittenSource();
    void resolveImagesOnAnInsertedSubtree();
    void bodyHandlersCallTheBridge();
    void openLinkWinOpensTheDialogWithTheSelection();
    void signalsReachTheirPageFunctions();

private:
    QString js(const QString &script) { return harness->js(script).toString(); }

    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<PageHarness> harness;
    QTemporaryDir docDir;
};

void TestPage::initTestCase()
{
    workDir = GuiTest::isolate();
    QVERIFY(docDir.isValid());
    QVERIFY(QDir(docDir.path()).mkpath(QStringLiteral("pics")));
    QVERIFY(QDir(docDir.path()).mkpath(QStringLiteral("my pics")));
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(docDir.filePath(QStringLiteral("pics/a.png"))));
    QVERIFY(image.save(docDir.filePath(QStringLiteral("my pics/b c.png"))));

    harness = std::make_unique<PageHarness>();
    QVERIFY(harness->waitReady());
}

void TestPage::cleanupTestCase()
{
    harness.reset();
}

void TestPage::programStatementsRunUnderThePolicy()
{
    // The policy is in force for page content...
    QVERIFY(harness->setHtml(QStringLiteral("<p>x</p>")));
    js(QStringLiteral("window.violations = [];"
                      "document.addEventListener('securitypolicyviolation',"
                      " function (e) { violations.push(e.violatedDirective); });"
                      "document.body.insertAdjacentHTML('beforeend', '<img src=\"data:,\" onerror=\"window.ran = 1\">');"));
    QTRY_VERIFY(harness->js(QStringLiteral("violations.length")).toInt() > 0);
    QCOMPARE(js(QStringLiteral("String(typeof window.ran)")), QStringLiteral("undefined"));

    // ...but the program's own statements run, the theme statement included.
    QCOMPARE(harness->js(QStringLiteral("1 + 1")).toInt(), 2);
    const QString url = QUrl::fromLocalFile(docDir.filePath(QStringLiteral("none.css"))).toString();
    harness->js(QStringLiteral("document.getElementById('themecss').href='%1';").arg(url));
    QCOMPARE(js(QStringLiteral("document.getElementById('themecss').href")), url);

    // The word-count worker may be started from the resources.
    js(QStringLiteral("violations = []; window.testWorker = new Worker('qrc:/resources/calculate.js');"
                      "testWorker.postMessage('a b'); 'ok'"));
    QCOMPARE(js(QStringLiteral("typeof testWorker")), QStringLiteral("object"));
    QCOMPARE(js(QStringLiteral("violations.join(',')")), QString());
    js(QStringLiteral("testWorker.terminate();"));
}

void TestPage::getHtmlWithoutCodeBlocksIsTheBody()
{
    const QString html = QStringLiteral("<h1>Title</h1><p>a <b>b</b> &amp; <img src=\"https://example.com/x.png\"></p>"
                                        "<table><tbody><tr><td>1</td></tr></tbody></table>");
    QVERIFY(harness->setHtml(html));
    QCOMPARE(js(QStringLiteral("getHtml()")), js(QStringLiteral("document.body.innerHTML")));
    QCOMPARE(js(QStringLiteral("getHtml()")), html);
}

void TestPage::getHtmlTurnsCodeEditorsBackIntoCodeBlocks()
{
    QVERIFY(harness->setHtml(QStringLiteral("<p>before</p><pre id=\"a\"></pre><p>mid</p>"
                                            "<pre id=\"b\"></pre><pre id=\"c\"></pre><p>after</p>")));
    // Without a language table no block has a class; each block's text ends
    // with the line feed the editor leaves out.
    const bool hasTable = js(QStringLiteral("typeof options")) != QLatin1String("undefined");
    const QString makeEditors = QStringLiteral(
        "(function () {"
        "  document.body.innerHTML = '<p>before</p><pre id=\"a\"></pre><p>mid</p>'"
        "      + '<pre id=\"b\"></pre><pre id=\"c\"></pre><p>after</p>';"
        "  function make(id, mode, text) {"
        "    var pre = document.getElementById(id) || document.querySelectorAll('pre')[0];"
        "    return CodeMirror(function (w) { pre.parentNode.replaceChild(w, pre); },"
        "                      { mode: mode, value: text });"
        "  }"
        "  make('a', 'text/x-c++src', 'if (a < b && c)\\n    return \"x\";');"
        "  make('b', '', 'plain');"
        "  make('c', 'text/x-nothing', 'other');"
        "  return document.querySelectorAll('div.CodeMirror').length;"
        "})()");
    if (!hasTable) {
        QCOMPARE(harness->js(makeEditors).toInt(), 3);
        QCOMPARE(js(QStringLiteral("getHtml()")),
                 QStringLiteral("<p>before</p><pre><code>if (a &lt; b &amp;&amp; c)\n    return \"x\";\n</code></pre>"
                                "<p>mid</p><pre><code>plain\n</code></pre>"
                                "<pre><code>other\n</code></pre><p>after</p>"));
        js(QStringLiteral("window.options = { '': 'default', 'text/x-c++src': 'C++', 'text/x-python': 'Python' };"));
        QVERIFY(harness->setHtml(QStringLiteral("<p>before</p><pre id=\"a\"></pre><p>mid</p>"
                                                "<pre id=\"b\"></pre><pre id=\"c\"></pre><p>after</p>")));
    }
    QCOMPARE(harness->js(makeEditors).toInt(), 3);
    const QString expected = QStringLiteral(
        "<p>before</p><pre><code class=\"C++\">if (a &lt; b &amp;&amp; c)\n    return \"x\";\n</code></pre>"
        "<p>mid</p><pre><code>plain\n</code></pre>"
        "<pre><code>other\n</code></pre><p>after</p>");
    QCOMPARE(js(QStringLiteral("getHtml()")), expected);

    // Edits in an editor are what counts, and the live editors stay in place.
    js(QStringLiteral("document.querySelectorAll('div.CodeMirror')[1].CodeMirror.setValue('changed');"
                      "document.querySelectorAll('div.CodeMirror')[1].CodeMirror.setOption('mode', 'text/x-python');"));
    QVERIFY(js(QStringLiteral("getHtml()")).contains(QLatin1String("<pre><code class=\"Python\">changed\n</code></pre>")));
    QCOMPARE(harness->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 3);
    QCOMPARE(harness->js(QStringLiteral("document.querySelectorAll('pre > code').length")).toInt(), 0);
}

void TestPage::elementFromPoint()
{
    QVERIFY(harness->setHtml(QStringLiteral("<table><tbody><tr><td>cell one</td><td>cell two</td></tr></tbody></table>")));
    const QVariantList rect = harness->js(QStringLiteral(
        "(function () { var r = document.querySelector('td').getBoundingClientRect();"
        " return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2), Math.round(r.bottom)]; })()")).toList();
    QCOMPARE(rect.size(), 3);
    QCOMPARE(js(QStringLiteral("GetElementFromPoint(%1,%2)").arg(rect[0].toInt()).arg(rect[1].toInt())),
             QStringLiteral("HTML|BODY|TABLE|TBODY|TR|TD"));
    // Empty space of the body under the table, and a point outside the view.
    QCOMPARE(js(QStringLiteral("GetElementFromPoint(%1,%2)").arg(rect[0].toInt()).arg(rect[2].toInt() + 20)),
             QStringLiteral("HTML|BODY"));
    QCOMPARE(js(QStringLiteral("GetElementFromPoint(-50,-50)")), QString());
}

void TestPage::clickKeepsOneTrailingParagraph()
{
    const QString click = QStringLiteral("document.querySelector('%1').dispatchEvent("
                                         "new MouseEvent('click', { bubbles: true })); document.body.innerHTML");
    QVERIFY(harness->setHtml(QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table>")));
    js(click.arg(QLatin1String("td")));
    QCOMPARE(js(click.arg(QLatin1String("td"))),
             QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table><p>&nbsp;</p>"));

    const QString ending = QStringLiteral("<h2>t</h2><p>&nbsp;</p>");
    QVERIFY(harness->setHtml(ending));
    QCOMPARE(js(click.arg(QLatin1String("h2"))), ending);

    QVERIFY(harness->setHtml(QString()));
    QCOMPARE(js(click.arg(QLatin1String("body"))), QStringLiteral("<p>&nbsp;</p>"));
}

void TestPage::relativeAndAbsoluteImagesShow()
{
    const QString folder = QUrl::fromLocalFile(docDir.path() + QLatin1Char('/')).toString();
    const QString absolute = docDir.filePath(QStringLiteral("pics/a.png"));
    QVERIFY(harness->setHtml(QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"><img id=\"abs\" src=\"%1\">"
                                            "<img id=\"sp\" src=\"my pics/b c.png\"><img id=\"enc\" src=\"my%20pics/b%20c.png\"></p>")
                                 .arg(absolute),
                             folder));
    for (const char *id : {"rel", "abs", "sp", "enc"}) {
        const QString width = QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id));
        QTRY_COMPARE_WITH_TIMEOUT(harness->js(width).toInt(), 7, 10000);
    }

    // An untitled document has no folder: a relative source stays as written.
    QVERIFY(harness->setHtml(QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"></p>")));
    QCOMPARE(js(QStringLiteral("document.getElementById('rel').getAttribute('src')")), QStringLiteral("pics/a.png"));
    QCOMPARE(js(QStringLiteral("getHtml()")), QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"></p>"));
}

void TestPage::imagesKeepTheirWrittenSource()
{
    const QString folder = QUrl::fromLocalFile(docDir.path() + QLatin1Char('/')).toString();
    const QString html = QStringLiteral(
        "<p><img src=\"pics/a.png\" alt=\"r\"><img src=\"/srv/x y/a.png\"><img src=\"C:/x/a.png\">"
        "<img src=\"D:\\x\\a.png\"><img src=\"https://example.com/a.png\"><img src=\"data:image/png;base64,AA==\">"
        "<img src=\"../up.png\"></p>");
    QVERIFY(harness->setHtml(html, folder));
    QCOMPARE(js(QStringLiteral("getHtml()")), html);

    const QStringList shown = harness->js(QStringLiteral(
        "Array.prototype.map.call(document.images, function (i) { return i.getAttribute('src'); })")).toStringList();
    QCOMPARE(shown, QStringList({folder + QStringLiteral("pics/a.png"), QStringLiteral("file:///srv/x%20y/a.png"),
                                 QStringLiteral("file:///C:/x/a.png"), QStringLiteral("file:///D:/x/a.png"),
                                 QStringLiteral("https://example.com/a.png"), QStringLiteral("data:image/png;base64,AA=="),
                                 QUrl(folder).resolved(QUrl(QStringLiteral("../up.png"))).toString()}));

    // Saved elsewhere: the shown sources follow the new folder, the written ones stay.
    const QString moved = QStringLiteral("file:///elsewhere/");
    emit harness->content.documentFolderSignal(moved);
    QTRY_COMPARE(js(QStringLiteral("document.images[0].getAttribute('src')")), moved + QStringLiteral("pics/a.png"));
    QCOMPARE(js(QStringLiteral("getHtml()")), html);

    // An image pointed elsewhere after loading keeps its new source.
    js(QStringLiteral("document.images[0].setAttribute('src', 'https://example.com/new.png');"));
    QVERIFY(js(QStringLiteral("getHtml()")).startsWith(QLatin1String("<p><img src=\"https://example.com/new.png\" alt=\"r\">")));
    QVERIFY(!js(QStringLiteral("getHtml()")).contains(QLatin1String("data-veltrane-src")));
}

void TestPage::resolveImagesOnAnInsertedSubtree()
{
    const QString folder = QUrl::fromLocalFile(docDir.path() + QLatin1Char('/')).toString();
    QVERIFY(harness->setHtml(QStringLiteral("<p id=\"p\">text</p>"), folder));
    js(QStringLiteral("var s = document.createElement('span'); s.innerHTML = '<img id=\"n\" src=\"pics/a.png\">';"
                      "document.getElementById('p').appendChild(s); resolveImages(s);"
                      "var lone = document.createElement('img'); lone.id = 'lone'; lone.src = 'data:,';"
                      "lone.setAttribute('src', 'pics/a.png'); document.body.appendChild(lone); resolveImages(lone);"
                      "resolveImages(document.body);"));
    QTRY_COMPARE_WITH_TIMEOUT(harness->js(QStringLiteral("document.getElementById('n').naturalWidth")).toInt(), 7, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(harness->js(QStringLiteral("document.getElementById('lone').naturalWidth")).toInt(), 7, 10000);
    QCOMPARE(js(QStringLiteral("getHtml()")),
             QStringLiteral("<p id=\"p\">text<span><img id=\"n\" src=\"pics/a.png\"></span></p>"
                            "<img id=\"lone\" src=\"pics/a.png\">"));
}

void TestPage::bodyHandlersCallTheBridge()
{
    QSignalSpy modified(&harness->content, &Content::updateModifyStatusSignal);
    QSignalSpy focused(&harness->content, &Content::webViewFocusSignal);
    QVERIFY(harness->setHtml(QStringLiteral("<p id=\"p\">text</p>")));
    QCOMPARE(modified.count(), 0); // loading is not an edit

    js(QStringLiteral("document.body.dispatchEvent(new InputEvent('input', { bubbles: true }));"));
    QTRY_COMPARE(modified.count(), 1);
    QCOMPARE(modified.first().first().toBool(), true);

    js(QStringLiteral("document.getElementById('p').dispatchEvent(new FocusEvent('focusin', { bubbles: true }));"));
    QTRY_COMPARE(focused.count(), 1);

    // The browser's own paste is cancelled; dragover is remembered.
    QCOMPARE(harness->js(QStringLiteral("document.getElementById('p').dispatchEvent("
                                        "new ClipboardEvent('paste', { bubbles: true, cancelable: true }))")).toBool(),
             false);
    QCOMPARE(js(QStringLiteral("var d = new DragEvent('dragover', { bubbles: true, clientX: 3 });"
                               "document.getElementById('p').dispatchEvent(d); String(currentEvent === d)")),
             QStringLiteral("true"));
}

void TestPage::openLinkWinOpensTheDialogWithTheSelection()
{
    QVERIFY(harness->setHtml(QStringLiteral("<p id=\"p\">pick these words</p>")));
    js(QStringLiteral("var r = document.createRange(); var t = document.getElementById('p').firstChild;"
                      "r.setStart(t, 5); r.setEnd(t, 10); getSelection().removeAllRanges(); getSelection().addRange(r);"
                      "openLinkWin();"));
    QTRY_VERIFY(harness->content.currentLinkDialog());
    QPointer<LinkDialog> dialog = harness->content.currentLinkDialog();
    QCOMPARE(dialog->textEdit()->text(), QStringLiteral("these"));
    QCOMPARE(dialog->urlEdit()->text(), QString());
    dialog->close();
    QTRY_VERIFY(!dialog);
}

void TestPage::signalsReachTheirPageFunctions()
{
    // A page of its own: the stubs replace the other scripts' functions.
    PageHarness own;
    QVERIFY(own.waitReady());
    own.js(QStringLiteral("window.calls = [];"
                          "['onAddLink', 'insertPayload', 'insertPayloadAtDragPoint', 'highLightKeyword',"
                          " 'replaceSelectedText', 'replaceAllHighText', 'insertImage', 'changePreToCodeMirror']"
                          ".forEach(function (name) { window[name] = function (arg) {"
                          "  calls.push(name + ':' + (typeof arg === 'object' ? JSON.stringify(arg) : arg)); }; });"));
    const QJsonObject payload{{QStringLiteral("k"), 1}};
    emit own.content.addLinkSignal(payload);
    emit own.content.dealCopySignal(payload);
    emit own.content.dealDragSignal(payload);
    emit own.content.highLightKeyword(QStringLiteral("find"));
    emit own.content.replaceSelectedText(QStringLiteral("one"));
    emit own.content.replaceAllHighText(QStringLiteral("all"));
    emit own.content.insertImageSignal(QStringLiteral("pics/a.png"));
    emit own.content.setHtmlSignal(QStringLiteral("<p>x</p>"));
    QTRY_COMPARE(own.js(QStringLiteral("calls.length")).toInt(), 8);
    QCOMPARE(own.js(QStringLiteral("calls")).toStringList(),
             QStringList({QStringLiteral("onAddLink:{\"k\":1}"), QStringLiteral("insertPayload:{\"k\":1}"),
                          QStringLiteral("insertPayloadAtDragPoint:{\"k\":1}"), QStringLiteral("highLightKeyword:find"),
                          QStringLiteral("replaceSelectedText:one"), QStringLiteral("replaceAllHighText:all"),
                          QStringLiteral("insertImage:pics/a.png"), QStringLiteral("changePreToCodeMirror:undefined")}));
}

QTEST_MAIN(TestPage)
#include "tst_page.moc"
