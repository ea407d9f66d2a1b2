// What the power meter and meter tests share: a recording bus under the GPIB layer, virtual
// time, a scripted operator and the program's expression engine, plus a compact view of the
// bus traffic.
#pragma once

#include <string>
#include <vector>

#include "FakeBus.h"
#include "instruments/Gpib.h"
#include "instruments/script/ParseReply.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/Printer.h"
#include "shell/ScriptedHost.h"

namespace brimtal::test {

// A write that timed out, and a read that timed out, as the bus reports them.
inline const bus::Status kTimedOut{bus::kErr | bus::kTimo, bus::kEabo, 0};

// A printer that fails with the printer error when asked to print a line that starts so.
class FailingPrinter final : public Printer {
 public:
  explicit FailingPrinter(std::string failAt) : failAt_(std::move(failAt)) {}
  void SetFont(const std::string& name, double size, bool bold) override {
    pages_.SetFont(name, size, bold);
  }
  void PrintLine(const std::string& text) override {
    if (text.rfind(failAt_, 0) == 0) throw PrinterError(482, "Printer error");
    pages_.PrintLine(text);
  }
  int CurrentY() const override { return pages_.CurrentY(); }
  int PageHeight() const override { return pages_.PageHeight(); }
  void NewPage() override { pages_.NewPage(); }
  void EndDoc() override { pages_.EndDoc(); }

 private:
  std::string failAt_;
  RecordingPrinter pages_;
};

// A printer the code under test may own while the test keeps what was printed.
class PrinterInto final : public Printer {
 public:
  explicit PrinterInto(RecordingPrinter& pages) : pages_(pages) {}
  void SetFont(const std::string& name, double size, bool bold) override {
    pages_.SetFont(name, size, bold);
  }
  void PrintLine(const std::string& text) override { pages_.PrintLine(text); }
  int CurrentY() const override { return pages_.CurrentY(); }
  int PageHeight() const override { return pages_.PageHeight(); }
  void NewPage() override { pages_.NewPage(); }
  void EndDoc() override { pages_.EndDoc(); }

 private:
  RecordingPrinter& pages_;
};

struct MeterRig {
  VirtualClock clock{1000};
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  FakeBus bus;
  Gpib gpib{bus, host, delay};
  ScriptEngine engine = CreateScriptEngine();

  // One line per bus call: "Send 13 FREQ 150.0 MHZ\r\n", "Receive 13 LF", "Flush 13", "Open 13",
  // "Local 13". A flush (30 ms timeout, read, 10 s timeout) shows as one line.
  std::vector<std::string> Traffic() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bus.calls.size(); ++i) {
      const FakeBus::Call& call = bus.calls[i];
      if (call.op == "Send") {
        lines.push_back("Send " + std::to_string(call.address) + " " + call.data);
      } else if (call.op == "ibtmo" && call.timeout == bus::Timeout::Ms30 &&
                 i + 2 < bus.calls.size()) {
        lines.push_back("Flush " + std::to_string(bus.calls[i + 1].address));
        i += 2;
      } else if (call.op == "Receive") {
        const char* end = call.readEnd == bus::ReadEnd::StopOnLf   ? "LF"
                          : call.readEnd == bus::ReadEnd::StopOnCr ? "CR"
                                                                   : "EOI";
        lines.push_back("Receive " + std::to_string(call.address) + " " + end + " " +
                        std::to_string(call.count));
      } else if (call.op == "FindLstn") {
        lines.push_back("Open " + std::to_string(call.list.at(1)));
      } else if (call.op == "EnableLocal") {
        lines.push_back("Local " + std::to_string(call.list.at(1)));
      }
    }
    return lines;
  }
  void ClearTraffic() { bus.calls.clear(); }
};

}  // namespace brimtal::test
