#pragma once

// Text helpers for the XML parts of exported documents. All work on UTF-8
// bytes, as MD4C hands them over.

#include <QByteArray>
#include <QVector>

namespace xmltext {

// Appends text escaped for XML element content or a quoted attribute value.
// Characters XML cannot carry (most C0 controls, U+FFFE, U+FFFF) are dropped:
// one of them in a Markdown file would otherwise make the whole part unreadable.
void appendEscaped(QByteArray &out, const char *text, int size);
inline void appendEscaped(QByteArray &out, const QByteArray &text)
{
    appendEscaped(out, text.constData(), text.size());
}
QByteArray escaped(const QByteArray &text);

// The UTF-8 text an entity reference such as "&amp;" or "&#x41;" stands for;
// an unknown name is kept as written, as the page shows it.
QByteArray decodeEntity(const char *text, int size);

// The text of an HTML fragment as a browser shows it: tags, comments and the
// contents of script and style elements dropped, entities decoded, white space
// collapsed. Block elements start a new paragraph, <br> a new line ('\n') in it.
QVector<QByteArray> htmlParagraphs(const QByteArray &html);

// True when an inline HTML chunk is a line break tag (<br>, <br/>, <BR >).
bool isBreakTag(const char *text, int size);

} // namespace xmltext
