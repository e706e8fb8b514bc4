// Session-script parser: any text is parsed or refused (ProgramExit) without
// a crash, a hang or unbounded memory.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vortan;
  try {
    parse_script(fuzz::text_of(data, size), "fuzz input");
  } catch (const ProgramExit&) {
  }
  return 0;
}
