#ifndef SOURCEBLOCKS_H
#define SOURCEBLOCKS_H

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <mutex>

// The Markdown the editing page was filled from, cut into its top-level
// blocks (each with the blank lines after it), so that a save writes the
// blocks the user left alone with their own bytes and only the others
// through the converter.
//
// A block counts as unchanged when the page's HTML for it converts to the same
// Markdown as the block's own rendering did. The assembled text is checked
// with MD4C: every part must render in its place exactly as it renders alone
// (the kept blocks as when the page was filled, the converted ones as the
// converter wrote them); where one does not (a list that now continues, a
// lazy line, a lost definition), the blocks around it are converted too, and
// at worst the whole page, as without this.
class SourceBlocks
{
public:
    explicit SourceBlocks(const QString &markdown);
    ~SourceBlocks();

    // Cuts the text into blocks now; the other calls do it when first
    // needed. It may run on another thread: a call made meanwhile waits for it.
    void prepare() const;

    const QString &text() const { return markdown; }
    // The blocks' texts in order; together they are text().
    QStringList blocks() const;
    // MD4C's HTML of the loaded nodes whose source writes HTML of its own or
    // that nest deeper than the page does, which the page may give back
    // written its own way; empty once settled.
    QStringList rawHtmlNodes() const;
    // What the page gives back for each of rawHtmlNodes(), in order: such a
    // node of the page left as it was loaded then counts as unchanged. A list
    // of another length settles nothing.
    void setPageForms(const QStringList &forms);
    // The Markdown to save for html, the page's content (filled from text(),
    // perhaps edited since).
    QString markdownFor(const QString &html) const;

    // [start, end) of each top-level node of html (elements, comments, text
    // that is not white space), as the HTML parser nests them.
    struct Span
    {
        int start;
        int end;
    };
    static QVector<Span> topLevelNodes(const QString &html);

private:
    struct Data;
    void build() const;

    QString markdown;
    mutable std::unique_ptr<Data> data;
    mutable std::once_flag prepared;
};

#endif // SOURCEBLOCKS_H
