#ifndef HTML2MD_INLINERULES_H
#define HTML2MD_INLINERULES_H

// The stack of open inline elements, shared by the rules that open and
// close them and by the blocks that end them.

namespace html2md {

struct Conversion;

// At a block's end nothing inline stays open.
void closeInlines(Conversion &c);
// Writes the tag just read as HTML and, unless it closes itself, remembers
// the element as open.
void pushRawInline(Conversion &c);
// Whether the element being closed was opened as HTML (or as emphasis); its
// end is written.
bool popRawInline(Conversion &c);

} // namespace html2md

#endif // HTML2MD_INLINERULES_H
