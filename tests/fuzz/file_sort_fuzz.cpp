// Any bytes as a statistics file, sorted by a field that the first two bytes choose (position, type
// byte), with so little memory that most inputs go through sorted runs and merge passes: the sorted
// file holds the same records as the record reader finds in the input, in the order of a plain stable
// sort by the key, and no run or work file is left behind.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/stat_record.h"
#include "core/entry/file_sort.h"
#include "tests/support/recording_ui.h"

namespace {

struct Keyed {
  int kind = 0;  // 0 blank, 1 number, 2 no number; text fields all 0
  double value = 0;
  std::string text;
  std::string record;
};

std::vector<Keyed> ReadRecords(std::string_view bytes, int position, int typeByte) {
  using namespace veltrix;
  TextLineSource lines(bytes);
  RecordReader reader(lines);
  RecordBuffer buffer;
  std::vector<Keyed> records;
  while (reader.next(buffer)) {
    Keyed k;
    k.record = std::string(buffer.record());
    const FieldValueResult field = FieldValue(buffer, position, typeByte);
    if ((typeByte & 128) != 0) {
      k.text = std::string(buffer.field(position, typeByte & 127)).substr(0, 21);
      k.text.resize(21, ' ');
    } else if (field.status >= 0) {
      k.kind = 1;
      k.value = field.value;
    } else if (field.status != -1) {
      k.kind = 2;
      k.text = std::string(field.text.substr(0, 21));
    }
    records.push_back(std::move(k));
  }
  return records;
}

std::string g_directory;

void RemoveDirectory() {
  std::error_code error;
  std::filesystem::remove_all(g_directory, error);
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  if (size < 2 || size > 40000) return 0;
  if (g_directory.empty()) {
    char pattern[] = "/tmp/veltrix-sort-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) std::abort();
    g_directory = made;
    std::atexit(RemoveDirectory);
  }
  const std::string& directory = g_directory;
  // Positions 1..255 and, for the record number, 7975.
  const int position = data[0] == 0 ? kRecordNumberPosition : data[0];
  const int typeByte = data[1];
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string file = directory + "/f.dt1";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<Keyed> expected = ReadRecords(bytes, position, typeByte);
  std::stable_sort(expected.begin(), expected.end(), [](const Keyed& a, const Keyed& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.kind == 1) return a.value < b.value;
    return a.text < b.text;
  });

  test::RecordingUi ui;
  TFSort sort(ui, file, SortField{"F", position, typeByte}, SortOptions{.memoryBytes = 1024, .fanIn = 2});
  const SortResult result = sort.run();
  if (expected.empty()) {
    if (result.outcome != SortResult::Outcome::Empty) std::abort();
  } else {
    if (result.outcome != SortResult::Outcome::Done) std::abort();
    const std::vector<Keyed> sorted = ReadRecords(ReadFile(file), position, typeByte);
    if (sorted.size() != expected.size()) std::abort();
    for (std::size_t i = 0; i < sorted.size(); ++i)
      if (sorted[i].record != expected[i].record) std::abort();
    if (ReadFile(directory + "/f.db1") != bytes) std::abort();
  }
  std::filesystem::remove(file);
  std::filesystem::remove(directory + "/f.db1");
  if (!std::filesystem::is_empty(directory)) std::abort();
  return 0;
}
