#pragma once

#include "tools/import/clock_time.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

// The clock a source writes its stamps on when they carry no offset: a fixed
// offset from UTC or a named zone with its daylight-saving history.
class SourceZone {
public:
    // "UTC", "Z", "+02:00", "-0500", "UTC-5", or a zone name such as
    // "Europe/Zurich"; an error text when the name is not known.
    static std::optional<SourceZone> named(std::string_view name, std::string& error);

    const std::string& name() const { return name_; }

    struct Conversion {
        std::optional<Minute> utc; // empty: the local time does not exist there
        bool ambiguous = false;    // the hour that repeats when the clocks go back
    };
    // The UTC minute of a local stamp. In the hour that happens twice the
    // earlier reading is taken unless it would put the row before
    // `previousUtc`, the row above it, as a second pass through that hour does.
    Conversion toUtc(Minute local, std::optional<Minute> previousUtc) const;

private:
    std::string name_;
    std::optional<int> fixedOffset_; // minutes east of UTC
    const void* zone_ = nullptr;     // the time-zone library's zone, when named
};

// Whether zone names can be used in this build (fixed offsets always can).
bool zoneNamesAvailable();

} // namespace vz
