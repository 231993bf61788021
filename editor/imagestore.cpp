#include "editor/imagestore.h"

#include "convert/markdowntohtml.h"
#include "files/filekind.h"
#include "files/savefile.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ImageStore", text);
}

bool isAsciiDigits(const QString &text)
{
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString folderOf(const QString &documentPath)
{
    return QDir::cleanPath(QFileInfo(documentPath).absolutePath());
}

Qt::CaseSensitivity pathCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool isInside(const QString &folder, const QString &path)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path.startsWith(prefix, pathCase());
}

// Characters a relative reference cannot hold as they are: Markdown would end the
// destination or an address would read a query, a fragment or an escape.
QString encodeReference(const QString &path)
{
    static const QString reserved = QStringLiteral(" %#?()<>[]\"\\");
    QString out;
    for (const QChar ch : path) {
        if (reserved.contains(ch) || ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            out += QString::fromLatin1(QUrl::toPercentEncoding(QString(ch)));
        else
            out += ch;
    }
    return out;
}

// A folder to make for a file: made (with its parents) now, removed again by
// undo() when still empty, so that a failed write leaves no trace.
class MadeFolder
{
public:
    explicit MadeFolder(const QString &path)
    {
        for (QString missing = path; !missing.isEmpty() && !QFileInfo::exists(missing);
             missing = QFileInfo(missing).path())
            made.append(missing);
        ok = QDir().mkpath(path) && QFileInfo(path).isDir();
    }
    void undo()
    {
        for (const QString &folder : qAsConst(made))
            QDir().rmdir(folder);
    }
    bool ok = false;

private:
    QStringList made;
};

StoredImage named(const QString &reference, const QString &madeFile = QString())
{
    StoredImage image;
    image.reference = reference;
    image.madeFile = madeFile;
    return image;
}

StoredImage failed(const QString &error)
{
    StoredImage image;
    image.error = error;
    return image;
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return tr("不能保存图片 %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString decodeEntities(QString text)
{
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

bool sameContent(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    return first.size() == second.size() && first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly)
        && first.readAll() == second.readAll();
}

} // namespace

QString assetsFolder(const QString &documentPath)
{
    return folderOf(documentPath) + QLatin1Char('/') + QFileInfo(documentPath).baseName() + QStringLiteral(".assets");
}

QString imageReference(const QString &documentPath, const QString &imagePath)
{
    const QString image = QDir::cleanPath(QDir::fromNativeSeparators(imagePath));
    if (documentPath.isEmpty())
        return image;
    const QString folder = folderOf(documentPath);
    if (!isInside(folder, image))
        return image;
    return encodeReference(QDir(folder).relativeFilePath(image));
}

StoredImage storeImage(const QString &documentPath, const QString &imagePath)
{
    const QString image = QDir::cleanPath(QDir::fromNativeSeparators(imagePath));
    // Web addresses, and paths of another system, are not files here.
    if (!QDir::isAbsolutePath(image) || documentPath.isEmpty())
        return named(imagePath);
    if (isInside(folderOf(documentPath), image) || Settings::instance().imageHandling() != Settings::ImageHandling::CopyToAssets)
        return named(imageReference(documentPath, image));

    const QString assets = assetsFolder(documentPath);
    MadeFolder folder(assets);
    if (!folder.ok)
        return failed(tr("不能建立图片文件夹 %1").arg(QDir::toNativeSeparators(assets)));
    if (isSpecialFile(image)) {
        folder.undo();
        return failed(tr("不能复制图片 %1: %2").arg(QDir::toNativeSeparators(image), specialFileReason()));
    }
    const QString target = uniqueFileName(assets + QLatin1Char('/') + QFileInfo(image).fileName());
    // QFile writes a copy under a temporary name and renames it only when complete.
    QFile source(image);
    if (!source.copy(target)) {
        folder.undo();
        return failed(tr("不能复制图片 %1: %2").arg(QDir::toNativeSeparators(image), source.errorString()));
    }
    return named(imageReference(documentPath, target), target);
}

StoredImage storeImageData(const QString &documentPath, const QImage &image, const QDateTime &when)
{
    if (image.isNull())
        return failed(tr("剪贴板上的图片无法读取"));
    const QString assets = assetsFolder(documentPath);
    MadeFolder folder(assets);
    if (!folder.ok)
        return failed(tr("不能建立图片文件夹 %1").arg(QDir::toNativeSeparators(assets)));
    const QString target = uniqueFileName(
        assets + QStringLiteral("/image-%1.png").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    // Written whole or not at all: a full disk leaves nothing.
    SaveFile file(target);
    QString error;
    if (!file.open()) {
        error = file.errorString();
    } else {
        QImageWriter writer(&file.device(), "png");
        if (!writer.write(image)) {
            error = file.device().error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
            file.cancel();
        } else if (!file.commit()) {
            error = file.errorString();
        }
    }
    if (!error.isEmpty()) {
        folder.undo();
        return failed(cannotWrite(target, error));
    }
    return named(imageReference(documentPath, target), target);
}

QString markdownDestination(const QString &path)
{
    static const QRegularExpression needsBrackets(QStringLiteral("[\\s()<>]"));
    if (!path.contains(needsBrackets))
        return path;
    QString escaped = path;
    escaped.replace(QLatin1Char('<'), QLatin1String("\\<"));
    escaped.replace(QLatin1Char('>'), QLatin1String("\\>"));
    return QLatin1Char('<') + escaped + QLatin1Char('>');
}

QStringList carryRelativeImages(const QString &markdown, const QString &fromDocument, const QString &toDocument)
{
    QStringList left;
    if (fromDocument.isEmpty() || toDocument.isEmpty())
        return left;
    const QString from = folderOf(fromDocument);
    const QString to = folderOf(toDocument);
    if (QString::compare(from, to, pathCase()) == 0)
        return left;

    // The renderer's HTML names every image the way a reader of the Markdown finds it.
    static const QRegularExpression image(
        QStringLiteral("<img\\b[^>]*?\\ssrc\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notRelative(QStringLiteral("^([a-zA-Z][a-zA-Z0-9+.\\-]*:|[/\\\\#])"));
    QSet<QString> seen;
    auto it = image.globalMatch(markdownToHtml(markdown));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString src = decodeEntities(match.captured(1) + match.captured(2) + match.captured(3));
        if (src.isEmpty() || src.contains(notRelative) || seen.contains(src))
            continue;
        seen.insert(src);
        QString path = src.left(src.indexOf(QRegularExpression(QStringLiteral("[?#]"))));
        path = QDir::cleanPath(QUrl::fromPercentEncoding(path.toUtf8()));
        const QString source = from + QLatin1Char('/') + path;
        const QString target = QDir::cleanPath(to + QLatin1Char('/') + path);
        if (!QFileInfo(source).isFile())
            continue; // missing already: nothing to carry
        if (QFileInfo::exists(target)) {
            if (!sameContent(source, target))
                left.append(src);
            continue;
        }
        if (path.startsWith(QLatin1String("../")) || path == QLatin1String("..")) {
            left.append(src);
            continue;
        }
        MadeFolder folder(QFileInfo(target).path());
        if (!folder.ok || !QFile::copy(source, target)) {
            folder.undo();
            left.append(src);
        }
    }
    return left;
}

QString uniqueFileName(const QString &path)
{
    int slash = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    slash = qMax(slash, path.lastIndexOf(QLatin1Char('\\')));
#endif
    const QString folder = path.left(slash + 1);
    QString name = path.mid(slash + 1);

    while (QFileInfo::exists(folder + name)) {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        QString stem = dot < 0 ? name : name.left(dot);
        const QString suffix = dot < 0 ? QString() : name.mid(dot);

        const QString counter = stem.right(4);
        if (stem.size() >= 4 && isAsciiDigits(counter) && counter != QLatin1String("9999"))
            stem = stem.left(stem.size() - 4) + QStringLiteral("%1").arg(counter.toInt() + 1, 4, 10, QLatin1Char('0'));
        else
            stem += QStringLiteral("-0000");
        name = stem + suffix;
    }
    return folder + name;
}
