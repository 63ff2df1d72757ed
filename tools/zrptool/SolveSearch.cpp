#include "tools/zrptool/SolveSearch.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numeric>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "game/media/MediaDevices.h"
#include "game/play/Physics.h"

namespace zarp::zrptool {

namespace {

using Clock = std::chrono::steady_clock;

// The aim runs over half units: 0 to 720 stand for the angles 0.0 to 360.0.
constexpr int32_t kHalfUnits = 720;
// A shot that has not stopped after this many frames (a conveyor loop, ice between walls) is
// given up; only the brake can end it.
constexpr int32_t kMaxFlightFrames = 6000;
// Waits tried before a shot when toggle blocks make the moment matter.
constexpr int32_t kWaitStep = 16;
constexpr int32_t kMaxWait = 160;
// Brakes tried: pressed from every kBrakeStep-th flight frame on, and let go after each of
// kBrakeHolds frames (0: held until the ball rests). A short press slows the ball without
// stopping it; more than 30 frames also end a shot on a belt.
constexpr int32_t kBrakeStep = 10;
constexpr int32_t kMaxBrakeStart = 800;
constexpr std::array<int32_t, 3> kBrakeHolds = {0, 6, 18};
// After the first clearing shot of a level, this many more positions are tried for coins.
constexpr size_t kExtraPositions = 24;
// Positions kept per level at most; beyond that the search cannot be exhaustive.
constexpr size_t kMaxFrontier = 3000000;
// Resting positions held for one level before they are merged: about 90 bytes each.
constexpr size_t kMaxChildren = 4000000;

struct Node {
    double x = 0, y = 0, angle = 0;
    uint64_t coins = 0;  // bit k: coin entry k + 2 taken
    int32_t blink = 0;
    int32_t parent = -1;
    int32_t coinsTaken = 0;
    int32_t frames = 0;  // play frames from the start of the stage
    bool noFriction = false;
    ShotPlan plan;
};

struct NodeKey {
    uint64_t x, y, angle, coins;
    int32_t blink;
    bool noFriction;
    bool operator==(const NodeKey&) const = default;
};
struct NodeKeyHash {
    size_t operator()(const NodeKey& k) const {
        uint64_t h = k.x * 0x9E3779B97F4A7C15ull;
        h ^= (k.y + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        h ^= (k.angle + (h << 6) + (h >> 2)) * 0x165667B19E3779F9ull;
        h ^= k.coins * 0x27D4EB2F165667C5ull;
        h ^= static_cast<uint64_t>(k.blink) * 0x94D049BB133111EBull + k.noFriction;
        return static_cast<size_t>(h ^ (h >> 31));
    }
};

uint64_t Bits(double v) {
    uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

struct Stage {
    StageSlotView view;
    StageStart start;
    int32_t toggles = 0;
    int32_t coinCount = 0;
    BlockCells cells;
    std::vector<std::pair<double, double>> goals;  // centres
};

// Shortest turns from one aim position to every other: moves of -3, -1, +1, +3 half units
// (Left or Right, with X for three times the speed), wrapping as the aim does.
struct AimPaths {
    std::array<int16_t, kHalfUnits + 1> previous{};
    std::array<int8_t, kHalfUnits + 1> move{};
    std::array<int16_t, kHalfUnits + 1> distance{};

    static int32_t Step(int32_t h, int32_t m) {
        int32_t v = h + m;
        if (v < 0) v += kHalfUnits;
        if (v > kHalfUnits) v -= kHalfUnits;
        return v;
    }

    void From(int32_t start) {
        distance.fill(-1);
        std::array<int16_t, kHalfUnits + 1> queue{};
        size_t head = 0, tail = 0;
        distance[start] = 0;
        previous[start] = -1;
        queue[tail++] = static_cast<int16_t>(start);
        while (head < tail) {
            const int32_t h = queue[head++];
            for (int32_t m : {3, -3, 1, -1}) {
                const int32_t v = Step(h, m);
                if (distance[v] >= 0) continue;
                distance[v] = static_cast<int16_t>(distance[h] + 1);
                previous[v] = static_cast<int16_t>(h);
                move[v] = static_cast<int8_t>(m);
                queue[tail++] = static_cast<int16_t>(v);
            }
        }
    }

    // The moves to an angle whose whole unit is `angle`.
    std::vector<int8_t> To(int32_t angle) const {
        int32_t target = 2 * angle;
        if (2 * angle + 1 <= kHalfUnits && distance[2 * angle + 1] < distance[target])
            target = 2 * angle + 1;
        std::vector<int8_t> moves;
        for (int32_t h = target; distance[h] > 0; h = previous[h])
            moves.push_back(move[h]);
        std::reverse(moves.begin(), moves.end());
        return moves;
    }
};

uint8_t MoveKeys(int8_t m) {
    uint8_t keys = m > 0 ? kKeyRight : kKeyLeft;
    if (m == 3 || m == -3) keys |= kKeyX;
    return keys;
}

struct Outcome {
    bool cleared = false;
    bool rested = false;  // with a shot left to play
    Node child;
    int32_t frames = 0;
};

void AddKeys(std::vector<KeyRun>* keys, uint8_t bits) {
    if (!keys) return;
    if (!keys->empty() && keys->back().keys == bits) {
        keys->back().frames += 1;
    } else {
        keys->push_back({1, bits});
    }
}

// One shot from a resting ball, played through the game's frame function.
Outcome PlayShot(const Stage& stage, const Node& from, int32_t rest, const ShotPlan& plan,
                 const std::vector<int8_t>& aim, std::vector<KeyRun>* keys) {
    Outcome out;
    Player p;
    p.x = from.x;
    p.y = from.y;
    p.angle = from.angle;
    p.rest = rest;
    p.noFriction = from.noFriction;
    p.flying = false;
    p.brakeLatch = true;
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};
    for (int32_t i = 0; i < stage.view.entityCount; ++i) {
        const bool taken = i >= 2 && (from.coins >> (i - 2) & 1) != 0;
        coinPresent[static_cast<size_t>(i)] = taken ? 0 : 1;
    }
    int32_t blink = from.blink;
    bool shotLatch = true;
    PlayWorld world{p,
                    stage.view,
                    coinPresent,
                    blink,
                    stage.toggles,
                    stage.start.x,
                    stage.start.y,
                    stage.start.startAngle,
                    shotLatch,
                    &stage.cells};
    HeldInput input;
    PlayEvents events;
    int32_t coinsTaken = 0;
    auto frame = [&](uint8_t bits) {
        input.held = {(bits & kKeyLeft) != 0,  (bits & kKeyRight) != 0, false, false,
                      (bits & kKeySpace) != 0, (bits & kKeyX) != 0};
        events.Clear();
        PlayFrame(world, input, events);
        coinsTaken += events.coinsTaken;
        AddKeys(keys, bits);
        ++out.frames;
    };
    // Aim: every turning frame has Space up, which also frees the shot latch; with no turn one
    // still frame does that.
    for (int8_t m : aim)
        frame(MoveKeys(m));
    if (aim.empty()) frame(0);
    for (int32_t w = 0; w < plan.wait; ++w)
        frame(0);
    frame(kKeySpace);
    if (!events.fired) return out;
    for (int32_t k = 1; k <= kMaxFlightFrames; ++k) {
        const bool brake = plan.brakeFrom > 0 && k >= plan.brakeFrom && k <= plan.brakeTo;
        frame(brake ? kKeySpace : 0);
        if (events.goal && !events.gameOver) {
            out.cleared = true;
            out.child.coinsTaken = from.coinsTaken + coinsTaken;
            return out;
        }
        if (events.shotEnded) {
            if (events.gameOver) return out;
            out.rested = true;
            Node& c = out.child;
            c.x = p.x;
            c.y = p.y;
            c.angle = p.angle;
            c.blink = blink;
            c.noFriction = p.noFriction;
            c.coins = 0;
            for (int32_t i = 2; i < stage.view.entityCount && i < 66; ++i) {
                if (!coinPresent[static_cast<size_t>(i)]) c.coins |= uint64_t{1} << (i - 2);
            }
            c.coinsTaken = from.coinsTaken + coinsTaken;
            return out;
        }
    }
    return out;
}

struct Solution {
    int32_t parent = -1;  // node the last shot was played from
    ShotPlan plan;
    int32_t coins = 0;
    int32_t frames = 0;
};

enum class Pass { Angles, Waits, Brakes };

const char* PassName(Pass pass) {
    return pass == Pass::Angles ? "angles" : pass == Pass::Waits ? "waits" : "brakes";
}

// What a level search looks for: any clearing shot, or one that leaves no coin behind.
enum class Goal { Any, AllCoins };

struct PassResult {
    bool found = false;
    bool exhausted = true;  // false when the budget or the memory cap cut the search
    Solution solution;
    int32_t depth = 0;
};

// The first-shot directions that lead to a node.
using Directions = std::bitset<kDirections>;

class Search {
  public:
    Search(const Stage& stage, const SolveOptions& options, int32_t maxShots,
           Clock::time_point started, int32_t rest)
        : stage_(stage),
          options_(options),
          maxShots_(maxShots),
          rest_(rest),
          started_(started),
          deadline_(options.budgetSeconds > 0
                        ? started + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(options.budgetSeconds))
                        : Clock::time_point::max()) {}

    std::vector<Node> nodes;
    std::atomic<int64_t> simulations{0};
    // Beyond this many shots played the searches give up as if the budget had run out.
    int64_t shotLimit = INT64_MAX;

    Node Root() const {
        Node root;
        root.x = stage_.start.x;
        root.y = stage_.start.y;
        root.angle = stage_.start.startAngle;
        return root;
    }

    // Breadth-first over the number of shots: the first level with a clearing shot (one that
    // takes every coin, for Goal::AllCoins) gives the answer.
    PassResult Run(Pass pass, Goal goal) {
        nodes.clear();
        PassResult result;
        nodes.push_back(Root());
        std::unordered_set<NodeKey, NodeKeyHash> seen;
        seen.insert(KeyOf(nodes[0]));
        std::vector<int32_t> frontier{0};
        for (int32_t depth = 1; depth <= maxShots_ && !frontier.empty(); ++depth) {
            const bool last = depth == maxShots_;
            OrderFrontier(frontier, goal);
            std::vector<std::vector<Node>> children(frontier.size());
            std::vector<std::vector<Solution>> solutions(frontier.size());
            const bool complete =
                ExpandLevel(pass, goal, depth, frontier, last, children, solutions);
            // The best clearing shot of this level: most coins, then the quickest. Only the
            // positions that every run expands count, so the answer does not depend on timing.
            const size_t counted = foundAt_ == SIZE_MAX ? 0 : foundAt_ + kExtraPositions + 1;
            for (size_t i = 0; i < solutions.size() && i < counted; ++i) {
                for (const Solution& s : solutions[i]) {
                    if (!result.found || s.coins > result.solution.coins ||
                        (s.coins == result.solution.coins && s.frames < result.solution.frames)) {
                        result.found = true;
                        result.solution = s;
                        result.depth = depth;
                    }
                }
            }
            if (result.found) return result;
            if (!complete) {
                result.exhausted = false;
                return result;
            }
            if (last) break;
            std::vector<int32_t> next;
            for (std::vector<Node>& list : children) {
                for (Node& child : list) {
                    if (!seen.insert(KeyOf(child)).second) continue;
                    if (nodes.size() >= kMaxFrontier) {
                        result.exhausted = false;
                        return result;
                    }
                    next.push_back(static_cast<int32_t>(nodes.size()));
                    nodes.push_back(child);
                }
            }
            frontier.swap(next);
        }
        return result;
    }

    // The directions of the first shot that begin a clearing sequence of `par` shots, the
    // fewest there are. A position first reached with fewer shots is never on such a sequence
    // (from there the goal would take fewer than par shots in all), so each level keeps only
    // new positions, each with every first direction that reaches it. False when the budget or
    // the memory cap cut the count.
    bool Window(Pass pass, int32_t par, Directions& window) {
        window.reset();
        std::unordered_set<NodeKey, NodeKeyHash> seen;
        std::vector<Node> level{Root()};
        std::vector<Directions> reach(1);
        reach[0].set();
        seen.insert(KeyOf(level[0]));
        for (int32_t depth = 1; depth < par; ++depth) {
            // Every resting position after `depth` shots, merged with the first directions
            // that lead to it.
            std::vector<std::vector<Node>> children(level.size());
            const bool complete = ForEach(level.size(), depth, [&](size_t i) {
                return Expand(pass, level[i], rest_ - (depth - 1),
                              [&](const ShotPlan& plan, Outcome& o) {
                                  if (o.rested) {
                                      o.child.plan = plan;
                                      children[i].push_back(o.child);
                                  }
                                  return true;
                              });
            });
            if (!complete) return false;
            std::unordered_map<NodeKey, size_t, NodeKeyHash> index;
            std::vector<Node> next;
            std::vector<Directions> nextReach;
            for (size_t i = 0; i < level.size(); ++i) {
                for (const Node& child : children[i]) {
                    const NodeKey key = KeyOf(child);
                    if (seen.count(key)) continue;
                    Directions from = reach[i];
                    if (depth == 1) {
                        from.reset();
                        from.set(static_cast<size_t>(child.plan.angle));
                    }
                    const auto [at, added] = index.emplace(key, next.size());
                    if (added) {
                        if (next.size() >= kMaxFrontier) return false;
                        next.push_back(child);
                        nextReach.push_back(from);
                    } else {
                        nextReach[at->second] |= from;
                    }
                }
            }
            for (const auto& entry : index)
                seen.insert(entry.first);
            level.swap(next);
            reach.swap(nextReach);
        }
        // The last shot: a position counts once one of its shots clears; positions whose
        // directions are all counted already are skipped.
        std::vector<int32_t> order(level.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
            return GoalDistance(level[a]) < GoalDistance(level[b]);
        });
        std::mutex lock;
        return ForEach(order.size(), par, [&](size_t k) {
            const size_t i = static_cast<size_t>(order[k]);
            {
                const std::lock_guard<std::mutex> guard(lock);
                if ((reach[i] & ~window).none()) return true;
            }
            return Expand(pass, level[i], rest_ - (par - 1),
                          [&](const ShotPlan& plan, const Outcome& o) {
                              if (!o.cleared) return true;
                              const std::lock_guard<std::mutex> guard(lock);
                              if (par == 1) {
                                  window.set(static_cast<size_t>(plan.angle));
                                  return true;
                              }
                              window |= reach[i];
                              return false;
                          });
        });
    }

    bool Cancelled() const {
        return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed);
    }
    bool OutOfTime() const {
        return Cancelled() || Clock::now() > deadline_ ||
               simulations.load(std::memory_order_relaxed) > shotLimit;
    }

  private:
    NodeKey KeyOf(const Node& n) const {
        // The aim at rest only matters when toggle blocks make the turning time count.
        return {Bits(n.x),
                Bits(n.y),
                stage_.toggles ? Bits(n.angle) : 0,
                n.coins,
                stage_.toggles ? n.blink : 0,
                n.noFriction};
    }

    double GoalDistance(const Node& n) const {
        double best = 1e18;
        for (const auto& [gx, gy] : stage_.goals) {
            best = std::min(best, std::hypot(n.x + 8 - gx, n.y + 8 - gy));
        }
        return best;
    }

    // Nearest the goal first; when every coin is wanted, the positions with the most coins.
    void OrderFrontier(std::vector<int32_t>& frontier, Goal goal) const {
        std::vector<std::pair<double, int32_t>> order;
        order.reserve(frontier.size());
        for (int32_t i : frontier) {
            const double coinsFirst = goal == Goal::AllCoins ? -1e7 * nodes[i].coinsTaken : 0;
            order.emplace_back(coinsFirst + GoalDistance(nodes[i]), i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < order.size(); ++i)
            frontier[i] = order[i].second;
    }

    // Every choice of one shot from a resting position, each handed to visit(plan, outcome)
    // until it returns false. False when the budget ran out on the way.
    template <class Visit>
    bool Expand(Pass pass, const Node& from, int32_t rest, Visit&& visit) {
        AimPaths paths;
        paths.From(static_cast<int32_t>(std::lround(from.angle * 2)));
        std::vector<int32_t> waits{0};
        if (pass == Pass::Waits) {
            for (int32_t w = kWaitStep; w <= kMaxWait; w += kWaitStep)
                waits.push_back(w);
        }
        for (int32_t angle = 0; angle < kDirections; ++angle) {
            if ((pass != Pass::Angles && OutOfTime()) || Cancelled()) return false;
            const std::vector<int8_t> aim = paths.To(angle);
            for (int32_t wait : waits) {
                ShotPlan plan{angle, wait, 0, 0};
                Outcome o = PlayShot(stage_, from, rest, plan, aim, nullptr);
                simulations.fetch_add(1, std::memory_order_relaxed);
                if (!visit(plan, o)) return true;
                if (pass != Pass::Brakes) continue;
                const int32_t flight = o.frames - static_cast<int32_t>(aim.size()) - wait - 1;
                for (int32_t s = 2; s < std::min(flight, kMaxBrakeStart); s += kBrakeStep) {
                    for (int32_t hold : kBrakeHolds) {
                        plan.brakeFrom = s;
                        plan.brakeTo = hold == 0 ? kBrakeUntilRest : s + hold - 1;
                        Outcome b = PlayShot(stage_, from, rest, plan, aim, nullptr);
                        simulations.fetch_add(1, std::memory_order_relaxed);
                        if (!visit(plan, b)) return true;
                    }
                }
            }
        }
        return true;
    }

    // Runs work(0) to work(n - 1) on the option's threads; false when one of them ran out of
    // budget (the others stop taking new work then).
    template <class Work>
    bool ForEach(size_t n, int32_t depth, Work&& work) {
        std::atomic<size_t> next{0};
        std::atomic<size_t> done{0};
        std::atomic<bool> cut{false};
        auto worker = [&] {
            for (;;) {
                if (cut.load() || OutOfTime()) {
                    cut = true;
                    return;
                }
                const size_t i = next.fetch_add(1);
                if (i >= n) return;
                if (!work(i)) {
                    cut = true;
                    return;
                }
                done.fetch_add(1);
            }
        };
        RunWorkers(worker, depth, done, n);
        return !cut.load();
    }

    // The worker on every thread, with a line of progress about once a second.
    template <class Worker>
    void RunWorkers(Worker& worker, int32_t depth, const std::atomic<size_t>& done, size_t n) {
        const int32_t count = std::max(1, options_.threads);
        std::vector<std::thread> threads;
        for (int32_t t = 1; t < count; ++t)
            threads.emplace_back(worker);
        std::thread progress;
        std::atomic<bool> finished{false};
        if (options_.progress) {
            progress = std::thread([&] {
                auto lastShown = Clock::now();
                while (!finished.load()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    const auto now = Clock::now();
                    if (now - started_ < std::chrono::seconds(2) ||
                        now - lastShown < std::chrono::seconds(1))
                        continue;
                    lastShown = now;
                    const double t = std::chrono::duration<double>(now - started_).count();
                    options_.progress(std::string(phase) + "shot " + std::to_string(depth) + ": " +
                                      std::to_string(done.load()) + "/" + std::to_string(n) +
                                      " positions, " + std::to_string(simulations.load()) +
                                      " shots played, " + std::to_string(static_cast<int>(t)) +
                                      " s");
                }
            });
        }
        worker();
        for (std::thread& t : threads)
            t.join();
        finished = true;
        if (progress.joinable()) progress.join();
    }

    bool ExpandLevel(Pass pass, Goal goal, int32_t depth, const std::vector<int32_t>& frontier,
                     bool last, std::vector<std::vector<Node>>& children,
                     std::vector<std::vector<Solution>>& solutions) {
        std::atomic<size_t> next{0};
        std::atomic<size_t> foundAt{SIZE_MAX};
        std::atomic<bool> outOfTime{false};  // or out of memory: the level is not complete
        std::atomic<size_t> held{0};
        std::atomic<size_t> done{0};
        const int32_t rest = rest_ - (depth - 1);
        auto worker = [&] {
            for (;;) {
                const size_t i = next.fetch_add(1);
                if (i >= frontier.size()) return;
                const size_t found = foundAt.load();
                if (found != SIZE_MAX && i > found + kExtraPositions) return;
                if (OutOfTime() || held.load() > kMaxChildren) {
                    outOfTime = true;
                    return;
                }
                const int32_t fromIndex = frontier[i];
                const Node& from = nodes[fromIndex];
                const bool complete =
                    Expand(pass, from, rest, [&](const ShotPlan& plan, Outcome& o) {
                        const bool counts =
                            goal == Goal::Any || o.child.coinsTaken == stage_.coinCount;
                        if (o.cleared && counts) {
                            solutions[i].push_back(
                                {fromIndex, plan, o.child.coinsTaken, from.frames + o.frames});
                        } else if (o.rested && !last) {
                            o.child.frames = from.frames + o.frames;
                            o.child.parent = fromIndex;
                            o.child.plan = plan;
                            children[i].push_back(o.child);
                        }
                        return true;
                    });
                if (!complete) {
                    outOfTime = true;
                    return;
                }
                held.fetch_add(children[i].size());
                if (!solutions[i].empty()) {
                    size_t expected = foundAt.load();
                    while (i < expected && !foundAt.compare_exchange_weak(expected, i)) {
                    }
                }
                done.fetch_add(1);
            }
        };
        RunWorkers(worker, depth, done, frontier.size());
        foundAt_ = foundAt.load();
        if (foundAt_ != SIZE_MAX) return true;
        return !outOfTime.load();
    }

  public:
    // Names the search in progress lines: "" for the par, "window, " or "all coins, ".
    const char* phase = "";

  private:
    const Stage& stage_;
    const SolveOptions& options_;
    int32_t maxShots_;
    int32_t rest_;
    Clock::time_point started_;
    Clock::time_point deadline_;
    size_t foundAt_ = SIZE_MAX;  // first position of the level with a clearing shot
};

// Whether the ball could ever touch a goal: a flood fill over whole-pixel ball positions whose
// core overlaps no wall (rebound and toggle blocks; needles, ice, belts and the booster let the
// core in). A move is at most 15 pixels on one axis and every wall is 32 pixels or more, so a
// ball never jumps a wall: what the fill cannot reach, no shot reaches.
bool GoalReachable(const Stage& stage) {
    constexpr int32_t kLeft = 16, kTop = 16, kRight = 609, kBottom = 413;
    constexpr int32_t kWidth = kRight - kLeft + 1, kHeight = kBottom - kTop + 1;
    const StageSlotView& v = stage.view;
    auto overlaps = [&](int32_t i, int32_t x, int32_t y) {
        const int64_t bx = v.blockX[i], by = v.blockY[i];
        const int64_t size = BlockSize(v.blockType[i]);
        return std::max<int64_t>(x + 4, bx) < std::min<int64_t>(x + 12, bx + size) &&
               std::max<int64_t>(y + 4, by) < std::min<int64_t>(y + 12, by + size);
    };
    auto wall = [&](int32_t type) {
        return (type >= 0 && type <= 2) || (type >= 5 && type <= 7) || type == kBlockToggleA ||
               type == kBlockToggleB;
    };
    std::vector<uint8_t> state(static_cast<size_t>(kWidth) * kHeight, 0);  // 1 free, 2 seen
    for (int32_t y = kTop; y <= kBottom; ++y) {
        for (int32_t x = kLeft; x <= kRight; ++x) {
            bool free = true;
            for (int32_t i = 0; i < v.blockCount && free; ++i) {
                if (wall(v.blockType[i]) && overlaps(i, x, y)) free = false;
            }
            state[static_cast<size_t>(y - kTop) * kWidth + (x - kLeft)] = free ? 1 : 0;
        }
    }
    const int32_t sx = std::clamp(stage.start.x, kLeft, kRight);
    const int32_t sy = std::clamp(stage.start.y, kTop, kBottom);
    std::vector<std::pair<int32_t, int32_t>> stack{{sx, sy}};
    state[static_cast<size_t>(sy - kTop) * kWidth + (sx - kLeft)] = 2;
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        for (int32_t i = 0; i < v.blockCount; ++i) {
            if (v.blockType[i] == kBlockGoal && overlaps(i, x, y)) return true;
        }
        const std::array<std::pair<int32_t, int32_t>, 4> next = {
            {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}};
        for (const auto& [nx, ny] : next) {
            if (nx < kLeft || nx > kRight || ny < kTop || ny > kBottom) continue;
            uint8_t& cell = state[static_cast<size_t>(ny - kTop) * kWidth + (nx - kLeft)];
            if (cell != 1) continue;
            cell = 2;
            stack.emplace_back(nx, ny);
        }
    }
    return false;
}

}  // namespace

int32_t StageStartFrames(int32_t entityCount) {
    // Set-up, 19 title frames, an empty frame, 16 wipe frames, 13 field frames, an empty frame,
    // the coins' appearance and the hand-over frame.
    const int32_t coinPhase = entityCount >= 3 ? entityCount + 15 : 1;
    return 51 + coinPhase + 1;
}

std::string KeyScriptText(const std::vector<KeyRun>& keys, int32_t firstFrame,
                          const std::string& comment) {
    std::string text = comment;
    int32_t f = firstFrame;
    for (const KeyRun& run : keys) {
        if (run.keys != 0) {
            text += std::to_string(f);
            if (run.frames > 1) text += "-" + std::to_string(f + run.frames - 1);
            if (run.keys & kKeyLeft) text += " Left";
            if (run.keys & kKeyRight) text += " Right";
            if (run.keys & kKeyX) text += " X";
            if (run.keys & kKeySpace) text += " Space";
            text += "\n";
        }
        f += run.frames;
    }
    return text;
}

namespace {

// The chain of shots of a solution back to the start, replayed once more to record its keys.
// False if the replay does not clear (it cannot happen: the physics is deterministic).
bool TracePath(const Stage& stage, const Search& search, const Solution& solution,
               SolvePath& path) {
    std::vector<ShotPlan> plans{solution.plan};
    for (int32_t i = solution.parent; i > 0; i = search.nodes[i].parent)
        plans.push_back(search.nodes[i].plan);
    std::reverse(plans.begin(), plans.end());
    path = SolvePath{};
    Node at = search.Root();
    int32_t rest = stage.start.rest;
    for (size_t k = 0; k < plans.size(); ++k) {
        AimPaths paths;
        paths.From(static_cast<int32_t>(std::lround(at.angle * 2)));
        Outcome o = PlayShot(stage, at, rest, plans[k], paths.To(plans[k].angle), &path.keys);
        path.playFrames += o.frames;
        if (k + 1 == plans.size()) {
            if (!o.cleared) return false;
            path.shots = plans;
            path.coins = o.child.coinsTaken;
            return true;
        }
        if (!o.rested) return false;
        at = o.child;
        rest -= 1;
    }
    return false;
}

// The figures of a solved stage: the window of its par, the all-coins par and the start angle.
void Figures(const Stage& stage, Search& search, Pass parPass, SolveResult& result) {
    const int32_t par = static_cast<int32_t>(result.shots.size());
    const Node root = search.Root();
    const ShotPlan straight{stage.start.startAngle, 0, 0, 0};
    result.startAngleClears =
        PlayShot(stage, root, stage.start.rest, straight, {}, nullptr).cleared;
    search.simulations.fetch_add(1);

    search.phase = "window, ";
    Directions window;
    if (search.Window(parPass, par, window)) {
        result.windowStatus = FigureStatus::Known;
        result.window = static_cast<int32_t>(window.count());
    }

    // The par's own solution may already take every coin; otherwise the search goes on from
    // the par, level by level, through the same passes.
    search.phase = "all coins, ";
    if (result.coins == stage.coinCount) {
        result.allCoinsStatus = FigureStatus::Known;
        result.allCoins = {result.shots, result.coins, result.keys, result.playFrames};
        return;
    }
    bool exhausted = true;
    for (Pass pass : {Pass::Angles, Pass::Waits, Pass::Brakes}) {
        if (pass == Pass::Waits && !stage.toggles) continue;
        const PassResult r = search.Run(pass, Goal::AllCoins);
        if (r.found) {
            if (TracePath(stage, search, r.solution, result.allCoins)) {
                result.allCoinsStatus = FigureStatus::Known;
            }
            return;
        }
        if (!r.exhausted) {
            exhausted = false;
            break;
        }
    }
    result.allCoinsStatus = exhausted ? FigureStatus::None : FigureStatus::Unknown;
}

}  // namespace

SolveResult SolveStage(const GameBlockTable& blocks, const GameEntityTable& entities, int32_t slot,
                       const SolveOptions& options) {
    const auto started = Clock::now();
    SolveResult result;
    Stage stage;
    stage.view = SlotView(blocks, entities, slot);
    stage.start = StageStartOf(stage.view);
    stage.toggles = CountToggleBlocks(stage.view);
    stage.cells = MakeBlockCells(stage.view);
    for (int32_t i = 0; i < stage.view.blockCount; ++i) {
        if (stage.view.blockType[i] == kBlockGoal) {
            stage.goals.emplace_back(stage.view.blockX[i] + 16.0, stage.view.blockY[i] + 16.0);
        }
    }
    result.rest = stage.start.rest;
    result.coinCount = std::max(0, stage.view.entityCount - 2);
    stage.coinCount = result.coinCount;
    const int32_t maxShots =
        options.maxShots > 0 ? std::min(options.maxShots, stage.start.rest) : stage.start.rest;
    result.searchedShots = std::max(0, maxShots);
    auto finish = [&] {
        result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
        return result;
    };
    if (stage.goals.empty()) {
        result.proof = "the stage has no goal";
        result.status = SolveStatus::Unsolvable;
        return finish();
    }
    if (maxShots <= 0) {
        result.status = SolveStatus::Unsolvable;
        return finish();
    }
    if (!GoalReachable(stage)) {
        result.proof = "walls shut the goal off from the start";
        result.status = SolveStatus::Unsolvable;
        return finish();
    }

    Search search(stage, options, maxShots, started, stage.start.rest);
    std::vector<Pass> passes{Pass::Angles};
    if (stage.toggles) passes.push_back(Pass::Waits);
    passes.push_back(Pass::Brakes);
    bool exhausted = true;
    for (Pass pass : passes) {
        if (!result.passes.empty()) result.passes += ", ";
        result.passes += PassName(pass);
        const PassResult r = search.Run(pass, Goal::Any);
        result.simulations = search.simulations.load();
        if (r.found) {
            SolvePath path;
            if (!TracePath(stage, search, r.solution, path)) {
                result.status = SolveStatus::OutOfBudget;
                return finish();
            }
            result.status = SolveStatus::Solved;
            result.shots = path.shots;
            result.coins = path.coins;
            result.keys = path.keys;
            result.playFrames = path.playFrames;
            if (options.figures) {
                if (options.budgetSeconds <= 0) {
                    search.shotLimit = search.simulations.load() + kFigureShotLimit;
                }
                Figures(stage, search, pass, result);
                result.simulations = search.simulations.load();
            }
            return finish();
        }
        if (!r.exhausted) {
            exhausted = false;
            break;
        }
    }
    result.status = exhausted ? SolveStatus::Unsolvable : SolveStatus::OutOfBudget;
    return finish();
}

}  // namespace zarp::zrptool
