// Cost of one keystroke's tree rebuild: clearing the account tree and adding 50,000 account
// nodes under their class nodes, then expanding the classes and selecting the first account,
// as the filtered tree build does. Measured on the node store alone and on a shown tree view
// (the latter needs a QApplication; under a QCoreApplication it is skipped).
#include "host/controls/QzTreeView.h"
#include "host/controls/TreeNodeModel.h"

#include <QApplication>
#include <QString>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using sarvo::controls::QzTreeView;
using sarvo::controls::TreeNodeModel;

constexpr int kClasses = 10;

struct Account {
    QString key;
    QString relative;
    QString text;
};

// Keys and texts made once, in code order as the record set hands them over: the accounts of
// one class follow each other.
const std::vector<Account>& accounts(int count) {
    static std::vector<Account> made;
    if (static_cast<int>(made.size()) != count) {
        made.clear();
        made.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const int accountClass = i * kClasses / count;
            const QString code = QString::number(1001 + accountClass * 1000) + QString::number(100000 + i);
            made.push_back({QStringLiteral("b") + code, QStringLiteral("a%1").arg(accountClass + 1),
                            code + QStringLiteral(" Account name ") + QString::number(i)});
        }
    }
    return made;
}

template <class AddFn> void addTree(const std::vector<Account>& list, AddFn add) {
    add(QString(), QStringLiteral("z"), QStringLiteral("Recently used"));
    for (int c = 1; c <= kClasses; ++c)
        add(QString(), QStringLiteral("a%1").arg(c), QStringLiteral("Class %1").arg(c));
    for (const Account& a : list)
        add(a.relative, a.key, a.text);
}

void BM_NodeStoreClearAndAdd(benchmark::State& state) {
    const auto& list = accounts(static_cast<int>(state.range(0)));
    TreeNodeModel model;
    for (auto _ : state) {
        model.clear();
        addTree(list, [&](const QString& rel, const QString& key, const QString& text) {
            model.add(rel, rel.isEmpty() ? 0 : 4, key, text);
        });
        model.finishPendingReset();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NodeStoreClearAndAdd)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ShownTreeClearAddExpandSelect(benchmark::State& state) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        state.SkipWithError("needs a QApplication (offscreen platform is enough)");
        return;
    }
    const auto& list = accounts(static_cast<int>(state.range(0)));
    QzTreeView tree;
    tree.SetStyle(7);
    tree.SetLineStyle(1);
    tree.SetLabelEdit(1);
    tree.SetIndentation(120);
    tree.resize(350, 214);
    tree.show();
    QApplication::processEvents();
    for (auto _ : state) {
        tree.Nodes().Clear();
        addTree(list, [&](const QString& rel, const QString& key, const QString& text) {
            if (rel.isEmpty())
                tree.Nodes().Add(key, text);
            else
                tree.Nodes().Add(rel, 4, key, text);
        });
        for (int p = 1; p <= kClasses; ++p) {
            const auto node = tree.Nodes().Item(p + 1);
            if (node.Children() > 0) node.SetExpanded(true);
        }
        tree.Nodes().Item(2).Child().SetSelected(true);
        // The view lays out and paints what the user sees after the keystroke.
        QApplication::processEvents();
        tree.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ShownTreeClearAddExpandSelect)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

} // namespace
