// A fresh folder for one test, named for the process and the running test so
// that parallel runs never meet in it, and removed with its contents at the end.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace fp::test {

class TestFolder {
 public:
  explicit TestFolder(std::string_view prefix)
      : path_(std::filesystem::temp_directory_path() / name(prefix)) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  static std::string name(std::string_view prefix) {
    std::string text = std::string(prefix) + "_" + std::to_string(::getpid());
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
      text += std::string("_") + test->name();
    }
    // Parameterised tests are named "Case/0": one folder, not two levels.
    std::replace(text.begin(), text.end(), '/', '_');
    return text;
  }

  std::filesystem::path path_;
};

}  // namespace fp::test
