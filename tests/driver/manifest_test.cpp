#include "driver/manifest.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(CsvFieldTest, QuotesOnlyWhatCsvMustQuote) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\r", "\"cr\r\""},
      {"semi;colon", "semi;colon"},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(FormatManifestTest, HeaderThenOneLinePerRowInColumnOrder) {
  ManifestRow row{"chunk", "7", "ST,XT", "", "", "", "", "", "", "m-000007.ST,XT", ""};
  EXPECT_EQ(FormatManifest({row}),
            "kind,entry index,type,cast number,member entry index,width,height,depth,palette,"
            "file,note\r\n"
            "chunk,7,\"ST,XT\",,,,,,,\"m-000007.ST,XT\",\r\n");
}

}  // namespace
}  // namespace quillon
