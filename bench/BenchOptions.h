// Command line of the end-to-end benchmark (sarvo-bench without --micro).
#pragma once

#include <QString>
#include <QStringList>

namespace sarvo::bench {

struct BenchOptions {
    QStringList sets;       // account-set templates
    QString cases;          // a regular expression: only the cases whose label it finds run; "" all
    int reps = 25;          // timed repetitions per case, at most
    double capSeconds = 20; // per case, after at least minReps
    int minReps = 5;
    bool plain = true; // the plain rendering as a reference
    int plainReps = 25;
    double plainCapSeconds = 10;  // per case, after at least one repetition
    double plainStopSeconds = 60; // one change on the plain rendering is stopped after this long
    double floorSeconds = 0.5;    // per case
    int changes = 1000;           // filter changes of the memory-growth run
    int openReps = 15;
    QString jsonPath;
    QString dataDir;    // account sets kept here between runs; a temporary folder otherwise
    QString note;       // free text about the machine, into the JSON
    QString postgresql; // a PostgreSQL server the sets also run on (postgresql://user@host:port/db)
    int year = 2024;
    bool quick = false;
    bool help = false;

    // Raises 5 with a message for an unknown option or a bad value. --quick sets the quick
    // defaults first; options after it still apply.
    static BenchOptions parse(const QStringList& arguments);
    static QString usage();
};

} // namespace sarvo::bench
