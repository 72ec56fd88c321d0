// The open reference dialog as the benchmark works it: like a person, through real key presses
// and mouse clicks on the controls it finds by name, and from outside, by reading the tree's
// model. Nothing in the dialog knows it is being measured.
#pragma once

#include "bench/FilterFloor.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QTreeView;

namespace sarvo::controls {
class TreeNodeModel;
}

namespace sarvo::bench {

class DialogSession {
public:
    explicit DialogSession(QWidget* dialog);

    QWidget* dialog() const { return m_dialog; }
    bool isOpen() const { return m_dialog && m_dialog->isVisible(); }

    // Tree display box; a click on it rebuilds nothing, the next filter change uses it.
    void setHierarchy(bool on);
    bool hierarchy() const;
    // The match-mode option buttons; a click rebuilds the tree when the mode changes.
    void setContains(bool on);
    bool contains() const;
    // Assigns the filter box's text (one change, as a paste would make).
    void setText(const QString& text);
    QString text() const;
    // One key press in the filter box, at the end of its text.
    void type(QChar character);
    void backspace();
    // Attribute filter: every attribute box cleared, the not-closed box ticked (clicks only where
    // a box has to change); then the filter button.
    void selectNotClosedOnly();
    void pressAttributeFilter();
    // Mouse click on a node's text (the node is scrolled into view first); expanding opens it as
    // the user would see it. Raise 35601 when there is no such node.
    void clickNode(const QString& key);
    void expandNode(const QString& key);
    bool hasNode(const QString& key) const;

    // Runs the event loop until the dialog is idle: pending events handled, the tree's model
    // reset finished, no busy cursor, and the node count the same twice running, so the view has
    // laid out and painted what the change produced.
    void settle();

    int nodeCount() const;
    // Account nodes ("b" keys) with the key of their parent node and their text, sorted by key.
    std::vector<TreeLine> accountLines() const;
    // The children of one node, in their order.
    std::vector<TreeLine> childLines(const QString& key) const;
    // The dialog's current filter condition.
    QString filterCondition() const;
    void close();

private:
    QWidget* named(const QString& name) const;
    template <class W> W* control(const QString& name) const;
    QLineEdit* filterBox() const;
    QTreeView* tree() const;
    controls::TreeNodeModel* model() const;
    void click(QAbstractButton* button);
    void setChecked(const QString& name, bool on);
    bool busy() const;

    QPointer<QWidget> m_dialog;
};

} // namespace sarvo::bench
