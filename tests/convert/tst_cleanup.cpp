// The clean-up after the scan: line tidying, entities, the fixed
// replacements and the fence pass, checked against plain reference versions.

#include "converthelpers.h"

#include "convert/markdowntext.h"

#include <QElapsedTimer>
#include <QtTest>

#include <random>
#include <regex>
#include <string>

namespace {

// Reference: replace the first occurrence, search again from just after the
// inserted text, until none is left.
std::string naiveReplaceAll(std::string text, const std::string &find, const std::string &replacement)
{
    size_t pos = text.find(find);
    while (pos != std::string::npos) {
        text.erase(pos, find.size());
        text.insert(pos, replacement);
        pos = text.find(find, pos + replacement.size());
    }
    return text;
}

std::string naiveFencePass(const std::string &text)
{
    static const std::regex fence("([^\n])(```)");
    return std::regex_replace(text, fence, "$1\n```");
}

// Reference with the quote exemption: a match whose "```" directly follows
// the "> " prefix of its line is consumed but left as it is.
std::string naiveFencePassKeepingQuotes(const std::string &text)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (i + 4 <= text.size() && text[i] != '\n' && text.compare(i + 1, 3, "```") == 0) {
            const size_t lineStart = text.rfind('\n', i) == std::string::npos ? 0 : text.rfind('\n', i) + 1;
            size_t prefixEnd = lineStart;
            while (text.compare(prefixEnd, 2, "> ") == 0)
                prefixEnd += 2;
            out += text.substr(i, 1);
            if (!(prefixEnd > lineStart && i + 1 == prefixEnd))
                out += '\n';
            out += "```";
            i += 4;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string randomText(std::mt19937 &random, const std::string &alphabet, size_t maxSize)
{
    std::uniform_int_distribution<size_t> size(0, maxSize);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text(size(random), ' ');
    for (char &c : text)
        c = alphabet[pick(random)];
    return text;
}

const std::pair<std::string, std::string> pairs[] = {
    {" , ", ", "},
    {"\n.\n", ".\n"},
    {"\n\xE2\x86\xB5\n", " \xE2\x86\xB5\n"},
    {"\n*\n", "\n"},
    {"\n. ", ".\n"},
    {"\t\t  ", "\t\t"},
};

} // namespace

class TestCleanUp : public QObject
{
    Q_OBJECT

private slots:
    void tidyLines_data();
    void tidyLines();
    void entities();
    void replacementPairs_data();
    void replacementPairs();
    void replaceAllMatchesReference();
    void fencePassMatchesReference();
    void largeInputsStayLinear();
};

void TestCleanUp::tidyLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("tidied");

    QTest::newRow("blank runs cut to two") << QByteArray("\n\n\na\n\n\n\n\nb") << QByteArray("a\n\n\nb\n");
    QTest::newRow("trim") << QByteArray("  a \t\n b") << QByteArray("a\nb\n");
    QTest::newRow("leading tab kept") << QByteArray("\t a") << QByteArray("\t a\n");
    QTest::newRow("hard break kept") << QByteArray(" a  \nb \t  ") << QByteArray("a  \nb \t  \n");
    QTest::newRow("blank lines of spaces") << QByteArray("a\n   \n \t\nb") << QByteArray("a\n\n\nb\n");
    QTest::newRow("fence verbatim, closing line trimmed")
        << QByteArray("```c  \n  x  \n\n\n\n``` \t\n y") << QByteArray("```c  \n  x  \n\n\n\n```\ny\n");
    QTest::newRow("tilde fence") << QByteArray("~~~\n  x\n~~~") << QByteArray("~~~\n  x\n~~~\n");
    QTest::newRow("only blanks") << QByteArray("\n \n\t\n") << QByteArray("");
}

void TestCleanUp::tidyLines()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, tidied);
    std::string bytes = text.toStdString();
    html2md::tidyLines(bytes);
    QCOMPARE(QByteArray::fromStdString(bytes), tidied);
}

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

void TestCleanUp::replaceAllMatchesReference()
{
    std::mt19937 random(1234);
    const std::string alphabet = std::string("\n. ,*\t\tab") + "\xE2\x86\xB5";
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random, alphabet, 40);
        std::string fast = text;
        std::string reference = text;
        for (const auto &pair : pairs) {
            html2md::replaceAll(fast, pair.first, pair.second);
            reference = naiveReplaceAll(reference, pair.first, pair.second);
            if (fast != reference)
                QFAIL(qPrintable(QStringLiteral("replaceAll differs on %1")
                                     .arg(QString::fromLatin1(QByteArray::fromStdString(text).toHex()))));
        }
        // A growing replacement takes the other path.
        std::string grown = text;
        html2md::replaceAll(grown, ". ", "<.\n.>");
        QCOMPARE(QByteArray::fromStdString(grown),
                 QByteArray::fromStdString(naiveReplaceAll(text, ". ", "<.\n.>")));
    }
}

void TestCleanUp::fencePassMatchesReference()
{
    std::mt19937 random(99);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random, "```\na", 30);
        std::string fast = text;
        html2md::breakBeforeFences(fast);
        if (fast != naiveFencePass(text))
            QFAIL(qPrintable(QStringLiteral("fence pass differs on %1")
                                 .arg(QString::fromLatin1(QByteArray::fromStdString(text).toHex()))));
    }
    std::string text = "x```\n```y````\n``````";
    html2md::breakBeforeFences(text);
    QCOMPARE(QByteArray::fromStdString(text), QByteArray("x\n```\n```y\n````\n`\n`````"));

    // Fences of a quoted code block stay in the quote; a fence after quoted
    // code text still moves.
    text = "> ```c\n> > ````\n> code```\n>```\n>  ```";
    html2md::breakBeforeFences(text);
    QCOMPARE(QByteArray::fromStdString(text),
             QByteArray("> ```c\n> > ````\n> code\n```\n>\n```\n>  \n```"));
    for (int round = 0; round < 20000; ++round) {
        const std::string quoted = randomText(random, "``\n> a", 30);
        std::string fast = quoted;
        html2md::breakBeforeFences(fast);
        if (fast != naiveFencePassKeepingQuotes(quoted))
            QFAIL(qPrintable(QStringLiteral("quoted fence pass differs on %1")
                                 .arg(QString::fromLatin1(QByteArray::fromStdString(quoted).toHex()))));
    }
}

void TestCleanUp::largeInputsStayLinear()
{
    // Every pass is one linear walk: the worst inputs for a replace loop or a
    // recursive regex engine finish quickly, and ten times the input costs
    // about ten times the time (a wide margin absorbs noise).
    auto worstCase = [](int repeat) {
        QByteArray html = "<pre><code>";
        html += QByteArray("a```").repeated(repeat);
        html += QByteArray("\n.\n , \n*\n\t\t  ").repeated(repeat / 4);
        html += "</code></pre><p>";
        html += QByteArray("w , &amp;x ").repeated(repeat / 2);
        html += "</p>";
        return QString::fromUtf8(html);
    };
    const QString small = worstCase(100000);
    const QString large = worstCase(1000000);

    QElapsedTimer timer;
    timer.start();
    const QString smallResult = htmlToMarkdown(small);
    const qint64 smallTime = std::max<qint64>(timer.nsecsElapsed(), 1000000);
    timer.restart();
    const QString largeResult = htmlToMarkdown(large);
    const qint64 largeTime = timer.nsecsElapsed();
    QVERIFY(smallResult.startsWith(QStringLiteral("````\na```a```")));
    QVERIFY(largeResult.size() > 9 * smallResult.size());
    QVERIFY2(largeTime < 40 * smallTime,
             qPrintable(QStringLiteral("%1 ms for 10x the input of %2 ms")
                            .arg(largeTime / 1000000).arg(smallTime / 1000000)));

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
