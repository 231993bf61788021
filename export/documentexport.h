#pragma once

// Exports of a Markdown document to office formats. Both read the Markdown
// itself (not the editing page), look up local images relative to the
// document's folder the way the page resolves them, and write the target
// through a temporary file that replaces it only when complete: a failed
// export leaves nothing half-written.

#include <QByteArray>
#include <QString>

namespace exporting {

struct Result
{
    bool ok = false;
    QString error; // why it failed, for the user; empty on success
};

// A Word document (Office Open XML, .docx). The title in the document's
// properties is the first heading's text, or else the target's base name.
Result writeDocx(const QString &markdown, const QString &documentFolder, const QString &targetPath);

// The same package as bytes, for callers that store it themselves.
QByteArray buildDocx(const QString &markdown, const QString &documentFolder, const QString &fallbackTitle);

// An OpenDocument text (.odt) of the rendered Markdown, written by Qt's own
// text-document writer and completed with outline headings, rules and the
// title (as for Word). Needs a QGuiApplication (fonts, images).
Result writeOdt(const QString &markdown, const QString &documentFolder, const QString &targetPath);

// A built package written to targetPath; an empty one could not be built.
Result writePackage(const QByteArray &package, const QString &targetPath);

} // namespace exporting
