// The file-system contract against the POSIX adapter on real folders of this machine,
// the same table that the fakes and the Win32 adapters pass (but for what only Windows
// has: system files and drives).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/posix_file_system.h"
#include "support/file_system_contract.h"

namespace pel::testing {
namespace {

class PosixFixture : public ContractFixture {
 public:
  PosixFixture() {
    char pattern[] = "/tmp/pel-contract-XXXXXX";
    root_ = mkdtemp(pattern);
  }
  ~PosixFixture() override { std::filesystem::remove_all(root_); }
  std::wstring Root() const override { return posix::TextName(root_); }
  wchar_t DriveLetter() const override { return 0; }
  void MakeFile(const std::wstring& path, const std::string& bytes) override {
    std::ofstream(posix::SystemPath(path), std::ios::binary) << bytes;
  }
  void MakeFolder(const std::wstring& path) override { ASSERT_EQ(mkdir(posix::SystemPath(path).c_str(), 0777), 0); }
  std::wstring MakeHiddenFile(const std::wstring& name, bool) override {
    const std::wstring path = At(L"." + name);
    MakeFile(path, "x");
    return path;
  }
  void MakeReadOnly(const std::wstring& path) override { ASSERT_EQ(chmod(posix::SystemPath(path).c_str(), 0444), 0); }
  void MakeLink(const std::wstring& path, const std::wstring& target) override {
    ASSERT_EQ(symlink(posix::SystemPath(target).c_str(), posix::SystemPath(path).c_str()), 0);
  }
  FileSystem& fs() override { return fs_; }
  Drives* drives() override { return nullptr; }
  bool IsWindows() const override { return false; }

 private:
  std::string root_;
  posix::PosixFileSystem fs_;
};

class PosixContract : public ::testing::TestWithParam<ContractCase> {};

TEST_P(PosixContract, Holds) {
  PosixFixture fixture;
  GetParam().run(fixture);
}

INSTANTIATE_TEST_SUITE_P(FileSystem, PosixContract, ::testing::ValuesIn(ContractCasesFor(false)),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pel::testing
