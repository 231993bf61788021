// The converter's text reader: the text between two tags goes out through
// the escape rules and the line writer, code as it stands; character
// references are decoded.

#include "convert/htmltext.h"

#include "convert/conversion.h"
#include "convert/htmlsyntax.h"
#include "convert/markdownescape.h"

#include <algorithm>
#include <cstring>

namespace html2md {

namespace {

using escape::isDigit;
using escape::isSpace;

// Text bytes that can be copied without escaping or line handling.
struct PlainBytes
{
    bool plain[256];
    constexpr PlainBytes() : plain()
    {
        for (int i = 0; i < 256; ++i)
            plain[i] = true;
        for (char c : {'*', '\\', '`', '\n', '\t', '\r', '\v', '\f', '<', '&', '_', '[', ']', '~', '|', '@', '$'})
            plain[static_cast<unsigned char>(c)] = false;
    }
};
constexpr PlainBytes plainBytes;

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

} // namespace

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
        else if (hex && htmlsyntax::toLowerAscii(c) >= 'a' && htmlsyntax::toLowerAscii(c) <= 'f')
            v = htmlsyntax::toLowerAscii(c) - 'a' + 10;
        else
            break;
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(v);
    }
    if (k == digitsStart || i + k >= end || data[i + k] != ';')
        return 0;
    appendUtf8(out, cp);
    return k + 1;
}

namespace {

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

} // namespace

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

} // namespace html2md
