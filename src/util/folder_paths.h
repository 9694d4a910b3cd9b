// Small helpers that build and cut folder paths. Two ways of taking the parent exist,
// with different contracts, and their names say which is which:
//   PathParent  keeps the separator: D:\GEO\PATDAT gives D:\GEO\ (the discovery walk);
//   FolderAbove drops it but for a root: C:\work\sub gives C:\work (the folder lists).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pel {

// `folder` with a trailing "\" (added unless it already ends with one; "\" for empty text).
std::wstring WithBackslash(std::wstring folder);

// `folder` without a trailing "\", unless it is a drive root such as C:\ .
std::wstring WithoutBackslash(std::wstring folder);

// `folder`, one `separator`, then `name`: C:\src and X1.txt give C:\src\X1.txt, as does
// C:\src\ . An empty folder gives the separator and the name (the root).
std::wstring JoinPath(const std::wstring& folder, std::wstring_view name, wchar_t separator = L'\\');

// The leading part of `path` up to and including its last ":" or "\"; empty when it
// has neither. D:\GEO\PATDAT gives D:\GEO\ and D:PATDAT gives D: .
std::wstring PathParent(const std::wstring& path);

// The folder one level up from a drive-qualified folder without trailing "\" (C:\work\sub
// gives C:\work, C:\work gives C:\); a root, or a path without "\", stays as it is.
std::wstring FolderAbove(const std::wstring& folder);

// The characters that separate the pieces of a path on a system whose own separator is
// `separator`: Windows takes "/" as well as "\"; POSIX only "/".
inline std::wstring_view SeparatorsFor(wchar_t separator) { return separator == L'\\' ? L"\\/" : L"/"; }

// `path` made absolute from `base`, an absolute folder (the current one): a relative path
// joined to it; on Windows (`separator` "\") a path from the root (\x) on the base's drive,
// a drive-relative one (D:x) from the base where it is on that drive, else from the
// drive's root. As it is where it is absolute already or `base` is empty.
std::wstring AbsolutePath(const std::wstring& base, const std::wstring& path, wchar_t separator);

// The folders that lead to `folder`, outermost first, `folder` itself last: C:\a\b gives
// C:\a and C:\a\b, /a/b gives /a and /a/b. A drive (C:) and the server and share of a
// network path (\\server\share) are never among them.
std::vector<std::wstring> FolderLevels(const std::wstring& folder, wchar_t separator);

// A-Z as a-z; every other character as it is. Names are compared this way wherever
// Windows would match them without regard to letter case.
constexpr wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }
bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b);

// True for a drive root in the folder lists' form (C:\), or anything as short.
inline bool IsDriveRoot(std::wstring_view folder) { return folder.size() <= 3; }

}  // namespace pel
