#include "builders/run_passes.h"

#include <iterator>

#include "builders/catalogue_pass.h"
#include "builders/media_kinds.h"
#include "builders/raw_pass.h"

namespace quillon {

namespace {

const RunPass kRunPasses[] = {
    {"raw", RawPass},            // whole chunks from files named by entry index and type
    {"cast", ImportCastMedia},  // members' media from files named by cast number
    {"catalogue", ImportCatalogue},  // scripts' strings and texts from "<stem>.po"
};

}  // namespace

const RunPass* RunPassesBegin() { return std::begin(kRunPasses); }
const RunPass* RunPassesEnd() { return std::end(kRunPasses); }

}  // namespace quillon
