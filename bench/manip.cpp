// The manipulation language over the sample layout plus BMI (80.5) and DAUER (86.4):
//   [BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)
//   IF [ALTER] >= 65 / [*H5] = [*H5] + 1 / END
//   [DAUER] = TDA:[AUFNAHME>],[ENTLASS>]
// First ExecuteProgram alone on records held in memory (records per second), then the whole
// "veltrix-batch FILE manip CMDFILE" (read, evaluate, write, swap in) over 1,000,000 records in a child
// process of its own, with its peak memory. Run from a Release build folder:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_manip && build-release/bench/manip

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/child_figures.h"
#include "cli/batch.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/manip/compiler.h"
#include "core/manip/evaluator.h"
#include "tests/support/recording_ui.h"

namespace {

const std::vector<std::string> kProgram = {
    "[BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)",
    "IF [ALTER] >= 65",
    "[*H5] = [*H5] + 1",
    "END",
    "[DAUER] = TDA:[AUFNAHME>],[ENTLASS>]",
};

void DefineLayout(veltrix::TParams& params) {
  const struct {
    const char* name;
    int position;
    int length;
  } fields[] = {{"PATNR", 1, 5},      {"GESCHL", 7, 1},    {"ALTER", 9, 3},       {"GEWICHT", 13, 5},
                {"GROESSE", 19, 3},   {"THERAPIE", 23, 1}, {"DIAGNOSE>", 25, 24}, {"AUFNAHME>", 50, 10},
                {"ENTLASS>", 61, 10}, {"FUPTAGE", 72, 4},  {"EREIGNIS", 77, 1},   {"BMI", 80, 5},
                {"DAUER", 86, 4}};
  int i = 0;
  for (const auto& f : fields) params.putVariable(++i, f.name, f.position, f.length);
  params.setVariableCount(i);
}

// One record line of the sample layout (without its line number), varied by i.
std::string RecordText(long i, std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  const int age = 18 + static_cast<int>((state >> 8) % 80);
  const int height = 150 + static_cast<int>((state >> 16) % 50);
  const int weight10 = 450 + static_cast<int>((state >> 4) % 700);
  const int day = 1 + static_cast<int>((state >> 12) % 28);
  const int month = 1 + static_cast<int>((state >> 20) % 12);
  const int stay = static_cast<int>((state >> 24) % 28);
  char text[96];
  std::snprintf(text, sizeof text, "%5ld %d %3d %3d.%d %3d %d %-24s %02d.%02d.2021 %02d.%02d.2022 %4d %d",
                i % 100000, 1 + static_cast<int>(state & 1), age, weight10 / 10, weight10 % 10, height,
                1 + static_cast<int>((state >> 1) & 1), "Diagnose", day, month, 1 + (day + stay) % 28, month,
                static_cast<int>(state % 1000), static_cast<int>((state >> 3) & 1));
  return text;
}

using veltrix::bench::Child;
using veltrix::bench::Figures;

}  // namespace

int main() {
  veltrix::test::RecordingUi ui;
  veltrix::TParams params(ui);
  const std::string dir = std::filesystem::temp_directory_path().string() + "/veltrix-bench-manip";
  std::filesystem::create_directories(dir);
  if (!params.createDefault(dir + "/bench.prm")) return 1;
  DefineLayout(params);
  if (!params.write()) return 1;
  const veltrix::ProgramResult compiled = veltrix::CompileProgram(kProgram, params);
  if (!compiled.ok) {
    std::printf("the program does not compile: %s\n", compiled.message.c_str());
    return 1;
  }

  // ExecuteProgram on records held in memory: 1000 different records in their buffers, the program
  // run on them in turn (it rewrites BMI and DAUER each time, the fields it reads stay). The second
  // figure also loads each record into the buffer as the reader would (blank it, copy the line).
  std::uint32_t state = 4711;
  std::vector<std::string> texts;
  for (long i = 0; i < 1000; ++i) texts.push_back(RecordText(i, state));
  std::vector<veltrix::RecordBuffer> buffers(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) buffers[i].write(1, texts[i]);
  veltrix::AuxiliaryStores stores;
  const veltrix::RecordWriter writer = [](const veltrix::RecordBuffer&) { return true; };
  constexpr long kInMemory = 3000000;
  long checksum = 0;
  double best = 1e9;
  double bestLoading = 1e9;
  for (int round = 0; round < 3; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < kInMemory; ++i) {
      veltrix::RecordBuffer& record = buffers[static_cast<std::size_t>(i % 1000)];
      veltrix::ExecuteProgram(compiled.program, record, stores, writer);
      checksum += record.at(84) + record.at(89);
    }
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    veltrix::RecordBuffer record;
    start = std::chrono::steady_clock::now();
    for (long i = 0; i < kInMemory; ++i) {
      record.clear();
      record.write(1, texts[static_cast<std::size_t>(i % 1000)]);
      veltrix::ExecuteProgram(compiled.program, record, stores, writer);
      checksum += record.at(84) + record.at(89);
    }
    bestLoading = std::min(bestLoading,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf(
      "ExecuteProgram: %.2f million records per second; with loading each record: %.2f (checksum %ld)\n",
      kInMemory / best / 1e6, kInMemory / bestLoading / 1e6, checksum);

  {
    std::ofstream commands(dir + "/bench.bf1", std::ios::binary);
    for (const std::string& line : kProgram) commands << line << "\r\n";
  }
  for (const long records : {1000000L}) {
    double bestRun = 1e9;
    long peakKb = 0;
    for (int round = 0; round < 3; ++round) {
      {
        std::ofstream out(dir + "/bench.dt1", std::ios::binary | std::ios::trunc);
        state = 12345;
        for (long i = 0; i < records; ++i) out << '1' << RecordText(i, state) << "\r\n";
      }
      const Figures run = Child([&] {
        std::ostringstream out, err;
        return veltrix::cli::runBatch({dir + "/bench.dt1", "manip", dir + "/bench.bf1"}, out, err);
      });
      if (run.status != 0) {
        std::printf("veltrix-batch manip failed (%d)\n", run.status);
        return 1;
      }
      bestRun = std::min(bestRun, run.seconds);
      peakKb = run.peakKb;
    }
    std::printf("veltrix-batch manip over %ld records (%ld bytes): %.3f s (%ld KB peak)\n", records,
                static_cast<long>(std::filesystem::file_size(dir + "/bench.dt1")), bestRun, peakKb);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
