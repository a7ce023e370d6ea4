#!/usr/bin/env python3
"""Extracts PROJ's own regression cases (its gie files, e.g. test/gie/builtins.gie
of the PROJ source tree) for the methods this library reads, into the plain
table tests/interop/data/proj_gie_cases.txt that tests/interop/proj_gie_test.cpp
runs through the library.

    python3 tools/gen_proj_cases.py builtins.gie [more.gie ...] \
        --output tests/interop/data/proj_gie_cases.txt

Each operation of a method the library reads becomes an 'op' line; each
accept/expect pair under it a 'fwd' or 'inv' line with the tolerance in force
(in metres), the input and the expected output; an expected failure of a point
a 'fwdfail'/'invfail' line; an expected failure of the operation itself a
'opfail' line. Operations that rely on what only PROJ does are kept as 'skip'
lines with the reason, so that the count of what is not run stays visible.
Lines are tab separated; '#' starts a comment.
"""
import argparse
import re
import sys

# The +proj= names the library reads (its method table's PROJ names, and the
# forms the PROJ-string reader turns into a method of that table).
READ = {
    "aea", "aeqd", "bonne", "cass", "cea", "col_urban", "eck1", "eck2", "eck3", "eck4", "eck5", "eck6",
    "eqc", "eqdc", "eqearth", "gall", "geos", "gnom", "igh", "krovak", "laea", "lcc", "loxim", "merc",
    "mill", "moll", "ob_tran", "omerc", "ortho", "poly", "qsc", "qua_aut", "robin", "sinu", "somerc",
    "stere", "sterea", "tmerc", "tpeqd", "tpers", "utm", "vandg", "webmerc", "wink1",
}

# Operations whose form the library does not take, and why (matched on the
# operation text, whitespace squeezed).
SKIP = [
    (r"\+proj=ob_tran .*\+o_proj=(latlon|longlat|lonlat|latlong)",
     "ob_tran onto a rotated graticule in angles is a derived geographic system, not a projection"),
    (r"\+o_proj=ob_tran", "ob_tran nested in itself: a PROJ set-up error"),
    (r"\+proj=omerc .*\+no_rot", "+no_rot (the unrectified oblique Mercator) has no EPSG or model form"),
    (r"\+proj=omerc .*\+lat_1=.*\+lat_2=", "the two-point oblique Mercator is not read"),
    (r"\+proj=utm .*\+approx", "+approx selects PROJ's older series; the library has one"),
    (r"\+proj=aeqd \+ellps=clrk66 \+lat_0=9\.5", "the modified azimuthal equidistant is another method"),
    (r"\+proj=krovak .*\+ellps=(?!bessel)",
     "PROJ's krovak computes on Bessel 1841 whatever ellipsoid it is given; the library on the one given"),
    (r"\+proj=stere +\+ellps=\S+ +\+lat_1=0\.5",
     "PROJ's ellipsoidal stere off the poles is its own oblique form (EPSG's oblique stereographic is sterea)"),
]


def metres(value, unit):
    scale = {"m": 1.0, "cm": 0.01, "mm": 0.001, "um": 1e-6, "km": 1000.0}[unit]
    return float(value) * scale


def numbers(text):
    return [float(t.replace("_", "")) for t in text.split()]


def parse(paths):
    """Yields (operation, events) with events as tuples, in file order."""
    for path in paths:
        text = open(path, encoding="utf-8").read()
        m = re.search(r"<gie>(.*)</gie>", text, re.S)
        body = m.group(1) if m else text
        op = None
        events = []
        tolerance = 0.0005  # PROJ's default: half a millimetre
        direction = "fwd"
        pending = None
        lines = body.split("\n")
        i = 0
        while i < len(lines):
            raw = lines[i].split("#", 1)[0].rstrip()
            i += 1
            if not raw.strip():
                continue
            word, _, rest = raw.strip().partition(" ")
            word = word.split("\t")[0]
            rest = raw.strip()[len(word):].strip()
            if word == "operation":
                # Continuation lines: indented text up to the next command.
                while i < len(lines) and lines[i].startswith((" ", "\t")) and lines[i].strip().startswith("+"):
                    rest += " " + lines[i].strip()
                    i += 1
                if op is not None:
                    yield op, events
                op = " ".join(rest.split())
                events = []
                tolerance = 0.0005
                direction = "fwd"
                pending = None
            elif op is None:
                continue
            elif word == "tolerance":
                v, u = re.match(r"([0-9.eE+-]+)\s*([a-z]+)?", rest).groups()
                tolerance = metres(v, u or "m")
            elif word == "direction":
                direction = "inv" if rest.lower().startswith("inv") else "fwd"
            elif word == "accept":
                pending = numbers(rest)[:2]
            elif word == "expect":
                if rest.startswith("failure"):
                    events.append(("fail", direction, tolerance, pending))
                elif pending is not None:
                    events.append(("case", direction, tolerance, pending, numbers(rest)[:2]))
                pending = None
        if op is not None:
            yield op, events


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("gie", nargs="+")
    ap.add_argument("--output", required=True)
    args = ap.parse_args()
    out = [
        "# PROJ's own regression cases (its gie files) for the methods the library reads.",
        "# Generated by tools/gen_proj_cases.py; tab separated:",
        "#   op <operation> | skip <operation> <reason> | opfail",
        "#   fwd|inv <tolerance m> <in1> <in2> <out1> <out2> | fwdfail|invfail <in1> <in2>",
    ]
    counts = {}
    for op, events in parse(args.gie):
        m = re.search(r"\+proj=(\S+)", op)
        name = m.group(1) if m else ""
        if name not in READ:
            continue
        reason = next((why for pattern, why in SKIP if re.search(pattern, op)), None)
        c = counts.setdefault(name, [0, 0])
        if reason:
            out.append("skip\t%s\t%s" % (op, reason))
            c[1] += max(1, len(events))
            continue
        out.append("op\t%s" % op)
        for e in events:
            if e[0] == "fail":
                if e[3] is None:
                    out.append("opfail")
                else:
                    out.append("%sfail\t%r\t%r" % (e[1], e[3][0], e[3][1]))
            else:
                _, d, tol, a, b = e
                out.append("%s\t%r\t%r\t%r\t%r\t%r" % (d, tol, a[0], a[1], b[0], b[1]))
            c[0] += 1
    with open(args.output, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    for name in sorted(counts):
        sys.stderr.write("%-10s %4d cases, %3d skipped\n" % (name, counts[name][0], counts[name][1]))


if __name__ == "__main__":
    main()
