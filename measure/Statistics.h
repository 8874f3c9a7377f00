// The statistics that tell a real difference between two sets of turns from noise, with no
// assumption about how turns spread: medians, their confidence intervals from order statistics,
// the Mann-Whitney U test for two sets, the signed-rank test for rounds run side by side, and
// Kendall's test of a trend with time. No GL here.
#pragma once

#include <vector>

// The nearest-rank median, as the run's summary takes it: the middle value, or the lower of the
// two middle values of an even count, so that it is always one of the values. Needs a value.
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

// The two-sided Wilcoxon signed-rank test of whether `differences` centre on zero. Zeros are
// dropped; `n` is how many are left and `w` the sum of the ranks of the positive ones, ranked by
// size with the mean rank for ties. The p-value is exact, from the distribution of W, for 50 or
// fewer differences that tie nowhere; else the normal approximation with the corrections for
// ties and for continuity. No difference left gives p = 1.
struct SignedRankTest {
    int n;
    double w;
    double p;
};
SignedRankTest WilcoxonSignedRank(const std::vector<double>& differences);

// Kendall's rank correlation of `values` with their order, tau-b (from -1, always falling, to 1,
// always rising), and the two-sided p-value of no trend from the normal approximation of the
// statistic, with ties corrected for.
struct TrendTest {
    double tau;
    double p;
};
TrendTest KendallTrend(const std::vector<double>& values);
