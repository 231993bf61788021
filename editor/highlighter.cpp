#include "editor/highlighter.h"

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// Marks a line the lazy highlighter has coloured: it stays coloured as it changes.
class ColouredLine : public QTextBlockUserData
{
};

QTextCharFormat colouredFormat(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(QBrush(colour));
    return format;
}

} // namespace

Highlighter::Highlighter(QTextDocument *document, int baseSize) : QSyntaxHighlighter(document)
{
    const QTextCharFormat headingFormat = colouredFormat(QColor(255, 128, 64));

    QTextCharFormat italicFormat;
    italicFormat.setFontItalic(true);
    QTextCharFormat boldFormat;
    boldFormat.setFontWeight(QFont::Bold);
    QTextCharFormat strikeFormat;
    strikeFormat.setFontStrikeOut(true);
    const QTextCharFormat quoteFormat = colouredFormat(QColor(0, 153, 0));
    const QTextCharFormat listFormat = colouredFormat(QColor(223, 85, 255));
    const QTextCharFormat inlineCodeFormat = colouredFormat(QColor(170, 85, 0));
    const QTextCharFormat ruleFormat = colouredFormat(QColor(Qt::darkYellow));
    QTextCharFormat linkTitleFormat = colouredFormat(QColor(170, 85, 0));
    linkTitleFormat.setFontItalic(true);
    QTextCharFormat linkFormat = colouredFormat(QColor(170, 85, 0));
    linkFormat.setFontItalic(true);
    QTextCharFormat imageFormat = colouredFormat(QColor(170, 17, 17));
    imageFormat.setFontItalic(true);
    QTextCharFormat tableFormat = colouredFormat(QColor(223, 196, 125));
    tableFormat.setFontWeight(QFont::Bold);
    QTextCharFormat fenceFormat = colouredFormat(QColor(62, 206, 244));
    fenceFormat.setFontWeight(QFont::Bold);
    QTextCharFormat keywordFormat = colouredFormat(QColor(62, 206, 244));
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
    sizeHeadings(baseSize);
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
    for (const HighlightingRule &rule : qAsConst(highlightingRules)) {
        QRegularExpressionMatchIterator it = rule.pattern.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            setFormat(match.capturedStart(0), match.capturedLength(0), rule.format);
        }
    }
}

QList<QTextEdit::ExtraSelection> currentLineSelections(QPlainTextEdit *editor)
{
    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(QBrush(QColor(181, 181, 181)));
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    selection.cursor = editor->textCursor();
    selection.cursor.clearSelection();
    return {selection};
}
