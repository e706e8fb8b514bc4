// The mesh model: the counts and fixed-size tables of one mesh, sized once
// by the limits and indexed from 1, and the small utilities several
// operations share.
#pragma once

#include <array>
#include <cassert>
#include <memory>
#include <string>

#include "limits.h"

namespace vortan {

// A 1-based table of N entries (index 0 is spare and unused). Without
// NDEBUG (debug, sanitizer and fuzzing builds) every index is checked, so a
// wrong one is caught where it is made rather than read from a neighbour.
//
// The slots are written only as far as they are reached: `top` is the
// highest slot holding its own value, every slot above reads as `rest`.
// A table made by default initialisation (`new T`, not `T()`) leaves its
// storage untouched, so resident memory follows the mesh in use, not the
// limits, and `fill` costs nothing whatever the limits.
template <class T, int N>
struct Table1 {
  std::array<T, N + 1> v;
  int top = 0;
  T rest{};
  T& operator()(int i) {
    assert(i >= 1 && i <= N);
    if (i > top) reach(i);
    return v[i];
  }
  const T& operator()(int i) const {
    assert(i >= 1 && i <= N);
    return i > top ? rest : v[i];
  }
  void fill(const T& x) {
    top = 0;
    rest = x;
  }
  static constexpr int size() { return N; }

 private:
  void reach(int i) {
    for (int k = top + 1; k <= i; ++k) v[k] = rest;
    top = i;
  }
};

// A 1-based R x C table, reached row by row as Table1 is slot by slot.
template <class T, int R, int C>
struct Table2 {
  std::array<T, (R + 1) * (C + 1)> v;
  int top = 0;
  std::array<T, C + 1> rest{};  // the row every row above `top` reads as
  T& operator()(int i, int j) {
    assert(i >= 1 && i <= R && j >= 1 && j <= C);
    if (i > top) reach(i);
    return v[i * (C + 1) + j];
  }
  const T& operator()(int i, int j) const {
    assert(i >= 1 && i <= R && j >= 1 && j <= C);
    return i > top ? rest[j] : v[i * (C + 1) + j];
  }
  // Row i for reading, its columns at [1..C]: one check of the reach for a
  // loop over the row instead of one per entry.
  const T* row(int i) const {
    assert(i >= 1 && i <= R);
    return i > top ? rest.data() : &v[i * (C + 1)];
  }
  // Row i for writing, reached first.
  T* row_to_fill(int i) {
    assert(i >= 1 && i <= R);
    if (i > top) reach(i);
    return &v[i * (C + 1)];
  }
  void fill(const T& x) {
    top = 0;
    rest.fill(x);
  }

 private:
  void reach(int i) {
    for (int k = (top + 1) * (C + 1); k < (i + 1) * (C + 1); ++k) v[k] = rest[0];
    top = i;
  }
};

// Makes a driver's table-holding object once at start-up: default
// initialisation, so its tables' storage stays untouched zero pages until a
// mesh reaches them (value initialisation would write every byte).
template <class T>
std::unique_ptr<T> make_tables() {
  return std::unique_ptr<T>(new T);
}

struct MeshModel {
  int npoin = 0;
  int nelem = 0;
  int ndofn = 0;  // 1 Poisson, 2 elasticity, 3 beams; negative at Advanced level
  int npros = 0;
  Table2<double, MPOIN, 2> coord;
  Table1<int, MPOIN> kode;
  Table1<int, MPOIN> ndof;
  Table2<int, MELEM, MNODE> lnods;
  Table1<int, MELEM> nnode;
  Table1<int, MELEM> nside;
  Table1<int, MELEM> mattyp;
  Table1<int, MELEM> matset;
  Table2<double, MPROP, MCOMP> props;
  std::array<double, 5> rextra{};  // 1..4 used
  std::array<int, 5> iextra{};     // 1..4 used
  std::string title = std::string(80, ' ');
  Table2<double, MELEM, 2> xycen;
};

// Empties the model: every count and table zero, the title blank.
void clear_mesh(MeshModel& m);

// --- the title -------------------------------------------------------------

// Characters of a title that headings show and that a typed title keeps.
constexpr size_t TITLE_ROOM = 60;
// The title as shown: its first 60 characters without trailing blanks.
std::string title_shown(const MeshModel& m);
// A typed title as the model holds it: its first 60 characters, padded
// with blanks to 80.
std::string typed_title(const std::string& typed);

// --- validity ------------------------------------------------------------
//
// What the readers establish and every operation keeps, so that routines
// index the tables by the counts without clamping them:
//   0 <= npoin <= MPOIN, 0 <= nelem <= MELEM, 0 <= npros <= MPROP;
//   nnode of every element in 0..MNODE, its lnods entries in 0..MPOIN, and
//   0 beyond column nnode.
// A file may still name a node it never gives, or give an element no node;
// a routine that follows an element's nodes asks `valid_element` first.

// A node of the mesh: 1..npoin.
inline bool valid_node(const MeshModel& m, int n) { return n >= 1 && n <= m.npoin; }
// An element of the mesh (1..nelem) of 1..MNODE nodes, each a node of the mesh.
bool valid_element(const MeshModel& m, int e);

// --- element catalogue ---------------------------------------------------

constexpr int NTYPES = 13;
// Key 10 x nnode + nside of element type codes 1..13.
constexpr int ELEMENT_KEYS[NTYPES + 1] = {0, 62, 61, 21, 31, 33, 44, 63, 64, 84, 53, 32, 43, 42};
// Element type code of a key, 0 when the key is not a valid type.
int element_type_code(int key);
inline int element_key(int nnode, int nside) { return 10 * nnode + nside; }
// The name ELTYP prints for a code (code 1's name outside 1..13).
std::string element_type_name(int code);

// --- shared utilities ----------------------------------------------------

// Length of a text without trailing blanks.
int LENSTR(const std::string& text);
// Splits a path into its folder (either separator accepted).
void GETHOM(const std::string& path, std::string& folder, int& length);
// Collects up to 14 indices first..end whose entry equals value; `last` is
// the index reached (one before a 15th match).
template <class Get>
void SCAN_N(int* list, int room, int first, int& last, int value, Get table, int end) {
  for (int k = 0; k < room; ++k) list[k] = 0;
  int found = 0;
  last = end;
  for (int i = first; i <= end; ++i) {
    if (table(i) == value) {
      if (found == room) {
        last = i - 1;
        return;
      }
      list[found++] = i;
    }
  }
}
template <class Get>
void SCAN(int (&list)[14], int first, int& last, int value, Get table, int end) {
  SCAN_N(list, 14, first, last, value, table, end);
}
template <class Get>
void SCAN10(int (&list)[10], int first, int& last, int value, Get table, int end) {
  SCAN_N(list, 10, first, last, value, table, end);
}
// x times 1000 rounded to the nearest integer.
long TRUNC(double x);
// 1 when every node of element `e` lies in the closed rectangle, else 0.
int CHECKEL(int e, const MeshModel& m, double xmin, double xmax, double ymin, double ymax);
// Isoparametric shape functions at local coordinates (s, t), for the element
// key 10 x nodes + sides: 21 and 31 lines (t unused, s in -1..1), 44 and 84
// quadrilaterals (s, t in -1..1), 33 and 63 triangles (area coordinates
// s, t in 0..1). Fills values[0..nodes-1] in the element's node order.
void SHAPE(double s, double t, int key, double* values);
// Writes "You have chosen the" and the type name to the text window.
void ELTYP(int code);

// The fixity code written with exactly `digits` digits, leading zeros kept.
std::string kode_text(int kode, int digits);

}  // namespace vortan
