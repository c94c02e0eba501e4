#include "tools/feed/rt_files.h"

#include "common/replace_file.h"

#include "market/data_files.h"
#include "tools/import/history_set.h"

#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vz {

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

std::optional<std::string> writeRealTimeSet(const std::filesystem::path& folder,
                                            const LivePrices& prices) {
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        const auto& price = prices[static_cast<std::size_t>(pair)];
        if (!price) {
            continue;
        }
        // Rounding can carry a price just inside the range onto its edge,
        // which the program would refuse to read.
        const std::string text = formatPrice(pair, *price);
        if (!acceptsLivePrice(parseNumber(text))) {
            continue;
        }
        if (auto problem = writeFileAtomically(folder / realTimeFileNameOf(pair), text + "\r\n")) {
            return problem;
        }
    }
    return std::nullopt;
}

} // namespace vz
