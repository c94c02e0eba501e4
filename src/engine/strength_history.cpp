#include "engine/strength_history.h"

namespace vz {

StrengthSample strengthSampleOf(const MainRanking& ranking, const LocalTime& time) {
    StrengthSample sample;
    sample.pairPips = ranking.pairPips;
    sample.referenceBias = ranking.referenceBias;
    sample.buyPower = ranking.buyPower;
    sample.sellPower = ranking.sellPower;
    sample.secondOfDay = time.hour * 3600 + time.minute * 60 + time.second;
    return sample;
}

void recordStrengthSample(StrengthHistory& history, const StrengthSample& sample) {
    history.ring[static_cast<std::size_t>(history.next)] = sample;
    history.next = (history.next + 1) % STRENGTH_HISTORY_TICKS;
    if (history.count < STRENGTH_HISTORY_TICKS) {
        history.count += 1;
    }
}

void clearStrengthHistory(StrengthHistory& history) {
    history.next = 0;
    history.count = 0;
}

const StrengthSample& strengthSampleAt(const StrengthHistory& history, int age) {
    const int slot = (history.next - 1 - age + 2 * STRENGTH_HISTORY_TICKS) % STRENGTH_HISTORY_TICKS;
    return history.ring[static_cast<std::size_t>(slot)];
}

} // namespace vz
