#pragma once

#include "fakes/fake_series_services.h"
#include "serial/port_words.h"
#include "series/series_plan.h"
#include "series/series_run.h"
#include "series/series_words.h"
#include "text/french.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace obturix::testing {

// A series run as a front sees it, on fake services: its progress logged as
// "progress DONE/TOTAL #CURRENT" (" !" once a press failed) with the words of
// each kept in `notes`, what it tells at once as "notice TEXT", with the
// ports, the sleeps and the wake lock; its cycles run on the test's thread,
// what they hand over at once.
struct SeriesRunRig : FakeSeriesServices {
  struct Front final : SeriesFront {
    explicit Front(EventLog& log) : log_(log) {}
    void progress(const SeriesProgress& p) override {
      log_.add("progress " + std::to_string(p.done) + "/" + std::to_string(p.total) + " #" +
               std::to_string(p.current) + (p.failing ? " !" : ""));
      notes.push_back(p.note);
    }
    void tellAtOnce(const std::string& text) override { log_.add("notice " + text); }
    std::vector<std::string> notes;

  private:
    EventLog& log_;
  } front{log};

  // Count, exposure, interval, mirror, port, pulse and settle, as typed.
  SeriesParams params{"3", "1", "1", answerNo, "COM1", "0.08", "1"};
  SeriesRun* running = nullptr; // while run() runs, for what happens during it

  SeriesOutcome run() {
    SeriesRun series(this->series(), std::get<SeriesPlan>(readPlan(params)));
    running = &series;
    EXPECT_EQ(series.claimPort(), std::nullopt);
    const SeriesOutcome outcome =
        series.run(front, [](const std::function<void(const HandOver&)>& cycles) {
          cycles([](const std::function<void()>& task) { task(); });
        });
    running = nullptr;
    return outcome;
  }
  // The events logged that begin with `start`.
  std::vector<std::string> only(const std::string& start) const {
    std::vector<std::string> kept;
    for (const std::string& event : log.events())
      if (event.starts_with(start))
        kept.push_back(event);
    return kept;
  }
};

} // namespace obturix::testing
