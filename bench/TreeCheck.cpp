// Tree comparison by key.
#include "bench/TreeCheck.h"

#include <algorithm>

namespace sarvo::bench {

QString TreeCheck::describe(const TreeLine& line) {
    return QStringLiteral("%1 under %2 \"%3\"")
        .arg(line.key, line.parent.isEmpty() ? QStringLiteral("the top") : line.parent, line.text);
}

QString TreeCheck::compare(std::vector<TreeLine> tree, std::vector<TreeLine> expected) {
    const auto byKey = [](const TreeLine& a, const TreeLine& b) { return a.key < b.key; };
    std::sort(tree.begin(), tree.end(), byKey);
    std::sort(expected.begin(), expected.end(), byKey);
    if (tree == expected) return QString::fromLatin1(kSame);
    const QString counts =
        QStringLiteral("tree %1 accounts, expected %2").arg(tree.size()).arg(expected.size());
    size_t i = 0;
    while (i < tree.size() && i < expected.size() && tree[i] == expected[i])
        ++i;
    if (i == tree.size()) return counts + QStringLiteral("; missing ") + describe(expected[i]);
    if (i == expected.size()) return counts + QStringLiteral("; extra ") + describe(tree[i]);
    if (tree[i].key == expected[i].key)
        return counts + QStringLiteral("; %1 instead of %2").arg(describe(tree[i]), describe(expected[i]));
    return counts + (tree[i].key < expected[i].key ? QStringLiteral("; extra ") + describe(tree[i])
                                                   : QStringLiteral("; missing ") + describe(expected[i]));
}

} // namespace sarvo::bench
