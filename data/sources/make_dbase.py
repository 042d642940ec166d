#!/usr/bin/env python3
"""Builds data/dbase.xml from the hand-kept lists beside this script.

Inputs (all UTF-8 text, '#' starts a comment line):
  types.tsv          ICAO type designator, category, wingspan (m), similar types, model name
  typefixes.tsv      wrong designator, ICAO designator meant
  airlines.tsv       ICAO airline designator, cargo flag (0/1), name
  registrations.txt  airline, operator, type, pax|cargo, registrations (with bracket groups)
  publishers.txt     one comma list of names per publisher, canonical name first
  simaddons20.txt    airport codes of the simulator's own add-on airports
  thirdparties20.txt publisher <TAB> airport codes each followed by its number of stands
  thirdparties24.txt the same for the 2024 simulator

Usage: make_dbase.py [OUTPUT_XML]   (default: ../dbase.xml)
"""
import re
import sys
from pathlib import Path
from xml.sax.saxutils import escape

HERE = Path(__file__).resolve().parent
GROUP = re.compile(r"\[([^\]]*)\]")


def attr(value):
    return '"' + escape(str(value), {'"': "&quot;"}) + '"'


def content_lines(name):
    for number, line in enumerate((HERE / name).read_text(encoding="utf-8").splitlines(), 1):
        if line.strip() and not line.lstrip().startswith("#"):
            yield number, line


def fail(name, number, message):
    sys.exit(f"{name}:{number}: {message}")


def expand(token):
    """Expands the first bracket group of a registration token, recursively."""
    match = GROUP.search(token)
    if not match:
        return [token]
    body = match.group(1)
    members = body.split(",") if "," in body else list(body)
    head, tail = token[: match.start()], token[match.end() :]
    result = []
    for member in members:
        result.extend(expand(head + member + tail))
    return result


def read_types():
    types = []
    for number, line in content_lines("types.tsv"):
        fields = line.split("\t")
        if len(fields) != 5:
            fail("types.tsv", number, "expected 5 tab-separated fields")
        icao, category, span, similar, _model = fields
        types.append((icao, int(category), float(span), similar))
    return types


def read_pairs(name):
    pairs = []
    for number, line in content_lines(name):
        fields = line.split()
        if len(fields) != 2:
            fail(name, number, "expected 2 fields")
        pairs.append(tuple(fields))
    return pairs


def read_airlines():
    airlines = []
    for number, line in content_lines("airlines.tsv"):
        fields = line.split("\t")
        if len(fields) != 3 or fields[1] not in ("0", "1"):
            fail("airlines.tsv", number, "expected code, 0 or 1, name")
        airlines.append((fields[0], fields[1] == "1", fields[2].strip()))
    return airlines


def read_registrations():
    registrations = []
    for number, line in content_lines("registrations.txt"):
        fields = line.split()
        if len(fields) < 5 or fields[3] not in ("pax", "cargo"):
            fail("registrations.txt", number, "expected airline, operator, type, pax|cargo, registrations")
        airline, operator, icao_type, load = fields[:4]
        for token in fields[4:]:
            for registration in expand(token):
                registrations.append((registration, airline, icao_type, operator, load == "cargo"))
    return registrations


def read_publishers():
    groups = []
    for _number, line in content_lines("publishers.txt"):
        groups.append([name.strip() for name in line.split(",")])
    return groups


def read_codes(name):
    codes = []
    for _number, line in content_lines(name):
        codes.extend(line.split())
    return codes


def read_thirdparties(name):
    entries = []
    for number, line in content_lines(name):
        fields = line.split("\t")
        if len(fields) != 2:
            fail(name, number, "expected publisher <TAB> codes")
        entries.append((fields[0].strip(), fields[1].split()))
    return entries


def build():
    out = ['<?xml version="1.0" encoding="UTF-8"?>', '<dbase version="1">', "  <types>"]
    for icao, category, span, similar in read_types():
        similar_attr = f" similar={attr(similar)}" if similar else ""
        out.append(f'    <type icao={attr(icao)} category="{category}" wingspan="{span:.2f}"{similar_attr}/>')
    out += ["  </types>", "  <typefixes>"]
    for wrong, right in read_pairs("typefixes.tsv"):
        out.append(f"    <fix wrong={attr(wrong)} right={attr(right)}/>")
    out += ["  </typefixes>", "  <airlines>"]
    for icao, cargo, name in read_airlines():
        out.append(f"    <airline icao={attr(icao)} name={attr(name)} cargo=\"{str(cargo).lower()}\"/>")
    out += ["  </airlines>", "  <registrations>"]
    for registration, airline, icao_type, operator, cargo in read_registrations():
        out.append(
            f"    <reg id={attr(registration)} airline={attr(airline)} type={attr(icao_type)}"
            f" operator={attr(operator)} cargo=\"{str(cargo).lower()}\"/>"
        )
    out += ["  </registrations>", "  <publishers>"]
    for group in read_publishers():
        out.append(f"    <group names={attr(','.join(group))}/>")
    out.append("  </publishers>")
    out.append(f"  <simaddons20 arpts={attr(','.join(read_codes('simaddons20.txt')))}/>")
    for section in ("thirdparties20", "thirdparties24"):
        out.append(f"  <{section}>")
        for publisher, codes in read_thirdparties(section + ".txt"):
            out.append(f"    <entry pub={attr(publisher)} arpts={attr(','.join(codes))}/>")
        out.append(f"  </{section}>")
    out.append("</dbase>")
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) > 2:
        sys.exit(__doc__)
    target = Path(sys.argv[1]) if len(sys.argv) == 2 else HERE.parent / "dbase.xml"
    target.write_text(build(), encoding="utf-8")
    print(f"{target} written")


if __name__ == "__main__":
    main()
