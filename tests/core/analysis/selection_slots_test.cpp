#include "core/analysis/selection_slots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/class_divisions.h"
#include "tests/support/recording_ui.h"

namespace veltrix {
namespace {

using test::numericDivision;
using test::textDivision;
using Labels = std::vector<std::string>;

TEST(SelectionSlotsTest, VariablesAreStoredAsSignedLittleEndianPositionsWithTheirTypeByte) {
  SelectionSlot slot{};
  SetSlotVariable(slot, 1, 7975, 6);
  SetSlotVariable(slot, 2, -3, 136);
  SetSlotVariable(slot, 30, 300, 2);
  SetSlotVariable(slot, 31, 5, 5);  // beyond the entries: ignored
  // 7975 = 0x1F27; -3 = 0xFFFD; 300 = 0x012C.
  EXPECT_EQ((std::vector<int>{slot[400], slot[401], slot[402]}), (std::vector<int>{0x27, 0x1F, 6}));
  EXPECT_EQ((std::vector<int>{slot[403], slot[404], slot[405]}), (std::vector<int>{0xFD, 0xFF, 136}));
  EXPECT_EQ((std::vector<int>{slot[487], slot[488], slot[489]}), (std::vector<int>{0x2C, 0x01, 2}));
  EXPECT_EQ(slot[490], 0);

  EXPECT_EQ(SlotVariableAt(slot, 1).position, 7975);
  const SlotVariable text = SlotVariableAt(slot, 2);
  EXPECT_EQ(text.position, -3);
  EXPECT_TRUE(text.isText());
  EXPECT_EQ(text.length(), 8);
  EXPECT_EQ(SlotVariableAt(slot, 30).position, 300);
  EXPECT_EQ(SlotVariableAt(slot, 0).position, 0);
  EXPECT_EQ(SlotVariableAt(slot, 31).typeByte, 0);
}

TEST(SelectionSlotsTest, LabelsAreTenCharacterFieldsAndReadersStayInsideTheirRanges) {
  SelectionSlot slot{};
  SetSlotLabel(slot, 1, "ALTER");
  SetSlotLabel(slot, 2, "EINSEHRLANGERNAME");
  SetSlotLabel(slot, 31, "GESAMT");
  SetSlotLabel(slot, 32, "WEG");
  EXPECT_EQ(SlotLabel(slot, 1), "ALTER     ");
  EXPECT_EQ(SlotLabel(slot, 2), "EINSEHRLAN");
  EXPECT_EQ(SlotLabel(slot, 3), std::string(10, ' '));  // never written: zero bytes read as blanks
  EXPECT_EQ(SlotLabel(slot, 31), "GESAMT    ");
  EXPECT_EQ(SlotLabel(slot, 0), "");
  EXPECT_EQ(SlotLabel(slot, 32), "");
  EXPECT_EQ(slot[310], 0);
  const std::string all = SlotLabels(slot);
  ASSERT_EQ(all.size(), 310u);
  EXPECT_EQ(all.substr(0, 20), "ALTER     EINSEHRLAN");
  EXPECT_EQ(all.substr(300), "GESAMT    ");

  slot[501] = 200;
  EXPECT_EQ(SlotCount(slot), 30);
  slot[501] = 4;
  EXPECT_EQ(SlotCount(slot), 4);
  slot[404] = 17;  // byte 399 + 5
  EXPECT_EQ(SlotGroupNumber(slot, 5), 17);
  EXPECT_EQ(SlotGroupNumber(slot, 31), 0);
  EXPECT_FALSE(SlotInUse(slot));
  slot[498] = 1;
  EXPECT_TRUE(SlotInUse(slot));
}

TEST(SelectionSlotsTest, ByteFourNinetyNineIsTheTransformationPlusOne) {
  const std::vector<std::pair<int, int>> cases = {{0, 0}, {1, 0}, {2, 1}, {10, 9}, {11, 9}, {255, 9}};
  for (const auto& [stored, transformation] : cases) {
    SelectionSlot slot{};
    slot[499] = static_cast<std::uint8_t>(stored);
    EXPECT_EQ(SlotTransformation(slot), transformation) << stored;
  }
  SelectionSlot slot{};
  slot[500] = 1;
  EXPECT_TRUE(SlotCompleteCases(slot));
  EXPECT_EQ(SlotClassNumber(slot), 1);
}

TEST(SelectionSlotsTest, ClassRecordAndGroupNamesSitFromByteThreeHundredTen) {
  SelectionSlot slot{};
  const ClassDivisionRecord division = numericDivision({1, 2});
  std::copy(division.begin(), division.end(), slot.begin() + 310);
  EXPECT_TRUE(SlotClassDivision(slot) == division);

  SelectionSlot groups{};
  const std::string first = "Frauen";
  std::copy(first.begin(), first.end(), groups.begin() + 310);
  groups[345] = 'M';
  EXPECT_EQ(SlotGroupName(groups, 1), "Frauen" + std::string(29, ' '));
  EXPECT_EQ(SlotGroupName(groups, 2), "M" + std::string(34, ' '));
  EXPECT_EQ(SlotGroupName(groups, 3), "");
}

struct LabelCase {
  const char* what;
  ClassDivisionRecord division;
  int number;
  Labels labels;
};

TEST(SelectionSlotsTest, ClassLabelsNameTheBoundariesOrTheTexts) {
  // Numbers by hand: at most five decimals without trailing zeros, right-aligned in 8 behind "<=",
  // in 9 behind ">" and in 10 otherwise.
  const std::vector<LabelCase> cases = {
      {"numeric",
       numericDivision({10, 20.5, 1000000}),
       3,
       {"<=      10", "      20.5", "   1000000", ">  1000000"}},
      {"negative and fractions",
       numericDivision({-2.5, 0.123456}),
       4,
       {"<=    -2.5", "   0.12346", ">  0.12346"}},
      {"one boundary", numericDivision({7}), 1, {"<=       7", ">        7"}},
      {"contains, number 1", textDivision(2, {"MEIER", "AB"}), 1, {"? MEIER   ", "? AB      ", "  SONSTIGE"}},
      {"begins with, number 1", textDivision(3, {"X"}), 1, {"\" X       ", "  SONSTIGE"}},
      {"equal, number 1", textDivision(1, {"ABCDEF"}), 1, {"  ABCDEF  ", "  SONSTIGE"}},
      {"contains, number 5", textDivision(2, {"MEIER"}), 5, {"  MEIER   ", "  SONSTIGE"}},
  };
  for (const LabelCase& c : cases) EXPECT_EQ(ClassLabels(c.division, c.number), c.labels) << c.what;
}

TEST(SelectionSlotsTest, ClassLabelsOfDivisionZeroFillThirtyClasses) {
  test::RecordingUi ui;
  const TParams params(ui);
  const Labels labels = ClassLabels(params.getClassDivision(0), 0);
  ASSERT_EQ(labels.size(), 30u);
  EXPECT_EQ(labels[0], "<=       0");
  EXPECT_EQ(labels[1], "         1");
  EXPECT_EQ(labels[28], "        28");
  EXPECT_EQ(labels[29], ">       28");
}

TEST(SelectionSlotsTest, GroupLabelIsTheShortNameOrGruppeWithTheNumber) {
  test::RecordingUi ui;
  TParams params(ui);
  GroupRecord group{};
  SetGroupTitle(group, kGroupNameOffset, kGroupNameLength, "Junge Frauen");
  SetGroupTitle(group, kGroupShortNameOffset, kGroupShortNameLength, "JF");
  group[kGroupDefinitionOffset] = 1;
  params.putGroup(4, group);
  EXPECT_EQ(GroupLabel(params, 4), "JF        ");
  EXPECT_EQ(GroupLabel(params, 0), "Gesamt    ");
  EXPECT_EQ(GroupLabel(params, 12), "Gruppe 12 ");  // undefined: all zero
  EXPECT_EQ(GroupLabel(params, 123), "Gruppe 123");
}

}  // namespace
}  // namespace veltrix
