// Start-up when memory runs out for the parameter object. The test binary's operator new is replaced
// here by malloc with one switch: armed with a size, the next request of exactly that size throws
// std::bad_alloc, as a machine without that much memory would. Unarmed it only forwards to malloc.
// The test is a program of its own: in the common test binary the replacement would hide mismatched
// new and delete in every other test from the address sanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/datafile/params.h"
#include "core/shell/global_state.h"
#include "core/shell/startup.h"
#include "tests/alloc/replaced_new.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace {

std::atomic<std::size_t> g_failingSize{0};

}  // namespace

bool veltrix::test::OnAllocation(std::size_t size) {
  std::size_t armed = size;
  return size == 0 || !g_failingSize.compare_exchange_strong(armed, 0);
}

namespace veltrix {
namespace {

class StartupMemoryTest : public test::TempDirTest {
 protected:
  StartupMemoryTest() : TempDirTest("veltrix-startup-memory") {}
};

TEST_F(StartupMemoryTest, NoMemoryForTheParameterObjectIsFatal) {
  test::ScriptedUi ui;
  GlobalState state(ui);
  StartupEnvironment environment;
  environment.executablePath = path("veltrix");
  environment.randomSeed = 7u;
  environment.millisecondsOfDay = 45'296'789;
  BuildProgramState(state, environment);

  ui.expectFatal("Speicher zu klein");
  g_failingSize = sizeof(TParams);
  FinishStartup(state, environment);
  const bool stillArmed = g_failingSize.exchange(0) != 0;
  ASSERT_FALSE(stillArmed) << "the parameter object was never allocated";

  EXPECT_TRUE(ui.allPlayed());
  EXPECT_TRUE(ui.terminated());
  EXPECT_EQ(state.params, nullptr);
  EXPECT_FALSE(state.fileSelected()) << "no statistics file is opened after the fatal box";
}

}  // namespace
}  // namespace veltrix
