// Writing a whole small text file so that a crash or a full disk never loses the old one.
// Depends on: runtime streams.
#pragma once
#include <string>
#include <vector>

// Writes the lines (each ended by CR LF) to "<path>.tmp" in the same folder, flushes it to the
// disk, then renames it over the path in one step. On any failure the old file stays as it was
// and the temporary file is removed. True when the new file is in place.
bool savelines(const std::string& path, const std::vector<std::string>& lines);
