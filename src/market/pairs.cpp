#include "market/pairs.h"

namespace vz {

int pairIndexOf(std::string_view symbol) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (PAIR_TABLE[static_cast<std::size_t>(pair)] == symbol) {
            return pair;
        }
    }
    return -1;
}

bool isFirstHalfSymbol(std::string_view symbol) {
    return inFirstHalf(pairIndexOf(symbol));
}

} // namespace vz
