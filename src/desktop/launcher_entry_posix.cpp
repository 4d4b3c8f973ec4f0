#include "desktop/launcher_entry_posix.h"

#include "power/bus_posix.h"
#include "threads/latest_worker.h"

#include <mutex>
#include <optional>
#include <utility>

namespace obturix {

namespace {

constexpr const char* application = "application://org.obturix.Obturix.desktop";

// The latest state not yet sent (nothing: the progress cleared); only the
// latest matters.
struct Outbox {
  std::mutex mutex;
  std::optional<std::optional<SeriesProgress>> next;
};

void emitUpdate(sd_bus* bus, const std::optional<SeriesProgress>& progress) {
  sd_bus_message* signal = nullptr;
  if (sd_bus_message_new_signal(bus, &signal, "/org/obturix/Obturix",
                                "com.canonical.Unity.LauncherEntry", "Update") < 0)
    return;
  const bool shown = progress.has_value();
  const double fraction = shown && progress->total > 0 ? static_cast<double>(progress->done) /
                                                             static_cast<double>(progress->total)
                                                       : 0.0;
  // The exposures left, the one under way included.
  const std::int64_t count =
      shown && progress->current > 0 ? progress->total - progress->current + 1 : 0;
  if (sd_bus_message_append(signal, "sa{sv}", application, 5, "progress", "d", fraction,
                            "progress-visible", "b", shown, "count", "x", count, "count-visible",
                            "b", count > 0, "urgent", "b", shown && progress->failing) >= 0 &&
      sd_bus_send(bus, signal, nullptr) >= 0)
    sd_bus_flush(bus);
  sd_bus_message_unref(signal);
}

// Sent by a worker of its own: a session bus may be slow, hung or absent,
// and the window never waits for it. Connected as the window opens rather
// than beside a series' first press.
class LauncherEntryProgress final : public TaskbarProgress {
public:
  LauncherEntryProgress() { sender_.ask(); }

  void show(const SeriesProgress& progress) override { post(progress); }
  void clear() override { post(std::nullopt); }

private:
  void post(const std::optional<SeriesProgress>& update) {
    {
      const std::lock_guard lock(outbox_->mutex);
      outbox_->next = update;
    }
    sender_.ask();
  }

  std::shared_ptr<Outbox> outbox_ = std::make_shared<Outbox>();
  LatestWorker sender_{[outbox = outbox_, session = std::make_shared<std::optional<Bus>>()] {
    if (!*session) // once: a bus missing or hung now is not asked again
      session->emplace(openBus(sd_bus_open_user));
    std::optional<std::optional<SeriesProgress>> update;
    {
      const std::lock_guard lock(outbox->mutex);
      update = std::exchange(outbox->next, std::nullopt);
    }
    if (**session && update)
      emitUpdate((*session)->get(), *update);
  }};
};

} // namespace

std::unique_ptr<TaskbarProgress> makeLauncherEntryProgress() {
  return std::make_unique<LauncherEntryProgress>();
}

} // namespace obturix
