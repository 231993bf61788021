#ifndef HTML2MD_TAGRULES_H
#define HTML2MD_TAGRULES_H

// The tag rules of html2md::Converter: what Markdown each HTML element
// writes. Private to the converter; a rule works only through the
// converter's state and helpers. Rules hold no state, except the anchor,
// which carries its target from the opening to the closing tag.

#include "convert/converter.h"

#include <string>
#include <vector>

namespace html2md {

// Elements whose content is not part of the document (head, script, ...).
// Suppression itself is done by the scanner's ignored context.
struct Converter::TagIgnored final : Converter::Tag
{
};

struct Converter::TagSpan final : Converter::Tag
{
};

// Inline markers: written around the content, never inside code.
struct Converter::TagBold final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.openEmphasis(2, "**"); }
    void onClosingTag(Converter &c) override { c.closeEmphasis("**"); }
};

struct Converter::TagItalic final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.openEmphasis(1, "*"); }
    void onClosingTag(Converter &c) override { c.closeEmphasis("*"); }
};

struct Converter::TagStrikethrough final : Converter::Tag
{
    void onOpeningTag(Converter &c) override { c.openEmphasis(2, "~~"); }
    void onClosingTag(Converter &c) override { c.closeEmphasis("~~"); }
};

// Markdown has no underline; it stays HTML.
struct Converter::TagUnderline final : Converter::Tag
{
    void onOpeningTag(Converter &c) override
    {
        if (c.inPre || c.inCode || c.ignoredContext || c.copyHtmlBlock())
            return;
        c.beginContent();
        c.pushRawInline();
    }
    void onClosingTag(Converter &c) override
    {
        if (c.inPre || c.inCode || c.ignoredContext)
            return;
        if (!c.popRawInline())
            c.writeMarker("</u>");
    }
};

// Style, script and text areas: copied whole.
struct Converter::TagRawText final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

// Elements without a rule: kept as written.
struct Converter::TagUnknown final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

// Elements with a meaning but no Markdown form (kbd, sup, mark, ...): kept
// as the same HTML.
struct Converter::TagKeptInline final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

// Block elements Markdown has no form for (div, details, section, ...):
// around Markdown blocks the tags stand on lines of their own; around
// anything else the whole element is copied as HTML.
struct Converter::TagKeptBlock final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

// The checkbox of a task-list item.
struct Converter::TagInput final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
};

struct Converter::TagHeader : Converter::Tag
{
    void open(Converter &c, int level);
    void onClosingTag(Converter &c) override;
};

template<int Level>
struct Converter::TagHeaderLevel : Converter::TagHeader
{
    void onOpeningTag(Converter &c) override { open(c, Level); }
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
    void onClosingTag(Converter &c) override;
};

struct Converter::TagSeparator final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
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
    void onOpeningTag(Converter &c) override;
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
    void onClosingTag(Converter &c) override;
};

struct Converter::TagTableData final : Converter::Tag
{
    void onOpeningTag(Converter &c) override;
    void onClosingTag(Converter &c) override;
};

} // namespace html2md

#endif // HTML2MD_TAGRULES_H
