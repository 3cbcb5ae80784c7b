#pragma once
// The CPU time the whole process spends in a benchmark, over all its threads (SDL, Mesa and OpenAL work
// in threads of their own), per iteration: Google Benchmark's CPU column counts the benchmark's thread
// only, which hides most of what a present costs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace sylvora {

class ProcessCpu {
 public:
  ProcessCpu() : start_(Seconds()) {}

  // Adds the "process_cpu_ms" counter (per iteration) to state; called after the benchmark's loop.
  void Report(benchmark::State& state) const {
    state.counters["process_cpu_ms"] =
        benchmark::Counter((Seconds() - start_) * 1e3, benchmark::Counter::kAvgIterations);
  }

 private:
  static double Seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  }

  double start_;
};

}  // namespace sylvora
