// Temporary folders and whole-file reads for tests.
#pragma once

#include <filesystem>
#include <string>

namespace brimtal::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // The path of a file in the folder, as text.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A file of tests/data.
std::string DataFile(const std::string& relativePath);
// A file of examples/.
std::string ExampleFile(const std::string& relativePath);

}  // namespace brimtal::test
