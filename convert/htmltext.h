#ifndef HTML2MD_HTMLTEXT_H
#define HTML2MD_HTMLTEXT_H

// The text between the tags, for the converter's scanner.

#include <cstddef>
#include <string>

namespace html2md {

struct Conversion;

// Decodes the character reference at data[i] (an "&"): the named ones the
// editor's HTML uses and numeric ones. Returns the length read, 0 when there
// is none; the bytes go to out.
size_t decodeEntity(const char *data, size_t i, size_t end, std::string &out);

// Reads the text from the scan position up to the next "<": code as it
// stands, other text escaped, wrapped and with HTML's white space folded.
void readText(Conversion &c);

} // namespace html2md

#endif // HTML2MD_HTMLTEXT_H
