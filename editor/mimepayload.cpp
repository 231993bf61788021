#include "editor/mimepayload.h"

// Placeholder until paste and drop land.
QList<QJsonObject> insertPayloads(const QMimeData *, const QString &) { return {}; }
