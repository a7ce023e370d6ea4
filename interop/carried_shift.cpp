// Shifts to WGS 84 that a text states for its system, read and written
// beside the system rather than inside it.
#include "interop/ZrInterop.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/proj_common_p.h"

#include <string>

ZrShiftCarrier*& ZrActiveShiftCarrier() {
    thread_local ZrShiftCarrier* carrier = nullptr;
    return carrier;
}

namespace {

// Sets the calling thread's carrier for one import, and clears it however
// the import ends.
class CarrierScope {
public:
    explicit CarrierScope(ZrShiftCarrier& c) : m_previous(ZrActiveShiftCarrier()) {
        ZrActiveShiftCarrier() = &c;
    }
    ~CarrierScope() { ZrActiveShiftCarrier() = m_previous; }
    CarrierScope(const CarrierScope&) = delete;
    CarrierScope& operator=(const CarrierScope&) = delete;

private:
    ZrShiftCarrier* m_previous;
};

std::string Values(const ZrCarriedShift& shift, const char* separator) {
    std::string s;
    for (int i = 0; i < shift.count; ++i)
        s += ZrShortestNumber(shift.values[i]) + (i + 1 < shift.count ? separator : "");
    return s;
}

// The index just past the bracket that closes the one opening at open.
size_t Closing(const std::string& s, size_t open) {
    int depth = 0;
    bool quoted = false;
    for (size_t i = open; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '[') ++depth;
        if (c == ']' && --depth == 0) return i + 1;
    }
    return std::string::npos;
}

// WKT1: TOWGS84 after the datum's spheroid, in place of what the writer put
// there (EPSG's preferred shift, or nothing).
int Wkt1(std::string& text, const ZrCarriedShift& shift, CString* reason) {
    const size_t spheroid = text.find("SPHEROID[");
    const size_t end = spheroid == std::string::npos ? spheroid : Closing(text, spheroid + 8);
    if (end == std::string::npos) {
        if (reason) *reason = "the well-known text has no SPHEROID to put the TOWGS84 after";
        return 0;
    }
    size_t cut = end;
    if (text.compare(end, 9, ",TOWGS84[") == 0) cut = Closing(text, end + 8);
    ZrCarriedShift seven = shift;
    seven.count = 7; // GDAL writes all seven, zeros included
    const std::string towgs =
        shift.kind == ZR_CARRIED_NULL_GRID ? std::string() : ",TOWGS84[" + Values(seven, ",") + "]";
    text = text.substr(0, end) + towgs + text.substr(cut);
    return 1;
}

// WKT2: a BOUNDCRS around the system, to WGS 84, as PROJ writes it.
int Wkt2(std::string& text, const ZrCarriedShift& shift) {
    if (shift.kind == ZR_CARRIED_NULL_GRID) {
        text = "BOUNDCRS[SOURCECRS[" + text +
               "],TARGETCRS[GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\","
               "6378137,298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],"
               "ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",4326]]],ABRIDGEDTRANSFORMATION["
               "\"unknown to WGS 84\",METHOD[\"NTv2\",ID[\"EPSG\",9615]],PARAMETERFILE[\"Latitude and "
               "longitude difference file\",\"@null\"]]]";
        return 1;
    }
    static const char* const kNames[7] = {"X-axis translation", "Y-axis translation", "Z-axis translation",
                                          "X-axis rotation",    "Y-axis rotation",    "Z-axis rotation",
                                          "Scale difference"};
    static const char* const kUnits[7] = {"LENGTHUNIT[\"metre\",1]",
                                          "LENGTHUNIT[\"metre\",1]",
                                          "LENGTHUNIT[\"metre\",1]",
                                          "ANGLEUNIT[\"arc-second\",4.84813681109536E-06]",
                                          "ANGLEUNIT[\"arc-second\",4.84813681109536E-06]",
                                          "ANGLEUNIT[\"arc-second\",4.84813681109536E-06]",
                                          "SCALEUNIT[\"parts per million\",1E-06]"};
    const bool translation = shift.count == 3;
    std::string s = "BOUNDCRS[SOURCECRS[" + text +
                    "],TARGETCRS[GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS "
                    "84\",6378137,298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS["
                    "\"longitude\",east],ANGLEUNIT[\"degree\",0.0174532925199433],ID[\"EPSG\",4326]]],"
                    "ABRIDGEDTRANSFORMATION[\"Transformation to WGS84\",METHOD[";
    s += translation ? "\"Geocentric translations (geog2D domain)\",ID[\"EPSG\",9603]]"
                     : "\"Position Vector transformation (geog2D domain)\",ID[\"EPSG\",9606]]";
    for (int i = 0; i < shift.count; ++i)
        s += ",PARAMETER[\"" + std::string(kNames[i]) + "\"," + ZrShortestNumber(shift.values[i]) + "," +
             kUnits[i] + ",ID[\"EPSG\"," + std::to_string(8605 + i) + "]]";
    text = s + "]]";
    return 1;
}

// PROJ string: +towgs84 or +nadgrids=@null before +no_defs.
void ProjString(std::string& text, const ZrCarriedShift& shift) {
    const std::string add =
        shift.kind == ZR_CARRIED_NULL_GRID ? " +nadgrids=@null" : " +towgs84=" + Values(shift, ",");
    const size_t at = text.find(" +no_defs");
    text.insert(at == std::string::npos ? text.size() : at, add);
}

bool Valid(const ZrCarriedShift& shift) {
    return shift.kind == ZR_CARRIED_NONE || shift.kind == ZR_CARRIED_NULL_GRID ||
           (shift.kind == ZR_CARRIED_HELMERT && (shift.count == 3 || shift.count == 7));
}

} // namespace

int ZrImportCoordSysWithShift(const CString& text, CZrPJCoordSys& cs, ZrCarriedShift& shift, CString* reason,
                              tagZrCrsTextFormat* format) {
    ZrShiftCarrier carrier;
    CZrPJCoordSys read;
    {
        CarrierScope scope(carrier);
        if (!ZrImportCoordSys(text, read, reason, format)) return 0;
    }
    ZrCarriedShift taken;
    if (carrier.nullGrid) {
        taken.kind = ZR_CARRIED_NULL_GRID;
    } else if (!carrier.values.empty()) {
        // All zero is kept too: on another ellipsoid it still says the
        // geocentric frame is WGS 84's, which PROJ applies through the ellipsoids.
        taken.kind = ZR_CARRIED_HELMERT;
        taken.count = static_cast<int>(carrier.values.size());
        for (int i = 0; i < taken.count && i < 7; ++i)
            taken.values[i] = carrier.values[static_cast<size_t>(i)];
    }
    cs = read;
    shift = taken;
    return 1;
}

int ZrExportCoordSysWithShift(const CZrPJCoordSys& cs, const ZrCarriedShift& shift, tagZrCrsTextFormat format,
                              CString& text, CString* reason) {
    if (!Valid(shift)) {
        if (reason) *reason = "the carried shift is neither none, a null grid, nor 3 or 7 values";
        return 0;
    }
    CString plain;
    if (!ZrExportCoordSys(cs, format, plain, reason)) return 0;
    if (shift.kind == ZR_CARRIED_NONE || format == ZR_CRS_TEXT_ESRI_WKT1) {
        // ESRI's text has no place for a shift, and its readers expect none.
        text = plain;
        return 1;
    }
    std::string s = plain.str();
    switch (format) {
    case ZR_CRS_TEXT_WKT1_GDAL:
        if (!Wkt1(s, shift, reason)) return 0;
        break;
    case ZR_CRS_TEXT_WKT2_2019:
        Wkt2(s, shift);
        break;
    case ZR_CRS_TEXT_PROJ_STRING:
        ProjString(s, shift);
        break;
    default:
        if (reason) *reason = "PROJJSON with a carried shift (a BoundCRS) is not written";
        return 0;
    }
    text = CString(s.c_str());
    return 1;
}
