// The XML form of the model classes, in the element layout that existing
// installations exchange. A version above 20020128 selects the current,
// nested layout; older documents held every value as a child of the root
// element and are still read.
//
// Readers look for the children of their root in the written order, each
// search continuing after the last child found, so a child standing before
// one already found is not seen.

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJDatum.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJSpheroid.h"
#include "persistence/form_p.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrToolkit.h"

using zrprj::kFlatLayoutVersion;
using zrprj::ReadDouble;
using zrprj::ReadInt;

namespace {

// Below this the flattening is written as a sphere's, "0".
constexpr double kSphereFlattening = 1e-10;

const char kNameset[] = "oml:Nameset";
const char kName[] = "oml:Name";
const char kCoordSysName[] = "oml:name"; // the coordinate system's own spelling
const char kType[] = "oml:Type";
const char kUnits[] = "oml:Units";
const char kCoordSys[] = "oml:CoordinateReferenceSystem";
const char kGeoCoordSys[] = "oml:GeographicCoordinateSystem";
const char kDatum[] = "oml:HorizonalGeodeticDatum"; // sic: the name existing files carry
const char kEllipsoid[] = "oml:Ellipsoid";
const char kPrimeMeridian[] = "oml:PrimeMeridian";
const char kMapProjection[] = "oml:MapProjection";
const char kParameters[] = "oml:Parameters";

bool IsFlatLayout(int version) {
    return version <= kFlatLayoutVersion;
}

CString Fixed10(double value) {
    CString text;
    text.Format("%.10f", value);
    return text;
}

// The root element with its name set: <root><oml:Nameset><nameTag>name</nameTag></oml:Nameset>...
void BeginObject(CMarkup& xml, const char* root, const CString& name, const char* nameTag = kName) {
    xml.AddElem(root);
    xml.AddChildElem(kNameset);
    xml.IntoElem();
    xml.AddChildElem(nameTag, name);
    xml.OutOfElem();
}

void AddCode(CMarkup& xml, const char* tag, long code) {
    xml.AddChildElem(tag, static_cast<int>(code));
}

// The next child of that name after the last one found.
bool FindText(CMarkup& xml, const char* tag, CString& text) {
    if (!xml.FindChildElem(tag)) return false;
    text = xml.GetChildData();
    return true;
}

bool FindSubDoc(CMarkup& xml, const char* tag, CString& subDoc) {
    if (!xml.FindChildElem(tag)) return false;
    xml.IntoElem();
    subDoc = xml.GetSubDoc();
    xml.OutOfElem();
    return true;
}

bool FindDouble(CMarkup& xml, const char* tag, double& value) {
    CString text;
    if (!FindText(xml, tag, text)) return false;
    value = ReadDouble(text);
    return true;
}

// The name inside the next oml:Nameset.
bool FindName(CMarkup& xml, const char* nameTag, CString& name) {
    if (!xml.FindChildElem(kNameset)) return false;
    xml.IntoElem();
    const bool found = FindText(xml, nameTag, name);
    xml.OutOfElem();
    return found;
}

// The name of an object that is not in its catalogue. Catalogue objects take
// their name from the catalogue, so this looks ahead on its own and then puts
// the search back at the first child, leaving the order rule untouched.
bool PeekName(CMarkup& xml, CString& name) {
    const bool found = FindName(xml, kName, name);
    xml.ResetChildPos();
    return found;
}

// Reads the code of an object that has a catalogue: a catalogue code rebuilds
// the object through set. Outside the catalogue only the code changes, and the
// written name is kept so that a user-defined object does not lose it; true
// then, so that the caller reads what else the catalogue would have given.
template <class SetCode>
bool ReadCodeOutsideCatalogue(CMarkup& xml, SetCode set, long& type, CString& objectName) {
    CString name, value;
    const bool hasName = PeekName(xml, name);
    if (!FindText(xml, kType, value)) return false;
    const long code = ReadInt(value);
    if (set(code)) return false;
    type = code;
    if (hasName) objectName = name;
    return true;
}

} // namespace

// ---------------------------------------------------------------- spheroid

CString CZrPJSpheroid::ToXML(int /*version: both layouts write the same element*/) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kEllipsoid, m_name);
        AddCode(xml, kType, m_type);
        xml.AddChildElem("oml:SemiMajorAxis", Fixed10(m_axis));
        const bool sphere = m_flattening > -kSphereFlattening && m_flattening < kSphereFlattening;
        xml.AddChildElem("oml:InverseFlattening", sphere ? CString("0") : Fixed10(1.0 / m_flattening));
        return xml.GetDoc();
    });
}

int CZrPJSpheroid::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        if (IsFlatLayout(version)) {
            FindDouble(xml, "oml:Axis", m_axis);
            FindDouble(xml, "oml:Flatten", m_flattening);
            return 1;
        }
        FindName(xml, kName, m_name);
        CString value;
        if (FindText(xml, kType, value)) m_type = ReadInt(value);
        FindDouble(xml, "oml:SemiMajorAxis", m_axis);
        if (FindText(xml, "oml:InverseFlattening", value)) {
            // An inverse flattening of 0 is a sphere however it is spelt; the
            // reciprocal would make the flattening infinite.
            const double inverse = value.CompareNoCase("0") == 0 ? 0.0 : ReadDouble(value);
            m_flattening = inverse == 0.0 ? 0.0 : 1.0 / inverse;
        }
        return 1;
    });
}

// ---------------------------------------------------------- prime meridian

CString CZrPJPrimeMeridian::ToXML(int version) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        if (IsFlatLayout(version)) return CString();
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kPrimeMeridian, m_name);
        AddCode(xml, kType, m_type);
        xml.AddChildElem(kPrimeMeridian, Fixed10(m_longitude));
        return xml.GetDoc();
    });
}

int CZrPJPrimeMeridian::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        CString value;
        if (IsFlatLayout(version)) {
            double longitude = 0.0;
            if (FindDouble(xml, kPrimeMeridian, longitude)) Set(CString(), longitude);
            xml.ResetChildPos();
            if (FindText(xml, "oml:PrimeMeridianID", value)) m_type = ReadInt(value);
            return 1;
        }
        // A catalogue meridian takes its longitude from the catalogue. One that
        // is not in it (user-defined) would otherwise silently become whatever
        // this object held before, so it keeps the written name and longitude.
        const auto set = [&](long code) { return Set(static_cast<tagPJPrimeMeridianType>(code)); };
        if (ReadCodeOutsideCatalogue(xml, set, m_type, m_name)) FindDouble(xml, kPrimeMeridian, m_longitude);
        return 1;
    });
}

// ------------------------------------------------------------------- datum

CString CZrPJDatum::ToXML(int version) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        if (IsFlatLayout(version)) return CString();
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kDatum, m_name);
        AddCode(xml, kType, m_type);
        xml.AddChildSubDoc(m_spheroid.ToXML(version));
        return xml.GetDoc();
    });
}

int CZrPJDatum::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        CString value;
        if (IsFlatLayout(version)) {
            if (FindText(xml, "oml:DatumID", value)) m_type = ReadInt(value);
            m_spheroid.FromXML(text, version);
            return 1;
        }
        ReadCodeOutsideCatalogue(
            xml, [&](long code) { return Set(static_cast<tagDatumType>(code)); }, m_type, m_name);
        if (FindSubDoc(xml, kEllipsoid, value)) m_spheroid.FromXML(value, version);
        return 1;
    });
}

// ------------------------------------------------------- geographic system

CString CZrPJGeoCoordSys::ToXML(int version) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        if (IsFlatLayout(version)) return m_datum.ToXML(version) + m_primeMeridian.ToXML(version);
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kGeoCoordSys, m_name);
        AddCode(xml, kType, m_type);
        xml.AddChildElem(kUnits, CZrToolkit::UnitConvert(m_units));
        xml.AddChildSubDoc(m_datum.ToXML(version));
        xml.AddChildSubDoc(m_primeMeridian.ToXML(version));
        return xml.GetDoc();
    });
}

int CZrPJGeoCoordSys::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        CString value;
        if (IsFlatLayout(version)) {
            if (FindText(xml, "oml:GCSID", value)) m_type = ReadInt(value);
            m_datum.FromXML(text, version);
            m_primeMeridian.FromXML(text, version);
            return 1;
        }
        ReadCodeOutsideCatalogue(
            xml, [&](long code) { return Set(static_cast<tagGeoCoordSysType>(code)); }, m_type, m_name);
        if (FindText(xml, kUnits, value)) m_units = CZrToolkit::UnitConvert(value);
        if (FindSubDoc(xml, kDatum, value)) m_datum.FromXML(value, version);
        if (FindSubDoc(xml, kPrimeMeridian, value)) m_primeMeridian.FromXML(value, version);
        return 1;
    });
}

// ------------------------------------------------------------- projection

CString CZrPJObject::ToXML(int /*version: both layouts write the same element*/) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kMapProjection, m_name);
        AddCode(xml, kType, m_type);
        return xml.GetDoc();
    });
}

int CZrPJObject::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        CString value;
        if (IsFlatLayout(version)) {
            if (FindText(xml, "oml:PJObjID", value)) {
                m_type = ReadInt(value);
                Set(static_cast<tagPJObjectType>(m_type));
            }
            return 1;
        }
        if (xml.FindElem(kMapProjection) && FindText(xml, kType, value))
            Set(static_cast<tagPJObjectType>(ReadInt(value)));
        return 1;
    });
}

// ------------------------------------------------------------- parameters

namespace {
struct ParamElement {
    const char* tag;
    double CZrPJParams::*field;
};

const ParamElement kParamElements[] = {
    {"oml:FalseEasting", &CZrPJParams::FalseEasting},
    {"oml:FalseNorthing", &CZrPJParams::FalseNorthing},
    {"oml:CentralMeridian", &CZrPJParams::CentralMeridian},
    {"oml:StandardParallel1", &CZrPJParams::StandardParallel1},
    {"oml:StandardParallel2", &CZrPJParams::StandardParallel2},
    {"oml:ScaleFactor", &CZrPJParams::ScaleFactor},
    {"oml:CentralParallel", &CZrPJParams::CentralParallel},
    {"oml:Azimuth", &CZrPJParams::Azimuth},
    {"oml:FirstPointLongitude", &CZrPJParams::FirstPointLongitude},
    {"oml:SecondPointLongitude", &CZrPJParams::SecondPointLongitude},
};

// The flat layout had its own names and order.
const ParamElement kFlatParamElements[] = {
    {"oml:FalseEasting", &CZrPJParams::FalseEasting},
    {"oml:FalseNorthing", &CZrPJParams::FalseNorthing},
    {"oml:CentralMeridian", &CZrPJParams::CentralMeridian},
    {"oml:CentralParallel", &CZrPJParams::CentralParallel},
    {"oml:StandardParallel1", &CZrPJParams::StandardParallel1},
    {"oml:StandardParallel2", &CZrPJParams::StandardParallel2},
    {"oml:ScaleFactor", &CZrPJParams::ScaleFactor},
    {"oml:Azimuth", &CZrPJParams::Azimuth},
    {"oml:LON1", &CZrPJParams::FirstPointLongitude},
    {"oml:LON2", &CZrPJParams::SecondPointLongitude},
};
} // namespace

CString CZrPJParams::ToXML(int version) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        if (IsFlatLayout(version)) return CString();
        CZrLocale locale;
        CMarkup xml;
        xml.AddElem(kParameters);
        for (const ParamElement& element : kParamElements)
            xml.AddChildElem(element.tag, Fixed10(this->*element.field));
        return xml.GetDoc();
    });
}

int CZrPJParams::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        for (const ParamElement& element : IsFlatLayout(version) ? kFlatParamElements : kParamElements)
            FindDouble(xml, element.tag, this->*element.field);
        return 1;
    });
}

// ------------------------------------------------------ coordinate system

CString CZrPJCoordSys::ToXML(int version) const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        // Nothing reads a coordinate system written in the flat layout.
        if (IsFlatLayout(version)) return CString();
        CZrLocale locale;
        CMarkup xml;
        BeginObject(xml, kCoordSys, m_name, kCoordSysName);
        AddCode(xml, kType, m_type);
        xml.AddChildElem(kUnits, CZrToolkit::UnitConvert(m_units));
        if (m_type != PJ_CS_PLANAR) {
            xml.AddChildSubDoc(m_gcs.ToXML(version));
            xml.AddChildSubDoc(m_projection.ToXML(version));
            xml.AddChildSubDoc(m_params.ToXML(version));
        }
        return xml.GetDoc();
    });
}

int CZrPJCoordSys::FromXML(const CString& text, int version) {
    return zrprj::Guarded(0, [&]() -> int {
        CZrLocale locale;
        CMarkup xml(text);
        CString value;
        if (IsFlatLayout(version)) {
            if (!FindText(xml, "oml:PCSID", value)) return 0;
            const long code = ReadInt(value);
            if (code >= 2) {
                Set(static_cast<tagPJCoordSysType>(code));
                return 1;
            }
            m_type = code;
            if (code == PJ_CS_PLANAR) {
                if (FindText(xml, kUnits, value)) m_units = CZrToolkit::UnitConvert(value);
                return 1;
            }
            if (FindText(xml, "oml:CoordUnits", value)) m_units = ReadInt(value);
            m_projection.FromXML(text, version);
            m_gcs.FromXML(text, version);
            m_params.FromXML(text, version);
            Create();
            return 1;
        }
        FindName(xml, kCoordSysName, m_name);
        if (!FindText(xml, kType, value)) return 0;
        m_type = ReadInt(value);
        if (FindText(xml, kUnits, value)) m_units = CZrToolkit::UnitConvert(value);
        if (FindSubDoc(xml, kGeoCoordSys, value)) m_gcs.FromXML(value, version);
        if (FindSubDoc(xml, kMapProjection, value)) m_projection.FromXML(value, version);
        if (FindSubDoc(xml, kParameters, value)) m_params.FromXML(value, version);
        Create();
        return 1;
    });
}
