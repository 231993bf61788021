#ifndef FILEKIND_H
#define FILEKIND_H

#include <QString>

// Whether path names a device, a pipe or a socket (through any symbolic
// links). Opening one may block for good and reading one may never end, so
// the program reads only regular files.
bool isSpecialFile(const QString &path);

// The reason to give the user for not reading such a file.
QString specialFileReason();

#endif // FILEKIND_H
