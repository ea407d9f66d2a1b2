// Small routines that every window uses: comparisons, path shortening, the file dialog, number
// prompts, the busy pointer and window placement arithmetic.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brimtal {

class Host;

template <typename T>
T MinOf(T a, T b) {
  return a < b ? a : b;
}

template <typename T>
T MaxOf(T a, T b) {
  return a > b ? a : b;
}

// The path separator of this platform.
inline constexpr char kPathSeparator = '/';

// With four or more parts: the first part, "/.../", the last part; otherwise unchanged.
std::string ShortenPath(std::string_view path);
// The text after the last separator, or the whole text.
std::string FileNameOfPath(std::string_view path);

// The pair of a "description|pattern|..." filter to start on, counting from 1: the first pair
// for an empty preferred pattern, the first pair with that pattern, else the last pair.
int ChooseFilterIndex(std::string_view filter, std::string_view preferredPattern);

// The file dialog of every window: the chosen path, or empty text when cancelled.
std::string PickFile(Host& host, bool save, const std::string& filter, const std::string& title,
                     const std::string& preferredPattern, const std::string& startDir = {},
                     const std::string& proposedName = {});

// A number asked for in an input box without a title. Nothing when the operator cancels or
// answers with blanks only, nor when the answer is not a number (then after the "Error # 13"
// box).
std::optional<double> AskNumber(Host& host, const std::string& prompt,
                                const std::string& defaultText);

// The busy mouse pointer for as long as it lives.
class BusyPointer {
 public:
  explicit BusyPointer(Host& host);
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Host& host_;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Where a window of the given size goes for a stored position "left,top": nothing for texts of
// two characters or less (the window stays put); the screen's centre when it would lie partly
// off the screen; otherwise the stored place.
std::optional<ScreenPoint> PlaceWindowPosition(std::string_view position, int width, int height,
                                               const ScreenRect& screen);

}  // namespace brimtal
