// Shows, one after another, every box the program can show, with its real
// texts and in the real view's boxes, each answered by Enter: a screenshot
// of each tells whether titles are whole and lines break where they should.
// --nuit: in night vision.
#include "registry/registry.h"
#include "serial/port_words.h"
#include "series/series_plan.h"
#include "series/series_words.h"
#include "settings/settings_words.h"

#ifdef _WIN32
#include "ui/win32/win32_message_boxes.h"

#include <windows.h>

constexpr long accessDenied = ERROR_ACCESS_DENIED;
#else
#include "ui/qt/qt_application.h"
#include "ui/qt/qt_message_boxes.h"

#include <QApplication>

#include <cerrno>

constexpr long accessDenied = EACCES;
#endif

#include <string_view>

namespace {

using namespace obturix;

void showEveryBox(MessageBoxes& boxes) {
  const SeriesParams params{"12", "30", "5", answerYes, "/dev/ttyUSB0", "0,1", "2"};
  const std::vector<std::string> ports = {"/dev/ttyS0", "/dev/ttyUSB0"};
  const PressCount missed{
      .exposures = 5, .missed = 2, .cutByPort = 1, .failedPresses = 3, .firstFailed = {}};
  boxes.show(confirmationPrompt(params), MessageButtons::YesNo, confirmationTitle);
  boxes.show(endNotice, MessageButtons::Ok);
  boxes.show("click", MessageButtons::Ok);
  boxes.show(missingPortRefusal("/dev/ttyACM0", ports), MessageButtons::Ok);
  boxes.show(missingPortRefusal("/dev/ttyACM0", {}), MessageButtons::Ok);
  boxes.show(notSerialPortRefusal("/etc/passwd", ports), MessageButtons::Ok);
  boxes.show(forbiddenPortRefusal("/dev/ttyUSB0", "dialout", "jean"), MessageButtons::Ok);
  boxes.show(portInUseRefusal("/dev/ttyUSB0", PortHolder{"minicom", 4242, "marie"}),
             MessageButtons::Ok);
  boxes.show(unclaimedPortWarning("/dev/ttyUSB0", ClaimReach::ThisUser,
                                  ClaimShortfall{"/run/lock/LCK..ttyUSB0", accessDenied}),
             MessageButtons::Ok);
  boxes.show(missedPressesWarning(missed, 12, "/dev/ttyUSB0"), MessageButtons::Ok);
  boxes.show(unsavedSettingsWarning({{field_name::port, registry_status::noUnicodeTranslation},
                                     {field_name::settle, registry_status::diskFull}},
                                    7),
             MessageButtons::Ok);
  boxes.show(stopQuestion, MessageButtons::YesNoDefaultNo);
}

} // namespace

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const Win32Night night;
  Win32MessageBoxes boxes;
  if (std::string_view(commandLine).find("--nuit") != std::string_view::npos)
    boxes.setNight(&night);
  showEveryBox(boxes);
  return 0;
}
#else
int main(int argc, char** argv) {
  const bool night = argc > 1 && std::string_view(argv[1]) == "--nuit";
  QApplication application(argc, argv);
  setUpApplication(application, night);
  QtMessageBoxes boxes;
  showEveryBox(boxes);
  return 0;
}
#endif
