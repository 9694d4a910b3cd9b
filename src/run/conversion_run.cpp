#include "run/conversion_run.h"

#include <algorithm>
#include <vector>

#include "paths/fnother.h"
#include "paths/path_validation.h"
#include "run/conversion.h"
#include "run/folder_levels.h"
#include "util/user_texts.h"

namespace pel {
namespace {

// The component list holds slots 0 to 256: a path of at most 255 separators.
constexpr int kMaxSeparators = 255;

void ShowError(RunPorts& ports, const Outcome& outcome) {
  ports.boxes.Show(DescribeOutcome(outcome), texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
}

// Validates the text of `box`; a rejected path gets its message under the entered text
// (after the drive message where the drive part is malformed), the focus and its whole
// text selected. False when the run must end.
bool AcceptPath(RunPorts& ports, PathBox box, std::wstring& entered) {
  const PathVerdict verdict = ValidatePath(entered, ports.drives, ports.codec);
  if (verdict == PathVerdict::kAccepted) return true;
  if (verdict == PathVerdict::kDriveForm) {
    ports.boxes.Show(DescribeOutcome(MakeOutcome(OutcomeKind::kDriveForm)), texts::kApplicationTitle,
                     MessageButtons::kOk, MessageIcon::kInformation);
  }
  ports.boxes.Show(DescribeOutcome(MakeOutcome(OutcomeKind::kBadPath)), entered, MessageButtons::kOk,
                   MessageIcon::kExclamation);
  ports.window.FocusAndSelectAll(box);
  ports.window.SetStatus(L"");
  return false;
}

// Looks up each folder level of the normalized destination path; after one Yes creates
// every missing level, outermost first. False when the run must end. Messages name the
// destination file as every other message of the run does.
bool PrepareFolders(RunPorts& ports, const std::wstring& normalized, const std::wstring& destination_file) {
  const int separators = CountSeparators(normalized, L"\\");
  if (separators > kMaxSeparators) {
    Outcome too_deep = MakeOutcome(OutcomeKind::kPathTooDeep, destination_file);
    too_deep.limit = kMaxSeparators;
    ShowError(ports, too_deep);
    return false;
  }
  std::vector<std::wstring> components(257);
  SplitPath(normalized, L"\\", components);

  // The folder levels below the drive: C:\a, C:\a\b, ...
  std::vector<std::wstring> levels;
  for (int i = 2; i <= separators - 1; ++i) {
    levels.push_back((levels.empty() ? components[1] : levels.back()) + L"\\" + components[static_cast<std::size_t>(i)]);
  }
  if (std::all_of(levels.begin(), levels.end(), [&](const std::wstring& level) { return ports.fs.EntryExists(level); })) {
    return true;
  }
  if (ports.boxes.Show(texts::kCreateFolderQuestion, texts::kApplicationTitle, MessageButtons::kYesNo, MessageIcon::kQuestion) !=
      MessageAnswer::kYes) {
    return false;
  }
  if (auto created = CreateFolderLevels(ports.fs, levels); !created) {
    ShowError(ports, created.error());
    return false;
  }
  return true;
}

}  // namespace

std::optional<WrittenRun> RunConversion(RunPorts& ports, std::int16_t& clear_status_pending) {
  RunWindow& window = ports.window;
  window.SetStatus(texts::kStatusConverting);

  std::wstring source = window.Text(PathBox::kText2);
  if (!AcceptPath(ports, PathBox::kText2, source)) return std::nullopt;
  std::wstring destination = window.Text(PathBox::kText1);
  if (!AcceptPath(ports, PathBox::kText1, destination)) return std::nullopt;

  // The files are named from the texts as typed, trimmed, not from the normalized paths.
  const std::wstring typed_destination = TrimSpaces(window.Text(PathBox::kText1));
  const std::wstring destination_file = typed_destination + L".txt";
  const std::wstring source_folder = TrimSpaces(window.Text(PathBox::kText2));

  if (!typed_destination.empty() && typed_destination.back() == L'\\') {
    ports.boxes.Show(DescribeOutcome(MakeOutcome(OutcomeKind::kNoFileName)), texts::kApplicationTitle,
                     MessageButtons::kOk, MessageIcon::kNone);
    window.SetStatus(L"");
    return std::nullopt;
  }
  // A folder without any of the four files would give an empty file: said before the
  // destination is looked at.
  if (auto found = FindSourceFiles(ports.fs, source_folder, FolderRule::kMissingIsEmpty);
      !found && found.error().kind == OutcomeKind::kNoSourceFiles) {
    window.SetStatus(L"");
    ShowError(ports, found.error());
    return std::nullopt;
  }
  if (!PrepareFolders(ports, destination, destination_file)) {
    window.SetStatus(L"");
    return std::nullopt;
  }

  window.SetBusyPointer(true);
  auto converted = ConvertBorehole(ports.fs, source_folder, destination_file);
  if (!converted) {
    window.SetBusyPointer(false);
    window.SetStatus(L"");
    ShowError(ports, converted.error());
    return std::nullopt;
  }
  clear_status_pending = 1;
  window.SetStatus(texts::kStatusDone);
  window.RefreshFileList();
  window.SetBusyPointer(false);
  return WrittenRun{source_folder, destination_file, std::move(*converted)};
}

}  // namespace pel
