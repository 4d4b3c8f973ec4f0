#include "terminal/serie_rig.h"
#include "terminal/terminal_front.h"

#include <gtest/gtest.h>

namespace obturix::testing {
namespace {

// Two exposures' progress, the second told twice, a notice in the middle,
// then the end, as the front writes them.
std::string shown(FakeConsole& console, bool night) {
  EventLog log;
  FakeSleeper sleeper(log);
  FakeWallClock clock(sleeper);
  TerminalFront front(console, clock, night);
  front.progress({0, 2, 1, false, "Pose 1 sur 2 — il reste 10 s"});
  sleeper.elapsed = std::chrono::milliseconds(5000);
  front.progress({1, 2, 2, false, "Pose 2 sur 2 — il reste 5 s"});
  front.tellAtOnce("La pose 2 a été manquée.\rLa série continue.");
  front.progress({1, 2, 2, true, "Pose 2 sur 2 — 4 s"});
  front.progress({2, 2, 0, true, ""});
  return console.written;
}

TEST(TerminalFront, RewritesOneLineOnATerminalAndStampsOneLinePerExposureElsewhere) {
  struct Case {
    bool terminal, colours, night;
    int columns;
    std::string written;
  };
  const Case cases[] = {
      {true, false, false, 0,
       "\rPose 1 sur 2 — il reste 10 s"
       "\rPose 2 sur 2 — il reste 5 s "
       "\rPose 2 sur 2 — il reste 5 s"
       "\r                           \r"
       "La pose 2 a été manquée.\nLa série continue.\n"
       "\rPose 2 sur 2 — il reste 5 s"
       "\rPose 2 sur 2 — 4 s         \rPose 2 sur 2 — 4 s"
       "\n"},
      {true, true, false, 12,
       "\rPose 1 sur…\rPose 2 sur…\r           \r"
       "La pose 2 a été manquée.\nLa série continue.\n\rPose 2 sur…\rPose 2 sur…\n"},
      {false, true, true, 0,
       "\x1b[31m21:00:00 Pose 1 sur 2 — il reste 10 s\x1b[0m\n"
       "\x1b[31m21:00:05 Pose 2 sur 2 — il reste 5 s\x1b[0m\n"
       "\x1b[31m21:00:05 La pose 2 a été manquée.\nLa série continue.\x1b[0m\n"},
      {false, false, true, 0,
       "21:00:00 Pose 1 sur 2 — il reste 10 s\n"
       "21:00:05 Pose 2 sur 2 — il reste 5 s\n"
       "21:00:05 La pose 2 a été manquée.\nLa série continue.\n"},
  };
  for (const Case& each : cases) {
    FakeConsole console;
    console.terminal = each.terminal;
    console.hasColours = each.colours;
    console.width = each.columns;
    EXPECT_EQ(shown(console, each.night), each.written) << each.terminal << each.columns;
  }
}

} // namespace
} // namespace obturix::testing
