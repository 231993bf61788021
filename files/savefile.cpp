#include "files/savefile.h"

SaveFile::SaveFile(const QString &path) : file(path)
{
}

bool SaveFile::open()
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool SaveFile::write(const QByteArray &bytes)
{
    return writeWhole(file, bytes);
}

bool SaveFile::commit()
{
    return file.commit();
}

bool writeWhole(QFileDevice &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool saveFile(const QString &path, const QByteArray &bytes, QString *error)
{
    SaveFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool saveTextFile(const QString &path, const QString &text, QString *error)
{
    QByteArray bytes = text.toUtf8();
#ifdef Q_OS_WIN
    bytes.replace("\n", "\r\n");
#endif
    return saveFile(path, bytes, error);
}
