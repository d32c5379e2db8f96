// Any bytes as a statistics file, then steps of data entry: forward, backward, to a record, and saves
// of changed, blanked or new records. Every record read must be the one the record reader finds over
// the file's bytes (kept as a list of records that each save changes the way it should), and after
// the steps the file must hold exactly that list and end in its one end mark.
//
// Input: byte 0 = number of steps (mod 24), byte 1 = window size and move piece, then two bytes per
// step (kind, argument), then the file.
#include <stdlib.h>
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
#include "core/entry/entry_records.h"
#include "tests/support/reader_records.h"
#include "tests/support/recording_ui.h"

namespace {

using namespace veltrix;

using veltrix::test::ReaderRecords;

// A directory of the process's own, removed at its end.
struct ScratchDirectory {
  ScratchDirectory() {
    char pattern[] = "/tmp/veltrix-line-editor-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
};

const std::string& FileName() {
  static const ScratchDirectory scratch;
  static const std::string name = scratch.dir + "/fuzz.dt1";
  return name;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t steps = data[0] % 24;
  if (size < 2 + 2 * steps) return 0;
  const std::uint8_t sizes = data[1];
  const std::uint8_t* script = data + 2;
  const std::string bytes(reinterpret_cast<const char*>(data + 2 + 2 * steps), size - 2 - 2 * steps);
  {
    std::ofstream out(FileName(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) return 0;
  }

  std::vector<std::string> model = ReaderRecords(bytes);
  const std::string blank(kRecordLength, ' ');
  test::RecordingUi ui;
  EntryRecordFile file(ui);
  file.setBufferSizes(1 + (sizes & 3), 1 + (sizes >> 2));
  Check(file.open(FileName()));
  RecordBuffer buffer;

  const auto checkCurrent = [&](std::int64_t reached) {
    Check(reached == file.current());
    const auto count = static_cast<std::int64_t>(model.size());
    Check(reached >= 1 && reached <= count + 1);
    Check(file.isNewRecord() == (reached == count + 1));
    Check(buffer.record() == (reached <= count ? model[static_cast<std::size_t>(reached - 1)] : blank));
  };
  checkCurrent(file.goTo(1, buffer));

  for (std::size_t i = 0; i < steps; ++i) {
    const std::uint8_t kind = script[2 * i];
    const std::uint8_t argument = script[2 * i + 1];
    const auto count = static_cast<std::int64_t>(model.size());
    switch (kind % 4) {
      case 0:
        checkCurrent(file.goTo(file.current() + 1 + argument % 3, buffer));
        break;
      case 1:
        checkCurrent(file.goTo(file.current() - 1 - argument % 3, buffer));
        break;
      case 2: {
        const std::int64_t target = static_cast<std::int64_t>(argument % (count + 4)) - 1;
        const std::int64_t reached = file.goTo(target, buffer);
        Check(reached == std::clamp<std::int64_t>(target, 1, count + 1));
        checkCurrent(reached);
        break;
      }
      default: {
        // Change the current record: blank it, or write a few characters into one of its lines.
        if (argument % 5 == 0) {
          buffer.clear();
        } else {
          const int line = 1 + (argument >> 3) % 6;
          buffer.write((line - 1) * kLineLength + 1 + argument % 7,
                       std::string(1 + argument % 4, 'A' + kind % 26));
        }
        const std::string lines = EncodeEntryRecord(buffer, 79 * (1 + kind % 3), file.highestPositionRead());
        const std::int64_t at = file.current();
        const bool wasNew = file.isNewRecord();
        const EntryRecordFile::SaveResult result = file.save(lines);
        const auto index = static_cast<std::size_t>(at - 1);
        if (lines.empty()) {
          Check(result ==
                (wasNew ? EntryRecordFile::SaveResult::Nothing : EntryRecordFile::SaveResult::Deleted));
          if (!wasNew) model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
        } else {
          const std::vector<std::string> written = ReaderRecords(lines);
          Check(written.size() == 1);
          Check(result ==
                (wasNew ? EntryRecordFile::SaveResult::Appended : EntryRecordFile::SaveResult::Replaced));
          if (wasNew)
            model.push_back(written[0]);
          else
            model[index] = written[0];
        }
        Check(file.current() == at);
        checkCurrent(file.goTo(at, buffer));
        break;
      }
    }
  }
  Check(file.goToLast(buffer) == std::max<std::int64_t>(static_cast<std::int64_t>(model.size()), 1));
  Check(file.lastRecord() == static_cast<std::int64_t>(model.size()));
  file.close();
  Check(ui.messages.empty());

  std::ifstream in(FileName(), std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Check(!after.empty() && after.back() == 26);
  Check(ReaderRecords(after) == model);
  return 0;
}
