#include "paths/path_validation.h"

#include <algorithm>

namespace pel {

std::int16_t AnsiByteLength(const TextCodec& codec, const std::wstring& text) {
  const std::size_t bytes = codec.ToCp932(text).size();
  return static_cast<std::int16_t>(std::min<std::size_t>(bytes, 32767));
}

std::wstring AnsiByteMid(const TextCodec& codec, const std::wstring& text, int start, int length) {
  const std::string bytes = codec.ToCp932(text);
  if (start < 1 || length <= 0 || static_cast<std::size_t>(start) > bytes.size()) return {};
  return codec.FromCp932(std::string_view(bytes).substr(static_cast<std::size_t>(start - 1),
                                                        static_cast<std::size_t>(length)));
}

std::wstring TrimSpaces(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

PathVerdict ValidatePath(std::wstring& path, Drives& drives, const TextCodec& codec) {
  constexpr PathVerdict kRejected = PathVerdict::kRejected;
  path = TrimSpaces(path);

  // The drive part: one single-byte character and a colon.
  if (AnsiByteMid(codec, path, 2, 1) != L":") return PathVerdict::kDriveForm;
  if (path.find_first_of(L"*? ") != std::wstring::npos) return kRejected;
  if (path.size() > 2 && path[2] != L'\\') path.insert(2, 1, L'\\');
  if (!drives.MakeDriveCurrent(path[0])) return kRejected;
  if (path.back() != L'\\') path += L'\\';
  if (path.size() == 3) return PathVerdict::kAccepted;  // a drive root, C:\ .
  if (path.find(L"\\\\") != std::wstring::npos) return kRejected;

  // Each piece between two backslashes: at most 8 characters before its first dot,
  // at most 3 bytes after it, a single dot.
  for (std::size_t begin = 3, end; (end = path.find(L'\\', begin)) != std::wstring::npos; begin = end + 1) {
    const std::wstring piece = path.substr(begin, end - begin);
    const std::size_t dot = piece.find(L'.');
    if (dot == std::wstring::npos) continue;
    const auto d = static_cast<int>(dot) + 1;
    if (d > 9) return kRejected;
    if (AnsiByteLength(codec, piece) > d + 3) return kRejected;
    if (piece.find(L'.', dot + 1) != std::wstring::npos) return kRejected;
  }
  return PathVerdict::kAccepted;
}

}  // namespace pel
