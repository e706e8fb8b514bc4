// Naming the data files: the simple names the user types and the paths made
// from them.
#pragma once

#include <string>

namespace vortan {

enum class NameAnswer { Given, Empty, Refused };

// Reads a simple file name (the question is already written). A name with
// "." or a folder separator is refused with `refusal`; a name longer than 8
// characters is cut to 8 with a warning.
NameAnswer ask_simple_name(std::string& name, const std::string& refusal);
// folder + "/" + name + ".dat"; just name + ".dat" when the folder is blank.
std::string dat_path(const std::string& folder, const std::string& name);
// The .prt and .ps paths: the last four characters (".dat") replaced.
std::string prt_path(const std::string& dat);
std::string ps_path(const std::string& dat);
// True when both paths name the same file (after resolving ".." and links).
bool same_file(const std::string& a, const std::string& b);

// The file-open dialog for an input .dat file.
void ASKFIL(const std::string& folder, std::string& path, int& cancelled);

}  // namespace vortan
