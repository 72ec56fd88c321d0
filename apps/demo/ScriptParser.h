// The scripted-run language of sarvo-demo: one user action a line ("type 1002", "click b1002",
// "button 0"), "#" comments and blank lines. The parser turns the text into actions and stops at
// the first line it cannot understand, so the actions before it still run.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace sarvo::demo {

struct ScriptAction {
    enum class Kind {
        Type,  // text: typed one character at a time
        Paste, // text: set at once
        Clear,
        Mode,     // number: 0 begins, 1 contains
        TreeDisp, // on
        Click,    // text: node key
        DblClick, // text: node key
        Expand,   // text: node key
        Collapse, // text: node key
        Enter,
        Button, // number: 0..3
        Check,  // number: 0..9, on
        Ffc,    // on
        Filter,
        Drag, // number: twips, negative to the left
        Wait, // number: milliseconds
        Dump,
        State,
    };
    Kind kind = Kind::Wait;
    int line = 0;   // 1-based line in the script
    QString source; // the line as written (without its line break)
    QString text;
    int number = 0;
    bool on = false;
};

// What went wrong at which line; reported in the demo's JSON as "error".
struct ScriptError {
    int line = 0;
    QString text;
    QString message;
};

class ScriptParser {
public:
    struct Result {
        QList<ScriptAction> actions;      // every action before the first bad line
        std::optional<ScriptError> error; // the first bad line, if any
    };
    static Result parse(const QString& script);

    // One line; nullopt for a comment or blank line. Sets *error for a bad line.
    static std::optional<ScriptAction> parseLine(const QString& line, int lineNumber, ScriptError* error);
};

} // namespace sarvo::demo
