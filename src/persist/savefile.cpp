// Reading and writing the save files; see savefile.h.
#include "persist/savefile.h"

#include "runtime/files.h"

#include <cstdio>

Stream opensave(const std::string& path, SaveFound& found) {
    RemoveStaleTemporary(path);
    FileProblem problem;
    Stream in = OpenRead(path, MAX_SAVE_FILE, &problem);
    if (in) {
        found = SaveFound::Opened;
    } else if (problem.missing) {
        found = SaveFound::Missing;
    } else {
        found = SaveFound::Unreadable;
        reportunreadable(path, problem.reason);
    }
    return in;
}

void reportunreadable(const std::string& path, const std::string& reason) {
    const std::string what = DescribeProblem(path, FileProblem{false, reason});
    std::fprintf(stderr,
                 "vantorix: cannot read %s; the file is left as it is and this run plays "
                 "with the defaults\n",
                 what.c_str());
}

bool savelines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    std::string error;
    if (ReplaceFileContents(path, bytes, error)) return true;
    std::fprintf(stderr, "vantorix: could not save %s: %s\n", path.c_str(), error.c_str());
    return false;
}
