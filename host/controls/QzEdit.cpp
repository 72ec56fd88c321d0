// Text box over QLineEdit with a refused-character list and a bounded undo history.
#include "host/controls/QzEdit.h"

#include "host/controls/RefusedCharacterValidator.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <memory>

namespace sarvo::controls {

const QString QzEdit::kDefaultRefusedCharacters = QStringLiteral("<>'\"|&,");

QzEdit::QzEdit(QWidget* parent)
    : QLineEdit(parent), ControlBase(this),
      m_validator(new RefusedCharacterValidator(kDefaultRefusedCharacters, this)) {
    m_validator->setBaseline([this] { return m_lastText; });
    m_validator->setOnRefused([this](const QString& characters) { emit Refused(characters); });
    setValidator(m_validator);
    connect(this, &QLineEdit::textChanged, this, &QzEdit::onTextChanged);
    connect(this, &QLineEdit::cursorPositionChanged, this, [this](int, int now) { m_lastCursor = now; });
}

QString QzEdit::Text() const {
    return text();
}

void QzEdit::SetText(const QString& text) {
    m_undo.clear();
    m_redo.clear();
    assign(text);
}

QString QzEdit::RefusedCharacters() const {
    return m_validator->refused();
}

void QzEdit::SetRefusedCharacters(const QString& characters) {
    m_validator->setRefused(characters);
}

void QzEdit::assign(const QString& text) {
    const bool wasAssigning = m_assigning;
    m_assigning = true;
    m_validator->setPassThrough(true);
    setText(text);
    m_validator->setPassThrough(false);
    m_assigning = wasAssigning;
}

void QzEdit::onTextChanged(const QString& text) {
    // A refused key press makes the line edit report its unchanged text once more.
    if (text == m_lastText) return;
    if (!m_assigning) {
        m_undo.push_back({m_lastText, m_lastCursor});
        if (m_undo.size() > static_cast<size_t>(kUndoLimit)) m_undo.pop_front();
        m_redo.clear();
        m_historyToDrop = true;
    }
    m_lastText = text;
    emit Change();
}

void QzEdit::Undo() {
    if (m_undo.empty()) return;
    const Snapshot previous = m_undo.back();
    m_undo.pop_back();
    m_redo.push_back({text(), cursorPosition()});
    restore(previous);
}

void QzEdit::Redo() {
    if (m_redo.empty()) return;
    const Snapshot next = m_redo.back();
    m_redo.pop_back();
    m_undo.push_back({text(), cursorPosition()});
    restore(next);
}

void QzEdit::restore(const Snapshot& snapshot) {
    assign(snapshot.text);
    setCursorPosition(snapshot.cursor);
}

void QzEdit::dropLineEditHistory() {
    if (!m_historyToDrop || m_composing) return;
    m_historyToDrop = false;
    if (!isUndoAvailable() && !isRedoAvailable()) return;
    // Setting the same text empties the line edit's history and changes nothing else but the
    // cursor and selection, which are put back.
    const int cursor = cursorPosition();
    const int selectionFrom = selectionStart();
    const int selected = static_cast<int>(selectedText().size());
    assign(text());
    if (selectionFrom >= 0 && selected > 0) {
        if (cursor == selectionFrom)
            setSelection(selectionFrom + selected, -selected);
        else
            setSelection(selectionFrom, selected);
    } else {
        setCursorPosition(cursor);
    }
}

bool QzEdit::event(QEvent* event) {
    if (event->type() == QEvent::DeferredDelete) return QLineEdit::event(event);
    const QPointer<QzEdit> self(this);
    ++m_eventDepth;
    const bool handled = QLineEdit::event(event);
    if (!self) return handled;
    --m_eventDepth;
    // Edits are finished once the outermost event returns.
    if (m_eventDepth == 0) dropLineEditHistory();
    return handled;
}

void QzEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        Redo();
        event->accept();
        return;
    }
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (m_navigationTarget && plain) {
            QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), event->text(),
                                event->isAutoRepeat(), static_cast<ushort>(event->count()));
            QApplication::sendEvent(m_navigationTarget, &forwarded);
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void QzEdit::inputMethodEvent(QInputMethodEvent* event) {
    QLineEdit::inputMethodEvent(event);
    m_composing = !event->preeditString().isEmpty();
}

void QzEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The standard Undo and Redo work on the line edit's own history, which is kept empty.
    const QString undoText = QLineEdit::tr("&Undo");
    const QString redoText = QLineEdit::tr("&Redo");
    for (QAction* action : menu->actions()) {
        const QString shown = action->text().section(QLatin1Char('\t'), 0, 0);
        const bool undo = action->objectName() == QLatin1String("edit-undo") || shown == undoText;
        const bool redo = action->objectName() == QLatin1String("edit-redo") || shown == redoText;
        if (!undo && !redo) continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        action->setEnabled(undo ? !m_undo.empty() : !m_redo.empty());
        connect(action, &QAction::triggered, this, undo ? &QzEdit::Undo : &QzEdit::Redo);
    }
    menu->exec(event->globalPos());
}

} // namespace sarvo::controls
