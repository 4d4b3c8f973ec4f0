#pragma once

#include "fakes/fake_series_services.h"
#include "terminal/console.h"
#include "terminal/serie_command.h"
#include "terminal/series_finder.h"
#include "terminal/stop_requests.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace obturix::testing {

// Keeps what the command writes; a terminal or not, as set.
struct FakeConsole final : Console {
  bool isTerminal() const override { return terminal; }
  int columns() const override { return width; }
  bool colours() const override { return hasColours; }
  void out(const std::string& text) override { written += text; }
  void err(const std::string& text) override { errors += text; }
  void terminalLost() override { lost = true; }
  void flush(std::chrono::milliseconds) override {}

  bool terminal = false, hasColours = false, lost = false;
  int width = 0;
  std::string written, errors;
};

// Hands out `next` once, when set (from any thread); otherwise nothing,
// after a real millisecond.
struct FakeStopRequests final : StopRequests {
  Request wait(std::chrono::milliseconds) override {
    const Request request = next.exchange(Request::None);
    if (request == Request::None)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return request;
  }
  std::atomic<Request> next{Request::None};
};

// The series `series` run; each asked to stop is logged and ends.
struct FakeSeriesFinder final : SeriesFinder {
  std::vector<RunningSeries> running() override { return series; }
  bool stop(const RunningSeries& one) override {
    stopped.push_back(one.pid);
    return true;
  }
  bool runs(const RunningSeries& one) override {
    return std::find(stopped.begin(), stopped.end(), one.pid) == stopped.end();
  }
  std::vector<RunningSeries> series;
  std::vector<long> stopped;
};

// The terminal command on fake services: its port COM1, journals in memory.
struct SerieRig : FakeSeriesServices {
  FakeConsole console;
  FakeStopRequests requests;
  FakeSeriesFinder finder;

  SerieExit run(std::vector<std::string> arguments) {
    console.written.clear();
    console.errors.clear();
    SerieCommandServices services{series(), settings, console, requests, finder, "1.0.0"};
    return runSerieCommand(arguments, services);
  }
  // Ctrl-C when the fake clock reaches `at`: the series' sleep then ends
  // once the command has taken the stop.
  void stopAt(std::chrono::milliseconds at) {
    sleeper.at[at] = [this] {
      requests.next = StopRequests::Request::Stop;
      while (!sleeper.interrupted())
        std::this_thread::yield();
    };
  }
  // The journals' texts, oldest first.
  std::vector<std::string> journalTexts() const {
    std::vector<std::string> texts;
    for (const auto& [name, text] : journals->files)
      texts.push_back(text);
    return texts;
  }
};

} // namespace obturix::testing
