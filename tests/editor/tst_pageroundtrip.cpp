// Round trip of the Markdown corpus through the real editing page: a
// document opened in WYSIWYG mode and saved without edits keeps what it says.

#include "support/guitest.h"
#include "support/mainwindowprobe.h"

#include "../convert/corpushelpers.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QTemporaryDir>

class TestPageRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void roundTrip_data();
    void roundTrip();
    void fenceLanguageWordKept();

private:
    QString pageHtmlOf(const QString &markdown);

    std::unique_ptr<QTemporaryDir> home;
    QTemporaryDir files;
    MainWindow *window = nullptr;
    MainWindowProbe *probe = nullptr;
};

void TestPageRoundTrip::initTestCase()
{
    home = GuiTest::isolate();
    window = new MainWindow;
    probe = new MainWindowProbe(window);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(GuiTest::pageReady(probe->ui()->webView->page()), 20000);
    QVERIFY(!probe->isSourceMode());
}

void TestPageRoundTrip::cleanupTestCase()
{
    probe->isModified() = false;
    delete probe;
    delete window;
}

// Opens the Markdown as a file in WYSIWYG mode and returns what the page
// gives back for saving.
QString TestPageRoundTrip::pageHtmlOf(const QString &markdown)
{
    QWebEnginePage *page = probe->ui()->webView->page();
    GuiTest::runJs(page, QStringLiteral("document.body.innerHTML = '<i id=\"pending\"></i>'; true"));
    static int serial = 0;
    const QString path = files.filePath(QStringLiteral("doc%1.md").arg(++serial));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(markdown.toUtf8());
    file.close();
    probe->isModified() = false;
    probe->openFile(path);
    if (!QTest::qWaitFor([&] { return GuiTest::runJs(page, QStringLiteral("!document.getElementById('pending')")).toBool(); }, 10000))
        return QStringLiteral("<no answer>");
    return GuiTest::runJs(page, QStringLiteral("getHtml()")).toString();
}

void TestPageRoundTrip::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rewritten");
    // HTML the browser itself rewrites before the page holds it: a tag that
    // never ends is dropped, a processing instruction becomes a comment, an
    // unclosed link is closed at its paragraph's end.
    const QStringList rewritten = {QStringLiteral("classes/C2-incomplete-tag.md"),
                                   QStringLiteral("classes/F1-pi.md"), QStringLiteral("classes/G1-unclosed-a.md")};
    for (const QString &name : Corpus::files())
        QTest::newRow(qPrintable(name)) << name << rewritten.contains(name);
}

void TestPageRoundTrip::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(bool, rewritten);
    const QString original = Corpus::read(name);
    const QString pageHtml = pageHtmlOf(original);
    QVERIFY(pageHtml != QLatin1String("<no answer>"));
    const QString saved = htmlToMarkdown(pageHtml);
    if (!rewritten)
        QCOMPARE(Corpus::normalizeHtml(markdownToHtml(saved)), Corpus::normalizeHtml(markdownToHtml(original)));
    // Saving again from the page changes nothing, whatever the first save did.
    const QString again = htmlToMarkdown(pageHtmlOf(saved));
    QCOMPARE(Corpus::normalizeHtml(markdownToHtml(again)), Corpus::normalizeHtml(markdownToHtml(saved)));
    QCOMPARE(again, saved);
}

void TestPageRoundTrip::fenceLanguageWordKept()
{
    // A word that is not a display name of the language table comes back as
    // written; once the user picks a language, the display name is written.
    const QString pageHtml = pageHtmlOf(QStringLiteral("```rust\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
    QCOMPARE(htmlToMarkdown(pageHtml),
             QStringLiteral("```rust\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
    QWebEnginePage *page = probe->ui()->webView->page();
    GuiTest::runJs(page, QStringLiteral("document.querySelector('.CodeMirror').CodeMirror.setOption('mode', 'text/x-c++src'); true"));
    QCOMPARE(htmlToMarkdown(GuiTest::runJs(page, QStringLiteral("getHtml()")).toString()),
             QStringLiteral("```C++\nfn main() {}\n```\n\n```Python\nx = 1\n```\n"));
}

QTEST_MAIN(TestPageRoundTrip)
#include "tst_pageroundtrip.moc"
