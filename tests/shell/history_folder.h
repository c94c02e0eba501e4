#pragma once

#include "market/pairs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace vz::testing {

// Line k of every history file: non-JPY pairs at 1.0 + 0.001 k, JPY pairs
// at 100 + 0.1 k; daily labels from 01-05-2026 on.
struct HistoryShape {
    int dailyLines = 5;
    int fourHourLines = 4;
    int oneHourLines = 3;
    bool realTimeFiles = true; // each at the pair's line-0 price
};

inline bool isJpy(int pair) {
    return pipFactor(pair) == 100;
}

inline std::string priceText(int pair, double pips) {
    char text[32];
    if (isJpy(pair)) {
        std::snprintf(text, sizeof text, "%.2f", 100.0 + pips / 100.0);
    } else {
        std::snprintf(text, sizeof text, "%.4f", 1.0 + pips / 10000.0);
    }
    return text;
}

// Price at which the pair shows `pips` against line 0, with the second half's
// reversed sign.
inline std::string livePriceFor(int pair, int pips) {
    return priceText(pair, inFirstHalf(pair) ? pips : -pips);
}

class HistoryFolder {
public:
    explicit HistoryFolder(const HistoryShape& shape = {}) {
        static int counter = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("vurezer-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(root_);
        writeAll(shape);
    }
    HistoryFolder(const HistoryFolder&) = delete;
    HistoryFolder& operator=(const HistoryFolder&) = delete;
    ~HistoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string path() const { return root_.string() + "/"; }
    std::string file(const std::string& name) const { return (root_ / name).string(); }

    void write(const std::string& name, const std::string& content) const {
        std::ofstream(root_ / name, std::ios::binary) << content;
    }
    void remove(const std::string& name) const { std::filesystem::remove(root_ / name); }
    void setLive(int pair, const std::string& price) const {
        write(std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]) + "_RT.csv", price + "\r\n");
    }
    void setLivePips(int pair, int pips) const { setLive(pair, livePriceFor(pair, pips)); }

    void writeAll(const HistoryShape& shape) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const std::string symbol(PAIR_TABLE[static_cast<std::size_t>(pair)]);
            write(symbol + ".csv", lines(pair, shape.dailyLines, false));
            write(symbol + "_H4.csv", lines(pair, shape.fourHourLines, true, 4));
            write(symbol + "_H1.csv", lines(pair, shape.oneHourLines, true, 1));
            if (shape.realTimeFiles) {
                setLive(pair, priceText(pair, 0));
            }
        }
    }

    static std::string dailyLabel(int k) {
        char text[32];
        std::snprintf(text, sizeof text, "01-%02d-2026", k + 5);
        return text;
    }

private:
    static std::string lines(int pair, int count, bool intraday, int hours = 0) {
        std::string content;
        for (int k = 0; k < count; ++k) {
            char label[48];
            if (intraday) {
                std::snprintf(label, sizeof label, "01-05-2026 %02d:00", (k * hours) % 24);
            } else {
                std::snprintf(label, sizeof label, "%s", dailyLabel(k).c_str());
            }
            content += std::string(label) + "," + priceText(pair, 10.0 * k) + "\r\n";
        }
        return content;
    }

    std::filesystem::path root_;
};

} // namespace vz::testing
