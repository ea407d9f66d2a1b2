// What the power meter and meter drivers share: the command link of an instrument whose
// definition names its terminator, the waits around a triggered reading, turning a reply into
// its value text, and the lines of a definition printout.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "instruments/bus/Ni488.h"

namespace brimtal {

class BDelay;
class Clock;
class Gpib;
class Host;
class Printer;
class ScriptEngine;

// Commands go out with the definition's terminator and EOI on the last byte; replies are read
// with the end mode that belongs to the terminator.
class InstrumentLink {
 public:
  explicit InstrumentLink(Gpib& gpib) : gpib_(gpib) {}

  // End-of-string code 0 none, 1 CR, 2 CR LF; any other code keeps what was there.
  void SetEos(int eos);
  const std::string& Terminator() const { return terminator_; }
  bus::ReadEnd ReadTerm() const { return readTerm_; }

  // The initialisation text: the init command and the terminator, or nothing at all.
  std::string InitText(const std::string& initString) const;
  // "prefix value suffix": the value in the pattern, whose last character is the blank before
  // the suffix.
  static std::string NumberCommand(const std::string& prefix, double value,
                                   std::string_view pattern, const std::string& suffix);

  // Opens the device with the initialisation text.
  bool Open(std::int16_t address, const std::string& initString, const std::string& deviceName);
  // Takes the instrument off line: its shutdown command (without one, reinit opens it anew),
  // the failure box when that fails, and back to local whatever happened before. False when
  // any step failed.
  bool Shutdown(std::int16_t address, const std::string& command,
                const std::function<bool()>& reinit, const std::string& deviceName,
                const std::string& failure);
  // Sends the text and the terminator. False when the bus reports an error.
  bool Send(std::int16_t address, const std::string& text);
  // Receives one reply of at most a reply buffer's length.
  bool Receive(std::int16_t address, std::string& reply);
  void Flush(std::int16_t address);
  void ErrorBox(const std::string& message);

 private:
  Gpib& gpib_;
  std::string terminator_;
  bus::ReadEnd readTerm_ = bus::ReadEnd::EoiOnly;
};

// Settling seconds as milliseconds, held within what a 32-bit tick count can wait for.
std::int64_t SettleMs(double seconds);

// The settling pause after an untriggered start: a plain wait that a halt does not shorten.
// No settling time means no pause (the events still get their turn).
void SettlePause(BDelay& delay, Host& host, double seconds);

// Waits until the clock reaches the tick, letting events run; a halt ends the wait early.
void WaitForTick(BDelay& delay, Clock& clock, std::int64_t tick);

// The reply itself, or what the parse expression makes of it (empty when it failed).
std::string ValueText(Host& host, ScriptEngine& engine, const std::string& reply,
                      const std::string& parseCmd);

// What the Test menu's Read shows: "Result = " and the value ("##0.0#") with its unit, CR LF,
// then "Returned String = " and the reply in double quotes.
std::string ReadingResultText(double value, const std::string& unit, const std::string& reply);

// Printout labels are 17 characters wide.
inline constexpr std::size_t kPrintLabelWidth = 17;
// Long commands are printed in lines of this many characters, continued under the first.
inline constexpr std::size_t kPrintTextWidth = 60;

// Prints a definition in "Courier New" 10 point after six empty lines and ends the document.
// A printer failure shows the file-error box naming the place and the definition's file.
bool PrintDefinition(Host& host, Printer& printer, const std::string& place,
                     const std::string& path, const std::function<void(Printer&)>& body);
// The first lines of every definition printout: name, address and init string.
void PrintIdentity(Printer& printer, const std::string& name, int address,
                   const std::string& initString);

// The label and the text in lines of 60 characters, continuation lines indented 17 blanks.
void PrintWrapped(Printer& printer, const std::string& label, const std::string& text);
// "Units: 1  (0=Watts, ...)": a code followed by what its values mean.
std::string CodeLine(const std::string& label, int code, const std::string& legend);

}  // namespace brimtal
