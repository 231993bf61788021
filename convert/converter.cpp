#include "convert/converter.h"

#include "convert/markdowntext.h"
#include "convert/tagrules.h"

#include <algorithm>
#include <cstring>

namespace html2md {

namespace {

inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline char toLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool isAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Letters, digits and every non-ASCII byte: what keeps an underscore inside a word.
inline bool isWordByte(char c)
{
    return isAsciiAlpha(c) || isDigit(c) || static_cast<unsigned char>(c) >= 0x80;
}

inline bool isAsciiPunct(char c)
{
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`')
        || (c >= '{' && c <= '~');
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
// meaning to the tag reader and whitespace.
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

// Whether data[i] (an "&") starts something the renderer reads as a
// character reference: "&", a name or "#" and digits, then ";".
bool looksLikeEntity(const char *data, size_t i, size_t end)
{
    size_t k = i + 1;
    while (k < end && k < i + 33 && (isAsciiAlpha(data[k]) || isDigit(data[k]) || data[k] == '#'))
        ++k;
    return k > i + 1 && k < end && data[k] == ';';
}

// Whether the text from data[i] (just after "]:" of a line that starts with
// "[") would make that line a link definition: a destination, then the line's
// end or something that may be a title. Anything else after the destination
// ("[^1]: A longer note.") keeps the line text, and its bracket need not be
// escaped. Markup that is not a line break counts as more text.
bool definitionFollows(const char *data, size_t i, size_t end)
{
    const auto lineEnds = [&](size_t k) {
        return k >= end || data[k] == '\n'
            || (data[k] == '<' && (k + 1 >= end || data[k + 1] == '/'
                                   || (k + 3 <= end && (data[k + 1] == 'b' || data[k + 1] == 'B')
                                       && (data[k + 2] == 'r' || data[k + 2] == 'R'))));
    };
    while (i < end && data[i] == ' ')
        ++i;
    if (lineEnds(i))
        return true; // the destination may follow on the next line
    while (i < end && data[i] != ' ' && data[i] != '\n' && data[i] != '<')
        ++i;
    while (i < end && data[i] == ' ')
        ++i;
    return lineEnds(i) || data[i] == '"' || data[i] == '\'' || data[i] == '(' || data[i] == '&';
}

// Bytes that may start a wrapped line without being read as syntax.
inline bool safeLineStart(char c)
{
    switch (c) {
    case '#': case '>': case '-': case '+': case '=': case '*': case '_': case '~':
    case '|': case '<': case '[': case '!': case '`': case '\\': case ':': case ' ':
    case '\t': case '\n':
        return false;
    default:
        return !isDigit(c);
    }
}

} // namespace

Converter::Converter(const std::string &html, const ConverterOptions *options)
    : html(html)
{
    if (options)
        this->options = *options;
    initialize();
}

Converter::Converter(std::string &&html, const ConverterOptions *options)
    : html(std::move(html))
{
    if (options)
        this->options = *options;
    initialize();
}

void Converter::initialize()
{
    lookaheadBudget = 4 * html.size() + 4096;
    markdown.reserve(static_cast<size_t>(static_cast<double>(html.size()) * 0.8));
    static const TagRules keeping = buildTagTable(true);
    static const TagRules plain = buildTagTable(false);
    tagTable = options.keepHtml ? &keeping : &plain;
}

Converter::TagRules Converter::buildTagTable(bool keepHtml)
{
    TagRules tagTable;
    const std::shared_ptr<Tag> ignored = std::make_shared<TagIgnored>();
    for (const char *name : {"head", "meta", "nav", "noscript", "script", "style", "template"})
        tagTable[name] = ignored;
    tagTable["a"] = std::make_shared<TagAnchor>();
    tagTable["br"] = std::make_shared<TagBreak>();
    tagTable["div"] = std::make_shared<TagDiv>();
    tagTable["h1"] = std::make_shared<TagHeader1>();
    tagTable["h2"] = std::make_shared<TagHeader2>();
    tagTable["h3"] = std::make_shared<TagHeader3>();
    tagTable["h4"] = std::make_shared<TagHeader4>();
    tagTable["h5"] = std::make_shared<TagHeader5>();
    tagTable["h6"] = std::make_shared<TagHeader6>();
    tagTable["li"] = std::make_shared<TagListItem>();
    tagTable["option"] = std::make_shared<TagOption>();
    tagTable["ol"] = std::make_shared<TagOrderedList>();
    tagTable["pre"] = std::make_shared<TagPre>();
    tagTable["code"] = std::make_shared<TagCode>();
    tagTable["p"] = std::make_shared<TagParagraph>();
    tagTable["span"] = std::make_shared<TagSpan>();
    tagTable["ul"] = std::make_shared<TagUnorderedList>();
    tagTable["title"] = std::make_shared<TagTitle>();
    tagTable["img"] = std::make_shared<TagImage>();
    tagTable["hr"] = std::make_shared<TagSeparator>();
    const std::shared_ptr<Tag> bold = std::make_shared<TagBold>();
    tagTable["b"] = bold;
    tagTable["strong"] = bold;
    const std::shared_ptr<Tag> italic = std::make_shared<TagItalic>();
    for (const char *name : {"em", "i", "dfn", "cite"})
        tagTable[name] = italic;
    tagTable["u"] = std::make_shared<TagUnderline>();
    const std::shared_ptr<Tag> strike = std::make_shared<TagStrikethrough>();
    for (const char *name : {"del", "s", "strike"})
        tagTable[name] = strike;
    tagTable["blockquote"] = std::make_shared<TagBlockquote>();
    tagTable["table"] = std::make_shared<TagTable>();
    tagTable["tr"] = std::make_shared<TagTableRow>();
    tagTable["th"] = std::make_shared<TagTableHeader>();
    tagTable["td"] = std::make_shared<TagTableData>();
    const std::shared_ptr<Tag> keptInline = std::make_shared<TagKeptInline>();
    for (const char *name : {"kbd", "sup", "sub", "mark", "ins", "abbr", "small", "var", "samp", "summary"})
        tagTable[name] = keptInline;
    tagTable["details"] = std::make_shared<TagKeptBlock>();
    tagTable["input"] = std::make_shared<TagInput>();
    tagTable[std::string()] = std::make_shared<TagUnknown>();
    if (keepHtml) {
        const std::shared_ptr<Tag> rawText = std::make_shared<TagRawText>();
        for (const char *name : {"style", "script", "textarea"})
            tagTable[name] = rawText;
        const std::shared_ptr<Tag> block = tagTable["details"];
        for (const char *name : {"div", "section", "article", "aside", "header", "footer", "main", "figure",
                                 "figcaption", "center", "address", "dl", "fieldset", "form", "dialog",
                                 "menu", "nav", "hgroup", "search"})
            tagTable[name] = block;
        tagTable.erase("span");
        // Table sections are implied by the pipe table's rows.
        const std::shared_ptr<Tag> section = std::make_shared<TagSpan>();
        for (const char *name : {"thead", "tbody", "tfoot", "html", "body"})
            tagTable[name] = section;
    }
    return tagTable;
}

std::string Converter::convert() &
{
    if (scanIndex != html.size())
        scan();
    return markdown;
}

std::string Converter::convert() &&
{
    if (scanIndex != html.size())
        scan();
    return std::move(markdown);
}

void Converter::scan()
{
    markdown.clear();
    lastChar = 0;
    secondLastChar = 0;
    scanIndex = 0;
    cleanFrom = 0;
    cleanEnd = 0;

    const char *data = html.data();
    const size_t size = html.size();
    while (scanIndex < size) {
        if (inTag) {
            // Ordinary bytes of a tag go straight into its stored text.
            for (;;) {
                const char b = data[scanIndex++];
                if (!tagBytes.ordinary[static_cast<unsigned char>(b)]) {
                    readTagChar(b);
                    break;
                }
                const char lower = toLower(b);
                skipTagSpace = false;
                tagLastNonSpace = lower;
                currentTag.push_back(lower);
                if (scanIndex == size)
                    break;
            }
        } else if (data[scanIndex] == '<') {
            if (size - scanIndex >= 4 && data[scanIndex + 1] == '!' && data[scanIndex + 2] == '-'
                && data[scanIndex + 3] == '-' && !inCode && !inPre) {
                readComment("-->", 4);
                continue;
            }
            if (options.keepHtml && size - scanIndex >= 2 && data[scanIndex + 1] == '?' && !inCode && !inPre) {
                readComment("?>", 2);
                continue;
            }
            ++scanIndex;
            startTag();
        } else {
            readText();
        }
    }
    if (inTag && options.keepHtml && tagStart > 0) {
        // A tag that never ends is text the renderer showed as it stands.
        inTag = false;
        ignoredContext = false;
        requestBreak(blockBreak());
        beginContent();
        writeHtml(data + tagStart - 1, size - tagStart + 1, false);
    }
    closeInlines();

    cleanUp();
}

void Converter::syncLastChars()
{
    const size_t size = markdown.size();
    lastChar = size > 0 ? markdown[size - 1] : 0;
    secondLastChar = size > 1 ? markdown[size - 2] : 0;
}

void Converter::startTag()
{
    tagStart = scanIndex;
    inTag = true;
    isClosingTag = false;
    previousTag.swap(currentTag);
    currentTag.clear();
    tagLastNonSpace = 0;
    inAttributeValue = false;
    elementCopied = false;
    ignoredContext = afterLinkTag = noWrapTag = inParagraphTag = false;
    syncLastChars();
}

void Converter::readTagChar(char b)
{
    // Attribute values are read by their quotes, both kinds: a ">" or a "/"
    // inside one belongs to the value (browsers write ">" unescaped there).
    if (inAttributeValue) {
        if (b == quoteChar) {
            inAttributeValue = false;
            return;
        }
        currentTag.push_back(toLower(b));
        return;
    }
    if (b == '/') {
        skipTagSpace = true;
        if (currentTag.empty()) {
            isClosingTag = true;
            isSelfClosingTag = false;
        } else {
            isSelfClosingTag = true;
            isClosingTag = false;
        }
        return;
    }
    if (b == '>') {
        size_t end = currentTag.size();
        while (end > 0 && isSpace(currentTag[end - 1]))
            --end;
        currentTag.resize(end);
        skipTagSpace = true;
        if (isSelfClosingTag) {
            finishTag();
            isSelfClosingTag = false;
            if (!elementCopied) {
                isClosingTag = true;
                syntheticClose = true;
                finishTag();
                syntheticClose = false;
            }
        } else {
            finishTag();
        }
        return;
    }
    if (b == '"' || b == '\'') {
        if (tagLastNonSpace == '=') {
            inAttributeValue = true;
            quoteChar = b;
            skipTagSpace = false;
            return;
        }
    }
    if (isSpace(b)) {
        if (skipTagSpace)
            return;
    } else {
        tagLastNonSpace = toLower(b);
    }
    skipTagSpace = false;
    currentTag.push_back(toLower(b));
}

void Converter::finishTag()
{
    inTag = false;
    syncLastChars();

    if (!isClosingTag && !options.keepHtml && isHiddenTag()) {
        // Hidden element of a pasted page: only its opening tag is dropped.
        updateContext();
        return;
    }

    const char *name = currentTag.data();
    size_t nameEnd = 0;
    while (nameEnd < currentTag.size() && static_cast<unsigned char>(name[nameEnd]) > ' ')
        ++nameEnd;
    currentTag.resize(nameEnd);
    updateContext();

    auto rule = tagTable->find(currentTag);
    if (rule == tagTable->end()) {
        // Elements Markdown has no rule for are kept as written.
        if (!options.keepHtml || currentTag.empty() || !isAsciiAlpha(currentTag[0]))
            return;
        rule = tagTable->find(std::string());
    }
    if (isClosingTag) {
        isClosingTag = false;
        rule->second->onClosingTag(*this);
    } else {
        rule->second->onOpeningTag(*this);
    }
}

void Converter::updateContext()
{
    // Called for every tag: the first byte picks the few names that matter.
    const std::string_view tag = currentTag;
    ignoredContext = afterLinkTag = noWrapTag = inParagraphTag = false;
    if (tag.empty())
        return;
    switch (tag[0]) {
    case '-':
        ignoredContext = true;
        break;
    case 't':
        ignoredContext = (tag == "title" && !options.keepTitle) || tag == "template";
        break;
    case 'n':
        ignoredContext = tag == "noscript" || (!options.keepHtml && tag == "nav");
        break;
    case 's':
        ignoredContext = !options.keepHtml && (tag == "style" || tag == "script");
        break;
    case 'l':
        afterLinkTag = !options.keepHtml && tag == "link";
        break;
    case 'i':
        noWrapTag = tag == "img";
        break;
    case 'a':
        noWrapTag = tag.size() == 1;
        break;
    case 'p':
        inParagraphTag = tag.size() == 1;
        break;
    default:
        break;
    }
}

bool Converter::isHiddenTag() const
{
    // Every marker has a colon; most tags have none.
    static constexpr std::string_view markers[] = {"display:none", "visibility:hidden", "opacity:0"};
    const std::string_view tag = currentTag;
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

void Converter::readComment(const char *terminator, size_t skip)
{
    // Comments and processing instructions are kept as they stand: they have
    // no Markdown form and the renderer passes them through.
    const char *data = html.data();
    const size_t size = html.size();
    const size_t start = scanIndex;
    size_t end = html.find(terminator, start + skip);
    end = end == std::string::npos ? size : end + std::strlen(terminator);
    scanIndex = end;
    if (ignoredContext || (inTable && !inCell) || !options.keepHtml)
        return;
    if (inCell) {
        // A cell holds one line.
        beginContent();
        for (size_t k = start; k < end; ++k)
            markdown.push_back(data[k] == '\n' || data[k] == '\r' ? ' ' : data[k]);
        lineLength += end - start;
        return;
    }
    const bool block = atBlockStart();
    if (block)
        requestBreak(blockBreak());
    beginContent();
    writeVerbatim(data + start, end - start);
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
        writeVerbatim(data + end, lineEnd - end);
        scanIndex = lineEnd;
    }
    requestBreak(blockBreak());
}

void Converter::breakVerbatimLine()
{
    // A cell cannot hold a line feed; elsewhere the new line keeps the
    // containers' prefix so the text stays inside them.
    if (inTable) {
        markdown.push_back(' ');
        return;
    }
    markdown.push_back('\n');
    markdown.append(prefix);
    lineLength = prefix.size();
    lineContentStart = markdown.size();
}

void Converter::writeVerbatim(const char *text, size_t size)
{
    // Line feeds keep the prefix of the containers, so the text stays inside them.
    while (size > 0) {
        const void *nl = std::memchr(text, '\n', size);
        const size_t stop = nl ? static_cast<size_t>(static_cast<const char *>(nl) - text) : size;
        markdown.append(text, stop);
        lineLength += stop;
        if (!nl)
            break;
        breakVerbatimLine();
        text += stop + 1;
        size -= stop + 1;
    }
    lastSpace = std::string::npos;
}

void Converter::readCodeText(const char *data, size_t i, size_t end)
{
    std::string decoded;
    if (inPre && !fenceBodyOpen) {
        // The code starts on the line after the opening fence.
        fenceBodyOpen = true;
        newLine();
    }
    while (i < end) {
        size_t j = i;
        while (j < end && data[j] != '&' && data[j] != '\n' && data[j] != '`'
               && !(inCell && data[j] == '|'))
            ++j;
        if (j > i) {
            markdown.append(data + i, j - i);
            lineLength += j - i;
            tickRun = 0;
            i = j;
            continue;
        }
        const char b = data[i];
        if (b == '&') {
            decoded.clear();
            const size_t used = decodeEntity(data, i, end, decoded);
            if (used) {
                for (char c : decoded) {
                    if (c == '`')
                        maxTickRun = std::max(maxTickRun, ++tickRun);
                    else
                        tickRun = 0;
                }
                if (inCell && decoded == "|")
                    markdown.push_back('\\');
                markdown.append(decoded);
                lineLength += decoded.size();
                i += used;
                continue;
            }
            markdown.push_back('&');
            ++lineLength;
            tickRun = 0;
        } else if (b == '`') {
            markdown.push_back('`');
            ++lineLength;
            maxTickRun = std::max(maxTickRun, ++tickRun);
        } else if (b == '|') {
            // A pipe in a cell must not split it; the renderer keeps a
            // backslash already there as part of the code.
            if (markdown.empty() || markdown.back() != '\\')
                markdown.push_back('\\');
            markdown.push_back('|');
            lineLength += 2;
            tickRun = 0;
        } else if (inPre) {
            tickRun = 0;
            breakVerbatimLine();
        } else {
            // A line feed in a code span reads as a space.
            markdown.push_back(' ');
            ++lineLength;
            tickRun = 0;
        }
        ++i;
    }
}

void Converter::readText()
{
    const char *data = html.data();
    const size_t size = html.size();
    size_t i = scanIndex;

    if (inCode || inPre || ignoredContext || afterLinkTag) {
        const void *lt = std::memchr(data + i, '<', size - i);
        const size_t end = lt ? static_cast<size_t>(static_cast<const char *>(lt) - data) : size;
        scanIndex = end;
        if (ignoredContext || afterLinkTag)
            return;
        if (!inPre)
            beginContent();
        readCodeText(data, i, end);
        return;
    }
    if (inTable && !inCell) {
        // Only cells hold text; the white space between rows is layout.
        const void *lt = std::memchr(data + i, '<', size - i);
        scanIndex = lt ? static_cast<size_t>(static_cast<const char *>(lt) - data) : size;
        return;
    }

    const bool wrap = options.wrapLines && !inTable && noWrap == 0;
    const size_t soft = static_cast<size_t>(options.softWrapColumn);
    const size_t hard = static_cast<size_t>(options.hardWrapColumn);
    std::string decoded;
    for (;;) {
        if (i == size || data[i] == '<')
            break;
        char b = data[i];
        const bool whitespace = isSpace(b);
        if (whitespace) {
            // HTML white space: one space between words, none at a line start.
            ++i;
            while (i < size && isSpace(data[i]))
                ++i;
            if (fresh || pendingBreak != Break::None || markdown.size() == lineContentStart
                || markdown.empty() || pendingHardBreak)
                continue;
            const char last = markdown.back();
            if (last == ' ' || last == '\n')
                continue;
            if (markdown.size() == markerEnd) {
                // Not inside the marker, where it would stop it from opening.
                if (markerStart > lineContentStart && markdown[markerStart - 1] != ' ') {
                    markdown.insert(markerStart, 1, ' ');
                    ++markerStart;
                    ++markerEnd;
                    ++lineLength;
                }
                continue;
            }
            if (wrap && lineLength >= soft && i < size && safeLineStart(data[i])) {
                newLine();
                lastSpace = std::string::npos;
                continue;
            }
            lastSpace = markdown.size();
            markdown.push_back(' ');
            ++lineLength;
            continue;
        }
        if (b == '&' && html.compare(i, 6, "&nbsp;") == 0
            && (fresh || pendingBreak != Break::None || pendingHardBreak || markdown.size() == lineContentStart)) {
            // The page's placeholder in an empty block, or a space at a line start.
            i += 6;
            continue;
        }
        beginContent();
        const bool lineStart = markdown.size() == lineContentStart;
        if (!lineStart) {
            // Copy a run of plain bytes at once, as far as no wrap test can fire.
            size_t limit = size;
            if (wrap)
                limit = lineLength < soft ? std::min(size, i + (soft - lineLength)) : i;
            size_t j = i;
            while (j < limit && plainBytes.plain[static_cast<unsigned char>(data[j])])
                ++j;
            if (j > i) {
                const size_t at = markdown.size();
                markdown.append(data + i, j - i);
                lineLength += j - i;
                if (wrap) {
                    const void *sp = memrchr(data + i, ' ', j - i);
                    if (sp)
                        lastSpace = at + static_cast<size_t>(static_cast<const char *>(sp) - (data + i));
                }
                i = j;
                continue;
            }
        }

        size_t next = i + 1; // the byte after this character in the HTML
        if (b == '&') {
            decoded.clear();
            const size_t used = decodeEntity(data, i, size, decoded);
            if (used == 0) {
                // Not one the editor decodes: it shows as that entity, and
                // so it renders from the Markdown.
                markdown.push_back('&');
                ++lineLength;
                ++i;
                continue;
            }
            next = i + used;
            if (decoded == "\xC2\xA0") {
                // A no-break space between two words is the writer's; next to
                // a space, a tag or a line end it is the page's typed space.
                const bool between = !lineStart && markdown.back() != ' ' && next < size
                    && !isSpace(data[next])
                    && (data[next] != '<'
                        || (next + 3 < size && data[next + 1] != '/' && html.compare(next, 3, "<br") != 0));
                if (between) {
                    markdown.append(decoded);
                    lineLength += decoded.size();
                } else if (!lineStart && markdown.back() != ' ') {
                    markdown.push_back(' ');
                    ++lineLength;
                }
                i = next;
                continue;
            }
            if (decoded.size() != 1) {
                markdown.append(decoded);
                lineLength += decoded.size();
                i = next;
                continue;
            }
            b = decoded[0];
        }
        const char after = next < size ? data[next] : '\0';
        const char before = markdown.size() > lineContentStart ? markdown.back() : ' ';
        bool escape = false;
        switch (b) {
        case '\\':
            escape = next >= size || isAsciiPunct(after);
            break;
        case '`':
            escape = true;
            break;
        case '[':
            // Brackets are text unless they could make a link, an image, a
            // definition or a task marker.
            escape = anchorDepth > 0
                || (lineStart && next + 1 < size && (after == ' ' || after == 'x' || after == 'X')
                    && data[next + 1] == ']');
            break;
        case ']':
            escape = anchorDepth > 0 || after == '(' || after == '['
                || (after == ':' && markdown.size() > lineContentStart && markdown[lineContentStart] == '['
                    && definitionFollows(data, next + 1, size));
            break;
        case '|':
            escape = inTable;
            break;
        case '@':
            // Text that is not a link must not turn into an address.
            escape = (isWordByte(before) || before == '.' || before == '-' || before == '+' || before == '_')
                && (isAsciiAlpha(after) || isDigit(after));
            break;
        case '*':
        case '~':
            escape = lineStart || !(isSpace(before) && (next >= size || isSpace(after)));
            break;
        case '_':
            escape = !((isWordByte(before) && isWordByte(after))
                       || (isSpace(before) && (next >= size || isSpace(after))));
            break;
        case '<':
            escape = isAsciiAlpha(after) || after == '/' || after == '!' || after == '?';
            break;
        case '&':
            // A decoded "&amp;" that the renderer would read as a reference.
            escape = looksLikeEntity(data, next - 1, size);
            break;
        case '>':
        case '=':
            escape = lineStart;
            break;
        case '#':
            if (lineStart) {
                size_t k = next;
                while (k < size && data[k] == '#')
                    ++k;
                escape = k >= size || isSpace(data[k]) || data[k] == '<';
            }
            break;
        case '-':
        case '+':
            escape = lineStart && (next >= size || isSpace(after) || after == '<' || (b == '-' && after == '-'));
            break;
        default:
            if (lineStart && isDigit(b)) {
                size_t k = i;
                while (k < size && k < i + 10 && isDigit(data[k]))
                    ++k;
                if (k < size && (data[k] == '.' || data[k] == ')')
                    && (k + 1 >= size || isSpace(data[k + 1]) || data[k + 1] == '<')) {
                    markdown.append(data + i, k - i);
                    markdown.push_back('\\');
                    markdown.push_back(data[k]);
                    lineLength += k - i + 2;
                    i = k + 1;
                    continue;
                }
            }
            break;
        }
        if (b == '\n' || b == '\t' || b == '\r' || b == '\v' || b == '\f') {
            i = next;
            continue;
        }
        if (escape) {
            markdown.push_back('\\');
            ++lineLength;
        }
        markdown.push_back(b);
        ++lineLength;
        i = next;
        if (wrap && lineLength > soft && lineLength > hard)
            wrapAtLastSpace();
    }
    scanIndex = i;
}

void Converter::wrapAtLastSpace()
{
    if (lastSpace == std::string::npos || lastSpace < lineContentStart || lastSpace + 1 >= markdown.size()
        || !safeLineStart(markdown[lastSpace + 1]))
        return;
    markdown[lastSpace] = '\n';
    markdown.insert(lastSpace + 1, prefix);
    // Positions kept past the break move with the text.
    const auto shift = [&](size_t &pos) {
        if (pos != std::string::npos && pos > lastSpace)
            pos += prefix.size();
    };
    for (Link &link : links)
        shift(link.textStart);
    shift(markerStart);
    shift(markerEnd);
    shift(codeStart);
    lineContentStart = lastSpace + 1 + prefix.size();
    lineLength = markdown.size() - lineContentStart + prefix.size();
    lastSpace = std::string::npos;
}

Converter::Break Converter::blockBreak() const
{
    // Blocks in a tight list item follow each other line by line; an empty
    // line between them would make the list loose.
    if (!containers.empty() && !containers.back().quote && !containers.back().paragraph)
        return Break::Line;
    return Break::Blank;
}

void Converter::requestBreak(Break kind)
{
    if (kind > pendingBreak)
        pendingBreak = kind;
}

void Converter::trimLineEnd()
{
    size_t end = markdown.size();
    while (end > lineContentStart && (markdown[end - 1] == ' ' || markdown[end - 1] == '\t'))
        --end;
    markdown.resize(end);
}

void Converter::newLine()
{
    markdown.push_back('\n');
    markdown.append(prefix);
    lineLength = prefix.size();
    lineContentStart = markdown.size();
    lastSpace = std::string::npos;
}

void Converter::beginContent()
{
    if (ignoredContext)
        return;
    if (inCell) {
        // A cell is one line: its paragraphs and line breaks become <br>.
        int breaks = cellBreaks;
        if (breaks == 0 && (pendingBreak != Break::None || pendingHardBreak))
            breaks = 1;
        pendingBreak = Break::None;
        pendingHardBreak = false;
        cellBreaks = 0;
        fresh = false;
        if (markdown.size() > cellStart) {
            for (int k = 0; k < breaks; ++k)
                markdown.append("<br>");
            lineLength += 4 * static_cast<size_t>(breaks);
        }
        return;
    }
    if (fresh) {
        fresh = false;
        pendingBreak = Break::None;
        pendingHardBreak = false;
        return;
    }
    if (pendingBreak == Break::None) {
        if (pendingHardBreak) {
            pendingHardBreak = false;
            trimLineEnd();
            markdown.append("  ");
            newLine();
        }
        return;
    }
    pendingHardBreak = false;
    const Break kind = pendingBreak;
    pendingBreak = Break::None;
    if (markdown.empty())
        return;
    trimLineEnd();
    if (kind == Break::Blank) {
        markdown.push_back('\n');
        size_t end = prefix.size();
        while (end > 0 && prefix[end - 1] == ' ')
            --end;
        markdown.append(prefix, 0, end);
    }
    newLine();
}

void Converter::openContainer(bool quote, const std::string &marker)
{
    beginContent();
    markdown.append(marker);
    lineLength += marker.size();
    containers.push_back(Container{quote, prefix.size(), false});
    if (quote)
        prefix.append(marker);
    else
        prefix.append(marker.size(), ' ');
    lineContentStart = markdown.size();
    lastSpace = std::string::npos;
    fresh = true;
}

void Converter::closeContainer(bool quote)
{
    // Only the innermost container of the right kind closes; stray closing
    // tags leave the layout alone.
    if (containers.empty() || containers.back().quote != quote)
        return;
    // Breaks asked for by the container's last block end with it.
    pendingBreak = Break::None;
    prefix.resize(containers.back().prefixBefore);
    containers.pop_back();
    if (fresh) {
        trimLineEnd();
        fresh = false;
    }
    pendingHardBreak = false;
}

void Converter::writeRawTag()
{
    // The tag as written, attributes included.
    beginContent();
    const size_t start = tagStart > 0 ? tagStart - 1 : 0;
    std::string tag = html.substr(start, scanIndex - start);
    for (char &c : tag) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    markdown.append(tag);
    lineLength += tag.size();
}

void Converter::appendText(const char *text, size_t size)
{
    if (ignoredContext || size == 0)
        return;
    markdown.append(text, size);
    size_t i = size;
    while (i > 0 && text[i - 1] != '\n')
        --i;
    lineLength = i > 0 ? size - i : lineLength + size;
}

void Converter::appendChar(char c)
{
    if (ignoredContext)
        return;
    markdown.push_back(c);
    lineLength = c == '\n' ? 0 : lineLength + 1;
}

void Converter::removeTail(size_t n)
{
    if (markdown.size() >= n)
        markdown.resize(markdown.size() - n);
    lineLength = lineLength > n ? lineLength - n : 0;
    cleanEnd = std::min(cleanEnd, markdown.size());
    cleanFrom = std::min(cleanFrom, cleanEnd);
    lineContentStart = std::min(lineContentStart, markdown.size());
    if (lastSpace != std::string::npos && lastSpace >= markdown.size())
        lastSpace = std::string::npos;
    if (!markdown.empty())
        syncLastChars();
}

void Converter::breakAtLastSpace()
{
    wrapAtLastSpace();
}

namespace {

// Finds the attribute called name (lower case) in the tag text; sets value
// to its decoded value. Names are whole words: "src" is not "data-src".
bool findAttribute(const char *tag, size_t size, const char *name, std::string *value)
{
    const size_t nameSize = std::strlen(name);
    size_t i = 0;
    while (i < size && !isSpace(tag[i]) && tag[i] != '>' && tag[i] != '/')
        ++i; // the element name
    while (i < size) {
        while (i < size && (isSpace(tag[i]) || tag[i] == '/'))
            ++i;
        if (i >= size || tag[i] == '>')
            return false;
        const size_t nameStart = i;
        while (i < size && !isSpace(tag[i]) && tag[i] != '=' && tag[i] != '>' && tag[i] != '/')
            ++i;
        bool match = i - nameStart == nameSize;
        for (size_t k = 0; match && k < nameSize; ++k)
            match = toLower(tag[nameStart + k]) == name[k];
        size_t j = i;
        while (j < size && isSpace(tag[j]))
            ++j;
        size_t valueStart = 0;
        size_t valueEnd = 0;
        if (j < size && tag[j] == '=') {
            ++j;
            while (j < size && isSpace(tag[j]))
                ++j;
            if (j < size && (tag[j] == '"' || tag[j] == '\'')) {
                const void *close = std::memchr(tag + j + 1, tag[j], size - j - 1);
                if (!close)
                    return false;
                valueStart = j + 1;
                valueEnd = static_cast<size_t>(static_cast<const char *>(close) - tag);
                i = valueEnd + 1;
            } else {
                valueStart = j;
                while (j < size && !isSpace(tag[j]) && tag[j] != '>')
                    ++j;
                valueEnd = j;
                i = j;
            }
        }
        if (match) {
            if (value) {
                value->clear();
                for (size_t k = valueStart; k < valueEnd;) {
                    if (tag[k] == '&') {
                        const size_t used = decodeEntity(tag, k, valueEnd, *value);
                        if (used) {
                            k += used;
                            continue;
                        }
                    }
                    value->push_back(tag[k++]);
                }
            }
            return true;
        }
    }
    return false;
}

} // namespace

std::string Converter::attributeValue(const char *name) const
{
    const size_t size = scanIndex > tagStart ? scanIndex - tagStart : 0;
    std::string value;
    if (*name == '\0' || !findAttribute(html.data() + tagStart, size, name, &value))
        return std::string();
    return value;
}

bool Converter::hasAttribute(const char *name) const
{
    const size_t size = scanIndex > tagStart ? scanIndex - tagStart : 0;
    return *name != '\0' && findAttribute(html.data() + tagStart, size, name, nullptr);
}

const std::string &Converter::quotePrefix()
{
    if (cachedQuoteDepth != quoteDepth) {
        cachedQuotePrefix = repeatText("> ", quoteDepth);
        cachedQuoteDepth = quoteDepth;
    }
    return cachedQuotePrefix;
}

void Converter::cleanUp()
{
    // The text is written in its final form; only the end is tidied: no
    // trailing white space or empty lines, one final line feed.
    size_t end = markdown.size();
    while (end > 0 && isSpace(markdown[end - 1]))
        --end;
    markdown.resize(end);
    if (!markdown.empty())
        markdown.push_back('\n');
}


namespace {

// The names of a tag's attributes, in order (text is the tag after its "<").
template<typename F>
void forEachAttributeName(const char *tag, size_t size, F &&visit)
{
    size_t i = 0;
    while (i < size && !isSpace(tag[i]) && tag[i] != '>' && tag[i] != '/')
        ++i;
    while (i < size) {
        while (i < size && (isSpace(tag[i]) || tag[i] == '/'))
            ++i;
        if (i >= size || tag[i] == '>')
            return;
        const size_t nameStart = i;
        while (i < size && !isSpace(tag[i]) && tag[i] != '=' && tag[i] != '>' && tag[i] != '/')
            ++i;
        if (i == nameStart) {
            ++i;
            continue;
        }
        visit(std::string_view(tag + nameStart, i - nameStart));
        while (i < size && isSpace(tag[i]))
            ++i;
        if (i < size && tag[i] == '=') {
            ++i;
            while (i < size && isSpace(tag[i]))
                ++i;
            if (i < size && (tag[i] == '"' || tag[i] == '\'')) {
                const void *close = std::memchr(tag + i + 1, tag[i], size - i - 1);
                i = close ? static_cast<size_t>(static_cast<const char *>(close) - tag) + 1 : size;
            } else {
                while (i < size && !isSpace(tag[i]) && tag[i] != '>')
                    ++i;
            }
        }
    }
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

// Elements whose text runs to their end tag, blank lines included.
bool isRawTextElement(std::string_view name)
{
    return name == "pre" || name == "script" || name == "style" || name == "textarea";
}

bool isVoidElement(std::string_view name)
{
    for (std::string_view v : {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                               "source", "track", "wbr", "param"}) {
        if (name == v)
            return true;
    }
    return false;
}

} // namespace

bool Converter::hasForeignAttributes(std::initializer_list<std::string_view> allowed) const
{
    if (!options.keepHtml)
        return false;
    const size_t size = scanIndex > tagStart ? scanIndex - tagStart : 0;
    // Most tags have no attributes at all.
    const size_t afterName = tagStart + currentTag.size();
    if (afterName < html.size() && (html[afterName] == '>' || html[afterName] == '/'))
        return false;
    bool foreign = false;
    forEachAttributeName(html.data() + tagStart, size, [&](std::string_view name) {
        // The page's own bookkeeping never reaches a document.
        if (name.size() > 13 && equalsLower(name.substr(0, 13), "data-veltrane"))
            return;
        for (std::string_view a : allowed) {
            if (equalsLower(name, a))
                return;
        }
        foreign = true;
    });
    return foreign;
}

bool Converter::copyHtmlBlock()
{
    // An inline element alone on its line outside any paragraph began an
    // HTML block: it stays one.
    return atBlockStart() && scanIndex < html.size() && (html[scanIndex] == '\n' || html[scanIndex] == '\r')
        && copyElement(true);
}

bool Converter::linkNeedsHtml() const
{
    // A link without a target, or with attributes a Markdown link cannot
    // carry (the page's own target="_blank" excepted).
    if (!options.keepHtml)
        return false;
    const size_t size = scanIndex > tagStart ? scanIndex - tagStart : 0;
    bool href = false;
    bool foreign = false;
    forEachAttributeName(html.data() + tagStart, size, [&](std::string_view name) {
        if (equalsLower(name, "href"))
            href = true;
        else if (!equalsLower(name, "title") && !equalsLower(name, "target")
                 && !(name.size() > 13 && equalsLower(name.substr(0, 13), "data-veltrane")))
            foreign = true;
    });
    return !href || foreign;
}

bool Converter::atBlockStart() const
{
    return textBlocks == 0 && !inCell && inlines.empty() && anchorDepth == 0 && !inPre && !inCode
        && (fresh || pendingBreak != Break::None || markdown.size() == lineContentStart);
}

std::string_view Converter::nextTagName() const
{
    // The first child of the element just opened: "" when it is text.
    size_t i = scanIndex;
    while (i < html.size() && isSpace(html[i]))
        ++i;
    if (i + 1 >= html.size() || html[i] != '<')
        return std::string_view();
    size_t k = i + 1;
    while (k < html.size() && (isAsciiAlpha(html[k]) || isDigit(html[k]) || html[k] == '!' || html[k] == '-'))
        ++k;
    return std::string_view(html.data() + i + 1, k - i - 1);
}

size_t Converter::elementEnd(std::string_view name, size_t from)
{
    // The byte after the end tag that closes the element opened before from,
    // counting elements of the same name inside; npos when it is not closed.
    const char *data = html.data();
    const size_t size = html.size();
    const bool rawText = isRawTextElement(name);
    auto nameAt = [&](size_t k) {
        if (size - k < name.size() || !equalsLower(std::string_view(data + k, name.size()), name))
            return false;
        const size_t after = k + name.size();
        return after >= size || isSpace(data[after]) || data[after] == '>' || data[after] == '/';
    };
    // Elements that never close would each be searched to the end: past a
    // budget of a few times the input, they count as not closed.
    if (lookaheadBudget == 0)
        return std::string::npos;
    size_t depth = 1;
    size_t pos = from;
    while (pos < size) {
        const void *lt = std::memchr(data + pos, '<', size - pos);
        if (!lt)
            break;
        const size_t k = static_cast<size_t>(static_cast<const char *>(lt) - data);
        const size_t scanned = k + 1 - pos;
        if (scanned >= lookaheadBudget) {
            lookaheadBudget = 0;
            return std::string::npos;
        }
        lookaheadBudget -= scanned;
        pos = k + 1;
        if (!rawText && size - k >= 4 && data[k + 1] == '!' && data[k + 2] == '-' && data[k + 3] == '-') {
            const size_t close = html.find("-->", k + 4);
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

bool Converter::copyElement(bool block)
{
    // The element that just opened, up to and with its end tag, as HTML.
    if (!options.keepHtml)
        return false;
    const size_t start = tagStart > 0 ? tagStart - 1 : 0;
    size_t end = scanIndex;
    if (!isSelfClosingTag && !isVoidElement(currentTag)) {
        end = elementEnd(currentTag, scanIndex);
        if (end == std::string::npos)
            return false;
    }
    ignoredContext = false;
    if (block)
        requestBreak(blockBreak());
    beginContent();
    writeHtml(html.data() + start, end - start, isRawTextElement(currentTag));
    scanIndex = end;
    elementCopied = true;
    if (block)
        requestBreak(blockBreak());
    syncLastChars();
    return true;
}

void Converter::writeHtml(const char *text, size_t size, bool keepBlankLines)
{
    // An empty line would end an HTML block: outside raw text it goes.
    if (keepBlankLines || inTable) {
        writeVerbatim(text, size);
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
                breakVerbatimLine();
            writeVerbatim(text, stop);
            first = false;
        }
        if (!nl)
            break;
        text += stop + 1;
        size -= stop + 1;
    }
}

void Converter::openKeptBlock()
{
    // Around Markdown blocks the tags stand on lines of their own; around
    // anything else the whole element stays HTML.
    const std::string_view next = nextTagName();
    bool wrapper = false;
    for (std::string_view b : {"p", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "blockquote", "pre", "table",
                               "hr", "div", "details", "summary", "section", "figure"}) {
        if (equalsLower(next, b))
            wrapper = true;
    }
    if (!wrapper && !isSelfClosingTag && copyElement(true))
        return;
    requestBreak(Break::Blank);
    writeRawTag();
    requestBreak(isSelfClosingTag ? Break::Blank : Break::Line);
    if (!isSelfClosingTag)
        keptBlocks.push_back(currentTag);
    elementCopied = isSelfClosingTag;
}

void Converter::closeKeptBlock()
{
    closeInlines();
    if (!keptBlocks.empty() && keptBlocks.back() == currentTag)
        keptBlocks.pop_back();
    requestBreak(Break::Blank);
    beginContent();
    writeRawTag();
    requestBreak(Break::Blank);
}

void Converter::openInline(char marker, size_t width)
{
    beginContent();
    markerStart = markdown.size();
    markdown.append(width, marker);
    lineLength += width;
    markerEnd = markdown.size();
    lastSpace = std::string::npos;
    inlines.push_back(Inline{currentTag, marker, width});
}

void Converter::closeInline(char marker, size_t width)
{
    // White space at the inner edge of a marker would stop it from closing:
    // it goes outside.
    size_t end = markdown.size();
    while (end > lineContentStart && markdown[end - 1] == ' ')
        --end;
    const size_t removed = markdown.size() - end;
    markdown.resize(end);
    lineLength = lineLength > removed ? lineLength - removed : 0;
    markdown.append(width, marker);
    lineLength += width;
    if (removed > 0) {
        markdown.push_back(' ');
        ++lineLength;
    }
    markerEnd = std::string::npos;
    lastSpace = std::string::npos;
}

void Converter::pushRawInline()
{
    writeRawTag();
    if (!isSelfClosingTag)
        inlines.push_back(Inline{currentTag, 0, 0});
    elementCopied = isSelfClosingTag;
}

bool Converter::popRawInline()
{
    // Whether the element being closed was opened as HTML; its end tag is
    // written as it stands.
    for (size_t k = inlines.size(); k > 0; --k) {
        if (inlines[k - 1].name != currentTag)
            continue;
        const Inline entry = inlines[k - 1];
        inlines.erase(inlines.begin() + static_cast<std::ptrdiff_t>(k - 1));
        if (entry.marker == 1)
            return true; // the page's own element: nothing to write
        if (entry.marker != 0)
            closeInline(entry.marker, entry.width);
        else if (!syntheticClose) {
            beginContent();
            writeRawTag();
        }
        return true;
    }
    return false;
}

} // namespace html2md
