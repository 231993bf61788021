#ifndef MIMEPAYLOAD_H
#define MIMEPAYLOAD_H

#include <QJsonObject>
#include <QList>

class QMimeData;

// The insert payloads ("html", "img", "a" or "text") that pasting or dropping
// mimeData sends to the page, in order. Images and files go through storeImage
// with documentPath; HTML goes through Markdown and back.
QList<QJsonObject> insertPayloads(const QMimeData *mimeData, const QString &documentPath);

#endif // MIMEPAYLOAD_H
