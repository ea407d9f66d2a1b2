// A stand-in for linux-gpib, built by the tests as a shared library with the same entry points.
// It records every call as a line of text and answers from what the test queued through the
// FakeGpib* control functions. Like the real library it keeps its status in process-wide cells.
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

namespace {

using Addr = std::uint16_t;

struct FakeState {
  std::string log;
  std::deque<std::string> replies;
  int ibsta = 0;
  int iberr = 0;
  int ibcnt = 0;
  bool failNext = false;
  int failSta = 0;
  int failErr = 0;
};

FakeState& State() {
  static FakeState state;
  return state;
}

std::string List(const Addr* list) {
  std::string text;
  for (int i = 0; i < 32 && list != nullptr; ++i) {
    text += (i == 0 ? "" : ",") + std::to_string(list[i]);
    if (list[i] == 0xFFFF) break;
  }
  return text;
}

void Done(int count) {
  FakeState& s = State();
  if (s.failNext) {
    s.failNext = false;
    s.ibsta = s.failSta;
    s.iberr = s.failErr;
    s.ibcnt = 0;
    return;
  }
  s.ibsta = 0x0100;
  s.iberr = 0;
  s.ibcnt = count;
}

}  // namespace

#ifdef FAKE_GPIB_EXPORT
#undef FAKE_GPIB_EXPORT
#endif
#define FAKE_GPIB_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_GPIB_EXPORT void FakeGpibReset() {
  State() = FakeState{};
}
FAKE_GPIB_EXPORT const char* FakeGpibLog() {
  return State().log.c_str();
}
FAKE_GPIB_EXPORT void FakeGpibQueueReply(const char* bytes) {
  State().replies.emplace_back(bytes);
}
FAKE_GPIB_EXPORT void FakeGpibFailNext(int ibsta, int iberr) {
  State().failNext = true;
  State().failSta = ibsta;
  State().failErr = iberr;
}

FAKE_GPIB_EXPORT void SendIFC(int board) {
  State().log += "SendIFC " + std::to_string(board) + "\n";
  Done(0);
}

FAKE_GPIB_EXPORT void FindLstn(int board, const Addr* padList, Addr* resultList, int limit) {
  State().log += "FindLstn " + std::to_string(board) + " " + List(padList) + " limit " +
                 std::to_string(limit) + "\n";
  int found = 0;
  for (int i = 0; padList[i] != 0xFFFF && found < limit; ++i) {
    if (padList[i] != 0) resultList[found++] = padList[i];  // everyone but the board listens
  }
  Done(found);
}

FAKE_GPIB_EXPORT void SetRWLS(int board, const Addr* list) {
  State().log += "SetRWLS " + std::to_string(board) + " " + List(list) + "\n";
  Done(0);
}

FAKE_GPIB_EXPORT void EnableLocal(int board, const Addr* list) {
  State().log += "EnableLocal " + std::to_string(board) + " " + List(list) + "\n";
  Done(0);
}

FAKE_GPIB_EXPORT void Send(int board, Addr address, const void* buffer, long count, int eot) {
  State().log += "Send " + std::to_string(board) + " " + std::to_string(address) + " [" +
                 std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(count)) +
                 "] " + std::to_string(count) + " eot " + std::to_string(eot) + "\n";
  Done(static_cast<int>(count));
}

#ifndef FAKE_GPIB_WITHOUT_RECEIVE
FAKE_GPIB_EXPORT void Receive(int board, Addr address, void* buffer, long count, int termination) {
  FakeState& s = State();
  s.log += "Receive " + std::to_string(board) + " " + std::to_string(address) + " " +
           std::to_string(count) + " term " + std::to_string(termination) + "\n";
  std::string reply;
  if (!s.replies.empty()) {
    reply = s.replies.front();
    s.replies.pop_front();
  }
  const std::size_t n = reply.size() < static_cast<std::size_t>(count)
                            ? reply.size()
                            : static_cast<std::size_t>(count);
  std::memcpy(buffer, reply.data(), n);
  Done(static_cast<int>(n));
  if (s.ibsta == 0x0100) s.ibsta |= 0x2000;  // END
}
#endif

FAKE_GPIB_EXPORT int ibtmo(int ud, int value) {
  State().log += "ibtmo " + std::to_string(ud) + " " + std::to_string(value) + "\n";
  Done(0);
  return State().ibsta;
}

FAKE_GPIB_EXPORT int ThreadIbsta() {
  return State().ibsta;
}
FAKE_GPIB_EXPORT int ThreadIberr() {
  return State().iberr;
}
FAKE_GPIB_EXPORT int ThreadIbcnt() {
  return State().ibcnt;
}
