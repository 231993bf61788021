#include "convert/sourceblocks.h"

#include "convert/htmlsyntax.h"
#include "convert/htmltomarkdown.h"
#include "convert/keyalignment.h"
#include "convert/markdowntohtml.h"

#include <QHash>

#include <md4c.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
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

int enterBlock(MD_BLOCKTYPE type, void *detail, void *user)
{
    auto *state = static_cast<ParseState *>(user);
    if (state->depth == 1) {
        TopBlock block{type};
        if (type == MD_BLOCK_CODE)
            block.fence = static_cast<MD_BLOCK_CODE_DETAIL *>(detail)->fence_char;
        state->blocks.push_back(block);
    }
    ++state->depth;
    return 0;
}

int leaveBlock(MD_BLOCKTYPE, void *, void *user)
{
    --static_cast<ParseState *>(user)->depth;
    return 0;
}

int span(MD_SPANTYPE, void *, void *)
{
    return 0;
}

int text(MD_TEXTTYPE type, const MD_CHAR *text, MD_SIZE size, void *user)
{
    auto *state = static_cast<ParseState *>(user);
    if (state->depth < 2 || state->blocks.empty() || size == 0 || text < state->begin || text + size > state->end)
        return 0;
    TopBlock &block = state->blocks.back();
    const int offset = static_cast<int>(text - state->begin);
    if (type == MD_TEXT_HTML)
        state->rawHtml.push_back(offset);
    if (block.first < 0 || offset < block.first)
        block.first = offset;
    block.last = std::max(block.last, offset + static_cast<int>(size) - 1);
    return 0;
}

ParseState topBlocks(const QByteArray &source)
{
    ParseState state{source.constData(), source.constData() + source.size(), 0, {}, {}};
    MD_PARSER parser = {};
    parser.flags = markdownParserFlags;
    parser.enter_block = enterBlock;
    parser.leave_block = leaveBlock;
    parser.enter_span = span;
    parser.leave_span = span;
    parser.text = text;
    md_parse(source.constData(), static_cast<MD_SIZE>(source.size()), &parser, &state);
    return state;
}

// All of the bytes, NULs included (the QByteArray overload stops at one).
QString fromUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes.constData(), bytes.size());
}

// ---------------------------------------------------------------------------
// Lines

bool isBlank(const char *begin, const char *end)
{
    for (const char *p = begin; p < end; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    }
    return true;
}

// The line, less up to three spaces of indentation.
const char *unindented(const char *begin, const char *end)
{
    int spaces = 0;
    while (begin < end && *begin == ' ' && spaces < 3) {
        ++begin;
        ++spaces;
    }
    return begin;
}

// A run of at least `least` marks, then only white space.
bool isMarkLine(const char *begin, const char *end, char mark, int least)
{
    const char *p = unindented(begin, end);
    int count = 0;
    while (p < end && *p == mark) {
        ++p;
        ++count;
    }
    return count >= least && isBlank(p, end);
}

bool isAtxHeading(const char *begin, const char *end)
{
    const char *p = unindented(begin, end);
    int count = 0;
    while (p < end && *p == '#') {
        ++p;
        ++count;
    }
    return count >= 1 && count <= 6 && (p == end || *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n');
}

// ---------------------------------------------------------------------------

// MD4C's HTML as the page gives the same content back: quotes in text are
// bare, a no-break space is written as its entity, and the line feed that
// starts a pre is the parser's, not text.
QString inPageForm(const QString &html)
{
    // Most nodes need none of it: they are taken as they are, uncopied.
    const ushort *data = html.utf16();
    bool plain = true;
    for (int i = 0; plain && i < html.size(); ++i)
        plain = data[i] != 0xA0 && (data[i] != '&' || data[i + 1] != 'q')
            && (data[i] != '<' || (data[i + 1] | 0x20) != 'p' || (data[i + 2] | 0x20) != 'r' || (data[i + 3] | 0x20) != 'e');
    if (plain)
        return html;
    QString out;
    out.reserve(html.size());
    for (int i = 0; i < html.size();) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int end = int(htmlsyntax::tagEnd(html.utf16(), size_t(i + 1), size_t(html.size())));
            const QStringRef tag = html.midRef(i, end - i);
            out += tag;
            i = end;
            if (tag.startsWith(QLatin1String("<pre"), Qt::CaseInsensitive)
                && (tag.size() == 5 || !htmlsyntax::isNameChar(tag.at(4))) && html.midRef(i, 1) == QLatin1String("\n")
                && html.midRef(i + 1, 1) != QLatin1String("\n"))
                ++i;
        } else if (c == QLatin1Char('&') && html.midRef(i, 6) == QLatin1String("&quot;")) {
            out += QLatin1Char('"');
            i += 6;
        } else if (c == QChar(0xA0)) {
            out += QLatin1String("&nbsp;");
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------

namespace {

struct Chunks;
struct Part;
struct Piece;

// The definition-only blocks with the labels they define: those a part
// names go before it when it is rendered alone, so that its reference links
// resolve as in the whole text.
class LinkDefinitions
{
public:
    bool isEmpty() const { return definitions.isEmpty(); }

    void add(const QByteArray &text)
    {
        Definition entry{text, {}};
        if (!entry.text.endsWith('\n'))
            entry.text += '\n';
        entry.text += '\n';
        for (const QByteArray &line : text.split('\n')) {
            const int open = line.indexOf('[');
            const int close = line.indexOf("]:", open + 1);
            if (open >= 0 && open <= 3 && close > open && line.left(open).trimmed().isEmpty())
                entry.labels << normalizedLabel(line.mid(open + 1, close - open - 1));
        }
        for (const QString &label : qAsConst(entry.labels))
            byLabel[label].append(definitions.size());
        definitions.append(entry);
    }

    // The rendering of markdown with the definitions it names before it.
    QByteArray renderAlone(const QByteArray &markdown) const
    {
        if (definitions.isEmpty())
            return markdownToHtml(markdown.constData(), markdown.size());
        // Every bracketed text of the part may name a definition.
        QVector<int> used;
        for (int open = markdown.indexOf('['); open >= 0; open = markdown.indexOf('[', open + 1)) {
            const int close = markdown.indexOf(']', open + 1);
            if (close < 0)
                break;
            if (close - open > 1000)
                continue;
            const auto found = byLabel.constFind(normalizedLabel(markdown.mid(open + 1, close - open - 1)));
            if (found != byLabel.constEnd())
                used += found.value();
        }
        if (used.isEmpty())
            return markdownToHtml(markdown.constData(), markdown.size());
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        QByteArray withDefinitions;
        for (int index : qAsConst(used))
            withDefinitions += definitions.at(index).text;
        withDefinitions += markdown;
        return markdownToHtml(withDefinitions.constData(), withDefinitions.size());
    }

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

} // namespace

struct SourceBlocks::Data
{
    struct Group
    {
        QString text;      // the source, with the blank lines after it
        QByteArray html;   // its rendering, as the page got it
        bool rawHtml = false; // the source writes HTML of its own
        int firstNode = 0; // into nodeKeys
        int nodeCount = 0; // none: it renders nothing (link definitions)
    };
    QVector<Group> groups;
    LinkDefinitions definitions;
    QStringList nodeKeys;
    // The Markdown of each loaded node's HTML (in the page's form).
    QHash<QString, QString> keyOfHtml;
    // MD4C's HTML of the nodes whose source writes HTML of its own, and their
    // indexes: the page may write those its own way.
    QStringList rawNodes;
    QVector<int> rawNodeIndex;
    bool pageFormsSettled = false;

    std::vector<QByteArray> renderChunks(const Chunks &chunks);
    void groupParts(const std::vector<Part> &parts, const Chunks &chunks, const std::vector<int> &rawHtml,
                    const QVector<Span> &nodes);
    void indexNodes(const QString &wholeText, const QVector<Span> &nodes);
    QStringList pageKeys(const QString &html, const QVector<Span> &nodes) const;
    QVector<bool> keptGroups(const QVector<int> &partner) const;
    QVector<Piece> pieces(const QString &html, const QVector<Span> &nodes, const QHash<int, int> &keptAt) const;
};

SourceBlocks::SourceBlocks(const QString &markdown) : markdown(markdown) {}

SourceBlocks::~SourceBlocks() = default;

void SourceBlocks::prepare() const
{
    std::call_once(prepared, [this] { build(); });
}

namespace {

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

// Lines right after a block that still belong to it although the parser
// reported no text there: a closing fence, a setext underline, table rows
// without text.
void markBlockEnds(const Lines &lines, const TopBlock &block, int first, int last, std::vector<bool> &ending)
{
    int next = last + 1;
    if (block.type == MD_BLOCK_CODE && block.fence) {
        while (next < lines.count && lines.blank(next))
            ++next;
        if (next < lines.count && lines.isMark(next, block.fence, 3))
            ending[size_t(next)] = true;
    } else if (block.type == MD_BLOCK_H && next < lines.count && !isAtxHeading(lines.begin(first), lines.end(first))) {
        if (lines.isMark(next, '=', 1) || lines.isMark(next, '-', 1))
            ending[size_t(next)] = true;
    } else if (block.type == MD_BLOCK_TABLE) {
        while (next < lines.count && !lines.blank(next)
               && std::memchr(lines.begin(next), '|', size_t(lines.end(next) - lines.begin(next)))) {
            ending[size_t(next)] = true;
            ++next;
        }
    }
}

// The source cut into chunks: one may start on any line that is not blank
// and not inside the text of a top-level block.
struct Chunks
{
    Chunks(const Lines &lines, const ParseState &parsed) : lines(lines)
    {
        std::vector<int> inside(size_t(lines.count) + 1, 0);
        std::vector<bool> ending(size_t(lines.count), false);
        for (const TopBlock &block : parsed.blocks) {
            if (block.first < 0)
                continue;
            const int first = lines.lineOf(block.first);
            const int last = lines.lineOf(block.last);
            ++inside[size_t(first) + 1];
            --inside[size_t(last) + 1];
            markBlockEnds(lines, block, first, last, ending);
        }
        starts.push_back(0);
        int depth = 0;
        for (int line = 0; line < lines.count; ++line) {
            depth += inside[size_t(line)];
            if (line > 0 && depth == 0 && !ending[size_t(line)] && !lines.blank(line))
                starts.push_back(line);
        }
        count = int(starts.size());
        starts.push_back(lines.count);
    }

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

// Cuts the source into parts: each part must render alone as it does in the
// whole; a part that does not joins its neighbour (a closing fence, a lazy
// line, a list that goes on).
class PartFinder
{
public:
    PartFinder(const LinkDefinitions &definitions, const Chunks &chunks, const QByteArray &whole,
               std::vector<QByteArray> alone)
        : definitions(definitions), chunks(chunks), whole(whole), alone(std::move(alone)),
          budget(16 * qint64(chunks.offset(chunks.count)) + (1 << 20))
    {
    }

    // The parts, or one part holding everything when they never agree.
    std::vector<Part> find()
    {
        bool agreed = true;
        for (int k = 0; agreed && k < chunks.count; k = parts.back().to)
            agreed = findPartFrom(k);
        if (!agreed || budget <= 0 || pos != whole.size())
            parts.assign(1, Part{0, chunks.count, whole});
        return parts;
    }

private:
    QByteArray render(int from, int to)
    {
        if (to == from + 1 && definitions.isEmpty())
            return alone[size_t(from)];
        const QByteArray bytes = chunks.bytes(from, to);
        budget -= bytes.size();
        return definitions.renderAlone(bytes);
    }

    bool matchesAt(int at, const QByteArray &html) const
    {
        return whole.size() - at >= html.size() && std::memcmp(whole.constData() + at, html.constData(), size_t(html.size())) == 0;
    }

    bool findPartFrom(int k)
    {
        Part current{k, k + 1, {}};
        for (;;) {
            if (budget <= 0)
                return false;
            current.html = render(current.from, current.to);
            if (matchesAt(pos, current.html)) {
                pos += current.html.size();
                parts.push_back(current);
                return true;
            }
            if (joinToPrevious(current.to))
                return true;
            if (current.to == chunks.count)
                return false;
            ++current.to;
        }
    }

    // Whether the chunks up to `to` render as they should joined to one of
    // the last few parts (they end one of them).
    bool joinToPrevious(int to)
    {
        int previousPos = pos;
        for (size_t back = 1; back <= 3 && back <= parts.size(); ++back) {
            const int from = parts[parts.size() - back].from;
            previousPos -= parts[parts.size() - back].html.size();
            const QByteArray html = render(from, to);
            if (matchesAt(previousPos, html)) {
                parts.resize(parts.size() - back);
                parts.push_back(Part{from, to, html});
                pos = previousPos + html.size();
                return true;
            }
        }
        return false;
    }

    const LinkDefinitions &definitions;
    const Chunks &chunks;
    const QByteArray &whole;
    const std::vector<QByteArray> alone; // each chunk's own rendering
    std::vector<Part> parts;
    qint64 budget;
    int pos = 0; // in whole, after the parts found
};

} // namespace

// Each chunk's rendering alone; those that render nothing are link definitions.
std::vector<QByteArray> SourceBlocks::Data::renderChunks(const Chunks &chunks)
{
    std::vector<QByteArray> alone(static_cast<size_t>(chunks.count));
    for (int k = 0; k < chunks.count; ++k) {
        const QByteArray bytes = chunks.bytes(k, k + 1);
        alone[size_t(k)] = markdownToHtml(bytes.constData(), bytes.size());
        if (alone[size_t(k)].isEmpty() && !isBlank(bytes.constBegin(), bytes.constEnd()))
            definitions.add(bytes);
    }
    return alone;
}

// Parts whose HTML leaves an element open go with the following ones, so
// that each group holds whole nodes of the page.
void SourceBlocks::Data::groupParts(const std::vector<Part> &parts, const Chunks &chunks,
                                    const std::vector<int> &rawHtml, const QVector<Span> &nodes)
{
    int node = 0;
    int textPos = 0;
    size_t groupFrom = 0;
    for (size_t p = 0; p < parts.size(); ++p) {
        textPos += fromUtf8(parts[p].html).size();
        if (p + 1 < parts.size()) {
            // Cut here only when no node spans the boundary.
            while (node < nodes.size() && nodes.at(node).end <= textPos)
                ++node;
            if (node < nodes.size() && nodes.at(node).start < textPos)
                continue;
        }
        Group group;
        group.text = fromUtf8(chunks.bytes(parts[groupFrom].from, parts[p].to));
        const auto raw = std::lower_bound(rawHtml.begin(), rawHtml.end(), chunks.offset(parts[groupFrom].from));
        group.rawHtml = raw != rawHtml.end() && *raw < chunks.offset(parts[p].to);
        for (size_t q = groupFrom; q <= p; ++q)
            group.html += parts[q].html;
        groups.append(group);
        groupFrom = p + 1;
    }
}

// The nodes of each group, by position, and their Markdown.
void SourceBlocks::Data::indexNodes(const QString &wholeText, const QVector<Span> &nodes)
{
    int nodeIndex = 0;
    int htmlPos = 0;
    for (Group &g : groups) {
        const int end = htmlPos + fromUtf8(g.html).size();
        g.firstNode = nodeIndex;
        while (nodeIndex < nodes.size() && nodes.at(nodeIndex).start < end) {
            const QString nodeHtml = wholeText.mid(nodes.at(nodeIndex).start, nodes.at(nodeIndex).end - nodes.at(nodeIndex).start);
            if (g.rawHtml) {
                rawNodes << nodeHtml;
                rawNodeIndex << nodeIndex;
            }
            const QString form = inPageForm(nodeHtml);
            nodeKeys << htmlToMarkdown(form);
            keyOfHtml.insert(form, nodeKeys.last());
            ++nodeIndex;
        }
        g.nodeCount = nodeIndex - g.firstNode;
        htmlPos = end;
    }
}

void SourceBlocks::build() const
{
    data.reset(new Data);
    if (markdown.isEmpty())
        return;
    const QByteArray source = markdown.toUtf8();
    const QByteArray whole = markdownToHtml(source.constData(), source.size());
    const Lines lines(source);
    ParseState parsed = topBlocks(source);
    std::sort(parsed.rawHtml.begin(), parsed.rawHtml.end());
    const Chunks chunks(lines, parsed);
    std::vector<QByteArray> alone = data->renderChunks(chunks);
    const std::vector<Part> parts = PartFinder(data->definitions, chunks, whole, std::move(alone)).find();
    const QString wholeText = fromUtf8(whole);
    const QVector<Span> nodes = topLevelNodes(wholeText);
    data->groupParts(parts, chunks, parsed.rawHtml, nodes);
    data->indexNodes(wholeText, nodes);
}

QStringList SourceBlocks::rawHtmlNodes() const
{
    prepare();
    return data->pageFormsSettled ? QStringList() : data->rawNodes;
}

void SourceBlocks::setPageForms(const QStringList &forms)
{
    prepare();
    if (data->pageFormsSettled)
        return;
    data->pageFormsSettled = true;
    if (forms.size() != data->rawNodes.size())
        return;
    for (int k = 0; k < forms.size(); ++k) {
        const QString form = inPageForm(forms.at(k));
        QString &key = data->nodeKeys[data->rawNodeIndex.at(k)];
        key = htmlToMarkdown(form);
        data->keyOfHtml.insert(form, key);
    }
}

QStringList SourceBlocks::blocks() const
{
    prepare();
    QStringList texts;
    for (const Data::Group &group : qAsConst(data->groups))
        texts << group.text;
    return texts;
}

namespace {

// A piece of the text to save: a group kept with its own bytes, or page
// nodes converted.
struct Piece
{
    int group; // -1: converted
    QString text;
    QByteArray expected; // its rendering in its place
};

bool isOriginal(const QVector<Piece> &pieces, int groupCount)
{
    bool original = pieces.size() == groupCount;
    for (int p = 0; original && p < pieces.size(); ++p)
        original = pieces.at(p).group == p;
    return original;
}

// The pieces one after the other, an empty line between two that were not
// neighbours, and what the whole should render as.
struct Assembly
{
    explicit Assembly(const QVector<Piece> &pieces)
    {
        for (int p = 0; p < pieces.size(); ++p) {
            const Piece &piece = pieces.at(p);
            const bool adjacent = p > 0 && piece.group >= 0 && pieces.at(p - 1).group == piece.group - 1;
            if (!text.isEmpty() && !adjacent) {
                if (!text.endsWith(QLatin1Char('\n')))
                    text += QLatin1Char('\n');
                if (!text.endsWith(QLatin1String("\n\n")))
                    text += QLatin1Char('\n');
            }
            text += piece.text;
            expected += piece.expected;
            expectedEnd.append(expected.size());
        }
    }

    // The piece in which rendered first differs from what was expected.
    int firstDifference(const QByteArray &rendered) const
    {
        int diff = 0;
        while (diff < rendered.size() && diff < expected.size() && rendered.at(diff) == expected.at(diff))
            ++diff;
        const int at = int(std::upper_bound(expectedEnd.begin(), expectedEnd.end(), diff) - expectedEnd.begin());
        return std::min(at, expectedEnd.size() - 1);
    }

    QString text;
    QByteArray expected;
    QVector<int> expectedEnd;
};

// The kept groups nearest to piece `at` go through the converter; false when
// there are none left to demote.
bool demoteAround(const QVector<Piece> &pieces, int at, QVector<bool> &kept)
{
    for (int reach = 0; reach <= 3; ++reach) {
        bool demoted = false;
        for (int p = std::max(0, at - reach); p <= std::min(pieces.size() - 1, at + reach); ++p) {
            const int g = pieces.at(p).group;
            if (g >= 0 && kept.at(g)) {
                kept[g] = false;
                demoted = true;
            }
        }
        if (demoted)
            return true;
    }
    return false;
}

} // namespace

// The Markdown of each of the page's nodes. Most nodes are as they were
// loaded: their Markdown is known.
QStringList SourceBlocks::Data::pageKeys(const QString &html, const QVector<Span> &nodes) const
{
    QStringList keys;
    keys.reserve(nodes.size());
    for (const Span &node : nodes) {
        const QString form = inPageForm(html.mid(node.start, node.end - node.start));
        const auto known = keyOfHtml.constFind(form);
        keys << (known != keyOfHtml.constEnd() ? known.value() : htmlToMarkdown(form));
    }
    return keys;
}

// A group is kept when all its nodes are still there, in order and side by side.
QVector<bool> SourceBlocks::Data::keptGroups(const QVector<int> &partner) const
{
    QVector<bool> kept(groups.size(), false);
    for (int g = 0; g < groups.size(); ++g) {
        const Group &group = groups.at(g);
        if (group.nodeCount == 0)
            continue;
        const int first = partner.at(group.firstNode);
        bool whole = first >= 0;
        for (int k = 1; whole && k < group.nodeCount; ++k)
            whole = partner.at(group.firstNode + k) == first + k;
        kept[g] = whole;
    }
    return kept;
}

// The text to save as pieces: the kept groups (keptAt maps the page node
// where each starts to it), the page's nodes between them converted, and the
// blocks the page never shows (link definitions, blank lines) in their place.
QVector<Piece> SourceBlocks::Data::pieces(const QString &html, const QVector<Span> &nodes,
                                          const QHash<int, int> &keptAt) const
{
    QVector<Piece> pieces;
    int lastGroup = -1;
    int runStart = -1;
    int runEnd = -1;
    auto emitGroup = [&](int g) { pieces.append({g, groups.at(g).text, groups.at(g).html}); };
    // The groups between the last one written and next (gone, changed or
    // definitions), and the page's nodes that took their place.
    auto emitBetween = [&](int next) {
        int g = lastGroup + 1;
        for (; g < next && groups.at(g).nodeCount == 0; ++g)
            emitGroup(g);
        if (runStart >= 0) {
            const int from = nodes.at(runStart).start;
            const QString text = htmlToMarkdown(html.mid(from, nodes.at(runEnd - 1).end - from));
            if (!text.trimmed().isEmpty())
                pieces.append({-1, text, definitions.renderAlone(text.toUtf8())});
            runStart = -1;
        }
        for (; g < next; ++g) {
            if (groups.at(g).nodeCount == 0)
                emitGroup(g);
        }
    };
    for (int j = 0; j < nodes.size();) {
        const auto found = keptAt.constFind(j);
        if (found == keptAt.constEnd()) {
            if (runStart < 0)
                runStart = j;
            runEnd = ++j;
            continue;
        }
        emitBetween(found.value());
        emitGroup(found.value());
        lastGroup = found.value();
        j += groups.at(found.value()).nodeCount;
    }
    emitBetween(groups.size());
    return pieces;
}

QString SourceBlocks::markdownFor(const QString &html) const
{
    prepare();
    const QVector<Data::Group> &groups = data->groups;
    if (groups.isEmpty())
        return htmlToMarkdown(html);

    const QVector<Span> nodes = topLevelNodes(html);
    const QVector<int> partner = alignKeys(data->nodeKeys, data->pageKeys(html, nodes));
    QVector<bool> kept = data->keptGroups(partner);
    // Blocks the page never shows (link definitions, blank lines) are kept
    // even when every other block changed.
    const bool unseen = std::any_of(groups.begin(), groups.end(), [](const Data::Group &group) { return group.nodeCount == 0; });
    for (int round = 0; round < 6; ++round) {
        QHash<int, int> keptAt; // first page node -> group
        for (int g = 0; g < groups.size(); ++g) {
            if (kept.at(g))
                keptAt.insert(partner.at(groups.at(g).firstNode), g);
        }
        if (keptAt.isEmpty() && !unseen)
            break;
        const QVector<Piece> pieces = data->pieces(html, nodes, keptAt);
        if (isOriginal(pieces, groups.size()))
            return markdown;
        const Assembly assembled(pieces);
        const QByteArray bytes = assembled.text.toUtf8();
        const QByteArray rendered = markdownToHtml(bytes.constData(), bytes.size());
        if (rendered == assembled.expected)
            return assembled.text;
        // The first part that renders otherwise in its place, and the kept
        // groups beside it, go through the converter.
        if (!demoteAround(pieces, assembled.firstDifference(rendered), kept))
            break;
    }
    return htmlToMarkdown(html);
}
