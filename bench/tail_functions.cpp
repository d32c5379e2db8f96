// Tail probabilities and result lines per second: the work behind a table of many tests (a
// correlation matrix of 30 variables asks for 435 tails and as many marks). Run from a Release build:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_tail_functions && build-release/bench/tail_functions
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "core/stats/distributions.h"
#include "core/stats/significance.h"

namespace {

// Calls per second of one function over varied arguments, run for about half a second.
void measure(const char* name, const std::function<double(int)>& call) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  double checksum = 0;
  long long calls = 0;
  double seconds = 0;
  do {
    for (int i = 0; i < 1000; ++i) checksum += call(i);
    calls += 1000;
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 0.5);
  std::printf("%-34s %12.0f calls per second (checksum %.6g)\n", name, static_cast<double>(calls) / seconds,
              checksum);
}

}  // namespace

int main() {
  using namespace veltrix;
  const SignificanceLevels levels = MakeSignificanceLevels(2, 0.05, 0.01);
  measure("NormalTail", [](int i) { return NormalTail((i % 700) / 100.0, 2); });
  measure("TTail (df 1..40)", [](int i) { return TTail((i % 500) / 100.0, 1 + i % 40, 2); });
  measure("ChiSquareTail (df 1..40)", [](int i) { return ChiSquareTail((i % 900) / 10.0, 1 + i % 40); });
  measure("FTail (df 1..60 x 1..60)",
          [](int i) { return FTail(0.2 + (i % 400) / 50.0, 1 + i % 60, 1 + i / 7 % 60); });
  measure("CorrelationTail (n 3..200)",
          [](int i) { return CorrelationTail(3 + i % 198, 2, (i % 199) / 200.0); });
  measure("RankStatTail exact (n 26)", [](int i) { return RankStatTail(0, 26, 2, 40 + i % 60, 0).p; });
  measure("RankStatTail rank sum (12 of 26)",
          [](int i) { return RankStatTail(12, 26, 2, 100 + i % 60, 1).p; });
  measure("TestLine", [&levels](int i) {
    return static_cast<double>(
        TestLine(levels, "Testgröße : ", 1 + i % 50, 0, (i % 1000) / 1000.0, i / 7.0).size());
  });
  return 0;
}
