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
GROWTH_PICTURES = [("jpg-0.3mp.jpg", 0.3072), ("jpg-03mp.jpg", 3.0), ("jpg-12mp.jpg", 12.0),
                   ("jpg-24mp.jpg", 24.0), ("jpg-48mp.jpg", 48.0)]
# Decoded size (4 bytes a pixel) of the pictures whose memory is reported.
PIXELS = {"png-0640x480.png": 640 * 480, "jpg-12mp.jpg": 4000 * 3000,
          "jpg-24mp.jpg": 6000 * 4000, "jpg-24mp-progressive.jpg": 6000 * 4000,
          "jpg-48mp.jpg": 8000 * 6000}
RECORD = "stored record 1600x1000"
MEMORY_LIMIT_24MP = 60 * MB

# DLLs that come with Windows itself (System32), by lower-case name; the API sets
# (api-ms-win-*, ext-ms-win-*) are Windows' too.
WINDOWS_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "d2d1.dll",
    "d3d11.dll", "d3d9.dll", "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "gdiplus.dll",
    "imm32.dll", "kernel32.dll", "kernelbase.dll", "mpr.dll", "msimg32.dll", "msvcrt.dll",
    "netapi32.dll", "ntdll.dll", "ole32.dll", "oleacc.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "secur32.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "ucrtbase.dll", "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll",
    "windowscodecs.dll", "winhttp.dll", "wininet.dll", "winmm.dll", "winspool.drv",
    "ws2_32.dll", "wtsapi32.dll",
}


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


def imported_dlls(lines):
    """The DLLs named in the import tables of `objdump -p`, in order."""
    found = []
    for line in lines:
        match = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if match and match.group(1) not in found:
            found.append(match.group(1))
    return found


def windows_own(dll):
    name = dll.lower()
    return name in WINDOWS_DLLS or name.startswith(("api-ms-win-", "ext-ms-win-"))


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


def at_most(value, limit):
    """Whether value <= limit, or None when either is missing."""
    if value is None or limit is None:
        return None
    return value <= limit


def mb_text(value, digits=0):
    return f"{value / MB:.{digits}f} MB" if value is not None else "n/a"


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
    floor_text = f"(a) {floor_median:.0f} ms" if floor_median is not None else "(a) n/a"
    row("Start: platform floor (a), empty window", "", spread_text(floor), "", "", "")

    def start_row(name, label, picture, goal=None, peer=True):
        """Start to picture against (a) + djpeg's whole decode of the same file; a goal is a
        factor of that sum. Returns the median."""
        zelta = results.run_values(name, "painted_ms")
        median = statistics.median(zelta) if zelta else None
        djpeg = results.median("djpeg_" + picture, "decoded_ms")
        base = floor_median + djpeg if floor_median is not None and djpeg is not None else None
        baseline = (f"(a)+(b) {base:.0f} ms (djpeg {djpeg:.0f})" if base is not None
                    else "(a)+(b) n/a")
        if peer:
            feh = results.run_values("feh_" + picture, "painted_ms")
            baseline += f"; feh {spread_text(feh)}" if feh else "; feh n/a"
        if goal is None:
            row(label, spread_text(zelta), baseline, ratio_text(median, base), "(report)", "n/a")
        else:
            row(label, spread_text(zelta), baseline, ratio_text(median, base),
                f"<= {goal:.1f}x (a)+(b)",
                verdict(at_most(median, goal * base if base is not None else None)))
        return median

    png = results.run_values("start_zelta_png-0640x480.png", "painted_ms")
    png_median = statistics.median(png) if png else None
    png_feh = results.run_values("feh_png-0640x480.png", "painted_ms")
    row("Start to picture, 640x480 PNG", spread_text(png),
        f"{floor_text}; feh {spread_text(png_feh)}" if png_feh else f"{floor_text}; feh n/a",
        ratio_text(png_median, floor_median), "<= 1.10x (a)",
        verdict(at_most(png_median, 1.10 * floor_median if floor_median else None)))
    start_row("start_zelta_jpg-12mp.jpg", "Start to picture, 12 MP JPEG", "jpg-12mp.jpg")
    plain_24 = start_row("start_zelta_jpg-24mp.jpg", "Start to picture, 24 MP JPEG",
                         "jpg-24mp.jpg", goal=1.0)
    record_24 = start_row("start_zelta_record_jpg-24mp.jpg",
                          f"Start to picture, 24 MP JPEG, {RECORD}", "jpg-24mp.jpg", goal=1.0,
                          peer=False)
    for median, label in ((plain_24, "24 MP JPEG"), (record_24, f"24 MP JPEG, {RECORD}")):
        row(f"Stretch goal: start to picture, {label}", f"{median:.0f} ms" if median else "n/a",
            floor_text, ratio_text(median, floor_median), "<= 1.5x (a)",
            verdict(at_most(median, 1.5 * floor_median if floor_median else None)))
    start_row("start_zelta_jpg-48mp.jpg", "Start to picture, 48 MP JPEG", "jpg-48mp.jpg")
    start_row("start_zelta_record_jpg-48mp.jpg", f"Start to picture, 48 MP JPEG, {RECORD}",
              "jpg-48mp.jpg", peer=False)
    start_row("start_zelta_jpg-24mp-progressive.jpg", "Start to picture, 24 MP progressive JPEG",
              "jpg-24mp-progressive.jpg")

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
        ratio_text(zelta_slope, djpeg_slope), "<= 0.5x djpeg",
        verdict(at_most(zelta_slope, 0.5 * djpeg_slope if djpeg_slope else None)))

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
        ">= 3x faster, >= 100 steps/s",
        verdict(None if not drag_median or not reference_median or drag_rate is None
                else reference_median >= 3 * drag_median and drag_rate >= 100))
    smooth_median = statistics.median(smooth) if smooth else None
    row("Resize 24 MP, 100 steps outside a drag (smooth filter)", spread_text(smooth, digits=1),
        "same baseline",
        f"{reference_median / smooth_median:.1f}x faster" if smooth_median and reference_median else "n/a",
        "median <= 20 ms", verdict(at_most(smooth_median, 20.0)))
    platform = results.run_values("resize_floor", "step_ms", tag="step")
    if platform:
        row("Resize step, the platform alone (a window that repaints grey in its frame)",
            "", spread_text(platform, digits=1), "", "(report)", "n/a")

    def memory_row(name, label, picture, limit=None):
        peak = results.median(name, "peak_ws")
        decoded = PIXELS[picture] * 4
        baseline = f"decoded {decoded / MB:.0f} MB; (a) {mb_text(floor_memory)}"
        if limit is None:
            row(f"Memory, peak working set, {label}", mb_text(peak), baseline,
                ratio_text(peak, decoded), "(report)", "n/a")
        else:
            row(f"Memory, peak working set, {label}", mb_text(peak), baseline,
                ratio_text(peak, decoded), f"<= {limit / MB:.0f} MB",
                verdict(at_most(peak, limit)))

    png_peak = results.median("start_zelta_png-0640x480.png", "peak_ws")
    row("Memory, peak working set, 640x480 PNG", mb_text(png_peak, 1),
        f"(a) {mb_text(floor_memory, 1)}; decoded {PIXELS['png-0640x480.png'] * 4 / MB:.1f} MB",
        f"{(png_peak - floor_memory) / MB:+.1f} MB over (a)" if png_peak and floor_memory else "n/a",
        "(report)", "n/a")
    memory_row("start_zelta_jpg-12mp.jpg", "12 MP JPEG", "jpg-12mp.jpg")
    memory_row("start_zelta_jpg-24mp.jpg", "24 MP JPEG", "jpg-24mp.jpg", MEMORY_LIMIT_24MP)
    memory_row("start_zelta_record_jpg-24mp.jpg", f"24 MP JPEG, {RECORD}", "jpg-24mp.jpg",
               MEMORY_LIMIT_24MP)
    memory_row("start_zelta_jpg-48mp.jpg", "48 MP JPEG", "jpg-48mp.jpg")
    memory_row("start_zelta_record_jpg-48mp.jpg", f"48 MP JPEG, {RECORD}", "jpg-48mp.jpg")
    memory_row("start_zelta_jpg-24mp-progressive.jpg", "24 MP progressive JPEG",
               "jpg-24mp-progressive.jpg")

    for picture, label in (("png-0640x480.png", "640x480 PNG"), ("jpg-24mp.jpg", "24 MP JPEG")):
        replace = results.run_values("replace_" + picture, "replaced_ms")
        start = results.median("start_zelta_" + picture, "painted_ms")
        replace_median = statistics.median(replace) if replace else None
        row(f"Replace, {label} (older ended and newer painted)", spread_text(replace),
            f"start {start:.0f} ms" if start else "n/a", ratio_text(replace_median, start),
            "(report)", "n/a")

    row("Size of Zelta.exe", f"{exe_size / 1024:.0f} KiB", "", "", "< 1 MB (1024 KiB)",
        verdict(exe_size < 1024 * 1024))
    dlls = imported_dlls(results.lines("imports"))
    foreign = [dll for dll in dlls if not windows_own(dll)]
    row("DLLs in the import table of Zelta.exe",
        (", ".join(dlls) + (f"; not Windows': {', '.join(foreign)}" if foreign else ""))
        if dlls else "n/a", "", "", "only Windows' own DLLs",
        verdict(not foreign if dlls else None))

    head = ["| Measure | Zelta | Baseline(s), same run | Ratio | Goal | Met |",
            "|---|---|---|---|---|---|"]
    return "\n".join(head + rows)


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    print(table(Results(argv[0]), os.path.getsize(argv[1])))


if __name__ == "__main__":
    main(sys.argv[1:])
