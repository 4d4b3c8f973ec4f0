#include "serial/port_check.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

// A second series on a COM port, under any spelling of its name, is refused
// while the first holds it, and allowed once that one is over.
TEST(Win32PortCheck, OneSeriesAtATimeClaimsAPort) {
  const auto first = makeSystemPortCheck(), second = makeSystemPortCheck();
  auto claim = first->claim("COM7");
  ASSERT_TRUE(claim);
  EXPECT_EQ(second->claim("\\\\.\\com7"), nullptr);
  EXPECT_NE(second->claim("COM8"), nullptr);
  claim.reset();
  EXPECT_NE(second->claim("com7"), nullptr);
}

} // namespace
} // namespace obturix
