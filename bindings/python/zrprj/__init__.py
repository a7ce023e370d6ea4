"""ZrPrj50 from Python: coordinate systems, transformations and geodesics.

The names follow pyproj's, so that a script written for it reads the same:

>>> import zrprj
>>> t = zrprj.Transformer.from_crs(4326, 32650, always_xy=True)
>>> x, y = t.transform(117.0, 30.0)

Arrays are NumPy float64 arrays handed to the library as they lie (any
stride); the interpreter's lock is released while the points are done, so
threads transform in parallel.
"""

import numbers

import numpy as np

from . import _zrprj
from ._zrprj import ZrError

__all__ = ["CRS", "Transformer", "TransformDirection", "Geod", "ZrError", "__version__"]
__version__ = _zrprj.__version__

_WKT_VERSIONS = {
    "WKT2_2019": _zrprj.FORMAT_WKT2_2019,
    "WKT2_2018": _zrprj.FORMAT_WKT2_2019,
    "WKT2": _zrprj.FORMAT_WKT2_2019,
    "WKT1_GDAL": _zrprj.FORMAT_WKT1_GDAL,
    "WKT1": _zrprj.FORMAT_WKT1_GDAL,
    "WKT1_ESRI": _zrprj.FORMAT_ESRI_WKT1,
    "ESRI": _zrprj.FORMAT_ESRI_WKT1,
}


class CRS:
    """A coordinate system: geographic, projected or planar."""

    def __init__(self, projparams=None):
        # What the system was made from, so that it pickles (to Dask's
        # workers, to other processes) as itself, catalogue row and all.
        self._input = projparams._input if isinstance(projparams, CRS) else projparams
        if isinstance(projparams, CRS):
            self._crs, self._epsg_axes = projparams._crs, projparams._epsg_axes
        elif isinstance(projparams, numbers.Integral):
            self._crs = _zrprj._Crs.from_authority("EPSG", int(projparams))
            self._epsg_axes = True
        elif isinstance(projparams, tuple) and len(projparams) == 2:
            authority, code = projparams
            self._crs = _zrprj._Crs.from_authority(str(authority), int(code))
            self._epsg_axes = str(authority).upper() == "EPSG"
        else:
            self._from_text(projparams)
        # EPSG orders a geographic system's axes latitude first; pyproj
        # follows it unless always_xy is given.
        self._lat_first = self._epsg_axes and self._crs.kind() == 1

    def _from_text(self, projparams):
        if isinstance(projparams, dict):
            import json

            projparams = json.dumps(projparams)
        if not isinstance(projparams, str):
            raise TypeError("a CRS is made from an EPSG code, (authority, code), a CRS or text, not %r"
                            % type(projparams).__name__)
        self._crs = _zrprj._Crs.from_user_input(projparams)
        self._epsg_axes = projparams.strip().upper().startswith("EPSG:")

    @classmethod
    def from_epsg(cls, code):
        return cls(int(code))

    @classmethod
    def from_authority(cls, auth_name, code):
        return cls((auth_name, code))

    @classmethod
    def from_user_input(cls, value):
        return value if isinstance(value, CRS) else cls(value)

    @classmethod
    def from_string(cls, text):
        return cls(str(text))

    from_wkt = from_string
    from_proj4 = from_string

    @classmethod
    def from_json(cls, text):
        return cls(str(text))

    @classmethod
    def from_json_dict(cls, value):
        return cls(dict(value))

    @classmethod
    def from_catalogue(cls, code):
        """A system of the library's own catalogue by its code."""
        return cls(("ZRPRJ", code))

    def to_wkt(self, version="WKT2_2019", pretty=False):
        try:
            fmt = _WKT_VERSIONS[str(version).upper()]
        except KeyError:
            raise ValueError("unknown WKT version %r (one of %s)" % (version, ", ".join(_WKT_VERSIONS)))
        return self._crs.export(fmt)

    def to_proj4(self, version=4):
        return self._crs.export(_zrprj.FORMAT_PROJ_STRING)

    def to_json(self, pretty=False, indentation=2):
        return self._crs.export(_zrprj.FORMAT_PROJJSON)

    def to_json_dict(self):
        import json

        return json.loads(self.to_json())

    def to_esri_wkt(self):
        return self._crs.export(_zrprj.FORMAT_ESRI_WKT1)

    def to_text(self):
        """The library's one-line text form."""
        return self._crs.export(_zrprj.FORMAT_TEXT)

    def to_xml(self):
        return self._crs.export(_zrprj.FORMAT_XML)

    def to_epsg(self, min_confidence=70):
        code = self._crs.epsg()
        return None if code == -1000 else int(code)

    def to_authority(self, auth_name=None, min_confidence=70):
        code = self.to_epsg()
        return None if code is None else ("EPSG", str(code))

    @property
    def name(self):
        return self._crs.name()

    @property
    def is_geographic(self):
        return self._crs.kind() == 1

    @property
    def is_projected(self):
        return self._crs.kind() == 2

    @property
    def geodetic_crs(self):
        """The geographic system; latitude first where EPSG named the system."""
        if self.is_geographic:
            return self
        crs = CRS.__new__(CRS)
        crs._crs = self._crs.geographic()
        code = crs._crs.epsg()
        crs._input = None if code == -1000 else "EPSG:%d" % code
        crs._lat_first = self._epsg_axes
        crs._epsg_axes = self._epsg_axes
        return crs

    def __reduce__(self):
        if self._input is None:
            return (CRS, (self._crs.export(_zrprj.FORMAT_WKT2_2019),))
        return (CRS, (self._input,))

    @property
    def ellipsoid_axes(self):
        """(semi-major axis in metres, inverse flattening; 0 for a sphere)."""
        return self._crs.ellipsoid()

    def to_string(self):
        code = self.to_epsg()
        return "EPSG:%d" % code if code is not None else self.to_proj4()

    def __eq__(self, other):
        """The same system, names aside."""
        try:
            other = CRS.from_user_input(other)
        except Exception:
            return False
        return self._crs.equals(other._crs)

    def __hash__(self):
        return hash((self._crs.kind(), self.to_epsg()))

    def __str__(self):
        return self.to_string()

    def __repr__(self):
        return "<zrprj.CRS %s: %s>" % (self.to_string(), self.name)


class TransformDirection:
    FORWARD = "FORWARD"
    INVERSE = "INVERSE"


def _is_forward(direction):
    name = getattr(direction, "name", direction)
    name = str(name).upper()
    if name not in ("FORWARD", "INVERSE"):
        raise ValueError("direction is FORWARD or INVERSE, not %r" % (direction,))
    return name == "FORWARD"


def _column(value, inplace):
    """value as a float64 array the library may write, and how to give it back."""
    if isinstance(value, np.ndarray):
        if inplace and value.dtype == np.float64 and value.flags.writeable:
            return value, lambda a: a
        return np.array(value, dtype=np.float64), lambda a: a
    if isinstance(value, numbers.Real):
        return np.array([value], dtype=np.float64), lambda a: float(a[0])
    if isinstance(value, (list, tuple)):
        kind = type(value)
        return np.array(value, dtype=np.float64), lambda a: kind(a.tolist())
    # Anything else that NumPy reads (pandas Series, array-likes) comes back as an array.
    return np.array(value, dtype=np.float64), lambda a: a


class Transformer:
    """From one coordinate system to another."""

    def __init__(self, crs_from, crs_to, always_xy=False, operation=None):
        self.source_crs = CRS.from_user_input(crs_from)
        self.target_crs = CRS.from_user_input(crs_to)
        self._t = _zrprj._Transformer(self.source_crs._crs, self.target_crs._crs, operation)
        self._swap_in = not always_xy and self.source_crs._lat_first
        self._swap_out = not always_xy and self.target_crs._lat_first
        self._args = (self.source_crs, self.target_crs, always_xy, operation)

    def __reduce__(self):
        return (Transformer, self._args)

    @classmethod
    def from_crs(cls, crs_from, crs_to, always_xy=False, operation=None, **_ignored):
        """operation: an EPSG transformation ("EPSG:1193" or 1193); else the library's choice."""
        return cls(crs_from, crs_to, always_xy=always_xy, operation=operation)

    @property
    def description(self):
        return self._t.description()

    def transform(self, xx, yy, zz=None, direction="FORWARD", inplace=False, errcheck=False, tt=None,
                  **_ignored):
        """The points in the source system (or the target's, INVERSE) in the other one.

        Scalars, lists and tuples come back as they went in; NumPy arrays as
        new arrays, or the same arrays written over with inplace=True. A
        point with a non-finite coordinate or a latitude beyond 90 degrees
        comes back as inf (errcheck=True raises). tt is the points'
        coordinate epoch (decimal year, one for all of them, as pyproj's tt
        of equal times), for operations that move with time."""
        if tt is not None:
            times = np.unique(np.asarray(tt, dtype=np.float64))
            if times.size != 1:
                raise ValueError("tt takes one epoch for all the points")
            self._t.set_epoch(float(times[0]))
            try:
                return self.transform(xx, yy, zz, direction, inplace, errcheck)
            finally:
                self._t.set_epoch(float("nan"))
        forward = _is_forward(direction)
        swap_in, swap_out = (self._swap_in, self._swap_out) if forward else (self._swap_out, self._swap_in)
        if swap_in:
            xx, yy = yy, xx
        x, back_x = _column(xx, inplace)
        y, back_y = _column(yy, inplace)
        z, back_z = _column(zz, inplace) if zz is not None else (None, None)
        failed = self._t.transform(x, y, z, forward)
        if failed and errcheck:
            raise ZrError("%d points have no image" % failed)
        if swap_out:
            x, y, back_x, back_y = y, x, back_y, back_x
        if z is None:
            return back_x(x), back_y(y)
        return back_x(x), back_y(y), back_z(z)

    def itransform(self, points, switch=False, direction="FORWARD", errcheck=False, **_ignored):
        """Each (x, y[, z]) of an iterable, transformed, in blocks: a generator."""
        import itertools

        iterator = iter(points)
        while True:
            block = list(itertools.islice(iterator, 4096))
            if not block:
                return
            a = np.array(block, dtype=np.float64)
            if a.ndim != 2 or a.shape[1] not in (2, 3):
                raise ValueError("itransform takes points of 2 or 3 coordinates")
            if switch:
                a[:, [0, 1]] = a[:, [1, 0]]
            cols = [a[:, i].copy() for i in range(a.shape[1])]
            out = self.transform(*cols, direction=direction, inplace=True, errcheck=errcheck)
            result = np.column_stack(out)
            if switch:
                result[:, [0, 1]] = result[:, [1, 0]]
            for row in result:
                yield tuple(float(v) for v in row)

    def __repr__(self):
        return "<zrprj.Transformer %s -> %s: %s>" % (self.source_crs, self.target_crs, self.description)


# The usual ellipsoids by PROJ's names, in their defining figures (semi-major
# axis and inverse flattening, or both axes). The catalogue's spheroids carry
# the digits the library's stored systems were made with, a few of them
# fewer than these; a Geod named like pyproj's measures as pyproj's does.
_ELLIPSOIDS = {
    "WGS84": (6378137.0, 298.257223563, None),
    "GRS80": (6378137.0, 298.257222101, None),
    "WGS72": (6378135.0, 298.26, None),
    "intl": (6378388.0, 297.0, None),
    "bessel": (6377397.155, 299.1528128, None),
    "clrk66": (6378206.4, None, 6356583.8),
    "clrk80": (6378249.145, 293.4663, None),
    "krass": (6378245.0, 298.3, None),
    "airy": (6377563.396, 299.3249646, None),
    "mod_airy": (6377340.189, None, 6356034.446),
    "GRS67": (6378160.0, 298.247167427, None),
    "aust_SA": (6378160.0, 298.25, None),
    "evrst30": (6377276.345, 300.8017, None),
    "sphere": (6370997.0, None, 6370997.0),
}


class Geod:
    """Geodesics on an ellipsoid: Geod(ellps="WGS84"), Geod(a=..., rf=... or f=... or b=...)."""

    def __init__(self, initstring=None, ellps=None, a=None, b=None, f=None, rf=None, es=None, sphere=False):
        if initstring:
            params = dict(item.lstrip("+").split("=", 1) for item in initstring.split() if "=" in item)
            ellps = params.get("ellps", ellps)
            a = float(params["a"]) if "a" in params else a
            b = float(params["b"]) if "b" in params else b
            f = float(params["f"]) if "f" in params else f
            rf = float(params["rf"]) if "rf" in params else rf
        if a is None and (ellps or "WGS84") in _ELLIPSOIDS:
            a, rf, b = _ELLIPSOIDS[ellps or "WGS84"]
        elif a is None:
            # Other names as the library's reader of PROJ strings knows them.
            crs = CRS("+proj=longlat +ellps=%s +no_defs +type=crs" % ellps)
            a, inverse = crs.ellipsoid_axes
            f = 0.0 if inverse == 0 else 1.0 / inverse
        if f is None:
            if rf is not None:
                f = 0.0 if rf == 0 else 1.0 / rf
            elif b is not None:
                f = (a - b) / a
            elif es is not None:
                f = 1.0 - (1.0 - es) ** 0.5
            else:
                f = 0.0
        if sphere:
            f = 0.0
        self.a, self.f = float(a), float(f)
        self.b = self.a * (1.0 - self.f)
        self.es = self.f * (2.0 - self.f)
        self.sphere = self.f == 0.0
        self._g = _zrprj._Geod(self.a, self.f)

    @staticmethod
    def _columns(*values):
        arrays = [np.array(v, dtype=np.float64, ndmin=1) for v in values]
        arrays = np.broadcast_arrays(*arrays)
        scalar = all(np.ndim(v) == 0 for v in values)
        return [np.ascontiguousarray(a, dtype=np.float64).copy() for a in arrays], scalar

    @staticmethod
    def _back(scalar, *arrays):
        return tuple(float(a.ravel()[0]) for a in arrays) if scalar else arrays

    @staticmethod
    def _reverse(azimuth):
        # pyproj gives the back azimuth, from the second point to the first.
        back = azimuth + 180.0
        return np.where(back > 180.0, back - 360.0, back)

    def inv(self, lons1, lats1, lons2, lats2, radians=False, **_ignored):
        """(forward azimuth, back azimuth, distance in metres) between the points."""
        (l1, p1, l2, p2), scalar = self._columns(lons1, lats1, lons2, lats2)
        if radians:
            l1, p1, l2, p2 = (np.degrees(v) for v in (l1, p1, l2, p2))
        az12, az21, dist = (np.empty_like(l1) for _ in range(3))
        self._g.inverse(l1.ravel(), p1.ravel(), l2.ravel(), p2.ravel(), az12.ravel(), az21.ravel(), dist.ravel())
        az21 = self._reverse(az21)
        if radians:
            az12, az21 = np.radians(az12), np.radians(az21)
        return self._back(scalar, az12, az21, dist)

    def fwd(self, lons, lats, az, dist, radians=False, **_ignored):
        """(longitude, latitude, back azimuth) at dist metres from the points along az."""
        (lo, la, a, d), scalar = self._columns(lons, lats, az, dist)
        if radians:
            lo, la, a = (np.degrees(v) for v in (lo, la, a))
        lon2, lat2, az2 = (np.empty_like(lo) for _ in range(3))
        self._g.direct(lo.ravel(), la.ravel(), a.ravel(), d.ravel(), lon2.ravel(), lat2.ravel(), az2.ravel())
        az21 = self._reverse(az2)
        if radians:
            lon2, lat2, az21 = np.radians(lon2), np.radians(lat2), np.radians(az21)
        return self._back(scalar, lon2, lat2, az21)

    def line_length(self, lons, lats, radians=False):
        lons, lats = np.asarray(lons, dtype=np.float64), np.asarray(lats, dtype=np.float64)
        return float(np.sum(self.inv(lons[:-1], lats[:-1], lons[1:], lats[1:], radians=radians)[2]))

    def polygon_area_perimeter(self, lons, lats, radians=False):
        """(signed area in square metres, counter-clockwise positive; perimeter in metres)."""
        lo = np.array(lons, dtype=np.float64, ndmin=1)
        la = np.array(lats, dtype=np.float64, ndmin=1)
        if radians:
            lo, la = np.degrees(lo), np.degrees(la)
        area, perimeter = self._g.polygon(lo, la)
        return area, perimeter

    def __repr__(self):
        return "Geod(a=%r, f=%r)" % (self.a, self.f)
