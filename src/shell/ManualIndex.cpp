// Reading the manual folder and looking up its keywords.
#include "shell/ManualIndex.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "shell/FileIo.h"
#include "shell/VbText.h"

namespace brimtal {

namespace fs = std::filesystem;

namespace {

bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  const std::string lowerText = vbtext::ToLower(text);
  return lowerText.find(vbtext::ToLower(part)) != std::string::npos;
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// "01-main-menu.md" -> "main menu"
std::string TopicOfFileName(std::string_view name) {
  const auto dash = name.find('-');
  std::string topic(name.substr(dash == std::string_view::npos ? 0 : dash + 1));
  if (topic.size() >= 3 && topic.ends_with(".md")) topic.resize(topic.size() - 3);
  std::replace(topic.begin(), topic.end(), '-', ' ');
  return topic;
}

}  // namespace

bool IsManualFileName(std::string_view name) {
  std::size_t digits = 0;
  while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
  return digits > 0 && digits < name.size() && name[digits] == '-' && name.size() > digits + 4 &&
         name.ends_with(".md");
}

ManualSection ParseManualSection(const std::string& fileName, std::string_view content) {
  ManualSection section;
  section.fileName = fileName;
  const std::vector<std::string> lines = SplitLines(content);
  std::size_t next = 0;
  if (next < lines.size() && lines[next].starts_with("# ")) {
    section.title = vbtext::Trim(std::string_view(lines[next]).substr(2));
    ++next;
  } else {
    section.title = TopicOfFileName(fileName);
  }
  constexpr std::string_view kKeywords = "keywords:";
  if (next < lines.size() &&
      vbtext::EqualsNoCase(std::string_view(lines[next]).substr(0, kKeywords.size()), kKeywords)) {
    std::string_view rest = std::string_view(lines[next]).substr(kKeywords.size());
    while (!rest.empty()) {
      const auto comma = rest.find(',');
      std::string keyword = vbtext::Trim(rest.substr(0, comma));
      if (!keyword.empty()) section.keywords.push_back(std::move(keyword));
      rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    ++next;
  }
  for (; next < lines.size(); ++next) {
    section.body += lines[next];
    section.body += '\n';
  }
  return section;
}

ManualIndex ManualIndex::FromTexts(std::vector<std::pair<std::string, std::string>> files) {
  std::sort(files.begin(), files.end());
  ManualIndex index;
  for (const auto& [name, content] : files) {
    index.sections_.push_back(ParseManualSection(name, content));
  }
  return index;
}

ManualIndex ManualIndex::Load(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsManualFileName(name) || !it->is_regular_file(ec)) continue;
    TextFileReader reader;
    FileError error;
    if (!reader.Open(it->path().string(), error)) continue;
    std::string content;
    std::string line;
    while (reader.ReadLine(line, error)) content += line + '\n';
    files.emplace_back(name, std::move(content));
  }
  return FromTexts(std::move(files));
}

std::vector<ManualKeyword> ManualIndex::Keywords() const {
  std::vector<ManualKeyword> all;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    for (const auto& keyword : sections_[i].keywords) all.push_back({keyword, i});
  }
  std::stable_sort(all.begin(), all.end(), [](const ManualKeyword& a, const ManualKeyword& b) {
    return vbtext::ToLower(a.keyword) < vbtext::ToLower(b.keyword);
  });
  return all;
}

std::vector<ManualKeyword> ManualIndex::Search(std::string_view text) const {
  const std::string wanted = vbtext::Trim(text);
  std::vector<ManualKeyword> found;
  for (auto& entry : Keywords()) {
    if (ContainsNoCase(entry.keyword, wanted)) found.push_back(std::move(entry));
  }
  return found;
}

std::vector<std::size_t> ManualIndex::SectionsContaining(std::string_view text) const {
  const std::vector<std::string> words = SplitWords(text);
  std::vector<std::size_t> found;
  if (words.empty()) return found;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const std::string all = sections_[i].title + '\n' + sections_[i].body;
    if (std::all_of(words.begin(), words.end(),
                    [&](const std::string& w) { return ContainsNoCase(all, w); })) {
      found.push_back(i);
    }
  }
  return found;
}

std::optional<std::size_t> ManualIndex::FindKeyword(std::string_view keyword) const {
  const std::string wanted = vbtext::Trim(keyword);
  if (wanted.empty()) return std::nullopt;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    for (const auto& k : sections_[i].keywords) {
      if (vbtext::EqualsNoCase(k, wanted)) return i;
    }
  }
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (vbtext::EqualsNoCase(sections_[i].title, wanted)) return i;
  }
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (vbtext::EqualsNoCase(TopicOfFileName(sections_[i].fileName), wanted)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> ManualIndex::FindFile(std::string_view fileName) const {
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (vbtext::EqualsNoCase(sections_[i].fileName, fileName)) return i;
  }
  return std::nullopt;
}

std::string FirstExistingFolder(const std::vector<std::string>& candidates) {
  std::error_code ec;
  for (const auto& folder : candidates) {
    if (!folder.empty() && fs::is_directory(folder, ec)) return folder;
  }
  return {};
}

}  // namespace brimtal
