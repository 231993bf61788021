// What each HTML element becomes in Markdown.

#include "converthelpers.h"

#include <QtTest>

class TestTagRules : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void rules_data();
    void rules();
    void longOrderedListKeepsCounting();
    void titleOption();
    void tables_data();
    void tables();
    void tableEdgesDoNotCrash();
};

void TestTagRules::workedExample()
{
    QCOMPARE(htmlToMarkdown(QStringLiteral("<h1>Title</h1>\n<p>Hello <strong>world</strong></p>")),
             QStringLiteral("# Title\n\nHello **world**\n"));
}

void TestTagRules::rules_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("emphasis")
        << QByteArray("<p><b>a</b> <strong>b</strong> <em>c</em> <i>d</i> <dfn>e</dfn> <cite>f</cite> "
                      "<del>g</del> <s>h</s> <strike>i</strike> <u>j</u></p>")
        << QByteArray("**a** **b** *c* *d* *e* *f* ~~g~~ ~~h~~ ~~i~~ <u>j</u>\n");
    QTest::newRow("empty bold") << QByteArray("<p>a<b></b>b</p>") << QByteArray("a****b\n");
    QTest::newRow("headers") << QByteArray("<h2>Ab</h2><h6>Bc</h6>") << QByteArray("## Ab\n\n###### Bc\n");
    QTest::newRow("header ending Step 1") << QByteArray("<h3>Step 1</h3><p>x</p>")
                                          << QByteArray("### Step 1\n\nx\n");
    // Trailing hashes would be read as a closing sequence.
    QTest::newRow("header ending in a hash") << QByteArray("<h2>C #</h2>") << QByteArray("## C \\#\n");
    QTest::newRow("div") << QByteArray("a<div>b</div>") << QByteArray("a\n\nb\n");
    QTest::newRow("rule") << QByteArray("a<hr>b") << QByteArray("a\n\n---\n\nb\n");
    QTest::newRow("options") << QByteArray("<select><option>x</option><option>y</option></select>")
                             << QByteArray("x  \ny\n");
    QTest::newRow("line break") << QByteArray("<p>a<br>b</p>") << QByteArray("a  \nb\n");
    QTest::newRow("line break at start") << QByteArray("<br>a") << QByteArray("a\n");
    QTest::newRow("line break in list") << QByteArray("<ul><li>a<br>b</li></ul>") << QByteArray("- a  \n  b\n");
    QTest::newRow("line break at end of paragraph") << QByteArray("<p>a<br></p><p>b</p>") << QByteArray("a\n\nb\n");

    QTest::newRow("link with title") << QByteArray("<p><a href=\"u\" title=\"T\">text</a></p>")
                                     << QByteArray("[text](u \"T\")\n");
    QTest::newRow("empty link writes nothing") << QByteArray("<p>a<a href=\"u\"></a>b</p>")
                                               << QByteArray("ab\n");
    QTest::newRow("link text ending in [") << QByteArray("<a href=\"u\">x[</a>") << QByteArray("[x\\[](u)\n");
    QTest::newRow("image in link")
        << QByteArray("<p><a href=\"u\"><img src=\"i.png\" alt=\"A\"></a>after</p>")
        << QByteArray("[![A](i.png)](u)after\n");
    QTest::newRow("image after text") << QByteArray("<p>see <img src=\"s.png\" title=\"T\"></p>")
                                      << QByteArray("see ![](s.png \"T\")\n");

    QTest::newRow("unordered list") << QByteArray("<ul>\n<li>one</li>\n<li>two</li>\n</ul>")
                                    << QByteArray("- one\n- two\n");
    QTest::newRow("ordered list") << QByteArray("<ol><li>a</li><li>b</li></ol><p>x</p>")
                                  << QByteArray("1. a\n2. b\n\nx\n");
    QTest::newRow("second paragraph in item") << QByteArray("<ul><li><p>a</p><p>b</p></li></ul>")
                                              << QByteArray("- a\n\n  b\n");
    QTest::newRow("task item")
        << QByteArray("<ul>\n<li class=\"task-list-item\"><input type=\"checkbox\" "
                      "class=\"task-list-item-checkbox\" disabled checked>done</li>\n"
                      "<li class=\"task-list-item\"><input type=\"checkbox\" disabled=\"\">open</li>\n</ul>\n")
        << QByteArray("- [x] done\n- [ ] open\n");

    QTest::newRow("quote") << QByteArray("<blockquote>\n<p>q</p>\n</blockquote>") << QByteArray("> q\n");
    QTest::newRow("stray closing quote keeps depth 0")
        << QByteArray("</blockquote><p>x</p><blockquote><p>y</p></blockquote><p>z</p>")
        << QByteArray("x\n\n> y\n\nz\n");

    QTest::newRow("fenced code") << QByteArray("<pre><code class=\"language-cpp\">int x;\n</code></pre>")
                                 << QByteArray("```cpp\nint x;\n```\n");
    QTest::newRow("class without prefix") << QByteArray("<pre><code class=\"python\">x\n</code></pre>")
                                          << QByteArray("```python\nx\n```\n");
    QTest::newRow("closing fence on its own line") << QByteArray("<pre><code>a  b</code></pre><p>x</p>")
                                                   << QByteArray("```\na  b\n```\n\nx\n");
    QTest::newRow("inline code") << QByteArray("<p>a <code>b*c</code></p>") << QByteArray("a `b*c`\n");
    QTest::newRow("title") << QByteArray("<title>Doc</title><p>x</p>") << QByteArray("Doc\n===\n\nx\n");
}

void TestTagRules::rules()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestTagRules::longOrderedListKeepsCounting()
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

void TestTagRules::titleOption()
{
    html2md::ConverterOptions options;
    options.keepTitle = false;
    QCOMPARE(convertBytes("<title>Doc</title><p>x</p>", &options), QByteArray("x\n"));
    options.bulletMarker = '*';
    options.orderedMarker = ')';
    QCOMPARE(convertBytes("<ul><li>a</li></ul><ol><li>b</li></ol>", &options), QByteArray("* a\n\n1) b\n"));
}

void TestTagRules::tables_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("markdown");

    QTest::newRow("aligned header")
        << QByteArray("<table><tr><th align=\"center\">h1</th><th align=\"right\">h2</th></tr>"
                      "<tr><td>a</td><td>b</td></tr></table>")
        << QByteArray("| h1  | h2 |\n|:---:|---:|\n| a   | b  |\n");
    QTest::newRow("rendered table")
        << QByteArray("<table>\n<thead>\n<tr>\n<th align=\"left\">a</th>\n<th>b</th>\n</tr>\n</thead>\n"
                      "<tbody>\n<tr>\n<td align=\"left\">long text</td>\n<td>c</td>\n</tr>\n</tbody>\n</table>\n")
        << QByteArray("| a         | b |\n|:----------|---|\n| long text | c |\n");
    // Without header cells the second row is taken as the delimiter row.
    QTest::newRow("no header row")
        << QByteArray("<table><tr><td>a</td></tr><tr><td>b</td></tr><tr><td>c</td></tr></table>")
        << QByteArray("| a |\n|---|\n| c |\n");
    QTest::newRow("line break in cell") << QByteArray("<table><tr><td>a<br>b</td></tr></table>")
                                        << QByteArray("| a<br>b |\n");
    QTest::newRow("empty cell")
        << QByteArray("<table><tr><th>a</th><th>b</th></tr><tr><td></td><td>x</td></tr></table>")
        << QByteArray("| a | b |\n|---|---|\n|   | x |\n");
    // Empty cells of aligned columns carry attributes; the first one of a
    // row must still keep its column.
    QTest::newRow("empty aligned cell")
        << QByteArray("<table><tr><th align=\"left\">a</th><th align=\"left\">b</th></tr>"
                      "<tr><td align=\"left\"></td><td align=\"left\">x</td></tr></table>")
        << QByteArray("| a  | b  |\n|:---|:---|\n|    | x  |\n");
    QTest::newRow("lists in tables are left alone")
        << QByteArray("<table><tr><td><ul><li>a</li></ul></td></tr></table>") << QByteArray("| a |\n");
    // A stray closing tag must not turn the following text into table rows.
    QTest::newRow("stray closing table")
        << QByteArray("<table><tr><th>a</th></tr></table><p>para text</p></table>")
        << QByteArray("| a |\n|---|\n\npara text\n");
}

void TestTagRules::tables()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, markdown);
    QCOMPARE(toMarkdown(html.constData()), markdown);
}

void TestTagRules::tableEdgesDoNotCrash()
{
    // Closing the quote takes back its prefix, which ends before the table
    // started; closing the table must cope with that start.
    QCOMPARE(toMarkdown("<blockquote><table></blockquote></table>after"), QByteArray(">\n\nafter\n"));
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
    QCOMPARE(convertBytes("<table><tr><th>a</th><td>b</td></tr></table>", &options),
             QByteArray("| a | b |\n| - |\n"));

    // Each closing tag formats at most the rows written since the last one,
    // so many closing tags after a large table stay cheap.
    QByteArray html = "<table><tr><th>h</th></tr>";
    for (int i = 0; i < 20000; ++i)
        html += "<tr><td>cell</td></tr>";
    html += QByteArray("</table>").repeated(200000);
    const QByteArray markdown = toMarkdown(html.constData());
    QVERIFY(markdown.startsWith("| h    |\n|------|\n| cell |\n"));
    QCOMPARE(markdown.count('\n'), 20002); // the table rows
}

QTEST_APPLESS_MAIN(TestTagRules)
#include "tst_tagrules.moc"
