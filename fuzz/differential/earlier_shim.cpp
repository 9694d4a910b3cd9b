// Compiled against the earlier build's sources with its namespace renamed (-Dpel=pel_old):
// one conversion with its findings, in plain types.
#include "differential/neutral.h"
#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace differential {
#define PEL_CONVERT ConvertWithEarlierBuild
#include "differential/convert.inc"
}  // namespace differential
