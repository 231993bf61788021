#include "support/consolepage.h"
#include "support/guitest.h"

#include <QtTest>

// Inline code and the Markdown typed into the page.
class TestPageCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void inlineCode();
    void typedShortcuts_data();
    void typedShortcuts();
    void enterMakesParagraphOutsideLists();
    void keysInCodeBlocksAreLeftAlone();
    void cleanupTestCase();

private:
    // Body html, then the caret at the end of the first text node of the first
    // element matching selector.
    void setBodyWithCaret(const QString &html, const QString &selector);
    QString keyUp(const QString &key, bool inCodeBlock = false);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ConsolePageHarness> editor;
};

void TestPageCommands::initTestCase()
{
    dir = GuiTest::isolate();
    editor = std::make_unique<ConsolePageHarness>();
    QVERIFY(editor->waitReady());
    editor->view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor->view));
    editor->view.setFocus();
}

void TestPageCommands::cleanupTestCase()
{
    QVERIFY2(editor->page->errors.isEmpty(), qPrintable(editor->page->errors.join(QLatin1Char('\n'))));
}

void TestPageCommands::setBodyWithCaret(const QString &html, const QString &selector)
{
    editor->setBody(html);
    editor->js(QStringLiteral("document.body.focus(); var n = document.querySelector(%1);"
                              "while (n.firstChild) n = n.firstChild;"
                              "var r = document.createRange(); r.setStart(n, n.nodeType === 3 ? n.length : 0);"
                              "getSelection().removeAllRanges(); getSelection().addRange(r); true")
                   .arg(ConsolePageHarness::jsString(selector)));
}

QString TestPageCommands::keyUp(const QString &key, bool inCodeBlock)
{
    const QString target = inCodeBlock ? QStringLiteral("document.querySelector('.CodeMirror textarea')")
                                       : QStringLiteral("document.body");
    editor->js(QStringLiteral("onBodyKeyUp({key: %1, keyCode: %2, shiftKey: false, target: %3}); true")
                   .arg(ConsolePageHarness::jsString(key))
                   .arg(key == QLatin1String("Enter") ? 13 : 32)
                   .arg(target));
    return editor->js(QStringLiteral("var c = document.body.cloneNode(true);"
                                     "c.querySelectorAll('.CodeMirror').forEach(function (w) { w.replaceWith('[CM]'); });"
                                     "c.innerHTML")).toString();
}

void TestPageCommands::inlineCode()
{
    editor->setBody(QStringLiteral("<p>hello <i>big</i> world</p>"));
    editor->js(QStringLiteral("var p = document.querySelector('p'); var r = document.createRange();"
                              "r.setStart(p.firstChild, 2); r.setEnd(p.lastChild, 3);"
                              "getSelection().removeAllRanges(); getSelection().addRange(r); inserCode(); true"));
    QCOMPARE(editor->js(QStringLiteral("document.body.innerHTML")).toString(),
             QStringLiteral("<p>he<code>llo <i>big</i> wo</code>rld</p>"));
    // Without a selection nothing happens and nothing fails.
    editor->js(QStringLiteral("getSelection().removeAllRanges(); inserCode(); true"));
    QCOMPARE(editor->js(QStringLiteral("document.querySelectorAll('code').length")).toInt(), 1);
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
}

void TestPageCommands::keysInCodeBlocksAreLeftAlone()
{
    setBodyWithCaret(QStringLiteral("<p>##\u00A0</p><pre><code>x</code></pre>"), QStringLiteral("p"));
    QCOMPARE(keyUp(QStringLiteral(" "), true), QStringLiteral("<p>##&nbsp;</p>[CM]"));
}

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
