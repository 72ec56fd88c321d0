// Line parser of the text charts of accounts.
#include "data/ChartFile.h"

#include "runtime/RuntimeError.h"

#include <optional>

namespace sarvo::data {

namespace {

class LineError {
public:
    QString text;
};

void applyFlags(ChartAccount& account, const QString& flags) {
    if (flags == u"-") return;
    for (QChar f : flags) {
        switch (f.unicode()) {
        case 'P':
            account.person = true;
            break;
        case 'C':
            account.customer = true;
            break;
        case 'S':
            account.supplier = true;
            break;
        case 'D':
            account.department = true;
            break;
        case 'I':
            account.project = true;
            break;
        case 'R':
            account.journal = true;
            break;
        case 'B':
            account.bank = true;
            break;
        case 'X':
            account.closed = true;
            break;
        default:
            throw LineError{QStringLiteral("unknown flag '%1'").arg(f)};
        }
    }
}

void applyOptions(ChartAccount& account, const QString& options) {
    for (const QString& option : options.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype eq = option.indexOf(u'=');
        const QString key = option.left(eq);
        const QString value = eq < 0 ? QString() : option.mid(eq + 1);
        if (eq <= 0 || value.isEmpty())
            throw LineError{QStringLiteral("option \"%1\" needs key=value").arg(option)};
        if (key == u"item") {
            account.itemClass = value;
        } else if (key == u"cur") {
            account.currency = value;
        } else if (key == u"unit") {
            account.unit = value;
        } else if (key == u"from") {
            bool ok = false;
            account.firstYear = value.toInt(&ok);
            if (!ok) throw LineError{QStringLiteral("from=%1 is not a year").arg(value)};
        } else {
            throw LineError{QStringLiteral("unknown option \"%1\"").arg(key)};
        }
    }
}

} // namespace

Chart ChartFile::parse(const QString& text, const QString& origin, const std::vector<int>& gradeLengths,
                       const QStringList& classNames) {
    std::optional<Chart> chart;
    QString cclass;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        try {
            if (line.isEmpty() || line.startsWith(u'#')) continue;
            if (line.startsWith(u"@years")) {
                if (chart) throw LineError{QStringLiteral("@years given twice")};
                std::vector<int> years;
                for (const QString& y : line.mid(6).split(u' ', Qt::SkipEmptyParts)) {
                    bool ok = false;
                    years.push_back(y.toInt(&ok));
                    if (!ok) throw LineError{QStringLiteral("\"%1\" is not a year").arg(y)};
                }
                chart.emplace(gradeLengths, classNames, std::move(years));
                continue;
            }
            if (line.startsWith(u'[')) {
                if (!line.endsWith(u']')) throw LineError{QStringLiteral("a class line ends with ']'")};
                cclass = line.mid(1, line.size() - 2).trimmed();
                continue;
            }
            if (!chart) throw LineError{QStringLiteral("@years must come before the first account")};
            if (cclass.isEmpty()) throw LineError{QStringLiteral("no [class] line before the first account")};
            QStringList fields = line.split(u'|');
            if (fields.size() < 5 || fields.size() > 6)
                throw LineError{
                    QStringLiteral("expected code | name | English name | mnemonic | flags [| options]")};
            for (QString& f : fields)
                f = f.trimmed();
            ChartAccount account;
            account.cclass = cclass;
            account.ccode = fields[0];
            account.name = fields[1];
            account.english = fields[2];
            account.chelp = fields[3];
            applyFlags(account, fields[4]);
            if (fields.size() == 6) applyOptions(account, fields[5]);
            chart->add(std::move(account));
        } catch (const LineError& e) {
            raise(ErrorCode::InvalidProcedureCall,
                  QStringLiteral("%1, line %2: %3").arg(origin).arg(n + 1).arg(e.text));
        } catch (const RuntimeError& e) {
            // Chart::add's description already starts with the standard text; keep only its detail.
            const QString detail = e.description().section(QStringLiteral(": "), 1);
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("%1, line %2: %3")
                                                       .arg(origin)
                                                       .arg(n + 1)
                                                       .arg(detail.isEmpty() ? e.description() : detail));
        }
    }
    if (!chart) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("%1: no @years line").arg(origin));
    return std::move(*chart);
}

} // namespace sarvo::data
