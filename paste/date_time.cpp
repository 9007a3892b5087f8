#include "paste/date_time.h"

#include <array>
#include <tuple>

#include "storage/integer_text.h"

namespace paste {

namespace {

// Code page 932: 年, 月, 日, 時, 分, 元.
constexpr const char* kYear = "\x94\x4e";
constexpr const char* kMonth = "\x8c\x8e";
constexpr const char* kDay = "\x93\xfa";
constexpr const char* kHour = "\x8e\x9e";
constexpr const char* kMinute = "\x95\xaa";
constexpr const char* kFirstYear = "\x8c\xb3";

struct Era {
    int year, month, day;  // its first day
    const char* name;
};

// Newest first. 明治 counts from the day it was proclaimed.
constexpr std::array<Era, 5> kEras = {{
    {2019, 5, 1, "\x97\xdf\x98\x61"},    // 令和
    {1989, 1, 8, "\x95\xbd\x90\xac"},    // 平成
    {1926, 12, 25, "\x8f\xba\x98\x61"},  // 昭和
    {1912, 7, 30, "\x91\xe5\x90\xb3"},   // 大正
    {1868, 10, 23, "\x96\xbe\x8e\xa1"},  // 明治
}};

std::string padded(int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

bool beginsOnOrBefore(const Era& era, const platform::LocalTime& date) {
    return std::tie(era.year, era.month, era.day) <= std::tie(date.year, date.month, date.day);
}

// The system answers with its Gregorian year, or nothing useful, where it has
// no Japanese calendar (under Wine, for one); a Japanese era year is always
// smaller than the Gregorian year, or the first year written as "元".
std::optional<platform::EraYear> japaneseOnly(std::optional<platform::EraYear> era,
                                              int gregorianYear) {
    if (!era || era->eraName.empty()) return std::nullopt;
    std::string& year = era->yearText;
    if (year.size() > 1 && year[0] == '0') year.erase(0, 1);
    if (year == kFirstYear) return era;
    int value = 0;
    if (!storage::tryToInteger(year, value) || value < 1 || value >= gregorianYear)
        return std::nullopt;
    return era;
}

std::string eraDate(const platform::LocalTime& now,
                    const std::optional<platform::EraYear>& systemEra) {
    std::optional<platform::EraYear> era = japaneseOnly(systemEra, now.year);
    if (!era) era = eraFromTable(now);
    const platform::EraYear eraYear = era.value_or(platform::EraYear{"", std::to_string(now.year)});
    return eraYear.eraName + eraYear.yearText + kYear + std::to_string(now.month) + kMonth +
           std::to_string(now.day) + kDay;
}

}  // namespace

std::optional<platform::EraYear> eraFromTable(const platform::LocalTime& date) {
    for (const Era& era : kEras) {
        if (beginsOnOrBefore(era, date))
            return platform::EraYear{era.name, std::to_string(date.year - era.year + 1)};
    }
    return std::nullopt;
}

std::string formatDateOrTime(ItemKind kind, const platform::LocalTime& now,
                             const std::optional<platform::EraYear>& systemEra) {
    const std::string year = padded(now.year, 4);
    const std::string month = padded(now.month, 2);
    const std::string day = padded(now.day, 2);
    const std::string hour = padded(now.hour, 2);
    const std::string minute = padded(now.minute, 2);
    switch (kind) {
        case ItemKind::DateLong:
            return year + kYear + month + kMonth + day + kDay;
        case ItemKind::DateHyphen:
            return year + "-" + month + "-" + day;
        case ItemKind::DateEra:
            return eraDate(now, systemEra);
        case ItemKind::Time:
            return hour + kHour + minute + kMinute;
        case ItemKind::TimeColon:
            return hour + ":" + minute;
        default:
            return {};
    }
}

}  // namespace paste
