// The result tables of one result set of a .out file, and the work tables
// the viewer hands to its plots. The driver owns one of each; every plot
// routine takes them by reference.
#pragma once

#include <array>
#include <string>

#include "contour_engine.h"
#include "mesh_model.h"

namespace vortan {

struct ResultSet {
  std::array<std::string, 5> dofnam;  // labels of the four nodal columns, 1..4
  Table2<double, MPOIN, 4> disp;      // nodal values
  int hasgp = 0;                      // 1 when a Gauss-point section was read
  int ngaus = 0;                      // Gauss-point records read
  Table2<int, MELEM, MGPEL> igaus;    // record number of Gauss point g of element e
  Table1<int, MGAUS> iyield;          // yield code of each record, 0 none
  Table2<double, MGAUS, 2> xgaus;     // x and y of each record's point
  Table2<double, MGAUS, 4> stres;     // the four values of each record
  Table1<double, MGAUS> gpval;        // a work value per record
};

// Work tables of the plots.
struct PlotWork {
  Table1<double, MPOIN> vnode;         // the nodal scalar to be contoured
  Table2<double, MPOIN, 2> cdef;       // displaced coordinates
  Table1<int, MEDGE> edge_flags;       // boundary edge list, one integer an entry
  Table2<int, MEDGE, 3> edges;         // boundary edge list, three integers an entry
  // The stored edges keyed by node, so a side finds its match among a few:
  // a straight edge under its lower end node, a quadratic one under its
  // midside node; edge_head(n) is the first edge of node n's list (0 none),
  // edge_next(k) the edge after k in it.
  Table1<int, MPOIN> edge_head;
  Table1<int, MEDGE> edge_next;
  Table1<unsigned char, MPOIN> corner;  // 1 for a node a corner-node contour plot reads
  PolyWork poly;                        // the outline of the band being filled
};

// What every plot is handed besides the tables: the material type to plot
// (0 all) and, for the contour routines over corner nodes only, the flag.
struct ViewState {
  int matsel = 0;
};

}  // namespace vortan
