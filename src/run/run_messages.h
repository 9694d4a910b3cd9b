// The fixed texts of the conversion run.
#pragma once

namespace pel {

inline constexpr wchar_t kStatusConverting[] = L"只今変換中！　しばらくお待ちください。";
inline constexpr wchar_t kStatusDone[] = L"変換が正常に終了しました。";
inline constexpr wchar_t kBadPathMessage[] = L"指定されたパスは正しくありません。";
inline constexpr wchar_t kNoFileNameMessage[] = L"変換先ファイル名が選択されていません。";
inline constexpr wchar_t kCreateFolderQuestion[] = L"フォルダがありません。新規作成しますか？";

}  // namespace pel
