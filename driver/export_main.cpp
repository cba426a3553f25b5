#include "driver/export.h"
#include "driver/input_movie.h"

int main(int argc, char** argv) {
  quillon::PrepareProcess();
  return quillon::RunExport(argc, argv);
}
