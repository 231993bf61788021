// The editing page with its bridge, as the program builds it: the page's own
// functions and handlers, links, pasted and dropped content, search highlights,
// the word count, the theme, and what hostile documents can reach.

#include "support/pagetest.h"

#include "editor/editorpage.h"
#include "editor/linkdialog.h"
#include "editor/mimepayload.h"
#include "settings/settings.h"
#include "settings/themes.h"

#include <QDesktopServices>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void everyCommandHasItsPageFunction();
    void programStatementsRunUnderThePolicy();
    void htmlWithoutCodeBlocksIsTheBody();
    void htmlTurnsCodeEditorsBackIntoCodeBlocks();
    void tagPathAtPoint();
    void clickKeepsOneTrailingParagraph();
    void relativeAndAbsoluteImagesShow();
    void imagesKeepTheirWrittenSource();
    void resolveImagesOnAnInsertedSubtree();
    void bodyHandlersCallTheBridge();
    void commandsReachTheirPageFunctions();
    void themeChangesThePageStyle();
    void paletteRestylesThePageInPlace();
    void documentStylesCannotHideTheText();

    void linksStayTextAndAttributes();
    void linkClicks();
    void payloadsOfEachKind();
    void pastedMarkupCannotRunScript();
    void droppedImagesAreCopiedOnceAndShown();
    void highlightsOnlyText_data();
    void highlightsOnlyText();
    void stepsAndReplaces();

    void hostileDocumentsReachNothing_data();
    void hostileDocumentsReachNothing();
    void pageCannotBeNavigatedAway();
    void openUrlOpensOnlyWebAndMailAddresses();

    void wordCounts_data();
    void wordCounts();
    void wordCountReachesTheBridge();

private:
    QString js(const QString &script) { return h->text(script); }
    // Input events the page has reported since the body was last set.
    int edits() { return h->callsArrived() ? modified->count() : -1; }
    void setBody(const QString &html)
    {
        h->setBody(html);
        edits();
        modified->clear();
    }
    void call(const QString &function, const QJsonObject &arg)
    {
        js(function + QLatin1Char('(') + QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact))
           + QStringLiteral("); true"));
    }
    static QJsonObject link(const QString &title, const QString &url, bool modify)
    {
        return {{"title", title}, {"url", url}, {"isModify", modify}, {"isATag", true}};
    }
    // The highlight spans as text, the current one in brackets.
    QString marks()
    {
        return js("(function (m) { return m.matches.map(function (r, i) { return i === m.current ? '[' + r + ']' : String(r); })"
                  ".join(' '); })(modules.search.marked())");
    }
    // Once the theme sheet the settings name is the page's and has loaded.
    bool themeLoaded() { return GuiTest::themeSheetLoaded(h->page(), QUrl::fromLocalFile(Themes::currentPath())); }
    // The sources of the images as page.html() writes them.
    QString savedImageSources()
    {
        return js("(function () { var t = document.createElement('template'); t.innerHTML = page.html();"
                  " return Array.prototype.map.call(t.content.querySelectorAll('img'),"
                  " function (i) { return i.getAttribute('src'); }).join('|'); })()");
    }

    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<PageHarness> h;
    std::unique_ptr<QSignalSpy> modified;
    QTemporaryDir docDir;
};

void TestPage::initTestCase()
{
    workDir = GuiTest::isolate();
    QVERIFY(QDir(docDir.path()).mkpath(QStringLiteral("pics")));
    QVERIFY(QDir(docDir.path()).mkpath(QStringLiteral("my pics")));
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(docDir.filePath(QStringLiteral("pics/a.png"))));
    QVERIFY(image.save(docDir.filePath(QStringLiteral("my pics/b c.png"))));

    h = std::make_unique<PageHarness>();
    modified = std::make_unique<QSignalSpy>(&h->bridge(), &PageBridge::documentEdited);
    QVERIFY(h->waitReady());
    // Every script of the page loaded without an error.
    QVERIFY2(PageHarness::errors().isEmpty(), qPrintable(PageHarness::errors().join(QLatin1Char('\n'))));
}

void TestPage::cleanupTestCase()
{
    modified.reset();
    h.reset();
}

void TestPage::everyCommandHasItsPageFunction()
{
    // A command naming no function of the page would be lost without a word.
    QStringList missing;
    int calls = 0;
    for (int i = 0; *PageSurface::functionName(PageSurface::PageCall(i)); ++i, ++calls) {
        const QString name = QString::fromLatin1(PageSurface::functionName(PageSurface::PageCall(i)));
        if (js(QStringLiteral("typeof page.%1").arg(name)) != QLatin1String("function"))
            missing << name;
    }
    QCOMPARE(missing, QStringList());
    // And the page offers nothing the program does not call (but html(), the
    // whole document at once, which the transfer is made of).
    QCOMPARE(h->js(QStringLiteral("Object.keys(page).filter(function (k) { return k !== 'html'; }).length")).toInt(), calls);
}

void TestPage::programStatementsRunUnderThePolicy()
{
    // The policy is in force for page content...
    QVERIFY(h->setHtml(QStringLiteral("<p>x</p>")));
    js(QStringLiteral("window.violations = [];"
                      "document.addEventListener('securitypolicyviolation',"
                      " function (e) { violations.push(e.violatedDirective); });"
                      "document.body.insertAdjacentHTML('beforeend', '<img src=\"data:,\" onerror=\"window.ran = 1\">');"));
    QTRY_VERIFY(h->js(QStringLiteral("violations.length")).toInt() > 0);
    QCOMPARE(js(QStringLiteral("String(typeof window.ran)")), QStringLiteral("undefined"));

    // ...but the program's own statements run, the theme statement included.
    QCOMPARE(h->js(QStringLiteral("1 + 1")).toInt(), 2);
    const QString url = QUrl::fromLocalFile(docDir.filePath(QStringLiteral("none.css"))).toString();
    js(QStringLiteral("document.getElementById('themecss').href='%1';").arg(url));
    QCOMPARE(js(QStringLiteral("document.getElementById('themecss').href")), url);

    // The word-count worker may be started from the resources.
    js(QStringLiteral("violations = []; window.testWorker = new Worker('qrc:/resources/page/wordcount.js', { type: 'module' });"
                      "testWorker.postMessage('a b'); 'ok'"));
    QCOMPARE(js(QStringLiteral("typeof testWorker")), QStringLiteral("object"));
    QCOMPARE(js(QStringLiteral("violations.join(',')")), QString());
    js(QStringLiteral("testWorker.terminate(); true"));
}

void TestPage::htmlWithoutCodeBlocksIsTheBody()
{
    const QString html = QStringLiteral("<h1>Title</h1><p>a <b>b</b> &amp; <img src=\"https://example.com/x.png\"></p>"
                                        "<table><tbody><tr><td>1</td></tr></tbody></table>");
    QVERIFY(h->setHtml(html));
    QCOMPARE(js(QStringLiteral("page.html()")), h->body());
    QCOMPARE(js(QStringLiteral("page.html()")), html);
}

void TestPage::htmlTurnsCodeEditorsBackIntoCodeBlocks()
{
    QCOMPARE(h->js(QStringLiteral(
        "(function () {"
        "  document.body.innerHTML = '<p>before</p><pre id=\"a\"><code></code></pre><p>mid</p>'"
        "      + '<pre id=\"b\"><code></code></pre><pre id=\"c\"><code></code></pre><p>after</p>';"
        "  modules.codeblocks.makeCodeBlocks(); modules.codeblocks.activateCodeBlocks();"
        "  function make(id, mode, text) {"
        "    var editor = document.getElementById(id).veltraneBlock.editor;"
        "    editor.setOption('mode', mode); editor.setValue(text);"
        "  }"
        "  make('a', 'text/x-c++src', 'if (a < b && c)\\n    return \"x\";');"
        "  make('b', '', 'plain');"
        "  make('c', 'text/x-nothing', 'other');"
        "  return document.querySelectorAll('div.CodeMirror').length;"
        "})()")).toInt(), 3);
    QCOMPARE(js(QStringLiteral("page.html()")),
             QStringLiteral("<p>before</p><pre><code class=\"C++\">if (a &lt; b &amp;&amp; c)\n    return \"x\";\n</code></pre>"
                            "<p>mid</p><pre><code>plain\n</code></pre>"
                            "<pre><code>other\n</code></pre><p>after</p>"));

    // Edits in an editor are what counts, and the live editors stay in place.
    js(QStringLiteral("document.querySelectorAll('div.CodeMirror')[1].CodeMirror.setValue('changed');"
                      "document.querySelectorAll('div.CodeMirror')[1].CodeMirror.setOption('mode', 'text/x-python'); true"));
    QVERIFY(js(QStringLiteral("page.html()")).contains(QLatin1String("<pre><code class=\"Python\">changed\n</code></pre>")));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('div.CodeMirror').length")).toInt(), 3);
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('pre > code').length")).toInt(), 0);
}

void TestPage::tagPathAtPoint()
{
    QVERIFY(h->setHtml(QStringLiteral("<table><tbody><tr><td>cell one</td><td>cell two</td></tr></tbody></table>")));
    const QVariantList rect = h->js(QStringLiteral(
        "(function () { var r = document.querySelector('td').getBoundingClientRect();"
        " return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2), Math.round(r.bottom)]; })()")).toList();
    QCOMPARE(rect.size(), 3);
    QCOMPARE(js(QStringLiteral("modules.dom.tagPathAt(%1,%2)").arg(rect[0].toInt()).arg(rect[1].toInt())),
             QStringLiteral("HTML|BODY|TABLE|TBODY|TR|TD"));
    // Empty space of the body under the table, and a point outside the view.
    QCOMPARE(js(QStringLiteral("modules.dom.tagPathAt(%1,%2)").arg(rect[0].toInt()).arg(rect[2].toInt() + 20)),
             QStringLiteral("HTML|BODY"));
    QCOMPARE(js(QStringLiteral("modules.dom.tagPathAt(-50,-50)")), QString());
}

void TestPage::clickKeepsOneTrailingParagraph()
{
    const QString click = QStringLiteral("document.querySelector('%1').dispatchEvent("
                                         "new MouseEvent('click', { bubbles: true })); document.body.innerHTML");
    QVERIFY(h->setHtml(QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table>")));
    js(click.arg(QLatin1String("td")));
    QCOMPARE(js(click.arg(QLatin1String("td"))),
             QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table><p><br></p>"));

    // An empty last paragraph, also one of a document written elsewhere, is enough.
    for (const QString &ending : {QStringLiteral("<h2>t</h2><p>&nbsp;</p>"), QStringLiteral("<h2>t</h2><p><br></p>")}) {
        QVERIFY(h->setHtml(ending));
        QCOMPARE(js(click.arg(QLatin1String("h2"))), ending);
    }

    QVERIFY(h->setHtml(QString()));
    QCOMPARE(js(click.arg(QLatin1String("body"))), QStringLiteral("<p><br></p>"));

    // A real click below a closing table: what is typed goes into the new line.
    QVERIFY(h->setHtml(QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table>")));
    h->view.setFocus();
    QTest::mouseClick(h->view.focusProxy(), Qt::LeftButton, {}, QPoint(400, h->view.height() - 20));
    QTest::keyClicks(h->view.focusProxy(), QStringLiteral("z"));
    QTRY_COMPARE(h->body(), QStringLiteral("<p>a</p><table><tbody><tr><td>1</td></tr></tbody></table><p>z</p>"));
    edits();
    modified->clear();
}

void TestPage::relativeAndAbsoluteImagesShow()
{
    const QString document = docDir.filePath(QStringLiteral("doc.md"));
    const QString absolute = docDir.filePath(QStringLiteral("pics/a.png"));
    QVERIFY(h->setHtml(QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"><img id=\"abs\" src=\"%1\">"
                                      "<img id=\"sp\" src=\"my pics/b c.png\"><img id=\"enc\" src=\"my%20pics/b%20c.png\"></p>")
                           .arg(absolute),
                       document));
    for (const char *id : {"rel", "abs", "sp", "enc"}) {
        const QString width = QStringLiteral("document.getElementById('%1').naturalWidth").arg(QLatin1String(id));
        QTRY_COMPARE_WITH_TIMEOUT(h->js(width).toInt(), 7, 10000);
    }

    // An untitled document has no folder: a relative source stays as written.
    QVERIFY(h->setHtml(QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"></p>")));
    QCOMPARE(js(QStringLiteral("document.getElementById('rel').getAttribute('src')")), QStringLiteral("pics/a.png"));
    QCOMPARE(js(QStringLiteral("page.html()")), QStringLiteral("<p><img id=\"rel\" src=\"pics/a.png\"></p>"));
}

void TestPage::imagesKeepTheirWrittenSource()
{
    const QString folder = QUrl::fromLocalFile(docDir.path() + QLatin1Char('/')).toString();
    const QString html = QStringLiteral(
        "<p><img src=\"pics/a.png\" alt=\"r\"><img src=\"/srv/x y/a.png\"><img src=\"C:/x/a.png\">"
        "<img src=\"D:\\x\\a.png\"><img src=\"https://example.com/a.png\"><img src=\"data:image/png;base64,AA==\">"
        "<img src=\"../up.png\"></p>");
    QVERIFY(h->setHtml(html, docDir.filePath(QStringLiteral("doc.md"))));
    QCOMPARE(js(QStringLiteral("page.html()")), html);

    const QStringList shown = h->js(QStringLiteral(
        "Array.prototype.map.call(document.images, function (i) { return i.getAttribute('src'); })")).toStringList();
    QCOMPARE(shown, QStringList({folder + QStringLiteral("pics/a.png"), QStringLiteral("file:///srv/x%20y/a.png"),
                                 QStringLiteral("file:///C:/x/a.png"), QStringLiteral("file:///D:/x/a.png"),
                                 QStringLiteral("https://example.com/a.png"), QStringLiteral("data:image/png;base64,AA=="),
                                 QUrl(folder).resolved(QUrl(QStringLiteral("../up.png"))).toString()}));

    // Saved elsewhere: the shown sources follow the new folder, the written ones stay.
    h->surface.setDocumentPath(QStringLiteral("/elsewhere/doc.md"));
    QTRY_COMPARE(js(QStringLiteral("document.images[0].getAttribute('src')")), QStringLiteral("file:///elsewhere/pics/a.png"));
    QCOMPARE(js(QStringLiteral("page.html()")), html);

    // An image pointed elsewhere after loading keeps its new source.
    js(QStringLiteral("document.images[0].setAttribute('src', 'https://example.com/new.png'); true"));
    QVERIFY(js(QStringLiteral("page.html()")).startsWith(QLatin1String("<p><img src=\"https://example.com/new.png\" alt=\"r\">")));
    QVERIFY(!js(QStringLiteral("page.html()")).contains(QLatin1String("data-veltrane-src")));
}

void TestPage::resolveImagesOnAnInsertedSubtree()
{
    QVERIFY(h->setHtml(QStringLiteral("<p id=\"p\">text</p>"), docDir.filePath(QStringLiteral("doc.md"))));
    js(QStringLiteral("var s = document.createElement('span'); s.innerHTML = '<img id=\"n\" src=\"pics/a.png\">';"
                      "document.getElementById('p').appendChild(s); modules.images.resolveImages(s);"
                      "var lone = document.createElement('img'); lone.id = 'lone'; lone.src = 'data:,';"
                      "lone.setAttribute('src', 'pics/a.png'); document.body.appendChild(lone); modules.images.resolveImages(lone);"
                      "modules.images.resolveImages(document.body); true"));
    QTRY_COMPARE_WITH_TIMEOUT(h->js(QStringLiteral("document.getElementById('n').naturalWidth")).toInt(), 7, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(h->js(QStringLiteral("document.getElementById('lone').naturalWidth")).toInt(), 7, 10000);
    QCOMPARE(js(QStringLiteral("page.html()")),
             QStringLiteral("<p id=\"p\">text<span><img id=\"n\" src=\"pics/a.png\"></span></p>"
                            "<img id=\"lone\" src=\"pics/a.png\">"));
}

void TestPage::bodyHandlersCallTheBridge()
{
    QSignalSpy focused(&h->bridge(), &PageBridge::pageFocused);
    QVERIFY(h->setHtml(QStringLiteral("<p id=\"p\">text</p>")));
    QCOMPARE(edits(), 0); // loading is not an edit
    modified->clear();

    js(QStringLiteral("document.body.dispatchEvent(new InputEvent('input', { bubbles: true })); true"));
    QCOMPARE(edits(), 1);

    js(QStringLiteral("document.getElementById('p').dispatchEvent(new FocusEvent('focusin', { bubbles: true })); true"));
    QTRY_COMPARE(focused.count(), 1);

    // The engine's own paste is cancelled and asked of the program instead, once; not
    // the middle button's paste of the selection buffer, nor in a code block's editor.
    QSignalSpy pasted(&h->bridge(), &PageBridge::pasteRequested);
    const QString paste = QStringLiteral("document.querySelector('%1').dispatchEvent("
                                         "new ClipboardEvent('paste', { bubbles: true, cancelable: true }))");
    QCOMPARE(h->js(paste.arg("#p")).toBool(), false);
    QTRY_COMPARE(pasted.count(), 1);
    js(QStringLiteral("var p = document.getElementById('p');"
                      " p.dispatchEvent(new MouseEvent('mousedown', { bubbles: true, button: 1 })); true"));
    QCOMPARE(h->js(paste.arg("#p")).toBool(), false);
    js(QStringLiteral("p.dispatchEvent(new MouseEvent('mouseup', { bubbles: true, button: 1 }));"
                      " document.body.insertAdjacentHTML('beforeend', '<pre><code>x</code></pre>');"
                      " modules.codeblocks.makeCodeBlocks(); modules.codeblocks.activateCodeBlocks(); true"));
    QCOMPARE(h->js(paste.arg(".CodeMirror textarea")).toBool(), true);
    QCOMPARE(edits(), 1);
    QCOMPARE(pasted.count(), 1);

    // page.link() opens the link dialog with the selected text.
    h->select(QStringLiteral("#p"), 1, 3);
    js(QStringLiteral("page.link(); true"));
    QTRY_VERIFY(h->bridge().currentLinkDialog());
    QPointer<LinkDialog> dialog = h->bridge().currentLinkDialog();
    QCOMPARE(dialog->textEdit()->text(), QStringLiteral("ex"));
    QCOMPARE(dialog->urlEdit()->text(), QString());
    dialog->close();
    QTRY_VERIFY(!dialog);
}

void TestPage::commandsReachTheirPageFunctions()
{
    // Each command, sent as the program sends it, changes the page.
    QVERIFY(h->setHtml(QStringLiteral("<p id=\"p\">one two</p><pre><code>x</code></pre>")));
    QCOMPARE(h->js(QStringLiteral("document.querySelectorAll('pre.veltrane-code').length")).toInt(), 1);
    h->select(QStringLiteral("#p"));
    emit h->bridge().linkAccepted(link(QStringLiteral("site"), QStringLiteral("https://example.com/"), false));
    QTRY_VERIFY(h->body().contains(QStringLiteral("one two<a href=\"https://example.com/\" target=\"_blank\">site</a>")));
    QMimeData pasted;
    pasted.setText(QStringLiteral("pasted"));
    h->surface.insertMimeData(&pasted);
    QTRY_VERIFY(h->body().contains(QStringLiteral("</a>pasted")));
    h->surface.insertImage(QStringLiteral("https://example.com/i.png"));
    QTRY_VERIFY(h->body().contains(QStringLiteral("<img src=\"https://example.com/i.png\">")));
    h->surface.markMatches(QStringLiteral("o"));
    QTRY_COMPARE(marks(), QStringLiteral("o o"));
    h->surface.replaceMatch(QStringLiteral("o"), QStringLiteral("0"));
    QTRY_COMPARE(marks(), QStringLiteral("[o]"));
    h->surface.replaceAllMatches(QStringLiteral("o"), QStringLiteral("0"));
    QTRY_VERIFY(h->body().startsWith(QStringLiteral("<p id=\"p\">0ne tw0")));
    // Text the commands carry stays text, whatever it holds.
    const QString hostile = QStringLiteral("'); window.pwned = 1; ('\u2028\\\"</script>");
    h->surface.markMatches(hostile);
    h->surface.insertImage(hostile);
    QTRY_COMPARE(h->js(QStringLiteral("document.images.length")).toInt(), 2);
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
    QVERIFY(h->js(QStringLiteral("Array.prototype.map.call(document.images, function (i) { return i.getAttribute('src'); })"))
                .toStringList().contains(hostile));
}

void TestPage::themeChangesThePageStyle()
{
    const QString color = QStringLiteral("getComputedStyle(document.body).color");
    const QString rules = QStringLiteral("String(!!document.getElementById('themecss').sheet"
                                         " && document.getElementById('themecss').sheet.cssRules.length > 0)");
    h->surface.applyTheme();
    QVERIFY(themeLoaded());
    QCOMPARE(js(rules), QStringLiteral("true"));
    const QString light = js(color);
    QVERIFY(light != QLatin1String("rgb(0, 0, 0)")); // the theme's text colour, not the default

    Settings::instance().setCssFile(QStringLiteral("github-markdown-dark.css"));
    h->bridge().ready(); // as the page asks
    QVERIFY(themeLoaded());
    QVERIFY(js(color) != light);
    QVERIFY(js(QStringLiteral("document.getElementById('themecss').href")).endsWith(QLatin1String("/themes/github-markdown-dark.css")));

    Settings::instance().setCssFile(QStringLiteral("github-markdown-light.css"));
    h->surface.applyTheme();
    QVERIFY(themeLoaded());
    QCOMPARE(js(color), light);
}

void TestPage::paletteRestylesThePageInPlace()
{
    const QString background = QStringLiteral("getComputedStyle(document.body).backgroundColor");
    const QString block = QStringLiteral("document.querySelector('.CodeMirror')");
    const auto look = [&] {
        return js(background + QStringLiteral(" + ' ' + ") + block
                  + QStringLiteral(".CodeMirror.getOption('theme') + ' ' + getComputedStyle(") + block
                  + QStringLiteral(").backgroundColor + ' ' + document.getElementById('stat').className"));
    };
    const QString light = QStringLiteral("rgb(255, 255, 255) default rgb(245, 245, 245) cm-s-default");
    const QString dark = QStringLiteral("rgb(13, 17, 23) nord rgb(46, 52, 64) cm-s-nord");
    Settings::instance().setCssFile(QString()); // follow the palette
    Settings::instance().setTheme(Settings::Theme::Light);
    h->surface.applyTheme();
    // A code block shown as static HTML carries its theme class too.
    setBody(QStringLiteral("<p id=\"p\">one</p><pre><code class=\"language-Python\">x = 1\n</code></pre>"
                           "<div id=\"stat\" class=\"cm-s-default\"></div>"));
    QVERIFY(themeLoaded());
    QCOMPARE(look(), light);
    h->select(QStringLiteral("#p"));
    js(QStringLiteral("document.execCommand('insertText', false, ' two'); true"));
    const QString text = js(QStringLiteral("document.body.innerText"));

    // A palette switch restyles at once, keeping the text, the caret and the undo history.
    const QString caret = QStringLiteral("getSelection().anchorNode.parentNode.id + ':' + getSelection().anchorOffset"
                                         " + ':' + document.queryCommandEnabled('undo')");
    const QString before = js(caret);
    QCOMPARE(before, QStringLiteral("p:7:true"));
    Settings::instance().setTheme(Settings::Theme::Dark);
    QVERIFY(themeLoaded());
    QCOMPARE(look(), dark);
    QCOMPARE(js(caret), before);
    QCOMPARE(js(QStringLiteral("document.body.innerText")), text);
    // Blocks made later take the theme too; the theme set again reaches what else carries one.
    setBody(QStringLiteral("<pre><code>y</code></pre><div id=\"stat\" class=\"cm-s-default\"></div>"));
    QCOMPARE(look(), QString(dark).replace(QStringLiteral("cm-s-nord"), QStringLiteral("cm-s-default")));
    js(QStringLiteral("modules.theme.setCodeTheme(CodeMirror.defaults.theme); true"));
    QCOMPARE(look(), dark);

    // Print and PDF keep the light sheet and light code blocks, and the screen stays dark.
    QCOMPARE(js(QStringLiteral("document.getElementById('themecss').media + ' ' + document.getElementById('printcss').href")),
             QStringLiteral("screen ") + QUrl::fromLocalFile(Themes::folder() + QStringLiteral("/github-markdown-light.css")).toString());
    js(QStringLiteral("window.printed = ''; window.addEventListener('beforeprint', function () {"
                      " window.printed = document.querySelector('.CodeMirror').className; }); true"));
    QByteArray pdf;
    h->surface.printToPdf(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                          [&pdf](const QByteArray &result) { pdf = result; });
    QTRY_VERIFY_WITH_TIMEOUT(!pdf.isEmpty(), 20000);
    QVERIFY(js(QStringLiteral("window.printed")).contains(QStringLiteral("cm-s-default")));
    QVERIFY(themeLoaded());
    QTRY_COMPARE(look(), dark); // the code blocks take the screen theme again after the print

    // A sheet chosen in the settings wins over the palette, on screen and in print.
    Settings::instance().setCssFile(QStringLiteral("github-markdown-light.css"));
    h->surface.applyTheme();
    QVERIFY(themeLoaded());
    QCOMPARE(look(), light);
    QVERIFY(!js(QStringLiteral("document.getElementById('printcss').hasAttribute('href')")).contains(QStringLiteral("true")));
    Settings::instance().setTheme(Settings::Theme::Light);
    Settings::instance().setCssFile(QStringLiteral("github-markdown-dark.css"));
    h->surface.applyTheme();
    QVERIFY(themeLoaded());
    QCOMPARE(look(), dark);
    Settings::instance().setCssFile(QString());
    h->surface.applyTheme();
    QVERIFY(themeLoaded());
    QCOMPARE(look(), light);
}

void TestPage::documentStylesCannotHideTheText()
{
    // The document's sheet styles the page, hides none of it, and is saved as written.
    const QString style = QStringLiteral("<style>h1,p,li{display:none!important} p{color:red; opacity:0}"
                                         " @media screen { li { visibility: hidden; font-size: 0 } }</style>");
    QVERIFY(h->setHtml(style + QStringLiteral("<h1>Title</h1><p>text</p><ul><li>item</li></ul>")));
    const QString shown = QStringLiteral("Array.prototype.map.call(document.querySelectorAll('h1, p, li'), function (e) {"
                                         " var s = getComputedStyle(e); return e.offsetHeight > 0 && s.visibility === 'visible'"
                                         " && s.opacity === '1' && parseFloat(s.fontSize) > 0; }).join(' ')");
    QCOMPARE(js(shown), QStringLiteral("true true true"));
    QCOMPARE(js(QStringLiteral("getComputedStyle(document.querySelector('p')).color")), QStringLiteral("rgb(255, 0, 0)"));
    QVERIFY(js(QStringLiteral("page.html()")).startsWith(style));
}

void TestPage::linksStayTextAndAttributes()
{
    setBody("<p>before </p>");
    h->select("p");
    const QString title = "<img src=x onerror=\"window.pwned=1\">";
    const QString url = "https://example.com/a\"onmouseover=\"window.pwned=1";
    call("page.setLink", link(title, url, false));
    QCOMPARE(js("document.querySelector('p > a').textContent"), title);
    QCOMPARE(js("document.querySelector('a').getAttribute('href')"), url);
    QCOMPARE(js("document.querySelector('a').getAttributeNames().join()"), QStringLiteral("href,target"));
    QCOMPARE(js("String(document.body.querySelectorAll('img').length)"), QStringLiteral("0"));

    // An empty title shows the address; an empty address is ignored.
    setBody("<p>x</p>");
    h->select("p");
    call("page.setLink", link("", "https://example.com/", false));
    call("page.setLink", link("t", "", false));
    QCOMPARE(h->body(), QStringLiteral("<p>x<a href=\"https://example.com/\" target=\"_blank\">https://example.com/</a></p>"));

    // Changing the clicked link, and no other.
    setBody("<p><a href=\"https://old.example.com/\">old</a> <a href=\"https://other.example.com/\">other</a></p>");
    js("modules.links.onLinkClick({ target: document.querySelector('a'), preventDefault: function () {} }); true");
    QTRY_VERIFY(h->bridge().currentLinkDialog());
    h->bridge().currentLinkDialog()->close();
    const QString newUrl = "https://new.example.com/?q='\"><script>window.pwned=1</script>";
    call("page.setLink", link("<b onclick=x>new</b>", newUrl, true));
    QCOMPARE(js("document.querySelector('a').textContent"), QStringLiteral("<b onclick=x>new</b>"));
    QCOMPARE(js("document.querySelector('a').children.length + ' ' + document.querySelector('a').getAttribute('href')"),
             "0 " + newUrl);
    QCOMPARE(js("document.querySelectorAll('a')[1].outerHTML"), QStringLiteral("<a href=\"https://other.example.com/\">other</a>"));
    QVERIFY(edits() > 0);
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestPage::linkClicks()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    setBody("<p><a href=\"https://old.example.com/x\">old <b>bold</b></a> plain</p>");
    const QString click = "String(modules.links.onLinkClick({ target: document.querySelector('%1'), ctrlKey: %2,"
                          " preventDefault: function () {} }))";
    // A plain click edits the link: the dialog opens with its text and address.
    QCOMPARE(js(click.arg("b", "false")), QStringLiteral("true"));
    QTRY_VERIFY(h->bridge().currentLinkDialog());
    QPointer<LinkDialog> dialog = h->bridge().currentLinkDialog();
    QCOMPARE(dialog->textEdit()->text(), QStringLiteral("old bold"));
    QCOMPARE(dialog->urlEdit()->text(), QStringLiteral("https://old.example.com/x"));
    QVERIFY(dialog->payload().value(QStringLiteral("isModify")).toBool());
    dialog->close();
    QTRY_VERIFY(!dialog);
    // The dialog's answer changes that link.
    call("page.setLink", link("new", "https://new.example.com/", true));
    QCOMPARE(h->body(), QStringLiteral("<p><a href=\"https://new.example.com/\">new</a> plain</p>"));
    // Ctrl+click opens it; a click elsewhere is not a link's.
    QCOMPARE(js(click.arg("a", "true")), QStringLiteral("true"));
    QTRY_COMPARE(recorder.opened, QList<QUrl>{QUrl(QStringLiteral("https://new.example.com/"))});
    QCOMPARE(js(click.arg("p", "false")), QStringLiteral("false"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    // A relative address is edited as written, not as the page resolves it.
    setBody("<p><a href=\"docs/install.md#setup\">install</a></p>");
    QCOMPARE(js(click.arg("a", "false")), QStringLiteral("true"));
    QTRY_VERIFY(h->bridge().currentLinkDialog());
    dialog = h->bridge().currentLinkDialog();
    QCOMPARE(dialog->urlEdit()->text(), QStringLiteral("docs/install.md#setup"));
    dialog->close();
    QTRY_VERIFY(!dialog);
}

void TestPage::payloadsOfEachKind()
{
    setBody("<p>ab</p>");
    h->select("p", 1, 2);
    // At the start of the selection, which stays; the caret moves past each insertion.
    call("page.insert", {{"type", "img"}, {"title", "a b.png"}, {"url", "/tmp/x/a b.png"}});
    call("page.insert", {{"type", "a"}, {"title", "notes.txt"}, {"url", "/tmp/x/notes.txt"}});
    call("page.insert", {{"type", "text"}, {"text", "one\ntwo <i>"}});
    call("page.insert", {{"type", "unknown"}, {"text", "zzz"}});
    QCOMPARE(js("page.html()"), QStringLiteral("<p>a<img src=\"/tmp/x/a b.png\" alt=\"a b.png\" title=\"a b.png\">"
                                             "<a href=\"/tmp/x/notes.txt\">notes.txt</a>one<br>two &lt;i&gt;b</p>"));
    QCOMPARE(edits(), 3);
    // The inserted image shows from its local path.
    QCOMPARE(js("document.images[0].getAttribute('src')"), QStringLiteral("file:///tmp/x/a%20b.png"));

    // Without a caret in the page: at the end.
    setBody("<p>x</p>");
    js("getSelection().removeAllRanges(); true");
    call("page.insert", {{"type", "text"}, {"text", "end"}});
    QCOMPARE(h->body(), QStringLiteral("<p>x</p>end"));
}

void TestPage::pastedMarkupCannotRunScript()
{
    setBody("<p>x</p>");
    h->select("p");
    call("page.insert", {{"type", "html"}, {"html",
        "<p onclick=\"window.pwned=1\">kept <a href=\" javascript:window.pwned=2\">link</a> <strong>b</strong></p>"
        "<script>window.pwned=3</script><img src=\"nope:\" onerror=\"window.pwned=4\">"
        "<iframe srcdoc=\"<script>parent.pwned=5</script>\"></iframe>"}});
    QCOMPARE(js("document.querySelector('a').outerHTML"), QStringLiteral("<a>link</a>"));
    QCOMPARE(js("String(document.body.querySelectorAll('strong,img').length)"), QStringLiteral("2"));
    QCOMPARE(js("String(document.body.querySelectorAll('script,iframe,[onclick],[onerror]').length)"), QStringLiteral("0"));
    QTRY_VERIFY(h->js("document.querySelector('img').complete").toBool()); // the failing image has reported its error
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestPage::droppedImagesAreCopiedOnceAndShown()
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath("red.png")) && picture.save(dir.filePath("also red.jpg")));
    Settings::instance().setImageHandling(Settings::ImageHandling::CopyToAssets);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("red.png")), QUrl::fromLocalFile(dir.filePath("also red.jpg"))});
    setBody("<p>x</p>");
    h->select("p");
    h->surface.setDocumentPath(dir.filePath("doc/notes.v2.md"));
    h->surface.insertMimeData(&data); // as a drop or a paste hands it over
    Settings::instance().setImageHandling(Settings::ImageHandling::KeepAddress);

    const QString assets = dir.filePath("doc/notes.assets");
    QTRY_COMPARE(savedImageSources(), QStringLiteral("notes.assets/red.png|notes.assets/also%20red.jpg"));
    QCOMPARE(QDir(assets).entryList(QDir::Files, QDir::Name), QStringList({"also red.jpg", "red.png"}));
    QTRY_COMPARE_WITH_TIMEOUT(h->js("document.images[1].naturalWidth").toInt(), 4, 10000);
    h->surface.setDocumentPath(QString());
}

void TestPage::highlightsOnlyText_data()
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

void TestPage::highlightsOnlyText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    setBody(html);
    const QString textBefore = js("document.body.textContent");
    js("page.markMatches(" + GuiTest::jsString(text) + "); true");
    QCOMPARE(marks(), expected);
    // The document is not touched: the marks are drawn outside the body.
    QCOMPARE(h->body(), html);
    QCOMPARE(js("String(document.querySelectorAll('.search-hit,.search-select').length >= " + QString::number(expected.isEmpty() ? 0 : expected.count(QLatin1Char(' ')) + 1) + ")"),
             QStringLiteral("true"));
    js("page.clearMatches(); true");
    QCOMPARE(js("String(document.querySelectorAll('.search-hit,.search-select').length)"), QStringLiteral("0"));
}

void TestPage::stepsAndReplaces()
{
    setBody("<p>gamma</p>");
    js("page.markMatches('x'); page.stepMatch(false); page.replaceMatch('y'); page.replaceAllMatches('y'); true");
    QCOMPARE(h->body(), QStringLiteral("<p>gamma</p>"));
    QCOMPARE(edits(), 0);

    setBody("<p>x1 x2</p><p>x3</p>");
    js("page.markMatches('x'); page.stepMatch(true); true");
    QCOMPARE(marks(), QStringLiteral("[x] x x")); // the first step picks the first match
    js("page.stepMatch(true); true");
    QCOMPARE(marks(), QStringLiteral("x x [x]"));
    js("page.stepMatch(false); true");
    QCOMPARE(marks(), QStringLiteral("[x] x x"));

    // Replacing with no current match: the first goes, the second becomes current.
    setBody("<p>a x b x</p><p>x</p>");
    js("page.markMatches('x'); page.replaceMatch('<b>'); true");
    QCOMPARE(marks(), QStringLiteral("[x] x"));
    QCOMPARE(js("document.body.textContent + document.body.querySelectorAll('b').length"), QStringLiteral("a <b> b xx0"));
    js("page.replaceAllMatches('<i>'); true");
    QCOMPARE(h->body(), QStringLiteral("<p>a &lt;b&gt; b &lt;i&gt;</p><p>&lt;i&gt;</p>"));

    // The only match replaced leaves no highlight.
    setBody("<p>one <i>two</i></p>");
    js("page.markMatches('two'); page.replaceMatch('2'); page.replaceMatch('3'); true");
    QCOMPARE(h->body(), QStringLiteral("<p>one <i>2</i></p>"));
    QVERIFY(edits() > 0);
}

void TestPage::hostileDocumentsReachNothing_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("trigger");  // statement run after the content is in
    QTest::addColumn<QString>("evidence"); // when the attempt has been made and blocked: "nav" for a
                                           // refused navigation, else a page expression; "" for inert content

    const char *violated = "violations.length > 0";
    const char *frameLoaded = "!!document.querySelector('iframe') && !!document.querySelector('iframe').contentDocument"
                              " && document.querySelector('iframe').contentDocument.readyState === 'complete'";
    const QString clickT = QStringLiteral("document.getElementById('t').click();");
    // As if the link were followed: the editable body itself never follows links.
    const QString followT = QStringLiteral("document.body.contentEditable = 'false';"
                                           "document.getElementById('t').click();"
                                           "document.body.contentEditable = 'true';");
    const struct { const char *name; const char *html; const QString *trigger; const char *evidence; } cases[] = {
        {"script element", "<p>a</p><script>window.pwned = 1; page.setHtml(undefined);</script>", nullptr, ""},
        {"svg script", "<svg><script>window.pwned = 1; page.setHtml(undefined);</script></svg>", nullptr, ""},
        {"svg onload", "<svg onload=\"window.pwned = 1; page.insert({ type: 'text', text: 'x' })\"><rect width=\"4\" height=\"4\"/></svg>",
         nullptr, ""},
        {"img onerror", "<img src=\"missing.png\" onerror=\"window.pwned = 1; page.link()\">",
         nullptr, violated},
        {"svg animate onbegin", "<svg><rect width=\"4\" height=\"4\"><animate attributeName=\"x\" from=\"0\" to=\"1\" dur=\"1s\""
         " onbegin=\"window.pwned = 1; page.setHtml(undefined)\"/></rect></svg>", nullptr, violated},
        {"details ontoggle", "<details open ontoggle=\"window.pwned = 1; page.setHtml(undefined)\"><summary>s</summary></details>",
         nullptr, violated},
        {"onclick", "<a id=\"t\" href=\"#\" onclick=\"window.pwned = 1; page.link()\">x</a>", &clickT, violated},
        // The page's own link handler takes the click first; nothing may run either way.
        {"javascript link", "<a id=\"t\" href=\"javascript:window.pwned = 1; page.setHtml(undefined)\">x</a>", &followT,
         ""},
        {"iframe srcdoc", "<iframe srcdoc=\"<script>parent.pwned = 1; parent.page.setHtml(undefined)</script>\"></iframe>",
         nullptr, frameLoaded},
        {"iframe javascript", "<iframe src=\"javascript:parent.pwned = 1\"></iframe>", nullptr, violated},
        {"object", "<object data=\"data:text/html,&lt;script&gt;parent.pwned = 1&lt;/script&gt;\"></object>", nullptr, violated},
        {"embed", "<embed src=\"data:text/html,&lt;script&gt;parent.pwned = 1&lt;/script&gt;\">", nullptr, violated},
        {"meta refresh", "<meta http-equiv=\"refresh\" content=\"0;url=https://example.invalid/\">", nullptr, "nav"},
        {"base href", "<base href=\"https://example.invalid/\"><img src=\"x.png\">", nullptr, violated},
        {"form", "<form action=\"https://example.invalid/\"><button id=\"t\">go</button></form>", &clickT, violated},
    };
    for (const auto &c : cases) {
        for (const char *route : {"opened", "pasted"}) {
            QTest::addRow("%s, %s", c.name, route)
                << QString::fromUtf8(c.html) << (c.trigger ? *c.trigger : QString()) << QString::fromLatin1(c.evidence);
        }
    }
}

void TestPage::hostileDocumentsReachNothing()
{
    QFETCH(QString, html);
    QFETCH(QString, trigger);
    QFETCH(QString, evidence);
    const QString route = QString::fromUtf8(QTest::currentDataTag()).section(QStringLiteral(", "), -1);

    PageBridge &bridge = h->bridge();
    auto *editorPage = qobject_cast<EditorPage *>(h->page());
    QVERIFY(editorPage);
    QSignalSpy info(&bridge, &PageBridge::wordCountChanged);
    QSignalSpy modified(&bridge, &PageBridge::documentEdited);
    QSignalSpy message(&h->surface, &PageSurface::statusMessage);
    QSignalSpy ready(&bridge, &PageBridge::pageReady);
    QSignalSpy refused(editorPage, &EditorPage::navigationRefused);

    js(QStringLiteral("window.violations = []; delete window.pwned;"
                      "if (!window.listening) { window.listening = true;"
                      " document.addEventListener('securitypolicyviolation',"
                      "  function (e) { violations.push(e.violatedDirective); }); }"
                      "document.body.innerHTML = '<p id=\"caret\">here</p>';"));
    if (route == QLatin1String("opened")) {
        h->surface.setHtml(html);
    } else {
        // A paste lands as HTML inserted at the caret.
        GuiTest::runJs(h->page(), QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.getElementById('caret'));"
                                              "getSelection().removeAllRanges(); getSelection().addRange(r);"
                                              "document.execCommand('insertHTML', false, %1);")
                                   .arg(QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact))
                                            .mid(1).chopped(1)));
    }
    QTRY_VERIFY(js(QStringLiteral("String(!document.getElementById('caret'))")) == QLatin1String("true")
                || route == QLatin1String("pasted"));
    if (!trigger.isEmpty())
        js(QStringLiteral("if (document.getElementById('t')) %1").arg(trigger));

    const bool pasteDropped = route == QLatin1String("pasted")
        && js(QStringLiteral("String(document.body.innerHTML.indexOf('pwned') < 0"
                             " && document.body.innerHTML.indexOf('example.invalid') < 0)")) == QLatin1String("true");
    if (evidence == QLatin1String("nav") && !pasteDropped)
        QTRY_VERIFY(refused.count() > 0);
    else if (!evidence.isEmpty() && !pasteDropped)
        QTRY_COMPARE(js(QStringLiteral("String(%1)").arg(evidence)), QStringLiteral("true"));

    // Anything the content sent over the bridge arrives before this.
    QVERIFY(h->callsArrived());
    // Besides that call, only word counts of the page's own counter (a worker,
    // so they may come later) may arrive.
    static const QRegularExpression count(QStringLiteral("^\\d+$"));
    for (const QList<QVariant> &arguments : info) {
        const QString text = arguments.first().toString();
        QVERIFY2(text == QLatin1String("arrived") || count.match(text).hasMatch(), qPrintable(text));
    }
    QCOMPARE(js(QStringLiteral("String(typeof window.pwned)")), QStringLiteral("undefined"));
    QCOMPARE(ready.count() + message.count(), 0);
    if (route == QLatin1String("opened"))
        QCOMPARE(modified.count(), 0); // pasting is an edit; opening is not
    // A click on a link opens the program's own dialog to edit it; a dialog opened
    // by the document's script would be one to insert a link.
    if (LinkDialog *dialog = bridge.currentLinkDialog()) {
        QVERIFY(dialog->payload().value(QStringLiteral("isModify")).toBool());
        dialog->close();
        QTRY_VERIFY(!bridge.currentLinkDialog());
    }
    QCOMPARE(h->page()->url(), EditorPage::editingPageUrl());
    QVERIFY(js(QStringLiteral("document.baseURI")).startsWith(QLatin1String("qrc:/resources/template.html")));
    QCOMPARE(js(QStringLiteral("typeof page.html")), QStringLiteral("function"));
}

void TestPage::pageCannotBeNavigatedAway()
{
    auto *editorPage = qobject_cast<EditorPage *>(h->page());
    QSignalSpy refused(editorPage, &EditorPage::navigationRefused);
    h->surface.setHtml(QStringLiteral("<p id=\"keep\">kept</p>"));
    QTRY_COMPARE(js(QStringLiteral("document.getElementById('keep') ? 'yes' : 'no'")), QStringLiteral("yes"));

    // Statements of the program bypass the page's policy; only the guard stops these.
    for (const QString &statement : {QStringLiteral("location.href = 'https://example.invalid/';"),
                                     QStringLiteral("location.href = 'file:///etc/passwd';"),
                                     QStringLiteral("location.reload();")}) {
        const int before = refused.count();
        js(statement);
        QTRY_COMPARE(refused.count(), before + 1);
    }
    QCOMPARE(js(QStringLiteral("document.getElementById('keep') ? 'yes' : 'no'")), QStringLiteral("yes"));
    QCOMPARE(h->page()->url(), EditorPage::editingPageUrl());
}

void TestPage::openUrlOpensOnlyWebAndMailAddresses()
{
    UrlRecorder recorder;
    const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                              QStringLiteral("file"), QStringLiteral("javascript"), QStringLiteral("data"),
                              QStringLiteral("c"), QStringLiteral("smb")};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");

    PageBridge bridge;
    QSignalSpy message(&bridge, &PageBridge::statusMessage);
    QSignalSpy info(&bridge, &PageBridge::wordCountChanged);
    const QStringList allowed{QStringLiteral("https://example.com/a?b=1"), QStringLiteral("http://a.bc/"),
                              QStringLiteral("mailto:someone@example.com")};
    const QStringList refusedUrls{QStringLiteral("file:///etc/passwd"), QStringLiteral("javascript:alert(1)"),
                                  QStringLiteral("data:text/html,x"), QStringLiteral("C:/Windows/notepad.exe"),
                                  QStringLiteral("/usr/bin/xterm"), QStringLiteral("smb://host/share"), QString()};
    for (const QString &url : allowed + refusedUrls)
        bridge.openUrl(url);

    QCOMPARE(recorder.opened, (QList<QUrl>{QUrl(allowed[0]), QUrl(allowed[1]), QUrl(allowed[2])}));
    QCOMPARE(message.count(), refusedUrls.size());
    QVERIFY(message.at(0).first().toString().contains(refusedUrls[0]));
    QVERIFY(message.at(1).first().toString().contains(refusedUrls[1]));
    QCOMPARE(info.count(), 0); // the word-count label is not the place for it

    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void TestPage::wordCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("two English words") << QStringLiteral("hello world") << 2;
    QTest::newRow("Chinese, space, English") << QStringLiteral("中文 word") << 3;
    QTest::newRow("Latin run then Chinese") << QStringLiteral("abc中") << 2;
    QTest::newRow("comma joins") << QStringLiteral("a,b") << 1;
    QTest::newRow("lone comma") << QStringLiteral("a , b") << 3;
    QTest::newRow("letter beyond Latin-1") << QStringLiteral("ab\u0142cd") << 3;
    QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << 2;
    QTest::newRow("placeholder not counted") << QStringLiteral("\u9F98") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("no-break and ideographic spaces separate") << QStringLiteral("a\u00A0b\u3000c\r\n\r\nd\te") << 5;
    QTest::newRow("full-width punctuation") << QStringLiteral("你好，世界。") << 6;
}

void TestPage::wordCounts()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    // Counted by the worker, and by the page's fallback when no worker can be made.
    QSignalSpy counted(&h->bridge(), &PageBridge::wordCountChanged);
    js(QStringLiteral("modules.wordcount.count(%1); true").arg(GuiTest::jsString(text)));
    QTRY_VERIFY(!counted.isEmpty());
    QCOMPARE(counted.last().first().toString(), QString::number(count));
    QCOMPARE(js(QStringLiteral("String(modules.wordcount.countsInWorker())")), QStringLiteral("true"));
}

void TestPage::wordCountReachesTheBridge()
{
    // Last: this takes the page's workers away.
    QSignalSpy counted(&h->bridge(), &PageBridge::wordCountChanged);
    js(QStringLiteral("document.body.innerText = 'one two \u4e09\u56db';"
                      "document.body.dispatchEvent(new InputEvent('input', { bubbles: true })); true"));
    QTRY_VERIFY(!counted.isEmpty());
    QCOMPARE(counted.last().first().toString(), QStringLiteral("4"));
    counted.clear();
    js(QStringLiteral("window.Worker = undefined; modules.wordcount.count('a b c'); true"));
    QTRY_VERIFY(!counted.isEmpty());
    QCOMPARE(counted.last().first().toString(), QStringLiteral("3"));
    js(QStringLiteral("modules.wordcount.countInPageFromNowOn(); modules.wordcount.count('a'); true"));
    QTRY_COMPARE(counted.last().first().toString(), QStringLiteral("1"));
}

QTEST_MAIN(TestPage)
#include "tst_page.moc"
