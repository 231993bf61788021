#include "editor/imagestore.h"

#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool isAsciiDigits(const QString &text)
{
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    }
    return true;
}
} // namespace

QString storeImage(const QString &documentPath, const QString &imagePath)
{
    if (Settings::instance().saveImageType() != 1 || documentPath.isEmpty())
        return imagePath;

    const QFileInfo document(documentPath);
    const QString assets = document.absolutePath() + QLatin1Char('/') + document.baseName()
        + QStringLiteral(".assets");
    QDir().mkpath(assets);

    const QString target = uniqueFileName(assets + QLatin1Char('/') + QFileInfo(imagePath).fileName());
    if (QFile::copy(imagePath, target))
        return target;
    return imagePath;
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
