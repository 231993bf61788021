#include "editor/imagestore.h"

// Placeholder until image storing lands.
QString storeImage(const QString &, const QString &imagePath) { return imagePath; }
QString uniqueFileName(const QString &path) { return path; }
