// EPSG's length units off the tenths-of-a-millimetre scale (the US survey
// foot, Clarke's, Sears's, Benoit's, Indian and Gold Coast feet, yards,
// chains and links, the German legal metre): one table over all of them, each
// held to EPSG's factor as PROJ's database gives it, named and carried by
// every text form as PROJ reads them, and by every stored form; and PROJ's
// own renderings of EPSG's systems in those units read back in the unit.
//
// PROJ side: proj_uom_get_info_from_database("EPSG", code) for the factor and
// name; proj_create of our texts, whose first axis must carry the unit's EPSG
// code and factor.
#include "interop/ZrInterop.h"
#include "interop/proj_common_p.h"
#include "model/ZrPJCoordSys.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrArchive.h"
#include "platform/ZrToolkit.h"
#include "support/SurveyFootSystem_p.h"

#include <gtest/gtest.h>
#include <proj.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {
// EPSG gives each factor as a ratio or a decimal; the library holds the same
// ratio, so the two are one double or one rounding apart.
constexpr double kOneRounding = 4.5e-16;
// Texts print a factor to 15 to 17 digits; PROJ's WKT prints 15.
constexpr double kPrintedDigits = 1e-12;

std::string Str(long n) {
    return std::to_string(n);
}

struct ProjContext {
    PJ_CONTEXT* ctx = proj_context_create();
    ProjContext() { proj_log_level(ctx, PJ_LOG_NONE); }
    ~ProjContext() { proj_context_destroy(ctx); }
};

// The unit of the first axis of a system PROJ reads from text.
bool ProjAxisUnit(PJ_CONTEXT* ctx, const std::string& text, double& factor, std::string& name,
                  std::string& code) {
    PJ* crs = proj_create(ctx, text.c_str());
    if (!crs) return false;
    if (proj_get_type(crs) == PJ_TYPE_BOUND_CRS) { // WKT1's TOWGS84 around the system
        PJ* source = proj_get_source_crs(ctx, crs);
        proj_destroy(crs);
        crs = source;
    }
    PJ* cs = proj_crs_get_coordinate_system(ctx, crs);
    const char *unitName = nullptr, *unitCode = nullptr;
    const bool ok = cs && proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, nullptr, &factor, &unitName,
                                                nullptr, &unitCode);
    name = unitName ? unitName : "";
    code = unitCode ? unitCode : "";
    proj_destroy(cs);
    proj_destroy(crs);
    return ok;
}
} // namespace

TEST(ExactUnits, FactorNameAndCodeAreEpsgs) {
    ProjContext proj;
    int count = 0;
    const ZrExactUnit* units = ZrExactUnits(count);
    ASSERT_GE(count, 37);
    for (int i = 0; i < count; ++i) {
        const ZrExactUnit& u = units[i];
        const char* name = nullptr;
        double factor = 0;
        ASSERT_TRUE(proj_uom_get_info_from_database(proj.ctx, "EPSG", Str(u.epsgCode).c_str(), &name, &factor,
                                                    nullptr))
            << u.epsgCode;
        const double metres = ZrUnitCodeToMetres(u.code);
        EXPECT_NEAR(metres / factor, 1.0, kOneRounding) << name;
        EXPECT_NEAR(metres * ZrUnitFactorOfCode(u.code), 1.0, kOneRounding) << name;
        EXPECT_EQ(CString(name).CompareNoCase(u.name), 0) << name << " / " << u.name;
        // Found by its length as texts print it, not by a neighbour's (the
        // Benoit yards lie 5e-9 apart).
        EXPECT_EQ(ZrExactUnitCodeOf(factor * (1.0 + 0.5 * kPrintedDigits)), u.code) << name;
        EXPECT_EQ(ZrExactUnitCodeOf(factor * (1.0 + 1e3 * kPrintedDigits)), 0) << name;
        EXPECT_EQ(CZrToolkit::UnitConvert(CString(u.name)), u.code) << name;
        // The interop's unit table holds the same double under the same code.
        const ZrLinearUnit* interop = ZrFindUnitByFactor(metres);
        ASSERT_NE(interop, nullptr) << name;
        EXPECT_EQ(interop->epsgCode, u.epsgCode) << name;
        EXPECT_EQ(interop->toMetre, metres) << name;
    }
    // Codes on the tenths-of-a-millimetre scale are no exact units.
    for (long code : {10000L, 3048L, 9144L, 201168L, 2000000000L})
        EXPECT_EQ(ZrFindExactUnit(code), nullptr) << code;
}

// Every text form writes the unit so that PROJ finds EPSG's unit in it, and
// reads back in the same unit code.
TEST(ExactUnits, EveryTextFormNamesTheUnitAndReadsBackInIt) {
    ProjContext proj;
    int count = 0;
    const ZrExactUnit* units = ZrExactUnits(count);
    const tagZrCrsTextFormat forms[] = {ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT2_2019,
                                        ZR_CRS_TEXT_PROJ_STRING, ZR_CRS_TEXT_PROJJSON};
    for (int i = 0; i < count; ++i) {
        const ZrExactUnit& u = units[i];
        const CZrPJCoordSys cs = CaliforniaZone5(u.code);
        ASSERT_TRUE(cs.IsValid()) << u.name;
        for (tagZrCrsTextFormat form : forms) {
            CString text, reason;
            ASSERT_TRUE(ZrExportCoordSys(cs, form, text, &reason)) << u.name << " " << form << ": " << reason;
            double factor = 0;
            std::string name, code;
            ASSERT_TRUE(ProjAxisUnit(proj.ctx, text.c_str(), factor, name, code)) << text;
            EXPECT_NEAR(factor / ZrUnitCodeToMetres(u.code), 1.0, kPrintedDigits) << text;
            // EPSG's unit by name (ESRI's names included) and, where PROJ
            // reports one, by code. A PROJ string carries a factor (or PROJ's
            // own name) only.
            if (form != ZR_CRS_TEXT_PROJ_STRING) {
                EXPECT_EQ(CString(name.c_str()).CompareNoCase(u.name), 0) << text;
                if (!code.empty()) EXPECT_EQ(code, Str(u.epsgCode)) << text;
            }
            CZrPJCoordSys back;
            ASSERT_TRUE(ZrImportCoordSys(text, back, &reason)) << text << ": " << reason;
            EXPECT_EQ(back.GetDistUnits(), u.code) << text;
        }
    }
}

// PROJ's renderings of one EPSG system in each unit EPSG's systems use
// (before, these were refused for their unit, or built in the yard of
// 0.9144 m) read back in the exact unit, and the code builds in it. EPSG's
// systems in German legal metres all run west and south, which PROJ strings
// write as +axis=wsu, an axis order no system here has: their string is left
// out.
TEST(ExactUnits, PROJsRenderingsOfEpsgSystemsReadBackInTheirUnit) {
    const struct {
        long system, unit;
    } cases[] = {{2066, 9039},  {2136, 9094},  {2314, 9005},  {3140, 9098},  {3167, 9301}, {5472, 9037},
                 {24370, 9084}, {27291, 9040}, {29371, 9031}, {29871, 9042}, {29872, 9041}};
    ProjContext proj;
    for (const auto& c : cases) {
        const long code = ZrExactUnitCode(c.unit);
        CZrPJCoordSys built;
        CString reason;
        ASSERT_TRUE(ZrCoordSysFromEpsg(c.system, built, &reason)) << c.system << ": " << reason;
        EXPECT_EQ(built.GetDistUnits(), code) << c.system;
        PJ* crs = proj_create(proj.ctx, ("EPSG:" + Str(c.system)).c_str());
        ASSERT_NE(crs, nullptr) << c.system;
        const std::string texts[] = {proj_as_wkt(proj.ctx, crs, PJ_WKT1_GDAL, nullptr),
                                     proj_as_wkt(proj.ctx, crs, PJ_WKT1_ESRI, nullptr),
                                     proj_as_wkt(proj.ctx, crs, PJ_WKT2_2019, nullptr),
                                     proj_as_proj_string(proj.ctx, crs, PJ_PROJ_5, nullptr),
                                     proj_as_projjson(proj.ctx, crs, nullptr)};
        proj_destroy(crs);
        for (const std::string& text : texts) {
            if (text.find("+axis=wsu") != std::string::npos && c.unit == 9031) continue;
            CZrPJCoordSys back;
            EXPECT_TRUE(ZrImportCoordSys(CString(text.c_str()), back, &reason)) << text << ": " << reason;
            EXPECT_EQ(back.GetDistUnits(), code) << text;
        }
    }
}

// The text, XML, binary and key-value forms keep the code; XML writes it as
// its digits, which readers that know no name for it read back alike.
TEST(ExactUnits, EveryStoredFormKeepsTheCode) {
    int count = 0;
    const ZrExactUnit* units = ZrExactUnits(count);
    const std::string path = "/tmp/zrprj_exact_units_" + std::to_string(getpid());
    for (int i = 0; i < count; ++i) {
        const ZrExactUnit& u = units[i];
        CZrPJCoordSys planar;
        planar.SetPlanar(u.code);
        EXPECT_NE(std::string(planar.GetName().c_str()).find(u.name), std::string::npos) << u.name;
        for (const CZrPJCoordSys& cs : {CaliforniaZone5(u.code), planar}) {
            CZrPJCoordSys text;
            text.FromString(cs.ToString());
            text.Create(); // the text reader leaves the rebuild to its caller
            EXPECT_EQ(text.GetDistUnits(), u.code) << cs.ToString();
            const int nested = 20050101; // a version past the flat layout
            const CString xmlText = cs.ToXML(nested);
            if (u.code != kZrUnitUsSurveyFoot)
                EXPECT_NE(std::string(xmlText.c_str()).find(">" + Str(u.code) + "<"), std::string::npos)
                    << xmlText;
            CZrPJCoordSys xml;
            ASSERT_TRUE(xml.FromXML(xmlText, nested));
            EXPECT_EQ(xml.GetDistUnits(), u.code) << u.name;
            CArchive out(CArchive::store);
            cs.Write(out);
            const std::vector<unsigned char> bytes = out.GetBuffer();
            CArchive in(bytes.data(), static_cast<unsigned>(bytes.size()));
            CZrPJCoordSys archived;
            archived.Read(in);
            EXPECT_EQ(archived.GetDistUnits(), u.code) << u.name;
            CZrPJCoordSys keyValue;
            ASSERT_TRUE(ZrSaveKeyValueProjectionFile(path.c_str(), cs));
            ASSERT_TRUE(ZrOpenKeyValueProjectionFile(path.c_str(), keyValue));
            EXPECT_EQ(keyValue.GetDistUnits(), u.code) << u.name;
        }
    }
    std::remove(path.c_str());
}
