#include "fakes/child_process.h"
#include "fakes/fake_platform.h"
#include "fakes/temporary_folder.h"
#include "registry/hive_format.h"
#include "registry/hive_registry.h"
#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace obturix::testing {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The settings store on a hive file in config/obturix of a fresh folder.
class HiveFile : public ::testing::Test {
protected:
  bool save(const std::string& name, const std::string& text) {
    return store.EcrireParam("\\Param\\", name, regSz, text);
  }
  Variant read(const std::string& name) {
    Variant value;
    store.LireParam("\\Param\\", name, regSz, value);
    return value;
  }
  std::size_t setAside() const {
    std::size_t found = 0;
    for (const auto& entry : fs::directory_iterator(folder))
      found += entry.path().filename().string().starts_with("registry.reg.bad-");
    return found;
  }

  TemporaryFolder root;
  fs::path folder = root.path / "config" / "obturix";
  fs::path file = folder / "registry.reg";
  HiveRegistry hive{folder};
  RegistrySettingsStore store{hive};
};

// Every byte of every kind of value comes back from the file as written, in
// the format regedit imports, in a folder and file private to the user.
TEST_F(HiveFile, KeepsEveryByteOfEveryValueAsRegeditWritesThem) {
  std::string allBytes;
  for (int b = 0; b < 256; ++b)
    allBytes += static_cast<char>(b);
  const MemoryRegistry::Value values[] = {
      {"text", regSz, std::string("COM1\0", 5)},
      {"quoted \"\\", regSz, std::string("Param\xe8tre \"x\" \\\0", 16)},
      {"", regSz, std::string("default\0", 8)},
      {"no nul, inner nul", regSz, std::string("a\0b", 3)},
      {"number", regDword, std::string("\x2a\0\0\0", 4)},
      {"short number", regDword, "\x01\x02"},
      {"list", regMultiSz, std::string("a\0b\0\0", 5)},
      {"binary", regBinary, allBytes},
      {"unknown type", 0xfeedbeef, ""},
  };
  RegistryKey key = 0;
  ASSERT_EQ(
      hive.createKey(hkeyCurrentUser, "Software\\Obturix\\Param\\", "1", 0, keyAllAccess, key), 0);
  for (const auto& v : values)
    ASSERT_EQ(hive.setValue(key, v.name, v.type,
                            reinterpret_cast<const std::uint8_t*>(v.data.data()),
                            static_cast<std::uint32_t>(v.data.size())),
              0);
  const auto keys = parseHive(fileText(file));
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->at("software\\obturix\\param").className, "1");
  EXPECT_EQ(keys->at("software\\obturix\\param").values,
            std::vector<MemoryRegistry::Value>(std::begin(values), std::end(values)));
  EXPECT_TRUE(fileText(file).starts_with("REGEDIT4\r\n"));
  EXPECT_NE(fileText(file).find("[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\r\n"
                                ";class=\"1\"\r\n\"text\"=\"COM1\"\r\n"
                                "\"quoted \\\"\\\\\"=\"Param\xe8tre \\\"x\\\" \\\\\"\r\n"),
            std::string::npos);
  EXPECT_NE(fileText(file).find("\"number\"=dword:0000002a\r\n"), std::string::npos);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(HiveFormat, ReadsWhatRegeditWritesAndRefusesWhatIsNotAHive) {
  const auto keys = parseHive("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\n"
                              "\"nbpause\"=\"3\"\n\"bin\"=hex:01,02,\\\n  03\n; a comment\n");
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->at("software\\obturix\\param").values[1].data, "\x01\x02\x03");
  EXPECT_EQ(existingKeyPath(*keys, "software\\obturix"), "Software\\Obturix"); // implied
  // As deep and long as a registry's names go: the file written back is no
  // larger (each parent written whole would make it 250 times larger).
  std::string deepest = "REGEDIT4\r\n[HKEY_CURRENT_USER";
  for (int level = 0; level < 512; ++level)
    deepest += "\\" + std::string(255, 'k');
  const auto deep = parseHive(deepest + "]\r\n\"v\"=\"1\"\r\n");
  ASSERT_TRUE(deep);
  EXPECT_LT(writeHive(*deep).size(), deepest.size() + 30);
  const std::string damaged[] = {
      "REGEDIT5\r\n",
      "REGEDIT4\r\n\"orphan\"=\"value\"\r\n",
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=\"unterminated\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=dword:123\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=hex(zz):00\r\n",
      deepest + "\\k]\r\n", // deeper than 512 levels
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\r\n",
  };
  for (const std::string& text : damaged)
    EXPECT_FALSE(parseHive(text)) << text.substr(0, 60);
}

// A damaged file (noise, too large, a key deeper than a registry's) is kept
// aside and told once, the hive starts empty and saving works again.
TEST_F(HiveFile, SetsADamagedFileAsideAndStartsAfresh) {
  std::string noise, deep = "REGEDIT4\r\n[HKEY_CURRENT_USER";
  std::mt19937 random(7);
  for (int i = 0; i < 4096; ++i)
    noise += static_cast<char>(random());
  for (int i = 0; i < 2000; ++i)
    deep += "\\k";
  const std::string overSize = "REGEDIT4\r\n" + std::string(HiveRegistry::maxFileSize, ';');
  for (const std::string& damaged : {noise, overSize, deep + "]\r\n"}) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(file, std::ios::binary) << damaged;
    EXPECT_EQ(read("nbpause"), Variant());
    EXPECT_EQ(setAside(), 1u);
    const auto told = hive.takeDamagedFile();
    ASSERT_TRUE(told && told->keptAs);
    EXPECT_EQ(fileText(*told->keptAs), damaged);
    EXPECT_TRUE(save("nbpause", "5"));
    EXPECT_EQ(read("nbpause"), Variant("5"));
    EXPECT_EQ(setAside(), 1u);
    EXPECT_FALSE(hive.takeDamagedFile());
  }
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
  const bool asRoot = geteuid() == 0;
  const uid_t user = asRoot ? 65534 : geteuid();
  const struct {
    const char* what;
    std::string text;
    mode_t folderMode, fileMode;
    uid_t folderOwner;
    std::function<void()> replace;       // what stands where the file should be
    std::optional<std::string> readable; // what StrCom reads as, if anything
  } cases[] = {
      // clang-format off
      {"good file, folder read-only", good, 0555, 0644, user, {}, "COM1"},
      {"damaged file, folder read-only", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Soft", 0555, 0644, user, {}, std::nullopt},
      {"file that cannot be read", good, 0700, 0000, user, {}, std::nullopt},
      {"folder writable by others", good, 0777, 0644, user, {}, std::nullopt},
      {"folder of another user", good, 0755, 0644, 0, {}, std::nullopt},
      {"a folder in the file's place", good, 0700, 0644, user, [&] { fs::create_directory(file); }, std::nullopt},
      {"a link in the file's place", good, 0700, 0644, user, [&] { fs::create_symlink(root.path / "elsewhere", file); }, std::nullopt},
      // clang-format on
  };
  for (const auto& c : cases) {
    if (!asRoot && c.folderOwner != user)
      continue; // only root can make a folder of another user
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(root.path / "elsewhere", std::ios::binary) << good;
    std::ofstream(file, std::ios::binary) << c.text;
    if (c.replace) {
      fs::remove(file);
      c.replace();
    }
    for (const fs::path& above : {root.path, folder.parent_path()})
      chmod(above.c_str(), 0755);
    chmod(file.c_str(), c.fileMode);
    if (asRoot) {
      ASSERT_EQ(chown(folder.c_str(), c.folderOwner, static_cast<gid_t>(-1)), 0) << c.what;
    }
    chmod(folder.c_str(), c.folderMode);
    const std::string before = entryAt(file);
    const int status = inChild([&] {
      if (asRoot && setuid(user) != 0)
        return 3;
      if (save("StrCom", "COM2"))
        return 1;
      return read("StrCom") == (c.readable ? Variant(*c.readable) : Variant()) ? 0 : 2;
    });
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(status, 0) << c.what;
    EXPECT_EQ(entryAt(file), before) << c.what;
    EXPECT_EQ(setAside(), 0u) << c.what;
  }
}

// A save that fails half-way (here the file size limit) leaves the old file
// whole; a temporary file of a killed copy is removed, and a link planted
// where the temporary file goes is not followed.
TEST_F(HiveFile, SavesReplaceTheFileWithoutEverWritingIntoIt) {
  ASSERT_TRUE(save("StrCom", "COM1"));
  const std::string before = fileText(file);
  EXPECT_EQ(inChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{4096, 4096};
              setrlimit(RLIMIT_FSIZE, &limit);
              return save("big", std::string(8000, 'x'));
            }),
            0);
  EXPECT_EQ(fileText(file), before);

  std::ofstream(root.path / "victim") << "victim";
  std::ofstream(folder / "registry.reg.tmp-1") << "stale";
  fs::create_symlink(root.path / "victim",
                     folder / ("registry.reg.tmp-" + std::to_string(getpid())));
  EXPECT_TRUE(save("StrCom", "COM2"));
  EXPECT_EQ(fileText(root.path / "victim"), "victim");
  EXPECT_FALSE(fs::exists(folder / "registry.reg.tmp-1"));
}

// A text the fields allow (they have no limit) but that would make the file
// too large to be read back is refused; the older value and the others stay.
TEST_F(HiveFile, AWriteTooLargeToReadBackIsRefused) {
  ASSERT_TRUE(save("StrCom", "COM1") && save("nbpause", "3"));
  EXPECT_FALSE(save("StrCom", std::string(2 << 20, 'x')));
  EXPECT_EQ(read("StrCom"), Variant("COM1"));
  EXPECT_EQ(read("nbpause"), Variant("3"));
  EXPECT_EQ(setAside(), 0u);
}

// Another program holding the lock (a stuck copy, a slow network home) holds
// up a load or a save by two seconds once: the first operation gives up, the
// rest of the same load or save do not wait again, the next series waits
// again. Reads find nothing, writes are told why they failed. Series after
// series, no waiting thread or descriptor is left behind.
TEST_F(HiveFile, ALockHeldElsewhereHoldsUpALoadOrASaveOnlyAWhile) {
  using namespace std::chrono_literals;
  const auto entries = [](const char* listed) {
    return std::distance(fs::directory_iterator(listed), fs::directory_iterator());
  };
  ASSERT_TRUE(save("StrCom", "COM1"));
  const int held = ::open((folder / "registry.reg.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  EventLog log;
  FakeSleeper clock{log};
  HiveRegistry patient{folder, clock};
  RegistrySettingsStore patientStore{patient};
  Variant value = "kept";
  std::ptrdiff_t descriptors = 0, threads = 0;
  for (int series = 0; series < 20; ++series) {
    const auto start = clock.elapsed;
    for (int i = 0; i < 7; ++i) // waits once, then gives up at once for a while
      EXPECT_FALSE(patientStore.LireParam("\\Param\\", "StrCom", regSz, value));
    EXPECT_EQ(clock.elapsed - start, 2s);
    EXPECT_FALSE(patientStore.EcrireParam("\\Param\\", "StrCom", regSz, "COM2"));
    EXPECT_EQ(patientStore.lastWriteFailure(), registry_status::timeout);
    clock.elapsed += 5s; // the next series waits again
    if (series == 0) {
      descriptors = entries("/proc/self/fd");
      threads = entries("/proc/self/task");
    }
  }
  EXPECT_EQ(value, Variant("kept"));
  EXPECT_EQ(entries("/proc/self/fd"), descriptors);
  EXPECT_EQ(entries("/proc/self/task"), threads);
  ::close(held); // the thread left waiting gets the lock, and lets it go for the others
  std::this_thread::sleep_for(100ms);
  const int other = ::open((folder / "registry.reg.lock").c_str(), O_RDWR | O_CLOEXEC);
  bool taken = false;
  for (int tries = 0; tries < 100 && !taken; ++tries)
    taken = flock(other, LOCK_EX | LOCK_NB) == 0 || (std::this_thread::sleep_for(10ms), false);
  EXPECT_TRUE(taken);
  ::close(other);
  EXPECT_TRUE(patientStore.EcrireParam("\\Param\\", "StrCom", regSz, "COM2"));
}

// A key opened, then its file removed by hand: the key is gone, below it too.
TEST_F(HiveFile, AKeyWhoseFileWasRemovedIsGone) {
  RegistryKey key = 0, below = 0;
  ASSERT_EQ(hive.createKey(hkeyCurrentUser, "Software\\Obturix", "", 0, keyAllAccess, key), 0);
  fs::remove(file);
  EXPECT_EQ(hive.openKey(key, "Param", 0, keyAllAccess, below), registry_status::fileNotFound);
}

// Two running copies lose none of each other's values; meanwhile the file,
// whenever it exists, always parses.
TEST_F(HiveFile, TwoProcessesSavingAtOnceLoseNothing) {
  pid_t writers[2];
  for (int id = 0; id < 2; ++id) {
    writers[id] = fork();
    if (writers[id] != 0)
      continue;
    for (int i = 0; i < 500; ++i) {
      const std::string value = std::to_string(id) + "-" + std::to_string(i);
      if (!save("own" + std::to_string(id), value) || !save("shared", value))
        _exit(1);
    }
    _exit(0);
  }
  int unparsable = 0;
  for (int alive = 2; alive > 0;) {
    unparsable += fs::exists(file) && !parseHive(fileText(file));
    alive = 0;
    for (const pid_t pid : writers)
      alive += waitpid(pid, nullptr, WNOHANG) == 0;
  }
  EXPECT_EQ(unparsable, 0);
  EXPECT_EQ(read("own0"), Variant("0-499"));
  EXPECT_EQ(read("own1"), Variant("1-499"));
  EXPECT_TRUE(read("shared") == Variant("0-499") || read("shared") == Variant("1-499"));
  EXPECT_EQ(setAside(), 0u);
}

} // namespace
} // namespace obturix::testing
