// Text box of the control set (the quick-filter box).
// The design-time list of refused characters: by default the seven characters < > ' " | & ,
// never enter the box from the user, whether typed, pasted, dropped or committed by an input
// method; the rest of the input is kept and Refused names what was left out. Text assigned by
// the program (SetText) is kept exactly as given, so the box shows what the program works with.
// Change is raised on every change of the text, typed or assigned, and only when the text
// actually changed (a refused key press changes nothing and raises nothing).
// Undo: the box keeps its own history of the last kUndoLimit texts (Ctrl+Z, Ctrl+Y or
// Ctrl+Shift+Z, and the context menu); the line edit's unbounded per-character history is
// dropped after each edit, so a box typed into all day holds a bounded amount of memory.
// Up, Down, PageUp and PageDown can be handed to a navigation target (the list the box filters).
#pragma once

#include "host/controls/ControlBase.h"

#include <QLineEdit>
#include <QPointer>
#include <deque>

namespace sarvo::controls {

class RefusedCharacterValidator;

class QzEdit : public QLineEdit, public ControlBase {
    Q_OBJECT

public:
    static const QString kDefaultRefusedCharacters; // < > ' " | & ,
    static constexpr int kUndoLimit = 100;

    explicit QzEdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text); // kept as given; clears the undo history
    QString RefusedCharacters() const;
    void SetRefusedCharacters(const QString& characters);

    void Undo();
    void Redo();
    int UndoCount() const { return static_cast<int>(m_undo.size()); }
    int RedoCount() const { return static_cast<int>(m_redo.size()); }

    void SetNavigationTarget(QWidget* target) { m_navigationTarget = target; }

signals:
    void Change();
    void Refused(const QString& characters); // user input lost these characters

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Snapshot {
        QString text;
        int cursor = 0;
    };
    void onTextChanged(const QString& text);
    void restore(const Snapshot& snapshot);
    void assign(const QString& text); // setText without refusing anything
    void dropLineEditHistory();

    RefusedCharacterValidator* m_validator;
    QString m_lastText;
    int m_lastCursor = 0;
    std::deque<Snapshot> m_undo;
    std::deque<Snapshot> m_redo;
    bool m_assigning = false;     // SetText, undo or redo is setting the text
    bool m_historyToDrop = false; // an edit left commands in the line edit's own history
    bool m_composing = false;     // an input method holds uncommitted text
    int m_eventDepth = 0;
    QPointer<QWidget> m_navigationTarget;
};

} // namespace sarvo::controls
