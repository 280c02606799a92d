#!/usr/bin/env python3
"""Compares the findings of two `orba validate --format json` reports.

The models are the same model in two files (the example model and its copy
imported back from XMI), so their GUIDs differ: a finding is its rule,
message and the kind, type and name of its item. Exits 1, listing what
differs, when the findings are not the same."""
import collections
import json
import sys


def findings(path):
    with open(path, encoding="utf-8") as report:
        document = json.load(report)
    if document.get("failures"):
        sys.exit(f"{path}: add-in operations failed: {document['failures']}")
    return collections.Counter(
        (v["rule"], v["message"], v["item"]["kind"], v["item"].get("type", ""), v["item"]["name"])
        for v in document["violations"])


def main(before_path, after_path):
    before, after = findings(before_path), findings(after_path)
    if before == after:
        print(f"the same {sum(before.values())} findings before and after the round trip")
        return 0
    for label, missing in (("lost", before - after), ("added", after - before)):
        for finding in sorted(missing.elements()):
            print(f"{label}: {' | '.join(finding)}")
    return 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
