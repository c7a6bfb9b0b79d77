#include "ui/startup.h"

int main(int argc, char** argv) {
  return mozenta::RunMozenta(argc, argv);
}
