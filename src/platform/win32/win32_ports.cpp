#include "platform/win32/win32_ports.h"

namespace pel::win32 {
namespace {

constexpr UINT kShiftJis = 932;

wchar_t UpperLetter(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Each drive keeps its own current folder in the environment variable "=D:", as the C
// runtime keeps it; "D:out.txt" then names a file in drive D's current folder.
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
  const wchar_t variable[] = {L'=', letter, L':', 0};
  wchar_t folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(variable, folder, MAX_PATH);
  if (length > 0 && length < MAX_PATH && SetCurrentDirectoryW(folder)) return true;
  // No folder remembered, or it is gone: the drive's root.
  const wchar_t root[] = {letter, L':', L'\\', 0};
  return SetCurrentDirectoryW(root);
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
  switch (MessageBoxW(owner_, text.c_str(), caption.c_str(), flags | MB_SETFOREGROUND)) {
    case IDYES: return MessageAnswer::kYes;
    case IDNO: return MessageAnswer::kNo;
    default: return MessageAnswer::kOk;
  }
}

}  // namespace pel::win32
