// Records per second through IsInGroup for a group of three terms with an alternative
// ("GESCHL : 1", "OR", "ALTER : 20,-,29", "NAME> : ?MEIER"). Run from a Release build folder for the
// real figure:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && ninja -C build-release
//   bench_is_in_group && build-release/bench/is_in_group
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/groups/group_language.h"
#include "tests/support/recording_ui.h"

int main() {
  veltrix::test::RecordingUi ui;
  veltrix::TParams params(ui);
  params.putVariable(1, "ALTER", 1, 3);
  params.putVariable(2, "GESCHL", 4, 1);
  params.putVariable(3, "NAME>", 11, 20);
  params.setVariableCount(3);
  const veltrix::GroupCompileResult group = veltrix::CompileGroupDefinition(
      params, {"GESCHL : 1", "OR", "ALTER : 20,-,29", "NAME> : ?MEIER"}, "Bench", "B");
  if (!group.ok) {
    std::printf("the group does not compile: %s\n", group.message.c_str());
    return 1;
  }

  // 1024 record buffers of varied content, taken in turn for one million tests per round.
  const char* const names[] = {"Meier", "Schulz", "Obermeier", "Mayer", "", "Meierhofer", "Kunz"};
  std::vector<veltrix::RecordBuffer> records(1024);
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].write(1, std::to_string(15 + (i * 7) % 60));
    records[i].write(4, std::to_string(1 + i % 2));
    records[i].write(11, names[i % 7]);
    records[i].setRecordNumber(static_cast<std::int64_t>(i + 1));
  }

  using Clock = std::chrono::steady_clock;
  constexpr long long kRound = 1000000;
  const auto start = Clock::now();
  long long tests = 0;
  long long members = 0;
  double seconds = 0.0;
  do {
    for (long long i = 0; i < kRound; ++i)
      members += veltrix::IsInGroup(records[static_cast<std::size_t>(i) & 1023].text(), group.record) ? 1 : 0;
    tests += kRound;
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 1.5);

  std::printf("IsInGroup: %.0f records per second\n", static_cast<double>(tests) / seconds);
  std::printf("(%lld tests in %.2f s; %lld members)\n", tests, seconds, members);
  return 0;
}
