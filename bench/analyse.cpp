// Seconds of "veltrix-batch FILE analyse 11" (and of analyse 31, the frequencies) over generated files of
// one-line records with four groups (default settings, so the rank tests run), against the data pass alone
// over the same file, and the peak memory of each run. Every run is a child process of its own, so each peak
// is its own. Run from a Release build folder:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_analyse && build-release/bench/analyse

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/child_figures.h"
#include "cli/batch.h"
#include "core/analysis/analysis_procedure.h"
#include "core/analysis/data_pass.h"
#include "core/datafile/params.h"
#include "core/groups/group_language.h"
#include "tests/support/recording_ui.h"

namespace {

// G in column 1 (1..4), X in columns 3..7 with one decimal.
bool MakeStudy(const std::string& dir, long records) {
  veltrix::test::RecordingUi ui;
  veltrix::TParams params(ui);
  if (!params.createDefault(dir + "/bench.prm")) return false;
  params.putVariable(1, "G", 1, 1);
  params.putVariable(2, "X", 3, 5);
  params.setVariableCount(2);
  for (int g = 1; g <= 4; ++g) {
    const veltrix::GroupCompileResult r = veltrix::CompileGroupDefinition(
        params, {"G : " + std::to_string(g)}, "Gruppe", "G" + std::to_string(g));
    if (!r.ok) return false;
    params.putGroup(g, r.record);
  }
  if (!params.write()) return false;
  std::ofstream out(dir + "/bench.dt1", std::ios::binary);
  std::uint32_t state = 12345;
  char line[16];
  for (long i = 0; i < records; ++i) {
    state = state * 1664525u + 1013904223u;
    const int g = 1 + static_cast<int>(state >> 30);
    const int tenths = static_cast<int>((state >> 8) % 1000) + 100 * g;  // groups differ in location
    std::snprintf(line, sizeof line, "1%d %3d.%d\r\n", g, tenths / 10, tenths % 10);
    out << line;
  }
  return out.good();
}

class NullProcedure : public veltrix::AnalysisProcedure {
 public:
  bool event(int, const veltrix::RecordBuffer& record) override {
    checksum += static_cast<unsigned char>(record.at(1));
    return true;
  }
  bool finishPass() override { return true; }
  void cancel() override {}
  void writeTables() override {}
  long checksum = 0;
};

using veltrix::bench::Child;
using veltrix::bench::Figures;

}  // namespace

int main() {
  const std::string dir = std::filesystem::temp_directory_path().string() + "/veltrix-bench-analyse";
  std::filesystem::create_directories(dir);
  for (const long records : {100000L, 1000000L}) {
    if (!MakeStudy(dir, records)) {
      std::printf("could not write the study in %s\n", dir.c_str());
      return 1;
    }
    const std::string file = dir + "/bench.dt1";
    double bestPass = 1e9;
    double bestAnalyse = 1e9;
    double bestFrequencies = 1e9;
    long frequenciesKb = 0;
    long passKb = 0;
    long analyseKb = 0;
    for (int round = 0; round < 3; ++round) {
      const Figures pass = Child([&] {
        veltrix::test::RecordingUi ui;
        NullProcedure procedure;
        veltrix::TRunIt run(ui, procedure);
        return run.run(file, 1).ok ? 0 : 2;
      });
      const Figures analyse = Child([&] {
        std::ostringstream out, err;
        return veltrix::cli::runBatch({file, "analyse", "11", "--vars1", "X", "--groups1", "1,2,3,4"}, out,
                                      err);
      });
      // Frequencies of X in classes of 50 (standard division 5) by the four groups.
      const Figures frequencies = Child([&] {
        std::ostringstream out, err;
        return veltrix::cli::runBatch(
            {file, "analyse", "31", "--vars1", "X", "--class1", "5", "--groups1", "1,2,3,4"}, out, err);
      });
      if (frequencies.status != 0) {
        std::printf("analyse 31 failed (%d)\n", frequencies.status);
        return 1;
      }
      bestFrequencies = std::min(bestFrequencies, frequencies.seconds);
      frequenciesKb = frequencies.peakKb;
      if (pass.status != 0 || analyse.status != 0) {
        std::printf("a run failed (%d, %d)\n", pass.status, analyse.status);
        return 1;
      }
      bestPass = std::min(bestPass, pass.seconds);
      bestAnalyse = std::min(bestAnalyse, analyse.seconds);
      passKb = pass.peakKb;
      analyseKb = analyse.peakKb;
    }
    std::printf(
        "%8ld records (%ld bytes): data pass %.3f s (%ld KB peak), analyse 11 %.3f s (%ld KB peak), ratio "
        "%.2f\n",
        records, static_cast<long>(std::filesystem::file_size(file)), bestPass, passKb, bestAnalyse,
        analyseKb, bestAnalyse / bestPass);
    std::printf("%8ld records: analyse 31 %.3f s (%ld KB peak)\n", records, bestFrequencies, frequenciesKb);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
