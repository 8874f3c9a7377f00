#!/usr/bin/python3
"""Draws how a frame's cost grows with the particle count, from the JSON that
`frame_bench --scaling` writes: the program's frame beside the vertex-array reference frame, the
simulation step on its own, and the step's share of the frame. Each point is the median of the
repetitions in the file, its bar their range. `make plot` runs the benchmark and then this.

    plot-scaling.py RESULTS.json OUT.png
"""

import json
import statistics
import sys

import matplotlib

matplotlib.use("Agg")  # a file, never a window
import matplotlib.pyplot as plt

MILLISECONDS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def machine():
    """CPU model and core count of the machine that ran the benchmark (this one)."""
    with open("/proc/cpuinfo") as cpuinfo:
        lines = [line.split(":", 1) for line in cpuinfo if ":" in line]
    models = [value.strip() for key, value in lines if key.strip() == "model name"]
    model = " ".join(models[0].split()) if models else "unknown CPU"
    return f"{model}, {len(models)} cores"


def read_results(path):
    """Milliseconds per repetition by series and count: "frame" and "reference" from the
    benchmark that times both in turn, "update" from the step alone."""
    with open(path) as results:
        report = json.load(results)
    series = {"frame": {}, "reference": {}, "update": {}}

    def add(name, count, milliseconds):
        series[name].setdefault(count, []).append(milliseconds)

    for run in report["benchmarks"]:
        if run.get("run_type") != "iteration":  # aggregates, when repetitions asked for them
            continue
        _, family, count = run["run_name"].split("/")[:3]
        count = int(count)
        if family == "ProgramOverReference":
            add("frame", count, run["program_ms"])
            add("reference", count, run["reference_ms"])
        elif family == "Update":
            add("update", count, run["real_time"] * MILLISECONDS[run["time_unit"]])
    repetitions = max(run.get("repetitions", 1) for run in report["benchmarks"])
    return report["context"].get("gl_renderer", "unknown renderer"), repetitions, series


def summary(samples):
    """Counts, medians, and the distances from each median down to the least and up to the
    most, as matplotlib's error bars take them."""
    counts = sorted(samples)
    medians = [statistics.median(samples[c]) for c in counts]
    below = [m - min(samples[c]) for c, m in zip(counts, medians)]
    above = [max(samples[c]) - m for c, m in zip(counts, medians)]
    return counts, medians, [below, above]


def main(results_path, out_path):
    renderer, repetitions, series = read_results(results_path)
    figure, (times, share) = plt.subplots(
        1, 2, figsize=(10, 4.4), gridspec_kw={"width_ratios": [3, 2]})

    styles = {
        "frame": ("program frame", "tab:red", "o", "-"),
        "reference": ("vertex-array reference frame", "tab:gray", "s", "--"),
        "update": ("simulation step", "tab:blue", "^", "-"),
    }
    for name, (label, colour, marker, line) in styles.items():
        counts, medians, bars = summary(series[name])
        times.errorbar(counts, medians, yerr=bars, label=label, color=colour, marker=marker,
                       linestyle=line, capsize=3)
    times.set_xscale("log")
    times.set_yscale("log")
    times.set_xlabel("particles")
    times.set_ylabel("milliseconds per frame")
    times.set_title("Cost of one frame")
    times.grid(True, alpha=0.3)
    times.grid(True, which="minor", axis="y", alpha=0.15)
    times.legend(loc="upper left")

    # The step's share of the frame at each count, from the two medians.
    counts, frames, _ = summary(series["frame"])
    _, updates, _ = summary(series["update"])
    shares = [100 * u / f for u, f in zip(updates, frames)]
    share.plot(counts, shares, color="tab:blue", marker="^")
    for index, (count, value) in enumerate(zip(counts, shares)):
        # Alternate heights: 64000 and 120000 sit too close for two labels side by side.
        share.annotate(f"{value:.2f}%", (count, value), textcoords="offset points",
                       xytext=(0, 6 + 10 * (index % 2)), ha="center", fontsize=8)
    share.set_xscale("log")
    share.set_ylim(0, max(5.0, max(shares) * 1.3))
    share.set_xlabel("particles")
    share.set_ylabel("% of the program frame")
    share.set_title("Simulation step's share")
    share.grid(True, alpha=0.3)

    for axes in (times, share):  # the measured counts themselves on the x axis
        axes.set_xticks(counts, [f"{c:,}" for c in counts], rotation=30)
        axes.tick_params(axis="x", which="minor", bottom=False)

    spread = f"median of {repetitions} runs, bars their range" if repetitions > 1 else "one run"
    figure.text(0.5, 0.01, f"{renderer} under Xvfb, 640x480 window; {machine()}; {spread}",
                ha="center", fontsize=9, color="dimgray")
    figure.tight_layout(rect=(0, 0.04, 1, 1))
    # No software version in the file: a picture remade from the same figures stays the same.
    figure.savefig(out_path, dpi=100, metadata={"Software": None})
    print(f"plot-scaling: {out_path}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
