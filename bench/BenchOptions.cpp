// Option parsing: "--name value" or "--name=value".
#include "bench/BenchOptions.h"

#include "runtime/RuntimeError.h"

#include <QRegularExpression>

namespace sarvo::bench {

namespace {

[[noreturn]] void bad(const QString& message) {
    raise(ErrorCode::InvalidProcedureCall, message);
}

int positive(const QString& name, const QString& value, bool zeroAllowed = false) {
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < (zeroAllowed ? 0 : 1))
        bad(QStringLiteral("%1 needs a whole number, not \"%2\"").arg(name, value));
    return n;
}

double seconds(const QString& name, const QString& value) {
    bool ok = false;
    const double s = value.toDouble(&ok);
    if (!ok || s < 0) bad(QStringLiteral("%1 needs seconds, not \"%2\"").arg(name, value));
    return s;
}

} // namespace

BenchOptions BenchOptions::parse(const QStringList& arguments) {
    BenchOptions o;
    // Smallest first: the resident peak of a process only grows, so a small set measured after a
    // large one would carry the large one's peak.
    o.sets = {QStringLiteral("standard"), QStringLiteral("generated:5000"),
              QStringLiteral("generated:50000")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('='));
            name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        auto take = [&]() -> QString {
            if (hasValue) return value;
            if (i + 1 >= arguments.size()) bad(QStringLiteral("%1 needs a value").arg(name));
            return arguments[++i];
        };
        if (name == QLatin1String("--quick")) {
            o.quick = true;
            o.sets = {QStringLiteral("standard"), QStringLiteral("generated:1000")};
            o.reps = 2;
            o.minReps = 1;
            o.capSeconds = 2;
            o.plainReps = 1;
            o.plainCapSeconds = 0.5;
            o.plainStopSeconds = 5;
            o.floorSeconds = 0.05;
            o.changes = 20;
            o.openReps = 2;
        } else if (name == QLatin1String("--sets")) {
            o.sets = take().split(QLatin1Char(','), Qt::SkipEmptyParts);
            if (o.sets.isEmpty()) bad(QStringLiteral("--sets needs at least one template"));
        } else if (name == QLatin1String("--cases")) {
            o.cases = take();
            if (!QRegularExpression(o.cases).isValid())
                bad(QStringLiteral("--cases needs a regular expression, not \"%1\"").arg(o.cases));
        } else if (name == QLatin1String("--reps")) {
            o.reps = positive(name, take());
            o.minReps = std::min(o.minReps, o.reps);
        } else if (name == QLatin1String("--cap")) {
            o.capSeconds = seconds(name, take());
        } else if (name == QLatin1String("--plain-reps")) {
            o.plainReps = positive(name, take());
        } else if (name == QLatin1String("--plain-cap")) {
            o.plainCapSeconds = seconds(name, take());
        } else if (name == QLatin1String("--plain-stop")) {
            o.plainStopSeconds = seconds(name, take());
        } else if (name == QLatin1String("--no-plain")) {
            o.plain = false;
        } else if (name == QLatin1String("--floor-seconds")) {
            o.floorSeconds = seconds(name, take());
        } else if (name == QLatin1String("--changes")) {
            o.changes = positive(name, take(), true);
        } else if (name == QLatin1String("--open-reps")) {
            o.openReps = positive(name, take());
        } else if (name == QLatin1String("--json")) {
            o.jsonPath = take();
        } else if (name == QLatin1String("--data-dir")) {
            o.dataDir = take();
        } else if (name == QLatin1String("--postgresql")) {
            o.postgresql = take();
            if (!o.postgresql.startsWith(QLatin1String("postgresql://")) &&
                !o.postgresql.startsWith(QLatin1String("postgres://")))
                bad(QStringLiteral("--postgresql needs postgresql://user@host:port/database, not \"%1\"")
                        .arg(o.postgresql));
        } else if (name == QLatin1String("--note")) {
            o.note = take();
        } else if (name == QLatin1String("--year")) {
            o.year = positive(name, take());
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            o.help = true;
        } else {
            bad(QStringLiteral("unknown option %1 (--help lists them)").arg(arguments[i]));
        }
    }
    return o;
}

QString BenchOptions::usage() {
    return QStringLiteral(
        "sarvo-bench [options]          the reference dialog end to end, driven through the public class\n"
        "sarvo-bench --micro [...]      per-statement and tree micro benchmarks (Google Benchmark options)\n"
        "\n"
        "  --quick                few repetitions on small sets (standard, generated:1000)\n"
        "  --sets LIST            account-set templates, comma-separated\n"
        "                         (default standard,generated:5000,generated:50000)\n"
        "  --cases REGEX          only the cases whose label the expression finds, e.g.\n"
        "                         \"filter flat contains broad|open\" (the growth run: \"growth\")\n"
        "  --reps N               timed repetitions per case (default 25)\n"
        "  --cap SECONDS          stop a case after this long once 5 repetitions ran (default 20)\n"
        "  --plain-reps N         repetitions of the plain rendering (default 25)\n"
        "  --plain-cap SECONDS    time cap of the plain rendering per case, at least one run (default 10)\n"
        "  --plain-stop SECONDS   a single change on the plain rendering is stopped after this long and\n"
        "                         reported as longer than it (default 60)\n"
        "  --no-plain             leave the plain rendering out\n"
        "  --floor-seconds S      time spent on the in-memory floor per case (default 0.5)\n"
        "  --changes N            filter changes of the memory-growth run (default 1000)\n"
        "  --open-reps N          repetitions of each dialog open (default 15)\n"
        "  --json PATH            write the results as JSON\n"
        "  --data-dir DIR         keep the account sets in DIR (made when missing)\n"
        "  --postgresql URL       run every set on this PostgreSQL server as well, after SQLite; the\n"
        "                         account sets are made in databases beside URL's and kept there\n"
        "  --note TEXT            a note on the machine, into the JSON\n"
        "  --year N               the accounting year (default 2024)\n"
        "\n"
        "Exit status: 0, 1 when a tree differed from the floor or the dialog showed a message,\n"
        "2 for bad options or a failed run.\n");
}

} // namespace sarvo::bench
