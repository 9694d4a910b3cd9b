// The command line on real folders of this machine, natively, through the POSIX adapter:
// exit statuses, what is written and what is not, batches with failing folders.
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/posix_file_system.h"

namespace pel::cli {
namespace {

namespace fs = std::filesystem;

class CapturedConsole : public Console {
 public:
  // Takes `out_room` characters of the output at most, then reports it gone (a closed pipe).
  bool Write(Stream stream, std::wstring_view text) override {
    std::wstring& to = stream == Stream::kOut ? out : err;
    if (stream == Stream::kOut && out.size() + text.size() > out_room) return false;
    to += text;
    return true;
  }
  bool IsTerminal(Stream) const override { return terminal; }
  std::wstring out, err;
  bool terminal = false;
  std::size_t out_room = SIZE_MAX;
};

std::string X5(const std::string& depth, const std::string& value) {
  return "1," + depth + "," + value + ",4,5,6,7,8,9,10,11\r\n";
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pel-cli-XXXXXX";
    root = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(root); }

  void Write(const std::string& relative, const std::string& bytes) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(root / relative, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A borehole folder: clean, with a warning (an X5 value that is not a number), or one
  // that cannot be converted (a layer value too wide for its field).
  void Borehole(const std::string& relative, const std::string& kind = "clean") {
    Write(relative + "/titl01.txt", "\"No.1\"\r\n");
    Write(relative + "/X1.txt", kind == "failing" ? "1,123456789,a,b\r\n" : "1,2.5,a,b\r\n");
    Write(relative + "/X5.txt", X5("1.0", kind == "warning" ? "abc" : "12"));
    Write(relative + "/X100.txt", "1,2,1.0" + std::string(41, ',') + "\r\n");
  }
  std::wstring Path(const std::string& relative) const { return posix::TextName((root / relative).string()); }
  int Run(std::vector<std::wstring> args) {
    console = CapturedConsole();
    std::atomic<bool> no_stop{false};
    CliPorts ports{files, console, stop ? *stop : no_stop};
    return RunCli(args, ports);
  }

  fs::path root;
  posix::PosixFileSystem files;
  CapturedConsole console;
  std::atomic<bool>* stop = nullptr;
};

TEST_F(CliTest, WrongUsageIs64) {
  for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
           {}, {L"convert", L"a"}, {L"check"}, {L"frobnicate", L"a"}, {L"check", L"a", L"--bogus"},
           {L"check", L"a", L"--recursive"}, {L"convert", L"a", L"b", L"--report", L"r.html"},
           {L"check", L"a", L"--report", L"r.html"}, {L"batch", L"a", L"b", L"--report"},
           {L"check", L"--", L"a", L"--json"}}) {
    EXPECT_EQ(Run(args), kExitUsage) << args.size();
    EXPECT_NE(console.err.find(L"--help"), std::wstring::npos);
    EXPECT_TRUE(console.out.empty());
  }
  Run({L"check", L"a", L"--recursive"});
  EXPECT_NE(console.err.find(L"指定できないオプションです: --recursive"), std::wstring::npos);
  EXPECT_EQ(Run({L"check", L"--bogus", L"--version"}), kExitClean);
  EXPECT_EQ(console.out, L"pelmora2liq-cli 1.0.0\n");
}

TEST_F(CliTest, ConvertAndCheckExitStatusesAndWhatIsWritten) {
  Borehole("clean");
  Borehole("warning", "warning");
  Borehole("failing", "failing");
  Write("out/keep.txt", "old");
  const struct {
    std::vector<std::wstring> args;
    int status;
    std::string written;  // relative path of the output, or empty
  } cases[] = {
      {{L"convert", Path("clean"), Path("out/new/clean")}, kExitClean, "out/new/clean.txt"},
      {{L"convert", Path("clean"), Path("out/upper.TXT")}, kExitClean, "out/upper.TXT"},
      {{L"convert", Path("warning"), Path("out/warning"), L"--json"}, kExitWarnings, "out/warning.txt"},
      {{L"convert", Path("failing"), Path("out/keep")}, kExitFailed, ""},
      {{L"convert", Path("missing"), Path("out/missing")}, kExitFailed, ""},
      {{L"check", Path("warning")}, kExitWarnings, ""},
      {{L"check", Path("failing")}, kExitFailed, ""},
      {{L"convert", Path("fifo"), Path("out/fifo")}, kExitFailed, ""},
      {{L"check", Path("device"), L"--json"}, kExitFailed, ""},
  };
  // A pipe or a device under a file's name: refused, never waited on.
  Borehole("fifo");
  fs::remove(root / "fifo/X5.txt");
  ASSERT_EQ(mkfifo((root / "fifo/X5.txt").c_str(), 0666), 0);
  Borehole("device");
  fs::remove(root / "device/X1.txt");
  fs::create_symlink("/dev/null", root / "device/X1.txt");
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(Run(c.args), c.status);
    if (!c.written.empty()) {
      EXPECT_EQ(Read(c.written).substr(0, 14), "TITLE     No.1");
    }
    EXPECT_EQ(console.err.find(L": エラー: ") != std::wstring::npos, c.status == kExitFailed);
    if (c.args[1].find(L"fifo") != std::wstring::npos || c.args[1].find(L"device") != std::wstring::npos) {
      EXPECT_NE(console.err.find(L"通常のファイルではないため読み込めません。"), std::wstring::npos) << console.err;
    }
  }
  EXPECT_EQ(Read("out/keep.txt"), "old");
  // A conversion says what it wrote; a folder without any of the files is an error.
  Run({L"convert", Path("clean"), Path("out/again")});
  EXPECT_EQ(console.out, Path("out/again.txt") + L" に書き込みました（層 1 件、深度 1 点、警告 0 件、情報 0 件）。\n");
  fs::create_directories(root / "empty");
  EXPECT_EQ(Run({L"convert", Path("empty"), Path("out/empty"), L"--json"}), kExitFailed);
  EXPECT_NE(console.out.find(L"\"kind\":\"no-source-files\""), std::wstring::npos);
  EXPECT_EQ(Read("out/empty.txt"), "<missing>");
  EXPECT_EQ(Run({L"check", Path("empty")}), kExitFailed);
  EXPECT_NE(console.err.find(L"変換元フォルダに変換するファイルがありません。"), std::wstring::npos);
  // After "--" a word is a folder, whatever it looks like.
  Borehole("--json");
  const fs::path before = fs::current_path();
  fs::current_path(root);
  EXPECT_EQ(Run({L"check", L"--", L"--json"}), kExitClean);
  fs::current_path(before);
  EXPECT_TRUE(console.out.empty());
  EXPECT_EQ(Read("out/missing.txt"), "<missing>");
  Run({L"check", Path("warning")});
  EXPECT_EQ(console.out, Path("warning") + L"/X5.txt:1: 警告: X5 の値「abc」は正の数ではないため、0 として出力しました。\n");
}

TEST_F(CliTest, SourceNamesAreFoundWhateverTheirCaseButTwoAlikeAreAnError) {
  Write("lower/titl01.txt", "T");
  Write("lower/x1.TXT", "1,abc,a,b\r\n");
  EXPECT_EQ(Run({L"check", Path("lower")}), kExitWarnings);
  EXPECT_EQ(console.out.substr(0, console.out.find(L':', 1)), Path("lower") + L"/x1.TXT");

  Write("lower/X1.txt", "1,2,a,b\r\n");
  EXPECT_EQ(Run({L"check", Path("lower"), L"--json"}), kExitFailed);
  EXPECT_NE(console.out.find(L"\"kind\":\"name-case-clash\""), std::wstring::npos);
  EXPECT_NE(console.err.find(L"x1.TXT"), std::wstring::npos);
  EXPECT_NE(console.err.find(L"X1.txt"), std::wstring::npos);

  // A backslash is part of a name here, never a separator.
  Write("back\\slash/X1.txt", "1,abc,a,b\r\n");
  EXPECT_EQ(Run({L"check", Path("back\\slash")}), kExitWarnings);
  EXPECT_NE(console.out.find(L"\n" + Path("back\\slash") + L"/X1.txt:1: "), std::wstring::npos) << console.out;
  // The files it lacks, named without a line.
  EXPECT_EQ(console.out.substr(0, console.out.find(L'\n')),
            Path("back\\slash") + L"/titl01.txt: 警告: titl01.txt がありません。タイトルは空欄のまま出力しました。");
}

TEST_F(CliTest, ARefusedDestinationKeepsItsContentAndLeavesNoTemporaryFile) {
  Borehole("clean");
  Write("out/readonly.txt", "old");
  chmod((root / "out/readonly.txt").c_str(), 0444);  // root may write it; the adapter refuses
  EXPECT_EQ(Run({L"convert", Path("clean"), Path("out/readonly")}), kExitFailed);
  EXPECT_EQ(Read("out/readonly.txt"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "out"), fs::directory_iterator()), 1);
}

TEST_F(CliTest, BatchGoesOnPastAFailingFolderAndNeverOverwritesAClash) {
  Borehole("site/B-1");
  Borehole("site/B-2", "failing");
  Borehole("site/B-3", "warning");
  Write("site/notes/readme.md", "not a borehole");
  Borehole("site/deep/b-1");  // only with --recursive; its output name clashes with B-1's
  Write("site/bad\xff/X1.txt", "1,2,a,b\r\n");
  for (const char* name : {"C-01", "C-02", "C-03", "C-04", "C-05", "C-06", "C-07", "C-08", "C-09", "C-10", "C-11", "C-12"}) {
    Borehole(std::string("site/") + name);  // enough folders for the site to be listed on two threads
  }

  EXPECT_EQ(Run({L"batch", Path("site"), Path("out")}), kExitFailed);
  EXPECT_NE(Read("out/B-1.txt"), "<missing>");
  EXPECT_EQ(Read("out/B-2.txt"), "<missing>");
  EXPECT_NE(Read("out/B-3.txt"), "<missing>");
  // A name that is not UTF-8 is converted under the same bytes, and shown as them.
  EXPECT_NE(Read("out/bad\xff.txt"), "<missing>");
  EXPECT_NE(console.out.find(L"/site/bad\\xFF/titl01.txt: "), std::wstring::npos) << console.out;
  EXPECT_NE(console.out.find(L"フォルダ 16、変換 15（うち警告あり 2）、失敗 1"), std::wstring::npos) << console.out;

  fs::remove_all(root / "out");
  EXPECT_EQ(Run({L"batch", Path("site"), Path("out"), L"--recursive", L"--json"}), kExitFailed);
  EXPECT_EQ(Read("out/B-1.txt"), "<missing>");
  EXPECT_EQ(Read("out/b-1.txt"), "<missing>");
  EXPECT_NE(console.out.find(L"\"output-name-clash\""), std::wstring::npos);
  EXPECT_NE(console.out.find(L"\"summary\":{\"folders\":17,\"converted\":14,\"with_warnings\":2,\"failed\":3}"),
            std::wstring::npos) << console.out;
  EXPECT_NE(console.out.find(L"\"source\":\"" + Path("site") + L"/bad\\\\xFF\""), std::wstring::npos);
  for (wchar_t c : console.out) ASSERT_LT(static_cast<unsigned>(c), 0x80u) << "JSON is ASCII";

  // An output that goes away (a closed pipe) stops the batch as Ctrl+C does.
  fs::remove_all(root / "out");
  console = CapturedConsole();
  console.out_room = 10;
  std::atomic<bool> no_stop{false};
  CliPorts ports{files, console, no_stop};
  EXPECT_EQ(RunCli({L"batch", Path("site"), Path("out"), L"--json"}, ports), kExitFailed);
  EXPECT_TRUE(console.out.empty());
  EXPECT_NE(console.err.find(L"中断しました"), std::wstring::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(root / "out"), fs::directory_iterator()), 1);
}

// A batch that cannot start fails once, before any folder is read, and makes nothing.
TEST_F(CliTest, ABatchWithoutFoldersOrWithoutAUsableOutputFailsOnce) {
  Borehole("site/deep/B-1");
  Write("file", "not a folder");
  const struct {
    std::vector<std::wstring> args;
    std::string kind;
    std::wstring says;
  } cases[] = {
      {{L"batch", Path("site"), Path("out"), L"--json"}, "no-borehole-folders", L"--recursive"},
      {{L"batch", Path("empty"), Path("out"), L"--json"}, "no-borehole-folders", L"（titl01.txt、"},
      {{L"batch", Path("site"), Path("file"), L"--recursive", L"--json"}, "output-folder-unusable", Path("file")},
  };
  fs::create_directories(root / "empty");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(Run(c.args), kExitFailed);
    EXPECT_EQ(console.out.rfind(L"{\"error\":{\"kind\":\"" + std::wstring(c.kind.begin(), c.kind.end()) + L"\"", 0), 0u)
        << console.out;
    EXPECT_EQ(console.out.find(L"\"folders\""), std::wstring::npos);
    EXPECT_NE(console.err.find(c.says), std::wstring::npos) << console.err;
    EXPECT_FALSE(fs::exists(root / "out"));
  }
}

// --report: the page is written after the batch, whole or not at all; one that cannot be
// written is an error of its own (status 2), the batch's outputs written all the same.
TEST_F(CliTest, ABatchWritesItsSiteReportWholeOrSaysWhyNot) {
  Borehole("site/B-1");
  Borehole("site/B-3", "warning");
  Borehole("site/<script>");
  Write("file", "not a folder");
  Write("old/site.html", "old");
  chmod((root / "old/site.html").c_str(), 0444);
  const struct {
    std::string report;  // relative to root
    bool json;
    int status;
    bool written;
  } cases[] = {
      {"out/site.html", false, kExitWarnings, true},
      {"out/site.html", true, kExitWarnings, true},
      {"reports/deeper/site.html", false, kExitWarnings, true},  // missing folders are made
      {"file/site.html", false, kExitFailed, false},             // a folder above it is a file
      {"file/site.html", true, kExitFailed, false},
      {"out", false, kExitFailed, false},                        // a folder of that name
      {"old/site.html", false, kExitFailed, false},              // a read-only file is never replaced
  };
  setenv("SOURCE_DATE_EPOCH", "1796789100", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.report + (c.json ? " --json" : ""));
    fs::remove_all(root / "out");
    fs::remove_all(root / "reports");
    std::vector<std::wstring> args{L"batch", Path("site"), Path("out"), L"--report", Path(c.report)};
    if (c.json) args.push_back(L"--json");
    EXPECT_EQ(Run(args), c.status);
    EXPECT_NE(Read("out/B-1.txt"), "<missing>");
    const std::string page = Read(c.report);
    if (c.written) {
      EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
      EXPECT_NE(page.find("id=\"s-folders\">3<"), std::string::npos);
      EXPECT_NE(page.find("2026-12-09T04:05:00+00:00"), std::string::npos);
      EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
      EXPECT_EQ(page.find("<script"), std::string::npos);
      EXPECT_TRUE(console.err.empty()) << console.err;
    } else {
      EXPECT_NE(console.err.find(L"サイトの報告を書き込めません。 " + Path(c.report)), std::wstring::npos) << console.err;
      EXPECT_TRUE(page == "<missing>" || page == "old" || fs::is_directory(root / c.report)) << page.substr(0, 40);
    }
    if (c.json) {
      const std::wstring error = c.written ? L"null" : L"{\"kind\":\"report-write-failed\"";
      EXPECT_NE(console.out.find(L"\"report\":{\"file\":\"" + Path(c.report) + L"\",\"error\":" + error), std::wstring::npos)
          << console.out;
    }
    const fs::path folder = (root / c.report).parent_path();
    if (fs::is_directory(folder)) {
      for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename().string().rfind(".~pel", 0), std::string::npos) << "a temporary file stayed";
      }
    }
  }
  unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(CliTest, AStoppedBatchEndsBetweenFoldersWithStatus2) {
  Borehole("site/B-1");
  std::atomic<bool> stopped{true};
  stop = &stopped;
  EXPECT_EQ(Run({L"batch", Path("site"), Path("out")}), kExitFailed);
  EXPECT_EQ(Read("out/B-1.txt"), "<missing>");
  EXPECT_NE(console.err.find(L"中断しました"), std::wstring::npos);
}

}  // namespace
}  // namespace pel::cli
