// The .dat input data file: Part A (title, control line, elements, nodes,
// material properties) written by OUTPUT and read back by INPUT, and the
// look-ahead that finds where Part B begins.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "mesh_model.h"

namespace vortan {

// Writes records A1-A10 of Part A at the stream's current position. The
// title is written as its first 50 characters with trailing blanks removed.
void OUTPUT(std::ostream& unit, const MeshModel& m);
// One node line of Part A for node n written under the number `number`
// (flag 1 on the last line of the block).
std::string node_record(const MeshModel& m, int n, int number, bool last);
// The property block: its header line, the non-zero components set by set,
// and the closing line of Part A.
void write_properties(std::ostream& unit, const MeshModel& m, const std::string& header);
// Writes the title, the counts header and the control line (records A1-A3),
// which every Part A begins with.
void write_part_a_head(std::ostream& unit, const MeshModel& m);

// Rewinds the stream and reads Part A into the mesh model, replacing it; the
// stream is left just after the closing line of Part A. Count mismatches are
// corrected with WARNING lines in the text window. A malformed field, an
// early end of file, or a node, element, property set or component number
// that does not fit its table ends the program (ProgramExit, status 1) after
// its message and the line "Mesh title is: " with the title; a malformed
// line, an early end or a line that is not text is named in one more line
// after the message: `file`, the line's number and what it should hold.
void INPUT(std::istream& unit, MeshModel& m, const std::string& file = {});

// Reads one line: false at end of file or on a read error (the stream is
// then cleared and left where it was); otherwise steps back so the stream
// stands at the first line of Part B.
bool find_part_b(std::istream& unit);

// Skips a copied loads section: the "nbset npset" header, the two counts,
// the load list, and the body-force and traction lists that the counts call
// for. False (and nothing more is read) when the file ends early or the
// counts cannot be read.
bool skip_copied_loads(std::istream& unit);

// Skips a copied increment or timestepping block: its header and value line.
// False when the file ends early.
bool skip_copied_block(std::istream& unit);

}  // namespace vortan
