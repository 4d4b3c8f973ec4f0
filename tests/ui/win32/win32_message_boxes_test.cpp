#include "ui/win32/win32_message_boxes.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace obturix {
namespace {

struct Seen {
  std::wstring title, text;
  std::vector<std::wstring> buttons;
};

// From another thread: waits for this process's next message box, notes
// what it shows, and presses `button`.
std::thread answerNextBox(int button, Seen& seen) {
  return std::thread([button, &seen] {
    HWND box = nullptr;
    for (int i = 0; i < 1000 && !box; ++i, Sleep(10))
      box = FindWindowW(L"#32770", nullptr);
    if (!box)
      return;
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    seen.title = text;
    GetDlgItemTextW(box, 0xFFFF, text, 256); // the prompt
    seen.text = text;
    for (const int id : {IDYES, IDNO, IDOK})
      if (GetDlgItemTextW(box, id, text, 256) > 0)
        seen.buttons.push_back(text);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  });
}

TEST(Win32MessageBoxes, ButtonsReadInFrenchWhateverTheSystemsLanguage) {
  Win32MessageBoxes boxes;
  Seen seen;
  std::thread answering = answerNextBox(IDNO, seen);
  EXPECT_EQ(boxes.show("Lancer ?\r\rTemps : 1", MessageButtons::YesNo, std::string("Titre")),
            answerNo);
  answering.join();
  EXPECT_EQ(seen.title, L"Titre");
  EXPECT_EQ(seen.text, L"Lancer ?\r\n\r\nTemps : 1");
  EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"Oui", L"Non"}));
  // An OK box, titled "Obturix", is seen by the end-to-end test.
}

} // namespace
} // namespace obturix
