// Texts of the high-score screen.
#include "persist/scoretext.h"

std::string scorelabel(int n, const Tscore& entry) {
    return std::to_string(n) + (n < 10 ? " " : "") + ": " + entry.name;
}

bool scoreshown(int n, int frame) {
    return frame > 5 * n;
}
