// Sorting a statistics file by a numeric variable: "veltrix-batch FILE sort WERT --memory 32" over
// 1,000,000 and 4,000,000 one-line records of about 40 characters (a value from -5000.0 to 4999.9 in
// steps of 0.1, so with many ties and negatives), each run in a child process of its own with its
// peak memory. The file is larger than the 32 MiB, so it is sorted in runs and merged. Run from a
// Release build folder:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_sort && build-release/bench/sort

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "bench/child_figures.h"
#include "cli/batch.h"
#include "core/datafile/params.h"
#include "tests/support/recording_ui.h"

namespace {

using veltrix::bench::Child;
using veltrix::bench::Figures;

// n records "1" + WERT (1..7) + a record number (9..15) + a text, CR LF each: about 40 bytes.
bool WriteFile(const std::string& name, long n) {
  std::FILE* out = std::fopen(name.c_str(), "wb");
  if (out == nullptr) return false;
  std::uint32_t state = 12345;
  for (long i = 1; i <= n; ++i) {
    state = state * 1664525u + 1013904223u;
    const int tenths = static_cast<int>((state >> 8) % 100000) - 50000;
    const int magnitude = tenths < 0 ? -tenths : tenths;
    char value[16];
    std::snprintf(value, sizeof value, "%s%d.%d", tenths < 0 ? "-" : "", magnitude / 10, magnitude % 10);
    std::fprintf(out, "1%7s %7ld Datensatz zum Sortieren\r\n", value, i % 10000000);
  }
  return std::fclose(out) == 0;
}

}  // namespace

int main() {
  veltrix::test::RecordingUi ui;
  veltrix::TParams params(ui);
  const std::string dir = std::filesystem::temp_directory_path().string() + "/veltrix-bench-sort";
  std::filesystem::create_directories(dir);
  const std::string file = dir + "/bench.dt1";
  if (!params.createDefault(dir + "/bench.prm")) return 1;
  params.putVariable(1, "WERT", 1, 7);
  params.putVariable(2, "NUMMER", 9, 7);
  params.setVariableCount(2);
  if (!params.write()) return 1;

  for (const long records : {1000000L, 4000000L}) {
    double best = 1e9;
    long peakKb = 0;
    for (int round = 0; round < 3; ++round) {
      if (!WriteFile(file, records)) return 1;
      const Figures run = Child([&] {
        std::ostringstream out, err;
        return veltrix::cli::runBatch({file, "sort", "WERT", "--memory", "32"}, out, err);
      });
      if (run.status != 0) {
        std::printf("veltrix-batch sort failed (%d)\n", run.status);
        return 1;
      }
      best = std::min(best, run.seconds);
      peakKb = std::max(peakKb, run.peakKb);
    }
    std::printf("veltrix-batch sort WERT --memory 32 over %ld records (%ld bytes): %.3f s (%ld KB peak)\n",
                records, static_cast<long>(std::filesystem::file_size(file)), best, peakKb);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
