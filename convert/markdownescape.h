#ifndef HTML2MD_MARKDOWNESCAPE_H
#define HTML2MD_MARKDOWNESCAPE_H

// When a character of the page's text needs a backslash to stay text in
// Markdown. The rules look at the character's neighbours: the Markdown byte
// before it and the HTML bytes after it (the text they belong to has not been
// written yet). Inline so the text reader's per-byte path stays fast.

#include "convert/mathspans.h"

#include <cstddef>

namespace html2md {

namespace escape {

inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool isAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Letters, digits and every non-ASCII byte: what keeps an underscore inside a word.
inline bool isWordByte(char c)
{
    return isAsciiAlpha(c) || isDigit(c) || static_cast<unsigned char>(c) >= 0x80;
}

inline bool isAsciiPunct(char c)
{
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
}

// Whether data[i] (an "&") starts something the renderer reads as a
// character reference: "&", a name or "#" and digits, then ";".
bool looksLikeEntity(const char *data, size_t i, size_t end);

// Whether the text from data[i] (just after "]:" of a line that starts with
// "[") would make that line a link definition.
bool definitionFollows(const char *data, size_t i, size_t end);

} // namespace escape

// Bytes that may start a wrapped line without being read as syntax.
inline bool safeLineStart(char c)
{
    switch (c) {
    case '#': case '>': case '-': case '+': case '=': case '*': case '_': case '~':
    case '|': case '<': case '[': case '!': case '`': case '\\': case ':': case ' ':
    case '\t': case '\n':
        return false;
    default:
        return !escape::isDigit(c);
    }
}

// Where a text character stands.
struct TextPlace
{
    const char *html;      // the whole input
    size_t size;
    size_t next;           // the HTML byte after the character (after its reference, if decoded)
    char before;           // the Markdown byte before it on its line, ' ' at the line start
    bool lineStart;
    bool inLink;
    bool inTable;
    bool lineOpensBracket; // the line's text so far starts with "["
};

// Whether the character c needs a backslash before it.
inline bool needsBackslash(char c, const TextPlace &p)
{
    using namespace escape;
    const char after = p.next < p.size ? p.html[p.next] : '\0';
    const bool atEnd = p.next >= p.size;
    switch (c) {
    case '\\':
        return atEnd || isAsciiPunct(after);
    case '`':
        return true;
    case '[':
        // Brackets are text unless they could make a link, an image, a
        // definition or a task marker.
        return p.inLink
            || (p.lineStart && p.next + 1 < p.size && (after == ' ' || after == 'x' || after == 'X')
                && p.html[p.next + 1] == ']');
    case ']':
        return p.inLink || after == '(' || after == '['
            || (after == ':' && p.lineOpensBracket && definitionFollows(p.html, p.next + 1, p.size));
    case '|':
        return p.inTable;
    case '@':
        // Text that is not a link must not turn into an address.
        return (isWordByte(p.before) || p.before == '.' || p.before == '-' || p.before == '+' || p.before == '_')
            && (isAsciiAlpha(after) || isDigit(after));
    case '*':
    case '~':
        return p.lineStart || !(isSpace(p.before) && (atEnd || isSpace(after)));
    case '_':
        return !((isWordByte(p.before) && isWordByte(after)) || (isSpace(p.before) && (atEnd || isSpace(after))));
    case '<':
        return isAsciiAlpha(after) || after == '/' || after == '!' || after == '?';
    case '&':
        // A decoded "&amp;" that the renderer would read as a reference.
        return looksLikeEntity(p.html, p.next - 1, p.size);
    case '>':
    case '=':
        return p.lineStart;
    case '$':
        return mathspans::dollarNeedsBackslash(p.html, p.size, p.next);
    case '#':
        if (p.lineStart) {
            size_t k = p.next;
            while (k < p.size && p.html[k] == '#')
                ++k;
            return k >= p.size || isSpace(p.html[k]) || p.html[k] == '<';
        }
        return false;
    case '-':
    case '+':
        return p.lineStart && (atEnd || isSpace(after) || after == '<' || (c == '-' && after == '-'));
    default:
        return false;
    }
}

// At a line start, how many digits of the HTML from html[at] make "12." or
// "12)" that would open an ordered list (the backslash goes before the
// delimiter after them); 0 when they do not.
inline size_t listNumberDigits(const char *html, size_t at, size_t size)
{
    size_t k = at;
    while (k < size && k < at + 10 && escape::isDigit(html[k]))
        ++k;
    if (k > at && k < size && (html[k] == '.' || html[k] == ')')
        && (k + 1 >= size || escape::isSpace(html[k + 1]) || html[k + 1] == '<'))
        return k - at;
    return 0;
}

} // namespace html2md

#endif // HTML2MD_MARKDOWNESCAPE_H
