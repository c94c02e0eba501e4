#include "tools/import/source_zone.h"

#include <cctype>

#if VUREZER_HAVE_TZ_NAMES
#include <chrono>
#include <date/tz.h>
#endif

namespace vz {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "+HH", "+H", "+HH:MM", "+HHMM" (or minus) after an optional UTC or GMT.
std::optional<int> fixedOffsetOf(std::string_view text) {
    std::string lower;
    for (const char c : text) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower == "utc" || lower == "gmt" || lower == "z") {
        return 0;
    }
    std::string_view rest = lower;
    if (rest.rfind("utc", 0) == 0 || rest.rfind("gmt", 0) == 0) {
        rest.remove_prefix(3);
    }
    if (rest.size() < 2 || (rest[0] != '+' && rest[0] != '-')) {
        return std::nullopt;
    }
    const int sign = rest[0] == '-' ? -1 : 1;
    rest.remove_prefix(1);
    std::string digits;
    for (const char c : rest) {
        if (isDigit(c)) {
            digits += c;
        } else if (c != ':') {
            return std::nullopt;
        }
    }
    if (digits.empty() || digits.size() > 4 || digits.size() == 3) {
        return std::nullopt;
    }
    const int hours = std::stoi(digits.substr(0, digits.size() <= 2 ? digits.size() : 2));
    const int minutes = digits.size() == 4 ? std::stoi(digits.substr(2)) : 0;
    if (hours > 14 || minutes > 59) {
        return std::nullopt;
    }
    return sign * (hours * 60 + minutes);
}

} // namespace

bool zoneNamesAvailable() {
    return VUREZER_HAVE_TZ_NAMES != 0;
}

std::optional<SourceZone> SourceZone::named(std::string_view name, std::string& error) {
    SourceZone zone;
    zone.name_ = std::string(name);
    if (const auto offset = fixedOffsetOf(name)) {
        zone.fixedOffset_ = *offset;
        return zone;
    }
#if VUREZER_HAVE_TZ_NAMES
    try {
        zone.zone_ = date::locate_zone(zone.name_);
        return zone;
    } catch (const std::exception&) {
        error = "--source-zone: no time zone called " + zone.name_ +
                " (give an offset such as -05:00, or a name such as America/New_York)";
        return std::nullopt;
    }
#else
    error = "--source-zone: this build knows offsets such as -05:00 only, not zone names";
    return std::nullopt;
#endif
}

SourceZone::Conversion SourceZone::toUtc(Minute local, std::optional<Minute> previousUtc) const {
    if (fixedOffset_) {
        return {local - *fixedOffset_, false};
    }
#if VUREZER_HAVE_TZ_NAMES
    using namespace std::chrono;
    const auto* zone = static_cast<const date::time_zone*>(zone_);
    const date::local_seconds seconds{minutes{local}};
    const date::local_info info = zone->get_info(seconds);
    const auto utcOf = [&](const date::sys_info& with) {
        return local - duration_cast<minutes>(with.offset).count();
    };
    switch (info.result) {
    case date::local_info::nonexistent:
        return {std::nullopt, false};
    case date::local_info::ambiguous: {
        const Minute earlier = utcOf(info.first);
        const bool secondPass = previousUtc && earlier < *previousUtc;
        return {secondPass ? utcOf(info.second) : earlier, true};
    }
    default:
        return {utcOf(info.first), false};
    }
#else
    (void)previousUtc;
    return {local, false};
#endif
}

} // namespace vz
