// Distributions of timings and the two ways a benchmark prints them: a readable line, and a
// "figure <name> <value> <unit>" line that scripts/bench.sh gathers over several runs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Summary {
    size_t count;
    double mean, median, p90, p99, max;
};

// Count, mean, nearest-rank percentiles and maximum of `values`; all zero when it is empty.
Summary summarize(std::vector<double> values);

// The median alone.
double medianOf(const std::vector<double>& values);

// One machine-readable line: "figure <name> <value> <unit>".
void figure(const std::string& name, double value, const char* unit);

// One readable line of a distribution, in microseconds.
void describe(const char* what, const Summary& s);
