// Message boxes as the user sees them: text, caption, buttons, and the answer given.
#include <gtest/gtest.h>

#include <future>

#include "platform/win32/win32_ports.h"
#include "win32/dialog_driver.h"

namespace pel::win32 {
namespace {

TEST(Win32MessageBoxes, ShowTextAndCaptionAndReturnTheAnswer) {
  struct Case {
    MessageButtons buttons;
    int press;
    MessageAnswer answer;
  } cases[] = {
      {MessageButtons::kYesNo, IDYES, MessageAnswer::kYes},
      {MessageButtons::kYesNo, IDNO, MessageAnswer::kNo},
      {MessageButtons::kOk, IDOK, MessageAnswer::kOk},
  };
  for (const auto& c : cases) {
    auto shown = std::async(std::launch::async, [&] {
      Win32MessageBoxes boxes;
      return boxes.Show(L"フォルダがありません。", L"Vomel", c.buttons, MessageIcon::kQuestion);
    });
    HWND box = testing::WaitForMessageBox(GetCurrentProcessId());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing::WindowText(box), L"Vomel");
    EXPECT_EQ(testing::MessageBoxText(box), L"フォルダがありません。");
    EXPECT_EQ(GetDlgItem(box, IDNO) != nullptr, c.buttons == MessageButtons::kYesNo);
    ASSERT_TRUE(testing::AnswerMessageBox(box, c.press));
    EXPECT_EQ(shown.get(), c.answer);
  }
}

// A 300-character file name in a message: the box still fits a 1024-pixel screen.
TEST(Win32MessageBoxes, LongPathsAreBrokenSoThatTheBoxFitsTheScreen) {
  const std::wstring path = L"C:\\work\\" + std::wstring(300, L'a') + L".txt";
  auto shown = std::async(std::launch::async, [&] {
    Win32MessageBoxes boxes;
    return boxes.Show(L"変換先ファイルを書き込めません。\n" + path, L"Vomel", MessageButtons::kOk,
                      MessageIcon::kExclamation);
  });
  HWND box = testing::WaitForMessageBox(GetCurrentProcessId());
  ASSERT_NE(box, nullptr);
  RECT r;
  GetWindowRect(box, &r);
  EXPECT_LE(r.right - r.left, 1024);
  EXPECT_GE(r.left, 0);
  ASSERT_TRUE(testing::AnswerMessageBox(box, IDOK));
  shown.get();
}

}  // namespace
}  // namespace pel::win32
