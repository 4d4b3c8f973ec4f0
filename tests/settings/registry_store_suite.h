#pragma once

// The store's behaviour on any registry: instantiated on the in-memory
// registry, the hive file and, in the Windows build, the real registry.
// A backend type provides registry() and a fresh, empty "Software\Obturix".

#include "fakes/raw_registry.h"
#include "settings/registry_store.h"

#include <gtest/gtest.h>

namespace obturix::testing {

// A value read with an asked type, and what the store must answer.
struct ReadCase {
  const char* name;
  std::int32_t asked;
  bool result;
  Variant value;
};

template <class Backend> class RegistryStoreSuite : public ::testing::Test {
protected:
  template <std::size_t N> void expectReads(const ReadCase (&cases)[N]) {
    for (const auto& c : cases) {
      Variant value;
      EXPECT_EQ(store.LireParam("\\Param\\", c.name, c.asked, value), c.result)
          << c.name << " as " << c.asked;
      EXPECT_EQ(value, c.value) << c.name << " as " << c.asked;
    }
  }

  Backend backend;
  Registry& registry = backend.registry();
  RegistrySettingsStore store{registry};

  // Writes raw bytes as another program might, bypassing the store.
  void setRaw(const std::string& name, std::uint32_t type, const std::string& data) {
    ASSERT_EQ(writeRawParam(registry, name, type, data), registry_status::success);
  }

  // The raw bytes and type of a value, as the registry reports them.
  std::pair<std::uint32_t, std::string> raw(const std::string& name) {
    RegistryKey key = 0;
    if (registry.openKey(hkeyCurrentUser, "Software\\Obturix\\Param", 0, keyAllAccess, key) != 0)
      return {0, "<no key>"};
    std::uint32_t type = 0, size = 4096;
    std::string data(size, '\0');
    const long status =
        registry.queryValue(key, name, type, reinterpret_cast<std::uint8_t*>(data.data()), size);
    registry.closeKey(key);
    return {type, status == 0 ? data.substr(0, size) : "<no value>"};
  }
};

TYPED_TEST_SUITE_P(RegistryStoreSuite);

const std::string param = "\\Param\\";

TYPED_TEST_P(RegistryStoreSuite, FirstRunWithoutKeyLeavesTheValueAlone) {
  Variant value;
  EXPECT_FALSE(this->store.LireParam(param, "nbpause", 1, value));
  EXPECT_TRUE(value.isEmpty());
  Variant text = "kept";
  EXPECT_FALSE(this->store.LireParam(param, "nbpause", 4, text));
  EXPECT_EQ(text, Variant("kept"));
}

TYPED_TEST_P(RegistryStoreSuite, MissingValueReadsAsTheNumberOne) {
  this->setRaw("other", 1, std::string("x\0", 2));
  for (std::int32_t type : {1, 4, 7}) {
    Variant value = "before";
    EXPECT_FALSE(this->store.LireParam(param, "nbpause", type, value)) << type;
    EXPECT_EQ(value, Variant(1)) << type;
  }
}

TYPED_TEST_P(RegistryStoreSuite, CreatesTheKeyThenUpdatesIt) {
  EXPECT_TRUE(this->store.EcrireParam(param, "StrCom", 1, "COM2"));
  EXPECT_EQ(this->raw("StrCom"), std::make_pair(1u, std::string("COM2\0", 5)));
  Variant value;
  EXPECT_TRUE(this->store.LireParam(param, "StrCom", 1, value));
  EXPECT_EQ(value, Variant("COM2"));
  EXPECT_TRUE(this->store.EcrireParam(param, "strcom", 1, "/dev/ttyUSB0"));
  EXPECT_TRUE(this->store.LireParam(param, "STRCOM", 1, value));
  EXPECT_EQ(value, Variant("/dev/ttyUSB0"));
  // The store's own key path, class included, whatever case and trailing backslash.
  RegistryKey key = 0;
  EXPECT_EQ(
      this->registry.openKey(hkeyCurrentUser, "SOFTWARE\\obturix\\PARAM", 0, keyAllAccess, key), 0);
  this->registry.closeKey(key);
}

TYPED_TEST_P(RegistryStoreSuite, TextsRoundTripByLength) {
  const struct {
    std::string text;
    bool readable;
  } cases[] = {
      {"", true},
      {"Paramètre", true},
      {std::string(254, 'a'), true},
      {std::string(255, 'b'), false}, // with its NUL it no longer fits 255 bytes
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(this->store.EcrireParam(param, "t", 1, c.text)) << c.text.size();
    Variant value;
    EXPECT_EQ(this->store.LireParam(param, "t", 1, value), c.readable) << c.text.size();
    EXPECT_EQ(value, c.readable ? Variant(c.text) : Variant(1)) << c.text.size();
  }
  EXPECT_EQ(this->raw("t").second.size(), 256u);
  ASSERT_TRUE(this->store.EcrireParam(param, "empty", 1, ""));
  EXPECT_EQ(this->raw("empty").first, 1u);
}

TYPED_TEST_P(RegistryStoreSuite, ConversionFollowsTheStoredType) {
  ASSERT_TRUE(this->store.EcrireParam(param, "text", 1, "COM2"));
  ASSERT_TRUE(this->store.EcrireParam(param, "short", 1, "abc"));
  ASSERT_TRUE(this->store.EcrireParam(param, "number", 4, 42));
  ASSERT_TRUE(this->store.EcrireParam(param, "negative", 4, "-7"));
  const ReadCase cases[] = {
      {"text", 7, true, "COM2"}, // text asked as a list
      {"text", 4, false, 1},     // 5 bytes do not fit the number slot
      {"short", 4, true, ""},    // 4 bytes do, but no text buffer was filled
      {"number", 1, true, 0},    // into the text buffer: the number slot stays 0
      {"number", 4, true, 42},   {"negative", 4, true, -7},
      {"number", 3, true, 1}, // an unknown asked type makes no query
  };
  this->expectReads(cases);
}

TYPED_TEST_P(RegistryStoreSuite, ListsRoundTrip) {
  const struct {
    Variant::List written;
    std::string bytes;
    Variant::List read;
  } cases[] = {
      {{"a", "b"}, std::string("a\0b\0\0", 5), {"a", "b"}},
      {{""}, std::string("\0\0", 2), {}},
      {{"Été", "x"}, std::string("\xC9t\xE9\0x\0\0", 7), {"Été", "x"}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(this->store.EcrireParam(param, "list", 7, c.written));
    EXPECT_EQ(this->raw("list"), std::make_pair(7u, c.bytes));
    Variant value;
    EXPECT_TRUE(this->store.LireParam(param, "list", 7, value));
    EXPECT_EQ(value, Variant(c.read));
  }
}

// A text the code page has no form for would come back changed (a port
// named in Cyrillic would come back as "?????"): it is not written, and the
// older value stays. An overlong NUL never becomes a NUL that splits a text.
TYPED_TEST_P(RegistryStoreSuite, TextsTheCodePageCannotHoldKeepTheOlderValue) {
  ASSERT_TRUE(this->store.EcrireParam(param, "StrCom", 1, "/dev/caméra"));
  ASSERT_TRUE(this->store.EcrireParam(param, "list", 7, Variant::List{"a"}));
  for (const std::string text : {"/dev/камера", "\xe5\xbf\xab", "a\xE0\x80\x80"}) {
    EXPECT_FALSE(this->store.EcrireParam(param, "StrCom", 1, text));
    EXPECT_EQ(this->store.lastWriteFailure(), registry_status::noUnicodeTranslation);
    EXPECT_FALSE(this->store.EcrireParam(param, "list", 7, Variant::List{"x", text}));
  }
  EXPECT_EQ(this->raw("StrCom"), std::make_pair(1u, std::string("/dev/cam\xE9ra\0", 12)));
  EXPECT_EQ(this->raw("list").second, std::string("a\0\0", 3));
}

TYPED_TEST_P(RegistryStoreSuite, ValuesFromOtherWriters) {
  this->setRaw("nonul", 1, "COM3"); // a text without its NUL
  this->setRaw("tiny", 7, std::string(1, '\0'));
  this->setRaw("binary", 3, "\x01\x02");
  this->setRaw("expand", 2, std::string("%X%\0", 4));
  const ReadCase cases[] = {
      {"nonul", 1, true, "COM3"}, // kept whole
      {"tiny", 7, true, Variant::List{}},
      {"binary", 1, true, 1},
      {"expand", 1, true, 1},
  };
  this->expectReads(cases);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryStoreSuite, FirstRunWithoutKeyLeavesTheValueAlone,
                            MissingValueReadsAsTheNumberOne, CreatesTheKeyThenUpdatesIt,
                            TextsRoundTripByLength, ConversionFollowsTheStoredType, ListsRoundTrip,
                            TextsTheCodePageCannotHoldKeepTheOlderValue, ValuesFromOtherWriters);

} // namespace obturix::testing
