#include "program_help.h"

#include <cstdio>
#include <string>

namespace vortan {

namespace {

const char* GRIDOR_ABOUT =
    "GRIDOR, the VORTAN preprocessor: builds or opens a two-dimensional finite\n"
    "element mesh, transforms it, adds loads and analysis control, and writes the\n"
    ".dat input file of the analysis, its .prt listing and an EPS picture.\n";

const char* PLOTOR_ABOUT =
    "PLOTOR, the VORTAN viewer: reads the .out results file of an analysis and\n"
    "draws deformed meshes, stress crosses, flow lines, contours, yield zones and\n"
    "bar and beam diagrams, on the screen and as EPS files beside the .out file.\n";

const char* OPTIONS =
    "Without options the text and graphics windows open on the display.\n"
    "\n"
    "  --script FILE      run headless, the user's answers and clicks read from FILE\n"
    "  --transcript FILE  with --script, what the windows show is written to FILE\n"
    "  --snapshots DIR    with --script, the folder of the snapshot pictures (default .)\n"
    "  --record FILE      on the display, every answer and click kept in FILE as a script\n"
    "  --high-contrast    colours of 4.5 : 1 contrast on screen and in PNG pictures\n"
    "  --help             show this help and end\n"
    "  --version          show the version and end\n"
    "\n"
    "Exit status: 0 a normal end; 1 a data file that cannot be read; 2 a usage\n"
    "error, an unreadable script or no display; 3 a script event of the wrong\n"
    "kind for what is asked; 4 the script ran out while the program waits.\n";

}  // namespace

int print_program_help(const char* name) {
  const std::string program = name;
  std::printf("usage: %s [--script FILE [--transcript FILE] [--snapshots DIR]] [--record FILE]\n"
              "       [--high-contrast]\n"
              "%s\n%s",
              name, program == "plotor" ? PLOTOR_ABOUT : GRIDOR_ABOUT, OPTIONS);
  std::printf("The manual page (man %s) tells more.\n", name);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace vortan
