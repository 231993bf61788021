#ifndef HTML2MD_MARKDOWNTEXT_H
#define HTML2MD_MARKDOWNTEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Byte-string helpers of the table formatter.
namespace html2md {

// Pieces between delimiter bytes, as line-by-line reading yields them:
// empty pieces between adjacent delimiters are kept, a final delimiter adds
// no empty piece and an empty text gives no pieces. Views point into text.
std::vector<std::string_view> splitText(std::string_view text, char delimiter);

} // namespace html2md

#endif // HTML2MD_MARKDOWNTEXT_H
