#include "press_drawing.h"
#include "press_recorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace obturix::camera {
namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;

struct Event {
  bool open;
  nanoseconds when;
};

// Known presses in, the presses the recorder reports out.
TEST(PressRecorder, MeasuresKnownPresses) {
  const struct {
    const char* what;
    std::vector<Event> events;
    std::vector<Press> presses;
  } cases[] = {
      {"mirror then exposure",
       {{true, 0ms}, {false, 80ms}, {true, 1080ms}, {false, 2080ms}},
       {{1, 0ms, 80ms, std::nullopt}, {2, 1080ms, 1000ms, 1000ms}}},
      {"a port opened twice at once is one press",
       {{true, 10ms}, {true, 11ms}, {false, 509ms}, {false, 510ms}, {true, 700ms}, {false, 800ms}},
       {{1, 10ms, 500ms, std::nullopt}, {2, 700ms, 100ms, 190ms}}},
      {"sub-millisecond lengths are kept",
       {{true, nanoseconds(1'000'000'000)}, {false, nanoseconds(1'030'000'250)}},
       {{1, 1s, nanoseconds(30'000'250), std::nullopt}}},
  };
  for (const auto& c : cases) {
    PressRecorder recorder;
    std::vector<Press> presses;
    for (const auto& event : c.events) {
      if (event.open)
        recorder.opened(event.when);
      else if (auto press = recorder.closed(event.when))
        presses.push_back(*press);
    }
    EXPECT_EQ(presses, c.presses) << c.what;
  }
}

// What the e2e test and the benchmark read, written the French way.
TEST(PressRecorder, DescribesAPressTheFrenchWay) {
  setenv("TZ", "UTC", 1);
  tzset();
  const Press press{2, 0ns, 489'012'345ns, 10'127'309'400ns};
  const std::chrono::system_clock::time_point start(5h + 4min + 12'855ms);
  EXPECT_EQ(describe(press, start), "Appui 2\u00A0: début 05:04:12,855, durée 489,012 ms, pause "
                                    "avant 10\u00A0127,309 ms");
}

// Every press drawn, with its length and the pause before it as recorded,
// to the microsecond as the camera prints them, to scale: the last bar ends
// where the time line does (80 + 420).
TEST(PressDrawing, HoldsEveryPressAsRecorded) {
  const std::vector<Press> presses = {{1, 0ns, 50'123'456ns, std::nullopt},
                                      {2, 150ms, 300'456'789ns, 99'876'544ns},
                                      {3, 12s, 50ms, 11'549'543'211ns}};
  const std::string svg = drawPresses(presses);
  for (const char* said :
       {"Appui 1<", "3 appuis<", ">50,123 ms<", ">300,457 ms, pause avant 99,877 ms<",
        ">50,000 ms, pause avant 11\u00A0549,543 ms<", "x=\"498.3\" y=\"97\" width=\"1.7\""})
    EXPECT_NE(svg.find(said), std::string::npos) << said;
  std::size_t bars = 0;
  for (auto at = svg.find("<rect x="); at != std::string::npos; at = svg.find("<rect x=", at + 1))
    ++bars;
  EXPECT_EQ(bars, presses.size());
}

} // namespace
} // namespace obturix::camera
