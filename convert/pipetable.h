#ifndef HTML2MD_PIPETABLE_H
#define HTML2MD_PIPETABLE_H

#include <string>
#include <string_view>

namespace html2md {

// Rewrites the Markdown of one pipe table with padded, aligned columns.
// The second row is always written as the delimiter row.
std::string formatPipeTable(std::string_view text);

} // namespace html2md

#endif // HTML2MD_PIPETABLE_H
