// The statistics that tell a real difference between two sets of turns from noise, with no
// assumption about how turns spread: medians, their confidence intervals from order statistics,
// and the Mann-Whitney U test. No GL here.
#pragma once

#include <vector>

// The middle value, or the mean of the two middle values of an even count. Needs a value.
double Median(std::vector<double> values);

// The fewest values whose order statistics give a median interval of 95% confidence: 6.
constexpr int kMinimumIntervalSamples = 6;

// A distribution-free 95% confidence interval for the median: the k-th smallest and k-th largest
// values, for the largest k whose interval still covers the median with 95% probability or more.
// `known` is false with fewer than kMinimumIntervalSamples values, which give no such interval.
struct MedianInterval {
    bool known;
    double low;
    double high;
};
MedianInterval MedianInterval95(std::vector<double> values);

// The two-sided Mann-Whitney U test of `a` against `b` (neither empty). `u` is the statistic of
// `a`: how many pairs (x from a, y from b) have x > y, with a tie counted a half. The p-value is
// exact, from the distribution of U, when one sample has 8 values or fewer and no value is tied;
// else the normal approximation with the correction for ties and for continuity.
struct UTest {
    double u;
    double p;
};
UTest MannWhitneyU(const std::vector<double>& a, const std::vector<double>& b);
