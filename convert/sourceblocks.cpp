#include "convert/sourceblocks.h"

#include "convert/frontmatter.h"
#include "convert/htmlsyntax.h"
#include "convert/htmltomarkdown.h"
#include "convert/keyalignment.h"
#include "convert/markdowntohtml.h"
#include "convert/sourcechunks.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace sourcechunks;

namespace {

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

// The HTML parser of the page nests elements only so deep (512 in the
// engine) and makes deeper ones siblings: a node deeper than this comes back
// from the page written otherwise, like HTML the document wrote itself.
const int kPageDepth = 256;

bool deeperThanThePage(const QString &html)
{
    const ushort *data = html.utf16();
    const int size = html.size();
    int depth = 0;
    for (int i = 0; i + 1 < size; ++i) {
        if (data[i] != '<')
            continue;
        if (data[i + 1] == '/') {
            --depth;
        } else if (QChar(data[i + 1]).isLetter()) {
            const int end = int(htmlsyntax::tagEnd(data, size_t(i + 1), size_t(size)));
            int nameEnd = i + 1;
            while (nameEnd < end && htmlsyntax::isNameChar(QChar(data[nameEnd])))
                ++nameEnd;
            const bool selfClosing = end >= 2 && data[end - 2] == '/';
            if (!selfClosing && !htmlsyntax::isVoidElement(QStringView(data + i + 1, nameEnd - i - 1)) && ++depth > kPageDepth)
                return true;
            i = end - 1;
        }
    }
    return false;
}

struct Piece;

} // namespace

// ---------------------------------------------------------------------------

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
    // MD4C's HTML of the nodes whose source writes HTML of its own or that
    // nest deeper than the page does, and their indexes: the page may write
    // those its own way.
    QStringList rawNodes;
    QVector<int> rawNodeIndex;
    bool pageFormsSettled = false;

    int addFrontMatter(const QByteArray &source, int length);
    void groupParts(const std::vector<Part> &parts, const Chunks &chunks, const std::vector<int> &rawHtml,
                    const QVector<Span> &nodes, int textPos);
    void indexNodes(const QString &wholeText, const QVector<Span> &nodes);
    QStringList pageKeys(const QString &html, const QVector<Span> &nodes) const;
    QVector<bool> keptGroups(const QVector<int> &partner) const;
    QVector<Piece> pieces(const QString &html, const QVector<Span> &nodes, const QHash<int, int> &keptAt) const;
    QByteArray renderPiece(const QByteArray &text, bool first) const;
};

SourceBlocks::SourceBlocks(const QString &markdown) : markdown(markdown) {}

SourceBlocks::~SourceBlocks() = default;

void SourceBlocks::prepare() const
{
    std::call_once(prepared, [this] { build(); });
}

// The front matter is a group of its own, with the blank lines after it,
// ahead of the chunks of the rest; returns where the rest starts.
int SourceBlocks::Data::addFrontMatter(const QByteArray &source, int length)
{
    Group group;
    group.html = frontmatter::toHtml(source.constData(), length);
    const Lines lines(source);
    int line = lines.lineOf(length);
    while (length < source.size() && line < lines.count && lines.blank(line))
        length = lines.start[size_t(++line)];
    group.text = fromUtf8(source.left(length));
    groups.append(group);
    return length;
}

// Parts whose HTML leaves an element open go with the following ones, so
// that each group holds whole nodes of the page (the first part's HTML
// starts at textPos).
void SourceBlocks::Data::groupParts(const std::vector<Part> &parts, const Chunks &chunks,
                                    const std::vector<int> &rawHtml, const QVector<Span> &nodes, int textPos)
{
    int node = 0;
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
            if (g.rawHtml || deeperThanThePage(nodeHtml)) {
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
    const QByteArray bytes = markdown.toUtf8();
    int metadata = frontmatter::length(bytes.constData(), bytes.size());
    if (metadata > 0)
        metadata = data->addFrontMatter(bytes, metadata);
    const QByteArray metadataHtml = metadata > 0 ? data->groups.first().html : QByteArray();
    const QByteArray source = bytes.mid(metadata);
    const QByteArray bodyHtml = markdownBodyToHtml(source.constData(), source.size());
    const QString wholeText = fromUtf8(metadataHtml + bodyHtml);
    const QVector<Span> nodes = topLevelNodes(wholeText);
    if (!source.isEmpty()) {
        const Lines lines(source);
        ParseState parsed = topBlocks(source);
        std::sort(parsed.rawHtml.begin(), parsed.rawHtml.end());
        const Chunks chunks(lines, parsed);
        std::vector<QByteArray> alone = renderChunks(chunks, data->definitions);
        const std::vector<Part> parts = findParts(data->definitions, chunks, bodyHtml, std::move(alone));
        data->groupParts(parts, chunks, parsed.rawHtml, nodes, fromUtf8(metadataHtml).size());
    }
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

// A converted piece's rendering; the first one may hold the front matter.
QByteArray SourceBlocks::Data::renderPiece(const QByteArray &text, bool first) const
{
    const int metadata = first ? frontmatter::length(text.constData(), text.size()) : 0;
    if (metadata == 0)
        return definitions.renderAlone(text);
    return frontmatter::toHtml(text.constData(), metadata) + definitions.renderAlone(text.mid(metadata));
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
                pieces.append({-1, text, renderPiece(text.toUtf8(), pieces.isEmpty())});
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
