// The GPIB layer: device open and close, the error box, and the driver conventions.
#include "instruments/Gpib.h"

#include <utility>

#include "shell/BDelay.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kLineBreak = "\r\n";
constexpr double kSettlingSeconds = 2.0;

std::int16_t Low16(long value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

struct StatusBitName {
  int bit;
  const char* name;
};

// The order in which the error box names the set bits; 0x0400 and 0x0200 are never named.
constexpr StatusBitName kStatusBits[] = {
    {bus::kErr, "ERR"},   {bus::kTimo, "TIMO"}, {bus::kEnd, "END"},   {bus::kSrqi, "SRQI"},
    {bus::kRqs, "RQS"},   {bus::kCmpl, "CMPL"}, {bus::kLok, "LOK"},   {bus::kRem, "REM"},
    {bus::kCic, "CIC"},   {bus::kAtn, "ATN"},   {bus::kTacs, "TACS"}, {bus::kLacs, "LACS"},
    {bus::kDtas, "DTAS"}, {bus::kDcas, "DCAS"},
};

}  // namespace

std::optional<Termination> TerminationForEos(int eos) {
  switch (eos) {
    case 0: return Termination{"", bus::ReadEnd::EoiOnly};
    case 1: return Termination{"\r", bus::ReadEnd::StopOnCr};
    case 2: return Termination{"\r\n", bus::ReadEnd::StopOnLf};
    default: return std::nullopt;
  }
}

Gpib::Gpib(bus::Ni488& bus, Host& host, BDelay& delay) : bus_(bus), host_(host), delay_(delay) {}

void Gpib::Keep(const bus::Status& status) {
  ibsta_ = Low16(status.ibsta);
  iberr_ = Low16(status.iberr);
  ibcnt_ = Low16(status.ibcnt);
}

bool Gpib::Failed() const {
  return (static_cast<std::uint16_t>(ibsta_) & bus::kErr) != 0;
}

// Registers the status cells before the first call. When the library refuses, the program
// cannot talk to any instrument: the operator is told, the program is asked to end, and every
// later call fails with ENEB without reaching the library.
bool Gpib::Registered() {
  if (registered_) return true;
  if (!unusable_) {
    const int code = bus_.RegisterGpibGlobalsForThread();
    if (code == 0 || code == 1) {
      if (code == 1) {
        bus_.UnregisterGpibGlobalsForThread();
        bus_.RegisterGpibGlobalsForThread();
      }
      registered_ = true;
      return true;
    }
    const char* text = code == 2   ? "Operating System is not multi-threaded. Quitting the Program!"
                       : code == 3 ? "Unable to register GPIB thread globals. Quitting the Program!"
                                   : "Unknown Error for Registering GPIB Globals!!! Quitting the "
                                     "Program!";
    host_.MsgBox(text, MsgButtons::OK, MsgIcon::Critical);
    if (code == 2 || code == 3) bus_.UnregisterGpibGlobalsForThread();
    unusable_ = true;
    if (quit_) quit_();
  }
  Keep({bus::kErr, bus::kEneb, 0});
  return false;
}

std::vector<bus::Address> Gpib::BusList() const {
  return {static_cast<bus::Address>(addrList_[0]), static_cast<bus::Address>(addrList_[1]),
          static_cast<bus::Address>(addrList_[2])};
}

bool Gpib::GpibSendIfc() {
  if (ifcSent_) return true;
  if (Registered()) Keep(bus_.SendIFC());
  if (Failed()) {
    GpibErrorBox("Error sending IFC.");
    ifcSent_ = false;
    return false;
  }
  ifcSent_ = true;
  return true;
}

bool Gpib::GpibInitDevice(std::int16_t address, const std::string& initString,
                          const std::string& deviceName) {
  addrList_ = {0, address, kNoAddr};
  if (Registered()) {
    std::vector<bus::Address> found;
    Keep(bus_.FindLstn(BusList(), found, 2));
    resultList_ = {0, 0, 0};
    for (std::size_t i = 0; i < found.size() && i < resultList_.size(); ++i) {
      resultList_[i] = static_cast<std::int16_t>(found[i]);
    }
  }
  if (Failed()) {
    host_.SetBusy(false);
    GpibErrorBox("Error finding " + deviceName);
    return false;
  }
  if (Registered()) Keep(bus_.SetRWLS(BusList()));
  if (Failed()) {
    GpibErrorBox("Error in setting " + deviceName + " to remote mode. ");
    return false;
  }
  if (!initString.empty() && !GpibWrite(address, initString)) {
    GpibErrorBox("Error initializing " + deviceName);
    return false;
  }
  delay_.PlainWait(kSettlingSeconds, false);
  return true;
}

bool Gpib::GpibCloseDevice(std::int16_t address, const std::string& deviceName) {
  addrList_[1] = address;
  if (Registered()) Keep(bus_.EnableLocal(BusList()));
  if (Failed()) {
    GpibErrorBox("Error closing " + deviceName);
    return false;
  }
  return true;
}

void Gpib::GpibErrorBox(const std::string& message) {
  host_.MsgBox(message + IbstaText() + IberrText() + IbcntText(), MsgButtons::OK,
               MsgIcon::Exclamation);
}

std::string Gpib::IbstaText() const {
  std::string text = std::string(kLineBreak) + "ibsta = &H" + vbtext::Hex16(ibsta_) + " <";
  const auto bits = static_cast<std::uint16_t>(ibsta_);
  for (const StatusBitName& entry : kStatusBits) {
    if ((bits & entry.bit) != 0) text += std::string(" ") + entry.name;
  }
  return text + ">";
}

std::string Gpib::IberrText() const {
  if (!Failed()) {
    return std::string(kLineBreak) +
           "No error, iberr = " + vbtext::SignedText(static_cast<double>(iberr_));
  }
  const bus::ErrorInfo info = bus::ErrorInfoOf(iberr_);
  if (info.name.empty()) return {};
  return std::string(kLineBreak) + "iberr = " + std::string(info.name) + " <" +
         std::string(info.description) + ">";
}

std::string Gpib::IbcntText() const {
  return std::string(kLineBreak) + "ibcnt = 0x" + vbtext::Hex16(ibcnt_);
}

bool Gpib::GpibWrite(std::int16_t address, std::string_view command) {
  if (Registered()) {
    Keep(bus_.Send(static_cast<bus::Address>(address), command, bus::SendEnd::EoiWithLastByte));
  }
  return !Failed();
}

bool Gpib::GpibRead(std::int16_t address, bus::ReadEnd end, std::string& reply, int bufferSize) {
  std::string buffer;
  if (Registered()) {
    Keep(bus_.Receive(static_cast<bus::Address>(address), buffer,
                      static_cast<std::size_t>(bufferSize > 0 ? bufferSize : 0), end));
  }
  const auto count = static_cast<std::size_t>(ibcnt_ > 0 ? ibcnt_ : 0);
  reply = buffer.substr(0, count);
  return !Failed();
}

void Gpib::GpibFlush(std::int16_t address) {
  if (!Registered()) return;
  Keep(bus_.ibtmo(bus::Timeout::Ms30));
  std::string discarded;
  Keep(bus_.Receive(static_cast<bus::Address>(address), discarded,
                    static_cast<std::size_t>(kReplyBufferSize), bus::ReadEnd::EoiOnly));
  Keep(bus_.ibtmo(bus::Timeout::S10));
}

void Gpib::AnnounceSetup(bus::BenchSetup setup) {
  bus_.AnnounceSetup(setup);
}

}  // namespace brimtal
