#include "core/datafile/dat_count.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/stats/real48.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Counts = std::array<std::uint32_t, 32>;

class DatCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::path(::testing::TempDir()) / (std::string("veltrix_dat_count_") + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
    name = (m_dir / "count.$$y").string();
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  static Bytes load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void save(const std::string& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  test::ScriptedUi ui;
  std::string name;

 private:
  std::filesystem::path m_dir;
};

std::uint32_t getU32(const Bytes& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{bytes[at + i]} << (8 * i);
  return v;
}

struct Delivered {
  double value;
  Counts counts;
};

// Everything next() delivers up to the sentinel, checking the ordinals on the way.
std::vector<Delivered> readAll(TDatCount& counter) {
  std::vector<Delivered> all;
  for (;;) {
    const DatCountEntry e = counter.next();
    if (e.ordinal == 0) {
      EXPECT_EQ(e.value, TDatCount::kSentinel);
      EXPECT_EQ(e.counts, Counts{});
      return all;
    }
    EXPECT_EQ(e.ordinal, static_cast<std::int32_t>(all.size() + 1));
    all.push_back({e.value, e.counts});
  }
}

TEST_F(DatCountTest, EntryLayoutForThirtyTwoBitCounts) {
  struct Layout {
    int n, units, perBlock;
  };
  // Hand computation: u = 1 + ceil(4n / 6) six-byte units, 3200 / u entries per block.
  const Layout cases[] = {{1, 2, 1600}, {2, 3, 1066}, {3, 3, 1066}, {6, 5, 640}, {32, 23, 139}};
  for (const Layout& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(TDatCount::entryUnits(c.n), c.units);
    EXPECT_EQ(TDatCount::entriesPerBlock(c.n), c.perBlock);
  }

  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, 1));
  const Bytes file = load(name);
  // The header and one block holding only the sentinel.
  ASSERT_EQ(file.size(), 384u + 1600u * 12u);
  const std::uint32_t header[] = {1, 2, 12, 1600, 19200, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(getU32(file, 4 * i), header[i]) << i;
  EXPECT_EQ(readReal48(file.data() + 384), Real48::fromDouble(1e20).toDouble());  // 1E20 as stored
}

TEST_F(DatCountTest, BlockLimitGrowsSoThatTheFileHoldsWhatNarrowCountsWouldHold) {
  // Hand computation for the two ends: with 16-bit counts an entry has 1 + ceil(2n / 6) units, so
  // n = 32 gives 12 units, 266 entries per block and 500 * 266 = 133000 entries in 500 blocks; n = 3
  // gives 2 units, 1600 entries per block and 800000 entries. With 32-bit counts a block holds 139
  // (n = 32) or 1066 (n = 3) entries, so 957 and 751 blocks are needed; one entry is the sentinel's.
  struct Case {
    int n, narrowPerBlock, blocks;
    std::int64_t capacity;
  };
  const Case cases[] = {{32, 266, 957, 957 * 139 - 1}, {3, 1600, 751, 751 * 1066 - 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(TDatCount::narrowEntriesPerBlock(c.n), c.narrowPerBlock);
    EXPECT_EQ(TDatCount::defaultBlockLimit(c.n), c.blocks);
    EXPECT_EQ(TDatCount::capacity(c.n, c.blocks), c.capacity);
    EXPECT_GE(c.capacity, 500 * c.narrowPerBlock - 1);
    // A counter made without a limit counts with that many blocks.
    TDatCount counter(ui);
    ASSERT_TRUE(counter.openNew(name, c.n));
    EXPECT_EQ(counter.blockLimit(), c.blocks);
  }
  EXPECT_GE(TDatCount::capacity(32, TDatCount::defaultBlockLimit(32)), 133000 - 1);
  EXPECT_GE(TDatCount::capacity(3, TDatCount::defaultBlockLimit(3)), 800000 - 1);

  // Every n: at least the narrow capacity, and one block less would not hold it.
  for (int n = 1; n <= 32; ++n) {
    SCOPED_TRACE(n);
    const std::int64_t narrow = 500 * (3200 / (1 + (2 * n + 5) / 6)) - 1;
    const int blocks = TDatCount::defaultBlockLimit(n);
    EXPECT_GE(TDatCount::capacity(n, blocks), narrow);
    EXPECT_LT(TDatCount::capacity(n, blocks - 1), narrow);
  }

  // A limit given to the counter stands.
  TDatCount limited(ui, 2);
  ASSERT_TRUE(limited.openNew(name, 32));
  EXPECT_EQ(limited.blockLimit(), 2);
}

TEST_F(DatCountTest, SameValueThreeTimesInTwoComponents) {
  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, 3));
  const std::uint8_t flags[] = {1, 7, 0};  // any non-zero byte counts
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(counter.add(flags, 2.5));
  ASSERT_TRUE(counter.finish());
  EXPECT_FALSE(counter.incomplete());

  const DatCountHeader header = counter.openForReading(name);
  EXPECT_TRUE(header.complete);
  EXPECT_EQ(header.n, 3);
  EXPECT_EQ(header.distinctValues, 1);
  EXPECT_EQ(header.totals[0], 3u);
  EXPECT_EQ(header.totals[1], 3u);
  EXPECT_EQ(header.totals[2], 0u);
  EXPECT_EQ(header.distinct[0], 1u);
  EXPECT_EQ(header.distinct[1], 1u);
  EXPECT_EQ(header.distinct[2], 0u);
  const std::vector<Delivered> all = readAll(counter);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].value, 2.5);
  EXPECT_EQ(all[0].counts[0], 3u);
  EXPECT_EQ(all[0].counts[1], 3u);
  EXPECT_EQ(all[0].counts[2], 0u);
  counter.deleteFile();
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(DatCountTest, DescendingInputComesBackAscending) {
  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, 1));
  const std::uint8_t flag[] = {1};
  for (int v = 10; v >= -10; --v) ASSERT_TRUE(counter.add(flag, v * 0.5));
  ASSERT_TRUE(counter.finish());
  EXPECT_EQ(counter.openForReading(name).distinctValues, 21);
  const std::vector<Delivered> all = readAll(counter);
  ASSERT_EQ(all.size(), 21u);
  for (int i = 0; i < 21; ++i) EXPECT_EQ(all[i].value, (i - 10) * 0.5);
}

// Reference: a std::map over the same random stream.
struct Reference {
  std::map<double, Counts> entries;
  Counts totals{};
  Counts distinct() const {
    Counts d{};
    for (const auto& [value, counts] : entries)
      for (int i = 0; i < 32; ++i) d[i] += counts[i] != 0 ? 1u : 0u;
    return d;
  }
};

void expectMatches(TDatCount& counter, const std::string& name, const Reference& ref, int n) {
  const DatCountHeader header = counter.openForReading(name);
  EXPECT_TRUE(header.complete);
  EXPECT_EQ(header.n, n);
  EXPECT_EQ(header.distinctValues, static_cast<std::int32_t>(ref.entries.size()));
  EXPECT_EQ(header.totals, ref.totals);
  EXPECT_EQ(header.distinct, ref.distinct());
  const std::vector<Delivered> all = readAll(counter);
  ASSERT_EQ(all.size(), ref.entries.size());
  auto it = ref.entries.begin();
  for (const Delivered& d : all) {
    ASSERT_EQ(d.value, it->first);
    ASSERT_EQ(d.counts, it->second) << d.value;
    ++it;
  }
}

TEST_F(DatCountTest, ManyMergesAgreeWithAMapOverRandomData) {
  // n = 5 gives 640 entries per block; up to 3001 distinct values in 20000 additions force many
  // merges, and most values recur after they were merged, so equal entries are combined.
  constexpr int n = 5;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> pick(-1500, 1500);
  std::bernoulli_distribution flagged(0.5);
  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, n));
  Reference ref;
  for (int i = 0; i < 20000; ++i) {
    const double value = pick(random) / 4.0;
    std::array<std::uint8_t, n> flags{};
    Counts& counts = ref.entries[value];
    for (int c = 0; c < n; ++c) {
      flags[c] = flagged(random) ? 1 : 0;
      counts[c] += flags[c];
      ref.totals[c] += flags[c];
    }
    ASSERT_TRUE(counter.add(flags, value));
  }
  ASSERT_TRUE(counter.finish());
  EXPECT_FALSE(counter.incomplete());
  ASSERT_GT(ref.entries.size(), 3u * 640u);  // more than three blocks of distinct values
  expectMatches(counter, name, ref, n);
}

// The value at 1-based position k of the sorted values of one component.
double valueAt(const std::vector<Delivered>& all, int component, std::uint64_t k) {
  std::uint64_t seen = 0;
  for (const Delivered& d : all) {
    seen += d.counts[component];
    if (seen >= k) return d.value;
  }
  return std::nan("");
}

TEST_F(DatCountTest, CountsAbove65535AreExact) {
  // Component 0: 70000 times 1.0 and 60000 times 2.0. The median of 130000 values is the mean of
  // positions 65000 and 65001, both 1.0. A 16-bit count would keep 70000 - 65536 = 4464 ones and give
  // the median 2.0. Component 1 gets 7000 distinct values so that the block is merged several times
  // (n = 2: 1066 entries per block) and the counts of 1.0 and 2.0 are combined across merges.
  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, 2));
  const std::uint8_t first[] = {1, 0};
  const std::uint8_t second[] = {0, 1};
  for (int i = 0; i < 70000; ++i) {
    ASSERT_TRUE(counter.add(first, 1.0));
    if (i < 60000) {
      ASSERT_TRUE(counter.add(first, 2.0));
    }
    if (i % 10 == 0) {
      ASSERT_TRUE(counter.add(second, 1000.0 + i));
    }
  }
  ASSERT_TRUE(counter.finish());
  EXPECT_FALSE(counter.incomplete());

  const DatCountHeader header = counter.openForReading(name);
  EXPECT_EQ(header.totals[0], 130000u);
  EXPECT_EQ(header.totals[1], 7000u);
  EXPECT_EQ(header.distinct[0], 2u);
  EXPECT_EQ(header.distinctValues, 7002);
  const std::vector<Delivered> all = readAll(counter);
  ASSERT_EQ(all.size(), 7002u);
  EXPECT_EQ(all[0].counts[0], 70000u);
  EXPECT_EQ(all[1].counts[0], 60000u);
  EXPECT_EQ((valueAt(all, 0, 65000) + valueAt(all, 0, 65001)) / 2, 1.0);
}

TEST_F(DatCountTest, BlockLimitKeepsTheSmallestValuesAndSetsTheFlag) {
  // n = 32: 139 entries per block; a limit of 2 blocks holds 2 * 139 - 1 = 277 entries and the
  // sentinel. The totals keep counting every value offered, the dropped ones too.
  struct Case {
    int distinctValues;
    bool overflow;
  };
  const Case cases[] = {{277, false}, {278, true}, {600, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.distinctValues);
    std::vector<int> order(c.distinctValues);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    TDatCount counter(ui, 2);
    ASSERT_TRUE(counter.openNew(name, 32));
    Reference kept;
    for (int round = 0; round < 2; ++round) {
      for (int v : order) {
        std::array<std::uint8_t, 32> flags{};
        flags[0] = 1;
        flags[v % 32] = 1;
        ASSERT_TRUE(counter.add(flags, v));
        for (int i = 0; i < 32; ++i) kept.totals[i] += flags[i];
        if (v < 277) {
          Counts& counts = kept.entries[v];
          for (int i = 0; i < 32; ++i) counts[i] += flags[i];
        }
      }
    }
    ASSERT_TRUE(counter.finish());
    EXPECT_EQ(counter.overflow(), c.overflow);
    EXPECT_EQ(counter.totals(), kept.totals);
    EXPECT_EQ(counter.totals()[0], 2u * static_cast<std::uint32_t>(c.distinctValues));
    EXPECT_EQ(counter.openForReading(name).status,
              c.overflow ? std::uint32_t{TDatCount::BlocksOverflowed} : 0u);
    expectMatches(counter, name, kept, 32);
    EXPECT_LE(std::filesystem::file_size(name), 384u + 2u * 139u * 138u);
  }
}

TEST_F(DatCountTest, EndMarkerValuesAreRefusedAndCountedNowhere) {
  TDatCount counter(ui);
  ASSERT_TRUE(counter.openNew(name, 1));
  const std::uint8_t flag[] = {1};
  EXPECT_FALSE(counter.add(flag, 1e19));
  EXPECT_FALSE(counter.add(flag, 1e20));
  EXPECT_FALSE(counter.add(flag, std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(counter.add(flag, std::nan("")));
  EXPECT_TRUE(counter.add(flag, 9e18));
  EXPECT_TRUE(counter.add(flag, -1e30));
  EXPECT_TRUE(counter.add(flag, -std::numeric_limits<double>::infinity()));  // the smallest six-byte real
  EXPECT_FALSE(counter.add({}, 1.0));                                        // fewer flags than components
  ASSERT_TRUE(counter.finish());
  EXPECT_EQ(counter.refusedValues(), 4);
  EXPECT_TRUE(counter.incomplete());
  EXPECT_FALSE(counter.overflow());
  EXPECT_FALSE(counter.add(flag, 1.0));  // counting has ended

  const DatCountHeader header = counter.openForReading(name);
  EXPECT_EQ(header.status, std::uint32_t{TDatCount::ValuesRefused});
  EXPECT_EQ(header.totals[0], 3u);
  const std::vector<Delivered> all = readAll(counter);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].value, -kReal48Max);
  EXPECT_EQ(all[1].value, Real48::fromDouble(-1e30).toDouble());
  EXPECT_EQ(all[2].value, Real48::fromDouble(9e18).toDouble());
}

TEST_F(DatCountTest, RefusesComponentCountsOutside1To32) {
  TDatCount counter(ui);
  EXPECT_FALSE(counter.openNew(name, 0));
  EXPECT_FALSE(counter.openNew(name, 33));
  const std::uint8_t flag[] = {1};
  EXPECT_FALSE(counter.add(flag, 1.0));
}

TEST_F(DatCountTest, DamagedFilesAreReadAsFarAsTheyAreValid) {
  // 3000 distinct values with n = 1 (1600 per block): entries at 384 + 12 * i hold the value i.
  {
    TDatCount counter(ui);
    ASSERT_TRUE(counter.openNew(name, 1));
    const std::uint8_t flag[] = {1};
    for (int v = 0; v < 3000; ++v) ASSERT_TRUE(counter.add(flag, v));
    ASSERT_TRUE(counter.finish());
  }
  const Bytes whole = load(name);
  const std::string damaged = name + ".bad";

  enum class Patch { None, Word, Real };
  struct Case {
    const char* what;
    std::size_t cut;  // file length kept
    Patch patch;
    std::size_t at;  // where the patch goes
    double patchValue;
    int expectedN;
    std::int32_t expectedDistinct;
    std::size_t expectedDelivered;
  };
  const Case cases[] = {
      {"cut in the middle of entry 100", 384 + 12 * 100 + 5, Patch::None, 0, 0, 1, 100, 100},
      {"cut inside the header", 100, Patch::None, 0, 0, 0, 0, 0},
      {"component count 0", whole.size(), Patch::Word, 0, 0, 0, 0, 0},
      {"component count 40", whole.size(), Patch::Word, 0, 40, 0, 0, 0},
      {"entry units not matching n", whole.size(), Patch::Word, 4, 3, 0, 0, 0},
      {"entry 5 below entry 4", whole.size(), Patch::Real, 384 + 12 * 5, 2.5, 1, 3000, 5},
      {"end marker inside the data", whole.size(), Patch::Real, 384 + 12 * 10, 5e19, 1, 3000, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes(whole.begin(), whole.begin() + std::ptrdiff_t(c.cut));
    if (c.patch == Patch::Real) writeReal48(c.patchValue, bytes.data() + c.at);
    if (c.patch == Patch::Word) {
      const auto word = static_cast<std::uint32_t>(c.patchValue);
      for (int i = 0; i < 4; ++i) bytes[c.at + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
    save(damaged, bytes);
    TDatCount counter(ui);
    const DatCountHeader header = counter.openForReading(damaged);
    EXPECT_EQ(header.n, c.expectedN);
    EXPECT_EQ(header.distinctValues, c.expectedDistinct);
    const std::vector<Delivered> all = readAll(counter);
    ASSERT_EQ(all.size(), c.expectedDelivered);
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].value, double(i));
  }
}

}  // namespace
}  // namespace veltrix
