// The LAN back-end against the simulated bench served on loopback sockets: a round trip
// through the GPIB layer, reads that end at the buffer, the termination or the timeout, and
// the statuses of refused and silent instruments.
#include "instruments/bus/TcpBus.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "shell/VbText.h"
#include "sim/SimBench.h"
#include "sim/SimServer.h"

namespace brimtal::bus {
namespace {

// The bench served on free loopback ports by a thread of its own.
class ServedBench {
 public:
  ServedBench() {
    std::string error;
    EXPECT_TRUE(server_.Listen("127.0.0.1", 0, error)) << error;
    thread_ = std::thread([this] {
      while (!stop_) server_.Poll(10);
    });
  }
  ~ServedBench() {
    stop_ = true;
    thread_.join();
  }
  std::map<int, TcpEndpoint> Endpoints() const {
    std::map<int, TcpEndpoint> endpoints;
    for (const auto& served : server_.Served()) {
      endpoints[served.address] = {"127.0.0.1", served.port};
    }
    return endpoints;
  }

 private:
  SystemClock clock_;
  sim::SimBench bench_{clock_};
  sim::SimServer server_{bench_};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A socket that is bound and listening but never accepts or answers.
class SilentListener {
 public:
  SilentListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where);
    ::listen(fd_, 4);
    socklen_t length = sizeof where;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&where), &length);
    port_ = ntohs(where.sin_port);
  }
  ~SilentListener() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

struct Layer {
  explicit Layer(std::map<int, TcpEndpoint> endpoints) : bus(std::move(endpoints)) {}
  VirtualClock clock;
  ScriptedHost host{&clock};
  bool halt = false;
  BDelay delay{host, clock, halt};
  TcpBus bus;
  Gpib gpib{bus, host, delay};
};

TEST(TcpBus, DrivesTheServedBenchThroughTheGpibLayer) {
  ServedBench bench;
  Layer layer(bench.Endpoints());
  EXPECT_EQ(layer.bus.Description(), "LAN (SCPI sockets)");
  ASSERT_TRUE(layer.gpib.GpibSendIfc());
  ASSERT_TRUE(layer.gpib.GpibInitDevice(19, "*RST\r\n", "SigGen"));
  ASSERT_TRUE(layer.gpib.GpibWrite(19, "FREQ 80.0 MHZ\r\n"));
  ASSERT_TRUE(layer.gpib.GpibWrite(19, "POW -20.0 DBM\r\n"));
  ASSERT_TRUE(layer.gpib.GpibWrite(19, "FREQ?;POW?"));  // no terminator: the LF is added
  std::string reply;
  ASSERT_TRUE(layer.gpib.GpibRead(19, ReadEnd::StopOnLf, reply));
  EXPECT_EQ(reply, "+8.00000000E+07;-2.00000000E+01\n");
  EXPECT_NE(layer.gpib.ibsta() & kEnd, 0);

  // The power meter as its driver reads it: flush, trigger, read.
  ASSERT_TRUE(layer.gpib.GpibInitDevice(13, "*RST\r\n", "PwrMtr"));
  layer.gpib.GpibFlush(13);
  ASSERT_TRUE(layer.gpib.GpibWrite(13, "INIT1\r\n"));
  ASSERT_TRUE(layer.gpib.GpibWrite(13, "FETC1?\r\n"));
  ASSERT_TRUE(layer.gpib.GpibRead(13, ReadEnd::StopOnLf, reply));
  EXPECT_EQ(reply.size(), 16u) << reply;
  EXPECT_GT(vbtext::Val(reply), 0.0);
  ASSERT_TRUE(layer.gpib.GpibCloseDevice(13, "PwrMtr"));
  EXPECT_TRUE(layer.host.Messages().empty());
}

TEST(TcpBus, ReadsEndAtTheBufferOrTheTermination) {
  ServedBench bench;
  Layer layer(bench.Endpoints());
  std::string part;
  ASSERT_TRUE(layer.gpib.GpibWrite(19, "*IDN?\r\n"));
  ASSERT_TRUE(layer.gpib.GpibRead(19, ReadEnd::StopOnLf, part, 10));
  EXPECT_EQ(part, "Brimtal,Si");
  EXPECT_EQ(layer.gpib.ibsta() & kEnd, 0);
  ASSERT_TRUE(layer.gpib.GpibRead(19, ReadEnd::StopOnLf, part));
  EXPECT_EQ(part, "mGen 3000,0019,1.0\n");

  ASSERT_TRUE(layer.gpib.GpibWrite(10, "RP\r\n"));
  ASSERT_TRUE(layer.gpib.GpibRead(10, ReadEnd::StopOnCr, part, Gpib::kAmpReplyBufferSize));
  EXPECT_EQ(part, "0.00 0.00\r");
  ASSERT_TRUE(layer.gpib.GpibRead(10, ReadEnd::EoiOnly, part, Gpib::kAmpReplyBufferSize));
  EXPECT_EQ(part, "\n");
  EXPECT_NE(layer.gpib.ibsta() & kEnd, 0);
}

TEST(TcpBus, SilenceIsATimeoutAndTheNextReplyIsIntact) {
  ServedBench bench;
  Layer layer(bench.Endpoints());
  layer.gpib.GpibFlush(18);  // nothing to read: 30 ms, status ignored
  ASSERT_TRUE(layer.bus.ibtmo(Timeout::Ms30).ibsta >= 0);
  std::string reply;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(layer.gpib.GpibRead(18, ReadEnd::StopOnLf, reply));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(25));
  EXPECT_LT(waited, std::chrono::milliseconds(1000));
  EXPECT_EQ(layer.gpib.ibsta() & (kErr | kTimo), kErr | kTimo);
  EXPECT_EQ(layer.gpib.iberr(), kEabo);
  layer.gpib.GpibErrorBox("Error in reading meter. ");
  EXPECT_EQ(layer.host.Messages().back().text,
            "Error in reading meter. \r\nibsta = &HC124 < ERR TIMO CMPL CIC LACS>\r\niberr = EABO "
            "<Op. aborted>\r\nibcnt = 0x0");
  layer.bus.ibtmo(Timeout::S10);
  ASSERT_TRUE(layer.gpib.GpibWrite(18, "*OPC?\r\n"));
  ASSERT_TRUE(layer.gpib.GpibRead(18, ReadEnd::StopOnLf, reply));
  EXPECT_EQ(reply, "1\n");
}

TEST(TcpBus, AnInstrumentThatNeverAnswersTimesOut) {
  SilentListener silent;
  Layer layer({{18, {"127.0.0.1", silent.Port()}}});
  layer.bus.ibtmo(Timeout::Ms30);
  std::string reply;
  const Status status = layer.bus.Receive(18, reply, 64, ReadEnd::StopOnLf);
  EXPECT_EQ(status.ibsta & (kErr | kTimo), kErr | kTimo);
  EXPECT_EQ(status.iberr, kEabo);
  EXPECT_EQ(status.ibcnt, 0);
}

TEST(TcpBus, RefusedOrUnmappedAddressesHaveNoListener) {
  SilentListener closed;
  const int port = closed.Port();
  closed.Close();  // nothing listens there any more
  Layer layer({{19, {"127.0.0.1", port}}});
  EXPECT_FALSE(layer.gpib.GpibInitDevice(19, "", "SigGen"));
  ASSERT_EQ(layer.host.Messages().size(), 1u);
  EXPECT_EQ(layer.host.Messages()[0].text,
            "Error finding SigGen\r\nibsta = &H8120 < ERR CMPL CIC>\r\niberr = ENOL <No "
            "Listener>\r\nibcnt = 0x0");
  for (Address address : {19, 7}) {
    const Status status = layer.bus.Send(address, "*RST", SendEnd::EoiWithLastByte);
    EXPECT_TRUE(status.Failed()) << address;
    EXPECT_EQ(status.iberr, kEnol) << address;
  }
}

}  // namespace
}  // namespace brimtal::bus
