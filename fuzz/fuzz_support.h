// What every fuzz target shares: a headless platform with an empty session
// script (the readers write their warnings to its transcript, which goes
// nowhere), and the tables, made once because they are too large for the
// stack and too slow to allocate on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "mesh_model.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace vortan::fuzz {

inline void quiet_platform() {
  static bool done = false;
  if (done) return;
  set_platform(std::make_unique<HeadlessPlatform>(std::vector<ScriptEvent>{}, "/dev/null",
                                                  "/tmp"));
  done = true;
}

inline std::string text_of(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A fresh, empty mesh model from a pool of `k` made at first use.
inline MeshModel& empty_mesh(int k) {
  static std::unique_ptr<MeshModel> pool[3];
  if (!pool[k]) pool[k] = std::make_unique<MeshModel>();
  clear_mesh(*pool[k]);
  return *pool[k];
}

// A round-trip property broken: what and the first written text to the log,
// then the abort that makes the fuzzer keep the input.
[[noreturn]] inline void round_trip_fails(const char* part, const std::string& what,
                                          const std::string& written) {
  std::fprintf(stderr, "%s round trip: %s\nFirst write:\n%s\n", part, what.c_str(),
               written.c_str());
  std::abort();
}

}  // namespace vortan::fuzz
