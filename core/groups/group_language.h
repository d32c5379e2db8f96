// The group definition language: the text a user writes to select records ("ALTER : 20,-,29,65"),
// its compiled form inside the 512-byte group record, the text shown again from that form, and the
// membership test every data pass applies to every record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"

namespace veltrix {

// The compiler's numbered messages (0: "Fehler: " + a field).
inline constexpr int kGroupNoVariables = 1;       // "Keine Variablen (: ?)"
inline constexpr int kGroupMixedKinds = 2;        // "Text- und numerische Felder gemischt"
inline constexpr int kGroupTooLarge = 3;          // "Definition zu umfangreich"
inline constexpr int kGroupMisplacedRange = 4;    // "Falsche Verwendung von  ,-,"
inline constexpr int kGroupTooManyContinued = 5;  // "Zuviel Fortsetzungszeilen"
inline constexpr int kGroupNoValues = 6;          // "Keine Abfragewerte nach :"
inline constexpr int kGroupTooManyVariables = 7;  // "Zuviele Variablen (max. 30 erlaubt)"

struct GroupCompileResult {
  bool ok = false;
  GroupRecord record{};   // on success: the titles and the compiled definition (number and block count 0)
  int messageNumber = 0;  // on failure: 1..7, or 0 for "Fehler: " + field
  std::string message;    // on failure: the text of the message box (Windows-1252)
  int lineIndex = 0;  // on failure: 0-based index of the physical line where the failing logical line begins
};

// Compiles the definition lines (as typed; any text is accepted) with the two titles. Variables are
// looked up in params (names, "*DSNR", direct field references FA.FL and FA.FL>). Never writes past the
// 465 bytes of the definition.
GroupCompileResult CompileGroupDefinition(const TParams& params, const std::vector<std::string>& lines,
                                          std::string_view longTitle, std::string_view shortTitle);

// The definition of a group record as editor lines; compiling them gives back the same definition.
// Any 512 bytes are accepted (a malformed definition renders as far as it is readable).
std::vector<std::string> RenderGroupDefinition(const TParams& params, const GroupRecord& record);

// Whether the record (the record buffer's text: 1-based positions, "*DSNR" at 7975..7980) belongs to the
// group. An empty definition selects every record; a malformed one (counts or lengths pointing past
// the end) selects none. Never reads outside the record or the group record.
bool IsInGroup(std::string_view record, const GroupRecord& group);
// Group g of the parameter object.
bool IsInGroup(std::string_view record, const TParams& params, int g);

}  // namespace veltrix
