// The coordinate-system files: the one-line text file, the XML projection
// file with root OrvantaProjection and the 27-line key-value ".prj" file.

#include "persistence/ZrPrjFiles.h"

#include "persistence/form_p.h"
#include "persistence/prj_files_p.h"
#include "platform/ZrCodePage.h"
#include "platform/ZrFile.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrFileDialog.h"

#include <string>

using zrprj::kFlatLayoutVersion;
using zrprj::ReadDouble;
using zrprj::ReadInt;

const char* const ZRPRJ_XML_NAMESPACE = "http://www.orvanta.com/oml";

namespace {

const char kRoot[] = "OrvantaProjection";
const char kVersionAttribute[] = "oml:Version";
const char kNamespaceAttribute[] = "xmlns:oml";
const char kCoordSys[] = "oml:CoordinateReferenceSystem";

// The extension after the last dot of the file name, upper-cased.
CString ExtensionOf(const CString& path) {
    CString drive, folder, title, extension;
    CZrToolkit::SplitPath(path, drive, folder, title, extension);
    extension = extension.Mid(1);
    extension.MakeUpper();
    return extension;
}

// The file's text in UTF-8: a UTF-8 byte-order mark or the encoding its XML
// declaration names decides, else UTF-8 when the bytes are UTF-8, else the
// host's code page.
std::string DecodeXmlFileText(const std::string& bytes) {
    std::string utf8;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        CZrCodePage::ToUtf8(bytes.substr(3), CZrCodePage::Utf8, utf8);
        return utf8;
    }
    const size_t declEnd = bytes.find("?>");
    if (bytes.compare(0, 5, "<?xml") == 0 && declEnd != std::string::npos) {
        const std::string decl = bytes.substr(0, declEnd);
        const size_t at = decl.find("encoding");
        if (at != std::string::npos) {
            const size_t open = decl.find_first_of("\"'", at);
            const size_t close = open == std::string::npos ? open : decl.find(decl[open], open + 1);
            if (close != std::string::npos &&
                CZrCodePage::ToUtf8(bytes, decl.substr(open + 1, close - open - 1).c_str(), utf8) >= 0)
                return utf8;
        }
    }
    if (CZrCodePage::IsValidUtf8(bytes)) return bytes;
    CZrCodePage::ToUtf8(bytes, CZrCodePage::Current(), utf8);
    return utf8;
}

// All lines of the file joined with nothing between them.
bool ReadJoinedLines(const CString& path, CString& body) {
    std::string bytes;
    if (!CZrFile::ReadAll(path, bytes, CZrFile::kMaxDocumentSize)) return false;
    const std::string text = DecodeXmlFileText(bytes);
    std::string joined;
    joined.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') joined += c;
    body = CString(joined);
    return true;
}

// ------------------------------------------------------------- key-value

enum KeyKind { IntKey, RealKey, NameKey, IgnoredKey };

struct KeyValueFields {
    long pcsType = -1;
    CString pcsName;
    long gcsType = -1;
    CString gcsName;
    long datumType = -1;
    CString datumName;
    long spheroidType = -1;
    CString spheroidName;
    double axis = 6378245.0;               // Krasovsky 1940
    double flatten = 0.003352329869259135; // 1/298.3
    long pmType = -1;
    CString pmName;
    double pmValue = 0.0;
    long gcsUnits = 0;
    long projectionType = -1;
    CString projectionName;
    long pcsUnits = 10000;
    CZrPJParams params;
};

struct KeyRow {
    const char* key;
    KeyKind kind;
    long KeyValueFields::*integer;
    double KeyValueFields::*real;
    CString KeyValueFields::*name;
    double CZrPJParams::*param;
};

// The 27 lines in file order. "GCSUnits" is written but never read back, and
// the projection's name comes from its code.
const KeyRow kKeys[] = {
    {"PCSType", IntKey, &KeyValueFields::pcsType, nullptr, nullptr, nullptr},
    {"PCSName", NameKey, nullptr, nullptr, &KeyValueFields::pcsName, nullptr},
    {"GCSType", IntKey, &KeyValueFields::gcsType, nullptr, nullptr, nullptr},
    {"GCSName", NameKey, nullptr, nullptr, &KeyValueFields::gcsName, nullptr},
    {"DatumType", IntKey, &KeyValueFields::datumType, nullptr, nullptr, nullptr},
    {"DatumName", NameKey, nullptr, nullptr, &KeyValueFields::datumName, nullptr},
    {"SpheroidType", IntKey, &KeyValueFields::spheroidType, nullptr, nullptr, nullptr},
    {"SpheroidName", NameKey, nullptr, nullptr, &KeyValueFields::spheroidName, nullptr},
    {"Axis", RealKey, nullptr, &KeyValueFields::axis, nullptr, nullptr},
    {"Flatten", RealKey, nullptr, &KeyValueFields::flatten, nullptr, nullptr},
    {"PrimeMeridianType", IntKey, &KeyValueFields::pmType, nullptr, nullptr, nullptr},
    {"PrimeMeridianName", NameKey, nullptr, nullptr, &KeyValueFields::pmName, nullptr},
    {"PrimeMeridianValue", RealKey, nullptr, &KeyValueFields::pmValue, nullptr, nullptr},
    {"GCSUnits", IgnoredKey, &KeyValueFields::gcsUnits, nullptr, nullptr, nullptr},
    {"ProjectionType", IntKey, &KeyValueFields::projectionType, nullptr, nullptr, nullptr},
    {"ProjectionName", IgnoredKey, nullptr, nullptr, &KeyValueFields::projectionName, nullptr},
    {"PCSUnits", IntKey, &KeyValueFields::pcsUnits, nullptr, nullptr, nullptr},
    {"FalseEasting", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::FalseEasting},
    {"FalseNorthing", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::FalseNorthing},
    {"CentralMeridian", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::CentralMeridian},
    {"CentralParallel", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::CentralParallel},
    {"StandardParallel1", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::StandardParallel1},
    {"StandardParallel2", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::StandardParallel2},
    {"ScaleFactor", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::ScaleFactor},
    {"Azimuth", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::Azimuth},
    {"FirstPointLongitude", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::FirstPointLongitude},
    {"SecondPointLongitude", RealKey, nullptr, nullptr, nullptr, &CZrPJParams::SecondPointLongitude},
};

void TakeLine(CString line, KeyValueFields& fields) {
    line.Trim();
    const int colon = line.Find(':');
    if (colon <= 0) return;
    CString key = line.Left(colon);
    key.TrimRight();
    const CString value = line.Mid(colon + 1);
    for (const KeyRow& row : kKeys) {
        if (key.CompareNoCase(row.key) != 0) continue;
        switch (row.kind) {
        case IntKey:
            fields.*row.integer = ReadInt(value);
            break;
        case RealKey:
            if (row.param)
                fields.params.*row.param = ReadDouble(value);
            else
                fields.*row.real = ReadDouble(value);
            break;
        case NameKey:
            fields.*row.name = value;
            break;
        case IgnoredKey:
            break;
        }
        return;
    }
}

// The writer puts one blank between the colon and a name; the name itself
// starts after it.
CString StoredName(const CString& value) {
    return value.GetAt(0) == ' ' ? value.Mid(1) : value;
}

CZrPJGeoCoordSys BuildGeoCoordSys(const KeyValueFields& f) {
    CZrPJGeoCoordSys gcs;
    if (f.gcsType != -1) {
        gcs.Set(static_cast<tagGeoCoordSysType>(f.gcsType));
        return gcs;
    }
    CZrPJDatum datum;
    if (f.datumType != -1) {
        datum.Set(static_cast<tagDatumType>(f.datumType));
    } else {
        CZrPJSpheroid spheroid;
        if (f.spheroidType != -1)
            spheroid.Set(static_cast<tagPJSpheroidType>(f.spheroidType));
        else
            spheroid.Set(StoredName(f.spheroidName), f.axis, f.flatten);
        datum.Set(StoredName(f.datumName), spheroid);
    }
    CZrPJPrimeMeridian primeMeridian;
    if (f.pmType != -1)
        primeMeridian.Set(static_cast<tagPJPrimeMeridianType>(f.pmType));
    else
        primeMeridian.Set(StoredName(f.pmName), f.pmValue);
    gcs.Set(StoredName(f.gcsName), datum, primeMeridian, 0);
    return gcs;
}

CZrPJCoordSys Assemble(const KeyValueFields& f) {
    CZrPJCoordSys coordSys;
    switch (f.pcsType) {
    case PJ_CS_PLANAR:
        // The file holds every part of a planar system; its unit is what counts.
        coordSys.SetPlanar(f.pcsUnits);
        break;
    case PJ_CS_EARTH:
        // A geographic system writes its unit as 0 (GetUnits); it is then
        // in degrees on a metre-based system, as SetEarth is normally given.
        coordSys.SetEarth(BuildGeoCoordSys(f), f.pcsUnits > 0 ? f.pcsUnits : 10000);
        break;
    case PJ_CS_USER_DEFINED: {
        CZrPJObject projection;
        projection.Set(static_cast<tagPJObjectType>(f.projectionType));
        coordSys.Set(StoredName(f.pcsName), BuildGeoCoordSys(f), projection, f.params, f.pcsUnits);
        break;
    }
    default:
        coordSys.Set(static_cast<tagPJCoordSysType>(f.pcsType));
        break;
    }
    return coordSys;
}

bool WriteTextFile(const CString& path, const CString& text) {
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText)) return false;
    file.WriteString(text);
    return file.Close() != 0;
}

} // namespace

// ------------------------------------------------------------ XML file

int ZrSaveXmlProjectionFile(const CString& path, const CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(0, [&]() -> int {
        if (path.IsEmpty()) return 0;
        const CString body = coordSys.ToXML(ZRPRJ_XML_VERSION);
        const bool shiftJis = CZrToolkit::GetCharset() == CZrToolkit::kShiftJisCharset;
        const CString declaration =
            CString("<?xml version=\"1.0\" encoding=") + (shiftJis ? "\"shift_JIS\"?>" : "\"GB2312\"?>");
        CMarkup xml;
        if (!xml.SetDoc(declaration) || !xml.AddElem(kRoot) ||
            !xml.SetAttrib(kNamespaceAttribute, ZRPRJ_XML_NAMESPACE) ||
            !xml.SetAttrib(kVersionAttribute, ZRPRJ_XML_VERSION) || !xml.AddChildSubDoc(body))
            return 0;
        return xml.Save(path) ? 1 : 0;
    });
}

int ZrOpenXmlProjectionFile(const CString& path, CZrPJCoordSys& coordSys, int* loaded) {
    return zrprj::Guarded(0, [&]() -> int {
        if (loaded) *loaded = 0;
        if (path.IsEmpty()) return 0;
        CMarkup xml;
        if (!xml.Load(path)) return 0;
        CString body;
        int version = ZRPRJ_XML_VERSION;
        if (xml.FindElem(kRoot)) {
            version = xml.GetAttribInt(kVersionAttribute);
            if (xml.FindChildElem(kCoordSys)) {
                xml.IntoElem();
                body = xml.GetSubDoc();
                xml.OutOfElem();
            } else if (version <= kFlatLayoutVersion) {
                // Files of the flat layout hold their values directly under the
                // root; handing over an empty body would make them unreadable.
                body = xml.GetSubDoc();
            }
        } else if (!ReadJoinedLines(path, body)) {
            return 0;
        }
        if (loaded) *loaded = 1;
        return coordSys.FromXML(body, version);
    });
}

// ------------------------------------------------------ key-value file

CString ZrKeyValueProjectionText(const CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(CString(), [&]() -> CString {
        CZrLocale locale;
        const CZrPJGeoCoordSys gcs = coordSys.GetGCS();
        const CZrPJDatum datum = gcs.GetDatum();
        const CZrPJSpheroid spheroid = datum.GetSpheroid();
        const CZrPJPrimeMeridian primeMeridian = gcs.GetPrimeMeridian();
        const CZrPJObject projection = coordSys.GetProjection();
        const CZrPJParams params = coordSys.GetParams();

        CString text;
        text.AppendFormat("PCSType: %ld \n", coordSys.GetType());
        text.AppendFormat("PCSName: %s \n", coordSys.GetName().c_str());
        text.AppendFormat("GCSType: %ld \n", gcs.GetType());
        text.AppendFormat("GCSName: %s \n", gcs.GetName().c_str());
        text.AppendFormat("DatumType: %ld \n", datum.GetType());
        text.AppendFormat("DatumName: %s \n", datum.GetName().c_str());
        text.AppendFormat("SpheroidType: %ld \n", spheroid.GetType());
        text.AppendFormat("SpheroidName: %s \n", spheroid.GetName().c_str());
        text.AppendFormat("Axis: %f \n", spheroid.GetAxis());
        text.AppendFormat("Flatten: %f \n", spheroid.GetFlattening());
        text.AppendFormat("PrimeMeridianType: %ld \n", primeMeridian.GetType());
        text.AppendFormat("PrimeMeridianName: %s \n", primeMeridian.GetName().c_str());
        text.AppendFormat("PrimeMeridianValue: %f \n", primeMeridian.GetLongitude());
        text.AppendFormat("GCSUnits: %ld \n", gcs.GetUnits());
        text.AppendFormat("ProjectionType: %ld \n", projection.GetType());
        text.AppendFormat("ProjectionName: %s \n", projection.GetName().c_str());
        text.AppendFormat("PCSUnits: %ld \n", coordSys.GetUnits());
        text.AppendFormat("FalseEasting: %f \n", params.FalseEasting);
        text.AppendFormat("FalseNorthing: %f \n", params.FalseNorthing);
        text.AppendFormat("CentralMeridian: %f \n", params.CentralMeridian);
        text.AppendFormat("CentralParallel: %f \n", params.CentralParallel);
        text.AppendFormat("StandardParallel1: %f \n", params.StandardParallel1);
        text.AppendFormat("StandardParallel2: %f \n", params.StandardParallel2);
        text.AppendFormat("ScaleFactor: %f \n", params.ScaleFactor);
        text.AppendFormat("Azimuth: %f \n", params.Azimuth);
        text.AppendFormat("FirstPointLongitude: %f \n", params.FirstPointLongitude);
        text.AppendFormat("SecondPointLongitude: %f \n", params.SecondPointLongitude);
        return text;
    });
}

int ZrSaveKeyValueProjectionFile(const CString& path, const CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(
        0, [&]() -> int { return WriteTextFile(path, ZrKeyValueProjectionText(coordSys)) ? 1 : 0; });
}

CZrPJCoordSys ZrReadKeyValueProjection(const CString& text) {
    try {
        CZrLocale locale;
        KeyValueFields fields;
        const std::string& all = text.str();
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\n', start);
            if (end == std::string::npos) end = all.size();
            TakeLine(CString(all.substr(start, end - start)), fields);
            start = end + 1;
        }
        return Assemble(fields);
    } catch (...) {
        // Built only now, once the failed read has given its memory back.
        return CZrPJCoordSys();
    }
}

int ZrOpenKeyValueProjectionFile(const CString& path, CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(0, [&]() -> int {
        CStdioFile file;
        if (!file.Open(path, CStdioFile::modeRead | CStdioFile::typeText)) return 0;
        CString text, line;
        while (file.ReadString(line))
            text += line + "\n";
        file.Close();
        coordSys = ZrReadKeyValueProjection(text);
        return 1;
    });
}

// ------------------------------------------------------ one-line text file

int ZrSaveTextProjectionFile(const CString& path, const CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(0, [&] { return ZrPJCoordSysFiles::Save(coordSys, path); });
}

int ZrOpenTextProjectionFile(const CString& path, CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(0, [&] { return ZrPJCoordSysFiles::Open(coordSys, path); });
}

int CZrPJCoordSys::Save(CString path) {
    return zrprj::Guarded(0, [&]() -> int {
        if (path.IsEmpty()) return 0;
        // The line is written as it stands, without a line end.
        return WriteTextFile(path, ToString()) ? 1 : 0;
    });
}

int CZrPJCoordSys::Open(CString path) {
    return zrprj::Guarded(0, [&]() -> int {
        if (path.IsEmpty()) return 0;
        CStdioFile file;
        if (!file.Open(path, CStdioFile::modeRead | CStdioFile::typeText)) return 0;
        CString line;
        const int found = file.ReadString(line);
        file.Close();
        if (!found) return 0;
        FromString(line);
        // The text reader leaves the operator alone; a system read from a file
        // must not go on projecting with the operator of the one it replaced.
        Create();
        return 1;
    });
}

namespace {
const char kTextFileExt[] = "Prj";
const char kTextFileName[] = "*.Prj";
const char kTextFileFilter[] = "Projection define file(*.Prj)|*.Prj||";
} // namespace

int CZrPJCoordSys::DoOpen() {
    CFileDialog dialog(TRUE, kTextFileExt, kTextFileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       kTextFileFilter, nullptr);
    if (dialog.DoModal() != IDOK) return 0;
    return Open(dialog.GetPathName());
}

int CZrPJCoordSys::DoSave() {
    CFileDialog dialog(FALSE, kTextFileExt, kTextFileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       kTextFileFilter, nullptr);
    if (dialog.DoModal() != IDOK) return 0;
    return Save(dialog.GetPathName());
}

// ------------------------------------------------------------ by extension

int ZrSaveProjectionFile(const CString& path, const CZrPJCoordSys& coordSys) {
    return zrprj::Guarded(0, [&] {
        const CString extension = ExtensionOf(path);
        if (extension == "PRJ") return ZrSaveKeyValueProjectionFile(path, coordSys);
        if (extension == "XML") return ZrSaveXmlProjectionFile(path, coordSys);
        // Nothing is written, so nothing may be reported as saved.
        return 0;
    });
}

int ZrOpenProjectionFile(const CString& path, CZrPJCoordSys& coordSys, int* loaded) {
    if (loaded) *loaded = 0;
    return zrprj::Guarded(0, [&] {
        const CString extension = ExtensionOf(path);
        if (extension == "XML") return ZrOpenXmlProjectionFile(path, coordSys, loaded);
        if (extension != "PRJ") return 0;
        const int result = ZrOpenKeyValueProjectionFile(path, coordSys);
        if (loaded) *loaded = result;
        return result;
    });
}
