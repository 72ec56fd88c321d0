// Drives the open reference dialog like a person, one script action at a time: finds the
// dialog's controls by object name and sends them real mouse clicks and key presses through
// QTest, so every action takes the same path through the dialog's handlers as a user's would.
// Collects what "dump" and "state" saw and the first error; closes the dialog at the end.
#pragma once

#include "apps/demo/ScriptParser.h"
#include "host/controls/TreeNodeModel.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QTreeView;

namespace sarvo::demo {

class ScriptRunner : public QObject {
    Q_OBJECT
public:
    // The item-data role under which the tree model keeps a node's key.
    static constexpr int kNodeKeyRole = controls::TreeNodeModel::KeyRole;

    explicit ScriptRunner(ScriptParser::Result script, QObject* parent = nullptr);

    // Polls for a visible top-level widget with this object name and runs the script on it as
    // soon as it is shown. Call before the modal show that opens the dialog.
    void watchFor(const QString& dialogName = QStringLiteral("frmSarvo"), int intervalMs = 10);
    void stopWatching();

    // Runs every action on the dialog, then closes it (QWidget::close) if it is still open.
    void run(QWidget* dialog);

    bool hasStarted() const { return m_started; }
    bool hasFinished() const { return m_finished; }
    // True when the script has a "dump" or "state": the report then carries a trace.
    bool wantsTrace() const;
    const QJsonArray& trace() const { return m_trace; }
    // The first failing action, or else the first line the parser rejected.
    std::optional<ScriptError> error() const;
    static QJsonObject toJson(const ScriptError& error);

    static int twipsToPixels(int twips) { return qRound(twips / 15.0); }
    // "two blanks of indent per depth, key, a tab, the text, [+] expanded, [*] selected"
    static QJsonArray dumpTree(const QTreeView* view);

signals:
    void finished();

private:
    void perform(const ScriptAction& action);
    QWidget* requireNamed(const QString& name) const;
    template <class W> W* control(const QString& name) const;
    QTreeView* tree() const;
    QModelIndex node(QTreeView* view, const QString& key) const;
    QPoint showNode(QTreeView* view, const QModelIndex& index) const;
    void clickButton(QAbstractButton* button);
    void setCheck(const QString& name, bool on);
    void typeText(QLineEdit* edit, const QString& text);
    void replaceText(QLineEdit* edit, const QString& text);
    void setExpanded(const QString& key, bool expanded);
    void drag(int twips);
    QJsonObject state() const;
    void focus(QWidget* widget);
    void settle();

    QList<ScriptAction> m_actions;
    std::optional<ScriptError> m_parseError;
    std::optional<ScriptError> m_runError;
    QJsonArray m_trace;
    QPointer<QWidget> m_dialog;
    QTimer m_poll;
    QString m_dialogName;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace sarvo::demo
