// Where ZwPub::ShowMsg goes: a real message box, or, in scripted and test runs, a record of the
// message answered with OK at once so nothing blocks.
#pragma once

#include <QList>
#include <QString>

namespace sarvo::host {

struct ShownMessage {
    QString prompt;
    QString title;
    int buttons = 0;
};

class MessageService {
public:
    static void setScripted(bool scripted); // per process; tests and --script runs set it
    static bool isScripted();
    static int show(const QString& prompt, int buttons, const QString& title); // pressed button
    static QList<ShownMessage> shown(); // every message since the last clear
    static void clear();
};

} // namespace sarvo::host
