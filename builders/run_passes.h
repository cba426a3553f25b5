#pragma once
// The run's passes over one context, in the order they run: each may store chunks in the
// replacement table; a later pass displaces what an earlier one stored for the same chunk.

#include "builders/build_context.h"

namespace quillon {

struct RunPass {
  const char* name;  // for the reader of the code and of test failures
  void (*run)(const BuildContext& context);
};

const RunPass* RunPassesBegin();
const RunPass* RunPassesEnd();

}  // namespace quillon
