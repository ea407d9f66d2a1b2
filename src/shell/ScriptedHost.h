// A host without windows: it records every message verbatim and answers questions and
// dialogs from queues filled in advance. A question nobody prepared an answer for is an
// error (UnexpectedDialog), so a test cannot pass by accident. With a VirtualClock, every
// DoEvents advances time by the wait it was offered.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "shell/Host.h"

namespace brimtal {

class VirtualClock;

class UnexpectedDialog : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class ScriptedHost final : public Host {
 public:
  struct Message {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
    std::string title;
  };
  struct InputRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
  };

  explicit ScriptedHost(VirtualClock* clock = nullptr, std::string appTitle = "Brimtal");
  ~ScriptedHost() override;

  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  void DoEvents(int maxWaitMs) override;
  void SetBusy(bool busy) override { busy_ = busy; }
  void StartTone(int frequencyHz, int durationMs) override;
  void Beep() override { ++beeps_; }
  std::string FileDialog(const FileDialogRequest& request) override;
  std::string PickDirectory(const std::string& title, const std::string& startDir) override;
  std::unique_ptr<Printer> PrinterDialog(const PrinterDialogRequest& request) override;
  std::string AppTitle() const override { return appTitle_; }

  // Answers, used in order. An empty path or directory means the operator cancelled.
  void QueueAnswer(MsgAnswer answer) { answers_.push_back(answer); }
  void QueueInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
  void QueueFile(std::string path) { files_.push_back(std::move(path)); }
  void QueueDirectory(std::string path) { directories_.push_back(std::move(path)); }
  // nullptr means the printer dialog is cancelled.
  void QueuePrinter(std::unique_ptr<Printer> printer) { printers_.push_back(std::move(printer)); }

  // Runs the action during the first DoEvents at or after the tick (virtual clock only).
  void At(std::int64_t tickMs, std::function<void()> action);
  // Runs on every DoEvents.
  void OnDoEvents(std::function<void()> action) { onDoEvents_ = std::move(action); }

  const std::vector<Message>& Messages() const { return messages_; }
  std::vector<std::string> MessageTexts() const;
  void ClearMessages() { messages_.clear(); }
  const std::vector<InputRequest>& InputRequests() const { return inputRequests_; }
  const std::vector<FileDialogRequest>& FileRequests() const { return fileRequests_; }
  const std::vector<std::pair<int, int>>& Tones() const { return tones_; }
  int Beeps() const { return beeps_; }
  bool Busy() const { return busy_; }
  long DoEventsCalls() const { return doEventsCalls_; }
  std::int64_t PumpedMs() const { return pumpedMs_; }
  // True when every queued answer was used.
  bool AllAnswersUsed() const;

 private:
  VirtualClock* clock_;
  std::string appTitle_;
  std::vector<Message> messages_;
  std::vector<InputRequest> inputRequests_;
  std::vector<FileDialogRequest> fileRequests_;
  std::vector<std::pair<int, int>> tones_;
  std::deque<MsgAnswer> answers_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::string> files_;
  std::deque<std::string> directories_;
  std::deque<std::unique_ptr<Printer>> printers_;
  std::vector<std::pair<std::int64_t, std::function<void()>>> scheduled_;
  std::function<void()> onDoEvents_;
  int beeps_ = 0;
  bool busy_ = false;
  long doEventsCalls_ = 0;
  std::int64_t pumpedMs_ = 0;
};

}  // namespace brimtal
