#!/usr/bin/env python3
"""Tests of the benchmark comparison: which figures count as worse, and the
files it refuses."""

from __future__ import annotations

import json
import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

import compare_bench  # noqa: E402
from compare_bench import BenchFileError, compare, load_run  # noqa: E402


def bench(name: str, real_time: float, **counters) -> dict:
    return {"name": name, "run_type": "iteration", "real_time": real_time, **counters}


def write_run(directory: Path, file: str, benchmarks: list) -> Path:
    path = directory / file
    path.write_text(json.dumps({"context": {}, "benchmarks": benchmarks}), encoding="utf-8")
    return path


class CompareTest(unittest.TestCase):
    def verdicts(self, previous: list, current: list, threshold: float = 10.0):
        rows, worse = compare({b["name"]: b for b in previous}, {b["name"]: b for b in current}, threshold)
        return {(r[0], r[1]): r[5] for r in rows}, worse

    def test_each_figure_is_judged_against_the_threshold(self):
        previous = [bench("BM_Profile/stage:2/corpus:0", 100.0, median_ns=1000, p99_ns=5000, allocs_per_call=20)]
        cases = [
            # (current figures, expected verdicts of time, median, p99, allocations, figures worse)
            (dict(real_time=105.0, median_ns=1000, p99_ns=5000, allocs_per_call=20), ("", "", "", ""), 0),
            (dict(real_time=115.0, median_ns=1000, p99_ns=5000, allocs_per_call=20), ("SLOWER", "", "", ""), 1),
            (dict(real_time=100.0, median_ns=1200, p99_ns=9000, allocs_per_call=20), ("", "SLOWER", "SLOWER", ""), 2),
            (dict(real_time=100.0, median_ns=1000, p99_ns=5000, allocs_per_call=25), ("", "", "", "MORE"), 1),
            (dict(real_time=50.0, median_ns=500, p99_ns=5000, allocs_per_call=2), ("better", "better", "", "better"), 0),
        ]
        name = previous[0]["name"]
        for figures, expected, expected_worse in cases:
            with self.subTest(figures=figures):
                current = [dict(name=name, run_type="iteration", **figures)]
                verdicts, worse = self.verdicts(previous, current)
                got = tuple(verdicts[(name, f)] for f in ("real_time", "median_ns", "p99_ns", "allocs_per_call"))
                self.assertEqual(got, expected)
                self.assertEqual(worse, expected_worse)

    def test_the_cost_per_byte_of_the_median_and_the_worst_line(self):
        name = "BM_CostPerByte/corpus:0"
        previous = [bench(name, 20.0, per_byte_median_ns=40.0, per_byte_max_ns=90.0, max_over_median=2.25)]
        current = [bench(name, 20.0, per_byte_median_ns=41.0, per_byte_max_ns=120.0, max_over_median=2.9)]
        verdicts, worse = self.verdicts(previous, current)
        self.assertEqual(verdicts[(name, "per_byte_median_ns")], "")
        self.assertEqual(verdicts[(name, "per_byte_max_ns")], "SLOWER")
        # The ratio follows from the two and is not judged again.
        self.assertNotIn((name, "max_over_median"), verdicts)
        self.assertEqual(worse, 1)

    def test_a_figure_that_was_zero(self):
        verdicts, worse = self.verdicts([bench("BM_A", 0.0)], [bench("BM_A", 1.0)])
        self.assertEqual(verdicts[("BM_A", "real_time")], "SLOWER")
        self.assertEqual(worse, 1)
        verdicts, worse = self.verdicts([bench("BM_A", 0.0)], [bench("BM_A", 0.0)])
        self.assertEqual(verdicts[("BM_A", "real_time")], "")
        self.assertEqual(worse, 0)

    def test_benchmarks_in_one_run_only_are_listed_not_judged(self):
        verdicts, worse = self.verdicts([bench("BM_Old", 1.0), bench("BM_Both", 1.0)],
                                        [bench("BM_New", 9.0), bench("BM_Both", 1.0)])
        self.assertEqual(verdicts[("BM_New", "")], "new")
        self.assertEqual(verdicts[("BM_Old", "")], "gone")
        self.assertEqual(worse, 0)

    def test_a_figure_missing_from_one_run_is_skipped(self):
        verdicts, _ = self.verdicts([bench("BM_A", 1.0)], [bench("BM_A", 1.0, median_ns=10)])
        self.assertNotIn(("BM_A", "median_ns"), verdicts)


class LoadRunTest(unittest.TestCase):
    def test_aggregates_and_failed_benchmarks_are_left_out(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = write_run(Path(tmp), "run.json", [
                bench("BM_A", 1.0),
                dict(bench("BM_A_mean", 1.0), run_type="aggregate"),
                dict(bench("BM_B", 1.0), error_occurred=True),
            ])
            self.assertEqual(list(load_run(path)), ["BM_A"])

    def test_files_that_are_not_benchmark_output_are_refused(self):
        with tempfile.TemporaryDirectory() as tmp:
            directory = Path(tmp)
            (directory / "text.json").write_text("not json", encoding="utf-8")
            (directory / "other.json").write_text('{"results": []}', encoding="utf-8")
            for path in (directory / "text.json", directory / "other.json", directory / "missing.json"):
                with self.subTest(path=path.name), self.assertRaises(BenchFileError):
                    load_run(path)

    def test_exit_status(self):
        with tempfile.TemporaryDirectory() as tmp:
            directory = Path(tmp)
            before = write_run(directory, "before.json", [bench("BM_A", 1.0)])
            after = write_run(directory, "after.json", [bench("BM_A", 2.0)])
            with open(directory / "out.txt", "w", encoding="utf-8") as out:
                saved, sys.stdout = sys.stdout, out
                try:
                    self.assertEqual(compare_bench.main([str(before), str(after)]), 0)
                    self.assertEqual(compare_bench.main([str(before), str(after), "--fail"]), 1)
                    self.assertEqual(compare_bench.main([str(after), str(after), "--fail"]), 0)
                    self.assertEqual(compare_bench.main([str(directory / "missing.json"), str(after)]), 2)
                finally:
                    sys.stdout = saved
            self.assertIn("SLOWER", (directory / "out.txt").read_text(encoding="utf-8"))


if __name__ == "__main__":
    unittest.main()
