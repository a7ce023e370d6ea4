// Every catalogue row written in every exchange form and read back, and every
// EPSG system the data file holds built and written in every form: the texts,
// the reasons for what is refused, and the raw bits of the parameters and
// ellipsoid each build stores must equal the recorded ones. The record
// (data/interop_baseline.txt) keeps one 64-bit digest per system, so that a
// change of structure that was meant to keep every export and build shows
// each system it moved.
//
// To record anew after a change that is meant to move exports or builds, run
// zrprj_test_interop --gtest_filter='InteropBaseline.*' with
// ZRPRJ_WRITE_INTEROP_BASELINE=tests/interop/data/interop_baseline.txt in the
// environment and give the count of moved systems in the commit. With
// ZRPRJ_DUMP_INTEROP=path the whole texts are written too, to see what moved.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "support/Sweep_p.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const tagZrCrsTextFormat kForms[] = {ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019,
                                     ZR_CRS_TEXT_PROJ_STRING, ZR_CRS_TEXT_PROJJSON};

// Exact: hexadecimal floating point keeps every bit.
std::string Hex(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%a", v);
    return buf;
}

// What a build stores: the kind, unit, parameters and the figures of the
// ellipsoid and meridian, bit for bit.
std::string Stored(const CZrPJCoordSys& cs) {
    const CZrPJParams p = cs.GetParams();
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    std::string out = "type " + std::to_string(cs.GetType()) + " name " + cs.GetName().str() + " kind " +
                      std::to_string(cs.GetProjection().GetType()) + " units " +
                      std::to_string(cs.GetDistUnits()) + " gcs " + std::to_string(gcs.GetType()) +
                      " datum " + std::to_string(gcs.GetDatum().GetType()) + " spheroid " +
                      std::to_string(s.GetType()) + " " + Hex(s.GetAxis()) + " " + Hex(s.GetFlattening()) +
                      " pm " + Hex(gcs.GetPrimeMeridian().GetLongitude()) + " |";
    for (const double v : {p.FalseEasting, p.FalseNorthing, p.CentralMeridian, p.CentralParallel,
                           p.StandardParallel1, p.StandardParallel2, p.ScaleFactor, p.Azimuth,
                           p.FirstPointLongitude, p.SecondPointLongitude, p.TranslationX, p.TranslationY,
                           p.TranslationZ, p.RotationX, p.RotationY, p.RotationZ, p.ScaleDifference})
        out += " " + Hex(v);
    return out;
}

// Every form of cs, each read back and stored.
std::string Exports(const CZrPJCoordSys& cs) {
    std::string out;
    for (const tagZrCrsTextFormat form : kForms) {
        CString text, reason;
        if (!ZrExportCoordSys(cs, form, text, &reason)) {
            out += "refused: " + reason.str() + "\n";
            continue;
        }
        out += text.str() + "\n";
        CZrPJCoordSys back;
        CString why;
        out += ZrImportCoordSys(text, back, &why) ? "read: " + Stored(back) : "unread: " + why.str();
        out += "\n";
    }
    return out;
}

std::uint64_t Fnv1a(const std::string& s) {
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// Label -> full record, for every catalogue row and every EPSG code (a
// sample of them under the sanitizers, where exporting and reading back
// all eight thousand takes minutes).
std::map<std::string, std::string> Records(bool sample) {
    std::map<std::string, std::string> all;
    char label[32];
    std::size_t item = 0;
    const auto takes = [&] { return !sample || ZrSweepTakes(item++); };
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        if (!takes()) continue;
        const long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        std::snprintf(label, sizeof label, "row %ld", code);
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) {
            all[label] = "invalid";
            continue;
        }
        all[label] = Stored(cs) + "\n" + Exports(cs);
    }
    std::vector<long> codes, geographic;
    ZrEpsgProjectedCodes(codes);
    ZrEpsgGeographicCodes(geographic);
    codes.insert(codes.end(), geographic.begin(), geographic.end());
    for (const long code : codes) {
        if (!takes()) continue;
        CZrPJCoordSys cs;
        CString reason;
        std::snprintf(label, sizeof label, "epsg %ld", code);
        if (!ZrCoordSysFromEpsg(code, cs, &reason)) {
            all[label] = "refused: " + reason.str();
            continue;
        }
        all[label] = Stored(cs) + "\n" + Exports(cs);
    }
    return all;
}

std::string BaselinePath() {
    return std::string(ZRPRJ_SOURCE_DIR) + "/tests/interop/data/interop_baseline.txt";
}

} // namespace

TEST(InteropBaseline, EveryRowAndEpsgSystemExportsAndBuildsAsRecorded) {
    ASSERT_TRUE(ZrEpsgDataAvailable()) << ZrEpsgDataProblem();
    // Writing or dumping the record always takes every item.
    const bool sample = !std::getenv("ZRPRJ_DUMP_INTEROP") && !std::getenv("ZRPRJ_WRITE_INTEROP_BASELINE");
    const std::map<std::string, std::string> records = Records(sample);

    if (const char* dump = std::getenv("ZRPRJ_DUMP_INTEROP")) {
        if (FILE* f = std::fopen(dump, "w")) {
            for (const auto& r : records)
                std::fprintf(f, "== %s\n%s\n", r.first.c_str(), r.second.c_str());
            std::fclose(f);
        }
    }
    if (const char* write = std::getenv("ZRPRJ_WRITE_INTEROP_BASELINE")) {
        FILE* f = std::fopen(write, "w");
        ASSERT_NE(f, nullptr) << write;
        for (const auto& r : records)
            std::fprintf(f, "%s %016" PRIx64 "\n", r.first.c_str(), Fnv1a(r.second));
        std::fclose(f);
        GTEST_SKIP() << "baseline written to " << write;
    }

    FILE* f = std::fopen(BaselinePath().c_str(), "r");
    ASSERT_NE(f, nullptr) << BaselinePath();
    std::map<std::string, std::string> recorded;
    char kind[8], code[32], digest[32];
    while (std::fscanf(f, "%7s %31s %31s", kind, code, digest) == 3)
        recorded[std::string(kind) + " " + code] = digest;
    std::fclose(f);

    int moved = 0, missing = 0;
    std::string first;
    for (const auto& r : records) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%016" PRIx64, Fnv1a(r.second));
        const auto it = recorded.find(r.first);
        if (it == recorded.end()) {
            ++missing;
        } else if (it->second != hex) {
            if (moved++ < 20) first += " " + r.first;
        }
    }
    EXPECT_EQ(moved, 0) << "systems whose exports or build moved, the first:" << first;
    EXPECT_EQ(missing, 0) << "systems not in the record";
    if (kZrSweepStride == 1)
        EXPECT_EQ(recorded.size(), records.size()) << "systems in the record no longer built or listed";
}
