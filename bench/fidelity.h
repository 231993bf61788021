#ifndef FIDELITY_H
#define FIDELITY_H

// Shared by the fidelity drivers: which Markdown files to read, how a saved
// document is judged, and the summary line.

#include "../tests/convert/corpushelpers.h"

#include "convert/htmltomarkdown.h"
#include "convert/markdowntohtml.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTextStream>

namespace Fidelity {

// The .md files under the given folders (recursively), or the files named.
inline QStringList inputs(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
            QStringList found;
            while (it.hasNext())
                found << it.next();
            found.sort();
            files << found;
        } else {
            files << path;
        }
    }
    return files;
}

inline QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

struct Tally
{
    int total = 0;
    int survived = 0;   // the saved Markdown renders as the original did
    int stable = 0;     // of those, a second save changes nothing
    QStringList lost;

    // html: what the page gives back for saving; original: the file.
    void judge(const QString &name, const QString &original, const QString &html)
    {
        ++total;
        const QString saved = htmlToMarkdown(html);
        if (Corpus::normalizeHtml(markdownToHtml(saved)) != Corpus::normalizeHtml(markdownToHtml(original))) {
            lost << name;
            return;
        }
        ++survived;
        if (htmlToMarkdown(markdownToHtml(saved)) == saved)
            ++stable;
    }

    void report(const QString &label) const
    {
        QTextStream out(stdout);
        out << label << ": " << survived << " of " << total << " render the same after a save ("
            << QString::number(total ? 100.0 * survived / total : 0.0, 'f', 1) << "%); " << stable
            << " of those unchanged by a second save\n";
        for (const QString &name : lost)
            out << "  lost: " << name << "\n";
    }
};

} // namespace Fidelity

#endif // FIDELITY_H
