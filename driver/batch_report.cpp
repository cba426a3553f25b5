#include "driver/batch_report.h"

#include "util/json.h"

namespace quillon {

namespace {

const char* StatusName(MovieStatus status) {
  switch (status) {
    case MovieStatus::kOk:
      return "ok";
    case MovieStatus::kFailed:
      return "failed";
    case MovieStatus::kSkipped:
      break;
  }
  return "skipped";
}

std::string Field(const char* name, const std::string& json) {
  return std::string(",\"") + name + "\":" + json;
}

}  // namespace

std::string ReportLine(const BatchShape& shape, const MovieJob& job, MovieStatus status,
                       const MovieOutcome& outcome) {
  std::string line = "{\"input\":" + JsonString(job.line.arguments[0]);
  line += Field("output", JsonString(job.output));
  line += Field("status", JsonString(StatusName(status)));
  if (status == MovieStatus::kOk) {
    for (size_t i = 0; i < outcome.counts.size(); ++i) {
      line += Field(shape.count_names[i], std::to_string(outcome.counts[i]));
    }
  }
  std::string refusals = "[";
  for (const std::string& refusal : outcome.refusals) {
    if (refusals.size() > 1) refusals += ",";
    refusals += JsonString(refusal);
  }
  line += Field("refusals", refusals + "]");
  if (status != MovieStatus::kOk) line += Field("message", JsonString(outcome.message));
  return line + "}\n";
}

}  // namespace quillon
