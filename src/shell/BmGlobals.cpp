// Path shortening, the file-dialog filter choice, number prompts, the busy pointer and window
// placement.
#include "shell/BmGlobals.h"

#include <vector>

#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string ShortenPath(std::string_view path) {
  if (path.empty()) return {};
  const auto parts = Split(path, kPathSeparator);
  if (parts.size() < 4) return std::string(path);
  return parts.front() + kPathSeparator + "..." + kPathSeparator + parts.back();
}

std::string FileNameOfPath(std::string_view path) {
  const auto last = path.rfind(kPathSeparator);
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

int ChooseFilterIndex(std::string_view filter, std::string_view preferredPattern) {
  if (preferredPattern.empty()) return 1;
  const auto parts = Split(filter, '|');
  const int pairs = static_cast<int>(parts.size() / 2);
  for (int i = 0; i < pairs; ++i) {
    if (parts[static_cast<std::size_t>(2 * i + 1)] == preferredPattern) return i + 1;
  }
  return pairs > 0 ? pairs : 1;
}

std::string PickFile(Host& host, bool save, const std::string& filter, const std::string& title,
                     const std::string& preferredPattern, const std::string& startDir,
                     const std::string& proposedName) {
  FileDialogRequest request;
  request.save = save;
  request.title = title;
  request.filter = filter;
  request.filterIndex = ChooseFilterIndex(filter, preferredPattern);
  request.startDir = startDir;
  request.proposedName = proposedName;
  request.confirmOverwrite = save;
  return host.FileDialog(request);
}

std::optional<double> AskNumber(Host& host, const std::string& prompt,
                                const std::string& defaultText) {
  const std::optional<std::string> answer = host.InputBox(prompt, {}, defaultText);
  if (!answer || vbtext::Trim(*answer).empty()) return std::nullopt;
  const std::optional<double> number = vbtext::ToNumber(*answer);
  if (!number) host.MsgBox(ErrorNumberText(MakeFileError(vberr::kTypeMismatch)));
  return number;
}

BusyPointer::BusyPointer(Host& host) : host_(host) {
  host_.SetBusy(true);
}

BusyPointer::~BusyPointer() {
  host_.SetBusy(false);
}

std::optional<ScreenPoint> PlaceWindowPosition(std::string_view position, int width, int height,
                                               const ScreenRect& screen) {
  if (position.size() <= 2) return std::nullopt;
  const auto comma = position.find(',');
  const double left = vbtext::Val(position.substr(0, comma));
  const double top =
      comma == std::string_view::npos ? 0.0 : vbtext::Val(position.substr(comma + 1));
  const ScreenPoint stored{static_cast<int>(vbtext::RoundHalfEven(left)),
                           static_cast<int>(vbtext::RoundHalfEven(top))};
  const bool offScreen = stored.x < screen.x || stored.y < screen.y ||
                         stored.x + width > screen.x + screen.width ||
                         stored.y + height > screen.y + screen.height;
  if (!offScreen) return stored;
  return ScreenPoint{screen.x + (screen.width - width) / 2,
                     screen.y + (screen.height - height) / 2};
}

}  // namespace brimtal
