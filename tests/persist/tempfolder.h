// Every persistence test runs in a fresh temporary folder that stands in for the game folder,
// so no test ever touches a player's prefs.txt or scores.txt.
#pragma once
#include "tempfixture.h"

#include <string>
#include <vector>

class TempFolder : public TempFolderTest {
  protected:
    TempFolder() : TempFolderTest(true) {}

    // The lines of a CR LF file, failing the test on any line not ended by CR LF.
    static std::vector<std::string> crlflines(const std::string& name) {
        const std::string bytes = readfile(name);
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            lines.push_back(bytes.substr(start, end - start));
        }
        EXPECT_EQ(start, bytes.size()) << "file does not end with CR LF";
        return lines;
    }
};
