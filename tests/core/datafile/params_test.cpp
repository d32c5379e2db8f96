#include "core/datafile/params.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/datafile/date_time.h"
#include "core/stats/real48.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Bytes = std::vector<std::uint8_t>;

// A group whose definition is one numeric term on the field at 1 of length 3 with the single values
// 1..values: head, 3 bytes per variable, count byte, range count, 6 bytes per value, then the zero
// byte, which therefore stands at definition position 7 + 6 * values.
GroupRecord numericGroup(int values, std::string_view name = "") {
  GroupRecord g{};
  std::fill(g.begin() + kGroupNameOffset, g.begin() + kGroupDefinitionOffset, ' ');
  std::copy(name.begin(), name.end(), g.begin() + kGroupNameOffset);
  std::uint8_t* d = g.data() + kGroupDefinitionOffset;
  d[0] = 1;
  d[1] = 1;  // position 1, little-endian
  d[2] = 0;
  d[3] = 3;  // numeric, length 3
  d[4] = static_cast<std::uint8_t>(values);
  d[5] = 0;
  for (int i = 0; i < values; ++i) writeReal48(i + 1, d + 6 + 6 * i);
  return g;
}

// A text term on the text field at 10 of length 5 with the given 6-character values, mode "equal".
GroupRecord textGroup(const std::vector<std::string>& values) {
  GroupRecord g{};
  std::fill(g.begin() + kGroupNameOffset, g.begin() + kGroupDefinitionOffset, ' ');
  std::uint8_t* d = g.data() + kGroupDefinitionOffset;
  d[0] = 1;
  d[1] = 10;
  d[3] = 128 + 5;
  d[4] = static_cast<std::uint8_t>(64 + values.size());
  d[5] = 2;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string v = values[i];
    v.resize(6, ' ');
    std::copy(v.begin(), v.end(), d + 6 + 6 * i);
  }
  return g;
}

ClassDivisionRecord numericDivision(const std::vector<double>& values) {
  ClassDivisionRecord r{};
  r[1] = static_cast<std::uint8_t>(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) writeReal48(values[i], r.data() + 2 + 6 * i);
  return r;
}

ClassDivisionRecord textDivision(int kind, const std::vector<std::string>& values) {
  ClassDivisionRecord r{};
  r[1] = static_cast<std::uint8_t>(values.size() + 32 * kind);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string v = values[i];
    v.resize(6, ' ');
    std::copy(v.begin(), v.end(), r.begin() + 2 + 6 * static_cast<std::ptrdiff_t>(i));
  }
  return r;
}

// A structure with a bit of everything: numeric and text variables, numeric and text class
// divisions, groups of 1 to 4 blocks, settings other than the defaults.
void fillSample(TParams& p) {
  p.putVariable(1, "ALTER", 1, 3);
  p.putVariable(2, "NAME>", 10, 5);
  p.putVariable(3, "GEWICHT", 20, 6);
  p.putVariable(4, "BEMERKUNG>", 100, 60);
  p.putVariable(5, "LETZTE", 7813, 9);
  p.setVariableCount(5);
  p.putClassDivision(3, numericDivision({10, 20, 30}));
  p.putClassDivision(4, textDivision(2, {"A;", "B;"}));
  p.putClassDivision(80, numericDivision({-1.5, 0.1, 1e10}));
  p.putGroup(1, numericGroup(1, "Alle mit Alter 1"));
  p.putGroup(2, numericGroup(13));  // 2 blocks
  p.putGroup(3, numericGroup(34));  // 3 blocks
  p.putGroup(4, textGroup({"MEIER", "SCHULZ"}));
  p.putGroup(255, numericGroup(56));  // 4 blocks
  ParamSettings s;
  s.errorProbabilityA = 0.1;
  s.errorProbabilityB = 0.001;
  s.testKind = 2;
  s.testMethod = 0;
  s.factorA = 1.5;
  s.factorB = 2.5;
  s.quantileA = 5;
  s.quantileB = 95;
  s.whiskerIndex = 3;
  p.setSettings(s);
  p.setCreationDate(PackDate(15, 3, 2024));
}

class ParamsTest : public test::TempDirTest {
 protected:
  ParamsTest() : TempDirTest("veltrix_params") {}
  void SetUp() override {
    TempDirTest::SetUp();
    name = path("studie.prm");
  }

  static Bytes load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void save(const std::string& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::string sibling(const char* extension) const {
    return (m_dir / (std::string("studie.") + extension)).string();
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Saves bytes as the parameter file and reads it into params, which must report it as damaged once.
  void expectDamagedRead(const Bytes& bytes, TParams& params, test::ScriptedUi& local) {
    save(name, bytes);
    local.expectError("Fehler beim Lesen der Parameterdatei " + name);
    EXPECT_EQ(params.read(name), ParamsReadStatus::Damaged);
    EXPECT_TRUE(local.allPlayed());
  }

  std::string name;
  test::ScriptedUi ui;
};

TEST_F(ParamsTest, HeaderAndAreasOfASmallFileByteForByte) {
  TParams p(ui);
  p.putVariable(1, "ALTER", 1, 3);
  p.putVariable(2, "NAME>", 4, 20);
  p.setVariableCount(2);
  p.putGroup(1, numericGroup(1, "G"));
  p.setCreationDate(PackDate(15, 3, 2024));
  const Bytes b = p.encode();

  // Header block, variable area of 1 block (26 bytes), one group of 1 block; no class division
  // besides the fixed 0, so the class division area has 0 blocks.
  ASSERT_EQ(b.size(), 384u);
  struct Expect {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
    const char* why;
  };
  const Expect expected[] = {
      {0, {251, 0, 1, 2, 0}, "version, class blocks, variable blocks, count 2 (little-endian)"},
      // 0.05 = 1.6 * 2^-5: exponent 129 - 5 = 124, fraction round(0.6 * 2^39) = 0x4CCCCCCCCD.
      {5, {124, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}, "error probability A 0.05"},
      // 0.01 = 1.28 * 2^-7: exponent 122, fraction round(0.28 * 2^39) = 0x23D70A3D71.
      {11, {122, 0x71, 0x3D, 0x0A, 0xD7, 0x23}, "error probability B 0.01"},
      {17, {1, 1}, "one-sided, non-parametric"},
      {19, {130, 0, 0, 0, 0, 0}, "factor A 2 = 1.0 * 2^1"},
      {25, {130, 0, 0, 0, 0, 0x40}, "factor B 3 = 1.5 * 2^1: top fraction bit"},
      {31, {132, 0, 0, 0, 0, 0x20}, "quantile A 10 = 1.25 * 2^3"},
      {37, {135, 0, 0, 0, 0, 0x34}, "quantile B 90 = 1.40625 * 2^6: fraction bits 0110100"},
      {43, {0}, "whisker factor index"},
      {44, {0x0F, 0x03, 0xE8, 0x07}, "15.3.2024 = 2024 * 65536 + 3 * 256 + 15 = 0x07E8030F"},
      {48, {1, 0}, "one block of group records follows the variable area"},
      {50, std::vector<std::uint8_t>(78, 0), "rest of the header"},
      {128, {'A', 'L', 'T', 'E', 'R', ' ', ' ', ' ', ' ', ' ', 1, 0, 3}, "ALTER at 1, length 3"},
      {141, {'N', 'A', 'M', 'E', '>', ' ', ' ', ' ', ' ', ' ', 4, 0, 128 + 20}, "NAME> at 4, text of 20"},
      {154, std::vector<std::uint8_t>(102, 0), "variable area padding"},
      {256, {1, 1, 'G', ' '}, "group 1 in 1 block, its name"},
      {256 + 47, {1, 1, 0, 3, 1, 0, 129, 0, 0, 0, 0, 0, 0}, "definition: ALTER : 1, then the zero byte"},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.why);
    EXPECT_EQ(Bytes(b.begin() + static_cast<std::ptrdiff_t>(e.offset),
                    b.begin() + static_cast<std::ptrdiff_t>(e.offset + e.bytes.size())),
              e.bytes);
  }
}

TEST_F(ParamsTest, FileRoundTripIsByteForByte) {
  TParams p(ui);
  p.setFileName(name);
  fillSample(p);
  ASSERT_TRUE(p.write());
  const Bytes first = load(name);

  TParams q(ui);
  ASSERT_EQ(q.read(name), ParamsReadStatus::Ok);
  ASSERT_TRUE(q.write());
  EXPECT_EQ(load(name), first);

  // Layout: header, class divisions 3, 4, 80 (2 + 18, 2 + 12, 2 + 18 = 54 bytes, 1 block), five
  // variables (65 bytes, 1 block), groups of 1, 2, 3, 1 and 4 blocks.
  EXPECT_EQ(first.size(), (1u + 1 + 1 + 1 + 2 + 3 + 1 + 4) * 128);
  EXPECT_EQ(first[1], 1);
  EXPECT_EQ(first[2], 1);
  const std::size_t groupStarts[] = {384, 512, 768, 1152, 1280};
  const int groupNumbers[] = {1, 2, 3, 4, 255};
  const int groupBlocks[] = {1, 2, 3, 1, 4};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(groupNumbers[i]);
    EXPECT_EQ(first[groupStarts[i]], groupNumbers[i]);
    EXPECT_EQ(first[groupStarts[i] + 1], groupBlocks[i]);
    EXPECT_EQ(q.getGroup(groupNumbers[i]), p.getGroup(groupNumbers[i]));
  }

  // The settings come back in their stored six-byte form (0.1 and 0.001 are not exact in it).
  ParamSettings stored = p.settings();
  for (double* v : {&stored.errorProbabilityA, &stored.errorProbabilityB, &stored.factorA, &stored.factorB,
                    &stored.quantileA, &stored.quantileB})
    *v = Real48::fromDouble(*v).toDouble();
  EXPECT_NE(stored.errorProbabilityA, 0.1);
  EXPECT_EQ(q.settings(), stored);
  EXPECT_EQ(q.creationDate(), PackDate(15, 3, 2024));
  ASSERT_EQ(q.variableCount(), 5);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(q.getVariable(i).name, p.getVariable(i).name);
    EXPECT_EQ(q.getVariable(i).typeByte, p.getVariable(i).typeByte);
  }
  for (const int k : {3, 4, 80}) EXPECT_EQ(q.getClassDivision(k), p.getClassDivision(k));
}

TEST_F(ParamsTest, WriteStampsTheCreationDateAndGroupBlockCounts) {
  TParams p(ui);
  p.setFileName(name);
  p.putGroup(9, numericGroup(13));
  p.setModified(true);
  const std::int32_t before = Today();
  ASSERT_TRUE(p.write());
  EXPECT_FALSE(p.modified());
  EXPECT_GE(p.creationDate(), before);
  EXPECT_LE(p.creationDate(), Today());
  EXPECT_EQ(p.getGroup(9)[1], 2);  // 47 + 85 = 132 bytes need 2 blocks
}

TEST_F(ParamsTest, NoVariablesGiveAnEmptyVariableArea) {
  TParams p(ui);
  const Bytes b = p.encode();
  EXPECT_EQ(b.size(), 128u);
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(b[2], 0);
}

TEST_F(ParamsTest, GroupDefinitionEndFollowsTheTermLayout) {
  GroupRecord twoTerms = numericGroup(1);
  // A second term after the first one's 12 bytes: NOT over two numeric variables with 2 ranges.
  std::uint8_t* d = twoTerms.data() + kGroupDefinitionOffset + 12;
  d[0] = 64 + 2;
  d[7] = 0;   // no single values
  d[8] = 2;   // two ranges of 12 bytes
  d[33] = 0;  // 1 + 6 + 2 + 24 = 33 bytes, then the zero byte
  GroupRecord endless{};
  std::fill(endless.begin() + kGroupDefinitionOffset, endless.end(), 1);
  struct Case {
    const char* what;
    GroupRecord group;
    int end;
  };
  const Case cases[] = {
      {"no definition", GroupRecord{}, 1},
      {"one value: 1 + 3 + 2 + 6 bytes", numericGroup(1), 13},
      {"56 values: 7 + 6 * 56", numericGroup(56), 343},
      {"two text values: 1 + 3 + 2 + 12", textGroup({"A", "B"}), 19},
      {"second term: 12 + 33 bytes", twoTerms, 46},
      {"no terminating zero", endless, 465},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(GroupDefinitionEnd(c.group), c.end);
  }
}

TEST_F(ParamsTest, CreateDefaultWritesTheStandardClassDivisions) {
  TParams p(ui);
  ASSERT_TRUE(p.createDefault(name));
  EXPECT_TRUE(p.backupMade());
  EXPECT_FALSE(std::filesystem::exists(sibling("prb")));
  EXPECT_FALSE(std::filesystem::exists(sibling("pr$")));
  // 14 divisions with 192 values in all: 14 * 2 + 192 * 6 = 1180 bytes, 10 blocks.
  const Bytes b = load(name);
  EXPECT_EQ(b.size(), 128u + 10 * 128);
  EXPECT_EQ(b[1], 10);

  struct Case {
    int number, count;
    double first, last;
  };
  const Case cases[] = {{1, 29, 1, 29},   {2, 11, 0, 100},   {3, 21, 0, 100}, {4, 11, 0, 1000},
                        {5, 21, 0, 1000}, {6, 11, 0, 10000}, {7, 29, 0, 2.8}, {8, 21, 0, 10},
                        {9, 21, -10, 10}, {10, 11, -50, 50}, {11, 2, 0, 1},   {12, 2, 1, 2},
                        {13, 1, 0, 0},    {14, 1, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    const ClassDivisionRecord r = p.getClassDivision(c.number);
    EXPECT_EQ(r[0], c.number);
    EXPECT_EQ(r[1], c.count);
    EXPECT_EQ(readReal48(r.data() + 2), c.first);
    // Steps of 0.1 carry the six-byte rounding along (28 additions of a value with 39 fraction bits).
    EXPECT_NEAR(readReal48(r.data() + 2 + 6 * (c.count - 1)), c.last, 1e-9);
  }
  EXPECT_EQ(p.getClassDivision(15), ClassDivisionRecord{});
}

TEST_F(ParamsTest, ClassDivisionAndGroupTexts) {
  TParams p(ui);
  p.putClassDivision(1, numericDivision({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
  p.putClassDivision(2, numericDivision({0.5, -2, 1e6}));
  p.putClassDivision(15, textDivision(1, {"MEIER", "A"}));
  p.putClassDivision(16, textDivision(3, {"X"}));
  p.putClassDivision(13, numericDivision({0}));
  p.putGroup(3, numericGroup(1, "Frauen"));
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      // The number in two characters, the marker, two blanks, the values from character 6 on.
      // Values are appended while the line holds at most 40 characters: " 1N  1,..,15" has 40, so
      // 16 is still added (43), then the rest shows as "...".
      {p.classDivisionText(1), " 1N  1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,..."},
      {p.classDivisionText(2), " 2N  0.5,-2,1000000"},
      {p.classDivisionText(0), " 0N  0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,..."},  // 39 before 15
      {p.classDivisionText(15), "15I  MEIER,A"},
      {p.classDivisionText(16), "16B  X"},
      {p.classDivisionText(5), " 5"},
      {p.classDivisionText(13), "13N  0"},  // a single short value still stands at character 6
      {p.groupText(0), "  0: Gesamt" + std::string(29, ' ')},
      {p.groupText(3), "  3: Frauen" + std::string(29, ' ')},
      {p.groupText(4), "  4: " + std::string(35, ' ')},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);

  const ItemList classes = p.listClassDivisions();
  EXPECT_EQ(classes.items,
            (std::vector<std::string>{"{3" + p.classDivisionText(0), "{3" + p.classDivisionText(1),
                                      "{3" + p.classDivisionText(2), "{3" + p.classDivisionText(13),
                                      "{3" + p.classDivisionText(15), "{3" + p.classDivisionText(16)}));
  p.putGroup(21, numericGroup(1));  // lists end at 20
  const ItemList groups = p.listGroups();
  EXPECT_EQ(groups.items, (std::vector<std::string>{"{3" + p.groupText(0), "{3" + p.groupText(3)}));
  EXPECT_EQ(groups.selected, 0);
}

TEST_F(ParamsTest, PutsOutsideTheirRangesChangeNothing) {
  TParams p(ui);
  fillSample(p);
  const Bytes before = p.encode();
  p.putVariable(0, "NULL", 1, 1);
  p.putVariable(1051, "DSNR", 1, 1);
  p.putVariable(-7, "NEG", 1, 1);
  p.putVariable(1, "BIG", 40000, 1);  // beyond signed 16 bits
  p.putClassDivision(0, numericDivision({1}));
  p.putClassDivision(81, numericDivision({1}));
  p.putClassDivision(-1, numericDivision({1}));
  p.putGroup(0, numericGroup(1, "X"));
  p.putGroup(256, numericGroup(1, "X"));
  p.putGroup(-1, numericGroup(1, "X"));
  p.putSelectionSlot(0, SelectionSlot{1});
  p.putSelectionSlot(9, SelectionSlot{1});
  p.clearSelectionSlots(9);
  EXPECT_EQ(p.encode(), before);
  EXPECT_EQ(p.getClassDivision(81), ClassDivisionRecord{});
  EXPECT_EQ(p.getGroup(256), GroupRecord{});
  EXPECT_EQ(p.selectionSlot(9), SelectionSlot{});
  for (const int index : {0, 1051, 5000, -3}) {
    SCOPED_TRACE(index);
    const VariableEntry e = p.getVariable(index);
    EXPECT_EQ(e.name, "*DSNR     ");
    EXPECT_EQ(e.position, 7975);
    EXPECT_EQ(e.length, 6);
  }
}

TEST_F(ParamsTest, PutVariableGroupAndClassDivisionRules) {
  TParams p(ui);
  p.putVariable(1, "ABCDEFGHIJKL", 1, 2);
  p.putVariable(2, "TEXT> ", 5, 200);  // the length keeps bits 0..6: 200 & 127 = 72
  p.setVariableCount(2);
  EXPECT_EQ(p.getVariable(1).name, "ABCDEFGHIJ");
  EXPECT_EQ(p.getVariable(1).typeByte, 2);
  EXPECT_EQ(p.getVariable(2).name, "TEXT>     ");
  EXPECT_EQ(p.getVariable(2).typeByte, 128 + 72);
  EXPECT_EQ(p.getVariable(3).name, "          ");  // beyond the count
  p.setVariableCount(1);
  EXPECT_EQ(p.getVariable(2).position, 0);

  // A group with a definition gets default titles; one without is stored as 512 zero bytes and is
  // not written.
  p.putGroup(5, numericGroup(1));
  const GroupRecord g = p.getGroup(5);
  EXPECT_EQ(g[0], 5);
  EXPECT_EQ(std::string(g.begin() + 2, g.begin() + 47), "Gruppe Nr. 5" + std::string(23, ' ') + "G5        ");
  const std::size_t sizeWithout = [&] {
    TParams q(ui);
    return q.encode().size();
  }();
  GroupRecord undefined = numericGroup(1, "Name");
  undefined[kGroupDefinitionOffset] = 0;
  p.putGroup(5, undefined);
  p.putGroup(7, undefined);
  EXPECT_EQ(p.getGroup(7), GroupRecord{});
  EXPECT_EQ(p.encode().size(), sizeWithout + 128);  // the header and ABCDEFGHIJ's block only

  // A class division gets its number, at most 29 values, and zeros behind its values.
  ClassDivisionRecord c{};
  c.fill(0xEE);
  c[1] = 31;
  p.putClassDivision(6, c);
  const ClassDivisionRecord stored = p.getClassDivision(6);
  EXPECT_EQ(stored[0], 6);
  EXPECT_EQ(stored[1], 29);  // 31 & 31 values, kind 0
  EXPECT_EQ(stored[175], 0xEE);
  c[1] = 2;
  p.putClassDivision(6, c);
  EXPECT_EQ(p.getClassDivision(6)[14], 0);
}

TEST_F(ParamsTest, FindVariableByName) {
  TParams p(ui);
  fillSample(p);
  struct Case {
    const char* name;
    int index, position, length, typeByte;
    const char* why;
  };
  const Case cases[] = {
      {"ALTER", 1, 1, 3, 3, "a variable"},
      {"  ALTER ", 1, 1, 3, 3, "blanks around the name"},
      {"NAME>", 2, 10, 5, 133, "a text variable"},
      {"BEMERKUNG>", 4, 100, 60, 188, "ten characters"},
      {"ALTE", -1, 0, 0, 0, "a prefix is no match"},
      {"ALTERXXXXXX", -1, 0, 0, 0, "longer than 10 characters"},
      {"*DSNR", 1051, 7975, 6, 6, "the record number"},
      {"120.5>", 0, 120, 5, 133, "direct text field at 120 of length 5"},
      {"120.12", -1, 0, 0, 0, "numeric fields hold at most 9 characters"},
      {"120.12>", 0, 120, 12, 140, "text fields up to 60"},
      {"1.60>", 0, 1, 60, 188, "longest text field"},
      {"1.61>", -1, 0, 0, 0, "text field too long"},
      {"7821.1", 0, 7821, 1, 1, "last position"},
      {"7821.2", -1, 0, 0, 0, "FA + FL = 7823"},
      {"7762.60>", 0, 7762, 60, 188, "FA + FL = 7822"},
      {"7822.1", -1, 0, 0, 0, "beyond the record"},
      {"0.5", -1, 0, 0, 0, "position 0"},
      {"5.0", -1, 0, 0, 0, "length 0"},
      {"99999999999.1", -1, 0, 0, 0, "overlong position"},
      {"12", -1, 0, 0, 0, "no point"},
      {"1.5.3", -1, 0, 0, 0, "two points"},
      {"+1.5", -1, 0, 0, 0, "sign"},
      {".5", -1, 0, 0, 0, "no position"},
      {"", -1, 0, 0, 0, "empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": " + c.why);
    const VariableRef ref = p.findVariableByName(c.name);
    EXPECT_EQ(ref.index, c.index);
    EXPECT_EQ(ref.position, c.position);
    EXPECT_EQ(ref.length, c.length);
    EXPECT_EQ(ref.typeByte, c.typeByte);
  }
}

TEST_F(ParamsTest, FindVariableByNameSearchesAFullTable) {
  TParams p(ui);
  // Names in an order unrelated to the table: variable i is named N + (i * 389 mod 1051), which runs
  // through distinct numbers because 1051 is prime.
  const auto nameOf = [](int i) {
    std::string digits = std::to_string(i * 389 % 1051);
    return "N" + std::string(4 - digits.size(), '0') + digits;
  };
  for (int i = 1; i <= kMaxVariables; ++i) p.putVariable(i, nameOf(i), i, 1);
  p.setVariableCount(kMaxVariables);
  for (int i = 1; i <= kMaxVariables; ++i) {
    const VariableRef ref = p.findVariableByName(nameOf(i));
    ASSERT_EQ(ref.index, i) << nameOf(i);
    ASSERT_EQ(ref.position, i);
  }
  EXPECT_EQ(p.findVariableByName("N0000").index, -1);  // 1051 * k is never reached
  EXPECT_EQ(p.findVariableByName("N1051").index, -1);
  // Renaming is seen by the next search.
  p.putVariable(7, "ZZZ", 7, 1);
  EXPECT_EQ(p.findVariableByName("ZZZ").index, 7);
  EXPECT_EQ(p.findVariableByName(nameOf(7)).index, -1);
}

TEST_F(ParamsTest, FindVariableByField) {
  TParams p(ui);
  fillSample(p);
  struct Case {
    int position, typeByte, index;
    const char* name;
  };
  const Case cases[] = {
      {1, 3, 1, "ALTER     "},    {10, 133, 2, "NAME>     "},     {7813, 9, 5, "LETZTE    "},
      {10, 5, 0, "10.5"},  // same position, numeric: no variable
      {1, 4, 0, "1.4"},           {120, 133, 0, "120.5>"},        {7975, 6, 1051, "*DSNR"},
      {7975, 134, 1051, "*DSNR"}, {123456, 255, 0, "123456.127"},  // cut to 10 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FieldName f = p.findVariableByField(c.position, c.typeByte);
    EXPECT_EQ(f.index, c.index);
    EXPECT_EQ(f.name, c.name);
  }
}

TEST_F(ParamsTest, ListVariables) {
  TParams p(ui);
  fillSample(p);
  using L = std::vector<std::string>;
  EXPECT_EQ(p.listVariables(VariableListMode::All).items,
            (L{"ALTER     ", "NAME>     ", "GEWICHT   ", "BEMERKUNG>", "LETZTE    ", "*DSNR     "}));
  EXPECT_EQ(p.listVariables(VariableListMode::NumericOnly).items,
            (L{"ALTER     ", "GEWICHT   ", "LETZTE    ", "*DSNR     "}));
  EXPECT_EQ(p.listVariables(VariableListMode::TextOnly).items, (L{"NAME>     ", "BEMERKUNG>"}));
  EXPECT_EQ(p.listVariables(VariableListMode::All).selected, 0);
  TParams empty(ui);
  EXPECT_EQ(empty.listVariables(VariableListMode::TextOnly).selected, -1);
}

TEST_F(ParamsTest, MakeNamesUnique) {
  struct Var {
    std::string name;
    int length;
  };
  struct Case {
    const char* what;
    std::vector<Var> vars;
    std::vector<std::string> names;
    bool unique;
  };
  const Case cases[] = {
      {"a duplicate gets _1", {{"A", 1}, {"A", 1}}, {"A", "A_1"}, true},
      {"each further duplicate the next suffix", {{"A", 1}, {"A", 1}, {"A", 1}}, {"A", "A_1", "A_2"}, true},
      {"a suffix some other variable has is skipped",
       {{"A", 1}, {"A", 1}, {"A_1", 1}},
       {"A", "A_2", "A_1"},
       true},
      {"*DSNR is renamed", {{"*DSNR", 1}}, {"X_*DSNR"}, true},
      {"cut to 8 characters", {{"LONGNAME10", 1}, {"LONGNAME10", 1}}, {"LONGNAME10", "LONGNAME_1"}, true},
      {"a text variable stays a text variable", {{"NAME>", 5}, {"NAME>", 5}}, {"NAME>", "NAME_1>"}, true},
      {"text names are cut to 7", {{"TEXTNAME9>", 5}, {"TEXTNAME9>", 5}}, {"TEXTNAME9>", "TEXTNAM_1>"}, true},
      {"same name, one text and one numeric, differ", {{"AB>", 5}, {"AB", 1}}, {"AB>", "AB"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TParams p(ui);
    for (std::size_t i = 0; i < c.vars.size(); ++i)
      p.putVariable(static_cast<int>(i + 1), c.vars[i].name, static_cast<int>(10 * i + 1), c.vars[i].length);
    p.setVariableCount(static_cast<int>(c.vars.size()));
    const std::uint8_t textType = p.getVariable(1).typeByte;
    EXPECT_EQ(p.makeNamesUnique(), c.unique);
    for (std::size_t i = 0; i < c.names.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      EXPECT_EQ(p.getVariable(index).name, c.names[i] + std::string(10 - c.names[i].size(), ' '));
      EXPECT_EQ(p.findVariableByName(c.names[i]).index, index);
    }
    if (c.vars.size() == 2 && c.vars[1].name == c.vars[0].name) {
      EXPECT_EQ(p.getVariable(2).typeByte, textType);
    }
  }
}

TEST_F(ParamsTest, MakeNamesUniqueFailsWhenTheSuffixesRunOut) {
  TParams p(ui);
  // B, then 35 renamed copies B_1 .. B_Z, then one B too many.
  for (int i = 1; i <= 37; ++i) p.putVariable(i, "B", 2 * i - 1, 1);
  p.setVariableCount(37);
  EXPECT_FALSE(p.makeNamesUnique());
  EXPECT_EQ(p.getVariable(2).name, "B_1       ");
  EXPECT_EQ(p.getVariable(36).name, "B_Z       ");
  EXPECT_EQ(p.getVariable(37).name, "B         ");
}

TEST_F(ParamsTest, ReadDropsOverlappingProvisionalEntriesSilently) {
  TParams p(ui);
  p.setFileName(name);
  p.putVariable(1, "A", 1, 5);    // 1..5
  p.putVariable(2, "B", -6, 3);   // provisional 6..8 reaches C's start 8: dropped
  p.putVariable(3, "C", -8, 5);   // provisional 8..12 between A and D: becomes 8
  p.putVariable(4, "D", -20, 2);  // provisional 20..21 reaches E's start 21: dropped
  p.putVariable(5, "E", 21, 2);
  p.setVariableCount(5);
  ASSERT_TRUE(p.write());
  TParams q(ui);
  ASSERT_EQ(q.read(name), ParamsReadStatus::Ok);
  ASSERT_EQ(q.variableCount(), 3);
  EXPECT_EQ(q.getVariable(2).name, "C         ");
  EXPECT_EQ(q.getVariable(2).position, 8);
  EXPECT_EQ(q.getVariable(3).name, "E         ");
  EXPECT_EQ(q.findVariableByName("E").index, 3);
}

TEST_F(ParamsTest, WrongVersionLeavesAnEmptyStructure) {
  TParams p(ui);
  p.setFileName(name);
  fillSample(p);
  ASSERT_TRUE(p.write());
  Bytes b = load(name);
  b[0] = 250;
  save(name, b);
  ui.expectError("Falsche Version der Parameterdatei");
  EXPECT_EQ(p.read(name), ParamsReadStatus::WrongVersion);
  EXPECT_EQ(p.variableCount(), 0);
  EXPECT_EQ(p.getGroup(1), GroupRecord{});
  EXPECT_EQ(p.getClassDivision(3), ClassDivisionRecord{});

  b[0] = 0;  // the version byte of old files
  save(name, b);
  EXPECT_EQ(p.read(name), ParamsReadStatus::Ok);
  EXPECT_EQ(p.variableCount(), 5);
}

TEST_F(ParamsTest, DamagedFilesKeepWhatIsValidAndReportOnce) {
  TParams good(ui);
  fillSample(good);
  const Bytes image = good.encode();
  // Offsets: header 0, class divisions 128, variables 256 (5 x 13 bytes), groups from 384.
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    int variables;
  };
  const auto setCount = [](Bytes& b, int count) {
    b[3] = static_cast<std::uint8_t>(count & 0xFF);
    b[4] = static_cast<std::uint8_t>((count >> 8) & 0xFF);
  };
  const auto variable = [](int i) { return static_cast<std::size_t>(256 + 13 * (i - 1)); };
  const auto setField = [&](Bytes& b, int i, int position, int typeByte) {
    b[variable(i) + 10] = static_cast<std::uint8_t>(position & 0xFF);
    b[variable(i) + 11] = static_cast<std::uint8_t>(position >> 8);
    b[variable(i) + 12] = static_cast<std::uint8_t>(typeByte);
  };
  const Case cases[] = {
      {"class division blocks past the end", [](Bytes& b) { b[1] = 255; }, 0},
      {"variable blocks past the end", [](Bytes& b) { b[2] = 255; }, 5},
      {"more than 1050 variables", [&](Bytes& b) { setCount(b, 1051); }, 5},
      {"negative variable count", [&](Bytes& b) { setCount(b, -1); }, 0},
      {"count beyond the variable area", [&](Bytes& b) { setCount(b, 10); }, 5},
      {"variable past position 7821", [&](Bytes& b) { setField(b, 5, 7815, 9); }, 4},
      {"variable of length 0", [&](Bytes& b) { setField(b, 3, 20, 0); }, 4},
      {"numeric variable of length 10", [&](Bytes& b) { setField(b, 3, 20, 10); }, 4},
      {"text variable of length 61", [&](Bytes& b) { setField(b, 4, 100, 128 + 61); }, 4},
      {"overlapping variables", [&](Bytes& b) { setField(b, 3, 12, 6); }, 4},
      // The entries after one that starts too far on cannot be placed behind it and are dropped.
      {"variables out of order", [&](Bytes& b) { setField(b, 2, 200, 128 + 5); }, 3},
      {"class division count above 29", [](Bytes& b) { b[129] = 30; }, 5},
      {"class division number above 80", [](Bytes& b) { b[128] = 81; }, 5},
      {"group block count 0", [](Bytes& b) { b[385] = 0; }, 5},
      {"group block count 5", [](Bytes& b) { b[385] = 5; }, 5},
      {"group block count past the end",
       [](Bytes& b) {
         b.resize(1280);  // group 4 of 1 block is the last one
         b[1152 + 1] = 2;
       },
       5},
      {"a partial block after the groups", [](Bytes& b) { b.resize(b.size() + 5, 0); }, 5},
      // Cuts between two group records: the header says how many group blocks there were.
      {"the last group cut off", [](Bytes& b) { b.resize(1280); }, 5},
      {"the last two groups cut off", [](Bytes& b) { b.resize(1152); }, 5},
      {"every group cut off", [](Bytes& b) { b.resize(384); }, 5},
      {"a group cut inside, at a block boundary", [](Bytes& b) { b.resize(640); }, 5},
      {"a whole group record more than the header says",
       [](Bytes& b) {
         Bytes extra(128, 0);
         extra[0] = 9;
         extra[1] = 1;
         b.insert(b.end(), extra.begin(), extra.end());
       },
       5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = image;
    c.damage(b);
    test::ScriptedUi local;
    TParams p(local);
    expectDamagedRead(b, p, local);
    EXPECT_EQ(p.variableCount(), c.variables);
  }

  // What stays valid is kept: a division numbered 81 is skipped, the following ones are read.
  Bytes b = image;
  b[128] = 81;
  TParams p(ui);
  EXPECT_EQ(p.decode(b), ParamsReadStatus::Damaged);
  EXPECT_EQ(p.getClassDivision(3), ClassDivisionRecord{});
  EXPECT_EQ(p.getClassDivision(4), good.getClassDivision(4));
  GroupRecord last = good.getGroup(255);
  last[1] = 4;  // the block count is set when the group is written
  EXPECT_EQ(p.getGroup(255), last);
}

TEST_F(ParamsTest, EveryCutOfAFileIsReadSafely) {
  TParams good(ui);
  fillSample(good);
  const Bytes image = good.encode();
  // Shorter than its header, a file reads as an empty structure; every other cut is damage, also one
  // exactly between two group records.
  const auto isShort = [](std::size_t length) { return length < 128; };
  TParams p(ui);
  for (std::size_t length = 0; length < image.size(); ++length) {
    SCOPED_TRACE(length);
    const ParamsReadStatus status = p.decode(std::span(image.data(), length));
    EXPECT_EQ(status, isShort(length) ? ParamsReadStatus::Ok : ParamsReadStatus::Damaged);
    // Whole variable entries before the cut are kept.
    const std::size_t entries = length < 256 ? 0 : std::min<std::size_t>(5, (length - 256) / 13);
    EXPECT_EQ(p.variableCount(), static_cast<int>(entries));
  }

  // Reading such files from the disk tells the user once.
  for (const std::size_t length : {0, 1, 127, 128, 200, 300, 384, 400, 512, 1280, 1791}) {
    SCOPED_TRACE(length);
    save(name, Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length)));
    test::ScriptedUi local;
    if (!isShort(length)) local.expectError("Fehler beim Lesen der Parameterdatei " + name);
    TParams q(local);
    EXPECT_EQ(q.read(name), isShort(length) ? ParamsReadStatus::Ok : ParamsReadStatus::Damaged);
    EXPECT_TRUE(local.allPlayed());
  }
}

TEST_F(ParamsTest, AFileShorterThanOneBlockIsAnEmptyStructureWithoutAMessage) {
  TParams good(ui);
  fillSample(good);
  const Bytes image = good.encode();
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"an empty file", {}},
      {"the version byte alone", {251}},
      {"a header cut short", Bytes(image.begin(), image.begin() + 100)},
      {"127 zero bytes", Bytes(127, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    save(name, c.bytes);
    test::ScriptedUi quiet;
    TParams p(quiet);
    fillSample(p);  // whatever was there before is gone
    EXPECT_EQ(p.read(name), ParamsReadStatus::Ok);
    EXPECT_TRUE(quiet.allPlayed());
    EXPECT_EQ(p.variableCount(), 0);
    EXPECT_EQ(p.settings(), ParamSettings{});
    EXPECT_EQ(p.getGroup(1), GroupRecord{});
    EXPECT_EQ(p.getClassDivision(3), ClassDivisionRecord{});
  }
  // The version byte is still checked.
  save(name, Bytes{'h', 'e', 'l', 'l', 'o'});
  ui.expectError("Falsche Version der Parameterdatei");
  TParams p(ui);
  EXPECT_EQ(p.read(name), ParamsReadStatus::WrongVersion);
}

TEST_F(ParamsTest, SettingsOutOfRangeAreDamageAndTakeTheirDefaults) {
  TParams good(ui);
  fillSample(good);
  const Bytes image = good.encode();
  const ParamSettings sample = good.settings();
  const ParamSettings defaults;
  const auto real = [](std::size_t at, double value) {
    return [at, value](Bytes& b) { writeReal48(value, b.data() + at); };
  };
  const auto byte = [](std::size_t at, std::uint8_t value) {
    return [at, value](Bytes& b) { b[at] = value; };
  };
  // The largest six-byte real: exponent byte 255, all fraction bits set (about 1.7e38).
  const auto largest = [](std::size_t at) {
    return [at](Bytes& b) {
      const std::uint8_t bytes[] = {255, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
      std::copy(std::begin(bytes), std::end(bytes), b.begin() + static_cast<std::ptrdiff_t>(at));
    };
  };
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    std::function<bool(const ParamSettings&)> defaulted;
  };
  const auto errorA = [&](const ParamSettings& s) {
    return s.errorProbabilityA == defaults.errorProbabilityA;
  };
  const auto errorB = [&](const ParamSettings& s) {
    return s.errorProbabilityB == defaults.errorProbabilityB;
  };
  const auto kind = [&](const ParamSettings& s) { return s.testKind == defaults.testKind; };
  const auto method = [&](const ParamSettings& s) { return s.testMethod == defaults.testMethod; };
  const auto factorA = [&](const ParamSettings& s) { return s.factorA == defaults.factorA; };
  const auto factorB = [&](const ParamSettings& s) { return s.factorB == defaults.factorB; };
  const auto quantileA = [&](const ParamSettings& s) { return s.quantileA == defaults.quantileA; };
  const auto quantileB = [&](const ParamSettings& s) { return s.quantileB == defaults.quantileB; };
  const auto whisker = [&](const ParamSettings& s) { return s.whiskerIndex == defaults.whiskerIndex; };
  const Case cases[] = {
      {"test kind 255", byte(17, 255), kind},
      {"test kind 0", byte(17, 0), kind},
      {"test kind 3", byte(17, 3), kind},
      {"test method 255", byte(18, 255), method},
      {"test method 2", byte(18, 2), method},
      {"whisker index 255", byte(43, 255), whisker},
      {"whisker index 5", byte(43, 5), whisker},
      {"error probability A 0", real(5, 0), errorA},
      {"error probability A 1", real(5, 1), errorA},
      {"error probability A negative", real(5, -0.05), errorA},
      {"error probability B beyond every range", largest(11), errorB},
      {"factor A 0", real(19, 0), factorA},
      {"factor B negative", real(25, -3), factorB},
      {"quantile A 0", real(31, 0), quantileA},
      {"quantile A 100", real(31, 100), quantileA},
      {"quantile B beyond every range", largest(37), quantileB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = image;
    c.damage(b);
    test::ScriptedUi local;
    TParams p(local);
    expectDamagedRead(b, p, local);
    EXPECT_TRUE(c.defaulted(p.settings())) << "the default replaces the value";
    EXPECT_EQ(p.variableCount(), 5) << "everything else is kept";
    // Only the damaged setting changed.
    int differing = 0;
    const std::function<bool(const ParamSettings&)> all[] = {errorA,  errorB,    kind,      method, factorA,
                                                             factorB, quantileA, quantileB, whisker};
    for (const auto& same : all) differing += same(p.settings()) != same(sample) ? 1 : 0;
    EXPECT_EQ(differing, 1);
  }

  // Files of version 0 did not store the settings: their zeros take the defaults without a message.
  Bytes old = image;
  old[0] = 0;
  std::fill(old.begin() + 5, old.begin() + 44, std::uint8_t{0});
  TParams p(ui);
  EXPECT_EQ(p.decode(old), ParamsReadStatus::Ok);
  EXPECT_EQ(p.settings(),
            (ParamSettings{defaults.errorProbabilityA, defaults.errorProbabilityB, 1, 0, 2, 3, 10, 90, 0}));
  old[17] = 7;  // but a value that is neither stored nor zero is damage there too
  EXPECT_EQ(p.decode(old), ParamsReadStatus::Damaged);
}

TEST_F(ParamsTest, RandomlyCorruptedImagesDecodeToAValidStructure) {
  TParams good(ui);
  fillSample(good);
  const Bytes image = good.encode();
  std::mt19937 random(20240315);
  for (int round = 0; round < 3000; ++round) {
    Bytes b = image;
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) b[random() % b.size()] = static_cast<std::uint8_t>(random());
    if (random() % 4 == 0) b.resize(random() % b.size());
    TParams p(ui);
    p.decode(b);
    // Whatever was read is a usable structure: valid fields in ascending order without overlap.
    ASSERT_LE(p.variableCount(), kMaxVariables);
    int previousEnd = 0;
    for (int i = 1; i <= p.variableCount(); ++i) {
      const VariableEntry e = p.getVariable(i);
      ASSERT_GT(e.position, previousEnd) << "round " << round;
      ASSERT_GE(e.length, 1);
      ASSERT_LE(e.length, e.isText() ? 60 : 9);
      previousEnd = e.position + e.length - 1;
      ASSERT_LE(previousEnd, 7821);
    }
    for (int k = 1; k <= kMaxClassDivisions; ++k) ASSERT_LE(p.getClassDivision(k)[1] & 31, 29);
    p.encode();  // and it can be written again
  }
}

TEST_F(ParamsTest, FirstSaveKeepsTheOldFileAsBackupAndLaterSavesDoNot) {
  TParams p(ui);
  p.setFileName(name);
  fillSample(p);
  ASSERT_TRUE(p.write());
  const Bytes v1 = load(name);
  save(sibling("prb"), Bytes{1, 2, 3});  // an old backup is replaced

  TParams q(ui);
  ASSERT_EQ(q.read(name), ParamsReadStatus::Ok);
  EXPECT_FALSE(q.backupMade());
  q.putVariable(6, "NEU", 200, 2);
  q.setVariableCount(6);
  ASSERT_TRUE(q.write());
  EXPECT_TRUE(q.backupMade());
  const Bytes v2 = load(name);
  EXPECT_NE(v2, v1);
  EXPECT_EQ(load(sibling("prb")), v1);

  q.putVariable(7, "NOCH", 300, 2);
  q.setVariableCount(7);
  ASSERT_TRUE(q.write());
  EXPECT_NE(load(name), v2);
  EXPECT_EQ(load(sibling("prb")), v1);  // still the file of the first save
  EXPECT_EQ(entries(), (std::vector<std::string>{"studie.prb", "studie.prm"})) << "no temporary file is left";
}

TEST_F(ParamsTest, FailedWriteLeavesTheOldFileUntouched) {
  TParams p(ui);
  p.setFileName(name);
  fillSample(p);
  ASSERT_TRUE(p.write());
  const Bytes old = load(name);

  TParams q(ui);
  ASSERT_EQ(q.read(name), ParamsReadStatus::Ok);
  q.setVariableCount(1);
  q.setModified(true);
  {
    // The disk is full: the temporary file cannot take the contents.
    test::FileSizeLimit limit(100);
    ASSERT_TRUE(limit.active());
    ui.expectError("Fehler beim Schreiben der Parameterdatei " + name);  // the real name only
    EXPECT_FALSE(q.write());
  }
  EXPECT_TRUE(ui.allPlayed());
  EXPECT_EQ(load(name), old);
  EXPECT_EQ(entries(), std::vector<std::string>{"studie.prm"}) << "no temporary file and no backup";
  EXPECT_FALSE(q.backupMade());
  EXPECT_TRUE(q.modified());
}

TEST_F(ParamsTest, WriteIntoAMissingDirectoryFails) {
  const std::string notThere[] = {
      (m_dir / "missing" / "studie.prm").string(),
      (m_dir / "plain" / "studie.prm").string(),  // "plain" is a regular file
  };
  save((m_dir / "plain").string(), Bytes{1});
  for (const std::string& target : notThere) {
    SCOPED_TRACE(target);
    test::ScriptedUi local;
    local.expectError("Fehler beim Schreiben der Parameterdatei " + target);
    TParams p(local);
    p.setFileName(target);
    EXPECT_FALSE(p.write());
    EXPECT_TRUE(local.allPlayed());
  }
}

TEST_F(ParamsTest, SavingKeepsThePermissionsAndTheSymbolicLinkOfTheParameterFile) {
  // The parameter file is private and kept in another directory through a link.
  std::filesystem::create_directory(m_dir / "store");
  const std::string stored = (m_dir / "store" / "real.prm").string();
  TParams p(ui);
  p.setFileName(stored);
  fillSample(p);
  ASSERT_TRUE(p.write());
  ASSERT_EQ(::chmod(stored.c_str(), 0600), 0);
  const Bytes old = load(stored);
  ASSERT_EQ(::symlink("store/real.prm", name.c_str()), 0);

  TParams q(ui);
  ASSERT_EQ(q.read(name), ParamsReadStatus::Ok);
  q.setVariableCount(2);
  ASSERT_TRUE(q.write());
  EXPECT_TRUE(std::filesystem::is_symlink(name)) << "the link stays";
  EXPECT_EQ(load(name).size(), q.encode().size());
  EXPECT_EQ(load(stored), q.encode()) << "written at the link's target";
  struct stat info {};
  ASSERT_EQ(::stat(stored.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  // The backup of the first save holds the old contents as a file of its own beside the link.
  EXPECT_FALSE(std::filesystem::is_symlink(sibling("prb")));
  EXPECT_EQ(load(sibling("prb")), old);
}

TEST_F(ParamsTest, LinksAndFilesUnderTheTemporaryAndBackupNamesAreNeverFollowed) {
  // Links planted under the old fixed temporary name and under the backup name must not lead the
  // save to overwrite another file, and nothing left there by a killed program blocks the save.
  const std::string victim = path("victim.txt");
  save(victim, Bytes{'k', 'e', 'e', 'p'});
  struct Case {
    const char* what;
    std::function<void()> plant;
  };
  const Case cases[] = {
      {"a link studie.pr$ -> victim", [&] { ::symlink(victim.c_str(), sibling("pr$").c_str()); }},
      {"a link studie.prb -> victim", [&] { ::symlink(victim.c_str(), sibling("prb").c_str()); }},
      {"a file studie.pr$ left by a killed save", [&] { save(sibling("pr$"), Bytes(300, 7)); }},
      {"a directory studie.pr$", [&] { std::filesystem::create_directory(sibling("pr$")); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
    save(victim, Bytes{'k', 'e', 'e', 'p'});
    TParams first(ui);
    first.setFileName(name);
    ASSERT_TRUE(first.write());
    const Bytes old = load(name);
    c.plant();

    TParams p(ui);
    ASSERT_EQ(p.read(name), ParamsReadStatus::Ok);
    fillSample(p);
    ASSERT_TRUE(p.write());
    EXPECT_EQ(load(victim), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_FALSE(std::filesystem::is_symlink(name));
    EXPECT_EQ(load(name), p.encode());
    EXPECT_FALSE(std::filesystem::is_symlink(sibling("prb")));
    EXPECT_EQ(load(sibling("prb")), old);
  }
}

TEST_F(ParamsTest, SelectionSlotsStayInMemory) {
  TParams p(ui);
  const Bytes before = p.encode();
  SelectionSlot slot{};
  slot[0] = 7;
  slot[501] = 9;
  for (int i = 1; i <= kSelectionSlotCount; ++i) p.putSelectionSlot(i, slot);
  EXPECT_EQ(p.encode(), before);
  p.clearSelectionSlots(3);
  EXPECT_EQ(p.selectionSlot(3), SelectionSlot{});
  EXPECT_EQ(p.selectionSlot(4), slot);
  p.clearSelectionSlots(0);
  for (int i = 1; i <= kSelectionSlotCount; ++i) EXPECT_EQ(p.selectionSlot(i), SelectionSlot{});
}

TEST_F(ParamsTest, OnlyARegularFileIsReadAsParameterFile) {
  // A named pipe would block the reader for ever; a directory or a link loop cannot be read either.
  ASSERT_EQ(::mkfifo(sibling("pipe").c_str(), 0600), 0);
  std::filesystem::create_directory(sibling("dir"));
  ASSERT_EQ(::symlink("studie.loop", sibling("loop").c_str()), 0);
  for (const std::string& file : {sibling("pipe"), sibling("dir"), sibling("loop")}) {
    SCOPED_TRACE(file);
    test::ScriptedUi local;
    local.expectError(file + ": " + std::string("Datei kann nicht geöffnet werden!"_w));
    local.expectError("Fehler beim Lesen der Parameterdatei " + file);
    TParams p(local);
    EXPECT_EQ(p.read(file), ParamsReadStatus::Damaged);
    EXPECT_TRUE(local.allPlayed());
  }
}

TEST_F(ParamsTest, ReadOfAMissingFileReportsTheFileLayerAndTheReadError) {
  TParams p(ui);
  ui.expectError(name + ": " + std::string("Datei kann nicht geöffnet werden!"_w));
  ui.expectError("Fehler beim Lesen der Parameterdatei " + name);
  EXPECT_EQ(p.read(name), ParamsReadStatus::Damaged);
  EXPECT_EQ(p.fileName(), name);
}

}  // namespace
}  // namespace veltrix
