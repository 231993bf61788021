#include "editor/mimepayload.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "editor/imagestore.h"

#include <QDebug>
#include <QDir>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

QList<QJsonObject> insertPayloads(const QMimeData *mimeData, const QString &documentPath)
{
    QList<QJsonObject> payloads;
    if (!mimeData)
        return payloads;

    if (mimeData->hasHtml()) {
        // Through Markdown and back, so that only what a document can hold arrives.
        const QString html = markdownToHtml(pastedHtmlToMarkdown(mimeData->html()));
        payloads.append(QJsonObject{{QStringLiteral("html"), html}, {QStringLiteral("type"), QStringLiteral("html")}});
    } else if (mimeData->hasUrls()) {
        const QMimeDatabase mimeTypes;
        for (const QUrl &url : mimeData->urls()) {
            const QString localPath = url.toLocalFile();
            if (localPath.isEmpty())
                continue;
            const bool isImage = mimeTypes.mimeTypeForFile(localPath).name().startsWith(QLatin1String("image/"));
            const QString stored = QDir::fromNativeSeparators(storeImage(documentPath, localPath));
            qInfo() << "inserting" << stored;
            payloads.append(QJsonObject{{QStringLiteral("title"), url.fileName(QUrl::FullyDecoded)},
                                        {QStringLiteral("url"), stored},
                                        {QStringLiteral("type"), isImage ? QStringLiteral("img") : QStringLiteral("a")}});
        }
    } else if (mimeData->hasText()) {
        payloads.append(QJsonObject{{QStringLiteral("text"), mimeData->text()}, {QStringLiteral("type"), QStringLiteral("text")}});
    }
    return payloads;
}
