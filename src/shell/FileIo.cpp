// Reading and writing text files, and the numbering of file errors.
#include "shell/FileIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "shell/Host.h"

#if defined(__unix__)
#include <unistd.h>
#endif

namespace brimtal {

namespace fs = std::filesystem;

std::string ErrorDescription(int number) {
  static const std::map<int, std::string> kDescriptions = {
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {11, "Division by zero"},
      {vberr::kTypeMismatch, "Type mismatch"},
      {vberr::kBadFileName, "Bad file name or number"},
      {vberr::kFileNotFound, "File not found"},
      {55, "File already open"},
      {vberr::kDeviceIo, "Device I/O error"},
      {58, "File already exists"},
      {vberr::kDiskFull, "Disk full"},
      {vberr::kInputPastEnd, "Input past end of file"},
      {67, "Too many files"},
      {vberr::kPermissionDenied, "Permission denied"},
      {71, "Disk not ready"},
      {vberr::kPathFileAccess, "Path/File access error"},
      {vberr::kPathNotFound, "Path not found"},
      {482, "Printer error"},
  };
  const auto it = kDescriptions.find(number);
  return it != kDescriptions.end() ? it->second : "Application-defined or object-defined error";
}

FileError MakeFileError(int number) {
  return FileError{number, ErrorDescription(number)};
}

FileError FileErrorFromErrno(int errnoValue, const std::string& path) {
  switch (errnoValue) {
    case ENOENT: {
      std::error_code ec;
      const fs::path parent = fs::path(path).parent_path();
      const bool folderExists = parent.empty() || fs::is_directory(parent, ec);
      return MakeFileError(folderExists ? vberr::kFileNotFound : vberr::kPathNotFound);
    }
    case ENOTDIR: return MakeFileError(vberr::kPathNotFound);
    case EACCES:
    case EPERM: return MakeFileError(vberr::kPermissionDenied);
    case ENAMETOOLONG: return MakeFileError(vberr::kBadFileName);
    case ENOSPC: return MakeFileError(vberr::kDiskFull);
    case EIO: return MakeFileError(vberr::kDeviceIo);
    default: return MakeFileError(vberr::kPathFileAccess);
  }
}

std::string ErrorNumberText(const FileError& error) {
  return "Error # " + std::to_string(error.number) + "\r" + error.description;
}

std::string FileErrorText(const FileError& error, std::string_view place, std::string_view path) {
  std::string text = ErrorNumberText(error) + "\r";
  text += place;
  if (!path.empty()) {
    text += "\r";
    text += path;
  }
  return text;
}

void ShowFileError(Host& host, const FileError& error, std::string_view place,
                   std::string_view path) {
  host.MsgBox(FileErrorText(error, place, path), MsgButtons::OK, MsgIcon::Critical, "Error");
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text.substr(start, stop - start));
    start = next;
  }
  return lines;
}

bool TextFileReader::Open(const std::string& path, FileError& error) {
  lines_.clear();
  next_ = 0;
  if (path.empty()) {
    error = MakeFileError(vberr::kBadFileName);
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = FileErrorFromErrno(errno, path);
    return false;
  }
  std::string content;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int readErrno = errno;
  std::fclose(file);
  if (failed) {
    error = readErrno == EISDIR ? MakeFileError(vberr::kPathFileAccess)
                                : FileErrorFromErrno(readErrno, path);
    return false;
  }
  lines_ = SplitLines(content);
  return true;
}

bool TextFileReader::ReadLine(std::string& line, FileError& error) {
  if (AtEnd()) {
    error = MakeFileError(vberr::kInputPastEnd);
    return false;
  }
  line = lines_[next_++];
  return true;
}

AtomicFileWriter::~AtomicFileWriter() {
  Discard();
}

void AtomicFileWriter::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    std::error_code ec;
    fs::remove(tempPath_, ec);
    tempPath_.clear();
  }
}

bool AtomicFileWriter::Open(const std::string& path, FileError& error) {
  Discard();
  failed_ = false;
  if (path.empty()) {
    error = MakeFileError(vberr::kBadFileName);
    return false;
  }
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) {
    error = MakeFileError(vberr::kPathFileAccess);
    return false;
  }
  if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    error = MakeFileError(vberr::kPermissionDenied);  // a write-protected file stays untouched
    return false;
  }
  path_ = path;
  tempPath_ = path + ".saving~";
  fs::remove(tempPath_, ec);
  file_ = std::fopen(tempPath_.c_str(), "wb");
  if (file_ == nullptr) {
    error = FileErrorFromErrno(errno, tempPath_);
    tempPath_.clear();
    return false;
  }
  return true;
}

void AtomicFileWriter::Write(std::string_view text) {
  if (file_ == nullptr || failed_ || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    failed_ = true;
    failedErrno_ = errno;
  }
}

void AtomicFileWriter::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool AtomicFileWriter::Commit(FileError& error) {
  if (file_ == nullptr) {
    error = MakeFileError(vberr::kBadFileName);
    return false;
  }
  if (!failed_ && std::fflush(file_) != 0) {
    failed_ = true;
    failedErrno_ = errno;
  }
#if defined(__unix__)
  if (!failed_ && ::fsync(fileno(file_)) != 0 && errno != EINVAL) {
    failed_ = true;
    failedErrno_ = errno;
  }
#endif
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    failedErrno_ = errno;
  }
  file_ = nullptr;
  if (failed_) {
    error = FileErrorFromErrno(failedErrno_, path_);
    Discard();
    return false;
  }
  std::error_code ec;
  fs::rename(tempPath_, path_, ec);
  if (ec) {
    error = FileErrorFromErrno(ec.value(), path_);
    Discard();
    return false;
  }
  tempPath_.clear();
  return true;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    FileError& error) {
  AtomicFileWriter writer;
  if (!writer.Open(path, error)) return false;
  for (const auto& line : lines) writer.WriteLine(line);
  return writer.Commit(error);
}

bool AppendToFile(const std::string& path, std::string_view text) {
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace brimtal
