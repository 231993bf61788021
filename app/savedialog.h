#ifndef SAVEDIALOG_H
#define SAVEDIALOG_H

#include <QString>

class QWidget;

// The save dialog of every command that writes a file (save as, the exports).
// A name typed without an extension gets suffix ("md", "html", ...), so that the
// file is what the dialog's filter promised. Empty when the user cancels.
QString askSavePath(QWidget *parent, const QString &caption, const QString &filter, const QString &suffix);

// path with "." and suffix appended when its file name has no extension.
QString withDefaultSuffix(const QString &path, const QString &suffix);

#endif // SAVEDIALOG_H
