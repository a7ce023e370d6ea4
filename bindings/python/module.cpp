// The extension _zrprj under the Python package zrprj: thin handles over the
// C interface. NumPy arrays are handed to the library as they lie, strides
// and all, and the interpreter's lock is released while the points are done.
#include <ZrPrj50/zrprj.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace py = pybind11;

namespace {

// Python's exception for every failure the library reports.
PyObject* g_error = nullptr;

[[noreturn]] void Raise(zr_status status) {
    const char* message = nullptr;
    zr_last_error(&message);
    std::string text =
        message && *message ? message : "the library reported status " + std::to_string(status);
    if (status == ZR_ERR_ARGUMENT) throw py::value_error(text);
    PyErr_SetString(g_error, text.c_str());
    throw py::error_already_set();
}

void Check(zr_status status) {
    if (status != ZR_OK) Raise(status);
}

struct Crs {
    std::shared_ptr<zr_crs> handle;
    explicit Crs(zr_crs* crs) : handle(crs, zr_crs_destroy) {}

    static Crs FromUserInput(const std::string& text) {
        zr_crs* crs = nullptr;
        Check(zr_crs_from_user_input(text.c_str(), &crs));
        return Crs(crs);
    }
    static Crs FromAuthority(const std::string& authority, long code) {
        zr_crs* crs = nullptr;
        Check(zr_crs_from_authority(authority.c_str(), code, &crs));
        return Crs(crs);
    }
    std::string Export(int format) const {
        size_t length = 0;
        Check(zr_crs_export(handle.get(), static_cast<zr_format>(format), nullptr, 0, &length));
        std::string text(length + 1, '\0');
        Check(zr_crs_export(handle.get(), static_cast<zr_format>(format), &text[0], text.size(), &length));
        text.resize(length);
        return text;
    }
    std::string Name() const {
        const char* name = nullptr;
        Check(zr_crs_name(handle.get(), &name));
        return name;
    }
    int Kind() const {
        zr_crs_kind kind = ZR_CRS_PLANAR;
        Check(zr_crs_kind_of(handle.get(), &kind));
        return kind;
    }
    long Epsg() const {
        long code = -1000;
        Check(zr_crs_epsg_code(handle.get(), &code));
        return code;
    }
    py::tuple Ellipsoid() const {
        double a = 0, rf = 0;
        Check(zr_crs_ellipsoid(handle.get(), &a, &rf));
        return py::make_tuple(a, rf);
    }
    bool Equals(const Crs& other) const {
        int equal = 0;
        Check(zr_crs_equals(handle.get(), other.handle.get(), &equal));
        return equal != 0;
    }
    Crs Geographic() const {
        zr_crs* crs = nullptr;
        Check(zr_crs_geographic(handle.get(), &crs));
        return Crs(crs);
    }
};

// A float64 array the library may write, as a base address and a stride in
// bytes over its n elements: one dimension with any stride, or any number of
// dimensions lying contiguous.
struct Column {
    double* data = nullptr;
    ptrdiff_t stride = 0;
    size_t size = 0;
};

Column ColumnOf(py::array& a, const char* name) {
    if (!a.dtype().is(py::dtype::of<double>()))
        throw py::type_error(std::string(name) + " must be a float64 array");
    if (!a.writeable()) throw py::value_error(std::string(name) + " is read-only");
    Column c;
    c.data = static_cast<double*>(a.mutable_data());
    c.size = static_cast<size_t>(a.size());
    if (a.ndim() == 1) {
        c.stride = a.strides(0);
    } else if (a.flags() & (py::array::c_style | py::array::f_style)) {
        c.stride = sizeof(double);
    } else {
        throw py::value_error(std::string(name) + " must be one-dimensional or contiguous");
    }
    return c;
}

struct Transformer {
    std::shared_ptr<zr_transformer> handle;

    Transformer(const Crs& src, const Crs& dst, py::object operation) {
        zr_transformer* t = nullptr;
        if (operation.is_none()) {
            Check(zr_transformer_create(src.handle.get(), dst.handle.get(), &t));
        } else {
            const std::string op = py::str(operation);
            Check(zr_transformer_create_with_operation(src.handle.get(), dst.handle.get(), op.c_str(), &t));
        }
        handle.reset(t, zr_transformer_destroy);
    }

    std::string Description() const {
        const char* text = nullptr;
        Check(zr_transformer_description(handle.get(), &text));
        return text;
    }

    // The coordinate epoch of the next points (NaN: none), for operations that move with time.
    void SetEpoch(double epoch) { Check(zr_transformer_set_epoch(handle.get(), epoch)); }

    // In place; returns the number of points without an image (set to inf).
    size_t Transform(py::array x, py::array y, py::object z, bool forward) const {
        const Column cx = ColumnOf(x, "x"), cy = ColumnOf(y, "y");
        Column cz;
        if (!z.is_none()) {
            py::array za = z.cast<py::array>();
            cz = ColumnOf(za, "z");
        }
        if (cy.size != cx.size || (cz.data && cz.size != cx.size))
            throw py::value_error("the coordinate arrays differ in length");
        size_t failed = 0;
        zr_status status;
        {
            py::gil_scoped_release unlocked;
            status = zr_transform(handle.get(), forward ? ZR_FORWARD : ZR_INVERSE, cx.size, cx.data,
                                  cx.stride, cy.data, cy.stride, cz.data, cz.stride, &failed);
        }
        if (status != ZR_OK && status != ZR_ERR_POINTS) Raise(status);
        return failed;
    }
};

struct Geod {
    std::shared_ptr<zr_geod> handle;
    Geod(double a, double f) {
        zr_geod* g = nullptr;
        Check(zr_geod_create_ellipsoid(a, f, &g));
        handle.reset(g, zr_geod_destroy);
    }

    // Over equal-length float64 arrays, in place where pyproj's Geod writes:
    // inverse writes azimuth 1, azimuth 2 (forward, at the second point) and
    // distance into a, b, c; points it cannot solve become nan.
    void Inverse(py::array lon1, py::array lat1, py::array lon2, py::array lat2, py::array a, py::array b,
                 py::array c) const {
        const Column l1 = ColumnOf(lon1, "lons1"), p1 = ColumnOf(lat1, "lats1"), l2 = ColumnOf(lon2, "lons2"),
                     p2 = ColumnOf(lat2, "lats2"), ca = ColumnOf(a, "az12"), cb = ColumnOf(b, "az21"),
                     cc = ColumnOf(c, "dist");
        const size_t n = l1.size;
        if (p1.size != n || l2.size != n || p2.size != n || ca.size != n || cb.size != n || cc.size != n)
            throw py::value_error("the arrays differ in length");
        py::gil_scoped_release unlocked;
        for (size_t i = 0; i < n; ++i) {
            double* out[3] = {At(ca, i), At(cb, i), At(cc, i)};
            if (zr_geod_inverse(handle.get(), *At(l1, i), *At(p1, i), *At(l2, i), *At(p2, i), out[0], out[1],
                                out[2]) != ZR_OK)
                *out[0] = *out[1] = *out[2] = NAN;
        }
    }
    void Direct(py::array lon, py::array lat, py::array azi, py::array dist, py::array lon2, py::array lat2,
                py::array azi2) const {
        const Column l = ColumnOf(lon, "lons"), p = ColumnOf(lat, "lats"), a = ColumnOf(azi, "az"),
                     d = ColumnOf(dist, "dist"), l2 = ColumnOf(lon2, "lons2"), p2 = ColumnOf(lat2, "lats2"),
                     a2 = ColumnOf(azi2, "az2");
        const size_t n = l.size;
        if (p.size != n || a.size != n || d.size != n || l2.size != n || p2.size != n || a2.size != n)
            throw py::value_error("the arrays differ in length");
        py::gil_scoped_release unlocked;
        for (size_t i = 0; i < n; ++i) {
            if (zr_geod_direct(handle.get(), *At(l, i), *At(p, i), *At(a, i), *At(d, i), At(l2, i), At(p2, i),
                               At(a2, i)) != ZR_OK)
                *At(l2, i) = *At(p2, i) = *At(a2, i) = NAN;
        }
    }
    py::tuple Polygon(py::array lon, py::array lat) const {
        const Column l = ColumnOf(lon, "lons"), p = ColumnOf(lat, "lats");
        if (p.size != l.size) throw py::value_error("the arrays differ in length");
        double area = 0, perimeter = 0;
        zr_status status;
        {
            py::gil_scoped_release unlocked;
            status =
                zr_geod_polygon(handle.get(), l.size, l.data, l.stride, p.data, p.stride, &area, &perimeter);
        }
        Check(status);
        return py::make_tuple(area, perimeter);
    }

private:
    static double* At(const Column& c, size_t i) {
        return reinterpret_cast<double*>(reinterpret_cast<char*>(c.data) +
                                         static_cast<ptrdiff_t>(i) * c.stride);
    }
};

} // namespace

PYBIND11_MODULE(_zrprj, m) {
    m.doc() = "ZrPrj50's C interface for the Python package zrprj";
    static py::exception<std::runtime_error> error(m, "ZrError");
    g_error = error.ptr();

    const char* text = nullptr;
    zr_version(nullptr, nullptr, nullptr, &text);
    m.attr("__version__") = text;
    m.attr("FORMAT_ESRI_WKT1") = static_cast<int>(ZR_FORMAT_ESRI_WKT1);
    m.attr("FORMAT_WKT1_GDAL") = static_cast<int>(ZR_FORMAT_WKT1_GDAL);
    m.attr("FORMAT_WKT2_2019") = static_cast<int>(ZR_FORMAT_WKT2_2019);
    m.attr("FORMAT_PROJ_STRING") = static_cast<int>(ZR_FORMAT_PROJ_STRING);
    m.attr("FORMAT_PROJJSON") = static_cast<int>(ZR_FORMAT_PROJJSON);
    m.attr("FORMAT_TEXT") = static_cast<int>(ZR_FORMAT_TEXT);
    m.attr("FORMAT_XML") = static_cast<int>(ZR_FORMAT_XML);
    m.attr("FORMAT_KEY_VALUE") = static_cast<int>(ZR_FORMAT_KEY_VALUE);

    py::class_<Crs>(m, "_Crs")
        .def_static("from_user_input", &Crs::FromUserInput)
        .def_static("from_authority", &Crs::FromAuthority)
        .def("export", &Crs::Export)
        .def("name", &Crs::Name)
        .def("kind", &Crs::Kind)
        .def("epsg", &Crs::Epsg)
        .def("ellipsoid", &Crs::Ellipsoid)
        .def("equals", &Crs::Equals)
        .def("geographic", &Crs::Geographic);
    py::class_<Transformer>(m, "_Transformer")
        .def(py::init<const Crs&, const Crs&, py::object>())
        .def("description", &Transformer::Description)
        .def("set_epoch", &Transformer::SetEpoch, py::arg("epoch"))
        .def("transform", &Transformer::Transform, py::arg("x"), py::arg("y"), py::arg("z"),
             py::arg("forward"));
    py::class_<Geod>(m, "_Geod")
        .def(py::init<double, double>())
        .def("inverse", &Geod::Inverse)
        .def("direct", &Geod::Direct)
        .def("polygon", &Geod::Polygon);
}
