#ifndef CONTENTUTIL_H
#define CONTENTUTIL_H

#include <QString>

// The address checks of the link and image dialogs.
namespace ContentUtil {
bool isUrl(const QString &text);
bool isWindowsPath(const QString &text);
// An absolute path of the platform the program runs on ("/home/me/pic.png" on Linux).
bool isLocalAbsolutePath(const QString &text);
} // namespace ContentUtil

#endif // CONTENTUTIL_H
