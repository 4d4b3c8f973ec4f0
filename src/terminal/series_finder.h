#pragma once

#include <memory>
#include <string>
#include <vector>

namespace obturix {

// A series of this user's running now, in this program or its window.
struct RunningSeries {
  long pid = 0;
  std::string program; // « obturix-serie », « obturix »
  std::string device;  // the port its claim names, when its journal is not read
  std::string journal; // its journal's name in the user's folder; empty when unknown
};

// Finds the series running on this computer through their ports' claims,
// whatever port they are on, and asks them to stop.
class SeriesFinder {
public:
  virtual ~SeriesFinder() = default;
  virtual std::vector<RunningSeries> running() = 0;
  // Asks it to stop as the user's own stop does; false when it cannot be.
  virtual bool stop(const RunningSeries& series) = 0;
  virtual bool runs(const RunningSeries& series) = 0;
};

class JournalFolder;

// `journals`: the user's, where the running series keep theirs.
std::unique_ptr<SeriesFinder> makeSystemSeriesFinder(std::shared_ptr<JournalFolder> journals);

} // namespace obturix
