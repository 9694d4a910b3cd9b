#include "paths/path_validation.h"
#include "util/user_texts.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace pel {
namespace {

using testing::FakeDrives;
using testing::FakeMessageBoxes;
using testing::FakeTextCodec;

TEST(AnsiBytes, MeasureAndCutCodePage932) {
  const FakeTextCodec codec;
  EXPECT_EQ(AnsiByteLength(codec, L""), 0);
  EXPECT_EQ(AnsiByteLength(codec, L"C:\\data"), 7);
  EXPECT_EQ(AnsiByteLength(codec, L"地層.txt"), 8);
  EXPECT_EQ(AnsiByteLength(codec, L"ｶﾃﾞ"), 3);
  EXPECT_EQ(AnsiByteMid(codec, L"C:\\x", 2, 1), L":");
  EXPECT_EQ(AnsiByteMid(codec, L"地層", 3, 2), L"層");
  EXPECT_EQ(AnsiByteMid(codec, L"ab", 2, 5), L"b");
  EXPECT_EQ(AnsiByteMid(codec, L"ab", 3, 1), L"");
  EXPECT_EQ(AnsiByteMid(codec, L"", 1, 1), L"");
}

struct ValidationCase {
  std::wstring input;
  bool accepted;
  std::wstring after;  // the text as ValidatePath leaves it
  bool drive_message = false;
};

TEST(ValidatePath, AcceptsRejectsAndNormalizes) {
  const ValidationCase cases[] = {
      {L"C:\\", true, L"C:\\"},
      {L"C:", true, L"C:\\"},
      {L"C:data", true, L"C:\\data\\"},
      {L" C:\\data ", true, L"C:\\data\\"},
      {L"c:\\data\\sub\\", true, L"c:\\data\\sub\\"},
      {L"D:\\地層\\ﾃﾞｰﾀ", true, L"D:\\地層\\ﾃﾞｰﾀ\\"},
      {L"C:\\ABCDEFGH.TXT", true, L"C:\\ABCDEFGH.TXT\\"},
      {L"C:\\ABCDEFGHI.TXT", false, L"C:\\ABCDEFGHI.TXT\\"},
      {L"C:\\A.TX", true, L"C:\\A.TX\\"},
      {L"C:\\A.TXTX", false, L"C:\\A.TXTX\\"},
      {L"C:\\A.B.C", false, L"C:\\A.B.C\\"},
      {L"C:\\.\\x", true, L"C:\\.\\x\\"},
      {L"C:\\..\\x", false, L"C:\\..\\x\\"},
      {L"C:\\averylongfoldername\\x", true, L"C:\\averylongfoldername\\x\\"},
      {L"C:\\a\\\\b", false, L"C:\\a\\\\b\\"},
      // Double-byte characters before the dot count double against the 3 places after it.
      {L"C:\\地層.t", true, L"C:\\地層.t\\"},
      {L"C:\\地層穴.txt", false, L"C:\\地層穴.txt\\"},
      // Wildcards and blanks: trimmed, nothing else changed.
      {L" C:\\my data ", false, L"C:\\my data"},
      {L"C:\\*.txt", false, L"C:\\*.txt"},
      {L"C:\\a?", false, L"C:\\a?"},
      // A drive that does not exist.
      {L"Q:\\data", false, L"Q:\\data"},
      // A malformed drive part: the message, then false.
      {L"", false, L"", true},
      {L"C", false, L"C", true},
      {L"\\data", false, L"\\data", true},
      {L"Ｃ:\\data", false, L"Ｃ:\\data", true},
      {L"CD:\\x", false, L"CD:\\x", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("input " + ::testing::PrintToString(c.input));
    FakeDrives drives(L"CD");
    FakeMessageBoxes boxes;
    std::wstring path = c.input;
    EXPECT_EQ(ValidatePath(path, drives, FakeTextCodec(), boxes), c.accepted);
    EXPECT_EQ(path, c.after);
    ASSERT_EQ(boxes.shown.size(), c.drive_message ? 1u : 0u);
    if (c.drive_message) {
      EXPECT_EQ(boxes.shown[0].text, texts::kDriveForm);
      EXPECT_EQ(boxes.shown[0].caption, L"Vomel");
      EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kInformation);
    }
  }
}

TEST(ValidatePath, LeavesTheValidatedDriveCurrent) {
  FakeDrives drives(L"CD");
  FakeMessageBoxes boxes;
  std::wstring path = L"D:\\x";
  ASSERT_TRUE(ValidatePath(path, drives, FakeTextCodec(), boxes));
  EXPECT_EQ(drives.current, L'D');
}

}  // namespace
}  // namespace pel
