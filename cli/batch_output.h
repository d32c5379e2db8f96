// Where the results of a batch run go: standard output as UTF-8, or appended to a protocol file as
// Windows-1252 bytes exactly as the program's own protocol files are written.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>

namespace veltrix::cli {

class BatchOutput {
 public:
  explicit BatchOutput(std::ostream& stdoutStream) : m_stdout(stdoutStream) {}
  // Opens FILE for appending; false when it cannot be opened.
  bool appendTo(const std::string& file);
  // Writes Windows-1252 text; line ends are written as given.
  void write(std::string_view win1252);
  // One line: ended by LF on standard output, by CR LF in a protocol file.
  void writeLine(std::string_view win1252);
  // Flushes (and closes the file); false when any of the output could not be written.
  bool finish();

 private:
  std::ostream& m_stdout;
  std::ofstream m_file;
  bool m_toFile = false;
};

}  // namespace veltrix::cli
