// Waits, the dwell timer, the halt request and tones, on virtual time.
#include <gtest/gtest.h>

#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "shell/Speaker.h"

namespace brimtal {
namespace {

struct Countdowns : CountdownDisplay {
  std::vector<double> shown;
  void Countdown(double seconds) override { shown.push_back(seconds); }
};

struct WaitsFixture : ::testing::Test {
  VirtualClock clock{1000};
  ScriptedHost host{&clock};
  bool halt = false;
  BDelay delay{host, clock, halt};
};

TEST_F(WaitsFixture, PlainWaitTakesItsTimeInSmallPumps) {
  EXPECT_TRUE(delay.PlainWait(1.5, true));
  EXPECT_EQ(clock.TickMs(), 2500);
  EXPECT_TRUE(host.Messages().empty());
  // No single hand-over is longer than the pump limit, so halts are seen promptly.
  EXPECT_GE(host.DoEventsCalls(), 1500 / BDelay::kMaxPumpMs);
}

TEST_F(WaitsFixture, ZeroSecondsAsksTheOperator) {
  EXPECT_TRUE(delay.PlainWait(0, true));
  ASSERT_EQ(host.MessageTexts(), std::vector<std::string>{"Press Enter to continue"});
  EXPECT_EQ(clock.TickMs(), 1000);
}

TEST_F(WaitsFixture, HaltEndsAnAbortableWaitButNotAPlainOne) {
  host.At(1300, [this] { halt = true; });
  EXPECT_FALSE(delay.PlainWait(10, true));
  EXPECT_LE(clock.TickMs(), 1300 + BDelay::kMaxPumpMs);
  EXPECT_TRUE(delay.PlainWait(2, false));
  EXPECT_GE(clock.TickMs(), 3300);
}

TEST_F(WaitsFixture, DwellCountsTimeSpentSinceItsStartAndCountsDown) {
  delay.StartDwell(2.0);
  clock.Advance(1500);  // instruments were set meanwhile
  Countdowns window;
  EXPECT_TRUE(delay.WaitDwell(true, &window));
  EXPECT_EQ(clock.TickMs(), 3000);
  ASSERT_FALSE(window.shown.empty());
  EXPECT_LE(window.shown.front(), 0.5);
  EXPECT_DOUBLE_EQ(window.shown.back(), 0.0);
}

TEST_F(WaitsFixture, CountdownNeverShowsNegativeTimeWhenThePumpReturnsLate) {
  // The window system's timers fire a few milliseconds late.
  host.OnDoEvents([this] { clock.Advance(7); });
  delay.StartDwell(0.1);
  Countdowns window;
  EXPECT_TRUE(delay.WaitDwell(true, &window));
  EXPECT_GE(clock.TickMs(), 1100);
  ASSERT_FALSE(window.shown.empty());
  for (double seconds : window.shown) EXPECT_GE(seconds, 0.0);
  EXPECT_DOUBLE_EQ(window.shown.back(), 0.0);
}

TEST_F(WaitsFixture, ZeroDwellAsksWaitForUserAndCancelHalts) {
  delay.StartDwell(0);
  host.QueueAnswer(MsgAnswer::OK);
  host.QueueAnswer(MsgAnswer::Cancel);
  EXPECT_TRUE(delay.WaitDwell(true, nullptr));
  EXPECT_FALSE(delay.WaitDwell(true, nullptr));
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.Messages()[0].text, "Press Enter to continue, Escape to halt");
  EXPECT_EQ(host.Messages()[0].title, "Wait for user");
  EXPECT_EQ(host.Messages()[0].buttons, MsgButtons::OKCancel);
}

TEST_F(WaitsFixture, HaltEndsADwell) {
  delay.StartDwell(60);
  host.At(5000, [this] { halt = true; });
  EXPECT_FALSE(delay.WaitDwell(true, nullptr));
  EXPECT_LT(clock.TickMs(), 5100);
}

TEST_F(WaitsFixture, DwellMillisecondsRoundHalvesToEven) {
  delay.StartDwell(0.0025);
  EXPECT_EQ(delay.DwellMs(), 2);
  delay.StartDwell(0.0035);
  EXPECT_EQ(delay.DwellMs(), 4);
}

TEST_F(WaitsFixture, ToneWaitsForItsDuration) {
  Speaker speaker(host, clock);
  speaker.Tone(1000, 500);
  ASSERT_EQ(host.Tones().size(), 1u);
  EXPECT_EQ(host.Tones()[0], std::make_pair(1000, 500));
  EXPECT_EQ(clock.TickMs(), 1500);
}

TEST_F(WaitsFixture, AlarmWarblesAndRaisesLowFrequencies) {
  Speaker speaker(host, clock);
  speaker.Alarm(50, 200);
  ASSERT_EQ(host.Tones().size(), 4u);
  const std::vector<std::pair<int, int>> expected = {{100, 50}, {118, 50}, {100, 50}, {87, 50}};
  EXPECT_EQ(host.Tones(), expected);

  speaker.Alarm(1000, 2000);
  EXPECT_EQ(host.Tones().size(), 4u + 40u);
  EXPECT_EQ(host.Tones()[5].first, 1176);
  EXPECT_EQ(host.Tones()[7].first, 870);
}

}  // namespace
}  // namespace brimtal
