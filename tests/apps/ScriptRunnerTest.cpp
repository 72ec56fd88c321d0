// The script interpreter against a stand-in dialog made of plain Qt widgets under the dialog's
// object names: each action must reach the right control through real mouse and key events.
#include "apps/demo/ScriptRunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>
#include <gtest/gtest.h>

using sarvo::demo::ScriptParser;
using sarvo::demo::ScriptRunner;

namespace {

class FakeDialog : public QDialog {
public:
    FakeDialog() {
        setObjectName("frmSarvo");
        resize(460, 370);
        setProperty("sFilter", " bclose=0");
        for (int i = 0; i < 10; ++i)
            make<QCheckBox>(QString("chkChoice(%1)").arg(i), {8 + 72 * (i / 2), 284 + 24 * (i % 2), 70, 17});
        for (int i = 0; i < 4; ++i)
            make<QPushButton>(QString("cmdButton(%1)").arg(i), {372, 58 + 33 * i, 75, 20});
        connect(box("cmdButton(3)"), &QAbstractButton::clicked, this, &QDialog::reject); // cancel closes
        make<QRadioButton>("optFilter(0)", {14, 14, 51, 15})->setChecked(true);
        make<QRadioButton>("optFilter(1)", {72, 14, 51, 15});
        make<QCheckBox>("chkTreeDisp", {288, 8, 145, 25})->setChecked(true);
        make<QCheckBox>("ChkFfc", {368, 330, 57, 17})->setChecked(true);
        trvDis->setHeaderHidden(true);
        trvDis->setModel(&model);
        QStandardItem* a1 = add(nullptr, "a1", "资产");
        add(add(a1, "b1002", "1002 银行存款"), "b100201", "100201 工商银行");
        add(a1, "b1001", "1001 库存现金");
        add(nullptr, "a2", "负债");
    }
    template <class W> W* make(const QString& name, const QRect& at) {
        auto* w = new W(this);
        w->setObjectName(name);
        w->setGeometry(at);
        if constexpr (std::is_base_of_v<QAbstractButton, W>) w->setText(name);
        return w;
    }
    QStandardItem* add(QStandardItem* parent, const char* key, const char* text) {
        auto* item = new QStandardItem(QString::fromUtf8(text));
        item->setData(key, ScriptRunner::kNodeKeyRole);
        item->setEditable(false);
        (parent ? parent : model.invisibleRootItem())->appendRow(item);
        return item;
    }
    QModelIndex index(const char* key) const {
        return model.match(model.index(0, 0), ScriptRunner::kNodeKeyRole, key, 1, Qt::MatchRecursive)
            .value(0);
    }
    QAbstractButton* box(const char* name) const { return findChild<QAbstractButton*>(name); }

    QStandardItemModel model;
    QLineEdit* txtFilter = make<QLineEdit>("txtFilter", {132, 8, 119, 22});
    QTreeView* trvDis = make<QTreeView>("trvDis", {6, 44, 350, 100});
    QPushButton* cmdGL = make<QPushButton>("cmdGL", {376, 306, 45, 20});
    QWidget* Image1 = make<QWidget>("Image1", {362, 42, 4, 216});
};

class Runner : public ::testing::Test {
protected:
    // Shows the dialog and runs the script on it as the demo does; the runner closes it.
    std::unique_ptr<ScriptRunner> run(const char* script) {
        auto runner = std::make_unique<ScriptRunner>(ScriptParser::parse(QString::fromUtf8(script)));
        dialog.show();
        runner->run(&dialog);
        EXPECT_FALSE(dialog.isVisible()); // closed at the end as the close button would
        return runner;
    }
    FakeDialog dialog;
};

TEST_F(Runner, FormActionsReachTheirControlsAsAPersonWould) {
    QStringList seen;
    QObject::connect(dialog.txtFilter, &QLineEdit::textChanged, [&](const QString& t) { seen << t; });
    QStringList clicked;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        QObject::connect(b, &QAbstractButton::clicked, [&clicked, b] { clicked << b->objectName(); });
    dialog.box("chkChoice(1)")->setEnabled(false); // a disabled box cannot be ticked by a person
    EXPECT_FALSE(run("type 10银行\npaste 1002 银行\nclear\nmode contains\ntreedisp on\ntreedisp off\n"
                     "check 4 on\ncheck 4 on\ncheck 1 on\nffc off\nbutton 2\nfilter")
                     ->error()
                     .has_value());
    EXPECT_EQ(seen, QStringList({"1", "10", "10银", "10银行", "1002 银行", ""}));
    QStringList ticked;
    for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isChecked()) ticked << b->objectName();
    EXPECT_EQ(ticked, QStringList({"chkChoice(4)", "optFilter(1)"}));
    // Boxes already as asked are left alone.
    EXPECT_EQ(clicked, QStringList({"optFilter(1)", "chkTreeDisp", "chkChoice(4)", "ChkFfc", "cmdButton(2)",
                                    "cmdGL"}));
}

TEST_F(Runner, TreeActionsUseTheMouseOnTheNodeOrItsSign) {
    QSignalSpy clicked(dialog.trvDis, &QAbstractItemView::clicked);
    QSignalSpy doubled(dialog.trvDis, &QAbstractItemView::doubleClicked);
    run("expand a1\nexpand a2"); // a2 has no children: nothing to open
    EXPECT_TRUE(dialog.trvDis->isExpanded(dialog.index("a1")));
    EXPECT_FALSE(dialog.trvDis->isExpanded(dialog.index("a2")));
    EXPECT_EQ(clicked.count(), 0); // opening a branch is no click on the node
    QWidget* focusedOnEnter = nullptr;
    QObject::connect(dialog.trvDis, &QAbstractItemView::activated,
                     [&] { focusedOnEnter = QApplication::focusWidget(); });
    EXPECT_FALSE(run("click b100201\ncollapse b1002\ndblclick b1001\nenter")->error().has_value());
    EXPECT_FALSE(dialog.trvDis->isExpanded(dialog.index("b1002"))); // opened on the way, then closed
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked[0][0].toModelIndex(), dialog.index("b100201"));
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled[0][0].toModelIndex(), dialog.index("b1001"));
    EXPECT_EQ(focusedOnEnter, dialog.trvDis);
}

TEST_F(Runner, DragPressesTheGripAndReleasesItTheDistanceAway) {
    QList<QPoint> ends; // where the button went down and up
    struct Filter : QObject {
        QList<QPoint>& out;
        explicit Filter(QList<QPoint>& out) : out(out) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)
                out << static_cast<QMouseEvent*>(e)->position().toPoint();
            return false;
        }
    } filter(ends);
    dialog.Image1->installEventFilter(&filter);
    run("drag 600\ndrag -300"); // 40 and 20 pixels
    const int y = dialog.Image1->height() / 2;
    EXPECT_EQ(ends, QList<QPoint>({{0, y}, {40, y}, {0, y}, {-20, y}}));
}

TEST_F(Runner, DumpAndStateReportWhatTheUserSees) {
    dialog.box("chkChoice(3)")->setProperty("highlighted", true);
    dialog.box("cmdButton(2)")->setEnabled(false);
    const auto runner = run("click b1002\ndump\ntype 10\ncheck 7 on\nmode contains\nstate");
    ASSERT_FALSE(runner->error().has_value()) << runner->error()->message.toStdString();
    ASSERT_TRUE(runner->wantsTrace());
    ASSERT_EQ(runner->trace().size(), 2);
    EXPECT_EQ(runner->trace()[0].toArray(),
              QJsonArray({"a1\t资产 [+]", "  b1002\t1002 银行存款 [*]", "    b100201\t100201 工商银行",
                          "  b1001\t1001 库存现金", "a2\t负债"}));
    QJsonObject state = runner->trace()[1].toObject();
    const QJsonArray choices = state.take("choices").toArray();
    EXPECT_EQ(
        QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString(),
        R"({"buttons":[true,true,false,true],"ffc":true,"filter":"10","formWidth":6900,"mode":"contains",)"
        R"("sFilter":" bclose=0","treeWidth":5250,"treedisp":true})");
    ASSERT_EQ(choices.size(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(choices[i], QJsonObject({{"value", i == 7 ? 1 : 0},
                                           {"enabled", true},
                                           {"highlighted", i == 3 ? true : QJsonValue()}}))
            << i;
}

TEST_F(Runner, AFailingActionStopsTheScriptAndStillClosesTheDialog) {
    delete dialog.box("chkChoice(7)"); // a control the dialog does not have yet
    QSignalSpy ok(dialog.box("cmdButton(0)"), &QAbstractButton::clicked);
    for (const auto& [script, line, text, message] :
         {std::tuple{"wait 1\nclick b9999\nbutton 0", 2, "click b9999", "no node with key b9999"},
          {"check 7 on\nbutton 0", 1, "check 7 on", "no control named chkChoice(7)"},
          {"# first\ntype 1\njump\nbutton 0", 3, "jump", "unknown action"},
          {"button 3\nbutton 0", 2, "button 0", "the dialog has closed"}}) {
        const auto error = run(script)->error();
        ASSERT_TRUE(error.has_value()) << script;
        EXPECT_EQ(std::tuple(error->line, error->text.toStdString()), std::tuple(line, std::string(text)));
        EXPECT_TRUE(error->message.contains(message)) << error->message.toStdString();
    }
    EXPECT_EQ(ok.count(), 0); // nothing after a failing line ran
}

} // namespace
