#pragma once

#include "export/documentexport.h"

namespace exporting {

// Writes bytes to path through a temporary file in the same folder that
// replaces the target only once everything is written.
Result saveFile(const QString &path, const QByteArray &bytes);

} // namespace exporting
