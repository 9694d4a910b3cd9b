#include "run/conversion_run.h"

#include <vector>

#include "paths/fnother.h"
#include "paths/path_validation.h"
#include "run/conversion.h"
#include "util/user_texts.h"

namespace pel {
namespace {

// The component list holds slots 0 to 256: a path of at most 255 separators.
constexpr int kMaxSeparators = 255;

void ShowError(RunPorts& ports, const std::wstring& text) {
  ports.boxes.Show(text, texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
}

// Rejects a path: message under the entered text, focus and selection on its box.
void RejectPath(RunPorts& ports, PathBox box, const std::wstring& entered) {
  ports.boxes.Show(texts::kBadPath, entered, MessageButtons::kOk, MessageIcon::kExclamation);
  ports.window.FocusAndSelectAll(box);
  ports.window.SetStatus(L"");
}

// Looks up each folder level of the normalized destination path; after one Yes creates
// every missing level, outermost first. False when the run must end. Messages name the
// destination file as every other message of the run does.
bool PrepareFolders(RunPorts& ports, const std::wstring& normalized, const std::wstring& destination_file) {
  const int separators = CountSeparators(normalized, L"\\");
  if (separators > kMaxSeparators) {
    ShowError(ports, texts::FillText(texts::kPathTooDeep, {std::to_wstring(kMaxSeparators), destination_file}));
    return false;
  }
  std::vector<std::wstring> components(257);
  SplitPath(normalized, L"\\", components);

  auto level = [&](int i) {
    std::wstring path = components[1];
    for (int k = 2; k <= i; ++k) path += L"\\" + components[static_cast<std::size_t>(k)];
    return path;
  };
  bool missing = false;
  for (int i = 2; i <= separators - 1 && !missing; ++i) missing = !ports.fs.EntryExists(level(i));
  if (!missing) return true;

  if (ports.boxes.Show(texts::kCreateFolderQuestion, texts::kApplicationTitle, MessageButtons::kYesNo, MessageIcon::kQuestion) !=
      MessageAnswer::kYes) {
    return false;
  }
  for (int i = 2; i <= separators - 1; ++i) {
    const std::wstring path = level(i);
    if (ports.fs.EntryExists(path)) continue;
    if (auto created = ports.fs.CreateFolder(path); !created) {
      ShowError(ports, texts::FillText(texts::kCannotCreateFolder, {path, created.error().reason}));
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<WrittenRun> RunConversion(RunPorts& ports, std::int16_t& clear_status_pending) {
  RunWindow& window = ports.window;
  window.SetStatus(texts::kStatusConverting);

  std::wstring source = window.Text(PathBox::kText2);
  if (!ValidatePath(source, ports.drives, ports.codec, ports.boxes)) {
    RejectPath(ports, PathBox::kText2, source);
    return std::nullopt;
  }
  std::wstring destination = window.Text(PathBox::kText1);
  if (!ValidatePath(destination, ports.drives, ports.codec, ports.boxes)) {
    RejectPath(ports, PathBox::kText1, destination);
    return std::nullopt;
  }

  // The files are named from the texts as typed, trimmed, not from the normalized paths.
  const std::wstring typed_destination = TrimSpaces(window.Text(PathBox::kText1));
  const std::wstring destination_file = typed_destination + L".txt";
  const std::wstring source_folder = TrimSpaces(window.Text(PathBox::kText2));

  if (!typed_destination.empty() && typed_destination.back() == L'\\') {
    ports.boxes.Show(texts::kNoFileName, texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kNone);
    window.SetStatus(L"");
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
    ShowError(ports, DescribeConversionError(converted.error()));
    return std::nullopt;
  }
  clear_status_pending = 1;
  window.SetStatus(texts::kStatusDone);
  window.RefreshFileList();
  window.SetBusyPointer(false);
  return WrittenRun{source_folder, destination_file, std::move(*converted)};
}

}  // namespace pel
