// The converter: its input/output cases, kept as data in cases.txt, and
// what needs more than a pair: options, wrapping, sizes and edge inputs.

#include "converthelpers.h"

#include <QFile>
#include <QtTest>

class TestConverter : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
    void pastedPages();
    void wrapping_data();
    void wrapping();
    void wrappingOptions();
    void convertsOnce();
    void surrogatePairsSurvive();
    void longLinesStayLinear();
    void longOrderedListKeepsCounting();
    void titleOption();
    void tableEdgesDoNotCrash();
    void largeInputsConvert();
};

void TestConverter::cases_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QFile file(QStringLiteral(VELTRANE_TEST_DATA "/convert/cases.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray tab = QStringLiteral("\u2192").toUtf8();
    QByteArray name;
    QList<QByteArray> input;
    QByteArray expected;
    enum { Outside, Input, Expected } part = Outside;
    int count = 0;
    for (QByteArray line : file.readAll().split('\n')) {
        line.replace(tab, "\t");
        if (part == Outside && line.startsWith("### ")) {
            name = line.mid(4);
            input.clear();
            expected.clear();
            part = Input;
        } else if (part == Input && line == ">>>") {
            part = Expected;
        } else if (part == Input) {
            input << line;
        } else if (part == Expected && line == "<<<") {
            QTest::newRow(name.constData()) << input.join('\n') << expected;
            ++count;
            part = Outside;
        } else if (part == Expected) {
            expected += line + '\n';
        }
    }
    QVERIFY(part == Outside);
    QVERIFY(count > 50);
}

void TestConverter::cases()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestConverter::pastedPages()
{
    // A page pasted from elsewhere keeps only what Markdown can say: hidden
    // elements lose their opening tag, layout and unknown elements give
    // their text, and attributes are found by whole names.
    QCOMPARE(pastedHtmlToMarkdown(QStringLiteral(
                 "<head><style>s</style></head><h1 style=\"display:none\">T</h1><div class=\"c\">a</div>"
                 "<section><font color=red>txt</font></section><img data-src=\"a.png\" src=\"b.png\">"
                 "<link rel=x>lost<b>kept</b>")),
             QStringLiteral("T\n\na\n\ntxt![](b.png)**kept**\n"));
}

void TestConverter::wrapping_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    const QByteArray words30 = QByteArray("abcd ").repeated(30);
    const QByteArray line17 = QByteArray("abcd ").repeated(17).chopped(1);
    const QByteArray line13 = QByteArray("abcd ").repeated(13).chopped(1);
    // The first space past byte 80 of the line ends it.
    QTest::newRow("soft wrap") << "<p>" + words30 + "</p>" << line17 + "\n" + line13 + "\n";
    // Wrapped lines in a list item keep the item's indentation.
    QTest::newRow("wrap in lists") << "<ul><li>" + words30 + "</li></ul>"
                                   << "- " + QByteArray("abcd ").repeated(16).chopped(1) + "\n  "
                                          + QByteArray("abcd ").repeated(14).chopped(1) + "\n";
    QTest::newRow("no wrap in tables")
        << "<table><thead><tr><th>" + words30 + "</th></tr></thead></table>"
        << "| " + words30.chopped(1) + " |\n|" + QByteArray(words30.size() + 1, '-') + "|\n";
    const QByteArray x120(120, 'x');
    // Past byte 100 the line breaks at its last space.
    QTest::newRow("hard wrap in p") << "<p>ab " + x120 + "</p>" << "ab\n" + x120 + "\n";
}

void TestConverter::wrapping()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestConverter::wrappingOptions()
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

void TestConverter::convertsOnce()
{
    html2md::Converter converter(std::string("<p>a <b>b</b></p>"));
    const std::string first = converter.convert();
    QCOMPARE(QByteArray::fromStdString(first), QByteArray("a **b**\n"));
    QCOMPARE(QByteArray::fromStdString(converter.convert()), QByteArray::fromStdString(first));

    html2md::Converter empty{std::string()};
    QVERIFY(empty.convert().empty());

    // Code in a quote keeps its line breaks, each followed by the prefix.
    QCOMPARE(convertBytes("<blockquote><pre><code>a\nb\n</code></pre></blockquote>"),
             QByteArray("> ```\n> a\n> b\n> ```\n"));
}

void TestConverter::surrogatePairsSurvive()
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

void TestConverter::longLinesStayLinear()
{
    // Each byte past the hard column looks for the line's last space; a long
    // run without one, and many quotes after a run of spaces inside a tag,
    // must not rescan what was already scanned. Quadratic work here would
    // take hours; linear work takes milliseconds.
    const QByteArray run(4 << 20, 'x');
    QCOMPARE(toMarkdown(("<p>a " + run + "</p>").constData()), "a\n" + run + "\n");
    QCOMPARE(toMarkdown(("<b>" + run + "</b>").constData()), "**" + run + "**\n");

    const QByteArray tag = "<a" + QByteArray(1 << 20, ' ') + QByteArray(1 << 20, '"') + ">t</a>";
    QVERIFY(toMarkdown(tag.constData()).endsWith(">t</a>\n"));

    // Elements that never close are not each searched to the end, and links
    // that never close do not each move their paragraph's text.
    const QByteArray unclosed = "<p>" + QByteArray("<div>x").repeated(200000) + "</p><p>"
        + QByteArray("<a href=u>x").repeated(100000) + "</p>" + QByteArray("<style>").repeated(100000);
    QVERIFY(toMarkdown(unclosed.constData()).size() > 400000);
}

void TestConverter::longOrderedListKeepsCounting()
{
    QByteArray html = "<ol>";
    for (int i = 0; i < 300; ++i)
        html += "<li>x</li>";
    html += "</ol>";
    const QList<QByteArray> lines = toMarkdown(html.constData()).split('\n');
    QCOMPARE(lines.at(0), QByteArray("1. x"));
    QCOMPARE(lines.at(255), QByteArray("256. x"));
    QCOMPARE(lines.at(299), QByteArray("300. x"));
}

void TestConverter::titleOption()
{
    html2md::ConverterOptions options;
    options.keepTitle = false;
    QCOMPARE(convertBytes("<title>Doc</title><p>x</p>", &options), QByteArray("x\n"));
    options.bulletMarker = '*';
    options.orderedMarker = ')';
    QCOMPARE(convertBytes("<ul><li>a</li></ul><ol><li>b</li></ol>", &options), QByteArray("* a\n\n1) b\n"));
}

void TestConverter::tableEdgesDoNotCrash()
{
    // Closing the quote takes back its prefix, which ends before the table
    // started; closing the table must cope with that start.
    QCOMPARE(toMarkdown("<blockquote><table><thead></blockquote></table>after"), QByteArray(">\n\nafter\n"));
    // Found by fuzzing: a title closing after a table had rewritten the
    // line the title was on.
    const QByteArray fuzzed = QByteArray::fromHex(
        "3c3e480068656164743e5469f46c65ffffff3c7461626c653e0a3c74686561643e0a3c74723e0a3c746820616c6f6e67"
        "2074657874207c2063207ee9e9e9e9e90a7c20207c2064207c3c2f703e0a3c68323e3c2220616c743d22696d6722293e"
        "3c2f68323e0a743d2269ffffffffff266e6273703b22226c742d3b202d266861723a6e6f6effffff222222226d672229"
        "3e3c2f68323e0a3c702222222222222222222222222222222222223e3c643d62723e2222222222222222222222222222"
        "2222222222222222ffffffffffffffffff3c2f7469746c653effffffffffff00000100000a0004303c74627265613c74"
        "723e6b61626c653e0a3c746860603c2f703e0a7460606c");
    QVERIFY(htmlToMarkdown(QString::fromUtf8(fuzzed)).endsWith(QLatin1Char('\n')));

    html2md::ConverterOptions options;
    options.alignTables = false;
    QCOMPARE(convertBytes("<table><thead><tr><th>a</th><td>b</td></tr></thead></table>", &options),
             QByteArray("| a | b |\n| - |\n"));

    // Each closing tag formats at most the rows written since the last one,
    // so many closing tags after a large table stay cheap.
    QByteArray html = "<table><thead><tr><th>h</th></tr></thead>";
    for (int i = 0; i < 20000; ++i)
        html += "<tr><td>cell</td></tr>";
    html += QByteArray("</table>").repeated(200000);
    const QByteArray markdown = toMarkdown(html.constData());
    QVERIFY(markdown.startsWith("| h    |\n|------|\n| cell |\n"));
    QCOMPARE(markdown.count('\n'), 20002); // the table rows
}

void TestConverter::largeInputsConvert()
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

QTEST_APPLESS_MAIN(TestConverter)
#include "tst_converter.moc"
