#!/usr/bin/env python3
"""Mutation testing: small mechanical faults in the add-in's logic, and
whether the test suite notices them.

  mutants.py list                 print every mutant, one per line
  mutants.py compare BEFORE AFTER [--moved PAIRS]
                                  list the mutants BEFORE killed and AFTER
                                  did not; exit 1 if any
  mutants.py run BUILD [--only IDS] [--out FILE]
                                  apply each mutant in turn to the source
                                  tree BUILD was configured from, rebuild,
                                  run the test programs and add the result
                                  to FILE (mutants already there are skipped)

A mutant is one edit on one line: `==` and `!=` flipped, `<`/`<=` and
`>`/`>=` swapped, a ReportRuleViolation call dropped, an integer constant
raised by one, or the first two string literals of a braced list swapped.
Its id depends on the mutated line's text, not on where the line is.
"""

import argparse
import hashlib
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ["src/rules", "src/compartments", "src/helper_funcs", "src/search", "src/addin",
           "src/automation"]

# The test programs that most likely notice a fault in each folder run first,
# so that a killed mutant costs one short run.
FIRST_TESTS = {
    "src/rules": ["rules_test"],
    "src/compartments": ["compartments_test"],
    "src/helper_funcs": ["helper_funcs_test", "compartments_test"],
    "src/search": ["allocation_search_test"],
    "src/addin": ["tessary_test"],
    "src/automation": ["automation_test"],
}

TEST_TIMEOUT_SECONDS = 120
# Test programs that exercise none of FOLDERS (the Qt windows) and would only
# add time, and noise where displays are shared.
SKIPPED_TESTS = {"qt_ui_test"}


class Mutant:
    def __init__(self, path, line, column, old, new, kind, text=""):
        self.path, self.line, self.column = path, line, column
        self.old, self.new, self.kind = old, new, kind
        self.text = text.strip()  # the line as written, for the id
        self.occurrence = 0       # among mutants alike on lines alike in the file

    @property
    def id(self):
        """Stable while the mutated line reads the same, wherever it moves
        (a file renamed or lines added above it keep the id)."""
        key = (f"{os.path.basename(self.path)}|{self.text}|{self.old}>{self.new}|"
               f"{self.kind}|{self.occurrence}")
        return hashlib.sha1(key.encode()).hexdigest()[:8]

    def describe(self):
        """One line (repr escapes newlines): the id, where, and what changes."""
        return f"{self.id} {self.path}:{self.line} {self.kind}: {self.old!r} -> {self.new!r}"


# ---- finding mutants ------------------------------------------------------

STRING_OR_CHAR = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')


def code_only(line):
    """The line with string and character literals blanked and a trailing
    comment cut, so operators are only found in code."""
    blanked = STRING_OR_CHAR.sub(lambda m: '"' + " " * (len(m.group()) - 2) + '"', line)
    comment = blanked.find("//")
    return blanked if comment < 0 else blanked[:comment] + " " * (len(blanked) - comment)


OPERATOR_SWAPS = {" == ": " != ", " != ": " == ", " < ": " <= ", " <= ": " < ",
                  " > ": " >= ", " >= ": " > "}
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
LIST_OF_STRINGS = re.compile(r'\{\s*("(?:\\.|[^"\\])*")\s*,\s*("(?:\\.|[^"\\])*")')


def operator_mutants(path, number, line, code):
    for old, new in OPERATOR_SWAPS.items():
        for match in re.finditer(re.escape(old), code):
            if "operator" in code[:match.start()].split()[-1:]:
                continue
            yield Mutant(path, number, match.start(), old.strip(), new.strip(), "operator", line)


def integer_mutants(path, number, line, code):
    if code.lstrip().startswith("#"):
        return
    for match in INTEGER.finditer(code):
        value = int(match.group(1))
        yield Mutant(path, number, match.start(), match.group(1), str(value + 1), "constant", line)


def string_list_mutants(path, number, line, code):
    match = LIST_OF_STRINGS.search(line)
    if match and match.group(1) != match.group(2) and code[match.start()] == "{":
        yield Mutant(path, number, match.start(), match.group(0),
                     line[match.start():match.start(1)] + match.group(2) +
                     line[match.end(1):match.start(2)] + match.group(1), "string order", line)


def report_call_mutants(path, lines):
    """A ReportRuleViolation statement, on one or several lines, replaced by
    an empty statement."""
    for index, line in enumerate(lines):
        start = code_only(line).find("ReportRuleViolation(")
        if start < 0 or code_only(line)[:start].strip() not in ("", "{"):
            continue
        end = index
        while not code_only(lines[end]).rstrip().endswith(";"):
            end += 1
        old = "\n".join(lines[index:end + 1])
        yield Mutant(path, index + 1, start, old, line[:start] + ";", "dropped report", old)


def mutants_of(path):
    lines = (ROOT / path).read_text().split("\n")
    found = []
    for index, line in enumerate(lines):
        code = code_only(line)
        for finder in (operator_mutants, integer_mutants, string_list_mutants):
            found.extend(finder(path, index + 1, line, code))
    found.extend(report_call_mutants(path, lines))
    seen = {}
    for mutant in found:
        alike = (mutant.text, mutant.old, mutant.new, mutant.kind)
        mutant.occurrence = seen.get(alike, 0)
        seen[alike] = mutant.occurrence + 1
    return found


def all_mutants():
    found = []
    for folder in FOLDERS:
        for source in sorted((ROOT / folder).glob("*.cpp")):
            found.extend(mutants_of(str(source.relative_to(ROOT))))
    return found


def applied(text, mutant):
    lines = text.split("\n")
    span = mutant.old.count("\n") + 1
    original = "\n".join(lines[mutant.line - 1:mutant.line - 1 + span])
    if mutant.kind == "dropped report":
        changed = mutant.new
    else:
        head, tail = original[:mutant.column], original[mutant.column:]
        offset = tail.find(mutant.old)
        if offset < 0:
            raise ValueError(f"{mutant.describe()}: the line has changed")
        changed = head + tail[:offset] + mutant.new + tail[offset + len(mutant.old):]
    lines[mutant.line - 1:mutant.line - 1 + span] = [changed]
    return "\n".join(lines)


# ---- running them ---------------------------------------------------------

def registered_programs(build):
    """The test programs ctest runs today (a folder may also hold programs of
    tests since removed, which must not count): the built ones, not the
    scripts of the source tree nor the fixtures that start and stop the test
    database (a test program run alone starts its own)."""
    listing = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                             text=True, check=True).stdout
    bin_folder = os.path.realpath(build / "bin")
    programs = set()
    for test in json.loads(listing)["tests"]:
        command = test.get("command")
        fixture = any(p["name"] in ("FIXTURES_SETUP", "FIXTURES_CLEANUP")
                      for p in test.get("properties", []))
        if command and not fixture and os.path.dirname(os.path.realpath(command[0])) == bin_folder:
            programs.add(os.path.basename(command[0]))
    return sorted(programs)


def test_programs(build, mutant):
    folder = os.path.dirname(mutant.path)
    every = [name for name in registered_programs(build) if name not in SKIPPED_TESTS]
    first = [name for name in FIRST_TESTS.get(folder, []) if name in every]
    return first + [name for name in every if name not in first]


def suite_fails(build, mutant):
    environment = dict(os.environ, TESSARY_BUILD_BIN=str(build / "bin"))
    for name in test_programs(build, mutant):
        try:
            result = subprocess.run([str(build / "bin" / name), "--gtest_brief=1",
                                     "--gtest_fail_fast"], cwd=build, env=environment,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    timeout=TEST_TIMEOUT_SECONDS)
        except subprocess.TimeoutExpired:
            return name + " (timeout)"
        if result.returncode != 0:
            return name
    return None


def rebuild(build):
    return subprocess.run(["cmake", "--build", str(build)], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def run_one(build, source_root, mutant):
    source = source_root / mutant.path
    original = source.read_text()
    try:
        source.write_text(applied(original, mutant))
        if not rebuild(build):
            return "invalid", "does not build"
        failing = suite_fails(build, mutant)
        return ("killed", failing) if failing else ("survived", "")
    finally:
        source.write_text(original)
        # Keep the file's time later than the mutant's build, so the next
        # build recompiles it even when two writes fall in the same tick.
        os.utime(source)


def run(build, only, out):
    # Stopped by a signal, the mutant in hand is still taken out of the source.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("mutants: stopped"))
    build = build.resolve()
    source_root = Path(read_cache(build, "CMAKE_HOME_DIRECTORY"))
    if not rebuild(build) or suite_fails(build, Mutant("", 0, 0, "", "", "")):
        sys.exit("mutants: the unmutated build must build and pass its tests first")
    # A run that was stopped goes on where it stopped: mutants already in
    # the report are not run again.
    done = set()
    if os.path.exists(out):
        done = {line.split()[1] for line in open(out) if len(line.split()) > 1}
    chosen = [m for m in all_mutants() if (not only or m.id in only) and m.id not in done]
    with open(out, "a") as report:
        for count, mutant in enumerate(chosen, 1):
            started = time.time()
            status, detail = run_one(build, source_root, mutant)
            line = f"{status} {mutant.describe()}" + (f" [{detail}]" if detail else "")
            report.write(line + "\n")
            report.flush()
            print(f"{count}/{len(chosen)} {line} ({time.time() - started:.0f} s)", flush=True)
    rebuild(build)


def read_moved(path):
    """{old id: today's id, "moved:WHERE" or "equivalent:WHY"} from a file of
    pairs; # comments."""
    if not path:
        return {}
    pairs = (line.split() for line in open(path) if line.strip() and not line.startswith("#"))
    return {old: new for old, new in pairs}


def compare(before, after, moved_path=None):
    """Mutants the `before` report has killed and the `after` one has not.
    A mutant whose line changed since is looked up under its new id; one
    whose code moved out of the mutated folders, or that behaves exactly as
    the code does, is left out (all listed in `moved_path`)."""
    def statuses(path):
        return {line.split()[1]: line.rstrip("\n") for line in open(path) if line.strip()}
    old, new, moved = statuses(before), statuses(after), read_moved(moved_path)
    killed_before = {i for i, line in old.items() if line.startswith("killed")}
    killed_before -= {i for i, where in moved.items() if ":" in where}
    for old_id, new_id in moved.items():
        if old_id in new or new_id not in new:
            continue
        new[old_id] = new[new_id]
    lost = sorted(i for i in killed_before if not new.get(i, "").startswith("killed"))
    for mutant_id in lost:
        print("not killed any more:", new.get(mutant_id, old[mutant_id] + " [not run]"))
    killed_after = sum(1 for line in new.values() if line.startswith("killed"))
    print(f"killed: {len(killed_before)} before, {killed_after} after; "
          f"{len(lost)} killed before and not after")
    return 1 if lost else 0


def read_cache(build, key):
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        if line.startswith(key + ":"):
            return line.split("=", 1)[1]
    sys.exit(f"mutants: {build} is not a configured build folder")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("list")
    running = commands.add_parser("run")
    running.add_argument("build", type=Path)
    running.add_argument("--only", nargs="*", default=[])
    running.add_argument("--out", default="mutants-result.txt")
    comparing = commands.add_parser("compare")
    comparing.add_argument("before")
    comparing.add_argument("after")
    comparing.add_argument("--moved", help="pairs of an old id and today's id (or moved:WHERE)")
    arguments = parser.parse_args()
    if arguments.command == "list":
        for mutant in all_mutants():
            print(mutant.describe())
    elif arguments.command == "compare":
        sys.exit(compare(arguments.before, arguments.after, arguments.moved))
    else:
        run(arguments.build, set(arguments.only), arguments.out)


if __name__ == "__main__":
    main()
