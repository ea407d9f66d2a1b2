// The scripted host.
#include "shell/ScriptedHost.h"

#include <algorithm>

#include "shell/Clock.h"
#include "shell/Printer.h"

namespace brimtal {

ScriptedHost::ScriptedHost(VirtualClock* clock, std::string appTitle)
    : clock_(clock), appTitle_(std::move(appTitle)) {}

ScriptedHost::~ScriptedHost() = default;

MsgAnswer ScriptedHost::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                               const std::string& title) {
  messages_.push_back(Message{text, buttons, icon, title.empty() ? appTitle_ : title});
  if (buttons == MsgButtons::OK) return MsgAnswer::OK;
  if (answers_.empty()) throw UnexpectedDialog("unexpected question: " + text);
  const MsgAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedHost::InputBox(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& defaultText) {
  inputRequests_.push_back(InputRequest{prompt, title, defaultText});
  if (inputs_.empty()) throw UnexpectedDialog("unexpected input box: " + prompt);
  auto text = std::move(inputs_.front());
  inputs_.pop_front();
  return text;
}

void ScriptedHost::DoEvents(int maxWaitMs) {
  ++doEventsCalls_;
  pumpedMs_ += maxWaitMs;
  if (clock_ != nullptr) {
    // A pump that offers no time still lets virtual time move, so that no wait can stall.
    clock_->Advance(std::max(maxWaitMs, 1));
    const std::int64_t now = clock_->TickMs();
    std::vector<std::function<void()>> due;
    auto firstLater = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                            [now](const auto& item) { return item.first <= now; });
    for (auto it = scheduled_.begin(); it != firstLater; ++it) due.push_back(std::move(it->second));
    scheduled_.erase(scheduled_.begin(), firstLater);
    for (auto& action : due) action();
  }
  if (onDoEvents_) onDoEvents_();
}

void ScriptedHost::StartTone(int frequencyHz, int durationMs) {
  tones_.emplace_back(frequencyHz, durationMs);
}

std::string ScriptedHost::FileDialog(const FileDialogRequest& request) {
  fileRequests_.push_back(request);
  if (files_.empty()) throw UnexpectedDialog("unexpected file dialog: " + request.title);
  std::string path = std::move(files_.front());
  files_.pop_front();
  return path;
}

std::string ScriptedHost::PickDirectory(const std::string& title, const std::string&) {
  if (directories_.empty()) throw UnexpectedDialog("unexpected directory picker: " + title);
  std::string path = std::move(directories_.front());
  directories_.pop_front();
  return path;
}

std::unique_ptr<Printer> ScriptedHost::PrinterDialog(const PrinterDialogRequest& request) {
  if (printers_.empty()) throw UnexpectedDialog("unexpected printer dialog: " + request.title);
  auto printer = std::move(printers_.front());
  printers_.pop_front();
  return printer;
}

void ScriptedHost::At(std::int64_t tickMs, std::function<void()> action) {
  scheduled_.emplace_back(tickMs, std::move(action));
}

std::vector<std::string> ScriptedHost::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages_) texts.push_back(m.text);
  return texts;
}

bool ScriptedHost::AllAnswersUsed() const {
  return answers_.empty() && inputs_.empty() && files_.empty() && directories_.empty() &&
         printers_.empty();
}

}  // namespace brimtal
