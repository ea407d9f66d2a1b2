// The command link of a defined instrument and the frame of its definition printout.
#include "instruments/InstrumentDefinition.h"

#include "instruments/Gpib.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

void InstrumentLink::SetEos(int eos) {
  if (const auto termination = TerminationForEos(eos)) {
    terminator_ = termination->terminator;
    readTerm_ = termination->readEnd;
  }
}

std::string InstrumentLink::InitText(const std::string& initString) const {
  return initString.empty() ? std::string() : initString + terminator_;
}

std::string InstrumentLink::NumberCommand(const std::string& prefix, double value,
                                          std::string_view pattern, const std::string& suffix) {
  return prefix + " " + vbtext::Format(value, pattern) + suffix;
}

bool InstrumentLink::Open(std::int16_t address, const std::string& initString,
                          const std::string& deviceName) {
  return gpib_.GpibInitDevice(address, InitText(initString), deviceName);
}

bool InstrumentLink::Shutdown(std::int16_t address, const std::string& command,
                              const std::function<bool()>& reinit, const std::string& deviceName,
                              const std::string& failure) {
  const bool offLine = command.empty() ? reinit() : Send(address, command);
  if (!offLine) ErrorBox(failure);
  const bool local = gpib_.GpibCloseDevice(address, deviceName);
  return offLine && local;
}

bool InstrumentLink::Send(std::int16_t address, const std::string& text) {
  return gpib_.GpibWrite(address, text + terminator_);
}

bool InstrumentLink::Receive(std::int16_t address, std::string& reply) {
  return gpib_.GpibRead(address, readTerm_, reply);
}

void InstrumentLink::Flush(std::int16_t address) {
  gpib_.GpibFlush(address);
}

void InstrumentLink::ErrorBox(const std::string& message) {
  gpib_.GpibErrorBox(message);
}

namespace {

// Prints on the printer it wraps and starts a new page before a line that would not fit.
class PagedPrinter final : public Printer {
 public:
  explicit PagedPrinter(Printer& printer) : printer_(printer) {}

  void SetFont(const std::string& name, double sizePoints, bool bold) override {
    printer_.SetFont(name, sizePoints, bold);
  }
  void PrintLine(const std::string& text) override {
    if (lineHeight_ > 0 && printer_.CurrentY() + lineHeight_ > printer_.PageHeight()) NewPage();
    const int before = printer_.CurrentY();
    printer_.PrintLine(text);
    lineHeight_ = printer_.CurrentY() - before;
  }
  int CurrentY() const override { return printer_.CurrentY(); }
  int PageHeight() const override { return printer_.PageHeight(); }
  void NewPage() override { printer_.NewPage(); }
  void EndDoc() override { printer_.EndDoc(); }

 private:
  Printer& printer_;
  int lineHeight_ = 0;  // of the last line printed
};

}  // namespace

bool PrintDefinition(Host& host, Printer& printer, const std::string& place,
                     const std::string& path, const std::function<void(Printer&)>& body) {
  constexpr int kPrinterError = 482;
  try {
    PagedPrinter paged(printer);
    paged.SetFont("Courier New", 10, false);
    for (int i = 0; i < 6; ++i) paged.PrintLine("");
    body(paged);
    paged.EndDoc();
    return true;
  } catch (const PrinterError& e) {
    ShowFileError(host, FileError{e.Number(), e.what()}, place, path);
  } catch (const std::exception&) {
    ShowFileError(host, MakeFileError(kPrinterError), place, path);
  }
  return false;
}

void PrintWrapped(Printer& printer, const std::string& label, const std::string& text) {
  std::size_t start = 0;
  std::string lead = label;
  do {
    printer.PrintLine(lead + text.substr(start, kPrintTextWidth));
    start += kPrintTextWidth;
    lead.assign(kPrintLabelWidth, ' ');
  } while (start < text.size());
}

std::string NumberLine(const std::string& label, int number, const std::string& legend) {
  return label + vbtext::GeneralText(static_cast<double>(number)) + legend;
}

}  // namespace brimtal
