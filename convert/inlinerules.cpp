// The rules of inline elements: emphasis, code spans, links and images, and
// the stack of open inline elements they share.

#include "convert/inlinerules.h"

#include "convert/conversion.h"
#include "convert/htmlcopy.h"

#include <algorithm>
#include <cctype>
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


using Inline = InlineState::Inline;

// A marker written as text: a stray end tag.
void writeMarker(Conversion &c, std::string_view marker)
{
    if (c.inCodeOrIgnored())
        return;
    c.beginContent();
    c.appendText(marker);
    c.out.wrapPoint = std::string::npos;
}

void openInline(Conversion &c, char marker, size_t width)
{
    MarkdownWriter &out = c.out;
    c.beginContent();
    c.inlines.markerStart = out.text.size();
    out.text.append(width, marker);
    out.column += width;
    c.inlines.markerEnd = out.text.size();
    out.wrapPoint = std::string::npos;
    c.inlines.open.push_back(Inline{c.tag.name, marker, width});
}

void closeInline(Conversion &c, char marker, size_t width)
{
    // White space at the inner edge of a marker would stop it from closing:
    // it goes outside.
    MarkdownWriter &out = c.out;
    size_t end = out.text.size();
    while (end > out.lineStart && out.text[end - 1] == ' ')
        --end;
    const size_t removed = out.text.size() - end;
    out.text.resize(end);
    out.column = out.column > removed ? out.column - removed : 0;
    out.text.append(width, marker);
    out.column += width;
    if (removed > 0)
        out.append(" ", 1);
    c.inlines.markerEnd = std::string::npos;
    out.wrapPoint = std::string::npos;
}

void openEmphasis(Conversion &c, size_t width, char plain)
{
    if (c.inCodeOrIgnored() || copyHtmlBlock(c))
        return;
    if (hasForeignAttributes(c)) {
        c.beginContent();
        pushRawInline(c);
        return;
    }
    if (plain == '~') {
        openInline(c, '~', 2);
        return;
    }
    // Emphasis opening right after another takes the other character, or
    // the two would read as one run ("***" for strong around em).
    const std::vector<Inline> &open = c.inlines.open;
    const bool adjacent = c.out.text.size() == c.inlines.markerEnd
        && c.out.pendingBreak == MarkdownWriter::Break::None && !open.empty();
    openInline(c, adjacent && open.back().marker == '*' ? '_' : '*', width);
}

void closeEmphasis(Conversion &c, std::string_view plain)
{
    if (c.inCodeOrIgnored())
        return;
    if (!popRawInline(c))
        writeMarker(c, plain); // a stray end tag
}

void openBold(Conversion &c) { openEmphasis(c, 2, '*'); }
void closeBold(Conversion &c) { closeEmphasis(c, "**"); }
void openItalic(Conversion &c) { openEmphasis(c, 1, '*'); }
void closeItalic(Conversion &c) { closeEmphasis(c, "*"); }
void openStrikethrough(Conversion &c) { openEmphasis(c, 2, '~'); }
void closeStrikethrough(Conversion &c) { closeEmphasis(c, "~~"); }

// Markdown has no underline; it stays HTML.
void openUnderline(Conversion &c)
{
    if (c.inCodeOrIgnored() || copyHtmlBlock(c))
        return;
    c.beginContent();
    pushRawInline(c);
}

void closeUnderline(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    if (!popRawInline(c))
        writeMarker(c, "</u>");
}

// ---------------------------------------------------------------------------
// Code: a fence's info string, or a code span.

void openCode(Conversion &c)
{
    CodeState &code = c.code;
    if (code.inCode)
        return;
    code.tickRun = 0;
    if (!code.inPre) {
        if (hasForeignAttributes(c) && copyElement(c, false))
            return;
        c.beginContent();
        code.inCode = true;
        code.maxTickRun = 0;
        code.spanStart = c.out.text.size();
        return;
    }
    code.inCode = true;
    if (code.fenceBodyOpen)
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

void closeCode(Conversion &c)
{
    CodeState &code = c.code;
    MarkdownWriter &out = c.out;
    if (!code.inCode)
        return;
    code.inCode = false;
    if (code.inPre)
        return;
    // A code span: delimiters longer than any backtick run inside, padded
    // where the code starts or ends with a backtick or a space.
    const size_t start = std::min(code.spanStart, out.text.size());
    const std::string_view text = std::string_view(out.text).substr(start);
    if (text.empty())
        return;
    const std::string ticks(code.maxTickRun + 1, '`');
    const bool allSpaces = text.find_first_not_of(' ') == std::string_view::npos;
    const bool pad = text.front() == '`' || text.back() == '`' || (!allSpaces && text.front() == ' ' && text.back() == ' ');
    std::string open = ticks;
    if (pad)
        open += ' ';
    out.text.insert(start, open);
    if (out.lineStart > start)
        out.lineStart += open.size();
    out.column += open.size();
    if (pad)
        c.appendText(" ");
    c.appendText(ticks);
    out.wrapPoint = std::string::npos;
}

// ---------------------------------------------------------------------------
// Links and images

// The page's stand-in for "<a ... />", which its parser cannot keep.
void writeSelfClosingAnchor(Conversion &c)
{
    const size_t start = c.tag.start > 0 ? c.tag.start - 1 : 0;
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
    c.inlines.open.push_back(Inline{c.tag.name, 1, 0});
}

// "!" right before a link would make it an image.
void escapeExclamationBefore(MarkdownWriter &out)
{
    std::string &md = out.text;
    if (md.size() <= out.lineStart || md.back() != '!')
        return;
    size_t slashes = 0;
    while (md.size() - 1 - slashes > out.lineStart && md[md.size() - 2 - slashes] == '\\')
        ++slashes;
    if (slashes % 2 == 0) {
        md.insert(md.size() - 1, 1, '\\');
        ++out.column;
    }
}

void openAnchor(Conversion &c)
{
    if (c.code.inPre || c.code.inCode)
        return;
    c.beginContent();
    // Anchors without a target, and links with attributes Markdown cannot
    // say, stay HTML.
    if (c.options.keepHtml && c.tagText().find("data-veltrane-selfclosing") != std::string_view::npos) {
        writeSelfClosingAnchor(c);
        return;
    }
    if (linkNeedsHtml(c)) {
        pushRawInline(c);
        return;
    }
    escapeExclamationBefore(c.out);
    InlineState::Link link;
    link.title = c.attributeValue("title");
    link.href = c.attributeValue("href");
    c.appendText("[");
    link.textStart = c.out.text.size();
    link.htmlStart = c.scanIndex;
    link.tagStart = c.tag.start > 0 ? c.tag.start - 1 : 0;
    c.inlines.links.push_back(std::move(link));
    c.inlines.open.push_back(Inline{c.tag.name, '[', 0});
    ++c.inlines.anchorDepth;
}

void closeAnchor(Conversion &c)
{
    if (c.code.inPre || c.code.inCode)
        return;
    InlineState &inl = c.inlines;
    size_t k = inl.open.size();
    while (k > 0 && inl.open[k - 1].name != "a")
        --k;
    if (k == 0 || inl.open[k - 1].marker != '[') {
        popRawInline(c);
        return;
    }
    inl.open.erase(inl.open.begin() + static_cast<std::ptrdiff_t>(k - 1));
    if (inl.links.empty() || inl.anchorDepth == 0)
        return;
    const InlineState::Link link = std::move(inl.links.back());
    inl.links.pop_back();
    --inl.anchorDepth;
    MarkdownWriter &out = c.out;
    const size_t innerEnd = c.tag.start > 0 ? c.tag.start - 1 : 0;
    std::string text;
    if (link.title.empty() && link.htmlStart <= innerEnd
        && plainLinkText(std::string_view(c.html).substr(link.htmlStart, innerEnd - link.htmlStart), text)
        && isAutolink(text, link.href) && link.textStart <= out.text.size() && link.textStart > 0) {
        // Text equal to its target: an autolink, never escaped inside.
        out.text.resize(link.textStart - 1);
        out.text += '<';
        out.text += text;
        out.text += '>';
        out.column += 2;
        out.wrapPoint = std::string::npos;
        return;
    }
    c.appendText("](");
    c.appendText(destination(link.href));
    if (!link.title.empty())
        c.appendText(linkTitle(link.title));
    c.appendText(")");
    out.wrapPoint = std::string::npos;
}

void openImage(Conversion &c)
{
    if (c.code.inPre || c.code.inCode)
        return;
    c.beginContent();
    if (hasForeignAttributes(c, {"src", "alt", "title"})) {
        c.writeRawTag();
        c.tag.copied = c.tag.selfClosing;
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
    c.out.wrapPoint = std::string::npos;
}

} // namespace

void closeInlines(Conversion &c)
{
    // A link that never closed was HTML the renderer showed as it stands.
    // (A block with very many of them keeps the rest as they are: each one
    // moves the block's text.)
    InlineState &inl = c.inlines;
    MarkdownWriter &out = c.out;
    int patched = 0;
    for (size_t k = inl.open.size(); k > 0; --k) {
        if (inl.open[k - 1].marker != '[' || inl.links.empty())
            continue;
        const InlineState::Link link = std::move(inl.links.back());
        inl.links.pop_back();
        if (inl.anchorDepth > 0)
            --inl.anchorDepth;
        if (++patched > 64 || link.textStart == 0 || link.textStart > out.text.size() || link.htmlStart > c.html.size())
            continue;
        std::string tag = c.html.substr(link.tagStart, link.htmlStart - link.tagStart);
        std::replace(tag.begin(), tag.end(), '\n', ' ');
        out.text.replace(link.textStart - 1, 1, tag);
        out.column += tag.size() - 1;
        out.wrapPoint = std::string::npos;
    }
    inl.open.clear();
    inl.markerEnd = std::string::npos;
}

void pushRawInline(Conversion &c)
{
    c.writeRawTag();
    if (!c.tag.selfClosing)
        c.inlines.open.push_back(Inline{c.tag.name, 0, 0});
    c.tag.copied = c.tag.selfClosing;
}

bool popRawInline(Conversion &c)
{
    std::vector<Inline> &open = c.inlines.open;
    for (size_t k = open.size(); k > 0; --k) {
        if (open[k - 1].name != c.tag.name)
            continue;
        const Inline entry = open[k - 1];
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(k - 1));
        if (entry.marker == 1)
            return true; // the page's own element: nothing to write
        if (entry.marker != 0)
            closeInline(c, entry.marker, entry.width);
        else if (!c.tag.syntheticClose) {
            c.beginContent();
            c.writeRawTag();
        }
        return true;
    }
    return false;
}

namespace rules {

const TagRule bold{openBold, closeBold};
const TagRule italic{openItalic, closeItalic};
const TagRule strikethrough{openStrikethrough, closeStrikethrough};
const TagRule underline{openUnderline, closeUnderline};
const TagRule code{openCode, closeCode};
const TagRule anchor{openAnchor, closeAnchor};
const TagRule image{openImage, nullptr};

} // namespace rules

} // namespace html2md
