// The conversion run behind the execute button: the two paths validated, missing
// destination folders offered and created, the borehole converted, the outcome shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "check/findings.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/text_codec.h"

namespace pel {

enum class PathBox { kText1, kText2 };  // destination, source

// The window as the run sees it.
class RunWindow {
 public:
  virtual ~RunWindow() = default;
  virtual std::wstring Text(PathBox box) const = 0;
  virtual void FocusAndSelectAll(PathBox box) = 0;
  // Sets Label3, repainted at once.
  virtual void SetStatus(const std::wstring& text) = 0;
  virtual void SetBusyPointer(bool busy) = 0;
  virtual void RefreshFileList() = 0;
};

struct RunPorts {
  RunWindow& window;
  MessageBoxes& boxes;
  FileSystem& fs;
  Drives& drives;
  const TextCodec& codec;
};

// A run that wrote its file: what the report of the conversion check shows.
struct WrittenRun {
  std::wstring source_folder;
  std::wstring destination_file;
  ConversionReport report;
};

// Runs one conversion from the texts of Text2 (source folder) and Text1 (destination
// without ".txt"). Sets `clear_status_pending` to 1 only after the file was written;
// then returns what was written.
std::optional<WrittenRun> RunConversion(RunPorts& ports, std::int16_t& clear_status_pending);

}  // namespace pel
