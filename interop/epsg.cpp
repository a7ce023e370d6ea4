// EPSG systems and datum transformations by code: the mapping file first (a
// mapped code gives exactly the catalogue system it names), then EPSG's own
// definitions from the data file.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "platform/ZrToolkit.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {
constexpr long kNone = -1000;
constexpr double kArcSecond = 4.84813681109536e-06; // radians

int Fail(CString* reason, const CString& text) {
    if (reason) *reason = text;
    return 0;
}

CString Text(const char* format, long code) {
    CString s;
    s.Format(format, code);
    return s;
}

// The catalogue system a mapped EPSG code names, exactly as the mapping says:
// a projected row by its code, a geographic one as a geographic system.
// footRow receives a foot row that stands for a US-survey-foot zone: not
// taken while EPSG's own definition can be built.
int FromMapping(long epsgCode, long catalogueCode, CZrPJCoordSys& cs, CZrPJCoordSys& footRow,
                bool& haveFootRow) {
    ZrEpsgGeographicRecord geographic;
    ZrEpsgProjectedRecord proj;
    ZrEpsgLeftOutRecord leftOut;
    // EPSG's codes are unique across kinds: a geographic one is looked for
    // first, so that the first set-up of a geographic system checks the 545
    // geographic records of the data file and not the 5,000 projected ones.
    const bool projected = !ZrEpsgFindGeographic(epsgCode, geographic) &&
                           (ZrEpsgFindProjected(epsgCode, proj) || ZrEpsgFindLeftOut(epsgCode, leftOut));
    CZrPJGeoCoordSys gcs;
    if (!projected && gcs.Set(static_cast<tagGeoCoordSysType>(catalogueCode))) {
        CZrPJCoordSys built;
        // As a geographic system built from EPSG's definition is: no distance unit.
        built.SetEarth(gcs, 0);
        cs = built;
        return 1;
    }
    CZrPJCoordSys built;
    if (!built.Set(static_cast<tagPJCoordSysType>(catalogueCode)) || !built.IsValid()) return 0;
    // The catalogue's foot rows stand for EPSG's US-survey-foot zones in the
    // mapping, but their foot is the international one: 2 ppm shorter, which
    // moves the false origin of a State Plane zone by 0.3 m to 1.2 m. Asked for
    // the EPSG system, give EPSG's own definition in US survey feet instead.
    if (projected && proj.linearUnitCode == 9003 && built.GetDistUnits() != kZrUnitUsSurveyFoot) {
        footRow = built;
        haveFootRow = true;
        return 0;
    }
    cs = built;
    return 1;
}

void Fill(const ZrEpsgTransformationRecord& r, ZrEpsgTransformation& out) {
    ZrEpsgTransformation t;
    t.code = r.code;
    t.name = r.name.c_str();
    t.method = static_cast<tagPJTransMethod>(r.methodCode);
    t.params.TranslationX = r.tx;
    t.params.TranslationY = r.ty;
    t.params.TranslationZ = r.tz;
    t.params.RotationX = r.rx;
    t.params.RotationY = r.ry;
    t.params.RotationZ = r.rz;
    t.params.ScaleDifference = r.ds;
    t.sourceGeographic = r.sourceCode;
    t.targetGeographic = r.targetCode;
    t.accuracy = r.accuracy;
    t.area = r.area.c_str();
    t.south = r.south;
    t.west = r.west;
    t.north = r.north;
    t.east = r.east;
    out = t;
}

// The EPSG code of the geographic system under cs, or kNone.
long GeographicCodeOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgGeographicCodeOf(cs);
    if (code != kNone && code > 0) return code;
    const long type = cs.GetGCS().GetType();
    return type > 0 ? ZrMappedEpsgCode(type) : kNone;
}

// A user-defined geographic system stands for an EPSG one when it has the
// same ellipsoid and prime meridian (the datum shift is all that tells
// datums on one ellipsoid apart, and that is what is being chosen here).
bool SameEllipsoid(const CZrPJCoordSys& cs, long epsgGeographic) {
    ZrEpsgGeographicRecord g;
    if (!ZrEpsgFindGeographic(epsgGeographic, g)) return false;
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    const double f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
    return std::fabs(s.GetAxis() - g.semiMajorAxis) <= kZrMatchAxisMetres &&
           std::fabs(s.GetFlattening() - f) <= kZrMatchFlattening &&
           std::fabs(gcs.GetPrimeMeridian().GetLongitude() - g.primeMeridianLongitude) <= 1e-9;
}

bool Stands(const CZrPJCoordSys& cs, long code, long epsgGeographic) {
    if (code != kNone) return code == epsgGeographic;
    return SameEllipsoid(cs, epsgGeographic);
}

// The parameters of the transformation applied the other way round. A
// geocentric translation reverses by its negated translation. The Helmert
// X' = k (I + W) X + T reverses to X = k' (I + W') X' + T' with k' = 1/k,
// W' = -W and T' = -k' (I + W') T, which agrees with PROJ's inverse of the
// same operation (W' inverts the linearised rotation as PROJ does). Negating
// all seven values would leave out the rotation and scale of the translation
// itself: 1.6 m for Fatu Iva 72, centimetres for many others.
CZrPJParams Reversed(const ZrEpsgTransformationRecord& r) {
    CZrPJParams p;
    p.TranslationX = -r.tx;
    p.TranslationY = -r.ty;
    p.TranslationZ = -r.tz;
    if (r.methodCode == PJTM_GEOCENTRIC_TRANSLATION) return p;
    p.RotationX = -r.rx;
    p.RotationY = -r.ry;
    p.RotationZ = -r.rz;
    const double k = 1.0 + r.ds * 1e-6;
    p.ScaleDifference = (1.0 / k - 1.0) * 1e6;
    // The translator's coordinate-frame matrix; position-vector rotations
    // enter it negated.
    const double sign = r.methodCode == PJTM_POSITION_VECTOR ? -1.0 : 1.0;
    const double rx = sign * p.RotationX * kArcSecond, ry = sign * p.RotationY * kArcSecond,
                 rz = sign * p.RotationZ * kArcSecond;
    const double x = r.tx, y = r.ty, z = r.tz;
    p.TranslationX = -(x + rz * y - ry * z) / k;
    p.TranslationY = -(-rz * x + y + rx * z) / k;
    p.TranslationZ = -(ry * x - rx * y + z) / k;
    return p;
}

// Whether a catalogue ellipsoid is EPSG's own: the same axis and a flattening
// within rounding of EPSG's inverse flattening (1e-15 relative; Krassowsky's
// and the IAG 1975 ellipsoid's are held to the double). The rest keep their
// figures to eight or nine decimals, which moves a zone's edge by up to a few
// millimetres (GRS 1980's 1/298.257220427 for 1/298.257222101, 0.12 mm).
bool EpsgsFigures(const CZrPJSpheroid& s, const ZrEpsgGeographicRecord& g) {
    constexpr double kRelative = 1e-15;
    const double f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
    return s.GetAxis() == g.semiMajorAxis && std::fabs(s.GetFlattening() - f) <= kRelative * f;
}

// EPSG's definition with EPSG's ellipsoid figures: the catalogue's
// geographic system (and, for a projected one, a catalogue row of the same
// definition) where its ellipsoid is EPSG's, else the system as defined, under
// the names the catalogue matched (a spheroid of its own, which the exports,
// the identification and the datum rule of the translator take by its figures
// and names).
int BuildAsDefined(const ZrEpsgGeographicRecord& geog, const ZrEpsgProjectedRecord* proj, CZrPJCoordSys& cs,
                   CString* reason) {
    CZrPJGeoCoordSys matched;
    if (!ZrInteropBuildGeographic(geog, matched, reason)) return 0;
    return ZrInteropBuild(geog, proj, cs, reason, EpsgsFigures(matched.GetDatum().GetSpheroid(), geog));
}

// Systems already built, by EPSG code, for this thread (the library takes no
// locks): a host that sets systems up by code again and again pays for the
// lookups and the matching against the catalogue once per code. What they
// were built from is fixed for the process (the data file, read once; the
// catalogue) except the mapping file, which is read again when it changes:
// the systems built from an earlier reading are then dropped. Bounded, so a
// sweep over every code does not keep them all.
struct BuiltSystems {
    unsigned long generation = 0;
    std::unordered_map<long, CZrPJCoordSys> byCode;
};
constexpr std::size_t kMaxBuiltSystems = 256;

BuiltSystems& Built(unsigned long generation) {
    thread_local BuiltSystems built;
    if (built.generation != generation) {
        built.byCode.clear();
        built.generation = generation;
    }
    return built;
}

int Build(long epsgCode, long catalogue, CZrPJCoordSys& cs, CString* reason) {
    CZrPJCoordSys footRow;
    bool haveFootRow = false;
    CZrPJCoordSys row;
    if (catalogue != kNone && FromMapping(epsgCode, catalogue, row, footRow, haveFootRow)) {
        // EPSG:n is EPSG's n: the mapped row answers where it agrees with
        // EPSG's definition within a millimetre about its origin and within
        // half a millimetre over EPSG's area of use, forward and back (a
        // flattening rounded in the catalogue shows least at a zone's
        // equatorial origin and most at its far edge; the half leaves room
        // for another program's rendering of EPSG's definition, so the row
        // is within a millimetre of that too), and EPSG's definition is
        // built otherwise (the mapping still serves Set(code) and the
        // reverse look-ups).
        ZrEpsgGeographicRecord geog;
        ZrEpsgProjectedRecord proj;
        CZrPJCoordSys own;
        if (row.GetType() > 1 && ZrEpsgFindProjected(epsgCode, proj) &&
            ZrEpsgFindGeographic(proj.baseGeographicCode, geog) &&
            ZrInteropBuild(geog, &proj, own, nullptr, false) &&
            !(ZrAgreesWithinAMillimetre(row, own) && ZrAgreesOverArea(row, own, epsgCode)))
            row = own;
        cs = row;
        return 1;
    }

    if (!ZrEpsgDataAvailable()) return Fail(reason, CString(ZrEpsgDataProblem().c_str()));
    ZrEpsgGeographicRecord geog;
    ZrEpsgProjectedRecord proj;
    // Each record type of the data file is checked on its first use, so a
    // look-up may be the one that finds the file damaged: then that is why.
    auto refused = [reason] {
        if (ZrEpsgDataAvailable()) return false;
        Fail(reason, CString(ZrEpsgDataProblem().c_str()));
        return true;
    };
    // A geographic code first: its set-up then checks the geographic records
    // alone (EPSG's codes are unique across kinds).
    if (ZrEpsgFindGeographic(epsgCode, geog)) return BuildAsDefined(geog, nullptr, cs, reason);
    if (ZrEpsgFindProjected(epsgCode, proj)) {
        if (!ZrEpsgFindGeographic(proj.baseGeographicCode, geog))
            return refused() ? 0
                             : Fail(reason, Text("EPSG:%ld rests on a geographic system the data file lacks",
                                                 epsgCode));
        if (BuildAsDefined(geog, &proj, cs, reason)) return 1;
        // What the mapping names, when EPSG's definition cannot be built.
        if (haveFootRow) {
            cs = footRow;
            return 1;
        }
        return 0;
    }
    ZrEpsgLeftOutRecord leftOut;
    if (ZrEpsgFindLeftOut(epsgCode, leftOut)) {
        CString text;
        text.Format("EPSG:%ld (%s) uses the method %ld %s, which no projection kind computes", epsgCode,
                    leftOut.name.c_str(), leftOut.methodCode, leftOut.methodName.c_str());
        return Fail(reason, text);
    }
    if (refused()) return 0;
    return Fail(reason, Text("EPSG:%ld is no geographic 2D or projected system in use (deprecated, "
                             "compound, vertical, geocentric or unknown)",
                             epsgCode));
}
} // namespace

int ZrCoordSysFromEpsg(long epsgCode, CZrPJCoordSys& cs, CString* reason) {
    if (epsgCode <= 0) return Fail(reason, Text("EPSG code %ld is not a code", epsgCode));
    // EPSG2Orvanta's answer, from the mapping file read once per thread
    // rather than on every call.
    unsigned long generation = 0;
    const long catalogue = ZrMappedCatalogueCode(epsgCode, generation);
    BuiltSystems& built = Built(generation);
    const auto it = built.byCode.find(epsgCode);
    if (it != built.byCode.end()) {
        cs = it->second;
        return 1;
    }
    CZrPJCoordSys system;
    if (!Build(epsgCode, catalogue, system, reason)) return 0;
    // Kept only when the mapping it was built from is still the one read.
    unsigned long after = 0;
    ZrMappedCatalogueCode(epsgCode, after);
    if (after == generation) {
        if (built.byCode.size() >= kMaxBuiltSystems) built.byCode.clear();
        built.byCode.emplace(epsgCode, system);
    }
    cs = system;
    return 1;
}

// cs on its geographic system renamed as the text names it, where the
// catalogue's names were taken with a rounded spheroid the text's figures no
// longer fit (a catalogue GCS_ETRF_1989 on WGS 84's spheroid for ETRS89 on
// GRS 1980): the names identify the system again, now by its own figures.
void NamedAsGiven(const ZrEpsgGeographicRecord& geog, CZrPJCoordSys& cs) {
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    const auto named = [](const std::string& given, const CString& fallback) {
        return given.empty() ? fallback : CString(given);
    };
    CZrPJSpheroid spheroid;
    spheroid.Set(named(geog.ellipsoidName, s.GetName()), s.GetAxis(), s.GetFlattening());
    CZrPJDatum datum;
    datum.Set(named(geog.datumName, gcs.GetDatum().GetName()), spheroid);
    CZrPJGeoCoordSys own;
    own.Set(named(geog.name, gcs.GetName()), datum, gcs.GetPrimeMeridian(), 0);
    CZrPJCoordSys renamed;
    const bool ok = cs.GetType() == 1 ? renamed.SetEarth(own, 0)
                                      : renamed.Set(cs.GetName(), own, cs.GetProjection(), cs.GetParams(),
                                                    cs.GetDistUnits());
    if (ok && renamed.IsValid()) cs = renamed;
}

int ZrInteropBuildImported(const ZrEpsgGeographicRecord& geog, const ZrEpsgProjectedRecord* proj,
                           CZrPJCoordSys& cs, CString* reason) {
    CZrPJCoordSys matched;
    if (!ZrInteropBuild(geog, proj, matched, reason)) return 0;
    cs = matched;
    if (EpsgsFigures(matched.GetGCS().GetDatum().GetSpheroid(), geog)) return 1;
    // The catalogue's spheroid rounds the text's figures (WGS 84's flattening
    // to 298.2572204270286, a polar radius 0.2 mm off): the text is read on
    // its own figures. A text that is EPSG's n (named so, or identified by the
    // catalogue row or system its names and parameters matched) is read as
    // EPSG:n is built, so a catalogue row that EPSG:n answers with stays the
    // row.
    long code = proj ? proj->code : geog.code;
    if (code <= 0 && matched.GetType() > 1) code = ZrMappedEpsgCode(matched.GetType());
    if (code <= 0 && !proj && matched.GetGCS().GetType() > 1) code = ZrMappedEpsgCode(matched.GetGCS().GetType());
    CZrPJCoordSys exact;
    if (!ZrInteropBuild(geog, proj, exact, nullptr, false)) return 1;
    CZrPJCoordSys epsg;
    if (code > 0 && ZrCoordSysFromEpsg(code, epsg, nullptr) && (epsg == matched || epsg == exact)) {
        cs = epsg;
        return 1;
    }
    NamedAsGiven(geog, exact);
    cs = exact;
    return 1;
}

int ZrEpsgTransformationByCode(long code, ZrEpsgTransformation& out, CString* reason) {
    ZrEpsgTransformationRecord r;
    if (!ZrEpsgFindTransformation(code, r)) {
        if (!ZrEpsgDataAvailable()) return Fail(reason, CString(ZrEpsgDataProblem().c_str()));
        return Fail(reason, Text("EPSG:%ld is no geocentric-translation or Helmert transformation between "
                                 "geographic systems in use",
                                 code));
    }
    Fill(r, out);
    return 1;
}

int ZrEpsgTransformationCandidates(long sourceGeographic, long targetGeographic, ZrEpsgTransformation* out,
                                   int capacity) {
    std::vector<ZrEpsgTransformationRecord> list;
    ZrEpsgListTransformations(sourceGeographic, targetGeographic, list);
    for (int i = 0; out && i < capacity && i < static_cast<int>(list.size()); ++i)
        Fill(list[static_cast<std::size_t>(i)], out[i]);
    return static_cast<int>(list.size());
}

int ZrSetTranslatorTransformation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                  const CZrPJCoordSys& des, long transformationCode, CString* reason) {
    ZrEpsgTransformationRecord r;
    if (!ZrEpsgFindTransformation(transformationCode, r)) {
        ZrEpsgTransformation unused;
        return ZrEpsgTransformationByCode(transformationCode, unused, reason);
    }
    if (!src.IsValid() || !des.IsValid() || src.GetType() == PJ_CS_PLANAR || des.GetType() == PJ_CS_PLANAR)
        return Fail(reason, "both systems must be valid geographic or projected systems");
    const long from = GeographicCodeOf(src), to = GeographicCodeOf(des);
    // The codes decide where they are known; a system without one stands for
    // the EPSG system on its ellipsoid.
    const bool forward = Stands(src, from, r.sourceCode) && Stands(des, to, r.targetCode);
    const bool backward = !forward && Stands(src, from, r.targetCode) && Stands(des, to, r.sourceCode);
    if (!forward && !backward) {
        CString text;
        text.Format("EPSG:%ld joins EPSG:%ld and EPSG:%ld, not the geographic systems of these two", r.code,
                    r.sourceCode, r.targetCode);
        return Fail(reason, text);
    }
    CZrPJParams params;
    if (forward) {
        params.TranslationX = r.tx;
        params.TranslationY = r.ty;
        params.TranslationZ = r.tz;
        params.RotationX = r.rx;
        params.RotationY = r.ry;
        params.RotationZ = r.rz;
        params.ScaleDifference = r.ds;
    } else {
        params = Reversed(r);
    }
    CZrPJTranslator t;
    t.SetMethod(static_cast<tagPJTransMethod>(r.methodCode));
    t.SetParams(params);
    if (!t.Set(src, des)) return Fail(reason, "the translator cannot convert between these two systems");
    translator = t;
    return 1;
}
