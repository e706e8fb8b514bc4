// The limits of the model: the sizes of every fixed table of both programs.
// The five that a build may raise come from the build (CMake cache variables
// VORTAN_MPOIN, VORTAN_MELEM, VORTAN_MEDGE, VORTAN_MGAUS, VORTAN_MLEVEL),
// which also refuses values the fixed-column files cannot hold; the others
// are fixed by the file layouts and the element catalogue.

// The common folder is on the include path, so a request for the C
// library's <limits.h> lands here: pass it on every time (hence no
// #pragma once), and state the model's limits once.
#include_next <limits.h>

#ifndef VORTAN_COMMON_LIMITS_H
#define VORTAN_COMMON_LIMITS_H

#if !defined(VORTAN_MPOIN) || !defined(VORTAN_MELEM) || !defined(VORTAN_MEDGE) || \
    !defined(VORTAN_MGAUS) || !defined(VORTAN_MLEVEL)
#error "the model's limits come from the build: link against vortan_common"
#endif

namespace vortan {

constexpr int MPOIN = VORTAN_MPOIN;    // nodes; node numbers 1..MPOIN
constexpr int MELEM = VORTAN_MELEM;    // elements; element numbers 1..MELEM
constexpr int MEDGE = VORTAN_MEDGE;    // element edges in the working edge lists
constexpr int MGAUS = VORTAN_MGAUS;    // Gauss-point records kept from one result set
constexpr int MLEVEL = VORTAN_MLEVEL;  // elements in one level of the renumbering sweep
constexpr int MPROP = 9;               // material property sets
constexpr int MCOMP = 9;               // components per property set
constexpr int MNODE = 8;               // nodes per element; elements meeting at a node
constexpr int MGPEL = 4;               // Gauss points per element in the index table

// Node and element numbers are written in five columns.
static_assert(MPOIN >= 1 && MPOIN <= 99999, "MPOIN must lie in 1..99999");
static_assert(MELEM >= 1 && MELEM <= 99999, "MELEM must lie in 1..99999");
static_assert(MEDGE >= 1 && MGAUS >= 1 && MLEVEL >= 1, "limits must be positive");

}  // namespace vortan

#endif  // VORTAN_COMMON_LIMITS_H
