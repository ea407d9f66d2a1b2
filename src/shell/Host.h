// The seam through which core code talks to the operator: message boxes, input boxes,
// file and printer dialogs, the event pump used by waits, the mouse pointer and tones.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace brimtal {

class Printer;

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgAnswer { OK, Cancel, Yes, No, Retry };

// A file dialog as the program asks for it. The filter is "description|pattern|description|pattern"
// and filterIndex chooses a pair, counting from 1.
struct FileDialogRequest {
  bool save = false;
  std::string title;
  std::string filter;
  int filterIndex = 1;
  std::string startDir;      // empty: wherever the dialog would start
  std::string proposedName;  // file name (or full path) shown in the name box
  bool confirmOverwrite = false;
};

struct PrinterDialogRequest {
  std::string title;
};

class Host {
 public:
  virtual ~Host() = default;

  // An empty title means the program's own title.
  virtual MsgAnswer MsgBox(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                           MsgIcon icon = MsgIcon::None, const std::string& title = {}) = 0;
  // nullopt when the operator cancels.
  virtual std::optional<std::string> InputBox(const std::string& prompt,
                                              const std::string& title = {},
                                              const std::string& defaultText = {}) = 0;
  // Lets queued window events run, waiting at most maxWaitMs for one to arrive.
  virtual void DoEvents(int maxWaitMs) = 0;
  virtual void SetBusy(bool busy) = 0;
  // Starts a tone and returns at once; the caller waits for its duration.
  virtual void StartTone(int frequencyHz, int durationMs) = 0;
  // The plain system beep.
  virtual void Beep() = 0;

  // The chosen path, or empty text when cancelled.
  virtual std::string FileDialog(const FileDialogRequest& request) = 0;
  virtual std::string PickDirectory(const std::string& title, const std::string& startDir) = 0;
  // A printer to print on, or nothing when the operator cancelled.
  virtual std::unique_ptr<Printer> PrinterDialog(const PrinterDialogRequest& request) = 0;

  virtual std::string AppTitle() const = 0;
};

}  // namespace brimtal
