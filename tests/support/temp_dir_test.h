// A test fixture that gives every test a directory of its own below the system's temporary directory,
// removed again afterwards, with small helpers to write and read files there.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace veltrix::test {

class TempDirTest : public ::testing::Test {
 protected:
  // prefix names the suite's directories ("veltrix-file-names-<pid>-<test>").
  explicit TempDirTest(std::string prefix) : m_prefix(std::move(prefix)) {}

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::temp_directory_path() /
            (m_prefix + "-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }

  std::string path(const std::string& name) const { return (m_dir / name).string(); }

  static void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << name;
  }
  static std::string readBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path m_dir;

 private:
  std::string m_prefix;
};

}  // namespace veltrix::test
