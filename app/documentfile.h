#ifndef DOCUMENTFILE_H
#define DOCUMENTFILE_H

#include <QByteArray>
#include <QString>

// Writes data as the new content of the file at path, keeping what the file is:
//
// - Through a symbolic link, the file it names is written; the link stays.
// - Normally a temporary file in the same folder is written, given the old file's
//   permissions (and, on Unix, its owner and group), and renamed over it, so a
//   failure at any point leaves the old file whole.
// - The file is written in place instead when the rename would change what the
//   file is or cannot be done: it has other hard links, its owner or group cannot
//   be given to a new file, or no temporary file can be made in its folder (a
//   writable file in a folder without write access). A copy of the old content is
//   made first (in copyFolder, else in the system's temporary folder); without a
//   copy nothing is written. If the write fails the old content is put back; the
//   copy is removed once either has worked, else its path is named in *error.
// - A new file is made by the rename path only.
//
// On failure returns false and sets *error.
bool writeDocumentFile(const QString &path, const QByteArray &data, const QString &copyFolder, QString *error);

// How a document file holds its text: a file is written as it was read.
struct TextFormat
{
    enum class LineEnd { Lf, CrLf, Cr };
    bool byteOrderMark = false;
#ifdef Q_OS_WIN
    LineEnd lineEnd = LineEnd::CrLf;
#else
    LineEnd lineEnd = LineEnd::Lf;
#endif
    // The file's encoding when it is not UTF-8 (a codec name), else empty.
    QByteArray encoding;
};

// The text of a document file's bytes, and in *format how the file holds it:
// its byte-order mark; its encoding, UTF-8 unless the bytes are not UTF-8,
// then a single-byte encoding that gives every byte back on writing; and the
// line end its first line ends with (without one, the platform's). CR LF, LF
// and, in a file whose lines end with CR, a lone CR become line feeds; a CR
// within a line of another file stays.
QString documentText(const QByteArray &bytes, TextFormat *format);

// The format of a file's bytes, as documentText() finds it.
TextFormat textFormatOf(const QByteArray &bytes);

// Whether format's encoding can hold every character of text.
bool canEncode(const QString &text, const TextFormat &format);

// text as a document file holds it: by default UTF-8 without a byte-order
// mark and with the platform's line ends.
QByteArray documentBytes(const QString &text, const TextFormat &format = TextFormat());

#endif // DOCUMENTFILE_H
