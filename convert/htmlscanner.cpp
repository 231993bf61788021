// The converter's scanner: reads the HTML once, byte by byte. Tags are
// collected and handed to their rule; text goes out through the escape rules
// and the line writer; comments and code are copied. Everything is UTF-8
// bytes.

#include "convert/conversion.h"

#include "convert/htmlcopy.h"
#include "convert/htmlsyntax.h"
#include "convert/inlinerules.h"
#include "convert/markdownescape.h"

#include <algorithm>
#include <cstring>

namespace html2md {

namespace {

using escape::isAsciiAlpha;
using escape::isDigit;
using escape::isSpace;

inline char toLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsLower(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (size_t k = 0; k < text.size(); ++k) {
        if (toLower(text[k]) != lower[k])
            return false;
    }
    return true;
}

// Text bytes that can be copied without escaping or line handling.
struct PlainBytes
{
    bool plain[256];
    constexpr PlainBytes() : plain()
    {
        for (int i = 0; i < 256; ++i)
            plain[i] = true;
        for (char c : {'*', '\\', '`', '\n', '\t', '\r', '\v', '\f', '<', '&', '_', '[', ']', '~', '|', '@'})
            plain[static_cast<unsigned char>(c)] = false;
    }
};
constexpr PlainBytes plainBytes;

// Tag bytes that are simply stored (lower-cased): all but the bytes with a
// meaning to the tag reader and white space.
struct TagBytes
{
    bool ordinary[256];
    constexpr TagBytes() : ordinary()
    {
        for (int i = 0; i < 256; ++i)
            ordinary[i] = true;
        for (char c : {'/', '>', '"', '\'', ' ', '\t', '\n', '\v', '\f', '\r'})
            ordinary[static_cast<unsigned char>(c)] = false;
    }
};
constexpr TagBytes tagBytes;

void appendUtf8(std::string &out, uint32_t cp)
{
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes the character reference at data[i] (an "&"): the named ones the
// editor's HTML uses and numeric ones. Returns the length read, 0 when there
// is none; the bytes go to out.
size_t decodeEntity(const char *data, size_t i, size_t end, std::string &out)
{
    static constexpr std::pair<std::string_view, std::string_view> named[] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
        {"&nbsp;", "\xC2\xA0"}, {"&rarr;", "\xE2\x86\x92"}, {"&#39;", "'"}, {"&apos;", "'"},
    };
    const std::string_view rest(data + i, std::min<size_t>(end - i, 12));
    for (const auto &entity : named) {
        if (rest.compare(0, entity.first.size(), entity.first) == 0) {
            out.append(entity.second);
            return entity.first.size();
        }
    }
    if (rest.size() < 4 || rest[1] != '#')
        return 0;
    size_t k = 2;
    const bool hex = rest[k] == 'x' || rest[k] == 'X';
    if (hex)
        ++k;
    uint32_t cp = 0;
    const size_t digitsStart = k;
    for (; i + k < end && k < digitsStart + 7; ++k) {
        const char c = data[i + k];
        int v;
        if (isDigit(c))
            v = c - '0';
        else if (hex && toLower(c) >= 'a' && toLower(c) <= 'f')
            v = toLower(c) - 'a' + 10;
        else
            break;
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(v);
    }
    if (k == digitsStart || i + k >= end || data[i + k] != ';')
        return 0;
    appendUtf8(out, cp);
    return k + 1;
}

// ---------------------------------------------------------------------------
// Tags

void startTag(Conversion &c)
{
    TagState &tag = c.tag;
    tag.start = c.scanIndex;
    c.inTag = true;
    tag.closing = false;
    tag.name.clear();
    tag.lastNonSpace = 0;
    tag.inValue = false;
    tag.copied = false;
    c.ignoredContext = c.afterLinkTag = false;
}

void updateContext(Conversion &c)
{
    // Called for every tag: the first byte picks the few names that matter.
    const std::string_view name = c.tag.name;
    c.ignoredContext = c.afterLinkTag = false;
    if (name.empty())
        return;
    const bool keepHtml = c.options.keepHtml;
    switch (name[0]) {
    case '-':
        c.ignoredContext = true;
        break;
    case 't':
        c.ignoredContext = (name == "title" && !c.options.keepTitle) || name == "template";
        break;
    case 'n':
        c.ignoredContext = name == "noscript" || (!keepHtml && name == "nav");
        break;
    case 's':
        c.ignoredContext = !keepHtml && (name == "style" || name == "script");
        break;
    case 'l':
        c.afterLinkTag = !keepHtml && name == "link";
        break;
    default:
        break;
    }
}

// An element a pasted page hides. Every marker has a colon; most tags have none.
bool isHiddenTag(std::string_view tag)
{
    static constexpr std::string_view markers[] = {"display:none", "visibility:hidden", "opacity:0"};
    size_t colon = tag.find(':');
    while (colon != std::string_view::npos) {
        for (std::string_view marker : markers) {
            const size_t before = marker.find(':');
            if (colon >= before && tag.compare(colon - before, marker.size(), marker) == 0)
                return true;
        }
        colon = tag.find(':', colon + 1);
    }
    return false;
}

void finishTag(Conversion &c)
{
    TagState &tag = c.tag;
    c.inTag = false;
    if (!tag.closing && !c.options.keepHtml && isHiddenTag(tag.name)) {
        // Hidden element of a pasted page: only its opening tag is dropped.
        updateContext(c);
        return;
    }
    size_t nameEnd = 0;
    while (nameEnd < tag.name.size() && static_cast<unsigned char>(tag.name[nameEnd]) > ' ')
        ++nameEnd;
    tag.name.resize(nameEnd);
    updateContext(c);

    auto rule = c.rules.find(tag.name);
    if (rule == c.rules.end()) {
        // Elements Markdown has no rule for are kept as written.
        if (!c.options.keepHtml || tag.name.empty() || !isAsciiAlpha(tag.name[0]))
            return;
        rule = c.rules.find(std::string());
    }
    void (*const handler)(Conversion &) = tag.closing ? rule->second.close : rule->second.open;
    tag.closing = false;
    if (handler)
        handler(c);
}

void endTag(Conversion &c)
{
    TagState &tag = c.tag;
    size_t end = tag.name.size();
    while (end > 0 && isSpace(tag.name[end - 1]))
        --end;
    tag.name.resize(end);
    tag.skipSpace = true;
    if (!tag.selfClosing) {
        finishTag(c);
        return;
    }
    finishTag(c);
    tag.selfClosing = false;
    if (!tag.copied) {
        tag.closing = true;
        tag.syntheticClose = true;
        finishTag(c);
        tag.syntheticClose = false;
    }
}

void readTagChar(Conversion &c, char b)
{
    TagState &tag = c.tag;
    // Attribute values are read by their quotes, both kinds: a ">" or a "/"
    // inside one belongs to the value (browsers write ">" unescaped there).
    if (tag.inValue) {
        if (b == tag.quote)
            tag.inValue = false;
        else
            tag.name.push_back(toLower(b));
        return;
    }
    if (b == '/') {
        tag.skipSpace = true;
        tag.closing = tag.name.empty();
        tag.selfClosing = !tag.closing;
        return;
    }
    if (b == '>') {
        endTag(c);
        return;
    }
    if ((b == '"' || b == '\'') && tag.lastNonSpace == '=') {
        tag.inValue = true;
        tag.quote = b;
        tag.skipSpace = false;
        return;
    }
    if (isSpace(b)) {
        if (tag.skipSpace)
            return;
    } else {
        tag.lastNonSpace = toLower(b);
    }
    tag.skipSpace = false;
    tag.name.push_back(toLower(b));
}

void readTagBytes(Conversion &c)
{
    // Ordinary bytes of a tag go straight into its stored text.
    const char *data = c.html.data();
    const size_t size = c.html.size();
    TagState &tag = c.tag;
    for (;;) {
        const char b = data[c.scanIndex++];
        if (!tagBytes.ordinary[static_cast<unsigned char>(b)]) {
            readTagChar(c, b);
            return;
        }
        const char lower = toLower(b);
        tag.skipSpace = false;
        tag.lastNonSpace = lower;
        tag.name.push_back(lower);
        if (c.scanIndex == size)
            return;
    }
}

// ---------------------------------------------------------------------------
// Comments and processing instructions: kept as they stand, since they have
// no Markdown form and the renderer passes them through.

void readComment(Conversion &c, const char *terminator, size_t skip)
{
    const char *data = c.html.data();
    const size_t size = c.html.size();
    const size_t start = c.scanIndex;
    size_t end = c.html.find(terminator, start + skip);
    end = end == std::string::npos ? size : end + std::strlen(terminator);
    c.scanIndex = end;
    if (c.ignoredContext || (c.table.inTable && !c.table.inCell) || !c.options.keepHtml)
        return;
    if (c.table.inCell) {
        // A cell holds one line.
        c.beginContent();
        for (size_t k = start; k < end; ++k)
            c.out.text.push_back(data[k] == '\n' || data[k] == '\r' ? ' ' : data[k]);
        c.out.column += end - start;
        return;
    }
    const bool block = atBlockStart(c);
    if (block)
        c.requestBlockBreak();
    c.beginContent();
    c.out.writeVerbatim(data + start, end - start, c.table.inTable);
    if (!block)
        return;
    // The rest of the comment's line belongs to the same HTML block.
    size_t lineEnd = end;
    while (lineEnd < size && data[lineEnd] != '\n')
        ++lineEnd;
    size_t k = end;
    while (k < lineEnd && isSpace(data[k]))
        ++k;
    if (k < lineEnd) {
        c.out.writeVerbatim(data + end, lineEnd - end, c.table.inTable);
        c.scanIndex = lineEnd;
    }
    c.requestBlockBreak();
}

void readMarkup(Conversion &c)
{
    const char *data = c.html.data();
    const size_t rest = c.html.size() - c.scanIndex;
    const size_t i = c.scanIndex;
    const bool code = c.code.inCode || c.code.inPre;
    if (rest >= 4 && data[i + 1] == '!' && data[i + 2] == '-' && data[i + 3] == '-' && !code) {
        readComment(c, "-->", 4);
        return;
    }
    if (c.options.keepHtml && rest >= 2 && data[i + 1] == '?' && !code) {
        readComment(c, "?>", 2);
        return;
    }
    ++c.scanIndex;
    startTag(c);
}

// ---------------------------------------------------------------------------
// Code: copied as it stands, only the references decoded.

void noteTicks(CodeState &code, std::string_view written)
{
    for (char ch : written) {
        if (ch == '`')
            code.maxTickRun = std::max(code.maxTickRun, ++code.tickRun);
        else
            code.tickRun = 0;
    }
}

// Writes the special byte at data[i] of code; returns the bytes read.
size_t writeCodeByte(Conversion &c, const char *data, size_t i, size_t end, std::string &decoded)
{
    MarkdownWriter &out = c.out;
    CodeState &code = c.code;
    const char b = data[i];
    if (b == '&') {
        decoded.clear();
        const size_t used = decodeEntity(data, i, end, decoded);
        if (used) {
            noteTicks(code, decoded);
            if (c.table.inCell && decoded == "|")
                out.text.push_back('\\');
            out.append(decoded.data(), decoded.size());
            return used;
        }
        out.append("&", 1);
        code.tickRun = 0;
    } else if (b == '`') {
        out.append("`", 1);
        code.maxTickRun = std::max(code.maxTickRun, ++code.tickRun);
    } else if (b == '|') {
        // A pipe in a cell must not split it; the renderer keeps a
        // backslash already there as part of the code.
        if (out.text.empty() || out.text.back() != '\\')
            out.text.push_back('\\');
        out.text.push_back('|');
        out.column += 2;
        code.tickRun = 0;
    } else if (code.inPre) {
        code.tickRun = 0;
        out.breakVerbatimLine(c.table.inTable);
    } else {
        // A line feed in a code span reads as a space.
        out.append(" ", 1);
        code.tickRun = 0;
    }
    return 1;
}

void readCodeText(Conversion &c, const char *data, size_t i, size_t end)
{
    if (c.code.inPre && !c.code.fenceBodyOpen) {
        // The code starts on the line after the opening fence.
        c.code.fenceBodyOpen = true;
        c.out.newLine();
    }
    const bool inCell = c.table.inCell;
    std::string decoded;
    while (i < end) {
        size_t j = i;
        while (j < end && data[j] != '&' && data[j] != '\n' && data[j] != '`' && !(inCell && data[j] == '|'))
            ++j;
        if (j > i) {
            c.out.append(data + i, j - i);
            c.code.tickRun = 0;
            i = j;
            continue;
        }
        i += writeCodeByte(c, data, i, end, decoded);
    }
}

// ---------------------------------------------------------------------------
// Text

// Reads one run of text, up to the next "<".
class TextReader
{
public:
    explicit TextReader(Conversion &c)
        : c(c), out(c.out), data(c.html.data()), size(c.html.size()), i(c.scanIndex),
          wrap(c.options.wrapLines && !c.table.inTable && c.noWrap == 0),
          soft(static_cast<size_t>(c.options.softWrapColumn)), hard(static_cast<size_t>(c.options.hardWrapColumn))
    {
    }

    void run()
    {
        while (i < size && data[i] != '<') {
            if (isSpace(data[i])) {
                readSpace();
                continue;
            }
            if (data[i] == '&' && c.html.compare(i, 6, "&nbsp;") == 0 && atBlankPoint()) {
                // The page's placeholder in an empty block, or a space at a line start.
                i += 6;
                continue;
            }
            c.beginContent();
            const bool lineStart = out.atLineStart();
            if (!lineStart && copyPlainRun())
                continue;
            readCharacter(lineStart);
        }
        c.scanIndex = i;
    }

private:
    // Nothing on the line yet, or a break still to come.
    bool atBlankPoint() const
    {
        return out.fresh || out.pendingBreak != MarkdownWriter::Break::None || out.pendingHardBreak
            || out.atLineStart();
    }

    // HTML white space: one space between words, none at a line start.
    void readSpace()
    {
        ++i;
        while (i < size && isSpace(data[i]))
            ++i;
        if (atBlankPoint() || out.text.empty())
            return;
        const char last = out.text.back();
        if (last == ' ' || last == '\n')
            return;
        InlineState &inl = c.inlines;
        if (out.text.size() == inl.markerEnd) {
            // Not inside the marker, where it would stop it from opening.
            if (inl.markerStart > out.lineStart && out.text[inl.markerStart - 1] != ' ') {
                out.text.insert(inl.markerStart, 1, ' ');
                ++inl.markerStart;
                ++inl.markerEnd;
                ++out.column;
            }
            return;
        }
        if (wrap && out.column >= soft && i < size && safeLineStart(data[i])) {
            out.newLine();
            return;
        }
        out.wrapPoint = out.text.size();
        out.append(" ", 1);
    }

    // Copies a run of plain bytes at once, as far as no wrap test can fire.
    bool copyPlainRun()
    {
        size_t limit = size;
        if (wrap)
            limit = out.column < soft ? std::min(size, i + (soft - out.column)) : i;
        size_t j = i;
        while (j < limit && plainBytes.plain[static_cast<unsigned char>(data[j])])
            ++j;
        if (j == i)
            return false;
        const size_t at = out.text.size();
        out.append(data + i, j - i);
        if (wrap) {
            const void *space = memrchr(data + i, ' ', j - i);
            if (space)
                out.wrapPoint = at + static_cast<size_t>(static_cast<const char *>(space) - (data + i));
        }
        i = j;
        return true;
    }

    // A character reference; false when it was written whole, else b is
    // the one byte it stands for and next the HTML byte after it.
    bool decodeReference(bool lineStart, char &b, size_t &next)
    {
        decoded.clear();
        const size_t used = decodeEntity(data, i, size, decoded);
        if (used == 0) {
            // Not one the editor decodes: it shows as that entity, and so
            // it renders from the Markdown.
            out.append("&", 1);
            ++i;
            return false;
        }
        next = i + used;
        if (decoded == "\xC2\xA0") {
            writeNoBreakSpace(lineStart, next);
        } else if (decoded.size() != 1) {
            out.append(decoded.data(), decoded.size());
        } else {
            b = decoded[0];
            return true;
        }
        i = next;
        return false;
    }

    // A no-break space between two words is the writer's; next to a space,
    // a tag or a line end it is the page's typed space.
    void writeNoBreakSpace(bool lineStart, size_t next)
    {
        const bool between = !lineStart && out.text.back() != ' ' && next < size && !isSpace(data[next])
            && (data[next] != '<' || (next + 3 < size && data[next + 1] != '/' && c.html.compare(next, 3, "<br") != 0));
        if (between)
            out.append(decoded.data(), decoded.size());
        else if (!lineStart && out.text.back() != ' ')
            out.append(" ", 1);
    }

    void readCharacter(bool lineStart)
    {
        char b = data[i];
        size_t next = i + 1;
        if (b == '&' && !decodeReference(lineStart, b, next))
            return;
        if (lineStart && isDigit(b)) {
            const size_t digits = listNumberDigits(data, i, size);
            if (digits > 0) {
                out.append(data + i, digits);
                out.append("\\", 1);
                out.append(data + i + digits, 1);
                i += digits + 1;
                return;
            }
        }
        if (b == '\n' || b == '\t' || b == '\r' || b == '\v' || b == '\f') {
            i = next;
            return;
        }
        const TextPlace place{data, size, next, lineStart ? ' ' : out.text.back(), lineStart,
                              c.inlines.anchorDepth > 0, c.table.inTable,
                              !lineStart && out.text[out.lineStart] == '['};
        if (needsBackslash(b, place))
            out.append("\\", 1);
        out.append(&b, 1);
        i = next;
        if (wrap && out.column > soft && out.column > hard)
            wrapLine();
    }

    void wrapLine()
    {
        const size_t at = out.wrapAtLastSpace();
        if (at == std::string::npos)
            return;
        // Positions kept past the break move with the text.
        const auto shift = [&](size_t &pos) {
            if (pos != std::string::npos && pos > at)
                pos += out.prefix.size();
        };
        for (InlineState::Link &link : c.inlines.links)
            shift(link.textStart);
        shift(c.inlines.markerStart);
        shift(c.inlines.markerEnd);
        shift(c.code.spanStart);
    }

    Conversion &c;
    MarkdownWriter &out;
    const char *const data;
    const size_t size;
    size_t i;
    const bool wrap;
    const size_t soft;
    const size_t hard;
    std::string decoded;
};

void readText(Conversion &c)
{
    const char *data = c.html.data();
    const size_t size = c.html.size();
    const size_t i = c.scanIndex;
    const bool skipped = c.ignoredContext || c.afterLinkTag;
    if (c.code.inCode || c.code.inPre || skipped || (c.table.inTable && !c.table.inCell)) {
        // Code is copied; in a table only cells hold text, the white space
        // between rows is layout.
        const void *lt = std::memchr(data + i, '<', size - i);
        const size_t end = lt ? static_cast<size_t>(static_cast<const char *>(lt) - data) : size;
        c.scanIndex = end;
        if (skipped || !(c.code.inCode || c.code.inPre))
            return;
        if (!c.code.inPre)
            c.beginContent();
        readCodeText(c, data, i, end);
        return;
    }
    TextReader(c).run();
}

} // namespace

// ---------------------------------------------------------------------------

Conversion::Conversion(const std::string &html, const ConverterOptions &options)
    : html(html), options(options), rules(tagRules(options.keepHtml)), lookaheadBudget(4 * html.size() + 4096)
{
    out.text.reserve(static_cast<size_t>(static_cast<double>(html.size()) * 0.8));
}

void Conversion::run()
{
    const size_t size = html.size();
    while (scanIndex < size) {
        if (inTag)
            readTagBytes(*this);
        else if (html[scanIndex] == '<')
            readMarkup(*this);
        else
            readText(*this);
    }
    if (inTag && options.keepHtml && tag.start > 0) {
        // A tag that never ends is text the renderer showed as it stands.
        inTag = false;
        ignoredContext = false;
        requestBlockBreak();
        beginContent();
        writeHtml(html.data() + tag.start - 1, size - tag.start + 1, false);
    }
    closeInlines(*this);
    out.finish();
}

std::string_view Conversion::tagText() const
{
    const size_t size = scanIndex > tag.start ? scanIndex - tag.start : 0;
    return std::string_view(html).substr(tag.start, size);
}

std::string Conversion::attributeValue(std::string_view name) const
{
    std::string value;
    if (name.empty())
        return value;
    htmlsyntax::forEachAttribute(tagText(), [&](std::string_view attribute, std::string_view written) {
        if (!equalsLower(attribute, name))
            return false;
        for (size_t k = 0; k < written.size();) {
            if (written[k] == '&') {
                const size_t used = decodeEntity(written.data(), k, written.size(), value);
                if (used) {
                    k += used;
                    continue;
                }
            }
            value.push_back(written[k++]);
        }
        return true;
    });
    return value;
}

bool Conversion::hasAttribute(std::string_view name) const
{
    bool found = false;
    htmlsyntax::forEachAttribute(tagText(), [&](std::string_view attribute, std::string_view) {
        found = !name.empty() && equalsLower(attribute, name);
        return found;
    });
    return found;
}

void Conversion::beginContent()
{
    if (ignoredContext)
        return;
    if (!table.inCell) {
        out.beginContent();
        return;
    }
    // A cell is one line: its paragraphs and line breaks become <br>.
    int breaks = table.cellBreaks;
    if (breaks == 0 && (out.pendingBreak != MarkdownWriter::Break::None || out.pendingHardBreak))
        breaks = 1;
    out.pendingBreak = MarkdownWriter::Break::None;
    out.pendingHardBreak = false;
    table.cellBreaks = 0;
    out.fresh = false;
    if (out.text.size() > table.cellStart) {
        for (int k = 0; k < breaks; ++k)
            out.append("<br>", 4);
    }
}

void Conversion::appendText(std::string_view text)
{
    if (ignoredContext || text.empty())
        return;
    out.appendLines(text.data(), text.size());
}

void Conversion::writeRawTag()
{
    beginContent();
    const size_t start = tag.start > 0 ? tag.start - 1 : 0;
    const size_t at = out.text.size();
    out.append(html.data() + start, scanIndex - start);
    std::replace(out.text.begin() + static_cast<std::ptrdiff_t>(at), out.text.end(), '\n', ' ');
    std::replace(out.text.begin() + static_cast<std::ptrdiff_t>(at), out.text.end(), '\r', ' ');
}

void Conversion::writeHtml(const char *text, size_t size, bool keepBlankLines)
{
    if (keepBlankLines || table.inTable) {
        out.writeVerbatim(text, size, table.inTable);
        return;
    }
    bool first = true;
    while (size > 0) {
        const void *nl = std::memchr(text, '\n', size);
        const size_t stop = nl ? static_cast<size_t>(static_cast<const char *>(nl) - text) : size;
        size_t k = 0;
        while (k < stop && isSpace(text[k]))
            ++k;
        if (k < stop || first) {
            if (!first)
                out.breakVerbatimLine(table.inTable);
            out.writeVerbatim(text, stop, table.inTable);
            first = false;
        }
        if (!nl)
            break;
        text += stop + 1;
        size -= stop + 1;
    }
}

} // namespace html2md
