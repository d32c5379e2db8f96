#include "core/datafile/work_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "core/stats/real48.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using Bytes = std::vector<std::uint8_t>;

class WorkFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::path(::testing::TempDir()) /
            (std::string("veltrix_work_files_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string path(const char* name) const { return (m_dir / name).string(); }

  static Bytes load(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void save(const std::string& name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  test::ScriptedUi ui;

 private:
  std::filesystem::path m_dir;
};

DescriptorBytes patternDescriptor() {
  DescriptorBytes d{};
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(200 - i);
  return d;
}

void putLe(Bytes& bytes, std::size_t at, std::uint32_t value, int width) {
  ASSERT_LE(at + static_cast<std::size_t>(width), bytes.size());
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getLe(const Bytes& bytes, std::size_t at, int width) {
  std::uint32_t v = 0;
  for (int i = 0; i < width; ++i) v |= std::uint32_t{bytes[at + i]} << (8 * i);
  return v;
}

// ---------------------------------------------------------------- value and long lists

TEST_F(WorkFilesTest, EmptyValueListIsTheHeadAlone) {
  TRWkFS list(ui);
  ASSERT_TRUE(list.write(path("a.$$a"), 0, patternDescriptor()));
  EXPECT_EQ(std::filesystem::file_size(path("a.$$a")), 130u);  // 2-byte count + 128-byte descriptor

  TRWkFS back(ui);
  const WorkListRead read = back.read(path("a.$$a"));
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.n, 0);
  EXPECT_EQ(read.descriptor, patternDescriptor());
}

TEST_F(WorkFilesTest, ValueListRoundTripKeepsLayoutAndValues) {
  // Values chosen to be exact in six-byte reals (few significant bits), including the last place.
  TRWkFS list(ui);
  const double values[] = {1.5, -2.25, 1e10, 0.0};
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(list.values().setValue(i, values[i]));
  ASSERT_TRUE(list.values().setValue(8199, 42.0));
  ASSERT_TRUE(list.write(path("a.$$a"), 8200, patternDescriptor()));

  const Bytes file = load(path("a.$$a"));
  ASSERT_EQ(file.size(), 130u + 6u * 8200u);
  EXPECT_EQ(getLe(file, 0, 2), 8200u);
  EXPECT_EQ(file[2], 200);  // first descriptor byte right after the count
  EXPECT_DOUBLE_EQ(readReal48(file.data() + 130 + 6), -2.25);
  EXPECT_DOUBLE_EQ(readReal48(file.data() + 130 + 6 * 8199), 42.0);

  TRWkFS back(ui);
  const WorkListRead read = back.read(path("a.$$a"));
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.n, 8200);
  EXPECT_EQ(back.count(), 8200);
  EXPECT_EQ(back.descriptor(), patternDescriptor());
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(back.values().value(i), values[i]);
  EXPECT_DOUBLE_EQ(back.values().value(8199), 42.0);
}

TEST_F(WorkFilesTest, LongListRoundTripStoresLittleEndian32BitValues) {
  TLWkFS list(ui);
  const std::int32_t values[] = {1, -1, 2147483647, -2147483647 - 1, 0x01020304};
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(list.setValue(i, values[i]));
  ASSERT_TRUE(list.write(path("a.inc"), 5, patternDescriptor()));

  const Bytes file = load(path("a.inc"));
  ASSERT_EQ(file.size(), 130u + 4u * 5u);
  EXPECT_EQ(getLe(file, 0, 2), 5u);
  EXPECT_EQ(file[130 + 16], 0x04);  // least significant byte of 0x01020304 first
  EXPECT_EQ(file[130 + 19], 0x01);

  TLWkFS back(ui);
  const WorkListRead read = back.read(path("a.inc"));
  EXPECT_TRUE(read.complete);
  ASSERT_EQ(read.n, 5);
  EXPECT_EQ(read.descriptor, patternDescriptor());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(back.value(i), values[i]);
}

TEST_F(WorkFilesTest, ListsRefuseWritesBeyondCapacity) {
  TRWkFS list(ui);
  EXPECT_FALSE(list.values().setValue(8200, 1.0));
  EXPECT_FALSE(list.values().setValue(-1, 1.0));
  EXPECT_EQ(list.values().value(8200), 0.0);
  EXPECT_FALSE(list.write(path("a.$$a"), 8201, patternDescriptor()));
  EXPECT_FALSE(list.write(path("a.$$a"), -1, patternDescriptor()));
  EXPECT_FALSE(std::filesystem::exists(path("a.$$a")));

  TLWkFS longs(ui);
  EXPECT_FALSE(longs.setValue(8200, 1));
  EXPECT_FALSE(longs.write(path("a.inc"), 8201, patternDescriptor()));
  EXPECT_FALSE(std::filesystem::exists(path("a.inc")));
}

struct DamagedList {
  const char* what;
  std::size_t fileBytes;  // the file holds value i = i + 1 as far as its size allows
  int announced;
  int expectedN;
  bool complete;
};

TEST_F(WorkFilesTest, DamagedValueListsAreReadAsFarAsTheyAreValid) {
  const DamagedList cases[] = {
      {"head claims 10, file holds 4 values", 130 + 6 * 4, 10, 4, false},
      {"half a value after the last whole one", 130 + 6 * 3 + 3, 3, 3, true},
      {"negative count", 130 + 6 * 2, -3, 0, false},
      {"count beyond the capacity, file large enough", 130 + 6 * 9000, 9000, 8200, false},
      {"file shorter than the head", 50, 3, 0, false},
      {"empty file", 0, 0, 0, false},
  };
  for (const DamagedList& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes(c.fileBytes, 0);
    if (bytes.size() >= 2) putLe(bytes, 0, static_cast<std::uint32_t>(c.announced), 2);
    for (std::size_t i = 0; 130 + 6 * (i + 1) <= bytes.size(); ++i) {
      writeReal48(double(i + 1), bytes.data() + 130 + 6 * i);
    }
    save(path("d.$$a"), bytes);

    TRWkFS list(ui);
    list.values().setValue(8199, 7.0);  // must not survive a read
    const WorkListRead read = list.read(path("d.$$a"));
    EXPECT_EQ(read.complete, c.complete);
    EXPECT_EQ(read.n, c.expectedN);
    for (int i = 0; i < read.n; ++i) ASSERT_EQ(list.values().value(i), double(i + 1)) << i;
    EXPECT_EQ(list.values().value(read.n), 0.0);
    if (read.n < 8200) {
      EXPECT_EQ(list.values().value(8199), 0.0);
    }
  }
}

TEST_F(WorkFilesTest, MissingListIsReportedByTheFileLayer) {
  const std::string name = path("missing.$$a");
  ui.expectError(name + ": " + std::string("Datei kann nicht geöffnet werden!"_w));
  TRWkFS list(ui);
  const WorkListRead read = list.read(name);
  EXPECT_FALSE(read.complete);
  EXPECT_EQ(read.n, 0);
}

// ---------------------------------------------------------------- matrix file

SlotBytes patternSlot(int seed) {
  SlotBytes slot{};
  for (std::size_t i = 0; i < slot.size(); ++i) slot[i] = static_cast<std::uint8_t>(seed + 3 * i);
  return slot;
}

TEST_F(WorkFilesTest, MatrixFileRoundTripWithSizeSlotsAndMatrix) {
  TMatWkFS matrix(ui);
  ASSERT_TRUE(matrix.setSize(3, 31));
  matrix.setSlots(patternSlot(1), patternSlot(7));
  ASSERT_TRUE(matrix.matrix().setValue(0, 0, 1.25));
  ASSERT_TRUE(matrix.matrix().setValue(2, 1, -8.5));
  ASSERT_TRUE(matrix.matrix().setValue(30, 30, 1e-3));
  ASSERT_TRUE(matrix.write(path("a.$$m"), patternDescriptor()));

  const Bytes file = load(path("a.$$m"));
  ASSERT_EQ(file.size(), 6902u);
  EXPECT_EQ(file[0], 200);             // descriptor first
  EXPECT_EQ(getLe(file, 128, 2), 3u);  // rows
  EXPECT_EQ(getLe(file, 130, 2), 31u);
  EXPECT_EQ(file[132], patternSlot(1)[0]);
  EXPECT_EQ(file[634], patternSlot(7)[0]);
  EXPECT_DOUBLE_EQ(readReal48(file.data() + 1136), 1.25);
  EXPECT_DOUBLE_EQ(readReal48(file.data() + 1136 + 6 * (2 * 31 + 1)), -8.5);  // row by row
  EXPECT_DOUBLE_EQ(readReal48(file.data() + 6896), Real48::fromDouble(1e-3).toDouble());

  TMatWkFS back(ui);
  const WorkMatrixRead read = back.read(path("a.$$m"));
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.descriptor, patternDescriptor());
  EXPECT_EQ(back.size().rows, 3);
  EXPECT_EQ(back.size().columns, 31);
  EXPECT_EQ(back.slotA(), patternSlot(1));
  EXPECT_EQ(back.slotB(), patternSlot(7));
  EXPECT_DOUBLE_EQ(back.matrix().value(2, 1), -8.5);
  EXPECT_DOUBLE_EQ(back.matrix().value(1, 2), 0.0);
  EXPECT_DOUBLE_EQ(back.matrix().value(30, 30), Real48::fromDouble(1e-3).toDouble());
}

TEST_F(WorkFilesTest, MatrixRefusesSizesAndIndicesBeyond31) {
  TMatWkFS matrix(ui);
  ASSERT_TRUE(matrix.setSize(2, 2));
  EXPECT_FALSE(matrix.setSize(32, 1));
  EXPECT_FALSE(matrix.setSize(1, -1));
  EXPECT_EQ(matrix.size().rows, 2);
  EXPECT_FALSE(matrix.matrix().setValue(31, 0, 1.0));
  EXPECT_FALSE(matrix.matrix().setValue(0, -1, 1.0));
  EXPECT_EQ(matrix.matrix().value(31, 0), 0.0);
}

TEST_F(WorkFilesTest, DamagedMatrixFilesAreReadAsFarAsTheyAreValid) {
  TMatWkFS matrix(ui);
  ASSERT_TRUE(matrix.setSize(4, 5));
  matrix.setSlots(patternSlot(1), patternSlot(7));
  ASSERT_TRUE(matrix.matrix().setValue(0, 0, 3.0));
  ASSERT_TRUE(matrix.write(path("a.$$m"), patternDescriptor()));
  const Bytes whole = load(path("a.$$m"));

  {
    SCOPED_TRACE("cut inside the second slot: the matrix stays zero");
    save(path("d.$$m"), Bytes(whole.begin(), whole.begin() + 700));
    TMatWkFS back(ui);
    const WorkMatrixRead read = back.read(path("d.$$m"));
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.descriptor, patternDescriptor());
    EXPECT_EQ(back.size().rows, 4);
    EXPECT_EQ(back.slotA(), patternSlot(1));
    EXPECT_EQ(back.matrix().value(0, 0), 0.0);
  }
  {
    SCOPED_TRACE("size beyond 31 x 31 is clamped");
    Bytes bytes = whole;
    putLe(bytes, 128, 40, 2);
    putLe(bytes, 130, 0xFFFF, 2);  // -1
    save(path("d.$$m"), bytes);
    TMatWkFS back(ui);
    EXPECT_FALSE(back.read(path("d.$$m")).complete);
    EXPECT_EQ(back.size().rows, 31);
    EXPECT_EQ(back.size().columns, 0);
    EXPECT_EQ(back.matrix().value(0, 0), 3.0);
  }
}

// ---------------------------------------------------------------- case vector files

// An exact value for case c (0-based) and position i.
double caseValue(int c, int i) {
  return c * 10.0 + i / 8.0;
}

TEST_F(WorkFilesTest, CaseStoreRoundTripAcrossSeveralBufferFlushes) {
  // k = 7: 2048 / 7 = 292 cases fill a buffer, so 1000 cases take four writes and four reads.
  constexpr int k = 7;
  constexpr int cases = 1000;
  TMCDStore store(ui);
  ASSERT_TRUE(store.open(path("a.$$x"), k));
  for (int c = 0; c < cases; ++c) {
    std::array<double, k> values{};
    for (int i = 0; i < k; ++i) values[i] = caseValue(c, i);
    ASSERT_TRUE(store.add(values));
  }
  ASSERT_TRUE(store.finish());

  const Bytes file = load(path("a.$$x"));
  ASSERT_EQ(file.size(), 8u + 6u * k * cases);
  EXPECT_EQ(getLe(file, 0, 4), 7u);
  EXPECT_EQ(getLe(file, 4, 4), 1000u);

  TMCDRead reader(ui);
  const MCDHeader header = reader.open(path("a.$$x"));
  EXPECT_TRUE(header.complete);
  EXPECT_EQ(header.k, k);
  EXPECT_EQ(header.cases, cases);
  std::array<double, kMCDMaxValues> values{};
  for (int c = 0; c < cases; ++c) {
    ASSERT_EQ(reader.next(values), c + 1);
    for (int i = 0; i < k; ++i) ASSERT_EQ(values[i], caseValue(c, i)) << c << "/" << i;
    ASSERT_EQ(values[k], 0.0);
  }
  values.fill(9.0);
  EXPECT_EQ(reader.next(values), 0);
  for (double v : values) EXPECT_EQ(v, 0.0);
  reader.close();
}

TEST_F(WorkFilesTest, CaseStoreRefusalsAndDiscard) {
  TMCDStore store(ui);
  EXPECT_FALSE(store.open(path("a.$$x"), 0));
  EXPECT_FALSE(store.open(path("a.$$x"), 33));
  const std::array<double, 3> three{1.0, 2.0, 3.0};
  EXPECT_FALSE(store.add(three));  // not open
  ASSERT_TRUE(store.open(path("a.$$x"), 4));
  EXPECT_FALSE(store.add(three));  // fewer than k values
  EXPECT_EQ(store.cases(), 0);
  store.discard();
  EXPECT_FALSE(std::filesystem::exists(path("a.$$x")));
}

TEST_F(WorkFilesTest, DamagedCaseFilesAreReadAsFarAsTheyAreValid) {
  struct Case {
    const char* what;
    std::uint32_t k;
    std::uint32_t announced;
    std::size_t wholeCases;  // cases present in the file (plus 5 stray bytes)
    int expectedK;
    int expectedCases;
  };
  const Case cases[] = {
      {"more cases announced than present", 3, 1000, 10, 3, 10},
      {"unfinished store: 0 announced", 3, 0, 10, 3, 0},
      {"negative count", 3, 0xFFFFFFFF, 4, 3, 0},
      {"k of 0", 0, 5, 5, 0, 0},
      {"k beyond 32", 40, 5, 5, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t caseBytes = 6 * std::max<std::uint32_t>(c.k, 1);
    Bytes bytes(8 + caseBytes * c.wholeCases + 5, 0);
    putLe(bytes, 0, c.k, 4);
    putLe(bytes, 4, c.announced, 4);
    for (std::size_t i = 0; 8 + 6 * (i + 1) <= bytes.size() - 5; ++i) {
      writeReal48(double(i), bytes.data() + 8 + 6 * i);
    }
    save(path("d.$$x"), bytes);

    TMCDRead reader(ui);
    const MCDHeader header = reader.open(path("d.$$x"));
    EXPECT_EQ(header.complete, c.expectedK > 0 && int(c.announced) == c.expectedCases);
    EXPECT_EQ(header.k, c.expectedK);
    EXPECT_EQ(header.cases, c.expectedCases);
    std::array<double, kMCDMaxValues> values{};
    for (int n = 1; n <= c.expectedCases; ++n) {
      ASSERT_EQ(reader.next(values), n);
      EXPECT_EQ(values[0], double((n - 1) * c.k));
    }
    EXPECT_EQ(reader.next(values), 0);
  }
}

}  // namespace
}  // namespace veltrix
