// GRIDOR, the preprocessor: builds a mesh and writes the .dat input file.
#include "driver.h"
#include "platform/window_backend.h"

int main(int argc, char** argv) {
  return vortan::run_program(argc, argv, "gridor", "GRIDOR text", vortan::GRIDOR);
}
