// Modal message boxes. In scripted runs they never block: questions take the scripted
// answers and information boxes are written to stderr.
#pragma once
#include <string>

// Yes / No / Cancel question: 1 Yes, 0 No, -1 Cancel or the box closed.
int AskYesNoCancel(const std::string& text, int serious);
// Information box with one OK button (warning icon when serious is 1).
void Notify(const std::string& text, int serious);
