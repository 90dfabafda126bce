#include "check/RouteSearch.h"

#include "app/Fom.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

constexpr std::uint32_t kNone = UINT32_MAX;
// The routes to states from which no ending can be reached that a report shows.
constexpr std::size_t kMostTraps = 10;

bool waits(RoutePlayer::Stop stop) {
    return stop == RoutePlayer::Stop::Panel || stop == RoutePlayer::Stop::Question;
}

std::string flagName(const Fom::FlagTest& t) {
    if (t.kind == Fom::FlagTest::Kind::Gn) return "GnFlags(" + std::to_string(t.first) + ")";
    return "OnOffFlags(" + std::to_string(t.first) + "," + std::to_string(t.second) + ")";
}

std::u16string sceneOf(const Fom& f) {
    return std::filesystem::path(f.script.currentPath).stem().u16string();
}

} // namespace

struct RouteSearch::Worker {
    explicit Worker(const std::string& gameDir) : player(gameDir) {}
    RoutePlayer player;
    std::vector<FlagTest> tests;
};

RouteSearch::RouteSearch(std::string gameDir, Options options)
    : gameDir_(std::move(gameDir)), options_(std::move(options)) {}

RouteSearch::Route RouteSearch::routeTo(std::uint32_t node) const {
    Route route;
    for (std::uint32_t n = node; n != kNone; n = nodes_[n].parent) route.push_back(nodes_[n].decision);
    std::reverse(route.begin(), route.end());
    return route;
}

RouteSearch::Route RouteSearch::routeThrough(std::uint32_t from, const Decision& d) const {
    Route route = from == kNone ? Route{} : routeTo(from);
    route.push_back(d);
    return route;
}

void RouteSearch::explore(Worker& worker, std::uint32_t nodeId, std::vector<Move>& moves) {
    RoutePlayer& p = worker.player;
    Game& game = p.game();
    Node& node = nodes_[nodeId];
    if (node.snapshot.empty()) {
        // Copies are made only of states found new: the move that found this one is made again
        // from the state before it, which is kept until its round's states are explored.
        game.restore(nodes_[node.parent].snapshot);
        p.take(node.decision);
        p.run();
        node.snapshot = game.snapshot();
    } else {
        game.restore(node.snapshot);
    }
    worker.tests.clear();
    bool fresh = true; // the game stands where the node is
    for (const Decision& d : p.decisions(node.stop)) {
        std::vector<std::vector<float>> plans{{}};
        while (!plans.empty()) {
            Decision taken = d;
            taken.draws = std::move(plans.back());
            plans.pop_back();
            if (!fresh) game.restore(node.snapshot);
            fresh = false;
            worker.tests.clear();
            p.take(taken);
            // Each draw the plan left open is tried at its other outcomes too.
            const auto made = p.draws();
            std::vector<float> values;
            for (std::size_t k = 0; k < made.size(); ++k) {
                if (k >= taken.draws.size())
                    for (std::size_t alt = 1; alt < made[k].choices.size(); ++alt) {
                        std::vector<float> plan = values;
                        plan.push_back(made[k].choices[alt]);
                        plans.push_back(std::move(plan));
                    }
                values.push_back(made[k].value);
            }
            taken.draws = values;

            Move m{nodeId, std::move(taken), p.run(), {}, {}, false, {}, {}, {}};
            const Fom& f = game.fom();
            m.decides = waits(m.leg.stop) && !m.leg.staffRoll;
            m.scene = sceneOf(f);
            m.state = f.game;
            m.tests = worker.tests;
            if (m.decides) {
                m.key = StateKey::of(f, m.leg.stop, options_.loveCap, options_.exact);
                m.parts = StateKey::parts(f, m.leg.stop, options_.loveCap);
            }
            moves.push_back(std::move(m));
        }
    }
}

void RouteSearch::record(const Move& m) {
    const auto first = std::make_pair(m.from, m.decision);
    for (const auto& scene : m.leg.scenes) firstScene_.emplace(scene, first);
    const auto stop = m.leg.stop;
    if (stop == RoutePlayer::Stop::Error) firstError_.emplace(m.leg.error, first);
    if (m.leg.staffRoll || stop == RoutePlayer::Stop::Title) {
        Ending e;
        e.staffRoll = m.leg.staffRoll;
        const auto& sc = m.leg.scenes;
        e.turnLimit = std::find(sc.begin(), sc.end(), u"a_end") != sc.end();
        e.allClosed = std::find(sc.begin(), sc.end(), u"end") != sc.end();
        e.after = stop;
        firstEnding_.emplace(m.leg.ending, std::make_pair(first, e));
    }
    if (!m.leg.staffRoll && (stop == RoutePlayer::Stop::Stuck || stop == RoutePlayer::Stop::Loop))
        firstTrap_.emplace(std::make_pair(stop, m.leg.scenes.empty() ? m.scene : m.leg.scenes.back()), first);
    for (const FlagTest& t : m.tests) {
        const auto at = std::make_tuple(t.file, t.line, t.flag);
        auto [it, fresh] = testIndex_.emplace(at, result_.flagTests.size());
        if (fresh) {
            result_.flagTests.push_back(t);
            testFirst_.push_back(first);
        }
        result_.flagTests[it->second].seenTrue |= t.seenTrue;
    }
    const GameState& g = m.state;
    for (int c = 0; c < 3; ++c) {
        const std::string i = std::to_string(c);
        if (g.CnFlags[c]) result_.flagsSet.insert("CnFlags(" + i + ")");
        if (g.GnFlags[c]) result_.flagsSet.insert("GnFlags(" + i + ")");
        for (int u = 0; u < 4; ++u)
            if (g.OnOffFlags[c][u])
                result_.flagsSet.insert("OnOffFlags(" + i + "," + std::to_string(u) + ")");
    }
}

bool RouteSearch::novel(const StateKey::Parts& p) const {
    for (std::uint64_t flags : p.flags)
        if (!parts_.count(flags)) return true;
    const auto at = ranges_.find(p.where);
    if (at == ranges_.end()) return true;
    for (std::size_t k = 0; k < p.counters.size(); ++k)
        if (p.counters[k] < at->second[k].first || p.counters[k] > at->second[k].second) return true;
    return false;
}

bool RouteSearch::remember(const StateKey::Parts& p) {
    bool fresh = false;
    for (std::uint64_t flags : p.flags) fresh |= parts_.insert(flags).second;
    auto [at, first] = ranges_.try_emplace(p.where);
    for (std::size_t k = 0; k < p.counters.size(); ++k) {
        auto& [low, high] = at->second[k];
        const int v = p.counters[k];
        if (first || v < low) low = v, fresh = true;
        if (first || v > high) high = v, fresh = true;
    }
    return fresh;
}

void RouteSearch::merge(std::vector<Move>& moves, std::vector<std::uint32_t>& nextRound) {
    for (Move& m : moves) {
        ++result_.moves;
        record(m);
        if (!m.decides) {
            if (m.leg.staffRoll || m.leg.stop == RoutePlayer::Stop::Title) nodes_[m.from].endsNext = true;
            continue;
        }
        const auto it = visited_.find(m.key);
        if (it != visited_.end() && nodes_[it->second].turns <= m.state.TurnCount) {
            // The same state, or one alike but for fewer turns used, which can do all this one can.
            // This one is nearer the turn limit, whose ending the other reaches only by more turns, so
            // it is not taken for a state no ending can be reached from.
            nodes_[m.from].next.push_back(it->second);
            if (nodes_[it->second].turns < m.state.TurnCount) nodes_[m.from].unknownNext = true;
            continue;
        }
        const bool fresh = remember(m.parts) || options_.exact;
        if (!fresh || nodes_.size() >= options_.maxStates) {
            nodes_[m.from].unknownNext = true;
            if (fresh) result_.covered = false;
            continue;
        }
        const auto id = static_cast<std::uint32_t>(nodes_.size());
        nodes_.push_back({m.from,
                          std::move(m.decision),
                          nodes_[m.from].depth + 1,
                          m.leg.stop,
                          {},
                          m.scene,
                          {},
                          false,
                          false,
                          m.state.TurnCount});
        if (it != visited_.end())
            it->second = id;
        else
            visited_.emplace(m.key, id);
        nodes_[m.from].next.push_back(id);
        nextRound.push_back(id);
    }
    moves.clear();
}

void RouteSearch::findTraps() {
    // A state is good when a decision there ends the game, or leads to a good state, or to one left
    // unexplored (which may well be good). The others can never end the game.
    std::vector<std::vector<std::uint32_t>> before(nodes_.size());
    std::vector<char> good(nodes_.size(), 0);
    std::vector<std::uint32_t> work;
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        for (std::uint32_t next : nodes_[n].next) before[next].push_back(n);
        if (nodes_[n].endsNext || nodes_[n].unknownNext || !nodes_[n].explored) {
            good[n] = 1;
            work.push_back(n);
        }
    }
    while (!work.empty()) {
        const std::uint32_t n = work.back();
        work.pop_back();
        for (std::uint32_t b : before[n])
            if (!good[b]) {
                good[b] = 1;
                work.push_back(b);
            }
    }
    // Each way into such a state from a good one is shown once.
    for (std::uint32_t n = 0; n < nodes_.size() && result_.traps.size() < kMostTraps; ++n) {
        if (good[n]) continue;
        const std::uint32_t parent = nodes_[n].parent;
        if (parent != kNone && !good[parent]) continue;
        result_.traps.push_back({routeTo(n), nodes_[n].stop, nodes_[n].scene});
    }
}

void RouteSearch::walkToTheTurnLimit() {
    // The turns used are merged away, so the search may never stand at the limit, or only late: from the
    // opening, the empty places alone (each costs a turn; nobody's draw leaves the special place hidden)
    // reach it in the fewest decisions there are.
    RoutePlayer p(gameDir_);
    p.setLoveCap(options_.loveCap);
    if (!p.start()) return;
    Route route{{Decision::Kind::Difficulty, options_.difficulty, {}}};
    p.take(route.front());
    RoutePlayer::Leg leg = p.run();
    const int most = 4 * (p.game().fom().game.TurnLimit + 10);
    for (int step = 0; step < most; ++step) {
        if (leg.staffRoll || leg.stop == RoutePlayer::Stop::Title) {
            const auto& sc = leg.scenes;
            if (std::find(sc.begin(), sc.end(), u"a_end") == sc.end()) return;
            Ending e;
            e.route = std::move(route);
            e.staffRoll = leg.staffRoll;
            e.turnLimit = true;
            e.after = leg.stop;
            // The empty places alone may be a shorter way than the search's, whose turns were merged.
            auto [at, fresh] = result_.endings.emplace(leg.ending, e);
            if (!fresh && at->second.route.size() > e.route.size()) at->second = std::move(e);
            return;
        }
        Decision next{Decision::Kind::TimeOut, 0, {}};
        if (leg.stop == RoutePlayer::Stop::Panel) {
            const Snapshot here = p.game().snapshot();
            bool found = false;
            for (Decision d : p.decisions(leg.stop)) {
                p.game().restore(here);
                d.draws = {0.9f};
                p.take(d);
                const auto& made = p.draws();
                if (!made.empty() && made.front().kind == Draw::EmptyPlace) {
                    next = d;
                    found = true;
                    break;
                }
            }
            p.game().restore(here);
            if (!found) {
                // Nobody's place today: a meeting costs no turn, at the lowest bonus.
                const auto offered = p.decisions(leg.stop);
                if (offered.empty()) return;
                next = offered.front();
                next.draws = {SearchRandom::bonusValue(0)};
            }
            p.take(next);
        } else if (leg.stop == RoutePlayer::Stop::Question) {
            p.take(next);
        } else {
            return;
        }
        route.push_back(next);
        leg = p.run();
    }
}

RouteSearch::Result RouteSearch::run() {
    const auto began = std::chrono::steady_clock::now();
    result_ = {};
    result_.difficulty = options_.difficulty;
    result_.exact = options_.exact;
    result_.covered = true;

    const unsigned threads = std::max(1u, options_.threads);
    std::vector<std::unique_ptr<Worker>> workers;
    for (unsigned i = 0; i < threads; ++i) {
        workers.push_back(std::make_unique<Worker>(gameDir_));
        Worker& w = *workers.back();
        w.player.setLoveCap(options_.loveCap);
        w.player.tryEveryBonus(options_.exact);
        Fom& f = w.player.game().fom();
        f.onFlagTested = [&w, &f](const Fom::FlagTest& t) {
            w.tests.push_back({std::filesystem::path(f.script.currentPath).filename().string(),
                               f.script.currentLineNumber,
                               flagName(t),
                               t.value,
                               {}});
        };
    }
    // The first worker plays the title and the opening; the others start from its copy.
    Worker& first = *workers.front();
    for (auto& w : workers)
        if (!w->player.start()) {
            result_.errors.emplace(w->player.game().error(), Route{});
            result_.covered = false;
            return result_;
        }
    const Decision difficulty{Decision::Kind::Difficulty, options_.difficulty, {}};
    first.tests.clear();
    first.player.take(difficulty);
    // Levels at or above the difficulty's threshold are alike, unless the story lowers a level.
    if (options_.loveCap == 0) options_.loveCap = first.player.game().fom().game.LoveThreshold;
    for (auto& w : workers) w->player.setLoveCap(options_.loveCap);
    {
        Move m{kNone, difficulty, first.player.run(), {}, {}, false, {}, {}, {}};
        const Fom& f = first.player.game().fom();
        m.scene = sceneOf(f);
        m.state = f.game;
        m.tests = first.tests;
        record(m);
        if (waits(m.leg.stop) && !m.leg.staffRoll) {
            nodes_.push_back({kNone,
                              difficulty,
                              1,
                              m.leg.stop,
                              first.player.game().snapshot(),
                              m.scene,
                              {},
                              false,
                              false,
                              f.game.TurnCount});
            visited_.emplace(StateKey::of(f, m.leg.stop, options_.loveCap, options_.exact), 0);
            remember(StateKey::parts(f, m.leg.stop, options_.loveCap));
        }
    }

    std::vector<std::uint32_t> round, previous;
    if (!nodes_.empty()) round.push_back(0);
    while (!round.empty()) {
        // The round's states are shared out in turn; each worker's moves are merged in the order of
        // the states, so that the result never depends on which worker was quicker.
        std::vector<std::vector<Move>> byNode(round.size());
        auto work = [&](unsigned w) {
            for (std::size_t i = w; i < round.size(); i += threads) explore(*workers[w], round[i], byNode[i]);
        };
        std::vector<std::thread> running;
        for (unsigned w = 1; w < threads; ++w) running.emplace_back(work, w);
        work(0);
        for (auto& t : running) t.join();
        std::vector<std::uint32_t> next;
        for (std::size_t i = 0; i < round.size(); ++i) merge(byNode[i], next);
        // The round before is no longer needed to make its states again.
        for (std::uint32_t n : previous) nodes_[n].snapshot = {};
        for (std::uint32_t n : round) nodes_[n].explored = true;
        previous = std::move(round);
        round = std::move(next);
        if (options_.progress) options_.progress(nodes_.size(), round.size());
    }

    for (auto& [name, first] : firstScene_)
        result_.scenes.emplace(name, routeThrough(first.first, first.second));
    for (auto& [text, first] : firstError_)
        result_.errors.emplace(text, routeThrough(first.first, first.second));
    for (auto& [name, found] : firstEnding_) {
        Ending e = found.second;
        e.route = routeThrough(found.first.first, found.first.second);
        result_.endings.emplace(name, std::move(e));
    }
    for (auto& [what, first] : firstTrap_)
        if (result_.traps.size() < kMostTraps)
            result_.traps.push_back({routeThrough(first.first, first.second), what.first, what.second});
    findTraps();
    walkToTheTurnLimit();
    for (std::size_t i = 0; i < result_.flagTests.size(); ++i)
        result_.flagTests[i].route = routeThrough(testFirst_[i].first, testFirst_[i].second);
    result_.states = nodes_.size();
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return result_;
}
