#include "cli/batch_output.h"

#include "core/base/win1252.h"

namespace veltrix::cli {

bool BatchOutput::appendTo(const std::string& file) {
  m_file.open(file, std::ios::binary | std::ios::app);
  m_toFile = m_file.is_open();
  return m_toFile;
}

void BatchOutput::write(std::string_view win1252) {
  if (m_toFile) {
    m_file.write(win1252.data(), static_cast<std::streamsize>(win1252.size()));
  } else {
    m_stdout << win1252ToUtf8(win1252);
  }
}

void BatchOutput::writeLine(std::string_view win1252) {
  write(win1252);
  write(m_toFile ? "\r\n" : "\n");
}

bool BatchOutput::finish() {
  // Buffered bytes reach the file (or the pipe) only now: a full disk shows here, not earlier.
  if (!m_toFile) return m_stdout.flush().good();
  m_file.flush();
  const bool written = m_file.good();
  m_file.close();
  return written && !m_file.fail();
}

}  // namespace veltrix::cli
