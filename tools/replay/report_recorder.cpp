#include "replay/report_recorder.h"

#include <algorithm>

namespace vz {

namespace {

struct KindRule {
    std::string_view prefix;
    EventKind kind;
    const char* name;
};

inline constexpr std::array<KindRule, 13> KIND_RULES = {{
    {"New +anchor: ", EventKind::NewAnchor, "New anchor"},
    {"New -anchor: ", EventKind::NewAnchor, "New anchor"},
    {"New opposing ", EventKind::OpposingAnchor, "Opposing anchor alert"},
    {"Reference Bias Flipped", EventKind::BiasFlip, "Bias flip alert"},
    {"Pairs are perfectly grouped.", EventKind::Grouping, "Grouping alert"},
    {"Pair: ", EventKind::PairInSlot, "Pair-in-slot alert"},
    {"RB = ", EventKind::BiasLog, "Periodic bias entry"},
    {"Buy Profit: ", EventKind::BiasLog, "Periodic bias entry"},
    {"Sell Profit: ", EventKind::BiasLog, "Periodic bias entry"},
    {"BUY - ", EventKind::Basket, "Basket"},
    {"SELL - ", EventKind::Basket, "Basket"},
    {"Ref. Bias = ", EventKind::Basket, "Basket"},
    {"Basket Profit: ", EventKind::Basket, "Basket"},
}};

bool crossesZero(std::int32_t previous, std::int32_t current) {
    return (previous >= 0 && current < 0) || (previous <= 0 && current > 0);
}

void mergeInto(ReportBucket& into, const ReportBucket& later) {
    into.referenceBias.widen(later.referenceBias.low);
    into.referenceBias.widen(later.referenceBias.high);
    into.buyPower.widen(later.buyPower.low);
    into.buyPower.widen(later.buyPower.high);
    into.sellPower.widen(later.sellPower.low);
    into.sellPower.widen(later.sellPower.high);
    if (later.profit) {
        if (!into.profit) {
            into.profit = later.profit;
        } else {
            into.profit->widen(later.profit->low);
            into.profit->widen(later.profit->high);
        }
    }
    into.pairSlot = later.pairSlot;
    into.eventKinds |= later.eventKinds;
}

std::uint32_t kindBit(EventKind kind) {
    return 1U << static_cast<unsigned>(kind);
}

} // namespace

EventKind eventKindOf(std::string_view description) {
    for (const KindRule& rule : KIND_RULES) {
        if (description.starts_with(rule.prefix)) {
            return rule.kind;
        }
    }
    return EventKind::Other;
}

const char* eventKindName(EventKind kind) {
    for (const KindRule& rule : KIND_RULES) {
        if (rule.kind == kind) {
            return rule.name;
        }
    }
    return "Other entry";
}

ReportBucket& ReportRecorder::bucketFor(long long tick) {
    const long long index = tick / ticksPerBucket_;
    if (index < static_cast<long long>(buckets_.size())) {
        return buckets_.back();
    }
    if (buckets_.size() == static_cast<std::size_t>(REPORT_MAX_BUCKETS)) {
        mergeNeighbours();
    }
    if (tick / ticksPerBucket_ < static_cast<long long>(buckets_.size())) {
        return buckets_.back();
    }
    buckets_.emplace_back();
    buckets_.back().firstTick = tick;
    return buckets_.back();
}

// Halves the buckets: each pair of neighbours becomes one of twice the ticks.
void ReportRecorder::mergeNeighbours() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < buckets_.size(); i += 2) {
        ReportBucket merged = std::move(buckets_[i]);
        if (i + 1 < buckets_.size()) {
            mergeInto(merged, buckets_[i + 1]);
        }
        buckets_[kept++] = std::move(merged);
    }
    buckets_.resize(kept);
    ticksPerBucket_ *= 2;
}

void ReportRecorder::addTick(long long tick, const std::string& label, const MainRanking& ranking,
                             std::optional<int> profit) {
    const bool fresh = tick / ticksPerBucket_ >= static_cast<long long>(buckets_.size());
    ReportBucket& bucket = bucketFor(tick);
    if (fresh && bucket.firstTick == tick) {
        bucket.firstLabel = label;
        bucket.referenceBias = {ranking.referenceBias, ranking.referenceBias};
        bucket.buyPower = {ranking.buyPower, ranking.buyPower};
        bucket.sellPower = {ranking.sellPower, ranking.sellPower};
    } else {
        bucket.referenceBias.widen(ranking.referenceBias);
        bucket.buyPower.widen(ranking.buyPower);
        bucket.sellPower.widen(ranking.sellPower);
    }
    for (std::size_t pair = 0; pair < PAIR_COUNT; ++pair) {
        bucket.pairSlot[pair] = static_cast<std::int8_t>(std::clamp(ranking.pairSlot[pair], 0, 13));
    }
    if (tick == 0 && eventsBeforeFirstTick_ != 0) {
        bucket.eventKinds |= eventsBeforeFirstTick_;
    }
    if (crossesZero(previousReferenceBias_, ranking.referenceBias)) {
        ++flips_;
    }
    previousReferenceBias_ = ranking.referenceBias;
    tickCount_ = tick + 1;
    if (profit) {
        recordProfit(tick, *profit);
    }
}

void ReportRecorder::recordProfit(long long tick, int profit) {
    ReportBucket& bucket = bucketFor(tick);
    if (!bucket.profit) {
        bucket.profit = Extent{profit, profit};
    } else {
        bucket.profit->widen(profit);
    }
    if (!profitExtent_) {
        profitExtent_ = Extent{profit, profit};
    } else {
        profitExtent_->widen(profit);
    }
    finalProfit_ = profit;
}

void ReportRecorder::basketOpened(long long tick) {
    openTick_ = tick;
    recordProfit(tick, 0);
}

void ReportRecorder::basketClosed(long long tick) {
    closeTick_ = tick;
}

void ReportRecorder::addEvent(long long tick, const std::string& description) {
    const EventKind kind = eventKindOf(description);
    ++eventCount_;
    ++kindCounts_[static_cast<std::size_t>(kind)];
    if (events_.size() < static_cast<std::size_t>(REPORT_MAX_TABLE_EVENTS)) {
        events_.push_back({tick, kind, description});
    }
    if (tick < 0 || buckets_.empty()) {
        eventsBeforeFirstTick_ |= kindBit(kind);
    } else {
        buckets_.back().eventKinds |= kindBit(kind);
    }
}

} // namespace vz
