// A batch feeds its site report: each folder's result as the listener gets it, and the
// batch's summary. (The report is a lower layer than the batch: it takes the results'
// parts, and these two say which.)
#pragma once

#include <string_view>

#include "batch/batch.h"
#include "report/site_report.h"

namespace pel {

// `relative` as the listener's Starting named the folder; for a folder of the site that
// could not be listed (which has no Starting), its path.
inline void AddToSiteReport(SiteReport& site, const FolderResult& result, std::wstring_view relative) {
  site.Add(relative, result.destination, result.error, result.report);
}

inline SiteSummary SiteSummaryOf(const BatchSummary& batch) {
  return {batch.folders, batch.converted, batch.with_warnings, batch.failed, batch.stopped};
}

}  // namespace pel
