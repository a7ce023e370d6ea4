// The public entry points of the exchange forms: which form a text is in,
// import and export dispatched to each form, and the EPSG code of a system.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/ZrWktTree_p.h"

#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr long kNone = -1000;

// The first character that is not blank or a byte-order mark.
size_t Start(const std::string& s) {
    size_t i = 0;
    if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

bool StartsWithProjKey(const std::string& s, size_t i) {
    return s.compare(i, 6, "+proj=") == 0 || s.compare(i, 5, "proj=") == 0 ||
           s.compare(i, 7, "+init=") == 0 || s.compare(i, 7, "+title=") == 0;
}

// EPSG's codes by system name, built once per thread (the library takes no
// locks) and again when the data file moves.
struct NameIndex {
    std::string path;
    std::unordered_multimap<std::string, long> projected, geographic;
};

const NameIndex& Names() {
    thread_local NameIndex index;
    const std::string path = ZrEpsgDataPath();
    if (index.path == path && (!index.projected.empty() || !ZrEpsgDataAvailable())) return index;
    index = NameIndex();
    index.path = path;
    std::vector<long> codes;
    ZrEpsgProjectedCodes(codes);
    for (const long code : codes) {
        ZrEpsgProjectedRecord p;
        if (ZrEpsgFindProjected(code, p)) index.projected.emplace(p.name, code);
    }
    codes.clear();
    ZrEpsgGeographicCodes(codes);
    for (const long code : codes) {
        ZrEpsgGeographicRecord g;
        if (ZrEpsgFindGeographic(code, g)) index.geographic.emplace(g.name, code);
    }
    return index;
}

// A reason quotes names from the text: keep it one printable line of
// reasonable length whatever the text held.
void OneLine(CString& reason) {
    std::string s = reason.str();
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (s.size() > 300) s = s.substr(0, 297) + "...";
    reason = CString(s);
}

} // namespace

tagZrCrsTextFormat ZrDetectCrsTextFormat(const CString& text) {
    if (text.GetLength() > kZrInteropMaxTextBytes) return ZR_CRS_TEXT_UNKNOWN;
    const std::string& s = text.str();
    if (std::memchr(s.data(), '\0', s.size())) return ZR_CRS_TEXT_UNKNOWN;
    const size_t i = Start(s);
    if (i == s.size()) return ZR_CRS_TEXT_UNKNOWN;
    if (s[i] == '{')
        return s.find("\"type\"", i) != std::string::npos ? ZR_CRS_TEXT_PROJJSON : ZR_CRS_TEXT_UNKNOWN;
    if (s[i] == '+' || StartsWithProjKey(s, i))
        return s.find("proj=", i) != std::string::npos ? ZR_CRS_TEXT_PROJ_STRING : ZR_CRS_TEXT_UNKNOWN;
    if (std::isalpha(static_cast<unsigned char>(s[i])) && s.find_first_of("[(", i) != std::string::npos)
        return ZrWktDialectOf(text);
    return ZR_CRS_TEXT_UNKNOWN;
}

int ZrExportCoordSys(const CZrPJCoordSys& cs, tagZrCrsTextFormat format, CString& text, CString* reason) {
    switch (format) {
    case ZR_CRS_TEXT_ESRI_WKT1:
    case ZR_CRS_TEXT_WKT1_GDAL:
    case ZR_CRS_TEXT_WKT2_2019:
        return ZrExportWkt(cs, format, text, reason);
    case ZR_CRS_TEXT_PROJ_STRING:
        return ZrExportProjString(cs, text, reason);
    case ZR_CRS_TEXT_PROJJSON:
        return ZrExportProjJson(cs, text, reason);
    default:
        if (reason) *reason = "unknown text form";
        return 0;
    }
}

int ZrImportCoordSys(const CString& text, CZrPJCoordSys& cs, CString* reason, tagZrCrsTextFormat* format) {
    if (text.GetLength() > kZrInteropMaxTextBytes) {
        if (reason)
            reason->Format("text of %d bytes is longer than the %d bytes read", text.GetLength(),
                           kZrInteropMaxTextBytes);
        return 0;
    }
    const std::string& s = text.str();
    if (std::memchr(s.data(), '\0', s.size())) {
        if (reason) *reason = "binary data, not a coordinate-system text";
        return 0;
    }
    const size_t i = Start(s);
    tagZrCrsTextFormat form = ZrDetectCrsTextFormat(text);
    int ok = 0;
    if (form == ZR_CRS_TEXT_PROJ_STRING) {
        ok = ZrImportProjString(text, cs, reason);
    } else if (form == ZR_CRS_TEXT_PROJJSON || (i < s.size() && s[i] == '{')) {
        form = ZR_CRS_TEXT_PROJJSON;
        ok = ZrImportProjJson(text, cs, reason);
    } else if (form != ZR_CRS_TEXT_UNKNOWN ||
               (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) &&
                s.find_first_of("[(", i) != std::string::npos)) {
        // Read as well-known text also when the dialect is unknown, so the
        // reason names what the parser did not understand.
        tagZrCrsTextFormat dialect = ZR_CRS_TEXT_UNKNOWN;
        ok = ZrImportWkt(text, cs, reason, &dialect);
        if (ok) form = dialect;
    } else {
        if (reason)
            *reason = "not a coordinate-system text: expected well-known text, a +proj= string or PROJJSON";
        return 0;
    }
    if (ok && format) *format = form;
    if (!ok && reason) OneLine(*reason);
    return ok;
}

// A catalogue system's code is the one the mapping file gives. A system
// defined from parts keeps an EPSG code only when EPSG has a system of exactly
// its name that builds to exactly its definition (==): a system built from
// EPSG, or read from a text that named one, keeps its code through any edit
// that leaves it unchanged, and loses it with the first change.
long ZrEpsgGeographicCodeOf(const CZrPJCoordSys& cs) {
    if (cs.GetType() == 0) return kNone;
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    if (gcs.GetType() > 1) return ZrMappedEpsgCode(gcs.GetType());
    const auto range = Names().geographic.equal_range(gcs.GetName().str());
    for (auto it = range.first; it != range.second; ++it) {
        const long code = it->second;
        CZrPJCoordSys candidate;
        if (ZrCoordSysFromEpsg(code, candidate, nullptr) && candidate.GetType() == 1 &&
            candidate.GetGCS() == gcs)
            return code;
    }
    return kNone;
}

long ZrEpsgCodeOf(const CZrPJCoordSys& cs) {
    const long type = cs.GetType();
    if (type == 0) return kNone;
    if (type == 1) return ZrEpsgGeographicCodeOf(cs);
    if (type > 1) return ZrMappedEpsgCode(type);
    const auto range = Names().projected.equal_range(cs.GetName().str());
    for (auto it = range.first; it != range.second; ++it) {
        const long code = it->second;
        CZrPJCoordSys candidate;
        if (ZrCoordSysFromEpsg(code, candidate, nullptr) && candidate.GetType() == -1 && candidate == cs)
            return code;
    }
    return kNone;
}
