// The sweep as one HTML page that opens anywhere, off-line: the answer, the replay, pictures of the
// whole sweep (inline SVG) and the table. Each picture and the table is a part of its own
// (sweep_page.h); this puts them together under the answer. No script, no link; every text is
// escaped.
#include <string>

#include "report/html_page.h"
#include "report/sweep_page.h"
#include "report/sweep_report.h"
#include "report/sweep_starving.h"

namespace sim {
namespace {

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:1140px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #c8d3de}"
    "svg{display:block;max-width:100%;height:auto}"
    ".scroll{overflow-x:auto;max-width:100%;border:1px solid #e3e9ef}"
    "table{border-collapse:collapse;font-size:14px}td,th{padding:2px 8px 2px 4px;text-align:left;"
    "vertical-align:bottom;white-space:nowrap;background:#fff}"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}tr.mark td{background:#fbe7d3}"
    "tr.now td{background:#eee2f2}"
    "td.goals,th.goals{border-right:1px solid #c8d3de}"
    ".run{color:#4a5868;margin:0}.warn{color:#8a3b00}.note{color:#4a5868;font-size:13px}"
    ".big{font-size:20px;font-weight:600}.bad{color:#a01818;font-weight:600}";

// The marked setting (standing_answer.h decides which, and how it stands) in words, and the
// station's own.
ChartMark markOf(const MarkedSetting& marked, const SweepContext& context,
                 const std::vector<SweepRow>& rows) {
    ChartMark mark = {-1, std::string(), -1, std::string()};
    if (marked.row >= 0) {
        const std::string setting = pairText(rows[static_cast<size_t>(marked.row)].setting);
        mark.row = marked.row;
        mark.label = marked.standing == kRecommendedStands ? "recommended: " + setting
                     : marked.standing == kNearestStands   ? "nearest the goals: " + setting
                     : marked.standing == kReplayDisagreed ? "replayed, the plug-in disagreed: " + setting
                                                           : "replayed, not confirmed: " + setting;
    }
    mark.nowRow = stationRow(rows, context.station);
    if (mark.nowRow >= 0)
        mark.nowLabel = std::string(context.station.source == kStationFilterOff ? "now, the filter off: "
                                    : context.station.source == kStationNoIni   ? "now, no plugin.ini: "
                                                                                : "now: ") +
                        pairText(rows[static_cast<size_t>(mark.nowRow)].setting);
    return mark;
}

// The lines of `text` as paragraphs of class `css`, escaped; a line starting with "warning: " as a
// warning, one starting with "recommended: " large, an indented one (a reason, a command) plain.
std::string paragraphs(const std::string& text, const char* css) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.compare(0, 3, "== ") == 0)
            line.erase(0, 3);
        const bool warning = line.compare(0, 9, "warning: ") == 0;
        const bool indented = line.compare(0, 2, "  ") == 0;
        const bool answer = line.compare(0, 13, "recommended: ") == 0;
        out += std::string("<p class=\"") +
               (warning    ? "warn"
                : answer   ? "big"
                : indented ? ""
                           : css) +
               "\">" + htmlEscaped(line) + "</p>\n";
        start = end + 1;
    }
    return out;
}

} // namespace

std::string renderSweepHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                            const Recommendation& found, const ReplayOutcome& replay) {
    const Recommendation recommendation = standingRecommendation(found, replay);
    const ChartMark mark = markOf(markedSetting(recommendation, replay), context, rows);

    std::string body = "<h1>Which limits: a sweep</h1>\n" + paragraphs(renderSweepHeading(context), "run");
    body += "<h2>The answer</h2>\n";
    if (replay.ran && !replay.agreed)
        body += paragraphs("error: " + replayText(replay), "bad");
    else
        body += paragraphs(recommendationText(context, rows, recommendation), "");
    if (replay.ran && replay.agreed)
        body += paragraphs(replayText(replay), "note");
    body += paragraphs(unpreventableText(context, rows, recommendation), "");
    const bool grid = context.plan.artistLimits.size() > 1 && context.plan.titleLimits.size() > 1;
    if (grid && !rows.empty()) {
        body += "<h2>Every pair of limits</h2>\n" + sweepMaps(context, rows, mark);
    } else if (!rows.empty()) {
        body += "<h2>Skip rate and early returns against the limit</h2>\n" + sweepCurves(context, rows, mark);
    }
    const std::vector<bool> drawn = drawnOnTradeOff(context, rows);
    if (!rows.empty())
        body +=
            "<h2>What each skip buys</h2>\n" + tradeOffChart(context, rows, drawn, recommendation, mark) +
            "<p class=\"note\">Each dot is a setting; the line joins the frontier: for each level of early "
            "returns, the setting with the fewest skips. Left of the upright dashed line the skip goal is "
            "met; on or below the level one, the artist goal.</p>\n" +
            paragraphs(starvingSettingsText(context, rows, drawn), "note");
    body += "<h2>Every setting</h2>\n" + sweepTableHtml(context, rows, recommendation, mark);
    std::string notes;
    for (const std::string& note : sweepTableNotes(context))
        notes += (notes.empty() ? "" : " ") + note;
    body += "<p class=\"note\">" + htmlEscaped(notes) + "</p>\n";

    return htmlDocument("Sweep: " + context.playlistName, kStyle, body);
}

} // namespace sim
