#include "convert/tagrules.h"

#include "convert/markdowntext.h"
#include "convert/pipetable.h"

#include <algorithm>
#include <string_view>

namespace html2md {

void Converter::TagDiv::onOpeningTag(Converter &c)
{
    if (c.lastChar != '\n')
        c.appendChar('\n');
    if (c.secondLastChar != '\n')
        c.appendChar('\n');
}

void Converter::TagBreak::onOpeningTag(Converter &c)
{
    if (c.inList) {
        // Indent the continuation so it stays inside the item.
        c.appendText("  \n", 3);
        c.appendText(repeatText("  ", c.listDepth));
    } else if (c.inTable) {
        c.appendText("<br>", 4); // a table cell cannot hold a line feed
    } else if (!c.markdown.empty()) {
        c.appendText("  \n", 3);
    }
}

void Converter::TagOption::onClosingTag(Converter &c)
{
    if (!c.markdown.empty())
        c.appendText("  \n", 3);
}

void Converter::TagTitle::onClosingTag(Converter &c)
{
    // Underline the title's line: a level-one header.
    c.appendText("\n" + std::string(c.lineLength, '=') + "\n\n");
    c.lineLength = 0;
}

void Converter::TagParagraph::onOpeningTag(Converter &c)
{
    if (!c.inList)
        c.appendChar('\n');
    else if (std::string_view(c.previousTag) == "p")
        c.appendText("\n\t", 2); // a second paragraph in the same item
}

void Converter::TagParagraph::onClosingTag(Converter &c)
{
    // Written directly, so the paragraph also ends inside a quote, where the
    // prefix then continues the quote on the next line.
    if (!c.markdown.empty())
        c.appendText("\n", 1);
    if (c.quoteDepth != 0)
        c.appendText(c.quotePrefix());
}

void Converter::TagBlockquote::onOpeningTag(Converter &c)
{
    ++c.quoteDepth;
    c.appendText("\n", 1);
    c.appendText(c.quotePrefix());
}

void Converter::TagBlockquote::onClosingTag(Converter &c)
{
    if (c.quoteDepth > 0)
        --c.quoteDepth;
    const std::string &md = c.markdown;
    if (md.size() >= 2 && md[md.size() - 2] == '>' && md[md.size() - 1] == ' ')
        c.removeTail(2); // the prefix nothing followed
}

namespace {

void closeList(uint8_t &listDepth, bool &inList)
{
    if (listDepth > 0) {
        --listDepth;
        inList = listDepth > 0;
    } else {
        inList = false;
    }
}

} // namespace

void Converter::TagOrderedList::onOpeningTag(Converter &c)
{
    if (c.inTable)
        return;
    ++c.listDepth;
    c.inList = true;
    c.inOrderedList = true;
    c.itemCounter = 0;
    c.breakAtLastSpace();
    c.appendChar('\n');
}

void Converter::TagOrderedList::onClosingTag(Converter &c)
{
    if (c.inTable)
        return;
    c.inOrderedList = false;
    closeList(c.listDepth, c.inList);
    c.appendChar('\n');
}

void Converter::TagUnorderedList::onOpeningTag(Converter &c)
{
    if (c.inList || c.inTable)
        return;
    ++c.listDepth;
    c.inList = true;
    c.appendChar('\n');
}

void Converter::TagUnorderedList::onClosingTag(Converter &c)
{
    if (c.inTable)
        return;
    closeList(c.listDepth, c.inList);
    if (c.secondLastChar == '\n' && c.lastChar == '\n')
        c.removeTail(1);
    else if (c.lastChar != '\n')
        c.appendChar('\n');
}

void Converter::TagListItem::onOpeningTag(Converter &c)
{
    if (c.inTable)
        return;
    if (c.inOrderedList) {
        ++c.itemCounter;
        std::string marker = std::to_string(c.itemCounter);
        marker += c.options.orderedMarker;
        marker += ' ';
        c.appendText(marker);
    } else {
        const char marker[2] = {c.options.bulletMarker, ' '};
        c.appendText(marker, 2);
    }
}

void Converter::TagListItem::onClosingTag(Converter &c)
{
    if (!c.inTable && c.lastChar != '\n')
        c.appendChar('\n');
}

void Converter::TagPre::onOpeningTag(Converter &c)
{
    c.inPre = true;
    // The block starts after an empty line.
    if (c.lastChar != '\n')
        c.appendChar('\n');
    if (c.secondLastChar != '\n')
        c.appendChar('\n');
    if (c.inList) {
        // In a list the block is indented, not fenced.
        if (std::string_view(c.previousTag) != "p")
            c.removeTail(2);
        c.appendText("\t\t", 2);
        return;
    }
    c.appendText("```", 3);
}

void Converter::TagPre::onClosingTag(Converter &c)
{
    c.inPre = false;
    if (c.inList)
        return;
    c.appendText("```", 3);
    c.appendChar('\n');
}

void Converter::TagCode::onOpeningTag(Converter &c)
{
    c.inCode = true;
    if (!c.inPre) {
        c.appendText("`", 1);
        return;
    }
    if (c.inList)
        return;
    // The info string of the fence: the class, without the renderer's
    // "language-" prefix.
    std::string info = c.attributeValue("class");
    if (!info.empty()) {
        static const std::string prefix = "language-";
        if (info.compare(0, prefix.size(), prefix) == 0)
            info.erase(0, prefix.size());
        c.appendText(info);
    }
    c.appendChar('\n');
}

void Converter::TagCode::onClosingTag(Converter &c)
{
    c.inCode = false;
    if (!c.inPre)
        c.appendText("`", 1);
}

void Converter::TagAnchor::onOpeningTag(Converter &c)
{
    if (std::string_view(c.previousTag) == "img")
        c.appendChar('\n');
    title = c.attributeValue("title");
    c.appendText("[", 1);
    href = c.attributeValue("href");
}

void Converter::TagAnchor::onClosingTag(Converter &c)
{
    if (c.lastChar == '[') {
        c.removeTail(1); // no link text: write nothing at all
        return;
    }
    c.appendText("](", 2);
    c.appendText(href);
    if (!title.empty()) {
        c.appendText(" \"", 2);
        c.appendText(title);
        c.appendText("\"", 1);
        title.clear();
    }
    c.appendText(")", 1);
    if (std::string_view(c.previousTag) == "img")
        c.appendChar('\n');
}

void Converter::TagImage::onOpeningTag(Converter &c)
{
    // An image starts its own line unless it is the text of a link.
    if (std::string_view(c.previousTag) != "a" && c.lastChar != '\n')
        c.appendChar('\n');
    c.appendText("![", 2);
    c.appendText(c.attributeValue("alt"));
    c.appendText("](", 2);
    c.appendText(c.attributeValue("src"));
    const std::string title = c.attributeValue("title");
    if (!title.empty()) {
        c.appendText(" \"", 2);
        c.appendText(title);
        c.appendText("\"", 1);
    }
    c.appendText(")", 1);
}

void Converter::TagImage::onClosingTag(Converter &c)
{
    if (std::string_view(c.previousTag) == "a")
        c.appendChar('\n');
}

void Converter::TagTable::onOpeningTag(Converter &c)
{
    c.inTable = true;
    c.appendChar('\n');
    c.tableStart = c.markdown.size();
    ++c.openTables;
}

void Converter::TagTable::onClosingTag(Converter &c)
{
    c.inTable = false;
    c.appendChar('\n');
    // Only a table that is open gets formatted; a stray or repeated closing
    // tag must not turn the text after the last table into table rows.
    if (c.openTables == 0)
        return;
    --c.openTables;
    if (!c.options.alignTables)
        return;
    // The start can lie beyond the end when a rule took bytes back since.
    const size_t start = std::min(c.tableStart, c.markdown.size());
    const std::string rows = c.markdown.substr(start);
    c.removeTail(rows.size());
    c.appendText(formatPipeTable(rows));
    // An enclosing table formats only what follows this one.
    c.tableStart = c.markdown.size();
}

void Converter::TagTableRow::onOpeningTag(Converter &c)
{
    c.appendChar('\n');
}

void Converter::TagTableRow::onClosingTag(Converter &c)
{
    c.syncLastChars();
    if (c.lastChar == '|')
        c.appendChar('\n');
    else
        c.appendText("|", 1);
    if (!c.alignmentRow.empty()) {
        // The delimiter row follows the first row that had header cells.
        if (c.lastChar != '\n')
            c.appendChar('\n');
        c.alignmentRow += "|\n";
        c.appendText(c.alignmentRow);
        c.alignmentRow.clear();
    }
}

void Converter::TagTableHeader::onOpeningTag(Converter &c)
{
    const std::string align = c.attributeValue("align");
    const bool left = align == "left" || align == "center";
    const bool right = align == "right" || align == "center";
    c.alignmentRow += left ? "| :-" : "| -";
    c.alignmentRow += right ? ": " : " ";
    c.appendText("| ", 2);
}

void Converter::TagTableData::onOpeningTag(Converter &c)
{
    if (c.secondLastChar != '|')
        c.appendText("| ", 2);
}

} // namespace html2md
