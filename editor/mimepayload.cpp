#include "editor/mimepayload.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"
#include "editor/imagestore.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

namespace {

QList<QJsonObject> filePayloads(const QMimeData *mimeData, const QString &documentPath, QString *error)
{
    QList<QJsonObject> payloads;
    QStringList copies; // made by this insertion, removed again if a later file fails
    const QMimeDatabase mimeTypes;
    for (const QUrl &url : mimeData->urls()) {
        const QString localPath = url.toLocalFile();
        if (localPath.isEmpty())
            continue;
        const bool isImage = mimeTypes.mimeTypeForFile(localPath).name().startsWith(QLatin1String("image/"));
        const StoredImage stored = storeImage(documentPath, localPath);
        if (!stored.ok()) {
            for (const QString &copy : qAsConst(copies))
                QFile::remove(copy);
            QDir().rmdir(assetsFolder(documentPath)); // only when nothing else is in it
            *error = stored.error;
            return {};
        }
        if (!stored.madeFile.isEmpty())
            copies.append(stored.madeFile);
        qInfo() << "inserting" << stored.reference;
        payloads.append(QJsonObject{{QStringLiteral("title"), url.fileName(QUrl::FullyDecoded)},
                                    {QStringLiteral("url"), stored.reference},
                                    {QStringLiteral("type"), isImage ? QStringLiteral("img") : QStringLiteral("a")}});
    }
    return payloads;
}

} // namespace

bool offersImageData(const QMimeData *mimeData)
{
    if (!mimeData)
        return false;
    if (mimeData->hasImage())
        return true;
    for (const QString &format : mimeData->formats()) {
        if (format.startsWith(QLatin1String("image/")))
            return true;
    }
    return false;
}

QImage imageData(const QMimeData *mimeData)
{
    if (!mimeData)
        return QImage();
    // PNG first: the lossless form a screenshot tool offers.
    QStringList formats = mimeData->formats();
    std::stable_sort(formats.begin(), formats.end(), [](const QString &a, const QString &b) {
        return a == QLatin1String("image/png") && b != QLatin1String("image/png");
    });
    for (const QString &format : qAsConst(formats)) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        const QByteArray bytes = mimeData->data(format);
        const QImage image = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
        if (!image.isNull())
            return image;
    }
    return mimeData->hasImage() ? qvariant_cast<QImage>(mimeData->imageData()) : QImage();
}

bool offersLocalFiles(const QMimeData *mimeData)
{
    if (!mimeData || !mimeData->hasUrls())
        return false;
    for (const QUrl &url : mimeData->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

InsertPayloads insertPayloads(const QMimeData *mimeData, const QString &documentPath)
{
    InsertPayloads result;
    if (!mimeData)
        return result;

    if (mimeData->hasHtml()) {
        // Through Markdown and back, so that only what a document can hold arrives.
        const QString html = markdownToHtml(pastedHtmlToMarkdown(mimeData->html()));
        result.payloads.append(QJsonObject{{QStringLiteral("html"), html}, {QStringLiteral("type"), QStringLiteral("html")}});
    } else if (mimeData->hasUrls()) {
        result.payloads = filePayloads(mimeData, documentPath, &result.error);
    } else if (offersImageData(mimeData)) {
        const QImage image = imageData(mimeData);
        // Unreadable data is said at once, not after the document was saved for it.
        if (documentPath.isEmpty() && !image.isNull()) {
            result.needsSavedDocument = true;
            return result;
        }
        const StoredImage stored = storeImageData(documentPath, image);
        if (stored.ok())
            // Named by its file's stem only: a title would repeat the generated name.
            result.payloads.append(QJsonObject{{QStringLiteral("alt"), QFileInfo(stored.madeFile).completeBaseName()},
                                               {QStringLiteral("title"), QString()},
                                               {QStringLiteral("url"), stored.reference},
                                               {QStringLiteral("type"), QStringLiteral("img")}});
        else
            result.error = stored.error;
    } else if (mimeData->hasText()) {
        result.payloads.append(QJsonObject{{QStringLiteral("text"), mimeData->text()}, {QStringLiteral("type"), QStringLiteral("text")}});
    }
    return result;
}
