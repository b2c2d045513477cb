#!/usr/bin/env python3
"""Compares two runs of quorvix_bench (its --benchmark_out JSON files).

For every benchmark in both runs it prints the time per iteration and the
figures that matter for a conversion (median and 99th percentile time per
call, allocations per call), each with its change, and marks a figure that
grew by more than the threshold as SLOWER (allocations: MORE). Benchmarks in
only one of the runs are listed as new or gone.

    compare_bench.py PREVIOUS.json CURRENT.json [--threshold 10] [--fail]

With --fail the exit status is 1 when any figure got worse past the threshold.
"""

from __future__ import annotations

import argparse
import json
import sys
from pathlib import Path

# The figures compared, with the word a worse value earns. Time per
# iteration comes first, the counters after it when the benchmark has them.
FIGURES = [
    ("real_time", "SLOWER"),
    ("median_ns", "SLOWER"),
    ("p99_ns", "SLOWER"),
    ("allocs_per_call", "MORE"),
    ("allocs_per_conversion", "MORE"),
    ("per_byte_median_ns", "SLOWER"),
    ("per_byte_max_ns", "SLOWER"),
]


class BenchFileError(Exception):
    pass


def load_run(path: Path) -> dict[str, dict]:
    """The benchmarks of one run by name (aggregates and skipped ones left out)."""
    try:
        doc = json.loads(path.read_text(encoding="utf-8"))
    except (OSError, ValueError) as error:
        raise BenchFileError(f"{path}: {error}") from error
    if not isinstance(doc, dict) or not isinstance(doc.get("benchmarks"), list):
        raise BenchFileError(f"{path}: not a benchmark output file (no \"benchmarks\" list)")
    run = {}
    for bench in doc["benchmarks"]:
        if not isinstance(bench, dict) or "name" not in bench:
            continue
        if bench.get("run_type", "iteration") != "iteration" or bench.get("error_occurred"):
            continue
        run[bench["name"]] = bench
    return run


def change(previous: float, current: float) -> float | None:
    """The change in percent, or None when there is nothing to compare with."""
    if previous == 0:
        return None if current == 0 else float("inf")
    return (current - previous) / previous * 100.0


def compare(previous: dict[str, dict], current: dict[str, dict], threshold: float):
    """Rows (name, figure, previous, current, change, verdict) and the count of worse figures."""
    rows = []
    worse = 0
    for name, bench in current.items():
        old = previous.get(name)
        if old is None:
            rows.append((name, "", None, None, None, "new"))
            continue
        for figure, word in FIGURES:
            if figure not in bench or figure not in old:
                continue
            was, now = float(old[figure]), float(bench[figure])
            delta = change(was, now)
            verdict = ""
            if delta is not None and delta > threshold:
                verdict = word
                worse += 1
            elif delta is not None and delta < -threshold:
                verdict = "better"
            rows.append((name, figure, was, now, delta, verdict))
    for name in previous:
        if name not in current:
            rows.append((name, "", None, None, None, "gone"))
    return rows, worse


def format_rows(rows) -> str:
    lines = []
    for name, figure, was, now, delta, verdict in rows:
        if was is None:
            lines.append(f"{name:<44} {verdict}")
            continue
        shown = "n/a" if delta is None else ("+inf" if delta == float("inf") else f"{delta:+.1f}%")
        lines.append(f"{name:<44} {figure:<22} {was:>12.4g} -> {now:>12.4g} {shown:>8} {verdict}")
    return "\n".join(lines)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("previous", type=Path)
    parser.add_argument("current", type=Path)
    parser.add_argument("--threshold", type=float, default=10.0, help="percent a figure may grow (default 10)")
    parser.add_argument("--fail", action="store_true", help="exit with status 1 when a figure got worse")
    args = parser.parse_args(argv)
    try:
        previous = load_run(args.previous)
        current = load_run(args.current)
    except BenchFileError as error:
        print(f"compare_bench: {error}", file=sys.stderr)
        return 2
    rows, worse = compare(previous, current, args.threshold)
    print(format_rows(rows))
    print(f"{worse} figure(s) worse by more than {args.threshold:g}% than in {args.previous}")
    return 1 if worse and args.fail else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
