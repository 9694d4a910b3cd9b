#include "platform/win32/win32_system.h"

#include "platform/win32/win32_handles.h"
#include "util/cp932.h"
#include "util/user_texts.h"

namespace pel::win32 {

void UseQuietErrorModeAndSafeDllSearch() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SetDllDirectoryW(L"");
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::wstring SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocal owned(buffer);
  std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = texts::FillText(texts::kErrorCode, {std::to_wstring(code)});
  return text;
}

std::string TextInCodePage(std::wstring_view text, UINT code_page) {
  if (text.empty()) return {};
  if (code_page != CP_UTF8) {
    const int length = static_cast<int>(text.size());
    const auto convert = [&](char* out, int size) {
      return WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), length, out, size, "?", nullptr);
    };
    if (const int needed = convert(nullptr, 0); needed > 0) {
      std::string bytes(static_cast<std::size_t>(needed), '\0');
      if (convert(bytes.data(), needed) == needed) return bytes;
    }
  }
  return Utf8(text);
}

}  // namespace pel::win32
