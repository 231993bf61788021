#include "convert/markdownescape.h"

namespace html2md {

namespace escape {

bool looksLikeEntity(const char *data, size_t i, size_t end)
{
    size_t k = i + 1;
    while (k < end && k < i + 33 && (isAsciiAlpha(data[k]) || isDigit(data[k]) || data[k] == '#'))
        ++k;
    return k > i + 1 && k < end && data[k] == ';';
}

// A destination, then the line's end or something that may be a title.
// Anything else after the destination ("[^1]: A longer note.") keeps the line
// text, and its bracket need not be escaped. Markup that is not a line break
// counts as more text.
bool definitionFollows(const char *data, size_t i, size_t end)
{
    const auto lineEnds = [&](size_t k) {
        return k >= end || data[k] == '\n'
            || (data[k] == '<' && (k + 1 >= end || data[k + 1] == '/'
                                   || (k + 3 <= end && (data[k + 1] == 'b' || data[k + 1] == 'B')
                                       && (data[k + 2] == 'r' || data[k + 2] == 'R'))));
    };
    while (i < end && data[i] == ' ')
        ++i;
    if (lineEnds(i))
        return true; // the destination may follow on the next line
    while (i < end && data[i] != ' ' && data[i] != '\n' && data[i] != '<')
        ++i;
    while (i < end && data[i] == ' ')
        ++i;
    return lineEnds(i) || data[i] == '"' || data[i] == '\'' || data[i] == '(' || data[i] == '&';
}

} // namespace escape

} // namespace html2md
