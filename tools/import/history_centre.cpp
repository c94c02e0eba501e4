#include "tools/import/history_centre.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstring>

namespace vz {

namespace {

constexpr std::size_t SYMBOL_OFFSET = 68; // after the version and 64 bytes of copyright
constexpr std::size_t SYMBOL_BYTES = 12;
constexpr std::size_t PERIOD_OFFSET = 80;

// The file is little-endian whatever machine reads it.
std::uint64_t littleEndian(const char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

std::int64_t signedAt(const char* bytes, std::size_t count) {
    const std::uint64_t raw = littleEndian(bytes, count);
    if (count == 4) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(raw));
    }
    return static_cast<std::int64_t>(raw);
}

double doubleAt(const char* bytes) {
    const std::uint64_t raw = littleEndian(bytes, 8);
    double value = 0.0;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

std::size_t readExactly(std::streambuf& in, char* into, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::streamsize piece =
            in.sgetn(into + got, static_cast<std::streamsize>(size - got));
        if (piece <= 0) {
            break;
        }
        got += static_cast<std::size_t>(piece);
    }
    return got;
}

struct Record {
    std::int64_t seconds = 0;
    double close = 0.0;
};

Record recordOf(const char* bytes, int version) {
    if (version == 400) {
        return {signedAt(bytes, 4), doubleAt(bytes + 28)};
    }
    return {signedAt(bytes, 8), doubleAt(bytes + 32)};
}

// From 1970 to the year 9999: anything else is a damaged record.
constexpr std::int64_t LAST_SECOND = 253402300799;

} // namespace

bool isHistoryCentreName(std::string_view fileName) {
    std::string lower;
    for (const char c : fileName) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const std::string_view packed : {".gz", ".xz", ".zip"}) {
        if (lower.size() > packed.size() &&
            lower.compare(lower.size() - packed.size(), packed.size(), packed) == 0) {
            lower.resize(lower.size() - packed.size());
        }
    }
    return lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".hst") == 0;
}

BarReadResult readHistoryCentreFile(std::istream& in, const std::string& fileName,
                                    HistoryCentreHeader& header) {
    BarReadResult result;
    const auto fail = [&](int record, std::string message) {
        result.bars.clear();
        result.lines.clear();
        result.error = InputError{fileName, record, std::move(message)};
        return result;
    };
    std::streambuf& bytes = *in.rdbuf();
    std::array<char, HST_HEADER_BYTES> head{};
    if (readExactly(bytes, head.data(), head.size()) < head.size()) {
        return fail(0, "shorter than a MetaTrader 4 history header (148 bytes)");
    }
    header.version = static_cast<int>(signedAt(head.data(), 4));
    if (header.version != 400 && header.version != 401) {
        return fail(0, "not a MetaTrader 4 history file (format version " +
                           std::to_string(header.version) + "; 400 and 401 are known)");
    }
    const char* symbol = head.data() + SYMBOL_OFFSET;
    header.symbol.assign(symbol, strnlen(symbol, SYMBOL_BYTES));
    header.periodMinutes = signedAt(head.data() + PERIOD_OFFSET, 4);
    if (header.periodMinutes < 1 || header.periodMinutes > 43200) {
        return fail(0, "bad bar length in the header (" + std::to_string(header.periodMinutes) +
                           " minutes)");
    }
    const std::size_t size = header.version == 400 ? HST_V400_RECORD_BYTES : HST_V401_RECORD_BYTES;
    std::array<char, HST_V401_RECORD_BYTES> raw{};
    for (int number = 1;; ++number) {
        const std::size_t got = readExactly(bytes, raw.data(), size);
        if (got == 0) {
            break;
        }
        if (got < size) {
            return fail(number, "record cut short (" + std::to_string(got) + " of " +
                                    std::to_string(size) + " bytes)");
        }
        if (result.bars.size() >= MAX_BARS_PER_FILE) {
            return fail(number, "more than " + std::to_string(MAX_BARS_PER_FILE) + " bars");
        }
        const Record record = recordOf(raw.data(), header.version);
        if (record.close == 0.0) {
            result.placeholders.add(number);
            continue;
        }
        if (!(record.close > 0.0 && record.close < MAX_PRICE)) {
            return fail(number, "bad close price in record " + std::to_string(number));
        }
        if (record.seconds < 0 || record.seconds > LAST_SECOND) {
            return fail(number, "bad time in record " + std::to_string(number));
        }
        result.bars.push_back({record.seconds / 60, std::nullopt, record.close});
        result.lines.push_back(number);
    }
    if (result.bars.empty()) {
        return fail(0, "holds no bars");
    }
    return result;
}

} // namespace vz
