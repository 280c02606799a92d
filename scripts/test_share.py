#!/usr/bin/env python3
"""How large the tests are beside the code they test.

  test_share.py            the figures, for the whole tree and per module
  test_share.py --check    also exit 1 when the whole tree, or a module not
                           in ESTABLISHED, is outside the allowed share
  test_share.py --check-modules
                           the same for the modules only

What counts: non-blank lines of what we wrote. Code is every C++ file (.cpp,
.h) under src/ and bench/ (the benchmarks measure, they do not test) and the
add-in's own data under src/ (shape scripts, XML resources); tests
are every file under tests/ except CMakeLists.txt (C++, case files, golden
files) and the fuzz targets' C++ under fuzz/ (their corpus is the fuzzer's
output, not ours). A module is a folder of src/ (src/orba's folders each
count as one) and its tests the folder of the same name under tests/; bench
and fuzz count as modules of their own. The share is tests / (code + tests).
"""

import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LOWEST, HIGHEST = 1 / 4, 1 / 3
# Modules written before the share was a rule; only the whole tree holds them.
# qt_ui is the Qt windows, moved out of platform with their tests.
ESTABLISHED = {"addin", "bench", "fuzz", "automation", "base", "compartments", "helper_funcs", "host", "orba", "orba/cli",
               "orba/searches", "orba/session", "orba/store", "orba/validator",
               "platform", "qt_ui", "resources", "rules", "search", "ui"}


def counted_lines(path):
    try:
        return sum(1 for line in path.read_text().splitlines() if line.strip())
    except UnicodeDecodeError:
        return 0  # binary test data (an archive, a picture) is not counted


def module_of(relative):
    if relative.parts[0] in ("bench", "fuzz"):
        return relative.parts[0]
    parts = relative.parts[1:-1]
    if not parts:
        return "."
    return "/".join(parts[:2]) if parts[0] == "orba" and len(parts) > 1 else parts[0]


def tally():
    code, tests = {}, {}
    for path in [*ROOT.glob("src/**/*"), *ROOT.glob("bench/*")]:
        if path.is_file() and (path.suffix in (".cpp", ".h") or
                               path.suffix in (".txt", ".xml") and path.name != "CMakeLists.txt"):
            name = module_of(path.relative_to(ROOT))
            code[name] = code.get(name, 0) + counted_lines(path)
    for path in [*ROOT.glob("tests/**/*"), *ROOT.glob("fuzz/*")]:
        # Packages installed from npm and their lock file are not ours.
        if "node_modules" in path.parts or path.name == "package-lock.json":
            continue
        if path.is_file() and path.name != "CMakeLists.txt" and (
                path.parts[-2] != "fuzz" or path.suffix in (".cpp", ".h")):
            name = module_of(path.relative_to(ROOT))
            tests[name] = tests.get(name, 0) + counted_lines(path)
    return code, tests


def share(code_lines, test_lines):
    return test_lines / (code_lines + test_lines) if code_lines + test_lines else 0


def main(arguments):
    check = arguments in (["--check"], ["--check-modules"])
    code, tests = tally()
    problems = []
    for name in sorted(set(code) | set(tests)):
        figure = share(code.get(name, 0), tests.get(name, 0))
        print(f"{name:16} code {code.get(name, 0):6}  tests {tests.get(name, 0):6}  "
              f"share {100 * figure:5.1f} %")
        if name in code and name not in ESTABLISHED and not LOWEST <= figure <= HIGHEST:
            problems.append(f"module {name}: tests are {100 * figure:.1f} % of its lines")
    whole = share(sum(code.values()), sum(tests.values()))
    print(f"{'whole tree':16} code {sum(code.values()):6}  tests {sum(tests.values()):6}  "
          f"share {100 * whole:5.1f} %")
    if not LOWEST <= whole <= HIGHEST and arguments != ["--check-modules"]:
        problems.append(f"the whole tree: tests are {100 * whole:.1f} % of its lines")
    for problem in problems:
        print(f"test share: {problem}, allowed 25 % to 33.3 %", file=sys.stderr)
    return 1 if check and problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
