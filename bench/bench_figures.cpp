// Timing distributions summarised and printed for the benchmarks.
#include "bench_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Summary summarize(std::vector<double> values) {
    Summary summary = {values.size(), 0, 0, 0, 0, 0};
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double value : values)
        sum += value;
    summary.mean = sum / static_cast<double>(values.size());
    auto rank = [&](double p) {
        size_t index = static_cast<size_t>(std::ceil(p * static_cast<double>(values.size())));
        return values[index == 0 ? 0 : index - 1];
    };
    summary.median = rank(0.5);
    summary.p90 = rank(0.9);
    summary.p99 = rank(0.99);
    summary.max = values.back();
    return summary;
}

double medianOf(const std::vector<double>& values) {
    return summarize(values).median;
}

void figure(const std::string& name, double value, const char* unit) {
    std::printf("figure %-44s %12.3f %s\n", name.c_str(), value, unit);
}

void describe(const char* what, const Summary& s) {
    std::printf("  %-46s median %8.1f  p90 %8.1f  p99 %8.1f  max %8.1f  mean %8.1f us  (n=%zu)\n", what,
                s.median, s.p90, s.p99, s.max, s.mean, s.count);
}
