// pelmora2liq-cli on Linux: the POSIX file system, UTF-8 on both streams. Ctrl+C stops a
// batch between folders; a second one ends the program at once, its temporary file
// removed. An output that has gone away (a closed pipe) stops a batch too.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <string>

#include "cli/cli.h"
#include "platform/posix/posix_file_system.h"
#include "util/cp932.h"

namespace {

std::atomic<bool> g_stop{false};

void OnInterrupt(int) {
  if (!g_stop.exchange(true)) return;
  if (const char* temporary = pel::posix::TemporaryFileBeingWritten()) unlink(temporary);
  _exit(pel::cli::kExitFailed);
}

class PosixConsole : public pel::cli::Console {
 public:
  bool Write(pel::cli::Stream stream, std::wstring_view text) override {
    const std::string bytes = pel::Utf8(text);
    const int fd = Fd(stream);
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  // Asked once for each stream: a batch asks before every folder.
  bool IsTerminal(pel::cli::Stream stream) const override {
    return stream == pel::cli::Stream::kOut ? out_terminal_ : err_terminal_;
  }

 private:
  const bool out_terminal_ = isatty(STDOUT_FILENO) == 1;
  const bool err_terminal_ = isatty(STDERR_FILENO) == 1;
  static int Fd(pel::cli::Stream stream) { return stream == pel::cli::Stream::kOut ? STDOUT_FILENO : STDERR_FILENO; }
};

std::wstring CurrentFolder() {
  std::string buffer(256, '\0');
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return pel::posix::TextName(buffer.c_str());
}

pel::ReportTime LocalTime() {
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return {static_cast<std::int64_t>(now), static_cast<int>(local.tm_gmtoff / 60)};
}

}  // namespace

int main(int argc, char** argv) {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A closed pipe is an error of the write, not the end of the process.
  signal(SIGPIPE, SIG_IGN);

  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(pel::posix::TextName(argv[i]));
  pel::posix::PosixFileSystem fs;
  PosixConsole console;
  pel::cli::CliPorts ports{fs, console, g_stop, CurrentFolder(), LocalTime};
  return pel::cli::RunCli(args, ports);
}
