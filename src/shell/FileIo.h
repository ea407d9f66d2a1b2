// Text files as the program reads and writes them, and the "Error # " box text for file
// failures. Lines are written with CR LF; reading accepts CR LF or LF.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace brimtal {

class Host;

// A file or conversion failure, numbered as the program has always numbered them.
struct FileError {
  int number = 0;
  std::string description;
};

namespace vberr {
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIo = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
}  // namespace vberr

// The standard description of an error number ("File not found" for 53, ...).
std::string ErrorDescription(int number);
FileError MakeFileError(int number);
// The error number for a failed open of path (errno as left by the failed call).
FileError FileErrorFromErrno(int errnoValue, const std::string& path);

// "Error # " number CR description: the box of a typed answer that does not convert.
std::string ErrorNumberText(const FileError& error);
// "Error # " number CR description CR place, then CR path when a path is given.
std::string FileErrorText(const FileError& error, std::string_view place,
                          std::string_view path = {});
// Shows FileErrorText in a box titled "Error" with the stop icon.
void ShowFileError(Host& host, const FileError& error, std::string_view place,
                   std::string_view path = {});

// A text file read whole into lines. A final line end does not make an empty line.
class TextFileReader {
 public:
  bool Open(const std::string& path, FileError& error);
  // The next line without its line end; false (and error 62) when the file has ended.
  bool ReadLine(std::string& line, FileError& error);
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::size_t LineCount() const { return lines_.size(); }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// Splits text into lines at LF, dropping a CR before the LF; a final line end does not make
// an empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Writes a file beside its destination and renames it over the destination on Commit, so
// that a failed or interrupted save leaves the previous file as it was.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  bool Open(const std::string& path, FileError& error);
  void Write(std::string_view text);
  // The text followed by CR LF.
  void WriteLine(std::string_view text);
  bool Commit(FileError& error);

 private:
  void Discard();
  std::string path_;
  std::string tempPath_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  int failedErrno_ = 0;
};

// Writes the lines, each followed by CR LF, replacing the file in one step.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    FileError& error);

// Appends text to a file, creating it when missing. False when it cannot be written.
bool AppendToFile(const std::string& path, std::string_view text);

}  // namespace brimtal
