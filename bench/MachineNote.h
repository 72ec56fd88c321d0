// Where a benchmark ran: processor, cores, memory, kernel, library versions, build type, and a
// free note from the command line. Numbers from different machines do not compare.
#pragma once

#include <QJsonObject>
#include <QString>

namespace sarvo::bench {

class MachineNote {
public:
    static QJsonObject collect(const QString& note);
    // One line for the printed report.
    static QString summary(const QJsonObject& machine);
};

} // namespace sarvo::bench
