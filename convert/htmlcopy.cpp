#include "convert/htmlcopy.h"

#include "convert/conversion.h"
#include "convert/htmlsyntax.h"
#include "convert/inlinerules.h"
#include "convert/markdownescape.h"

#include <cstring>

namespace html2md {

namespace {

using escape::isAsciiAlpha;
using escape::isDigit;
using escape::isSpace;

bool isPageAttribute(std::string_view name)
{
    return name.size() > 13 && htmlsyntax::equalsName(name.substr(0, 13), "data-veltrane");
}

// Markdown's HTML blocks that start with these elements end at their end
// tag, not at an empty line: their blank lines are kept.
bool runsPastBlankLines(std::string_view name)
{
    return name == "pre" || name == "script" || name == "style" || name == "textarea";
}

} // namespace

size_t elementEnd(Conversion &c, std::string_view name, size_t from)
{
    const char *data = c.html.data();
    const size_t size = c.html.size();
    const bool rawText = htmlsyntax::isRawTextElement(name);
    auto nameAt = [&](size_t k) {
        if (size - k < name.size() || !htmlsyntax::equalsName(std::string_view(data + k, name.size()), name))
            return false;
        const size_t after = k + name.size();
        return after >= size || isSpace(data[after]) || data[after] == '>' || data[after] == '/';
    };
    // Elements that never close would each be searched to the end: past a
    // budget of a few times the input, they count as not closed.
    if (c.lookaheadBudget == 0)
        return std::string::npos;
    size_t depth = 1;
    size_t pos = from;
    while (pos < size) {
        const void *lt = std::memchr(data + pos, '<', size - pos);
        if (!lt)
            break;
        const size_t k = static_cast<size_t>(static_cast<const char *>(lt) - data);
        const size_t scanned = k + 1 - pos;
        if (scanned >= c.lookaheadBudget) {
            c.lookaheadBudget = 0;
            return std::string::npos;
        }
        c.lookaheadBudget -= scanned;
        pos = k + 1;
        if (!rawText && size - k >= 4 && data[k + 1] == '!' && data[k + 2] == '-' && data[k + 3] == '-') {
            const size_t close = c.html.find("-->", k + 4);
            if (close == std::string::npos)
                break;
            pos = close + 3;
        } else if (k + 1 < size && data[k + 1] == '/' && nameAt(k + 2)) {
            if (--depth == 0) {
                const void *gt = std::memchr(data + k, '>', size - k);
                return gt ? static_cast<size_t>(static_cast<const char *>(gt) - data) + 1 : size;
            }
        } else if (!rawText && nameAt(k + 1)) {
            ++depth;
        }
    }
    return std::string::npos;
}

namespace {

// Around Markdown blocks the tags stand on lines of their own; around
// anything else the whole element stays HTML.
void openKeptBlock(Conversion &c)
{
    const std::string_view next = nextTagName(c);
    bool wrapper = false;
    for (std::string_view b : {"p", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "blockquote", "pre", "table",
                               "hr", "div", "details", "summary", "section", "figure"}) {
        if (htmlsyntax::equalsName(next, b))
            wrapper = true;
    }
    const bool selfClosing = c.tag.selfClosing;
    if (!wrapper && !selfClosing && copyElement(c, true))
        return;
    c.out.requestBreak(MarkdownWriter::Break::Blank);
    c.writeRawTag();
    c.out.requestBreak(selfClosing ? MarkdownWriter::Break::Blank : MarkdownWriter::Break::Line);
    c.tag.copied = selfClosing;
}

void closeKeptBlock(Conversion &c)
{
    closeInlines(c);
    c.out.requestBreak(MarkdownWriter::Break::Blank);
    c.beginContent();
    c.writeRawTag();
    c.out.requestBreak(MarkdownWriter::Break::Blank);
}

// ---------------------------------------------------------------------------
// Rules of the elements kept as HTML.

void openKeptInline(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    // A summary shares its line with the details tag: an HTML block, so
    // its content is HTML too.
    if ((c.tag.name == "summary" && copyElement(c, false)) || copyHtmlBlock(c))
        return;
    c.beginContent();
    pushRawInline(c);
}

void closeKeptInline(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    if (!popRawInline(c) && !c.tag.syntheticClose) {
        c.beginContent();
        c.appendText("</" + c.tag.name + ">");
    }
}

void openKeptBlockRule(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    if (!c.options.keepHtml || c.table.inTable) {
        c.requestBlockBreak();
        return;
    }
    openKeptBlock(c);
}

void closeKeptBlockRule(Conversion &c)
{
    if (c.inCodeOrIgnored() || c.tag.syntheticClose)
        return;
    if (!c.options.keepHtml || c.table.inTable) {
        c.requestBlockBreak();
        return;
    }
    closeKeptBlock(c);
}

void openRawText(Conversion &c)
{
    if (c.code.inPre || c.code.inCode)
        return;
    copyElement(c, atBlockStart(c));
}

void openUnknown(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    if (c.tag.name == "span") {
        // The page's search marks are not the document's.
        const std::string cls = c.attributeValue("class");
        if ((cls == "search-hit" || cls == "search-select") && !hasForeignAttributes(c, {"class"})) {
            c.inlines.open.push_back(InlineState::Inline{c.tag.name, 1, 0});
            return;
        }
    }
    if (atBlockStart(c) && copyElement(c, true))
        return;
    c.beginContent();
    pushRawInline(c);
}

void closeUnknown(Conversion &c)
{
    if (c.inCodeOrIgnored() || c.tag.syntheticClose)
        return;
    // An element the browser closed at its parent's end was never closed
    // in the document: its end tag stays out.
    std::vector<InlineState::Inline> &open = c.inlines.open;
    if (c.tag.name != "span" && c.html.compare(c.scanIndex, 2, "</") == 0) {
        for (size_t k = open.size(); k > 0; --k) {
            if (open[k - 1].name == c.tag.name && open[k - 1].marker == 0) {
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(k - 1));
                return;
            }
        }
    }
    if (!popRawInline(c)) {
        c.beginContent();
        c.writeRawTag();
    }
}

} // namespace

bool hasForeignAttributes(const Conversion &c, std::initializer_list<std::string_view> allowed)
{
    if (!c.options.keepHtml)
        return false;
    // Most tags have no attributes at all.
    const size_t afterName = c.tag.start + c.tag.name.size();
    if (afterName < c.html.size() && (c.html[afterName] == '>' || c.html[afterName] == '/'))
        return false;
    bool foreign = false;
    htmlsyntax::forEachAttribute(c.tagText(), [&](std::string_view name, std::string_view) {
        if (isPageAttribute(name))
            return false;
        for (std::string_view a : allowed) {
            if (htmlsyntax::equalsName(name, a))
                return false;
        }
        foreign = true;
        return true;
    });
    return foreign;
}

bool linkNeedsHtml(const Conversion &c)
{
    // The page's own target="_blank" is no reason.
    if (!c.options.keepHtml)
        return false;
    bool href = false;
    bool foreign = false;
    htmlsyntax::forEachAttribute(c.tagText(), [&](std::string_view name, std::string_view) {
        if (htmlsyntax::equalsName(name, "href"))
            href = true;
        else if (!htmlsyntax::equalsName(name, "title") && !htmlsyntax::equalsName(name, "target") && !isPageAttribute(name))
            foreign = true;
        return foreign;
    });
    return !href || foreign;
}

bool atBlockStart(const Conversion &c)
{
    const MarkdownWriter &out = c.out;
    return c.textBlocks == 0 && !c.table.inCell && c.inlines.open.empty() && c.inlines.anchorDepth == 0
        && !c.code.inPre && !c.code.inCode
        && (out.fresh || out.pendingBreak != MarkdownWriter::Break::None || out.atLineStart());
}

std::string_view nextTagName(const Conversion &c)
{
    const std::string &html = c.html;
    size_t i = c.scanIndex;
    while (i < html.size() && isSpace(html[i]))
        ++i;
    if (i + 1 >= html.size() || html[i] != '<')
        return std::string_view();
    size_t k = i + 1;
    while (k < html.size() && (isAsciiAlpha(html[k]) || isDigit(html[k]) || html[k] == '!' || html[k] == '-'))
        ++k;
    return std::string_view(html.data() + i + 1, k - i - 1);
}

bool copyElement(Conversion &c, bool block)
{
    if (!c.options.keepHtml)
        return false;
    const std::string &name = c.tag.name;
    const size_t start = c.tag.start > 0 ? c.tag.start - 1 : 0;
    size_t end = c.scanIndex;
    if (!c.tag.selfClosing && !htmlsyntax::isVoidElement(name)) {
        end = elementEnd(c, name, c.scanIndex);
        if (end == std::string::npos)
            return false;
    }
    c.ignoredContext = false;
    if (block)
        c.requestBlockBreak();
    c.beginContent();
    c.writeHtml(c.html.data() + start, end - start, runsPastBlankLines(name));
    c.scanIndex = end;
    c.tag.copied = true;
    if (block)
        c.requestBlockBreak();
    return true;
}

bool copyHtmlBlock(Conversion &c)
{
    const size_t i = c.scanIndex;
    return atBlockStart(c) && i < c.html.size() && (c.html[i] == '\n' || c.html[i] == '\r') && copyElement(c, true);
}

namespace rules {

const TagRule keptInline{openKeptInline, closeKeptInline};
const TagRule keptBlock{openKeptBlockRule, closeKeptBlockRule};
const TagRule rawText{openRawText, nullptr};
const TagRule unknown{openUnknown, closeUnknown};

} // namespace rules

} // namespace html2md
