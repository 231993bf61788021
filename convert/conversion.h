#ifndef HTML2MD_CONVERSION_H
#define HTML2MD_CONVERSION_H

// The state of one HTML to Markdown conversion, private to the converter.
// The scanner (htmlscanner.cpp) reads the HTML byte by byte: text goes out
// through the escape rules, each tag to its rule (tagrules.h), and every
// byte of Markdown through the line writer. The parts below are plain
// state; the rules work on them directly.

#include "convert/converter.h"
#include "convert/markdownwriter.h"
#include "convert/tagrules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace html2md {


// The tag being read, then the one just read.
struct TagState
{
    std::string name;            // lower-cased text while reading; then the name alone
    size_t start = 0;            // just after its "<" in the HTML
    bool closing = false;
    bool selfClosing = false;
    bool syntheticClose = false; // the closing half of a self-closing tag
    bool copied = false;         // it began an element copied as HTML
    bool inValue = false;        // inside a quoted attribute value
    char quote = 0;              // of that value
    bool skipSpace = true;
    char lastNonSpace = 0;       // last non-white-space byte stored in name
};

// Inline elements open at this point: an emphasis marker (its character and
// width), a link ('['), an element written as HTML (marker 0), or one of the
// page's own that writes nothing (marker 1).
struct InlineState
{
    struct Inline
    {
        std::string name;
        char marker;
        size_t width;
    };
    struct Link
    {
        std::string href;
        std::string title;
        size_t tagStart = 0;  // of the opening tag in the HTML
        size_t textStart = 0; // of the link text in the Markdown
        size_t htmlStart = 0; // and in the HTML
    };
    std::vector<Inline> open;
    std::vector<Link> links;
    int anchorDepth = 0;
    size_t markerStart = std::string::npos; // where the last opening marker starts
    size_t markerEnd = std::string::npos;   // and ends
};

// Code blocks (a fence around pre) and code spans.
struct CodeState
{
    bool inPre = false;
    bool inCode = false;
    size_t fenceStart = 0;
    bool fenceBodyOpen = false;
    size_t spanStart = 0;
    size_t tickRun = 0;    // backticks just written
    size_t maxTickRun = 0; // the longest run so far
};

// Pipe tables: written row by row, aligned when the table closes.
struct TableState
{
    bool inTable = false;
    bool inCell = false;
    size_t start = 0;
    // Tables opened and not yet closed: a closing tag only reformats a table
    // it actually closes, so stray or repeated closing tags leave the text alone.
    size_t open = 0;
    std::string alignmentRow;
    size_t cellStart = 0; // where the current cell's text starts
    int cellBreaks = 0;   // line breaks waiting in a cell
};

struct ListState
{
    struct Level
    {
        bool ordered;
        uint32_t number; // wide, so that long lists keep counting
        char marker;     // bullet, or the character after the number
        bool loose;
    };
    std::vector<Level> levels;
    // The list that closed last, so that one of the same kind right after it
    // gets the other marker instead of merging into it.
    size_t closedAt = std::string::npos;
    bool closedOrdered = false;
    char closedMarker = 0;
};

struct Conversion
{
    Conversion(const std::string &html, const ConverterOptions &options);
    void run();

    const std::string &html;
    const ConverterOptions &options;
    const TagRules &rules;
    size_t scanIndex = 0;
    bool inTag = false;
    // Facts about the tag just read, so the text reader does not compare
    // strings per byte: its text is not the document's, or follows a link.
    bool ignoredContext = false;
    bool afterLinkTag = false;
    int noWrap = 0;     // inside a header or a title
    int textBlocks = 0; // inside a paragraph, header or cell
    size_t lookaheadBudget = 0;          // bytes left for searching end tags

    MarkdownWriter out;
    TagState tag;
    InlineState inlines;
    CodeState code;
    TableState table;
    ListState lists;

    // Most rules write nothing inside code or text that is not the document's.
    bool inCodeOrIgnored() const { return code.inPre || code.inCode || ignoredContext; }

    // The text of the tag just read, after its "<".
    std::string_view tagText() const;
    // The decoded value of its attribute, "" when it has none.
    std::string attributeValue(std::string_view name) const;
    bool hasAttribute(std::string_view name) const;

    // Writing, unless the text is not the document's.
    void beginContent();
    void appendText(std::string_view text);
    void requestBlockBreak() { out.requestBreak(out.blockBreak()); }
    // The tag just read as it stands, attributes included.
    void writeRawTag();
    // Markup copied as HTML; without keepBlankLines, empty lines (which
    // would end an HTML block) are left out.
    void writeHtml(const char *text, size_t size, bool keepBlankLines);
};

} // namespace html2md

#endif // HTML2MD_CONVERSION_H
