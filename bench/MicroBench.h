// The Google Benchmark part of sarvo-bench (statement kinds, tree rebuilds): run with the
// remaining command line once the application object exists.
#pragma once

namespace sarvo::bench {

int runMicroBenchmarks(int argc, char** argv);

} // namespace sarvo::bench
