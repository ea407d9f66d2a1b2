// A record of every bus exchange: time, address, direction, the bytes with control characters
// made visible, and the status left behind. TranscriptBus records the traffic of any back-end;
// the record goes to memory (tests) or is appended to a file (the lab's record).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/bus/Ni488.h"

namespace brimtal {
class Clock;
}

namespace brimtal::bus {

struct TranscriptEntry {
  std::int64_t tickMs = 0;
  std::string
      operation;     // "IFC", "FINDLSTN", "SETRWLS", "LOCAL", "SEND", "RECEIVE", "TIMEOUT", "SETUP"
  int address = -1;  // -1 for board operations
  std::string bytes;   // as sent or received (raw)
  std::string detail;  // address lists, timeouts, the set-up
  Status status;
};

// Printable ASCII as it is; backslash and quote escaped; CR, LF and tab as \r \n \t; anything
// else as \xHH.
std::string EscapeBytes(std::string_view bytes);
// One line of the transcript file, without its line end.
std::string TranscriptLine(const std::string& wallTime, const TranscriptEntry& entry);

class TranscriptSink {
 public:
  virtual ~TranscriptSink() = default;
  virtual void Record(const TranscriptEntry& entry) = 0;
};

class MemoryTranscript final : public TranscriptSink {
 public:
  void Record(const TranscriptEntry& entry) override { entries_.push_back(entry); }
  const std::vector<TranscriptEntry>& Entries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<TranscriptEntry> entries_;
};

// Appends one line per exchange to a text file, so that nothing is lost if the program stops.
class FileTranscript final : public TranscriptSink {
 public:
  // wallTime gives the local date and time of each line; by default the system's.
  explicit FileTranscript(std::string path, std::function<std::string()> wallTime = {});
  void Record(const TranscriptEntry& entry) override;
  const std::string& Path() const { return path_; }
  // True once a line could not be written.
  bool Failed() const { return failed_; }

 private:
  std::string path_;
  std::function<std::string()> wallTime_;
  bool failed_ = false;
};

// The local time as "YYYY-MM-DD hh:mm:ss.mmm".
std::string LocalWallTime();

class TranscriptBus final : public Ni488 {
 public:
  TranscriptBus(std::unique_ptr<Ni488> inner, TranscriptSink& sink, Clock& clock);
  TranscriptBus(std::unique_ptr<Ni488> inner, std::unique_ptr<TranscriptSink> sink, Clock& clock);

  Status SendIFC() override;
  Status FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                  int limit) override;
  Status SetRWLS(const std::vector<Address>& addressList) override;
  Status EnableLocal(const std::vector<Address>& addressList) override;
  Status Send(Address address, std::string_view data, SendEnd end) override;
  Status Receive(Address address, std::string& data, std::size_t count, ReadEnd end) override;
  Status ibtmo(Timeout timeout) override;
  int RegisterGpibGlobalsForThread() override { return inner_->RegisterGpibGlobalsForThread(); }
  void UnregisterGpibGlobalsForThread() override { inner_->UnregisterGpibGlobalsForThread(); }
  void AnnounceSetup(BenchSetup setup) override;
  std::string Description() const override { return inner_->Description(); }
  bool IsSimulated() const override { return inner_->IsSimulated(); }

  Ni488& Inner() { return *inner_; }

 private:
  Status Note(TranscriptEntry entry, Status status);

  std::unique_ptr<Ni488> inner_;
  std::unique_ptr<TranscriptSink> ownedSink_;
  TranscriptSink& sink_;
  Clock& clock_;
};

}  // namespace brimtal::bus
