// What every instrument driver with a definition file shares: the command link whose terminator
// the definition names, the definition file described once as its fields in line order, the
// frame of a definition printout, and the file the definition came from.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "instruments/bus/Ni488.h"
#include "shell/DefinitionFile.h"
#include "shell/Printer.h"

namespace brimtal {

class Gpib;
class Host;

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

// A number command exists when its prefix or its suffix is not empty.
inline bool HasCommand(const std::string& prefix, const std::string& suffix) {
  return !prefix.empty() || !suffix.empty();
}

// --- definition files ---

// One line of a definition file: the field of the record it holds.
template <typename Def>
using DefinitionField = std::variant<std::string Def::*, std::int16_t Def::*, std::int32_t Def::*,
                                     float Def::*, double Def::*>;
// Lines in file order; the record type is taken from the record, not from the lines.
template <typename Def>
using DefinitionFields = std::type_identity_t<std::span<const DefinitionField<Def>>>;

namespace definition_detail {

inline bool Read(DefinitionReader& in, std::string& value, FileError& error) {
  return in.Text(value, error);
}
inline bool Read(DefinitionReader& in, std::int16_t& value, FileError& error) {
  return in.Int16(value, error);
}
inline bool Read(DefinitionReader& in, std::int32_t& value, FileError& error) {
  return in.Int32(value, error);
}
inline bool Read(DefinitionReader& in, float& value, FileError& error) {
  return in.Float(value, error);
}
inline bool Read(DefinitionReader& in, double& value, FileError& error) {
  return in.Double(value, error);
}

inline void Write(DefinitionWriter& out, const std::string& value) {
  out.Text(value);
}
inline void Write(DefinitionWriter& out, std::int16_t value) {
  out.Number(static_cast<int>(value));
}
inline void Write(DefinitionWriter& out, std::int32_t value) {
  out.Number(static_cast<int>(value));
}
inline void Write(DefinitionWriter& out, float value) {
  out.Number(value);
}
inline void Write(DefinitionWriter& out, double value) {
  out.Number(value);
}

// Reads the fields in order; false at the first line that is missing or does not convert.
template <typename Def>
bool ReadFields(DefinitionReader& in, Def& def, DefinitionFields<Def> fields, FileError& error) {
  for (const DefinitionField<Def>& field : fields) {
    const bool read = std::visit([&](auto member) { return Read(in, def.*member, error); }, field);
    if (!read) return false;
  }
  return true;
}

}  // namespace definition_detail

// Reads the definition file into def: the required fields, then the optional ones that later
// versions added, which files written before them lack (they are emptied first and their
// absence is no error). A failure shows the file-error box naming the place and the path, and
// leaves the fields read so far in def.
template <typename Def>
bool LoadDefinition(Host& host, const std::string& path, std::string_view place, Def& def,
                    DefinitionFields<Def> required, DefinitionFields<Def> optional = {}) {
  DefinitionReader in;
  FileError error;
  if (!in.Open(path, error) || !definition_detail::ReadFields(in, def, required, error)) {
    ShowFileError(host, error, place, path);
    return false;
  }
  for (const DefinitionField<Def>& field : optional) {
    std::visit([&](auto member) { def.*member = {}; }, field);
  }
  FileError ignored;
  definition_detail::ReadFields(in, def, optional, ignored);
  return true;
}

// Writes every field, the optional ones last, replacing the file in one step; a failure shows
// the file-error box and leaves the previous file as it was.
template <typename Def>
bool SaveDefinition(Host& host, const std::string& path, std::string_view place, const Def& def,
                    DefinitionFields<Def> required, DefinitionFields<Def> optional = {}) {
  DefinitionWriter out;
  for (const auto& fields : {required, optional}) {
    for (const DefinitionField<Def>& field : fields) {
      std::visit([&](auto member) { definition_detail::Write(out, def.*member); }, field);
    }
  }
  FileError error;
  if (!out.Save(path, error)) {
    ShowFileError(host, error, place, path);
    return false;
  }
  return true;
}

// --- printouts ---

// Printout labels are 17 characters wide.
inline constexpr std::size_t kPrintLabelWidth = 17;
// Long commands are printed in lines of this many characters, continued under the first.
inline constexpr std::size_t kPrintTextWidth = 60;

// Prints a definition in "Courier New" 10 point after six empty lines and ends the document; a
// line that would not fit on the page starts a new one. A printer failure shows the file-error
// box naming the place and the definition's file.
bool PrintDefinition(Host& host, Printer& printer, const std::string& place,
                     const std::string& path, const std::function<void(Printer&)>& body);
// The label and the text in lines of 60 characters, continuation lines indented 17 blanks.
void PrintWrapped(Printer& printer, const std::string& label, const std::string& text);
// The head of every definition printout: the name and the address, the init string after
// `gap` empty lines, and the frequency command.
template <typename Def>
void PrintHead(Printer& printer, const Def& def, int gap = 1);
// A whole number after its label, and what its values mean: "Units: 1  (0=Watts, ...)".
std::string NumberLine(const std::string& label, int number, const std::string& legend = {});

// --- the driver ---

// A driver whose instrument is described by a definition file: the link its commands go
// through, the file the definition was last loaded from or saved to, and the file operations
// that the definition windows call.
class DefinedInstrument {
 public:
  const std::string& DefinitionFileName() const { return fileName_; }
  virtual bool LoadFile(const std::string& path) = 0;
  virtual bool SaveFile(const std::string& path) = 0;
  virtual bool PrintSetup(Printer& printer) = 0;

 protected:
  DefinedInstrument(Gpib& gpib, Host& host) : host_(host), link_(gpib) {}
  ~DefinedInstrument() = default;
  DefinedInstrument(const DefinedInstrument&) = delete;
  DefinedInstrument& operator=(const DefinedInstrument&) = delete;

  // LoadDefinition, naming the file first (also when it fails) and taking the terminator of
  // whatever end-of-string code the definition now holds.
  template <typename Def>
  bool LoadDefinitionFile(const std::string& path, std::string_view place, Def& def,
                          DefinitionFields<Def> required, DefinitionFields<Def> optional = {}) {
    fileName_ = path;
    const bool loaded = LoadDefinition(host_, path, place, def, required, optional);
    link_.SetEos(def.Eos);
    return loaded;
  }
  // SaveDefinition; the file is named only once it was written.
  template <typename Def>
  bool SaveDefinitionFile(const std::string& path, std::string_view place, const Def& def,
                          DefinitionFields<Def> required, DefinitionFields<Def> optional = {}) {
    if (!SaveDefinition(host_, path, place, def, required, optional)) return false;
    fileName_ = path;
    return true;
  }
  // The printout of the definition, naming its file when the printer fails.
  bool PrintDefinitionFile(Printer& printer, const std::string& place,
                           const std::function<void(Printer&)>& body) {
    return PrintDefinition(host_, printer, place, fileName_, body);
  }

  Host& host_;
  InstrumentLink link_;

 private:
  std::string fileName_;
};

template <typename Def>
void PrintHead(Printer& printer, const Def& def, int gap) {
  printer.PrintLine("Instrument Name: " + def.Name);
  printer.PrintLine(NumberLine("        Address: ", def.Address));
  for (int i = 0; i < gap; ++i) printer.PrintLine("");
  PrintWrapped(printer, "    Init String: ", def.InitString);
  printer.PrintLine("");
  printer.PrintLine("Freq Set Prefix: " + def.FreqSetPre);
  printer.PrintLine("         Suffix: " + def.FreqSetSuf);
}

}  // namespace brimtal
