#ifndef HTML2MD_CONVERTER_H
#define HTML2MD_CONVERTER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace html2md {

// Knobs of one conversion. The editor always uses the defaults.
struct ConverterOptions
{
    bool wrapLines = true;       // wrap long text lines
    int32_t softWrapColumn = 80; // past this length a space ends the line
    int32_t hardWrapColumn = 100; // past this length the line breaks at its last space
    char bulletMarker = '-';
    char orderedMarker = '.';
    bool keepTitle = true;       // convert the <title> text
    bool alignTables = true;     // reformat each table when it closes
    // Keeps what Markdown cannot say (attributes, unknown elements, HTML
    // blocks) as HTML. Documents need it; a web page pasted in does not.
    bool keepHtml = true;
};

// Single-pass HTML to Markdown converter: a byte scanner that reads tags,
// looks each name up in a table of rule objects and lets the rule append
// Markdown. Everything is UTF-8 bytes; lengths and columns count bytes.
// One converter serves one conversion.
class Converter
{
public:
    explicit Converter(const std::string &html, const ConverterOptions *options = nullptr);
    explicit Converter(std::string &&html, const ConverterOptions *options = nullptr);

    // Converts once; later calls return the same text.
    std::string convert() &;
    // For a converter about to go away: hands over the text without a copy.
    std::string convert() &&;

    // Base of the tag rules. Rules are shared by name and must not be
    // deleted through this type (they are owned by shared pointers of their
    // own type), hence the protected, non-virtual destructor.
    struct Tag
    {
        virtual void onOpeningTag(Converter &) {}
        virtual void onClosingTag(Converter &) {}

    protected:
        Tag() = default;
        Tag(const Tag &) = default;
        Tag &operator=(const Tag &) = default;
        ~Tag() = default;
    };

private:
    // The rules (defined in tagrules.h) work directly on the state below.
    struct TagIgnored;
    struct TagAnchor;
    struct TagBreak;
    struct TagDiv;
    struct TagHeader;
    template<int Level> struct TagHeaderLevel;
    struct TagHeader1;
    struct TagHeader2;
    struct TagHeader3;
    struct TagHeader4;
    struct TagHeader5;
    struct TagHeader6;
    struct TagListItem;
    struct TagOption;
    struct TagOrderedList;
    struct TagPre;
    struct TagCode;
    struct TagParagraph;
    struct TagSpan;
    struct TagUnorderedList;
    struct TagTitle;
    struct TagImage;
    struct TagSeparator;
    struct TagBold;
    struct TagItalic;
    struct TagUnderline;
    struct TagStrikethrough;
    struct TagBlockquote;
    struct TagTable;
    struct TagTableRow;
    struct TagTableHeader;
    struct TagTableData;
    struct TagKeptInline;
    struct TagKeptBlock;
    struct TagInput;
    struct TagRawText;
    struct TagUnknown;

    void initialize();
    void scan();
    using TagRules = std::unordered_map<std::string, std::shared_ptr<Tag>>;
    static TagRules buildTagTable(bool keepHtml);

    // Scanner.
    void startTag();
    void readTagChar(char b);
    void finishTag();
    void readText();
    void updateContext();
    bool isHiddenTag() const;
    void syncLastChars();
    void cleanUp();

    // Helpers for the rules.
    bool isIgnoredContext() const { return ignoredContext; }
    void appendText(const char *text, size_t size);
    void appendText(const std::string &text) { appendText(text.data(), text.size()); }
    void appendChar(char c);
    void removeTail(size_t n);
    void breakAtLastSpace();
    std::string attributeValue(const char *name) const;
    const std::string &quotePrefix();
    bool hasAttribute(const char *name) const;
    void writeMarker(const char *marker);

    // Block layout: the lines of nested quotes and list items carry a prefix
    // ("> ", or spaces as wide as the item's marker); blocks are separated by
    // a line feed or an empty line, written only when the next content comes.
    enum class Break { None, Line, Blank };
    struct Container
    {
        bool quote;          // a quote, else a list item
        size_t prefixBefore; // prefix length outside this container
        bool paragraph;      // an item that holds a paragraph (a loose item)
    };
    struct ListLevel
    {
        bool ordered;
        uint32_t number;
        char marker;   // bullet, or the character after the number
        bool loose;
    };
    Break blockBreak() const;
    void requestBreak(Break kind);
    void beginContent();
    void newLine();
    void trimLineEnd();
    void openContainer(bool quote, const std::string &marker);
    void closeContainer(bool quote);
    void writeVerbatim(const char *text, size_t size);
    void breakVerbatimLine();
    void closeList(bool ordered);
    void writeRawTag();
    void readComment(const char *terminator, size_t skip);
    void readCodeText(const char *data, size_t i, size_t end);
    void wrapAtLastSpace();

    // HTML kept as HTML.
    bool hasForeignAttributes(std::initializer_list<std::string_view> allowed) const;
    bool atBlockStart() const;
    bool linkNeedsHtml() const;
    bool copyHtmlBlock();
    std::string_view nextTagName() const;
    size_t elementEnd(std::string_view name, size_t from);
    size_t lookaheadBudget = 0;
    bool copyElement(bool block);
    void writeHtml(const char *text, size_t size, bool keepBlankLines);
    void openKeptBlock();
    void closeKeptBlock();
    void openInline(char marker, size_t width);
    void closeInline(char marker, size_t width);
    void pushRawInline();
    void openEmphasis(size_t width, const char *plain);
    void closeEmphasis(const char *plain);
    void openCell();
    bool popRawInline();

    // Inline elements open at this point: an emphasis marker (its character
    // and width) or an element written as HTML (marker 0).
    struct Inline
    {
        std::string name;
        char marker;
        size_t width;
    };
    std::vector<Inline> inlines;
    struct Link
    {
        std::string href;
        std::string title;
        size_t tagStart = 0;  // of the opening tag in the HTML
        size_t textStart = 0; // of the link text in the Markdown
        size_t htmlStart = 0; // and in the HTML
    };
    std::vector<Link> links;
    void closeInlines();
    std::vector<std::string> keptBlocks; // open elements written around Markdown
    size_t markerStart = std::string::npos; // where the last opening marker starts
    size_t markerEnd = std::string::npos;   // and ends
    size_t cellStart = 0;        // where the current cell's text starts
    int cellBreaks = 0;          // line breaks waiting in a cell
    bool elementCopied = false;  // the tag just read began an element copied as HTML
    bool syntheticClose = false; // the closing half of a self-closing tag
    char quoteChar = 0;          // the quote of the attribute value being read

    std::string prefix;
    std::vector<Container> containers;
    std::vector<ListLevel> lists;
    Break pendingBreak = Break::None;
    bool fresh = true;            // nothing written yet in the innermost container
    bool pendingHardBreak = false;
    size_t lineContentStart = 0;  // where the current line's text starts, after its prefix
    size_t lastSpace = std::string::npos; // last wrappable space of the current line
    int noWrap = 0;               // inside a header
    int textBlocks = 0;           // inside a paragraph, header or cell
    int anchorDepth = 0;
    bool inCell = false;
    int rawTextDepth = 0;         // text goes out as HTML (inside an HTML block)
    size_t fenceStart = 0;
    bool fenceBodyOpen = false;
    size_t codeStart = 0;
    size_t tickRun = 0;
    size_t maxTickRun = 0;
    size_t listClosedAt = std::string::npos;
    bool closedListOrdered = false;
    char closedListMarker = 0;

    size_t scanIndex = 0;
    bool isClosingTag = false;
    bool inAttributeValue = false;
    bool inCode = false;
    bool inList = false;
    bool inPre = false;
    bool inTable = false;
    bool inTag = false;
    bool isSelfClosingTag = false;
    bool inOrderedList = false;
    // Wide so that long ordered lists keep counting instead of wrapping to 0.
    uint32_t itemCounter = 0;
    size_t tableStart = 0;
    uint8_t listDepth = 0;
    uint8_t quoteDepth = 0;
    char lastChar = 0;
    char secondLastChar = 0;
    std::string html;
    size_t tagStart = 0;
    std::string currentTag;
    std::string previousTag;
    std::string alignmentRow;
    size_t lineLength = 0;
    std::string markdown;
    ConverterOptions options;
    // The rules hold no state of their own: one table per option set serves
    // every converter (a save converts block by block).
    const TagRules *tagTable = nullptr;
    bool skipTagSpace = true;

    // Tables opened and not yet closed: a closing tag only reformats a table
    // it actually closes, so stray or repeated closing tags leave the text alone.
    size_t openTables = 0;

    // Facts about currentTag, refreshed whenever it changes, so the text
    // reader does not compare strings per byte.
    bool ignoredContext = false;
    bool afterLinkTag = false;  // currentTag is "link"
    bool noWrapTag = false;     // currentTag is "img" or "a"
    bool inParagraphTag = false; // currentTag is "p"
    char tagLastNonSpace = 0;   // last non-whitespace byte stored in currentTag

    // markdown[cleanFrom, cleanEnd) is known to hold no space and no line
    // feed, so repeated breakAtLastSpace walks stay linear overall.
    size_t cleanFrom = 0;
    size_t cleanEnd = 0;

    std::string cachedQuotePrefix;
    int cachedQuoteDepth = 0;
};

} // namespace html2md

#endif // HTML2MD_CONVERTER_H
