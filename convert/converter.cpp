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

// Text bytes that can be copied without escaping or line handling.
struct PlainBytes
{
    bool plain[256];
    constexpr PlainBytes() : plain()
    {
        for (int i = 0; i < 256; ++i)
            plain[i] = true;
        plain[static_cast<unsigned char>('*')] = false;
        plain[static_cast<unsigned char>('\\')] = false;
        plain[static_cast<unsigned char>('`')] = false;
        plain[static_cast<unsigned char>('\n')] = false;
        plain[static_cast<unsigned char>('<')] = false; // ends the text
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
        for (char c : {'/', '>', '"', ' ', '\t', '\n', '\v', '\f', '\r'})
            ordinary[static_cast<unsigned char>(c)] = false;
    }
};
constexpr TagBytes tagBytes;

// Fixed replacements of the clean-up, applied in this order.
const std::pair<std::string_view, std::string_view> replacementPairs[] = {
    {" , ", ", "},
    {"\n.\n", ".\n"},
    {"\n\xE2\x86\xB5\n", " \xE2\x86\xB5\n"}, // U+21B5, the return symbol
    {"\n*\n", "\n"},
    {"\n. ", ".\n"},
    {"\t\t  ", "\t\t"},
};

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
    markdown.reserve(static_cast<size_t>(static_cast<double>(html.size()) * 0.8));
    entityTable = {
        {"&quot;", "\""},
        {"&lt;", "<"},
        {"&gt;", ">"},
        {"&amp;", "&"},
        {"&nbsp;", " "},
        {"&rarr;", "\xE2\x86\x92"},
    };
    buildTagTable();
}

void Converter::buildTagTable()
{
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
    tagTable["hr"] = std::make_shared<TagSeperator>();
    const std::shared_ptr<Tag> bold = std::make_shared<TagBold>();
    tagTable["b"] = bold;
    tagTable["strong"] = bold;
    const std::shared_ptr<Tag> italic = std::make_shared<TagItalic>();
    for (const char *name : {"em", "i", "dfn", "cite"})
        tagTable[name] = italic;
    tagTable["u"] = std::make_shared<TagUnderline>();
    const std::shared_ptr<Tag> strike = std::make_shared<TagStrikethrought>();
    for (const char *name : {"del", "s", "strike"})
        tagTable[name] = strike;
    tagTable["blockquote"] = std::make_shared<TagBlockquote>();
    tagTable["table"] = std::make_shared<TagTable>();
    tagTable["tr"] = std::make_shared<TagTableRow>();
    tagTable["th"] = std::make_shared<TagTableHeader>();
    tagTable["td"] = std::make_shared<TagTableData>();
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
            ++scanIndex;
            startTag();
        } else {
            readText();
        }
    }

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
    ignoredContext = afterLinkTag = noWrapTag = inParagraphTag = false;
    syncLastChars();
}

void Converter::readTagChar(char b)
{
    if (b == '/' && !inAttributeValue) {
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
            isClosingTag = true;
            finishTag();
        } else {
            finishTag();
        }
        return;
    }
    if (b == '"') {
        if (inAttributeValue)
            inAttributeValue = false;
        else if (tagLastNonSpace == '=')
            inAttributeValue = true;
        skipTagSpace = false;
        return;
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

    if (!isClosingTag && isHiddenTag()) {
        // Hidden element: only its opening tag is dropped.
        updateContext();
        return;
    }

    const size_t space = currentTag.find(' ');
    if (space != std::string::npos)
        currentTag.resize(space);
    updateContext();

    const auto rule = tagTable.find(currentTag);
    if (rule == tagTable.end())
        return;
    if (isClosingTag) {
        isClosingTag = false;
        rule->second->onClosingTag(*this);
    } else {
        rule->second->onOpeningTag(*this);
    }
}

void Converter::updateContext()
{
    const std::string_view tag = currentTag;
    ignoredContext = (tag == "title" && !options.keepTitle) || (!tag.empty() && tag[0] == '-')
        || tag == "template" || tag == "style" || tag == "script" || tag == "noscript"
        || tag == "nav";
    afterLinkTag = tag == "link";
    noWrapTag = tag == "img" || tag == "a";
    inParagraphTag = tag == "p";
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

void Converter::readText()
{
    const char *data = html.data();
    const size_t size = html.size();
    size_t i = scanIndex;

    if (inCode || ignoredContext || afterLinkTag) {
        const void *lt = std::memchr(data + i, '<', size - i);
        const size_t end = lt ? static_cast<size_t>(static_cast<const char *>(lt) - data) : size;
        scanIndex = end;
        if (!inCode)
            return;
        // Code is copied verbatim; only block-quote prefixes are added.
        if (quoteDepth == 0) {
            markdown.append(data + i, end - i);
            return;
        }
        while (i < end) {
            const void *nl = std::memchr(data + i, '\n', end - i);
            const size_t stop = nl ? static_cast<size_t>(static_cast<const char *>(nl) - data) + 1 : end;
            markdown.append(data + i, stop - i);
            i = stop;
            if (nl)
                appendText(quotePrefix());
        }
        return;
    }

    const bool wrap = options.wrapLines && !inTable && !inList && !noWrapTag;
    const size_t soft = static_cast<size_t>(options.softWrapColumn);
    const size_t hard = static_cast<size_t>(options.hardWrapColumn);
    for (;;) {
        // Copy a run of plain bytes at once, as far as no wrap test can fire.
        size_t limit = size;
        if (wrap)
            limit = lineLength < soft ? std::min(size, i + (soft - lineLength)) : i;
        size_t j = i;
        while (j < limit && plainBytes.plain[static_cast<unsigned char>(data[j])])
            ++j;
        if (j > i) {
            markdown.append(data + i, j - i);
            lineLength += j - i;
            i = j;
            continue;
        }
        if (i == size || data[i] == '<')
            break;

        const char b = data[i++];
        if (b == '\n') {
            if (quoteDepth != 0) {
                markdown.push_back('\n');
                lineLength = 0;
                appendText(quotePrefix());
            }
            continue;
        }
        if (b == '*' || b == '\\' || b == '`') {
            markdown.push_back('\\');
            markdown.push_back(b);
            lineLength += 2;
        } else {
            markdown.push_back(b);
            lineLength += 1;
        }
        if (wrap && lineLength > soft) {
            if (b == ' ') {
                markdown.push_back('\n');
                lineLength = 0;
            } else if (lineLength > hard) {
                breakAtLastSpace();
            }
        }
    }
    scanIndex = i;
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
    if (quoteDepth != 0 && c == '\n') {
        // Inside a quote only code keeps its line breaks; elsewhere the
        // prefix written by the quote or paragraph rule continues the line.
        if (inPre) {
            markdown.push_back('\n');
            lineLength = 0;
            appendText(quotePrefix());
        }
        return;
    }
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
    if (!markdown.empty())
        syncLastChars();
}

void Converter::breakAtLastSpace()
{
    if (inParagraphTag || markdown.empty())
        return;
    // Walk back to the nearest space or line feed, never looking at the
    // first byte; skip the stretch already known to hold neither.
    const size_t size = markdown.size();
    size_t next = size; // the byte examined next is next - 1
    while (next > 1) {
        const size_t i = next - 1;
        if (i >= cleanFrom && i < cleanEnd) {
            next = cleanFrom;
            continue;
        }
        const char c = markdown[i];
        if (c == '\n' || c == ' ') {
            if (c == ' ') {
                markdown[i] = '\n';
                lineLength = size - i - 1;
            }
            cleanFrom = i + 1;
            cleanEnd = size;
            return;
        }
        next = i;
    }
    cleanFrom = 1;
    cleanEnd = size;
}

std::string Converter::attributeValue(const char *name) const
{
    // The tag as written, from after "<" up to and including ">".
    const char *tag = html.data() + tagStart;
    const size_t size = scanIndex > tagStart ? scanIndex - tagStart : 0;
    const size_t nameSize = std::strlen(name);
    if (nameSize == 0 || nameSize > size)
        return std::string();

    size_t pos = std::string::npos;
    for (size_t i = 0; i + nameSize <= size; ++i) {
        size_t k = 0;
        while (k < nameSize && toLower(tag[i + k]) == name[k])
            ++k;
        if (k == nameSize) {
            pos = i;
            break;
        }
    }
    if (pos == std::string::npos)
        return std::string();
    const void *eq = std::memchr(tag + pos, '=', size - pos);
    if (!eq)
        return std::string();
    const size_t eqPos = static_cast<size_t>(static_cast<const char *>(eq) - tag);
    size_t open = eqPos;
    while (open < size && tag[open] != '"' && tag[open] != '\'')
        ++open;
    if (open == size)
        return std::string();
    const void *close = std::memchr(tag + open + 1, tag[open], size - open - 1);
    if (!close)
        return std::string();
    return std::string(tag + open + 1, static_cast<const char *>(close));
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
    tidyLines(markdown);
    decodeEntities(markdown, entityTable);
    for (const auto &pair : replacementPairs)
        replaceAll(markdown, pair.first, pair.second);
}

} // namespace html2md
