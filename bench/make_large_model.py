#!/usr/bin/env python3
"""Writes a large, realistic SysML model in the JSON model format, for timing orba on it.

Usage: bench/make_large_model.py ELEMENTS > large.json

The model is made of cells of 40 elements, each holding what the rules look at:
value types with units and dimensions, requirements with tags, a flow
specification, blocks with flow ports, parts, an operation and a constraint
property, an activity with actions, a decision, parameters, an object node and
an allocating partition, a test case, a viewpoint. Each cell has 80
connectors of every kind the rules read (associations, port connectors with
item flows, satisfy, verify, derive, allocate, control and object flows,
generalizations, refine, trace), a quarter inside the cell and the rest to the
next three cells, so ends are spread over the whole file. Cells go round-robin
into 100 packages. The document is written as it is made: a million elements
take a few hundred MB of text but little memory here.
"""
import json
import sys

PACKAGES = 100

# key, type, stereotype, metatype, extra fields ({c}: the cell number). Keys
# and GUIDs get the cell number appended; "parent" names a key of the cell.
CELL = [
    ("dim", "Class", "dimension", "Dimension", {"guid": "{D0000000-0000-0000-0000-%012d}"}),
    ("unit", "Class", "unit", "Unit", {"guid": "{E0000000-0000-0000-0000-%012d}",
                                       "tags": [("dimension", "{D0000000-0000-0000-0000-%012d}")]}),
    ("vt", "Class", "valueType", "ValueType", {"tags": [("dimension", "{D0000000-0000-0000-0000-%012d}"),
                                                        ("unit", "{E0000000-0000-0000-0000-%012d}")]}),
    ("req", "Requirement", "requirement", "Requirement",
     {"notes": "The vehicle shall carry four adults and their luggage.", "tags": [("Id", "REQ-%d")]}),
    ("perf", "Requirement", "performanceRequirement", "PerformanceRequirement",
     {"notes": "The vehicle shall use no more than 4.5 L of fuel per 100 km.",
      "tags": [("Id", "REQ-%d.1"), ("risk", "Medium"), ("verifyMethod", "Test")]}),
    ("func", "Requirement", "functionalRequirement", "FunctionalRequirement",
     {"notes": "The vehicle shall brake.", "tags": [("Id", "REQ-%d.2")]}),
    ("fs", "Interface", "flowSpecification", "FlowSpecification", {}),
    ("flow", "Part", "flowProperty", "FlowProperty", {"parent": "fs", "propertyType": "vt",
                                                      "tags": [("direction", "in")]}),
    ("car", "Class", "block", "Block", {"operations": True}),
    ("engine", "Class", "block", "Block", {}),
    ("wheel", "Class", "block", "Block", {}),
    ("body", "Class", "block", "Block", {"abstract": "1"}),
    ("out", "Port", "flowPort", "FlowPort", {"parent": "engine", "propertyType": "fs",
                                             "tags": [("direction", "none")]}),
    ("in", "Port", "flowPort", "FlowPort", {"parent": "car", "propertyType": "fs",
                                            "tags": [("direction", "none")]}),
    ("atomic", "Port", "flowPort", "FlowPort", {"parent": "wheel", "propertyType": "vt",
                                                "tags": [("direction", "inout")]}),
    ("pe", "Part", "BlockProperty", "BlockProperty", {"parent": "car", "propertyType": "engine"}),
    ("pw", "Part", "BlockProperty", "BlockProperty", {"parent": "car", "propertyType": "wheel",
                                                      "multiplicity": "4"}),
    ("mass", "Part", "", "ValueProperty", {"parent": "car", "propertyType": "vt"}),
    ("law", "Class", "constraintBlock", "ConstraintBlock", {}),
    ("use", "Part", "constraintProperty", "ConstraintProperty", {"parent": "car", "propertyType": "law"}),
    ("real", "Class", "dataType", "DataType", {}),
    ("gear", "Class", "enumeration", "Enumeration", {}),
    ("drive", "Activity", "", "", {}),
    ("start", "ActivityInitial", "", "", {"parent": "drive"}),
    ("accelerate", "Action", "", "", {"parent": "drive"}),
    ("brake", "Action", "", "", {"parent": "drive"}),
    ("steer", "Action", "", "", {"parent": "drive"}),
    ("choose", "Decision", "", "", {"parent": "drive"}),
    ("fuel", "Object", "", "", {"parent": "drive", "classifier": "vt"}),
    ("speed", "ActivityParameter", "optional", "Optional", {"parent": "drive", "multiplicity": "0..1"}),
    ("torque", "ActivityParameter", "probability", "Probability", {"parent": "drive", "multiplicity": "1"}),
    ("rate", "ActivityParameter", "", "", {"parent": "drive", "classifier": "vt", "multiplicity": "1"}),
    ("lane", "ActivityPartition", "allocateActivityPartition", "AllocateActivityPartition",
     {"parent": "drive", "classifier": "engine"}),
    ("ignite", "Action", "", "", {"parent": "lane"}),
    ("stop", "ActivityFinal", "", "", {"parent": "drive"}),
    ("control", "Activity", "controlOperator", "ControlOperator", {}),
    ("test", "Activity", "testCase", "TestCase", {}),
    ("view", "Class", "viewpoint", "Viewpoint", {"abstract": "1"}),
    ("conn", "Interface", "", "Interface", {}),
    ("unused", "Component", "", "", {}),
]

# type, stereotype, client, supplier, extra: 20 kinds, each made four times
# (inside the cell, and to the next three cells).
CONNECTORS = [
    ("Association", "", "car", "engine", {"clientAggregation": 2}),
    ("Association", "", "car", "wheel", {"clientAggregation": 2}),
    ("Association", "", "engine", "wheel", {}),
    ("Association", "itemFlow", "car", "body", {"tags": [("itemProperty", "<none>")]}),
    ("Connector", "", "out", "in", {}),
    ("Connector", "itemFlow", "out", "in", {"tags": [("itemProperty", "<none>")]}),
    ("Realisation", "satisfy", "car", "req", {}),
    ("Realisation", "satisfy", "engine", "perf", {}),
    ("Dependency", "verify", "test", "perf", {}),
    ("Dependency", "derive", "func", "req", {}),
    ("Dependency", "allocate", "drive", "engine", {}),
    ("Dependency", "allocate", "accelerate", "car", {}),
    ("Dependency", "refine", "drive", "func", {}),
    ("Dependency", "trace", "perf", "req", {}),
    ("ControlFlow", "", "start", "accelerate", {}),
    ("ControlFlow", "probability", "choose", "brake", {}),
    ("ControlFlow", "", "steer", "stop", {}),
    ("ObjectFlow", "", "fuel", "ignite", {}),
    ("ObjectFlow", "probability", "choose", "steer", {}),
    ("Generalization", "", "body", "car", {}),
]


SHARED_NAMES = {"fs", "vt"}


def filled(value, cell):
    return value % cell if "%" in value else value


def cell_elements(cell):
    for key, kind, stereotype, metatype, extra in CELL:
        # Types that ports compare by name are named alike in every cell.
        name = key.capitalize() if key in SHARED_NAMES else f"{key.capitalize()} {cell}"
        element = {"key": f"{key}{cell}", "type": kind, "name": name}
        if "parent" in extra:
            element["parent"] = f"{extra['parent']}{cell}"
        else:
            element["package"] = f"p{cell % PACKAGES}"
        if stereotype:
            element["stereotype"] = stereotype
        if metatype:
            element["metatype"] = metatype
        for field in ("classifier", "propertyType"):
            if field in extra:
                element[field] = f"{extra[field]}{cell}"
        for field in ("abstract", "multiplicity", "notes"):
            if field in extra:
                element[field] = extra[field]
        if "guid" in extra:
            element["guid"] = filled(extra["guid"], cell)
        if "tags" in extra:
            element["tags"] = [{"name": n, "value": filled(v, cell)} for n, v in extra["tags"]]
        if extra.get("operations"):
            element["operations"] = [{"name": "run", "stereotype": "controlOperator",
                                      "parameters": [{"name": "c", "type": "ControlValue"}]}]
        yield element


def cell_connectors(cell, cells):
    for offset in range(4):
        far = (cell + offset) % cells
        for number, (kind, stereotype, client, supplier, extra) in enumerate(CONNECTORS):
            connector = {"key": f"c{cell}_{offset}_{number}", "type": kind,
                         "client": f"{client}{cell}", "supplier": f"{supplier}{far}"}
            if stereotype:
                connector["stereotype"] = stereotype
            for field in ("clientAggregation", "supplierAggregation"):
                if field in extra:
                    connector[field] = extra[field]
            if "tags" in extra:
                connector["tags"] = [{"name": n, "value": v} for n, v in extra["tags"]]
            yield connector


def write_list(out, name, items):
    out.write(f',\n"{name}": [')
    for index, item in enumerate(items):
        out.write(("," if index else "") + "\n" + json.dumps(item, separators=(",", ":")))
    out.write("\n]")


def main():
    cells = max(1, (int(sys.argv[1]) if len(sys.argv) > 1 else 100000) // len(CELL))
    out = sys.stdout
    out.write('{"format": "orba-model", "version": 1, "technologies": ["SysML"]')
    packages = [{"key": "root", "name": "Model"}]
    packages += [{"key": f"p{i}", "name": f"P{i}", "parent": "root"} for i in range(PACKAGES)]
    write_list(out, "packages", packages)
    write_list(out, "elements", (e for cell in range(cells) for e in cell_elements(cell)))
    write_list(out, "connectors", (c for cell in range(cells) for c in cell_connectors(cell, cells)))
    out.write("\n}\n")


if __name__ == "__main__":
    main()
