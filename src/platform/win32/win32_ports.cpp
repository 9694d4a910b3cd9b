#include "platform/win32/win32_ports.h"

#include "util/folder_paths.h"
#include "util/message_lines.h"

namespace pel::win32 {
namespace {

constexpr UINT kShiftJis = 932;

wchar_t UpperLetter(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

void RememberCurrentFolder() {
  wchar_t current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  if (length < 2 || length >= MAX_PATH || current[1] != L':') return;
  const wchar_t variable[] = {L'=', UpperLetter(current[0]), L':', 0};
  SetEnvironmentVariableW(variable, current);
}

}  // namespace

bool Win32Drives::MakeDriveCurrent(wchar_t letter) {
  letter = UpperLetter(letter);
  if (letter < L'A' || letter > L'Z') return false;
  RememberCurrentFolder();
  const std::wstring folder = CurrentFolderOf(letter);
  if (SetCurrentDirectoryW(folder.c_str())) return true;
  // The folder remembered for the drive is gone: its root.
  const wchar_t root[] = {letter, L':', L'\\', 0};
  return SetCurrentDirectoryW(root);
}

bool Win32Drives::IsDriveReady(wchar_t letter) const {
  letter = UpperLetter(letter);
  if (letter < L'A' || letter > L'Z') return false;
  const wchar_t root[] = {letter, L':', L'\\', 0};
  const UINT type = GetDriveTypeW(root);
  if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) return false;
  return GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
}

std::wstring Win32Drives::DriveLetters() const {
  std::wstring letters;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) letters += static_cast<wchar_t>(L'A' + i);
  }
  return letters;
}

std::wstring Win32Drives::VolumeLabel(wchar_t letter) const {
  const wchar_t root[] = {UpperLetter(letter), L':', L'\\', 0};
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
  return label;
}

std::wstring Win32Drives::CurrentFolderOf(wchar_t letter) const {
  letter = UpperLetter(letter);
  wchar_t current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  if (length >= 2 && length < MAX_PATH && UpperLetter(current[0]) == letter && current[1] == L':') {
    return WithoutBackslash(current);
  }
  const wchar_t variable[] = {L'=', letter, L':', 0};
  wchar_t folder[MAX_PATH];
  const DWORD remembered = GetEnvironmentVariableW(variable, folder, MAX_PATH);
  if (remembered > 0 && remembered < MAX_PATH) return WithoutBackslash(folder);
  return std::wstring{letter, L':', L'\\'};
}

std::wstring Win32Drives::CurrentFolder() const {
  wchar_t current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  if (length == 0 || length >= MAX_PATH) return {};
  return WithoutBackslash(current);
}

bool Win32Drives::MakeFolderCurrent(const std::wstring& folder) {
  RememberCurrentFolder();
  if (!SetCurrentDirectoryW(folder.c_str())) return false;
  RememberCurrentFolder();
  return true;
}

std::wstring Win32Process::ProgramFolder() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos) return {};
  // A drive root keeps its backslash: C:\ .
  return path.substr(0, cut == 2 ? 3 : cut);
}

std::wstring Win32Process::Variable(const std::wstring& name) const {
  const DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), needed);
  value.resize(length < needed ? length : 0);
  return value;
}

void Win32Process::LetEventsRun() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32HelpViewer::Invoke(const std::wstring& help_file, unsigned command, unsigned long data) {
  ::WinHelpW(owner_, help_file.c_str(), command, static_cast<ULONG_PTR>(data));
}

std::string Win32TextCodec::ToCp932(std::wstring_view text) const {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(kShiftJis, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(kShiftJis, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::wstring Win32TextCodec::FromCp932(std::string_view bytes) const {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(kShiftJis, 0, bytes.data(), length, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(kShiftJis, 0, bytes.data(), length, text.data(), needed);
  return text;
}

MessageAnswer Win32MessageBoxes::Show(const std::wstring& text, const std::wstring& caption, MessageButtons buttons,
                                      MessageIcon icon) {
  UINT flags = buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MessageIcon::kNone: break;
    case MessageIcon::kExclamation: flags |= MB_ICONEXCLAMATION; break;
    case MessageIcon::kQuestion: flags |= MB_ICONQUESTION; break;
    case MessageIcon::kInformation: flags |= MB_ICONINFORMATION; break;
  }
  // A long path would make the box wider than the screen; the texts stay whole elsewhere.
  const std::wstring lines = BreakLongLines(text);
  switch (MessageBoxW(owner_, lines.c_str(), caption.c_str(), flags | MB_SETFOREGROUND)) {
    case IDYES: return MessageAnswer::kYes;
    case IDNO: return MessageAnswer::kNo;
    default: return MessageAnswer::kOk;
  }
}

}  // namespace pel::win32
