// pelmora2liq-cli: one borehole folder or a whole site converted, or checked, from the
// command line, through the same core as the window:
//   pelmora2liq-cli convert SOURCE_FOLDER DESTINATION [--json]
//   pelmora2liq-cli batch PARENT_FOLDER OUTPUT_FOLDER [--recursive] [--report FILE.html] [--json]
//   pelmora2liq-cli check SOURCE_FOLDER [--json]
// The window's path rules (drive letters, 8.3 pieces) do not apply here.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "platform/file_system.h"
#include "report/site_report.h"

namespace pel::cli {

// Exit status.
inline constexpr int kExitClean = 0;     // done, no warnings
inline constexpr int kExitWarnings = 1;  // done, with warnings
inline constexpr int kExitFailed = 2;    // at least one conversion failed, or the batch was stopped
inline constexpr int kExitUsage = 64;    // wrong usage

struct CliPorts {
  FileSystem& fs;
  Console& console;
  // Set from another thread or a signal handler: a batch stops between folders.
  const std::atomic<bool>& stop;
  // The current folder, from which relative paths are made absolute in a site report's links.
  std::wstring current_folder = {};
  // Now, with the local time's offset from UTC: a site report's date where SOURCE_DATE_EPOCH
  // is not set (none: UTC now).
  std::function<ReportTime()> local_time = {};
};

// Runs the command named by `args` (without the program's own name); the exit status.
int RunCli(const std::vector<std::wstring>& args, CliPorts& ports);

// The help text that --help prints.
std::wstring HelpText();

}  // namespace pel::cli
