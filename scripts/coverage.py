#!/usr/bin/env python3
"""Reads an lcov trace of the project's sources and says what it covers.

  coverage.py summary TRACE            lines and branches covered, per file
  coverage.py baseline TRACE OUT       writes the covered lines and branches
  coverage.py compare TRACE BASELINE   lists what the baseline covered and
                                       the trace does not; exit 1 if any
  coverage.py module TRACE FOLDER MIN  exit 1 unless FOLDER's lines are
                                       covered at least MIN per cent
  coverage.py new-modules TRACE        the same, 90 per cent, for every module
                                       of src/ that test_share.py does not
                                       list as established

A baseline names the commit of the sources it was taken on, then per
file the covered line numbers and the taken branches (line.block.branch),
as ranges. Compared with a trace of later sources, its line numbers are
carried over to the lines that still read the same (a diff of the file at
that commit with the file now); lines changed since are counted apart, not
compared.
"""

import difflib
import subprocess
import sys
from collections import defaultdict


def read_trace(path):
    """{file: (set of (line, hit)), {branch id: taken}} for files under src/."""
    lines, branches = defaultdict(dict), defaultdict(dict)
    current = None
    for row in open(path):
        row = row.rstrip("\n")
        if row.startswith("SF:"):
            name = row[3:]
            at = name.rfind("/src/")
            current = name[at + 1:] if at >= 0 else None
        elif current is None:
            continue
        elif row.startswith("DA:"):
            number, hits = row[3:].split(",")[:2]
            line = int(number)
            lines[current][line] = max(lines[current].get(line, 0), int(hits))
        elif row.startswith("BRDA:"):
            line, block, branch, taken = row[5:].split(",")
            key = f"{line}.{block}.{branch}"
            count = 0 if taken == "-" else int(taken)
            branches[current][key] = max(branches[current].get(key, 0), count)
    return lines, branches


def covered(table):
    return {name: {key for key, hits in entries.items() if hits > 0}
            for name, entries in table.items()}


def as_ranges(numbers):
    numbers, ranges = sorted(numbers), []
    for number in numbers:
        if ranges and ranges[-1][1] == number - 1:
            ranges[-1][1] = number
        else:
            ranges.append([number, number])
    return ",".join(f"{a}" if a == b else f"{a}-{b}" for a, b in ranges)


def from_ranges(text):
    numbers = set()
    for part in filter(None, text.split(",")):
        first, _, last = part.partition("-")
        numbers.update(range(int(first), int(last or first) + 1))
    return numbers


def summary(trace):
    lines, branches = read_trace(trace)
    total = [0, 0, 0, 0]
    for name in sorted(lines):
        figures = [len(covered(lines)[name]), len(lines[name]),
                   len(covered(branches).get(name, ())), len(branches.get(name, {}))]
        total = [a + b for a, b in zip(total, figures)]
        print(f"{name}: lines {figures[0]}/{figures[1]}, branches {figures[2]}/{figures[3]}")
    print(f"total: lines {total[0]}/{total[1]} ({100 * total[0] / max(total[1], 1):.1f} %), "
          f"branches {total[2]}/{total[3]} ({100 * total[2] / max(total[3], 1):.1f} %)")


def git(*arguments):
    return subprocess.run(["git", *arguments], capture_output=True, text=True).stdout


def baseline(trace, out):
    lines, branches = read_trace(trace)
    hit_lines, hit_branches = covered(lines), covered(branches)
    with open(out, "w") as file:
        file.write(f"# sources {git('rev-parse', 'HEAD').strip()}\n")
        for name in sorted(lines):
            file.write(f"{name} lines {as_ranges(hit_lines[name])}\n")
            taken = sorted(hit_branches.get(name, ()), key=lambda k: tuple(map(int, k.split("."))))
            file.write(f"{name} branches {','.join(taken)}\n")


def renames(commit):
    """{path at commit: path now} for the files git sees as moved since."""
    moved = {}
    for row in git("diff", "--find-renames", "--name-status", commit, "--", "src").splitlines():
        status, *paths = row.split("\t")
        if status.startswith("R"):
            moved[paths[0]] = paths[1]
    return moved


def line_map(commit, name, moved):
    """{line number at commit: line number now} for the lines of file `name`
    (or where it has moved to) that read the same in both."""
    then = git("show", f"{commit}:{name}").splitlines()
    try:
        now = open(moved.get(name, name)).read().splitlines()
    except OSError:
        return {}
    matcher = difflib.SequenceMatcher(None, then, now, autojunk=False)
    return {block.a + i + 1: block.b + i + 1
            for block in matcher.get_matching_blocks() for i in range(block.size)}


def carried_over(wanted, kind, mapping):
    """The baseline's items renumbered to today's lines, and how many fell on
    changed lines."""
    moved, changed = set(), 0
    for item in wanted:
        line, _, rest = str(item).partition(".")
        if int(line) not in mapping:
            changed += 1
        elif kind == "lines":
            moved.add(mapping[int(line)])
        else:
            moved.add(f"{mapping[int(line)]}.{rest}")
    return moved, changed


def compare(trace, baseline_path):
    lines, branches = read_trace(trace)
    now = {"lines": covered(lines), "branches": covered(branches)}
    lost = changed = 0
    commit, maps, moved = None, {}, {}
    for row in open(baseline_path):
        if row.startswith("# sources "):
            commit = row.split()[2]
            moved = renames(commit)
            continue
        name, kind, items = (row.rstrip("\n").split(" ", 2) + [""])[:3]
        wanted = from_ranges(items) if kind == "lines" else set(filter(None, items.split(",")))
        if commit:
            if name not in maps:
                maps[name] = line_map(commit, name, moved)
            wanted, on_changed_lines = carried_over(wanted, kind, maps[name])
            changed += on_changed_lines
            name = moved.get(name, name)
        missing = wanted - now[kind].get(name, set())
        if missing:
            lost += len(missing)
            shown = as_ranges(missing) if kind == "lines" else ",".join(sorted(missing))
            print(f"{name}: {kind} no longer covered: {shown}")
    if changed:
        print(f"{changed} lines and branches of the baseline are on lines changed since; "
              "not compared")
    print(f"{lost} lines and branches of the baseline are no longer covered")
    return 1 if lost else 0


def module(trace, folder, minimum):
    lines, _ = read_trace(trace)
    hit = total = 0
    for name, entries in lines.items():
        if name.startswith(folder.rstrip("/") + "/"):
            total += len(entries)
            hit += sum(1 for hits in entries.values() if hits > 0)
    share = 100 * hit / total if total else 0
    print(f"{folder}: {hit}/{total} lines covered ({share:.1f} %, at least {minimum} % wanted)")
    return 0 if total and share >= float(minimum) else 1


def new_modules(trace):
    from test_share import ESTABLISHED, module_of
    from pathlib import Path
    lines, _ = read_trace(trace)
    names = {module_of(Path(name)) for name in lines} - ESTABLISHED
    failed = [name for name in sorted(names) if module(trace, "src/" + name, 90)]
    if not names:
        print("no module newer than the coverage rule")
    return 1 if failed else 0


def main(arguments):
    commands = {"summary": (summary, 1), "baseline": (baseline, 2),
                "compare": (compare, 2), "module": (module, 3),
                "new-modules": (new_modules, 1)}
    if not arguments or arguments[0] not in commands or \
            len(arguments) != commands[arguments[0]][1] + 1:
        sys.exit(__doc__)
    function, _ = commands[arguments[0]]
    sys.exit(function(*arguments[1:]) or 0)


if __name__ == "__main__":
    main(sys.argv[1:])
