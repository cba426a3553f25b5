#include "driver/export.h"
#include "util/process.h"

int main(int argc, char** argv) {
  quillon::ReportOversizedWritesAsErrors();
  quillon::BufferRedirectedOutput();
  return quillon::RunExport(argc, argv);
}
