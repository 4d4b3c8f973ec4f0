#include "serial/serial_devices_posix.h"

#include "fakes/temporary_folder.h"
#include "pty/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace obturix {
namespace {

namespace fs = std::filesystem;

using Folder = testing::TemporaryFolder;

// A system whose pseudo-terminals' driver is a serial one, with a UART
// present or absent: the pseudo-terminal stands in for a real port.
struct FakeSerialSystem {
  explicit FakeSerialSystem(int uartType) {
    struct stat st {};
    ::stat(terminal.slavePath().c_str(), &st);
    const fs::path sysfs =
        folder.path / "sys" /
        (std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev)));
    fs::create_directories(folder.path / "dev" / "serial" / "by-id");
    fs::create_directories(sysfs);
    std::ofstream(folder.path / "drivers")
        << "/dev/tty /dev/tty 5 0 system:/dev/tty\n"
        << "serial /dev/ttyS " << major(st.st_rdev) << " 0-1048575 serial\n";
    std::ofstream(sysfs / "type") << uartType << "\n";
  }
  SerialDevices devices() const {
    return SerialDevices({folder.path / "dev", folder.path / "drivers", folder.path / "sys"});
  }
  void link(const fs::path& name, const fs::path& to) {
    fs::create_symlink(to, folder.path / "dev" / name);
  }

  pty::PseudoTerminal terminal;
  Folder folder;
};

TEST(SerialDevices, ASerialPortWithoutItsUartIsNoPort) {
  for (const int type : {0, 4}) {
    FakeSerialSystem system(type);
    EXPECT_EQ(system.devices().identify(system.terminal.slavePath()).has_value(), type != 0);
  }
}

TEST(SerialDevices, ListsPortsAsTheUserTypesThem) {
  FakeSerialSystem system(4);
  system.link("ttyS3", system.terminal.slavePath());
  system.link("ttyS10", system.terminal.slavePath());
  system.link("serial/by-id/usb-FTDI_FT232R-if00-port0", system.terminal.slavePath());
  system.link("null", "/dev/null");
  system.link("tty", "/dev/tty");
  std::ofstream(system.folder.path / "dev" / "regular") << "x";
  EXPECT_EQ(system.devices().available(),
            (std::vector<std::string>{
                "COM4", "COM11",
                (system.folder.path / "dev/serial/by-id/usb-FTDI_FT232R-if00-port0").string()}));
}

TEST(SerialDevices, APathSwappedBetweenCheckAndOpenIsRefused) {
  pty::PseudoTerminal terminal;
  Folder folder;
  const fs::path link = folder.path / "port";
  fs::create_symlink(terminal.slavePath(), link);
  SerialDevices devices;
  const auto identity = devices.identify(link);
  ASSERT_TRUE(identity);
  fs::remove(link);
  fs::create_symlink("/dev/ptmx", link); // a terminal too, but another device
  const auto lowestFreeDescriptor = [] {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(fd);
    return fd;
  };
  const int free = lowestFreeDescriptor();

  EXPECT_FALSE(openIdentified(link, *identity));
  EXPECT_EQ(lowestFreeDescriptor(), free) << "the swapped device was left open";
}

} // namespace
} // namespace obturix
