#include "util/folder_paths.h"

#include <gtest/gtest.h>

namespace pel {
namespace {

struct PathCase {
  const wchar_t* path;
  const wchar_t* path_parent;   // keeps the separator
  const wchar_t* folder_above;  // drops it, but for a root
  const wchar_t* with_backslash;
  const wchar_t* without_backslash;
};

// Each row is one path through all four helpers, so that their contracts are read side by side.
constexpr PathCase kPathCases[] = {
    {L"D:\\PATDAT", L"D:\\", L"D:\\", L"D:\\PATDAT\\", L"D:\\PATDAT"},
    {L"D:\\GEO\\PATDAT", L"D:\\GEO\\", L"D:\\GEO", L"D:\\GEO\\PATDAT\\", L"D:\\GEO\\PATDAT"},
    {L"C:\\work\\sub\\", L"C:\\work\\sub\\", L"C:\\work\\sub", L"C:\\work\\sub\\", L"C:\\work\\sub"},
    {L"C:\\", L"C:\\", L"C:\\", L"C:\\", L"C:\\"},
    {L"D:PATDAT", L"D:", L"D:PATDAT", L"D:PATDAT\\", L"D:PATDAT"},
    {L"PATDAT", L"", L"PATDAT", L"PATDAT\\", L"PATDAT"},
    {L"", L"", L"", L"\\", L""},
};

TEST(FolderPaths, EachHelperKeepsItsContract) {
  for (const auto& c : kPathCases) {
    SCOPED_TRACE(testing::Message() << "path " << ::testing::PrintToString(std::wstring(c.path)));
    EXPECT_EQ(PathParent(c.path), c.path_parent);
    EXPECT_EQ(FolderAbove(c.path), c.folder_above);
    EXPECT_EQ(WithBackslash(c.path), c.with_backslash);
    EXPECT_EQ(WithoutBackslash(c.path), c.without_backslash);
  }
}

TEST(FolderPaths, JoinAddsExactlyOneSeparator) {
  for (const wchar_t* folder : {L"C:\\src", L"C:\\src\\"}) EXPECT_EQ(JoinPath(folder, L"X1.txt"), L"C:\\src\\X1.txt");
  EXPECT_EQ(JoinPath(L"C:\\", L"X1.txt"), L"C:\\X1.txt");
  // On POSIX a backslash is part of a name, and "/" separates.
  EXPECT_EQ(JoinPath(L"/site/a\\b", L"X5.txt", L'/'), L"/site/a\\b/X5.txt");
  EXPECT_EQ(JoinPath(L"/", L"X5.txt", L'/'), L"/X5.txt");
}

TEST(AbsolutePath, RelativePathsStartFromTheBase) {
  const struct {
    const wchar_t* base;
    const wchar_t* path;
    wchar_t separator;
    const wchar_t* absolute;
  } cases[] = {
      {L"/home/me", L"out/r.html", L'/', L"/home/me/out/r.html"},
      {L"/home/me", L"/tmp/r.html", L'/', L"/tmp/r.html"},
      {L"/home/me", L"\\x", L'/', L"/home/me/\\x"},  // a backslash is a name's character on POSIX
      {L"", L"out/r.html", L'/', L"out/r.html"},
      {L"C:\\work", L"out\\r.html", L'\\', L"C:\\work\\out\\r.html"},
      {L"C:\\work", L"D:\\r.html", L'\\', L"D:\\r.html"},
      {L"C:\\work", L"\\r.html", L'\\', L"C:\\r.html"},
      {L"C:\\work", L"\\\\server\\share\\r.html", L'\\', L"\\\\server\\share\\r.html"},
      {L"C:\\work", L"c:r.html", L'\\', L"C:\\work\\r.html"},
      {L"C:\\work", L"D:r.html", L'\\', L"D:\\r.html"},
      {L"C:\\", L"r.html", L'\\', L"C:\\r.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(AbsolutePath(c.base, c.path, c.separator), c.absolute) << testing::PrintToString(std::wstring(c.path));
}

}  // namespace
}  // namespace pel
