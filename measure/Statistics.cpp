// Medians, their intervals and the U test.
#include "measure/Statistics.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Ways of ordering n1 values of one sample among n2 of the other with each value of U, from 0
// to n1 * n2: the coefficients of the Gaussian binomial [n1 + n2 choose n1], built as the product
// of (1 - q^(n2 + i)) / (1 - q^i) for i from 1 to n1. Counts are doubles: their ratios are what
// matter, and they stay within range for any n1 of 8 or fewer.
std::vector<double> ArrangementsByU(int n1, int n2) {
    std::vector<double> ways(static_cast<size_t>(n1) * n2 + 1, 0.0);
    ways[0] = 1;
    for (int i = 1; i <= n1; ++i) {
        for (size_t u = ways.size() - 1; u >= static_cast<size_t>(n2 + i); --u) {
            ways[u] -= ways[u - n2 - i];  // times (1 - q^(n2 + i))
        }
        for (size_t u = i; u < ways.size(); ++u) {
            ways[u] += ways[u - i];  // over (1 - q^i)
        }
    }
    return ways;
}

// The sizes of the runs of equal values in `sorted`, which is in order.
std::vector<double> TieSizes(const std::vector<double>& sorted) {
    std::vector<double> sizes;
    for (size_t first = 0; first < sorted.size();) {
        size_t last = first;
        while (last + 1 < sorted.size() && sorted[last + 1] == sorted[first]) {
            ++last;
        }
        sizes.push_back(static_cast<double>(last - first + 1));
        first = last + 1;
    }
    return sizes;
}

// Twice the standard normal's upper tail beyond |z|.
double TwoSidedNormal(double z) {
    return std::erfc(std::fabs(z) / std::sqrt(2.0));
}

}  // namespace

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

MedianInterval MedianInterval95(std::vector<double> values) {
    const int n = static_cast<int>(values.size());
    // The interval from the k-th smallest to the k-th largest misses the median when k or more
    // values fall on one side of it: probability 2 * P(Binomial(n, 1/2) <= k - 1).
    int k = 0;
    double below = 0;  // P(Binomial(n, 1/2) <= k - 1), for the k reached
    while (k < n / 2) {
        const double next = below + std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) -
                                             std::lgamma(n - k + 1.0) - n * std::log(2.0));
        if (2 * next > 0.05) {
            break;
        }
        below = next;
        k += 1;
    }
    if (k == 0) {
        return {false, 0, 0};
    }
    std::sort(values.begin(), values.end());
    return {true, values[k - 1], values[n - k]};
}

UTest MannWhitneyU(const std::vector<double>& a, const std::vector<double>& b) {
    const double n1 = static_cast<double>(a.size());
    const double n2 = static_cast<double>(b.size());
    std::vector<std::pair<double, bool>> all;  // value, from a
    for (const double x : a) {
        all.emplace_back(x, true);
    }
    for (const double y : b) {
        all.emplace_back(y, false);
    }
    std::sort(all.begin(), all.end());
    // Ranks from 1, the mean rank for a run of ties; the ties' sizes for the correction.
    double rankSumA = 0;
    double tieTerm = 0;
    for (size_t first = 0; first < all.size();) {
        size_t last = first;
        while (last + 1 < all.size() && all[last + 1].first == all[first].first) {
            ++last;
        }
        const double rank = (first + last) / 2.0 + 1;
        for (size_t i = first; i <= last; ++i) {
            rankSumA += all[i].second ? rank : 0;
        }
        const double tied = static_cast<double>(last - first + 1);
        tieTerm += tied * tied * tied - tied;
        first = last + 1;
    }
    const double u = rankSumA - n1 * (n1 + 1) / 2;
    const double larger = std::max(u, n1 * n2 - u);
    double p = 1;
    if ((n1 <= 8 || n2 <= 8) && tieTerm == 0) {
        const auto small = static_cast<int>(std::min(n1, n2));
        const auto large = static_cast<int>(std::max(n1, n2));
        const std::vector<double> ways = ArrangementsByU(small, large);
        double atLeast = 0;
        double total = 0;
        for (size_t k = 0; k < ways.size(); ++k) {
            total += ways[k];
            atLeast += k >= larger ? ways[k] : 0;
        }
        p = 2 * atLeast / total;
    } else {
        const double n = n1 + n2;
        const double spread = std::sqrt(n1 * n2 / 12 * ((n + 1) - tieTerm / (n * (n - 1))));
        if (spread > 0) {
            const double z = (larger - n1 * n2 / 2 - 0.5) / spread;
            p = std::erfc(z / std::sqrt(2.0));  // twice the normal's upper tail
        }
    }
    return {u, std::min(p, 1.0)};
}

SignedRankTest WilcoxonSignedRank(const std::vector<double>& differences) {
    std::vector<std::pair<double, bool>> sizes;  // |difference|, positive
    for (const double d : differences) {
        if (d != 0) {
            sizes.emplace_back(std::fabs(d), d > 0);
        }
    }
    std::sort(sizes.begin(), sizes.end());
    const int n = static_cast<int>(sizes.size());
    if (n == 0) {
        return {0, 0, 1};
    }
    std::vector<double> sorted;
    for (const auto& [size, positive] : sizes) {
        sorted.push_back(size);
    }
    const std::vector<double> ties = TieSizes(sorted);
    double w = 0;
    double tieTerm = 0;
    size_t first = 0;
    for (const double tied : ties) {
        const double rank = first + (tied + 1) / 2;
        for (size_t i = first; i < first + static_cast<size_t>(tied); ++i) {
            w += sizes[i].second ? rank : 0;
        }
        tieTerm += tied * tied * tied - tied;
        first += static_cast<size_t>(tied);
    }
    const double total = n * (n + 1) / 2.0;
    const double smaller = std::min(w, total - w);
    double p = 1;
    if (n <= 50 && tieTerm == 0) {
        // Ways of choosing the positive ranks from 1..n with each sum: at most 2^50, exact in a
        // double.
        std::vector<double> ways(static_cast<size_t>(total) + 1, 0.0);
        ways[0] = 1;
        for (int rank = 1; rank <= n; ++rank) {
            for (size_t sum = ways.size() - 1; sum >= static_cast<size_t>(rank); --sum) {
                ways[sum] += ways[sum - rank];
            }
        }
        double atMost = 0;
        for (size_t sum = 0; sum <= static_cast<size_t>(smaller); ++sum) {
            atMost += ways[sum];
        }
        p = 2 * atMost / std::ldexp(1.0, n);
    } else {
        const double spread = std::sqrt(n * (n + 1) * (2 * n + 1) / 24.0 - tieTerm / 48);
        if (spread > 0) {
            p = TwoSidedNormal(std::max(total / 2 - smaller - 0.5, 0.0) / spread);
        }
    }
    return {n, w, std::min(p, 1.0)};
}

TrendTest KendallTrend(const std::vector<double>& values) {
    const double n = static_cast<double>(values.size());
    double s = 0;  // concordant pairs less discordant ones, each pair in time order
    for (size_t i = 0; i < values.size(); ++i) {
        for (size_t j = i + 1; j < values.size(); ++j) {
            s += (values[j] > values[i]) - (values[j] < values[i]);
        }
    }
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    double tiedPairs = 0;
    double tieTerm = 0;
    for (const double t : TieSizes(sorted)) {
        tiedPairs += t * (t - 1) / 2;
        tieTerm += t * (t - 1) * (2 * t + 5);
    }
    const double pairs = n * (n - 1) / 2;
    const double variance = (n * (n - 1) * (2 * n + 5) - tieTerm) / 18;
    if (pairs == tiedPairs || variance <= 0) {
        return {0, 1};
    }
    return {s / std::sqrt((pairs - tiedPairs) * pairs), TwoSidedNormal(s / std::sqrt(variance))};
}
