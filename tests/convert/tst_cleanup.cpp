// What comes out after the scan: entities decoded once, no fixed rewrites of
// text or code, and inputs that would stall a replace loop or a regex engine.

#include "converthelpers.h"

#include <QtTest>

class TestCleanUp : public QObject
{
    Q_OBJECT

private slots:
    void entities();
    void replacementPairs_data();
    void replacementPairs();
    void largeInputsConvert();
};

void TestCleanUp::entities()
{
    QCOMPARE(toMarkdown("<p>&amp;lt; &lt;b&gt; &quot;q&quot; a&nbsp;b &rarr; &copy; &#65; &amp</p>"),
             QByteArray("\\&lt; \\<b> \"q\" a b \xE2\x86\x92 &copy; A &amp\n"));
}

void TestCleanUp::replacementPairs_data()
{
    // No fixed replacements run over the result: text and code come back as
    // written (a line feed in a code span reads as a space).
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("space comma") << QByteArray("<p>a , b</p>") << QByteArray("a , b\n");
    QTest::newRow("lone period in code") << QByteArray("<code>a\n.\nb</code>") << QByteArray("`a . b`\n");
    QTest::newRow("return symbol") << QByteArray("<code>a\n\xE2\x86\xB5\nb</code>")
                                   << QByteArray("`a \xE2\x86\xB5 b`\n");
    QTest::newRow("lone asterisk in code") << QByteArray("<code>a\n*\nb</code>") << QByteArray("`a * b`\n");
    QTest::newRow("tabs and spaces") << QByteArray("<code>\t\t  x</code>") << QByteArray("`\t\t  x`\n");
    QTest::newRow("code block lines") << QByteArray("<pre><code>a\n.\n. b\n*\n\t\t  x\n</code></pre>")
                                      << QByteArray("```\na\n.\n. b\n*\n\t\t  x\n```\n");
}

void TestCleanUp::replacementPairs()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestCleanUp::largeInputsConvert()
{
    // The worst inputs for a replace loop or a recursive regex engine:
    // runs of fences in code and of comma and entity text.
    auto worstCase = [](int repeat) {
        QByteArray html = "<pre><code>";
        html += QByteArray("a```").repeated(repeat);
        html += QByteArray("\n.\n , \n*\n\t\t  ").repeated(repeat / 4);
        html += "</code></pre><p>";
        html += QByteArray("w , &amp;x ").repeated(repeat / 2);
        html += "</p>";
        return QString::fromUtf8(html);
    };
    const QString result = htmlToMarkdown(worstCase(1000000));
    QVERIFY(result.startsWith(QStringLiteral("````\na```a```")));
    QVERIFY(result.contains(QStringLiteral("w , &x w , &x")));

    // A 50 MB document converts without running out of stack or time.
    QByteArray document;
    document.reserve(52 << 20);
    const QByteArray block = "<h2>Section</h2>\n<p>Some <strong>bold</strong> text, a <a href=\"u\">link</a> "
                             "and more words to wrap the line past its soft column.</p>\n"
                             "<pre><code class=\"language-c\">int x = 1;\n</code></pre>\n"
                             "<ul>\n<li>item</li>\n</ul>\n<blockquote>\n<p>quoted</p>\n</blockquote>\n";
    while (document.size() < (50 << 20))
        document += block;
    const QString markdown = htmlToMarkdown(QString::fromUtf8(document));
    QVERIFY(markdown.startsWith(QStringLiteral("## Section\n\nSome **bold** text, a [link](u) and more")));
    QVERIFY(markdown.endsWith(QStringLiteral("> quoted\n")));
}

QTEST_APPLESS_MAIN(TestCleanUp)
#include "tst_cleanup.moc"
