#ifndef HTMLSYNTAX_H
#define HTMLSYNTAX_H

// What HTML's syntax says, for every part of the program that reads HTML by
// hand: which elements hold text instead of markup, which never have an end
// tag, where a tag ends and what its attributes are. Element names are given
// in lower case. The scanners work on UTF-8 bytes (char) and on QString's
// UTF-16 units (ushort) alike. Qt Core only.

#include <QChar>
#include <QStringView>

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace htmlsyntax {

namespace detail {

template<typename Unit>
bool equalsAscii(const Unit *name, size_t size, std::string_view ascii)
{
    if (size != ascii.size())
        return false;
    for (size_t k = 0; k < size; ++k) {
        if (name[k] != static_cast<unsigned char>(ascii[k]))
            return false;
    }
    return true;
}

template<typename Unit>
bool isOneOf(const Unit *name, size_t size, std::initializer_list<std::string_view> names)
{
    for (std::string_view candidate : names) {
        if (equalsAscii(name, size, candidate))
            return true;
    }
    return false;
}

// The element names below, for either kind of text.
template<typename Unit>
bool isRawText(const Unit *name, size_t size)
{
    return isOneOf(name, size,
                   {"script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes", "noscript",
                    "plaintext"});
}

template<typename Unit>
bool isVoid(const Unit *name, size_t size)
{
    return isOneOf(name, size,
                   {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source",
                    "track", "wbr"});
}

} // namespace detail

// Elements whose content the parser reads as text up to their end tag (raw
// text and escapable raw text, the page's scripts running): a "<" inside
// them starts no tag and no comment, and the same name inside does not nest.
inline bool isRawTextElement(std::string_view name)
{
    return detail::isRawText(name.data(), name.size());
}
inline bool isRawTextElement(QStringView name)
{
    return detail::isRawText(name.utf16(), static_cast<size_t>(name.size()));
}

// Elements that have no end tag and no content.
inline bool isVoidElement(std::string_view name)
{
    return detail::isVoid(name.data(), name.size());
}
inline bool isVoidElement(QStringView name)
{
    return detail::isVoid(name.utf16(), static_cast<size_t>(name.size()));
}

inline char toLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names are compared ignoring ASCII case; lower is in lower case.
inline bool equalsName(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (size_t k = 0; k < text.size(); ++k) {
        if (toLowerAscii(text[k]) != lower[k])
            return false;
    }
    return true;
}

// Characters of an element name after its first letter.
inline bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':') || c == QLatin1Char('_');
}

template<typename Unit>
inline bool isSpace(Unit c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The index just past the ">" that ends the tag read from text[from] (any
// point after its "<", before its attributes), or size when it never ends.
// A quote opens an attribute value only after "=", so a ">" inside a quoted
// value does not end the tag; elsewhere a quote is an ordinary character.
template<typename Unit>
size_t tagEnd(const Unit *text, size_t from, size_t size)
{
    Unit quote = 0;
    Unit lastNonSpace = 0;
    for (size_t i = from; i < size; ++i) {
        const Unit c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '>') {
            return i + 1;
        } else if ((c == '"' || c == '\'') && lastNonSpace == '=') {
            quote = c;
        } else if (!isSpace(c)) {
            lastNonSpace = c;
        }
    }
    return size;
}

// Calls visit(name, value) for each attribute of a tag, given as its text
// after the "<" (the element's name first); value is empty when there is
// none, and is returned as written (references not decoded). Stops at the
// tag's ">" or when visit returns true.
template<typename Visit>
void forEachAttribute(std::string_view tag, Visit &&visit)
{
    const size_t size = tag.size();
    size_t i = 0;
    while (i < size && !isSpace(tag[i]) && tag[i] != '>' && tag[i] != '/')
        ++i; // the element name
    while (i < size) {
        while (i < size && (isSpace(tag[i]) || tag[i] == '/'))
            ++i;
        if (i >= size || tag[i] == '>')
            return;
        const size_t nameStart = i;
        while (i < size && !isSpace(tag[i]) && tag[i] != '=' && tag[i] != '>' && tag[i] != '/')
            ++i;
        if (i == nameStart) {
            ++i; // a stray "="
            continue;
        }
        const std::string_view name = tag.substr(nameStart, i - nameStart);
        size_t valueStart = i;
        size_t valueEnd = i;
        size_t j = i;
        while (j < size && isSpace(tag[j]))
            ++j;
        if (j < size && tag[j] == '=') {
            ++j;
            while (j < size && isSpace(tag[j]))
                ++j;
            if (j < size && (tag[j] == '"' || tag[j] == '\'')) {
                const size_t close = tag.find(tag[j], j + 1);
                valueStart = j + 1;
                valueEnd = close == std::string_view::npos ? size : close;
                i = close == std::string_view::npos ? size : close + 1;
            } else {
                valueStart = j;
                while (j < size && !isSpace(tag[j]) && tag[j] != '>')
                    ++j;
                valueEnd = j;
                i = j;
            }
        }
        if (visit(name, tag.substr(valueStart, valueEnd - valueStart)))
            return;
    }
}

} // namespace htmlsyntax

#endif // HTMLSYNTAX_H
