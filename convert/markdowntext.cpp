#include "convert/markdowntext.h"

namespace html2md {

std::vector<std::string_view> splitText(std::string_view text, char delimiter)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos)
            end = text.size();
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

} // namespace html2md
