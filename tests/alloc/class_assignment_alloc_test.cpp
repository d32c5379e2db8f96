// The class assignment runs for every record and classified variable of a data pass, so it must not
// allocate. The test binary's operator new counts its calls; the test is a program of its own so that
// the replacement does not reach the other tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/groups/class_division.h"
#include "core/stats/real48.h"
#include "tests/alloc/replaced_new.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

bool veltrix::test::OnAllocation(std::size_t) {
  ++g_allocations;
  return true;
}

namespace veltrix {
namespace {

TEST(ClassAssignmentAllocTest, AssigningClassesDoesNotAllocate) {
  ClassDivisionRecord numeric{};
  numeric[1] = 29;
  for (int i = 0; i < 29; ++i) writeReal48(i, &numeric[2 + 6 * i]);
  ClassDivisionRecord text{};
  text[1] = 3 + 32 * 2;
  const std::string entries = "A;    B;    LEER  ";
  for (std::size_t i = 0; i < entries.size(); ++i) text[2 + i] = static_cast<std::uint8_t>(entries[i]);
  const std::string longField = "a;b;" + std::string(90, 'x') + ";";

  const long before = g_allocations.load();
  int total = 0;
  for (int round = 0; round < 100; ++round) {
    total += AssignClasses("17", 0, 17.0, numeric)[31];
    total += AssignClasses(longField, -2, 0.0, text)[31];
    total += AssignClasses("", -1, 0.0, text)[31];
  }
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_EQ(total, 100 * (1 + 3 + 1));
}

}  // namespace
}  // namespace veltrix
