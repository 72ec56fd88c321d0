// The script interpreter of sarvo-demo. Every action looks its control up by object name when it
// runs, so an action works as soon as the dialog has that control, and a missing one is reported
// as the script's error rather than skipped.
#include "apps/demo/ScriptRunner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTreeView>

namespace sarvo::demo {

namespace {

// Thrown by an action that cannot be carried out; becomes the script's error.
struct ActionFailed {
    QString message;
};

[[noreturn]] void failAction(const QString& message) {
    throw ActionFailed{message};
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

ScriptRunner::ScriptRunner(ScriptParser::Result script, QObject* parent)
    : QObject(parent), m_actions(std::move(script.actions)), m_parseError(std::move(script.error)) {
    connect(&m_poll, &QTimer::timeout, this, [this] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == m_dialogName && w->isVisible()) {
                m_poll.stop();
                run(w);
                return;
            }
        }
    });
}

void ScriptRunner::watchFor(const QString& dialogName, int intervalMs) {
    m_dialogName = dialogName;
    m_poll.start(intervalMs);
}

void ScriptRunner::stopWatching() {
    m_poll.stop();
}

bool ScriptRunner::wantsTrace() const {
    return std::any_of(m_actions.cbegin(), m_actions.cend(), [](const ScriptAction& a) {
        return a.kind == ScriptAction::Kind::Dump || a.kind == ScriptAction::Kind::State;
    });
}

std::optional<ScriptError> ScriptRunner::error() const {
    return m_runError ? m_runError : m_parseError;
}

QJsonObject ScriptRunner::toJson(const ScriptError& error) {
    return {{QStringLiteral("line"), error.line},
            {QStringLiteral("text"), error.text},
            {QStringLiteral("message"), error.message}};
}

void ScriptRunner::run(QWidget* dialog) {
    m_started = true;
    m_dialog = dialog;
    // Keys and focus behave as for a person only in the active window.
    if (QTest::qWaitForWindowExposed(dialog, 2000)) {
        dialog->activateWindow();
        (void)QTest::qWaitForWindowActive(dialog, 1000); // a window manager may refuse; go on anyway
    }
    for (const ScriptAction& action : std::as_const(m_actions)) {
        try {
            perform(action);
        } catch (const ActionFailed& failure) {
            m_runError = ScriptError{action.line, action.source, failure.message};
        } catch (const std::exception& e) {
            m_runError = ScriptError{action.line, action.source, QString::fromLocal8Bit(e.what())};
        }
        if (m_runError) break;
        settle();
    }
    // As the window's close button would.
    if (m_dialog && m_dialog->isVisible()) m_dialog->close();
    m_finished = true;
    emit finished();
}

void ScriptRunner::settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

QWidget* ScriptRunner::requireNamed(const QString& name) const {
    if (!m_dialog || !m_dialog->isVisible()) failAction(QStringLiteral("the dialog has closed"));
    if (auto* w = m_dialog->findChild<QWidget*>(name)) return w;
    failAction(QStringLiteral("the dialog has no control named %1").arg(name));
}

// The named control itself when it is a W, else the W it wraps.
template <class W> W* ScriptRunner::control(const QString& name) const {
    QWidget* w = requireNamed(name);
    if (auto* typed = qobject_cast<W*>(w)) return typed;
    if (auto* inner = w->findChild<W*>()) return inner;
    failAction(
        QStringLiteral("control %1 is not a %2").arg(name, QLatin1String(W::staticMetaObject.className())));
}

QTreeView* ScriptRunner::tree() const {
    QTreeView* view = control<QTreeView>(QStringLiteral("trvDis"));
    if (!view->model()) failAction(QStringLiteral("the tree has no model"));
    return view;
}

QModelIndex ScriptRunner::node(QTreeView* view, const QString& key) const {
    const QAbstractItemModel* model = view->model();
    // Depth-first over every node the model holds, collapsed branches included.
    QList<QModelIndex> pending = {QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeLast();
        for (int row = model->rowCount(parent) - 1; row >= 0; --row) {
            const QModelIndex child = model->index(row, 0, parent);
            if (child.data(kNodeKeyRole).toString() == key) return child;
            pending.append(child);
        }
    }
    failAction(QStringLiteral("the tree has no node with key %1").arg(key));
}

// Scrolls the node into view (opening its ancestors, as making a node visible does) and returns
// a point on it in viewport coordinates.
QPoint ScriptRunner::showNode(QTreeView* view, const QModelIndex& index) const {
    view->scrollTo(index);
    QCoreApplication::processEvents();
    const QRect rect = view->visualRect(index);
    const QRect visible = rect.intersected(view->viewport()->rect());
    if (visible.isEmpty())
        failAction(QStringLiteral("node %1 cannot be shown").arg(index.data(kNodeKeyRole).toString()));
    // On the node's picture and text rather than the far end of a wide column.
    const QPoint point(visible.left() + qMin(visible.width() / 2, 40), visible.center().y());
    if (view->indexAt(point) != index)
        failAction(QStringLiteral("node %1 is covered").arg(index.data(kNodeKeyRole).toString()));
    return point;
}

void ScriptRunner::focus(QWidget* widget) {
    if (m_dialog && !m_dialog->isActiveWindow()) m_dialog->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
}

void ScriptRunner::clickButton(QAbstractButton* button) {
    // A check box or radio button reacts only on its box and caption: aim at the box.
    QPoint point = button->rect().center();
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    if (radio || qobject_cast<QCheckBox*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const QRect box = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
        if (!box.isEmpty()) point = box.center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, point);
}

void ScriptRunner::setCheck(const QString& name, bool on) {
    QAbstractButton* box = control<QAbstractButton>(name);
    if (box->isChecked() != on) clickButton(box);
}

void ScriptRunner::typeText(QLineEdit* edit, const QString& text) {
    focus(edit);
    QPointer<QLineEdit> guard(edit);
    for (qsizetype i = 0; i < text.size() && guard; ++i) {
        // A character outside the basic plane is one keystroke of two UTF-16 units.
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length - 1;
        const char16_t unit = character.at(0).unicode();
        if (length == 1 && unit >= 0x20 && unit < 0x7f) {
            QTest::keyClick(edit, static_cast<char>(unit)); // the key code as a keyboard sends it
        } else {
            // What an input method delivers for a character without a key of its own.
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, character, Qt::NoModifier);
        }
        QCoreApplication::processEvents();
    }
}

void ScriptRunner::replaceText(QLineEdit* edit, const QString& text) {
    focus(edit);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

void ScriptRunner::setExpanded(const QString& key, bool expanded) {
    QTreeView* view = tree();
    const QModelIndex index = node(view, key);
    if (view->isExpanded(index) == expanded) return;
    // A node without children shows no "+": there is nothing for a person to open.
    if (!view->model()->hasChildren(index)) return;
    showNode(view, index);
    const QRect rect = view->visualRect(index);
    const QPoint sign(view->isRightToLeft() ? rect.right() + view->indentation() / 2
                                            : rect.left() - view->indentation() / 2,
                      rect.center().y());
    if (view->viewport()->rect().contains(sign)) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, sign);
        QCoreApplication::processEvents();
    }
    // Top-level nodes of a tree without root lines have no sign to click.
    if (view->isExpanded(index) != expanded) view->setExpanded(index, expanded);
}

void ScriptRunner::drag(int twips) {
    QWidget* grip = requireNamed(QStringLiteral("Image1"));
    // Pressed on the grip's left edge, so the release lands exactly the asked distance away.
    const QPoint start(0, grip->height() / 2);
    const QPoint end = start + QPoint(twipsToPixels(twips), 0);
    QTest::mousePress(grip, Qt::LeftButton, Qt::NoModifier, start);
    QCoreApplication::processEvents();
    QTest::mouseMove(grip, (start + end) / 2);
    QTest::mouseMove(grip, end);
    QCoreApplication::processEvents();
    QTest::mouseRelease(grip, Qt::LeftButton, Qt::NoModifier, end);
}

QJsonArray ScriptRunner::dumpTree(const QTreeView* view) {
    QJsonArray lines;
    const QAbstractItemModel* model = view->model();
    if (!model) return lines;
    const QItemSelectionModel* selection = view->selectionModel();
    struct Frame {
        QModelIndex index;
        int depth;
    };
    QList<Frame> pending;
    for (int row = model->rowCount() - 1; row >= 0; --row)
        pending.append({model->index(row, 0), 0});
    while (!pending.isEmpty()) {
        const Frame f = pending.takeLast();
        QString line = QString(f.depth * 2, u' ') + f.index.data(kNodeKeyRole).toString() + u'\t' +
                       f.index.data(Qt::DisplayRole).toString();
        if (view->isExpanded(f.index)) line += QStringLiteral(" [+]");
        if (selection && selection->isSelected(f.index)) line += QStringLiteral(" [*]");
        lines.append(line);
        for (int row = model->rowCount(f.index) - 1; row >= 0; --row)
            pending.append({model->index(row, 0, f.index), f.depth + 1});
    }
    return lines;
}

QJsonObject ScriptRunner::state() const {
    auto checked = [this](const QString& name) { return control<QAbstractButton>(name)->isChecked(); };
    QJsonObject s;
    s.insert(QStringLiteral("filter"), control<QLineEdit>(QStringLiteral("txtFilter"))->text());
    // Both option buttons must exist; the dialog's own rule is: match anywhere exactly when
    // optFilter(1) is selected.
    control<QAbstractButton>(indexed("optFilter", 0));
    s.insert(QStringLiteral("mode"),
             checked(indexed("optFilter", 1)) ? QStringLiteral("contains") : QStringLiteral("begins"));
    s.insert(QStringLiteral("treedisp"), checked(QStringLiteral("chkTreeDisp")));
    s.insert(QStringLiteral("ffc"), checked(QStringLiteral("ChkFfc")));
    QJsonArray choices;
    for (int i = 0; i < 10; ++i) {
        const QString name = indexed("chkChoice", i);
        QAbstractButton* box = control<QAbstractButton>(name);
        const auto* tristate = qobject_cast<QCheckBox*>(box);
        int value = box->isChecked() ? 1 : 0;
        if (tristate && tristate->checkState() == Qt::PartiallyChecked) value = 2;
        // The highlight lives on the control the dialog named, or on the box it wraps.
        QVariant highlighted = requireNamed(name)->property("highlighted");
        if (!highlighted.isValid()) highlighted = box->property("highlighted");
        choices.append(
            QJsonObject{{QStringLiteral("value"), value},
                        {QStringLiteral("enabled"), box->isEnabled()},
                        {QStringLiteral("highlighted"),
                         highlighted.isValid() ? QJsonValue(highlighted.toBool()) : QJsonValue()}});
    }
    s.insert(QStringLiteral("choices"), choices);
    QJsonArray buttons;
    for (int i = 0; i < 4; ++i)
        buttons.append(control<QAbstractButton>(indexed("cmdButton", i))->isEnabled());
    s.insert(QStringLiteral("buttons"), buttons);
    // The splitter's effect, in the dialog's own unit (15 twips a pixel).
    s.insert(QStringLiteral("treeWidth"), tree()->width() * 15);
    s.insert(QStringLiteral("formWidth"), m_dialog->width() * 15);
    const QVariant filter = m_dialog->property("sFilter");
    s.insert(QStringLiteral("sFilter"), filter.isValid() ? QJsonValue(filter.toString()) : QJsonValue());
    return s;
}

void ScriptRunner::perform(const ScriptAction& action) {
    using Kind = ScriptAction::Kind;
    switch (action.kind) {
    case Kind::Type:
        typeText(control<QLineEdit>(QStringLiteral("txtFilter")), action.text);
        break;
    case Kind::Paste:
        replaceText(control<QLineEdit>(QStringLiteral("txtFilter")), action.text);
        break;
    case Kind::Clear:
        replaceText(control<QLineEdit>(QStringLiteral("txtFilter")), QString());
        break;
    case Kind::Mode:
        clickButton(control<QAbstractButton>(indexed("optFilter", action.number)));
        break;
    case Kind::TreeDisp:
        setCheck(QStringLiteral("chkTreeDisp"), action.on);
        break;
    case Kind::Ffc:
        setCheck(QStringLiteral("ChkFfc"), action.on);
        break;
    case Kind::Check:
        setCheck(indexed("chkChoice", action.number), action.on);
        break;
    case Kind::Button:
        clickButton(control<QAbstractButton>(indexed("cmdButton", action.number)));
        break;
    case Kind::Filter:
        clickButton(control<QAbstractButton>(QStringLiteral("cmdGL")));
        break;
    case Kind::Click:
    case Kind::DblClick: {
        QTreeView* view = tree();
        const QPoint point = showNode(view, node(view, action.text));
        QWidget* viewport = view->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        if (action.kind == Kind::DblClick) {
            QPointer<QWidget> guard(viewport); // the first click may already close the dialog
            QCoreApplication::processEvents();
            if (!guard) break;
            QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
            if (guard) QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, point);
        }
        break;
    }
    case Kind::Expand:
        setExpanded(action.text, true);
        break;
    case Kind::Collapse:
        setExpanded(action.text, false);
        break;
    case Kind::Enter: {
        QTreeView* view = tree();
        focus(view);
        QTest::keyClick(view, Qt::Key_Return);
        break;
    }
    case Kind::Drag:
        drag(action.number);
        break;
    case Kind::Wait:
        QTest::qWait(action.number);
        break;
    case Kind::Dump:
        m_trace.append(dumpTree(tree()));
        break;
    case Kind::State:
        m_trace.append(state());
        break;
    }
}

} // namespace sarvo::demo
