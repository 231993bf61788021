#include "convert/tagrules.h"

namespace html2md {

namespace {

// Elements written as nothing: those whose content is not the document's
// (head, script, ...; the scanner drops their text) and mere wrappers.
constexpr TagRule nothing{nullptr, nullptr};

TagRules buildTagRules(bool keepHtml)
{
    TagRules table;
    const auto set = [&table](std::initializer_list<const char *> names, const TagRule &rule) {
        for (const char *name : names)
            table[name] = rule;
    };
    set({"head", "meta", "nav", "noscript", "script", "style", "template", "span"}, nothing);
    set({"a"}, rules::anchor);
    set({"br"}, rules::lineBreak);
    set({"div"}, rules::blockBoundary);
    set({"h1"}, rules::header1);
    set({"h2"}, rules::header2);
    set({"h3"}, rules::header3);
    set({"h4"}, rules::header4);
    set({"h5"}, rules::header5);
    set({"h6"}, rules::header6);
    set({"li"}, rules::listItem);
    set({"option"}, rules::option);
    set({"ol"}, rules::orderedList);
    set({"pre"}, rules::pre);
    set({"code"}, rules::code);
    set({"p"}, rules::paragraph);
    set({"ul"}, rules::unorderedList);
    set({"title"}, rules::title);
    set({"img"}, rules::image);
    set({"x-equation"}, rules::math);
    set({"hr"}, rules::separator);
    set({"b", "strong"}, rules::bold);
    set({"em", "i", "dfn", "cite"}, rules::italic);
    set({"u"}, rules::underline);
    set({"del", "s", "strike"}, rules::strikethrough);
    set({"blockquote"}, rules::blockquote);
    set({"table"}, rules::table);
    set({"tr"}, rules::tableRow);
    set({"th"}, rules::tableHeader);
    set({"td"}, rules::tableData);
    set({"kbd", "sup", "sub", "mark", "ins", "abbr", "small", "var", "samp", "summary"}, rules::keptInline);
    set({"details"}, rules::keptBlock);
    set({"input"}, rules::taskCheckbox);
    set({""}, rules::unknown);
    if (keepHtml) {
        set({"style", "script", "textarea"}, rules::rawText);
        set({"div", "section", "article", "aside", "header", "footer", "main", "figure", "figcaption", "center",
             "address", "dl", "fieldset", "form", "dialog", "menu", "nav", "hgroup", "search"},
            rules::keptBlock);
        table.erase("span");
        // Table sections are implied by the pipe table's rows.
        set({"thead", "tbody", "tfoot", "html", "body"}, nothing);
    }
    return table;
}

} // namespace

const TagRules &tagRules(bool keepHtml)
{
    static const TagRules keeping = buildTagRules(true);
    static const TagRules plain = buildTagRules(false);
    return keepHtml ? keeping : plain;
}

} // namespace html2md
