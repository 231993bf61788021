// The converter's scanner: reads the HTML once, byte by byte. Tags are
// collected and handed to their rule, the text between them to the text
// reader (htmltext.cpp); comments are copied. Everything is UTF-8 bytes.

#include "convert/conversion.h"

#include "convert/htmlcopy.h"
#include "convert/htmlsyntax.h"
#include "convert/htmltext.h"
#include "convert/inlinerules.h"
#include "convert/markdownescape.h"

#include <algorithm>
#include <cstring>

namespace html2md {

namespace {

using escape::isAsciiAlpha;
using escape::isSpace;

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
            tag.name.push_back(htmlsyntax::toLowerAscii(b));
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
        tag.lastNonSpace = htmlsyntax::toLowerAscii(b);
    }
    tag.skipSpace = false;
    tag.name.push_back(htmlsyntax::toLowerAscii(b));
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
        const char lower = htmlsyntax::toLowerAscii(b);
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
        if (!htmlsyntax::equalsName(attribute, name))
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
        found = !name.empty() && htmlsyntax::equalsName(attribute, name);
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
