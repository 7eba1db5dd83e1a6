#!/usr/bin/env python3
"""Coverage per floor from gcovr's JSON, against the goals; the lines listed in unreached.txt
count as accounted for, with the reason given there.

usage: floors.py COVERAGE.json UNREACHED.txt

A floor is a folder of the product code. Goals: every floor at least 90 % of its lines reached
or listed, all of them at least 95 %, and at least 80 % of all branches (exception edges left
out by gcovr). The Windows-only floors are not built here; they are listed apart with their size.
Exit 1 when a goal is missed or a listed line is no code.
"""
import json
import os
import re
import subprocess
import sys

FLOORS = [
    "text", "ui-resources", "platform", "platform/linux", "image", "serial", "app",
    "frontends/cli", "frontends/qt",
]
WINDOWS_ONLY = ["platform/win32", "frontends/win32"]
TEST_SIDE = re.compile(r"^platform/(fake|headless)/")
FLOOR_GOAL = 90.0
ALL_GOAL = 95.0
BRANCH_GOAL = 80.0


def source_path(name):
    # The floors' include folders in the build tree (build*/floors/FOLDER/FOLDER/...) are links
    # to the sources.
    return re.sub(r"^(.*/)?floors/[^/]+/", "", name)


def floor_of(path):
    folder = os.path.dirname(path)
    return folder if folder in FLOORS else None


def merged_lines(files):
    """{path: {line number: (count, [branch counts])}}, the copies of one file merged."""
    merged = {}
    for entry in files:
        path = source_path(entry["file"])
        if floor_of(path) is None or TEST_SIDE.match(path):
            continue
        lines = merged.setdefault(path, {})
        for line in entry["lines"]:
            if line.get("gcovr/noncode") or line.get("gcovr/excluded"):
                continue
            number = line["line_number"]
            branches = [b["count"] for b in line["branches"] if not b.get("throw")]
            count, known = lines.get(number, (0, []))
            if len(branches) < len(known):
                branches, known = known, branches
            lines[number] = (count + line["count"],
                             [a + (known[i] if i < len(known) else 0)
                              for i, a in enumerate(branches)])
    return merged


def read_unreached(path):
    """[(file, code, reason, line of the list)]: each entry is "FILE: CODE | REASON", CODE the
    line's text without its indentation."""
    entries = []
    with open(path, encoding="utf-8") as listing:
        for number, text in enumerate(listing, 1):
            text = text.rstrip("\n")
            if not text.strip() or text.startswith("#"):
                continue
            match = re.match(r"^(\S+): (.+?) \| (.+)$", text)
            if not match:
                sys.exit(f"{path}:{number}: not FILE: CODE | REASON: {text}")
            entries.append((match[1], match[2].strip(), match[3], number))
    return entries


def percent(part, whole):
    return 100.0 * part / whole if whole else 100.0


def code_lines(path):
    command = ["git", "ls-files", path]
    files = subprocess.run(command, capture_output=True, text=True, check=False).stdout.split()
    count = 0
    for name in files:
        with open(name, encoding="utf-8", errors="replace") as source:
            count += sum(1 for line in source
                         if line.strip() and not line.strip().startswith("//"))
    return len(files), count


def main():
    coverage_file, unreached_file = sys.argv[1:3]
    with open(coverage_file, encoding="utf-8") as data:
        merged = merged_lines(json.load(data)["files"])
    entries = read_unreached(unreached_file)
    texts = {}
    for path in merged:
        with open(path, encoding="utf-8", errors="replace") as source:
            texts[path] = [line.strip() for line in source]

    failed = False
    # Each entry accounts for the unreached lines of its file with exactly that code.
    listed = set()
    for path, code, _reason, number in entries:
        matches = [n for n, (count, _) in merged.get(path, {}).items()
                   if count == 0 and texts[path][n - 1] == code]
        if not matches:
            covered = [n for n in merged.get(path, {}) if texts[path][n - 1] == code]
            print(f"{unreached_file}:{number}: {path}: \"{code}\" is "
                  + ("reached now: take the entry out" if covered else "no code of that file"))
            failed = failed or not covered
        listed.update((path, n) for n in matches)

    totals = {}
    for path, lines in merged.items():
        floor = floor_of(path)
        for scope in (floor, "all"):
            t = totals.setdefault(scope, [0, 0, 0, 0, 0])
            for number, (count, branches) in lines.items():
                t[0] += 1
                t[1] += count > 0
                t[2] += count == 0 and (path, number) in listed
                t[3] += len(branches)
                t[4] += sum(1 for b in branches if b > 0)

    print(f"{'floor':<16}{'lines':>8}{'reached':>10}{'listed':>8}{'goal':>7}"
          f"{'branches':>10}{'reached':>10}")
    for scope in FLOORS + ["all"]:
        if scope not in totals:
            continue
        lines, reached, accounted, branches, taken = totals[scope]
        goal = ALL_GOAL if scope == "all" else FLOOR_GOAL
        score = percent(reached + accounted, lines)
        missed = score < goal
        failed = failed or missed
        print(f"{scope:<16}{lines:>8}{percent(reached, lines):>9.1f}%"
              f"{percent(accounted, lines):>7.1f}%{goal:>6.0f}%{branches:>10}"
              f"{percent(taken, branches):>9.1f}%" + ("  BELOW THE GOAL" if missed else ""))
    branch_score = percent(totals["all"][4], totals["all"][3])
    if branch_score < BRANCH_GOAL:
        print(f"branches: {branch_score:.1f}%, below the goal of {BRANCH_GOAL:.0f}%")
        failed = True
    for floor in WINDOWS_ONLY:
        count, size = code_lines(floor)
        print(f"{floor:<16}{size:>8} lines in {count} files: Windows only, not measured here")
    summary = totals["all"]
    print(f"coverage: {percent(summary[1], summary[0]):.1f}% of {summary[0]} lines reached, "
          f"{percent(summary[2], summary[0]):.1f}% listed as unreachable here, "
          f"{branch_score:.1f}% of {summary[3]} branches")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
