#include "PersistFixtures_p.h"

#include "platform/ZrMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace persist_test;

namespace {

constexpr int kCurrent = 20050301;
constexpr int kFlat = 20020128;
// Values written with "%.10f".
constexpr double kTenDecimals = 5e-11;

// Tag names of the root's children in document order.
std::vector<std::string> ChildTags(const CString& xml) {
    CMarkup doc(xml);
    std::vector<std::string> tags;
    while (doc.FindChildElem())
        tags.push_back(doc.GetChildTagName().str());
    return tags;
}

TEST(XmlForm, WritesTheElementTreeInOrder) {
    const CZrPJCoordSys cs = UserCoordSys();
    const CString xml = cs.ToXML(kCurrent);
    EXPECT_EQ(ChildTags(xml), (std::vector<std::string>{"oml:Nameset", "oml:Type", "oml:Units",
                                                        "oml:GeographicCoordinateSystem", "oml:MapProjection",
                                                        "oml:Parameters"}));
    CMarkup doc(xml);
    ASSERT_TRUE(doc.FindChildElem("oml:Nameset"));
    doc.IntoElem();
    ASSERT_TRUE(doc.FindChildElem("oml:name"));
    EXPECT_STREQ(doc.GetChildData(), "My_Lambert");
    doc.OutOfElem();
    ASSERT_TRUE(doc.FindChildElem("oml:Type"));
    EXPECT_STREQ(doc.GetChildData(), "-1");
    ASSERT_TRUE(doc.FindChildElem("oml:Units"));
    EXPECT_STREQ(doc.GetChildData(), "Foot");

    EXPECT_EQ(ChildTags(cs.GetGCS().ToXML(kCurrent)),
              (std::vector<std::string>{"oml:Nameset", "oml:Type", "oml:Units", "oml:HorizonalGeodeticDatum",
                                        "oml:PrimeMeridian"}));
    EXPECT_EQ(ChildTags(UserMeridian().ToXML(kCurrent)),
              (std::vector<std::string>{"oml:Nameset", "oml:Type", "oml:PrimeMeridian"}));
    EXPECT_EQ(ChildTags(UserParams().ToXML(kCurrent)),
              (std::vector<std::string>{"oml:FalseEasting", "oml:FalseNorthing", "oml:CentralMeridian",
                                        "oml:StandardParallel1", "oml:StandardParallel2", "oml:ScaleFactor",
                                        "oml:CentralParallel", "oml:Azimuth", "oml:FirstPointLongitude",
                                        "oml:SecondPointLongitude"}));
    EXPECT_NE(UserParams().ToXML(kCurrent).Find("<oml:FalseNorthing>-100.5000000000</oml:FalseNorthing>"),
              -1);
    EXPECT_NE(UserSpheroid().ToXML(kCurrent).Find("<oml:InverseFlattening>298.2570000000<"), -1);
    EXPECT_NE(CZrPJSpheroid("Sphere", 6371000.0, 0.0).ToXML(kCurrent).Find("<oml:InverseFlattening>0<"), -1);

    CZrPJCoordSys planar;
    planar.SetPlanar(1000);
    EXPECT_EQ(ChildTags(planar.ToXML(kCurrent)),
              (std::vector<std::string>{"oml:Nameset", "oml:Type", "oml:Units"}));
}

TEST(XmlForm, FlatLayoutWritersGiveWhatTheyAlwaysGave) {
    EXPECT_STREQ(UserDatum().ToXML(kFlat), "");
    EXPECT_STREQ(UserMeridian().ToXML(kFlat), "");
    EXPECT_STREQ(UserParams().ToXML(kFlat), "");
    EXPECT_STREQ(UserGeoCoordSys().ToXML(kFlat), "");
    EXPECT_STREQ(UserCoordSys().ToXML(kFlat), "");
    EXPECT_STREQ(UserSpheroid().ToXML(kFlat), UserSpheroid().ToXML(kCurrent));
    EXPECT_STREQ(CZrPJObject().ToXML(kFlat), CZrPJObject().ToXML(kCurrent));
}

TEST(XmlForm, CoordinateSystemsRoundTrip) {
    CZrPJCoordSys planar, earth;
    planar.SetPlanar(100);
    CZrPJGeoCoordSys gcs;
    gcs.Set(PJ_GCS_NTF_PARIS);
    earth.SetEarth(gcs, 10000);
    const CZrPJCoordSys systems[] = {Catalogue(32650), Catalogue(27582), Catalogue(54001),
                                     UserCoordSys(),   planar,           earth};
    for (const CZrPJCoordSys& written : systems) {
        SCOPED_TRACE(written.GetName().c_str());
        CZrPJCoordSys read;
        ASSERT_EQ(read.FromXML(written.ToXML(kCurrent), kCurrent), 1);
        EXPECT_TRUE(read == written);
        // A planar system is its unit and name; nothing else is written.
        if (written.GetType() != PJ_CS_PLANAR) ExpectSameSystem(read, written, kTenDecimals);
        EXPECT_STREQ(read.GetName(), written.GetName());
    }
}

TEST(XmlForm, UserDefinedPartsKeepTheirNamesAndMeridian) {
    // Catalogue parts come back from their codes; parts outside the catalogue
    // keep what was written instead of what the reader held before.
    CZrPJGeoCoordSys read;
    read.FromXML(UserGeoCoordSys().ToXML(kCurrent), kCurrent);
    EXPECT_TRUE(read == UserGeoCoordSys());

    CZrPJPrimeMeridian paris;
    paris.Set(PJ_PM_PARIS);
    // The written longitude is not what counts.
    CZrPJPrimeMeridian back;
    back.FromXML("<oml:PrimeMeridian><oml:Type>8903</oml:Type><oml:PrimeMeridian>9</oml:PrimeMeridian>"
                 "</oml:PrimeMeridian>",
                 kCurrent);
    EXPECT_TRUE(back == paris);

    // An inverse flattening of 0 in any spelling is a sphere, never 1/0.
    CZrPJSpheroid s;
    s.FromXML("<oml:Ellipsoid><oml:Type>-1</oml:Type><oml:InverseFlattening>0.000</oml:InverseFlattening>"
              "</oml:Ellipsoid>",
              kCurrent);
    EXPECT_EQ(s.GetFlattening(), 0.0);
}

TEST(XmlForm, ReadersSearchOnlyAfterTheLastChildFound) {
    CZrPJCoordSys cs = UserCoordSys();
    EXPECT_EQ(
        cs.FromXML("<oml:CoordinateReferenceSystem><oml:Nameset><oml:name>Renamed</oml:name></oml:Nameset>"
                   "<oml:Units>Meter</oml:Units></oml:CoordinateReferenceSystem>",
                   kCurrent),
        0);
    EXPECT_STREQ(cs.GetName(), "Renamed");
    EXPECT_EQ(cs.GetType(), -1);
    EXPECT_EQ(cs.FromXML("", kCurrent), 0);
    EXPECT_EQ(cs.FromXML("<a><oml:Type>0", kCurrent), 1); // what precedes the break is read

    cs = UserCoordSys();
    ASSERT_EQ(cs.FromXML("<x><oml:Units>Meter</oml:Units><oml:Type>-1</oml:Type></x>", kCurrent), 1);
    EXPECT_EQ(cs.GetDistUnits(), 3048);

    CZrPJParams params = UserParams();
    params.FromXML(
        "<oml:Parameters><oml:ScaleFactor>2</oml:ScaleFactor><oml:FalseEasting>5</oml:FalseEasting>"
        "<oml:Azimuth>x</oml:Azimuth></oml:Parameters>",
        kCurrent);
    EXPECT_EQ(params.FalseEasting, 5.0);
    EXPECT_EQ(params.ScaleFactor, UserParams().ScaleFactor);
    EXPECT_EQ(params.Azimuth, 0.0);

    CZrPJObject kind;
    kind.FromXML("<oml:Other><oml:Type>43004</oml:Type></oml:Other>", kCurrent);
    EXPECT_EQ(kind.GetType(), 43005);
}

TEST(XmlForm, ReadsFlatLayoutDocuments) {
    const char* userDefined =
        "<Projection><oml:PCSID>-1</oml:PCSID><oml:CoordUnits>3048</oml:CoordUnits>"
        "<oml:PJObjID>43020</oml:PJObjID><oml:GCSID>-1</oml:GCSID>"
        "<oml:DatumID>-1</oml:DatumID><oml:Axis>6378140</oml:Axis>"
        "<oml:Flatten>0.0033528131778969</oml:Flatten><oml:PrimeMeridian>2.337229</oml:PrimeMeridian>"
        "<oml:PrimeMeridianID>-1</oml:PrimeMeridianID>"
        "<oml:FalseEasting>400000.25</oml:FalseEasting><oml:FalseNorthing>-100.5</oml:FalseNorthing>"
        "<oml:CentralMeridian>117.5</oml:CentralMeridian><oml:CentralParallel>30.125</oml:CentralParallel>"
        "<oml:StandardParallel1>25</oml:StandardParallel1><oml:StandardParallel2>47</oml:StandardParallel2>"
        "<oml:ScaleFactor>0.9999</oml:ScaleFactor><oml:Azimuth>12.5</oml:Azimuth>"
        "<oml:LON1>100</oml:LON1><oml:LON2>130</oml:LON2></Projection>";
    CZrPJCoordSys cs;
    ASSERT_EQ(cs.FromXML(userDefined, kFlat), 1);
    EXPECT_EQ(cs.GetType(), -1);
    EXPECT_EQ(cs.GetDistUnits(), 3048);
    EXPECT_EQ(cs.GetProjection().GetType(), 43020);
    EXPECT_STREQ(cs.GetProjection().GetName(), "Lambert_Conformal_Conic");
    ExpectParamsNear(cs.GetParams(), UserParams(), 0.0);
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    EXPECT_EQ(gcs.GetType(), -1);
    EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetAxis(), 6378140.0);
    EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetFlattening(), 0.0033528131778969);
    EXPECT_EQ(gcs.GetPrimeMeridian().GetLongitude(), 2.337229);
    EXPECT_STREQ(gcs.GetPrimeMeridian().GetName(), "");
    EXPECT_EQ(cs.IsValid(), 1);

    CZrPJCoordSys catalogue = UserCoordSys();
    ASSERT_EQ(catalogue.FromXML("<r><oml:PCSID>32650</oml:PCSID></r>", kFlat), 1);
    EXPECT_TRUE(catalogue == Catalogue(32650));

    CZrPJCoordSys planar;
    ASSERT_EQ(planar.FromXML("<r><oml:PCSID>0</oml:PCSID><oml:Units>Kilometer</oml:Units></r>", kFlat), 1);
    EXPECT_EQ(planar.GetType(), 0);
    EXPECT_EQ(planar.GetDistUnits(), 10000000);
    EXPECT_EQ(planar.FromXML("<r><oml:Type>0</oml:Type></r>", kFlat), 0);
}

} // namespace
