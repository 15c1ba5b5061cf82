// The sweep's settings and figures in words, as both renderings write them: the console's text
// and the HTML page.
#include <cstdio>

#include "report/sweep_report.h"

namespace sim {

const char kTitlesUnjudged[] =
    "each run is shorter than one rotation of the playlist, in which no title comes back "
    "(leave out --hours)";

const char kArtistsUnjudged[] =
    "90 % of the titles or more have no \"Artist - Title\" form, so the figures know the artist of too "
    "few plays";

std::string oneDecimalText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string settingText(SweepSetting setting) {
    return "SameArtistCheckLimit=" + std::to_string(setting.artistLimit) +
           " SameTitleCheckLimit=" + std::to_string(setting.titleLimit);
}

std::string offText(SweepSetting setting) {
    if (setting.artistLimit == 0 && setting.titleLimit == 0)
        return " (both rules off)";
    if (setting.artistLimit == 0)
        return " (the artist rule off)";
    return setting.titleLimit == 0 ? " (the title rule off)" : "";
}

std::string limitText(int32_t limit) {
    return limit == 0 ? std::string("off") : std::to_string(limit);
}

std::string settingFiguresText(const SweepRow& row) {
    return limitText(row.setting.artistLimit) + " / " + limitText(row.setting.titleLimit) + ": " +
           tenthsText(row.skipTenths) + " % skips, " + hundredthsText(row.worstArtistPerDay) + " a day";
}

std::string percentText(double rate) {
    return tenthsText(rateTenths(rate));
}

std::string tenthsText(int64_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string hundredthsText(int64_t hundredths) {
    const int64_t part = hundredths % 100;
    return std::to_string(hundredths / 100) + (part < 10 ? ".0" : ".") + std::to_string(part);
}

std::string perDayText(int32_t hundredths) {
    std::string text = hundredthsText(hundredths);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string allowanceText(int32_t hundredths) {
    if (hundredths == 0)
        return "at most 0 times a day (none)";
    return "at most " + perDayText(hundredths) + (hundredths == 100 ? " time a day" : " times a day");
}

} // namespace sim
