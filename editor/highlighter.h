#ifndef HIGHLIGHTER_H
#define HIGHLIGHTER_H

#include <QColor>
#include <QList>
#include <QPalette>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QVector>

class QPlainTextEdit;
class QTextBlock;

// Colours Markdown in the source editor, one line at a time, with an ordered
// list of pattern rules; a later rule wins where matches overlap.
class Highlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // What a rule colours. Each role has one colour on a light background and one
    // on a dark background, so a rule means the same in both palettes.
    enum class Role { Heading, Quote, List, Code, Rule, Link, Image, Table, Marker, CurrentLine };
    static QColor colour(Role role, bool dark);

    // Headings are sized from baseSize, the editor's font size in pixels.
    Highlighter(QTextDocument *document, int baseSize);
    // Sizes the headings again, for a new editor size (font size or zoom).
    void setBaseSize(int baseSize);
    // Colours for a dark (or light) background, the text coloured again.
    void setDark(bool dark);
    bool isDark() const { return dark; }
    // Lazy: only the lines asked for with colourBlocks() (and those coloured
    // before) are coloured, so that a large text is not run through every
    // rule when it is set. Set before the text.
    void setLazy(bool lazy) { lazyColouring = lazy; }
    bool isLazy() const { return lazyColouring; }
    // Colours the lines from first to last that are not coloured yet.
    void colourBlocks(const QTextBlock &first, const QTextBlock &last);

protected:
    void highlightBlock(const QString &text) override;

private:
    void sizeHeadings(int baseSize);
    void colourRules();
    // The front matter's lines are YAML; false for a line that is not one of them.
    bool colourFrontMatter(const QString &text);

    struct HighlightingRule
    {
        QRegularExpression pattern;
        QTextCharFormat format;
    };
    QVector<HighlightingRule> highlightingRules;
    bool dark = false;
    bool lazyColouring = false;
    bool colouring = false;
};

// The one extra selection that shades the cursor's line in the source editor,
// in a shade that suits the editor's background.
QList<QTextEdit::ExtraSelection> currentLineSelections(QPlainTextEdit *editor);
// Whether a palette's text background is dark.
bool isDarkPalette(const QPalette &palette);

#endif // HIGHLIGHTER_H
