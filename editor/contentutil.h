#ifndef CONTENTUTIL_H
#define CONTENTUTIL_H

#include <QString>

// Stateless helpers of the bridge: address checks, the two conversions and image storing.
class ContentUtil
{
public:
    static bool isUrl(const QString &text);
    static bool isWindowsPath(const QString &text);
    // An absolute path of the platform the program runs on ("/home/me/pic.png" on Linux).
    static bool isLocalAbsolutePath(const QString &text);

    QString htmlToMarkdown(const QString &html) const;
    QString markdownToHtml(const QString &markdown) const;
    // See storeImage() in editor/imagestore.h.
    QString storeImage(const QString &documentPath, const QString &imagePath) const;
};

#endif // CONTENTUTIL_H
