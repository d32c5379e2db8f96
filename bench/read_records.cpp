// Records per second into the record buffer: one million one-line records, read once from memory
// (the record assembly alone) and once from a file through the text reader (what a data pass does).
// Run from a Release build folder:
//   ninja -C build-release bench_read_records && build-release/bench/read_records
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/batch_ui.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/stat_record.h"

namespace {

constexpr int kRecords = 1000000;

std::string makeFileText() {
  std::string text;
  text.reserve(static_cast<std::size_t>(kRecords) * 80);
  char line[96];
  for (int i = 0; i < kRecords; ++i) {
    std::snprintf(line, sizeof line, "1%6d %d %3d %5.1f %3d %d %-24s %02d.%02d.%04d %4d %d\r\n", i + 1,
                  1 + i % 2, 20 + i % 70, 50.0 + (i % 500) / 10.0, 150 + i % 50, 1 + (i / 3) % 2,
                  "Herzinsuffizienz", 1 + i % 28, 1 + i % 12, 2019 + i % 5, i % 1000, i % 2);
    text += line;
  }
  return text;
}

struct Figure {
  long long records;
  double seconds;
  long long checksum;
};

Figure readAll(veltrix::LineSource& source) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  veltrix::RecordReader reader(source);
  veltrix::RecordBuffer buffer;
  long long records = 0;
  long long checksum = 0;
  while (reader.next(buffer)) {
    ++records;
    checksum += buffer.at(10) + buffer.at(7980);
  }
  return {records, std::chrono::duration<double>(Clock::now() - start).count(), checksum};
}

void report(const char* what, const Figure& f) {
  std::printf("%-28s %lld records in %.3f s: %.2f million records per second (checksum %lld)\n", what,
              f.records, f.seconds, f.records / f.seconds / 1e6, f.checksum);
}

}  // namespace

int main() {
  const std::string text = makeFileText();

  veltrix::TextLineSource memory(text);
  report("from memory:", readAll(memory));

  const std::string file = (std::filesystem::temp_directory_path() / "veltrix_bench_records.dt1").string();
  {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size()) return 1;
    std::fclose(out);
  }
  veltrix::cli::BatchUi ui(std::cerr, false);
  veltrix::TTxtRFile in(ui);
  if (!in.open(file)) return 1;
  veltrix::TextFileLineSource lines(in);
  report("from a file (text reader):", readAll(lines));
  in.close();
  std::filesystem::remove(file);
  return 0;
}
