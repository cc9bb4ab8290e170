#include "match/trace.h"
#include "match/match.h"
#include "physics/mainball.h"
#include "physics/man.h"

namespace {

void appendreal(std::string& out, double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, " %.17g", v);
    out += buffer;
}

void appendint(std::string& out, int v) {
    out += ' ';
    out += std::to_string(v);
}

} // namespace

std::string traceheader(const Tmatch& m) {
    std::string out = "level frame state winner owner idle x y";
    for (int k = 1; k <= m.mancount; ++k) {
        std::string n = std::to_string(k);
        out += " bar" + n + " centrex" + n + " centrey" + n;
    }
    return out;
}

std::string traceline(const Tmatch& m) {
    std::string out = std::to_string(m.level);
    appendint(out, m.frame);
    out += ' ';
    out += m.state;
    appendint(out, m.winner);
    const Tmainball& ball = *m.mainballs[0];
    appendint(out, ball.owner);
    appendint(out, ball.idle);
    appendreal(out, ball.x);
    appendreal(out, ball.y);
    for (int k = 0; k < m.mancount; ++k) {
        const Tman& figure = *m.men[k];
        // The centre is worked out here rather than by the figure, so tracing changes nothing.
        double sx = 0, sy = 0;
        for (const auto& b : figure.balls) {
            sx += b->x;
            sy += b->y;
        }
        double n = double(figure.balls.size());
        appendreal(out, figure.bar);
        appendreal(out, sx / n);
        appendreal(out, sy / n);
    }
    return out;
}

MatchTrace::MatchTrace(const std::string& path) : file(std::fopen(path.c_str(), "ab")) {}

MatchTrace::~MatchTrace() {
    if (file) std::fclose(file);
}

void MatchTrace::header(const Tmatch& m) {
    if (file) std::fprintf(file, "%s\n", traceheader(m).c_str());
}

void MatchTrace::line(const Tmatch& m) {
    write(traceline(m));
}

void MatchTrace::write(const std::string& text) {
    if (file) std::fprintf(file, "%s\n", text.c_str());
}
