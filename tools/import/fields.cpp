#include "tools/import/fields.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace vz {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '"';
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// One or two digits at `pos`; `end` is set past them.
std::optional<int> shortNumberAt(std::string_view text, std::size_t pos, std::size_t& end) {
    end = pos;
    while (end < text.size() && end < pos + 3 && isDigit(text[end])) {
        ++end;
    }
    if (end == pos || end - pos > 2) {
        return std::nullopt;
    }
    return digitsAt(text, pos, end - pos);
}

bool validDate(CivilDate date) {
    return date.year >= 1900 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

struct DatePart {
    CivilDate date;
    std::size_t end = 0;
    bool slash = false;
    DateOrder settles = DateOrder::Unknown;
    Minute dayFirstShift = 0;
};

// D/M/YYYY or M/D/YYYY: the order given, or the one the numbers allow.
std::optional<DatePart> parseSlashDate(std::string_view t, DateOrder order) {
    std::size_t firstEnd = 0;
    std::size_t secondEnd = 0;
    const auto first = shortNumberAt(t, 0, firstEnd);
    if (!first || firstEnd >= t.size() || t[firstEnd] != '/') {
        return std::nullopt;
    }
    const auto second = shortNumberAt(t, firstEnd + 1, secondEnd);
    if (!second || secondEnd >= t.size() || t[secondEnd] != '/') {
        return std::nullopt;
    }
    const auto year = digitsAt(t, secondEnd + 1, 4);
    if (!year || (secondEnd + 5 < t.size() && isDigit(t[secondEnd + 5]))) {
        return std::nullopt;
    }
    DatePart part;
    part.end = secondEnd + 5;
    part.slash = order == DateOrder::Unknown; // the order is still to be found
    const CivilDate monthFirst{*year, *first, *second};
    const CivilDate dayFirst{*year, *second, *first};
    if (order == DateOrder::Unknown) {
        part.settles = *first > 12    ? DateOrder::DayFirst
                       : *second > 12 ? DateOrder::MonthFirst
                                      : DateOrder::Unknown;
        order = part.settles == DateOrder::DayFirst ? DateOrder::DayFirst : DateOrder::MonthFirst;
        if (part.settles == DateOrder::Unknown) {
            part.dayFirstShift =
                (daysFromCivil(dayFirst) - daysFromCivil(monthFirst)) * MINUTES_PER_DAY;
        }
    }
    part.date = order == DateOrder::DayFirst ? dayFirst : monthFirst;
    return part;
}

std::optional<DatePart> parseDatePart(std::string_view t, DateOrder order) {
    const auto year = digitsAt(t, 0, 4);
    if (year && t.size() >= 10 && (t[4] == '-' || t[4] == '.' || t[4] == '/') && t[7] == t[4]) {
        const auto month = digitsAt(t, 5, 2);
        const auto day = digitsAt(t, 8, 2);
        if (month && day) {
            return DatePart{{*year, *month, *day}, 10};
        }
        return std::nullopt;
    }
    if (t.size() >= 10 && t[2] == '.' && t[5] == '.') {
        const auto day = digitsAt(t, 0, 2);
        const auto month = digitsAt(t, 3, 2);
        const auto longYear = digitsAt(t, 6, 4);
        if (day && month && longYear) {
            return DatePart{{*longYear, *month, *day}, 10};
        }
        return std::nullopt;
    }
    if (const auto slash = parseSlashDate(t, order)) {
        return slash;
    }
    const auto compact = digitsAt(t, 0, 8);
    if (compact && (t.size() == 8 || !isDigit(t[8]))) {
        return DatePart{{*compact / 10000, *compact / 100 % 100, *compact % 100}, 8};
    }
    return std::nullopt;
}

struct TimePart {
    int hour = 0;
    int minute = 0;
    std::size_t end = 0;
};

// " AM" or " PM" after a time turns a 12-hour reading into a 24-hour one.
bool applyMeridiem(std::string_view t, TimePart& part) {
    std::size_t pos = part.end;
    while (pos < t.size() && t[pos] == ' ') {
        ++pos;
    }
    const std::string word = lowerCase(t.substr(pos, 2));
    if ((word != "am" && word != "pm") ||
        (pos + 2 < t.size() && std::isalpha(static_cast<unsigned char>(t[pos + 2])) != 0)) {
        return true;
    }
    if (part.hour < 1 || part.hour > 12) {
        return false;
    }
    part.hour = part.hour % 12 + (word == "pm" ? 12 : 0);
    part.end = pos + 2;
    return true;
}

std::optional<TimePart> parseTimePart(std::string_view t, std::size_t pos) {
    const bool shortHour = pos + 1 < t.size() && isDigit(t[pos]) && t[pos + 1] == ':';
    const auto hour = shortHour ? digitsAt(t, pos, 1) : digitsAt(t, pos, 2);
    if (!hour) {
        return std::nullopt;
    }
    const std::size_t afterHour = pos + (shortHour ? 1 : 2);
    TimePart part{*hour, 0, afterHour};
    int second = 0;
    if (afterHour < t.size() && t[afterHour] == ':') {
        const auto minute = digitsAt(t, afterHour + 1, 2);
        if (!minute) {
            return std::nullopt;
        }
        part.minute = *minute;
        part.end = afterHour + 3;
        if (part.end < t.size() && t[part.end] == ':') {
            const auto seconds = digitsAt(t, part.end + 1, 2);
            if (!seconds) {
                return std::nullopt;
            }
            second = *seconds;
            part.end += 3;
        }
    } else if (const auto compact = digitsAt(t, pos, 6)) {
        part = {*compact / 10000, *compact / 100 % 100, pos + 6};
        second = *compact % 100;
    } else if (const auto shortForm = digitsAt(t, pos, 4)) {
        part = {*shortForm / 100, *shortForm % 100, pos + 4};
    }
    if (part.end < t.size() && t[part.end] == '.') {
        ++part.end;
        while (part.end < t.size() && isDigit(t[part.end])) {
            ++part.end;
        }
    }
    if (!applyMeridiem(t, part) || part.hour > 23 || part.minute > 59 || second > 60) {
        return std::nullopt;
    }
    return part;
}

// Z, UTC, GMT or +HH:MM / +HHMM / +HH (or minus), the offset also after UTC or
// GMT as in "GMT+0100"; `rest` holds nothing else.
std::optional<int> parseZone(std::string_view rest) {
    std::string zone = lowerCase(rest);
    if (zone == "z" || zone == "utc" || zone == "gmt") {
        return 0;
    }
    if (zone.rfind("utc", 0) == 0 || zone.rfind("gmt", 0) == 0) {
        zone.erase(0, 3);
    }
    if (zone.size() < 3 || (zone[0] != '+' && zone[0] != '-')) {
        return std::nullopt;
    }
    const auto hours = digitsAt(zone, 1, 2);
    std::optional<int> minutes = 0;
    if (zone.size() == 6 && zone[3] == ':') {
        minutes = digitsAt(zone, 4, 2);
    } else if (zone.size() == 5) {
        minutes = digitsAt(zone, 3, 2);
    } else if (zone.size() != 3) {
        return std::nullopt;
    }
    if (!hours || !minutes || *hours > 14 || *minutes > 59) {
        return std::nullopt;
    }
    const int offset = *hours * 60 + *minutes;
    return zone[0] == '-' ? -offset : offset;
}

std::size_t skipBlanks(std::string_view t, std::size_t pos) {
    while (pos < t.size() && (t[pos] == ' ' || t[pos] == '\t')) {
        ++pos;
    }
    return pos;
}

// TradingView and most APIs write Unix time: seconds, or milliseconds.
std::optional<Timestamp> parseUnixTime(std::string_view t) {
    if (t.empty() || t.size() > 13 || !std::all_of(t.begin(), t.end(), isDigit)) {
        return std::nullopt;
    }
    const bool seconds = t.size() == 9 || t.size() == 10;
    const bool millis = t.size() == 12 || t.size() == 13;
    if (!seconds && !millis) {
        return std::nullopt;
    }
    Minute value = 0;
    std::from_chars(t.data(), t.data() + t.size(), value);
    Timestamp result;
    result.stamp = value / (millis ? 60'000 : 60);
    result.offsetMinutes = 0;
    return result;
}

} // namespace

std::string_view trimmedField(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int> digitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (!isDigit(text[i])) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<Timestamp> parseTimestamp(std::string_view text, DateOrder order) {
    const std::string_view t = trimmedField(text);
    if (auto unixTime = parseUnixTime(t)) {
        return unixTime;
    }
    const auto date = parseDatePart(t, order);
    if (!date || !validDate(date->date)) {
        return std::nullopt;
    }
    std::size_t pos = date->end;
    TimePart time;
    if (pos < t.size() && (t[pos] == ' ' || t[pos] == 'T' || t[pos] == 't' || t[pos] == '\t')) {
        pos = skipBlanks(t, pos + 1);
        if (pos < t.size() && isDigit(t[pos])) {
            const auto parsed = parseTimePart(t, pos);
            if (!parsed) {
                return std::nullopt;
            }
            time = *parsed;
            pos = parsed->end;
        }
    }
    Timestamp result;
    result.stamp =
        daysFromCivil(date->date) * MINUTES_PER_DAY + time.hour * MINUTES_PER_HOUR + time.minute;
    result.slashDate = date->slash;
    result.settles = date->settles;
    result.dayFirstShift = date->dayFirstShift;
    pos = skipBlanks(t, pos);
    if (pos < t.size()) {
        result.offsetMinutes = parseZone(t.substr(pos));
        if (!result.offsetMinutes) {
            return std::nullopt;
        }
    }
    return result;
}

std::optional<double> parsePrice(std::string_view text) {
    const std::string_view t = trimmedField(text);
    if (t.empty() || !(isDigit(t.front()) || t.front() == '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end != t.data() + t.size() || !(value > 0.0 && value < MAX_PRICE)) {
        return std::nullopt;
    }
    return value;
}

} // namespace vz
