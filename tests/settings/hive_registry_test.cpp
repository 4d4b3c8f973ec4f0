#include "platform/hive_format.h"
#include "platform/hive_registry.h"
#include "settings/registry_store.h"
#include "settings/temporary_folder.h"
#include "window/form1_rig.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace obturix::testing {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> setAside(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with("registry.reg.bad-"))
      found.push_back(entry.path());
  }
  return found;
}

class HiveFile : public ::testing::Test {
protected:
  ~HiveFile() override { fs::remove_all(root); }
  fs::path root = temporaryFolder();
  fs::path folder = root / "config" / "obturix";
  fs::path file = folder / "registry.reg";
};

// Every byte of every kind of value comes back from the file as written.
TEST_F(HiveFile, KeepsEveryByteOfEveryValue) {
  std::string allBytes;
  for (int b = 0; b < 256; ++b)
    allBytes += static_cast<char>(b);
  const struct {
    std::string name;
    std::uint32_t type;
    std::string data;
  } values[] = {
      {"text", 1, std::string("COM1\0", 5)},
      {"accents \"quoted\" \\ back", 1, std::string("Param\xe8tre \"x\" \\\0", 16)},
      {"", 1, std::string("default\0", 8)},
      {"no nul", 1, "COM3"},
      {"inner nul", 1, std::string("a\0b\0", 4)},
      {"empty", 1, ""},
      {"control chars", 1, std::string("line\r\nnext\0", 11)},
      {"number", 4, std::string("\x2a\0\0\0", 4)},
      {"short number", 4, std::string("\x01\x02", 2)},
      {"list", 7, std::string("a\0b\0\0", 5)},
      {"binary", 3, allBytes},
      {"unknown type", 0xfeedbeef, "\xff"},
      {"none", 0, ""},
  };
  {
    HiveRegistry hive(folder);
    RegistryKey key = 0;
    ASSERT_EQ(
        hive.createKey(hkeyCurrentUser, "Software\\Obturix\\Param\\", "1", 0, keyAllAccess, key),
        0);
    for (const auto& v : values)
      ASSERT_EQ(hive.setValue(key, v.name, v.type,
                              reinterpret_cast<const std::uint8_t*>(v.data.data()),
                              static_cast<std::uint32_t>(v.data.size())),
                0)
          << v.name;
    hive.closeKey(key);
  }
  HiveRegistry again(folder);
  RegistryKey key = 0;
  ASSERT_EQ(again.openKey(hkeyCurrentUser, "software\\obturix\\param", 0, keyAllAccess, key), 0);
  const auto& stored = again.keys().at("software\\obturix\\param");
  EXPECT_EQ(stored.className, "1");
  ASSERT_EQ(stored.values.size(), std::size(values));
  for (std::size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(stored.values[i].name, values[i].name);
    EXPECT_EQ(stored.values[i].type, values[i].type) << values[i].name;
    EXPECT_EQ(stored.values[i].data, values[i].data) << values[i].name;
  }
  const std::string text = fileText(file);
  EXPECT_TRUE(text.starts_with("REGEDIT4\r\n"));
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\r\n;class=\"1\"\r\n"
                      "\"text\"=\"COM1\"\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"number\"=dword:0000002a\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"accents \\\"quoted\\\" \\\\ back\"=\"Param\xe8tre \\\"x\\\" \\\\\"\r\n"),
            std::string::npos);
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(HiveFormat, ReadsWhatRegeditWrites) {
  const auto keys = parseHive("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\n"
                              "\"nbpause\"=\"3\"\n\"bin\"=hex:01,02,\\\n  03\n"
                              "\"multi\"=hex(7):61,00,00\n; a comment\n");
  ASSERT_TRUE(keys);
  const auto& param = keys->at("software\\obturix\\param");
  ASSERT_EQ(param.values.size(), 3u);
  EXPECT_EQ(param.values[1].data, "\x01\x02\x03");
  EXPECT_TRUE(keys->contains("software"));
  EXPECT_TRUE(keys->contains("software\\obturix"));
}

TEST(HiveFormat, WritesBackEverythingItRead) {
  const char* texts[] = {
      "REGEDIT4\r\n[HKEY_CURRENT_USER]\r\n;class=\"2\"\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\\B]\r\n@=hex(0):\r\n\"x\"=hex(ffffffff):00\r\n",
  };
  for (const char* text : texts) {
    const auto keys = parseHive(text);
    ASSERT_TRUE(keys) << text;
    const auto again = parseHive(writeHive(*keys));
    ASSERT_TRUE(again) << text;
    EXPECT_EQ(writeHive(*again), writeHive(*keys)) << text;
    EXPECT_EQ(again->size(), keys->size()) << text;
    EXPECT_EQ(again->at("").className, keys->at("").className) << text;
  }
}

TEST(HiveFormat, RefusesWhatIsNotAHive) {
  const char* damaged[] = {
      "REGEDIT5\r\n",
      "REGEDIT4\r\n\"orphan\"=\"value\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=\"unterminated\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=dword:123\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=hex:1,2\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=hex(zz):00\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=-\r\n",
      "REGEDIT4\r\n[-HKEY_CURRENT_USER\\a]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\\q\"=\"1\"\r\n",
      "\x7f"
      "ELF\x02\x01\x01",
  };
  for (const char* text : damaged)
    EXPECT_FALSE(parseHive(text)) << text;
  EXPECT_TRUE(parseHive(""));
}

// A damaged file is kept aside, the hive starts empty and saving works again.
TEST_F(HiveFile, SetsADamagedFileAsideAndStartsAfresh) {
  const struct {
    const char* what;
    std::function<void()> damage;
  } cases[] = {
      {"truncated", [&] { std::ofstream(file) << "REGEDIT4\r\n[HKEY_CURRENT_USER\\Soft"; }},
      {"binary garbage",
       [&] {
         std::ofstream out(file, std::ios::binary);
         std::mt19937 random(7);
         for (int i = 0; i < 4096; ++i)
           out.put(static_cast<char>(random()));
       }},
      {"too large",
       [&] {
         std::ofstream out(file, std::ios::binary);
         out << "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software]\r\n";
         const std::string line = ";" + std::string(1022, 'x') + "\r\n";
         for (int i = 0; i < 50 * 1024; ++i)
           out << line;
       }},
  };
  for (const auto& c : cases) {
    fs::remove_all(root);
    fs::create_directories(folder);
    c.damage();
    HiveRegistry hive(folder);
    RegistrySettingsStore store(hive);
    Variant value;
    EXPECT_FALSE(store.LireParam("\\Param\\", "nbpause", 1, value)) << c.what;
    EXPECT_TRUE(value.isEmpty()) << c.what;
    EXPECT_EQ(setAside(folder).size(), 1u) << c.what;
    EXPECT_TRUE(store.EcrireParam("\\Param\\", "nbpause", 1, "5")) << c.what;
    EXPECT_TRUE(store.LireParam("\\Param\\", "nbpause", 1, value)) << c.what;
    EXPECT_EQ(value, Variant("5")) << c.what;
    EXPECT_EQ(setAside(folder).size(), 1u) << c.what;
  }
}

// Runs `work` in a child process; returns its exit status.
int inChild(const std::function<int()>& work) {
  const pid_t pid = fork();
  if (pid == 0)
    _exit(work());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// What the file holds, or what stands in its place.
std::string entryAt(const fs::path& path) {
  if (fs::is_symlink(path))
    return "link to " + fs::read_symlink(path).string();
  return fs::is_directory(path) ? "folder" : fileText(path);
}

// Where the file cannot be read, or the folder cannot be written or is not
// the user's own, nothing is lost: no value is saved, no file is replaced or
// set aside. The store runs as nobody, as root's permissions stop nothing.
TEST_F(HiveFile, NothingIsLostWhenTheFileCannotBeReadOrWritten) {
  const std::string good =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\r\n\"StrCom\"=\"COM1\"\r\n";
  const std::string damaged = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Soft";
  const bool asRoot = geteuid() == 0;
  const uid_t user = asRoot ? 65534 : geteuid();
  const auto replaceFile = [&](auto make) {
    return [&, make] {
      fs::remove(file);
      make();
    };
  };
  const struct {
    const char* what;
    std::string text;
    mode_t folderMode, fileMode;
    uid_t folderOwner;
    std::function<void()> change;
    std::optional<std::string> readable; // what StrCom reads as, if anything
  } cases[] = {
      {"good file, folder read-only", good, 0555, 0644, user, {}, "COM1"},
      {"damaged file, folder read-only", damaged, 0555, 0644, user, {}, std::nullopt},
      {"file that cannot be read", good, 0700, 0000, user, {}, std::nullopt},
      {"folder writable by others", good, 0777, 0644, user, {}, std::nullopt},
      {"folder of another user", good, 0755, 0644, asRoot ? 0 : user, {}, std::nullopt},
      {"a folder in the file's place", good, 0700, 0644, user,
       replaceFile([&] { fs::create_directory(file); }), std::nullopt},
      {"a link in the file's place", good, 0700, 0644, user,
       replaceFile([&] { fs::create_symlink(root / "elsewhere", file); }), std::nullopt},
  };
  for (const auto& c : cases) {
    if (!asRoot && c.folderOwner == user && std::string_view(c.what) == "folder of another user")
      continue; // only root can make one
    fs::remove_all(root);
    fs::create_directories(folder);
    std::ofstream(root / "elsewhere", std::ios::binary) << good;
    std::ofstream(file, std::ios::binary) << c.text;
    if (c.change)
      c.change();
    chmod(root.c_str(), 0755);
    chmod(folder.parent_path().c_str(), 0755);
    chmod(file.c_str(), c.fileMode);
    if (asRoot)
      chown(folder.c_str(), c.folderOwner, static_cast<gid_t>(-1));
    chmod(folder.c_str(), c.folderMode);
    const std::string before = entryAt(file);
    const int status = inChild([&] {
      if (asRoot && setuid(user) != 0)
        return 3;
      HiveRegistry hive(folder);
      RegistrySettingsStore store(hive);
      if (store.EcrireParam("\\Param\\", "StrCom", 1, "COM2"))
        return 1;
      Variant value;
      store.LireParam("\\Param\\", "StrCom", 1, value);
      return value == (c.readable ? Variant(*c.readable) : Variant()) ? 0 : 2;
    });
    chmod(folder.c_str(), 0700);
    chmod(file.c_str(), 0600);
    EXPECT_EQ(status, 0) << c.what;
    EXPECT_EQ(entryAt(file), before) << c.what;
    EXPECT_TRUE(setAside(folder).empty()) << c.what;
  }
}

TEST(UserConfigFolder, WithoutAHomeNothingIsKept) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs a user without a password entry, which only root can become";
  EXPECT_EQ(inChild([] {
              if (setgid(54321) != 0 || setuid(54321) != 0)
                return 3;
              unsetenv("HOME");
              unsetenv("XDG_CONFIG_HOME");
              const auto registry = makeUserRegistry();
              RegistrySettingsStore store(*registry);
              return store.EcrireParam("\\Param\\", "StrCom", 1, "COM2") ? 1 : 0;
            }),
            0);
}

// A save that fails half-way (here the file size limit) leaves the old file
// whole; a temporary file of a killed copy is removed, and a link planted
// where the temporary file goes is not followed.
TEST_F(HiveFile, SavesReplaceTheFileWithoutEverWritingIntoIt) {
  HiveRegistry hive(folder);
  RegistrySettingsStore store(hive);
  ASSERT_TRUE(store.EcrireParam("\\Param\\", "StrCom", 1, "COM1"));
  const std::string before = fileText(file);
  EXPECT_EQ(inChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{4096, 4096};
              setrlimit(RLIMIT_FSIZE, &limit);
              return store.EcrireParam("\\Param\\", "big", 1, std::string(8000, 'x')) ? 1 : 0;
            }),
            0);
  EXPECT_EQ(fileText(file), before);

  std::ofstream(root / "victim") << "victim";
  std::ofstream(folder / "registry.reg.tmp-1") << "stale";
  fs::create_symlink(root / "victim", folder / ("registry.reg.tmp-" + std::to_string(getpid())));
  EXPECT_TRUE(store.EcrireParam("\\Param\\", "StrCom", 1, "COM2"));
  EXPECT_EQ(fileText(root / "victim"), "victim");
  EXPECT_FALSE(fs::exists(folder / "registry.reg.tmp-1"));
}

// A text the fields allow (they have no limit) but that would make the file
// too large to be read back is refused; the older value and the others stay.
TEST_F(HiveFile, AWriteTooLargeToReadBackIsRefused) {
  HiveRegistry hive(folder);
  RegistrySettingsStore settings(hive);
  Form1Rig rig;
  Form1 form{rig.view, rig.cycle, rig.portCheck, settings};
  ASSERT_TRUE(settings.EcrireParam("\\Param\\", "StrCom", 1, "COM1"));
  rig.view.setChecked(Control::ChkAffichePoppup, false);
  rig.type(Control::Text1, "0"); // a series with no cycle: saved all the same
  rig.type(Control::Text2, "30");
  rig.type(Control::Text5, std::string(2 << 20, 'x'));
  form.LancerSerie();

  EXPECT_FALSE(settings.EcrireParam("\\Param\\", "StrCom", 1, std::string(2 << 20, 'y')));
  FakeForm1View restarted{rig.log};
  Form1{restarted, rig.cycle, rig.portCheck, settings}.load();
  EXPECT_EQ(restarted.text(Control::Text1), "0");
  EXPECT_EQ(restarted.text(Control::Text2), "30");
  EXPECT_EQ(restarted.text(Control::Text5), "COM1");
  EXPECT_TRUE(setAside(folder).empty());
}

TEST_F(HiveFile, TwoProcessesSavingAtOnceLoseNothing) {
  constexpr int saves = 500;
  auto writer = [&](int id) {
    return [&, id] {
      HiveRegistry hive(folder);
      RegistrySettingsStore store(hive);
      for (int i = 0; i < saves; ++i) {
        const std::string value = std::to_string(id) + "-" + std::to_string(i);
        if (!store.EcrireParam("\\Param\\", "own" + std::to_string(id), 1, value) ||
            !store.EcrireParam("\\Param\\", "shared", 1, value))
          return 1;
      }
      return 0;
    };
  };
  pid_t pids[2];
  for (int id = 0; id < 2; ++id) {
    pids[id] = fork();
    if (pids[id] == 0)
      _exit(writer(id)());
  }
  // Meanwhile the file, whenever it exists, always parses.
  int unparsable = 0;
  for (int alive = 2; alive > 0;) {
    if (fs::exists(file) && !parseHive(fileText(file)))
      ++unparsable;
    alive = 0;
    for (pid_t pid : pids)
      alive += waitpid(pid, nullptr, WNOHANG) == 0;
  }
  EXPECT_EQ(unparsable, 0);
  HiveRegistry hive(folder);
  RegistrySettingsStore store(hive);
  Variant own0, own1, shared;
  store.LireParam("\\Param\\", "own0", 1, own0);
  store.LireParam("\\Param\\", "own1", 1, own1);
  store.LireParam("\\Param\\", "shared", 1, shared);
  EXPECT_EQ(own0, Variant("0-499"));
  EXPECT_EQ(own1, Variant("1-499"));
  EXPECT_TRUE(shared == Variant("0-499") || shared == Variant("1-499"));
  EXPECT_TRUE(setAside(folder).empty());
}

TEST_F(HiveFile, AProcessKilledWhileSavingLeavesAWholeFile) {
  std::mt19937 random(42);
  for (int round = 0; round < 30; ++round) {
    const pid_t pid = fork();
    if (pid == 0) {
      HiveRegistry hive(folder);
      RegistrySettingsStore store(hive);
      for (int i = 0;; ++i)
        store.EcrireParam("\\Param\\", "v" + std::to_string(i % 50), 1,
                          std::string(static_cast<std::size_t>(i % 400), 'x'));
    }
    usleep(static_cast<useconds_t>(1000 + random() % 20000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (fs::exists(file)) {
      ASSERT_TRUE(parseHive(fileText(file))) << "round " << round;
    }
  }
  EXPECT_TRUE(setAside(folder).empty());
}

} // namespace
} // namespace obturix::testing
