#include "PersistFixtures_p.h"

#include <gtest/gtest.h>

using namespace persist_test;

namespace {

TEST(TextForm, WritesTheExchangedLayoutToTheByte) {
    CZrPJSpheroid spheroid;
    ASSERT_TRUE(spheroid.Set(PJ_SPHEROID_WGS_1984));
    CZrPJPrimeMeridian greenwich;
    CZrPJDatum datum;
    ASSERT_TRUE(datum.Set(PJ_DATUM_WGS_1984));
    EXPECT_STREQ(spheroid.ToString(), "7030, 6378137.000000, 0.003353 ,WGS_1984");
    EXPECT_STREQ(greenwich.ToString(), "8901, 0.000000, Greenwich");
    EXPECT_STREQ(datum.ToString(), "6326 ,D_WGS_1984;7030, 6378137.000000, 0.003353 ,WGS_1984");
    EXPECT_STREQ(CZrPJObject(PJ_KIND_MERCATOR).ToString(), "43004 ,Mercator");

    // Parameters in text order: FE, FN, CM, SP1, SP2, k, CP, azimuth, LON1, LON2.
    EXPECT_STREQ(UserParams().ToString(), "400000.250000, -100.500000, 117.500000, 25.000000, 47.000000, "
                                          "0.999900, 30.125000, 12.500000, 100.000000, 130.000000 ");
    CZrPJParams shift;
    shift.TranslationX = -15.5;
    shift.RotationZ = 0.25;
    shift.ScaleDifference = 1.5;
    EXPECT_STREQ(shift.ToStringExt(),
                 "-15.500000, 0.000000, 0.000000, 0.000000, 0.000000, 0.250000, 1.500000 ");

    EXPECT_STREQ(
        Catalogue(32650).ToString(),
        "32650 ,WGS_1984_UTM_Zone_50N;4326 ,GCS_WGS_1984;6326 ,D_WGS_1984;7030, 6378137.000000, 0.003353 "
        ",WGS_1984;8901, 0.000000, Greenwich;0 ;43006 ,Transverse_Mercator;10000 ;500000.000000, "
        "0.000000, 117.000000, 0.000000, 0.000000, 0.999600, 0.000000, 0.000000, 0.000000, 0.000000 ");
}

TEST(TextForm, CoordinateSystemsRoundTrip) {
    const CZrPJCoordSys systems[] = {Catalogue(32650), Catalogue(21420), Catalogue(27582), UserCoordSys()};
    for (const CZrPJCoordSys& written : systems) {
        CZrPJCoordSys read;
        read.SetPlanar(10); // every field must come from the text
        read.FromString(written.ToString());
        read.Create();
        SCOPED_TRACE(written.GetName().c_str());
        ExpectSameSystem(read, written, kSixDecimals);
    }
    // Six decimals of the flattening survive: 1/298.257 is 0.00335280...
    CZrPJSpheroid spheroid;
    spheroid.FromString(UserSpheroid().ToString());
    EXPECT_DOUBLE_EQ(spheroid.GetFlattening(), 0.003353);

    // A catalogue spheroid whose text matches its row comes back with the
    // row's full values, so a system read from a text file projects exactly
    // as the one written (six decimals of f alone move GK 20 by 2.3 m).
    CZrPJCoordSys gk = Catalogue(21420), readGk;
    readGk.FromString(gk.ToString());
    ASSERT_EQ(readGk.Create(), 1);
    CPoint2D written(116.4074, 39.9042), read = written;
    gk.Forward(&written, 1);
    readGk.Forward(&read, 1);
    EXPECT_EQ(read.x, written.x);
    EXPECT_EQ(read.y, written.y);
    // A text whose values differ from the row keeps what it says.
    CZrPJSpheroid edited;
    edited.FromString("7030, 6378137.000000, 0.003400 ,WGS_1984");
    EXPECT_EQ(edited.GetFlattening(), 0.0034);

    CZrPJParams shift, back;
    shift.TranslationX = 24.0;
    shift.TranslationY = -123.0;
    shift.TranslationZ = -94.0;
    shift.RotationX = 0.02;
    shift.RotationY = -0.25;
    shift.RotationZ = -0.13;
    shift.ScaleDifference = 1.1;
    back.FromStringExt(shift.ToStringExt());
    EXPECT_TRUE(back == shift);
}

TEST(TextForm, SpheroidAndMeridianReadersStopAtTheFirstMissingField) {
    struct Case {
        const char* text;
        long type;
        double axis, flattening;
        const char* name;
    } cases[] = {
        {"", -1, 6377563.396, 0.00334085064149708, "UserDef"},
        {",6378137, 0.0033, Name", -1, 6377563.396, 0.00334085064149708, "UserDef"},
        {"7030, 6378137", 7030, 6378137.0, 0.00334085064149708, "UserDef"},
        {"7030, 6378137, 0.0033", 7030, 6378137.0, 0.00334085064149708, "UserDef"},
        {"  7030, 6378137, 0.0033 ,A,B", 7030, 6378137.0, 0.0033, "A,B"},
        {"x, y, z, w", 0, 0.0, 0.0, "w"},
    };
    for (const Case& c : cases) {
        CZrPJSpheroid s;
        s.FromString(c.text);
        EXPECT_EQ(s.GetType(), c.type) << c.text;
        EXPECT_DOUBLE_EQ(s.GetAxis(), c.axis) << c.text;
        EXPECT_DOUBLE_EQ(s.GetFlattening(), c.flattening) << c.text;
        EXPECT_STREQ(s.GetName(), c.name) << c.text;
    }
    CZrPJPrimeMeridian a, b, c;
    a.FromString("   8903, 2.337229, Paris");
    b.FromString("8903, 2.337229, Paris");
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.GetType(), 8903);
    c.FromString("8903, 2.5");
    EXPECT_EQ(c.GetType(), 8903);
    EXPECT_DOUBLE_EQ(c.GetLongitude(), 2.5);
    EXPECT_STREQ(c.GetName(), "UserDef");
}

TEST(TextForm, NestedReadersFollowTheirCuttingRules) {
    CZrPJDatum datum;
    datum.FromString("no comma here");
    EXPECT_EQ(datum.GetType(), 0);
    EXPECT_STREQ(datum.GetName(), "no comma here");
    EXPECT_STREQ(datum.GetSpheroid().GetName(), "Krasovsky_1940"); // not reset without a spheroid text

    // A geographic system without its later fields empties the datum and
    // resets the prime meridian; its own code and name are read.
    CZrPJGeoCoordSys gcs;
    gcs.FromString("4001 ,GCS_Airy");
    EXPECT_EQ(gcs.GetType(), 4001);
    EXPECT_STREQ(gcs.GetName(), "GCS_Airy");
    EXPECT_EQ(gcs.GetDatum().GetType(), 0);
    EXPECT_STREQ(gcs.GetDatum().GetName(), "");
    EXPECT_EQ(gcs.GetPrimeMeridian().GetType(), -1);

    CZrPJObject kind;
    kind.FromString("43001, whatever");
    EXPECT_EQ(kind.GetType(), 43001);
    EXPECT_STREQ(kind.GetName(), "Plate Carree");
    kind.FromString(",43004");
    EXPECT_EQ(kind.GetType(), 43001);
    kind.FromString("43038 ,not a kind");
    EXPECT_EQ(kind.GetType(), 43001);

    // Two values and one comma: only the false easting changes. An empty
    // field still counts and reads as 0.
    CZrPJParams params = UserParams();
    params.FromString("12.5, 7");
    EXPECT_EQ(params.FalseEasting, 12.5);
    EXPECT_EQ(params.FalseNorthing, UserParams().FalseNorthing);
    EXPECT_EQ(params.SecondPointLongitude, UserParams().SecondPointLongitude);
    params.FromString(", , 3");
    EXPECT_EQ(params.FalseEasting, 0.0);
    EXPECT_EQ(params.FalseNorthing, 0.0);
    EXPECT_EQ(params.CentralMeridian, UserParams().CentralMeridian);
}

TEST(TextForm, CoordinateSystemReaderKeepsWhatTruncatedTextLacks) {
    const CZrPJCoordSys original = UserCoordSys();
    const CString full = Catalogue(32650).ToString();
    const char* unchanged[] = {"", "   ", ";32650 ,X;", "32650 ,no semicolon"};
    for (const char* text : unchanged) {
        CZrPJCoordSys cs = original;
        cs.FromString(text);
        EXPECT_STREQ(cs.ToString(), original.ToString()) << text;
    }
    // Cut after the projection: code, name, geographic system and kind are
    // read; unit and parameters stay.
    const int cut = full.Find("10000 ;");
    CZrPJCoordSys cs = original;
    cs.FromString(full.Left(cut));
    EXPECT_EQ(cs.GetType(), 32650);
    EXPECT_STREQ(cs.GetName(), "WGS_1984_UTM_Zone_50N");
    EXPECT_EQ(cs.GetGCS().GetType(), 4326);
    EXPECT_EQ(cs.GetProjection().GetType(), 43006);
    EXPECT_EQ(cs.GetDistUnits(), 3048);
    EXPECT_EQ(cs.GetParams().CentralMeridian, UserParams().CentralMeridian);
}

TEST(TextForm, NumbersReadLikeTheRuntimeWhateverTheLocale) {
    // Overlong codes saturate, and special spellings are no numbers.
    CZrPJSpheroid s;
    s.FromString("99999999999999999999, inf, nan ,x");
    EXPECT_EQ(s.GetType(), 2147483647);
    EXPECT_EQ(s.GetAxis(), 0.0);
    EXPECT_EQ(s.GetFlattening(), 0.0);
    s.FromString("7030, 0x10, 1e-3x ,y");
    EXPECT_EQ(s.GetAxis(), 0.0);
    EXPECT_EQ(s.GetFlattening(), 0.001);
}

} // namespace
