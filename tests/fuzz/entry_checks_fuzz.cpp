// Any bytes as an entry-check file: only whole entries inside the data are decoded, every entry is
// found again, and values taken from the input (the entry's own bounds and list, and slices of the
// bytes) are checked against every entry without reading outside them. A value that fits its field
// is shown again as it was stored.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/entry/entry_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  const EntryChecks checks = EntryChecks::decode(std::span(data, size));
  const std::vector<EntryCheck>& entries = checks.entries();
  if (size < 130 && !entries.empty()) std::abort();
  if (entries.size() * 24 > (size < 130 ? 0 : size - 130)) std::abort();
  if (entries.size() > 1366) std::abort();

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> values;
  for (std::size_t start = 0; start < std::min<std::size_t>(size, 64); start += 7)
    values.emplace_back(bytes.substr(start, 1 + data[start] % 24));
  values.emplace_back("");

  RecordBuffer record;
  const std::size_t limit = std::min<std::size_t>(entries.size(), 64);
  for (std::size_t i = 0; i < limit; ++i) {
    const EntryCheck& entry = entries[i];
    if (entry.lower.size() != 10 || entry.upper.size() != 10 || entry.allowed.size() != 20) std::abort();
    const EntryCheck* found = checks.find(entry.position, entry.typeByte);
    if (!found || found->position != entry.position || found->typeByte != entry.typeByte) std::abort();
    const VariableEntry variable{"V", entry.position, entry.typeByte & 127, entry.typeByte};
    std::vector<std::string> tried = values;
    tried.push_back(entry.lower);
    tried.push_back(entry.upper);
    tried.push_back(entry.allowed);
    for (const std::string& typed : tried) {
      const PreparedValue prepared = PrepareFieldText(typed, variable);
      for (char c : prepared.text)
        if (static_cast<unsigned char>(c) < ' ') std::abort();
      for (std::size_t k = 0; k < limit; ++k) {
        const EntryCheckOutcome outcome = CheckEntryValue(prepared.text, variable, &entries[k]);
        if (outcome.passed != outcome.message.empty()) std::abort();
      }
      const EntryCheckOutcome plain = CheckEntryValue(prepared.text, variable, nullptr);
      if (plain.passed != plain.message.empty()) std::abort();
      if (prepared.tooLongMessage || entry.position < 1 ||
          entry.position + variable.length - 1 > kBufferLength)
        continue;
      WriteFieldValue(record, variable, prepared.text);
      std::string_view expected = prepared.text;
      while (!expected.empty() && expected.front() == ' ') expected.remove_prefix(1);
      while (!expected.empty() && expected.back() == ' ') expected.remove_suffix(1);
      if (DisplayFieldValue(record, variable) != expected) std::abort();
    }
  }
  return 0;
}
