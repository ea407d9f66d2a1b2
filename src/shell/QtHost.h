// The host of the real program: Qt message boxes, input boxes, file, directory and printer
// dialogs, the event pump and tones through the sound card.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "shell/Host.h"

class QWidget;

namespace brimtal {

class ToneOutput;

class QtHost final : public Host {
 public:
  explicit QtHost(std::string appTitle);
  ~QtHost() override;

  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  void DoEvents(int maxWaitMs) override;
  void SetBusy(bool busy) override;
  void StartTone(int frequencyHz, int durationMs) override;
  void Beep() override;
  std::string FileDialog(const FileDialogRequest& request) override;
  std::string PickDirectory(const std::string& title, const std::string& startDir) override;
  std::unique_ptr<Printer> PrinterDialog(const PrinterDialogRequest& request) override;
  std::string AppTitle() const override { return appTitle_; }

 private:
  std::string appTitle_;
  int busyDepth_ = 0;
  std::unique_ptr<ToneOutput> tone_;
};

// Text of the core (CR, CR LF or LF line breaks) as Qt shows it.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);
// "description|pattern|..." as a Qt name filter list ("description (pattern)" per pair).
QStringList QtNameFilters(const std::string& filter);
// The window that dialogs belong to: the active window, else none.
QWidget* DialogParent();

}  // namespace brimtal
