// mozenta-batch: the load, convert and save job of the program, without windows.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "batch_job.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return mozenta::RunBatch(arguments, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
