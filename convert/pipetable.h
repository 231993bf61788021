#ifndef HTML2MD_PIPETABLE_H
#define HTML2MD_PIPETABLE_H

#include <string>
#include <string_view>

namespace html2md {

// Rewrites the Markdown of one pipe table with padded, aligned columns.
// The second row is always written as the delimiter row.
std::string formatPipeTable(std::string_view text);

// The last rows of a table that hold only an HTML comment in their first
// cell (MD4C reads such a line directly after a table as a row), as the bare
// lines they came from, and where those rows start in text. Written bare,
// they read again as the same rows here and as HTML after the table elsewhere.
struct TrailingComments
{
    size_t start;
    std::string lines;
};
TrailingComments trailingCommentRows(std::string_view text);

} // namespace html2md

#endif // HTML2MD_PIPETABLE_H
