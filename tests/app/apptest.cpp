// See apptest.h.
#include "apptest.h"
#include "gamefolder.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "runtime/testing.h"
#include <filesystem>
#include <fstream>

namespace {

// One runtime and one temporary folder for the whole test program.
void startonce() {
    static bool started = false;
    if (started) return;
    started = true;
    StartInTempGameFolder(VideoMode::Recording);
}

} // namespace

void AppTest::SetUp() {
    startonce();
    std::filesystem::remove("prefs.txt");
    std::filesystem::remove("scores.txt");
    std::filesystem::remove("settings.txt");
    app.defaults();
    defaultscores(*app.scores);
}

void AppTest::TearDown() {
    TestPlayScript(Script{});
}

void AppTest::input(const std::string& text) {
    Script script;
    std::string error;
    ASSERT_TRUE(ParseScript(text, script, error)) << error;
    TestPlayScript(std::move(script));
}

void AppTest::opendisplay(int resolution) {
    app.setupdisplay(0, resolution, 1);
    forget();
}

void AppTest::forget() {
    Recorder()->calls.clear();
}

std::vector<std::vector<DrawCall>> AppTest::frames() const {
    std::vector<std::vector<DrawCall>> result;
    for (const DrawCall& call : Recorder()->calls) {
        if (call.kind == DrawCall::Clear) {
            result.emplace_back();
        } else if (!result.empty()) {
            result.back().push_back(call);
        }
    }
    return result;
}

std::vector<std::string> AppTest::filelines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

const DrawCall* findtext(const std::vector<DrawCall>& frame, const std::string& text) {
    for (const DrawCall& call : frame) {
        if (call.kind == DrawCall::Text && call.what == text) return &call;
    }
    return nullptr;
}

const DrawCall* findprefix(const std::vector<DrawCall>& frame, const std::string& prefix) {
    for (const DrawCall& call : frame) {
        if (call.kind == DrawCall::Text && call.what.rfind(prefix, 0) == 0) return &call;
    }
    return nullptr;
}

bool isgrey(const DrawCall& call) {
    return call.state.r == 100 && call.state.g == 100 && call.state.b == 100;
}
