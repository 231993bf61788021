#include "app/documentfile.h"

#include "files/savefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

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
    return file.seek(0) && writeWhole(file, data) && file.resize(data.size()) && syncToDisk(file);
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

const char kUtf8Mark[] = "\xEF\xBB\xBF";

// The byte-order marks of UTF-16, with the codecs that read what follows.
struct Utf16Mark
{
    const char *mark;
    const char *codec;
};
const Utf16Mark kUtf16Marks[] = {{"\xFF\xFE", "UTF-16LE"}, {"\xFE\xFF", "UTF-16BE"}};

// Marks are read and written here: the codecs neither drop nor add one.
QString decode(const QByteArray &codec, const QByteArray &bytes, int *invalid = nullptr)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text = QTextCodec::codecForName(codec)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (invalid)
        *invalid = state.invalidChars;
    return text;
}

QByteArray encode(const QByteArray &codec, const QString &text)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
}

// Bytes that are not UTF-8 are read in a single-byte encoding, the Western
// Windows one when it gives every byte back, else Latin-1 (which always
// does), so that a save writes them as they were.
QByteArray singleByteEncodingOf(const QByteArray &bytes)
{
    const QByteArray windows = "windows-1252";
    if (QTextCodec::codecForName(windows) && encode(windows, decode(windows, bytes)) == bytes)
        return windows;
    return "ISO-8859-1";
}

QString decodedText(const QByteArray &bytes, TextFormat *format)
{
    for (const Utf16Mark &utf16 : kUtf16Marks) {
        if (bytes.startsWith(utf16.mark)) {
            format->byteOrderMark = true;
            format->encoding = utf16.codec;
            return decode(format->encoding, bytes.mid(2));
        }
    }
    format->byteOrderMark = bytes.startsWith(kUtf8Mark);
    const QByteArray body = format->byteOrderMark ? bytes.mid(3) : bytes;
    // A sequence cut off at the end (a partial read) does not count as invalid.
    int invalid = 0;
    const QString text = decode("UTF-8", body, &invalid);
    if (invalid == 0)
        return text;
    format->encoding = singleByteEncodingOf(body);
    return decode(format->encoding, body);
}

} // namespace

QString documentText(const QByteArray &bytes, TextFormat *format)
{
    *format = TextFormat();
    QString text = decodedText(bytes, format);
    int lineEnd = 0;
    while (lineEnd < text.size() && text.at(lineEnd) != QLatin1Char('\n') && text.at(lineEnd) != QLatin1Char('\r'))
        ++lineEnd;
    if (lineEnd < text.size()) {
        const bool cr = text.at(lineEnd) == QLatin1Char('\r');
        const bool crlf = cr && lineEnd + 1 < text.size() && text.at(lineEnd + 1) == QLatin1Char('\n');
        format->lineEnd = crlf ? TextFormat::LineEnd::CrLf : cr ? TextFormat::LineEnd::Cr : TextFormat::LineEnd::Lf;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (format->lineEnd == TextFormat::LineEnd::Cr)
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

TextFormat textFormatOf(const QByteArray &bytes)
{
    TextFormat format;
    documentText(bytes, &format);
    return format;
}

bool canEncode(const QString &text, const TextFormat &format)
{
    return format.encoding.isEmpty() || QTextCodec::codecForName(format.encoding)->canEncode(text);
}

QByteArray documentBytes(const QString &text, const TextFormat &format)
{
    QString lines = text;
    if (format.lineEnd == TextFormat::LineEnd::CrLf)
        lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    else if (format.lineEnd == TextFormat::LineEnd::Cr)
        lines.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    if (format.byteOrderMark)
        lines.prepend(QChar::ByteOrderMark);
    return format.encoding.isEmpty() ? lines.toUtf8() : encode(format.encoding, lines);
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
