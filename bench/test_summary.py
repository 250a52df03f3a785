"""Checks of the table builder: parsing, statistics, the import list and the goal verdicts."""

import os
import tempfile
import unittest

import summary

MB = summary.MB
GROWTH_MP = [mp for _, mp in summary.GROWTH_PICTURES]


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

    def test_imported_dlls_are_read_from_objdump_once_each(self):
        lines = ["There is an import table in .idata at 0x487000",
                 "\tDLL Name: KERNEL32.dll",
                 "\tvma:  Hint/Ord Member-Name Bound-To",
                 "\t87a10\t  270  CreateFileW",
                 "\tDLL Name: msvcrt.dll",
                 " DLL Name: KERNEL32.dll"]
        self.assertEqual(summary.imported_dlls(lines), ["KERNEL32.dll", "msvcrt.dll"])

    def test_windows_own_dlls_whatever_their_case(self):
        for dll, own in (("KERNEL32.dll", True), ("WindowsCodecs.dll", True),
                         ("api-ms-win-crt-runtime-l1-1-0.dll", True),
                         ("libstdc++-6.dll", False), ("libwinpthread-1.dll", False),
                         ("zelta_helper.dll", False)):
            self.assertEqual(summary.windows_own(dll), own, dll)


class TableVerdicts(unittest.TestCase):
    """A run where every goal is met exactly at its limit; each case moves one figure past it."""

    @staticmethod
    def start(painted, peak=20 * MB):
        return [f"run {i} painted_ms={painted} peak_ws={peak}" for i in range(3)]

    def base(self):
        # Floor 100 ms; Zelta grows 2 ms per MP, djpeg 4 ms per MP: 0.5x, the limit.
        files = {"start_floor": self.start(100),
                 "start_zelta_png-0640x480.png": self.start(110),
                 "resize_zelta_drag": [f"step {i} 800x600 step_ms=10" for i in range(5)] +
                                      ["steps 5 total_ms=50 steps_per_s=100.0"],
                 "resize_zelta_smooth": [f"step {i} 800x600 step_ms=20" for i in range(5)],
                 "resize_reference": [f"step {i} 800x600 step_ms=30" for i in range(5)],
                 "imports": ["\tDLL Name: KERNEL32.dll", "\tDLL Name: USER32.dll"]}
        for (picture, _), mp in zip(summary.GROWTH_PICTURES, GROWTH_MP):
            files["start_zelta_" + picture] = self.start(100 + 2 * mp)
            files["djpeg_" + picture] = [f"run 1 decoded_ms={10 + 4 * mp}"]
        # 24 MP: 148 ms and 150 ms against (a)+(b) = 100 + 106 and 1.5 x (a) = 150; 60 MB.
        files["start_zelta_jpg-24mp.jpg"] = self.start(148, 60 * MB)
        files["start_zelta_record_jpg-24mp.jpg"] = self.start(150, 60 * MB)
        return files

    def table(self, files, exe_size=1023 * 1024):
        with tempfile.TemporaryDirectory() as folder:
            for name, lines in files.items():
                with open(os.path.join(folder, name + ".txt"), "w", encoding="utf-8") as f:
                    f.write("\n".join(lines) + "\n")
            return summary.table(summary.Results(folder), exe_size)

    def cells(self, table, measure):
        for line in table.splitlines():
            cells = [c.strip() for c in line.strip("|").split("|")]
            if cells[0] == measure:
                return cells
        self.fail(f"no row {measure!r} in\n{table}")

    RECORD_24 = "24 MP JPEG, stored record 1600x1000"
    GOAL_ROWS = ["Start to picture, 640x480 PNG", "Start to picture, 24 MP JPEG",
                 f"Start to picture, {RECORD_24}", "Stretch goal: start to picture, 24 MP JPEG",
                 f"Stretch goal: start to picture, {RECORD_24}",
                 "Growth, ms per MP (0.3-48 MP, least squares)",
                 "Resize 24 MP, 100 steps during a drag (fast filter)",
                 "Resize 24 MP, 100 steps outside a drag (smooth filter)",
                 "Memory, peak working set, 24 MP JPEG", f"Memory, peak working set, {RECORD_24}",
                 "Size of Zelta.exe", "DLLs in the import table of Zelta.exe"]

    def test_every_goal_is_met_at_its_limit(self):
        table = self.table(self.base())
        for measure in self.GOAL_ROWS:
            self.assertEqual(self.cells(table, measure)[5], "yes", measure)
        self.assertEqual(self.cells(table, "Start to picture, 640x480 PNG")[3], "1.10x")
        self.assertEqual(self.cells(table, "Growth, ms per MP (0.3-48 MP, least squares)")[3],
                         "0.50x")

    def test_a_figure_past_its_limit_misses_that_goal(self):
        def steps(ms, rate=None):
            lines = [f"step {i} 800x600 step_ms={ms}" for i in range(5)]
            return lines + ([f"steps 5 total_ms=50 steps_per_s={rate}"] if rate else [])

        cases = [
            ("Start to picture, 640x480 PNG", {"start_zelta_png-0640x480.png": self.start(111)}),
            ("Start to picture, 24 MP JPEG", {"start_zelta_jpg-24mp.jpg": self.start(207)}),
            (f"Start to picture, {self.RECORD_24}",
             {"start_zelta_record_jpg-24mp.jpg": self.start(207)}),
            ("Stretch goal: start to picture, 24 MP JPEG",
             {"start_zelta_jpg-24mp.jpg": self.start(151)}),
            (f"Stretch goal: start to picture, {self.RECORD_24}",
             {"start_zelta_record_jpg-24mp.jpg": self.start(151)}),
            ("Growth, ms per MP (0.3-48 MP, least squares)",
             {"start_zelta_" + p: self.start(100 + 2.1 * mp)
              for (p, _), mp in zip(summary.GROWTH_PICTURES, GROWTH_MP)}),
            ("Resize 24 MP, 100 steps during a drag (fast filter)",
             {"resize_reference": steps(29.9)}),
            ("Resize 24 MP, 100 steps during a drag (fast filter)",
             {"resize_zelta_drag": steps(10, rate=99.0)}),
            ("Resize 24 MP, 100 steps outside a drag (smooth filter)",
             {"resize_zelta_smooth": steps(20.1)}),
            ("Memory, peak working set, 24 MP JPEG",
             {"start_zelta_jpg-24mp.jpg": self.start(148, 60 * MB + 1)}),
            (f"Memory, peak working set, {self.RECORD_24}",
             {"start_zelta_record_jpg-24mp.jpg": self.start(150, 60 * MB + 1)}),
            ("DLLs in the import table of Zelta.exe",
             {"imports": ["\tDLL Name: KERNEL32.dll", "\tDLL Name: libstdc++-6.dll"]}),
        ]
        for measure, changed in cases:
            files = self.base()
            files.update(changed)
            self.assertEqual(self.cells(self.table(files), measure)[5], "**no**", measure)

    def test_a_foreign_dll_is_named(self):
        files = self.base()
        files["imports"] = ["\tDLL Name: KERNEL32.dll", "\tDLL Name: libgcc_s_dw2-1.dll"]
        zelta = self.cells(self.table(files), "DLLs in the import table of Zelta.exe")[1]
        self.assertEqual(zelta, "KERNEL32.dll, libgcc_s_dw2-1.dll; not Windows': libgcc_s_dw2-1.dll")

    def test_the_executable_must_stay_below_one_megabyte(self):
        table = self.table(self.base(), exe_size=1024 * 1024)
        self.assertEqual(self.cells(table, "Size of Zelta.exe")[5], "**no**")

    def test_missing_measurements_are_not_judged(self):
        table = self.table({})
        for measure in self.GOAL_ROWS[:-2]:
            self.assertEqual(self.cells(table, measure)[5], "n/a", measure)
        self.assertEqual(self.cells(table, "DLLs in the import table of Zelta.exe")[5], "n/a")


if __name__ == "__main__":
    unittest.main()
