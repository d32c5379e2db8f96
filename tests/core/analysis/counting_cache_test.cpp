#include "core/analysis/counting_cache.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/datafile/dat_count.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

class CountingCacheTest : public test::TempDirTest {
 protected:
  CountingCacheTest() : TempDirTest("veltrix-counting-cache") {}

  struct Offer {
    std::array<std::uint8_t, 3> flags;
    double value;
  };

  // The entries of a counting file fed directly, and the same values through a cache of capacity.
  std::vector<DatCountEntry> direct(const std::vector<Offer>& offers, DatCountHeader& header) {
    TDatCount count(ui);
    EXPECT_TRUE(count.openNew(path("direct"), 3));
    for (const Offer& o : offers) count.add(o.flags, o.value);
    EXPECT_TRUE(count.finish());
    return read(count, path("direct"), header);
  }
  std::vector<DatCountEntry> cached(const std::vector<Offer>& offers, std::size_t capacity,
                                    DatCountHeader& header) {
    TDatCount count(ui);
    EXPECT_TRUE(count.openNew(path("cached"), 3));
    CountingCache cache(count, 3, capacity);
    for (const Offer& o : offers) EXPECT_TRUE(cache.add(o.flags, o.value));
    EXPECT_TRUE(cache.flush());
    EXPECT_TRUE(count.finish());
    return read(count, path("cached"), header);
  }
  std::vector<DatCountEntry> read(TDatCount& count, const std::string& name, DatCountHeader& header) {
    header = count.openForReading(name);
    std::vector<DatCountEntry> entries;
    for (DatCountEntry e = count.next(); e.ordinal != 0; e = count.next()) entries.push_back(e);
    count.close();
    return entries;
  }

  test::RecordingUi ui;
};

TEST_F(CountingCacheTest, TheFileHoldsWhatDirectCountingGives) {
  std::vector<Offer> offers;
  // Repeats in every order, a negative zero, two values that are one six-byte real, and the values
  // the file refuses.
  for (int i = 0; i < 200; ++i) {
    const std::uint8_t a = i % 2, b = i % 3 == 0, c = 1;
    offers.push_back({{a, b, c}, static_cast<double>((i * 37) % 23) / 4});
  }
  offers.push_back({{1, 1, 1}, -0.0});
  offers.push_back({{1, 0, 0}, 1.0});
  offers.push_back({{1, 0, 0}, 1.0 + std::ldexp(1.0, -52)});
  offers.push_back({{1, 1, 1}, std::numeric_limits<double>::quiet_NaN()});
  offers.push_back({{0, 1, 0}, 2e19});
  offers.push_back({{0, 1, 0}, 9e18});
  DatCountHeader expectedHeader, header;
  const std::vector<DatCountEntry> expected = direct(offers, expectedHeader);
  for (const std::size_t capacity : {1u, 3u, 7u, 4096u}) {
    const std::vector<DatCountEntry> entries = cached(offers, capacity, header);
    ASSERT_EQ(entries.size(), expected.size()) << "capacity " << capacity;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].value, expected[i].value) << "capacity " << capacity << " entry " << i;
      EXPECT_EQ(entries[i].counts, expected[i].counts) << "capacity " << capacity << " entry " << i;
    }
    EXPECT_EQ(header.totals, expectedHeader.totals);
    EXPECT_EQ(header.distinct, expectedHeader.distinct);
    EXPECT_EQ(header.status, expectedHeader.status);
    EXPECT_NE(header.status & TDatCount::ValuesRefused, 0u);
  }
}

}  // namespace
}  // namespace veltrix
