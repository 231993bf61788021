#include "editor/highlighter.h"

#include "convert/frontmatter.h"

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// Marks a line the lazy highlighter has coloured: it stays coloured as it changes.
class ColouredLine : public QTextBlockUserData
{
};

using Role = Highlighter::Role;

// The colours of the roles: {light background, dark background}. The light set
// is the original one; the dark set keeps each hue, readable on a dark base.
struct RoleColours
{
    Role role;
    QColor light;
    QColor dark;
};

const RoleColours kRoleColours[] = {
    {Role::Heading, QColor(255, 128, 64), QColor(255, 128, 64)},
    {Role::Quote, QColor(0, 153, 0), QColor(98, 200, 98)},
    {Role::List, QColor(223, 85, 255), QColor(230, 130, 255)},
    {Role::Code, QColor(170, 85, 0), QColor(230, 160, 80)},
    {Role::Rule, QColor(Qt::darkYellow), QColor(200, 200, 80)},
    {Role::Link, QColor(170, 85, 0), QColor(230, 160, 80)},
    {Role::Image, QColor(170, 17, 17), QColor(240, 110, 110)},
    {Role::Table, QColor(223, 196, 125), QColor(223, 196, 125)},
    {Role::Marker, QColor(62, 206, 244), QColor(62, 206, 244)},
    {Role::CurrentLine, QColor(181, 181, 181), QColor(55, 55, 55)},
};

// The role rides along in the format, so that its colour can be set again.
const int kRoleProperty = QTextFormat::UserProperty + 1;

QTextCharFormat colouredFormat(Role role)
{
    QTextCharFormat format;
    format.setProperty(kRoleProperty, int(role));
    return format;
}

// Line states: a line of the front matter (its opening one included), and its
// closing line.
enum LineState { InFrontMatter = 1, FrontMatterClosed = 2 };

bool isDelimiter(const QString &text, const QString &mark)
{
    return text.startsWith(mark) && text.midRef(3).trimmed().isEmpty();
}

// Whether the text's first lines make front matter (looked for within its
// first lines only, as a metadata block is short).
bool opensWithFrontMatter(const QTextBlock &first)
{
    QByteArray head;
    QTextBlock block = first;
    for (int k = 0; k < 500 && block.isValid(); ++k, block = block.next())
        head += block.text().toUtf8() + '\n';
    return frontmatter::length(head.constData(), head.size()) > 0;
}

} // namespace

QColor Highlighter::colour(Role role, bool dark)
{
    for (const RoleColours &entry : kRoleColours) {
        if (entry.role == role)
            return dark ? entry.dark : entry.light;
    }
    return QColor();
}

bool isDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

Highlighter::Highlighter(QTextDocument *document, int baseSize) : QSyntaxHighlighter(document)
{
    const QTextCharFormat headingFormat = colouredFormat(Role::Heading);

    QTextCharFormat italicFormat;
    italicFormat.setFontItalic(true);
    QTextCharFormat boldFormat;
    boldFormat.setFontWeight(QFont::Bold);
    QTextCharFormat strikeFormat;
    strikeFormat.setFontStrikeOut(true);
    const QTextCharFormat quoteFormat = colouredFormat(Role::Quote);
    const QTextCharFormat listFormat = colouredFormat(Role::List);
    const QTextCharFormat inlineCodeFormat = colouredFormat(Role::Code);
    const QTextCharFormat ruleFormat = colouredFormat(Role::Rule);
    QTextCharFormat linkTitleFormat = colouredFormat(Role::Link);
    linkTitleFormat.setFontItalic(true);
    QTextCharFormat linkFormat = colouredFormat(Role::Link);
    linkFormat.setFontItalic(true);
    QTextCharFormat imageFormat = colouredFormat(Role::Image);
    imageFormat.setFontItalic(true);
    QTextCharFormat tableFormat = colouredFormat(Role::Table);
    tableFormat.setFontWeight(QFont::Bold);
    QTextCharFormat fenceFormat = colouredFormat(Role::Marker);
    fenceFormat.setFontWeight(QFont::Bold);
    QTextCharFormat keywordFormat = colouredFormat(Role::Marker);
    keywordFormat.setFontWeight(QFont::Bold);

    auto add = [this](const QString &pattern, const QTextCharFormat &format) {
        highlightingRules.append({QRegularExpression(pattern), format});
    };

    // The order matters: where matches overlap, the later rule wins.
    // The first six rules are the headings, sized by setBaseSize.
    for (int level = 1; level <= 6; ++level)
        add(QStringLiteral("^(?:#){%1} (.*)").arg(level), headingFormat);
    add(QStringLiteral("(\\*|_)(.*?)\\1"), italicFormat);
    add(QStringLiteral("(\\*\\*|__)(.*?)\\1"), boldFormat);
    add(QStringLiteral("~~(.*)~~"), strikeFormat);
    add(QStringLiteral("^> (.*)"), quoteFormat);
    add(QStringLiteral("^[1-9]+[0-9]*\\. .*"), listFormat);
    add(QStringLiteral("^[+*-] .*"), listFormat);
    add(QStringLiteral("`{1,2}[^`](.*?)`{1,2}"), inlineCodeFormat);
    add(QStringLiteral("---"), ruleFormat);
    add(QStringLiteral("\\[([^\\]]*)\\]\\( *([^)^ ^\\\"]*) *\\\"([^\\\"]*)\\\" *\\)"), linkTitleFormat);
    add(QStringLiteral("\\[([^\\]]*)\\]\\( *([^)^ ^\"]*) *\\)"), linkFormat);
    add(QStringLiteral("!\\[([^\\]]*)\\]\\( *([^)^ ^\"]*) *\\)"), imageFormat);
    add(QStringLiteral("\\|"), tableFormat);
    add(QStringLiteral("```(?:\\s*(\\w+))?"), fenceFormat);
    add(QStringLiteral("^(?:#){1,6} "), keywordFormat);

    static const char *const keywords[] = {
        "class", "const", "double", "enum", "explicit", "friend", "inline", "int",
        "long", "namespace", "operator", "private", "protected", "public", "short",
        "signals", "signed", "slots", "static", "struct", "template", "typedef",
        "typename", "union", "unsigned", "virtual", "void", "volatile", "bool"};
    for (const char *keyword : keywords)
        add(QStringLiteral("\\b%1\\b").arg(QLatin1String(keyword)), keywordFormat);
    colourRules();
    sizeHeadings(baseSize);
}

void Highlighter::colourRules()
{
    for (HighlightingRule &rule : highlightingRules) {
        if (rule.format.hasProperty(kRoleProperty))
            rule.format.setForeground(colour(Role(rule.format.intProperty(kRoleProperty)), dark));
    }
}

void Highlighter::setDark(bool isDark)
{
    if (dark == isDark)
        return;
    dark = isDark;
    colourRules();
    rehighlight();
}

void Highlighter::sizeHeadings(int baseSize)
{
    if (baseSize <= 0)
        baseSize = 16;
    // Headings scale the editor size by 1.6 down to 1.1, truncated; counted in
    // tenths so that no floating-point error drops a pixel.
    static const int headingTenths[6] = {16, 15, 14, 13, 12, 11};
    for (int level = 0; level < 6; ++level) {
        QFont font;
        font.setPixelSize(baseSize * headingTenths[level] / 10);
        highlightingRules[level].format.setFont(font);
    }
}

void Highlighter::setBaseSize(int baseSize)
{
    sizeHeadings(baseSize);
    rehighlight();
}

void Highlighter::colourBlocks(const QTextBlock &first, const QTextBlock &last)
{
    if (!first.isValid())
        return;
    colouring = true;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (!block.userData())
            rehighlightBlock(block);
        if (block == last)
            break;
    }
    colouring = false;
}

void Highlighter::highlightBlock(const QString &text)
{
    if (lazyColouring) {
        if (!currentBlockUserData() && !colouring)
            return;
        if (!currentBlockUserData())
            setCurrentBlockUserData(new ColouredLine);
    }
    if (colourFrontMatter(text))
        return;
    for (const HighlightingRule &rule : qAsConst(highlightingRules)) {
        QRegularExpressionMatchIterator it = rule.pattern.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            setFormat(match.capturedStart(0), match.capturedLength(0), rule.format);
        }
    }
}

bool Highlighter::colourFrontMatter(const QString &text)
{
    const bool opening = currentBlock().blockNumber() == 0 && isDelimiter(text, QStringLiteral("---"))
        && opensWithFrontMatter(currentBlock());
    if (!opening && previousBlockState() != InFrontMatter) {
        setCurrentBlockState(-1);
        return false;
    }
    QTextCharFormat marker = colouredFormat(Role::Marker);
    marker.setForeground(colour(Role::Marker, dark));
    marker.setFontWeight(QFont::Bold);
    if (opening || isDelimiter(text, QStringLiteral("---")) || isDelimiter(text, QStringLiteral("..."))) {
        setFormat(0, text.size(), marker);
        setCurrentBlockState(opening ? InFrontMatter : FrontMatterClosed);
        return true;
    }
    // YAML: keys, their values, comments.
    setCurrentBlockState(InFrontMatter);
    static const QRegularExpression key(QStringLiteral("^\\s*(- +)?([^\\s:#][^:#]*):(?=\\s|$)"));
    static const QRegularExpression comment(QStringLiteral("(^|\\s)#.*$"));
    const QRegularExpressionMatch keyMatch = key.match(text);
    const int valueStart = keyMatch.hasMatch() ? keyMatch.capturedEnd(0) : 0;
    setFormat(valueStart, text.size() - valueStart, colour(Role::Code, dark));
    if (keyMatch.hasMatch())
        setFormat(keyMatch.capturedStart(2), keyMatch.capturedLength(2), colour(Role::Heading, dark));
    const QRegularExpressionMatch commentMatch = comment.match(text, valueStart);
    if (commentMatch.hasMatch())
        setFormat(commentMatch.capturedStart(0), commentMatch.capturedLength(0), colour(Role::Marker, dark));
    return true;
}

QList<QTextEdit::ExtraSelection> currentLineSelections(QPlainTextEdit *editor)
{
    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(Highlighter::colour(Highlighter::Role::CurrentLine, isDarkPalette(editor->palette())));
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    selection.cursor = editor->textCursor();
    selection.cursor.clearSelection();
    return {selection};
}
