#include "convert/pipetable.h"

#include "convert/markdowntext.h"

#include <algorithm>
#include <vector>

namespace html2md {

namespace {

// Padding every cell to its column width can multiply the size of a table
// with one huge cell and many rows. Past this size the columns are left
// unpadded rather than exhausting memory.
size_t paddedSizeLimit(size_t rawSize)
{
    const size_t floor = size_t(64) << 20;
    return std::max(floor, rawSize * 8);
}

std::string_view trimSpaces(std::string_view cell)
{
    const size_t first = cell.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::string_view();
    const size_t last = cell.find_last_not_of(' ');
    return cell.substr(first, last - first + 1);
}

// The pieces of a row between its cell separators: every "|" that no
// backslash escapes (an escaped pipe is text of its cell).
std::vector<std::string_view> splitRow(std::string_view line)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    size_t backslashes = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '|' && backslashes % 2 == 0) {
            pieces.push_back(line.substr(start, i - start));
            start = i + 1;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    if (start < line.size())
        pieces.push_back(line.substr(start));
    return pieces;
}

} // namespace

std::string formatPipeTable(std::string_view text)
{
    std::vector<std::string_view> cells;
    std::vector<size_t> rowEnds; // end of each row's cells in cells
    for (std::string_view line : splitText(text, '\n')) {
        const size_t before = cells.size();
        for (std::string_view piece : splitRow(line)) {
            if (!piece.empty())
                cells.push_back(trimSpaces(piece));
        }
        if (cells.size() > before)
            rowEnds.push_back(cells.size());
    }
    if (rowEnds.empty())
        return std::string();

    std::vector<size_t> widths;
    size_t rowStart = 0;
    for (size_t end : rowEnds) {
        if (widths.size() < end - rowStart)
            widths.resize(end - rowStart, 0);
        for (size_t k = 0; rowStart + k < end; ++k)
            widths[k] = std::max(widths[k], cells[rowStart + k].size());
        rowStart = end;
    }

    size_t outputSize = 0;
    rowStart = 0;
    for (size_t row = 0; row < rowEnds.size(); ++row) {
        outputSize += 2;
        for (size_t k = 0; rowStart + k < rowEnds[row]; ++k) {
            const bool emptyDelimiter = row == 1 && cells[rowStart + k].empty();
            outputSize += emptyDelimiter ? 1 : widths[k] + 3;
        }
        rowStart = rowEnds[row];
    }
    if (outputSize > paddedSizeLimit(text.size())) {
        std::fill(widths.begin(), widths.end(), 1);
        outputSize = text.size() * 2 + rowEnds.size() * 2;
    }

    std::string result;
    result.reserve(outputSize);
    rowStart = 0;
    for (size_t row = 0; row < rowEnds.size(); ++row) {
        result += '|';
        for (size_t k = 0; rowStart + k < rowEnds[row]; ++k) {
            const std::string_view cell = cells[rowStart + k];
            if (row == 1) {
                if (!cell.empty()) {
                    std::string run(widths[k] + 2, '-');
                    if (cell.front() == ':')
                        run.front() = ':';
                    // A lone colon counts as left alignment only.
                    if (cell.back() == ':' && cell.size() > 1)
                        run.back() = ':';
                    result += run;
                }
                result += '|';
            } else {
                result += ' ';
                result += cell;
                if (cell.size() < widths[k])
                    result.append(widths[k] - cell.size(), ' ');
                result += " |";
            }
        }
        result += '\n';
        rowStart = rowEnds[row];
    }
    return result;
}

} // namespace html2md
