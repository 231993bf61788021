// The rules of block elements: paragraphs, headers, quotes, lists, code
// blocks, tables, rules and breaks.

#include "convert/conversion.h"
#include "convert/htmlcopy.h"
#include "convert/inlinerules.h"
#include "convert/pipetable.h"

#include <algorithm>
#include <cctype>

namespace html2md {

namespace {

using Break = MarkdownWriter::Break;

// A block written as HTML when it carries attributes Markdown cannot.
bool copiedForAttributes(Conversion &c, std::initializer_list<std::string_view> allowed = {})
{
    return hasForeignAttributes(c, allowed) && copyElement(c, true);
}

void requestBlockBreak(Conversion &c)
{
    c.requestBlockBreak();
}

void openSeparator(Conversion &c)
{
    if (copiedForAttributes(c))
        return;
    c.requestBlockBreak();
    c.beginContent();
    // In a list item "---" could read as a rule ending the list or an underline.
    c.appendText(c.out.containers.empty() || c.out.containers.back().quote ? "---" : "***");
    c.requestBlockBreak();
}

void openLineBreak(Conversion &c)
{
    if (c.code.inPre || c.code.inCode)
        return;
    if (c.table.inCell) {
        ++c.table.cellBreaks; // a cell cannot hold a line feed: written as <br> before its next text
        return;
    }
    if (c.table.inTable)
        return;
    if (c.out.text.empty() && !c.out.fresh)
        return;
    // Written when text follows: a break at the end of a block shows nothing.
    c.out.pendingHardBreak = true;
}

void closeOption(Conversion &c)
{
    if (!c.out.text.empty())
        c.out.pendingHardBreak = true;
}

void openTitle(Conversion &c)
{
    c.requestBlockBreak();
    ++c.noWrap;
}

void closeTitle(Conversion &c)
{
    MarkdownWriter &out = c.out;
    if (c.noWrap > 0)
        --c.noWrap;
    if (out.text.size() <= out.lineStart)
        return;
    // Underline the title's line: a level-one header.
    const size_t width = out.text.size() - out.lineStart;
    out.newLine();
    c.appendText(std::string(width, '='));
    out.requestBreak(Break::Blank);
}

void openParagraph(Conversion &c)
{
    if (copiedForAttributes(c))
        return;
    std::vector<MarkdownWriter::Container> &containers = c.out.containers;
    if (!containers.empty() && !containers.back().quote) {
        // A paragraph in an item: the list is loose.
        containers.back().paragraph = true;
        if (!c.lists.levels.empty())
            c.lists.levels.back().loose = true;
    }
    c.requestBlockBreak();
    ++c.textBlocks;
}

void closeParagraph(Conversion &c)
{
    closeInlines(c);
    if (c.textBlocks > 0)
        --c.textBlocks;
    c.requestBlockBreak();
}

void openHeader(Conversion &c, size_t level)
{
    if (copiedForAttributes(c))
        return;
    c.requestBlockBreak();
    c.beginContent();
    c.appendText(std::string(level, '#'));
    c.appendText(" ");
    c.out.lineStart = c.out.text.size();
    ++c.noWrap;
    ++c.textBlocks;
}

void closeHeader(Conversion &c)
{
    closeInlines(c);
    if (c.noWrap > 0)
        --c.noWrap;
    if (c.textBlocks > 0)
        --c.textBlocks;
    MarkdownWriter &out = c.out;
    out.pendingHardBreak = false;
    out.trimLineEnd();
    std::string &md = out.text;
    // A header ending in hashes after a space would lose them as a closing sequence.
    size_t run = md.size();
    while (run > out.lineStart && md[run - 1] == '#')
        --run;
    if (run < md.size() && (run == out.lineStart || md[run - 1] == ' '))
        md.insert(run, 1, '\\');
    if (md.size() == out.lineStart && !md.empty() && md.back() == ' ')
        md.pop_back(); // an empty header
    c.requestBlockBreak();
}

template<size_t Level>
void openHeaderLevel(Conversion &c)
{
    openHeader(c, Level);
}

void openBlockquote(Conversion &c)
{
    if (copiedForAttributes(c))
        return;
    c.requestBlockBreak();
    c.beginContent();
    c.out.openContainer(true, "> ");
}

void closeBlockquote(Conversion &c)
{
    closeInlines(c);
    c.out.closeContainer(true);
    c.requestBlockBreak();
}

// ---------------------------------------------------------------------------
// Lists

// A list right after another of its kind needs the other marker, or the two
// would merge into one.
char listMarker(const Conversion &c, bool ordered, char marker)
{
    const ListState &lists = c.lists;
    if (lists.closedAt != c.out.text.size() || lists.closedOrdered != ordered || lists.closedMarker != marker)
        return marker;
    if (ordered)
        return marker == ')' ? '.' : ')';
    return marker == '*' ? '-' : '*';
}

void openOrderedList(Conversion &c)
{
    if (c.table.inTable || copiedForAttributes(c, {"start"}))
        return;
    c.requestBlockBreak();
    uint32_t start = 1;
    const std::string value = c.attributeValue("start");
    if (!value.empty() && value.size() <= 9 && std::all_of(value.begin(), value.end(), ::isdigit))
        start = static_cast<uint32_t>(std::stoul(value));
    const char marker = listMarker(c, true, c.options.orderedMarker);
    c.lists.levels.push_back(ListState::Level{true, start, marker, false});
}

void openUnorderedList(Conversion &c)
{
    if (c.table.inTable || copiedForAttributes(c))
        return;
    c.requestBlockBreak();
    const char marker = listMarker(c, false, c.options.bulletMarker);
    c.lists.levels.push_back(ListState::Level{false, 0, marker, false});
}

void closeList(Conversion &c, bool ordered)
{
    ListState &lists = c.lists;
    if (c.table.inTable || lists.levels.empty())
        return;
    lists.closedOrdered = ordered;
    lists.closedMarker = lists.levels.back().marker;
    lists.levels.pop_back();
    c.out.pendingBreak = Break::None;
    c.requestBlockBreak();
    lists.closedAt = c.out.text.size();
}

void closeOrderedList(Conversion &c)
{
    closeList(c, true);
}

void closeUnorderedList(Conversion &c)
{
    closeList(c, false);
}

void openListItem(Conversion &c)
{
    if (c.table.inTable)
        return;
    closeInlines(c);
    std::vector<ListState::Level> &levels = c.lists.levels;
    if (levels.empty())
        levels.push_back(ListState::Level{false, 0, c.options.bulletMarker, false});
    ListState::Level &list = levels.back();
    c.out.requestBreak(list.loose ? Break::Blank : Break::Line);
    std::string marker;
    if (list.ordered) {
        marker = std::to_string(list.number++);
        marker += list.marker;
    } else {
        marker = list.marker;
    }
    marker += ' ';
    c.beginContent();
    c.out.openContainer(false, marker);
}

void closeListItem(Conversion &c)
{
    if (c.table.inTable)
        return;
    closeInlines(c);
    const std::vector<MarkdownWriter::Container> &containers = c.out.containers;
    const bool loose = !containers.empty() && !containers.back().quote && containers.back().paragraph;
    c.out.closeContainer(false);
    c.out.requestBreak(loose ? Break::Blank : Break::Line);
}

void openTaskCheckbox(Conversion &c)
{
    // Only a checkbox at the start of a list item is a task marker.
    MarkdownWriter &out = c.out;
    if (out.containers.empty() || out.containers.back().quote || !out.fresh || c.table.inTable)
        return;
    std::string type = c.attributeValue("type");
    std::transform(type.begin(), type.end(), type.begin(), ::tolower);
    if (type != "checkbox")
        return;
    c.beginContent();
    c.appendText(c.hasAttribute("checked") ? "[x] " : "[ ] ");
    out.lineStart = out.text.size();
    // The item's first block still follows without a break.
    out.fresh = true;
}

// ---------------------------------------------------------------------------
// Code blocks

void openPre(Conversion &c)
{
    CodeState &code = c.code;
    if (code.inPre || writeFrontMatter(c))
        return;
    // A pre without a code element, or with attributes, was written as HTML.
    if (c.options.keepHtml && (hasForeignAttributes(c) || nextTagName(c) != "code") && copyElement(c, true))
        return;
    c.requestBlockBreak();
    c.beginContent();
    code.inPre = true;
    code.fenceStart = c.out.text.size();
    code.fenceBodyOpen = false;
    code.tickRun = 0;
    code.maxTickRun = 0;
    c.appendText("```");
}

void closePre(Conversion &c)
{
    CodeState &code = c.code;
    MarkdownWriter &out = c.out;
    if (!code.inPre)
        return;
    code.inPre = false;
    code.inCode = false;
    if (!code.fenceBodyOpen || !out.atLineStart())
        out.newLine();
    // The fence is longer than any run of backticks in the code.
    const size_t ticks = std::max<size_t>(3, code.maxTickRun + 1);
    if (ticks > 3 && code.fenceStart <= out.text.size()) {
        out.text.insert(code.fenceStart, ticks - 3, '`');
        out.lineStart += ticks - 3;
    }
    c.appendText(std::string(ticks, '`'));
    c.requestBlockBreak();
}

// ---------------------------------------------------------------------------
// Tables

void openTable(Conversion &c)
{
    // Without a header row, or with attributes, the table was written as HTML.
    if (c.options.keepHtml && !c.table.inTable && (hasForeignAttributes(c) || nextTagName(c) != "thead")
        && copyElement(c, true))
        return;
    c.requestBlockBreak();
    c.beginContent();
    c.table.inTable = true;
    c.table.start = c.out.text.size();
    ++c.table.open;
}

// The rows written since the table opened, aligned, with the prefix of the
// quotes and list items around the table on every line.
void formatTableRows(Conversion &c)
{
    MarkdownWriter &out = c.out;
    // The start can lie beyond the end when a rule took bytes back since.
    const size_t start = std::min(c.table.start, out.text.size());
    std::string rows = out.text.substr(start);
    out.text.resize(start);
    out.lineStart = std::min(out.lineStart, start);
    const TrailingComments comments = trailingCommentRows(rows);
    rows.resize(comments.start);
    if (c.options.alignTables)
        rows = formatPipeTable(rows);
    while (!rows.empty() && rows.back() == '\n')
        rows.pop_back();
    rows += comments.lines;
    std::string prefixed;
    prefixed.reserve(rows.size());
    for (char ch : rows) {
        prefixed += ch;
        if (ch == '\n')
            prefixed += out.prefix;
    }
    c.appendText(prefixed);
    const size_t lineStart = out.text.rfind('\n');
    out.lineStart = lineStart == std::string::npos ? 0 : lineStart + 1 + out.prefix.size();
    out.lineStart = std::min(out.lineStart, out.text.size());
    out.wrapPoint = std::string::npos;
}

void closeTable(Conversion &c)
{
    // Only a table that is open gets formatted; a stray or repeated closing
    // tag must not turn the text after the last table into table rows.
    TableState &table = c.table;
    if (table.open == 0)
        return;
    --table.open;
    table.inTable = table.open > 0;
    table.inCell = false;
    formatTableRows(c);
    // An enclosing table formats only what follows this one.
    table.start = c.out.text.size();
    c.requestBlockBreak();
}

void openTableRow(Conversion &c)
{
    if (c.table.inTable && c.out.text.size() > c.table.start)
        c.out.appendChar('\n');
}

void closeTableRow(Conversion &c)
{
    TableState &table = c.table;
    MarkdownWriter &out = c.out;
    if (!table.inTable)
        return;
    table.inCell = false;
    if ((out.text.empty() || out.text.back() != '|') && out.text.size() > table.start)
        c.appendText("|");
    if (!table.alignmentRow.empty()) {
        // The delimiter row follows the first row that had header cells.
        out.appendChar('\n');
        table.alignmentRow += "|";
        c.appendText(table.alignmentRow);
        table.alignmentRow.clear();
    }
}

void openCell(Conversion &c)
{
    closeInlines(c);
    c.appendText("| ");
    c.table.inCell = true;
    c.out.lineStart = c.table.cellStart = c.out.text.size();
    c.out.pendingBreak = Break::None;
    c.out.pendingHardBreak = false;
    c.table.cellBreaks = 0;
}

void closeCell(Conversion &c)
{
    closeInlines(c);
    if (c.table.inTable)
        c.appendText(" ");
    c.table.inCell = false;
}

void openTableHeader(Conversion &c)
{
    if (!c.table.inTable)
        return;
    std::string align = c.attributeValue("align");
    if (align.empty()) {
        const std::string style = c.attributeValue("style");
        for (const char *a : {"left", "center", "right"}) {
            if (style.find(std::string("text-align: ") + a) != std::string::npos
                || style.find(std::string("text-align:") + a) != std::string::npos)
                align = a;
        }
    }
    const bool left = align == "left" || align == "center";
    const bool right = align == "right" || align == "center";
    c.table.alignmentRow += left ? "| :-" : "| -";
    c.table.alignmentRow += right ? ": " : " ";
    openCell(c);
}

void openTableData(Conversion &c)
{
    if (c.table.inTable)
        openCell(c);
}

} // namespace

namespace rules {

const TagRule paragraph{openParagraph, closeParagraph};
const TagRule header1{openHeaderLevel<1>, closeHeader};
const TagRule header2{openHeaderLevel<2>, closeHeader};
const TagRule header3{openHeaderLevel<3>, closeHeader};
const TagRule header4{openHeaderLevel<4>, closeHeader};
const TagRule header5{openHeaderLevel<5>, closeHeader};
const TagRule header6{openHeaderLevel<6>, closeHeader};
const TagRule blockquote{openBlockquote, closeBlockquote};
const TagRule orderedList{openOrderedList, closeOrderedList};
const TagRule unorderedList{openUnorderedList, closeUnorderedList};
const TagRule listItem{openListItem, closeListItem};
const TagRule taskCheckbox{openTaskCheckbox, nullptr};
const TagRule pre{openPre, closePre};
const TagRule table{openTable, closeTable};
const TagRule tableRow{openTableRow, closeTableRow};
const TagRule tableHeader{openTableHeader, closeCell};
const TagRule tableData{openTableData, closeCell};
const TagRule separator{openSeparator, nullptr};
const TagRule lineBreak{openLineBreak, nullptr};
const TagRule blockBoundary{requestBlockBreak, requestBlockBreak};
const TagRule option{nullptr, closeOption};
const TagRule title{openTitle, closeTitle};

} // namespace rules

} // namespace html2md
