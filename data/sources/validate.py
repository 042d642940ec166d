#!/usr/bin/env python3
"""Checks data/airports.xml and data/dbase.xml against the reference-data schema.

Checks: well-formed XML, the root elements and sections, required attributes and their forms, numeric
ranges, unique codes, cross references (every registration's airline, operator and type, every similar
type and type fix, every publisher and airport named by the add-on lists), the minimum counts, and that
the demo traffic (EHAM, its airlines and types) is covered.

Usage: validate.py [DATA_FOLDER]   (default: the folder above this script)
Exit status 0 when everything holds; otherwise every problem is printed and the status is 1.
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

MIN_AIRPORTS = 3000
MIN_TYPES = 150
MIN_AIRLINES = 300
MIN_REGISTRATIONS = 300
MIN_PUBLISHERS = 12
MAX_AIRPORTS_BYTES = 2 * 1024 * 1024

# The demo scenario's traffic: airline -> types flown, plus the types without an airline.
DEMO_FLEET = {
    "KLM": "B738 B739 B772 B77W B789 B78X A332 A333",
    "KLC": "E175 E190 E295",
    "TRA": "B738 B38M",
    "EZY": "A319 A320 A20N",
    "BAW": "A319 A320 A20N",
    "DLH": "A320 A321 A20N",
    "AFR": "A318 A319 A320 A20N",
    "DAL": "A333 B764",
    "UAL": "B772 B763",
    "QTR": "A359 B77W",
    "UAE": "A388 B77W",
    "THY": "A321 B738",
    "RYR": "B738",
    "VLG": "A320",
    "SWR": "BCS3 A320",
    "AUA": "A320 E195",
    "IBE": "A320 A321",
    "SAS": "A320 A20N",
    "CND": "B738",
    "TFL": "B738 B788",
    "MPH": "B744",
    "CLX": "B744 B748",
    "FDX": "MD11 B77L",
}
DEMO_CARGO = {"MPH", "CLX", "FDX"}
DEMO_GA_TYPES = {"C172": 0, "PA28": 0, "DA40": 0, "C56X": 1, "E55P": 1, "GLF6": 1, "EC35": 5}
DEMO_AIRPORT = "EHAM"

TYPE_CODE = re.compile(r"[A-Z0-9]{2,4}")
AIRLINE_CODE = re.compile(r"[A-Z]{3}")
AIRPORT_CODE = re.compile(r"[A-Z0-9]{3,4}")
IATA_CODE = re.compile(r"[A-Z0-9]{3}")
REGISTRATION = re.compile(r"[A-Z0-9]+(-[A-Z0-9]+)?")
CODE_WITH_STANDS = re.compile(r"([A-Z0-9]{4})(\d+)")


class Checker:
    def __init__(self):
        self.problems = []

    def fail(self, message):
        self.problems.append(message)

    def require(self, element, name, where):
        value = element.get(name)
        if value is None:
            self.fail(f"{where}: attribute '{name}' missing")
        return value

    def number(self, element, name, where, low, high, integer=False, required=True):
        text = element.get(name)
        if text is None:
            if required:
                self.fail(f"{where}: attribute '{name}' missing")
            return None
        try:
            value = int(text) if integer else float(text)
        except ValueError:
            self.fail(f"{where}: {name}='{text}' is not {'an integer' if integer else 'a number'}")
            return None
        if not low <= value <= high:
            self.fail(f"{where}: {name}={text} outside [{low}, {high}]")
        return value

    def flag(self, element, name, where):
        value = self.require(element, name, where)
        if value is not None and value not in ("true", "false"):
            self.fail(f"{where}: {name}='{value}' is neither true nor false")
        return value == "true"


def parse(checker, path, root_name):
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as error:
        checker.fail(f"{path}: {error}")
        return None
    if root.tag != root_name:
        checker.fail(f"{path}: root element is <{root.tag}>, expected <{root_name}>")
        return None
    if root.get("version") != "1":
        checker.fail(f"{path}: root version is {root.get('version')!r}, expected '1'")
    return root


def check_airports(checker, path):
    if path.exists() and path.stat().st_size > MAX_AIRPORTS_BYTES:
        checker.fail(f"{path}: {path.stat().st_size} bytes, more than {MAX_AIRPORTS_BYTES}")
    root = parse(checker, path, "airports")
    if root is None:
        return {}
    airports = {}
    for element in root:
        where = f"airports.xml <{element.tag} code={element.get('code')!r}>"
        if element.tag != "airport":
            checker.fail(f"{where}: unexpected element")
            continue
        code = checker.require(element, "code", where)
        iata = checker.require(element, "iata", where)
        checker.require(element, "name", where)
        checker.number(element, "lat", where, -90.0, 90.0)
        checker.number(element, "lon", where, -180.0, 180.0)
        checker.number(element, "alt", where, -1500.0, 20000.0)
        stands = checker.number(element, "stands", where, 0, 2000, integer=True, required=False) or 0
        if code is None:
            continue
        if not AIRPORT_CODE.fullmatch(code):
            checker.fail(f"{where}: code is not 3-4 upper-case letters or digits")
        if iata and not IATA_CODE.fullmatch(iata):
            checker.fail(f"{where}: iata '{iata}' is not 3 upper-case letters or digits")
        if code in airports:
            checker.fail(f"{where}: duplicate code")
        airports[code] = stands
    four_letter = sum(1 for code in airports if len(code) == 4)
    if four_letter < MIN_AIRPORTS:
        checker.fail(f"airports.xml: {four_letter} airports with a 4-letter code, at least {MIN_AIRPORTS} needed")
    if airports.get(DEMO_AIRPORT, 0) < 1:
        checker.fail(f"airports.xml: {DEMO_AIRPORT} missing or without stock stands")
    return airports


def section(checker, root, name, single=False):
    found = root.findall(name)
    if len(found) != 1:
        checker.fail(f"dbase.xml: expected one <{name}>, found {len(found)}")
        return None if single else []
    return found[0] if single else list(found[0])


def check_types(checker, root):
    types = {}
    similar_lists = {}
    for element in section(checker, root, "types"):
        where = f"dbase.xml <type icao={element.get('icao')!r}>"
        icao = checker.require(element, "icao", where)
        category = checker.number(element, "category", where, 0, 5, integer=True)
        span = checker.number(element, "wingspan", where, 5.0, 90.0)
        if icao is None:
            continue
        if not TYPE_CODE.fullmatch(icao):
            checker.fail(f"{where}: designator is not 2-4 upper-case letters or digits")
        if icao in types:
            checker.fail(f"{where}: duplicate type")
        types[icao] = (category, span)
        similar = element.get("similar")
        if similar is not None:
            similar_lists[icao] = similar.split(",")
    for icao, similar in similar_lists.items():
        for other in similar:
            if other == icao:
                checker.fail(f"dbase.xml type {icao}: lists itself as similar")
            elif other not in types:
                checker.fail(f"dbase.xml type {icao}: similar type '{other}' is not a type")
        if len(set(similar)) != len(similar):
            checker.fail(f"dbase.xml type {icao}: similar list repeats a type")
    if len(types) < MIN_TYPES:
        checker.fail(f"dbase.xml: {len(types)} types, at least {MIN_TYPES} needed")
    return types


def check_typefixes(checker, root, types):
    seen = set()
    for element in section(checker, root, "typefixes"):
        where = f"dbase.xml <fix wrong={element.get('wrong')!r}>"
        wrong = checker.require(element, "wrong", where)
        right = checker.require(element, "right", where)
        if wrong in types:
            checker.fail(f"{where}: the wrong designator is a known type")
        if right not in types:
            checker.fail(f"{where}: right designator '{right}' is not a type")
        if wrong in seen:
            checker.fail(f"{where}: duplicate fix")
        seen.add(wrong)


def check_airlines(checker, root):
    airlines = {}
    for element in section(checker, root, "airlines"):
        where = f"dbase.xml <airline icao={element.get('icao')!r}>"
        icao = checker.require(element, "icao", where)
        name = checker.require(element, "name", where)
        cargo = checker.flag(element, "cargo", where)
        if icao is None:
            continue
        if not AIRLINE_CODE.fullmatch(icao):
            checker.fail(f"{where}: code is not three upper-case letters")
        if not name:
            checker.fail(f"{where}: empty name")
        if icao in airlines:
            checker.fail(f"{where}: duplicate airline")
        airlines[icao] = cargo
    if len(airlines) < MIN_AIRLINES:
        checker.fail(f"dbase.xml: {len(airlines)} airlines, at least {MIN_AIRLINES} needed")
    return airlines


def check_registrations(checker, root, types, airlines):
    registrations = {}
    for element in section(checker, root, "registrations"):
        where = f"dbase.xml <reg id={element.get('id')!r}>"
        values = [checker.require(element, name, where) for name in ("id", "airline", "type", "operator")]
        cargo = checker.flag(element, "cargo", where)
        if None in values:
            continue
        registration, airline, icao_type, operator = values
        if not REGISTRATION.fullmatch(registration) or not 4 <= len(registration) <= 10:
            checker.fail(f"{where}: not a registration")
        if registration in registrations:
            checker.fail(f"{where}: duplicate registration")
        if airline not in airlines:
            checker.fail(f"{where}: airline '{airline}' is not an airline")
        if operator not in airlines:
            checker.fail(f"{where}: operator '{operator}' is not an airline")
        if icao_type not in types:
            checker.fail(f"{where}: type '{icao_type}' is not a type")
        registrations[registration] = (airline, icao_type, operator, cargo)
    if len(registrations) < MIN_REGISTRATIONS:
        checker.fail(f"dbase.xml: {len(registrations)} registrations, at least {MIN_REGISTRATIONS} needed")
    return registrations


def check_publishers(checker, root):
    canonical = set()
    for element in section(checker, root, "publishers"):
        where = f"dbase.xml <group names={element.get('names')!r}>"
        names = checker.require(element, "names", where)
        if names is None:
            continue
        parts = names.split(",")
        # An empty name would match every path and swallow all later groups.
        if any(not part.strip() for part in parts):
            checker.fail(f"{where}: empty name")
        if parts[0] in canonical:
            checker.fail(f"{where}: duplicate canonical name")
        canonical.add(parts[0])
    if len(canonical) < MIN_PUBLISHERS:
        checker.fail(f"dbase.xml: {len(canonical)} publishers, at least {MIN_PUBLISHERS} needed")
    return canonical


def check_addon_lists(checker, root, airports, publishers):
    simaddons = section(checker, root, "simaddons20", single=True)
    if simaddons is not None:
        codes = (checker.require(simaddons, "arpts", "dbase.xml <simaddons20>") or "").split(",")
        for code in codes:
            if code not in airports:
                checker.fail(f"dbase.xml <simaddons20>: '{code}' is not an airport")
        if len(set(codes)) != len(codes):
            checker.fail("dbase.xml <simaddons20>: a code is listed twice")
    for name in ("thirdparties20", "thirdparties24"):
        entries = section(checker, root, name)
        if not entries:
            checker.fail(f"dbase.xml <{name}>: no entries")
        for element in entries:
            where = f"dbase.xml <{name}> <entry pub={element.get('pub')!r}>"
            publisher = checker.require(element, "pub", where)
            codes = checker.require(element, "arpts", where) or ""
            if publisher not in publishers:
                checker.fail(f"{where}: '{publisher}' is not a canonical publisher name")
            for text in codes.split(","):
                match = CODE_WITH_STANDS.fullmatch(text)
                if not match:
                    checker.fail(f"{where}: '{text}' is not a code followed by a stand count")
                elif match.group(1) not in airports:
                    checker.fail(f"{where}: '{match.group(1)}' is not an airport")
                elif int(match.group(2)) < 1:
                    checker.fail(f"{where}: '{text}' has no stands")


def check_demo(checker, types, airlines, registrations):
    flown = {(airline, icao_type) for airline, icao_type, _op, _cargo in registrations.values()}
    for airline, fleet in DEMO_FLEET.items():
        if airline not in airlines:
            checker.fail(f"demo airline {airline} missing")
        elif airlines[airline] != (airline in DEMO_CARGO):
            checker.fail(f"demo airline {airline} has the wrong cargo flag")
        if not any(a == airline for a, _t in flown):
            checker.fail(f"demo airline {airline} has no registration")
        for icao_type in fleet.split():
            if icao_type not in types:
                checker.fail(f"demo type {icao_type} of {airline} missing")
    for icao_type, category in DEMO_GA_TYPES.items():
        if icao_type not in types:
            checker.fail(f"demo type {icao_type} missing")
        elif types[icao_type][0] != category:
            checker.fail(f"demo type {icao_type} should be category {category}")


def main():
    if len(sys.argv) > 2:
        sys.exit(__doc__)
    folder = Path(sys.argv[1]) if len(sys.argv) == 2 else Path(__file__).resolve().parent.parent
    checker = Checker()
    airports = check_airports(checker, folder / "airports.xml")
    root = parse(checker, folder / "dbase.xml", "dbase")
    counts = f"{len(airports)} airports"
    if root is not None:
        types = check_types(checker, root)
        check_typefixes(checker, root, types)
        airlines = check_airlines(checker, root)
        registrations = check_registrations(checker, root, types, airlines)
        publishers = check_publishers(checker, root)
        check_addon_lists(checker, root, airports, publishers)
        check_demo(checker, types, airlines, registrations)
        counts += (
            f", {len(types)} types, {len(airlines)} airlines"
            f" ({sum(airlines.values())} cargo), {len(registrations)} registrations, {len(publishers)} publishers"
        )
    for problem in checker.problems:
        print(problem)
    if checker.problems:
        print(f"FAILED: {len(checker.problems)} problem(s)")
        return 1
    print(f"OK: {counts}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
