// Validation and normalization of the paths the user gives.
#pragma once

#include <cstdint>
#include <string>

#include "platform/drives.h"
#include "platform/text_codec.h"

namespace pel {

// The number of bytes of `text` in code page 932.
std::int16_t AnsiByteLength(const TextCodec& codec, const std::wstring& text);

// Bytes `start` (from 1) to `start + length - 1` of the code page 932 form of `text`,
// fewer where the text is shorter, converted back to text.
std::wstring AnsiByteMid(const TextCodec& codec, const std::wstring& text, int start, int length);

// Spaces removed from both ends.
std::wstring TrimSpaces(const std::wstring& text);

enum class PathVerdict {
  kAccepted,
  kDriveForm,  // the drive part is not one letter and a colon: the caller shows the drive message
  kRejected,
};

// Decides whether `path` is acceptable and normalizes it in place: trimmed, "\" after
// the drive colon, a trailing "\". Rejects a malformed drive part, wildcards and blanks,
// a drive that cannot be made current, empty levels, and pieces with more than 8
// characters before their first dot, more than 3 bytes after it or a second dot. An
// accepted path's drive is left current.
PathVerdict ValidatePath(std::wstring& path, Drives& drives, const TextCodec& codec);

}  // namespace pel
