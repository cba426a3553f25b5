#include "util/report.h"

#include <gtest/gtest.h>

#include "tests/support/recording_sink.h"
#include "util/reporter.h"

namespace quillon {
namespace {

std::string ProgressText(const std::string& path) {
  testing::internal::CaptureStdout();
  ShowProgress(path);
  return testing::internal::GetCapturedStdout();
}

// Off a console (as here) the line is not blanked first.
TEST(ReportTest, ProgressLineShowsShortPathsWholeAndShortensLongOnes) {
  const std::string path63(63, 'a');
  EXPECT_EQ(ProgressText(path63), "Processing " + path63 + "...\r");

  std::string path64;
  for (int i = 0; i < 64; ++i) path64 += static_cast<char>('0' + i % 40);
  const std::string shown = ProgressText(path64);
  EXPECT_EQ(shown, "Processing " + path64.substr(0, 29) + "..." + path64.substr(32) +
                       "...\r");
  EXPECT_EQ(shown.size() - 1, 78u);  // the line, less its "\r"
}

TEST(ReportTest, AssertionWarningIsPrintedOncePerProcess) {
  testing::internal::CaptureStdout();
  CheckAssertion(true);
  CheckAssertion(false);
  CheckAssertion(false);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in assertion!!!\n");
}

TEST(ReportTest, FatalMessageIsPrintedWithoutColoursOffAConsole) {
  testing::internal::CaptureStdout();
  PrintFatal("Unknown file format %s!!!\n", "m.dxr");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown file format m.dxr!!!\n");
}

// Refusals reach both the log and the user, and are counted; other lines reach the log only.
TEST(ReporterTest, RefusalsGoToTheLogAndTheUserAndAreCounted) {
  test::RecordingSink sink;
  Reporter report(sink);
  report.Write("Cast %06d->(%04X:%04X): BITD=", 3, 0x12, 0x15);
  report.WriteRefusal("Cannot use file %s: %s!!!\n", "a.bmp", "truncated");
  report.ShowProgress("b.bmp");
  EXPECT_EQ(sink.log, "Cast 000003->(0012:0015): BITD=Cannot use file a.bmp: truncated!!!\n");
  EXPECT_EQ(sink.console, "Cannot use file a.bmp: truncated!!!\n> b.bmp\n");
  EXPECT_EQ(report.refusal_count(), 1u);
  EXPECT_EQ(FormatText("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

}  // namespace
}  // namespace quillon
