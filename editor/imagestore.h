#ifndef IMAGESTORE_H
#define IMAGESTORE_H

#include <QString>

// Path to write into the document for an inserted image. With "saveImageType" 1 and a
// saved document the image is copied into "<dir>/<basename>.assets/" under a unique
// name and the copy's absolute path is returned; otherwise imagePath is returned.
QString storeImage(const QString &documentPath, const QString &imagePath);

// path itself when nothing exists there, else the first free name of the series
// pic.png -> pic-0000.png -> pic-0001.png; 2023.png -> 2024.png; pic-9999.png -> pic-9999-0000.png.
QString uniqueFileName(const QString &path);

#endif // IMAGESTORE_H
