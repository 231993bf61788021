#include "convert/sourcechunks.h"

#include "convert/markdowntohtml.h"

#include <cstring>

namespace sourcechunks {

namespace {

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

} // namespace

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

namespace {

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

} // namespace

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

namespace {

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

Chunks::Chunks(const Lines &lines, const ParseState &parsed) : lines(lines)
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

void LinkDefinitions::add(const QByteArray &text)
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

QByteArray LinkDefinitions::renderAlone(const QByteArray &markdown) const
{
    if (definitions.isEmpty())
        return markdownBodyToHtml(markdown.constData(), markdown.size());
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
        return markdownBodyToHtml(markdown.constData(), markdown.size());
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    QByteArray withDefinitions;
    for (int index : qAsConst(used))
        withDefinitions += definitions.at(index).text;
    withDefinitions += markdown;
    return markdownBodyToHtml(withDefinitions.constData(), withDefinitions.size());
}

std::vector<QByteArray> renderChunks(const Chunks &chunks, LinkDefinitions &definitions)
{
    std::vector<QByteArray> alone(static_cast<size_t>(chunks.count));
    for (int k = 0; k < chunks.count; ++k) {
        const QByteArray bytes = chunks.bytes(k, k + 1);
        alone[size_t(k)] = markdownBodyToHtml(bytes.constData(), bytes.size());
        if (alone[size_t(k)].isEmpty() && !isBlank(bytes.constBegin(), bytes.constEnd()))
            definitions.add(bytes);
    }
    return alone;
}

std::vector<Part> findParts(const LinkDefinitions &definitions, const Chunks &chunks, const QByteArray &whole,
                            std::vector<QByteArray> alone)
{
    return PartFinder(definitions, chunks, whole, std::move(alone)).find();
}

} // namespace sourcechunks
