#pragma once

#include "engine/ranking.h"
#include "market/pairs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

// A long run is kept as at most this many buckets of equal tick counts, each
// drawn as one column of the report's charts; a full set is halved by
// merging neighbours, so memory stays fixed however many ticks come.
inline constexpr int REPORT_MAX_BUCKETS = 1000;
// The events table lists this many entries at most; the counts cover all.
inline constexpr int REPORT_MAX_TABLE_EVENTS = 5000;

enum class EventKind {
    NewAnchor,
    OpposingAnchor,
    BiasFlip,
    Grouping,
    PairInSlot,
    BiasLog,
    Basket,
    Other,
};
inline constexpr int EVENT_KIND_COUNT = 8;

EventKind eventKindOf(std::string_view description);
const char* eventKindName(EventKind kind);

struct Extent {
    std::int32_t low = 0;
    std::int32_t high = 0;
    void widen(std::int32_t value) {
        low = value < low ? value : low;
        high = value > high ? value : high;
    }
};

// The ticks of one chart column.
struct ReportBucket {
    long long firstTick = 0;
    std::string firstLabel;
    Extent referenceBias, buyPower, sellPower;
    std::optional<Extent> profit;                   // while a basket was open
    std::array<std::int8_t, PAIR_COUNT> pairSlot{}; // at the bucket's last tick
    std::uint32_t eventKinds = 0;                   // bit per EventKind
};

struct ReportEvent {
    long long tick = -1; // -1: before the first tick
    EventKind kind = EventKind::Other;
    std::string description;
};

// Everything the report shows about the ticks, gathered while they run.
class ReportRecorder {
public:
    // The reference bias of the pass that picked the day, the one the
    // first tick's flip is measured against.
    explicit ReportRecorder(std::int32_t startingReferenceBias)
        : previousReferenceBias_(startingReferenceBias) {}

    // After a tick's ranking, with the basket's profit when one is open.
    void addTick(long long tick, const std::string& label, const MainRanking& ranking,
                 std::optional<int> profit);
    // The basket opened (its profit starts at 0) or closed after `tick`.
    void basketOpened(long long tick);
    void basketClosed(long long tick);
    void addEvent(long long tick, const std::string& description);

    const std::vector<ReportBucket>& buckets() const { return buckets_; }
    long long ticksPerBucket() const { return ticksPerBucket_; }
    long long tickCount() const { return tickCount_; }
    const std::vector<ReportEvent>& tableEvents() const { return events_; }
    long long eventCount() const { return eventCount_; }
    long long eventsOfKind(EventKind kind) const {
        return kindCounts_[static_cast<std::size_t>(kind)];
    }
    long long flips() const { return flips_; }
    std::optional<long long> basketOpenTick() const { return openTick_; }
    std::optional<long long> basketCloseTick() const { return closeTick_; }
    // Final, best and worst profit; empty when no basket was open.
    std::optional<int> finalProfit() const { return finalProfit_; }
    std::optional<Extent> profitExtent() const { return profitExtent_; }

private:
    ReportBucket& bucketFor(long long tick);
    void mergeNeighbours();
    void recordProfit(long long tick, int profit);

    std::vector<ReportBucket> buckets_;
    long long ticksPerBucket_ = 1;
    long long tickCount_ = 0;
    std::int32_t previousReferenceBias_ = 0;
    long long flips_ = 0;
    std::vector<ReportEvent> events_;
    long long eventCount_ = 0;
    std::uint32_t eventsBeforeFirstTick_ = 0;
    std::array<long long, EVENT_KIND_COUNT> kindCounts_{};
    std::optional<long long> openTick_;
    std::optional<long long> closeTick_;
    std::optional<int> finalProfit_;
    std::optional<Extent> profitExtent_;
};

} // namespace vz
