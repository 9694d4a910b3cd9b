// Every text the user reads: captions, status texts and messages, in one place.
// A message with blanks to fill holds "{}" for each, filled in order by FillText.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace pel::texts {

// --- Captions ----------------------------------------------------------------------

// The caption of message boxes that give none of their own.
inline constexpr wchar_t kApplicationTitle[] = L"Vomel";
inline constexpr wchar_t kForm1Caption[] = L"Pelmora -> 液状化判定ﾌｧｲﾙ";

// --- Label3, the status line -------------------------------------------------------

inline constexpr wchar_t kStatusConverting[] = L"只今変換中！　しばらくお待ちください。";
inline constexpr wchar_t kStatusDone[] = L"変換が正常に終了しました。";

// --- Start-up ----------------------------------------------------------------------

// No PATDAT folder beside the program or on any drive; the program ends.
inline constexpr wchar_t kNoPatdat[] = L" PATDAT の設定がありません.";
// The window of a search over the drives that takes a while: above the folder it has
// reached, and its button, which ends the search as if nothing were found.
inline constexpr wchar_t kPatdatSearching[] = L"PATDAT フォルダを探しています";
inline constexpr wchar_t kPatdatStop[] = L"中止";
// The window or one of its parts could not be made; {} is the system's reason.
inline constexpr wchar_t kCannotStart[] = L"画面を作成できません。\n{}";

// --- Paths -------------------------------------------------------------------------

// A path whose drive part is not one letter and a colon (shown before kBadPath).
inline constexpr wchar_t kDriveForm[] =
    L"規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" でなければいけません。  例 \"C:\", \"D:\"...";
inline constexpr wchar_t kBadPath[] = L"指定されたパスは正しくありません。";
inline constexpr wchar_t kNoFileName[] = L"変換先ファイル名が選択されていません。";
inline constexpr wchar_t kCreateFolderQuestion[] = L"フォルダがありません。新規作成しますか？";
// {} the most levels, {} the destination file.
inline constexpr wchar_t kPathTooDeep[] = L"変換先のパスの階層が深すぎます（{} 階層まで）。\n{}";
// {} the folder, {} the system's reason.
inline constexpr wchar_t kCannotCreateFolder[] = L"フォルダを作成できません。\n{}\n{}";
inline constexpr wchar_t kCannotOpenFolder[] = L"フォルダを開けません。\n{}\n{}";

// --- The conversion ----------------------------------------------------------------

// {} the folder.
inline constexpr wchar_t kNoSourceFiles[] =
    L"変換元フォルダに変換するファイルがありません。\n{}\n（titl01.txt、X1.txt、X5.txt、X100.txt）";
// {} the file.
inline constexpr wchar_t kNotARegularFile[] = L"通常のファイルではないため読み込めません。\n{}";
// {} the file, {} the system's reason.
inline constexpr wchar_t kUnreadable[] = L"ファイルを読み込めません。\n{}\n{}";
// {} the most records, {} the file.
inline constexpr wchar_t kTooManyRecords[] = L"レコード数が多すぎます（{} 件まで）。\n{}";
inline constexpr wchar_t kTooManyPoints[] = L"X5.txt と X100.txt のレコード数の合計が多すぎます（{} 件まで）。\n{}";
// {} integer places, {} the file, {} line, {} record, {} field, {} the value as the file holds it.
inline constexpr wchar_t kValueTooWide[] =
    L"数値が出力欄の整数 {} 桁に収まりません。\n{}\n{} 行目（レコード {}、項目 {}）の値：{}\n変換先ファイルは書き込んでいません。";
// {} the destination file, {} the system's reason.
inline constexpr wchar_t kWriteFailed[] = L"変換先ファイルを書き込めません。\n{}\n{}";
// The reason given for a source file beyond the size any borehole export can have.
inline constexpr wchar_t kFileTooLarge[] = L"ファイルが大きすぎます。";
inline constexpr wchar_t kNotARegularFileReason[] = L"通常のファイルではありません。";
// On a system that tells letter cases apart, two source files whose names differ only in
// case. {} and {} the two files.
inline constexpr wchar_t kNamesDifferOnlyInCase[] =
    L"名前が大文字と小文字だけ違うファイルが 2 つあるため、どちらを読むか決められません。\n{}\n{}";
// The reason given when the system has no text for its error code {}.
inline constexpr wchar_t kErrorCode[] = L"エラー コード {}";

// --- The conversion check: one message per finding kind ---------------------------

// {} the X5 value as the file holds it.
inline constexpr wchar_t kFindingX5ValueReplaced[] = L"X5 の値「{}」は正の数ではないため、0 として出力しました。";
inline constexpr wchar_t kFindingX5ValueEmpty[] = L"X5 の値が空欄のため、0 として出力しました。";
// {} the value, {} what was written.
inline constexpr wchar_t kFindingNotANumber[] = L"値「{}」は数値ではありません。「{}」として出力しました。";
// {} the value, {} decimals of the column, {} what was written.
inline constexpr wchar_t kFindingValueCutToZero[] =
    L"値「{}」は 0 ではありませんが、小数 {} 桁の欄では「{}」になりました。";
inline constexpr wchar_t kFindingBlankWritten[] = L"値が空のため、空欄のまま出力しました。";
// {} this depth, {} the depth of the record before.
inline constexpr wchar_t kFindingDepthOutOfOrder[] = L"深度「{}」が前のレコードの深度「{}」より浅くなっています。";
inline constexpr wchar_t kFindingDepthRepeated[] = L"深度「{}」が前のレコードの深度と同じです。";
// {} the rows written at most, {} the first row not written, {} the records or rows not written.
inline constexpr wchar_t kFindingLayersNotWritten[] = L"層は {} 件までしか出力されません。{} 件目からの {} 件は出力していません。";
inline constexpr wchar_t kFindingPointsNotWritten[] = L"深度は {} 点までしか出力されません。{} 点目からの {} 点は出力していません。";
// {} the fields the record has, {} the fields a record should have.
inline constexpr wchar_t kFindingShortLastRecord[] =
    L"最後のレコードの項目が {} 個しかありません（1 レコード {} 項目）。足りない項目は空として読みました。";
inline constexpr wchar_t kFindingUnclosedQuote[] =
    L"引用符（\"）が閉じられていないため、ファイルの終わりまでを 1 つの値として読みました。";
inline constexpr wchar_t kFindingDataAfterEndMark[] = L"ファイル終端記号（0x1A）の後ろのデータは読み込んでいません。";
// One of the four files absent: why ({} the file), then what the output lacks for it.
inline constexpr wchar_t kFindingFileMissing[] = L"{} がありません。";
inline constexpr wchar_t kFindingFileHidden[] = L"{} は隠しファイルかシステム ファイルのため、ないものとして扱いました。";
inline constexpr wchar_t kFindingFileIsFolder[] = L"{} はファイルではなくフォルダのため、ないものとして扱いました。";
// By file: titl01.txt, X1.txt, X5.txt, X100.txt.
inline constexpr const wchar_t* kFindingFileMissingLacks[] = {
    L"タイトルは空欄のまま出力しました。", L"層は出力していません。",
    L"X5.txt からの深度と X5 の値は出力していません。", L"X100.txt からの深度と室内試験の値は出力していません。"};
// {} the characters written, {} the part of the title that was cut.
inline constexpr wchar_t kFindingTitleCut[] = L"タイトルは {} 文字までしか出力されません。「{}」は出力していません。";

// --- The report window -------------------------------------------------------------

inline constexpr wchar_t kReportMenu[] = L"変換結果の確認...";
// Followed by the destination file's name.
inline constexpr wchar_t kReportCaption[] = L"変換結果の確認 - ";
// {} layers written, {} layers in the file, {} points written, {} points merged, {} warnings, {} infos.
inline constexpr wchar_t kReportCounts[] = L"層 {} / {} 件、深度 {} / {} 点を出力　警告 {} 件、情報 {} 件";
inline constexpr wchar_t kReportNoWarnings[] = L"警告はありません";
inline constexpr wchar_t kReportSave[] = L"保存...";
inline constexpr wchar_t kReportClose[] = L"閉じる";
inline constexpr wchar_t kReportDepthScale[] = L"深度";
// The title of the profile's value scale.
inline constexpr wchar_t kReportValueScale[] = L"X5";
// Between the counts and kReportNoWarnings in the summary: a full-width blank.
inline constexpr wchar_t kReportSummaryGap[] = L"　";
// The details under the list: the finding's source line, after {} the file and {} the line.
inline constexpr wchar_t kReportDetailsLine[] = L"{} の {} 行目：";
// Around the field's text in the source line.
inline constexpr wchar_t kReportFieldOpen[] = L"「";
inline constexpr wchar_t kReportFieldClose[] = L"」";
// The details with no finding selected.
inline constexpr wchar_t kReportDetailsHint[] = L"一覧で選んだ項目の内容と、元のファイルの行をここに表示します。";
// The list's column titles, in ReportColumn order; the CSV file's header row uses them too.
inline constexpr const wchar_t* kReportColumnTitles[] = {L"重要度", L"ファイル", L"行",     L"レコード",
                                                         L"項目",   L"元の値",   L"出力", L"内容"};
// After the title of the column the list is sorted by: rising, falling.
inline constexpr wchar_t kReportSortedAscending[] = L" ▲";
inline constexpr wchar_t kReportSortedDescending[] = L" ▼";
// The CSV file's last two columns, on every row.
inline constexpr wchar_t kReportCsvSourceFolder[] = L"変換元フォルダ";
inline constexpr wchar_t kReportCsvDestinationFile[] = L"変換先ファイル";
// The save dialog's file type: its name, then its pattern, each ending in a NUL.
inline constexpr wchar_t kReportCsvFilter[] = L"CSV (*.csv)\0*.csv\0";
// {} the file, {} the system's reason.
inline constexpr wchar_t kReportCannotSave[] = L"ファイルを保存できません。\n{}\n{}";

// --- The site report: one HTML page of a whole batch ---------------------------------

inline constexpr wchar_t kSiteReportTitle[] = L"サイトの報告";
// The header's rows: the site folder, the output folder, when it was made, the program's version.
inline constexpr wchar_t kSiteReportSiteFolder[] = L"現場フォルダ";
inline constexpr wchar_t kSiteReportOutputFolder[] = L"出力フォルダ";
inline constexpr wchar_t kSiteReportDateTime[] = L"作成日時";
inline constexpr wchar_t kSiteReportVersion[] = L"バージョン";
// The summary's cells: folders, converted, of them with warnings, failed (as kCliSummary counts them).
inline constexpr const wchar_t* kSiteReportSummaryTitles[] = {L"フォルダ", L"変換", L"うち警告あり", L"失敗"};
inline constexpr wchar_t kSiteReportStopped[] = L"バッチは途中で中断しました。ここまでに変換したフォルダだけを載せています。";
inline constexpr wchar_t kSiteReportOverview[] = L"全体図（全ボーリング共通の縮尺）";
inline constexpr wchar_t kSiteReportBoreholes[] = L"ボーリング一覧";
// The boreholes' table: name, result, layers, points, warnings, infos, output file.
inline constexpr const wchar_t* kSiteReportColumnTitles[] = {L"ボーリング", L"結果", L"層", L"深度（点）", L"警告", L"情報", L"出力ファイル"};
// A folder's result, by SiteResult: converted, with warnings, failed.
inline constexpr const wchar_t* kSiteReportResults[] = {L"変換", L"警告あり", L"失敗"};
// Under each profile of the overview: {} the warnings.
inline constexpr wchar_t kSiteReportWarningCount[] = L"警告 {}";
// A borehole's counts: {} layers and {} points written, {} warnings, {} infos.
inline constexpr wchar_t kSiteReportCounts[] = L"層 {} 件、深度 {} 点、警告 {} 件、情報 {} 件";
inline constexpr wchar_t kSiteReportNoFindings[] = L"警告も情報もありません。";
// After the first findings of a borehole: {} how many more it has.
inline constexpr wchar_t kSiteReportMoreFindings[] = L"他 {} 件";
// {} the report file, {} the system's reason.
inline constexpr wchar_t kSiteReportWriteFailed[] = L"サイトの報告を書き込めません。\n{}\n{}";

// --- The batch window: a whole site at once -----------------------------------------

inline constexpr wchar_t kBatchMenu[] = L"まとめて変換...";
inline constexpr wchar_t kBatchCaption[] = L"まとめて変換";
inline constexpr wchar_t kBatchSiteLabel[] = L"現場フォルダ";
inline constexpr wchar_t kBatchOutputLabel[] = L"出力フォルダ";
inline constexpr wchar_t kBatchBrowse[] = L"参照...";
inline constexpr wchar_t kBatchRecursive[] = L"サブフォルダも含める";
inline constexpr wchar_t kBatchStart[] = L"開始";
inline constexpr wchar_t kBatchStop[] = L"中止";
inline constexpr wchar_t kBatchSaveSiteReport[] = L"サイトの報告を保存...";
inline constexpr wchar_t kBatchClose[] = L"閉じる";
// While a folder is converted: {} its number (from 1), {} the folders, {} the folder.
inline constexpr wchar_t kBatchProgress[] = L"{} / {} {}";
// The list's column titles, in BatchColumn order.
inline constexpr const wchar_t* kBatchColumnTitles[] = {L"フォルダ", L"結果", L"警告", L"情報",
                                                        L"層",       L"深度", L"出力ファイル / エラー"};
// A folder's result in the list.
inline constexpr wchar_t kBatchConverted[] = L"変換";
inline constexpr wchar_t kBatchWithWarnings[] = L"警告あり";
inline constexpr wchar_t kBatchFailed[] = L"失敗";
inline constexpr wchar_t kBatchNoSiteFolder[] = L"現場フォルダが選択されていません。";
inline constexpr wchar_t kBatchNoOutputFolder[] = L"出力フォルダが選択されていません。";
// {} the path as typed.
inline constexpr wchar_t kBatchBadFolder[] = L"指定されたパスは正しくありません。\n{}";
// Form1's execute button while a batch runs.
inline constexpr wchar_t kBatchBusy[] = L"まとめて変換の実行中は変換できません。";
// The save dialog's file type: its name, then its pattern, each ending in a NUL.
inline constexpr wchar_t kBatchSiteReportFilter[] = L"HTML (*.html)\0*.html\0";

// --- Folders dropped on the window or given to the program ---------------------------

// A network path without a drive letter: the folder lists know drives only. {} the path.
inline constexpr wchar_t kDropNeedsDrive[] =
    L"ドライブ名の付いたフォルダを指定してください（ネットワーク上のフォルダはドライブに割り当ててください）。\n{}";
// {} the argument.
inline constexpr wchar_t kBadArgument[] = L"指定されたフォルダが見つかりません。\n{}";

// --- The guide and the version ------------------------------------------------------

inline constexpr wchar_t kManualMenu[] = L"使い方";
inline constexpr wchar_t kAboutMenu[] = L"バージョン情報...";
inline constexpr wchar_t kManualFile[] = L"manual.html";
// {} the guide's path, {} the system's reason.
inline constexpr wchar_t kNoManual[] = L"使い方を開けません。\n{}\n{}";
inline constexpr wchar_t kAboutCaption[] = L"バージョン情報";
// {} the version.
inline constexpr wchar_t kAbout[] =
    L"Pelmora -> 液状化判定ﾌｧｲﾙ  (pelmora2liq) {}\nCopyright (c) 2026 The pelmora2liq authors\nMIT License (LICENSE.txt)";

// --- The command line ----------------------------------------------------------------

inline constexpr wchar_t kCliWarning[] = L"警告";
inline constexpr wchar_t kCliInfo[] = L"情報";
inline constexpr wchar_t kCliError[] = L"エラー";
// {} the reason.
inline constexpr wchar_t kCliUsage[] = L"使い方が正しくありません（{}）。\"pelmora2liq-cli --help\" で使い方を表示します。";
inline constexpr wchar_t kCliUnknownCommand[] = L"コマンドがありません";
inline constexpr wchar_t kCliWrongArguments[] = L"引数の数が違います";
inline constexpr wchar_t kCliUnknownOption[] = L"指定できないオプションです";
// {} the other folder, {} the output file both would write.
inline constexpr wchar_t kCliOutputNameClash[] =
    L"フォルダ {} と出力ファイル名が重なるため変換しません（{}）。";
// {} the site folder.
inline constexpr wchar_t kCliNoBoreholeFolders[] =
    L"変換するフォルダがありません（titl01.txt、X1.txt、X5.txt、X100.txt のどれかを含むフォルダ）。\n{}";
inline constexpr wchar_t kCliNoBoreholeFoldersButDeeper[] =
    L"すぐ下に変換するフォルダがありません。さらに下のフォルダには変換するファイルがあります（--recursive を付けると変換します）。\n{}";
// The batch window's wording of the same: its check box instead of the option; {} the folder.
inline constexpr wchar_t kBatchOnlyDeeper[] =
    L"すぐ下に変換するフォルダがありません。さらに下のフォルダには変換するファイルがあります（「サブフォルダも含める」に印を付けると変換します）。\n{}";
// {} the output folder, {} the system's reason.
inline constexpr wchar_t kCliOutputFolderUnusable[] = L"出力フォルダに書き込めません。\n{}\n{}";
inline constexpr wchar_t kCliStopped[] = L"中断しました。ここまでの出力ファイルはすべて書き終えています。";
// {} folders, {} converted, {} of them with warnings, {} failed.
inline constexpr wchar_t kCliSummary[] = L"フォルダ {}、変換 {}（うち警告あり {}）、失敗 {}";
// After a convert: {} the output file, {} layers and {} points written, {} warnings, {} infos.
inline constexpr wchar_t kCliConverted[] = L"{} に書き込みました（層 {} 件、深度 {} 点、警告 {} 件、情報 {} 件）。";
inline constexpr wchar_t kCliPressAKey[] = L"何かキーを押すと終わります。";
inline constexpr wchar_t kCliHelp[] =
    L"pelmora2liq-cli {}: ボーリング柱状図のフォルダを液状化判定ファイルに変換します。\n"
    L"\n"
    L"使い方:\n"
    L"  pelmora2liq-cli convert 変換元フォルダ 変換先ファイル [--json]\n"
    L"      1 つのフォルダを変換します。変換先が .txt で終わらないときは .txt を付けます。\n"
    L"      変換先のフォルダがなければ作ります。\n"
    L"  pelmora2liq-cli batch 親フォルダ 出力フォルダ [--recursive] [--report 報告.html] [--json]\n"
    L"      親フォルダの中の各フォルダ（titl01.txt, X1.txt, X5.txt, X100.txt のどれかを含むもの）を\n"
    L"      出力フォルダの中の「フォルダ名.txt」に変換します。--recursive で下のすべてのフォルダを対象にします。\n"
    L"      --report で、全ボーリングの深度分布と確認結果を 1 つの HTML ファイルに保存します。\n"
    L"  pelmora2liq-cli check 変換元フォルダ [--json]\n"
    L"      変換結果の確認だけを行い、何も書き込みません。\n"
    L"\n"
    L"  --json     結果を 1 つの JSON 文書として標準出力に出します。\n"
    L"  --utf8     リダイレクト先への出力を、システムのコードページではなく UTF-8 で書きます。\n"
    L"  --         これより後ろはすべてフォルダやファイルの名前として扱います。\n"
    L"  --help     この説明を表示します。\n"
    L"  --version  版を表示します。\n"
    L"\n"
    L"終了コード: 0 警告なし、1 警告あり、2 変換できなかったフォルダがある（または中断、サイトの報告を書き込めない）、64 使い方の誤り\n";

// --- The windows' controls -----------------------------------------------------------

inline constexpr wchar_t kFrame1Caption[] = L"変換先ﾌｫﾙﾀﾞ名選択";
inline constexpr wchar_t kFrame2Caption[] = L"変換元ﾌｫﾙﾀﾞ名選択";
inline constexpr wchar_t kFrame3Caption[] = L"メッセージ";
inline constexpr wchar_t kCommand1Caption[] = L"実  行";
inline constexpr wchar_t kCommand2Caption[] = L"終  了";
inline constexpr wchar_t kLabel1Caption[] = L"変換先ﾌｧｲﾙ名  ：";
inline constexpr wchar_t kLabel2Caption[] = L"変換元ﾌｫﾙﾀﾞ名 ：";

// `pattern` with each "{}" replaced by the next of `values`; a "{}" without a value stays.
inline std::wstring FillText(std::wstring_view pattern, std::initializer_list<std::wstring_view> values) {
  std::wstring text;
  const auto* next = values.begin();
  for (std::size_t at = 0;;) {
    const std::size_t hole = pattern.find(L"{}", at);
    if (hole == std::wstring_view::npos || next == values.end()) {
      text.append(pattern.substr(at));
      return text;
    }
    text.append(pattern.substr(at, hole - at));
    text.append(*next++);
    at = hole + 2;
  }
}

}  // namespace pel::texts
