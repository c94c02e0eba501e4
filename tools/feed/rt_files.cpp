#include "tools/feed/rt_files.h"

#include "common/replace_file.h"

#include "market/data_files.h"
#include "tools/import/history_set.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vz {

namespace {

constexpr std::string_view TEMPORARY_END = ".tmp";

// ".SYMBOL_RT.csv.PID.tmp", as writeFileAtomically names its temporaries.
bool isRealTimeTemporary(const std::string& name) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const std::string start = "." + realTimeFileNameOf(pair) + ".";
        if (name.size() <= start.size() + TEMPORARY_END.size() || name.rfind(start, 0) != 0 ||
            !name.ends_with(TEMPORARY_END)) {
            continue;
        }
        const std::string_view pid(name.data() + start.size(),
                                   name.size() - start.size() - TEMPORARY_END.size());
        return std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; });
    }
    return false;
}

} // namespace

std::string realTimeFileNameOf(int pair) {
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]) + "_RT.csv";
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               const std::string& content) {
    std::filesystem::path temporary = path;
    temporary.replace_filename("." + path.filename().string() + "." + std::to_string(::getpid()) +
                               ".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "could not write " + temporary.string();
        }
    }
    const std::error_code error = replaceFile(temporary, path);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return "could not replace " + path.string() + ": " + error.message();
    }
    return std::nullopt;
}

std::optional<std::string> realTimeFileText(int pair, double price) {
    // Rounding can carry a price just inside the range onto its edge, which
    // the program would refuse to read.
    const std::string text = formatPrice(pair, price);
    if (!acceptsLivePrice(parseNumber(text))) {
        return std::nullopt;
    }
    return text + "\r\n";
}

std::optional<std::string> writeRealTimeSet(const std::filesystem::path& folder,
                                            const LivePrices& prices) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& price = prices[static_cast<std::size_t>(pair)];
        const auto text = price ? realTimeFileText(pair, *price) : std::nullopt;
        if (!text) {
            continue;
        }
        if (auto problem = writeFileAtomically(folder / realTimeFileNameOf(pair), *text)) {
            return problem;
        }
    }
    return std::nullopt;
}

int removeStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return 0;
    }
    int removed = 0;
    for (const auto& entry : entries) {
        std::error_code ignored;
        if (isRealTimeTemporary(entry.path().filename().string()) &&
            entry.is_regular_file(ignored) && std::filesystem::remove(entry.path(), ignored)) {
            ++removed;
        }
    }
    return removed;
}

bool RealTimeWriter::writePair(int pair, const std::string& text) {
    const auto index = static_cast<std::size_t>(pair);
    const auto problem = writeFileAtomically(folder_ / realTimeFileNameOf(pair), text);
    if (problem) {
        if (!blocked_[index]) {
            err_ << "vurezer-feed: " << *problem << "; trying again at every write\n";
        }
        blocked_[index] = true;
        return false;
    }
    if (blocked_[index]) {
        err_ << "vurezer-feed: " << realTimeFileNameOf(pair) << " is written again\n";
    }
    blocked_[index] = false;
    written_[index] = text;
    return true;
}

int RealTimeWriter::writeAll(const LivePrices& prices) {
    int written = 0;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& price = prices[static_cast<std::size_t>(pair)];
        const auto text = price ? realTimeFileText(pair, *price) : std::nullopt;
        written += text && writePair(pair, *text) ? 1 : 0;
    }
    return written;
}

std::optional<std::string> RealTimeWriter::unwrittenText(int pair, const LivePrices& prices) const {
    const auto index = static_cast<std::size_t>(pair);
    const auto text = prices[index] ? realTimeFileText(pair, *prices[index]) : std::nullopt;
    return text && (blocked_[index] || written_[index] != text) ? text : std::nullopt;
}

int RealTimeWriter::writeChanged(const LivePrices& prices) {
    int written = 0;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (const auto text = unwrittenText(pair, prices)) {
            written += writePair(pair, *text) ? 1 : 0;
        }
    }
    return written;
}

bool RealTimeWriter::hasUnwritten(const LivePrices& prices) const {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        if (unwrittenText(pair, prices)) {
            return true;
        }
    }
    return false;
}

bool RealTimeWriter::anyBlocked() const {
    return std::any_of(blocked_.begin(), blocked_.end(), [](bool blocked) { return blocked; });
}

} // namespace vz
