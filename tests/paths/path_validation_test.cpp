#include "paths/path_validation.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace pel {
namespace {

using testing::FakeDrives;
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

constexpr PathVerdict kAccepted = PathVerdict::kAccepted;
constexpr PathVerdict kRejected = PathVerdict::kRejected;
constexpr PathVerdict kDriveForm = PathVerdict::kDriveForm;

struct ValidationCase {
  std::wstring input;
  PathVerdict verdict;
  std::wstring after;  // the text as ValidatePath leaves it
};

TEST(ValidatePath, AcceptsRejectsAndNormalizes) {
  const ValidationCase cases[] = {
      {L"C:\\", kAccepted, L"C:\\"},
      {L"C:", kAccepted, L"C:\\"},
      {L"C:data", kAccepted, L"C:\\data\\"},
      {L" C:\\data ", kAccepted, L"C:\\data\\"},
      {L"c:\\data\\sub\\", kAccepted, L"c:\\data\\sub\\"},
      {L"D:\\地層\\ﾃﾞｰﾀ", kAccepted, L"D:\\地層\\ﾃﾞｰﾀ\\"},
      {L"C:\\ABCDEFGH.TXT", kAccepted, L"C:\\ABCDEFGH.TXT\\"},
      {L"C:\\ABCDEFGHI.TXT", kRejected, L"C:\\ABCDEFGHI.TXT\\"},
      {L"C:\\A.TX", kAccepted, L"C:\\A.TX\\"},
      {L"C:\\A.TXTX", kRejected, L"C:\\A.TXTX\\"},
      {L"C:\\A.B.C", kRejected, L"C:\\A.B.C\\"},
      {L"C:\\.\\x", kAccepted, L"C:\\.\\x\\"},
      {L"C:\\..\\x", kRejected, L"C:\\..\\x\\"},
      {L"C:\\averylongfoldername\\x", kAccepted, L"C:\\averylongfoldername\\x\\"},
      {L"C:\\a\\\\b", kRejected, L"C:\\a\\\\b\\"},
      // Double-byte characters before the dot count double against the 3 places after it.
      {L"C:\\地層.t", kAccepted, L"C:\\地層.t\\"},
      {L"C:\\地層穴.txt", kRejected, L"C:\\地層穴.txt\\"},
      // Wildcards and blanks: trimmed, nothing else changed.
      {L" C:\\my data ", kRejected, L"C:\\my data"},
      {L"C:\\*.txt", kRejected, L"C:\\*.txt"},
      {L"C:\\a?", kRejected, L"C:\\a?"},
      // A drive that does not exist.
      {L"Q:\\data", kRejected, L"Q:\\data"},
      // A malformed drive part: the caller shows the drive message.
      {L"", kDriveForm, L""},
      {L"C", kDriveForm, L"C"},
      {L"\\data", kDriveForm, L"\\data"},
      {L"Ｃ:\\data", kDriveForm, L"Ｃ:\\data"},
      {L"CD:\\x", kDriveForm, L"CD:\\x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("input " + ::testing::PrintToString(c.input));
    FakeDrives drives(L"CD");
    std::wstring path = c.input;
    EXPECT_EQ(ValidatePath(path, drives, FakeTextCodec()), c.verdict);
    EXPECT_EQ(path, c.after);
  }
}

TEST(ValidatePath, LeavesTheValidatedDriveCurrent) {
  FakeDrives drives(L"CD");
  std::wstring path = L"D:\\x";
  ASSERT_EQ(ValidatePath(path, drives, FakeTextCodec()), kAccepted);
  EXPECT_EQ(drives.current, L'D');
}

}  // namespace
}  // namespace pel
