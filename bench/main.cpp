// sarvo-bench: the reference dialog end to end by default, the Google Benchmark micro benchmarks
// with --micro. Runs on the offscreen platform unless another is asked for.
#include "bench/BenchOptions.h"
#include "bench/BenchReport.h"
#include "bench/EndToEndBench.h"
#include "bench/MachineNote.h"
#include "bench/MicroBench.h"
#include "bench/Stopwatch.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    if (argc > 1 && std::strcmp(argv[1], "--micro") == 0) {
        argv[1] = argv[0];
        return sarvo::bench::runMicroBenchmarks(argc - 1, argv + 1);
    }

    using namespace sarvo::bench;
    BenchOptions options;
    try {
        options = BenchOptions::parse(QCoreApplication::arguments().mid(1));
    } catch (const sarvo::RuntimeError& e) {
        std::cerr << "sarvo-bench: " << e.description().toStdString() << "\n\n"
                  << BenchOptions::usage().toStdString();
        return 2;
    }
    if (options.help) {
        std::cout << BenchOptions::usage().toStdString();
        return 0;
    }

    const Stopwatch total;
    BenchReport report(options, MachineNote::collect(options.note));
    EndToEndBench bench(options);
    bench.setProgress([](const QString& line) { std::cerr << line.toStdString() << std::endl; });
    try {
        for (const QString& set : options.sets)
            report.add(bench.runSet(set));
        if (!options.postgresql.isEmpty())
            for (const QString& set : options.sets)
                report.add(bench.runSet(set, options.postgresql));
    } catch (const std::exception& e) {
        std::cerr << "sarvo-bench: " << e.what() << '\n';
        return 2;
    }
    report.setSeconds(total.elapsed().wallMs / 1000);
    std::cout << report.table().toStdString() << std::flush;
    if (!options.jsonPath.isEmpty()) {
        QString error;
        if (!report.writeJson(options.jsonPath, &error)) {
            std::cerr << "sarvo-bench: cannot write " << options.jsonPath.toStdString() << ": "
                      << error.toStdString() << '\n';
            return 2;
        }
    }
    return report.failed() ? 1 : 0;
}
