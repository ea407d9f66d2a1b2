// linux-gpib behind the bus interface.
#include "instruments/bus/LinuxGpibBus.h"

#include <dlfcn.h>

#include "shell/Host.h"

namespace brimtal::bus {

namespace {

constexpr int kBoard = 0;
// linux-gpib's numbers for what the program says in words.
constexpr int kNullEnd = 0;      // no EOI
constexpr int kDabEnd = 1;       // EOI with the last byte
constexpr int kStopEnd = 0x100;  // stop on EOI only
constexpr int kTimeout30ms = 8;  // T30ms
constexpr int kTimeout10s = 13;  // T10s

int Termination(ReadEnd end) {
  switch (end) {
    case ReadEnd::StopOnLf: return '\n';
    case ReadEnd::StopOnCr: return '\r';
    case ReadEnd::EoiOnly: break;
  }
  return kStopEnd;
}

template <typename F>
bool Resolve(void* handle, const char* name, F& entry, std::string& missing) {
  entry = reinterpret_cast<F>(dlsym(handle, name));
  if (entry == nullptr && missing.empty()) missing = name;
  return entry != nullptr;
}

}  // namespace

std::vector<std::string> LinuxGpibBus::DefaultLibraryPaths() {
  return {"libgpib.so.0", "/usr/local/lib/libgpib.so.0"};
}

LinuxGpibBus::LinuxGpibBus(Host& host, std::vector<std::string> libraryPaths) : host_(host) {
  Load(libraryPaths);
}

LinuxGpibBus::~LinuxGpibBus() {
  if (handle_ != nullptr) dlclose(handle_);
}

void LinuxGpibBus::Load(const std::vector<std::string>& libraryPaths) {
  std::string tried;
  std::string reason;
  for (const std::string& path : libraryPaths) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) {
      library_ = path;
      break;
    }
    tried += (tried.empty() ? "" : ", ") + path;
    const char* error = dlerror();
    reason = error != nullptr ? error : "";
  }
  if (handle_ == nullptr) {
    problem_ =
        "The GPIB library libgpib.so.0 (linux-gpib) could not be loaded.\r\nTried: " + tried +
        (reason.empty() ? "" : "\r\n" + reason);
    return;
  }
  std::string missing;
  Resolve(handle_, "SendIFC", api_.SendIFC, missing);
  Resolve(handle_, "FindLstn", api_.FindLstn, missing);
  Resolve(handle_, "SetRWLS", api_.SetRWLS, missing);
  Resolve(handle_, "EnableLocal", api_.EnableLocal, missing);
  Resolve(handle_, "Send", api_.Send, missing);
  Resolve(handle_, "Receive", api_.Receive, missing);
  Resolve(handle_, "ibtmo", api_.ibtmo, missing);
  Resolve(handle_, "ThreadIbsta", api_.ThreadIbsta, missing);
  Resolve(handle_, "ThreadIberr", api_.ThreadIberr, missing);
  Resolve(handle_, "ThreadIbcnt", api_.ThreadIbcnt, missing);
  if (!missing.empty()) {
    problem_ = "The GPIB library " + library_ + " has no function " + missing +
               ".\r\nIt is not a linux-gpib library this program can use.";
    dlclose(handle_);
    handle_ = nullptr;
    api_ = Api{};
  }
}

// Without the library every call fails as if there were no board; the operator is told why once.
bool LinuxGpibBus::Usable() {
  if (handle_ != nullptr) return true;
  if (!told_) {
    told_ = true;
    host_.MsgBox(problem_ + "\r\nEvery GPIB call fails with ENEB (no GPIB board).", MsgButtons::OK,
                 MsgIcon::Exclamation);
  }
  return false;
}

Status LinuxGpibBus::LastStatus() const {
  return {api_.ThreadIbsta(), api_.ThreadIberr(), api_.ThreadIbcnt()};
}

Status LinuxGpibBus::SendIFC() {
  if (!Usable()) return {kErr, kEneb, 0};
  api_.SendIFC(kBoard);
  return LastStatus();
}

Status LinuxGpibBus::FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                              int limit) {
  results.clear();
  if (!Usable()) return {kErr, kEneb, 0};
  std::vector<Address> list = padList;
  if (list.empty() || list.back() != kNoAddr) list.push_back(kNoAddr);
  std::vector<Address> found(static_cast<std::size_t>(limit > 0 ? limit : 0) + 1, kNoAddr);
  api_.FindLstn(kBoard, list.data(), found.data(), limit);
  const Status status = LastStatus();
  for (long i = 0; i < status.ibcnt && i < limit; ++i)
    results.push_back(found[static_cast<std::size_t>(i)]);
  return status;
}

Status LinuxGpibBus::SetRWLS(const std::vector<Address>& addressList) {
  if (!Usable()) return {kErr, kEneb, 0};
  std::vector<Address> list = addressList;
  if (list.empty() || list.back() != kNoAddr) list.push_back(kNoAddr);
  api_.SetRWLS(kBoard, list.data());
  return LastStatus();
}

Status LinuxGpibBus::EnableLocal(const std::vector<Address>& addressList) {
  if (!Usable()) return {kErr, kEneb, 0};
  std::vector<Address> list = addressList;
  if (list.empty() || list.back() != kNoAddr) list.push_back(kNoAddr);
  api_.EnableLocal(kBoard, list.data());
  return LastStatus();
}

Status LinuxGpibBus::Send(Address address, std::string_view data, SendEnd end) {
  if (!Usable()) return {kErr, kEneb, 0};
  api_.Send(kBoard, address, data.data(), static_cast<long>(data.size()),
            end == SendEnd::EoiWithLastByte ? kDabEnd : kNullEnd);
  return LastStatus();
}

Status LinuxGpibBus::Receive(Address address, std::string& data, std::size_t count, ReadEnd end) {
  data.clear();
  if (!Usable()) return {kErr, kEneb, 0};
  std::string buffer(count, '\0');
  api_.Receive(kBoard, address, buffer.data(), static_cast<long>(count), Termination(end));
  const Status status = LastStatus();
  const auto received = static_cast<std::size_t>(status.ibcnt < 0 ? 0 : status.ibcnt);
  data = buffer.substr(0, received < count ? received : count);
  return status;
}

Status LinuxGpibBus::ibtmo(Timeout timeout) {
  if (!Usable()) return {kErr, kEneb, 0};
  api_.ibtmo(kBoard, timeout == Timeout::Ms30 ? kTimeout30ms : kTimeout10s);
  return LastStatus();
}

std::string LinuxGpibBus::Description() const {
  return handle_ != nullptr ? "GPIB board 0 (linux-gpib)"
                            : "GPIB board 0 (linux-gpib not available)";
}

}  // namespace brimtal::bus
