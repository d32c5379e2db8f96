// Data entry's in-place saves over a statistics file of 1,000,000 one-line records of about 40
// characters (about 43 MB): open, go to the record, save it one line longer (a second line), close.
// The longer record moves the whole rest of the file. Once at record 1 (everything moves), once at the
// middle record (reading half the file to get there, moving the other half), once more at record 1
// for the same record shrinking back. Each figure is the best of three runs on a fresh file; the
// file is in the page cache, as after the backup copy that precedes the first save. Run from a
// Release build folder:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_entry && build-release/bench/entry
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/datafile/stat_record.h"
#include "core/entry/entry_records.h"
#include "tests/support/recording_ui.h"

namespace {

constexpr std::int64_t kRecords = 1000000;

void WriteFile(const std::string& name) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  std::string text;
  text.reserve(1 << 20);
  for (std::int64_t i = 0; i < kRecords; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "1%07lld %-20s %5lld %4.1f\r\n", static_cast<long long>(i + 1),
                  "Meier-Schulze", static_cast<long long>((i * 7919) % 100000),
                  static_cast<double>(i % 400) / 10.0);
    text += line;
    if (text.size() > (1 << 20) - 64) {
      out << text;
      text.clear();
    }
  }
  out << text << '\x1a';
}

struct Run {
  double seconds = 0;
  bool ok = false;
};

// Open, go to record n, save it with a second line (or, with shrink, back to one line), close.
Run SaveAt(veltrix::Ui& ui, const std::string& name, std::int64_t n, bool shrink) {
  const auto start = std::chrono::steady_clock::now();
  veltrix::EntryRecordFile file(ui);
  Run run;
  if (!file.open(name)) return run;
  veltrix::RecordBuffer buffer;
  if (file.goTo(n, buffer) != n) return run;
  if (shrink)
    buffer.write(80, std::string(79, ' '));
  else
    buffer.write(80, "zweite Zeile des Datensatzes");
  const std::string lines = veltrix::EncodeEntryRecord(buffer, shrink ? 79 : 158, file.highestPositionRead());
  run.ok = file.save(lines) == veltrix::EntryRecordFile::SaveResult::Replaced;
  file.close();
  run.ok = run.ok && !file.failed();
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

}  // namespace

int main() {
  veltrix::test::RecordingUi ui;
  const std::string dir = std::filesystem::temp_directory_path().string() + "/veltrix-bench-entry";
  std::filesystem::create_directories(dir);
  const std::string name = dir + "/bench.dt1";
  WriteFile(name);
  const auto size = static_cast<long long>(std::filesystem::file_size(name));

  const struct {
    const char* what;
    std::int64_t record;
  } cases[] = {{"record 1", 1}, {"the middle record", kRecords / 2}};
  for (const auto& c : cases) {
    double best = 1e9;
    double bestShrink = 1e9;
    for (int round = 0; round < 3; ++round) {
      WriteFile(name);
      const Run grow = SaveAt(ui, name, c.record, false);
      const Run shrink = SaveAt(ui, name, c.record, true);
      if (!grow.ok || !shrink.ok) {
        std::printf("the save at %s failed\n", c.what);
        return 1;
      }
      best = std::min(best, grow.seconds);
      bestShrink = std::min(bestShrink, shrink.seconds);
    }
    std::printf("%lld records (%lld bytes), save at %s one line longer: %.3f s; back to one line: %.3f s\n",
                static_cast<long long>(kRecords), size, c.what, best, bestShrink);
  }
  std::filesystem::remove_all(dir);
  return ui.messages.empty() ? 0 : 1;
}
