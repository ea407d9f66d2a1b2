// The pieces the power meter and meter drivers share.
#include "instruments/MeasuringInstrument.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "instruments/Gpib.h"
#include "instruments/script/ParseReply.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
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

std::int64_t SettleMs(double seconds) {
  constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
  const double ms = seconds * 1000.0;
  if (std::isnan(ms)) return 0;
  return vbtext::RoundHalfEven(std::clamp(ms, -kLimit, kLimit));
}

void SettlePause(BDelay& delay, Host& host, double seconds) {
  const std::int64_t ms = SettleMs(seconds);
  if (ms > 0) {
    delay.PlainWait(static_cast<double>(ms) / 1000.0, false);
  } else {
    host.DoEvents(0);
  }
}

void WaitForTick(BDelay& delay, Clock& clock, std::int64_t tick) {
  const std::int64_t left = tick - clock.TickMs();
  if (left > 0) delay.PlainWait(static_cast<double>(left) / 1000.0, true);
}

std::string ValueText(Host& host, ScriptEngine& engine, const std::string& reply,
                      const std::string& parseCmd) {
  return parseCmd.empty() ? reply : ParseReply(host, engine, reply, parseCmd);
}

std::string ReadingResultText(double value, const std::string& unit, const std::string& reply) {
  return "Result = " + vbtext::Format(value, "##0.0#") + unit + "\r\nReturned String = \"" + reply +
         "\"";
}

bool PrintDefinition(Host& host, Printer& printer, const std::string& place,
                     const std::string& path, const std::function<void(Printer&)>& body) {
  constexpr int kPrinterError = 482;
  try {
    printer.SetFont("Courier New", 10, false);
    for (int i = 0; i < 6; ++i) printer.PrintLine("");
    body(printer);
    printer.EndDoc();
    return true;
  } catch (const PrinterError& e) {
    ShowFileError(host, FileError{e.Number(), e.what()}, place, path);
  } catch (const std::exception&) {
    ShowFileError(host, MakeFileError(kPrinterError), place, path);
  }
  return false;
}

void PrintIdentity(Printer& printer, const std::string& name, int address,
                   const std::string& initString) {
  printer.PrintLine("Instrument Name: " + name);
  printer.PrintLine("        Address: " + vbtext::GeneralText(static_cast<double>(address)));
  printer.PrintLine("");
  PrintWrapped(printer, "    Init String: ", initString);
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

std::string CodeLine(const std::string& label, int code, const std::string& legend) {
  return label + vbtext::GeneralText(static_cast<double>(code)) + legend;
}

}  // namespace brimtal
