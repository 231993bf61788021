#ifndef ADDRESSES_H
#define ADDRESSES_H

#include <QString>

// The address checks of the link and image dialogs.
namespace Addresses {
bool isUrl(const QString &text);
// What the link dialog accepts as a link's address: a web address (any host,
// port included), a mailto address, a Windows path, or a reference relative to
// the document (a path, "#fragment", "?query"). Other schemes are refused.
bool isLinkTarget(const QString &text);
bool isWindowsPath(const QString &text);
// An absolute path of the platform the program runs on ("/home/me/pic.png" on Linux).
bool isLocalAbsolutePath(const QString &text);
} // namespace Addresses

#endif // ADDRESSES_H
