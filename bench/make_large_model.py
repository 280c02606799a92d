#!/usr/bin/env python3
"""Writes a large SysML model in the JSON model format, for timing orba on it.

Usage: bench/make_large_model.py BLOCKS > large.json
BLOCKS blocks in 50 packages; every fifth block owns a part typed by the next
block; a quarter as many associations chain the blocks.
"""
import json
import sys


def main():
    blocks = int(sys.argv[1]) if len(sys.argv) > 1 else 50000
    packages = [{"key": "root", "name": "Model"}]
    packages += [{"key": f"p{i}", "name": f"P{i}", "parent": "root"} for i in range(50)]
    elements = [{"key": f"e{i}", "package": f"p{i % 50}", "type": "Class", "name": f"Block{i}",
                 "stereotype": "block", "metatype": "Block"} for i in range(blocks)]
    elements += [{"key": f"part{i}", "package": f"p{i % 50}", "type": "Part", "name": f"part{i}",
                  "parent": f"e{i}", "metatype": "BlockProperty",
                  "propertyType": f"e{(i + 1) % blocks}"} for i in range(blocks // 5)]
    connectors = [{"key": f"c{i}", "type": "Association", "client": f"e{i}",
                   "supplier": f"e{(i + 1) % blocks}"} for i in range(blocks // 4)]
    json.dump({"format": "orba-model", "version": 1, "technologies": ["SysML"],
               "packages": packages, "elements": elements, "connectors": connectors}, sys.stdout)


if __name__ == "__main__":
    main()
