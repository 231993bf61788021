#include "export/savefile.h"

#include <QSaveFile>

namespace exporting {

Result saveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: QSaveFile commits even when flushing its buffer to a full disk failed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}

} // namespace exporting
