#!/usr/bin/env python3
"""Reads the measurements that scripts/bench collected in one folder and prints one markdown table:
medians, min-max, the ratios against the baselines of the same run, and each goal.

  summary.py RESULTS_FOLDER EXE_PATH
"""

import os
import re
import statistics
import sys

MB = 1024 * 1024
START_PICTURES = [("png-0640x480.png", "640x480 PNG", 0.3072),
                  ("jpg-12mp.jpg", "12 MP JPEG", 12.0),
                  ("jpg-24mp.jpg", "24 MP JPEG", 24.0)]
GROWTH_PICTURES = [("jpg-0.3mp.jpg", 0.3072), ("jpg-03mp.jpg", 3.0), ("jpg-12mp.jpg", 12.0),
                   ("jpg-24mp.jpg", 24.0), ("jpg-48mp.jpg", 48.0)]


def values(lines, key, tag="run"):
    """The numbers after `key=` on the lines that start with tag."""
    found = []
    for line in lines:
        if tag is not None and not line.startswith(tag + " "):
            continue
        match = re.search(r"\b" + re.escape(key) + r"=([0-9.]+)", line)
        if match:
            found.append(float(match.group(1)))
    return found


def slope(points):
    """Least-squares slope of (x, y) points."""
    n = len(points)
    if n < 2:
        return None
    mean_x = sum(x for x, _ in points) / n
    mean_y = sum(y for _, y in points) / n
    spread = sum((x - mean_x) ** 2 for x, _ in points)
    if spread == 0:
        return None
    return sum((x - mean_x) * (y - mean_y) for x, y in points) / spread


def spread_text(samples, unit="ms", scale=1.0, digits=0):
    """Median with min-max and the count, as in `812 ms (790-845, n=11)`."""
    if not samples:
        return "n/a"
    s = [v / scale for v in samples]
    fmt = f"{{:.{digits}f}}"
    return (f"{fmt.format(statistics.median(s))} {unit} "
            f"({fmt.format(min(s))}-{fmt.format(max(s))}, n={len(s)})")


def ratio_text(value, base):
    if value is None or not base:
        return "n/a"
    return f"{value / base:.2f}x"


def verdict(ok):
    if ok is None:
        return "n/a"
    return "yes" if ok else "**no**"


class Results:
    def __init__(self, folder):
        self.folder = folder

    def lines(self, name):
        path = os.path.join(self.folder, name + ".txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def run_values(self, name, key, tag="run"):
        return values(self.lines(name), key, tag)

    def median(self, name, key, tag="run"):
        v = self.run_values(name, key, tag)
        return statistics.median(v) if v else None


def table(results, exe_size):
    rows = []

    def row(measure, zelta, baseline, ratio, goal, met):
        rows.append(f"| {measure} | {zelta} | {baseline} | {ratio} | {goal} | {met} |")

    floor = results.run_values("start_floor", "painted_ms")
    floor_median = statistics.median(floor) if floor else None
    floor_memory = results.median("start_floor", "peak_ws")
    row("Start: platform floor (a), empty window", "", spread_text(floor), "", "", "")

    for picture, label, _ in START_PICTURES:
        zelta = results.run_values("start_zelta_" + picture, "painted_ms")
        zelta_median = statistics.median(zelta) if zelta else None
        feh = results.run_values("feh_" + picture, "painted_ms")
        feh_text = f"feh {spread_text(feh)}" if feh else "feh n/a"
        if picture.endswith(".png"):
            row(f"Start to picture, {label}", spread_text(zelta), f"(a) {floor_median or 0:.0f} ms; "
                + feh_text, ratio_text(zelta_median, floor_median), "<= 1.10x (a)",
                verdict(None if zelta_median is None or floor_median is None
                        else zelta_median <= 1.10 * floor_median))
            continue
        djpeg = results.median("djpeg_" + picture, "decoded_ms")
        base = floor_median + djpeg if floor_median is not None and djpeg is not None else None
        goal = "<= 1.15x (a)+(b)" if picture == "jpg-24mp.jpg" else "(report)"
        ok = (zelta_median <= 1.15 * base) if picture == "jpg-24mp.jpg" and base and zelta_median else None
        row(f"Start to picture, {label}", spread_text(zelta),
            f"(a)+(b) {base or 0:.0f} ms (djpeg {djpeg or 0:.0f}); {feh_text}",
            ratio_text(zelta_median, base), goal, verdict(ok))

    zelta_points, djpeg_points, feh_points = [], [], []
    for picture, megapixels in GROWTH_PICTURES:
        z = results.median("start_zelta_" + picture, "painted_ms")
        d = results.median("djpeg_" + picture, "decoded_ms")
        f = results.median("feh_" + picture, "painted_ms")
        if z is not None:
            zelta_points.append((megapixels, z))
        if d is not None:
            djpeg_points.append((megapixels, d))
        if f is not None:
            feh_points.append((megapixels, f))
    growth = " / ".join(f"{mp:g}: {ms:.0f}" for mp, ms in zelta_points)
    zelta_slope, djpeg_slope, feh_slope = slope(zelta_points), slope(djpeg_points), slope(feh_points)
    row("Growth, ms per MP (0.3-48 MP, least squares)",
        f"{zelta_slope:.1f} ms/MP (medians MP: ms {growth})" if zelta_slope else "n/a",
        f"djpeg {djpeg_slope:.1f} ms/MP" + (f"; feh {feh_slope:.1f} ms/MP" if feh_slope else "")
        if djpeg_slope else "n/a",
        ratio_text(zelta_slope, djpeg_slope), "<= 1.2x djpeg",
        verdict(None if not zelta_slope or not djpeg_slope else zelta_slope <= 1.2 * djpeg_slope))

    drag = results.run_values("resize_zelta_drag", "step_ms", tag="step")
    smooth = results.run_values("resize_zelta_smooth", "step_ms", tag="step")
    reference = results.run_values("resize_reference", "step_ms", tag="step")
    drag_rate = results.median("resize_zelta_drag", "steps_per_s", tag="steps")
    reference_median = statistics.median(reference) if reference else None
    drag_median = statistics.median(drag) if drag else None
    row("Resize 24 MP, 100 steps during a drag (fast filter)",
        spread_text(drag, digits=1) + (f", {drag_rate:.0f} steps/s" if drag_rate else ""),
        "StretchBlt HALFTONE " + spread_text(reference, digits=1),
        f"{reference_median / drag_median:.1f}x faster" if drag_median and reference_median else "n/a",
        ">= 10x faster, >= 60 steps/s",
        verdict(None if not drag_median or not reference_median or drag_rate is None
                else reference_median >= 10 * drag_median and drag_rate >= 60))
    smooth_median = statistics.median(smooth) if smooth else None
    row("Resize 24 MP, 100 steps outside a drag (smooth filter)", spread_text(smooth, digits=1),
        "same baseline",
        f"{reference_median / smooth_median:.1f}x faster" if smooth_median and reference_median else "n/a",
        "(report)", "n/a")

    for picture, label, megapixels in START_PICTURES:
        peak = results.median("start_zelta_" + picture, "peak_ws")
        width_height = {"png-0640x480.png": 640 * 480, "jpg-12mp.jpg": 4000 * 3000,
                        "jpg-24mp.jpg": 6000 * 4000}[picture]
        decoded = width_height * 4
        if picture == "jpg-24mp.jpg":
            limit = 1.25 * decoded + 20 * MB
            row(f"Memory, peak working set, {label}", f"{peak / MB:.0f} MB" if peak else "n/a",
                f"decoded {decoded / MB:.0f} MB; (a) {floor_memory / MB:.0f} MB" if floor_memory else "n/a",
                ratio_text(peak, decoded), "<= 1.25x decoded + 20 MB "
                f"({limit / MB:.0f} MB)", verdict(None if peak is None else peak <= limit))
        elif picture.endswith(".png"):
            row(f"Memory, peak working set, {label}", f"{peak / MB:.1f} MB" if peak else "n/a",
                f"(a) {floor_memory / MB:.1f} MB; decoded {decoded / MB:.1f} MB" if floor_memory else "n/a",
                f"+{(peak - floor_memory) / MB:.1f} MB" if peak and floor_memory else "n/a",
                "<= (a) + 8 MB",
                verdict(None if peak is None or floor_memory is None
                        else peak <= floor_memory + 8 * MB))
        else:
            row(f"Memory, peak working set, {label}", f"{peak / MB:.0f} MB" if peak else "n/a",
                f"decoded {decoded / MB:.0f} MB", ratio_text(peak, decoded), "(report)", "n/a")

    for picture, label in (("png-0640x480.png", "640x480 PNG"), ("jpg-24mp.jpg", "24 MP JPEG")):
        replace = results.run_values("replace_" + picture, "replaced_ms")
        start = results.median("start_zelta_" + picture, "painted_ms")
        replace_median = statistics.median(replace) if replace else None
        row(f"Replace, {label} (older ended and newer painted)", spread_text(replace),
            f"start {start:.0f} ms" if start else "n/a", ratio_text(replace_median, start),
            "<= 1.2x start", verdict(None if not replace_median or not start
                                     else replace_median <= 1.2 * start))

    row("Size of Zelta.exe", f"{exe_size / 1024:.0f} KiB", "", "", "< 1 MB (1024 KiB)",
        verdict(exe_size < 1024 * 1024))

    head = ["| Measure | Zelta | Baseline(s), same run | Ratio | Goal | Met |",
            "|---|---|---|---|---|---|"]
    return "\n".join(head + rows)


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    print(table(Results(argv[0]), os.path.getsize(argv[1])))


if __name__ == "__main__":
    main(sys.argv[1:])
