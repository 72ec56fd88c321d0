// Driving the reference dialog as a person does, on a real host: a request set up as the public
// class leaves it before the dialog loads, the dialog loaded and shown, and what the user and the
// host see afterwards (the tree as lines, the attribute boxes, messages, statements sent, rows
// written). Shared by the tree, filter and selection tests.
#pragma once

#include "component/basSarvo.h"
#include "dialog/frmSarvo.h"
#include "host/controls/QzCheckBox.h"
#include "host/controls/QzCommandButton.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzRadio.h"
#include "host/controls/QzTreeView.h"
#include "host/controls/TreeNodeModel.h"
#include "host/services/MessageService.h"
#include "tests/support/HostFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::testing {

class DialogHarness : public ::testing::Test {
public:
    // A suite over several engines passes its parameter (EngineSlots.h) as engine.
    explicit DialogHarness(const QString& templateName = QStringLiteral("standard"),
                           const QString& loginYear = QStringLiteral("2024"),
                           const QString& language = QStringLiteral("zh-cn"),
                           const EngineSlot& engine = sqliteSlot())
        : host(templateName, language, loginYear, engine), m_engine(engine) {}

    void SetUp() override {
        SARVO_REQUIRE_ENGINE(m_engine);
        beginRequest();
    }
    void TearDown() override {
        form.reset();
        basSarvo::setZwPub(nullptr);
        basSarvo::setLogin(nullptr);
    }

    // The shared state as the public class leaves it just before the dialog loads; run again after
    // changing the host's account-set description (classes, settings) so the host reads it anew.
    void beginRequest() {
        basSarvo::setZwPub(host.zwPub);
        basSarvo::setLogin(host.login);
        host.zwPub->SetLogin(host.login);
        host.zwPub->InitContext(Variant(host.kit), "demo", "001", 2024, "demo", QDateTime::currentDateTime());
        basSarvo::iYear() = 2024;
    }

    ObjectRef attrib() const { return host.zwPub->RefAttrib(); }

    // An account of 2024 in the 4-2-2-2... scheme; its grade follows from the code's length.
    void addAccount(const QString& cclass, const QString& code, const QString& name,
                    const QString& english = {}, bool closed = false) const {
        const int grade = (static_cast<int>(code.size()) - 4) / 2 + 1;
        host.exec(
            QStringLiteral(
                "insert into code(iYear,cclass,ccode,ccode_name,ccode_engl,igrade,chelp,bend,bclose) "
                "values(2024,'%1','%2','%3',%4,%5,'',1,%6)")
                .arg(cclass, code, name, english.isNull() ? QStringLiteral("null") : "'" + english + "'")
                .arg(grade)
                .arg(closed ? 1 : 0));
    }
    // A chain of one account per grade under 1001 (100101, 10010101, ...) down to `lastGrade`;
    // the keys of the level-by-level tree from b1001 down.
    QStringList addGradeChain(int lastGrade) const {
        QString code = QStringLiteral("1001");
        QStringList keys{QStringLiteral("b1001")};
        for (int grade = 2; grade <= lastGrade; ++grade) {
            code += QStringLiteral("01");
            addAccount(QStringLiteral("资产"), code, QStringLiteral("第%1级").arg(grade));
            keys << QChar(u'a' + grade) + code;
        }
        return keys;
    }
    // Classes after the six of the standard set, up to position `last` (0-based); the host reads
    // its classes when the request begins, so this begins the request again.
    void addClassesUpTo(int last) {
        for (int p = 6; p <= last; ++p)
            host.exec(QStringLiteral(
                          "insert into host_class(iPosition,cclass,cKind,cText_zhcn,cText_zhtw,cText_enus) "
                          "values(%1,'类%1','%1','类%1','類%1','Class %1')")
                          .arg(p));
        beginRequest();
    }

    // The two persisted options as the dialog will find them.
    void storeOption(const QString& name, const QString& value) const {
        host.exec(QStringLiteral("delete from AccInformation where cSysID='GL' and cName='%1'").arg(name));
        host.exec(
            QStringLiteral("insert into AccInformation(cSysID,cID,cName,cValue) values('GL','17','%1','%2')")
                .arg(name, value));
    }
    void storeTreeDisplay(bool hierarchy) const {
        storeOption(QStringLiteral("IntSarvoTree"), hierarchy ? QStringLiteral("1") : QStringLiteral("0"));
    }

    // Loads and shows the dialog for a request with these two parameters; the statement log and
    // the message record start empty once it is on screen.
    frmSarvo& open(const Variant& viewpara1 = Variant(QString()),
                   const Variant& viewpara2 = Variant(QString())) {
        attrib()->putAt(1, viewpara1);
        attrib()->putAt(2, viewpara2);
        form = std::make_unique<frmSarvo>();
        form->Form_Load();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::processEvents();
        connection()->setStatementLogging(true);
        connection()->clearStatementLog();
        host::MessageService::clear();
        return *form;
    }

    // ---- controls, found as the user finds them ---------------------------------------------

    template <class T> T& control(const QString& name) const {
        T* w = form->findChild<T*>(name);
        if (!w) throw std::runtime_error("no control " + name.toStdString());
        return *w;
    }
    controls::QzTreeView& tree() const { return control<controls::QzTreeView>(QStringLiteral("trvDis")); }
    controls::QzEdit& filterBox() const { return control<controls::QzEdit>(QStringLiteral("txtFilter")); }
    controls::QzRadio& optFilter(int i) const {
        return control<controls::QzRadio>(QStringLiteral("optFilter(%1)").arg(i));
    }
    controls::QzCheckBox& chkChoice(int i) const {
        return control<controls::QzCheckBox>(QStringLiteral("chkChoice(%1)").arg(i));
    }
    controls::QzCheckBox& chkTreeDisp() const {
        return control<controls::QzCheckBox>(QStringLiteral("chkTreeDisp"));
    }
    controls::QzCheckBox& ChkFfc() const { return control<controls::QzCheckBox>(QStringLiteral("ChkFfc")); }
    controls::QzCommandButton& cmdGL() const {
        return control<controls::QzCommandButton>(QStringLiteral("cmdGL"));
    }
    controls::QzCommandButton& cmdButton(int i) const {
        return control<controls::QzCommandButton>(QStringLiteral("cmdButton(%1)").arg(i));
    }

    QString sFilter() const { return form->property("sFilter").toString(); }
    // Whether the host reads the request back as confirmed.
    bool confirmed() const { return attrib()->getAt(7).toBool(); }

    // The statements that load a level of the unfiltered tree: the first grade of a class, or the
    // given grade below a parent code.
    static QString classLevel(const QString& cclass) {
        return "select * from code where  bclose=0 and  igrade=1 and cclass=N'" + cclass +
               "' and iYear=2024 order by ccode";
    }
    static QString gradeLevel(int grade, const QString& parentCode) {
        return QStringLiteral("select * from code where  bclose=0 and  igrade =%1 and ccode like N'%2%' and "
                              "iYear=2024 order by ccode")
            .arg(grade)
            .arg(parentCode);
    }
    // The top level lines of the standard set from the class at 1-based position `from` on, with
    // nothing below them; with the group node first when `from` is 1 and withGroup is set.
    static QStringList plainClasses(int from = 1, bool withGroup = false) {
        const QStringList all{"a1 资产", "a2 负债", "a3 共同", "a4 权益", "a5 成本", "a6 损益"};
        return (withGroup ? QStringList{"z 常用科目"} : QStringList()) + all.mid(from - 1);
    }

    // ---- the tree as the user sees it -------------------------------------------------------

    QModelIndex indexOfKey(const QString& key, const QModelIndex& parent = {}) const {
        QAbstractItemModel* m = tree().model();
        for (int r = 0; r < m->rowCount(parent); ++r) {
            const QModelIndex i = m->index(r, 0, parent);
            if (i.data(controls::TreeNodeModel::KeyRole).toString() == key) return i;
            const QModelIndex below = indexOfKey(key, i);
            if (below.isValid()) return below;
        }
        return {};
    }

    // One line per node in display order, two blanks of indent per level: key, blank, text, then
    // " [+]" / " [-]" for a collapsed / expanded node with children and " *" for the selected
    // node. visibleOnly leaves out the nodes under collapsed parents.
    QStringList treeLines(bool visibleOnly = false) const {
        QApplication::processEvents();
        QStringList lines;
        appendLines(lines, {}, 0, visibleOnly);
        return lines;
    }
    // The keys of a node's children (of the top level for an empty key), in order.
    QStringList childKeys(const QString& parentKey = {}) const {
        QApplication::processEvents();
        const QModelIndex parent = parentKey.isEmpty() ? QModelIndex() : indexOfKey(parentKey);
        if (!parentKey.isEmpty() && !parent.isValid()) return {QStringLiteral("<no node ") + parentKey + '>'};
        QStringList keys;
        QAbstractItemModel* m = tree().model();
        for (int r = 0; r < m->rowCount(parent); ++r)
            keys << m->index(r, 0, parent).data(controls::TreeNodeModel::KeyRole).toString();
        return keys;
    }
    QString selectedKey() const {
        QApplication::processEvents();
        const QModelIndexList sel = tree().selectionModel()->selectedIndexes();
        return sel.isEmpty() ? QString() : sel.first().data(controls::TreeNodeModel::KeyRole).toString();
    }
    bool isExpanded(const QString& key) const {
        QApplication::processEvents();
        return tree().isExpanded(indexOfKey(key));
    }
    // Shown on screen: every ancestor expanded.
    bool isVisible(const QString& key) const {
        QApplication::processEvents();
        QModelIndex i = indexOfKey(key);
        if (!i.isValid()) return false;
        for (QModelIndex p = i.parent(); p.isValid(); p = p.parent())
            if (!tree().isExpanded(p)) return false;
        return true;
    }

    // ---- the user's hands --------------------------------------------------------------------

    // Left click on the node's text; the node must be on screen.
    void clickNode(const QString& key) { mouseOnNode(key, false); }
    void doubleClickNode(const QString& key) { mouseOnNode(key, true); }
    // Click on the node's plus/minus box.
    void toggleNode(const QString& key) {
        const QRect r = nodeRect(key);
        ASSERT_TRUE(r.isValid()) << "node not on screen: " << key.toStdString();
        const QPoint box(r.left() - tree().indentation() / 2, r.center().y());
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, box);
        QApplication::processEvents();
    }
    // Clicks the node and opens it, as a person walking down the unfiltered tree does.
    void openNode(const QString& key) {
        clickNode(key);
        if (!isExpanded(key) && tree().model()->hasChildren(indexOfKey(key))) toggleNode(key);
    }
    // Latin characters as key presses; others as an input method commits them, one at a time.
    void typeFilter(const QString& text) {
        filterBox().setFocus();
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClicks(&filterBox(), QString(ch));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(ch));
                QApplication::sendEvent(&filterBox(), &commit);
            }
        }
        QApplication::processEvents();
    }
    void clearFilter() {
        filterBox().setFocus();
        filterBox().selectAll();
        QTest::keyClick(&filterBox(), Qt::Key_Delete);
        QApplication::processEvents();
    }
    // Replaces the box's text by a paste from the clipboard.
    void pasteFilter(const QString& text) {
        filterBox().setFocus();
        filterBox().selectAll();
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&filterBox(), Qt::Key_V, Qt::ControlModifier);
        QApplication::processEvents();
    }
    void click(QWidget& w) {
        QTest::mouseClick(&w, Qt::LeftButton);
        QApplication::processEvents();
    }

    // ---- what else the user and the host see -------------------------------------------------

    // Indexes of the attribute boxes drawn highlighted, e.g. "2 5 7".
    QString highlightedBoxes() const {
        QStringList on;
        for (int i = 0; i < 10; ++i)
            if (chkChoice(i).property("highlighted").toBool()) on << QString::number(i);
        return on.join(' ');
    }
    // Messages shown since the dialog opened, as "style|title|prompt".
    QStringList messages() const {
        QStringList out;
        for (const host::ShownMessage& m : host::MessageService::shown())
            out << QStringLiteral("%1|%2|%3").arg(m.buttons).arg(m.title, m.prompt);
        return out;
    }
    QString res(const char* key) const { return host.zwPub->ResString(QString::fromLatin1(key)); }

    std::shared_ptr<db::Connection> connection() const { return host.kit->Connection(); }
    QStringList statements() const { return connection()->loggedStatements(); }
    void clearStatements() const { connection()->clearStatementLog(); }

    // Rows of the recently used table, each "user:code".
    void addRecentRows(const QStringList& rows) const {
        for (const QString& row : rows)
            host.exec(QStringLiteral("insert into GL_mcodeused(cuser,ccode) values('%1','%2')")
                          .arg(row.section(':', 0, 0), row.section(':', 1)));
    }
    QStringList recentlyUsedRows() const {
        return host.column("select cuser||':'||ccode from GL_mcodeused order by cuser, ccode");
    }

    HostFixture host;
    std::unique_ptr<frmSarvo> form;

private:
    const EngineSlot& m_engine;
    QRect nodeRect(const QString& key) {
        QApplication::processEvents();
        if (!isVisible(key)) return {};
        const QModelIndex i = indexOfKey(key);
        tree().scrollTo(i);
        return tree().visualRect(i);
    }
    void mouseOnNode(const QString& key, bool twice) {
        const QRect r = nodeRect(key);
        ASSERT_TRUE(r.isValid()) << "node not on screen: " << key.toStdString();
        const QPoint at(r.left() + std::min(r.width() / 2, 30), r.center().y());
        if (twice) {
            QTest::mouseDClick(tree().viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, at);
        }
        QApplication::processEvents();
    }
    void appendLines(QStringList& lines, const QModelIndex& parent, int depth, bool visibleOnly) const {
        QAbstractItemModel* m = tree().model();
        for (int r = 0; r < m->rowCount(parent); ++r) {
            const QModelIndex i = m->index(r, 0, parent);
            QString line = QString(depth * 2, ' ') + i.data(controls::TreeNodeModel::KeyRole).toString() +
                           ' ' + i.data(Qt::DisplayRole).toString();
            const bool hasChildren = m->rowCount(i) > 0;
            const bool expanded = tree().isExpanded(i);
            if (hasChildren) line += expanded ? QStringLiteral(" [-]") : QStringLiteral(" [+]");
            if (tree().selectionModel()->isSelected(i)) line += QStringLiteral(" *");
            lines << line;
            if (hasChildren && (expanded || !visibleOnly)) appendLines(lines, i, depth + 1, visibleOnly);
        }
    }
};

// The harness over every engine of EngineSlots.h, so that the same behaviour (trees, statements
// sent, rows written) is asserted on each: a suite derives from it, writes TEST_P and ends with
// SARVO_ON_EVERY_ENGINE(Suite). An engine that cannot run here skips (or fails with CI=true).
class EngineDialogHarness : public DialogHarness, public ::testing::WithParamInterface<const EngineSlot*> {
public:
    explicit EngineDialogHarness(const QString& templateName = QStringLiteral("standard"),
                                 const QString& loginYear = QStringLiteral("2024"),
                                 const QString& language = QStringLiteral("zh-cn"))
        : DialogHarness(templateName, loginYear, language, *GetParam()) {}
    const EngineSlot& engine() const { return *GetParam(); }
};

} // namespace sarvo::testing

#define SARVO_ON_EVERY_ENGINE(suite)                                                                         \
    INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::ValuesIn(::sarvo::testing::engineSlotPointers()),    \
                             ::sarvo::testing::slotName)
