// The user manual: Markdown sections in one folder, with their titles and the help keywords
// that windows use to jump to them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimtal {

struct ManualSection {
  std::string fileName;  // "01-main-menu.md"
  std::string title;     // line 1 without its "# "
  std::vector<std::string> keywords;
  std::string body;  // the Markdown that follows the keywords line
};

struct ManualKeyword {
  std::string keyword;
  std::size_t section = 0;  // index into Sections()
};

class ManualIndex {
 public:
  // Reads every "NN-topic.md" file of the folder, sorted by name. A missing folder gives an
  // empty manual; a file without a "# " title line is titled by its name.
  static ManualIndex Load(const std::string& folder);
  // The same from texts already read: pairs of file name and content.
  static ManualIndex FromTexts(std::vector<std::pair<std::string, std::string>> files);

  const std::vector<ManualSection>& Sections() const { return sections_; }
  bool Empty() const { return sections_.empty(); }

  // Every keyword with its section, sorted without regard to letter case.
  std::vector<ManualKeyword> Keywords() const;
  // Keywords that contain the text, ignoring letter case; all of them for an empty text.
  std::vector<ManualKeyword> Search(std::string_view text) const;
  // Sections whose title or text contain every word of the text, ignoring letter case.
  std::vector<std::size_t> SectionsContaining(std::string_view text) const;
  // The section a keyword leads to: the first section listing it (letter case ignored), else
  // the first section with that title, else the first whose file name has that topic.
  std::optional<std::size_t> FindKeyword(std::string_view keyword) const;
  // The section stored in a file of this name ("03-settings.md"), letter case ignored.
  std::optional<std::size_t> FindFile(std::string_view fileName) const;

 private:
  std::vector<ManualSection> sections_;
};

// True for a manual file name: digits, "-", a topic and ".md".
bool IsManualFileName(std::string_view name);
// Parses one section file.
ManualSection ParseManualSection(const std::string& fileName, std::string_view content);
// The first folder of the candidates that exists, or empty text.
std::string FirstExistingFolder(const std::vector<std::string>& candidates);

}  // namespace brimtal
