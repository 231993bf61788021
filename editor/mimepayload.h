#ifndef MIMEPAYLOAD_H
#define MIMEPAYLOAD_H

#include <QImage>
#include <QJsonObject>
#include <QList>

class QMimeData;

// What pasting or dropping mimeData inserts: the payloads ("html", "img", "a" or
// "text") for the page, in order; or, when error is set or a saved document is
// needed, nothing at all.
struct InsertPayloads
{
    QList<QJsonObject> payloads;
    QString error;
    // Image data has its home next to the document: an untitled one must be saved first.
    bool needsSavedDocument = false;
};

// HTML goes through Markdown and back; files go through storeImage with
// documentPath; image data (a screenshot) is written as a PNG into the document's
// assets folder; else the text. A clipboard with HTML keeps the HTML, one with
// files keeps the files, even when it also holds image data.
InsertPayloads insertPayloads(const QMimeData *mimeData, const QString &documentPath);

// Whether mimeData offers image data (a readable one or not).
bool offersImageData(const QMimeData *mimeData);
// The image data of mimeData, a null image when there is none or it cannot be read.
QImage imageData(const QMimeData *mimeData);
// Whether mimeData names files on this machine.
bool offersLocalFiles(const QMimeData *mimeData);

#endif // MIMEPAYLOAD_H
