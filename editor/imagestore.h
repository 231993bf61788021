#ifndef IMAGESTORE_H
#define IMAGESTORE_H

#include <QDateTime>
#include <QString>
#include <QStringList>

class QImage;

// An image placed for the document: what the document names it by, or why it
// could not be placed (then nothing was left behind and nothing is to be inserted).
struct StoredImage
{
    QString reference;
    QString error;
    QString madeFile; // the copy or image file written for it, if any
    bool ok() const { return error.isEmpty(); }
};

// "<folder>/<base name>.assets" of a saved document (report.final.md gives report.assets).
QString assetsFolder(const QString &documentPath);

// How the document names the image file at imagePath: relative to the document's
// folder when the image lies in it or below ("report.assets/my%20chart.png"),
// else its absolute path with "/" separators.
QString imageReference(const QString &documentPath, const QString &imagePath);

// An image file chosen in the dialog, pasted or dropped. A web address, and any
// file of an untitled document, is named as given; a file in the document's
// folder or below by its relative path; a file elsewhere is copied into the
// assets folder when the settings say to copy images, else named by its absolute path.
StoredImage storeImage(const QString &documentPath, const QString &imagePath);

// Pasted image data, written as "image-YYYYMMDD-HHMMSS.png" into the assets folder
// of documentPath, which must be a saved document.
StoredImage storeImageData(const QString &documentPath, const QImage &image,
                           const QDateTime &when = QDateTime::currentDateTime());

// A link or image destination as Markdown reads it back: in angle brackets when
// it holds spaces or parentheses.
QString markdownDestination(const QString &path);

// Save As into another folder: copies the images that markdown names by a path
// relative to fromDocument's folder to the same path under toDocument's folder,
// so that the text stays as it is and its images still show. Returns the
// references that cannot be carried (outside the folder, a different file already
// in the way, a failed copy).
QStringList carryRelativeImages(const QString &markdown, const QString &fromDocument, const QString &toDocument);

// path itself when nothing exists there, else the first free name of the series
// pic.png -> pic-0000.png -> pic-0001.png; 2023.png -> 2024.png; pic-9999.png -> pic-9999-0000.png.
QString uniqueFileName(const QString &path);

#endif // IMAGESTORE_H
