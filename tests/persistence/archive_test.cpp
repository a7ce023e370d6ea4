#include "PersistFixtures_p.h"

#include "persistence/ZrProjectionDef.h"
#include "platform/ZrArchive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace persist_test;

namespace {

using Bytes = std::vector<unsigned char>;

int32_t Int32At(const Bytes& b, size_t at) {
    return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                uint32_t(b[at + 3]) << 24);
}

double DoubleAt(const Bytes& b, size_t at) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(b[at + i]) << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Bytes Written(const CZrPJCoordSys& cs) {
    CArchive ar(CArchive::store);
    cs.Write(ar);
    return ar.GetBuffer();
}

CZrPJCoordSys ReadBack(const Bytes& bytes) {
    CArchive ar(bytes.data(), static_cast<unsigned>(bytes.size()));
    CZrPJCoordSys cs;
    cs.Read(ar);
    return cs;
}

TEST(ArchiveForm, PlanarRecordIsEightBytes) {
    CZrPJCoordSys planar;
    planar.SetPlanar(3048);
    const Bytes bytes = Written(planar);
    EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0, 0xE8, 0x0B, 0, 0}));
    const CZrPJCoordSys read = ReadBack(bytes);
    EXPECT_EQ(read.GetType(), 0);
    EXPECT_EQ(read.GetDistUnits(), 3048);
    // A planar record cut after its code falls back to the metre.
    EXPECT_EQ(ReadBack(Bytes{0, 0, 0, 0}).GetDistUnits(), 10000);
}

TEST(ArchiveForm, RecordFieldsByOffset) {
    const CZrPJCoordSys cs = UserCoordSys();
    const Bytes b = Written(cs);
    ASSERT_EQ(b.size(), 152u);
    const int32_t ints[] = {-1, 43020, -1, -1, -1, -1, 3048, 3048};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Int32At(b, 4 * i), ints[i]) << "int at " << 4 * i;
    const CZrPJParams p = UserParams();
    const double feet = 3048 * 0.0001; // the unit's length in metres
    const double doubles[] = {6378140.0,
                              1.0 / 298.257,
                              2.337229,
                              feet,
                              feet,
                              p.FalseEasting,
                              p.FalseNorthing,
                              p.CentralMeridian,
                              p.CentralParallel,
                              p.StandardParallel1,
                              p.StandardParallel2,
                              p.ScaleFactor,
                              p.Azimuth,
                              p.FirstPointLongitude,
                              p.SecondPointLongitude};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(DoubleAt(b, 32 + 8 * i), doubles[i]) << "double at " << 32 + 8 * i;
    // The metre as bytes, to pin the byte order: 10000 = 0x2710.
    const Bytes utm = Written(Catalogue(32650));
    EXPECT_EQ(Bytes(utm.begin(), utm.begin() + 8), (Bytes{0x8A, 0x7F, 0, 0, 0xFE, 0xA7, 0, 0}));
    EXPECT_EQ(Bytes(utm.begin() + 24, utm.begin() + 32), (Bytes{0x10, 0x27, 0, 0, 0x10, 0x27, 0, 0}));
}

TEST(ArchiveForm, SystemsReadBackThroughTheirSetters) {
    // Catalogue systems come back from their code, whatever the other fields hold.
    Bytes utm = Written(Catalogue(32650));
    utm[60] ^= 0xFF;
    EXPECT_TRUE(ReadBack(utm) == Catalogue(32650));

    // A user-defined system keeps its numbers and is named "UserDef" throughout.
    const CZrPJCoordSys user = ReadBack(Written(UserCoordSys()));
    EXPECT_TRUE(user.GetParams() == UserParams());
    EXPECT_EQ(user.GetProjection().GetType(), 43020);
    EXPECT_EQ(user.GetDistUnits(), 3048);
    EXPECT_EQ(user.IsValid(), 1);
    const CZrPJGeoCoordSys gcs = user.GetGCS();
    const CZrPJSpheroid spheroid = gcs.GetDatum().GetSpheroid();
    EXPECT_EQ(spheroid.GetAxis(), 6378140.0);
    EXPECT_EQ(spheroid.GetFlattening(), 1.0 / 298.257);
    EXPECT_EQ(gcs.GetPrimeMeridian().GetLongitude(), 2.337229);
    for (const CString& name : {user.GetName(), gcs.GetName(), gcs.GetDatum().GetName(), spheroid.GetName(),
                                gcs.GetPrimeMeridian().GetName()})
        EXPECT_STREQ(name, "UserDef");
    EXPECT_EQ(gcs.GetUnits(), 0);

    // A geographic system keeps its catalogue geographic system and its unit.
    CZrPJGeoCoordSys ntf;
    ntf.Set(PJ_GCS_NTF_PARIS);
    CZrPJCoordSys earth;
    earth.SetEarth(ntf, 10000);
    const CZrPJCoordSys readEarth = ReadBack(Written(earth));
    EXPECT_TRUE(readEarth == earth);
    EXPECT_EQ(readEarth.GetDistUnits(), 10000);
}

TEST(ArchiveForm, ShortRecordsKeepDefaults) {
    // Nothing to read: the system is left as it was.
    CZrPJCoordSys cs = UserCoordSys();
    CArchive empty(CArchive::load);
    cs.Read(empty);
    EXPECT_TRUE(cs == UserCoordSys());
    EXPECT_TRUE(empty.IsFailed());

    // Cut inside the parameters: what is missing takes the defaults.
    Bytes cut = Written(UserCoordSys());
    cut.resize(72 + 8 * 3 + 5);
    const CZrPJCoordSys read = ReadBack(cut);
    EXPECT_EQ(read.GetParams().CentralMeridian, UserParams().CentralMeridian);
    EXPECT_EQ(read.GetParams().CentralParallel, 0.0);
    EXPECT_EQ(read.GetParams().ScaleFactor, 1.0);
}

TEST(LegacyRecords, ParameterArrayLayout) {
    CProjectionDef def;
    EXPECT_EQ(def.m_params.m_dValues[0], 0.0);
    EXPECT_EQ(def.m_params.m_dValues[1], 6378206.4);
    EXPECT_EQ(def.m_params.m_dValues[2], 6356583.8);
    EXPECT_STREQ(def.m_info.m_strSpheroid, "Clarke 1866");
    EXPECT_STREQ(def.m_info.m_strName, "Robinson");
    for (int i = 0; i < CProjectionParameters::kValueCount; ++i)
        def.m_params.m_dValues[i] = 0.5 + i;

    CByteArray bytes;
    EXPECT_EQ(def.SaveParamToArray(bytes), 1);
    ASSERT_EQ(bytes.GetSize(), 192);
    const Bytes b(bytes.GetData(), bytes.GetData() + 192);
    for (int i = 0; i < CProjectionParameters::kValueCount; ++i)
        EXPECT_EQ(DoubleAt(b, 8 + 8 * i), 0.5 + i);
    // 0.5 is 0x3FE0000000000000, little-endian.
    EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 16), (Bytes{0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));

    CProjectionDef copy;
    copy.m_info.m_strDatum = "kept";
    CByteArray shortArray;
    shortArray.SetSize(191);
    EXPECT_EQ(copy.LoadParamFromArray(shortArray), 0);
    EXPECT_EQ(copy.m_params.m_dValues[1], 6378206.4);
    EXPECT_EQ(copy.LoadParamFromArray(bytes), 1);
    for (int i = 0; i < CProjectionParameters::kValueCount; ++i)
        EXPECT_EQ(copy.m_params.m_dValues[i], 0.5 + i);
    EXPECT_STREQ(copy.m_info.m_strDatum, "kept");

    CProjectionDef assigned(copy);
    EXPECT_EQ(assigned.m_params.m_dValues[22], 22.5);
    EXPECT_STREQ(assigned.m_info.m_strDatum, "kept");
}

} // namespace
