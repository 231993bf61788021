// The page's link, image and paste reactions (links.js), on a bare page.

#include "support/guitest.h"
#include "support/insertpage.h"

#include "editor/mimepayload.h"

#include <QImage>
#include <QJsonDocument>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>

#include "app/appsettings.h"

using namespace InsertPage;

class TestLinks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete view; }
    void newLinkKeepsHostileTextAndAddress();
    void newLinkWithoutTitleShowsAddress();
    void clickEditsAndCtrlClickOpens();
    void modifiedLinkKeepsHostileText();
    void payloadsOfEachKind();
    void pastedMarkupCannotRunScript();
    void insertionWithoutCaretGoesToTheEnd();
    void imageAtCaret();
    void droppedImagesAreCopiedOnceAndShown();

private:
    QString js(const QString &script) { return run(view, script).toString(); }
    void send(const QString &function, const QJsonObject &arg)
    {
        run(view, function + QLatin1Char('(')
                + QString::fromUtf8(QJsonDocument(arg).toJson(QJsonDocument::Compact)) + QStringLiteral("); true"));
    }

    std::unique_ptr<QTemporaryDir> workDir;
    QWebEngineView *view = nullptr;
};

void TestLinks::initTestCase()
{
    workDir = GuiTest::isolate();
    view = new QWebEngineView;
    view->resize(600, 400);
    view->show();
    QVERIFY(load(view));
}

void TestLinks::newLinkKeepsHostileTextAndAddress()
{
    setBody(view, QStringLiteral("<p>before </p>"), QStringLiteral("p"));
    const QString title = QStringLiteral("<img src=x onerror=\"window.pwned=1\">");
    const QString url = QStringLiteral("https://example.com/a\"onmouseover=\"window.pwned=1");
    send(QStringLiteral("onAddLink"), {{"title", title}, {"url", url}, {"isModify", false}, {"isATag", true}});

    QCOMPARE(js("document.querySelectorAll('a').length"), QStringLiteral("1"));
    QCOMPARE(js("document.querySelector('a').textContent"), title);
    QCOMPARE(js("document.querySelector('a').getAttribute('href')"), url);
    QCOMPARE(js("document.querySelector('a').getAttributeNames().join(',')"), QStringLiteral("href,target"));
    QCOMPARE(js("document.querySelector('a').target"), QStringLiteral("_blank"));
    QCOMPARE(js("document.querySelectorAll('img').length"), QStringLiteral("0"));
    QCOMPARE(js("document.querySelector('a').parentNode.tagName"), QStringLiteral("P"));
    QCOMPARE(js("String(edits > 0)"), QStringLiteral("true"));
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestLinks::newLinkWithoutTitleShowsAddress()
{
    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("p"));
    send(QStringLiteral("onAddLink"), {{"title", ""}, {"url", "https://example.com/"}, {"isModify", false}, {"isATag", true}});
    QCOMPARE(js("document.querySelector('a').textContent"), QStringLiteral("https://example.com/"));

    // Nothing to link to: ignored.
    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("p"));
    send(QStringLiteral("onAddLink"), {{"title", "t"}, {"url", ""}, {"isModify", false}, {"isATag", true}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x</p>"));
}

void TestLinks::clickEditsAndCtrlClickOpens()
{
    setBody(view, QStringLiteral("<p><a href=\"https://old.example.com/x\">old <b>bold</b></a> plain</p>"));
    const QString click = QStringLiteral(
        "(function (sel, ctrl) { var prevented = false;"
        "  var handled = onLinkClick({ target: document.querySelector(sel), ctrlKey: ctrl,"
        "                              preventDefault: function () { prevented = true; } });"
        "  return JSON.stringify([handled, prevented, calls]); })(%1, %2)");

    QCOMPARE(js(click.arg(jsString("b"), "false")),
             QStringLiteral("[true,true,[[\"modifyLink\",\"old bold\",\"https://old.example.com/x\"]]]"));
    QCOMPARE(js("String(currentTarget === document.querySelector('a'))"), QStringLiteral("true"));

    run(view, QStringLiteral("calls = []"));
    QCOMPARE(js(click.arg(jsString("a"), "true")),
             QStringLiteral("[true,true,[[\"openUrl\",\"https://old.example.com/x\"]]]"));

    run(view, QStringLiteral("calls = []"));
    QCOMPARE(js(click.arg(jsString("p"), "false")), QStringLiteral("[false,false,[]]"));
}

void TestLinks::modifiedLinkKeepsHostileText()
{
    setBody(view, QStringLiteral("<p><a href=\"https://old.example.com/\">old</a> and <a href=\"https://other.example.com/\">other</a></p>"));
    run(view, QStringLiteral("onLinkClick({ target: document.querySelector('a'), ctrlKey: false, preventDefault: function () {} })"));
    const QString title = QStringLiteral("<b onclick=x>new</b>");
    const QString url = QStringLiteral("https://new.example.com/?q='\"><script>window.pwned=1</script>");
    send(QStringLiteral("onAddLink"), {{"title", title}, {"url", url}, {"isModify", true}, {"isATag", true}});

    QCOMPARE(js("document.querySelectorAll('a').length"), QStringLiteral("2"));
    QCOMPARE(js("document.querySelector('a').textContent"), title);
    QCOMPARE(js("document.querySelector('a').children.length"), QStringLiteral("0"));
    QCOMPARE(js("document.querySelector('a').getAttribute('href')"), url);
    QCOMPARE(js("document.querySelectorAll('a')[1].outerHTML"),
             QStringLiteral("<a href=\"https://other.example.com/\">other</a>"));
    QCOMPARE(js("String(edits > 0)"), QStringLiteral("true"));
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestLinks::payloadsOfEachKind()
{
    setBody(view, QStringLiteral("<p>ab</p>"));
    run(view, QStringLiteral("(function () { var r = document.createRange(); var t = document.querySelector('p').firstChild;"
                             " r.setStart(t, 1); r.setEnd(t, 2); var s = getSelection(); s.removeAllRanges(); s.addRange(r); })()"));

    // At the start of the selection, which stays; the caret ends after the new node.
    send(QStringLiteral("insertPayload"), {{"type", "img"}, {"title", "a b.png"}, {"url", "/tmp/x/a b.png"}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>a<img src=\"/tmp/x/a b.png\" alt=\"a b.png\" title=\"a b.png\">b</p>"));
    QCOMPARE(js("resolved"), QStringLiteral("1"));

    send(QStringLiteral("insertPayload"), {{"type", "a"}, {"title", "notes.txt"}, {"url", "/tmp/x/notes.txt"}});
    send(QStringLiteral("insertPayload"), {{"type", "text"}, {"text", "one\ntwo <i>"}});
    send(QStringLiteral("insertPayload"), {{"type", "unknown"}, {"text", "zzz"}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>a<img src=\"/tmp/x/a b.png\" alt=\"a b.png\" title=\"a b.png\">"
                                            "<a href=\"/tmp/x/notes.txt\">notes.txt</a>one<br>two &lt;i&gt;b</p>"));
    QCOMPARE(js("edits"), QStringLiteral("3"));

    send(QStringLiteral("insertPayload"), {{"type", "html"}, {"html", "<p><strong>x</strong></p>\n"}});
    QCOMPARE(js("document.querySelectorAll('strong').length"), QStringLiteral("1"));
}

void TestLinks::pastedMarkupCannotRunScript()
{
    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("p"));
    send(QStringLiteral("insertPayload"), {{"type", "html"}, {"html",
        "<p onclick=\"window.pwned=1\">kept <a href=\" javascript:window.pwned=2\">link</a></p>"
        "<script>window.pwned=3</script><img src=\"nope:\" onerror=\"window.pwned=4\">"
        "<iframe srcdoc=\"<script>parent.pwned=5</script>\"></iframe>"}});
    QCOMPARE(js("document.querySelector('a').textContent"), QStringLiteral("link"));
    QCOMPARE(js("String(document.querySelector('a').hasAttribute('href'))"), QStringLiteral("false"));
    QCOMPARE(js("document.body.querySelectorAll('script,iframe,[onclick],[onerror]').length"), QStringLiteral("0"));
    QCOMPARE(js("document.querySelectorAll('img').length"), QStringLiteral("1"));
    // Give a failing image time to report its error.
    QTest::qWait(300);
    QCOMPARE(js("String(window.pwned)"), QStringLiteral("undefined"));
}

void TestLinks::insertionWithoutCaretGoesToTheEnd()
{
    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("none"));
    send(QStringLiteral("insertPayload"), {{"type", "text"}, {"text", "end"}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x</p>end"));

    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("none"));
    send(QStringLiteral("onAddLink"), {{"title", "t"}, {"url", "https://example.com/"}, {"isModify", false}, {"isATag", true}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x</p><a href=\"https://example.com/\" target=\"_blank\">t</a>"));

    // A modification without a clicked link changes nothing.
    run(view, QStringLiteral("currentTarget = null"));
    send(QStringLiteral("onAddLink"), {{"title", "u"}, {"url", "https://example.org/"}, {"isModify", true}, {"isATag", true}});
    QCOMPARE(bodyHtml(view), QStringLiteral("<p>x</p><a href=\"https://example.com/\" target=\"_blank\">t</a>"));
}

void TestLinks::imageAtCaret()
{
    view->setFocus();
    setBody(view, QStringLiteral("<p>ab</p>"), QStringLiteral("p"));
    run(view, QStringLiteral("document.body.focus(); insertImage('/tmp/pics/one \"two\".png'); true"));
    QTRY_COMPARE(js("document.images.length"), QStringLiteral("1"));
    QCOMPARE(js("document.images[0].getAttribute('src')"), QStringLiteral("/tmp/pics/one \"two\".png"));
    QCOMPARE(js("document.images[0].parentNode.tagName"), QStringLiteral("P"));
    QCOMPARE(js("resolved"), QStringLiteral("1"));
}

void TestLinks::droppedImagesAreCopiedOnceAndShown()
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath("red.png")));
    QVERIFY(picture.save(dir.filePath("also red.jpg")));
    QDir(dir.path()).mkpath("doc");
    const QString document = dir.filePath("doc/notes.v2.md");
    appSettings()->setValue("saveImageType", 1);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("red.png")), QUrl::fromLocalFile(dir.filePath("also red.jpg"))});
    const QList<QJsonObject> payloads = insertPayloads(&data, document);
    appSettings()->remove("saveImageType");
    QCOMPARE(payloads.size(), 2);

    setBody(view, QStringLiteral("<p>x</p>"), QStringLiteral("p"));
    for (const QJsonObject &payload : payloads)
        send(QStringLiteral("insertPayload"), payload);

    const QString assets = dir.filePath("doc/notes.assets");
    QCOMPARE(QDir(assets).entryList(QDir::Files, QDir::Name), QStringList({"also red.jpg", "red.png"}));
    QCOMPARE(js("document.images.length"), QStringLiteral("2"));
    QCOMPARE(js("document.images[0].getAttribute('src')"), assets + "/red.png");
    QCOMPARE(js("document.images[1].getAttribute('src')"), assets + "/also red.jpg");
    QCOMPARE(js("document.images[1].alt"), QStringLiteral("also red.jpg"));
}

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
