// The host application that sarvo-demo plays: it opens the account set, prepares its own service
// objects and the request, and runs the component's whole calling order late-bound by name
// (NewZwPub, NewLogIn, RefDirect, DRSource, DRSetAttrib, DRReference, DRGetAttrib), then reports.
#pragma once

#include "apps/demo/DemoOptions.h"
#include "apps/demo/ScriptParser.h"

#include <QByteArray>
#include <optional>

namespace sarvo::demo {

class DemoHost {
public:
    // Exit statuses of the demo. An account set that cannot be used is reported like a bad --db.
    enum Status {
        ReferenceTrue = 0,
        ReferenceFalse = 1,
        BadArguments = 2,
        AccountSetUnusable = 2,
        ComponentFailed = 3
    };

    DemoHost(DemoOptions options, std::optional<ScriptParser::Result> script);

    // Runs one request; the JSON report goes to report, problems that prevent it to diagnostics.
    int run(QByteArray& report, QByteArray& diagnostics);

private:
    DemoOptions m_options;
    std::optional<ScriptParser::Result> m_script;
};

} // namespace sarvo::demo
