#pragma once
// The batch's report for scripts: JSON Lines, one object per movie, in the folder's order.
//   input, output      the movie's path and its output movie (the export: its files folder)
//   status             "ok", "failed", or "skipped" for a Director file that is no movie
//   replaced, unchanged, refused   (the export: files, passed_over, kept) when "ok"
//   refusals           the refusal lines of the run
//   message            why it failed or was skipped

#include <string>

#include "driver/batch.h"

namespace quillon {

enum class MovieStatus { kOk, kFailed, kSkipped };

// The object's line, its line end included.
std::string ReportLine(const BatchShape& shape, const MovieJob& job, MovieStatus status,
                       const MovieOutcome& outcome);

}  // namespace quillon
