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
    // The pressed button. The box's own texts (its buttons) are in the language given, a login
    // language id such as "zh-cn"; empty keeps Qt's default.
    static int show(const QString& prompt, int buttons, const QString& title, const QString& languageId = {});
    static QList<ShownMessage> shown(); // every message since the last clear
    static void clear();
};

} // namespace sarvo::host
