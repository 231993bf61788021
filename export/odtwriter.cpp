// The .odt export: the rendered Markdown in a QTextDocument, written by Qt's
// OpenDocument writer, then given some of what that writer leaves out: outline
// headings, thematic breaks, room for list labels and the title.

#include "convert/markdowntohtml.h"
#include "export/documentexport.h"

#include <KZip>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace exporting {

namespace {

// Qt's OpenDocument writer keeps explicit formats only: the sizes the HTML
// importer gives headings are relative, so they are made explicit; pictures
// are scaled to fit the page and tables get the borders they have in the editor.
void makeFormatsExplicit(QTextDocument &document)
{
    static const qreal headingPoints[] = {22, 16.5, 14, 11, 10, 9.5};
    const qreal pageWidthPoints = 453; // A4 less 2.5 cm margins on both sides
    struct Change { int position; int length; QTextCharFormat format; };
    QVector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QTextCharFormat change;
            if (level >= 1 && level <= 6)
                change.setFontPointSize(headingPoints[level - 1]);
            if (format.isImageFormat()) {
                QTextImageFormat image = format.toImageFormat();
                const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
                QImage picture = resource.value<QImage>();
                if (picture.isNull())
                    picture.loadFromData(resource.toByteArray());
                if (!picture.isNull() && image.width() <= 0) {
                    qreal width = picture.width() * 0.75; // CSS pixels to points
                    qreal height = picture.height() * 0.75;
                    if (width > pageWidthPoints) {
                        height *= pageWidthPoints / width;
                        width = pageWidthPoints;
                    }
                    image.setWidth(width / 0.75);
                    image.setHeight(height / 0.75);
                    change = image;
                }
            }
            if (!change.properties().isEmpty())
                changes.append({fragment.position(), fragment.length(), change});
        }
    }
    QTextCursor cursor(&document);
    for (const Change &change : changes) {
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(change.format);
    }
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorder(0.75);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setCellSpacing(0);
            format.setCellPadding(3);
            table->setFormat(format);
        }
    }
}

// What Qt's writer cannot say about some paragraphs. It names each paragraph's
// style after the index of its block format, so that is how they are found.
struct ParagraphRoles
{
    QHash<QString, int> headingLevels; // "p12" -> 1 to 6
    QSet<QString> rules;
    QString title; // the first heading's text
};

ParagraphRoles paragraphRoles(const QTextDocument &document)
{
    ParagraphRoles roles;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString style = QStringLiteral("p%1").arg(block.blockFormatIndex());
        const QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level >= 1 && level <= 6) {
            roles.headingLevels.insert(style, level);
            if (roles.title.isEmpty())
                roles.title = block.text().simplified();
        }
        if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth))
            roles.rules.insert(style);
    }
    return roles;
}

const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kStyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kFoNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

// content.xml with heading paragraphs as outline headings (text:h, based on the
// "Heading N" styles, so LibreOffice's navigator and tables of contents find
// them), rules drawn as a bottom border and list labels set apart from their
// text. Everything else is copied as read.
QByteArray markParagraphRoles(const QByteArray &content, const ParagraphRoles &roles)
{
    QXmlStreamReader in(content);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    QString paragraphStyle; // the automatic paragraph style being copied
    while (!in.atEnd()) {
        switch (in.readNext()) {
        case QXmlStreamReader::StartElement: {
            for (const QXmlStreamNamespaceDeclaration &ns : in.namespaceDeclarations())
                writer.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            const QXmlStreamAttributes attributes = in.attributes();
            const int level = in.namespaceUri() == kTextNs && in.name() == QLatin1String("p")
                ? roles.headingLevels.value(attributes.value(kTextNs, QStringLiteral("style-name")).toString())
                : 0;
            writer.writeStartElement(in.namespaceUri().toString(), level > 0 ? QStringLiteral("h") : in.name().toString());
            writer.writeAttributes(attributes);
            if (level > 0) {
                writer.writeAttribute(kTextNs, QStringLiteral("outline-level"), QString::number(level));
            } else if (in.namespaceUri() == kStyleNs && in.name() == QLatin1String("style")) {
                paragraphStyle = attributes.value(kStyleNs, QStringLiteral("name")).toString();
                const int styleLevel = roles.headingLevels.value(paragraphStyle);
                if (styleLevel > 0)
                    writer.writeAttribute(kStyleNs, QStringLiteral("parent-style-name"),
                                          QStringLiteral("Heading_20_%1").arg(styleLevel));
            } else if (in.namespaceUri() == kStyleNs && in.name() == QLatin1String("paragraph-properties")
                       && roles.rules.contains(paragraphStyle)) {
                writer.writeAttribute(kFoNs, QStringLiteral("border-bottom"), QStringLiteral("1.5pt solid #d0d7de"));
                writer.writeAttribute(kFoNs, QStringLiteral("padding-bottom"), QStringLiteral("0pt"));
            } else if (in.namespaceUri() == kStyleNs && in.name() == QLatin1String("list-level-properties")
                       && !attributes.hasAttribute(kTextNs, QStringLiteral("min-label-width"))) {
                // Room for the bullet or number, which otherwise touches the text.
                writer.writeAttribute(kTextNs, QStringLiteral("min-label-width"), QStringLiteral("6mm"));
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            // The writer closes what it opened, a heading included.
            writer.writeEndElement();
            break;
        default:
            writer.writeCurrentToken(in);
        }
    }
    return in.hasError() ? QByteArray() : out;
}

QByteArray metaXml(const QString &title)
{
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.writeStartDocument();
    writer.writeNamespace(kOfficeNs, QStringLiteral("office"));
    writer.writeNamespace(QStringLiteral("http://purl.org/dc/elements/1.1/"), QStringLiteral("dc"));
    writer.writeStartElement(kOfficeNs, QStringLiteral("document-meta"));
    writer.writeAttribute(kOfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));
    writer.writeStartElement(kOfficeNs, QStringLiteral("meta"));
    writer.writeTextElement(QStringLiteral("http://purl.org/dc/elements/1.1/"), QStringLiteral("title"), title);
    writer.writeEndDocument();
    return out;
}

// The six heading styles the headings are based on. Defined, LibreOffice takes
// them for its own "Heading N" styles: without them it drops the reference.
QByteArray stylesXml()
{
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.writeStartDocument();
    writer.writeNamespace(kOfficeNs, QStringLiteral("office"));
    writer.writeNamespace(kStyleNs, QStringLiteral("style"));
    writer.writeStartElement(kOfficeNs, QStringLiteral("document-styles"));
    writer.writeAttribute(kOfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));
    writer.writeStartElement(kOfficeNs, QStringLiteral("styles"));
    for (int level = 1; level <= 6; ++level) {
        writer.writeEmptyElement(kStyleNs, QStringLiteral("style"));
        writer.writeAttribute(kStyleNs, QStringLiteral("name"), QStringLiteral("Heading_20_%1").arg(level));
        writer.writeAttribute(kStyleNs, QStringLiteral("display-name"), QStringLiteral("Heading %1").arg(level));
        writer.writeAttribute(kStyleNs, QStringLiteral("family"), QStringLiteral("paragraph"));
        writer.writeAttribute(kStyleNs, QStringLiteral("default-outline-level"), QString::number(level));
        writer.writeAttribute(kStyleNs, QStringLiteral("class"), QStringLiteral("text"));
    }
    writer.writeEndDocument();
    return out;
}

// Qt's package with content.xml rewritten and meta.xml and styles.xml added, zipped again
// with the mimetype first and uncompressed, as OpenDocument asks. Empty when
// Qt's package cannot be read.
QByteArray completePackage(QByteArray package, const ParagraphRoles &roles, const QString &title)
{
    QBuffer input(&package);
    KZip source(&input);
    if (!source.open(QIODevice::ReadOnly))
        return QByteArray();
    QMap<QString, QByteArray> parts;
    std::function<void(const KArchiveDirectory *, const QString &)> collect = [&](const KArchiveDirectory *dir,
                                                                                   const QString &prefix) {
        for (const QString &name : dir->entries()) {
            const KArchiveEntry *entry = dir->entry(name);
            if (entry->isDirectory())
                collect(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'));
            else
                parts.insert(prefix + name, static_cast<const KArchiveFile *>(entry)->data());
        }
    };
    collect(source.directory(), QString());

    const QByteArray mimetype = parts.take(QStringLiteral("mimetype"));
    QByteArray &content = parts[QStringLiteral("content.xml")];
    QByteArray &manifest = parts[QStringLiteral("META-INF/manifest.xml")];
    content = markParagraphRoles(content, roles);
    const int manifestEnd = manifest.lastIndexOf("</manifest:manifest>");
    if (mimetype.isEmpty() || content.isEmpty() || manifestEnd < 0)
        return QByteArray();
    manifest.insert(manifestEnd, " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"meta.xml\"/>\n"
                                 " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"styles.xml\"/>\n");
    parts.insert(QStringLiteral("meta.xml"), metaXml(title));
    parts.insert(QStringLiteral("styles.xml"), stylesXml());

    QByteArray result;
    QBuffer output(&result);
    KZip zip(&output);
    zip.setExtraField(KZip::NoExtraField);
    if (!zip.open(QIODevice::WriteOnly))
        return QByteArray();
    zip.setCompression(KZip::NoCompression);
    bool written = zip.writeFile(QStringLiteral("mimetype"), mimetype);
    zip.setCompression(KZip::DeflateCompression);
    for (auto part = parts.constBegin(); part != parts.constEnd(); ++part)
        written = written && zip.writeFile(part.key(), part.value());
    return zip.close() && written ? result : QByteArray();
}

} // namespace

Result writeOdt(const QString &markdown, const QString &documentFolder, const QString &targetPath)
{
    QString html = markdownToHtml(markdown);
    // Qt's rich text has no form controls: task boxes become their characters.
    html.replace(QLatin1String("<input type=\"checkbox\" class=\"task-list-item-checkbox\" disabled checked>"),
                 QStringLiteral("\u2612 "));
    html.replace(QLatin1String("<input type=\"checkbox\" class=\"task-list-item-checkbox\" disabled>"),
                 QStringLiteral("\u2610 "));
    // Its importer knows strikethrough as <s> only.
    html.replace(QLatin1String("<del>"), QLatin1String("<s>"));
    html.replace(QLatin1String("</del>"), QLatin1String("</s>"));

    QTextDocument document;
    if (!documentFolder.isEmpty())
        document.setBaseUrl(QUrl::fromLocalFile(QDir(documentFolder).absolutePath() + QLatin1Char('/')));
    // A named font: the importer's own "monospace" becomes whatever fixed
    // font the system reports, which need not be fixed at all.
    document.setDefaultStyleSheet(QStringLiteral("code, pre { font-family: 'Courier New'; }"
                                                 " pre { background-color: #f6f8fa; }"
                                                 " blockquote { color: #59636e; }"));
    document.setHtml(html);
    makeFormatsExplicit(document);
    const ParagraphRoles roles = paragraphRoles(document);

    QByteArray package;
    QBuffer buffer(&package);
    QTextDocumentWriter writer(&buffer, "ODF");
    if (writer.write(&document))
        package = completePackage(package, roles, roles.title.isEmpty() ? QFileInfo(targetPath).completeBaseName() : roles.title);
    return writePackage(package, targetPath);
}

} // namespace exporting
