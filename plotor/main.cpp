// PLOTOR, the viewer: draws the results of an analysis read from a .out file.
#include "viewer_driver.h"
#include "platform/window_backend.h"

int main(int argc, char** argv) {
  return vortan::run_program(argc, argv, "plotor", "PLOTOR text", vortan::PLOTOR);
}
