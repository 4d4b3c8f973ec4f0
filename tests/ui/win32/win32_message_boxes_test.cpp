#include "ui/win32/win32_message_boxes.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace obturix {
namespace {

struct Seen {
  std::wstring title, text;
  std::vector<std::wstring> buttons;
  int width = 0, titleWidth = 0; // the box's, and its title's in the caption font
};

int captionTextWidth(const wchar_t* text) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  SIZE extent{};
  GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &extent);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return extent.cx;
}

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
    seen.titleWidth = captionTextWidth(text);
    RECT frame{};
    GetWindowRect(box, &frame);
    seen.width = frame.right - frame.left;
    GetDlgItemTextW(box, 0xFFFF, text, 256); // the prompt
    seen.text = text;
    for (const int id : {IDYES, IDNO, IDOK})
      if (GetDlgItemTextW(box, id, text, 256) > 0)
        seen.buttons.push_back(text);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  });
}

// The system would cut a title longer than the box's text and buttons.
TEST(Win32MessageBoxes, ButtonsReadInFrenchWhateverTheSystemsLanguageAndTheTitleIsWhole) {
  Win32MessageBoxes boxes;
  Seen seen;
  std::thread answering = answerNextBox(IDNO, seen);
  EXPECT_EQ(boxes.show("Lancer ?\r\rTemps : 1", MessageButtons::YesNo,
                       std::string("Lancer la session de prises de vues ?")),
            answerNo);
  answering.join();
  EXPECT_EQ(seen.title, L"Lancer la session de prises de vues ?");
  EXPECT_GT(seen.width, seen.titleWidth + GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(seen.text, L"Lancer ?\r\n\r\nTemps : 1");
  EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"Oui", L"Non"}));
  // An OK box, titled "Obturix", is seen by the end-to-end test.
}

} // namespace
} // namespace obturix
