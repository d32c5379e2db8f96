// Any typing and clicking in the structure dialogs: whatever the user does, the list keeps at most 1050
// items with exactly one empty item at its end (none when full), the record end stays within 7821, the
// free list stays in the order of its field starts without overlaps, and writing the list back gives a
// table of every variable of the list, in order, inside the record.
//
// Input: byte 0 picks the dialog (append, recompute, free), the rest are lines, each an action by its
// first character: N, P, L type the rest into the name, field start or length edit; E presses Enter;
// S selects the item of the next byte; R removes; U and D move up and down.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/datafile/params.h"
#include "core/datafile/structure_edit.h"
#include "tests/support/recording_ui.h"

namespace {

using namespace veltrix;

void require(bool condition) {
  if (!condition) std::abort();
}

void checkList(const StructureList& list, bool freeList, const TNeuVar* append) {
  const auto& items = list.items();
  require(!items.empty() && items.size() <= static_cast<std::size_t>(kMaxStructureItems));
  for (std::size_t i = 0; i + 1 < items.size(); ++i) require(!items[i].empty());
  require(items.size() == static_cast<std::size_t>(kMaxStructureItems) || items.back().empty());
  require(list.current() >= 0 && list.current() < static_cast<int>(items.size()));
  int end = 0;
  int lengths = 0;
  for (const StructureItem& item : items) {
    if (item.empty()) continue;
    require(item.length >= 1 && item.length <= kMaxTextFieldLength);
    if (freeList) {
      require(item.position > end && item.end() <= kMaxRecordEnd);
      end = item.end();
    } else if (item.isProtected) {
      end = item.end();
    } else {
      lengths += item.length;
    }
  }
  if (append) {
    const int expected = (append->mode() == NeuVarMode::Append ? end : 0) + lengths;
    require(append->runningEnd() == expected && expected <= kMaxRecordEnd);
  }
}

void checkWriteBack(const StructureList& list, TParams& params) {
  int variables = 0;
  for (const StructureItem& item : list.items()) variables += item.empty() ? 0 : 1;
  require(WriteBackStructure(list.items(), params) == variables);
  int end = 0;
  for (int i = 1; i <= params.variableCount(); ++i) {
    const VariableEntry entry = params.getVariable(i);
    require(entry.position > end && entry.position + entry.length - 1 <= kMaxRecordEnd);
    end = entry.position + entry.length - 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  test::RecordingUi ui;
  TParams params(ui);
  params.putVariable(1, "PATNR", 1, 5);
  params.putVariable(2, "AB-1", 7, 2);
  params.putVariable(3, "TEXT>", 7700, 60);
  params.setVariableCount(3);
  const int kind = data[0] % 3;
  std::unique_ptr<TNeuVar> append;
  std::unique_ptr<TFreiV> free;
  if (kind < 2) {
    append = std::make_unique<TNeuVar>(ui, params, kind == 0 ? NeuVarMode::Append : NeuVarMode::Recompute);
  } else {
    free = std::make_unique<TFreiV>(ui, params);
  }
  StructureList& list = append ? static_cast<StructureList&>(*append) : *free;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t from = 0;
  for (int steps = 0; from < rest.size() && steps < 2000; ++steps) {
    const std::size_t cut = std::min(rest.find('\n', from), rest.size());
    const std::string_view line = rest.substr(from, cut - from);
    from = cut + 1;
    if (line.empty()) continue;
    const std::string_view text = line.substr(1);
    switch (line[0]) {
      case 'N':
        list.setEditText(StructureField::Name, text);
        break;
      case 'P':
        list.setEditText(StructureField::Position, text);
        break;
      case 'L':
        list.setEditText(StructureField::Length, text);
        break;
      case 'E':
        if (append) {
          append->enter(StructureField::Length);
        } else {
          free->enter(StructureField::Name);
        }
        break;
      case 'S':
        list.selectItem(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
        break;
      case 'R':
        if (append) {
          append->removeItem();
        } else {
          free->removeItem();
        }
        break;
      case 'U':
        if (append) append->moveUp();
        break;
      case 'D':
        if (append) append->moveDown();
        break;
      default:
        break;
    }
    checkList(list, free != nullptr, append.get());
  }
  checkWriteBack(list, params);
  return 0;
}
