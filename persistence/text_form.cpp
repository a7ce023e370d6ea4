// The one-line text form of the model classes. The layout is shared with
// existing installations: numbers are printf-formatted ("%f" keeps six
// decimals), nested objects are joined with ";" and their fields with ",".
// Readers never fail: what they cannot find keeps its reset or previous value.

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJDatum.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJSpheroid.h"
#include "persistence/form_p.h"
#include "platform/ZrToolkit.h"

using zrprj::CutAt;
using zrprj::ReadDouble;
using zrprj::ReadInt;

namespace {
// A spheroid read from text starts as Airy 1830 (a = 6377563.396,
// 1/f = 299.3249646), the values the stored texts have always fallen back to.
constexpr double kResetAxis = 6377563.396;
constexpr double kResetFlattening = 0.00334085064149708;
const char kResetName[] = "UserDef";

// Reads up to count values separated by commas into the targets, in order;
// the last one takes the rest of the text. Here an empty field still counts
// (it reads as 0); at the first missing comma the value it would end and all
// later ones keep what they held.
void ReadCommaList(CString text, double* const* targets, int count) {
    text.TrimLeft();
    CString field;
    for (int i = 0; i < count - 1; ++i) {
        if (!CutAt(text, ',', field, true)) return;
        *targets[i] = ReadDouble(field);
    }
    *targets[count - 1] = ReadDouble(text);
}
} // namespace

// ---------------------------------------------------------------- spheroid

CString CZrPJSpheroid::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CString text;
        text.Format("%ld, %f, %f ", m_type, m_axis, m_flattening);
        return text + "," + m_name;
    });
}

void CZrPJSpheroid::FromString(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        m_type = -1;
        m_axis = kResetAxis;
        m_flattening = kResetFlattening;
        m_name = kResetName;

        text.TrimLeft();
        CString field;
        if (!CutAt(text, ',', field, false)) return;
        m_type = ReadInt(field);
        if (!CutAt(text, ',', field, false)) {
            m_axis = ReadDouble(text);
            return;
        }
        m_axis = ReadDouble(field);
        if (!CutAt(text, ',', field, false)) return;
        m_flattening = ReadDouble(field);
        m_name = text;
        RestoreCatalogueDigits();
    });
}

// The text keeps six decimals of the flattening (0.0033528107 is written as
// 0.003353), which moves projected coordinates by metres. When the code names
// a catalogue spheroid whose values print exactly as the text holds them, the
// text was written from that row: take the row's full values back.
void CZrPJSpheroid::RestoreCatalogueDigits() {
    CZrPJSpheroid row;
    if (m_type == -1 || !row.Set(static_cast<tagPJSpheroidType>(m_type))) return;
    CString written, catalogue;
    written.Format("%f, %f", m_axis, m_flattening);
    catalogue.Format("%f, %f", row.m_axis, row.m_flattening);
    if (written != catalogue) return;
    m_axis = row.m_axis;
    m_flattening = row.m_flattening;
}

// ---------------------------------------------------------- prime meridian

CString CZrPJPrimeMeridian::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CString text;
        text.Format("%ld, %f, ", m_type, m_longitude);
        return text + m_name;
    });
}

void CZrPJPrimeMeridian::FromString(const CString& source) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        m_type = -1;
        m_longitude = 0.0;
        m_name = kResetName;

        CString text(source);
        text.TrimLeft();
        CString field;
        if (!CutAt(text, ',', field, false)) return;
        m_type = ReadInt(field);
        if (!CutAt(text, ',', field, false)) {
            m_longitude = ReadDouble(text);
            return;
        }
        m_longitude = ReadDouble(field);
        m_name = text;
    });
}

// ------------------------------------------------------------------- datum

CString CZrPJDatum::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CString text;
        text.Format("%ld ", m_type);
        return text + "," + m_name + ";" + m_spheroid.ToString();
    });
}

void CZrPJDatum::FromString(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        m_type = -1;
        m_name = kResetName;

        text.TrimLeft();
        CString head(text);
        const int semicolon = text.Find(';');
        if (semicolon > 0) {
            m_spheroid.FromString(text.Mid(semicolon + 1));
            head = text.Left(semicolon);
            head.TrimLeft();
        }
        // Without a comma the code is read from nothing (0) and the whole head
        // is the name.
        const int comma = head.Find(',');
        m_type = ReadInt(head.Left(comma));
        m_name = head.Mid(comma + 1);
        m_name.TrimLeft();
    });
}

// ------------------------------------------------------- geographic system

CString CZrPJGeoCoordSys::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CString head, units;
        head.Format("%ld ", m_type);
        units.Format("%d ", static_cast<int>(m_units));
        return head + "," + m_name + ";" + m_datum.ToString() + ";" + m_primeMeridian.ToString() + ";" +
               units;
    });
}

void CZrPJGeoCoordSys::FromString(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        // Fields: head, datum head, spheroid text, prime-meridian text, unit code.
        CString fields[5];
        text.TrimLeft();
        int count = 0;
        while (count < 4 && CutAt(text, ';', fields[count], false))
            ++count;
        if (count == 4) {
            fields[4] = text;
        } else if (count == 0) {
            fields[0] = text.GetAt(0) == ';' ? text.Mid(1) : text;
        }

        const CString& head = fields[0];
        const int comma = head.Find(',');
        if (comma > 0) {
            m_type = ReadInt(head.Left(comma));
            m_name = head.Mid(comma + 1);
            m_name.TrimLeft();
        }
        CString datumText(fields[1]);
        if (!fields[2].IsEmpty()) datumText += ";" + fields[2];
        m_datum.FromString(datumText);
        m_primeMeridian.FromString(fields[3]);
        m_units = ReadInt(fields[4]);
    });
}

// ------------------------------------------------------------- projection

CString CZrPJObject::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CString text;
        text.Format("%ld ", m_type);
        return text + "," + m_name;
    });
}

void CZrPJObject::FromString(const CString& source) {
    zrprj::Guarded([&] {
        CString text(source);
        text.TrimLeft();
        const int comma = text.Find(',');
        if (comma > 0) Set(static_cast<tagPJObjectType>(ReadInt(text.Left(comma))));
    });
}

// ------------------------------------------------------------- parameters

CString CZrPJParams::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CString text;
        text.Format("%f, %f, %f, %f, %f, %f, %f, %f, %f, %f ", FalseEasting, FalseNorthing, CentralMeridian,
                    StandardParallel1, StandardParallel2, ScaleFactor, CentralParallel, Azimuth,
                    FirstPointLongitude, SecondPointLongitude);
        return text;
    });
}

void CZrPJParams::FromString(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        double* const targets[] = {
            &FalseEasting, &FalseNorthing,   &CentralMeridian, &StandardParallel1,   &StandardParallel2,
            &ScaleFactor,  &CentralParallel, &Azimuth,         &FirstPointLongitude, &SecondPointLongitude};
        ReadCommaList(text, targets, 10);
    });
}

CString CZrPJParams::ToStringExt() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        CString text;
        text.Format("%f, %f, %f, %f, %f, %f, %f ", TranslationX, TranslationY, TranslationZ, RotationX,
                    RotationY, RotationZ, ScaleDifference);
        return text;
    });
}

void CZrPJParams::FromStringExt(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        double* const targets[] = {&TranslationX, &TranslationY, &TranslationZ,   &RotationX,
                                   &RotationY,    &RotationZ,    &ScaleDifference};
        ReadCommaList(text, targets, 7);
    });
}

// ------------------------------------------------------ coordinate system

CString CZrPJCoordSys::ToString() const {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CString head, units;
        head.Format("%ld ", m_type);
        units.Format("%d ", static_cast<int>(m_units));
        return head + "," + m_name + ";" + m_gcs.ToString() + ";" + m_projection.ToString() + ";" + units +
               ";" + m_params.ToString();
    });
}

void CZrPJCoordSys::FromString(CString text) {
    zrprj::Guarded([&] {
        CZrLocale locale;
        text.TrimLeft();
        CString head;
        if (!CutAt(text, ';', head, false)) return;
        const int comma = head.Find(',');
        if (comma >= 0) {
            m_type = ReadInt(head.Left(comma));
            m_name = head.Mid(comma + 1);
            m_name.TrimLeft();
        }

        // The geographic system's text spans five fields.
        CString gcsText, field;
        for (int i = 0; i < 5; ++i) {
            if (!CutAt(text, ';', field, true)) return;
            gcsText += (i == 0 ? CString() : CString(";")) + field;
        }
        m_gcs.FromString(gcsText);

        if (!CutAt(text, ';', field, true)) return;
        m_projection.FromString(field);

        if (!CutAt(text, ';', field, true)) return;
        m_units = ReadInt(field);
        m_params.FromString(text);
        // The operator is rebuilt by the caller (Create), as it always was.
    });
}
