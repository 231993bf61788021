#ifndef HTML2MD_MARKDOWNTEXT_H
#define HTML2MD_MARKDOWNTEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Byte-string passes over Markdown text, used by the converter's clean-up
// and by htmlToMarkdown. Every pass is a single linear walk.
namespace html2md {

// The text repeated n times; empty for n = 0.
std::string repeatText(std::string_view text, size_t n);

// Pieces between delimiter bytes, as line-by-line reading yields them:
// empty pieces between adjacent delimiters are kept, a final delimiter adds
// no empty piece and an empty text gives no pieces. Views point into text.
std::vector<std::string_view> splitText(std::string_view text, char delimiter);

// Trims one line: leading whitespace unless the line starts with a tab,
// trailing whitespace unless it ends with two spaces (a hard break).
std::string_view tidyLine(std::string_view line);

// Trims every line outside fenced blocks, drops leading blank lines, cuts
// runs of blank lines to two and ends every line with a line feed.
void tidyLines(std::string &text);

// Replaces each entity name found at a position by its bytes, left to
// right; replacements are not scanned again.
void decodeEntities(std::string &text,
                    const std::unordered_map<std::string, std::string> &entities);

// Replaces every occurrence of find, leftmost first; the search resumes after
// each replacement, so replacements are never matched again. Returns the
// number of replacements.
size_t replaceAll(std::string &text, std::string_view find, std::string_view replacement);

// Puts every "```" that follows a byte other than a line feed on a new line
// (the leftmost non-overlapping matches of "([^\n])(```)" become "$1\n```"),
// except a fence that directly follows the block-quote prefix of its line.
void breakBeforeFences(std::string &text);

} // namespace html2md

#endif // HTML2MD_MARKDOWNTEXT_H
