#include "driver/run.h"

int main(int argc, char** argv) { return quillon::RunQuillon(argc, argv); }
