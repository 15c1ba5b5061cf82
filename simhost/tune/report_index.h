// songbeacon-tune's reports, kept in its folder under their playlist's name and their time. Each
// report records at its top, in a comment, what the index needs of it: so the index page, which
// lists the latest kKeptReports newest first with their answers, is rebuilt from the reports
// themselves, never from a file that two tools finishing at once would both append to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/sweep.h"

namespace sim {

// How many reports the folder keeps: older ones go as newer ones come.
constexpr size_t kKeptReports = 20;

// The index page's file name in the folder.
constexpr char kReportIndexName[] = "index.html";

enum ReportAnswer : int32_t {
    kAnswerRecommended, // a setting meets every goal
    kAnswerNearest,     // none does: the choice nearest the goals
    kAnswerNone,        // the run ended with an error before an answer
};

struct ReportRecord {
    std::string time;     // when the run started, local time, "2025-03-01 14:03:22" (sorts as it reads)
    std::string playlist; // the playlist's file name, UTF-8
    int32_t answer;       // a ReportAnswer
    SweepSetting setting; // the recommended setting, or the nearest choice
    int32_t status;       // the run's exit status
    std::string file;     // the report's file name in the folder, UTF-8 (not recorded: where it was found)
};

// The report's file name for a run on the playlist `playlistName` started at `time`: the
// playlist's name without its extension, then the time with dashes for colons; `copy` above 1
// adds " (copy)" to tell two runs started in the same second apart.
std::string reportFileName(const std::string& playlistName, const std::string& time, int32_t copy);

// `page` with `record` written as a comment on the line after its first (the doctype).
std::string withRecord(const std::string& page, const ReportRecord& record);

// The record at the top of a report, from its first bytes `head`; false when there is none (a page
// of some other kind, or cut short). `record->file` is left as it is.
bool readRecord(const std::string& head, ReportRecord* record);

// Orders `records` newest first (by time, then file name, both descending) and moves those past
// the kKeptReports newest into `past`, but never the one whose file is `own` (the run's own
// report, however old its start).
void keepNewest(std::vector<ReportRecord>* records, const std::string& own, std::vector<ReportRecord>* past);

// The index page: `records` as given (newest first), each its time, its playlist linked to its
// report, and its answer.
std::string renderReportIndex(const std::vector<ReportRecord>& records);

} // namespace sim
