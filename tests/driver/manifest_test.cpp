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
  ManifestRow chunk;
  chunk.entry = 7;
  chunk.type = "ST,XT";
  chunk.file = "m-000007.ST,XT";
  ManifestRow bitmap{"bitmap", 8, "BITD", 1, 7, 9, 0, 8, "System - Mac", "", "x",
                     {}};
  ManifestRow text{"text", 20, "STXT", 1, 19, {}, {}, {}, "", "m-000001.txt", "",
                   932};
  EXPECT_EQ(FormatManifest({chunk, bitmap, text}),
            "kind,entry index,type,cast number,member entry index,width,height,depth,palette,"
            "file,note,code page\r\n"
            "chunk,7,\"ST,XT\",,,,,,,\"m-000007.ST,XT\",,\r\n"
            "bitmap,8,BITD,1,7,9,0,8,System - Mac,,x,\r\n"
            "text,20,STXT,1,19,,,,,m-000001.txt,,932\r\n");
}

}  // namespace
}  // namespace quillon
