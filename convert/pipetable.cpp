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

// The table's cells, trimmed, row after row.
struct Cells
{
    explicit Cells(std::string_view text)
    {
        for (std::string_view line : splitText(text, '\n')) {
            const size_t before = cells.size();
            for (std::string_view piece : splitRow(line)) {
                if (!piece.empty())
                    cells.push_back(trimSpaces(piece));
            }
            if (cells.size() > before)
                rowEnds.push_back(cells.size());
        }
    }

    size_t rowStart(size_t row) const { return row == 0 ? 0 : rowEnds[row - 1]; }

    std::vector<std::string_view> cells;
    std::vector<size_t> rowEnds; // end of each row's cells in cells
};

// The widest cell of each column.
std::vector<size_t> columnWidths(const Cells &table)
{
    std::vector<size_t> widths;
    for (size_t row = 0; row < table.rowEnds.size(); ++row) {
        const size_t start = table.rowStart(row);
        const size_t count = table.rowEnds[row] - start;
        if (widths.size() < count)
            widths.resize(count, 0);
        for (size_t k = 0; k < count; ++k)
            widths[k] = std::max(widths[k], table.cells[start + k].size());
    }
    return widths;
}

// The size of the table written with those widths.
size_t paddedSize(const Cells &table, const std::vector<size_t> &widths)
{
    size_t size = 0;
    for (size_t row = 0; row < table.rowEnds.size(); ++row) {
        size += 2;
        const size_t start = table.rowStart(row);
        for (size_t k = 0; start + k < table.rowEnds[row]; ++k) {
            const bool emptyDelimiter = row == 1 && table.cells[start + k].empty();
            size += emptyDelimiter ? 1 : widths[k] + 3;
        }
    }
    return size;
}

// A cell of the delimiter row: dashes as wide as the column, colons kept.
void appendDelimiter(std::string &result, std::string_view cell, size_t width)
{
    if (!cell.empty()) {
        std::string run(width + 2, '-');
        if (cell.front() == ':')
            run.front() = ':';
        // A lone colon counts as left alignment only.
        if (cell.back() == ':' && cell.size() > 1)
            run.back() = ':';
        result += run;
    }
    result += '|';
}

void appendCell(std::string &result, std::string_view cell, size_t width)
{
    result += ' ';
    result += cell;
    if (cell.size() < width)
        result.append(width - cell.size(), ' ');
    result += " |";
}

// The row's comment when it is its only content, else empty. The header and
// delimiter rows never qualify.
std::string_view commentOnlyRow(std::string_view line)
{
    const std::vector<std::string_view> pieces = splitRow(line);
    std::string_view comment;
    for (std::string_view piece : pieces) {
        const std::string_view cell = trimSpaces(piece);
        if (cell.empty())
            continue;
        if (!comment.empty() || cell.substr(0, 4) != "<!--" || cell.size() < 7
            || cell.substr(cell.size() - 3) != "-->")
            return std::string_view();
        comment = cell;
    }
    return comment;
}

} // namespace

TrailingComments trailingCommentRows(std::string_view text)
{
    const std::vector<std::string_view> lines = splitText(text, '\n');
    size_t kept = lines.size();
    while (kept > 0 && lines[kept - 1].empty())
        --kept;
    size_t first = kept;
    while (first > 2 && !commentOnlyRow(lines[first - 1]).empty())
        --first;
    TrailingComments result{text.size(), std::string()};
    if (first == kept)
        return result;
    result.start = size_t(lines[first].data() - text.data());
    for (size_t k = first; k < kept; ++k) {
        result.lines += '\n';
        result.lines += commentOnlyRow(lines[k]);
    }
    return result;
}

std::string formatPipeTable(std::string_view text)
{
    const Cells table(text);
    if (table.rowEnds.empty())
        return std::string();
    std::vector<size_t> widths = columnWidths(table);
    size_t outputSize = paddedSize(table, widths);
    if (outputSize > paddedSizeLimit(text.size())) {
        std::fill(widths.begin(), widths.end(), 1);
        outputSize = text.size() * 2 + table.rowEnds.size() * 2;
    }
    std::string result;
    result.reserve(outputSize);
    for (size_t row = 0; row < table.rowEnds.size(); ++row) {
        result += '|';
        const size_t start = table.rowStart(row);
        for (size_t k = 0; start + k < table.rowEnds[row]; ++k) {
            if (row == 1)
                appendDelimiter(result, table.cells[start + k], widths[k]);
            else
                appendCell(result, table.cells[start + k], widths[k]);
        }
        result += '\n';
    }
    return result;
}

} // namespace html2md
