#ifndef KEYALIGNMENT_H
#define KEYALIGNMENT_H

#include <QStringList>
#include <QVector>

// Pairs two sequences of keys (a save: the loaded page's nodes and the
// edited page's): for each a[i], the index of its partner in b or -1, keeping
// order and matching as many as possible. Two edits far apart in a long
// sequence keep everything between them.
QVector<int> alignKeys(const QStringList &a, const QStringList &b);

#endif // KEYALIGNMENT_H
