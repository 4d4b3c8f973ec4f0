#include "serial/port_check.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace obturix {
namespace {

// A second series on a COM port, under any spelling of its name, is refused
// while the first holds it, and allowed once that one is over; the claim is
// seen from every session.
TEST(Win32PortCheck, OneSeriesAtATimeClaimsAPort) {
  const auto first = makeSystemPortCheck(), second = makeSystemPortCheck();
  const auto claim = [](PortCheck& check, const char* name) {
    std::optional<PortHolder> holder;
    return check.claim(name, holder);
  };
  const auto seenFromEverySession = [] {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\Obturix-port-COM7");
    if (mutex)
      CloseHandle(mutex);
    return mutex != nullptr;
  };
  auto held = claim(*first, "COM7");
  ASSERT_TRUE(held);
  EXPECT_TRUE(seenFromEverySession());
  EXPECT_EQ(claim(*second, "\\\\.\\com7"), nullptr);
  EXPECT_NE(claim(*second, "COM8"), nullptr);
  held.reset();
  EXPECT_FALSE(seenFromEverySession());
  EXPECT_NE(claim(*second, "com7"), nullptr);
}

} // namespace
} // namespace obturix
