// Saving and restoring a game's evolving state; see snapshot.h.
#include "match/snapshot.h"

namespace {

// Every object of the world in stepping order (the order the snapshot keeps its balls in).
template <class F> void eachobject(const World& world, F f) {
    for (ragobject* figure : world.figures) f(*figure);
    for (ragobject* body : world.ballbodies) f(*body);
    if (world.obstacles) f(*world.obstacles);
}

// A list of effects put back: the objects already there are reused when the count matches
// (going back a few frames seldom changes the bursts alive), otherwise the list is rebuilt.
template <class T> void restorelist(TList<T>& list, const std::vector<T>& saved) {
    if (list.count() == static_cast<int>(saved.size())) {
        size_t i = 0;
        for (const std::shared_ptr<T>& item : list) *item = saved[i++];
        return;
    }
    list.clear();
    for (const T& item : saved) list.addLast(std::make_shared<T>(item));
}

template <class T> void savelist(TList<T>* list, std::vector<T>& into) {
    into.clear();
    if (!list) return;
    for (const std::shared_ptr<T>& item : *list) into.push_back(*item);
}

// The hash of plain values one after the other.
class Hasher {
  public:
    template <class T> void add(const T& value) { hash_ = hashbytes(&value, sizeof(T), hash_); }
    void add(const std::string& text) {
        hash_ = hashbytes(text.data(), text.size(), hash_);
        // As 8 bytes on every system: size_t is 4 in the browser's 32-bit wasm.
        add(static_cast<uint64_t>(text.size()));
    }
    uint64_t hash() const { return hash_; }

  private:
    uint64_t hash_ = HASHSTART;
};

} // namespace

void savesnapshot(const Tmatch& m, MatchSnapshot& into) {
    into.match = m;
    into.balls.clear();
    into.objects.clear();
    eachobject(m.world, [&](const ragobject& body) {
        into.objects.push_back(body);
        for (const auto& ball : body.balls) into.balls.push_back(*ball);
    });
    into.figures.clear();
    for (int k = 0; k < m.mancount; ++k) into.figures.push_back(*m.men[k]);
    into.mainballs.clear();
    for (int b = 0; b < m.mainballcount; ++b) into.mainballs.push_back(*m.mainballs[b]);
    savelist(m.rockets.get(), into.rockets);
    savelist(m.trailitems.get(), into.trailitems);
}

void restoresnapshot(Tmatch& m, const MatchSnapshot& from) {
    static_cast<Tmatchstate&>(m) = from.match;
    size_t ball = 0, object = 0;
    eachobject(m.world, [&](ragobject& body) {
        static_cast<ragobjectstate&>(body) = from.objects[object++];
        for (auto& b : body.balls) static_cast<Tballstate&>(*b) = from.balls[ball++];
    });
    for (int k = 0; k < m.mancount; ++k) static_cast<Tmanstate&>(*m.men[k]) = from.figures[k];
    for (int b = 0; b < m.mainballcount; ++b)
        static_cast<Tmainballstate&>(*m.mainballs[b]) = from.mainballs[b];
    if (m.rockets) restorelist(*m.rockets, from.rockets);
    if (m.trailitems) restorelist(*m.trailitems, from.trailitems);
}

uint64_t statehash(const MatchSnapshot& s) {
    Hasher h;
    for (const Tballstate& b : s.balls) {
        h.add(b.x), h.add(b.y), h.add(b.vx), h.add(b.vy), h.add(b.oldx), h.add(b.oldy);
    }
    for (const Tmanstate& figure : s.figures) h.add(figure.bar), h.add(figure.wins);
    for (const Tmainballstate& ball : s.mainballs) h.add(ball.owner), h.add(ball.idle);
    h.add(s.match.random.state);
    h.add(s.match.frame), h.add(s.match.winner), h.add(s.match.score);
    h.add(s.match.state);
    return h.hash();
}

uint64_t statehash(const Tmatch& m) {
    MatchSnapshot s;
    savesnapshot(m, s);
    return statehash(s);
}

uint64_t hashbytes(const void* data, size_t size, uint64_t hash) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ULL;
    return hash;
}
