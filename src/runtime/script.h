// Input scripts: the keyboard, the close box and the question boxes of a scripted run, read
// from a text file so that end-to-end tests can drive the real program without a person.
//
// One event per line, '#' starts a comment:
//   <frame> down <keycode>     key pressed (Windows virtual-key code)
//   <frame> up <keycode>       key released
//   <frame> tap <keycode>      down at <frame>, up at <frame + 1>
//   <frame> char <code>        a typed character (1-255)
//   <frame> shot <file.png>    write the picture of that frame as a PNG, in the saves folder
//                              (a relative name ending in .png, no "..", not in media/), at
//                              the game's own size whatever the window's
//   <frame> windowshot <file.png>  the same of the whole window as shown: the picture scaled
//                              to the window with its bars, in the window's real pixels
//   <frame> close              window close request
//   <frame> pad <n> attach [name]   a pad n (1-16) plugged in, with the name it reports
//   <frame> pad <n> detach          pad n unplugged
//   <frame> pad <n> button <a|b|x|y|back|start|dpup|dpdown|dpleft|dpright> <down|up>
//   <frame> pad <n> axis <leftx|lefty> <-32768..32767>
//   answer <yes|no|cancel>     the answer to the next question box, in order
//
// A frame is one completed FlipFrame call (or one frame's worth of waiting while the game does
// not flip, see the pause rule in platform.h). Events of frame N are delivered right after the
// N-th flip, in file order, so the game sees them in frame N + 1; events of frame 0 are there
// before the first frame. A shot of frame N captures the picture drawn during frame N, that is
// inside flip N + 1 just before it is shown: "0 shot a.png" saves the very first frame.
#pragma once
#include "runtime/pad_state.h"
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The largest script read; anything bigger is not a script.
constexpr long long MAX_SCRIPT = 16 * 1024 * 1024;

struct ScriptEvent {
    enum Kind { Down, Up, Char, Shot, Close, PadAttach, PadDetach, PadButton, PadAxis } kind = Down;
    long frame = 0;
    int code = 0;        // key code or character; a pad's button (PadButton) or axis (0 x, 1 y)
    std::string file;    // shot: the file; PadAttach: the pad's name
    int pad = 0;         // the script's number of the pad (1-16)
    int value = 0;       // PadButton: 1 down, 0 up; PadAxis: the axis value
    bool window = false; // a shot of the whole window (windowshot)
};

struct Script {
    std::vector<ScriptEvent> events; // by frame, in file order within a frame
    std::deque<int> answers;         // 1 yes, 0 no, -1 cancel
};

// Parses a whole script; false with "line N: what is wrong" in error.
bool ParseScript(std::string_view text, Script& out, std::string& error);
// Reads and parses a script file; the error names the file.
bool LoadScript(const std::string& path, Script& out, std::string& error);

// Hands out the events of a script frame by frame.
class ScriptPlayer {
  public:
    void start(Script script);
    // Passes every event up to the frame that was not passed yet, in order.
    void deliver(long frame, const std::function<void(const ScriptEvent&)>& apply);
    // The next scripted answer; "no" (0) once the answers are used up.
    int nextAnswer();

  private:
    Script script_;
    size_t next_ = 0;
};
