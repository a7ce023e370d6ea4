// The built-in catalogues of ellipsoids, prime meridians, datums, geographic
// systems and projection kinds: every code sets, every other code is refused
// without touching the object, the rows hold what they must, and every
// reference from one catalogue into another resolves.
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cstring>
#include <map>
#include <string>

namespace {

// Flattenings in the catalogue are decimal fractions cut after nine or ten
// decimals, so they differ from EPSG's defining 1/f by less than this.
constexpr double kFlatteningDigits = 1e-9;
// The catalogue's War Office axis is 6378300.583 m where EPSG now has
// 6378300 m; every other EPSG ellipsoid agrees to a few millimetres.
constexpr double kAxisMetres = 1.0;
// Prime-meridian longitudes are stored to six decimals of a degree: within
// half a unit of the sixth decimal, plus the rounding of converting EPSG's
// sexagesimal degrees.
constexpr double kLongitudeDigitsDeg = 1e-6;

// Rows whose values the catalogue has always held differently from EPSG, and
// that stored files rely on: Clarke 1866 Michigan with its pre-1990 axis,
// 7042 as a copy of 7015 (EPSG's 7042 is the Everest 1830 definition in
// Indian feet), and Madrid at -3.687939 degrees (EPSG: 3 41 14.55 W).
bool KnownDeviation(long code) {
    return code == 7009 || code == 7042 || code == 8905;
}

// Sweeps every code of [first, last] through Set on a copy of a marked
// object. Codes that set must give type == code; codes that do not must leave
// the object equal to the mark. Returns how many codes set.
template <class T, class Code> int SweepCodes(const T& mark, long first, long last) {
    int accepted = 0;
    for (long code = first; code <= last; ++code) {
        T obj(mark);
        if (obj.Set(static_cast<Code>(code))) {
            ++accepted;
            EXPECT_EQ(obj.GetType(), code);
        } else {
            EXPECT_TRUE(obj == mark) << "code " << code << " changed the object";
            EXPECT_EQ(obj.GetType(), mark.GetType());
            EXPECT_EQ(std::string(obj.GetName()), std::string(mark.GetName()));
        }
    }
    return accepted;
}

TEST(Catalogue, EveryCodeSetsAndEveryGapRefusesUnchanged) {
    const CZrPJSpheroid sph("mark", 6400000.0, 0.01);
    EXPECT_EQ((SweepCodes<CZrPJSpheroid, tagPJSpheroidType>(sph, 6990, 7060)), 39);
    EXPECT_EQ((SweepCodes<CZrPJSpheroid, tagPJSpheroidType>(sph, 39990, 40030)), 9);

    const CZrPJPrimeMeridian pm("mark", 1.5);
    EXPECT_EQ((SweepCodes<CZrPJPrimeMeridian, tagPJPrimeMeridianType>(pm, 8890, 8920)), 12);

    const CZrPJDatum datum("mark", sph);
    const int datums = SweepCodes<CZrPJDatum, tagDatumType>(datum, 5990, 6910) +
                       SweepCodes<CZrPJDatum, tagDatumType>(datum, 38990, 39420);
    EXPECT_EQ(datums, 240);

    const CZrPJGeoCoordSys gcs("mark", datum, pm, 7);
    EXPECT_EQ((SweepCodes<CZrPJGeoCoordSys, tagGeoCoordSysType>(gcs, 3990, 4920)), 184);
    EXPECT_EQ((SweepCodes<CZrPJGeoCoordSys, tagGeoCoordSysType>(gcs, 36990, 37420)), 72);

    const CZrPJObject kind(PJ_KIND_ALBERS);
    EXPECT_EQ((SweepCodes<CZrPJObject, tagPJObjectType>(kind, 42990, 43081)), 77);
}

TEST(Catalogue, NamedGapsAndForeignCodesAreRefused) {
    struct Gap {
        const char* what;
        long code;
    };
    const Gap gaps[] = {{"spheroid", 7037}, {"spheroid", 7040}, {"spheroid", 40009}, {"spheroid", 40022},
                        {"spheroid", -1},   {"spheroid", 0},    {"pm", 8913},        {"pm", 8900},
                        {"pm", -1},         {"datum", 6000},    {"datum", 39000},    {"datum", 6905},
                        {"datum", -1},      {"gcs", 4000},      {"gcs", 37000},      {"gcs", 4903},
                        {"gcs", -1},        {"kind", 43038},    {"kind", 43039},     {"kind", 43042},
                        {"kind", 43081},    {"kind", 43082},    {"kind", 0}};
    for (const Gap& g : gaps) {
        const std::string what = g.what;
        int result = 1;
        if (what == "spheroid") result = CZrPJSpheroid().Set(static_cast<tagPJSpheroidType>(g.code));
        if (what == "pm") result = CZrPJPrimeMeridian().Set(static_cast<tagPJPrimeMeridianType>(g.code));
        if (what == "datum") result = CZrPJDatum().Set(static_cast<tagDatumType>(g.code));
        if (what == "gcs") result = CZrPJGeoCoordSys().Set(static_cast<tagGeoCoordSysType>(g.code));
        if (what == "kind") result = CZrPJObject().Set(static_cast<tagPJObjectType>(g.code));
        EXPECT_EQ(result, 0) << g.what << " " << g.code;
    }
}

TEST(Catalogue, EnumerationListsEveryRowAscending) {
    struct Listing {
        const char* what;
        int (*count)();
        long (*code)(int);
        int expected;
    };
    const Listing listings[] = {
        {"spheroids", CZrPJSpheroid::GetCatalogueCount, CZrPJSpheroid::GetCatalogueCode, 48},
        {"prime meridians", CZrPJPrimeMeridian::GetCatalogueCount, CZrPJPrimeMeridian::GetCatalogueCode, 12},
        {"datums", CZrPJDatum::GetCatalogueCount, CZrPJDatum::GetCatalogueCode, 240},
        {"geographic systems", CZrPJGeoCoordSys::GetCatalogueCount, CZrPJGeoCoordSys::GetCatalogueCode, 256},
        {"projection kinds", CZrPJObject::GetCatalogueCount, CZrPJObject::GetCatalogueCode, 78},
    };
    for (const Listing& l : listings) {
        ASSERT_EQ(l.count(), l.expected) << l.what;
        for (int i = 1; i < l.count(); ++i)
            EXPECT_LT(l.code(i - 1), l.code(i)) << l.what << " at " << i;
        EXPECT_EQ(l.code(-1), -1000) << l.what;
        EXPECT_EQ(l.code(l.count()), -1000) << l.what;
    }
}

TEST(Catalogue, TellingSpheroidsAndPrimeMeridians) {
    struct Row {
        long code;
        const char* name;
        double axis;
        double flattening;
    };
    const Row rows[] = {
        {7001, "Airy_1830", 6377563.396, 0.003340851},
        {7024, "Krasovsky_1940", 6378245.0, 1.0 / 298.3},
        {7030, "WGS_1984", 6378137.0, 0.0033528107},
        {7035, "Sphere", 6371000.0, 0.0},
        {7042, "Everest_Adjustment_1937", 6377276.345, 0.003324449},
        {40008, "Sphere_ARC_INFO", 6370997.0, 0.0},
        {40023, "International_1975", 6378140.0, 1.0 / 298.257},
    };
    for (const Row& r : rows) {
        CZrPJSpheroid s;
        ASSERT_EQ(s.Set(static_cast<tagPJSpheroidType>(r.code)), 1);
        EXPECT_STREQ(s.GetName(), r.name);
        EXPECT_EQ(s.GetAxis(), r.axis) << r.code;             // stored to the last bit
        EXPECT_EQ(s.GetFlattening(), r.flattening) << r.code; // stored to the last bit
    }
    CZrPJSpheroid a, b;
    a.Set(PJ_SPHEROID_EVEREST_ADJUSTMENT_1937);
    b.Set(PJ_SPHEROID_EVEREST_ADJUSTMENT_1937_ALT);
    EXPECT_EQ(a.GetAxis(), b.GetAxis());
    EXPECT_EQ(a.GetFlattening(), b.GetFlattening());
    EXPECT_STREQ(a.GetName(), b.GetName());
    EXPECT_FALSE(a == b); // the codes differ

    CZrPJPrimeMeridian pm;
    ASSERT_EQ(pm.Set(PJ_PM_FERRO), 1);
    EXPECT_STREQ(pm.GetName(), "Ferro");
    EXPECT_EQ(pm.GetLongitude(), -17.666667); // six decimals, not -17 2/3
}

TEST(Catalogue, TellingDatumsAndGeographicSystems) {
    struct DatumRow {
        long code;
        const char* name;
        long spheroid;
    };
    const DatumRow datums[] = {{6214, "D_Beijing_1954", 7024},
                               {39312, "D_XiAn_1980", 40023},
                               {6326, "D_WGS_1984", 7030},
                               {6269, "D_North_American_1983", 7019},
                               {6267, "D_North_American_1927", 7008},
                               {39202, "D_Everest_Bangladesh", 7042},
                               {6904, "D_Lisbon_1890_(Lisbon)", 7004},
                               {6015, "D_Everest_Adj_1937", 7015}};
    for (const DatumRow& r : datums) {
        CZrPJDatum d;
        ASSERT_EQ(d.Set(static_cast<tagDatumType>(r.code)), 1);
        EXPECT_STREQ(d.GetName(), r.name);
        CZrPJSpheroid expected;
        expected.Set(static_cast<tagPJSpheroidType>(r.spheroid));
        EXPECT_TRUE(d.GetSpheroid() == expected) << r.code;
    }

    struct GcsRow {
        long code;
        const char* name;
        long datum;
        const char* pmName;
        double pmLongitude;
    };
    const GcsRow systems[] = {
        {4214, "GCS_Beijing_1954", 6214, "Greenwich", 0.0},
        {4326, "GCS_WGS_1984", 6326, "Greenwich", 0.0},
        {37312, "GCS_XiAn_1980", 39312, "Greenwich", 0.0},
        {4035, "GCS_Sphere", 6035, "Greenwich", 0.0},
        {4807, "GCS_NTF_Paris", 6275, "Paris", 2.337229},
        {4015, "GCS_Everest_1830", 6015, "Greenwich", 0.0},
        {4182, "Azores_Occidental_1939", 6182, "Greenwich", 0.0},
        {4904, "GCS_Lisbon_1890_(Lisbon)", 6904, "Lisbon", -9.131906},
        {37223, "GCS_Carthage_Degree", 6223, "Greenwich", 0.0},
    };
    for (const GcsRow& r : systems) {
        CZrPJGeoCoordSys g;
        ASSERT_EQ(g.Set(static_cast<tagGeoCoordSysType>(r.code)), 1);
        EXPECT_STREQ(g.GetName(), r.name);
        EXPECT_EQ(g.GetDatum().GetType(), r.datum) << r.code;
        EXPECT_STREQ(g.GetPrimeMeridian().GetName(), r.pmName);
        EXPECT_EQ(g.GetPrimeMeridian().GetLongitude(), r.pmLongitude);
    }
}

// Datum -> spheroid: how many datums each ellipsoid carries.
TEST(Catalogue, DatumsPerSpheroid) {
    const std::map<long, int> expected = {
        {7001, 4},  {7002, 3},  {7003, 4},  {7004, 20}, {7005, 2},  {7006, 2},  {7007, 2},  {7008, 12},
        {7009, 2},  {7010, 2},  {7011, 19}, {7012, 22}, {7013, 3},  {7014, 1},  {7015, 4},  {7016, 2},
        {7017, 3},  {7018, 2},  {7019, 8},  {7020, 4},  {7021, 2},  {7022, 74}, {7023, 1},  {7024, 7},
        {7025, 2},  {7027, 3},  {7028, 1},  {7029, 1},  {7030, 3},  {7031, 1},  {7032, 1},  {7033, 1},
        {7034, 2},  {7035, 1},  {7036, 3},  {7041, 1},  {7042, 2},  {7043, 2},  {40001, 1}, {40002, 1},
        {40003, 1}, {40004, 2}, {40005, 2}, {40006, 1}, {40007, 1}, {40008, 1}, {40023, 1}};
    std::map<long, int> found;
    for (int i = 0; i < CZrPJDatum::GetCatalogueCount(); ++i) {
        CZrPJDatum d;
        ASSERT_EQ(d.Set(static_cast<tagDatumType>(CZrPJDatum::GetCatalogueCode(i))), 1);
        EXPECT_EQ(std::strncmp(d.GetName(), "D_", 2), 0) << d.GetName();
        const CZrPJSpheroid s = d.GetSpheroid();
        CZrPJSpheroid row;
        EXPECT_EQ(row.Set(static_cast<tagPJSpheroidType>(s.GetType())), 1) << "datum " << d.GetType();
        ++found[s.GetType()];
    }
    EXPECT_EQ(found, expected);
}

// Geographic system -> datum and prime meridian: datum = code + 2000 on
// Greenwich, but for the systems that count from another meridian or borrow
// another system's datum.
TEST(Catalogue, GeographicSystemsFollowTheirRuleOrException) {
    const std::map<long, std::pair<long, long>> exceptions = {
        {4801, {6217, 8907}}, {4802, {6218, 8904}}, {4803, {6207, 8902}}, {4804, {6257, 8908}},
        {4805, {6312, 8909}}, {4806, {6265, 8906}}, {4807, {6275, 8903}}, {4808, {6280, 8908}},
        {4809, {6215, 8910}}, {4810, {6297, 8903}}, {4811, {6304, 8903}}, {4812, {6305, 8903}},
        {4813, {6211, 8908}}, {4814, {6308, 8911}}, {4815, {6120, 8912}}, {4901, {6901, 8903}},
        {4902, {6902, 8903}}, {4904, {6904, 8902}}, {4915, {6652, 8901}}, {37223, {6223, 8901}}};
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        const long code = CZrPJGeoCoordSys::GetCatalogueCode(i);
        CZrPJGeoCoordSys g("mark", CZrPJDatum(), CZrPJPrimeMeridian(), 99);
        ASSERT_EQ(g.Set(static_cast<tagGeoCoordSysType>(code)), 1);
        auto it = exceptions.find(code);
        const long datum = it == exceptions.end() ? code + 2000 : it->second.first;
        const long pm = it == exceptions.end() ? 8901 : it->second.second;
        EXPECT_EQ(g.GetDatum().GetType(), datum) << code;
        EXPECT_EQ(g.GetPrimeMeridian().GetType(), pm) << code;
        EXPECT_EQ(g.GetUnits(), 0) << code; // also over a previous non-zero unit
        EXPECT_TRUE(g.IsValid()) << code;
        if (code != 4182) {
            EXPECT_EQ(std::strncmp(g.GetName(), "GCS_", 4), 0) << g.GetName();
        }
    }
}

TEST(Catalogue, ProjectionKindLabels) {
    const std::pair<long, const char*> labels[] = {
        {-1, "No Projection"},        {43001, "Plate Carree"},
        {43005, "Gauss_Kruger"},      {43006, "Transverse_Mercator"},
        {43029, "Van_der_Grinten_I"}, {43041, "EquiArea_Cylindrical"},
        {43043, "Oblique Mercator"},  {43044, "Hotine Oblique Mercator"},
        {43045, "Sphere Mercator"},   {43046, "Bonne (South Orientated)"}};
    for (const auto& [code, label] : labels) {
        const CZrPJObject kind(static_cast<tagPJObjectType>(code));
        EXPECT_EQ(kind.GetType(), code);
        EXPECT_STREQ(kind.GetName(), label);
    }
}

// Oracle: the EPSG dataset as PROJ ships it. EPSG defines an ellipsoid by a
// and 1/f (or a and b, in its own unit); PROJ reports a and 1/f in metres.
TEST(CatalogueOracle, EpsgEllipsoidsAndPrimeMeridiansAgreeWithProj) {
    PJ_CONTEXT* ctx = proj_context_create();
    proj_log_level(ctx, PJ_LOG_NONE); // the rows EPSG lacks are expected
    int compared = 0;
    for (int i = 0; i < CZrPJSpheroid::GetCatalogueCount(); ++i) {
        const long code = CZrPJSpheroid::GetCatalogueCode(i);
        PJ* e = proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(), PJ_CATEGORY_ELLIPSOID, 0,
                                          nullptr);
        if (!e || KnownDeviation(code)) { // 7017, 7023, 7026 and the 400xx rows are not EPSG's
            proj_destroy(e);
            continue;
        }
        double a = 0, b = 0, rf = 0;
        int computed = 0;
        ASSERT_TRUE(proj_ellipsoid_get_parameters(ctx, e, &a, &b, &computed, &rf));
        proj_destroy(e);
        CZrPJSpheroid s;
        s.Set(static_cast<tagPJSpheroidType>(code));
        EXPECT_NEAR(s.GetAxis(), a, kAxisMetres) << code;
        EXPECT_NEAR(s.GetFlattening(), rf == 0 ? 0.0 : 1.0 / rf, kFlatteningDigits) << code;
        ++compared;
    }
    EXPECT_EQ(compared, 34);

    for (int i = 0; i < CZrPJPrimeMeridian::GetCatalogueCount(); ++i) {
        const long code = CZrPJPrimeMeridian::GetCatalogueCode(i);
        if (KnownDeviation(code)) continue;
        PJ* p = proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(),
                                          PJ_CATEGORY_PRIME_MERIDIAN, 0, nullptr);
        ASSERT_NE(p, nullptr) << code;
        double lon = 0, toRad = 0;
        ASSERT_TRUE(proj_prime_meridian_get_parameters(ctx, p, &lon, &toRad, nullptr));
        proj_destroy(p);
        CZrPJPrimeMeridian pm;
        pm.Set(static_cast<tagPJPrimeMeridianType>(code));
        EXPECT_NEAR(pm.GetLongitude(), lon * toRad * 57.29577951308232, kLongitudeDigitsDeg) << code;
    }
    proj_context_destroy(ctx);
}

} // namespace
