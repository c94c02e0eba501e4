#pragma once

#include "market/data_files.h"
#include "market/market_data.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vz::bench {

// A program folder with 499 bars in every history file and a real-time
// file per pair: the largest history the program loads.
class FullFolder {
public:
    FullFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("vurezer-bench-folder-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            for (Timeframe timeframe : ALL_TIMEFRAMES) {
                writeHistory(pair, timeframe);
            }
            std::ofstream(realTimeFileName(folder(), pair)) << basePrice(pair) << "\r\n";
        }
    }
    ~FullFolder() { std::filesystem::remove_all(path_); }
    FullFolder(const FullFolder&) = delete;
    FullFolder& operator=(const FullFolder&) = delete;

    std::string folder() const { return path_.string() + "/"; }

    // The 56 files the loader reads: 42 history files, then 14 real-time files.
    std::vector<std::string> dataFiles() const {
        std::vector<std::string> paths;
        for (Timeframe timeframe : ALL_TIMEFRAMES) {
            for (int pair = 0; pair < PAIR_COUNT; ++pair) {
                paths.push_back(historyFileName(folder(), pair, timeframe));
            }
        }
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            paths.push_back(realTimeFileName(folder(), pair));
        }
        return paths;
    }

private:
    static double basePrice(int pair) { return pipFactor(pair) == 100 ? 150.0 : 1.25; }

    void writeHistory(int pair, Timeframe timeframe) const {
        std::ofstream out(historyFileName(folder(), pair, timeframe), std::ios::binary);
        const bool daily = timeframe == Timeframe::Daily;
        char line[64];
        for (int k = 0; k < HISTORY_LOAD_LIMIT; ++k) {
            const double price = basePrice(pair) * (1.0 + 0.0001 * ((k * 7 + pair) % 50));
            std::snprintf(line, sizeof line,
                          daily ? "2025.%02d.%02d,%.5f\r\n" : "2025.%02d.%02d 10:00,%.5f\r\n",
                          k % 12 + 1, k % 28 + 1, price);
            out << line;
        }
    }

    std::filesystem::path path_;
};

} // namespace vz::bench
