// Reading the result sets of a .out file. The mesh data at its head is read
// by INPUT (dat_file.h); after it come one or more result sets, each of a
// label line, one line of nodal values per node, and a Gauss-point section
// (a header line and one line per Gauss point). Every result set after the
// first starts with a title line of its own.
#pragma once

#include <istream>
#include <string>

#include "results.h"

namespace vortan {

enum class SetRead {
  Read,          // the nodal values were read; the Gauss-point section may be absent
  PrematureEnd,  // the file ended in the label line or the nodal lines
  BadFormat,     // a nodal line did not read as a node number and four reals
};

// Empties every result table. The driver calls it once, at start-up.
void clear_results(ResultSet& r);

// Reads one result set from the stream's position into the result tables,
// writing its progress messages, and the results title (the mesh title, or
// the title line of a further set) when the set has been read. Every set
// starts with no Gauss-point records, so a set without a Gauss-point section
// never shows those of an earlier set. The stream is left at the first line
// after the set: the Gauss-point section ends at the first line that does
// not read as a Gauss point, and the stream steps back to that line.
// A set that cannot be read is named in one more line after its fatal
// message: `file`, the line's number and what that line should hold.
SetRead read_result_set(std::istream& in, const MeshModel& m, ResultSet& r,
                        const std::string& file = {});

// Reads the next line whole as the title of a further result set (80
// characters, blank-padded). False at the end of the file, on a read error,
// or when only blank lines are left.
bool read_next_title(std::istream& in, std::string& title);

}  // namespace vortan
