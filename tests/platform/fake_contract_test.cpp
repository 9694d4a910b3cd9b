// The file-system and drives contract against the in-memory fakes that the portable
// tests use; tests/platform/posix_contract_test.cpp runs the same table on the POSIX
// adapter and tests/win32/adapter_contract_test.cpp on Win32.
#include <gtest/gtest.h>

#include "support/fake_file_system.h"
#include "support/fakes.h"
#include "support/file_system_contract.h"

namespace pel::testing {
namespace {

class FakeFixture : public ContractFixture {
 public:
  FakeFixture() { fs_.AddFolder(Root()); }
  std::wstring Root() const override { return L"T:\\contract"; }
  wchar_t DriveLetter() const override { return L'T'; }
  void MakeFile(const std::wstring& path, const std::string& bytes) override { fs_.AddFile(path, bytes); }
  void MakeFolder(const std::wstring& path) override { fs_.AddFolder(path); }
  std::wstring MakeHiddenFile(const std::wstring& name, bool system) override {
    const std::wstring path = At(name);
    fs_.AddFile(path, "x");
    system ? fs_.MarkSystem(path) : fs_.MarkHidden(path);
    return path;
  }
  void MakeReadOnly(const std::wstring& path) override { fs_.MarkReadOnly(path); }
  void MakeLink(const std::wstring& path, const std::wstring&) override {
    fs_.AddFolder(path);
    fs_.MarkReparsePoint(path);
  }
  FileSystem& fs() override { return fs_; }
  Drives* drives() override { return &drives_; }
  bool IsWindows() const override { return true; }

 private:
  FakeFileSystem fs_;
  FakeDrives drives_{L"CDT"};
};

class FakeContract : public ::testing::TestWithParam<ContractCase> {};

TEST_P(FakeContract, Holds) {
  FakeFixture fixture;
  GetParam().run(fixture);
}

INSTANTIATE_TEST_SUITE_P(FileSystemAndDrives, FakeContract, ::testing::ValuesIn(kFileSystemContract),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pel::testing
