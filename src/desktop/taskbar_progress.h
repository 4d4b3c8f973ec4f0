#pragma once

#include <cstdint>
#include <string>

namespace obturix {

// How far a series has come, as its task bar entry shows it.
struct SeriesProgress {
  std::int64_t done = 0; // exposures begun and over
  std::int64_t total = 0;
  std::int64_t current = 0; // the exposure under way, as the counter shows it; 0 at the end
  bool failing = false;     // a press could not be made
  std::string note;         // what the counter's tooltip says
};

// The night's progress on the program's task bar entry, for a window that
// is covered or minimised. Called on the window's thread, never on the
// timed path; never waits for the desktop, and says nothing where nothing
// shows it.
class TaskbarProgress {
public:
  virtual ~TaskbarProgress() = default;
  virtual void show(const SeriesProgress& progress) = 0;
  virtual void clear() = 0;
};

} // namespace obturix
