// The public entry points of the exchange forms: which form a text is in,
// import and export dispatched to each form, and the EPSG code of a system.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/ZrWktTree_p.h"

#include <cctype>
#include <algorithm>
#include <cmath>
#include <cstdio>
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
// locks) and again when the data file moves. The projected and geographic
// names apart: the geographic code of a system (a datum shift's first
// question) need not decode all 5,000 projected systems, which were a third
// of a one-point conversion by the command-line tool.
struct NameIndex {
    std::string path;
    std::unordered_multimap<std::string, long> names;
    // Geographic codes by SpellingKey of EPSG's name and of ESRI's aliases.
    std::unordered_multimap<std::string, long> spelling;
};

// A name as writers spell it alike: letters and digits only, lower case, and
// without ESRI's "GCS_" ("GCS_NAD83_CSRS_v2" and "NAD83(CSRS)v2", PROJ's ESRI
// form of an EPSG name the dataset gives no ESRI alias for).
std::string SpellingKey(const std::string& name) {
    const size_t from = name.compare(0, 4, "GCS_") == 0 ? 4 : 0;
    std::string key;
    for (size_t i = from; i < name.size(); ++i)
        if (std::isalnum(static_cast<unsigned char>(name[i])))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return key;
}

// Whether index holds the current data file's names; if not, it is emptied
// for the caller to fill with the codes listed.
bool Current(NameIndex& index, void (*list)(std::vector<long>&), std::vector<long>& codes) {
    const std::string path = ZrEpsgDataPath();
    if (index.path == path && (!index.names.empty() || !ZrEpsgDataAvailable())) return true;
    index = NameIndex();
    index.path = path;
    list(codes);
    return false;
}

const NameIndex& ProjectedNames() {
    thread_local NameIndex index;
    std::vector<long> codes;
    if (Current(index, ZrEpsgProjectedCodes, codes)) return index;
    for (const long code : codes) {
        ZrEpsgProjectedRecord p;
        if (ZrEpsgFindProjected(code, p)) index.names.emplace(p.name, code);
    }
    return index;
}

const NameIndex& GeographicNames() {
    thread_local NameIndex index;
    std::vector<long> codes;
    if (Current(index, ZrEpsgGeographicCodes, codes)) return index;
    std::vector<std::string> aliases;
    for (const long code : codes) {
        ZrEpsgGeographicRecord g;
        if (!ZrEpsgFindGeographic(code, g)) continue;
        index.names.emplace(g.name, code);
        index.spelling.emplace(SpellingKey(g.name), code);
        // ESRI's name ("GCS_Anguilla_1957"), which a .prj file gives: without
        // it a system read from one stands for no EPSG geographic system, and
        // identification by parameters takes any datum on the same ellipsoid
        // (Barbados 1938's grid for Anguilla 1957's).
        aliases.clear();
        ZrEpsgAliases(code, aliases);
        for (const std::string& alias : aliases)
            if (alias.compare(0, 4, "GCS_") == 0) {
                index.names.emplace(alias, code);
                index.spelling.emplace(SpellingKey(alias), code);
            }
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

bool ZrInteropTextReadable(const CString& text, const char* expected, CString* reason) {
    if (text.GetLength() > kZrInteropMaxTextBytes) {
        if (reason)
            reason->Format("text of %d bytes is longer than the %d bytes read", text.GetLength(),
                           kZrInteropMaxTextBytes);
        return false;
    }
    const std::string& s = text.str();
    if (std::memchr(s.data(), '\0', s.size())) {
        if (reason) *reason = CString(std::string("binary data, not ") + expected);
        return false;
    }
    return true;
}

tagZrCrsTextFormat ZrDetectCrsTextFormat(const CString& text) {
    if (!ZrInteropTextReadable(text, "a coordinate-system text", nullptr)) return ZR_CRS_TEXT_UNKNOWN;
    const std::string& s = text.str();
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

namespace {

// EPSG's projected systems by what identifies them on the ground: method,
// unit, central meridian and false origin (to a micro-degree and a
// centimetre), read from the data file's records once per thread.
struct DefinitionIndex {
    std::string path;
    std::unordered_multimap<std::string, long> codes;
};

double RoleValue(const ZrEpsgProjectedRecord& p, const long (&role)[3]) {
    for (const long code : role)
        for (const ZrEpsgParameter& q : p.parameters)
            if (q.code == code) return q.value;
    return 0.0;
}

// ESRI writes EPSG's Mercator (1SP) with its standard parallel, as the
// second variant: one family for the key, the comparison on the ground decides.
long MethodFamily(long methodCode) {
    return methodCode == 9804 ? 9805 : methodCode;
}

std::string DefinitionKey(const ZrEpsgProjectedRecord& p) {
    static const long kLongitude[3] = {8802, 8822, 8812}, kEasting[3] = {8806, 8826, 8816},
                      kNorthing[3] = {8807, 8827, 8817};
    char key[200];
    std::snprintf(key, sizeof key, "%ld %.9g %.0f %.0f %.0f", MethodFamily(p.methodCode), p.linearUnitToMetre,
                  RoleValue(p, kLongitude) * 1e6, RoleValue(p, kEasting) * 100.0,
                  RoleValue(p, kNorthing) * 100.0);
    return key;
}

const DefinitionIndex& Definitions() {
    thread_local DefinitionIndex index;
    const std::string path = ZrEpsgDataPath();
    if (index.path == path && (!index.codes.empty() || !ZrEpsgDataAvailable())) return index;
    index = DefinitionIndex();
    index.path = path;
    std::vector<long> codes;
    ZrEpsgProjectedCodes(codes);
    for (const long code : codes) {
        ZrEpsgProjectedRecord p;
        if (ZrEpsgFindProjected(code, p)) index.codes.emplace(DefinitionKey(p), code);
    }
    return index;
}

// A .prj file names its system in its writer's words (ESRI's
// "Pulkovo_1995_GK_Zone_4" for EPSG's "Pulkovo 1995 / Gauss-Kruger zone 4"):
// a system read from one that names no EPSG system is EPSG's where EPSG has
// one on the same geographic system (when that is known) that agrees within
// a millimetre, as projinfo --identify finds it by its parameters.
// The EPSG geographic system a text's GEOGCS names (EPSG's name or ESRI's
// "GCS_JGD_2000") with the figures it gives, at the import's match: the
// ellipsoid the reader took may be the catalogue's, whose flattening is
// rounded, so ZrEpsgGeographicCodeOf's exact figures do not hold.
long NamedGeographic(const CZrPJCoordSys& cs) {
    const long exact = ZrEpsgGeographicCodeOf(cs);
    if (exact != kNone) return exact;
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    const auto range = GeographicNames().spelling.equal_range(SpellingKey(gcs.GetName().str()));
    for (auto it = range.first; it != range.second; ++it) {
        ZrEpsgGeographicRecord g;
        if (!ZrEpsgFindGeographic(it->second, g)) continue;
        const double f = g.inverseFlattening > 0.0 ? 1.0 / g.inverseFlattening : 0.0;
        if (std::fabs(s.GetAxis() - g.semiMajorAxis) <= kZrMatchAxisMetres &&
            std::fabs(s.GetFlattening() - f) <= kZrMatchFlattening &&
            std::fabs(gcs.GetPrimeMeridian().GetLongitude() - g.primeMeridianLongitude) <= 1e-9)
            return it->second;
    }
    return kNone;
}

void IdentifyByDefinition(CZrPJCoordSys& cs) {
    if (cs.GetType() != -1 || !cs.IsValid() || ZrEpsgCodeOf(cs) != kNone) return;
    const long geographic = NamedGeographic(cs);
    ZrEpsgGeographicRecord g;
    ZrEpsgProjectedRecord described;
    bool projected = false;
    if (!ZrInteropDescribe(cs, g, described, projected, nullptr) || !projected) return;
    // Several EPSG systems may share a definition (RGF93 v1 and v2b's
    // Lambert-93): the one the text names (EPSG's name or an alias, ESRI's
    // among them) first, then the lowest code, never the index's order.
    const auto range = Definitions().codes.equal_range(DefinitionKey(described));
    std::vector<long> order;
    for (auto it = range.first; it != range.second; ++it)
        order.push_back(it->second);
    std::sort(order.begin(), order.end());
    // Names compare as spelt alike: ESRI writes "UCS-2000_LCS-23_Zaporizhzhia"
    // for EPSG's "UCS-2000 / LCS-23 Zaporizhzhia", which shares its definition
    // with a Ukraine TM zone.
    const std::string written = SpellingKey(cs.GetName().str());
    const auto named = std::stable_partition(order.begin(), order.end(), [&](long code) {
        ZrEpsgProjectedRecord rec;
        if (ZrEpsgFindProjected(code, rec) && SpellingKey(rec.name) == written) return true;
        std::vector<std::string> aliases;
        ZrEpsgAliases(code, aliases);
        return std::any_of(aliases.begin(), aliases.end(),
                           [&](const std::string& a) { return SpellingKey(a) == written; });
    });
    // A text that gives a name of its own ("测试_UTM_50N") keeps it: taking
    // EPSG's system would rename the host's system behind its back. The
    // definition alone identifies only a text that names nothing.
    if (named == order.begin() && !written.empty() && written != "unknown" && written != "unnamed")
        return;
    for (const long code : order) {
        CZrPJCoordSys candidate;
        ZrEpsgProjectedRecord rec;
        if (!ZrEpsgFindProjected(code, rec)) continue;
        if (geographic != kNone && geographic > 0 && rec.baseGeographicCode != geographic) continue;
        // EPSG's n as the look-up builds it: a catalogue row where that row
        // computes EPSG's n within a millimetre over its area (ETRS89's UTM
        // zones; passing over those found the north-east twin, 3040 for 25828),
        // else EPSG's own definition.
        if (!ZrCoordSysFromEpsg(code, candidate, nullptr) || candidate.GetType() == 0 ||
            candidate.GetType() == 1)
            continue;
        // The same ground on another prime meridian (S-JTSK's Krovak on Ferro
        // and on Greenwich) is another system: its longitudes count from elsewhere.
        if (std::fabs(candidate.GetGCS().GetPrimeMeridian().GetLongitude() -
                      cs.GetGCS().GetPrimeMeridian().GetLongitude()) > 1e-9)
            continue;
        if (!ZrAgreesWithinAMillimetre(cs, candidate) || !ZrAgreesWithinAMillimetre(candidate, cs)) continue;
        cs = candidate;
        return;
    }
}

} // namespace

int ZrImportCoordSys(const CString& text, CZrPJCoordSys& cs, CString* reason, tagZrCrsTextFormat* format) {
    if (!ZrInteropTextReadable(text, "a coordinate-system text", reason)) return 0;
    const std::string& s = text.str();
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
        if (ok && (dialect == ZR_CRS_TEXT_ESRI_WKT1 || dialect == ZR_CRS_TEXT_WKT1_GDAL))
            IdentifyByDefinition(cs);
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
namespace {
// A system built from EPSG's own definition (where the mapped catalogue row
// rounds EPSG's figures, as for the British National Grid) keeps EPSG's exact
// ellipsoid and prime meridian, which no catalogue geographic system has:
// under EPSG's name, those figures are EPSG's geographic system.
bool HasEpsgFigures(const CZrPJGeoCoordSys& gcs, long code) {
    ZrEpsgGeographicRecord g;
    if (!ZrEpsgFindGeographic(code, g)) return false;
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    const double f = g.inverseFlattening > 0.0 ? 1.0 / g.inverseFlattening : 0.0;
    return std::fabs(s.GetAxis() - g.semiMajorAxis) < 1e-6 && std::fabs(s.GetFlattening() - f) < 1e-15 &&
           std::fabs(gcs.GetPrimeMeridian().GetLongitude() - g.primeMeridianLongitude) < 1e-12;
}
} // namespace

long ZrEpsgGeographicCodeOf(const CZrPJCoordSys& cs) {
    if (cs.GetType() == 0) return kNone;
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    if (gcs.GetType() > 1) return ZrMappedEpsgCode(gcs.GetType());
    // A projected system EPSG lists names its base outright: under the
    // catalogue's names one geographic name may stand for several EPSG
    // systems on one ellipsoid (GCS_ETRF_1989 for ETRS89 and for ETRF89).
    if (cs.GetType() == PJ_CS_USER_DEFINED) {
        ZrEpsgProjectedRecord projected;
        const long code = ZrEpsgCodeOf(cs);
        if (code > 0 && ZrEpsgFindProjected(code, projected) &&
            HasEpsgFigures(gcs, projected.baseGeographicCode))
            return projected.baseGeographicCode;
    }
    const auto range = GeographicNames().names.equal_range(gcs.GetName().str());
    for (auto it = range.first; it != range.second; ++it) {
        const long code = it->second;
        CZrPJCoordSys candidate;
        if (ZrCoordSysFromEpsg(code, candidate, nullptr) && candidate.GetType() == 1 &&
            candidate.GetGCS() == gcs)
            return code;
        if (HasEpsgFigures(gcs, code)) return code;
    }
    return kNone;
}

long ZrEpsgCodeOf(const CZrPJCoordSys& cs) {
    const long type = cs.GetType();
    if (type == 0) return kNone;
    if (type == 1) return ZrEpsgGeographicCodeOf(cs);
    if (type > 1) return ZrMappedEpsgCode(type);
    const auto range = ProjectedNames().names.equal_range(cs.GetName().str());
    for (auto it = range.first; it != range.second; ++it) {
        const long code = it->second;
        CZrPJCoordSys candidate;
        if (ZrCoordSysFromEpsg(code, candidate, nullptr) && candidate.GetType() == -1 && candidate == cs)
            return code;
    }
    return kNone;
}

bool ZrEpsgOrderSwapsXY(const CZrPJCoordSys& cs) {
    if (cs.GetType() == PJ_CS_PLANAR || cs.GetType() == PJ_CS_EARTH) return false;
    const long kind = cs.GetProjection().GetType();
    return kind == PJ_KIND_KROVAK || kind == PJ_KIND_KROVAK_MODIFIED ||
           kind == PJ_KIND_CASSINI_SOLDNER_SOUTH_WEST;
}
