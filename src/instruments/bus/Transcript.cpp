// The bus transcript.
#include "instruments/bus/Transcript.h"

#include <chrono>
#include <ctime>

#include "shell/Clock.h"
#include "shell/FileIo.h"
#include "shell/VbText.h"

namespace brimtal::bus {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string ListText(const std::vector<Address>& list) {
  std::string text;
  for (Address a : list) {
    if (!text.empty()) text += ",";
    text += a == kNoAddr ? std::string("NOADDR") : vbtext::GeneralText(static_cast<double>(a));
  }
  return text;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

std::string ReadEndText(ReadEnd end) {
  switch (end) {
    case ReadEnd::EoiOnly: return "stop on EOI only";
    case ReadEnd::StopOnLf: return "stop on LF";
    case ReadEnd::StopOnCr: return "stop on CR";
  }
  return "";
}

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
  std::string text;
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\r': text += "\\r"; break;
      case '\n': text += "\\n"; break;
      case '\t': text += "\\t"; break;
      case '\\': text += "\\\\"; break;
      case '"': text += "\\\""; break;
      default:
        if (u >= 0x20 && u < 0x7F) {
          text += c;
        } else {
          text += "\\x";
          text += kHexDigits[u >> 4];
          text += kHexDigits[u & 0x0F];
        }
    }
  }
  return text;
}

std::string TranscriptLine(const std::string& wallTime, const TranscriptEntry& entry) {
  std::string line = wallTime + "  " + Padded(entry.operation, 8) + " ";
  line +=
      Padded(entry.address < 0 ? "--" : vbtext::GeneralText(static_cast<double>(entry.address)), 3);
  if (entry.operation == "SEND" || entry.operation == "RECEIVE") {
    line += std::string(entry.operation == "SEND" ? " > " : " < ") + "\"" +
            EscapeBytes(entry.bytes) + "\"";
  }
  if (!entry.detail.empty()) line += " " + entry.detail;
  line += "  ibsta=&H" + vbtext::Hex16(static_cast<std::int16_t>(entry.status.ibsta & 0xFFFF));
  if (entry.status.Failed()) {
    const ErrorInfo info = ErrorInfoOf(entry.status.iberr);
    line += " " + (info.name.empty()
                       ? "iberr " + vbtext::GeneralText(static_cast<double>(entry.status.iberr))
                       : std::string(info.name));
  }
  line += " ibcnt=" + vbtext::GeneralText(static_cast<double>(entry.status.ibcnt));
  return line;
}

std::string LocalWallTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return std::string(text) + "." + vbtext::Format(static_cast<double>(ms), "000");
}

FileTranscript::FileTranscript(std::string path, std::function<std::string()> wallTime)
    : path_(std::move(path)), wallTime_(wallTime ? std::move(wallTime) : LocalWallTime) {}

void FileTranscript::Record(const TranscriptEntry& entry) {
  if (!AppendToFile(path_, TranscriptLine(wallTime_(), entry) + "\r\n")) failed_ = true;
}

TranscriptBus::TranscriptBus(std::unique_ptr<Ni488> inner, TranscriptSink& sink, Clock& clock)
    : inner_(std::move(inner)), sink_(sink), clock_(clock) {}

TranscriptBus::TranscriptBus(std::unique_ptr<Ni488> inner, std::unique_ptr<TranscriptSink> sink,
                             Clock& clock)
    : inner_(std::move(inner)), ownedSink_(std::move(sink)), sink_(*ownedSink_), clock_(clock) {}

Status TranscriptBus::Note(TranscriptEntry entry, Status status) {
  entry.tickMs = clock_.TickMs();
  entry.status = status;
  sink_.Record(entry);
  return status;
}

Status TranscriptBus::SendIFC() {
  const Status status = inner_->SendIFC();
  return Note({0, "IFC", -1, "", "", {}}, status);
}

Status TranscriptBus::FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                               int limit) {
  const Status status = inner_->FindLstn(padList, results, limit);
  return Note({0, "FINDLSTN", -1, "", ListText(padList) + " found " + ListText(results), {}},
              status);
}

Status TranscriptBus::SetRWLS(const std::vector<Address>& addressList) {
  const Status status = inner_->SetRWLS(addressList);
  return Note({0, "SETRWLS", -1, "", ListText(addressList), {}}, status);
}

Status TranscriptBus::EnableLocal(const std::vector<Address>& addressList) {
  const Status status = inner_->EnableLocal(addressList);
  return Note({0, "LOCAL", -1, "", ListText(addressList), {}}, status);
}

Status TranscriptBus::Send(Address address, std::string_view data, SendEnd end) {
  const Status status = inner_->Send(address, data, end);
  return Note(
      {0, "SEND", address, std::string(data), end == SendEnd::EoiWithLastByte ? "EOI" : "", {}},
      status);
}

Status TranscriptBus::Receive(Address address, std::string& data, std::size_t count, ReadEnd end) {
  const Status status = inner_->Receive(address, data, count, end);
  const std::size_t kept = status.ibcnt < 0 ? 0 : static_cast<std::size_t>(status.ibcnt);
  return Note({0, "RECEIVE", address, data.substr(0, kept), ReadEndText(end), {}}, status);
}

Status TranscriptBus::ibtmo(Timeout timeout) {
  const Status status = inner_->ibtmo(timeout);
  return Note({0, "TIMEOUT", -1, "", timeout == Timeout::Ms30 ? "30 ms" : "10 s", {}}, status);
}

void TranscriptBus::AnnounceSetup(BenchSetup setup) {
  inner_->AnnounceSetup(setup);
  TranscriptEntry entry{0, "SETUP", -1, "", std::string(BenchSetupName(setup)), {}};
  entry.tickMs = clock_.TickMs();
  entry.status = {};
  sink_.Record(entry);
}

}  // namespace brimtal::bus
