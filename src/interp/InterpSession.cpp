// The interp program's commands and texts.
#include "interp/InterpSession.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kAnyFile = "*.*";
constexpr int kMaxDecimalPlaces = 15;  // a 32-bit value has no more digits to show

std::string ChooseFactorFile(Host& host) {
  return PickFile(host, false, kAnyFile, "Select interpolation file", "");
}

}  // namespace

InterpSession::InterpSession(Host& host) : host_(host), table_(host) {}

void InterpSession::ShowRange() {
  fromText_ = vbtext::GeneralText(table_.MinFreq());
  toText_ = vbtext::GeneralText(table_.MaxFreq());
}

bool InterpSession::New() {
  const std::string path = ChooseFactorFile(host_);
  if (path.empty()) return false;
  lastPath_ = path;
  if (table_.InitInterp(path) != 1) return false;
  caption_ = FileNameOfPath(path);
  ShowRange();
  return true;
}

bool InterpSession::Include() {
  const std::string path = ChooseFactorFile(host_);
  if (path.empty()) return false;
  lastPath_ = path;
  if (table_.IncludeInterp(path) != 1) return false;
  caption_ += "-" + FileNameOfPath(path);
  ShowRange();
  return true;
}

bool InterpSession::SaveAs() {
  const std::string path = PickFile(host_, true, kAnyFile, "Select Filename", "", "", caption_);
  if (path.empty()) return false;
  lastPath_ = path;
  caption_ = path;
  return table_.SaveFile(path) == 1;
}

void InterpSession::Print() {
  std::unique_ptr<Printer> printer;
  try {
    PrinterDialogRequest request;
    request.title = "Printer";
    printer = host_.PrinterDialog(request);
  } catch (const PrinterError& e) {
    ShowFileError(host_, FileError{e.Number(), e.what()}, "mnuFilePrint", lastPath_);
    return;
  }
  if (printer != nullptr) table_.PrintTable(*printer);
}

std::optional<std::string> InterpSession::Interpolate(const std::string& freqText, bool logarithmic,
                                                      bool emission) {
  if (freqText.empty()) {
    host_.MsgBox("Try entering a frequency");
    return std::nullopt;
  }
  const std::optional<double> freq = vbtext::ToNumber(freqText);
  if (!freq) {
    host_.MsgBox("Try entering a number");
    return std::nullopt;
  }
  float value = 0;
  const int mode = logarithmic ? kInterpLogarithmic : kInterpLinear;
  const int rule = emission ? kStepLowerValue : kStepHigherValue;
  if (table_.InterpVal(*freq, value, mode, rule) != 1) return "N/A";
  return vbtext::Format(value, DecimalPlacesPattern(decimalPlaces_));
}

void InterpSession::AskDecimalPlaces() {
  while (true) {
    const auto answer = host_.InputBox("Enter number of decimal places", "Decimal Places", "2");
    const std::optional<double> number = answer ? vbtext::ToNumber(*answer) : std::nullopt;
    if (!number) continue;
    const double limited = std::clamp(*number, 0.0, static_cast<double>(kMaxDecimalPlaces));
    decimalPlaces_ = static_cast<int>(vbtext::RoundHalfEven(limited));
    return;
  }
}

std::string DecimalPlacesPattern(int places) {
  return "0." +
         std::string(static_cast<std::size_t>(std::clamp(places, 0, kMaxDecimalPlaces)), '#');
}

TableListing ListTable(InterpClass& table) {
  std::vector<double> freqs;
  std::vector<float> values;
  table.GetTable(freqs, values);
  TableListing listing;
  // The arrays end with one element that only marks the end.
  const std::size_t count = freqs.size() - 1;
  for (std::size_t i = 0; i < count; ++i) {
    listing.text += vbtext::Format(freqs[i], " #####0.0#####") + ", " +
                    vbtext::Format(values[i], "  ###0.0#") + "\r\n";
  }
  listing.caption = " " + std::to_string(count) + " entries in table";
  return listing;
}

}  // namespace brimtal
