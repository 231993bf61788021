// The rules of elements whose text goes out as it stands, neither escaped
// nor wrapped: TeX formulas and the front matter.

#include "convert/conversion.h"
#include "convert/frontmatter.h"
#include "convert/htmlcopy.h"
#include "convert/htmltext.h"

#include <cstring>

namespace html2md {

namespace {

// The text of the element opened just before from, whose end tag ends at
// end: its tags left out (the page may wrap lines in elements), its
// references decoded.
std::string elementText(const Conversion &c, size_t from, size_t end)
{
    const char *data = c.html.data();
    size_t stop = end;
    while (stop > from && data[stop - 1] != '<')
        --stop;
    stop = stop > from ? stop - 1 : from; // the end tag's "<"
    std::string text;
    for (size_t k = from; k < stop;) {
        if (data[k] == '<') {
            while (k < stop && data[k] != '>')
                ++k;
            ++k;
        } else if (data[k] == '&') {
            const size_t used = decodeEntity(data, k, stop, text);
            if (used == 0)
                text.push_back('&');
            k += used ? used : 1;
        } else {
            text.push_back(data[k++]);
        }
    }
    return text;
}

// A formula: "$TeX$", or "$$TeX$$" for a displayed one, its TeX as written.
void openMath(Conversion &c)
{
    if (c.inCodeOrIgnored())
        return;
    const size_t end = elementEnd(c, "x-equation", c.scanIndex);
    if (end == std::string::npos) {
        rules::unknown.open(c);
        return;
    }
    const std::string tex = elementText(c, c.scanIndex, end);
    c.scanIndex = end;
    if (tex.empty())
        return;
    const char *delimiter = c.attributeValue("type") == "display" ? "$$" : "$";
    c.beginContent();
    c.out.append(delimiter, std::strlen(delimiter));
    c.out.writeVerbatim(tex.data(), tex.size(), c.table.inTable);
    c.out.append(delimiter, std::strlen(delimiter));
}

} // namespace

// The front matter opens the document; anywhere else its pre is HTML.
bool writeFrontMatter(Conversion &c)
{
    if (!c.out.text.empty() || !c.hasAttribute(frontmatter::htmlAttribute))
        return false;
    const size_t end = elementEnd(c, "pre", c.scanIndex);
    if (end == std::string::npos)
        return false;
    const std::string markdown = frontmatter::toMarkdown(elementText(c, c.scanIndex, end), c.attributeValue(frontmatter::htmlAttribute));
    c.scanIndex = end;
    c.beginContent();
    c.out.writeVerbatim(markdown.data(), markdown.size(), false);
    c.requestBlockBreak();
    return true;
}

namespace rules {

const TagRule math{openMath, nullptr};

} // namespace rules

} // namespace html2md
