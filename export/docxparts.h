#pragma once

// The fixed and the generated package parts of a .docx around document.xml.

#include <QByteArray>
#include <QSet>
#include <QVector>

namespace docx {

// A4 portrait with 2.54 cm margins, in twentieths of a point.
constexpr int pageWidth = 11906;
constexpr int pageHeight = 16838;
constexpr int pageMargin = 1440;
constexpr int textWidth = pageWidth - 2 * pageMargin;
constexpr int textHeight = pageHeight - 2 * pageMargin;
constexpr int emuPerTwip = 635;
constexpr int emuPerPixel = 9525; // at 96 pixels per inch, as the page shows images

// The numbering instance of the first bulleted list level; every bulleted list
// shares it. Numbered lists get their own instances from 2 on, so each one
// restarts at its own start number.
constexpr int bulletNumId = 1;

struct NumberedList
{
    int level;      // nesting depth, 0 for a top-level list
    unsigned start; // the number of its first item
};

struct Relationship
{
    QByteArray id;
    QByteArray type; // last segment of the relationship type URI, e.g. "hyperlink"
    QByteArray target;
    bool external;
};

QByteArray contentTypes(const QSet<QByteArray> &imageExtensions);
QByteArray packageRelationships();
QByteArray documentRelationships(const QVector<Relationship> &relationships);
QByteArray styles();
QByteArray numbering(const QVector<NumberedList> &lists);
QByteArray settings();
QByteArray fontTable();
QByteArray coreProperties(const QByteArray &escapedTitle);
QByteArray appProperties();
QByteArray documentStart();
QByteArray documentEnd();

} // namespace docx
