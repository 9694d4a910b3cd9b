#include "cli/arguments.h"

#include "util/user_texts.h"

namespace pel::cli {
namespace {

Command Wrong(std::wstring reason) {
  Command c;
  c.wrong = std::move(reason);
  return c;
}

}  // namespace

Command ParseArguments(const std::vector<std::wstring>& args) {
  Command c;
  std::vector<std::wstring> words;
  bool options = true;
  std::wstring unknown;  // the first option this program does not take
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    const bool option = options && ((a.size() > 1 && a[0] == L'-' && a[1] == L'-') || a == L"-h" || a == L"/?");
    if (!option) {
      words.push_back(a);
    } else if (a == L"--") {
      options = false;
    } else if (a == L"--help" || a == L"-h" || a == L"/?") {
      c.kind = Command::Kind::kHelp;
      return c;
    } else if (a == L"--version") {
      c.kind = Command::Kind::kVersion;
    } else if (a == L"--json") {
      c.json = true;
    } else if (a == L"--recursive") {
      c.recursive = true;
    } else if (a == L"--utf8") {
      c.utf8 = true;
    } else if (a == L"--report" && i + 1 < args.size()) {
      c.report = args[++i];
    } else if (unknown.empty()) {
      unknown = a;
    }
  }
  if (c.kind == Command::Kind::kVersion) return c;
  if (!unknown.empty()) return Wrong(std::wstring(texts::kCliUnknownOption) + L": " + unknown);
  if (words.empty()) return Wrong(texts::kCliUnknownCommand);
  const std::wstring& name = words[0];
  if (name != L"batch") {
    if (c.recursive) return Wrong(std::wstring(texts::kCliUnknownOption) + L": --recursive");
    if (!c.report.empty()) return Wrong(std::wstring(texts::kCliUnknownOption) + L": --report");
  }
  const struct {
    const wchar_t* name;
    Command::Kind kind;
    std::size_t operands;
  } kCommands[] = {{L"convert", Command::Kind::kConvert, 2}, {L"check", Command::Kind::kCheck, 1},
                   {L"batch", Command::Kind::kBatch, 2}};
  for (const auto& command : kCommands) {
    if (name != command.name) continue;
    if (words.size() != command.operands + 1) return Wrong(texts::kCliWrongArguments);
    c.kind = command.kind;
    c.operands.assign(words.begin() + 1, words.end());
    return c;
  }
  return Wrong(std::wstring(texts::kCliUnknownCommand) + L": " + name);
}

}  // namespace pel::cli
