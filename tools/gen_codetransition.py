#!/usr/bin/env python3
"""Generates CodeTransition.xml, the mapping between the library's catalogue
codes and EPSG codes, from the EPSG dataset that PROJ ships (proj.db).

Input (stdin or --catalogue): the catalogue dump of zrprj-catalogue-codes
(see tools/catalogue_dump.h). Output (stdout or --output): the mapping file.

A catalogue object maps to an EPSG object only where EPSG defines the same
object: the same ellipsoid, meridian, datum or geographic system, or a
projected system on the same geographic system with the same method family,
parameters and unit. A catalogue code that is an EPSG code of the same object
maps to itself; other projected rows (the Japanese plane rectangular zones,
whose catalogue codes are EPSG codes of other systems) map to the EPSG system
they define. Each EPSG code is given to one catalogue code only, so every
entry maps back.

The rule in detail:
  - ellipsoids and prime meridians: the same code and the same numbers
    (axis within 1 cm, flattening within 1e-8, longitude within 1e-5 deg);
  - datums: the same code (or a known equivalent) on the same ellipsoid. A
    catalogue datum has no prime meridian of its own (its geographic system
    carries one), so EPSG's datums on Paris, Lisbon or Ferro map too;
  - geographic systems: the same code, a known equivalent, or, for the
    ESRI-numbered 37xxx rows, the EPSG system that EPSG's dataset gives the
    ESRI name of that code as an alias; always with the same ellipsoid and
    prime meridian. The datum of a 37xxx system matched so maps to that EPSG
    system's datum when the ellipsoids agree (the 39xxx datums);
  - projected systems: a base geographic system that maps to EPSG's base, or
    that has the same datum and prime meridian as EPSG's base (a second
    catalogue system on one EPSG system, such as Carthage in degrees); the
    same method family and unit; angles within 1e-5 deg, lengths within 1 cm
    or 3 ppm; the scale factor within 1e-8, or EPSG's rounded to the five or
    more decimals the row prints (British National Grid 0.999601 for
    0.9996012717, the Maghreb, Peru, Kuwait and NTF Lambert zones).
Counts (catalogue objects mapped, EPSG v10.076) before these rules were
widened (same-code datums on Greenwich only, no ESRI aliases, no second base,
no rounded scale factors) and now: ellipsoids 33 of 48, 33; prime meridians
11 of 12, 11; datums 162 of 240, 203; geographic systems 177 of 256, 215;
projected systems 923 of 1085, 943. Left unmapped on purpose, because the
catalogue's numbers are not EPSG's: the Nord Sahara 1959 rows (the catalogue
puts the datum on Clarke 1880 (IGN), EPSG on Clarke 1880 (RGS): 5.5 cm in
the axis), the India zones (the catalogue's Kalianpur ellipsoid has the 1962
axis 6377301.243 m, EPSG's Kalianpur 1880 the 1830 one, 1.9 m shorter), ATF
Nord de Guerre (its Paris meridian is 0.075" off EPSG's) and Jamaica's old
grid (international feet where EPSG has Clarke's, 9 ppm).

Usage:
  zrprj-catalogue-codes | python3 tools/gen_codetransition.py > transform/CodeTransition.xml
"""
import argparse
import sqlite3
import sys

# Geographic systems and datums outside EPSG's code range whose EPSG
# equivalents are known by name (ESRI-style catalogue codes).
KNOWN_GCS = {37201: 4668, 37258: 4156, 37301: 4612, 37312: 4610, 37413: 4737, 37414: 4611}
KNOWN_DATUMS = {39201: 6668, 39258: 6156, 39301: 6612, 39312: 6610, 39413: 6737, 39414: 6611}

# Projection kinds and the EPSG conversion methods of the same family.
KIND_METHODS = {
    43004: {9804, 9805, 1024},  # Mercator
    43005: {9807},  # Gauss-Krueger: transverse Mercator
    43006: {9807},
    43007: {9822},  # Albers
    43020: {9801, 9802, 9803},  # Lambert conformal conic
    43021: {9818},  # polyconic
    43024: {9827},  # Bonne
    43026: {9809, 9810, 9829},  # stereographic
    43028: {9806},  # Cassini
    43033: {9820},  # Lambert azimuthal equal area
    43036: {9812, 9815},  # Hotine oblique Mercator
    43037: {9812, 9815},
    43044: {9812, 9815},
    43043: {9812, 9815},
}

ANGLE_TOL = 1e-5  # degrees (the catalogue stores some angles to six decimals)
SCALE_TOL = 1e-8
AXIS_TOL = 0.01  # metres
FLATTENING_TOL = 1e-8  # the catalogue stores some flattenings truncated
UNIT_TOL = 1e-5  # relative: the catalogue's foot stands for the US survey foot too


def printed_decimals(value):
    """How many decimals the shortest text of value has."""
    text = repr(float(value))
    if "e" in text or "." not in text:
        return 0
    decimals = len(text.split(".")[1].rstrip("0"))
    return decimals


def length_close(a, b):
    return abs(a - b) <= max(0.01, 3e-6 * max(abs(a), abs(b)))


class Epsg:
    def __init__(self, path):
        self.db = sqlite3.connect(path)
        self.uom = {}
        for code, kind, factor in self.db.execute(
                "SELECT code, type, conv_factor FROM unit_of_measure WHERE auth_name='EPSG'"):
            self.uom[str(code)] = (kind, factor)
        self.ellipsoids = {}
        for code, a, rf, b, uom in self.db.execute(
                "SELECT code, semi_major_axis, inv_flattening, semi_minor_axis, uom_code FROM ellipsoid "
                "WHERE auth_name='EPSG'"):
            factor = self.uom.get(str(uom), ("length", 1.0))[1] or 1.0
            a *= factor
            if rf:
                f = 1.0 / rf
            elif b is not None:
                f = (a - b * factor) / a
            else:
                f = 0.0
            self.ellipsoids[int(code)] = (a, f)
        self.meridians = {}
        for code, lon, uom in self.db.execute(
                "SELECT code, longitude, uom_code FROM prime_meridian WHERE auth_name='EPSG'"):
            self.meridians[int(code)] = self.angle(lon, uom)
        self.datums = {}
        for code, ell, pm in self.db.execute(
                "SELECT code, ellipsoid_code, prime_meridian_code FROM geodetic_datum WHERE auth_name='EPSG'"):
            self.datums[int(code)] = (int(ell), int(pm))
        self.gcs = {}
        for code, datum in self.db.execute(
                "SELECT code, datum_code FROM geodetic_crs WHERE auth_name='EPSG' AND type='geographic 2D' "
                "AND datum_auth_name='EPSG'"):
            if datum is not None:
                self.gcs[int(code)] = int(datum)
        self.axis_unit = {}
        for cs, uom in self.db.execute(
                "SELECT coordinate_system_code, uom_code FROM axis WHERE auth_name='EPSG' AND coordinate_system_order=1"):
            self.axis_unit[str(cs)] = self.uom.get(str(uom), ("length", None))[1]
        # ESRI's names of its own codes, and the EPSG objects EPSG's dataset
        # gives an ESRI name as an alias.
        self.esri_gcs_names = {}
        for code, name in self.db.execute("SELECT code, name FROM geodetic_crs WHERE auth_name='ESRI'"):
            self.esri_gcs_names[str(code)] = name
        self.esri_alias_gcs = {}
        for code, name in self.db.execute(
                "SELECT code, alt_name FROM alias_name WHERE table_name='geodetic_crs' AND auth_name='EPSG' "
                "AND source='ESRI' ORDER BY code"):
            self.esri_alias_gcs.setdefault(name, int(code))
        self.projected = {}  # code -> (deprecated, base gcs, unit factor, method, {param: value})
        cols = ", ".join("c.param%d_code, c.param%d_value, c.param%d_uom_code" % (i, i, i) for i in range(1, 8))
        query = ("SELECT p.code, p.deprecated, p.geodetic_crs_code, p.coordinate_system_code, c.method_code, " + cols +
                 " FROM projected_crs p JOIN conversion_table c ON c.auth_name = p.conversion_auth_name"
                 " AND c.code = p.conversion_code WHERE p.auth_name='EPSG' AND p.geodetic_crs_auth_name='EPSG'")
        for row in self.db.execute(query):
            code, deprecated, base, cs, method = row[:5]
            params = {}
            for i in range(7):
                pcode, value, uom = row[5 + 3 * i:8 + 3 * i]
                if pcode is None or value is None:
                    continue
                params[int(pcode)] = self.value(value, uom)
            try:
                self.projected[int(code)] = (int(deprecated), int(base), self.axis_unit.get(str(cs)),
                                             int(method), params)
            except (TypeError, ValueError):
                pass

    def angle(self, value, uom):
        """An angle in degrees."""
        uom = str(uom)
        if uom == "9110":  # sexagesimal DMS packed as DDD.MMSSsss
            sign = -1.0 if value < 0 else 1.0
            text = "%.10f" % abs(value)
            whole, frac = text.split(".")
            minutes, seconds = int(frac[:2]), float(frac[2:4] + "." + frac[4:])
            return sign * (int(whole) + minutes / 60.0 + seconds / 3600.0)
        factor = self.uom.get(uom, ("angle", None))[1]
        return value * factor * 57.29577951308232 if factor else value

    def value(self, value, uom):
        uom = str(uom)
        kind, factor = self.uom.get(uom, (None, None))
        if kind == "angle" or uom == "9110":
            return self.angle(value, uom)
        return value * factor if factor else value


def read_catalogue(stream):
    cat = {"S": {}, "P": {}, "D": {}, "G": {}, "C": {}}
    for line in stream:
        parts = line.split()
        if not parts:
            continue
        kind, code = parts[0], int(parts[1])
        if kind == "S":
            cat[kind][code] = (float(parts[2]), float(parts[3]))
        elif kind == "P":
            cat[kind][code] = float(parts[2])
        elif kind == "D":
            cat[kind][code] = int(parts[2])
        elif kind == "G":
            cat[kind][code] = (int(parts[2]), int(parts[3]))
        elif kind == "C":
            cat[kind][code] = (int(parts[2]), int(parts[3]), int(parts[4]), [float(p) for p in parts[5:15]])
    return cat


def ellipsoid_same(cat_ell, epsg_ell):
    return (cat_ell is not None and epsg_ell is not None and abs(cat_ell[0] - epsg_ell[0]) < AXIS_TOL
            and abs(cat_ell[1] - epsg_ell[1]) < FLATTENING_TOL)


def same_projection(epsg, row, candidate, gcs_map, same_base):
    """Whether the EPSG projected system defines the same system as the catalogue row."""
    units, gcs, kind, p = row
    deprecated, base, unit_factor, method, params = candidate
    if (gcs_map.get(gcs) != base and base not in same_base.get(gcs, ())) or method not in KIND_METHODS.get(kind, ()):
        return False
    if unit_factor is None or abs(unit_factor - units / 10000.0) > UNIT_TOL * unit_factor:
        return False
    fe, fn, cm, cp, sp1, sp2, k = p[0], p[1], p[2], p[3], p[4], p[5], p[6]
    metres = units / 10000.0

    def near(code, want, tol):
        return code in params and abs(params[code] - want) <= tol

    def scale(code, want):
        # The row may print EPSG's scale factor rounded to its own precision.
        if near(code, want, SCALE_TOL):
            return True
        decimals = printed_decimals(want)
        return code in params and decimals >= 5 and abs(round(params[code], decimals) - want) <= 1e-12

    def length(code, want):
        return code in params and length_close(params[code], want * metres)

    if method == 9807:  # transverse Mercator
        return (near(8801, cp, ANGLE_TOL) and near(8802, cm, ANGLE_TOL) and scale(8805, k)
                and length(8806, fe) and length(8807, fn))
    if method == 9802:  # Lambert conic, two standard parallels
        parallels = sorted([sp1, sp2])
        have = sorted([params.get(8823, 1e9), params.get(8824, 1e9)])
        return (near(8821, cp, ANGLE_TOL) and near(8822, cm, ANGLE_TOL) and abs(have[0] - parallels[0]) <= ANGLE_TOL
                and abs(have[1] - parallels[1]) <= ANGLE_TOL and length(8826, fe) and length(8827, fn))
    if method == 9801:  # Lambert conic, one standard parallel
        return (near(8801, cp, ANGLE_TOL) and near(8802, cm, ANGLE_TOL) and scale(8805, k)
                and length(8806, fe) and length(8807, fn))
    return None  # family matches; parameters not compared


def build(cat, epsg):
    ell_map, pm_map, datum_map, gcs_map, proj_map = {}, {}, {}, {}, {}
    for code, ell in cat["S"].items():
        if ellipsoid_same(ell, epsg.ellipsoids.get(code)):
            ell_map[code] = code
    for code, lon in cat["P"].items():
        if code in epsg.meridians and abs(epsg.meridians[code] - lon) < ANGLE_TOL:
            pm_map[code] = code

    def datum_same(code, target):
        if target not in epsg.datums:
            return False
        ell, pm = epsg.datums[target]
        return ellipsoid_same(cat["S"].get(cat["D"].get(code)), epsg.ellipsoids.get(ell))

    for code in cat["D"]:
        target = KNOWN_DATUMS.get(code, code)
        if datum_same(code, target):
            datum_map[code] = target

    def gcs_same(code, target):
        datum, pm = cat["G"][code]
        epsg_datum = epsg.gcs.get(target)
        if epsg_datum is None or epsg_datum not in epsg.datums:
            return False
        ell, epsg_pm = epsg.datums[epsg_datum]
        if not ellipsoid_same(cat["S"].get(cat["D"].get(datum)), epsg.ellipsoids.get(ell)):
            return False
        return pm in cat["P"] and abs(cat["P"][pm] - epsg.meridians.get(epsg_pm, 1e9)) < ANGLE_TOL

    for code in cat["G"]:
        target = KNOWN_GCS.get(code, code)
        if gcs_same(code, target):
            gcs_map[code] = target
    # ESRI-numbered systems whose ESRI name EPSG gives one of its own as an
    # alias, with the same definition; their datums follow.
    claimed_gcs = set(gcs_map.values())
    claimed_datums = set(datum_map.values())
    for code in sorted(cat["G"]):
        if code in gcs_map or code < 37000:
            continue
        target = epsg.esri_alias_gcs.get(epsg.esri_gcs_names.get(str(code)))
        if target is None or target in claimed_gcs or not gcs_same(code, target):
            continue
        gcs_map[code] = target
        claimed_gcs.add(target)
        datum = cat["G"][code][0]
        epsg_datum = epsg.gcs[target]
        if datum not in datum_map and epsg_datum not in claimed_datums and datum_same(datum, epsg_datum):
            datum_map[datum] = epsg_datum
            claimed_datums.add(epsg_datum)

    # EPSG geographic systems each catalogue one stands for by definition:
    # the same datum (as mapped) and prime meridian.
    same_base = {}
    for code, (datum, pm) in cat["G"].items():
        epsg_datum = datum_map.get(datum)
        if epsg_datum is None or pm not in cat["P"]:
            continue
        for target, target_datum in epsg.gcs.items():
            if target_datum == epsg_datum and gcs_same(code, target):
                same_base.setdefault(code, set()).add(target)

    by_base = {}
    for code, candidate in epsg.projected.items():
        by_base.setdefault(candidate[1], []).append(code)
    claimed = set()
    # Rows whose own code is the EPSG code of the same system come first, so
    # a row matched by definition never takes another row's own code.
    for code, row in sorted(cat["C"].items()):
        candidate = epsg.projected.get(code)
        if candidate and same_projection(epsg, row, candidate, gcs_map, same_base) is not False:
            proj_map[code] = code
            claimed.add(code)
    for code, row in sorted(cat["C"].items()):
        if code in proj_map:
            continue
        bases = set(same_base.get(row[1], ()))
        if row[1] in gcs_map:
            bases.add(gcs_map[row[1]])
        matches = [c for base in sorted(bases) for c in by_base.get(base, [])
                   if c not in claimed and same_projection(epsg, row, epsg.projected[c], gcs_map, same_base)]
        if matches:
            best = min(matches, key=lambda c: (epsg.projected[c][0], c))
            proj_map[code] = best
            claimed.add(best)
    return [proj_map, gcs_map, datum_map, ell_map, pm_map]


def write(maps, out):
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
    out.write('<oml:CodeTransitions xmlns:oml="urn:ZrPrj50:CodeTransition">\n')
    for mapping in maps:
        for code in sorted(mapping):
            out.write("\t<oml:CodeTransition>\n")
            out.write("\t\t<oml:OrvantaCode>%d</oml:OrvantaCode>\n" % code)
            out.write("\t\t<oml:EPSGCode>%d</oml:EPSGCode>\n" % mapping[code])
            out.write("\t</oml:CodeTransition>\n")
    out.write("</oml:CodeTransitions>\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--catalogue", help="catalogue dump (default: stdin)")
    parser.add_argument("--database", default="/usr/share/proj/proj.db", help="EPSG dataset (PROJ's proj.db)")
    parser.add_argument("--output", help="mapping file to write (default: stdout)")
    args = parser.parse_args()
    cat = read_catalogue(open(args.catalogue) if args.catalogue else sys.stdin)
    maps = build(cat, Epsg(args.database))
    if args.output:
        with open(args.output, "w", newline="\n") as out:
            write(maps, out)
    else:
        write(maps, sys.stdout)


if __name__ == "__main__":
    main()
