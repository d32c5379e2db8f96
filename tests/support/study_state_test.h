// A test fixture for the commands of the main window: a statistics file "studie.dt1" in the test's
// own directory as the current file of a global state, with a parameter object holding the variables
// the test names.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "core/datafile/params.h"
#include "core/shell/file_opening.h"
#include "core/shell/global_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix::test {

struct StudyVariable {
  std::string_view name;  // a text variable's name ends with ">"
  int position = 1;
  int length = 1;
};

class StudyStateTest : public TempDirTest {
 protected:
  using TempDirTest::TempDirTest;

  // Writes records as the statistics file and makes it the current file with these variables.
  void selectStudy(std::initializer_list<StudyVariable> variables, const std::string& records) {
    state.currentFile = path("studie.dt1");
    DerivePerFileNames(state);
    state.params = std::make_unique<TParams>(ui);
    state.params->setFileName(state.parameterFileName);
    int index = 0;
    for (const StudyVariable& v : variables) state.params->putVariable(++index, v.name, v.position, v.length);
    state.params->setVariableCount(index);
    writeBytes(state.currentFile, records);
  }

  ScriptedUi ui;
  GlobalState state{ui};
};

}  // namespace veltrix::test
