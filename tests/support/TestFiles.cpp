// Temporary folders and whole-file reads for tests.
#include "support/TestFiles.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace brimtal::test {

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("brimtal-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give write permission back first, so that protected files made by a test can go.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << bytes;
}

std::string DataFile(const std::string& relativePath) {
  return std::string(BRIMTAL_TEST_DATA) + "/" + relativePath;
}

std::string ExampleFile(const std::string& relativePath) {
  return std::string(BRIMTAL_EXAMPLES) + "/" + relativePath;
}

}  // namespace brimtal::test
