// embervane-compare's picture: series of points on two labelled axes, as SVG. No GL here.
#pragma once

#include <string>
#include <vector>

struct PlotSeries {
    std::string name;  // in the legend
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> low;  // with `high`, an interval around each y, or empty for none
    std::vector<double> high;
};

// Each series as a line with a dot a point (and a bar for each interval), in a colour of its
// own, over axes with ticks at round values: x across the series' range, y from zero. The axes
// are labelled `xLabel` and `yLabel`, and a legend below names each series.
std::string PlotSvg(const std::vector<PlotSeries>& series, const std::string& xLabel,
                    const std::string& yLabel);
