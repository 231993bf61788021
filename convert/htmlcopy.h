#ifndef HTML2MD_HTMLCOPY_H
#define HTML2MD_HTMLCOPY_H

// HTML that stays HTML in the Markdown: elements with attributes Markdown
// cannot carry, elements without a Markdown form, and markup that began an
// HTML block in the source. Works on the tag just read.

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace html2md {

struct Conversion;

// The tag has attributes other than the allowed ones (the page's own
// bookkeeping aside). Always false when HTML is not kept.
bool hasForeignAttributes(const Conversion &c, std::initializer_list<std::string_view> allowed = {});
// A link without a target, or with attributes a Markdown link cannot carry.
bool linkNeedsHtml(const Conversion &c);
// Nothing inline is open and no text written on the line: markup here
// starts an HTML block.
bool atBlockStart(const Conversion &c);
// The first child of the element just opened: "" when it is text.
std::string_view nextTagName(const Conversion &c);
// The byte after the end tag that closes the element opened before from,
// counting elements of the same name inside (comments skipped); npos when it
// is not closed. In raw text only the first end tag counts.
size_t elementEnd(Conversion &c, std::string_view name, size_t from);
// Writes the element just opened, up to and with its end tag, as HTML and
// moves past it; false when it is not closed (or HTML is not kept).
bool copyElement(Conversion &c, bool block);
// An inline element alone on its line outside any paragraph began an HTML
// block: copies it as one.
bool copyHtmlBlock(Conversion &c);

} // namespace html2md

#endif // HTML2MD_HTMLCOPY_H
