// sarvo-demo: the demo host. Parses the command line, chooses the window system (a display, or
// the offscreen platform for scripted runs without one), and runs one account reference.
#include "apps/demo/DemoHost.h"
#include "apps/demo/DemoOptions.h"
#include "apps/demo/ScriptParser.h"

#include <QApplication>
#include <QFile>
#include <csignal>
#include <cstdio>

namespace {

void writeTo(FILE* stream, const QByteArray& text) {
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream);
    std::fflush(stream);
}

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // Past a file-size limit (ulimit -f) a write then fails like one on a full disk and the
    // database says so, instead of the process being killed without a word.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    using sarvo::demo::DemoHost;
    using sarvo::demo::DemoOptions;

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const DemoOptions::Parsed parsed = DemoOptions::parse(arguments);
    if (parsed.options.help) {
        writeTo(stdout, DemoOptions::usage().toUtf8());
        return 0;
    }
    if (!parsed.ok()) {
        writeTo(stderr, ("sarvo-demo: " + parsed.error + "\n\n" + DemoOptions::usage()).toUtf8());
        return DemoHost::BadArguments;
    }
    const DemoOptions& options = parsed.options;

    if (!hasDisplay()) {
        if (!options.scriptPath) {
            writeTo(stderr,
                    QStringLiteral(
                        "sarvo-demo: there is no display to show the dialog on.\n"
                        "Run it on a virtual display:\n"
                        "    xvfb-run -a build/bin/sarvo-demo --db build/demo.db\n"
                        "or drive the dialog with a script (no display needed):\n"
                        "    build/bin/sarvo-demo --db build/demo.db --script apps/demo/sample.script\n")
                        .toUtf8());
            return DemoHost::BadArguments;
        }
        // A scripted run needs no screen; keep a platform the caller chose that needs none either.
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    std::optional<sarvo::demo::ScriptParser::Result> script;
    if (options.scriptPath) {
        QFile file;
        const bool opened = *options.scriptPath == u"-"
                                ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(*options.scriptPath), file.open(QIODevice::ReadOnly));
        if (!opened) {
            writeTo(stderr, QStringLiteral("sarvo-demo: cannot read script %1: %2\n")
                                .arg(*options.scriptPath, file.errorString())
                                .toUtf8());
            return DemoHost::BadArguments;
        }
        script = sarvo::demo::ScriptParser::parse(QString::fromUtf8(file.readAll()));
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sarvo-demo"));

    QByteArray report;
    QByteArray diagnostics;
    const int status = DemoHost(options, std::move(script)).run(report, diagnostics);
    if (!diagnostics.isEmpty()) writeTo(stderr, diagnostics);
    if (!report.isEmpty()) writeTo(stdout, report);
    return status;
}
