// Message boxes of the host. The buttons value follows the message-box convention: the low
// four bits choose the buttons, 16/32/48/64 the icon, 256/512 the default button; the answer is
// 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No. Every message is recorded, so the
// demo host and the tests can report what the user was told.
#include "host/services/MessageService.h"

#include "host/services/QtTranslations.h"

#include <QApplication>
#include <QMessageBox>
#include <QMutex>
#include <QThread>
#include <atomic>

namespace sarvo::host {

namespace {

std::atomic<bool> g_scripted{false};
QMutex g_mutex;
QList<ShownMessage> g_shown;

QList<QMessageBox::StandardButton> buttonsOf(int style) {
    switch (style & 0x0F) {
    case 1:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case 2:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case 3:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case 4:
        return {QMessageBox::Yes, QMessageBox::No};
    case 5:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int answerOf(int standardButton) {
    switch (standardButton) {
    case QMessageBox::Ok:
        return 1;
    case QMessageBox::Cancel:
        return 2;
    case QMessageBox::Abort:
        return 3;
    case QMessageBox::Retry:
        return 4;
    case QMessageBox::Ignore:
        return 5;
    case QMessageBox::Yes:
        return 6;
    case QMessageBox::No:
        return 7;
    default:
        return 2; // closed without a button: as Cancel
    }
}

// A box can only be shown by a widget application on its GUI thread.
bool canShowBox() {
    const QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<const QApplication*>(app) && QThread::currentThread() == app->thread();
}

} // namespace

void MessageService::setScripted(bool scripted) {
    g_scripted = scripted;
}

bool MessageService::isScripted() {
    return g_scripted;
}

int MessageService::show(const QString& prompt, int buttons, const QString& title,
                         const QString& languageId) {
    {
        QMutexLocker lock(&g_mutex);
        g_shown.append({prompt, title, buttons});
    }
    // Scripted runs, and callers that cannot show a box, get OK at once.
    if (g_scripted || !canShowBox()) return 1;

    const QtTranslations translations(languageId);
    QMessageBox box(iconOf(buttons), title.isEmpty() ? QCoreApplication::applicationName() : title, prompt);
    const QList<QMessageBox::StandardButton> set = buttonsOf(buttons);
    for (const QMessageBox::StandardButton b : set)
        box.addButton(b);
    const int defaultIndex = (buttons & 0x300) >> 8;
    box.setDefaultButton(set.value(defaultIndex, set.first()));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return answerOf(clicked ? box.standardButton(clicked) : QMessageBox::Cancel);
}

QList<ShownMessage> MessageService::shown() {
    QMutexLocker lock(&g_mutex);
    return g_shown;
}

void MessageService::clear() {
    QMutexLocker lock(&g_mutex);
    g_shown.clear();
}

} // namespace sarvo::host
