// The file-system and drives contract against the Win32 adapters on real folders of
// the test drive T:, the same table that tests/platform/fake_contract_test.cpp runs on
// the fakes.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ports.h"
#include "support/file_system_contract.h"
#include "win32/test_folders.h"

namespace pel::testing {
namespace {

class Win32Fixture : public ContractFixture {
 public:
  Win32Fixture() : root_(FreshTestFolder(L"contract")) {}
  ~Win32Fixture() override {
    SetCurrentDirectoryW(L"T:\\");
    for (const auto& link : links_) RemoveDirectoryLink(link);
    RemoveTree(root_);
  }
  std::wstring Root() const override { return root_; }
  wchar_t DriveLetter() const override { return L'T'; }
  void MakeFile(const std::wstring& path, const std::string& bytes) override { ASSERT_TRUE(WriteBytes(path, bytes)); }
  void MakeFolder(const std::wstring& path) override { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)); }
  std::wstring MakeHiddenFile(const std::wstring& name, bool system) override {
    const std::wstring path = At(name);
    MakeFile(path, "x");
    Attributes(path, system ? FILE_ATTRIBUTE_SYSTEM : FILE_ATTRIBUTE_HIDDEN);
    return path;
  }
  void MakeReadOnly(const std::wstring& path) override { Attributes(path, FILE_ATTRIBUTE_READONLY); }
  void MakeLink(const std::wstring& path, const std::wstring& target) override {
    ASSERT_TRUE(MakeDirectoryLink(path, target));
    links_.push_back(path);
  }
  FileSystem& fs() override { return fs_; }
  Drives* drives() override { return &drives_; }
  bool IsWindows() const override { return true; }

 private:
  static void Attributes(const std::wstring& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
  }
  std::wstring root_;
  std::vector<std::wstring> links_;
  win32::Win32FileSystem fs_;
  win32::Win32Drives drives_;
};

class Win32Contract : public ::testing::TestWithParam<ContractCase> {};

TEST_P(Win32Contract, Holds) {
  Win32Fixture fixture;
  ASSERT_TRUE(Exists(fixture.Root())) << "is drive T: mapped?";
  GetParam().run(fixture);
}

INSTANTIATE_TEST_SUITE_P(FileSystemAndDrives, Win32Contract, ::testing::ValuesIn(kFileSystemContract),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pel::testing
