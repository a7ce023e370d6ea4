"""The Python module zrprj against pyproj (PROJ) as the oracle on the same points,
and the pyproj-shaped interface a script relies on."""

import os
import threading
import time

import numpy as np
import pyproj
import pytest

import zrprj

# Printed coordinates carry millimetres; every system below agrees with PROJ
# to well under that (the largest, UTM's series far from the meridian and
# Mercator's, are about 0.45 mm).
MM = 1e-3
# Metres per degree of latitude, near enough to turn an angular miss into a
# ground distance for a millimetre bar.
METRES_PER_DEGREE = 111320.0
POINTS = int(os.environ.get("ZRPRJ_ORACLE_POINTS", "1000000"))

# (geographic system, projected system): each projected system from its own
# geographic one, so that neither library shifts a datum. One or two of each
# family of kinds, in both hemispheres, metres and US feet.
SYSTEMS = [
    (4326, 32650),  # UTM 50N: the README's example
    (4326, 32733),  # UTM 33S
    (4326, 3857),  # web Mercator on the sphere
    (4326, 3395),  # world Mercator on the ellipsoid
    (4326, 6933),  # cylindrical equal area (EASE-Grid 2.0)
    (4326, "ESRI:54008"),  # world sinusoidal, an ESRI code
    (4171, 2154),  # Lambert conic, France
    (4258, 3034),  # Lambert conic, Europe
    (4269, 3347),  # Lambert conic, Canada
    (4283, 3112),  # Lambert conic, Australia
    (4269, 5070),  # Albers, the United States
    (4283, 3577),  # Albers, Australia
    (4167, 2193),  # transverse Mercator, New Zealand (EPSG orders it northing first)
    (4258, 3067),  # transverse Mercator, Finland
    (4258, 25832),  # UTM on ETRS89
    (4269, 26915),  # UTM on NAD83
    (4269, 2263),  # transverse Mercator in US survey feet, New York Long Island
    (4490, 4547),  # Gauss-Krueger on CGCS2000
    (4214, 21420),  # Gauss-Krueger zone 20 on Beijing 1954
    (4141, 2039),  # transverse Mercator, Israel
    (4150, 2056),  # Hotine oblique Mercator, Switzerland
    (4269, 3978),  # Lambert conic, Canada Atlas
]


def _pyproj_crs(code):
    return pyproj.CRS(code if isinstance(code, str) else "EPSG:%d" % code)


def _zrprj_crs(code):
    return code if isinstance(code, str) else "EPSG:%d" % code


def _random_points(code, n, seed):
    """n points spread over the projected system's area of use."""
    area = _pyproj_crs(code).area_of_use
    rng = np.random.default_rng(seed)
    return rng.uniform(area.west, area.east, n), rng.uniform(area.south, area.north, n)


@pytest.mark.parametrize("geographic,projected", SYSTEMS, ids=[str(p) for _, p in SYSTEMS])
def test_agrees_with_pyproj_on_random_points(geographic, projected):
    lon, lat = _random_points(projected, POINTS, seed=abs(hash(str(projected))) % 2**32)
    ours = zrprj.Transformer.from_crs(geographic, _zrprj_crs(projected), always_xy=True)
    theirs = pyproj.Transformer.from_crs(geographic, _pyproj_crs(projected), always_xy=True)
    assert ours.description.startswith("none")

    x, y = ours.transform(lon, lat)
    px, py = theirs.transform(lon, lat)
    miss = np.hypot(x - px, y - py)
    assert np.all(np.isfinite(miss))
    assert miss.max() < MM, "forward misses PROJ by %.3f mm at most" % (miss.max() * 1e3)

    # Back from PROJ's own projected points, and PROJ's image of what we
    # give: the miss in the map, where the two inverses are compared fairly
    # (near the poles of an equal-area cylinder a tenth of a millimetre in the
    # map is millimetres of latitude).
    blon, blat = ours.transform(px, py, direction="INVERSE")
    rx, ry = theirs.transform(blon, blat)
    miss = np.hypot(rx - px, ry - py)
    assert miss.max() < MM, "inverse misses by %.3f mm at most" % (miss.max() * 1e3)


def test_readme_example():
    x, y = zrprj.Transformer.from_crs(4326, 32650, always_xy=True).transform(117, 30)
    px, py = pyproj.Transformer.from_crs(4326, 32650, always_xy=True).transform(117, 30)
    assert isinstance(x, float) and abs(x - px) < MM and abs(y - py) < MM


def test_values_come_back_in_the_shape_they_went_in():
    t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    lon, lat = [117.0, 118.0], (30.0, 31.0)
    x, y = t.transform(lon, lat)
    assert isinstance(x, list) and isinstance(y, tuple) and len(x) == 2
    grid_lon, grid_lat = np.meshgrid(np.linspace(115, 119, 4), np.linspace(20, 40, 3))
    gx, gy = t.transform(grid_lon, grid_lat)
    assert gx.shape == (3, 4) and gx is not grid_lon
    assert grid_lon[0, 0] == 115.0, "a new array was asked for; the input changed"
    fx, fy = t.transform(grid_lon.ravel(), grid_lat.ravel())
    np.testing.assert_array_equal(gx.ravel(), fx)


def test_in_place_on_strided_columns_without_a_copy():
    """The columns of an (n, 3) array are strided views: transformed where they lie."""
    t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    points = np.column_stack([np.linspace(114, 120, 1001), np.linspace(0, 80, 1001), np.full(1001, 7.0)])
    expect_x, expect_y = t.transform(points[:, 0].copy(), points[:, 1].copy())
    x, y = t.transform(points[:, 0], points[:, 1], inplace=True)
    assert np.shares_memory(x, points) and np.shares_memory(y, points)
    np.testing.assert_array_equal(points[:, 0], expect_x)
    np.testing.assert_array_equal(points[:, 1], expect_y)
    assert np.all(points[:, 2] == 7.0)
    # Every other point of a reversed view, with a negative stride.
    lon = np.linspace(114, 120, 11)
    lat = np.linspace(0, 80, 11)
    view_x, view_y = lon[::-2], lat[::-2]
    t.transform(view_x, view_y, inplace=True)
    ex, ey = t.transform(np.linspace(114, 120, 11)[::-2].copy(), np.linspace(0, 80, 11)[::-2].copy())
    np.testing.assert_array_equal(lon[::-2], ex)
    assert lon[1] == np.linspace(114, 120, 11)[1], "points between the view's were touched"


def test_axis_order_follows_epsg_unless_always_xy():
    """pyproj reads EPSG:4326 latitude first unless always_xy; scripts count on it. The
    south-west Krovak gives its southing first either way, as pyproj does."""
    for target, lat, lon in (("EPSG:32650", 30.0, 117.0), ("EPSG:5513", 50.0, 15.0),
                             ("EPSG:5514", 50.0, 15.0)):
        for always_xy, point in ((False, (lat, lon)), (True, (lon, lat))):
            ours = zrprj.Transformer.from_crs("EPSG:4326", target, always_xy=always_xy).transform(*point)
            theirs = pyproj.Transformer.from_crs("EPSG:4326", target, always_xy=always_xy).transform(*point)
            assert abs(ours[0] - theirs[0]) < MM and abs(ours[1] - theirs[1]) < MM, (target, always_xy)
    back = zrprj.Transformer.from_crs(4326, 32650).transform(500000.0, 3318785.352, direction="INVERSE")
    assert abs(back[0] - 30.0) < 1e-8 and abs(back[1] - 117.0) < 1e-8


def test_itransform_and_three_dimensions():
    t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    points = [(117.0, 30.0), (118.0, 31.0), (119.0, 32.0)]
    out = list(t.itransform(points))
    x, y = t.transform([p[0] for p in points], [p[1] for p in points])
    assert out == list(zip(x, y))
    # switch: the points are (y, x), read and written so.
    switched = list(t.itransform([(p[1], p[0]) for p in points], switch=True))
    assert switched == [(b, a) for a, b in out]
    x3, y3, z3 = t.transform(np.array([117.0]), np.array([30.0]), np.array([55.5]))
    assert z3[0] == 55.5 and abs(x3[0] - x[0]) < MM


def test_datum_change_by_a_named_operation():
    """Beijing 1954 to WGS 84 UTM 50N by EPSG:15919, PROJ running that same operation."""
    lon, lat = _random_points(32650, 2000, seed=15919)
    lat = np.clip(lat, 20.0, 45.0)
    ours = zrprj.Transformer.from_crs(4214, 32650, always_xy=True, operation="EPSG:15919")
    assert "15919" in ours.description
    x, y = ours.transform(lon, lat)
    shift = pyproj.Transformer.from_pipeline("urn:ogc:def:coordinateOperation:EPSG::15919")
    glat, glon = shift.transform(lat, lon)  # EPSG's order: latitude first
    px, py = pyproj.Transformer.from_crs(4326, 32650, always_xy=True).transform(glon, glat)
    miss = np.hypot(x - px, y - py)
    # The catalogue's Krassowsky flattening carries fewer digits than EPSG's.
    assert miss.max() < MM, "misses PROJ by %.3f mm" % (miss.max() * 1e3)
    back_lon, back_lat = ours.transform(x, y, direction="INVERSE")
    assert METRES_PER_DEGREE * np.abs(back_lat - lat).max() < MM


def test_epoch_of_a_time_dependent_operation():
    """ITRF2014 to ETRF2000 at epoch 2020.0, as pyproj converts with the same tt; without tt the values
    hold at their reference epoch and the points land 16 cm away."""
    lon, lat, h = np.array([10.0, -5.0, 25.0]), np.array([50.0, 40.0, 60.0]), np.full(3, 100.0)
    ours = zrprj.Transformer.from_crs(9000, 9067, always_xy=True)
    x, y, z = ours.transform(lon, lat, h, tt=2020.0)
    px, py, pz, _ = pyproj.Transformer.from_crs(9000, 9067, always_xy=True).transform(lon, lat, h, np.full(3, 2020.0))
    miss = np.hypot(np.hypot((x - px) * np.cos(np.radians(lat)), y - py) * METRES_PER_DEGREE, z - pz)
    assert miss.max() < MM, "misses PROJ by %.3f mm" % (miss.max() * 1e3)
    x0, y0, _ = ours.transform(lon, lat, h)
    assert (np.hypot((x - x0) * np.cos(np.radians(lat)), y - y0) * METRES_PER_DEGREE).min() > 0.1
    with pytest.raises(ValueError):
        ours.transform(lon, lat, h, tt=[2020.0, 2021.0, 2022.0])


def test_failures_raise_or_give_inf():
    with pytest.raises(zrprj.ZrError):
        zrprj.CRS.from_epsg(999999)
    with pytest.raises(zrprj.ZrError):
        zrprj.CRS('PROJCS["broken", nonsense')
    with pytest.raises(zrprj.ZrError, match="no transformation .* between a geographic system EPSG does not list"):
        zrprj.Transformer.from_crs("+proj=longlat +a=6378388 +rf=297 +no_defs +type=crs", 4326)
    t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    x, y = t.transform(np.array([117.0, 117.0, np.nan]), np.array([30.0, 91.0, 30.0]))
    assert np.isfinite(x[0]) and np.isinf(x[1]) and np.isinf(y[2])
    with pytest.raises(zrprj.ZrError):
        t.transform(117.0, 91.0, errcheck=True)
    with pytest.raises(ValueError):
        t.transform(np.zeros(3), np.zeros(4))


def test_crs_exports_read_back_as_pyproj_reads_them():
    crs = zrprj.CRS.from_epsg(2154)
    assert crs.is_projected and not crs.is_geographic and crs.to_epsg() == 2154
    assert zrprj.CRS.from_user_input(4326).is_geographic
    lon, lat = _random_points(2154, 200, seed=2154)
    expect = pyproj.Transformer.from_crs(4171, 2154, always_xy=True).transform(lon, lat)
    for text in (crs.to_wkt(), crs.to_wkt("WKT1_GDAL"), crs.to_wkt("WKT1_ESRI"), crs.to_proj4(), crs.to_json()):
        # PROJ reads every form we write, and projects as EPSG's definition does.
        theirs = pyproj.CRS.from_user_input(text)
        x, y = pyproj.Transformer.from_crs(theirs.geodetic_crs, theirs, always_xy=True).transform(lon, lat)
        assert np.hypot(x - expect[0], y - expect[1]).max() < MM, text[:60]
        # And so do we.
        back = zrprj.CRS.from_user_input(text)
        x, y = zrprj.Transformer.from_crs(back.geodetic_crs, back, always_xy=True).transform(lon, lat)
        assert np.hypot(x - expect[0], y - expect[1]).max() < MM, text[:60]
    assert crs.to_json_dict()["type"] == "ProjectedCRS"
    with pytest.raises(ValueError):
        crs.to_wkt("WKT3")
    assert zrprj.CRS("EPSG:32650") == zrprj.CRS.from_catalogue(32650)


GEOD_CASES = [
    ("WGS84", (116.4, 39.9, 121.47, 31.23)),
    ("GRS80", (-74.0, 40.7, 2.35, 48.85)),
    ("intl", (0.0, 0.0, 179.5, 0.5)),  # nearly antipodal
    ("bessel", (13.4, 52.5, 13.5, 52.6)),
    ("andrae", (-21.9, 64.1, -18.1, 65.7)),  # not in the module's table: the library's
    ("clrk66", (-120.0, 35.0, -60.0, -35.0)),
]


@pytest.mark.parametrize("ellps,points", GEOD_CASES, ids=[c[0] for c in GEOD_CASES])
def test_geod_against_pyproj(ellps, points):
    ours, theirs = zrprj.Geod(ellps=ellps), pyproj.Geod(ellps=ellps)
    assert ours.a == theirs.a and abs(ours.f - theirs.f) < 1e-15, (ours, theirs.a, theirs.f)
    az12, az21, dist = ours.inv(*points)
    paz12, paz21, pdist = theirs.inv(*points)
    # Both are GeographicLib's solution: nanometres and nano-degrees.
    assert abs(dist - pdist) < 1e-6 and abs(az12 - paz12) < 1e-9 and abs(az21 - paz21) < 1e-9
    lon2, lat2, back = ours.fwd(points[0], points[1], az12, dist)
    assert abs(lon2 - points[2]) < 1e-9 and abs(lat2 - points[3]) < 1e-9 and abs(back - paz21) < 1e-9
    lons = np.array([points[0], points[2], points[2], points[0]])
    lats = np.array([points[1], points[1], points[3], points[3]])
    area, perimeter = ours.polygon_area_perimeter(lons, lats)
    parea, pperimeter = theirs.polygon_area_perimeter(lons, lats)
    assert abs(area - parea) < 1e-3 * max(1.0, abs(parea)) * 1e-6 + 1e-3 and abs(perimeter - pperimeter) < 1e-6


def test_geod_over_arrays():
    g, pg = zrprj.Geod(ellps="WGS84"), pyproj.Geod(ellps="WGS84")
    rng = np.random.default_rng(7)
    lon1, lat1 = rng.uniform(-180, 180, 1000), rng.uniform(-89, 89, 1000)
    lon2, lat2 = rng.uniform(-180, 180, 1000), rng.uniform(-89, 89, 1000)
    _, _, dist = g.inv(lon1, lat1, lon2, lat2)
    _, _, pdist = pg.inv(lon1, lat1, lon2, lat2)
    assert np.abs(dist - pdist).max() < 1e-6
    assert abs(g.line_length([0, 1, 2], [0, 0, 0]) - pg.line_length([0, 1, 2], [0, 0, 0])) < 1e-6


def test_transform_releases_the_interpreter_lock():
    """Another Python thread runs while a million points are transformed."""
    t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
    lon, lat = _random_points(32650, 2_000_000, seed=3)
    worker = threading.Thread(target=lambda: t.transform(lon, lat, inplace=True))
    ticks = 0
    worker.start()
    while worker.is_alive():
        ticks += 1
        time.sleep(0)
    worker.join()
    # Held, the lock would let this loop run only before and after the call.
    assert ticks > 100, "only %d ticks while the points were transformed" % ticks


def test_systems_and_transformers_pickle_as_themselves():
    """Dask and multiprocessing send them to other processes by pickling."""
    import pickle

    for crs in (zrprj.CRS(21420), zrprj.CRS.from_catalogue(21420), zrprj.CRS("EPSG:2154"),
                zrprj.CRS.from_epsg(2154).geodetic_crs):
        again = pickle.loads(pickle.dumps(crs))
        assert again == crs and again.name == crs.name
    t = zrprj.Transformer.from_crs(4214, 32650, operation="EPSG:15919")
    again = pickle.loads(pickle.dumps(t))
    assert again.description == t.description
    assert again.transform(39.9, 116.4) == t.transform(39.9, 116.4)
