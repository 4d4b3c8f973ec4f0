#include "text/utf8.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

// A port's name shown in a notification's body: never markup, never a link.
TEST(TextSafety, ANotificationBodyHoldsNoMarkup) {
  const struct {
    const char* text;
    const char* body;
  } cases[] = {
      {"le port « <b>& » a disparu", "le port « &lt;b&gt;&amp; » a disparu"},
      {"<a href=\"http://x\">COM1</a>", "&lt;a href=\"http://x\"&gt;COM1&lt;/a&gt;"},
      {"&amp;", "&amp;amp;"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(markupEscaped(c.text), c.body) << c.text;
}

} // namespace
} // namespace obturix
