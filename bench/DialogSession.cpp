// Controls are looked up by their names each time: the session holds no pointer into the dialog
// except the dialog itself.
#include "bench/DialogSession.h"

#include "host/controls/QzTreeView.h"
#include "host/controls/TreeNodeModel.h"
#include "runtime/RuntimeError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>

namespace sarvo::bench {

namespace {

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

DialogSession::DialogSession(QWidget* dialog) : m_dialog(dialog) {}

QWidget* DialogSession::named(const QString& name) const {
    if (!isOpen()) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the dialog has closed"));
    if (auto* w = m_dialog->findChild<QWidget*>(name)) return w;
    raise(ErrorCode::ObjectDoesNotSupport, QStringLiteral("the dialog has no control named %1").arg(name));
}

// The named control itself when it is a W, else the W it wraps.
template <class W> W* DialogSession::control(const QString& name) const {
    QWidget* w = named(name);
    if (auto* typed = qobject_cast<W*>(w)) return typed;
    if (auto* inner = w->findChild<W*>()) return inner;
    raise(ErrorCode::TypeMismatch,
          QStringLiteral("control %1 is not a %2").arg(name, QLatin1String(W::staticMetaObject.className())));
}

QLineEdit* DialogSession::filterBox() const {
    return control<QLineEdit>(QStringLiteral("txtFilter"));
}

QTreeView* DialogSession::tree() const {
    return control<QTreeView>(QStringLiteral("trvDis"));
}

controls::TreeNodeModel* DialogSession::model() const {
    auto* model = qobject_cast<controls::TreeNodeModel*>(tree()->model());
    if (!model) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the tree has no node model"));
    return model;
}

void DialogSession::click(QAbstractButton* button) {
    // A check box or option button reacts on its box: aim there.
    QPoint point = button->rect().center();
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    if (radio || qobject_cast<QCheckBox*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect box = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
        if (!box.isEmpty()) point = box.center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, point);
}

void DialogSession::setChecked(const QString& name, bool on) {
    QAbstractButton* box = control<QAbstractButton>(name);
    if (box->isChecked() != on) click(box);
    if (box->isChecked() != on)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("%1 did not change on a click").arg(name));
}

void DialogSession::setHierarchy(bool on) {
    setChecked(QStringLiteral("chkTreeDisp"), on);
}

bool DialogSession::hierarchy() const {
    return control<QAbstractButton>(QStringLiteral("chkTreeDisp"))->isChecked();
}

void DialogSession::setContains(bool on) {
    setChecked(indexed("optFilter", on ? 1 : 0), true);
}

bool DialogSession::contains() const {
    return control<QAbstractButton>(indexed("optFilter", 1))->isChecked();
}

void DialogSession::setText(const QString& text) {
    filterBox()->setText(text);
}

QString DialogSession::text() const {
    return filterBox()->text();
}

void DialogSession::type(QChar character) {
    QLineEdit* box = filterBox();
    box->end(false);
    const char16_t unit = character.unicode();
    if (unit >= 0x20 && unit < 0x7f)
        QTest::keyClick(box, static_cast<char>(unit));
    else
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

void DialogSession::backspace() {
    QLineEdit* box = filterBox();
    box->end(false);
    QTest::keyClick(box, Qt::Key_Backspace);
}

void DialogSession::selectNotClosedOnly() {
    for (int i = 0; i < 10; ++i)
        setChecked(indexed("chkChoice", i), false);
    setChecked(QStringLiteral("ChkFfc"), true);
}

void DialogSession::pressAttributeFilter() {
    click(control<QAbstractButton>(QStringLiteral("cmdGL")));
}

bool DialogSession::hasNode(const QString& key) const {
    return model()->find(key) != 0;
}

void DialogSession::clickNode(const QString& key) {
    QTreeView* view = tree();
    controls::TreeNodeModel* nodes = model();
    const auto id = nodes->find(key);
    if (!id) raise(ErrorCode::ElementNotFound, QStringLiteral("the tree has no node %1").arg(key));
    const QModelIndex index = nodes->indexOf(id);
    view->scrollTo(index);
    settle();
    const QRect visible = view->visualRect(index).intersected(view->viewport()->rect());
    if (visible.isEmpty())
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("node %1 cannot be shown").arg(key));
    // On the node's picture and text rather than the far end of a wide column.
    const QPoint point(visible.left() + qMin(visible.width() / 2, 40), visible.center().y());
    if (view->indexAt(point) != index)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("node %1 is covered").arg(key));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

void DialogSession::expandNode(const QString& key) {
    controls::TreeNodeModel* nodes = model();
    const auto id = nodes->find(key);
    if (!id) raise(ErrorCode::ElementNotFound, QStringLiteral("the tree has no node %1").arg(key));
    tree()->setExpanded(nodes->indexOf(id), true);
}

bool DialogSession::busy() const {
    if (QApplication::overrideCursor()) return true;
    if (!m_dialog || !m_dialog->testAttribute(Qt::WA_SetCursor)) return false;
    const Qt::CursorShape shape = m_dialog->cursor().shape();
    return shape == Qt::WaitCursor || shape == Qt::BusyCursor;
}

void DialogSession::settle() {
    int quiet = 0;
    for (int round = 0; quiet < 2 && round < 10000; ++round) {
        const int before = m_dialog && m_dialog->isVisible() ? nodeCount() : -1;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!isOpen()) return;
        const bool still = !busy() && !model()->resetPending() && nodeCount() == before;
        quiet = still ? quiet + 1 : 0;
    }
}

int DialogSession::nodeCount() const {
    return model()->count();
}

std::vector<TreeLine> DialogSession::accountLines() const {
    const QAbstractItemModel* m = tree()->model();
    constexpr int keyRole = controls::TreeNodeModel::KeyRole;
    std::vector<TreeLine> lines;
    std::vector<std::pair<QModelIndex, QString>> pending = {{QModelIndex(), QString()}};
    while (!pending.empty()) {
        const auto [parent, parentKey] = pending.back();
        pending.pop_back();
        for (int row = 0; row < m->rowCount(parent); ++row) {
            const QModelIndex child = m->index(row, 0, parent);
            const QString key = child.data(keyRole).toString();
            if (key.startsWith(QLatin1Char('b')))
                lines.push_back({key, parentKey, child.data(Qt::DisplayRole).toString()});
            pending.emplace_back(child, key);
        }
    }
    std::sort(lines.begin(), lines.end(), [](const TreeLine& a, const TreeLine& b) { return a.key < b.key; });
    return lines;
}

std::vector<TreeLine> DialogSession::childLines(const QString& key) const {
    controls::TreeNodeModel* nodes = model();
    const auto id = nodes->find(key);
    if (!id) raise(ErrorCode::ElementNotFound, QStringLiteral("the tree has no node %1").arg(key));
    const QModelIndex parent = nodes->indexOf(id);
    std::vector<TreeLine> lines;
    for (int row = 0; row < nodes->rowCount(parent); ++row) {
        const QModelIndex child = nodes->index(row, 0, parent);
        lines.push_back({child.data(controls::TreeNodeModel::KeyRole).toString(), key,
                         child.data(Qt::DisplayRole).toString()});
    }
    return lines;
}

QString DialogSession::filterCondition() const {
    return m_dialog ? m_dialog->property("sFilter").toString() : QString();
}

void DialogSession::close() {
    if (isOpen()) m_dialog->close();
}

} // namespace sarvo::bench
