// The script interpreter against a stand-in dialog made of plain Qt widgets under the dialog's
// object names: each action must reach the right control through real mouse and key events.
#include "apps/demo/ScriptRunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using sarvo::demo::ScriptParser;
using sarvo::demo::ScriptRunner;

namespace {

// Counts the events a widget receives, by type, and remembers mouse positions.
class EventLog : public QObject {
public:
    QList<QPair<QEvent::Type, QPoint>> mouse;
    int returnKeys = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease ||
            e->type() == QEvent::MouseMove) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (e->type() != QEvent::MouseMove || me->buttons() & Qt::LeftButton)
                mouse.append({e->type(), me->position().toPoint()});
        }
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return)
            ++returnKeys;
        return false;
    }
};

class FakeDialog : public QDialog {
public:
    QLineEdit* txtFilter;
    QRadioButton* opt[2];
    QCheckBox* chkTreeDisp;
    QCheckBox* ChkFfc;
    QCheckBox* chkChoice[10];
    QPushButton* cmdButton[4];
    QPushButton* cmdGL;
    QTreeView* trvDis;
    QStandardItemModel model;
    QLabel* Image1;

    FakeDialog() {
        setObjectName(QStringLiteral("frmSarvo"));
        resize(460, 370);
        auto* frame1 = new QFrame(this);
        frame1->setObjectName(QStringLiteral("Frame1"));
        frame1->setGeometry(6, 4, 253, 33);
        txtFilter = new QLineEdit(frame1);
        txtFilter->setObjectName(QStringLiteral("txtFilter"));
        txtFilter->setGeometry(132, 8, 119, 22);
        for (int i = 0; i < 2; ++i) {
            opt[i] = new QRadioButton(i == 0 ? QStringLiteral("左") : QStringLiteral("包含"), frame1);
            opt[i]->setObjectName(QStringLiteral("optFilter(%1)").arg(i));
            opt[i]->setGeometry(14 + 58 * i, 14, 51, 15);
        }
        opt[0]->setChecked(true);
        chkTreeDisp = new QCheckBox(QStringLiteral("按树型显示"), this);
        chkTreeDisp->setObjectName(QStringLiteral("chkTreeDisp"));
        chkTreeDisp->setGeometry(288, 8, 145, 25);
        chkTreeDisp->setChecked(true);
        trvDis = new QTreeView(this);
        trvDis->setObjectName(QStringLiteral("trvDis"));
        trvDis->setGeometry(6, 44, 350, 100);
        trvDis->setHeaderHidden(true);
        trvDis->setModel(&model);
        auto* grip = new QFrame(this);
        grip->setObjectName(QStringLiteral("fraGLXZ"));
        grip->setGeometry(8, 264, 429, 69);
        ChkFfc = new QCheckBox(QStringLiteral("非封存"), grip);
        ChkFfc->setObjectName(QStringLiteral("ChkFfc"));
        ChkFfc->setGeometry(368, 20, 57, 17);
        ChkFfc->setChecked(true);
        cmdGL = new QPushButton(QStringLiteral("过滤"), grip);
        cmdGL->setObjectName(QStringLiteral("cmdGL"));
        cmdGL->setGeometry(376, 42, 45, 20);
        for (int i = 0; i < 10; ++i) {
            chkChoice[i] = new QCheckBox(QStringLiteral("选项%1").arg(i), grip);
            chkChoice[i]->setObjectName(QStringLiteral("chkChoice(%1)").arg(i));
            chkChoice[i]->setGeometry(8 + 72 * (i / 2), 20 + 24 * (i % 2), 70, 17);
            chkChoice[i]->setProperty("highlighted", false);
        }
        for (int i = 0; i < 4; ++i) {
            cmdButton[i] = new QPushButton(QStringLiteral("按钮%1").arg(i), this);
            cmdButton[i]->setObjectName(QStringLiteral("cmdButton(%1)").arg(i));
            cmdButton[i]->setGeometry(372, 58 + 33 * i, 75, 20);
        }
        Image1 = new QLabel(this);
        Image1->setObjectName(QStringLiteral("Image1"));
        Image1->setGeometry(362, 42, 4, 216);
        setProperty("sFilter", QString());
        connect(cmdButton[3], &QAbstractButton::clicked, this, &QDialog::reject); // cancel closes
        // The tree of the filtered dialog: group node, two classes, accounts under the first.
        add(nullptr, "z", "常用科目");
        QStandardItem* a1 = add(nullptr, "a1", "资产");
        add(a1, "b1001", "1001 库存现金");
        QStandardItem* b1002 = add(a1, "b1002", "1002 银行存款");
        add(b1002, "b100201", "100201 工商银行");
        add(nullptr, "a2", "负债");
    }

    QStandardItem* add(QStandardItem* parent, const char* key, const char* text) {
        auto* item = new QStandardItem(QString::fromUtf8(text));
        item->setData(QString::fromUtf8(key), ScriptRunner::kNodeKeyRole);
        item->setEditable(false);
        (parent ? parent : model.invisibleRootItem())->appendRow(item);
        return item;
    }

    QModelIndex index(const char* key) const {
        const auto found = model.match(model.index(0, 0), ScriptRunner::kNodeKeyRole, QString::fromUtf8(key),
                                       1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
};

class ScriptRunnerTest : public ::testing::Test {
protected:
    FakeDialog dialog;

    // Shows the dialog and runs the script on it as the demo does; the runner closes it.
    std::unique_ptr<ScriptRunner> run(const char* script) {
        auto runner = std::make_unique<ScriptRunner>(ScriptParser::parse(QString::fromUtf8(script)));
        dialog.show();
        runner->run(&dialog);
        return runner;
    }
};

TEST_F(ScriptRunnerTest, TypesOneCharacterAtATimeChineseIncluded) {
    QStringList seen;
    QObject::connect(dialog.txtFilter, &QLineEdit::textChanged, [&](const QString& t) { seen << t; });
    const auto runner = run("type 10银行");
    EXPECT_FALSE(runner->error().has_value());
    EXPECT_EQ(seen, QStringList({"1", "10", QString::fromUtf8("10银"), QString::fromUtf8("10银行")}));
    EXPECT_FALSE(dialog.isVisible()); // closed at the end as the close button would
}

TEST_F(ScriptRunnerTest, PasteSetsTheWholeTextAtOnceAndClearEmptiesIt) {
    dialog.txtFilter->setText(QStringLiteral("99"));
    QStringList seen;
    QObject::connect(dialog.txtFilter, &QLineEdit::textChanged, [&](const QString& t) { seen << t; });
    run("paste 1002 银行");
    EXPECT_EQ(seen, QStringList({QString::fromUtf8("1002 银行")}));
    seen.clear();
    run("clear");
    EXPECT_EQ(seen, QStringList({QString()}));
}

TEST_F(ScriptRunnerTest, OptionAndCheckBoxesAreClickedOnlyWhenTheyDiffer) {
    QSignalSpy treeClicks(dialog.chkTreeDisp, &QAbstractButton::clicked);
    QSignalSpy choiceClicks(dialog.chkChoice[4], &QAbstractButton::clicked);
    dialog.chkChoice[1]->setEnabled(false);
    const auto runner =
        run("mode contains\ntreedisp on\ntreedisp off\ncheck 4 on\ncheck 4 on\ncheck 1 on\nffc off");
    EXPECT_FALSE(runner->error().has_value());
    EXPECT_TRUE(dialog.opt[1]->isChecked());
    EXPECT_FALSE(dialog.opt[0]->isChecked());
    EXPECT_EQ(treeClicks.count(), 1);
    EXPECT_FALSE(dialog.chkTreeDisp->isChecked());
    EXPECT_EQ(choiceClicks.count(), 1);
    EXPECT_TRUE(dialog.chkChoice[4]->isChecked());
    EXPECT_FALSE(dialog.chkChoice[1]->isChecked()); // a disabled box cannot be ticked by a person
    EXPECT_FALSE(dialog.ChkFfc->isChecked());
}

TEST_F(ScriptRunnerTest, ClickOpensTheWayToANodeAndSelectsItWithTheMouse) {
    QSignalSpy clicked(dialog.trvDis, &QAbstractItemView::clicked);
    const auto runner = run("click b100201");
    EXPECT_FALSE(runner->error().has_value());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toModelIndex(), dialog.index("b100201"));
    EXPECT_TRUE(dialog.trvDis->isExpanded(dialog.index("a1")));
    EXPECT_TRUE(dialog.trvDis->isExpanded(dialog.index("b1002")));
    EXPECT_TRUE(dialog.trvDis->selectionModel()->isSelected(dialog.index("b100201")));
}

TEST_F(ScriptRunnerTest, DoubleClickIsAClickFollowedByADoubleClick) {
    QSignalSpy clicked(dialog.trvDis, &QAbstractItemView::clicked);
    QSignalSpy doubled(dialog.trvDis, &QAbstractItemView::doubleClicked);
    run("dblclick b1001");
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled[0][0].toModelIndex(), dialog.index("b1001"));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ScriptRunnerTest, ExpandAndCollapseUseTheSignAndIgnoreNodesWithoutChildren) {
    QSignalSpy clicked(dialog.trvDis, &QAbstractItemView::clicked);
    auto runner = run("expand a1\nexpand a2");
    EXPECT_FALSE(runner->error().has_value());
    EXPECT_TRUE(dialog.trvDis->isExpanded(dialog.index("a1")));
    EXPECT_FALSE(dialog.trvDis->isExpanded(dialog.index("a2")));
    EXPECT_EQ(clicked.count(), 0); // opening a branch is not a click on the node
    runner = run("collapse a1");
    EXPECT_FALSE(dialog.trvDis->isExpanded(dialog.index("a1")));
}

TEST_F(ScriptRunnerTest, EnterGoesToTheFocusedTree) {
    EventLog log;
    dialog.trvDis->installEventFilter(&log);
    QWidget* focusedDuringEnter = nullptr;
    QObject::connect(dialog.trvDis, &QAbstractItemView::activated,
                     [&] { focusedDuringEnter = QApplication::focusWidget(); });
    run("click b1001\nenter");
    EXPECT_EQ(log.returnKeys, 1);
    EXPECT_EQ(focusedDuringEnter, dialog.trvDis);
}

TEST_F(ScriptRunnerTest, ButtonsAndTheFilterButtonAreClicked) {
    QSignalSpy edit(dialog.cmdButton[2], &QAbstractButton::clicked);
    QSignalSpy ok(dialog.cmdButton[0], &QAbstractButton::clicked);
    QSignalSpy filter(dialog.cmdGL, &QAbstractButton::clicked);
    run("button 2\nfilter");
    EXPECT_EQ(edit.count(), 1);
    EXPECT_EQ(ok.count(), 0);
    EXPECT_EQ(filter.count(), 1);
}

TEST_F(ScriptRunnerTest, DragPressesTheGripAndReleasesItTheDistanceAway) {
    EventLog log;
    dialog.Image1->installEventFilter(&log);
    run("drag 600\ndrag -300");
    // 600 twips are 40 pixels: press at the grip's left edge, held moves, release 40 to the right.
    ASSERT_EQ(log.mouse.size(), 8);
    const int y = dialog.Image1->height() / 2;
    EXPECT_EQ(log.mouse[0], qMakePair(QEvent::MouseButtonPress, QPoint(0, y)));
    EXPECT_EQ(log.mouse[1].first, QEvent::MouseMove);
    EXPECT_EQ(log.mouse[2], qMakePair(QEvent::MouseMove, QPoint(40, y)));
    EXPECT_EQ(log.mouse[3], qMakePair(QEvent::MouseButtonRelease, QPoint(40, y)));
    EXPECT_EQ(log.mouse[7], qMakePair(QEvent::MouseButtonRelease, QPoint(-20, y)));
}

TEST_F(ScriptRunnerTest, DumpWritesTheTreeInOrderWithExpandedAndSelectedMarks) {
    const auto runner = run("click b1002\ndump");
    ASSERT_TRUE(runner->wantsTrace());
    ASSERT_EQ(runner->trace().size(), 1);
    const QJsonArray expected = {
        QString::fromUtf8("z\t常用科目"),
        QString::fromUtf8("a1\t资产 [+]"),
        QString::fromUtf8("  b1001\t1001 库存现金"),
        QString::fromUtf8("  b1002\t1002 银行存款 [*]"),
        QString::fromUtf8("    b100201\t100201 工商银行"),
        QString::fromUtf8("a2\t负债"),
    };
    EXPECT_EQ(runner->trace()[0].toArray(), expected);
}

TEST_F(ScriptRunnerTest, StateReportsWhatTheUserSees) {
    dialog.chkChoice[3]->setProperty("highlighted", true);
    dialog.cmdButton[2]->setEnabled(false);
    dialog.setProperty("sFilter", QStringLiteral(" bclose=0 and  ( ccode like N'10%')"));
    const auto runner = run("type 10\ncheck 7 on\nmode contains\nstate");
    ASSERT_FALSE(runner->error().has_value()) << runner->error()->message.toStdString();
    ASSERT_EQ(runner->trace().size(), 1);
    const QJsonObject s = runner->trace()[0].toObject();
    EXPECT_EQ(s.value("filter"), QJsonValue("10"));
    EXPECT_EQ(s.value("mode"), QJsonValue("contains"));
    EXPECT_EQ(s.value("treedisp"), QJsonValue(true));
    EXPECT_EQ(s.value("ffc"), QJsonValue(true));
    const QJsonArray choices = s.value("choices").toArray();
    ASSERT_EQ(choices.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const QJsonObject c = choices[i].toObject();
        EXPECT_EQ(c.value("value"), QJsonValue(i == 7 ? 1 : 0)) << i;
        EXPECT_EQ(c.value("enabled"), QJsonValue(true)) << i;
        EXPECT_EQ(c.value("highlighted"), QJsonValue(i == 3)) << i;
    }
    EXPECT_EQ(s.value("buttons").toArray(), QJsonArray({true, true, false, true}));
    EXPECT_EQ(s.value("sFilter"), QJsonValue(" bclose=0 and  ( ccode like N'10%')"));
    EXPECT_EQ(s.value("treeWidth"), QJsonValue(350 * 15));
    EXPECT_EQ(s.value("formWidth"), QJsonValue(460 * 15));
}

struct Failure {
    const char* script;
    int line;
    const char* text;
    const char* message;
};

void PrintTo(const Failure& p, std::ostream* os) {
    *os << p.message;
}

class ScriptRunnerFailure : public ScriptRunnerTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ScriptRunnerFailure, StopsTheScriptAndStillClosesTheDialog) {
    delete dialog.chkChoice[7]; // a control the dialog does not have yet
    QSignalSpy ok(dialog.cmdButton[0], &QAbstractButton::clicked);
    const auto runner = run(GetParam().script);
    ASSERT_TRUE(runner->error().has_value());
    EXPECT_EQ(runner->error()->line, GetParam().line);
    EXPECT_EQ(runner->error()->text, QString::fromUtf8(GetParam().text));
    EXPECT_TRUE(runner->error()->message.contains(QString::fromUtf8(GetParam().message)))
        << runner->error()->message.toStdString();
    EXPECT_EQ(ok.count(), 0); // nothing after the failing line ran
    EXPECT_FALSE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptRunnerFailure,
    ::testing::Values(Failure{"wait 1\nclick b9999\nbutton 0", 2, "click b9999", "no node with key b9999"},
                      Failure{"check 7 on\nbutton 0", 1, "check 7 on", "no control named chkChoice(7)"},
                      Failure{"state\nbutton 0", 1, "state", "no control named chkChoice(7)"},
                      Failure{"# first\ntype 1\njump\nbutton 0", 3, "jump", "unknown action"},
                      Failure{"button 3\nbutton 0", 2, "button 0", "the dialog has closed"}));

TEST_F(ScriptRunnerTest, StartsWhenTheModalDialogIsShownAndEndsIt) {
    ScriptRunner runner(ScriptParser::parse(QStringLiteral("type 1002\nstate")));
    runner.watchFor(QStringLiteral("frmSarvo"), 5);
    EXPECT_FALSE(runner.hasStarted());
    QTimer guard; // a runner that never starts must not hang the test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, &QDialog::reject);
    guard.start(10000);
    const int code = dialog.exec();
    EXPECT_TRUE(runner.hasFinished());
    EXPECT_TRUE(guard.isActive());
    EXPECT_EQ(code, QDialog::Rejected);
    EXPECT_EQ(dialog.txtFilter->text(), QStringLiteral("1002"));
    EXPECT_EQ(runner.trace().size(), 1);
}

} // namespace
