#!/usr/bin/env python3
"""Generates interop/EpsgData.txt, the EPSG definitions the library uses beyond
its catalogue, from the EPSG dataset that PROJ ships (proj.db).

The file is plain UTF-8 text, one record per line, fields separated by tabs,
records of each kind sorted by code (the reader searches them by code):

  G code name datum datumName ellipsoid ellipsoidName a rf pm pmName pmLon latFirst S W N E
      a geographic 2D system: semi-major axis in metres, inverse flattening
      (0 for a sphere), prime meridian in degrees east of Greenwich, 1 when
      latitude is the first axis, the area of use in degrees.
  P code name base method methodName conversion conversionName unit unitName toMetre axes p=v ...
      a projected system on the geographic system `base`: its linear unit
      (EPSG code, name, metres per unit), the first letters of its axis
      directions, then its parameters as EPSG parameter code = value, angles
      in decimal degrees (sexagesimal DMS and grads decoded), lengths in the
      system's own unit, scales as ratios.
  X code name method methodName
      a projected system left out (its method is no kind's), so that a
      request for it can say why.
  T code name method source target tx ty tz rx ry rz ds accuracy S W N E area replacements
      a datum transformation between two geographic 2D systems: metres,
      arc-seconds, parts per million; accuracy in metres (-1 unknown); the
      codes (comma-separated, maybe none) of the transformations between the
      same two systems that EPSG says supersede it: PROJ does not offer a
      superseded one beside its replacement.
  A code alias
      another name of the geographic, projected or left-out system `code`:
      EPSG's own aliases and the name ESRI gives it, one a line, for a search
      by name to find it under the name a user knows ("Web Mercator",
      "British National Grid", "RGF_1993_Lambert_93").
  U code S W N E area
      the area of use of the geographic, projected or left-out system
      `code`: its bounding box in degrees (west > east when it crosses the
      antimeridian) and the name EPSG gives the area.
  R code name kind S W N E area
      a system under ESRI's own code (kind G geographic, P projected), one
      EPSG does not define under that code: a search by ESRI code or name
      finds it, and says what it is, even though only the catalogue may
      build it.

  H code name method source target accuracy S W N E area grid oldGrid inverse known replacements
      a grid-based transformation between two geographic 2D systems (NADCON
      9613, NTv1 9614, NTv2 9615): the grid by the name PROJ-data gives it
      (a GeoTIFF), the name it had before (what older packages ship, and
      what PROJ looks for when the first is absent), 1 when the grid runs
      from target to source, 1 when PROJ's database knows the grid (PROJ
      ranks operations on unknown grids after the rest), and the grid
      transformations between the same systems that supersede it. A NADCON
      pair is named by its latitude file.

  M code name method source target tx ty tz rx ry rz ds px py pz accuracy S W N E area
      a Molodensky-Badekas transformation (9636 coordinate frame, 1063
      position vector) between two geographic 2D systems: the Helmert's
      values as in T, then the evaluation point in geocentric metres.
  O code name method source target dlat dlon accuracy S W N E area
      a geographic offset (9619) or longitude rotation (9601) between two
      geographic 2D systems, in decimal degrees.

  V code name method source source2d target targetName accuracy S W N E area grid oldGrid
      a geoid-height operation from a geographic 3D system (source, whose
      geographic 2D counterpart on the same datum is source2d) to a
      vertical system, by a grid that PROJ-data distributes as GTX or
      GeoTIFF: the grid's names as in H.

  C code name source target accuracy S W N E area steps
      one of EPSG's concatenated operations between two geographic 2D
      systems whose every step is a record above: the step codes in order,
      comma-separated; the accuracy EPSG gives, else the sum of the steps'
      where all are known, as PROJ sums them.
  K code name base S W N E area
      a geocentric system (X, Y, Z of longitude, latitude and height) on the
      datum of the kept geographic 2D system `base`, with its area of use.
  L code name base S W N E area
      a geographic 3D system (longitude, latitude, ellipsoidal height) on
      the datum of the kept geographic 2D system `base`.
  D code name method source target tx ty tz rx ry rz ds rtx rty rtz rrx rry rrz rds epoch accuracy S W N E area
      a Helmert between geocentric or geographic 3D systems: geocentric
      domain (1031 translations, 1032 coordinate frame, 1033 position
      vector), time-dependent (1053 position vector, 1056 coordinate frame)
      and time-specific (1065 position vector, 1066 coordinate frame). source and target are
      the kept geographic 2D systems on the same datums; values as in T, the
      rates per year in m, arc-seconds and ppm (0 when constant), and the
      reference epoch as a decimal year (0 when none).
  N code name method source target a0 a1 a2 b0 b1 b2 accuracy S W N E area
      an affine parametric transformation (9624) between two kept projected
      systems, on their own coordinates: x' = a0 + a1 x + a2 y,
      y' = b0 + b1 x + b2 y, with x, y in the source system's unit and a0,
      b0 in the target system's (the coefficients carry the change of unit).
  Y code name method compound horizontal vertical verticalName target target2d dlat dlon dh accuracy S W N E area cS cW cN cE
      a geographic offset with a height offset (9618) from a compound
      system (a kept geographic 2D system `horizontal` with the vertical
      system `vertical`) to a geographic 3D system (`target2d` its kept 2D
      counterpart): latitude and longitude offsets in decimal degrees, the
      height offset in metres (ellipsoidal height = gravity-related height
      + dh); the compound system's area of use last.
  S superseded replacement
      EPSG says the operation `replacement` supersedes `superseded` between
      the same two systems, across the kinds above (a grid superseding a
      Helmert, a Helmert a Molodensky-Badekas).

The last line closes the file:

  E records crc CRC-32C
      the number of records of every kind before it, and the CRC-32C
      (Castagnoli's polynomial, as iSCSI computes it; eight lower-case hex
      digits) of every byte before this line, then the checksum's name. The
      reader refuses a file without it, or whose count or checksum differ, so
      a file cut short (even at a line end) or altered is not read in part.

Numbers are written in Python's shortest round-trip form, so the file is the
same on every run from the same dataset.

What is kept:
  - every non-deprecated EPSG geographic 2D system;
  - every non-deprecated projected system on one of those whose conversion
    method is in PROJECTED_METHODS: the methods a projection kind of the
    library computes exactly (the rest are listed in LEFT_OUT_METHODS with
    the reason);
  - every non-deprecated transformation between two of those geographic
    systems by geocentric translations or a seven-parameter Helmert in the
    geographic 2D domain (9603, 9606, 9607) as T records. The
    geocentric-domain, time-dependent and time-specific Helmerts (1031-1033,
    1053, 1056, 1065, 1066) join geocentric or 3D systems and are D records
    between the geographic 2D systems on the same datums; Molodensky-
    Badekas needs an evaluation point the translator has no place for (M
    records, run as operations). The
    EPSG dataset holds no non-deprecated Molodensky (9604) or abridged
    Molodensky (9605) transformation;
  - for every kept geographic, projected or left-out system, its aliases
    (bare numbers left out: EPSG files old codes of other registries as
    aliases) and its first area of use;
  - every non-deprecated geographic 2D or projected system under ESRI's own
    code, unless EPSG uses that code too.

Usage:
  python3 tools/gen_epsg.py [--database /usr/share/proj/proj.db] [--output interop/EpsgData.txt]
"""
import argparse
import math
import sqlite3
import sys

# Conversion methods a kind computes exactly, by EPSG method code.
PROJECTED_METHODS = {
    9807: "Transverse Mercator: Gauss-Krueger and transverse Mercator kinds",
    9801: "Lambert conic conformal, one standard parallel",
    9802: "Lambert conic conformal, two standard parallels",
    9822: "Albers equal area",
    9812: "Hotine oblique Mercator, variant A (natural origin)",
    9815: "Hotine oblique Mercator, variant B (centre of projection)",
    9804: "Mercator variant A (scale factor at the equator)",
    9805: "Mercator variant B (standard parallel)",
    1024: "Popular visualisation pseudo-Mercator: the spherical Mercator",
    1027: "Lambert azimuthal equal area on a sphere: the kind, on the authalic sphere",
    9818: "American polyconic",
    1028: "Equidistant cylindrical",
    1029: "Equidistant cylindrical on a sphere",
    9823: "Equidistant cylindrical on a sphere (older code)",
    9835: "Lambert cylindrical equal area",
    1052: "Colombia urban: the plane at the origin's height",
    9840: "Orthographic: the ellipsoidal view",
    9827: "Bonne",
    9828: "Bonne, south orientated",
    9806: "Cassini-Soldner on the ellipsoid",
    9808: "Transverse Mercator (South Orientated): westings and southings",
    1078: "Equal Earth",
    1051: "Lambert conic conformal (2SP Michigan): the two-parallel cone scaled by the ellipsoid's factor",
}

# Conversion methods left out, and why. In EPSG v10.076 they cover 34 of the
# 5,135 projected systems in use: 15 LCC west orientated, 3 Krovak with
# westings and southings, 2 each of the two modified Krovaks, Laborde and the
# TM zoned grid, 1 each of the rest. --report prints the counts of the dataset
# at hand.
LEFT_OUT_METHODS = {
    9820: "Lambert azimuthal equal area on the ellipsoid: the kind computes on the authalic sphere, "
          "without the ellipsoidal form's correction, and every EPSG system of it is on an ellipsoid",
    9809: "oblique stereographic on the conformal sphere: the stereographic kind is spherical",
    9810: "polar stereographic variant A on the ellipsoid: the stereographic kind is spherical",
    9829: "polar stereographic variant B on the ellipsoid: the stereographic kind is spherical",
    9830: "polar stereographic variant C: as variant B",
    9826: "Lambert conic conformal west orientated: no kind has x growing west",
    9803: "Lambert conic conformal (2SP Belgium): a rotation no kind has",
    9817: "Lambert conic near-conformal: a truncated series no kind has",
    9819: "Krovak: the kind's westings and southings have no axes the data file's builder accepts",
    1041: "Krovak north orientated: no such kind",
    1042: "Krovak modified: no such kind",
    1043: "Krovak modified north orientated: no such kind",
    9824: "transverse Mercator zoned grid system: zones chosen per point",
    9813: "Laborde oblique Mercator: no such kind",
    9831: "Guam projection: no such kind",
    9832: "modified azimuthal equidistant: the azimuthal equidistant kind is spherical",
    9833: "hyperbolic Cassini-Soldner: no such kind",
    9816: "Tunisia mining grid: no such kind",
    9811: "New Zealand map grid: no such kind",
}



def ellipsoidal_azimuthal_methods():
    """The azimuthal methods the ellipsoidal azimuthal kinds compute exactly."""
    return {
        9820: "Lambert azimuthal equal area on the ellipsoid",
        9809: "oblique stereographic on Gauss's conformal sphere",
        9810: "polar stereographic variant A (scale at the pole)",
        9829: "polar stereographic variant B (standard parallel)",
        9830: "polar stereographic variant C (false origin on the standard parallel)",
        1041: "Krovak north orientated (eastings and northings)",
    }


for _code, _why in ellipsoidal_azimuthal_methods().items():
    PROJECTED_METHODS[_code] = _why
    LEFT_OUT_METHODS.pop(_code, None)


def lambert_variant_and_island_methods():
    """Lambert's cone as national grids state it, and the islands' Cassini and azimuthal forms."""
    return {
        9826: "Lambert conic conformal west orientated (westings and northings)",
        9803: "Lambert conic conformal (2SP Belgium): the cone turned by 29.2985 seconds",
        9817: "Lambert conic near-conformal: the cone's series cut after the cube of the arc",
        9833: "hyperbolic Cassini-Soldner (Vanua Levu)",
        9831: "Guam projection",
        9832: "modified azimuthal equidistant (EPSG's series about the centre)",
        1111: "transverse Mercator 3D: the transverse Mercator of the horizontal position, heights kept",
    }


def geographic_2d_twin(ds, base, method, geog):
    """A 3D method's base is a geographic 3D system: its horizontal twin on the same datum, if kept."""
    if method != 1111:
        return None
    rows = ds.query(
        "SELECT t.code FROM geodetic_crs g JOIN geodetic_crs t ON t.datum_auth_name = g.datum_auth_name AND "
        "t.datum_code = g.datum_code WHERE g.auth_name = 'EPSG' AND g.code = ? AND t.auth_name = 'EPSG' AND "
        "t.type = 'geographic 2D' AND t.deprecated = 0 ORDER BY t.code", str(base))
    for (code,) in rows:
        if int(code) in geog:
            return str(code)
    return None


for _code, _why in lambert_variant_and_island_methods().items():
    PROJECTED_METHODS[_code] = _why
    LEFT_OUT_METHODS.pop(_code, None)


def national_grid_methods():
    """The remaining Krovak forms and the national grids, each a kind of its own."""
    return {
        9819: "Krovak (westings and southings)",
        1042: "Krovak modified (the cone and the survey's fixed polynomial)",
        1043: "Krovak modified north orientated (eastings and northings)",
        9813: "Laborde oblique Mercator",
        9824: "transverse Mercator zoned grid system (the zone from the longitude per point)",
        9816: "Tunisia mining grid",
        9811: "New Zealand map grid",
    }


for _code, _why in national_grid_methods().items():
    PROJECTED_METHODS[_code] = _why
    LEFT_OUT_METHODS.pop(_code, None)

TRANSFORMATION_METHODS = (9603, 9606, 9607)

DEGREE = "9102"
DMS = "9110"  # sexagesimal DMS packed as DDD.MMSSsss


def num(value):
    """The shortest text that reads back as the same double."""
    if value == 0:
        return "0"
    if value == int(value) and abs(value) < 1e15:
        return str(int(value))
    return repr(float(value))


def text(value):
    return (value or "").replace("\t", " ").replace("\n", " ").strip()


class Dataset:
    def __init__(self, path):
        self.db = sqlite3.connect(path)
        self.units = {}
        for code, name, kind, factor in self.db.execute(
                "SELECT code, name, type, conv_factor FROM unit_of_measure WHERE auth_name='EPSG'"):
            self.units[str(code)] = (name, kind, factor)

    def query(self, sql, *args):
        return self.db.execute(sql, args).fetchall()

    def angle(self, value, uom):
        """An angle in decimal degrees."""
        uom = str(uom)
        if uom == DMS:
            sign = -1.0 if value < 0 else 1.0
            whole, frac = ("%.10f" % abs(value)).split(".")
            minutes, seconds = int(frac[:2]), float(frac[2:4] + "." + frac[4:])
            return sign * (int(whole) + minutes / 60.0 + seconds / 3600.0)
        if uom in (DEGREE, "9122"):
            return value
        if uom == "9105":  # grad: exact in decimal
            return value * 0.9
        factor = self.units[uom][2]
        return value * factor * 180.0 / math.pi

    def factor(self, uom):
        return self.units[str(uom)][2]

    def value(self, value, uom, linear_factor, linear_uom):
        """A parameter value: degrees, the system's linear unit, or a ratio."""
        uom = str(uom)
        kind = self.units[uom][1] if uom in self.units else None
        if uom == DMS or kind == "angle":
            return self.angle(value, uom)
        if kind == "length":
            if uom == str(linear_uom):
                return value
            return value * self.factor(uom) / linear_factor
        if kind == "scale":
            return value * self.factor(uom)
        raise ValueError("unit %s" % uom)

    def extent(self, table, code):
        rows = self.query(
            "SELECT e.name, e.south_lat, e.west_lon, e.north_lat, e.east_lon FROM usage u JOIN extent e "
            "ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code WHERE u.object_table_name = ? "
            "AND u.object_auth_name = 'EPSG' AND u.object_code = ? ORDER BY u.rowid", table, str(code))
        return rows[0] if rows else ("", -90.0, -180.0, 90.0, 180.0)

    def axes(self, cs_code):
        rows = self.query(
            "SELECT orientation, uom_code FROM axis WHERE coordinate_system_auth_name='EPSG' AND "
            "coordinate_system_code = ? ORDER BY coordinate_system_order", str(cs_code))
        return "".join(o[0].upper() for o, _ in rows), (rows[0][1] if rows else None)


def geographic(ds):
    out = {}
    rows = ds.query(
        "SELECT g.code, g.name, g.coordinate_system_code, d.code, d.name, e.code, e.name, e.semi_major_axis, "
        "e.inv_flattening, e.semi_minor_axis, e.uom_code, p.code, p.name, p.longitude, p.uom_code "
        "FROM geodetic_crs g JOIN geodetic_datum d ON d.auth_name = g.datum_auth_name AND d.code = g.datum_code "
        "JOIN ellipsoid e ON e.auth_name = d.ellipsoid_auth_name AND e.code = d.ellipsoid_code "
        "JOIN prime_meridian p ON p.auth_name = d.prime_meridian_auth_name AND p.code = d.prime_meridian_code "
        "WHERE g.auth_name='EPSG' AND g.type='geographic 2D' AND g.deprecated=0")
    for (code, name, cs, dcode, dname, ecode, ename, a, rf, b, euom, pcode, pname, plon, puom) in rows:
        factor = ds.factor(euom)
        a_m = a * factor
        if rf:
            inv_f = rf
        elif b is not None and b != a:
            inv_f = a / (a - b)
        else:
            inv_f = 0.0
        order, _ = ds.axes(cs)
        _, south, west, north, east = ds.extent("geodetic_crs", code)
        out[int(code)] = [
            "G", str(code), text(name), str(dcode), text(dname), str(ecode), text(ename), num(a_m), num(inv_f),
            str(pcode), text(pname), num(ds.angle(plon, puom)), "1" if order.startswith("N") else "0",
            num(south), num(west), num(north), num(east)
        ]
    return out


def projected(ds, geog, report, left_out):
    out = {}
    cols = ", ".join("c.param%d_code, c.param%d_value, c.param%d_uom_code" % (i, i, i) for i in range(1, 8))
    rows = ds.query(
        "SELECT p.code, p.name, p.geodetic_crs_code, p.coordinate_system_code, c.code, c.name, c.method_code, "
        "c.method_name, " + cols + " FROM projected_crs p JOIN conversion c ON c.auth_name = "
        "p.conversion_auth_name AND c.code = p.conversion_code WHERE p.auth_name='EPSG' AND p.deprecated=0 "
        "AND p.geodetic_crs_auth_name='EPSG'")
    for row in rows:
        code, name, base, cs, ccode, cname, method, mname = row[:8]
        method = int(method)
        if method not in PROJECTED_METHODS:
            report.setdefault(method, [mname, 0])[1] += 1
            left_out[int(code)] = ["X", str(code), text(name), str(method), text(mname)]
            continue
        if int(base) not in geog:
            base = geographic_2d_twin(ds, base, method, geog) or base
        if int(base) not in geog:
            report.setdefault("base", ["base system not a kept geographic 2D system", 0])[1] += 1
            continue
        axes, uom = ds.axes(cs)
        uname, kind, factor = ds.units[str(uom)]
        if kind != "length":
            report.setdefault("unit", ["axes not in a length unit", 0])[1] += 1
            continue
        params = []
        for i in range(7):
            pcode, value, puom = row[8 + 3 * i:11 + 3 * i]
            if pcode is None or value is None:
                continue
            params.append("%s=%s" % (pcode, num(ds.value(value, puom, factor, uom))))
        out[int(code)] = ["P", str(code), text(name), str(base), str(method), text(mname), str(ccode),
                          text(cname), str(uom), text(uname), num(factor), axes] + params
    return out


def transformations(ds, geog):
    out = {}
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, tx, ty, tz, "
        "translation_uom_code, rx, ry, rz, rotation_uom_code, scale_difference, scale_difference_uom_code "
        "FROM helmert_transformation_table WHERE auth_name='EPSG' AND deprecated=0 AND method_code IN (%s) "
        "AND source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'" % ",".join(map(str, TRANSFORMATION_METHODS)))
    arcsec = math.pi / (180.0 * 3600.0)
    replaced = {}
    for old, new in ds.query(
            "SELECT superseded_code, replacement_code FROM supersession WHERE superseded_table_name = "
            "'helmert_transformation' AND replacement_table_name = 'helmert_transformation' AND "
            "superseded_auth_name = 'EPSG' AND replacement_auth_name = 'EPSG' AND same_source_target_crs = 1"):
        replaced.setdefault(int(old), set()).add(int(new))
    for (code, name, method, src, dst, acc, tx, ty, tz, tuom, rx, ry, rz, ruom, ds_, suom) in rows:
        if int(src) not in geog or int(dst) not in geog:
            continue
        t = ds.factor(tuom)
        rot = [0.0, 0.0, 0.0]
        if rx is not None:
            # Arc-seconds as stored when they are; others through radians.
            rot = [v if str(ruom) == "9104" else v * ds.factor(ruom) / arcsec for v in (rx, ry, rz)]
        scale = 0.0
        if ds_ is not None:
            scale = ds_ if str(suom) == "9202" else ds_ * ds.factor(suom) * 1e6
        trans = [v if str(tuom) == "9001" else v * t for v in (tx, ty, tz)]
        area, south, west, north, east = ds.extent("helmert_transformation", code)
        out[int(code)] = (["T", str(code), text(name), str(method), str(src), str(dst)] +
                          [num(v) for v in trans + rot + [scale]] +
                          [num(acc if acc is not None else -1), num(south), num(west), num(north), num(east),
                           text(area)])
    for code, fields in out.items():
        fields.append(",".join(str(c) for c in sorted(replaced.get(code, ())) if c in out))
    return out


def search_records(ds, kept):
    """Aliases and areas of use of the kept systems (codes in `kept`), and the
    systems ESRI numbers itself: what a search by name, code or area needs."""
    aliases = {}
    for table, code, alias in ds.query(
            "SELECT table_name, code, alt_name FROM alias_name WHERE auth_name = 'EPSG' AND "
            "table_name IN ('geodetic_crs', 'projected_crs') ORDER BY table_name, code, source, alt_name"):
        alias = text(alias)
        # EPSG also files bare numbers (old codes of other registries) as aliases.
        if int(code) not in kept or not alias or alias.isdigit() or alias == kept[int(code)][0]:
            continue
        names = aliases.setdefault(int(code), [])
        if alias not in names:
            names.append(alias)
    areas = {}
    for code in kept:
        table = "projected_crs" if kept[code][1] else "geodetic_crs"
        name, south, west, north, east = ds.extent(table, code)
        areas[code] = ["U", str(code), num(south), num(west), num(north), num(east), text(name)]
    # ESRI files some systems under codes EPSG also uses, for other systems:
    # those are left out, so that a code names one system in the file.
    epsg_codes = {int(c) for (c,) in ds.query(
        "SELECT code FROM geodetic_crs WHERE auth_name = 'EPSG' UNION SELECT code FROM projected_crs "
        "WHERE auth_name = 'EPSG'") if str(c).isdigit()}
    esri = {}
    for table, kind in (("geodetic_crs", "G"), ("projected_crs", "P")):
        extra = " AND c.type = 'geographic 2D'" if kind == "G" else ""
        for code, name, area, south, west, north, east in ds.query(
                "SELECT c.code, c.name, e.name, e.south_lat, e.west_lon, e.north_lat, e.east_lon FROM " + table +
                " c LEFT JOIN usage u ON u.object_table_name = ? AND u.object_auth_name = 'ESRI' AND "
                "u.object_code = c.code LEFT JOIN extent e ON e.auth_name = u.extent_auth_name AND "
                "e.code = u.extent_code WHERE c.auth_name = 'ESRI' AND c.deprecated = 0" + extra +
                " ORDER BY c.code, u.rowid", table):
            code = str(code)
            if not code.isdigit() or int(code) in esri or int(code) in epsg_codes:
                continue
            if south is None:
                area, south, west, north, east = "", -90.0, -180.0, 90.0, 180.0
            esri[int(code)] = ["R", code, text(name), kind, num(south), num(west), num(north), num(east),
                               text(area)]
    lines = []
    for code in sorted(aliases):
        lines += ["\t".join(["A", str(code), alias]) for alias in aliases[code]]
    lines += ["\t".join(areas[code]) for code in sorted(areas)]
    lines += ["\t".join(esri[code]) for code in sorted(esri)]
    return lines


GRID_METHODS = (9613, 9614, 9615)


def grid_transformations(ds, geog):
    """The horizontal grid shifts between two kept geographic systems."""
    out = {}
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, grid_name "
        "FROM grid_transformation WHERE auth_name='EPSG' AND deprecated=0 AND method_code IN (%s) "
        "AND source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'" % ",".join(map(str, GRID_METHODS)))
    replaced = {}
    for old, new in ds.query(
            "SELECT superseded_code, replacement_code FROM supersession WHERE superseded_table_name = "
            "'grid_transformation' AND replacement_table_name = 'grid_transformation' AND "
            "superseded_auth_name = 'EPSG' AND replacement_auth_name = 'EPSG' AND same_source_target_crs = 1"):
        replaced.setdefault(int(old), set()).add(int(new))
    for code, name, method, src, dst, acc, grid in rows:
        if int(src) not in geog or int(dst) not in geog:
            continue
        alt = ds.query("SELECT proj_grid_name, old_proj_grid_name, inverse_direction FROM grid_alternatives "
                       "WHERE original_grid_name = ?", grid)
        proj_name, old_name, inverse = (alt[0][0] or grid, alt[0][1] or grid, alt[0][2]) if alt else (grid, grid, 0)
        area, south, west, north, east = ds.extent("grid_transformation", code)
        out[int(code)] = ["H", str(code), text(name), str(method), str(src), str(dst),
                          num(acc if acc is not None else -1), num(south), num(west), num(north), num(east),
                          text(area), text(proj_name), text(old_name), "1" if inverse else "0",
                          "1" if alt else "0"]
    for code, fields in out.items():
        fields.append(",".join(str(c) for c in sorted(replaced.get(code, ())) if c in out))
    return out


MOLODENSKY_BADEKAS_METHODS = (9636, 1063)
OFFSET_METHODS = (9601, 9619)


def other_parametric(ds, geog):
    """Molodensky-Badekas transformations and geographic offsets between two
    kept geographic systems. The Helmerts of geocentric and 3D systems are
    in geocentric_helmerts."""
    out = {}
    arcsec = math.pi / (180.0 * 3600.0)
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, tx, ty, tz, "
        "translation_uom_code, rx, ry, rz, rotation_uom_code, scale_difference, scale_difference_uom_code, "
        "px, py, pz, pivot_uom_code FROM helmert_transformation_table WHERE auth_name='EPSG' AND deprecated=0 "
        "AND method_code IN (%s) AND source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'" %
        ",".join(map(str, MOLODENSKY_BADEKAS_METHODS)))
    for (code, name, method, src, dst, acc, tx, ty, tz, tuom, rx, ry, rz, ruom, sd, suom, px, py, pz,
         puom) in rows:
        if int(src) not in geog or int(dst) not in geog:
            continue
        trans = [v * ds.factor(tuom) for v in (tx, ty, tz)]
        rot = [v if str(ruom) == "9104" else v * ds.factor(ruom) / arcsec for v in (rx, ry, rz)]
        scale = sd if str(suom) == "9202" else sd * ds.factor(suom) * 1e6
        pivot = [v * ds.factor(puom) for v in (px, py, pz)]
        area, south, west, north, east = ds.extent("helmert_transformation", code)
        out[int(code)] = (["M", str(code), text(name), str(method), str(src), str(dst)] +
                          [num(v) for v in trans + rot + [scale] + pivot] +
                          [num(acc if acc is not None else -1), num(south), num(west), num(north), num(east),
                           text(area)])
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, param1_code, param1_value, "
        "param1_uom_code, param2_code, param2_value, param2_uom_code FROM other_transformation WHERE "
        "auth_name='EPSG' AND deprecated=0 AND method_code IN (%s) AND source_crs_auth_name='EPSG' AND "
        "target_crs_auth_name='EPSG'" % ",".join(map(str, OFFSET_METHODS)))
    for code, name, method, src, dst, acc, c1, v1, u1, c2, v2, u2 in rows:
        if int(src) not in geog or int(dst) not in geog:
            continue
        offsets = {8601: 0.0, 8602: 0.0}  # latitude, longitude offset
        for c, v, u in ((c1, v1, u1), (c2, v2, u2)):
            if c is not None:
                offsets[int(c)] = ds.angle(v, u)
        area, south, west, north, east = ds.extent("other_transformation", code)
        out[int(code)] = ["O", str(code), text(name), str(method), str(src), str(dst), num(offsets[8601]),
                          num(offsets[8602]), num(acc if acc is not None else -1), num(south), num(west),
                          num(north), num(east), text(area)]
    return out


def geoid_operations(ds, geog):
    """Geographic 3D to gravity-related height by a GTX or GeoTIFF grid, where
    the 3D system has a kept 2D counterpart. The "Geog3D to
    Geog2D+GravityRelatedHeight" variants target compound systems and are the
    same grids; PROJ reaches a compound target through the vertical one."""
    out = {}
    rows = ds.query(
        "SELECT g.code, g.name, g.method_code, g.source_crs_code, g.target_crs_code, g.accuracy, g.grid_name, "
        "a.proj_grid_name, a.old_proj_grid_name, a.proj_grid_format, v.name FROM grid_transformation g "
        "JOIN grid_alternatives a ON a.original_grid_name = g.grid_name "
        "JOIN vertical_crs v ON v.auth_name = 'EPSG' AND v.code = g.target_crs_code "
        "WHERE g.auth_name='EPSG' AND g.deprecated=0 AND g.method_name LIKE 'Geographic3D to GravityRelatedHeight%' "
        "AND g.source_crs_auth_name='EPSG' AND g.target_crs_auth_name='EPSG' AND a.proj_grid_format IN ('GTiff', 'GTX')")
    for code, name, method, src, dst, acc, grid, proj_name, old_name, _fmt, vname in rows:
        base = ds.query(
            "SELECT b.code FROM geodetic_crs s JOIN geodetic_crs b ON b.datum_auth_name = s.datum_auth_name AND "
            "b.datum_code = s.datum_code AND b.type = 'geographic 2D' AND b.auth_name = 'EPSG' AND b.deprecated = 0 "
            "WHERE s.auth_name = 'EPSG' AND s.code = ? ORDER BY b.code", str(src))
        base = [int(b) for (b,) in base if int(b) in geog]
        if not base:
            continue
        area, south, west, north, east = ds.extent("grid_transformation", code)
        out[int(code)] = ["V", str(code), text(name), str(method), str(src), str(base[0]), str(dst), text(vname),
                          num(acc if acc is not None else -1), num(south), num(west), num(north), num(east),
                          text(area), text(proj_name or grid), text(old_name or grid)]
    return out


def height_offsets(ds, geog):
    """Geographic offsets with a height offset (9618) from a compound system
    whose horizontal part is a kept geographic 2D system to a geographic 3D
    system on a kept 2D system's datum. EPSG states them all from a compound
    system (Tokyo + JSLD69 height) to a geographic 3D one (WGS 84)."""
    out = {}
    rows = ds.query(
        "SELECT o.code, o.name, o.method_code, o.source_crs_code, o.target_crs_code, o.accuracy, "
        "o.param1_code, o.param1_value, o.param1_uom_code, o.param2_code, o.param2_value, o.param2_uom_code, "
        "o.param3_code, o.param3_value, o.param3_uom_code, c.horiz_crs_code, c.vertical_crs_code, v.name "
        "FROM other_transformation o "
        "JOIN compound_crs c ON c.auth_name = o.source_crs_auth_name AND c.code = o.source_crs_code "
        "JOIN vertical_crs v ON v.auth_name = c.vertical_crs_auth_name AND v.code = c.vertical_crs_code "
        "WHERE o.auth_name='EPSG' AND o.deprecated=0 AND o.method_code = 9618 AND "
        "o.source_crs_auth_name='EPSG' AND o.target_crs_auth_name='EPSG' AND c.horiz_crs_auth_name='EPSG'")
    for (code, name, method, src, dst, acc, c1, v1, u1, c2, v2, u2, c3, v3, u3, horizontal, vertical,
         vname) in rows:
        target2d = geographic_2d_of(ds, geog, dst)
        if int(horizontal) not in geog or target2d is None:
            continue
        offsets = {8601: 0.0, 8602: 0.0, 8604: 0.0}  # latitude, longitude, height offset
        for c, v, u in ((c1, v1, u1), (c2, v2, u2)):
            if c is not None:
                offsets[int(c)] = ds.angle(v, u)
        if c3 is not None:
            offsets[int(c3)] = v3 * ds.factor(u3)
        area, south, west, north, east = ds.extent("other_transformation", code)
        _, c_south, c_west, c_north, c_east = ds.extent("compound_crs", src)
        out[int(code)] = ["Y", str(code), text(name), str(method), str(src), str(horizontal), str(vertical),
                          text(vname), str(dst), str(target2d), num(offsets[8601]), num(offsets[8602]),
                          num(offsets[8604]), num(acc if acc is not None else -1), num(south), num(west),
                          num(north), num(east), text(area), num(c_south), num(c_west), num(c_north),
                          num(c_east)]
    return out


GEOCENTRIC_HELMERT_METHODS = (1031, 1032, 1033, 1053, 1056, 1065, 1066)
SECONDS_PER_YEAR = 31556925.445  # EPSG's year, the unit its rates are stated per


def geographic_2d_of(ds, geog, crs):
    """The kept geographic 2D system on the datum of a geodetic system (itself
    when it is one), else None."""
    if int(crs) in geog:
        return int(crs)
    base = ds.query(
        "SELECT b.code FROM geodetic_crs s JOIN geodetic_crs b ON b.datum_auth_name = s.datum_auth_name AND "
        "b.datum_code = s.datum_code AND b.type = 'geographic 2D' AND b.auth_name = 'EPSG' AND b.deprecated = 0 "
        "WHERE s.auth_name = 'EPSG' AND s.code = ? ORDER BY b.code", str(crs))
    base = [int(b) for (b,) in base if int(b) in geog]
    return base[0] if base else None


def geocentric_systems(ds, geog, kind="geocentric", letter="K"):
    """Every non-deprecated EPSG geocentric (or geographic 3D) system whose
    datum a kept geographic 2D system shares."""
    out = {}
    for code, name in ds.query("SELECT code, name FROM geodetic_crs WHERE auth_name='EPSG' AND "
                               "type=? AND deprecated=0", kind):
        base = geographic_2d_of(ds, geog, code)
        if base is None:
            continue
        area, south, west, north, east = ds.extent("geodetic_crs", code)
        out[int(code)] = [letter, str(code), text(name), str(base), num(south), num(west), num(north),
                          num(east), text(area)]
    return out


def geocentric_helmerts(ds, geog):
    """The geocentric-domain, time-dependent and time-specific Helmerts whose
    systems lie on the datums of kept geographic 2D systems (two different
    ones)."""
    out = {}
    arcsec = math.pi / (180.0 * 3600.0)
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, tx, ty, tz, "
        "translation_uom_code, rx, ry, rz, rotation_uom_code, scale_difference, scale_difference_uom_code, "
        "rate_tx, rate_ty, rate_tz, rate_translation_uom_code, rate_rx, rate_ry, rate_rz, rate_rotation_uom_code, "
        "rate_scale_difference, rate_scale_difference_uom_code, epoch, epoch_uom_code "
        "FROM helmert_transformation_table WHERE auth_name='EPSG' AND deprecated=0 "
        "AND method_code IN (%s) AND source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'" %
        ",".join(map(str, GEOCENTRIC_HELMERT_METHODS)))
    for (code, name, method, src, dst, acc, tx, ty, tz, tuom, rx, ry, rz, ruom, sd, suom, rtx, rty, rtz, rtuom,
         rrx, rry, rrz, rruom, rsd, rsuom, epoch, euom) in rows:
        src2d, dst2d = geographic_2d_of(ds, geog, src), geographic_2d_of(ds, geog, dst)
        if src2d is None or dst2d is None or src2d == dst2d:
            continue
        trans = [v * ds.factor(tuom) for v in (tx, ty, tz)]
        rot = [0.0 if v is None else v if str(ruom) == "9104" else v * ds.factor(ruom) / arcsec
               for v in (rx, ry, rz)]
        scale = 0.0 if sd is None else sd if str(suom) == "9202" else sd * ds.factor(suom) * 1e6
        rates = [0.0] * 7
        if rtuom is not None:
            rates[0:3] = [(v or 0.0) * ds.factor(rtuom) * SECONDS_PER_YEAR for v in (rtx, rty, rtz)]
        if rruom is not None:
            rates[3:6] = [(v or 0.0) * ds.factor(rruom) * SECONDS_PER_YEAR / arcsec for v in (rrx, rry, rrz)]
        if rsuom is not None:
            rates[6] = (rsd or 0.0) * ds.factor(rsuom) * SECONDS_PER_YEAR * 1e6
        area, south, west, north, east = ds.extent("helmert_transformation", code)
        out[int(code)] = (["D", str(code), text(name), str(method), str(src2d), str(dst2d)] +
                          [num(v) for v in trans + rot + [scale] + rates] +
                          [num(epoch if epoch is not None else 0), num(acc if acc is not None else -1),
                           num(south), num(west), num(north), num(east), text(area)])
    return out


AFFINE_PARAMETRIC_METHOD = 9624
AFFINE_PARAMETERS = (8623, 8624, 8625, 8639, 8640, 8641)  # A0 A1 A2 B0 B1 B2


def affine_parametric(ds, proj):
    """The affine parametric transformations between two kept projected
    systems (a Jamaican and the Mauritanian grids). PROJ runs them on the
    projected coordinates directly and offers them for that pair of systems
    alone, never between their geographic systems."""
    out = {}
    cols = ", ".join("param%d_code, param%d_value, param%d_uom_code" % (i, i, i) for i in range(1, 7))
    rows = ds.query(
        "SELECT code, name, method_code, source_crs_code, target_crs_code, accuracy, " + cols +
        " FROM other_transformation WHERE auth_name='EPSG' AND deprecated=0 AND method_code = ? AND "
        "source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'", AFFINE_PARAMETRIC_METHOD)
    for row in rows:
        code, name, method, src, dst, acc = row[:6]
        if int(src) not in proj or int(dst) not in proj:
            continue
        to_metre = float(proj[int(dst)][10])
        values = {}
        for i in range(6):
            pcode, value, uom = row[6 + 3 * i:9 + 3 * i]
            if pcode is None or value is None:
                continue
            kind = ds.units[str(uom)][1]
            # The two offsets in the target's unit; the four coefficients are ratios.
            values[int(pcode)] = value * ds.factor(uom) / to_metre if kind == "length" else value
        if any(p not in values for p in AFFINE_PARAMETERS):
            continue
        area, south, west, north, east = ds.extent("other_transformation", code)
        out[int(code)] = (["N", str(code), text(name), str(method), str(src), str(dst)] +
                          [num(values[p]) for p in AFFINE_PARAMETERS] +
                          [num(acc if acc is not None else -1), num(south), num(west), num(north), num(east),
                           text(area)])
    return out


def supersessions(ds, kept):
    """Supersessions between two kept operations with the same systems."""
    out = {}
    for old, new in ds.query(
            "SELECT superseded_code, replacement_code FROM supersession WHERE superseded_auth_name = 'EPSG' "
            "AND replacement_auth_name = 'EPSG' AND same_source_target_crs = 1 AND superseded_table_name IN "
            "('helmert_transformation', 'grid_transformation', 'other_transformation') AND "
            "replacement_table_name IN ('helmert_transformation', 'grid_transformation', 'other_transformation')"):
        if int(old) in kept and int(new) in kept:
            out[(int(old), int(new))] = ["S", str(old), str(new)]
    return out


def concatenated(ds, geog, held):
    """EPSG's concatenated operations whose steps are all held operations."""
    out = {}
    accuracy = {}
    for table in ("helmert_transformation", "grid_transformation", "other_transformation"):
        for code, acc in ds.query("SELECT code, accuracy FROM %s WHERE auth_name='EPSG'" % table):
            accuracy[int(code)] = acc
    for code, name, src, dst, acc in ds.query(
            "SELECT code, name, source_crs_code, target_crs_code, accuracy FROM concatenated_operation WHERE "
            "auth_name='EPSG' AND deprecated=0 AND source_crs_auth_name='EPSG' AND target_crs_auth_name='EPSG'"):
        if int(src) not in geog or int(dst) not in geog:
            continue
        steps = [int(c) for (c,) in ds.query(
            "SELECT step_code FROM concatenated_operation_step WHERE operation_auth_name='EPSG' AND "
            "operation_code = ? ORDER BY step_number", str(code))]
        if not steps or any(c not in held for c in steps):
            continue
        if acc is None and all(accuracy.get(c) is not None for c in steps):
            acc = sum(accuracy[c] for c in steps)
        area, south, west, north, east = ds.extent("concatenated_operation", code)
        out[int(code)] = ["C", str(code), text(name), str(src), str(dst), num(acc if acc is not None else -1),
                          num(south), num(west), num(north), num(east), text(area), ",".join(map(str, steps))]
    return out


def offshore_operations(ds, kept):
    """Operations whose area EPSG describes as offshore ("- offshore" in the description, as PROJ tests it).

    PROJ passes over such an operation for a point that another operation's area also holds, unless it
    is the only one: the short area names the other records carry rarely say so.
    """
    out = {}
    for table in ("helmert_transformation", "grid_transformation", "other_transformation",
                  "concatenated_operation"):
        for (code,) in ds.query(
                "SELECT u.object_code FROM usage u JOIN extent e ON e.auth_name = u.extent_auth_name AND "
                "e.code = u.extent_code WHERE u.object_table_name = ? AND u.object_auth_name = 'EPSG' AND "
                "e.description LIKE '%- offshore%'", table):
            if int(code) in kept:
                out[int(code)] = ["F", str(code)]
    return out


def _crc32c_table():
    table = []
    for byte in range(256):
        crc = byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0x82F63B78 if crc & 1 else crc >> 1
        table.append(crc)
    return table


def crc32c(data):
    """CRC-32C (Castagnoli): the reader computes it with one x86-64 instruction
    per eight bytes, at memory speed, where zlib's CRC-32 cost it a fifth of
    its first set-up."""
    table = _crc32c_table()
    crc = 0xFFFFFFFF
    for byte in data:
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8)
    return crc ^ 0xFFFFFFFF


def closing_line(records, body):
    """The line that seals the file: its record count and checksum."""
    return "E\t%d\t%08x\tCRC-32C\n" % (records, crc32c(body))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--database", default="/usr/share/proj/proj.db", help="EPSG dataset (PROJ's proj.db)")
    parser.add_argument("--output", help="data file to write (default: stdout)")
    parser.add_argument("--report", action="store_true", help="print the counts and left-out methods to stderr")
    args = parser.parse_args()
    ds = Dataset(args.database)
    report = {}
    geog = geographic(ds)
    left_out = {}
    proj = projected(ds, geog, report, left_out)
    trans = transformations(ds, geog)
    grids = grid_transformations(ds, geog)
    others = other_parametric(ds, geog)
    geoids = geoid_operations(ds, geog)
    geocentric = geocentric_systems(ds, geog)
    geographic3d = geocentric_systems(ds, geog, "geographic 3D", "L")
    timed = geocentric_helmerts(ds, geog)
    affine = affine_parametric(ds, proj)
    height = height_offsets(ds, geog)
    superseded = supersessions(ds, set(trans) | set(grids) | set(others) | set(timed))
    concats = concatenated(ds, geog, set(trans) | set(grids) | set(others))
    offshore = offshore_operations(ds, set(trans) | set(grids) | set(others) | set(timed) | set(concats))
    version = ds.query("SELECT value FROM metadata WHERE key='EPSG.VERSION'")
    lines = ["# EPSG definitions for ZrPrj50, generated by tools/gen_epsg.py from EPSG dataset %s" %
             (version[0][0] if version else "?"),
             "# %d geographic, %d projected (%d left out), %d transformations, %d grid-based, %d other, "
             "%d geoid" % (len(geog), len(proj), len(left_out), len(trans), len(grids), len(others), len(geoids))]
    for table in (geog, proj, left_out, trans, grids, others, geoids, superseded, concats, geocentric,
                  geographic3d, timed, affine, offshore, height):
        for code in sorted(table):
            lines.append("\t".join(table[code]))
    kept = {code: (row[2], False) for code, row in geog.items()}
    kept.update({code: (row[2], True) for table in (proj, left_out) for code, row in table.items()})
    search = search_records(ds, kept)
    lines += search
    data = "\n".join(lines) + "\n"
    records = sum(len(table) for table in (geog, proj, left_out, trans, grids, others, geoids, superseded,
                                           concats, geocentric, geographic3d, timed, affine, offshore,
                                           height)) + len(search)
    data += closing_line(records, data.encode("utf-8"))
    if args.output:
        with open(args.output, "w", encoding="utf-8", newline="\n") as out:
            out.write(data)
    else:
        sys.stdout.write(data)
    if args.report:
        sys.stderr.write("geographic %d, projected %d, transformations %d\n" % (len(geog), len(proj), len(trans)))
        for key, (label, count) in sorted(report.items(), key=lambda kv: -kv[1][1]):
            reason = LEFT_OUT_METHODS.get(key, "")
            sys.stderr.write("left out %s %s: %d  %s\n" % (key, label, count, reason))


if __name__ == "__main__":
    main()
