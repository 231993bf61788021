#include "app/exporthtml.h"

#include <QSaveFile>
#include <QTextStream>

// Placeholder until export lands.
QString makeStandaloneHtml(const QString &pageHtml, const QString &) { return pageHtml; }
QString currentThemeCss() { return QString(); }

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << text;
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
