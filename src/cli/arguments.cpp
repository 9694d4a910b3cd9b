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
  for (const auto& a : args) {
    if (a == L"--help" || a == L"-h" || a == L"/?") {
      c.kind = Command::Kind::kHelp;
      return c;
    }
    if (a == L"--version") {
      c.kind = Command::Kind::kVersion;
      return c;
    }
    if (a == L"--json") {
      c.json = true;
    } else if (a == L"--recursive") {
      c.recursive = true;
    } else if (a.size() > 1 && a[0] == L'-' && a[1] == L'-') {
      return Wrong(std::wstring(texts::kCliUnknownOption) + L": " + a);
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return Wrong(texts::kCliUnknownCommand);
  const std::wstring& name = words[0];
  if (c.recursive && name != L"batch") return Wrong(std::wstring(texts::kCliUnknownOption) + L": --recursive");
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
