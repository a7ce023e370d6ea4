// How the tool names a coordinate system: catalogue codes, EPSG codes through
// the mapping file, and the three kinds of system file.
#include "tools/zrprj/zrprj_p.h"

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJDatum.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrString.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrToolkit.h"
#include "transform/ZrPJTranslator.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <strings.h>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    why = "no projected or geographic catalogue system has the code " + std::to_string(code) +
          " (see: zrprj list)";
    return 0;
}

// The largest system file the tool reads: a WKT or PROJJSON text is a few
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

// "EPSG:n", "EPSG: n", "epsg:n" (any letter case): the code, else -1; 0 when
// the prefix is there but no code follows.
long EpsgPrefixed(const std::string& spec) {
    if (spec.size() < 5 || strncasecmp(spec.c_str(), "EPSG:", 5) != 0) return -1;
    long code = 0;
    const std::string rest = ZrTrimmed(spec.substr(5));
    if (!ParseCode(rest, code) || code <= 0 || code > INT_MAX) return 0;
    return code;
}

int ResolveEpsg(long code, CZrPJCoordSys& cs, std::string& why) {
    const std::string name = "EPSG:" + std::to_string(code);
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
    const std::string problem = ZrCliMappingFileProblem();
    if (!problem.empty())
        why = name + " cannot be looked up: " + problem;
    else
        why = name + " has no entry in the mapping file \"" + CZrPJTranslator::m_strEpsgName.str() + "\"";
    why += ", and EPSG's definition gives no system: " + reason.str();
    return 0;
}

} // namespace

int ZrCliResolveSystem(const std::string& spec, CZrPJCoordSys& cs, std::string& why, bool planarAllowed,
                       ZrCarriedShift* shift) {
    if (shift) *shift = ZrCarriedShift();
    const long epsg = EpsgPrefixed(spec);
    if (epsg == 0) {
        why = "\"" + spec + "\" is not an EPSG code";
        return 0;
    }
    if (epsg > 0) return ResolveEpsg(epsg, cs, why);
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
          "\" is neither a catalogue code, nor EPSG:<code>, nor a readable system file, nor a +proj= string "
          "or WKT text";
    return 0;
}

std::string ZrCliMappingFileProblem() {
    const std::string path = CZrPJTranslator::m_strEpsgName.str();
    if (path.empty())
        return "the library could not tell its own folder, where the mapping file is looked for";
    const std::string quoted = "the mapping file \"" + path + "\"";
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return quoted + " is missing (" + std::strerror(errno) + ")";
    if (!S_ISREG(st.st_mode)) return quoted + " is not a regular file";
    // Non-blocking, so a FIFO swapped in after the check cannot hang the tool.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return quoted + " cannot be read (" + std::strerror(errno) + ")";
    ::close(fd);
    CMarkup xml;
    if (!xml.Load(path.c_str())) return quoted + " is not readable XML";
    if (!xml.FindChildElem("oml:CodeTransition")) return quoted + " holds no mapping entries";
    return std::string();
}

bool ZrCliIsProjected(const CZrPJCoordSys& cs) {
    return cs.GetType() != 0 && cs.GetType() != 1 && cs.GetProjection().GetType() != -1;
}

int ZrCliEpsgOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgCodeOf(cs);
    if (code != -1000) return static_cast<int>(code);
    CZrPJTranslator translator;
    if (cs.GetType() == 1) return translator.Orvanta2EPSG(static_cast<int>(cs.GetGCS().GetType()));
    if (cs.GetType() == 0 || cs.GetType() == -1) return -1000;
    return translator.Orvanta2EPSG(static_cast<int>(cs.GetType()));
}

long ZrCliEpsgGeographicOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgGeographicCodeOf(cs);
    if (code != -1000 || cs.GetType() == 0) return code;
    CZrPJTranslator translator;
    return translator.Orvanta2EPSG(static_cast<int>(cs.GetGCS().GetType()));
}

std::string ZrCliLabel(const CZrPJCoordSys& cs) {
    const long code = cs.GetType() == 1 ? cs.GetGCS().GetType() : cs.GetType();
    if (code > 0) return cs.GetName().str() + " (" + std::to_string(code) + ")";
    // A system built from EPSG's definition or read from an exchange form has
    // no catalogue code; its EPSG code, where it has one, names it.
    const int epsg = ZrCliEpsgOf(cs);
    return cs.GetName().str() +
           (epsg == -1000 ? std::string(" (user-defined)") : " (EPSG:" + std::to_string(epsg) + ")");
}

std::string ZrCliUnitName(long code) {
    // Code 3048 is the international foot, as its tenths of a millimetre say;
    // the catalogue's NAD 1927 State Plane and BLM rows use it, so they lie
    // 2 ppm of the distance from the false origin away from EPSG's
    // US-survey-foot definitions of the same zones.
    if (code == 3048) return "Foot (international, 0.3048 m)";
    if (code == kZrUnitUsSurveyFoot) return "US survey foot (1200/3937 m)";
    if (code == 9144) return "Yard (international, 0.9144 m)";
    return ZrGetUnitsNameExt(code).str();
}
