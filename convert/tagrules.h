#ifndef HTML2MD_TAGRULES_H
#define HTML2MD_TAGRULES_H

// The tag rules: what Markdown each HTML element writes, a function for its
// opening tag and one for its closing tag (null: nothing to do). The rules
// hold no state; they work on the conversion's. Block rules are in
// blockrules.cpp, inline ones in inlinerules.cpp, and what keeps HTML as
// HTML in htmlcopy.h.

#include <string>
#include <unordered_map>

namespace html2md {

struct Conversion;

struct TagRule
{
    void (*open)(Conversion &);
    void (*close)(Conversion &);
};

// Rules by element name; the empty name holds the rule for elements that
// have none (kept as written).
using TagRules = std::unordered_map<std::string, TagRule>;

// One table per option set serves every conversion (a save converts block by
// block).
const TagRules &tagRules(bool keepHtml);

namespace rules {

// Blocks.
extern const TagRule paragraph;
extern const TagRule header1, header2, header3, header4, header5, header6;
extern const TagRule blockquote;
extern const TagRule orderedList;
extern const TagRule unorderedList;
extern const TagRule listItem;
extern const TagRule taskCheckbox;
extern const TagRule pre;
extern const TagRule table;
extern const TagRule tableRow;
extern const TagRule tableHeader;
extern const TagRule tableData;
extern const TagRule separator;
extern const TagRule lineBreak;
extern const TagRule blockBoundary; // a div: only a break between blocks
extern const TagRule option;
extern const TagRule title;

// Inline elements.
extern const TagRule bold;
extern const TagRule italic;
extern const TagRule strikethrough;
extern const TagRule underline;
extern const TagRule code;
extern const TagRule anchor;
extern const TagRule image;
extern const TagRule math; // a TeX formula

// Elements kept as HTML.
extern const TagRule keptInline; // kbd, sup, mark, ...: the same HTML
extern const TagRule keptBlock;  // div, details, section, ...: tags around Markdown, or the whole element
extern const TagRule rawText;    // style, script, textarea: copied whole
extern const TagRule unknown;    // elements without a rule: kept as written

} // namespace rules

// The front matter's pre at the document's start, as it stands; false when
// the pre is not that.
bool writeFrontMatter(Conversion &c);

} // namespace html2md

#endif // HTML2MD_TAGRULES_H
