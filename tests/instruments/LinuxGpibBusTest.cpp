// The linux-gpib back-end against a fake library built by the tests: the symbolic end modes
// and timeouts become linux-gpib's numbers, the status comes from the library after every call,
// and a missing library or entry point gives a message and ENEB instead of a crash.
#include "instruments/bus/LinuxGpibBus.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"

namespace brimtal {
namespace {

// The fake library's control functions, found in the copy the bus loaded.
class FakeLibrary {
 public:
  FakeLibrary() : handle_(dlopen(FAKE_GPIB_LIBRARY, RTLD_NOW)) {
    EXPECT_NE(handle_, nullptr) << dlerror();
    Call<void (*)()>("FakeGpibReset")();
  }
  ~FakeLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  std::string Log() { return Call<const char* (*)()>("FakeGpibLog")(); }
  void QueueReply(const char* bytes) { Call<void (*)(const char*)>("FakeGpibQueueReply")(bytes); }
  void FailNext(int ibsta, int iberr) {
    Call<void (*)(int, int)>("FakeGpibFailNext")(ibsta, iberr);
  }

 private:
  template <typename F>
  F Call(const char* name) {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }
  void* handle_;
};

struct Rig {
  explicit Rig(std::vector<std::string> paths) : bus(host, std::move(paths)) {}
  VirtualClock clock;
  ScriptedHost host{&clock};
  bool halt = false;
  BDelay delay{host, clock, halt};
  bus::LinuxGpibBus bus;
  Gpib gpib{bus, host, delay};
};

TEST(LinuxGpibBus, ConvertsTheProgramsTermsIntoLinuxGpibNumbers) {
  Rig rig({"/nonexistent/libgpib.so.0", FAKE_GPIB_LIBRARY});
  FakeLibrary fake;
  ASSERT_EQ(rig.bus.LoadProblem(), "");
  EXPECT_EQ(rig.bus.Description(), "GPIB board 0 (linux-gpib)");
  EXPECT_FALSE(rig.bus.IsSimulated());

  ASSERT_TRUE(rig.gpib.GpibSendIfc());
  ASSERT_TRUE(rig.gpib.GpibInitDevice(19, "*RST\r\n", "SigGen"));
  fake.QueueReply("+1.25E-03\n");
  std::string reply;
  ASSERT_TRUE(rig.gpib.GpibRead(13, bus::ReadEnd::StopOnLf, reply));
  EXPECT_EQ(reply, "+1.25E-03\n");
  EXPECT_EQ(rig.gpib.ibcnt(), 10);
  EXPECT_EQ(rig.gpib.ibsta(), 0x2100);
  fake.QueueReply("12.5 0.4\r\n");
  ASSERT_TRUE(rig.gpib.GpibRead(9, bus::ReadEnd::EoiOnly, reply, Gpib::kAmpReplyBufferSize));
  ASSERT_TRUE(rig.gpib.GpibRead(9, bus::ReadEnd::StopOnCr, reply));
  rig.gpib.GpibFlush(18);
  ASSERT_TRUE(rig.gpib.GpibCloseDevice(19, "SigGen"));

  EXPECT_EQ(fake.Log(),
            "SendIFC 0\n"
            "FindLstn 0 0,19,65535 limit 2\n"
            "SetRWLS 0 0,19,65535\n"
            "Send 0 19 [*RST\r\n] 6 eot 1\n"  // EOI with the last byte is DABend
            "Receive 0 13 64 term 10\n"
            "Receive 0 9 80 term 256\n"  // stop on EOI only is STOPend
            "Receive 0 9 64 term 13\n"
            "ibtmo 0 8\n"  // T30ms
            "Receive 0 18 64 term 256\n"
            "ibtmo 0 13\n"  // T10s
            "EnableLocal 0 0,19,65535\n");
}

TEST(LinuxGpibBus, StatusIsReadFromTheLibraryAfterEveryCall) {
  Rig rig({FAKE_GPIB_LIBRARY});
  FakeLibrary fake;
  fake.FailNext(0xC100, 6);
  EXPECT_FALSE(rig.gpib.GpibWrite(19, "OUTP ON\r\n"));
  rig.gpib.GpibErrorBox("Error setting SigGen RF on. ");
  ASSERT_EQ(rig.host.Messages().size(), 1u);
  EXPECT_EQ(rig.host.Messages()[0].text,
            "Error setting SigGen RF on. \r\nibsta = &HC100 < ERR TIMO CMPL>\r\niberr = EABO <Op. "
            "aborted>\r\nibcnt = 0x0");
  EXPECT_TRUE(rig.gpib.GpibWrite(19, "OUTP ON\r\n"));
  EXPECT_EQ(rig.gpib.ibcnt(), 9);
}

struct MissingCase {
  std::vector<std::string> paths;
  std::vector<std::string> named;  // texts the message must contain
};

TEST(LinuxGpibBus, AMissingLibraryOrEntryPointGivesAMessageAndEneb) {
  const std::vector<MissingCase> cases{
      {{"/nonexistent/libgpib.so.0", "/nowhere/libgpib.so.0"},
       {"libgpib.so.0", "/nonexistent/libgpib.so.0", "/nowhere/libgpib.so.0"}},
      {{FAKE_GPIB_WITHOUT_RECEIVE_LIBRARY}, {FAKE_GPIB_WITHOUT_RECEIVE_LIBRARY, "Receive"}},
  };
  for (const MissingCase& c : cases) {
    SCOPED_TRACE(c.paths.front());
    Rig rig(c.paths);
    EXPECT_NE(rig.bus.LoadProblem(), "");
    EXPECT_EQ(rig.bus.Description(), "GPIB board 0 (linux-gpib not available)");
    EXPECT_FALSE(rig.gpib.GpibSendIfc());
    EXPECT_FALSE(rig.gpib.GpibInitDevice(19, "", "SigGen"));
    ASSERT_EQ(rig.host.Messages().size(), 3u) << "the library's problem is told once";
    const std::string& told = rig.host.Messages()[0].text;
    for (const std::string& name : c.named) EXPECT_NE(told.find(name), std::string::npos) << told;
    EXPECT_NE(told.find("ENEB"), std::string::npos);
    EXPECT_EQ(rig.host.Messages()[1].text,
              "Error sending IFC.\r\nibsta = &H8000 < ERR>\r\niberr = ENEB <No GPIB "
              "board>\r\nibcnt = 0x0");
    EXPECT_EQ(rig.host.Messages()[2].text.substr(0, 22), "Error finding SigGen\r\n");
    std::string reply = "old";
    EXPECT_TRUE(rig.bus.Receive(13, reply, 64, bus::ReadEnd::StopOnLf).Failed());
    EXPECT_EQ(reply, "");
  }
}

}  // namespace
}  // namespace brimtal
