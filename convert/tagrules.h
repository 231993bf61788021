#ifndef HTML2MD_TAGRULES_H
#define HTML2MD_TAGRULES_H

// The tag rules of html2md::Converter: what Markdown each HTML element
// writes. Private to the converter; a rule works only through the
// converter's state and helpers. Rules hold no state, except the anchor,
// which carries its target from the opening to the closing tag.

#include "convert/converter.h"

#include <string>

namespace html2md {

// Elements whose content is not part of the document (head, script, ...).
// Suppression itself is done by the scanner's ignored context.
struct Converter::TagIgnored final : Converter::Tag
{
};

struct Converter::TagSpan final : Converter::Tag
{
};

struct Converter::TagBold final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.appendText("**", 2); }
    void onClosingTag(Converter &c) override { c.appendText("**", 2); }
};

struct Converter::TagItalic final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.appendText("*", 1); }
    void onClosingTag(Converter &c) override { c.appendText("*", 1); }
};

struct Converter::TagStrikethrought final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.appendText("~~", 2); }
    void onClosingTag(Converter &c) override { c.appendText("~~", 2); }
};

// Markdown has no underline; it stays HTML.
struct Converter::TagUnderline final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.appendText("<u>", 3); }
    void onClosingTag(Converter &c) override { c.appendText("</u>", 4); }
};

template<int Level>
struct Converter::TagHeaderLevel : Converter::Tag
{
    void onOpeningTag(Converter &c) override
    {
        static const std::string marker = "\n" + std::string(Level, '#') + " ";
        c.appendText(marker);
    }
    void onClosingTag(Converter &c) override
    {
        if (c.secondLastChar != ' ')
            c.appendChar('\n');
    }
};

struct Converter::TagHeader1 final : Converter::TagHeaderLevel<1>
{
};
struct Converter::TagHeader2 final : Converter::TagHeaderLevel<2>
{
};
struct Converter::TagHeader3 final : Converter::TagHeaderLevel<3>
{
};
struct Converter::TagHeader4 final : Converter::TagHeaderLevel<4>
{
};
struct Converter::TagHeader5 final : Converter::TagHeaderLevel<5>
{
};
struct Converter::TagHeader6 final : Converter::TagHeaderLevel<6>
{
};

struct Converter::TagDiv final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

struct Converter::TagSeperator final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.appendText("\n---\n", 5); }
};

struct Converter::TagBreak final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

struct Converter::TagOption final : Converter::Tag
{
    void onClosingTag(Converter &c) override;
};

struct Converter::TagTitle final : Converter::Tag
{
    void onClosingTag(Converter &c) override;
};

struct Converter::TagParagraph final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagBlockquote final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagOrderedList final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagUnorderedList final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagListItem final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagPre final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagCode final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagAnchor final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;

    std::string href;
    std::string title;
};

struct Converter::TagImage final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagTable final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagTableRow final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

struct Converter::TagTableHeader final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

struct Converter::TagTableData final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

} // namespace html2md

#endif // HTML2MD_TAGRULES_H
