// The GPIB layer over a recording bus: device open and close, the error box to the character,
// the driver conventions and the registration of the status cells.
#include "instruments/Gpib.h"

#include <gtest/gtest.h>

#include "FakeBus.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"

namespace brimtal {
namespace {

using bus::Status;
using test::FakeBus;

class GpibTest : public ::testing::Test {
 protected:
  VirtualClock clock;
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  FakeBus bus;
  Gpib gpib{bus, host, delay};

  const ScriptedHost::Message& OnlyMessage() {
    EXPECT_EQ(host.Messages().size(), 1u);
    return host.Messages().front();
  }
};

TEST_F(GpibTest, InterfaceClearIsSentOncePerRunAndAgainOnlyAfterAFailure) {
  bus.Queue("IFC", {bus::kErr | bus::kCmpl, bus::kEneb, 0});
  EXPECT_FALSE(gpib.GpibSendIfc());
  EXPECT_FALSE(gpib.IfcSent());
  EXPECT_EQ(OnlyMessage().text,
            "Error sending IFC.\r\nibsta = &H8100 < ERR CMPL>\r\niberr = ENEB <No GPIB "
            "board>\r\nibcnt = 0x0");
  EXPECT_EQ(OnlyMessage().icon, MsgIcon::Exclamation);
  EXPECT_EQ(OnlyMessage().buttons, MsgButtons::OK);
  EXPECT_EQ(OnlyMessage().title, "Brimtal");

  EXPECT_TRUE(gpib.GpibSendIfc());
  EXPECT_TRUE(gpib.GpibSendIfc());
  EXPECT_TRUE(gpib.IfcSent());
  EXPECT_EQ(bus.Ops(), (std::vector<std::string>{"IFC", "IFC"}));
}

TEST_F(GpibTest, InitDeviceSearchesRemotesSendsAndSettlesTwoSeconds) {
  haltFlag = true;  // the settling pause is not abortable
  const auto start = clock.TickMs();
  ASSERT_TRUE(gpib.GpibInitDevice(19, "*RST\r\n", "SigGen"));
  EXPECT_GE(clock.TickMs() - start, 2000);
  EXPECT_LT(clock.TickMs() - start, 2100);
  EXPECT_TRUE(host.Messages().empty());

  ASSERT_EQ(bus.Ops(), (std::vector<std::string>{"FindLstn", "SetRWLS", "Send"}));
  const std::vector<bus::Address> list{0, 19, bus::kNoAddr};
  EXPECT_EQ(bus.calls[0].list, list);
  EXPECT_EQ(bus.calls[0].limit, 2);
  EXPECT_EQ(bus.calls[1].list, list);
  EXPECT_EQ(bus.calls[2].address, 19);
  EXPECT_EQ(bus.calls[2].data, "*RST\r\n");
  EXPECT_EQ(bus.calls[2].sendEnd, bus::SendEnd::EoiWithLastByte);
  EXPECT_EQ(gpib.AddrList(), (std::array<std::int16_t, 3>{0, 19, -1}));
}

TEST_F(GpibTest, EmptyInitStringSendsNothingButStillSettles) {
  const auto start = clock.TickMs();
  ASSERT_TRUE(gpib.GpibInitDevice(13, "", "PwrMtr"));
  EXPECT_EQ(bus.Ops(), (std::vector<std::string>{"FindLstn", "SetRWLS"}));
  EXPECT_GE(clock.TickMs() - start, 2000);
}

struct OpenCloseFailure {
  const char* failingOp;
  const char* firstLine;
  std::vector<std::string> opsCalled;
};

TEST_F(GpibTest, EachFailedStepOfOpenAndCloseShowsItsOwnSentence) {
  const std::vector<OpenCloseFailure> cases{
      {"FindLstn", "Error finding Meter", {"FindLstn"}},
      {"SetRWLS", "Error in setting Meter to remote mode. ", {"FindLstn", "SetRWLS"}},
      {"Send", "Error initializing Meter", {"FindLstn", "SetRWLS", "Send"}},
      {"EnableLocal", "Error closing Meter", {"EnableLocal"}},
  };
  for (const OpenCloseFailure& c : cases) {
    SCOPED_TRACE(c.failingOp);
    FakeBus failing;
    ScriptedHost boxes{&clock};
    BDelay waits{boxes, clock, haltFlag};
    Gpib layer{failing, boxes, waits};
    failing.Queue(c.failingOp, {bus::kErr | bus::kTimo, bus::kEabo, 3});
    boxes.SetBusy(true);
    const auto start = clock.TickMs();
    const bool ok = std::string(c.failingOp) == "EnableLocal"
                        ? layer.GpibCloseDevice(18, "Meter")
                        : layer.GpibInitDevice(18, "INIT\r\n", "Meter");
    EXPECT_FALSE(ok);
    EXPECT_EQ(failing.Ops(), c.opsCalled);
    EXPECT_EQ(clock.TickMs(), start) << "no settling after a failure";
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].text,
              std::string(c.firstLine) +
                  "\r\nibsta = &HC000 < ERR TIMO>\r\niberr = EABO <Op. aborted>\r\nibcnt = 0x3");
    // Only a failed listener search puts the arrow back.
    EXPECT_EQ(boxes.Busy(), std::string(c.failingOp) != "FindLstn");
  }
}

TEST_F(GpibTest, CloseReturnsTheDeviceInTheMiddleOfTheListToLocal) {
  ASSERT_TRUE(gpib.GpibInitDevice(19, "", "SigGen"));
  ASSERT_TRUE(gpib.GpibCloseDevice(13, "PwrMtr"));
  EXPECT_EQ(bus.calls.back().op, "EnableLocal");
  EXPECT_EQ(bus.calls.back().list, (std::vector<bus::Address>{0, 13, bus::kNoAddr}));
}

struct StatusCase {
  int ibsta;
  int iberr;
  long ibcnt;
  const char* expected;
};

TEST_F(GpibTest, ErrorBoxDecodesTheStatusToTheCharacter) {
  const std::vector<StatusCase> cases{
      {0xC100, 6, 0,
       "X\r\nibsta = &HC100 < ERR TIMO CMPL>\r\niberr = EABO <Op. aborted>\r\nibcnt = 0x0"},
      // No text for iberr 8: the status line is followed directly by the count line.
      {0x8000, 8, 0, "X\r\nibsta = &H8000 < ERR>\r\nibcnt = 0x0"},
      {0x8000, 21, 0, "X\r\nibsta = &H8000 < ERR>\r\nibcnt = 0x0"},
      {0xFFFF, 20, 0x1234,
       "X\r\nibsta = &HFFFF < ERR TIMO END SRQI RQS CMPL LOK REM CIC ATN TACS LACS DTAS "
       "DCAS>\r\niberr = ETAB <Table overflow>\r\nibcnt = 0x1234"},
      // Bits 0x0400 and 0x0200 are never named.
      {0x0600, 0, 64, "X\r\nibsta = &H600 <>\r\nNo error, iberr =  0\r\nibcnt = 0x40"},
      {0x2100, 0, 5, "X\r\nibsta = &H2100 < END CMPL>\r\nNo error, iberr =  0\r\nibcnt = 0x5"},
      {0x0000, -1, 0, "X\r\nibsta = &H0 <>\r\nNo error, iberr = -1\r\nibcnt = 0x0"},
      // The copies are 16 bits wide.
      {0x8000, 2, 70000,
       "X\r\nibsta = &H8000 < ERR>\r\niberr = ENOL <No Listener>\r\nibcnt = 0x1170"},
      {0x8000, 2, -1, "X\r\nibsta = &H8000 < ERR>\r\niberr = ENOL <No Listener>\r\nibcnt = 0xFFFF"},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.expected);
    bus.Queue("Send", {c.ibsta, c.iberr, c.ibcnt});
    gpib.GpibWrite(5, "x");
    host.ClearMessages();
    gpib.GpibErrorBox("X");
    EXPECT_EQ(OnlyMessage().text, c.expected);
  }
}

TEST_F(GpibTest, EveryNamedErrorHasItsText) {
  const std::vector<std::pair<int, const char*>> texts{
      {0, "iberr = EDVR <DOS Error>"},
      {1, "iberr = ECIC <Not CIC>"},
      {2, "iberr = ENOL <No Listener>"},
      {3, "iberr = EADR <Address Error>"},
      {4, "iberr = EARG <Invalid argument>"},
      {5, "iberr = ESAC <Not Sys Ctrlr>"},
      {6, "iberr = EABO <Op. aborted>"},
      {7, "iberr = ENEB <No GPIB board>"},
      {10, "iberr = EOIP <Async I/O in prg>"},
      {11, "iberr = ECAP <No capability>"},
      {12, "iberr = EFSO <File sys. error>"},
      {14, "iberr = EBUS <Command error>"},
      {15, "iberr = ESTB <Status byte lost>"},
      {16, "iberr = ESRQ <SRQ stuck high>"},
      {20, "iberr = ETAB <Table overflow>"},
      {9, ""},
      {13, ""},
      {17, ""},
  };
  for (const auto& [code, text] : texts) {
    bus.Queue("Send", {bus::kErr, code, 0});
    gpib.GpibWrite(5, "x");
    EXPECT_EQ(gpib.IberrText(), *text ? std::string("\r\n") + text : std::string()) << code;
  }
}

TEST_F(GpibTest, ReadKeepsTheFirstIbcntCharactersOfTheBuffer) {
  bus.QueueReply("+1.5E-03\nGARBAGE");
  bus.Queue("Receive", {bus::kEnd | bus::kCmpl, 0, 9});
  std::string reply;
  ASSERT_TRUE(gpib.GpibRead(13, bus::ReadEnd::StopOnLf, reply));
  EXPECT_EQ(reply, "+1.5E-03\n");
  EXPECT_EQ(bus.calls.back().count, 64u);
  EXPECT_EQ(bus.calls.back().readEnd, bus::ReadEnd::StopOnLf);

  bus.QueueReply("12.5 1.0\r\n");
  ASSERT_TRUE(gpib.GpibRead(9, bus::ReadEnd::EoiOnly, reply, Gpib::kAmpReplyBufferSize));
  EXPECT_EQ(reply, "12.5 1.0\r\n");
  EXPECT_EQ(bus.calls.back().count, 80u);

  bus.QueueReply("+1.");
  bus.Queue("Receive", {bus::kErr | bus::kTimo, bus::kEabo, 3});
  EXPECT_FALSE(gpib.GpibRead(13, bus::ReadEnd::StopOnCr, reply));
  EXPECT_EQ(reply, "+1.");
}

TEST_F(GpibTest, FlushReadsOnceWithA30MsTimeoutAndIgnoresTheOutcome) {
  bus.Queue("Receive", {bus::kErr | bus::kTimo, bus::kEabo, 0});
  gpib.GpibFlush(18);
  ASSERT_EQ(bus.Ops(), (std::vector<std::string>{"ibtmo", "Receive", "ibtmo"}));
  EXPECT_EQ(bus.calls[0].timeout, bus::Timeout::Ms30);
  EXPECT_EQ(bus.calls[1].address, 18);
  EXPECT_EQ(bus.calls[1].count, 64u);
  EXPECT_EQ(bus.calls[1].readEnd, bus::ReadEnd::EoiOnly);
  EXPECT_EQ(bus.calls[2].timeout, bus::Timeout::S10);
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_GE(gpib.ibsta(), 0) << "the status of the last call, the 10 s timeout, is kept";
}

TEST(GpibTermination, FollowsTheEndOfStringCode) {
  EXPECT_EQ(TerminationForEos(0)->terminator, "");
  EXPECT_EQ(TerminationForEos(0)->readEnd, bus::ReadEnd::EoiOnly);
  EXPECT_EQ(TerminationForEos(1)->terminator, "\r");
  EXPECT_EQ(TerminationForEos(1)->readEnd, bus::ReadEnd::StopOnCr);
  EXPECT_EQ(TerminationForEos(2)->terminator, "\r\n");
  EXPECT_EQ(TerminationForEos(2)->readEnd, bus::ReadEnd::StopOnLf);
  EXPECT_FALSE(TerminationForEos(3).has_value());
  EXPECT_FALSE(TerminationForEos(-1).has_value());
}

struct RegistrationCase {
  int code;
  const char* message;  // empty: registered without a word
  int unregisters;
};

TEST(GpibRegistration, StatusCellsAreRegisteredBeforeTheFirstCall) {
  const std::vector<RegistrationCase> cases{
      {0, "", 0},
      {1, "", 1},
      {2, "Operating System is not multi-threaded. Quitting the Program!", 1},
      {3, "Unable to register GPIB thread globals. Quitting the Program!", 1},
      {9, "Unknown Error for Registering GPIB Globals!!! Quitting the Program!", 0},
  };
  for (const RegistrationCase& c : cases) {
    SCOPED_TRACE(c.code);
    VirtualClock clock;
    ScriptedHost host{&clock};
    bool halt = false;
    BDelay delay{host, clock, halt};
    FakeBus bus;
    bus.registerCodes = {c.code, 1};
    Gpib gpib{bus, host, delay};
    int quits = 0;
    gpib.SetQuitHandler([&quits] { ++quits; });

    const bool fatal = *c.message != '\0';
    EXPECT_EQ(gpib.GpibSendIfc(), !fatal);
    EXPECT_EQ(gpib.GpibSendIfc(), !fatal);
    EXPECT_EQ(bus.unregisterCalls, c.unregisters);
    EXPECT_EQ(quits, fatal ? 1 : 0);
    if (!fatal) {
      EXPECT_EQ(bus.registerCalls, c.code == 1 ? 2 : 1) << "registered once, before the first call";
      EXPECT_TRUE(host.Messages().empty());
      continue;
    }
    // The library is never called; every call fails as if there were no board.
    EXPECT_TRUE(bus.calls.empty());
    EXPECT_EQ(bus.registerCalls, 1);
    ASSERT_EQ(host.Messages().size(), 3u);
    EXPECT_EQ(host.Messages()[0].text, c.message);
    EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(host.Messages()[1].text,
              "Error sending IFC.\r\nibsta = &H8000 < ERR>\r\niberr = ENEB <No GPIB "
              "board>\r\nibcnt = 0x0");
  }
}

}  // namespace
}  // namespace brimtal
