#!/usr/bin/env python3
"""Per-folder line coverage from gcovr's JSON, or the lines one run covers and another does not."""
import json
import sys
from collections import defaultdict


def covered_lines(path):
    """Maps each source file to (set of coverable lines, set of covered lines)."""
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    files = {}
    for entry in data["files"]:
        coverable, covered = files.setdefault(entry["file"], (set(), set()))
        for line in entry["lines"]:
            if line.get("gcovr/noncode"):
                continue
            coverable.add(line["line_number"])
            if line["count"] > 0:
                covered.add(line["line_number"])
    return files


def table(path):
    totals = defaultdict(lambda: [0, 0])
    for name, (coverable, covered) in covered_lines(path).items():
        folder = name.rsplit("/", 1)[0] if "/" in name else "."
        totals[folder][0] += len(coverable)
        totals[folder][1] += len(covered)
    print("folder\tlines\tcovered\tpercent")
    all_lines = all_covered = 0
    for folder in sorted(totals):
        lines, covered = totals[folder]
        all_lines += lines
        all_covered += covered
        print(f"{folder}\t{lines}\t{covered}\t{100.0 * covered / lines:.1f}")
    print(f"total\t{all_lines}\t{all_covered}\t{100.0 * all_covered / max(all_lines, 1):.1f}")


def compare(old_path, new_path):
    old, new = covered_lines(old_path), covered_lines(new_path)
    lost = 0
    for name in sorted(old):
        gone = sorted(old[name][1] - new.get(name, (set(), set()))[1])
        if gone:
            lost += len(gone)
            print(f"{name}: {len(gone)} lines: {','.join(map(str, gone))}")
    print(f"{lost} lines lost their last covering test")


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--compare":
        compare(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 2:
        table(sys.argv[1])
    else:
        sys.exit("usage: coverage_table.py COVERAGE.json | --compare OLD.json NEW.json")
