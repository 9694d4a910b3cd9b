// Every system call of the window's conversion run made to fail in turn, with each
// failure Windows gives for it, on real folders of the test drive through the Win32
// adapter's call table, with and without an earlier destination file. Each run must end
// as the table below says, never with the success text after a failure, with no
// temporary file left and an earlier destination keeping its bytes unless the new file
// replaced it whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ports.h"
#include "run/conversion_run.h"
#include "support/fakes.h"
#include "util/user_texts.h"
#include "win32/test_folders.h"

namespace pel::win32 {
namespace {

using testing::CountMatches;
using testing::FreshTestFolder;
using testing::ReadBytes;
using testing::RemoveTree;
using testing::WriteBytes;

// --- A call table whose Nth call fails ---------------------------------------------

struct Call {
  std::string function;
  std::wstring path;
};

struct Injection {
  std::size_t fail_at = 0;  // from 1; 0: none
  DWORD error = 0;
  std::vector<Call> log;
  std::map<HANDLE, std::wstring> paths;  // of open files and searches
} g_injection;

bool Due(const char* function, const std::wstring& path) {
  g_injection.log.push_back({function, path});
  if (g_injection.log.size() != g_injection.fail_at) return false;
  SetLastError(g_injection.error);
  return true;
}

const SystemCalls kSystem = Calls();

const SystemCalls kFailing{
    [](LPCWSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD c, DWORD f, HANDLE t) WINAPI -> HANDLE {
      if (Due("CreateFile", p)) return INVALID_HANDLE_VALUE;
      HANDLE h = kSystem.create_file(p, a, s, sa, c, f, t);
      g_injection.paths[h] = p;
      return h;
    },
    [](HANDLE h, LPVOID b, DWORD n, LPDWORD r, LPOVERLAPPED o) WINAPI -> BOOL {
      return Due("ReadFile", g_injection.paths[h]) ? FALSE : kSystem.read_file(h, b, n, r, o);
    },
    [](HANDLE h, LPCVOID b, DWORD n, LPDWORD w, LPOVERLAPPED o) WINAPI -> BOOL {
      return Due("WriteFile", g_injection.paths[h]) ? FALSE : kSystem.write_file(h, b, n, w, o);
    },
    [](HANDLE h) WINAPI -> BOOL { return Due("FlushFileBuffers", g_injection.paths[h]) ? FALSE : kSystem.flush_file_buffers(h); },
    [](LPCWSTR from, LPCWSTR to, DWORD f) WINAPI -> BOOL { return Due("MoveFileEx", to) ? FALSE : kSystem.move_file(from, to, f); },
    [](LPCWSTR p) WINAPI -> BOOL { return Due("DeleteFile", p) ? FALSE : kSystem.delete_file(p); },
    [](LPCWSTR p, LPSECURITY_ATTRIBUTES s) WINAPI -> BOOL { return Due("CreateDirectory", p) ? FALSE : kSystem.create_directory(p, s); },
    [](LPCWSTR p, FINDEX_INFO_LEVELS l, LPVOID d, FINDEX_SEARCH_OPS o, LPVOID f, DWORD a) WINAPI -> HANDLE {
      if (Due("FindFirstFile", p)) return INVALID_HANDLE_VALUE;
      HANDLE h = kSystem.find_first_file(p, l, d, o, f, a);
      g_injection.paths[h] = p;
      return h;
    },
    [](HANDLE h, LPWIN32_FIND_DATAW d) WINAPI -> BOOL {
      return Due("FindNextFile", g_injection.paths[h]) ? FALSE : kSystem.find_next_file(h, d);
    },
    [](LPCWSTR p) WINAPI -> DWORD { return Due("GetFileAttributes", p) ? INVALID_FILE_ATTRIBUTES : kSystem.get_file_attributes(p); },
    [](LPCWSTR p, GET_FILEEX_INFO_LEVELS l, LPVOID d) WINAPI -> BOOL {
      return Due("GetFileAttributesEx", p) ? FALSE : kSystem.get_file_attributes_ex(p, l, d);
    },
    [](HANDLE h, PLARGE_INTEGER s) WINAPI -> BOOL { return Due("GetFileSize", g_injection.paths[h]) ? FALSE : kSystem.get_file_size(h, s); },
};

// The failures each call can meet, as Windows reports them.
const std::map<std::string, std::vector<DWORD>> kFailures = {
    {"CreateFile", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL}},
    {"ReadFile", {ERROR_LOCK_VIOLATION}},
    {"WriteFile", {ERROR_DISK_FULL}},
    {"FlushFileBuffers", {ERROR_DISK_FULL}},
    {"MoveFileEx", {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}},
    {"DeleteFile", {ERROR_SHARING_VIOLATION}},
    {"CreateDirectory", {ERROR_ACCESS_DENIED, ERROR_DISK_FULL}},
    {"FindFirstFile", {ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED}},
    {"FindNextFile", {ERROR_ACCESS_DENIED}},
    {"GetFileAttributes", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
    {"GetFileAttributesEx", {ERROR_ACCESS_DENIED}},
    {"GetFileSize", {ERROR_ACCESS_DENIED}},
};

// --- What each failure must come to ---------------------------------------------------

enum class Role { kFolderLevel, kSourceFolder, kSourceFile, kDestination, kTemporary };

enum class End {
  kWritten,                // the file written as without the failure, "変換が正常に終了しました。"
  kWrittenAfterQuestion,   // the same, after the folder question (a level looked missing), answered Yes
  kFailed,                 // one message box with the outcome's message; nothing written, no success text
};

struct Rule {
  const char* function;
  Role role;
  End end;
  OutcomeKind kind = OutcomeKind::kUnreadable;
};

// A level of the destination that cannot be looked up seems missing: the question comes,
// and the levels are made where they are missing. A source folder that cannot be listed
// has its files looked up by name, as the window always could. A source file that cannot
// be opened, sized or read fails the run; so does a temporary file that cannot be made,
// written or flushed, and a rename over the destination that the system refuses. Whether
// the destination is read-only is asked before writing; a failed question lets the rename
// decide.
const Rule kRules[] = {
    {"GetFileAttributes", Role::kFolderLevel, End::kWrittenAfterQuestion},
    {"FindFirstFile", Role::kSourceFolder, End::kWritten},
    {"FindNextFile", Role::kSourceFolder, End::kWritten},
    {"CreateFile", Role::kSourceFile, End::kFailed, OutcomeKind::kUnreadable},
    {"GetFileSize", Role::kSourceFile, End::kFailed, OutcomeKind::kUnreadable},
    {"ReadFile", Role::kSourceFile, End::kFailed, OutcomeKind::kUnreadable},
    {"GetFileAttributes", Role::kDestination, End::kWritten},
    {"CreateFile", Role::kTemporary, End::kFailed, OutcomeKind::kWriteFailed},
    {"WriteFile", Role::kTemporary, End::kFailed, OutcomeKind::kWriteFailed},
    {"FlushFileBuffers", Role::kTemporary, End::kFailed, OutcomeKind::kWriteFailed},
    {"MoveFileEx", Role::kDestination, End::kFailed, OutcomeKind::kWriteFailed},
};

const Rule* RuleFor(const Call& call, Role role) {
  for (const Rule& r : kRules) {
    if (call.function == r.function && role == r.role) return &r;
  }
  return nullptr;
}

class WindowRunFaults : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    root_ = FreshTestFolder(L"faults");
    src_ = root_ + L"\\src";
    ASSERT_TRUE(CreateDirectoryW(src_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root_ + L"\\out").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(src_ + L"\\titl01.txt", "\"No.1\"\r\n"));
    ASSERT_TRUE(WriteBytes(src_ + L"\\X1.txt", "1,2.5,a,b\r\n"));
    ASSERT_TRUE(WriteBytes(src_ + L"\\X5.txt", "1,1.0,3,4,5,6,7,8,9,10,11\r\n"));
    destination_ = root_ + L"\\out\\b1.txt";
  }
  void TearDown() override {
    Calls() = kSystem;
    SetCurrentDirectoryW(L"T:\\");
    RemoveTree(root_);
  }

  Role RoleOf(const std::wstring& path) const {
    if (path.rfind(src_ + L"\\", 0) == 0) return path.back() == L'*' ? Role::kSourceFolder : Role::kSourceFile;
    if (path.find(L"~pel") != std::wstring::npos) return Role::kTemporary;
    return path == destination_ ? Role::kDestination : Role::kFolderLevel;
  }

  struct Result {
    std::vector<testing::ShownMessage> shown;
    std::vector<std::wstring> statuses;
  };
  Result Run(std::size_t fail_at, DWORD error) {
    g_injection = Injection{fail_at, error, {}, {}};
    testing::FakeRunWindow window;
    window.text2 = src_;
    window.text1 = root_ + L"\\out\\b1";
    testing::FakeMessageBoxes boxes;
    boxes.answers = {MessageAnswer::kYes};
    Win32FileSystem fs;
    Win32Drives drives;
    Win32TextCodec codec;
    RunPorts ports{window, boxes, fs, drives, codec};
    std::int16_t pending = 0;
    Calls() = kFailing;
    RunConversion(ports, pending);
    Calls() = kSystem;
    return {boxes.shown, window.statuses};
  }

  std::wstring root_, src_, destination_;
};

TEST_P(WindowRunFaults, EachFailingCallEndsTheRunAsTheTableSays) {
  const bool earlier = GetParam();
  const std::string kEarlier = "an earlier destination\r\n";
  auto reset = [&] {
    DeleteFileW(destination_.c_str());
    if (earlier) {
      ASSERT_TRUE(WriteBytes(destination_, kEarlier));
    }
  };
  reset();
  const Result clean = Run(0, 0);
  ASSERT_TRUE(clean.shown.empty());
  const std::string good = ReadBytes(destination_);
  const std::vector<Call> calls = g_injection.log;
  ASSERT_GT(calls.size(), 15u) << "the calls go through the table";

  for (std::size_t n = 1; n <= calls.size(); ++n) {
    const Call& call = calls[n - 1];
    const Role role = RoleOf(call.path);
    const Rule* rule = RuleFor(call, role);
    for (const DWORD error : kFailures.at(call.function)) {
      SCOPED_TRACE(::testing::Message() << "call " << n << ": " << call.function << " "
                                        << ::testing::PrintToString(call.path) << " fails with error " << error);
      ASSERT_NE(rule, nullptr) << "no rule for this failure";
      reset();
      const Result result = Run(n, error);
      EXPECT_EQ(CountMatches(root_ + L"\\out", L"~pel*.tmp"), 0) << "a temporary file stayed";
      const bool done = !result.statuses.empty() && result.statuses.back() == texts::kStatusDone;
      if (rule->end == End::kFailed) {
        ASSERT_EQ(result.shown.size(), 1u);
        const std::wstring message = InfoOf(rule->kind).message;
        EXPECT_EQ(result.shown[0].text.substr(0, message.find(L'\n')), message.substr(0, message.find(L'\n')));
        EXPECT_FALSE(done);
        EXPECT_EQ(std::count(result.statuses.begin(), result.statuses.end(), std::wstring(texts::kStatusDone)), 0);
        EXPECT_EQ(ReadBytes(destination_), earlier ? kEarlier : "<missing>");
      } else {
        EXPECT_TRUE(done);
        EXPECT_EQ(ReadBytes(destination_), good);
        const bool asked = !result.shown.empty() && result.shown[0].text == texts::kCreateFolderQuestion;
        EXPECT_EQ(asked, rule->end == End::kWrittenAfterQuestion);
        EXPECT_EQ(result.shown.size(), asked ? 1u : 0u);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutAnEarlierDestination, WindowRunFaults, ::testing::Bool());

}  // namespace
}  // namespace pel::win32
