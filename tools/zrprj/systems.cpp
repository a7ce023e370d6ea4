// How the tool names a coordinate system: catalogue codes, EPSG codes through
// the mapping file, and the three kinds of system file.
#include "tools/zrprj/zrprj_p.h"

#include "model/catalogue/ZrProjectedCatalogue.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrMarkup.h"
#include "platform/ZrToolkit.h"
#include "transform/ZrPJTranslator.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
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

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
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

int ResolveFile(const std::string& path, CZrPJCoordSys& cs, std::string& why) {
    if (!IsRegularFile(path)) {
        why = "\"" + path + "\" is neither a catalogue code, nor EPSG:<code>, nor a readable system file";
        return 0;
    }
    const std::string ext = LowerExtension(path);
    CZrPJCoordSys read;
    int ok = 0;
    if (ext == ".xml")
        ok = ZrOpenXmlProjectionFile(CString(path.c_str()), read);
    else if (ext == ".prj")
        ok = ZrOpenKeyValueProjectionFile(CString(path.c_str()), read);
    else
        ok = ZrOpenTextProjectionFile(CString(path.c_str()), read);
    if (!ok) {
        why = "cannot read a coordinate system from \"" + path + "\"";
        return 0;
    }
    // The readers rebuild what they read; a definition the operator refuses
    // is reported here rather than projecting every point to nothing.
    if (read.GetType() == 0) {
        why = "\"" + path + "\" holds a planar system, which has no earth model to project with";
        return 0;
    }
    if (!read.IsValid()) {
        why = "the system in \"" + path + "\" cannot be built (its projection refuses the parameters)";
        return 0;
    }
    cs = read;
    return 1;
}

} // namespace

int ZrCliResolveSystem(const std::string& spec, CZrPJCoordSys& cs, std::string& why) {
    long code = 0;
    if (spec.size() > 5 && (spec.compare(0, 5, "EPSG:") == 0 || spec.compare(0, 5, "epsg:") == 0)) {
        if (!ParseCode(spec.substr(5), code) || code <= 0 || code > INT_MAX) {
            why = "\"" + spec + "\" is not an EPSG code";
            return 0;
        }
        CZrPJTranslator translator;
        const int mapped = translator.EPSG2Orvanta(static_cast<int>(code));
        if (mapped == -1000) {
            // The lookup answers "not found" alike for a code without an entry
            // and for a file it could not read; the user needs to know which.
            const std::string problem = ZrCliMappingFileProblem();
            if (!problem.empty())
                why = "EPSG:" + std::to_string(code) + " cannot be looked up: " + problem;
            else
                why = "EPSG:" + std::to_string(code) + " has no entry in the mapping file \"" +
                      CZrPJTranslator::m_strEpsgName.str() + "\"";
            return 0;
        }
        return ResolveCode(mapped, cs, why);
    }
    if (ParseCode(spec, code)) return ResolveCode(code, cs, why);
    return ResolveFile(spec, cs, why);
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
    CZrPJTranslator translator;
    if (cs.GetType() == 1) return translator.Orvanta2EPSG(static_cast<int>(cs.GetGCS().GetType()));
    if (cs.GetType() == 0 || cs.GetType() == -1) return -1000;
    return translator.Orvanta2EPSG(static_cast<int>(cs.GetType()));
}

std::string ZrCliLabel(const CZrPJCoordSys& cs) {
    const long code = cs.GetType() == 1 ? cs.GetGCS().GetType() : cs.GetType();
    return cs.GetName().str() + " (" + std::to_string(code) + ")";
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
