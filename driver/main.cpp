#include "driver/input_movie.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  quillon::PrepareProcess();
  return quillon::RunQuillon(argc, argv);
}
