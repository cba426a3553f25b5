#include "driver/export.h"
#include "util/process.h"

int main(int argc, char** argv) {
  quillon::ReportOversizedWritesAsErrors();
  return quillon::RunExport(argc, argv);
}
