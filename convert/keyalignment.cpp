#include "convert/keyalignment.h"

#include <QHash>

#include <algorithm>
#include <utility>
#include <vector>

namespace {


using Keys = std::vector<int>;

// The longest common subsequence of x[x0, x0 + n) and y[y0, y0 + m), by a
// table of n x m entries.
void alignByTable(const Keys &x, const Keys &y, int x0, int n, int y0, int m, QVector<int> &partner)
{
    std::vector<int> length(size_t(n + 1) * size_t(m + 1), 0);
    auto at = [&](int i, int j) -> int & { return length[size_t(i) * size_t(m + 1) + size_t(j)]; };
    for (int i = n - 1; i >= 0; --i) {
        for (int j = m - 1; j >= 0; --j)
            at(i, j) = x[size_t(x0 + i)] == y[size_t(y0 + j)] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
    int i = 0;
    int j = 0;
    while (i < n && j < m) {
        if (x[size_t(x0 + i)] == y[size_t(y0 + j)] && at(i, j) == at(i + 1, j + 1) + 1) {
            partner[x0 + i] = y0 + j;
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
}

// The keys that stand once on each side of x[x0, x1) and y[y0, y1), as
// pairs of positions: the longest run of them in the same order on both sides.
std::vector<std::pair<int, int>> uniqueAnchors(const Keys &x, const Keys &y, int x0, int x1, int y0, int y1)
{
    QHash<int, int> countX;
    QHash<int, int> countY;
    QHash<int, int> whereY;
    for (int i = x0; i < x1; ++i)
        ++countX[x[size_t(i)]];
    for (int j = y0; j < y1; ++j) {
        ++countY[y[size_t(j)]];
        whereY.insert(y[size_t(j)], j);
    }
    std::vector<std::pair<int, int>> pairs;
    for (int i = x0; i < x1; ++i) {
        const int key = x[size_t(i)];
        if (countX.value(key) == 1 && countY.value(key) == 1)
            pairs.emplace_back(i, whereY.value(key));
    }
    // The longest run of those pairs increasing on both sides.
    std::vector<int> tails; // index into pairs of the smallest end of each run length
    std::vector<int> before(pairs.size(), -1);
    for (size_t k = 0; k < pairs.size(); ++k) {
        auto it = std::lower_bound(tails.begin(), tails.end(), pairs[k].second,
                                   [&pairs](int index, int value) { return pairs[size_t(index)].second < value; });
        if (it != tails.begin())
            before[k] = *(it - 1);
        if (it == tails.end())
            tails.push_back(int(k));
        else
            *it = int(k);
    }
    std::vector<std::pair<int, int>> anchors;
    for (int k = tails.empty() ? -1 : tails.back(); k >= 0; k = before[size_t(k)])
        anchors.push_back(pairs[size_t(k)]);
    std::reverse(anchors.begin(), anchors.end());
    return anchors;
}

// Pairs x[x0, x1) with y[y0, y1): equal ends first, then the longest common
// subsequence when the rest is small; a large rest is cut at the keys that
// stand once on each side (in order), and each piece between them is aligned
// the same way, so that two edits far apart in a long document keep
// everything between them.
void alignRange(const Keys &x, const Keys &y, int x0, int x1, int y0, int y1, QVector<int> &partner)
{
    while (x0 < x1 && y0 < y1 && x[size_t(x0)] == y[size_t(y0)])
        partner[x0++] = y0++;
    while (x0 < x1 && y0 < y1 && x[size_t(x1 - 1)] == y[size_t(y1 - 1)])
        partner[--x1] = --y1;
    const int n = x1 - x0;
    const int m = y1 - y0;
    if (n == 0 || m == 0)
        return;
    if (qint64(n + 1) * (m + 1) <= 8000000) {
        alignByTable(x, y, x0, n, y0, m, partner);
        return;
    }
    const std::vector<std::pair<int, int>> anchors = uniqueAnchors(x, y, x0, x1, y0, y1);
    if (anchors.empty())
        return; // nothing to hold on to: the rest is converted
    int px = x0;
    int py = y0;
    for (const auto &[ax, ay] : anchors) {
        alignRange(x, y, px, ax, py, ay, partner);
        partner[ax] = ay;
        px = ax + 1;
        py = ay + 1;
    }
    alignRange(x, y, px, x1, py, y1, partner);
}

} // namespace

QVector<int> alignKeys(const QStringList &a, const QStringList &b)
{
    QVector<int> partner(a.size(), -1);
    QHash<QString, int> ids;
    auto idsOf = [&ids](const QStringList &list) {
        std::vector<int> out;
        out.reserve(static_cast<size_t>(list.size()));
        for (const QString &key : list)
            out.push_back(ids.insert(key, ids.value(key, ids.size())).value());
        return out;
    };
    const std::vector<int> x = idsOf(a);
    const std::vector<int> y = idsOf(b);
    alignRange(x, y, 0, int(x.size()), 0, int(y.size()), partner);
    return partner;
}
