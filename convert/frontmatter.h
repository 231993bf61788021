#ifndef FRONTMATTER_H
#define FRONTMATTER_H

// A YAML metadata block at the very start of a document: a "---" line, the
// YAML, and a "---" or "..." line. It is the document's metadata, not its
// text: cut off before MD4C renders, shown as a block of its own, and saved
// as it stands.

#include <QByteArray>
#include <QString>

#include <string>

namespace frontmatter {

// Bytes of the block at the start of utf8, its closing line and that line's
// end included; 0 when the text does not open with one.
int length(const char *utf8, int size);

// The element the page shows for the block (of that length): its YAML as the
// code of a pre whose attribute (htmlAttribute) keeps the closing line.
QByteArray toHtml(const char *utf8, int length);

constexpr const char *htmlAttribute = "data-front-matter";

// The Markdown for a block whose YAML is yaml and whose closing line is end.
std::string toMarkdown(const std::string &yaml, const std::string &end);

// The value of its top-level "title" key, unquoted; empty when there is none.
QString title(const QString &markdown);

} // namespace frontmatter

#endif // FRONTMATTER_H
