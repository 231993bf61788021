// The bridge as the main window uses it: load sequence, theme, hostile documents
// and the addresses the program agrees to open.

#include "settings/settings.h"
#include "app/mainwindow.h"
#include "editor/editorpage.h"
#include "editor/linkdialog.h"
#include "support/guitest.h"
#include "editor/qwebengineviewex.h"

#include <QDesktopServices>
#include <QFile>
#include <QWebChannel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestBridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void loadSequenceAsksForThemeThenDocument();
    void themeChangesThePageStyle();
    void hostileDocumentsReachNothing_data();
    void hostileDocumentsReachNothing();
    void pageCannotBeNavigatedAway();
    void openUrlOpensOnlyWebAndMailAddresses();

private:
    QWebEnginePage *page() const { return window->findChild<QWebEngineViewEx *>()->page(); }
    // The window's bridge object, as registered on its channel.
    Content &content() const
    {
        return *qobject_cast<Content *>(
            window->findChild<QWebChannel *>()->registeredObjects().value(QStringLiteral("content")));
    }
    QString js(const QString &script) { return GuiTest::runJs(page(), script).toString(); }

    std::unique_ptr<QTemporaryDir> workDir;
    QTemporaryDir docDir;
    QString docPath;
    QStringList events;
    std::unique_ptr<MainWindow> window;
};

void TestBridge::initTestCase()
{
    workDir = GuiTest::isolate();
    QVERIFY(QDir(docDir.path()).mkpath(QStringLiteral("pics")));
    QImage image(9, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(docDir.filePath(QStringLiteral("pics/a.png"))));
    docPath = docDir.filePath(QStringLiteral("start.md"));
    QFile file(docPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# Start\n\n![pic](pics/a.png)\n");
    file.close();

    window = std::make_unique<MainWindow>();
    Content &content = this->content();
    connect(&content, &Content::loadThemeCssSignal, this, [this] { events << QStringLiteral("theme"); });
    connect(&content, &Content::loadRecentMdSignal, this, [this] { events << QStringLiteral("document"); });
    connect(&content, &Content::setHtmlSignal, this, [this] { events << QStringLiteral("html"); });
    window->setStartupFilePath(docPath);
    window->resize(1000, 700);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("String(typeof contentObj !== 'undefined' && !!contentObj"
                                               " && document.readyState === 'complete')")) == QLatin1String("true"),
                             20000);
}

void TestBridge::cleanupTestCase()
{
    window.reset();
}

void TestBridge::loadSequenceAsksForThemeThenDocument()
{
    // The window answers the document request at once, so "html" is recorded inside "document".
    QTRY_COMPARE(events.count(QStringLiteral("document")), 1);
    QCOMPARE(events.first(), QStringLiteral("theme"));
    QCOMPARE(events.count(QStringLiteral("theme")), 1);
    QCOMPARE(events.count(QStringLiteral("html")), 1);
    QTRY_COMPARE(js(QStringLiteral("document.querySelector('h1') ? document.querySelector('h1').textContent : ''")),
                 QStringLiteral("Start"));
    QVERIFY(js(QStringLiteral("document.getElementById('themecss').href"))
                .endsWith(QLatin1String("/themes/github-markdown-light.css")));
    QVERIFY(js(QStringLiteral("document.getElementById('themecss').href")).startsWith(QLatin1String("file:///")));

    // The start-up document's picture, relative to its folder, shows and saves as written.
    QTRY_COMPARE_WITH_TIMEOUT(GuiTest::runJs(page(), QStringLiteral("document.images[0].naturalWidth")).toInt(), 9, 10000);
    QVERIFY(js(QStringLiteral("getHtml()")).contains(QLatin1String("src=\"pics/a.png\"")));
    QVERIFY(!window->windowTitle().startsWith(QLatin1Char('*')));
}

void TestBridge::themeChangesThePageStyle()
{
    const QString color = QStringLiteral("getComputedStyle(document.body).color");
    const QString rules = QStringLiteral("String(!!document.getElementById('themecss').sheet"
                                         " && document.getElementById('themecss').sheet.cssRules.length > 0)");
    QTRY_COMPARE(js(rules), QStringLiteral("true"));
    const QString light = js(color);
    QVERIFY(light != QLatin1String("rgb(0, 0, 0)")); // the theme's text colour, not the default

    Settings::instance().setCssFile(QStringLiteral("github-markdown-dark.css"));
    content().loadThemeCss();
    QTRY_VERIFY(js(color) != light);
    QVERIFY(js(QStringLiteral("document.getElementById('themecss').href"))
                .endsWith(QLatin1String("/themes/github-markdown-dark.css")));

    Settings::instance().setCssFile(QStringLiteral("github-markdown-light.css"));
    content().loadThemeCss();
    QTRY_COMPARE(js(color), light);
}

void TestBridge::hostileDocumentsReachNothing_data()
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
        {"script element", "<p>a</p><script>window.pwned = 1; contentObj.loadRecentMd();</script>", nullptr, ""},
        {"svg script", "<svg><script>window.pwned = 1; contentObj.loadRecentMd();</script></svg>", nullptr, ""},
        {"svg onload", "<svg onload=\"window.pwned = 1; contentObj.updateModifyStatus(true)\"><rect width=\"4\" height=\"4\"/></svg>",
         nullptr, ""},
        {"img onerror", "<img src=\"missing.png\" onerror=\"window.pwned = 1; contentObj.showInfoInStatusBar('x')\">",
         nullptr, violated},
        {"svg animate onbegin", "<svg><rect width=\"4\" height=\"4\"><animate attributeName=\"x\" from=\"0\" to=\"1\" dur=\"1s\""
         " onbegin=\"window.pwned = 1; contentObj.loadThemeCss()\"/></rect></svg>", nullptr, violated},
        {"details ontoggle", "<details open ontoggle=\"window.pwned = 1; contentObj.loadThemeCss()\"><summary>s</summary></details>",
         nullptr, violated},
        {"onclick", "<a id=\"t\" href=\"#\" onclick=\"window.pwned = 1; contentObj.addLink('x')\">x</a>", &clickT, violated},
        // The page's own link handler takes the click first; nothing may run either way.
        {"javascript link", "<a id=\"t\" href=\"javascript:window.pwned = 1; contentObj.loadRecentMd()\">x</a>", &followT,
         ""},
        {"iframe srcdoc", "<iframe srcdoc=\"<script>parent.pwned = 1; parent.contentObj.loadRecentMd()</script>\"></iframe>",
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

void TestBridge::hostileDocumentsReachNothing()
{
    QFETCH(QString, html);
    QFETCH(QString, trigger);
    QFETCH(QString, evidence);
    const QString route = QString::fromUtf8(QTest::currentDataTag()).section(QStringLiteral(", "), -1);

    Content &content = this->content();
    auto *editorPage = qobject_cast<EditorPage *>(page());
    QVERIFY(editorPage);
    QSignalSpy info(&content, &Content::showInfoInStatusBarSignal);
    QSignalSpy modified(&content, &Content::updateModifyStatusSignal);
    QSignalSpy message(&content, &Content::statusMessageSignal);
    QSignalSpy theme(&content, &Content::loadThemeCssSignal);
    QSignalSpy recent(&content, &Content::loadRecentMdSignal);
    QSignalSpy refused(editorPage, &EditorPage::navigationRefused);

    js(QStringLiteral("window.violations = []; delete window.pwned;"
                      "if (!window.listening) { window.listening = true;"
                      " document.addEventListener('securitypolicyviolation',"
                      "  function (e) { violations.push(e.violatedDirective); }); }"
                      "document.body.innerHTML = '<p id=\"caret\">here</p>';"));
    if (route == QLatin1String("opened")) {
        emit content.documentFolderSignal(QString());
        emit content.setHtmlSignal(html);
    } else {
        // A paste lands as HTML inserted at the caret.
        GuiTest::runJs(page(), QStringLiteral("var r = document.createRange(); r.selectNodeContents(document.getElementById('caret'));"
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
    js(QStringLiteral("contentObj.showInfoInStatusBar('flush');"));
    auto flushed = [&info] {
        for (const QList<QVariant> &arguments : info) {
            if (arguments.first().toString() == QLatin1String("flush"))
                return true;
        }
        return false;
    };
    QTRY_VERIFY(flushed());
    // Besides the flush, only word counts of the page's own counter (a worker,
    // so they may come later) may arrive.
    static const QRegularExpression count(QStringLiteral("^\\d+$"));
    for (const QList<QVariant> &arguments : info) {
        const QString text = arguments.first().toString();
        QVERIFY2(text == QLatin1String("flush") || count.match(text).hasMatch(), qPrintable(text));
    }
    QCOMPARE(js(QStringLiteral("String(typeof window.pwned)")), QStringLiteral("undefined"));
    QCOMPARE(theme.count() + recent.count() + message.count(), 0);
    if (route == QLatin1String("opened"))
        QCOMPARE(modified.count(), 0); // pasting is an edit; opening is not
    // A click on a link opens the program's own dialog to edit it; a dialog opened
    // by the document's script would be one to insert a link.
    if (LinkDialog *dialog = content.currentLinkDialog()) {
        QVERIFY(dialog->payload().value(QStringLiteral("isModify")).toBool());
        dialog->close();
        QTRY_VERIFY(!content.currentLinkDialog());
    }
    QCOMPARE(page()->url(), EditorPage::editingPageUrl());
    QVERIFY(js(QStringLiteral("document.baseURI")).startsWith(QLatin1String("qrc:/resources/template.html")));
    QCOMPARE(js(QStringLiteral("typeof getHtml")), QStringLiteral("function"));
}

void TestBridge::pageCannotBeNavigatedAway()
{
    auto *editorPage = qobject_cast<EditorPage *>(page());
    QSignalSpy refused(editorPage, &EditorPage::navigationRefused);
    emit content().setHtmlSignal(QStringLiteral("<p id=\"keep\">kept</p>"));
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
    QCOMPARE(page()->url(), EditorPage::editingPageUrl());
}

void TestBridge::openUrlOpensOnlyWebAndMailAddresses()
{
    UrlRecorder recorder;
    const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                              QStringLiteral("file"), QStringLiteral("javascript"), QStringLiteral("data"),
                              QStringLiteral("c"), QStringLiteral("smb")};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");

    Content content;
    QSignalSpy message(&content, &Content::statusMessageSignal);
    QSignalSpy info(&content, &Content::showInfoInStatusBarSignal);
    const QStringList allowed{QStringLiteral("https://example.com/a?b=1"), QStringLiteral("http://a.bc/"),
                              QStringLiteral("mailto:someone@example.com")};
    const QStringList refusedUrls{QStringLiteral("file:///etc/passwd"), QStringLiteral("javascript:alert(1)"),
                                  QStringLiteral("data:text/html,x"), QStringLiteral("C:/Windows/notepad.exe"),
                                  QStringLiteral("/usr/bin/xterm"), QStringLiteral("smb://host/share"), QString()};
    for (const QString &url : allowed + refusedUrls)
        content.openUrl(url);

    QCOMPARE(recorder.opened, (QList<QUrl>{QUrl(allowed[0]), QUrl(allowed[1]), QUrl(allowed[2])}));
    QCOMPARE(message.count(), refusedUrls.size());
    QVERIFY(message.at(0).first().toString().contains(refusedUrls[0]));
    QVERIFY(message.at(1).first().toString().contains(refusedUrls[1]));
    QCOMPARE(info.count(), 0); // the word-count label is not the place for it

    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

QTEST_MAIN(TestBridge)
#include "tst_bridge.moc"
