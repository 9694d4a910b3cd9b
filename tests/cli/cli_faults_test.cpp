// Every system call of a command-line convert and of a 5-folder batch made to fail in
// turn, with each failure the system gives for it, on real folders through the POSIX
// adapter's call table. Each run must end as the table below says, with nothing half
// done: no temporary file left, every output complete or absent, every other folder of
// a batch complete.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "cli/cli.h"
#include "platform/posix/posix_file_system.h"

namespace pel::cli {
namespace {

namespace fs = std::filesystem;

// --- A call table whose Nth call fails ---------------------------------------------

struct Call {
  std::string function, path;
};

// Calls come from two threads in a batch (one reads the next folders while the other
// writes), in an order that differs from run to run: each run's own log says which call
// failed.
struct Injection {
  std::size_t fail_at = 0;  // from 1; 0: none
  int error = 0;
  std::vector<Call> log;
  std::map<int, std::string> paths;  // of open descriptors and folders
} g_injection;
std::mutex g_injection_mutex;

bool Due(const char* function, const std::string& path) {
  const std::lock_guard lock(g_injection_mutex);
  g_injection.log.push_back({function, path});
  if (g_injection.log.size() != g_injection.fail_at) return false;
  errno = g_injection.error;
  return true;
}

const posix::SystemCalls kSystem = posix::Calls();

std::string PathOf(int fd) {
  const std::lock_guard lock(g_injection_mutex);
  return g_injection.paths[fd];
}
void NotePath(int fd, const char* path) {
  const std::lock_guard lock(g_injection_mutex);
  g_injection.paths[fd] = path;
}

const posix::SystemCalls kFailing{
    [](const char* p, int f, mode_t m) {
      if (Due("open", p)) return -1;
      const int fd = kSystem.open(p, f, m);
      NotePath(fd, p);
      return fd;
    },
    [](int fd, void* b, std::size_t n) -> ssize_t { return Due("read", PathOf(fd)) ? -1 : kSystem.read(fd, b, n); },
    [](int fd, const void* b, std::size_t n) -> ssize_t { return Due("write", PathOf(fd)) ? -1 : kSystem.write(fd, b, n); },
    [](int fd) { return Due("fsync", PathOf(fd)) ? -1 : kSystem.fsync(fd); },
    [](int fd) {
      const bool due = Due("close", PathOf(fd));
      const int result = kSystem.close(fd);  // a failed close still releases the descriptor
      if (due) errno = g_injection.error;
      return due ? -1 : result;
    },
    [](const char* from, const char* to) { return Due("rename", to) ? -1 : kSystem.rename(from, to); },
    [](const char* p) { return Due("unlink", p) ? -1 : kSystem.unlink(p); },
    [](const char* p, mode_t m) { return Due("mkdir", p) ? -1 : kSystem.mkdir(p, m); },
    [](const char* p) -> DIR* {
      if (Due("opendir", p)) return nullptr;
      DIR* dir = kSystem.opendir(p);
      if (dir) NotePath(dirfd(dir), p);
      return dir;
    },
    [](DIR* d) -> dirent* { return Due("readdir", PathOf(dirfd(d))) ? nullptr : kSystem.readdir(d); },
    [](const char* p, struct stat* s) { return Due("stat", p) ? -1 : kSystem.stat(p, s); },
    [](const char* p, struct stat* s) { return Due("lstat", p) ? -1 : kSystem.lstat(p, s); },
    [](int fd, struct stat* s) { return Due("fstat", PathOf(fd)) ? -1 : kSystem.fstat(fd, s); },
    [](int d, const char* name, struct stat* s, int f) {
      return Due("fstatat", PathOf(d) + "/" + name) ? -1 : kSystem.fstatat(d, name, s, f);
    },
};

// The failures each call can meet, as the system reports them.
const std::map<std::string, std::vector<int>> kFailures = {
    {"open", {ENOENT, EACCES, EBUSY, ENOSPC}}, {"read", {EIO}},    {"write", {ENOSPC}},        {"fsync", {EIO}},
    {"close", {EIO}},     {"rename", {EACCES, EBUSY}},  {"unlink", {EBUSY}},   {"mkdir", {EACCES, ENOSPC}},
    {"opendir", {EACCES, ENOENT}},  {"readdir", {EIO}}, {"stat", {ENOENT, EACCES}}, {"lstat", {ENOENT, EACCES}},
    {"fstat", {EIO}},     {"fstatat", {ENOENT, EACCES}},
};

// --- What each failure must come to ---------------------------------------------------

// What a call is about.
enum class Role {
  kSite,          // the site folder of a batch
  kFolder,        // a borehole folder
  kSourceFile,    // one of its four files
  kOtherEntry,    // another entry of its listing ("." and "..")
  kOutputFolder,  // the output folder, or a folder above it
  kOutputFile,
  kTemporary,
  kProbe,  // the empty file a batch writes in its output folder before it starts
};

// How the folder the call is about ends up.
enum class End {
  kWritten,            // as without the failure
  kWrittenWithoutFile,  // written, without the file that vanished from its listing
  kLeftOut,            // not part of the batch: it vanished from the site's listing
  kFailed,             // nothing written; the error `kind`
  kAllFailed,          // the whole batch (or the one conversion) failed with the error `kind`
};

struct Rule {
  const char* function;
  Role role;
  int error;  // 0: any
  End end;
  const char* kind = "";
  const char* batch_kind = nullptr;  // where a batch names it otherwise
};

// The first rule that fits decides. A failed listing fails what it lists; a file that
// cannot be read fails its folder; a temporary file that cannot be written, flushed,
// closed or renamed fails the write; a failed question whose answer the conversion can
// do without (is the destination read-only? is this name there as given?) changes
// nothing, since the adapter finds the answer another way or goes on without it.
const Rule kRules[] = {
    {"opendir", Role::kSite, 0, End::kAllFailed, "folder-unreadable"},
    {"readdir", Role::kSite, 0, End::kAllFailed, "folder-unreadable"},
    {"fstatat", Role::kFolder, ENOENT, End::kLeftOut},
    {"fstatat", Role::kFolder, 0, End::kAllFailed, "folder-unreadable"},
    {"opendir", Role::kFolder, 0, End::kFailed, "folder-unreadable"},
    {"readdir", Role::kFolder, 0, End::kFailed, "folder-unreadable"},
    {"fstatat", Role::kSourceFile, ENOENT, End::kWrittenWithoutFile},
    {"fstatat", Role::kSourceFile, 0, End::kFailed, "folder-unreadable"},
    {"fstatat", Role::kOtherEntry, ENOENT, End::kWritten},
    {"fstatat", Role::kOtherEntry, 0, End::kFailed, "folder-unreadable"},
    {"lstat", Role::kSourceFile, 0, End::kWritten},
    {"open", Role::kSourceFile, 0, End::kFailed, "unreadable"},
    {"fstat", Role::kSourceFile, 0, End::kFailed, "unreadable"},
    {"read", Role::kSourceFile, 0, End::kFailed, "unreadable"},
    {"close", Role::kSourceFile, 0, End::kWritten},
    {"lstat", Role::kOutputFolder, 0, End::kWritten},
    {"opendir", Role::kOutputFolder, 0, End::kWritten},
    {"readdir", Role::kOutputFolder, 0, End::kWritten},
    {"mkdir", Role::kOutputFolder, 0, End::kAllFailed, "write-failed", "output-folder-unusable"},
    {"open", Role::kProbe, 0, End::kAllFailed, "output-folder-unusable"},
    {"close", Role::kProbe, 0, End::kWritten},
    {"unlink", Role::kProbe, 0, End::kWritten},
    {"stat", Role::kOutputFile, 0, End::kWritten},
    {"open", Role::kTemporary, 0, End::kFailed, "write-failed"},
    {"write", Role::kTemporary, 0, End::kFailed, "write-failed"},
    {"fsync", Role::kTemporary, 0, End::kFailed, "write-failed"},
    {"close", Role::kTemporary, 0, End::kFailed, "write-failed"},
    {"rename", Role::kOutputFile, 0, End::kFailed, "write-failed"},
};

const Rule* RuleFor(const Call& call, Role role, int error) {
  for (const Rule& r : kRules) {
    if (call.function == r.function && role == r.role && (r.error == 0 || r.error == error)) return &r;
  }
  return nullptr;
}

class FaultTest : public ::testing::Test {
 protected:
  class Console : public cli::Console {
   public:
    bool Write(Stream stream, std::wstring_view text) override {
      (stream == Stream::kOut ? out : err) += text;
      return true;
    }
    bool IsTerminal(Stream) const override { return false; }
    std::wstring out, err;
  };

  void SetUp() override {
    char pattern[] = "/tmp/pel-faults-XXXXXX";
    root = mkdtemp(pattern);
    site = root / "site";
    out = root / "out";
    for (int i = 1; i <= 5; ++i) {
      const std::string folder = "site/B-" + std::to_string(i);
      Write(folder + "/titl01.txt", "\"No." + std::to_string(i) + "\"\r\n");
      Write(folder + "/X1.txt", "1,2.5,a,b\r\n");
      Write(folder + "/X5.txt", "1,1.0," + std::to_string(i) + ",4,5,6,7,8,9,10,11\r\n");
    }
  }
  void TearDown() override {
    posix::Calls() = kSystem;
    fs::remove_all(root);
  }

  void Write(const std::string& relative, const std::string& bytes) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << bytes;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return in ? s.str() : "<missing>";
  }

  // The role of `path`, and the borehole folder it is about (B-3; empty for none).
  std::pair<Role, std::string> RoleOf(std::string path) const {
    for (std::size_t at; (at = path.find("//")) != std::string::npos;) path.erase(at, 1);
    const std::string s = site.string(), o = out.string();
    if (path == s || path == s + "/") return {Role::kSite, ""};
    if (path.rfind(s + "/", 0) == 0) {
      std::string rest = path.substr(s.size() + 1);
      if (rest.back() == '/') rest.pop_back();
      const std::size_t cut = rest.find('/');
      if (cut == std::string::npos) return {Role::kFolder, rest};
      const std::string name = rest.substr(cut + 1);
      return {name == "." || name == ".." ? Role::kOtherEntry : Role::kSourceFile, rest.substr(0, cut)};
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (path.rfind(o + "/", 0) == 0 && name.rfind(".~pel", 0) == 0) return {Role::kTemporary, ""};
    if (path.rfind(o + "/", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".txt") {
      return {Role::kOutputFile, name.substr(0, name.size() - 4)};
    }
    return {Role::kOutputFolder, ""};
  }

  // What call n (from 1) of a run's `log` is about. Temporary files are written on one
  // thread, one folder at a time and in order: the first a batch opens is its probe of
  // the output folder, each next one the next folder's output.
  std::pair<Role, std::string> About(const std::vector<Call>& log, std::size_t n,
                                     const std::map<std::string, fs::path>& outputs) const {
    auto [role, folder] = RoleOf(log[n - 1].path);
    if (role != Role::kTemporary) return {role, folder};
    std::size_t opened = 0;
    for (std::size_t i = 0; i < n; ++i) {
      opened += log[i].function == "open" && RoleOf(log[i].path).first == Role::kTemporary;
    }
    const bool single = outputs.size() == 1;
    if (!single && opened == 1) return {Role::kProbe, ""};
    return {Role::kTemporary, std::next(outputs.begin(), single ? 0 : static_cast<std::ptrdiff_t>(opened) - 2)->first};
  }

  int Run(const std::vector<std::wstring>& args, std::size_t fail_at, int error) {
    g_injection = Injection{fail_at, error, {}, {}};
    posix::Calls() = kFailing;
    console = Console();
    std::atomic<bool> stop{false};
    posix::PosixFileSystem files;
    CliPorts ports{files, console, stop};
    const int status = RunCli(args, ports);
    posix::Calls() = kSystem;
    return status;
  }

  // Runs `args` with each of its calls failing in turn, each with each of its failures.
  // `outputs` maps each folder to the output it writes; the first folder of `folders`
  // is the one a single conversion is about.
  void FailEachCall(const std::vector<std::wstring>& args, const std::map<std::string, fs::path>& outputs) {
    fs::remove_all(out);
    ASSERT_EQ(Run(args, 0, 0), kExitClean);
    std::map<std::string, std::string> good;
    for (const auto& [folder, output] : outputs) good[folder] = Read(output);
    const std::vector<Call> calls = g_injection.log;
    ASSERT_GT(calls.size(), 20u * outputs.size()) << "the calls go through the table";
    const bool single = outputs.size() == 1;

    for (std::size_t n = 1; n <= calls.size(); ++n) {
      for (const int error : kFailures.at(calls[n - 1].function)) {
        fs::remove_all(out);
        const int status = Run(args, n, error);
        ASSERT_GE(g_injection.log.size(), n);
        const Call call = g_injection.log[n - 1];  // the call that failed in this run
        const auto [role, folder] = About(g_injection.log, n, outputs);
        SCOPED_TRACE(::testing::Message() << "call " << n << ": " << call.function << " " << call.path
                                          << " fails with " << std::strerror(error));
        const Rule* rule = RuleFor(call, role, error);
        ASSERT_NE(rule, nullptr) << "no rule for this failure";
        if (fs::exists(out)) {
          for (const auto& entry : fs::directory_iterator(out)) {
            EXPECT_NE(entry.path().filename().string().rfind(".~pel", 0), 0u) << "a temporary file stayed";
          }
        }
        const bool all = rule->end == End::kAllFailed || (single && rule->end == End::kFailed);
        bool failed = all, missing = false;
        for (const auto& [name, output] : outputs) {
          const End end = all || name == folder ? rule->end : End::kWritten;
          failed |= end == End::kFailed && name == folder;
          missing |= end == End::kWrittenWithoutFile;  // a warning: the file is missing
          const std::string written = Read(output);
          const bool absent = end == End::kLeftOut || end == End::kFailed || end == End::kAllFailed;
          if (end == End::kWritten) {
            EXPECT_EQ(written, good[name]) << name;
          } else if (end == End::kWrittenWithoutFile) {
            EXPECT_TRUE(written != good[name] && written != "<missing>") << name;
          } else if (absent) {
            EXPECT_EQ(written, "<missing>") << name;
          }
        }
        EXPECT_EQ(status, failed ? kExitFailed : missing ? kExitWarnings : kExitClean);
        if (failed) {
          const std::string kind =
              std::string("\"kind\":\"") + (rule->batch_kind && !single ? rule->batch_kind : rule->kind) + "\"";
          EXPECT_NE(console.out.find(std::wstring(kind.begin(), kind.end())), std::wstring::npos) << "no " << kind;
        }
      }
    }
  }

  fs::path root, site, out;
  Console console;
};

std::wstring Wide(const fs::path& p) { return posix::TextName(p.string()); }

TEST_F(FaultTest, AConversionEndsAsItsFailingCallSays) {
  FailEachCall({L"convert", Wide(site / "B-3"), Wide(out / "sub" / "B-3"), L"--json"}, {{"B-3", out / "sub" / "B-3.txt"}});
}

TEST_F(FaultTest, ABatchFailsOnlyTheFolderItsFailingCallIsAbout) {
  std::map<std::string, fs::path> outputs;
  for (int i = 1; i <= 5; ++i) outputs["B-" + std::to_string(i)] = out / ("B-" + std::to_string(i) + ".txt");
  FailEachCall({L"batch", Wide(site), Wide(out), L"--json"}, outputs);
}

}  // namespace
}  // namespace pel::cli
