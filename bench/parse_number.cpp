// Field texts per second through ParseField. Run from a Release build folder for the real figure:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_parse_number && build-release/bench/parse_number
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/stats/number_parse.h"

int main() {
  const char* const typical[] = {" 72.5", "  118", "1.75", "-3.25", "  0", "12345"};
  std::vector<std::string> fields;
  for (int i = 0; i < 4096; ++i) fields.emplace_back(typical[(i * 7 + i / 6) % 6]);

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  double checksum = 0.0;
  long long decimals = 0;
  long long conversions = 0;
  double seconds = 0.0;
  // Whole rounds over the array until 1.5 seconds have passed.
  do {
    for (const std::string& field : fields) {
      const veltrix::ParsedNumber parsed = veltrix::ParseField(field);
      checksum += parsed.value;
      decimals += parsed.decimals;
    }
    conversions += static_cast<long long>(fields.size());
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 1.5);

  std::printf("ParseNumber: %.0f field texts per second\n", static_cast<double>(conversions) / seconds);
  std::printf("(%lld conversions in %.2f s; checksum %.1f, decimals %lld)\n", conversions, seconds, checksum,
              decimals);
  return 0;
}
