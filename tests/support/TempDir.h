#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test.
#include <filesystem>
#include <string>

namespace vxtest {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return fPath; }
  // The folder as module text, with a trailing separator.
  std::u16string Text() const;

 private:
  std::filesystem::path fPath;
};

// Whole file as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& aPath);

}  // namespace vxtest
