// The C interface over the library's public classes. Each entry catches
// everything a C++ call may throw (allocation above all) and turns it into a
// status, since an exception must never unwind through a C caller's frames.
#include "ZrPrj50/zrprj.h"

#include "interop/ZrInterop.h"
#include "interop/ZrResolve.h"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJGeodesic.h"
#include "persistence/ZrPrjFiles.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>
#include <type_traits>
#include <string>
#include <vector>

struct zr_crs {
    CZrPJCoordSys cs;
    std::string name;
    // A datum shift the text stated (TOWGS84, BOUNDCRS, +towgs84,
    // +nadgrids=@null), kept beside the system as PROJ's BoundCRS keeps it:
    // conversions apply it and exports write it back.
    ZrCarriedShift shift;
};

struct zr_transformer {
    CZrPJTranslator translator;
    // Which side reads longitude/latitude, for the domain check of the input.
    bool srcGeographic = false, dstGeographic = false;
    // Which side takes its coordinates in EPSG's order, the model's y first
    // (the south-west Krovak systems: southing, then westing, as PROJ gives them).
    bool srcSwapped = false, dstSwapped = false;
    std::string description;
};

struct zr_geod {
    CZrGeodesic geodesic;
};

namespace {

thread_local std::string t_lastError;

zr_status Fail(zr_status status, std::string message) {
    t_lastError = std::move(message);
    return status;
}

// Runs body, turning whatever it throws into a status; a success clears the
// thread's last error so that it always speaks of the latest call.
template <class Body> zr_status Guarded(Body body) noexcept {
    try {
        const zr_status status = body();
        if (status == ZR_OK) t_lastError.clear();
        return status;
    } catch (const std::bad_alloc&) {
        return Fail(ZR_ERR_MEMORY, "out of memory");
    } catch (const std::exception& e) {
        return Fail(ZR_ERR_INTERNAL, std::string("internal error: ") + e.what());
    } catch (...) {
        return Fail(ZR_ERR_INTERNAL, "internal error");
    }
}

zr_crs_kind KindOf(const CZrPJCoordSys& cs) {
    if (cs.GetType() == PJ_CS_PLANAR) return ZR_CRS_PLANAR;
    if (cs.GetType() == PJ_CS_EARTH || cs.GetProjection().GetType() == -1) return ZR_CRS_GEOGRAPHIC;
    return ZR_CRS_PROJECTED;
}

zr_status NewCrs(const CZrPJCoordSys& cs, zr_crs** out) {
    zr_crs* crs = new zr_crs;
    crs->cs = cs;
    crs->name = cs.GetName().str();
    *out = crs;
    return ZR_OK;
}

// A lookup that failed: "not found" when it named a code, else unreadable.
zr_status Unresolved(const std::string& why, bool byCode) {
    return Fail(byCode ? ZR_ERR_NOT_FOUND : ZR_ERR_UNREADABLE, why);
}

// The one place a transformer's operation is chosen: the library's choice
// for the two systems (interop/ZrResolve.h).
bool Carries(const zr_crs& crs) {
    return crs.shift.kind != ZR_CARRIED_NONE;
}

zr_status ChooseOperation(const zr_crs& src, const zr_crs& dst, zr_transformer& t) {
    std::string why;
    if (!Carries(src) && !Carries(dst)) {
        if (ZrChooseOperation(src.cs, dst.cs, t.translator, &t.description, &why)) return ZR_OK;
        return Fail(ZR_ERR_NO_OPERATION, why);
    }
    // A stated shift takes the place of EPSG's on its side, through WGS 84.
    std::vector<ZrOperationSummary> used;
    CString reason;
    if (!ZrSetTranslatorBestOperation(t.translator, src.cs, &src.shift, dst.cs, &dst.shift, false, &used,
                                      &reason))
        return Fail(ZR_ERR_NO_OPERATION, reason.str());
    t.description.clear();
    for (const ZrOperationSummary& op : used) {
        if (!t.description.empty()) t.description += "; ";
        t.description += (op.code ? "EPSG:" + std::to_string(op.code) + " " : std::string()) + op.name.str();
    }
    return ZR_OK;
}

zr_status Finish(zr_transformer* t, const CZrPJCoordSys& src, const CZrPJCoordSys& dst,
                 zr_transformer** out) {
    t->srcGeographic = KindOf(src) == ZR_CRS_GEOGRAPHIC;
    t->dstGeographic = KindOf(dst) == ZR_CRS_GEOGRAPHIC;
    t->srcSwapped = ZrEpsgOrderSwapsXY(src);
    t->dstSwapped = ZrEpsgOrderSwapsXY(dst);
    *out = t;
    return ZR_OK;
}

zr_status CheckPair(const zr_crs* src, const zr_crs* dst, zr_transformer** out) {
    if (!src || !dst || !out) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
    if (KindOf(src->cs) == ZR_CRS_PLANAR || KindOf(dst->cs) == ZR_CRS_PLANAR)
        return Fail(ZR_ERR_ARGUMENT, "a planar system has no earth model to convert with");
    return ZR_OK;
}

inline double& At(double* base, ptrdiff_t stride, size_t i) {
    return *reinterpret_cast<double*>(reinterpret_cast<char*>(base) + static_cast<ptrdiff_t>(i) * stride);
}
inline double At(const double* base, ptrdiff_t stride, size_t i) {
    return *reinterpret_cast<const double*>(reinterpret_cast<const char*>(base) +
                                            static_cast<ptrdiff_t>(i) * stride);
}

// Points go through the translator in blocks copied into this many points on
// the stack: nothing is allocated, and a block stays in the first-level cache.
constexpr size_t kBlock = 256;

// Converts the strided columns block by block; the one function that would
// hand the columns to a column entry of the library, were there one. A point
// with a non-finite coordinate, or a latitude beyond 90 degrees where
// longitude/latitude are read (which the projections clamp rather than
// refuse), is not converted and comes out as HUGE_VAL, as does a point the
// conversion takes to a non-finite place.
template <class Point>
size_t ConvertColumns(const zr_transformer& t, int forward, size_t count, double* x, ptrdiff_t xs, double* y,
                      ptrdiff_t ys, double* z, ptrdiff_t zs) {
    const bool geographicIn = forward ? t.srcGeographic : t.dstGeographic;
    // A side in EPSG's swapped order is read and written with its columns
    // exchanged: the same loops, no copy.
    if (forward ? t.srcSwapped : t.dstSwapped) {
        std::swap(x, y);
        std::swap(xs, ys);
    }
    const bool swapOut = (forward ? t.dstSwapped : t.srcSwapped) != (forward ? t.srcSwapped : t.dstSwapped);
    double* const outX = swapOut ? y : x;
    double* const outY = swapOut ? x : y;
    const ptrdiff_t outXs = swapOut ? ys : xs, outYs = swapOut ? xs : ys;
    constexpr bool k3d = std::is_same<Point, CPoint3D>::value;
    Point block[kBlock];
    bool bad[kBlock];
    size_t failed = 0;
    for (size_t start = 0; start < count; start += kBlock) {
        const size_t n = count - start < kBlock ? count - start : kBlock;
        for (size_t i = 0; i < n; ++i) {
            Point& p = block[i];
            p.x = At(x, xs, start + i);
            p.y = At(y, ys, start + i);
            if constexpr (k3d) p.z = At(z, zs, start + i);
            bool ok = std::isfinite(p.x) && std::isfinite(p.y);
            if constexpr (k3d) ok = ok && std::isfinite(p.z);
            if (geographicIn) ok = ok && std::fabs(p.y) <= 90.0;
            bad[i] = !ok;
            // A refused point goes through as the origin, harmlessly, and is
            // marked afterwards; a NaN height would only make work.
            if (!ok) {
                p.x = p.y = 0.0;
                if constexpr (k3d) p.z = 0.0;
            }
        }
        t.translator.Convert(block, static_cast<long>(n), forward);
        for (size_t i = 0; i < n; ++i) {
            Point& p = block[i];
            bool ok = !bad[i] && std::isfinite(p.x) && std::isfinite(p.y);
            if constexpr (k3d) ok = ok && std::isfinite(p.z);
            if (!ok) {
                ++failed;
                p.x = p.y = HUGE_VAL;
                if constexpr (k3d) p.z = HUGE_VAL;
            }
            At(outX, outXs, start + i) = p.x;
            At(outY, outYs, start + i) = p.y;
            if constexpr (k3d) At(z, zs, start + i) = p.z;
        }
    }
    return failed;
}

} // namespace

extern "C" {

zr_status zr_version(int* major, int* minor, int* patch, const char** text) {
    return Guarded([&] {
        // The version the build gives the library and its package files.
        if (major) *major = ZRPRJ_VERSION_MAJOR;
        if (minor) *minor = ZRPRJ_VERSION_MINOR;
        if (patch) *patch = ZRPRJ_VERSION_PATCH;
        if (text) *text = ZRPRJ_VERSION_TEXT;
        return ZR_OK;
    });
}

zr_status zr_last_error(const char** message) {
    if (!message) return ZR_ERR_ARGUMENT;
    *message = t_lastError.c_str();
    return ZR_OK;
}

zr_status zr_crs_from_code(long code, zr_crs** out) {
    return zr_crs_from_authority("ZRPRJ", code, out);
}

zr_status zr_crs_from_epsg(long code, zr_crs** out) {
    return zr_crs_from_authority("EPSG", code, out);
}

zr_status zr_crs_from_authority(const char* authority, long code, zr_crs** out) {
    return Guarded([&] {
        if (!authority || !out) return Fail(ZR_ERR_ARGUMENT, "a null authority or result pointer");
        CZrPJCoordSys cs;
        std::string why;
        if (!ZrResolveCoordSysByAuthority(authority, code, cs, &why)) return Unresolved(why, true);
        return NewCrs(cs, out);
    });
}

zr_status zr_crs_from_user_input(const char* text, zr_crs** out) {
    return Guarded([&] {
        if (!text || !out) return Fail(ZR_ERR_ARGUMENT, "a null text or result pointer");
        CZrPJCoordSys cs;
        std::string why;
        ZrCarriedShift shift;
        if (!ZrResolveCoordSys(text, cs, &why, true, &shift)) {
            // A bare number or an authority code names a system; the rest is text.
            const bool byCode = std::strchr(text, '[') == nullptr && std::strchr(text, '+') == nullptr &&
                                std::strchr(text, '{') == nullptr && std::strpbrk(text, "0123456789");
            return Unresolved(why, byCode);
        }
        const zr_status status = NewCrs(cs, out);
        if (status == ZR_OK) (*out)->shift = shift;
        return status;
    });
}

zr_status zr_crs_clone(const zr_crs* crs, zr_crs** out) {
    return Guarded([&] {
        if (!crs || !out) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
        *out = new zr_crs(*crs);
        return ZR_OK;
    });
}

zr_status zr_crs_destroy(zr_crs* crs) {
    delete crs;
    return ZR_OK;
}

zr_status zr_crs_export(const zr_crs* crs, zr_format format, char* buffer, size_t size, size_t* length) {
    return Guarded([&] {
        if (!crs || (!buffer && size > 0)) return Fail(ZR_ERR_ARGUMENT, "a null system or buffer");
        std::string text;
        switch (format) {
        case ZR_FORMAT_ESRI_WKT1:
        case ZR_FORMAT_WKT1_GDAL:
        case ZR_FORMAT_WKT2_2019:
        case ZR_FORMAT_PROJ_STRING:
        case ZR_FORMAT_PROJJSON: {
            CString exported, reason;
            if (!ZrExportCoordSysWithShift(crs->cs, crs->shift, static_cast<tagZrCrsTextFormat>(format), exported,
                                           &reason))
                return Fail(ZR_ERR_UNSUPPORTED, reason.str());
            text = exported.str();
            break;
        }
        case ZR_FORMAT_TEXT:
            text = crs->cs.ToString().str();
            break;
        case ZR_FORMAT_XML:
            text = crs->cs.ToXML(ZRPRJ_XML_VERSION).str();
            break;
        case ZR_FORMAT_KEY_VALUE:
            text = ZrKeyValueProjectionText(crs->cs).str();
            break;
        default:
            return Fail(ZR_ERR_ARGUMENT, "unknown format " + std::to_string(static_cast<int>(format)));
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (length) *length = text.size();
        if (!buffer && size == 0) return ZR_OK;
        if (text.size() + 1 > size)
            return Fail(ZR_ERR_BUFFER_SIZE, "the text needs " + std::to_string(text.size() + 1) + " bytes");
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return ZR_OK;
    });
}

zr_status zr_crs_name(const zr_crs* crs, const char** name) {
    if (!crs || !name) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
    *name = crs->name.c_str();
    return ZR_OK;
}

zr_status zr_crs_kind_of(const zr_crs* crs, zr_crs_kind* kind) {
    if (!crs || !kind) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
    *kind = KindOf(crs->cs);
    return ZR_OK;
}

zr_status zr_crs_epsg_code(const zr_crs* crs, long* code) {
    return Guarded([&] {
        if (!crs || !code) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
        long found = ZrEpsgCodeOf(crs->cs);
        // Catalogue rows the mapping file pairs with an EPSG code.
        if (found == -1000 && crs->cs.GetType() != PJ_CS_PLANAR && crs->cs.GetType() != PJ_CS_USER_DEFINED) {
            CZrPJTranslator translator;
            const long catalogue =
                crs->cs.GetType() == PJ_CS_EARTH ? crs->cs.GetGCS().GetType() : crs->cs.GetType();
            found = translator.Orvanta2EPSG(static_cast<int>(catalogue));
        }
        *code = found;
        return ZR_OK;
    });
}

zr_status zr_crs_equals(const zr_crs* a, const zr_crs* b, int* equal) {
    return Guarded([&] {
        if (!a || !b || !equal) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
        const ZrCarriedShift &x = a->shift, &y = b->shift;
        const bool sameShift = x.kind == y.kind && x.count == y.count &&
                               std::equal(x.values, x.values + x.count, y.values);
        *equal = (a->cs == b->cs && sameShift) ? 1 : 0;
        return ZR_OK;
    });
}

zr_status zr_crs_geographic(const zr_crs* crs, zr_crs** out) {
    return Guarded([&] {
        if (!crs || !out) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
        if (KindOf(crs->cs) == ZR_CRS_PLANAR) return Fail(ZR_ERR_ARGUMENT, "a planar system has no datum");
        CZrPJCoordSys geographic;
        geographic.SetEarth(crs->cs.GetGCS(), 10000);
        const zr_status status = NewCrs(geographic, out);
        if (status == ZR_OK) (*out)->shift = crs->shift;
        return status;
    });
}

zr_status zr_crs_ellipsoid(const zr_crs* crs, double* semi_major, double* inverse_flattening) {
    return Guarded([&] {
        if (!crs) return Fail(ZR_ERR_ARGUMENT, "a null system");
        if (KindOf(crs->cs) == ZR_CRS_PLANAR)
            return Fail(ZR_ERR_ARGUMENT, "a planar system has no ellipsoid");
        const CZrPJSpheroid spheroid = crs->cs.GetGCS().GetDatum().GetSpheroid();
        if (semi_major) *semi_major = spheroid.GetAxis();
        if (inverse_flattening)
            *inverse_flattening = spheroid.GetFlattening() == 0.0 ? 0.0 : 1.0 / spheroid.GetFlattening();
        return ZR_OK;
    });
}

zr_status zr_transformer_create(const zr_crs* src, const zr_crs* dst, zr_transformer** out) {
    return Guarded([&] {
        zr_status status = CheckPair(src, dst, out);
        if (status != ZR_OK) return status;
        zr_transformer t;
        status = ChooseOperation(*src, *dst, t);
        if (status != ZR_OK) return status;
        return Finish(new zr_transformer(t), src->cs, dst->cs, out);
    });
}

zr_status zr_transformer_create_with_operation(const zr_crs* src, const zr_crs* dst, const char* operation,
                                               zr_transformer** out) {
    return Guarded([&] {
        zr_status status = CheckPair(src, dst, out);
        if (status != ZR_OK) return status;
        if (!operation) return Fail(ZR_ERR_ARGUMENT, "a null operation");
        const char* digits = operation;
        if (strncasecmp(digits, "EPSG:", 5) == 0) digits += 5;
        char* end = nullptr;
        const long code = std::strtol(digits, &end, 10);
        if (end == digits || *end != '\0' || code <= 0)
            return Fail(ZR_ERR_ARGUMENT, std::string("\"") + operation + "\" is no EPSG operation code");
        zr_transformer t;
        CString reason;
        if (!ZrSetTranslatorTransformation(t.translator, src->cs, dst->cs, code, &reason))
            return Fail(ZR_ERR_NO_OPERATION, reason.str());
        ZrEpsgTransformation found;
        t.description = "EPSG:" + std::to_string(code);
        if (ZrEpsgTransformationByCode(code, found)) t.description += " " + found.name.str();
        return Finish(new zr_transformer(t), src->cs, dst->cs, out);
    });
}

zr_status zr_transformer_create_helmert(const zr_crs* src, const zr_crs* dst, int method,
                                        const double values[7], zr_transformer** out) {
    return Guarded([&] {
        zr_status status = CheckPair(src, dst, out);
        if (status != ZR_OK) return status;
        if (!values) return Fail(ZR_ERR_ARGUMENT, "a null array of values");
        CZrPJParams params;
        params.TranslationX = values[0];
        params.TranslationY = values[1];
        params.TranslationZ = values[2];
        params.RotationX = values[3];
        params.RotationY = values[4];
        params.RotationZ = values[5];
        params.ScaleDifference = values[6];
        zr_transformer t;
        t.translator.SetMethod(static_cast<tagPJTransMethod>(method));
        t.translator.SetParams(params);
        if (!t.translator.Set(src->cs, dst->cs))
            return Fail(ZR_ERR_ARGUMENT, "the method " + std::to_string(method) +
                                             " is none of 9603 to 9608 or 42607, or the systems cannot be "
                                             "converted");
        t.description = "method " + std::to_string(method) + " with the given values";
        return Finish(new zr_transformer(t), src->cs, dst->cs, out);
    });
}

zr_status zr_transformer_destroy(zr_transformer* transformer) {
    delete transformer;
    return ZR_OK;
}

zr_status zr_transformer_description(const zr_transformer* transformer, const char** text) {
    if (!transformer || !text) return Fail(ZR_ERR_ARGUMENT, "a null transformer or result pointer");
    *text = transformer->description.c_str();
    return ZR_OK;
}

zr_status zr_transformer_set_epoch(zr_transformer* transformer, double epoch) {
    if (!transformer) return Fail(ZR_ERR_ARGUMENT, "a null transformer");
    if (std::isinf(epoch)) return Fail(ZR_ERR_ARGUMENT, "an infinite epoch");
    transformer->translator.SetEpoch(std::isnan(epoch) ? kZrNoEpoch : epoch);
    return ZR_OK;
}

zr_status zr_transform(const zr_transformer* transformer, zr_direction direction, size_t count, double* x,
                       ptrdiff_t x_stride, double* y, ptrdiff_t y_stride, double* z, ptrdiff_t z_stride,
                       size_t* failed) {
    return Guarded([&] {
        if (failed) *failed = 0;
        if (!transformer) return Fail(ZR_ERR_ARGUMENT, "a null transformer");
        if (count == 0) return ZR_OK;
        if (!x || !y) return Fail(ZR_ERR_ARGUMENT, "a null x or y array");
        if (direction != ZR_FORWARD && direction != ZR_INVERSE)
            return Fail(ZR_ERR_ARGUMENT, "unknown direction " + std::to_string(static_cast<int>(direction)));
        const int forward = direction == ZR_FORWARD ? 1 : 0;
        const size_t bad =
            z ? ConvertColumns<CPoint3D>(*transformer, forward, count, x, x_stride, y, y_stride, z, z_stride)
              : ConvertColumns<CPoint2D>(*transformer, forward, count, x, x_stride, y, y_stride, nullptr, 0);
        if (failed) *failed = bad;
        if (bad)
            return Fail(ZR_ERR_POINTS, std::to_string(bad) + " of " + std::to_string(count) +
                                           " points have no image; they are set to HUGE_VAL");
        return ZR_OK;
    });
}

zr_status zr_geod_create(const zr_crs* crs, zr_geod** out) {
    return Guarded([&] {
        if (!crs || !out) return Fail(ZR_ERR_ARGUMENT, "a null system or result pointer");
        if (KindOf(crs->cs) == ZR_CRS_PLANAR)
            return Fail(ZR_ERR_ARGUMENT, "a planar system has no ellipsoid");
        const CZrPJSpheroid spheroid = crs->cs.GetGCS().GetDatum().GetSpheroid();
        return zr_geod_create_ellipsoid(spheroid.GetAxis(), spheroid.GetFlattening(), out);
    });
}

zr_status zr_geod_create_ellipsoid(double semi_major, double flattening, zr_geod** out) {
    return Guarded([&] {
        if (!out) return Fail(ZR_ERR_ARGUMENT, "a null result pointer");
        zr_geod* g = new zr_geod;
        CString reason;
        if (!g->geodesic.Set(semi_major, flattening, &reason)) {
            delete g;
            return Fail(ZR_ERR_ARGUMENT, reason.str());
        }
        *out = g;
        return ZR_OK;
    });
}

zr_status zr_geod_destroy(zr_geod* geod) {
    delete geod;
    return ZR_OK;
}

zr_status zr_geod_inverse(const zr_geod* geod, double lon1, double lat1, double lon2, double lat2,
                          double* azi1, double* azi2, double* distance) {
    return Guarded([&] {
        if (!geod) return Fail(ZR_ERR_ARGUMENT, "a null geodesic");
        double a1 = 0, a2 = 0, s = 0;
        CString reason;
        if (!geod->geodesic.Inverse(CPoint2D(lon1, lat1), CPoint2D(lon2, lat2), a1, a2, s, &reason))
            return Fail(ZR_ERR_POINTS, reason.str());
        if (azi1) *azi1 = a1;
        if (azi2) *azi2 = a2;
        if (distance) *distance = s;
        return ZR_OK;
    });
}

zr_status zr_geod_direct(const zr_geod* geod, double lon1, double lat1, double azi1, double distance,
                         double* lon2, double* lat2, double* azi2) {
    return Guarded([&] {
        if (!geod) return Fail(ZR_ERR_ARGUMENT, "a null geodesic");
        CPoint2D p2;
        double a2 = 0;
        CString reason;
        if (!geod->geodesic.Direct(CPoint2D(lon1, lat1), azi1, distance, p2, a2, &reason))
            return Fail(ZR_ERR_POINTS, reason.str());
        if (lon2) *lon2 = p2.x;
        if (lat2) *lat2 = p2.y;
        if (azi2) *azi2 = a2;
        return ZR_OK;
    });
}

zr_status zr_geod_polygon(const zr_geod* geod, size_t count, const double* lon, ptrdiff_t lon_stride,
                          const double* lat, ptrdiff_t lat_stride, double* area, double* perimeter) {
    return Guarded([&] {
        if (!geod || (count > 0 && (!lon || !lat))) return Fail(ZR_ERR_ARGUMENT, "a null geodesic or array");
        std::vector<CPoint2D> vertices(count);
        for (size_t i = 0; i < count; ++i)
            vertices[i] = CPoint2D(At(lon, lon_stride, i), At(lat, lat_stride, i));
        double p = 0, a = 0;
        CString reason;
        if (!geod->geodesic.Area(vertices.data(), static_cast<long>(count), p, a, &reason))
            return Fail(ZR_ERR_ARGUMENT, reason.str());
        if (area) *area = a;
        if (perimeter) *perimeter = p;
        return ZR_OK;
    });
}

} // extern "C"
