#ifndef HTML2MD_MARKDOWNWRITER_H
#define HTML2MD_MARKDOWNWRITER_H

// The converter's output, written line by line: the prefix of the open
// containers (quotes, list items), the column, the last space a long line
// may wrap at, and the break the next block still owes. Knows Markdown's
// layout, not HTML. Lengths and columns count UTF-8 bytes.

#include <cstddef>
#include <string>
#include <vector>

namespace html2md {

struct MarkdownWriter
{
    // Blocks are separated by a line feed or an empty line, written only
    // when the next content comes.
    enum class Break { None, Line, Blank };
    // The lines of nested quotes and list items carry a prefix ("> ", or
    // spaces as wide as the item's marker).
    struct Container
    {
        bool quote;          // a quote, else a list item
        size_t prefixBefore; // prefix length outside this container
        bool paragraph;      // an item that holds a paragraph (a loose item)
    };

    std::string text;
    std::string prefix;
    std::vector<Container> containers;
    Break pendingBreak = Break::None;
    bool pendingHardBreak = false;
    bool fresh = true;           // nothing written yet in the innermost container
    size_t column = 0;           // of the current line, its prefix included
    size_t lineStart = 0;        // where the current line's text starts, after its prefix
    size_t wrapPoint = std::string::npos; // last wrappable space of the current line

    bool atLineStart() const { return text.size() == lineStart; }
    bool inTightItem() const { return !containers.empty() && !containers.back().quote && !containers.back().paragraph; }
    // The break between two blocks here: a line in a tight list item (an
    // empty line would make the list loose), else an empty line.
    Break blockBreak() const { return inTightItem() ? Break::Line : Break::Blank; }
    void requestBreak(Break kind)
    {
        if (kind > pendingBreak)
            pendingBreak = kind;
    }

    // Writes what the next content needs before it: the pending break or
    // hard line break, nothing at the start of a container.
    void beginContent();
    void newLine();
    void trimLineEnd();
    // Text that holds no line feed, and text that may.
    void append(const char *bytes, size_t size)
    {
        text.append(bytes, size);
        column += size;
    }
    void appendLines(const char *bytes, size_t size);
    void appendChar(char c)
    {
        text.push_back(c);
        column = c == '\n' ? 0 : column + 1;
    }
    // Copies text as it stands; its line feeds keep the containers' prefix,
    // or become spaces on a line that must stay one (a table row).
    void writeVerbatim(const char *bytes, size_t size, bool oneLine);
    void breakVerbatimLine(bool oneLine);

    void openContainer(bool quote, const std::string &marker);
    void closeContainer(bool quote);

    // Breaks the line at its wrap point when what follows it may start a
    // line; returns where the prefix went in (npos when it did not wrap),
    // so that positions kept past it can move with the text.
    size_t wrapAtLastSpace();
    // No trailing white space or empty lines, one final line feed.
    void finish();
};

} // namespace html2md

#endif // HTML2MD_MARKDOWNWRITER_H
