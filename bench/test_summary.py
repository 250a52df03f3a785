"""Checks of the table builder: parsing, statistics and the goal verdicts."""

import os
import tempfile
import unittest

import summary


class ParsingAndStatistics(unittest.TestCase):
    def test_values_skip_warmups_and_other_keys(self):
        lines = ["warmup 0 painted_ms=900.0 visible_ms=800.0",
                 "run 1 painted_ms=120.5 visible_ms=100.0 peak_ws=2048",
                 "run 2 painted_ms=130.0 visible_ms=101.0 peak_ws=4096",
                 "step 1 800x600 step_ms=9.50"]
        self.assertEqual(summary.values(lines, "painted_ms"), [120.5, 130.0])
        self.assertEqual(summary.values(lines, "peak_ws"), [2048.0, 4096.0])
        self.assertEqual(summary.values(lines, "step_ms", tag="step"), [9.5])
        # "visible_ms" must not be read as "ms" of another key.
        self.assertEqual(summary.values(lines, "ms"), [])

    def test_slope_of_a_line_and_degenerate_input(self):
        self.assertAlmostEqual(summary.slope([(0, 100), (10, 150), (20, 200)]), 5.0)
        self.assertAlmostEqual(summary.slope([(1, 3), (2, 7), (3, 5)]), 1.0)
        self.assertIsNone(summary.slope([(1, 3)]))
        self.assertIsNone(summary.slope([(2, 3), (2, 5)]))

    def test_spread_text_shows_median_range_and_count(self):
        self.assertEqual(summary.spread_text([130, 110, 120, 400]), "125 ms (110-400, n=4)")
        self.assertEqual(summary.spread_text([]), "n/a")
        self.assertEqual(summary.spread_text([1.25, 2.5], digits=1), "1.9 ms (1.2-2.5, n=2)")


class TableVerdicts(unittest.TestCase):
    def write(self, folder, name, lines):
        with open(os.path.join(folder, name + ".txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    def row(self, table, start):
        return next(line for line in table.splitlines() if line.startswith("| " + start))

    def test_goals_met_and_missed(self):
        with tempfile.TemporaryDirectory() as folder:
            self.write(folder, "start_floor",
                       [f"run {i} painted_ms=100 peak_ws={20 * summary.MB}" for i in range(3)])
            self.write(folder, "start_zelta_png-0640x480.png",
                       [f"run {i} painted_ms=105 peak_ws={30 * summary.MB}" for i in range(3)])
            self.write(folder, "start_zelta_jpg-24mp.jpg",
                       [f"run {i} painted_ms=1000 peak_ws={100 * summary.MB}" for i in range(3)])
            self.write(folder, "djpeg_jpg-24mp.jpg", ["run 1 decoded_ms=300"])
            self.write(folder, "resize_zelta_drag",
                       [f"step {i} 800x600 step_ms=10" for i in range(5)] +
                       ["steps 5 total_ms=50 steps_per_s=100.0"])
            self.write(folder, "resize_reference", [f"step {i} 800x600 step_ms=120" for i in range(5)])
            table = summary.table(summary.Results(folder), 900 * 1024)
        self.assertIn("| yes |", self.row(table, "Start to picture, 640x480 PNG"))
        self.assertIn("1.05x", self.row(table, "Start to picture, 640x480 PNG"))
        # 1000 ms against (100 + 300) * 1.15 = 460 ms.
        self.assertIn("**no**", self.row(table, "Start to picture, 24 MP"))
        self.assertIn("2.50x", self.row(table, "Start to picture, 24 MP"))
        self.assertIn("12.0x faster", self.row(table, "Resize 24 MP, 100 steps during"))
        self.assertIn("| yes |", self.row(table, "Resize 24 MP, 100 steps during"))
        # 30 MB is more than 20 MB + 8 MB.
        self.assertIn("**no**", self.row(table, "Memory, peak working set, 640x480"))
        self.assertIn("| yes |", self.row(table, "Memory, peak working set, 24 MP"))
        self.assertIn("| yes |", self.row(table, "Size of Zelta.exe"))
        self.assertIn("n/a", self.row(table, "Replace, 640x480"))

    def test_resize_needs_both_the_speed_up_and_the_rate(self):
        with tempfile.TemporaryDirectory() as folder:
            self.write(folder, "resize_zelta_drag",
                       ["step 1 800x600 step_ms=20", "steps 1 total_ms=20 steps_per_s=50.0"])
            self.write(folder, "resize_reference", ["step 1 800x600 step_ms=400"])
            table = summary.table(summary.Results(folder), 2 * 1024 * 1024)
        self.assertIn("**no**", self.row(table, "Resize 24 MP, 100 steps during"))
        self.assertIn("**no**", self.row(table, "Size of Zelta.exe"))


if __name__ == "__main__":
    unittest.main()
