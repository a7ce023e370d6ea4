// PROJ strings and PROJJSON checked by PROJ itself.
//
// Export: every catalogue system that builds is written in both forms, PROJ
// parses the text (proj_create) and PROJ's conversion of that CRS, from its
// own geographic system, agrees with our Forward within a millimetre on the
// ground near the projection's origin. Geographic systems compare ellipsoid
// and prime meridian as lengths on the ground.
//
// Import: PROJ's own renderings (proj_as_proj_string, proj_as_projjson) of
// EPSG systems are read and the result projects as PROJ's single projection
// step of that code does, at points inside EPSG's area of use.
//
// Round trips: export then import projects identically (1 nm), and a
// catalogue system comes back equal (==) from both forms.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ZrToolkit.h"
#include "support/ProjOracle.h"
#include "transform/ZrPJTranslator.h"
#include "support/Sweep_p.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double kDegToRad = 0.017453292519943295;
// PROJ and we must agree on the ground within a millimetre.
constexpr double kAgreementMetres = 1e-3;
// Our transverse Mercator series against PROJ's exact form: beyond 4 degrees
// from the central meridian the series' own error is reported, not held to 1 mm.
constexpr double kSeriesReachDegrees = 4.0;
// PROJ's ellipsoids read as PROJ defines them: a flattening from 1/rf or from
// a and b differs by rounding only, far below a nanometre at the pole.
constexpr double kDefinedFiguresMetres = 1e-9;
// A round trip through a text form must not move a point by more than a
// few nanometres: the exact length units (Clarke's foot) are written with 16
// significant digits, which moves a point at 10^6 feet by up to 4 nm.
constexpr double kRoundTripMetres = 1e-8;

constexpr int kStride = static_cast<int>(kZrSweepStride);

double UnitMetres(const CZrPJCoordSys& cs) {
    return ZrUnitCodeToMetres(cs.GetDistUnits());
}

// A PROJ string gives a catalogue spheroid as the EPSG ellipsoid it stands
// for, with EPSG's figures, where the catalogue holds them to its own digits
// (International 1924 as 1/297.0000324: 2.3 mm at the pole): the ground
// between the two is the catalogue's, not the string's.
double EpsgFiguresAllowance(const CZrPJSpheroid& s) {
    static std::map<long, double> known;
    const long code = s.GetType() > 0 ? ZrMappedEpsgCode(s.GetType()) : 0;
    if (code <= 0) return 0.0;
    auto at = known.find(code);
    if (at != known.end()) return at->second;
    std::vector<long> codes;
    ZrEpsgGeographicCodes(codes);
    double ground = 0.0;
    for (long c : codes) {
        ZrEpsgGeographicRecord g;
        if (!ZrEpsgFindGeographic(c, g) || g.ellipsoidCode != code) continue;
        const double f = g.inverseFlattening == 0 ? 0.0 : 1.0 / g.inverseFlattening;
        ground =
            std::fabs(s.GetAxis() - g.semiMajorAxis) + g.semiMajorAxis * std::fabs(s.GetFlattening() - f);
        break;
    }
    known[code] = ground;
    return ground;
}

// PROJ's conversion of a CRS text from the CRS's own geographic system, in
// degrees (longitude from that system's prime meridian) and the CRS's unit.
class ProjCrs {
public:
    explicit ProjCrs(const std::string& text) {
        m_ctx = proj_context_create();
        m_crs = proj_create(m_ctx, text.c_str());
        if (!m_crs) return;
        if (proj_get_type(m_crs) == PJ_TYPE_BOUND_CRS) {
            PJ* src = proj_get_source_crs(m_ctx, m_crs);
            proj_destroy(m_crs);
            m_crs = src;
        }
        m_type = proj_get_type(m_crs);
        if (m_type != PJ_TYPE_PROJECTED_CRS) return;
        const std::string southBonne = ProjSouthOrientatedBonne(m_ctx, m_crs, false);
        if (!southBonne.empty()) m_southBonne = proj_create(m_ctx, southBonne.c_str());
        PJ* geog = proj_crs_get_geodetic_crs(m_ctx, m_crs);
        PJ* op = proj_create_crs_to_crs_from_pj(m_ctx, geog, m_crs, nullptr, nullptr);
        if (op) m_op = proj_normalize_for_visualization(m_ctx, op);
        proj_destroy(op);
        proj_destroy(geog);
    }
    ~ProjCrs() {
        if (m_op) proj_destroy(m_op);
        if (m_southBonne) proj_destroy(m_southBonne);
        if (m_crs) proj_destroy(m_crs);
        proj_context_destroy(m_ctx);
    }
    bool parsed() const { return m_crs != nullptr; }
    PJ_TYPE type() const { return m_type; }
    bool Forward(double lon, double lat, double& x, double& y) const {
        PJ_COORD c;
        if (m_southBonne)
            c = proj_trans(m_southBonne, PJ_FWD, proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
        else if (m_op)
            c = proj_trans(m_op, PJ_FWD, proj_coord(lon, lat, 0, 0));
        else
            return false;
        x = c.v[0];
        y = c.v[1];
        return std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 1e30;
    }
    // Ellipsoid and prime meridian (degrees) of the CRS.
    bool Earth(double& a, double& invf, double& pm) const { return ProjEarth(m_ctx, m_crs, a, invf, pm); }

private:
    PJ_CONTEXT* m_ctx = nullptr;
    PJ* m_crs = nullptr;
    PJ* m_op = nullptr;
    PJ* m_southBonne = nullptr; // the method PROJ 9.1 reads but cannot compute, see ProjSouthOrientatedBonne
    PJ_TYPE m_type = PJ_TYPE_UNKNOWN;
};

// Points near the origin of a row's projection, where the system is meant to
// be used: around the central meridian, at the latitude the kind centres on.
std::vector<std::pair<double, double>> PointsNearOrigin(const CZrPJCoordSys& cs) {
    CZrPJParams p = cs.GetParams();
    long kind = cs.GetProjection().GetType();
    double lon0 = p.CentralMeridian, lat0 = p.CentralParallel;
    double spread = 1.5;
    switch (kind) {
    case 43020:
    case 43007:
    case 43027: // conics: between the standard parallels
        lat0 = 0.5 * (p.StandardParallel1 + p.StandardParallel2);
        break;
    case 43025:
    case 43036:
    case 43037:
    case 43043:
    case 43044: // oblique Mercator: its centre
        lon0 = p.FirstPointLongitude != 0 ? p.FirstPointLongitude : lon0;
        spread = 0.5;
        break;
    case 43005:
    case 43006:
    case 43026:
    case 43028:
    case 43033:
    case 43032:
    case 43034:
    case 43035:
    case 43021:
    case 43049:
    case 43050: // polar stereographic: the parallels nearest the pole the clamp below leaves
    case 43053:
    case 43059: // the south-orientated transverse Mercator, within its zone
    case 43077: // the tilted view and the cube's face: about their centre
    case 43078:
        break;
    default: // the world projections
        spread = 30.0;
        lat0 = 0.0;
    }
    lat0 = std::max(-80.0 + spread, std::min(80.0 - spread, lat0));
    std::vector<std::pair<double, double>> pts;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            pts.emplace_back(lon0 + i * spread, lat0 + j * spread * 0.8);
    return pts;
}

struct Worst {
    double metres = 0;
    long code = 0;
    int count = 0;
};

void PrintTable(const char* title, const std::map<std::string, Worst>& table) {
    std::printf("%s\n", title);
    for (const auto& [name, w] : table)
        std::printf("  %-48s %5d systems, worst %.3g m (code %ld)\n", name.c_str(), w.count, w.metres,
                    w.code);
}

// Catalogue rows whose kind PROJ lacks or draws differently; each stays
// listed with why.
const struct {
    long kind;
    const char* reason;
} kProjLacks[] = {
    {43030, "our Robinson is the analytic approximation, PROJ's interpolates Robinson's table"},
    {43001, "PROJ computes EPSG's ellipsoidal Equidistant Cylindrical (1028) with spherical formulas"},
    {43002, "PROJ computes EPSG's ellipsoidal Equidistant Cylindrical (1028) with spherical formulas"},
};
const char* ProjLacks(long kind) {
    for (const auto& k : kProjLacks)
        if (k.kind == kind) return k.reason;
    return nullptr;
}

} // namespace

// Every catalogue system, in both forms, as PROJ reads it.
TEST(ProjForms, CatalogueExportsProjectAsProjReadsThem) {
    std::map<std::string, Worst> worst;
    std::map<std::string, std::string> listed;
    int checked = 0;
    for (int i = 0; i < ZrProjectedRowCount(); i += kStride) {
        long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) continue;
        long kind = cs.GetProjection().GetType();
        for (tagZrCrsTextFormat form : {ZR_CRS_TEXT_PROJ_STRING, ZR_CRS_TEXT_PROJJSON}) {
            const char* formName = form == ZR_CRS_TEXT_PROJ_STRING ? "PROJ string" : "PROJJSON";
            CString text, why;
            int ok = form == ZR_CRS_TEXT_PROJ_STRING ? ZrExportProjString(cs, text, &why)
                                                     : ZrExportProjJson(cs, text, &why);
            if (!ok) {
                listed[std::to_string(code) + " " + formName] = why.str();
                continue;
            }
            ProjCrs proj(text.str());
            ASSERT_TRUE(proj.parsed()) << code << " " << formName << ": PROJ refuses\n" << text.str();
            ASSERT_EQ(proj.type(), PJ_TYPE_PROJECTED_CRS) << code << "\n" << text.str();
            double unit = UnitMetres(cs), diff = 0;
            for (auto [lon, lat] : PointsNearOrigin(cs)) {
                CPoint2D pt(lon, lat);
                cs.Forward(&pt, 1);
                double x, y;
                ASSERT_TRUE(proj.Forward(lon, lat, x, y)) << code << " at " << lon << "," << lat << "\n"
                                                          << text.str();
                diff = std::max(diff, std::hypot(pt.x - x, pt.y - y) * unit);
            }
            if (const char* why2 = ProjLacks(kind)) {
                if (diff > kAgreementMetres) listed[std::to_string(code) + " " + formName] = why2;
                continue;
            }
            std::string key = cs.GetProjection().GetName().str();
            Worst& w = worst[key + " (" + formName + ")"];
            ++w.count;
            if (diff > w.metres) w = {diff, code, w.count};
            const double allowance = form == ZR_CRS_TEXT_PROJ_STRING
                                         ? EpsgFiguresAllowance(cs.GetGCS().GetDatum().GetSpheroid())
                                         : 0.0;
            EXPECT_LE(diff, kAgreementMetres + allowance) << code << " " << formName << "\n" << text.str();
        }
        ++checked;
    }
    std::printf("Export: %d catalogue systems build, %zu form renderings listed\n", checked, listed.size());
    PrintTable("Export, worst disagreement with PROJ per kind:", worst);
    for (const auto& [code, why] : listed)
        std::printf("  listed %s: %s\n", code.c_str(), why.c_str());
    EXPECT_GT(checked, 1000 / kStride);
}

// Geographic systems of the catalogue: PROJ reads the same ellipsoid and prime
// meridian (on the ground: a change of a and f, at the equator and pole).
TEST(ProjForms, GeographicExportsHoldTheEarthProjReads) {
    int checked = 0;
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        CZrPJGeoCoordSys gcs;
        ASSERT_TRUE(gcs.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i))));
        CZrPJCoordSys cs;
        ASSERT_TRUE(cs.SetEarth(gcs, 10000));
        CZrPJSpheroid sph = gcs.GetDatum().GetSpheroid();
        for (tagZrCrsTextFormat form : {ZR_CRS_TEXT_PROJ_STRING, ZR_CRS_TEXT_PROJJSON}) {
            CString text, why;
            int ok = form == ZR_CRS_TEXT_PROJ_STRING ? ZrExportProjString(cs, text, &why)
                                                     : ZrExportProjJson(cs, text, &why);
            ASSERT_TRUE(ok) << gcs.GetType() << ": " << why.str();
            ProjCrs proj(text.str());
            ASSERT_TRUE(proj.parsed()) << text.str();
            double a, invf, pm;
            ASSERT_TRUE(proj.Earth(a, invf, pm));
            double f = invf == 0 ? 0 : 1 / invf;
            double ground = std::fabs(a - sph.GetAxis()) + a * std::fabs(f - sph.GetFlattening()) +
                            a * std::fabs(pm - gcs.GetPrimeMeridian().GetLongitude()) * kDegToRad;
            const double allowance = form == ZR_CRS_TEXT_PROJ_STRING ? EpsgFiguresAllowance(sph) : 0.0;
            EXPECT_LE(ground, kAgreementMetres + allowance) << gcs.GetType() << "\n" << text.str();
        }
        ++checked;
    }
    EXPECT_EQ(checked, CZrPJGeoCoordSys::GetCatalogueCount());
}

namespace {

// The EPSG codes to read back from PROJ: every code the EPSG function builds
// when its data is present, else the codes the mapping file gives catalogue rows.
std::vector<long> EpsgCodesToImport() {
    std::vector<long> codes;
    if (ZrEpsgDataAvailable()) {
        std::vector<long> all, geog;
        ZrEpsgProjectedCodes(all);
        ZrEpsgGeographicCodes(geog);
        all.insert(all.end(), geog.begin(), geog.end());
        for (size_t i = 0; i < all.size(); i += kStride) {
            CZrPJCoordSys cs;
            if (ZrCoordSysFromEpsg(all[i], cs)) codes.push_back(all[i]);
        }
        // Where the EPSG function is not there, what its records build.
        if (codes.empty())
            for (long c : all) {
                ZrEpsgProjectedRecord p;
                ZrEpsgGeographicRecord g;
                CZrPJCoordSys cs;
                bool projected = ZrEpsgFindProjected(c, p);
                if (projected ? ZrEpsgFindGeographic(p.baseGeographicCode, g) : ZrEpsgFindGeographic(c, g))
                    if (ZrInteropBuild(g, projected ? &p : nullptr, cs, nullptr)) codes.push_back(c);
            }
    }
    if (codes.empty()) {
        CZrPJTranslator t;
        for (int i = 0; i < ZrProjectedRowCount(); ++i) {
            int e = t.Orvanta2EPSG(int(ZrProjectedCodeAt(i)));
            if (e > 0) codes.push_back(e);
        }
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

// PROJ's renderings of one EPSG code and its single projection step.
struct ProjRendering {
    std::string projString, projJson, step;
    // The step PROJJSON's axes mean where the PROJ string drops them: PROJ
    // 9.1 writes Cassini-Soldner on southing and westing axes as a plain cass.
    std::string jsonStep;
    PJ_TYPE type = PJ_TYPE_UNKNOWN;
    double west = 0, south = 0, east = 0, north = 0, pm = 0, lon0 = 0;
    double unit = 1; // metres per unit of the CRS's axes, which PROJ's step gives
    double a = 0, f = 0;
    std::string method;
};

bool RenderEpsg(PJ_CONTEXT* ctx, long code, ProjRendering& out) {
    PJ* crs = proj_create(ctx, ("EPSG:" + std::to_string(code)).c_str());
    if (!crs) return false;
    out.type = proj_get_type(crs);
    const char* s = proj_as_proj_string(ctx, crs, PJ_PROJ_5, nullptr);
    const char* j = proj_as_projjson(ctx, crs, nullptr);
    bool ok = s && j && proj_get_area_of_use(ctx, crs, &out.west, &out.south, &out.east, &out.north, nullptr);
    if (ok) {
        out.projString = s;
        out.projJson = j;
        out.step = s;
        size_t at = out.step.find(" +type=crs");
        if (at != std::string::npos) out.step.erase(at);
        // Krovak's southings come first in EPSG's order (+axis=swu); the
        // library's x is the east-west axis, so the step answers westing first.
        const size_t swu = out.step.find("+axis=swu");
        if (swu != std::string::npos) out.step.replace(swu, 9, "+axis=wsu");
        PJ* pm = proj_get_prime_meridian(ctx, crs);
        double lon = 0, factor = 0;
        if (pm && proj_prime_meridian_get_parameters(ctx, pm, &lon, &factor, nullptr))
            out.pm = lon * factor / kDegToRad;
        if (pm) proj_destroy(pm);
        PJ* ell = proj_get_ellipsoid(ctx, crs);
        double b = 0, invf = 0;
        int computed = 0;
        if (ell && proj_ellipsoid_get_parameters(ctx, ell, &out.a, &b, &computed, &invf))
            out.f = (out.a - b) / out.a;
        if (ell) proj_destroy(ell);
        if (out.type == PJ_TYPE_PROJECTED_CRS) {
            PJ* cs = proj_crs_get_coordinate_system(ctx, crs);
            const char *first = nullptr, *second = nullptr;
            if (cs)
                proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, &first, &out.unit, nullptr, nullptr,
                                      nullptr);
            if (cs)
                proj_cs_get_axis_info(ctx, cs, 1, nullptr, nullptr, &second, nullptr, nullptr, nullptr,
                                      nullptr);
            if (first && second && std::string(first) == "south" && std::string(second) == "west" &&
                out.step.find("+axis=") == std::string::npos)
                out.jsonStep = out.step + " +axis=wsu";
            if (cs) proj_destroy(cs);
            PJ* conv = proj_crs_get_coordoperation(ctx, crs);
            const char* name = nullptr;
            if (conv) proj_coordoperation_get_method_info(ctx, conv, &name, nullptr, nullptr);
            out.method = name ? name : "?";
            // The central meridian, to tell series points from the rest.
            int n = conv ? proj_coordoperation_get_param_count(ctx, conv) : 0;
            for (int i = 0; i < n; ++i) {
                const char* pname = nullptr;
                double v = 0, uf = 0;
                proj_coordoperation_get_param(ctx, conv, i, &pname, nullptr, nullptr, &v, nullptr, &uf,
                                              nullptr, nullptr, nullptr, nullptr);
                if (pname && std::string(pname).find("Longitude of") == 0) out.lon0 = v * uf / kDegToRad;
            }
            if (conv) proj_destroy(conv);
        } else {
            out.method = "geographic";
        }
    }
    proj_destroy(crs);
    return ok;
}

// Where PROJ's rendering of an EPSG system computes something other than
// EPSG's method, or says what the library cannot hold: listed with figures,
// not held to the millimetre.
const char* ProjRenderingDiffers(const ProjRendering& r) {
    if (r.method == "Equidistant Cylindrical")
        return "PROJ computes EPSG's ellipsoidal Equidistant Cylindrical with spherical formulas";
    if (r.method == "Lambert Azimuthal Equal Area (Spherical)")
        return "PROJ computes EPSG's spherical Lambert azimuthal equal area with ellipsoidal formulas";
    if (r.method == "Lambert Conic Conformal (2SP Belgium)")
        return "PROJ renders EPSG's Belgian cone without its turn of 29.2985\" (the plain two-parallel cone)";
    return nullptr;
}

// The ground a catalogue ellipsoid's own digits account for: the interop core
// gives the catalogue's ellipsoid where a description agrees with it, and the
// catalogue holds flattenings cut to nine or ten decimals.
double CatalogueEllipsoidAllowance(const CZrPJCoordSys& cs, const ProjRendering& r) {
    CZrPJSpheroid s = cs.GetGCS().GetDatum().GetSpheroid();
    if (s.GetType() == -1) return 0.0;
    return std::fabs(s.GetAxis() - r.a) + r.a * std::fabs(s.GetFlattening() - r.f);
}

} // namespace

// PROJ's own PROJ strings and PROJJSON of EPSG systems read back into systems
// that project as PROJ projects the code.
TEST(ProjForms, ProjRenderingsOfEpsgSystemsImportAndAgree) {
    const std::vector<long> codes = EpsgCodesToImport();
    ASSERT_FALSE(codes.empty());
    PJ_CONTEXT* ctx = proj_context_create();
    std::map<std::string, Worst> worst, series;
    std::map<std::string, int> refused;
    std::map<std::string, std::string> listed;
    double worstAllowance = 0;
    int imported = 0, tried = 0;
    auto start = std::chrono::steady_clock::now();
    for (long code : codes) {
        ProjRendering r;
        if (!RenderEpsg(ctx, code, r)) continue;
        ++tried;
        ProjOracle plainStep(r.step), turnedStep(r.jsonStep.empty() ? r.step : r.jsonStep);
        for (int form = 0; form < 2; ++form) {
            const ProjOracle& step = form == 1 ? turnedStep : plainStep;
            const char* formName = form == 0 ? "PROJ string" : "PROJJSON";
            CZrPJCoordSys cs;
            CString why;
            int ok = form == 0 ? ZrImportProjString(CString(r.projString.c_str()), cs, &why)
                               : ZrImportProjJson(CString(r.projJson.c_str()), cs, &why);
            const char* differs = ProjRenderingDiffers(r);
            if (!ok) {
                ++refused[std::string(formName) + ": " + why.str()];
                // EPSG's own unit where the EPSG function gives the catalogue's
                // row in a unit of ours (the mapping file's choice).
                if (differs || why.Find("no whole number of tenths of a millimetre") >= 0) continue;
                // PROJ's form the reader does not take: the PROJJSON of the
                // transverse Mercator 3D, whose base is a geographic 3D
                // system (its EPSG code builds the horizontal part).
                if (form == 1 && r.method == "Transverse Mercator 3D") continue;
                ADD_FAILURE() << code << " " << formName << " refused: " << why.str() << "\n"
                              << (form == 0 ? r.projString : r.projJson.substr(0, 400));
                continue;
            }
            ++imported;
            if (r.type != PJ_TYPE_PROJECTED_CRS) {
                // A geographic system: PROJ's ellipsoid and prime meridian, on the ground.
                EXPECT_EQ(cs.GetType(), 1) << code;
                const CZrPJGeoCoordSys gcs = cs.GetGCS();
                const CZrPJSpheroid sph = gcs.GetDatum().GetSpheroid();
                const double ground =
                    std::fabs(sph.GetAxis() - r.a) + r.a * std::fabs(sph.GetFlattening() - r.f) +
                    r.a * std::fabs(gcs.GetPrimeMeridian().GetLongitude() - r.pm) * kDegToRad;
                EXPECT_LE(ground, kAgreementMetres + CatalogueEllipsoidAllowance(cs, r))
                    << code << " " << formName;
                continue;
            }
            ASSERT_TRUE(step.ok()) << r.step;
            // The system read, written again in the same form and read back,
            // projects identically: round trips of EPSG-built systems (every
            // fourth code, which keeps the test within its minute).
            CZrPJCoordSys again = cs;
            CString text;
            if (code % 4 == 0) {
                ASSERT_TRUE(form == 0 ? ZrExportProjString(cs, text, &why) : ZrExportProjJson(cs, text, &why))
                    << code << ": " << why.str();
                ASSERT_TRUE(form == 0 ? ZrImportProjString(text, again, &why)
                                      : ZrImportProjJson(text, again, &why))
                    << code << ": " << why.str() << "\n"
                    << text.str();
            }
            double unit = UnitMetres(cs), diff = 0, seriesDiff = 0, roundTrip = 0;
            for (int i = 0; i <= 2; ++i)
                for (int j = 0; j <= 2; ++j) {
                    double lon = r.west + (0.1 + 0.4 * i) * (r.east - r.west + (r.east < r.west ? 360 : 0));
                    double lat = r.south + (0.1 + 0.4 * j) * (r.north - r.south);
                    if (lon > 180) lon -= 360;
                    double x, y;
                    if (!step.Forward(lon, lat, x, y)) continue;
                    CPoint2D pt(lon - r.pm, lat), pt2(lon - r.pm, lat);
                    cs.Forward(&pt, 1);
                    again.Forward(&pt2, 1);
                    roundTrip = std::max(roundTrip, std::hypot(pt.x - pt2.x, pt.y - pt2.y) * unit);
                    // Both in the system's unit, compared in metres.
                    double d = std::hypot(pt.x * unit - x * r.unit, pt.y * unit - y * r.unit);
                    double off = std::fabs(std::remainder(lon - r.lon0, 360.0));
                    bool tm = r.method.find("Transverse Mercator") != std::string::npos;
                    if (tm && off > kSeriesReachDegrees)
                        seriesDiff = std::max(seriesDiff, d);
                    else
                        diff = std::max(diff, d);
                }
            EXPECT_LE(roundTrip, kRoundTripMetres) << code << " " << formName << "\n" << text.str();
            if (differs) {
                if (diff > kAgreementMetres) listed[std::to_string(code) + " " + formName] = differs;
                continue;
            }
            Worst& w = worst[r.method + " (" + formName + ")"];
            ++w.count;
            if (diff > w.metres) w = {diff, code, w.count};
            if (seriesDiff > 0) {
                Worst& s = series[r.method + " (" + formName + ")"];
                ++s.count;
                if (seriesDiff > s.metres) s = {seriesDiff, code, s.count};
            }
            double allowance = CatalogueEllipsoidAllowance(cs, r);
            worstAllowance = std::max(worstAllowance, allowance);
            EXPECT_LE(diff, kAgreementMetres + allowance) << code << " " << formName << "\n" << r.projString;
        }
    }
    proj_context_destroy(ctx);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("Import of PROJ's renderings: %d EPSG codes rendered, %d imports, %.1f s\n", tried, imported,
                seconds);
    PrintTable("Worst disagreement per method:", worst);
    PrintTable("Transverse Mercator beyond 4 degrees from the central meridian (series):", series);
    for (const auto& [why, n] : refused)
        std::printf("  refused %4d x %s\n", n, why.c_str());
    for (const auto& [code, why] : listed)
        std::printf("  listed %s: %s\n", code.c_str(), why.c_str());
    std::printf("  largest catalogue-ellipsoid allowance: %.3g m\n", worstAllowance);
}

// Export then import: the same projection to the nanometre and the very same
// catalogue system, from PROJJSON by its names and codes, from a PROJ string
// by its +title and definition.
TEST(ProjForms, RoundTripsProjectIdentically) {
    int checked = 0;
    for (int i = 0; i < ZrProjectedRowCount(); i += kStride) {
        long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) continue;
        for (int form = 0; form < 2; ++form) {
            CString text, why;
            int ok = form == 0 ? ZrExportProjString(cs, text, &why) : ZrExportProjJson(cs, text, &why);
            if (!ok) continue; // listed by the export test
            CZrPJCoordSys back;
            ok = form == 0 ? ZrImportProjString(text, back, &why) : ZrImportProjJson(text, back, &why);
            ASSERT_TRUE(ok) << code << ": " << why.str() << "\n" << text.str();
            EXPECT_TRUE(back == cs) << code << "\n" << text.str();
            double unit = UnitMetres(cs);
            for (auto [lon, lat] : PointsNearOrigin(cs)) {
                CPoint2D a(lon, lat), b(lon, lat);
                cs.Forward(&a, 1);
                back.Forward(&b, 1);
                EXPECT_LE(std::hypot(a.x - b.x, a.y - b.y) * unit, kRoundTripMetres)
                    << code << " form " << form;
            }
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000 / kStride);
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); i += kStride) {
        CZrPJGeoCoordSys gcs;
        gcs.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i)));
        CZrPJCoordSys cs;
        cs.SetEarth(gcs, 10000);
        for (int form = 0; form < 2; ++form) {
            CZrPJCoordSys back;
            CString text, why;
            ASSERT_TRUE(form == 0 ? ZrExportProjString(cs, text, &why) : ZrExportProjJson(cs, text, &why))
                << why.str();
            ASSERT_TRUE(form == 0 ? ZrImportProjString(text, back, &why) : ZrImportProjJson(text, back, &why))
                << why.str() << "\n"
                << text.str();
            EXPECT_TRUE(back == cs) << gcs.GetType() << "\n" << text.str();
        }
    }
}

namespace {
// PROJ's PROJJSON of a CRS text (a BoundCRS where the text has +towgs84).
std::string ProjJsonOf(const char* text) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* crs = proj_create(ctx, text);
    const char* j = crs ? proj_as_projjson(ctx, crs, nullptr) : nullptr;
    std::string out = j ? j : "";
    if (crs) proj_destroy(crs);
    proj_context_destroy(ctx);
    return out;
}
} // namespace

// A planar system travels in PROJJSON as an engineering system that PROJ
// reads, in its unit, and comes back equal; a PROJ string has no form for it.
TEST(ProjForms, PlanarSystemsTravelAsEngineeringSystems) {
    for (long units : {10000L, 3048L, kZrUnitUsSurveyFoot, 10000000L, 9144L}) {
        CZrPJCoordSys planar, back;
        ASSERT_TRUE(planar.SetPlanar(units));
        CString text, why;
        EXPECT_FALSE(ZrExportProjString(planar, text, &why));
        EXPECT_FALSE(why.IsEmpty());
        ASSERT_TRUE(ZrExportProjJson(planar, text, &why)) << why.str();
        PJ_CONTEXT* ctx = proj_context_create();
        PJ* crs = proj_create(ctx, text.c_str());
        ASSERT_NE(crs, nullptr) << text.str();
        EXPECT_EQ(proj_get_type(crs), PJ_TYPE_ENGINEERING_CRS);
        PJ* cs = proj_crs_get_coordinate_system(ctx, crs);
        double metres = 0;
        ASSERT_TRUE(
            proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, nullptr, &metres, nullptr, nullptr, nullptr));
        EXPECT_NEAR(metres, UnitMetres(planar), 1e-15) << text.str();
        proj_destroy(cs);
        proj_destroy(crs);
        proj_context_destroy(ctx);
        ASSERT_TRUE(ZrImportProjJson(text, back, &why)) << why.str() << "\n" << text.str();
        EXPECT_TRUE(back == planar) << units;
    }
}

// Names are the caller's and may hold anything, bytes of a legacy code page
// included: what PROJJSON writes of them is JSON that reads back.
TEST(ProjForms, AnyNameIsWrittenAsJsonThatReadsBack) {
    CZrPJCoordSys utm;
    ASSERT_TRUE(utm.Set(static_cast<tagPJCoordSysType>(32650)));
    const std::string odd("UTM \xB1\xB1\xBE\xA9 \"50\" \\ \x01\xFF\xC0\xAF\xED\xA0\x80 \xE4\xB8\0tail", 29);
    CZrPJGeoCoordSys gcs = utm.GetGCS();
    CZrPJObject kind = utm.GetProjection();
    CZrPJParams params = utm.GetParams();
    CZrPJCoordSys named;
    ASSERT_TRUE(named.Set(CString(odd.data(), int(odd.size())), gcs, kind, params, utm.GetDistUnits()));
    CString text, why;
    ASSERT_TRUE(ZrExportProjJson(named, text, &why)) << why.str();
    CZrPJCoordSys back;
    ASSERT_TRUE(ZrImportProjJson(text, back, &why)) << why.str() << "\n" << text.str();
    CPoint2D a(118.5, 31.0), b(118.5, 31.0);
    named.Forward(&a, 1);
    back.Forward(&b, 1);
    EXPECT_LE(std::hypot(a.x - b.x, a.y - b.y), kRoundTripMetres);
}

// User-defined systems beyond the catalogue: what a PROJ string says comes
// back from both our forms, and from PROJ's own PROJJSON of the string, and
// projects as PROJ projects the string.
TEST(ProjForms, UserDefinedStringsAgreeWithProjThroughBothForms) {
    const char* const kStrings[] = {
        "+proj=tmerc +lat_0=0 +lon_0=117 +k=1 +x_0=500000 +y_0=0 +ellps=krass +units=m +no_defs +type=crs",
        "+proj=utm +zone=33 +south +ellps=intl +units=m +no_defs +type=crs",
        "+proj=lcc +lat_1=33 +lat_2=45 +lat_0=23 +lon_0=-96 +x_0=0 +y_0=0 +ellps=GRS80 +units=us-ft "
        "+type=crs",
        "+proj=lcc +lat_1=46.8 +lat_0=46.8 +lon_0=0 +k_0=0.99987742 +x_0=600000 +y_0=2200000 "
        "+ellps=clrk80ign "
        "+pm=paris +units=m +no_defs +type=crs",
        "+proj=aea +lat_0=0 +lon_0=105 +lat_1=25 +lat_2=47 +x_0=0 +y_0=0 +a=6378140 +rf=298.257 +units=km "
        "+type=crs",
        "+proj=merc +lat_ts=41 +lon_0=10 +x_0=0 +y_0=0 +ellps=WGS84 +units=ft +type=crs",
        "+proj=merc +lon_0=0 +k=0.997 +x_0=3900000 +y_0=900000 +ellps=bessel +towgs84=0,0,0 +type=crs",
        "+proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000 +R=6371007 +units=m +type=crs",
        "+proj=poly +lat_0=0 +lon_0=-54 +x_0=5000000 +y_0=10000000 +ellps=aust_SA +units=m +type=crs",
        "+proj=tmerc +lat_0=0 +lon_0=12 +k=0.9996 +x_0=500000 +y_0=0 +a=6378137 +b=6356752.314245 +pm=-3.5 "
        "+to_meter=0.9144 +type=crs",
        "+proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 +y_0=-100000 +ellps=airy "
        "+towgs84=446.448,-125.157,542.06,0.15,0.247,0.842,-20.489 +units=m +no_defs +type=crs",
        // PROJ's stere at a pole: scaled at the pole (EPSG's variant A), or true
        // to scale on a parallel (variant B), in either hemisphere.
        "+proj=stere +lat_0=90 +lon_0=-45 +k=0.994 +x_0=2000000 +y_0=2000000 +ellps=WGS84 +type=crs",
        "+proj=stere +lat_0=-90 +lat_ts=-71 +lon_0=70 +x_0=6000000 +y_0=6000000 +ellps=intl +units=ft "
        "+type=crs",
        "+proj=stere +lat_0=90 +lat_ts=70 +lon_0=-45 +ellps=WGS84 +type=crs",
        // The Swiss oblique Mercator (Bern's centre, as EPSG's 21781 has it).
        "+proj=somerc +lat_0=46.9524055555556 +lon_0=7.43958333333333 +k_0=1 +x_0=600000 +y_0=200000 "
        "+ellps=bessel +units=m +type=crs",
        // Krovak with PROJ's defaults, and turned to Ferro.
        "+proj=krovak +ellps=bessel +type=crs",
        "+proj=krovak +lat_0=49.5 +lon_0=42.5 +alpha=30.2881397527778 +k=0.9999 +x_0=1000 +y_0=-2000 "
        "+ellps=bessel +pm=ferro +units=m +type=crs",
        "+proj=longlat +ellps=bessel +pm=ferro +no_defs +type=crs",
        "+proj=longlat +R=6371000 +no_defs +type=crs",
        // The general oblique transformation by its pole (a climate model's
        // rotated pole); the tilted perspective and the cube, as PROJ writes them.
        "+proj=ob_tran +o_proj=eqc +o_lat_p=39.25 +o_lon_p=-162 +lon_0=180 +ellps=WGS84 +type=crs",
        "+proj=tpers +h=5500000 +tilt=10 +azi=20 +lat_0=40 +lon_0=5 +R=6371000 +type=crs",
        "+proj=qsc +lat_0=90 +lon_0=20 +ellps=WGS84 +units=m +type=crs",
        // Michigan's cone and the south-orientated transverse Mercator, as
        // PROJ writes them.
        "+proj=lcc +lat_0=43.3166666666667 +lon_0=-84.3333333333333 +lat_1=44.1833333333333 +lat_2=45.7 "
        "+x_0=609601.219202438 +y_0=0 +k_0=1.0000382 +ellps=clrk66 +units=m +type=crs",
        "+proj=tmerc +axis=wsu +lat_0=0 +lon_0=19 +k=1 +x_0=0 +y_0=0 +ellps=WGS84 +units=m +type=crs",
        // Three EPSG methods PROJ states through another's name: Guam's
        // azimuthal equidistant and the hyperbolic Cassini-Soldner as flags,
        // EPSG's Krovak (southings, westings) as krovak with its axes turned.
        "+proj=aeqd +guam +lat_0=13.4724663527778 +lon_0=144.748750705556 +x_0=50000 +y_0=50000 "
        "+ellps=clrk66 "
        "+units=m +type=crs",
        "+proj=cass +hyperbolic +lat_0=-16.25 +lon_0=179.333333333333 +x_0=251727.9155424 +y_0=334519.953768 "
        "+a=6378306.3696 +rf=293.466307655625 +to_meter=0.201168 +type=crs",
        "+proj=krovak +axis=swu +lat_0=49.5 +lon_0=24.8333333333333 +alpha=30.2881397527778 +k=0.9999 +x_0=0 "
        "+y_0=0 +ellps=bessel +units=m +type=crs",
    };
    for (const char* s : kStrings) {
        CZrPJCoordSys first;
        CString why;
        ASSERT_TRUE(ZrImportProjString(CString(s), first, &why)) << s << ": " << why.str();
        ProjCrs proj(s);
        ASSERT_TRUE(proj.parsed()) << s;
        for (int form = 0; form < 3; ++form) {
            CString text;
            CZrPJCoordSys back;
            if (form == 2) {
                text = CString(ProjJsonOf(s).c_str());
            } else {
                ASSERT_TRUE(form == 0 ? ZrExportProjString(first, text, &why)
                                      : ZrExportProjJson(first, text, &why))
                    << s << ": " << why.str();
            }
            ASSERT_TRUE(form == 0 ? ZrImportProjString(text, back, &why) : ZrImportProjJson(text, back, &why))
                << s << ": " << why.str() << "\n"
                << text.str();
            if (proj.type() != PJ_TYPE_PROJECTED_CRS) {
                double a, invf, pm;
                ASSERT_TRUE(proj.Earth(a, invf, pm));
                CZrPJGeoCoordSys g = back.GetGCS();
                EXPECT_EQ(g.GetDatum().GetSpheroid().GetAxis(), a) << s;
                EXPECT_NEAR(g.GetPrimeMeridian().GetLongitude(), pm, 1e-12) << s;
                continue;
            }
            double unit = UnitMetres(back);
            for (auto [lon, lat] : PointsNearOrigin(back)) {
                CPoint2D pt(lon, lat);
                back.Forward(&pt, 1);
                double x, y;
                ASSERT_TRUE(proj.Forward(lon, lat, x, y)) << s;
                // PROJ keeps EPSG's order for Krovak's southings and westings;
                // the library's x is the east-west axis.
                if (std::string(s).find("+axis=swu") != std::string::npos) std::swap(x, y);
                EXPECT_LE(std::hypot(pt.x - x, pt.y - y) * unit, kAgreementMetres) << s << "\n" << text.str();
            }
        }
    }
}

// Every ellipsoid, prime meridian and unit PROJ names is read with PROJ's own
// value (a table of published values, checked against PROJ's lists).
TEST(ProjForms, ProjNamedEllipsoidsMeridiansAndUnitsReadAsProjDefinesThem) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // Each ellipsoid on Greenwich, then each meridian on WGS 84, read by us and by PROJ.
    std::vector<std::pair<std::string, bool>> earths; // text, whether it tells a meridian
    for (const PJ_ELLPS* e = proj_list_ellps(); e->id; ++e)
        earths.emplace_back(std::string("+proj=longlat +ellps=") + e->id + " +type=crs", false);
    for (const PJ_PRIME_MERIDIANS* p = proj_list_prime_meridians(); p->id; ++p)
        earths.emplace_back(std::string("+proj=longlat +ellps=WGS84 +pm=") + p->id + " +type=crs", true);
    // No ellipsoid named at all: PROJ's CRS reader takes WGS 84 (its operations GRS 1980).
    earths.emplace_back("+proj=longlat +type=crs", false);
    earths.emplace_back("+proj=tmerc +lon_0=9 +k=0.9996 +x_0=500000 +type=crs", false);
    {
        // A title that names a catalogue row on the EPSG ellipsoid the row's
        // spheroid stands for is the row, as the library writes it (GRS 1980
        // by name), on the catalogue's own figures of GRS 1980.
        const char* titled = "+proj=tmerc +lon_0=15 +k=0.9996 +x_0=500000 +ellps=GRS80 "
                             "+title=GRS_1980_SWEREF99_TM +type=crs";
        CZrPJCoordSys cs;
        CString why;
        ASSERT_TRUE(ZrImportProjString(CString(titled), cs, &why)) << why.str();
        EXPECT_GT(cs.GetType(), 1) << titled;
        CString text;
        ASSERT_TRUE(ZrExportProjString(cs, text, &why)) << why.str();
        EXPECT_NE(text.str().find("+ellps=GRS80"), std::string::npos) << text.str();
    }
    for (const auto& [s, meridian] : earths) {
        CZrPJCoordSys cs;
        CString why;
        ASSERT_TRUE(ZrImportProjString(CString(s.c_str()), cs, &why)) << s << ": " << why.str();
        ProjCrs proj(s);
        double a, invf, pm;
        ASSERT_TRUE(proj.Earth(a, invf, pm)) << s;
        if (meridian) {
            // A catalogue meridian holds six decimals of a degree (11 cm).
            EXPECT_NEAR(cs.GetGCS().GetPrimeMeridian().GetLongitude(), pm, 1e-6) << s;
            continue;
        }
        // PROJ's figures themselves, not a catalogue ellipsoid within its
        // digits (GRS 1980 was held as 1/298.257220427: 0.12 mm at the pole);
        // a catalogue ellipsoid only where its figures are PROJ's, and the
        // same figures again after a round trip through our PROJ string.
        const double f = invf == 0 ? 0 : 1 / invf;
        CString text;
        CZrPJCoordSys back;
        ASSERT_TRUE(ZrExportProjString(cs, text, &why)) << s << ": " << why.str();
        ASSERT_TRUE(ZrImportProjString(text, back, &why)) << text.str() << ": " << why.str();
        for (const CZrPJCoordSys* read : {&cs, &back}) {
            const CZrPJSpheroid sph = read->GetGCS().GetDatum().GetSpheroid();
            EXPECT_EQ(sph.GetAxis(), a) << s << "\n" << text.str();
            EXPECT_LE(a * std::fabs(sph.GetFlattening() - f), kDefinedFiguresMetres) << s << "\n"
                                                                                     << text.str();
            CZrPJSpheroid row;
            if (sph.GetType() > 0) {
                EXPECT_TRUE(row.Set(static_cast<tagPJSpheroidType>(sph.GetType())) && row.GetAxis() == a &&
                            a * std::fabs(row.GetFlattening() - f) <= kDefinedFiguresMetres)
                    << s << ": catalogue ellipsoid " << sph.GetType();
            }
        }
    }
    for (const PJ_UNITS* u = proj_list_units(); u->id; ++u) {
        std::string s =
            std::string("+proj=tmerc +lon_0=3 +x_0=1000 +ellps=GRS80 +units=") + u->id + " +type=crs";
        CZrPJCoordSys cs;
        CString why;
        if (!ZrImportProjString(CString(s.c_str()), cs, &why)) {
            // Only units with no code of ours are refused.
            EXPECT_NE(why.Find("unit"), -1) << s << ": " << why.str();
            continue;
        }
        EXPECT_NEAR(UnitMetres(cs), u->factor, 1e-15 * u->factor) << s;
    }
#pragma GCC diagnostic pop
}

// What PROJ strings say that our systems cannot hold is refused, naming it;
// what has no effect is read.
TEST(ProjForms, ProjStringRefusalsNameWhatWasNotUnderstood) {
    const std::string base = " +lat_0=0 +lon_0=117 +k=1 +x_0=500000 +y_0=0 +ellps=krass +type=crs";
    const struct {
        std::string text;
        const char* named; // null: accepted
    } kCases[] = {
        {"+proj=tmerc" + base + " +nadgrids=conus", "nadgrids"},
        {"+proj=tmerc" + base + " +geoidgrids=egm96_15.gtx", "geoidgrids"},
        {"+proj=tmerc +datum=NAD27 +type=crs", nullptr}, // the datum; its grid is a transformation
        {"+proj=tmerc +datum=NAD28 +type=crs", "NAD28"},
        {"+proj=tmerc" + base + " +towgs84=1,2", "towgs84"},
        {"+proj=tmerc" + base + " +towgs84=1,2,3,4,5,6,nan", "towgs84"},
        {"+init=epsg:4326", "init"},
        {"+proj=tmerc" + base + " +foo=1", "foo"},
        {"+proj=tmerc" + base + " +axis=neu", "axis"},
        // Turned axes only where PROJ writes them for EPSG's methods.
        {"+proj=tmerc" + base + " +axis=swu", "axis"},
        {"+proj=krovak +axis=wsu +ellps=bessel +type=crs", "axis"},
        {"+proj=merc +axis=wsu +ellps=bessel +type=crs", "axis"},
        {"+proj=tmerc" + base + " +vunits=m", "vunits"},
        {"+proj=pipeline +step +proj=tmerc", "pipeline"},
        {"+proj=tmerc +lon_0=117 +type=crs", nullptr}, // no ellipsoid: WGS 84, as PROJ's CRS reader takes it
        {"+proj=nosuchproj +ellps=WGS84 +type=crs", "nosuchproj"},
        {"+proj=tmerc +lon_0=1" + base, "twice"},
        {"+proj=tmerc" + base + " +units=furlong", "furlong"},
        {"+proj=tmerc" + base + " +k_0=0.9", "k"},
        {"+proj=tmerc" + base + " +lat_ts=30", "lat_ts"},
        {"+proj=longlat +ellps=WGS84 +type=crs +lon_0=3", "lon_0"},
        {"+proj=tmerc +lat_0=inf +ellps=WGS84 +type=crs", "lat_0"},
        {"+proj=tmerc +lat_0=0x10 +ellps=WGS84 +type=crs", "lat_0"},
        {"+proj=omerc +lat_0=46 +lonc=8 +ellps=bessel +type=crs", "alpha"},
        {"+proj=omerc +lat_0=-90 +alpha=10 +ellps=GRS80 +type=crs", "pole"}, // PROJ refuses it too
        {"+proj=mill +ellps=WGS84 +type=crs", "Miller"}, // the sphere of equal area to PROJ
        {"+proj=eqc +ellps=WGS84 +type=crs", "eqc"},     // spherical formulas on an ellipsoid
        {"+proj=mill +R=6371000 +type=crs", nullptr},
        {"+proj=eqc +lat_ts=30 +R=6371000 +type=crs", nullptr},
        {"+proj=tmerc" + base + " +towgs84=0,0,0", nullptr},
        {"+proj=tmerc" + base + " +towgs84=24,-123,-94,0.02,-0.25,-0.13,1.1", "towgs84"}, // no datum's shift
        {"+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 +k=1 +units=m +nadgrids=@null "
         "+wktext +no_defs +type=crs",
         nullptr},
        // PROJ's stere off the poles is its own oblique form on an ellipsoid, not EPSG's.
        {"+proj=stere +lat_0=45 +lon_0=5 +ellps=WGS84 +type=crs", "Stereographic"},
        {"+proj=stere +lat_0=90 +lat_ts=-70 +ellps=WGS84 +type=crs", "lat_ts"},
        {"+proj=stere +lat_0=90 +lat_ts=70 +k=0.99 +ellps=WGS84 +type=crs", "ambiguous"},
        {"+proj=krovak +czech +ellps=bessel +type=crs", "czech"},
        {"+proj=krovak +lat_ts=78 +ellps=bessel +type=crs", "78.5"},
        {"proj=utm zone=50 ellps=WGS84", nullptr},
        {"\xEF\xBB\xBF+proj=utm +zone=50 +ellps=WGS84 +type=crs\r\n", nullptr}, // a file saved with a BOM
    };
    // A shift is honoured by the system it identifies: OSGB 1936's, as
    // EPSG 1314 gives it, on Airy's ellipsoid.
    const std::string bng =
        "+proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 +y_0=-100000 +ellps=airy "
        "+towgs84=446.448,-125.157,542.06,0.15,0.247,0.842,-20.489 +units=m +type=crs";
    CZrPJCoordSys osgb;
    CString osgbWhy;
    ASSERT_TRUE(ZrImportProjString(CString(bng.c_str()), osgb, &osgbWhy)) << osgbWhy.str();
    EXPECT_NE(osgb.GetGCS().GetDatum().GetName().Find("Great Britain 1936"), -1)
        << osgb.GetGCS().GetDatum().GetName().str();
    for (const auto& c : kCases) {
        CZrPJCoordSys cs, before;
        CString why;
        int ok = ZrImportProjString(CString(c.text.c_str()), cs, &why);
        if (!c.named) {
            EXPECT_TRUE(ok) << c.text << ": " << why.str();
            continue;
        }
        EXPECT_FALSE(ok) << c.text;
        EXPECT_NE(why.Find(c.named), -1) << c.text << ": " << why.str();
        EXPECT_EQ(why.Find('\n'), -1) << why.str();
        EXPECT_TRUE(cs == before) << c.text;
    }
}

// Truncated, unbalanced, huge, deeply nested and binary texts are refused by
// both importers in bounded time, leaving the system as it was.
TEST(ProjForms, BadTextsAreRefusedInBoundedTime) {
    CZrPJCoordSys good;
    ASSERT_TRUE(good.Set(static_cast<tagPJCoordSysType>(32650)));
    CString json;
    ASSERT_TRUE(ZrExportProjJson(good, json, nullptr));
    std::vector<std::string> texts;
    for (int cut : {0, 1, 10, json.GetLength() / 2, json.GetLength() - 1})
        texts.push_back(json.str().substr(0, cut));
    texts.push_back(json.str() + "}");
    texts.push_back("{\"type\": \"ProjectedCRS\", \"base_crs\": [}");
    texts.push_back(std::string(100u << 20, '{'));                                // 100 MB
    texts.push_back(std::string(1000000, '[') + "1" + std::string(1000000, ']')); // 10^6 deep
    std::string many = "[";
    for (int i = 0; i < 400000; ++i)
        many += "0,";
    many += "0]";
    texts.push_back(many);
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 131 + 7) & 0xFF);
    texts.push_back(binary);
    // A whole, valid description but for invalid UTF-8 in a name: a lead
    // byte no encoding uses, an overlong form, a surrogate, a cut sequence.
    for (const char* bad : {"\xF8\x88\x80", "\xC0\xAF", "\xED\xA0\x80", "\xE4\xB8"}) {
        std::string t = json.str();
        t.insert(t.find("\"name\": \"") + 9, bad);
        texts.push_back(t);
    }
    texts.push_back("{\"type\": \"GeographicCRS\", \"name\": \"\\ud800\"}"); // lone surrogate
    texts.push_back("{\"type\": \"ProjectedCRS\", \"name\": 1e999}");
    texts.push_back("+proj=tmerc +ellps=WGS84 " + std::string(2u << 20, 'x'));
    texts.push_back("+proj=tmerc +ellps=WGS84 +x_0=" + std::string(100000, '9'));
    texts.push_back("{\"type\": \"" + std::string(100000, 'T') + "\"}");
    texts.push_back(std::string(300, ' ') + "+proj=" + std::string(3000, '+'));
    auto start = std::chrono::steady_clock::now();
    for (const std::string& t : texts) {
        for (int form = 0; form < 2; ++form) {
            CZrPJCoordSys cs = good;
            CString why;
            CString text(t);
            int ok = form == 0 ? ZrImportProjString(text, cs, &why) : ZrImportProjJson(text, cs, &why);
            EXPECT_FALSE(ok) << t.substr(0, 80);
            EXPECT_FALSE(why.IsEmpty());
            EXPECT_LT(why.GetLength(), 200) << why.str().substr(0, 80); // one short line, whatever the text
            EXPECT_TRUE(cs == good);
        }
    }
    // Each refusal reads at most the 1 MiB cap once: well under a second each.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

// PROJ reads PROJJSON into a map, where a repeated key keeps its last value:
// a reader that kept the first would put this system 499,999 m west of PROJ's.
TEST(ProjForms, RepeatedJsonKeyKeepsItsLastValueAsInProj) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* crs = proj_create(ctx, "EPSG:32650");
    const char* j = crs ? proj_as_projjson(ctx, crs, nullptr) : nullptr;
    std::string json = j ? j : "";
    proj_destroy(crs);
    proj_context_destroy(ctx);
    const size_t falseEasting = json.find("\"value\": 500000");
    ASSERT_NE(falseEasting, std::string::npos) << json;
    json.insert(falseEasting, "\"value\": 1, ");

    CZrPJCoordSys ours;
    CString why;
    ASSERT_TRUE(ZrImportProjJson(CString(json.c_str()), ours, &why)) << why.str();
    ProjCrs proj(json);
    ASSERT_TRUE(proj.parsed());
    for (double lon : {114.5, 117.0, 119.5}) {
        double px, py;
        ASSERT_TRUE(proj.Forward(lon, 31.0, px, py));
        CPoint2D p(lon, 31.0);
        ASSERT_TRUE(ours.Forward(&p, 1));
        EXPECT_LE(std::hypot(p.x - px, p.y - py), kAgreementMetres) << lon;
    }
}

// JSON that is not well formed is refused with a short reason naming the
// fault. UTF-8 is held strictly: overlong forms, surrogates, code points past
// U+10FFFF and bytes no encoding uses. The depth and value bounds hold
// exactly at their limits, the text within them reads past them.
TEST(ProjForms, MalformedJsonIsRefusedNamingTheFault) {
    CZrPJCoordSys good;
    ASSERT_TRUE(good.Set(static_cast<tagPJCoordSysType>(32650)));
    CString exported;
    ASSERT_TRUE(ZrExportProjJson(good, exported, nullptr));
    const std::string json = exported.str();
    auto named = [&json](const std::string& bytes) {
        std::string t = json;
        return t.insert(t.find("\"name\": \"") + 9, bytes);
    };
    auto nested = [](int levels) { return std::string(levels, '[') + "0" + std::string(levels, ']'); };
    auto values = [](int count) { // the array and count - 1 numbers in it
        std::string t = "[0";
        for (int i = 2; i < count; ++i)
            t += ",0";
        return t + "]";
    };
    const struct {
        std::string text;
        const char* fault; // nullptr: refused, if at all, for something else
    } kCases[] = {
        {named("\xC0\xAF"), "invalid UTF-8"},             // '/' in two bytes
        {named("\xC1\xBF"), "invalid UTF-8"},             // U+007F in two bytes
        {named("\xE0\x80\xAF"), "invalid UTF-8"},         // '/' in three bytes
        {named("\xE0\x9F\xBF"), "invalid UTF-8"},         // U+07FF in three bytes
        {named("\xF0\x8F\xBF\xBF"), "invalid UTF-8"},     // U+FFFF in four bytes
        {named("\xED\xA0\x80"), "invalid UTF-8"},         // U+D800, a surrogate
        {named("\xED\xBF\xBF"), "invalid UTF-8"},         // U+DFFF
        {named("\xF4\x90\x80\x80"), "invalid UTF-8"},     // U+110000
        {named("\xF5\x80\x80\x80"), "invalid UTF-8"},     // lead bytes F5 to FF begin nothing
        {named("\xF8\x88\x80\x80\x80"), "invalid UTF-8"}, // the five-byte form of old
        {named("\xFF"), "invalid UTF-8"},
        {named("\x80"), "invalid UTF-8"},     // a continuation byte alone
        {named("\xE4\xB8"), "invalid UTF-8"}, // a sequence cut short
        {named("\\u0000"), "NUL character"},
        {named("\\udc00"), "surrogate"},
        {named("\\ud800x"), "surrogate"},
        {named("\x01"), "control character"},
        {named("\\q"), "bad escape"},
        {"{\"type\": \"ProjectedCRS\", \"name\": 1e999}", "number out of range"},
        {json + " {}", "text after the JSON value"},
        {"{\"type\": \"ProjectedCRS\", \"name\": \"x\"", "unterminated object"},
        {"{\"type\": \"ProjectedCRS\", \"name\"", "expected ':'"},
        {"{\"type\": \"ProjectedCRS\", }", "expected a key string"},
        {"{\"type\": \"ProjectedCRS\" \"name\": \"x\"}", "expected ',' or '}'"},
        {"[1 2]", "expected ',' or ']'"},
        {"[1, 2", "unterminated array"},
        {"{\"type\": ", "text ends where a value should be"},
        {"{\"type\": \"Proj", "unterminated string"},
        {"{\"type\": tru}", "unknown literal"},
        {nested(kZrInteropMaxDepth), nullptr},
        {nested(kZrInteropMaxDepth + 1), "nesting too deep"},
        {values(100000), nullptr},
        {values(100001), "too many values"},
    };
    for (const auto& c : kCases) {
        CZrPJCoordSys cs = good;
        CString why;
        const int ok = ZrImportProjJson(CString(c.text), cs, &why);
        const std::string shown = c.text.size() > 60 ? c.text.substr(0, 60) + "..." : c.text;
        if (!c.fault) {
            EXPECT_EQ(why.Find("nesting"), -1) << shown << ": " << why.str();
            EXPECT_EQ(why.Find("too many"), -1) << shown << ": " << why.str();
            continue;
        }
        EXPECT_FALSE(ok) << shown;
        EXPECT_NE(why.Find(c.fault), -1) << shown << ": " << why.str();
        EXPECT_LT(why.GetLength(), 100) << why.str();
        EXPECT_TRUE(cs == good) << shown;
    }
}

// Every length of UTF-8 reads back to its edges, raw or escaped, into the
// name byte for byte.
TEST(ProjForms, JsonNamesKeepEveryUtf8LengthToItsEdges) {
    CZrPJCoordSys utm;
    ASSERT_TRUE(utm.Set(static_cast<tagPJCoordSysType>(32650)));
    const struct {
        const char* written;
        const char* read;
    } kCases[] = {
        {"\x7F", "\x7F"},
        {"\xC2\x80 \xDF\xBF", "\xC2\x80 \xDF\xBF"},                                 // U+0080, U+07FF
        {"\xE0\xA0\x80 \xED\x9F\xBF", "\xE0\xA0\x80 \xED\x9F\xBF"},                 // U+0800, U+D7FF
        {"\xEE\x80\x80 \xEF\xBF\xBF", "\xEE\x80\x80 \xEF\xBF\xBF"},                 // U+E000, U+FFFF
        {"\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF", "\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"}, // U+10000, U+10FFFF
        {"\\u00e9 \\u4e2d", "\xC3\xA9 \xE4\xB8\xAD"},
        {"\\ud83d\\ude00 \\udbff\\udfff", "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"}, // surrogate pairs
    };
    CZrPJCoordSys named;
    ASSERT_TRUE(named.Set(CString("placeholder"), utm.GetGCS(), utm.GetProjection(), utm.GetParams(),
                          utm.GetDistUnits()));
    CString exported;
    ASSERT_TRUE(ZrExportProjJson(named, exported, nullptr));
    for (const auto& c : kCases) {
        std::string text = exported.str();
        text.replace(text.find("placeholder"), 11, c.written);
        CZrPJCoordSys back;
        CString why;
        ASSERT_TRUE(ZrImportProjJson(CString(text), back, &why)) << c.written << ": " << why.str();
        EXPECT_EQ(back.GetName().str(), c.read) << c.written;
    }
}

// PROJ's string of an EPSG system, and the string the library writes for it,
// read back to the system the EPSG function builds for the code: the same
// points within a millimetre over the area of use, every seventh EPSG
// projected code (or as the environment says). Catches a PROJ parameter or form the reader takes otherwise
// than EPSG's definition (+pm=paris, +proj=somerc, +axis, +towgs84, +units,
// +to_meter, +k against +k_0, +R_A ...).
namespace {
// Every seventh code keeps the test within its minute; ZRPRJ_EPSG_STRIDE=1 in
// the environment sweeps every code.
size_t EpsgStride() {
    const char* text = std::getenv("ZRPRJ_EPSG_STRIDE");
    const int stride = text ? std::atoi(text) : 0;
    return stride > 0 ? size_t(stride) : 7;
}
} // namespace
TEST(ProjForms, ProjStringsOfEpsgSystemsReadBackToTheEpsgSystem) {
    std::vector<long> all;
    ZrEpsgProjectedCodes(all);
    ASSERT_FALSE(all.empty());
    PJ_CONTEXT* ctx = proj_context_create();
    int tried = 0, readProj = 0, readOwn = 0;
    std::map<std::string, int> refused;
    std::vector<long> roundedRows;
    const size_t stride = EpsgStride();
    for (size_t i = 0; i < all.size(); i += stride) {
        CZrPJCoordSys epsg;
        if (!ZrCoordSysFromEpsg(all[i], epsg) || epsg.GetType() == 1) continue;
        ProjRendering r;
        if (!RenderEpsg(ctx, all[i], r) || r.type != PJ_TYPE_PROJECTED_CRS || ProjRenderingDiffers(r))
            continue;
        ++tried;
        CString own;
        ZrExportProjString(epsg, own, nullptr);
        const std::string texts[2] = {r.projString, own.str()};
        for (int form = 0; form < 2; ++form) {
            if (texts[form].empty()) continue;
            CZrPJCoordSys back;
            CString why;
            if (!ZrImportProjString(CString(texts[form].c_str()), back, &why)) {
                ++refused[std::string(form == 0 ? "PROJ's: " : "own: ") + why.str()];
                continue;
            }
            ++(form == 0 ? readProj : readOwn);
            const double mA = 1.0 / epsg.GetPJOperator().GetUnitFactor();
            const double mB = 1.0 / back.GetPJOperator().GetUnitFactor();
            const double pmA = epsg.GetGCS().GetPrimeMeridian().GetLongitude();
            const double pmB = back.GetGCS().GetPrimeMeridian().GetLongitude();
            double worst = 0.0;
            for (int k = 0; k < 9; ++k) {
                const double lon = r.west + (r.east - r.west) * (0.1 + 0.4 * (k % 3));
                const double lat = r.south + (r.north - r.south) * (0.1 + 0.4 * (k / 3));
                // Longitudes from each system's own prime meridian.
                CPoint2D a(lon - pmA, lat), b(lon - pmB, lat);
                const bool okA = epsg.GetPJOperator().Forward(a) != 0,
                           okB = back.GetPJOperator().Forward(b) != 0;
                EXPECT_EQ(okA, okB) << all[i] << " " << texts[form];
                if (!okA || !okB) continue;
                worst = std::max(worst, std::hypot(a.x * mA - b.x * mB, a.y * mA - b.y * mB));
            }
            // A catalogue row the EPSG function answers with may keep its
            // catalogue ellipsoid's rounded flattening (International 1924 as
            // 1/297.0000324, WGS 72 as 1/298.2600404): millimetres at the
            // area of use, listed apart; the string itself reads exactly.
            if (worst > kAgreementMetres && form == 0 && epsg.GetType() > 1 &&
                worst <= kAgreementMetres + CatalogueEllipsoidAllowance(epsg, r)) {
                roundedRows.push_back(all[i]);
                continue;
            }
            EXPECT_LE(worst, kAgreementMetres) << "EPSG:" << all[i] << " " << texts[form];
        }
    }
    proj_context_destroy(ctx);
    std::printf(
        "PROJ strings of EPSG systems, one code in %zu: %d tried, PROJ's read %d, the library's read %d\n",
        stride, tried, readProj, readOwn);
    for (const auto& r : refused)
        std::printf("  refused %4d x %s\n", r.second, r.first.c_str());
    std::printf("  %zu catalogue rows answering EPSG:n off by more than 1 mm (their rounded ellipsoid):",
                roundedRows.size());
    for (long c : roundedRows)
        std::printf(" %ld", c);
    std::printf("\n");
    EXPECT_GT(tried, 500);
    EXPECT_GE(readProj, tried - 2);
}

// PROJ's two other ways of placing the turned pole of ob_tran (a great
// circle's azimuth through a point; two points on the turned equator) are
// read from PROJ strings as the pole PROJ finds, and written back by the pole.
TEST(ProjForms, ObliqueTransformationPoleFormsReadAsProjPlacesThePole) {
    const char* const kStrings[] = {
        "+proj=ob_tran +o_proj=eqc +o_alpha=30 +o_lon_c=10 +o_lat_c=40 +lon_0=5 +x_0=1000 +R=6371000 "
        "+type=crs",
        "+proj=ob_tran +o_proj=eqc +o_alpha=-75 +o_lon_c=-100 +o_lat_c=-20 +ellps=WGS84 +type=crs",
        "+proj=ob_tran +o_proj=eqc +o_lon_1=-20 +o_lat_1=30 +o_lon_2=40 +o_lat_2=50 +R=6371000 +type=crs",
    };
    for (const char* s : kStrings) {
        CZrPJCoordSys cs, back;
        CString why, text;
        ASSERT_TRUE(ZrImportProjString(CString(s), cs, &why)) << s << ": " << why.str();
        ASSERT_TRUE(ZrExportProjString(cs, text, &why)) << s;
        ASSERT_TRUE(ZrImportProjString(text, back, &why)) << text.str();
        ProjCrs proj(s);
        ASSERT_TRUE(proj.parsed()) << s;
        for (const CZrPJCoordSys* c : {&cs, &back})
            for (double lon = -150; lon <= 150; lon += 50)
                for (double lat = -60; lat <= 60; lat += 40) {
                    CPoint2D pt(lon, lat);
                    c->Forward(&pt, 1);
                    double x, y;
                    ASSERT_TRUE(proj.Forward(lon, lat, x, y)) << s;
                    EXPECT_LE(std::hypot(pt.x - x, pt.y - y), kAgreementMetres)
                        << s << " at " << lon << ", " << lat;
                }
    }
}

namespace {
// The keys of a PROJ string that give its earth (+datum, +ellps or the
// figures), in the order written.
std::string EarthOf(const std::string& text) {
    std::string earth;
    size_t at = 0;
    while ((at = text.find(" +", at)) != std::string::npos) {
        const size_t end = text.find(' ', at + 2);
        const std::string token = text.substr(at + 1, end == std::string::npos ? end : end - at - 1);
        for (const char* key : {"+datum=", "+ellps=", "+a=", "+b=", "+rf=", "+R="})
            if (token.compare(0, std::strlen(key), key) == 0) earth += (earth.empty() ? "" : " ") + token;
        at = end == std::string::npos ? text.size() : end;
    }
    return earth;
}
} // namespace

// A catalogue row's PROJ string names its earth as PROJ's own string of
// EPSG's n does where the row is on EPSG's ellipsoid: +datum=WGS84 for WGS 84,
// +ellps=airy for Airy, EPSG's exact figures where PROJ has no name for them.
// The catalogue's rounded figures (WGS 84 as 1/298.2572204270286) named no
// ellipsoid PROJ knows, and so no EPSG system for PROJ's identification.
TEST(ProjForms, CatalogueProjStringsNameTheEarthAsProjDoesForEpsgN) {
    PJ_CONTEXT* ctx = proj_context_create();
    int named = 0, figures = 0, compared = 0, otherEllipsoid = 0;
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        const long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) continue;
        CString text, why;
        if (!ZrExportProjString(cs, text, &why)) continue;
        const std::string ours = EarthOf(text.str());
        ++(ours.find("+datum=") == 0 || ours.find("+ellps=") == 0 ? named : figures);
        const long n = ZrMappedEpsgCode(code);
        ZrEpsgProjectedRecord p;
        ZrEpsgGeographicRecord base, g;
        if (n <= 0 || !ZrEpsgFindProjected(n, p) || !ZrEpsgFindGeographic(p.baseGeographicCode, base))
            continue;
        ZrInteropDescribeGeographic(cs.GetGCS(), g);
        if (g.ellipsoidCode != base.ellipsoidCode) {
            ++otherEllipsoid; // the catalogue's own ellipsoid, written by its figures
            continue;
        }
        PJ* crs = proj_create(ctx, ("EPSG:" + std::to_string(n)).c_str());
        const char* s = crs ? proj_as_proj_string(ctx, crs, PJ_PROJ_5, nullptr) : nullptr;
        if (s) {
            ++compared;
            // PROJ writes a datum's name only for the datum itself.
            std::string theirs = EarthOf(s);
            if (theirs.find("+datum=") == 0 && g.datumCode != base.datumCode) theirs = ours;
            EXPECT_EQ(ours, theirs) << code << " as EPSG:" << n << "\n" << text.str() << "\n" << s;
        }
        if (crs) proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    std::printf(
        "Catalogue PROJ strings: %d name PROJ's ellipsoid or datum, %d give figures; %d compared with "
        "PROJ's EPSG:n, %d on an ellipsoid other than EPSG's\n",
        named, figures, compared, otherEllipsoid);
    EXPECT_GT(compared, 700);
}
