#include "window/form1_rig.h"

#include "text/french.h"
#include "text/system_reason.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace obturix {
namespace {

using enum Control;
using Lines = std::vector<std::string>;
using testing::Form1Rig;

// A journal that cannot be made or written is told with the series' other
// warnings, and the series runs exactly as with one; stopped by the system,
// nobody is told.
TEST(Form1Journal, AJournalNotWrittenIsToldAtTheEndAndTouchesNothing) {
#ifdef _WIN32
  const long accessDenied = 5, diskFull = 112;
#else
  const long accessDenied = EACCES, diskFull = ENOSPC;
#endif
  Form1Rig written;
  written.view.setChecked(ChkAffichePoppup, false);
  written.type(Text1, "3");
  written.form.LancerSerie();
  const struct {
    const char* name;
    long refusal = 0;
    int appendsLeft = -1;
    std::string told;
  } cases[] = {
      {.name = "no folder",
       .refusal = accessDenied,
       .told = "Le journal de cette série n'a pas pu être créé dans « /state/journal/ » (" +
               systemReason(accessDenied) + ")."},
      {.name = "a full disk",
       .appendsLeft = 0,
       .told = "Le journal de cette série, « /state/journal/2026-12-07_21-00-00.csv », est "
               "incomplet : son écriture a échoué dès son début (" +
               systemReason(diskFull) + ")."},
  };
  for (const auto& c : cases) {
    Form1Rig rig;
    rig.view.setChecked(ChkAffichePoppup, false);
    rig.type(Text1, "3");
    rig.journals->refusal = c.refusal;
    rig.journals->appendsLeft = c.appendsLeft;
    rig.journals->appendFailure = diskFull;
    rig.form.LancerSerie();
    Lines events = rig.log.events();
    const auto told = std::find(events.begin(), events.end(), "box Obturix: " + typeset(c.told));
    ASSERT_NE(told, events.end()) << c.name;
    events.erase(told);
    EXPECT_EQ(events, written.log.events()) << c.name;
  }
  Form1Rig none; // a series without cycle presses nothing: no journal, nothing told
  none.view.setChecked(ChkAffichePoppup, false);
  none.type(Text1, "0");
  none.journals->refusal = accessDenied;
  none.form.LancerSerie();
  EXPECT_TRUE(none.journals->files.empty());
  EXPECT_TRUE(std::none_of(none.log.events().begin(), none.log.events().end(),
                           [](const std::string& e) { return e.starts_with("box "); }));
}

} // namespace
} // namespace obturix
