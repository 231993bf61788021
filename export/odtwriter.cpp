// The .odt export: the rendered Markdown in a QTextDocument, written by Qt's
// OpenDocument writer.

#include "convert/markdowntohtml.h"
#include "export/documentexport.h"
#include "export/savefile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

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
    document.setMetaInformation(QTextDocument::DocumentTitle, QFileInfo(targetPath).completeBaseName());

    QByteArray package;
    QBuffer buffer(&package);
    QTextDocumentWriter writer(&buffer, "ODF");
    if (!writer.write(&document) || package.isEmpty())
        return {false, QCoreApplication::translate("Export", "无法生成文档")};
    return saveFile(targetPath, package);
}

} // namespace exporting
