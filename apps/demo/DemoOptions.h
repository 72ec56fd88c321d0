// Command line of sarvo-demo: which account set to open, the login context, the request the host
// sends to the component, and how to run (a person at a display, or a script). Parsing is kept
// apart from running so that bad arguments are rejected before anything is opened.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace sarvo::demo {

struct DemoOptions {
    QString dbPath;                                    // --db PATH (required)
    QString templateName = QStringLiteral("standard"); // --template NAME, used when PATH is missing
    QString user = QStringLiteral("demo");             // --user ID
    int loginYear = 2024;                              // --login-year N
    QString language = QStringLiteral("zh-cn");        // --lang zh-cn|zh-tw|en-us
    QString filter;                                    // --filter TEXT  -> Viewpara1
    QString condition;                                 // --condition SQL -> Viewpara2
    bool noEdit = false;                               // --noedit -> Viewreturn4 = "noedit"
    std::optional<QString> year;                       // --year VALUE, passed to DRReference as text
    QString logSqlPath;                                // --log-sql FILE
    std::optional<QString> scriptPath;                 // --script FILE ("-" for standard input)
    bool help = false;                                 // --help / -h

    struct Parsed;
    // Parses the arguments after the program name.
    static Parsed parse(const QStringList& arguments);
    static QString usage();
};

struct DemoOptions::Parsed {
    DemoOptions options;
    QString error; // empty when the arguments are good
    bool ok() const { return error.isEmpty(); }
};

} // namespace sarvo::demo
