// The converter's scanner: tag reading, text reading, ignored and hidden
// content, attributes and line wrapping.

#include "converthelpers.h"

#include <QtTest>

class TestScanner : public QObject
{
    Q_OBJECT

private slots:
    void tags_data();
    void tags();
    void text_data();
    void text();
    void attributes_data();
    void attributes();
    void wrapping_data();
    void wrapping();
    void wrappingOptions();
    void convertsOnce();
    void surrogatePairsSurvive();
    void longLinesStayLinear();
};

void TestScanner::tags_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("self-closing runs both rules") << QByteArray("x<strong/>y") << QByteArray("x****y\n");
    QTest::newRow("opening only") << QByteArray("x<strong>y") << QByteArray("x**y\n");
    // Inside a quote, only the closing rule of p writes a line feed.
    QTest::newRow("closing p runs only its closing rule")
        << QByteArray("<blockquote>a</p>b") << QByteArray("> a\n> b\n");
    QTest::newRow("opening p inside a quote")
        << QByteArray("<blockquote>a<p>b") << QByteArray("> ab\n");
    QTest::newRow("upper case and spaces") << QByteArray("< H1 >Title</ H1 >x") << QByteArray("# Title\nx\n");
    QTest::newRow("hidden opening tag dropped")
        << QByteArray("<h1 style=\"display:none\">T</h1>x") << QByteArray("T\nx\n");
    QTest::newRow("visibility hidden")
        << QByteArray("<h1 style=\"visibility:hidden\">T</h1>x") << QByteArray("T\nx\n");
    QTest::newRow("opacity zero") << QByteArray("<h1 style=\"opacity:0\">T</h1>x") << QByteArray("T\nx\n");
    QTest::newRow("space after colon is not hidden")
        << QByteArray("<h1 style=\"display: none\">Title</h1>x") << QByteArray("# Title\nx\n");
    QTest::newRow("tab after name hides the rule") << QByteArray("<h1\tid=x>T</h1>") << QByteArray("T\n");
    QTest::newRow("unknown tags give their text")
        << QByteArray("<section><font color=red>txt</font></section>") << QByteArray("txt\n");
    QTest::newRow("comment ends at first >") << QByteArray("<!-- a > b -->c") << QByteArray("b -->c\n");
    QTest::newRow("unterminated tag") << QByteArray("abc<h1") << QByteArray("abc\n");
    QTest::newRow("script text dropped until next tag")
        << QByteArray("<script>a<b>c</b>d</script>e<i>f</i>") << QByteArray("**c**d*f*\n");
    QTest::newRow("style, nav, template, noscript")
        << QByteArray("<style>s</style><nav>n</nav><template>t</template><noscript>o</noscript>after")
        << QByteArray("");
    QTest::newRow("text after link element lost")
        << QByteArray("<link rel=x>lost<b>kept</b>") << QByteArray("**kept**\n");
}

void TestScanner::tags()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestScanner::text_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("escapes") << QByteArray("<p>a*b\\c`d_e#f[g]</p>")
                             << QByteArray("a\\*b\\\\c\\`d_e#f[g]\n");
    QTest::newRow("no escapes in code") << QByteArray("<p><code>a*b\\c</code></p>")
                                        << QByteArray("`a*b\\c`\n");
    QTest::newRow("line feed dropped") << QByteArray("<p>one\ntwo</p>") << QByteArray("onetwo\n");
    QTest::newRow("line feed in quote") << QByteArray("<blockquote>one\ntwo</blockquote>")
                                        << QByteArray("> one\n> two\n");
    QTest::newRow("line feed in nested quote")
        << QByteArray("<blockquote><blockquote>a\nb") << QByteArray(">\n> > a\n> > b\n");
    QTest::newRow("utf-8 passes through") << QByteArray("<p>h\xC3\xA9llo \xE4\xB8\xAD</p>")
                                          << QByteArray("h\xC3\xA9llo \xE4\xB8\xAD\n");
    QTest::newRow("empty input") << QByteArray("") << QByteArray("");
}

void TestScanner::text()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestScanner::attributes_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("value keeps its case") << QByteArray("<A HREF=\"Up/X\">t</A>") << QByteArray("[t](Up/X)\n");
    QTest::newRow("single quotes") << QByteArray("<a href='u'>t</a>") << QByteArray("[t](u)\n");
    QTest::newRow("unquoted value is empty") << QByteArray("<a href=u>t</a>") << QByteArray("[t]()\n");
    QTest::newRow("first match wins: data-src")
        << QByteArray("<img data-src=\"a.png\" src=\"b.png\">") << QByteArray("![](a.png)\n");
    QTest::newRow("single quote inside double quotes")
        << QByteArray("<a href=\"it's\">t</a>") << QByteArray("[t](it's)\n");
    QTest::newRow("missing closing quote") << QByteArray("<img alt=\"x src=y>") << QByteArray("![]()\n");
}

void TestScanner::attributes()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestScanner::wrapping_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    const QByteArray words30 = QByteArray("abcd ").repeated(30);
    const QByteArray line17 = QByteArray("abcd ").repeated(17).chopped(1);
    const QByteArray line13 = QByteArray("abcd ").repeated(13).chopped(1);
    // The first space past byte 80 of the line ends it.
    QTest::newRow("soft wrap") << "<p>" + words30 + "</p>" << line17 + "\n" + line13 + "\n";
    QTest::newRow("no wrap in lists") << "<ul><li>" + words30 + "</li></ul>"
                                      << "- " + words30.chopped(1) + "\n";
    QTest::newRow("no wrap in tables") << "<table><tr><td>" + words30 + "</td></tr></table>"
                                       << "| " + words30.chopped(1) + " |\n";
    const QByteArray x120(120, 'x');
    // Past byte 100 the line breaks at its last space, except in paragraphs.
    QTest::newRow("hard wrap") << "<div>ab " + x120 + "</div>" << "ab\n" + x120 + "\n";
    QTest::newRow("no hard wrap in p") << "<p>ab " + x120 + "</p>" << "ab " + x120 + "\n";
}

void TestScanner::wrapping()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestScanner::wrappingOptions()
{
    const QByteArray html = "<p>" + QByteArray("abcd ").repeated(30) + "</p>";
    html2md::ConverterOptions options;
    options.wrapLines = false;
    QCOMPARE(convertBytes(html, &options), QByteArray("abcd ").repeated(30).chopped(1) + "\n");

    options.wrapLines = true;
    options.softWrapColumn = 10;
    QCOMPARE(convertBytes("<p>abcd abcd abcd abcd</p>", &options), QByteArray("abcd abcd abcd\nabcd\n"));

    // A negative column compares as a huge unsigned one: no wrapping at all.
    options.softWrapColumn = -1;
    QCOMPARE(convertBytes(html, &options), QByteArray("abcd ").repeated(30).chopped(1) + "\n");
}

void TestScanner::convertsOnce()
{
    html2md::Converter converter(std::string("<p>a <b>b</b></p>"));
    const std::string first = converter.convert();
    QCOMPARE(QByteArray::fromStdString(first), QByteArray("a **b**\n"));
    QCOMPARE(QByteArray::fromStdString(converter.convert()), QByteArray::fromStdString(first));

    html2md::Converter empty{std::string()};
    QVERIFY(empty.convert().empty());

    // Code in a quote keeps its line breaks, each followed by the prefix,
    // and its fences stay in the quote.
    QCOMPARE(toMarkdown("<blockquote><pre><code>a\nb\n</code></pre></blockquote>"),
             QByteArray(">\n>\n> ```\n> a\n> b\n> ```\n"));
}

void TestScanner::surrogatePairsSurvive()
{
    // Characters outside the BMP, wherever they fall in a long text, come
    // back whole; a lone surrogate is encoded as Qt encodes it.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    for (int before : {65535, 65534, 131071}) {
        const QString html = QString(before, QLatin1Char('a')) + emoji + QStringLiteral("b");
        QCOMPARE(htmlToMarkdown(html), html + QLatin1Char('\n'));
    }
    const QString lone = QString(65535, QLatin1Char('a')) + QChar(0xD83D) + QStringLiteral("x");
    QCOMPARE(htmlToMarkdown(lone).toUtf8(), lone.toUtf8() + '\n');
}

void TestScanner::longLinesStayLinear()
{
    // Each byte past the hard column looks for the line's last space; a long
    // run without one, and many quotes after a run of spaces inside a tag,
    // must not rescan what was already scanned. Quadratic work here would
    // take hours; linear work takes milliseconds.
    const QByteArray run(4 << 20, 'x');
    QCOMPARE(toMarkdown(("<div>a " + run + "</div>").constData()), "a\n" + run + "\n");
    QCOMPARE(toMarkdown(("<b>" + run + "</b>").constData()), "**" + run + "**\n");

    const QByteArray tag = "<a" + QByteArray(1 << 20, ' ') + QByteArray(1 << 20, '"') + ">t</a>";
    QCOMPARE(toMarkdown(tag.constData()), QByteArray("[t]()\n"));
}

QTEST_APPLESS_MAIN(TestScanner)
#include "tst_scanner.moc"
