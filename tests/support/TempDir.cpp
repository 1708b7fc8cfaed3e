#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace vxtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    std::ostringstream name;
    name << "vxpa-test-" << rd() << "-" << counter++;
    fPath = base / name.str();
    if (std::filesystem::create_directory(fPath)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(fPath, ec);
}

std::u16string TempDir::Text() const {
  std::u16string text = fPath.u16string();
  text.push_back(static_cast<char16_t>(std::filesystem::path::preferred_separator));
  return text;
}

std::string ReadFileBytes(const std::filesystem::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace vxtest
