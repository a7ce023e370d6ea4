// How a user names a coordinate system: catalogue codes, EPSG and ESRI codes,
// the three kinds of system file, and exchange text typed in place.
#include "interop/ZrResolve.h"

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJDatum.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrString.h"
#include "platform/ZrToolkit.h"
#include "transform/ZrPJTranslator.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The catalogue's code of the metre.
constexpr long kGeocentricUnit = 10000;

// A whole decimal integer that fits a long; leading '+' or '-' allowed.
bool ParseCode(const std::string& text, long& code) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' ||
        std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    code = value;
    return true;
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A projected row or a geographic system of the catalogue has this code.
bool IsCatalogueSystem(long code) {
    ZrProjectedRow row;
    CZrPJGeoCoordSys gcs;
    return ZrFindProjectedRow(code, row) || gcs.Set(static_cast<tagGeoCoordSysType>(code));
}

int ResolveCode(long code, CZrPJCoordSys& cs, std::string& why) {
    // Set(code) accepts one code without a row and then leaves the object as
    // it stood; asking the catalogue first keeps that from passing as a system.
    ZrProjectedRow row;
    if (ZrFindProjectedRow(code, row)) {
        CZrPJCoordSys projected;
        if (!projected.Set(static_cast<tagPJCoordSysType>(code))) {
            why = "the catalogue system " + std::to_string(code) + " could not be built";
            return 0;
        }
        cs = projected;
        return 1;
    }
    CZrPJGeoCoordSys gcs;
    if (gcs.Set(static_cast<tagGeoCoordSysType>(code))) {
        CZrPJCoordSys geographic;
        geographic.SetEarth(gcs, 10000);
        cs = geographic;
        return 1;
    }
    why = "no projected or geographic catalogue system has the code " + std::to_string(code);
    return 0;
}

// The largest system file read: a WKT or PROJJSON text is a few
// kilobytes; anything near this is no coordinate-system file.
constexpr long long kMaxSystemFileBytes = 4 << 20;

// The content of a regular file of at most kMaxSystemFileBytes, read without
// taking more memory than that: the size is asked first, and the read stops
// at the limit for a file that grows meanwhile (or tells no size).
bool ReadBounded(const std::string& path, std::string& content, std::string& why) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st;
    bool ok = ::fstat(::fileno(in), &st) == 0;
    if (!ok) why = std::strerror(errno);
    if (ok && st.st_size > kMaxSystemFileBytes) {
        why = "the file is " + std::to_string(static_cast<long long>(st.st_size)) +
              " bytes long, more than the " + std::to_string(kMaxSystemFileBytes) +
              " a coordinate-system file may hold";
        ok = false;
    }
    content.clear();
    if (ok) content.reserve(static_cast<size_t>(st.st_size));
    char chunk[1 << 16];
    while (ok && !std::feof(in)) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, in);
        if (std::ferror(in)) {
            why = std::strerror(errno);
            ok = false;
        } else if (content.size() + got > static_cast<size_t>(kMaxSystemFileBytes)) {
            why = "the file holds more than the " + std::to_string(kMaxSystemFileBytes) +
                  " bytes a coordinate-system file may hold";
            ok = false;
        } else {
            content.append(chunk, got);
        }
    }
    if (!ok) content.clear();
    std::fclose(in);
    return ok;
}

const char kExpectedForms[] =
    "expected WKT (ESRI, as in a shapefile's .prj, OGC WKT1 or WKT2), PROJJSON, a +proj= string, the XML "
    "projection file, the key-value .prj file or the one-line text form";

// Text that means to be one of the exchange forms even when its detector does
// not take it: a PROJ string, a JSON object, or a WKT keyword and bracket.
bool LooksLikeExchangeText(const std::string& text) {
    const std::string t = ZrTrimmed(text);
    if (t.empty()) return false;
    if (t[0] == '+' || t[0] == '{') return true;
    size_t i = 0;
    while (i < t.size() && (std::isalnum(static_cast<unsigned char>(t[i])) || t[i] == '_'))
        ++i;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i])))
        ++i;
    return i > 0 && i < t.size() && (t[i] == '[' || t[i] == '(');
}

// A system read from a file or text must be one the point commands can use.
int Usable(const CZrPJCoordSys& read, const std::string& what, bool planarAllowed, CZrPJCoordSys& cs,
           std::string& why) {
    if (read.GetType() == 0 && planarAllowed) {
        cs = read;
        return 1;
    }
    if (read.GetType() == 0) {
        why = what + " holds a planar system, which has no earth model to project with";
        return 0;
    }
    if (!read.IsValid()) {
        why = "the system in " + what + " cannot be built (its projection refuses the parameters)";
        return 0;
    }
    cs = read;
    return 1;
}

int ImportText(const std::string& text, const std::string& what, bool planarAllowed, CZrPJCoordSys& cs,
               std::string& why, ZrCarriedShift* shift) {
    CZrPJCoordSys read;
    CString reason;
    ZrCarriedShift carried;
    const int ok = shift ? ZrImportCoordSysWithShift(CString(text.c_str()), read, carried, &reason)
                         : ZrImportCoordSys(CString(text.c_str()), read, &reason);
    if (ok && shift) *shift = carried;
    if (!ok) {
        why = "cannot read a coordinate system from " + what + ": " + reason.str();
        return 0;
    }
    return Usable(read, what, planarAllowed, cs, why);
}

int ResolveFile(const std::string& path, bool planarAllowed, CZrPJCoordSys& cs, std::string& why,
                ZrCarriedShift* shift) {
    const std::string what = "\"" + path + "\"";
    std::string content, problem;
    if (!ReadBounded(path, content, problem)) {
        why = "cannot read a coordinate system from " + what + ": " + problem;
        return 0;
    }
    // A byte-order mark says nothing about which form the text is in.
    const std::string text = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? content.substr(3) : content;
    const std::string trimmed = ZrTrimmed(text);
    if (trimmed.find('\0') == std::string::npos &&
        ZrDetectCrsTextFormat(CString(trimmed.c_str())) != ZR_CRS_TEXT_UNKNOWN)
        return ImportText(trimmed, what, planarAllowed, cs, why, shift);

    CZrPJCoordSys read;
    int ok = -1;
    if (!trimmed.empty() && trimmed[0] == '<')
        ok = ZrOpenXmlProjectionFile(CString(path.c_str()), read);
    else if (ZrIsKeyValueProjectionText(text))
        ok = ZrOpenKeyValueProjectionFile(CString(path.c_str()), read);
    else if (ZrIsOneLineProjectionText(text))
        ok = ZrOpenTextProjectionFile(CString(path.c_str()), read);
    else if (trimmed.find('\0') == std::string::npos && LooksLikeExchangeText(trimmed))
        return ImportText(trimmed, what, planarAllowed, cs, why, shift);
    if (ok == -1) {
        why = "cannot read a coordinate system from " + what + ": " + kExpectedForms;
        return 0;
    }
    if (!ok) {
        why = "cannot read a coordinate system from " + what;
        return 0;
    }
    // The readers rebuild what they read; a definition the operator refuses
    // is reported here rather than projecting every point to nothing.
    return Usable(read, what, planarAllowed, cs, why);
}

// "EPSG:n", "EPSG: n", "epsg:n" (any letter case, and so for ESRI): the code,
// else -1; 0 when the prefix is there but no code follows.
long AuthorityPrefixed(const std::string& spec, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (spec.size() < length || strncasecmp(spec.c_str(), prefix, length) != 0) return -1;
    long code = 0;
    const std::string rest = ZrTrimmed(spec.substr(length));
    if (!ParseCode(rest, code) || code <= 0 || code > INT_MAX) return 0;
    return code;
}

// EPSG's geocentric systems: the geocentric kind on the geographic system of
// the same datum, in metres (the unit every one of them states).
int ResolveGeocentric(const ZrEpsgGeocentricRecord& g, CZrPJCoordSys& cs, std::string& why) {
    const std::string name = "EPSG:" + std::to_string(g.code);
    CZrPJCoordSys base;
    CString reason;
    if (!ZrCoordSysFromEpsg(g.baseCode, base, &reason)) {
        why = name + " (" + g.name + ") lies on EPSG:" + std::to_string(g.baseCode) +
              "'s datum, which cannot be built: " + reason.str();
        return 0;
    }
    CZrPJCoordSys built;
    if (!built.Set(CString(g.name.c_str()), base.GetGCS(), CZrPJObject(PJ_KIND_GEOCENTRIC), CZrPJParams(),
                   kGeocentricUnit)) {
        why = name + " (" + g.name + ") cannot be built";
        return 0;
    }
    cs = built;
    return 1;
}

int ResolveEpsg(long code, CZrPJCoordSys& cs, std::string& why) {
    const std::string name = "EPSG:" + std::to_string(code);
    ZrEpsgGeocentricRecord geocentric;
    if (ZrEpsgFindGeocentric(code, geocentric)) return ResolveGeocentric(geocentric, cs, why);
    CZrPJCoordSys built;
    CString reason;
    if (ZrCoordSysFromEpsg(code, built, &reason)) return Usable(built, name, false, cs, why);
    // The mapping file alone still names the catalogue's rows where the EPSG
    // definitions cannot be read.
    CZrPJTranslator translator;
    const int mapped = translator.EPSG2Orvanta(static_cast<int>(code));
    if (mapped != -1000 && IsCatalogueSystem(mapped)) return ResolveCode(mapped, cs, why);
    // The mapping file also pairs EPSG's datum codes with the catalogue's
    // datums, and EPSG gives some of those numbers to projected systems too
    // (the Colombian urban grids, the Michigan zones). Such an entry names no
    // system: EPSG's own reason is the answer, and "no catalogue system has
    // the code" would send the user looking in the wrong place.
    if (mapped != -1000) {
        why = reason.str();
        ZrEpsgProjectedRecord projected;
        ZrEpsgGeographicRecord geographic;
        ZrEpsgLeftOutRecord leftOut;
        CZrPJDatum datum;
        if (!ZrEpsgFindProjected(code, projected) && !ZrEpsgFindGeographic(code, geographic) &&
            !ZrEpsgFindLeftOut(code, leftOut) && datum.Set(static_cast<tagDatumType>(mapped)))
            why += "; the mapping file pairs " + name + " with the datum " + datum.GetName().str() + " (" +
                   std::to_string(mapped) + "), not with a coordinate system";
        return 0;
    }
    // The lookup answers "not found" alike for a code without an entry and
    // for a file it could not read; the user needs to know which.
    const std::string problem = ZrMappingFileProblem();
    if (!problem.empty())
        why = name + " cannot be looked up: " + problem;
    else
        why = name + " has no entry in the mapping file \"" + CZrPJTranslator::m_strEpsgName.str() + "\"";
    why += ", and EPSG's definition gives no system: " + reason.str();
    return 0;
}

// The catalogue numbers its rows with ESRI's codes (the World_ and Sphere_
// systems at 53000 and 54000 among them), and ESRI gives EPSG's systems
// EPSG's numbers: a row of the code first, then EPSG's definition.
int ResolveEsri(long code, CZrPJCoordSys& cs, std::string& why) {
    if (IsCatalogueSystem(code)) return ResolveCode(code, cs, why);
    if (ResolveEpsg(code, cs, why)) return 1;
    why = "ESRI:" + std::to_string(code) + " is neither a catalogue row nor an EPSG system: " + why;
    return 0;
}

int Resolve(const std::string& spec, CZrPJCoordSys& cs, std::string& why, bool planarAllowed,
            ZrCarriedShift* shift) {
    if (shift) *shift = ZrCarriedShift();
    const long epsg = AuthorityPrefixed(spec, "EPSG:");
    if (epsg == 0) {
        why = "\"" + spec + "\" is not an EPSG code";
        return 0;
    }
    if (epsg > 0) return ResolveEpsg(epsg, cs, why);
    const long esri = AuthorityPrefixed(spec, "ESRI:");
    if (esri == 0) {
        why = "\"" + spec + "\" is not an ESRI code";
        return 0;
    }
    if (esri > 0) return ResolveEsri(esri, cs, why);
    long code = 0;
    if (ParseCode(spec, code)) return ResolveCode(code, cs, why);
    // Text that is unmistakably an exchange form is read as typed, even when
    // a file of that name lies in the current folder; only other arguments
    // are tried as paths.
    const std::string text = ZrTrimmed(spec);
    const bool exchange = ZrDetectCrsTextFormat(CString(text.c_str())) != ZR_CRS_TEXT_UNKNOWN;
    if (!exchange && IsRegularFile(spec)) return ResolveFile(spec, planarAllowed, cs, why, shift);
    if (exchange || LooksLikeExchangeText(text))
        return ImportText(text, "the text \"" + (text.size() > 60 ? text.substr(0, 57) + "..." : text) + "\"",
                          planarAllowed, cs, why, shift);
    why = "\"" + spec +
          "\" is neither a catalogue code, nor EPSG:<code> or ESRI:<code>, nor a readable system file, nor a "
          "+proj= string "
          "or WKT text";
    return 0;
}

} // namespace

int ZrResolveCoordSys(const std::string& spec, CZrPJCoordSys& cs, std::string* reason, bool planarAllowed,
                      ZrCarriedShift* shift) {
    std::string why;
    if (Resolve(spec, cs, why, planarAllowed, shift)) return 1;
    if (reason) *reason = why;
    return 0;
}

int ZrResolveCoordSysByAuthority(const std::string& authority, long code, CZrPJCoordSys& cs,
                                 std::string* reason) {
    std::string why;
    int ok = 0;
    if (code <= 0 || code > INT_MAX)
        why = std::to_string(code) + " is no code of any authority";
    else if (strcasecmp(authority.c_str(), "EPSG") == 0)
        ok = ResolveEpsg(code, cs, why);
    else if (strcasecmp(authority.c_str(), "ESRI") == 0)
        ok = ResolveEsri(code, cs, why);
    else if (strcasecmp(authority.c_str(), "ZRPRJ") == 0)
        ok = ResolveCode(code, cs, why);
    else
        why = "\"" + authority + "\" is none of the authorities EPSG, ESRI and ZRPRJ";
    if (!ok && reason) *reason = why;
    return ok;
}

std::string ZrMappingFileProblem() {
    const std::string path = CZrPJTranslator::m_strEpsgName.str();
    if (path.empty())
        return "the library could not tell its own folder, where the mapping file is looked for";
    const std::string quoted = "the mapping file \"" + path + "\"";
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return quoted + " is missing (" + std::strerror(errno) + ")";
    if (!S_ISREG(st.st_mode)) return quoted + " is not a regular file";
    // Non-blocking, so a FIFO swapped in after the check cannot hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return quoted + " cannot be read (" + std::strerror(errno) + ")";
    ::close(fd);
    CMarkup xml;
    if (!xml.Load(path.c_str())) return quoted + " is not readable XML";
    if (!xml.FindChildElem("oml:CodeTransition")) return quoted + " holds no mapping entries";
    return std::string();
}

int ZrChooseOperation(const CZrPJCoordSys& src, const CZrPJCoordSys& dst, CZrPJTranslator& translator,
                      std::string* description, std::string* reason) {
    CZrPJTranslator t;
    // One geographic system as two objects (the catalogue's row and EPSG's
    // definition) is no shift either, but not a zero Helmert, which between a
    // rounded catalogue ellipsoid and EPSG's moves the latitude by a
    // millimetre: the best operation leaves such points as they are.
    if (src.GetGCS() == dst.GetGCS()) {
        t.SetMethod(PJTM_COORDINATE_FRAME);
        t.SetParams(CZrPJParams());
        if (!t.Set(src, dst)) {
            if (reason) *reason = "the library cannot convert between these two systems";
            return 0;
        }
        translator = t;
        if (description) *description = "none: the two systems share one geographic system";
        return 1;
    }
    // EPSG's candidates, per point the first whose area holds it, as PROJ's
    // proj_create_crs_to_crs chooses (grid-based ones where the grid is found).
    std::vector<ZrOperationSummary> used;
    CString why;
    if (ZrSetTranslatorBestOperation(t, src, nullptr, dst, nullptr, false, &used, &why)) {
        translator = t;
        if (description) {
            description->clear();
            for (const ZrOperationSummary& op : used) {
                if (!description->empty()) *description += "; ";
                char accuracy[32] = "";
                if (op.accuracy >= 0) std::snprintf(accuracy, sizeof accuracy, " (%g m)", op.accuracy);
                *description += (op.code ? "EPSG:" + std::to_string(op.code) + " " : std::string()) +
                                op.name.str() + accuracy;
            }
        }
        return 1;
    }
    if (reason)
        *reason = why.IsEmpty() ? "no known operation joins the geographic systems " +
                                      src.GetGCS().GetName().str() + " and " + dst.GetGCS().GetName().str() +
                                      "; name one, or give a datum-shift method and its values"
                                : why.str();
    return 0;
}
