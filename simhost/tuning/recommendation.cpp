// The recommendation rule. Every choice is a scan in row order with a strict comparison, so the
// first of equals (the smaller limits) wins and the answer is the same on every run.
#include "tuning/recommendation.h"

#include <algorithm>
#include <cstdlib>

#include "tuning/nearby_choice.h"

namespace {

// The early returns of an artist a day that the answer weighs: none when the artist goal is not
// judged, so that the frontier and the nearest choice go by the skips alone.
int32_t weighedArtistPerDay(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return goal.artistUnjudged ? 0 : row.worstArtistPerDay;
}

// How far apart two settings of the frontier lie: the larger of their differences in skip rate and
// in early returns a day, each as a share of the frontier's whole span of it.
double stepBetween(const std::vector<sim::SweepRow>& rows, const std::vector<int32_t>& frontier, size_t a,
                   size_t b) {
    auto at = [&](size_t place) -> const sim::SweepRow& {
        return rows[static_cast<size_t>(frontier[place])];
    };
    const double skipSpan = std::max(1, at(frontier.size() - 1).skipTenths - at(0).skipTenths);
    const double returnSpan =
        std::max(1, at(0).worstArtistPerDay - at(frontier.size() - 1).worstArtistPerDay);
    return std::max(std::abs(at(a).skipTenths - at(b).skipTenths) / skipSpan,
                    std::abs(at(a).worstArtistPerDay - at(b).worstArtistPerDay) / returnSpan);
}

// Up to kMostChoices places of `frontier` (fewest skips first), in its order: its two ends, the
// nearest, the fewest early returns within the skip goal and the fewest skips within the artist
// goal; then, while there is room, the widest step between two neighbouring choices (in skip rate
// or in early returns) is split at the frontier's setting nearest its middle, so that no jump in
// either is left where the frontier has a setting between.
std::vector<int32_t> pickChoices(const std::vector<sim::SweepRow>& rows, const std::vector<int32_t>& frontier,
                                 int32_t nearest) {
    if (frontier.size() <= sim::kMostChoices)
        return frontier;
    std::vector<size_t> places = {0, frontier.size() - 1};
    auto add = [&](size_t place) {
        if (places.size() < sim::kMostChoices &&
            std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
    };
    add(static_cast<size_t>(std::find(frontier.begin(), frontier.end(), nearest) - frontier.begin()));
    // Along the frontier the skips grow and the early returns fall.
    for (size_t place = frontier.size(); place-- > 0;)
        if (rows[static_cast<size_t>(frontier[place])].meetsSkipGoal) {
            add(place);
            break;
        }
    for (size_t place = 0; place < frontier.size(); place++)
        if (rows[static_cast<size_t>(frontier[place])].meetsArtistGoal) {
            add(place);
            break;
        }
    while (places.size() < sim::kMostChoices) {
        std::sort(places.begin(), places.end());
        double widest = 0;
        size_t split = 0; // 0: no step has a setting between
        for (size_t i = 0; i + 1 < places.size(); i++) {
            const size_t a = places[i], b = places[i + 1];
            const double whole = stepBetween(rows, frontier, a, b);
            if (b - a < 2 || (split != 0 && whole <= widest))
                continue;
            widest = whole;
            double halves = 2;
            for (size_t place = a + 1; place < b; place++) {
                const double larger =
                    std::max(stepBetween(rows, frontier, a, place), stepBetween(rows, frontier, place, b));
                if (larger < halves) {
                    halves = larger;
                    split = place;
                }
            }
        }
        if (split == 0)
            break;
        add(split);
    }
    std::sort(places.begin(), places.end());
    std::vector<int32_t> choices;
    for (size_t place : places)
        choices.push_back(frontier[place]);
    return choices;
}

} // namespace

namespace sim {

std::vector<int32_t> tradeOffFrontier(const std::vector<SweepRow>& rows, const SweepGoal& goal) {
    const bool anyTitle = std::any_of(rows.begin(), rows.end(),
                                      [](const SweepRow& row) { return row.meetsTitleGoal && !row.starved; });
    std::vector<int32_t> candidates;
    for (size_t i = 0; i < rows.size(); i++)
        if (!rows[i].starved && (rows[i].meetsTitleGoal || !anyTitle || goal.titleGapHours <= 0))
            candidates.push_back(static_cast<int32_t>(i));
    // Fewest early returns first; among equals the fewest skips, then row order.
    std::stable_sort(candidates.begin(), candidates.end(), [&](int32_t a, int32_t b) {
        const int32_t ra = weighedArtistPerDay(rows[static_cast<size_t>(a)], goal),
                      rb = weighedArtistPerDay(rows[static_cast<size_t>(b)], goal);
        return ra != rb ? ra < rb
                        : rows[static_cast<size_t>(a)].skipTenths < rows[static_cast<size_t>(b)].skipTenths;
    });
    std::vector<int32_t> frontier;
    for (int32_t candidate : candidates)
        if (frontier.empty() || rows[static_cast<size_t>(candidate)].skipTenths <
                                    rows[static_cast<size_t>(frontier.back())].skipTenths)
            frontier.push_back(candidate);
    std::reverse(frontier.begin(), frontier.end()); // fewest skips first
    return frontier;
}

double goalMiss(const SweepRow& row, const SweepGoal& goal) {
    const int32_t perDay = weighedArtistPerDay(row, goal);
    const double artist =
        perDay > goal.perDayHundredths
            ? static_cast<double>(perDay - goal.perDayHundredths) / std::max(goal.perDayHundredths, 100)
            : 0.0;
    const double skips =
        row.skipTenths > goal.maxSkipTenths
            ? static_cast<double>(row.skipTenths - goal.maxSkipTenths) / std::max(goal.maxSkipTenths, 10)
            : 0.0;
    return std::max(artist, skips);
}

Recommendation recommend(const std::vector<SweepRow>& rows, const SweepGoal& goal) {
    Recommendation answer = {kEveryGoalMet, 0, -1, {}, -1, -1};
    for (size_t i = 0; i < rows.size(); i++)
        if (meetsEveryGoal(rows[i]) &&
            (answer.recommended < 0 ||
             rows[i].skipTenths < rows[static_cast<size_t>(answer.recommended)].skipTenths))
            answer.recommended = static_cast<int32_t>(i);
    if (answer.recommended >= 0) {
        answer.replayed = answer.recommended;
        answer.safer = saferChoice(rows, answer.recommended, goal);
        answer.artistRuleOn = ruleOnChoice(rows, answer.recommended, true);
        answer.titleRuleOn = ruleOnChoice(rows, answer.recommended, false);
        return answer;
    }

    bool anyArtist = false, anyTitle = false, anySkip = false;
    for (const SweepRow& row : rows) {
        anyArtist = anyArtist || row.meetsArtistGoal;
        anyTitle = anyTitle || row.meetsTitleGoal;
        anySkip = anySkip || row.meetsSkipGoal;
    }
    answer.unmetGoals =
        (anyArtist ? 0 : kArtistGoalBit) | (anyTitle ? 0 : kTitleGoalBit) | (anySkip ? 0 : kSkipGoalBit);
    answer.verdict = answer.unmetGoals != 0 ? kGoalsUnmet : kGoalsConflict;

    const std::vector<int32_t> frontier = tradeOffFrontier(rows, goal);
    for (int32_t index : frontier)
        if (answer.nearest < 0 || goalMiss(rows[static_cast<size_t>(index)], goal) <
                                      goalMiss(rows[static_cast<size_t>(answer.nearest)], goal))
            answer.nearest = index;
    if (answer.nearest < 0 && !rows.empty()) // every setting starved: the fewest skips of all
        for (size_t i = 0; i < rows.size(); i++)
            if (answer.nearest < 0 ||
                rows[i].skipTenths < rows[static_cast<size_t>(answer.nearest)].skipTenths)
                answer.nearest = static_cast<int32_t>(i);
    if (!frontier.empty())
        answer.choices = pickChoices(rows, frontier, answer.nearest);
    else if (answer.nearest >= 0)
        answer.choices = {answer.nearest};
    answer.replayed = answer.nearest;
    return answer;
}

} // namespace sim
