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

}  // namespace
}  // namespace pel
