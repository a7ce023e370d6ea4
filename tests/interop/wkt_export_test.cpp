// Well-known text written for every catalogue row, read by PROJ and by us.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ZrToolkit.h"
#include "tests/interop/wkt_support_p.h"
#include "support/Sweep_p.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr double kMillimetre = 1e-3;

struct Dialect {
    tagZrCrsTextFormat format;
    const char* name;
};
const Dialect kDialects[] = {
    {ZR_CRS_TEXT_ESRI_WKT1, "ESRI WKT1"},
    {ZR_CRS_TEXT_WKT1_GDAL, "WKT1"},
    {ZR_CRS_TEXT_WKT2_2019, "WKT2"},
};

// Kinds whose exported form PROJ computes otherwise, with the reason; their
// rows are parsed by PROJ but not held to the millimetre (the equidistant
// cylindrical only on an ellipsoid).
const std::map<long, const char*> kProjDiffers = {
    {43001, "PROJ computes EPSG's ellipsoidal equidistant cylindrical on the sphere of radius a"},
    {43002, "PROJ computes EPSG's ellipsoidal equidistant cylindrical on the sphere of radius a"},
    {43030, "the kind's Robinson table is its own; PROJ interpolates other splines"},
};

// A 3x3 grid around the row's origin, one degree apart (two in longitude).
void GridAround(const CZrPJCoordSys& cs, double lon[9], double lat[9]) {
    const CZrPJParams p = cs.GetParams();
    double lon0 = p.CentralMeridian, lat0 = p.CentralParallel;
    const long kind = cs.GetProjection().GetType();
    if (kind == 43031) { // two-point equidistant: between its points
        lon0 = (p.FirstPointLongitude + p.SecondPointLongitude) / 2;
        lat0 = (p.StandardParallel1 + p.StandardParallel2) / 2;
    }
    if (kind == 43005) lat0 = 30; // Gauss-Krueger zones lie north of their equatorial origin
    lat0 = std::max(-80.0, std::min(80.0, lat0));
    int n = 0;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j, ++n) {
            lon[n] = lon0 + 2.0 * i;
            lat[n] = lat0 + j;
        }
}

} // namespace

// Every catalogue row in the three dialects: PROJ parses each text, PROJ's
// conversion of it agrees with our Forward within a millimetre on a grid
// around the origin, save the kinds PROJ computes otherwise (listed), and
// reading the text back gives the same row (==); rows
// whose kind has no exchange form are refused with a reason.
TEST(WktExport, EveryCatalogueRowIsParsedByProjProjectsAsOursAndReadsBackEqual) {
    std::map<std::string, int> refused, differs;
    std::map<std::string, double> worst;
    int checked[3] = {0, 0, 0};
    const int step = static_cast<int>(kZrSweepStride);
    for (int i = 0; i < ZrProjectedRowCount(); i += step) {
        const long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) continue;
        const long kind = cs.GetProjection().GetType();
        double lon[9], lat[9];
        GridAround(cs, lon, lat);
        for (int d = 0; d < 3; ++d) {
            CString text, reason;
            if (!ZrExportCoordSys(cs, kDialects[d].format, text, &reason)) {
                EXPECT_FALSE(reason.IsEmpty());
                ++refused[std::string(kDialects[d].name) + ": " + reason.c_str()];
                continue;
            }
            // Read back: the same catalogue row, equal in every part.
            CZrPJCoordSys back;
            tagZrCrsTextFormat detected = ZR_CRS_TEXT_UNKNOWN;
            EXPECT_TRUE(ZrImportCoordSys(text, back, &reason, &detected)) << code << ": " << reason.c_str();
            EXPECT_EQ(detected, kDialects[d].format) << code;
            EXPECT_TRUE(back == cs && back.GetType() == code)
                << code << " " << kDialects[d].name << " came back as " << back.GetType();
            ProjCrs proj(text.c_str());
            ASSERT_TRUE(proj.ok()) << code << " " << kDialects[d].name << ": PROJ cannot parse "
                                   << text.c_str();
            ASSERT_TRUE(proj.projected()) << code << " " << text.c_str();
            double maxError = 0;
            int compared = 0;
            for (int k = 0; k < 9; ++k) {
                double e;
                if (!GroundDifference(cs, proj, lon[k], lat[k], e)) continue;
                maxError = std::max(maxError, e);
                ++compared;
            }
            ASSERT_GT(compared, 0) << code << " " << kDialects[d].name;
            const auto exception = kProjDiffers.find(kind);
            const bool sphere = cs.GetGCS().GetDatum().GetSpheroid().GetFlattening() == 0.0;
            if (exception != kProjDiffers.end() && !(sphere && kind != 43030)) {
                ++differs[std::string(exception->second)];
                continue;
            }
            EXPECT_LE(maxError, kMillimetre) << code << " " << kDialects[d].name << ": " << text.c_str();
            std::string key = std::string(kDialects[d].name) + " kind " + std::to_string(kind);
            worst[key] = std::max(worst[key], maxError);
            ++checked[d];
        }
    }
    std::printf("rows checked within 1 mm: ESRI WKT1 %d, WKT1 %d, WKT2 %d\n", checked[0], checked[1],
                checked[2]);
    for (const auto& r : refused)
        std::printf("  refused %3d  %s\n", r.second, r.first.c_str());
    for (const auto& r : differs)
        std::printf("  PROJ differs %3d  %s\n", r.second, r.first.c_str());
    for (const auto& w : worst)
        std::printf("  worst %-20s %.3g mm\n", w.first.c_str(), w.second * 1e3);
}

double ExpectedFlattening(const ZrEpsgGeographicRecord& g) {
    return g.inverseFlattening == 0 ? 0 : 1 / g.inverseFlattening;
}

// Every catalogue geographic system in the three dialects: PROJ reads the
// same ellipsoid and prime meridian, and the text reads back equal.
TEST(WktExport, EveryCatalogueGeographicSystemIsReadByProjAndReadsBackEqual) {
    int checked = 0;
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); i += static_cast<int>(kZrSweepStride)) {
        CZrPJGeoCoordSys gcs;
        ASSERT_TRUE(gcs.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i))));
        CZrPJCoordSys cs;
        cs.SetEarth(gcs, 0);
        const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
        // The export holds EPSG's exact figures where the system is EPSG's:
        // its flattening within 1e-10 of EPSG's (a polar radius within
        // 0.64 mm); its own figures otherwise.
        ZrEpsgGeographicRecord expected;
        const long code = ZrEpsgCodeOf(cs);
        const bool epsgs =
            code > 0 && ZrEpsgFindGeographic(code, expected) &&
            std::fabs(expected.semiMajorAxis - s.GetAxis()) <= 1e-3 &&
            std::fabs(ExpectedFlattening(expected) - s.GetFlattening()) <= 1e-10 &&
            std::fabs(expected.primeMeridianLongitude - gcs.GetPrimeMeridian().GetLongitude()) <= 1e-9;
        if (!epsgs) {
            expected.semiMajorAxis = s.GetAxis();
            expected.inverseFlattening = s.GetFlattening() == 0 ? 0 : 1 / s.GetFlattening();
        }
        for (const Dialect& d : kDialects) {
            CString text, reason;
            ASSERT_TRUE(ZrExportCoordSys(cs, d.format, text, &reason))
                << gcs.GetType() << ": " << reason.c_str();
            ProjCrs proj(text.c_str());
            double a, rf, pm;
            ASSERT_TRUE(proj.ok() && proj.Ellipsoid(a, rf, pm)) << text.c_str();
            EXPECT_EQ(a, expected.semiMajorAxis) << text.c_str();
            EXPECT_NEAR(rf == 0 ? 0 : 1 / rf, ExpectedFlattening(expected), 1e-15) << text.c_str();
            EXPECT_NEAR(pm, gcs.GetPrimeMeridian().GetLongitude(), 1e-12) << text.c_str();
            CZrPJCoordSys back;
            ASSERT_TRUE(ZrImportCoordSys(text, back, &reason)) << text.c_str() << ": " << reason.c_str();
            EXPECT_TRUE(back == cs && back.GetGCS().GetType() == gcs.GetType()) << text.c_str();
            ++checked;
        }
    }
    std::printf("%d geographic texts checked\n", checked);
}
