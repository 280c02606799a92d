// The timed loop shared by the benchmarks that build a text result.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace bench_loop {

// Runs `make` once per iteration; returns the text of the last run, for the
// checks after the loop.
template <class Make>
std::string LastResult(benchmark::State& state, Make make) {
  std::string result;
  for (auto _ : state) {
    result = make();
    benchmark::DoNotOptimize(result);
  }
  return result;
}

}  // namespace bench_loop
