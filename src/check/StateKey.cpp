#include "check/StateKey.h"

#include "app/Fom.h"

#include <algorithm>

namespace {

// Two independent 64-bit hashes of the same bytes make a key that no two states of any story share
// by accident.
class Hasher {
  public:
    explicit Hasher(std::uint64_t seed)
        : a_(1469598103934665603ull ^ seed), b_(0x9E3779B97F4A7C15ull + seed) {}
    void add(std::uint64_t v) {
        a_ = (a_ ^ v) * 1099511628211ull;
        b_ = (b_ + v + 0x632BE59BD9B4E019ull) * 0xD6E8FEB86659FD93ull;
        b_ ^= b_ >> 32;
    }
    void add(const std::u16string& s) {
        add(s.size());
        for (char16_t c : s) add(c);
    }
    std::uint64_t a() const { return a_; }
    std::uint64_t b() const { return b_; }

  private:
    std::uint64_t a_, b_;
};

// The "where": the stop, the day, the closed storylines, the panel's places, a running question.
void where(Hasher& h, const Fom& f, RoutePlayer::Stop stop) {
    h.add(static_cast<std::uint64_t>(stop));
    h.add(f.DayDate.caption);
    for (bool b : f.game.CnFlags) h.add(b);
    for (const Control* c : f.com) h.add(static_cast<std::uint64_t>(c->visible) * 2 + c->enabled);
    h.add(f.ClickMe.fillColor);
    h.add(f.game.TurnLimit);
    h.add(f.game.LoveThreshold);
    if (stop != RoutePlayer::Stop::Question) return;
    const QuestionState& q = f.question;
    h.add(q.QstTargets[0]);
    h.add(q.QstTargets[1]);
    h.add(static_cast<std::uint64_t>(q.QstCount));
    h.add(static_cast<std::uint64_t>(q.answers));
    for (const Control* c : f.QstLBl) h.add(c->visible);
    h.add(f.QstTim.enabled());
}

bool anyClosed(const GameState& g) {
    return std::any_of(g.CnFlags.begin(), g.CnFlags.end(), [](bool b) { return b; });
}

void visits(Hasher& h, const GameState& g) {
    // The panel reads the visits only while no storyline is closed, and no storyline opens again.
    if (anyClosed(g)) return;
    for (bool b : g.VisitFlags) h.add(b);
}

void storyline(Hasher& h, const GameState& g, int c, int loveCap) {
    h.add(static_cast<std::uint64_t>(std::min<int>(g.LoveLevels[c], loveCap)));
    for (bool b : g.OnOffFlags[c]) h.add(b);
    h.add(g.GnFlags[c]);
}

} // namespace

StateKey StateKey::of(const Fom& f, RoutePlayer::Stop stop, int loveCap, bool exact) {
    Hasher h(0);
    where(h, f, stop);
    const GameState& g = f.game;
    for (int c = 0; c < 3; ++c) storyline(h, g, c, loveCap);
    if (exact) h.add(static_cast<std::uint64_t>(g.TurnCount));
    visits(h, g);
    return {h.a(), h.b()};
}

StateKey::Parts StateKey::parts(const Fom& f, RoutePlayer::Stop stop, int loveCap) {
    Parts p;
    const GameState& g = f.game;
    Hasher w(1);
    where(w, f, stop);
    p.where = w.a();
    for (int c = 0; c < 3; ++c) {
        Hasher h(p.where + 2);
        h.add(static_cast<std::uint64_t>(c));
        for (bool b : g.OnOffFlags[c]) h.add(b);
        h.add(g.LoveLevels[c] >= loveCap);
        p.flags[static_cast<std::size_t>(c)] = h.a();
        p.counters[static_cast<std::size_t>(c)] = std::min<int>(g.LoveLevels[c], loveCap);
    }
    Hasher gn(p.where + 3);
    for (bool b : g.GnFlags) gn.add(b);
    p.flags[3] = gn.a();
    p.counters[3] = g.TurnCount;
    p.counters[4] =
        anyClosed(g) ? 0 : static_cast<int>(std::count(g.VisitFlags.begin(), g.VisitFlags.end(), true));
    return p;
}
