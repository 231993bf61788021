#include "app/documentfile.h"

#include "files/savefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The file a path names, through any symbolic links (the path itself when it
// names nothing yet).
QString resolvedPath(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

bool syncToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

bool writeAt(QFile &file, const QByteArray &data)
{
    return file.seek(0) && file.write(data) == data.size() && file.resize(data.size()) && syncToDisk(file);
}

// A copy of bytes in the first folder that takes it; its path, or empty.
QString keepCopy(const QString &fileName, const QByteArray &bytes, const QString &copyFolder)
{
    const QString name = fileName + QStringLiteral("-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hhmmsszzz"));
    for (const QString &folder : {copyFolder, QDir::tempPath()}) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        const QString copy = QDir(folder).filePath(name);
        if (saveFile(copy, bytes))
            return copy;
    }
    return QString();
}

bool writeInPlace(const QString &target, const QByteArray &data, const QString &copyFolder, QString *error)
{
    QFile file(target);
    // Unbuffered: a failed write must not linger in a buffer that a later seek would flush.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray old = file.readAll();
    if (old.size() != file.size()) {
        *error = file.errorString();
        return false;
    }
    QString copy;
    if (!old.isEmpty()) {
        copy = keepCopy(QFileInfo(target).fileName(), old, copyFolder);
        if (copy.isEmpty()) {
            *error = QObject::tr("不能先保留原文件的副本，没有写入任何内容");
            return false;
        }
    }
    if (writeAt(file, data)) {
        if (!copy.isEmpty())
            QFile::remove(copy);
        return true;
    }
    *error = file.errorString();
    if (writeAt(file, old)) {
        if (!copy.isEmpty())
            QFile::remove(copy);
    } else {
        *error += QLatin1Char(' ') + QObject::tr("（原来的内容保存在 %1）").arg(QDir::toNativeSeparators(copy));
    }
    return false;
}

} // namespace

TextFormat textFormatOf(const QByteArray &bytes)
{
    TextFormat format;
    format.byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
    const int lineEnd = bytes.indexOf('\n');
    if (lineEnd >= 0)
        format.crlf = lineEnd > 0 && bytes.at(lineEnd - 1) == '\r';
    return format;
}

QByteArray documentBytes(const QString &text, const TextFormat &format)
{
    QByteArray bytes = text.toUtf8();
    if (format.crlf)
        bytes.replace("\n", "\r\n");
    if (format.byteOrderMark)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

bool writeDocumentFile(const QString &path, const QByteArray &data, const QString &copyFolder, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const QString target = resolvedPath(path);
    const bool exists = QFileInfo::exists(target);

    bool inPlace = false;
#ifdef Q_OS_UNIX
    struct stat old;
    const bool known = exists && ::stat(QFile::encodeName(target).constData(), &old) == 0;
    // A rename would leave the other names of the file with the old content.
    if (known && old.st_nlink > 1)
        inPlace = true;
#endif

    if (!inPlace) {
        SaveFile file(target);
        if (file.open()) {
#ifdef Q_OS_UNIX
            // The new file is ours; give it the old one's owner and group, or keep the old file.
            if (known && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
                && ::fchown(file.device().handle(), old.st_uid, old.st_gid) != 0) {
                file.cancel();
                inPlace = true;
            }
#endif
            if (!inPlace) {
                if (file.write(data) && file.commit())
                    return true;
                *error = file.errorString();
                return false;
            }
        } else if (!exists) {
            *error = file.errorString();
            return false;
        } else {
            inPlace = true; // no temporary file beside it
        }
    }
    return writeInPlace(target, data, copyFolder, error);
}
