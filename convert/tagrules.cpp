#include "convert/tagrules.h"

#include "convert/markdowntext.h"
#include "convert/pipetable.h"

#include <algorithm>
#include <string_view>

namespace html2md {

namespace {

// A link or image target as Markdown reads it back: in angle brackets when
// it holds spaces or parentheses.
std::string destination(const std::string &target)
{
    bool angle = false;
    for (char c : target) {
        if (c == ' ' || c == '(' || c == ')' || c == '<' || c == '>' || static_cast<unsigned char>(c) < 0x20)
            angle = true;
    }
    std::string out;
    if (angle)
        out += '<';
    for (char c : target) {
        if (c == '\n' || c == '\r') {
            out += "%0A";
            continue;
        }
        if (c == '\\' || (angle && (c == '<' || c == '>')))
            out += '\\';
        out += c;
    }
    if (angle)
        out += '>';
    return out;
}

std::string linkTitle(const std::string &title)
{
    std::string out = " \"";
    for (char c : title) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// Alternative text is read as Markdown too: its syntax bytes are escaped.
std::string altText(const std::string &alt)
{
    std::string out;
    for (char c : alt) {
        if (c == '\n' || c == '\r') {
            out += ' ';
            continue;
        }
        switch (c) {
        case '\\': case '[': case ']': case '*': case '_': case '`': case '<': case '&': case '~': case '!':
            out += '\\';
            break;
        default:
            break;
        }
        out += c;
    }
    return out;
}

} // namespace

void Converter::writeMarker(const char *marker)
{
    if (inPre || inCode || ignoredContext)
        return;
    beginContent();
    appendText(marker, std::char_traits<char>::length(marker));
    lastSpace = std::string::npos;
}

void Converter::openEmphasis(size_t width, const char *plain)
{
    if (inPre || inCode || ignoredContext)
        return;
    if (copyHtmlBlock())
        return;
    if (hasForeignAttributes({})) {
        beginContent();
        pushRawInline();
        return;
    }
    if (*plain == '~') {
        openInline('~', 2);
        return;
    }
    // Emphasis opening right after another takes the other character, or
    // the two would read as one run ("***" for strong around em).
    const bool adjacent = markdown.size() == markerEnd && pendingBreak == Break::None && !inlines.empty();
    openInline(adjacent && inlines.back().marker == '*' ? '_' : '*', width);
}

void Converter::closeEmphasis(const char *plain)
{
    if (inPre || inCode || ignoredContext)
        return;
    if (!popRawInline())
        writeMarker(plain); // a stray end tag
}

void Converter::TagDiv::onOpeningTag(Converter &c)
{
    c.requestBreak(c.blockBreak());
}

void Converter::TagDiv::onClosingTag(Converter &c)
{
    c.requestBreak(c.blockBreak());
}

void Converter::TagSeparator::onOpeningTag(Converter &c)
{
    if (c.hasForeignAttributes({}) && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    c.beginContent();
    // In a list item "---" could read as a rule ending the list or an underline.
    c.appendText(c.containers.empty() || c.containers.back().quote ? "---" : "***");
    c.requestBreak(c.blockBreak());
}

void Converter::TagBreak::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode)
        return;
    if (c.inCell) {
        ++c.cellBreaks; // a cell cannot hold a line feed: written as <br> before its next text
        return;
    }
    if (c.inTable)
        return;
    if (c.markdown.empty() && !c.fresh)
        return;
    // Written when text follows: a break at the end of a block shows nothing.
    c.pendingHardBreak = true;
}

void Converter::TagOption::onClosingTag(Converter &c)
{
    if (!c.markdown.empty())
        c.pendingHardBreak = true;
}

void Converter::TagTitle::onOpeningTag(Converter &c)
{
    c.requestBreak(c.blockBreak());
    ++c.noWrap;
}

void Converter::TagTitle::onClosingTag(Converter &c)
{
    if (c.noWrap > 0)
        --c.noWrap;
    if (c.markdown.size() <= c.lineContentStart)
        return;
    // Underline the title's line: a level-one header.
    const size_t width = c.markdown.size() - c.lineContentStart;
    c.newLine();
    c.appendText(std::string(width, '='));
    c.requestBreak(Break::Blank);
}

void Converter::TagParagraph::onOpeningTag(Converter &c)
{
    if (c.hasForeignAttributes({}) && c.copyElement(true))
        return;
    if (!c.containers.empty() && !c.containers.back().quote) {
        // A paragraph in an item: the list is loose.
        c.containers.back().paragraph = true;
        if (!c.lists.empty())
            c.lists.back().loose = true;
    }
    c.requestBreak(c.blockBreak());
    ++c.textBlocks;
}

void Converter::TagParagraph::onClosingTag(Converter &c)
{
    c.closeInlines();
    if (c.textBlocks > 0)
        --c.textBlocks;
    c.requestBreak(c.blockBreak());
}

void Converter::TagBlockquote::onOpeningTag(Converter &c)
{
    if (c.hasForeignAttributes({}) && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    ++c.quoteDepth;
    c.openContainer(true, "> ");
}

void Converter::TagBlockquote::onClosingTag(Converter &c)
{
    c.closeInlines();
    if (c.quoteDepth > 0)
        --c.quoteDepth;
    c.closeContainer(true);
    c.requestBreak(c.blockBreak());
}

void Converter::TagOrderedList::onOpeningTag(Converter &c)
{
    if (c.inTable)
        return;
    if (c.hasForeignAttributes({"start"}) && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    ++c.listDepth;
    c.inList = true;
    c.inOrderedList = true;
    uint32_t start = 1;
    const std::string value = c.attributeValue("start");
    if (!value.empty() && value.size() <= 9 && std::all_of(value.begin(), value.end(), ::isdigit))
        start = static_cast<uint32_t>(std::stoul(value));
    char marker = c.options.orderedMarker;
    // A list right after another of its kind needs the other marker, or
    // the two would merge into one.
    if (c.listClosedAt == c.markdown.size() && c.closedListOrdered && c.closedListMarker == marker)
        marker = marker == ')' ? '.' : ')';
    c.lists.push_back(ListLevel{true, start, marker, false});
    c.itemCounter = start - 1;
}

void Converter::TagOrderedList::onClosingTag(Converter &c)
{
    c.closeList(true);
}

void Converter::TagUnorderedList::onOpeningTag(Converter &c)
{
    if (c.inTable)
        return;
    if (c.hasForeignAttributes({}) && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    ++c.listDepth;
    c.inList = true;
    c.inOrderedList = false;
    char marker = c.options.bulletMarker;
    if (c.listClosedAt == c.markdown.size() && !c.closedListOrdered && c.closedListMarker == marker)
        marker = marker == '*' ? '-' : '*';
    c.lists.push_back(ListLevel{false, 0, marker, false});
}

void Converter::TagUnorderedList::onClosingTag(Converter &c)
{
    c.closeList(false);
}

void Converter::closeList(bool ordered)
{
    if (inTable || lists.empty())
        return;
    // Remembered so that a list of the same kind right after this one gets the
    // other marker instead of merging into it.
    closedListOrdered = ordered;
    closedListMarker = lists.back().marker;
    lists.pop_back();
    listDepth = static_cast<uint8_t>(lists.size());
    inList = !lists.empty();
    inOrderedList = inList && lists.back().ordered;
    pendingBreak = Break::None;
    requestBreak(blockBreak());
    listClosedAt = markdown.size();
}

void Converter::TagListItem::onOpeningTag(Converter &c)
{
    if (c.inTable)
        return;
    c.closeInlines();
    if (c.lists.empty())
        c.lists.push_back(ListLevel{false, 0, c.options.bulletMarker, false});
    ListLevel &list = c.lists.back();
    c.requestBreak(list.loose ? Break::Blank : Break::Line);
    std::string marker;
    if (list.ordered) {
        marker = std::to_string(list.number++);
        marker += list.marker;
        c.itemCounter = list.number - 1;
    } else {
        marker = list.marker;
    }
    marker += ' ';
    c.openContainer(false, marker);
}

void Converter::TagListItem::onClosingTag(Converter &c)
{
    if (c.inTable)
        return;
    c.closeInlines();
    const bool loose = !c.containers.empty() && !c.containers.back().quote && c.containers.back().paragraph;
    c.closeContainer(false);
    c.requestBreak(loose ? Break::Blank : Break::Line);
}

void Converter::TagInput::onOpeningTag(Converter &c)
{
    // Only a checkbox at the start of a list item is a task marker.
    if (c.containers.empty() || c.containers.back().quote || !c.fresh || c.inTable)
        return;
    std::string type = c.attributeValue("type");
    std::transform(type.begin(), type.end(), type.begin(), ::tolower);
    if (type != "checkbox")
        return;
    c.beginContent();
    c.appendText(c.hasAttribute("checked") ? "[x] " : "[ ] ");
    c.lineContentStart = c.markdown.size();
    // The item's first block still follows without a break.
    c.fresh = true;
}

void Converter::TagPre::onOpeningTag(Converter &c)
{
    if (c.inPre)
        return;
    // A pre without a code element, or with attributes, was written as HTML.
    if (c.options.keepHtml && (c.hasForeignAttributes({}) || c.nextTagName() != "code") && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    c.beginContent();
    c.inPre = true;
    c.fenceStart = c.markdown.size();
    c.fenceBodyOpen = false;
    c.tickRun = 0;
    c.maxTickRun = 0;
    c.appendText("```", 3);
}

void Converter::TagPre::onClosingTag(Converter &c)
{
    if (!c.inPre)
        return;
    c.inPre = false;
    c.inCode = false;
    if (!c.fenceBodyOpen || c.markdown.size() != c.lineContentStart)
        c.newLine();
    // The fence is longer than any run of backticks in the code.
    const size_t ticks = std::max<size_t>(3, c.maxTickRun + 1);
    if (ticks > 3 && c.fenceStart <= c.markdown.size()) {
        c.markdown.insert(c.fenceStart, ticks - 3, '`');
        c.lineContentStart += ticks - 3;
    }
    c.appendText(std::string(ticks, '`'));
    c.requestBreak(c.blockBreak());
}

void Converter::TagCode::onOpeningTag(Converter &c)
{
    if (c.inCode)
        return;
    c.tickRun = 0;
    if (!c.inPre) {
        if (c.hasForeignAttributes({}) && c.copyElement(false))
            return;
        c.beginContent();
        c.inCode = true;
        c.maxTickRun = 0;
        c.codeStart = c.markdown.size();
        return;
    }
    c.inCode = true;
    if (c.fenceBodyOpen)
        return;
    // The info string of the fence: the class, without the renderer's
    // "language-" prefix.
    std::string info = c.attributeValue("class");
    static const std::string prefix = "language-";
    if (info.compare(0, prefix.size(), prefix) == 0)
        info.erase(0, prefix.size());
    for (char &ch : info) {
        if (ch == '\n' || ch == '\r' || ch == '`')
            ch = ' ';
    }
    c.appendText(info);
}

void Converter::TagCode::onClosingTag(Converter &c)
{
    if (!c.inCode)
        return;
    c.inCode = false;
    if (c.inPre)
        return;
    // A code span: delimiters longer than any backtick run inside, padded
    // where the code starts or ends with a backtick or a space.
    const size_t start = std::min(c.codeStart, c.markdown.size());
    const std::string_view code = std::string_view(c.markdown).substr(start);
    if (code.empty())
        return;
    const std::string ticks(c.maxTickRun + 1, '`');
    const bool allSpaces = code.find_first_not_of(' ') == std::string_view::npos;
    const bool pad = code.front() == '`' || code.back() == '`'
        || (!allSpaces && code.front() == ' ' && code.back() == ' ');
    std::string open = ticks;
    if (pad)
        open += ' ';
    c.markdown.insert(start, open);
    if (c.lineContentStart > start)
        c.lineContentStart += open.size();
    c.lineLength += open.size();
    if (pad)
        c.appendText(" ", 1);
    c.appendText(ticks);
    c.lastSpace = std::string::npos;
}

namespace {

// A link target as the renderer writes it from an autolink: bytes outside
// its safe set percent-encoded.
std::string rendererUrl(std::string_view text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || std::string_view("-_.!#$%&()*+,/:;=?@").find(ch) != std::string_view::npos) {
            out += ch;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

// Whether <text> renders as a link to href: an absolute URI or an address.
bool isAutolink(std::string_view text, const std::string &href)
{
    if (text.empty())
        return false;
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) <= ' ' || ch == '<' || ch == '>')
            return false;
    }
    size_t k = 0;
    while (k < text.size() && (std::isalnum(static_cast<unsigned char>(text[k])) || text[k] == '+'
                               || text[k] == '.' || text[k] == '-'))
        ++k;
    if (k >= 2 && k <= 32 && k < text.size() && text[k] == ':' && std::isalpha(static_cast<unsigned char>(text[0])))
        return rendererUrl(text) == href;
    return text.find('@') != std::string_view::npos && text.find(':') == std::string_view::npos
        && href.size() == text.size() + 7 && href.compare(0, 7, "mailto:") == 0 && href.compare(7, text.size(), text) == 0;
}

// The text of a link whose content is plain text, decoded; false otherwise.
bool plainLinkText(std::string_view inner, std::string &text)
{
    if (inner.find('<') != std::string_view::npos)
        return false;
    text.clear();
    for (size_t k = 0; k < inner.size();) {
        if (inner[k] == '&') {
            static constexpr std::pair<std::string_view, char> named[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
            bool found = false;
            for (const auto &entity : named) {
                if (inner.compare(k, entity.first.size(), entity.first) == 0) {
                    text += entity.second;
                    k += entity.first.size();
                    found = true;
                    break;
                }
            }
            if (found)
                continue;
            if (inner.substr(k, 2) == "&#")
                return false;
        }
        text += inner[k++];
    }
    return true;
}

} // namespace

void Converter::TagAnchor::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode)
        return;
    c.beginContent();
    // Anchors without a target, and links with attributes Markdown cannot
    // say, stay HTML.
    const std::string_view tagText = std::string_view(c.html).substr(c.tagStart, c.scanIndex - c.tagStart);
    if (c.options.keepHtml && tagText.find("data-veltrane-selfclosing") != std::string_view::npos) {
        // The page's stand-in for "<a ... />", which its parser cannot keep.
        const size_t start = c.tagStart > 0 ? c.tagStart - 1 : 0;
        std::string tag = c.html.substr(start, c.scanIndex - start);
        const size_t mark = tag.find(" data-veltrane-selfclosing");
        if (mark != std::string::npos) {
            size_t end = mark + 26;
            if (tag.compare(end, 3, "=\"\"") == 0)
                end += 3;
            tag.erase(mark, end - mark);
        }
        if (!tag.empty() && tag.back() == '>')
            tag.replace(tag.size() - 1, 1, " />");
        c.appendText(tag);
        c.inlines.push_back(Inline{c.currentTag, 1, 0});
        return;
    }
    if (c.linkNeedsHtml()) {
        c.pushRawInline();
        return;
    }
    // "!" right before a link would make it an image.
    std::string &md = c.markdown;
    if (md.size() > c.lineContentStart && md.back() == '!') {
        size_t slashes = 0;
        while (md.size() - 1 - slashes > c.lineContentStart && md[md.size() - 2 - slashes] == '\\')
            ++slashes;
        if (slashes % 2 == 0) {
            md.insert(md.size() - 1, 1, '\\');
            ++c.lineLength;
        }
    }
    Converter::Link link;
    link.title = c.attributeValue("title");
    link.href = c.attributeValue("href");
    c.appendText("[", 1);
    link.textStart = md.size();
    link.htmlStart = c.scanIndex;
    link.tagStart = c.tagStart > 0 ? c.tagStart - 1 : 0;
    c.links.push_back(std::move(link));
    c.inlines.push_back(Inline{c.currentTag, '[', 0});
    ++c.anchorDepth;
}

void Converter::TagAnchor::onClosingTag(Converter &c)
{
    if (c.inPre || c.inCode)
        return;
    size_t k = c.inlines.size();
    while (k > 0 && c.inlines[k - 1].name != "a")
        --k;
    if (k == 0 || c.inlines[k - 1].marker != '[') {
        c.popRawInline();
        return;
    }
    c.inlines.erase(c.inlines.begin() + static_cast<std::ptrdiff_t>(k - 1));
    if (c.links.empty() || c.anchorDepth == 0)
        return;
    const Link link = std::move(c.links.back());
    c.links.pop_back();
    --c.anchorDepth;
    const size_t innerEnd = c.tagStart > 0 ? c.tagStart - 1 : 0;
    std::string text;
    if (link.title.empty() && link.htmlStart <= innerEnd
        && plainLinkText(std::string_view(c.html).substr(link.htmlStart, innerEnd - link.htmlStart), text)
        && isAutolink(text, link.href) && link.textStart <= c.markdown.size() && link.textStart > 0) {
        // Text equal to its target: an autolink, never escaped inside.
        c.markdown.resize(link.textStart - 1);
        c.markdown += '<';
        c.markdown += text;
        c.markdown += '>';
        c.lineLength += 2;
        c.lastSpace = std::string::npos;
        return;
    }
    c.appendText("](", 2);
    c.appendText(destination(link.href));
    if (!link.title.empty())
        c.appendText(linkTitle(link.title));
    c.appendText(")", 1);
    c.lastSpace = std::string::npos;
}

void Converter::TagImage::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode)
        return;
    c.beginContent();
    if (c.hasForeignAttributes({"src", "alt", "title"})) {
        c.writeRawTag();
        c.elementCopied = c.isSelfClosingTag;
        return;
    }
    std::string image = "![";
    image += altText(c.attributeValue("alt"));
    image += "](";
    image += destination(c.attributeValue("src"));
    const std::string title = c.attributeValue("title");
    if (!title.empty())
        image += linkTitle(title);
    image += ')';
    c.appendText(image);
    c.lastSpace = std::string::npos;
}

void Converter::TagImage::onClosingTag(Converter &)
{
}

void Converter::TagHeader::open(Converter &c, int level)
{
    if (c.hasForeignAttributes({}) && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    c.beginContent();
    c.appendText(std::string(static_cast<size_t>(level), '#'));
    c.appendText(" ", 1);
    c.lineContentStart = c.markdown.size();
    ++c.noWrap;
    ++c.textBlocks;
}

void Converter::TagHeader::onClosingTag(Converter &c)
{
    c.closeInlines();
    if (c.noWrap > 0)
        --c.noWrap;
    if (c.textBlocks > 0)
        --c.textBlocks;
    c.pendingHardBreak = false;
    c.trimLineEnd();
    std::string &md = c.markdown;
    // A header ending in hashes after a space would lose them as a closing sequence.
    size_t run = md.size();
    while (run > c.lineContentStart && md[run - 1] == '#')
        --run;
    if (run < md.size() && (run == c.lineContentStart || md[run - 1] == ' '))
        md.insert(run, 1, '\\');
    if (md.size() == c.lineContentStart && !md.empty() && md.back() == ' ')
        md.pop_back(); // an empty header
    c.requestBreak(c.blockBreak());
}

void Converter::TagKeptInline::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext)
        return;
    // A summary shares its line with the details tag: an HTML block, so
    // its content is HTML too.
    if ((c.currentTag == "summary" && c.copyElement(false)) || c.copyHtmlBlock())
        return;
    c.beginContent();
    c.pushRawInline();
}

void Converter::TagKeptInline::onClosingTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext)
        return;
    if (!c.popRawInline() && !c.syntheticClose) {
        c.beginContent();
        c.appendText("</" + c.currentTag + ">");
    }
}

void Converter::TagKeptBlock::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext)
        return;
    if (!c.options.keepHtml || c.inTable) {
        c.requestBreak(c.blockBreak());
        return;
    }
    c.openKeptBlock();
}

void Converter::TagKeptBlock::onClosingTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext || c.syntheticClose)
        return;
    if (!c.options.keepHtml || c.inTable) {
        c.requestBreak(c.blockBreak());
        return;
    }
    c.closeKeptBlock();
}

void Converter::TagRawText::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode)
        return;
    c.copyElement(c.atBlockStart());
}

void Converter::TagUnknown::onOpeningTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext)
        return;
    if (c.currentTag == "span") {
        // The page's search marks are not the document's.
        const std::string cls = c.attributeValue("class");
        if ((cls == "search-hit" || cls == "search-select") && !c.hasForeignAttributes({"class"})) {
            c.inlines.push_back(Inline{c.currentTag, 1, 0});
            return;
        }
    }
    if (c.atBlockStart() && c.copyElement(true))
        return;
    c.beginContent();
    c.pushRawInline();
}

void Converter::TagUnknown::onClosingTag(Converter &c)
{
    if (c.inPre || c.inCode || c.ignoredContext || c.syntheticClose)
        return;
    // An element the browser closed at its parent's end was never closed
    // in the document: its end tag stays out.
    if (c.currentTag != "span" && c.html.compare(c.scanIndex, 2, "</") == 0) {
        for (size_t k = c.inlines.size(); k > 0; --k) {
            if (c.inlines[k - 1].name == c.currentTag && c.inlines[k - 1].marker == 0) {
                c.inlines.erase(c.inlines.begin() + static_cast<std::ptrdiff_t>(k - 1));
                return;
            }
        }
    }
    if (!c.popRawInline()) {
        c.beginContent();
        c.writeRawTag();
    }
}

void Converter::TagTable::onOpeningTag(Converter &c)
{
    // Without a header row, or with attributes, the table was written as HTML.
    if (c.options.keepHtml && !c.inTable && (c.hasForeignAttributes({}) || c.nextTagName() != "thead")
        && c.copyElement(true))
        return;
    c.requestBreak(c.blockBreak());
    c.beginContent();
    c.inTable = true;
    c.tableStart = c.markdown.size();
    ++c.openTables;
}

void Converter::TagTable::onClosingTag(Converter &c)
{
    // Only a table that is open gets formatted; a stray or repeated closing
    // tag must not turn the text after the last table into table rows.
    if (c.openTables == 0)
        return;
    --c.openTables;
    c.inTable = c.openTables > 0;
    c.inCell = false;
    // The start can lie beyond the end when a rule took bytes back since.
    const size_t start = std::min(c.tableStart, c.markdown.size());
    std::string rows = c.markdown.substr(start);
    c.markdown.resize(start);
    c.lineContentStart = std::min(c.lineContentStart, start);
    if (c.options.alignTables)
        rows = formatPipeTable(rows);
    while (!rows.empty() && rows.back() == '\n')
        rows.pop_back();
    // Rows inside quotes and list items carry their prefix.
    std::string out;
    out.reserve(rows.size());
    for (char ch : rows) {
        out += ch;
        if (ch == '\n')
            out += c.prefix;
    }
    c.appendText(out);
    size_t lineStart = c.markdown.rfind('\n');
    c.lineContentStart = lineStart == std::string::npos ? 0 : lineStart + 1 + c.prefix.size();
    c.lineContentStart = std::min(c.lineContentStart, c.markdown.size());
    c.lastSpace = std::string::npos;
    // An enclosing table formats only what follows this one.
    c.tableStart = c.markdown.size();
    c.requestBreak(c.blockBreak());
}

void Converter::TagTableRow::onOpeningTag(Converter &c)
{
    if (c.inTable && c.markdown.size() > c.tableStart)
        c.appendChar('\n');
}

void Converter::TagTableRow::onClosingTag(Converter &c)
{
    if (!c.inTable)
        return;
    c.inCell = false;
    c.syncLastChars();
    if (c.lastChar != '|' && c.markdown.size() > c.tableStart)
        c.appendText("|", 1);
    if (!c.alignmentRow.empty()) {
        // The delimiter row follows the first row that had header cells.
        c.appendChar('\n');
        c.alignmentRow += "|";
        c.appendText(c.alignmentRow);
        c.alignmentRow.clear();
    }
}

void Converter::closeInlines()
{
    // At a block's end nothing inline stays open. A link that never closed
    // was HTML the renderer showed as it stands.
    // (A block with very many of them keeps the rest as they are: each one
    // moves the block's text.)
    int patched = 0;
    for (size_t k = inlines.size(); k > 0; --k) {
        if (inlines[k - 1].marker != '[' || links.empty())
            continue;
        if (++patched > 64) {
            links.pop_back();
            if (anchorDepth > 0)
                --anchorDepth;
            continue;
        }
        const Link link = std::move(links.back());
        links.pop_back();
        if (anchorDepth > 0)
            --anchorDepth;
        if (link.textStart == 0 || link.textStart > markdown.size() || link.htmlStart > html.size())
            continue;
        std::string tag = html.substr(link.tagStart, link.htmlStart - link.tagStart);
        std::replace(tag.begin(), tag.end(), '\n', ' ');
        markdown.replace(link.textStart - 1, 1, tag);
        lineLength += tag.size() - 1;
        lastSpace = std::string::npos;
    }
    inlines.clear();
    markerEnd = std::string::npos;
}

void Converter::openCell()
{
    closeInlines();
    appendText("| ", 2);
    inCell = true;
    lineContentStart = cellStart = markdown.size();
    pendingBreak = Break::None;
    pendingHardBreak = false;
    cellBreaks = 0;
}

void Converter::TagTableHeader::onOpeningTag(Converter &c)
{
    if (!c.inTable)
        return;
    std::string align = c.attributeValue("align");
    if (align.empty()) {
        const std::string style = c.attributeValue("style");
        for (const char *a : {"left", "center", "right"}) {
            if (style.find(std::string("text-align: ") + a) != std::string::npos
                || style.find(std::string("text-align:") + a) != std::string::npos)
                align = a;
        }
    }
    const bool left = align == "left" || align == "center";
    const bool right = align == "right" || align == "center";
    c.alignmentRow += left ? "| :-" : "| -";
    c.alignmentRow += right ? ": " : " ";
    c.openCell();
}

void Converter::TagTableHeader::onClosingTag(Converter &c)
{
    c.closeInlines();
    if (c.inTable)
        c.appendText(" ", 1);
    c.inCell = false;
}

void Converter::TagTableData::onOpeningTag(Converter &c)
{
    if (!c.inTable)
        return;
    c.openCell();
}

void Converter::TagTableData::onClosingTag(Converter &c)
{
    c.closeInlines();
    if (c.inTable)
        c.appendText(" ", 1);
    c.inCell = false;
}

} // namespace html2md
