// Results-file reader: the mesh head and every result set of any text are
// read or refused without a crash, a hang or unbounded memory.
#include <memory>
#include <sstream>

#include "dat_file.h"
#include "fuzz_support.h"
#include "results_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vortan;
  using namespace vortan::fuzz;
  quiet_platform();
  static std::unique_ptr<ResultSet> r = std::make_unique<ResultSet>();
  MeshModel& m = empty_mesh(0);
  clear_results(*r);
  std::istringstream in(text_of(data, size));
  try {
    INPUT(in, m);
    std::string title;
    // As the viewer does: one set, then a further one after each title.
    do {
      if (read_result_set(in, m, *r) != SetRead::Read) break;
    } while (read_next_title(in, title));
  } catch (const ProgramExit&) {
  }
  return 0;
}
