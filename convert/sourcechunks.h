#ifndef SOURCECHUNKS_H
#define SOURCECHUNKS_H

// The Markdown source as SourceBlocks cuts it: where MD4C's top-level blocks
// lie, its lines, the chunks a block may start at, and the parts (runs of
// chunks) that render alone as they do in the whole text. Private to
// sourceblocks.cpp.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <md4c.h>

#include <algorithm>
#include <vector>

namespace sourcechunks {

// All of the bytes, NULs included (the QByteArray overload stops at one).
QString fromUtf8(const QByteArray &bytes);
bool isBlank(const char *begin, const char *end);
// A run of at least `least` marks, then only white space.
bool isMarkLine(const char *begin, const char *end, char mark, int least);

// Where MD4C's top-level blocks lie in the source: the text it reports points
// into the input buffer, so each block's first and last text byte are known.
struct TopBlock
{
    MD_BLOCKTYPE type;
    char fence = 0;
    int first = -1;
    int last = -1;
};

struct ParseState
{
    const char *begin;
    const char *end;
    int depth = 0;
    std::vector<TopBlock> blocks;
    std::vector<int> rawHtml; // where raw HTML starts in the source
};

ParseState topBlocks(const QByteArray &source);

// The lines of the source, by byte offset.
struct Lines
{
    explicit Lines(const QByteArray &source) : base(source.constData())
    {
        for (int i = 0; i < source.size(); ++i) {
            if (i == 0 || source.at(i - 1) == '\n')
                start.push_back(i);
        }
        count = int(start.size());
        start.push_back(source.size());
    }

    int lineOf(int offset) const
    {
        return int(std::upper_bound(start.begin(), start.end() - 1, offset) - start.begin()) - 1;
    }
    const char *begin(int line) const { return base + start[size_t(line)]; }
    const char *end(int line) const { return base + start[size_t(line) + 1]; }
    bool blank(int line) const { return isBlank(begin(line), end(line)); }
    bool isMark(int line, char mark, int least) const { return isMarkLine(begin(line), end(line), mark, least); }

    const char *base;
    std::vector<int> start; // of each line, and the end of the text
    int count;
};

// The source cut into chunks: one may start on any line that is not blank
// and not inside the text of a top-level block.
struct Chunks
{
    Chunks(const Lines &lines, const ParseState &parsed);

    // Byte offset where chunk k starts (count: the end of the text).
    int offset(int k) const { return lines.start[size_t(starts[size_t(k)])]; }
    QByteArray bytes(int from, int to) const { return QByteArray(lines.base + offset(from), offset(to) - offset(from)); }

    const Lines &lines;
    std::vector<int> starts; // first line of each chunk, and the line count
    int count;
};

// A run of chunks that renders alone as it does in the whole text.
struct Part
{
    int from;
    int to; // chunk indexes
    QByteArray html;
};

// The definition-only blocks with the labels they define: those a part
// names go before it when it is rendered alone, so that its reference links
// resolve as in the whole text.
class LinkDefinitions
{
public:
    bool isEmpty() const { return definitions.isEmpty(); }

    void add(const QByteArray &text);

    // The rendering of markdown with the definitions it names before it.
    QByteArray renderAlone(const QByteArray &markdown) const;

private:
    static QString normalizedLabel(const QByteArray &label) { return fromUtf8(label).simplified().toLower(); }

    struct Definition
    {
        QByteArray text;
        QStringList labels;
    };
    QVector<Definition> definitions;
    QHash<QString, QVector<int>> byLabel;
};

// Each chunk's rendering alone; those that render nothing are link
// definitions, added to definitions.
std::vector<QByteArray> renderChunks(const Chunks &chunks, LinkDefinitions &definitions);

// Cuts the source into parts: each part must render alone as it does in the
// whole; a part that does not joins its neighbour (a closing fence, a lazy
// line, a list that goes on). One part holds everything when they never agree.
std::vector<Part> findParts(const LinkDefinitions &definitions, const Chunks &chunks, const QByteArray &whole,
                            std::vector<QByteArray> alone);

} // namespace sourcechunks

#endif // SOURCECHUNKS_H
