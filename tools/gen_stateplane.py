#!/usr/bin/env python3
"""Writes model/catalogue/projected_stateplane.cpp, the United States State Plane
rows of the projected catalogue.

The zone list (code, zone, FIPS number) is the catalogue's own; the parameters
come from the EPSG dataset shipped with PROJ (proj.db), decoded in
/work/shared/data/stateplane-epsg.tsv, and for the zones EPSG lacks (NAD 1927
Hawaii, Michigan, Puerto Rico and St. Croix) from the same database's ESRI
entries. Values are copied as they stand in the grid's unit: NAD 1927 rows hold
their US-survey-foot values under the foot unit, NAD 1983 rows metres.

Usage: tools/gen_stateplane.py [tsv] [proj.db] > model/catalogue/projected_stateplane.cpp
"""
import csv
import sqlite3
import sys

NAD_1927 = """
    26729 Alabama_East 0101, 26730 Alabama_West 0102, 26731 Alaska_1 5001, 26732 Alaska_2 5002
    26733 Alaska_3 5003, 26734 Alaska_4 5004, 26735 Alaska_5 5005, 26736 Alaska_6 5006
    26737 Alaska_7 5007, 26738 Alaska_8 5008, 26739 Alaska_9 5009, 26740 Alaska_10 5010
    26741 California_I 0401, 26742 California_II 0402, 26743 California_III 0403
    26744 California_IV 0404, 26745 California_V 0405, 26746 California_VI 0406
    26747 California_VII 0407, 26748 Arizona_East 0201, 26749 Arizona_Central 0202
    26750 Arizona_West 0203, 26751 Arkansas_North 0301, 26752 Arkansas_South 0302
    26753 Colorado_North 0501, 26754 Colorado_Central 0502, 26755 Colorado_South 0503
    26756 Connecticut 0600, 26757 Delaware 0700, 26758 Florida_East 0901, 26759 Florida_West 0902
    26760 Florida_North 0903, 26761 Hawaii_1 5101, 26762 Hawaii_2 5102, 26763 Hawaii_3 5103
    26764 Hawaii_4 5104, 26765 Hawaii_5 5105, 26766 Georgia_East 1001, 26767 Georgia_West 1002
    26768 Idaho_East 1101, 26769 Idaho_Central 1102, 26770 Idaho_West 1103, 26771 Illinois_East 1201
    26772 Illinois_West 1202, 26773 Indiana_East 1301, 26774 Indiana_West 1302, 26775 Iowa_North 1401
    26776 Iowa_South 1402, 26777 Kansas_North 1501, 26778 Kansas_South 1502, 26779 Kentucky_North 1601
    26780 Kentucky_South 1602, 26781 Louisiana_North 1701, 26782 Louisiana_South 1702
    26783 Maine_East 1801, 26784 Maine_West 1802, 26785 Maryland 1900, 26786 Massachusetts_Mainland 2001
    26787 Massachusetts_Island 2002, 26788 Michigan_North 2111, 26789 Michigan_Central 2112
    26790 Michigan_South 2113, 26791 Minnesota_North 2201, 26792 Minnesota_Central 2202
    26793 Minnesota_South 2203, 26794 Mississippi_East 2301, 26795 Mississippi_West 2302
    26796 Missouri_East 2401, 26797 Missouri_Central 2402, 26798 Missouri_West 2403
    32001 Montana_North 2501, 32002 Montana_Central 2502, 32003 Montana_South 2503
    32005 Nebraska_North 2601, 32006 Nebraska_South 2602, 32007 Nevada_East 2701
    32008 Nevada_Central 2702, 32009 Nevada_West 2703, 32010 New_Hampshire 2800, 32011 New_Jersey 2900
    32012 New_Mexico_East 3001, 32013 New_Mexico_Central 3002, 32014 New_Mexico_West 3003
    32015 New_York_East 3101, 32016 New_York_Central 3102, 32017 New_York_West 3103
    32018 New_York_Long_Island 3104, 32019 North_Carolina 3200, 32020 North_Dakota_North 3301
    32021 North_Dakota_South 3302, 32022 Ohio_North 3401, 32023 Ohio_South 3402
    32024 Oklahoma_North 3501, 32025 Oklahoma_South 3502, 32026 Oregon_North 3601
    32027 Oregon_South 3602, 32028 Pennsylvania_North 3701, 32029 Pennsylvania_South 3702
    32030 Rhode_Island 3800, 32031 South_Carolina_North 3901, 32033 South_Carolina_South 3902
    32034 South_Dakota_North 4001, 32035 South_Dakota_South 4002, 32036 Tennessee 4100
    32037 Texas_North 4201, 32038 Texas_North_Central 4202, 32039 Texas_Central 4203
    32040 Texas_South_Central 4204, 32041 Texas_South 4205, 32042 Utah_North 4301
    32043 Utah_Central 4302, 32044 Utah_South 4303, 32045 Vermont 3400, 32046 Virginia_North 4501
    32047 Virginia_South 4502, 32048 Washington_North 4601, 32049 Washington_South 4602
    32050 West_Virginia_North 4701, 32051 West_Virginia_South 4702, 32052 Wisconsin_North 4801
    32053 Wisconsin_Central 4802, 32054 Wisconsin_South 4803, 32055 Wyoming_East 4901
    32056 Wyoming_East_Central 4902, 32057 Wyoming_West_Central 4903, 32058 Wyoming_West 4904
    32059 Puerto_Rico 5201, 32060 Virgin_Islands_St_Croix 5202, 65061 Guam 5400
"""

NAD_1983 = """
    26929 Alabama_East 0101, 26930 Alabama_West 0102, 26931 Alaska_1 5001, 26932 Alaska_2 5002
    26933 Alaska_3 5003, 26934 Alaska_4 5004, 26935 Alaska_5 5005, 26936 Alaska_6 5006
    26937 Alaska_7 5007, 26938 Alaska_8 5008, 26939 Alaska_9 5009, 26940 Alaska_10 5010
    26941 California_I 0401, 26942 California_II 0402, 26943 California_III 0403
    26944 California_IV 0404, 26945 California_V 0405, 26946 California_VI 0406, 26948 Arizona_East 0201
    26949 Arizona_Central 0202, 26950 Arizona_West 0203, 26951 Arkansas_North 0301
    26952 Arkansas_South 0302, 26953 Colorado_North 0501, 26954 Colorado_Central 0502
    26955 Colorado_South 0503, 26956 Connecticut 0600, 26957 Delaware 0700, 26958 Florida_East 0901
    26959 Florida_West 0902, 26960 Florida_North 0903, 26961 Hawaii_1 5101, 26962 Hawaii_2 5102
    26963 Hawaii_3 5103, 26964 Hawaii_4 5104, 26965 Hawaii_5 5105, 26966 Georgia_East 1001
    26967 Georgia_West 1002, 26968 Idaho_East 1101, 26969 Idaho_Central 1102, 26970 Idaho_West 1103
    26971 Illinois_East 1201, 26972 Illinois_West 1202, 26973 Indiana_East 1301, 26974 Indiana_West 1302
    26975 Iowa_North 1401, 26976 Iowa_South 1402, 26977 Kansas_North 1501, 26978 Kansas_South 1502
    26979 Kentucky_North 1601, 26980 Kentucky_South 1602, 26981 Louisiana_North 1701
    26982 Louisiana_South 1702, 26983 Maine_East 1801, 26984 Maine_West 1802, 26985 Maryland 1900
    26986 Massachusetts_Mainland 2001, 26987 Massachusetts_Island 2002, 26988 Michigan_North 2111
    26989 Michigan_Central 2202, 26990 Michigan_South 2113, 26991 Minnesota_North 2201
    26992 Minnesota_Central 2202, 26993 Minnesota_South 2203, 26994 Mississippi_East 2301
    26995 Mississippi_West 2302, 26996 Missouri_East 2401, 26997 Missouri_Central 2402
    26998 Missouri_West 2403, 32100 Montana 2500, 32104 Nebraska 2600, 32107 Nevada_East 2701
    32108 Nevada_Central 2702, 32109 Nevada_West 2703, 32110 New_Hampshire 2800, 32111 New_Jersey 2900
    32112 New_Mexico_East 3001, 32113 New_Mexico_Central 3002, 32114 New_Mexico_West 3003
    32115 New_York_East 3101, 32116 New_York_Central 3102, 32117 New_York_West 3103
    32118 New_York_Long_Island 3104, 32119 North_Carolina 3200, 32120 North_Dakota_North 3301
    32121 North_Dakota_South 3302, 32122 Ohio_North 3401, 32123 Ohio_South 3402
    32124 Oklahoma_North 3501, 32125 Oklahoma_South 3502, 32126 Oregon_North 3601
    32127 Oregon_South 3602, 32128 Pennsylvania_North 3701, 32129 Pennsylvania_South 3702
    32130 Rhode_Island 3800, 32133 South_Carolina 3900, 32134 South_Dakota_North 4001
    32135 South_Dakota_South 4002, 32136 Tennessee 4100, 32137 Texas_North 4201
    32138 Texas_North_Central 4202, 32139 Texas_Central 4203, 32140 Texas_South_Central 4204
    32141 Texas_South 4205, 32142 Utah_North 4301, 32143 Utah_Central 4302, 32144 Utah_South 4303
    32145 Vermont 4400, 32146 Virginia_North 4501, 32147 Virginia_South 4502
    32148 Washington_North 4601, 32149 Washington_South 4602, 32150 West_Virginia_North 4701
    32151 West_Virginia_South 4702, 32152 Wisconsin_North 4801, 32153 Wisconsin_Central 4802
    32154 Wisconsin_South 4803, 32155 Wyoming_East 4901, 32156 Wyoming_East_Central 4902
    32157 Wyoming_West_Central 4903, 32158 Wyoming_West 4904, 32161 Puerto_Rico_Virgin_Islands 5200
    65161 Guam 5400
"""

UNIT_FOOT = 3048   # NAD 1927 grids: US survey feet, held under the foot unit
UNIT_METRE = 10000
GCS_NAD27 = 4267
GCS_NAD83 = 4269
KIND_TM = 43006
KIND_LCC = 43020
KIND_POLYCONIC = 43021
KIND_HOTINE = 43044  # Hotine oblique Mercator, u measured from the natural origin

# Parameter slots of a row: FE, FN, CM, CP, SP1, SP2, k, AZ, LON1, LON2.
SLOT = {
    'False easting': 0, 'Easting at false origin': 0,
    'False northing': 1, 'Northing at false origin': 1,
    'Longitude of natural origin': 2, 'Longitude of false origin': 2, 'Longitude of projection centre': 2,
    'Latitude of natural origin': 3, 'Latitude of false origin': 3, 'Latitude of projection centre': 3,
    'Latitude of 1st standard parallel': 4,
    # The Hotine kinds read the rectified-grid angle from the first standard parallel.
    'Angle from Rectified to Skew Grid': 4,
    'Latitude of 2nd standard parallel': 5,
    'Scale factor at natural origin': 6, 'Scale factor on initial line': 6,
    'Azimuth of initial line': 7,
}
LENGTHS = (0, 1)
KIND_OF_METHOD = {
    'Transverse Mercator': KIND_TM,
    'Lambert Conic Conformal (2SP)': KIND_LCC,
    'Hotine Oblique Mercator (variant A)': KIND_HOTINE,
}
EPSG_METHOD_NAME = {9807: 'Transverse Mercator', 9802: 'Lambert Conic Conformal (2SP)'}
EPSG_PARAM_NAME = {
    8801: 'Latitude of natural origin', 8802: 'Longitude of natural origin',
    8805: 'Scale factor at natural origin', 8806: 'False easting', 8807: 'False northing',
    8821: 'Latitude of false origin', 8822: 'Longitude of false origin',
    8823: 'Latitude of 1st standard parallel', 8824: 'Latitude of 2nd standard parallel',
    8826: 'Easting at false origin', 8827: 'Northing at false origin',
}

# Guam is in no EPSG or ESRI zone with this definition's numbers; the rows are
# the catalogue's own. The central meridian is east longitude (Guam lies at
# 144.75 E): a west sign would put the zone's centre in the open Pacific.
GUAM = {
    65061: (UNIT_FOOT, [164041.666667, 164041.666667, 144.748751, 13.472466, 0, 0, 0, 0, 0, 0]),
    65161: (UNIT_METRE, [50000, 50000, 144.748751, 13.472466, 0, 0, 0, 0, 0, 0]),
}


def zones(text):
    for item in text.replace('\n', ',').split(','):
        item = item.strip()
        if item:
            code, zone, fips = item.split()
            yield int(code), zone, fips


def signed_angle(v):
    # Azimuths stored in [0, 360) are the same lines as their negative form;
    # keep every angle within (-180, 180] as the other rows do.
    # Round off the subtraction's last bits: the dataset gives ten decimals.
    return float('%.12g' % (v - 360.0)) if v > 180.0 else v


def from_tsv(path):
    rows = {}
    with open(path, newline='') as f:
        for r in csv.DictReader(f, delimiter='\t'):
            params = {}
            for i in range(1, 8):
                name = r['p%d_name' % i]
                if not name:
                    continue
                slot = SLOT[name]
                if slot in LENGTHS:
                    params[slot] = (float(r['p%d_value' % i]), r['p%d_unit' % i])
                else:
                    params[slot] = (float(r['p%d_std' % i]), 'degree')
            rows[int(r['code'])] = (r['method'], r['unit'], params)
    return rows


def from_esri(db, code):
    con = sqlite3.connect(db)
    row = con.execute("select c.* from projected_crs p join conversion c on "
                      "c.auth_name = p.conversion_auth_name and c.code = p.conversion_code "
                      "where p.auth_name = 'ESRI' and p.code = ?", (str(code),)).fetchone()
    cols = [d[0] for d in con.execute("select * from conversion limit 0").description]
    rec = dict(zip(cols, row))
    params = {}
    for i in range(1, 8):
        pcode = rec.get('param%d_code' % i)
        if pcode is None:
            continue
        slot = SLOT[EPSG_PARAM_NAME[int(pcode)]]
        uom = int(rec['param%d_uom_code' % i])
        value = float(rec['param%d_value' % i])
        if slot in LENGTHS:
            assert uom == 9003, (code, uom)  # US survey foot
            params[slot] = (value, 'US survey foot')
        else:
            assert uom == 9102 or uom == 9201, (code, uom)  # degree, unity
            params[slot] = (value, 'degree')
    return EPSG_METHOD_NAME[int(rec['method_code'])], 'US survey foot', params


def fmt(v):
    if v == int(v) and abs(v) < 1e15:
        return '%d' % v
    return repr(v)


def main():
    tsv = sys.argv[1] if len(sys.argv) > 1 else '/work/shared/data/stateplane-epsg.tsv'
    db = sys.argv[2] if len(sys.argv) > 2 else '/usr/share/proj/proj.db'
    epsg = from_tsv(tsv)
    out = []
    for datum, text, gcs, units, unit_name in (
            ('NAD_1927', NAD_1927, GCS_NAD27, UNIT_FOOT, 'US survey foot'),
            ('NAD_1983', NAD_1983, GCS_NAD83, UNIT_METRE, 'metre')):
        for code, zone, fips in zones(text):
            name = '%s_StatePlane_%s_FIPS_%s' % (datum, zone, fips)
            if code in GUAM:
                u, p = GUAM[code]
                out.append((code, name, u, gcs, KIND_POLYCONIC, p, 'catalogue'))
                continue
            source = 'EPSG'
            if code in epsg:
                method, grid_unit, params = epsg[code]
            else:
                method, grid_unit, params = from_esri(db, code)
                source = 'ESRI'
            assert grid_unit == unit_name, (code, grid_unit)
            p = [0.0] * 10
            p[6] = 1.0  # the Lambert rows leave the scale at unity
            for slot, (value, unit) in params.items():
                if slot in LENGTHS:
                    assert unit == unit_name, (code, unit)
                    p[slot] = value
                else:
                    p[slot] = signed_angle(value)
            kind = KIND_OF_METHOD[method]
            out.append((code, name, units, gcs, kind, p, source))
    out.sort()
    assert len(out) == 252, len(out)

    w = sys.stdout.write
    w('// Generated by tools/gen_stateplane.py from the EPSG dataset (proj.db); do not edit.\n')
    w('// United States State Plane zones on NAD 1927 (feet) and NAD 1983 (metres). The\n')
    w('// Alaska zone 1 rows use the Hotine oblique Mercator on the natural origin with the\n')
    w('// rectified-grid angle in the first standard parallel; the Guam rows are the\n')
    w('// catalogue\'s own polyconic definitions.\n')
    w('#include "model/catalogue/projected_table_p.h"\n\n')
    w('namespace {\n')
    w('// code, name, units, geographic system, kind, FE, FN, CM, CP, SP1, SP2, k, AZ, LON1, LON2\n')
    w('// clang-format off\n')
    w('const ZrProjectedTableRow kStatePlane[] = {\n')
    for code, name, units, gcs, kind, p, source in out:
        w('    {%d, "%s", %d, %d, %d, // %s\n' % (code, name, units, gcs, kind, source))
        values = [fmt(v) for v in p]
        line = '     {%s}},\n' % ', '.join(values)
        if len(line) > 111:
            line = '     {%s,\n      %s}},\n' % (', '.join(values[:5]), ', '.join(values[5:]))
        w(line)
    w('};\n')
    w('// clang-format on\n')
    w('} // namespace\n\n')
    w('const ZrProjectedTable& ZrStatePlaneTable() {\n')
    w('    static const ZrProjectedTable table = {kStatePlane, sizeof kStatePlane / sizeof kStatePlane[0]};\n')
    w('    return table;\n')
    w('}\n')


if __name__ == '__main__':
    main()
