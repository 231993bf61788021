#ifndef MATHSPANS_H
#define MATHSPANS_H

// TeX math in Markdown text: "$...$" inline and "$$...$$" displayed.
//
// MD4C pairs any two dollar signs of a paragraph, so "$5 and $10" would be a
// formula. Here a single dollar opens only before a non-space and closes only
// after a non-space and not before a digit (as TeX writers and other
// Markdown readers take them); the dollars that pair with nothing are hidden
// from MD4C behind a byte the text does not use and put back in its HTML.
// MD4C also writes a formula's line breaks as spaces: the HTML gets each
// formula's own source instead, so that it goes back to Markdown byte for byte.

#include <QByteArray>

#include <cstddef>
#include <vector>

namespace mathspans {

struct Prepared
{
    // The text for MD4C: the source with its lone dollars hidden.
    QByteArray text;
    // The byte standing for them; 0 when none was hidden.
    char hidden = 0;
    // Each formula's TeX in the source, in order: [start, end).
    std::vector<std::pair<int, int>> formulas;
    // Where the containers' prefixes of each formula's later lines lie (the
    // formula's source less these is its TeX).
    std::vector<std::pair<int, int>> prefixes;
};

// Finds the formulas of utf8, Markdown that is rendered with LaTeX math spans.
Prepared prepare(const char *utf8, int size);

// MD4C's HTML of prepared.text made right: the hidden dollars back, and each
// <x-equation> holding its formula's source.
void finish(QByteArray &html, const Prepared &prepared, const char *utf8);

// Appends [p, end) to out with "&", "<", ">" and '"' as MD4C writes them.
void appendHtmlEscaped(QByteArray &out, const char *p, const char *end);

// A text dollar of the page needs a backslash: it could open a formula that
// a later dollar (or formula) of its block closes. html[next] is the byte
// after it.
bool dollarNeedsBackslash(const char *html, size_t size, size_t next);

} // namespace mathspans

#endif // MATHSPANS_H
