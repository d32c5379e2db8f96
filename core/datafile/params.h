// The parameter object: everything that belongs to a statistics file besides its records - the
// variable table (the structure), up to 80 class divisions, up to 255 groups, the significance-level
// settings and the creation date - with its binary file (extension "prm").
//
// File layout, in 128-byte blocks, all numbers little-endian, reals as six-byte reals:
//   block 0   header: version 251 (0 accepted when reading), block counts of the class division and
//             variable areas, variable count, the settings and the creation date; at 48 (16 bits)
//             the number of blocks of the group records (0 in files of older versions, which left
//             the rest of the header zero: their group list is taken as it ends);
//   then      the class division area: each defined division 1..80 as its first 2 + 6 * count bytes,
//             packed, zero-padded to full blocks;
//   then      the variable area: 13 bytes per variable (name 10, position 2, type byte 1), packed,
//             zero-padded to full blocks;
//   then      one record per defined group 1..255, each as its block count * 128 bytes; the end of
//             the file ends the group list.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/stat_record.h"

namespace veltrix {

class Ui;

inline constexpr int kMaxVariables = 1050;
inline constexpr int kDsnrIndex = 1051;  // the pseudo-variable "*DSNR"
inline constexpr int kMaxClassDivisions = 80;
inline constexpr int kMaxGroups = 255;
inline constexpr int kSelectionSlotCount = 8;
inline constexpr int kMaxClassValues = 29;
inline constexpr int kMaxNumericFieldLength = 9;
inline constexpr int kMaxTextFieldLength = 60;
inline constexpr int kVariableNameLength = 10;
inline constexpr int kParamBlockSize = 128;
inline constexpr int kVariableEntrySize = 13;
inline constexpr std::uint8_t kParamFileVersion = 251;

// Class division record: byte 0 its number (a record whose number differs from its slot is
// undefined), byte 1 the count of values (bits 0..4) and the kind (bits 5..7: 0 six-byte reals,
// 1 equal, 2 contains, 3 begins with - the text kinds hold 6-character texts), then 29 values of 6 bytes.
using ClassDivisionRecord = std::array<std::uint8_t, 176>;
// Group record: byte 0 its number (0 undefined), byte 1 its block count in the file (1..4), bytes
// 2..36 the name, 37..46 the short name (both blank-padded), 47..511 the compiled definition (byte 47
// zero: no definition).
using GroupRecord = std::array<std::uint8_t, 512>;
// A selection slot of the variable selection; held in memory only.
using SelectionSlot = std::array<std::uint8_t, 502>;

inline constexpr int kGroupNameOffset = 2;
inline constexpr int kGroupNameLength = 35;
inline constexpr int kGroupShortNameOffset = 37;
inline constexpr int kGroupShortNameLength = 10;
inline constexpr int kGroupDefinitionOffset = 47;
inline constexpr int kGroupDefinitionLength = 465;

// A title of a group record (the long one at kGroupNameOffset, the short one at kGroupShortNameOffset)
// as text: zero bytes read as blanks, trailing blanks removed.
std::string GroupTitle(const GroupRecord& group, int offset, int length);
// Stores a title there, cut or blank-padded to length.
void SetGroupTitle(GroupRecord& group, int offset, int length, std::string_view title);

// The significance-level settings stored in the header.
struct ParamSettings {
  double errorProbabilityA = 0.05;
  double errorProbabilityB = 0.01;
  int testKind = 1;    // 1 one-sided, 2 two-sided
  int testMethod = 1;  // preferred method: 0 parametric, 1 non-parametric
  double factorA = 2;  // mean +- factor * SD
  double factorB = 3;
  double quantileA = 10;  // in %
  double quantileB = 90;
  int whiskerIndex = 0;  // 0..4 for the whisker factors 1, 1.5, 2, 2.5, 3

  friend bool operator==(const ParamSettings&, const ParamSettings&) = default;
};

// One entry of the variable table as get variable reports it.
struct VariableEntry {
  std::string name;           // 10 characters, blank-padded; a text variable's name ends with ">"
  int position = 0;           // field start; negative for a provisional entry
  int length = 0;             // bits 0..6 of the type byte
  std::uint8_t typeByte = 0;  // bit 7: text variable

  bool isText() const { return (typeByte & 128) != 0; }
};

// Result of find variable by name.
struct VariableRef {
  int index = -1;  // 1..1050 a variable, 1051 "*DSNR", 0 a direct field reference, -1 not found
  int position = 0;
  int length = 0;
  std::uint8_t typeByte = 0;
};

// Result of find variable by field.
struct FieldName {
  int index = 0;  // the variable's index, 1051 for "*DSNR", 0 for a generated "FA.FL" name
  std::string name;
};

// Items of a list box with the item selected at first (-1 for an empty list).
struct ItemList {
  std::vector<std::string> items;
  int selected = -1;
};

enum class ParamsReadStatus {
  Ok,
  WrongVersion,  // the structure is empty; the caller deselects the file
  Damaged,       // what was valid is kept; the rest was ignored
};

enum class VariableListMode { All = 0, NumericOnly = 1, TextOnly = 2 };

class TParams {
 public:
  explicit TParams(Ui& ui);

  // Defaults: no variables, header defaults, class division 0 (0, 1, .., 28), group 0 "Gesamt", zero
  // selection slots, both flags cleared. The file name is kept.
  void reset();

  // Reset, then the standard class divisions 1..14; writes the file and sets the backup-made flag.
  // False when the file could not be written.
  bool createDefault(const std::string& fileName);

  // Loads the parameter file. A file with another version byte than 251 or 0 gives "Falsche Version
  // der Parameterdatei" and an empty structure. A file shorter than one block (an empty one too)
  // reads as an empty structure without a message. A damaged file (cut short, also between two group
  // records, counts that point past its end or past the limits, invalid or overlapping variables,
  // settings outside their ranges) keeps what is valid, takes the default for each setting out of
  // range and gives "Fehler beim Lesen der Parameterdatei " + name once. Overlapping provisional
  // entries are dropped silently.
  ParamsReadStatus read(const std::string& fileName);

  // Saves everything under fileName() through ReplaceFileSafely: the file is written to a new
  // temporary file "<name>.pr$-" + a unique suffix (created exclusively, so a stray "<name>.pr$" or a
  // link planted under such a name is never followed or in the way), flushed to the disk and given
  // the old file's permissions; then, at the first save after reading, the old parameter file is kept
  // as ".prb" (a new hard link or copy; whatever stood under that name is removed first), and the
  // temporary file is renamed over the parameter file in one step (over the file a symbolic link
  // points to; the link stays). On failure "Fehler beim Schreiben der Parameterdatei " + name is
  // shown, the temporary file removed and the old parameter file left as it was.
  bool write();

  const std::string& fileName() const { return m_fileName; }
  void setFileName(std::string name) { m_fileName = std::move(name); }

  // The stored image without touching the disk: the bytes of the file (write() sets a missing creation
  // date first), and the reading of such bytes (as read() without messages; it resets first).
  std::vector<std::uint8_t> encode() const;
  ParamsReadStatus decode(std::span<const std::uint8_t> bytes);

  // Header settings and creation date (packed date, 0 until the first write).
  const ParamSettings& settings() const { return m_settings; }
  void setSettings(const ParamSettings& settings) { m_settings = settings; }
  std::int32_t creationDate() const { return m_creationDate; }
  void setCreationDate(std::int32_t date) { m_creationDate = date; }

  // Selection slots 1..8. clearSelectionSlots(0) clears all eight; other numbers are ignored, as are
  // puts outside 1..8; a get outside gives zeros.
  void clearSelectionSlots(int slot);
  SelectionSlot selectionSlot(int slot) const;
  void putSelectionSlot(int slot, const SelectionSlot& contents);

  // Class divisions 0..80. Put sets the number byte, limits the count to 29 and zeroes the unused
  // values; puts to 0 (the fixed division) and outside 1..80 are ignored. A get outside 0..80 gives
  // an all-zero record.
  ClassDivisionRecord getClassDivision(int index) const;
  void putClassDivision(int index, const ClassDivisionRecord& record);
  // A list line: the two-digit number right-aligned in 2 characters, the kind marker ("N" numeric,
  // "I" equal, "E" contains, "B" begins with, "T" another text kind), two blanks, then from the 6th
  // character on the values separated by "," (reals with about six significant digits, texts without
  // trailing blanks); once the line passes 40 characters the remaining values show as "...". At most
  // 80 characters. An undefined division has no marker and no values, so its text from the 6th
  // character on is blank.
  std::string classDivisionText(int index) const;

  // Groups 0..255. Put of a group with a definition sets the number byte and fills an empty name with
  // "Gruppe Nr. " + number and an empty short name with "G" + number; put of a group without
  // definition stores 512 zero bytes. Puts to 0 ("Gesamt") and outside 1..255 are ignored; a get
  // outside 0..255 gives an all-zero record.
  // A reference to the stored record (an all-zero one outside 0..255), so the membership test of a
  // data pass reads it without a copy per record; it shows later puts.
  const GroupRecord& getGroup(int index) const;
  void putGroup(int index, const GroupRecord& record);
  // A list line: the number right-aligned in 3 characters, ": ", and the 35-character name (zero
  // bytes of an undefined group shown as blanks).
  std::string groupText(int index) const;

  // The variable table, entries 1..variableCount().
  int variableCount() const { return m_count; }
  // Clamped to 0..1050; entries beyond the new count are emptied.
  void setVariableCount(int count);
  // Outside 1..1050 the "*DSNR" entry; beyond the count an empty entry.
  VariableEntry getVariable(int index) const;
  // index 1..1050 (others ignored); the name is cut or blank-padded to 10 characters, and a name
  // ending in ">" marks a text variable. A position outside the signed 16-bit range is ignored too.
  void putVariable(int index, std::string_view name, int position, int length);

  // A variable name (trimmed and blank-padded to 10 characters), "*DSNR", or a direct field
  // reference "FA.FL" (numeric, FL 1..9) or "FA.FL>" (text, FL 1..60), with FA + FL at most 7822.
  VariableRef findVariableByName(std::string_view name) const;
  // The variable at position with the identical type byte; "*DSNR" for position 7975 and length 6;
  // otherwise the generated name "FA.FL" (">" added for text), cut to 10 characters.
  FieldName findVariableByField(int position, int typeByte) const;

  // Variable names (10 characters) in table order, then "*DSNR" unless text only.
  ItemList listVariables(VariableListMode mode) const;
  // For the numbers 0..20 whose text is not blank from its 6th character on: "{3" + the text.
  ItemList listClassDivisions() const;
  ItemList listGroups() const;

  // Renames "*DSNR" to "X_*DSNR" and each later duplicate to its name cut to 8 characters + "_" + the
  // first suffix character (1..9, A..Z) that gives a name no other variable has; a text variable's
  // name is cut to 7 characters and keeps its ">" at the end. False when a duplicate could not be
  // renamed (it then stays).
  bool makeNamesUnique();

  FieldValueResult fieldValue(std::string_view record, int position, int typeByte) const {
    return FieldValue(record, position, typeByte);
  }

  bool backupMade() const { return m_backupMade; }
  void setBackupMade(bool made) { m_backupMade = made; }
  bool modified() const { return m_modified; }
  void setModified(bool modified) { m_modified = modified; }

 private:
  struct Entry {
    std::array<char, kVariableNameLength> name{};
    std::int16_t position = 0;
    std::uint8_t typeByte = 0;
  };

  // Sets the group block counts and a missing creation date.
  void prepareForWrite();
  bool replaceFile(const std::vector<std::uint8_t>& bytes);
  void ensureNameIndex() const;
  void resetVariables();
  // Drops overlapping provisional entries and makes the others' positions positive.
  void settleProvisionalEntries();
  // Drop entries with an impossible position or length, and entries that begin before the previous
  // one ends (overlapping or out of order); true when one was dropped.
  bool dropMalformedEntries();
  bool dropOverlappingEntries();
  void removeEntry(int index);

  Ui& m_ui;
  std::string m_fileName;
  ParamSettings m_settings;
  std::int32_t m_creationDate = 0;
  int m_count = 0;
  std::vector<Entry> m_entries;                // index 1..1050; 0 unused
  std::vector<ClassDivisionRecord> m_classes;  // 0..80
  std::vector<GroupRecord> m_groups;           // 0..255
  std::array<SelectionSlot, kSelectionSlotCount> m_slots{};
  mutable std::vector<std::int16_t> m_nameIndex;  // variable indexes in byte order of their names
  mutable bool m_nameIndexValid = false;
  bool m_backupMade = false;
  bool m_modified = false;
};

// Length of a compiled group definition up to and including its terminating zero byte (1 for an
// empty definition); a definition that does not end inside its 465 bytes counts as 465.
int GroupDefinitionEnd(const GroupRecord& group);

}  // namespace veltrix
