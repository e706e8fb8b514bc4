// Damaged data files: lines cut, characters replaced, lines dropped or
// repeated. Reading one either ends the program with status 1 after its
// message, or gives a mesh whose counts and node numbers fit the tables;
// it never writes past a table or hangs.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dat_file.h"
#include "test_support.h"

namespace vortan {
namespace {

std::string damaged(const std::vector<std::string>& lines, std::mt19937& rng) {
  std::vector<std::string> out = lines;
  const char noise[] = " 0123456789.-+Ee,x\t";
  int edits = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < edits && !out.empty(); ++k) {
    size_t i = rng() % out.size();
    switch (rng() % 5) {
      case 0:  // a character replaced
        if (!out[i].empty()) out[i][rng() % out[i].size()] = noise[rng() % (sizeof noise - 1)];
        break;
      case 1:  // the line cut short
        out[i].resize(out[i].empty() ? 0 : rng() % out[i].size());
        break;
      case 2:  // the line dropped
        out.erase(out.begin() + static_cast<long>(i));
        break;
      case 3:  // the line repeated
        out.insert(out.begin() + static_cast<long>(i), out[i]);
        break;
      default:  // a number made very large
        if (out[i].size() > 10) out[i].replace(6, 5, "99999");
        break;
    }
  }
  std::string text;
  for (const auto& l : out) text += l + "\n";
  return text;
}

void expect_mesh_fits_tables(const MeshModel& m) {
  ASSERT_GE(m.npoin, 0);
  ASSERT_LE(m.npoin, MPOIN);
  ASSERT_GE(m.nelem, 0);
  ASSERT_LE(m.nelem, MELEM);
  ASSERT_GE(m.npros, 0);
  ASSERT_LE(m.npros, MPROP);
  for (int e = 1; e <= m.nelem; ++e) {
    ASSERT_LE(m.nnode(e), MNODE);
    for (int k = 1; k <= MNODE; ++k) {
      ASSERT_GE(m.lnods(e, k), 0);
      ASSERT_LE(m.lnods(e, k), MPOIN);
    }
  }
}

TEST(DatFileRobustness, DamagedExamplesAreReadOrRefused) {
  std::mt19937 rng(20261207);
  auto mesh = std::make_unique<MeshModel>();
  int refused = 0, read = 0;
  for (const char* name : {"quad8.dat", "poisson.dat", "advanced.dat", "frame.dat"}) {
    auto lines =
        test::lines_of(test::read_file(std::string(VORTAN_SOURCE_DIR) + "/examples/" + name));
    ASSERT_FALSE(lines.empty());
    for (int trial = 0; trial < 150; ++trial) {
      std::istringstream in(damaged(lines, rng));
      test::ScriptedSession s("");
      try {
        INPUT(in, *mesh);
        ++read;
        expect_mesh_fits_tables(*mesh);
      } catch (const ProgramExit& e) {
        ++refused;
        EXPECT_EQ(e.status, 1);
        EXPECT_NE(s.transcript().find("Mesh title is: "), std::string::npos);
      }
    }
  }
  // Both outcomes occur, so the damage is neither always harmless nor
  // always fatal.
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace vortan
