// Recognising the library's own key-value and one-line text files by their
// content. Their readers take any text and fill what is missing with
// defaults, so a shapefile's ESRI .prj read by them became a system without
// projection: whoever chooses a reader by content asks these first.
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrString.h"

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <strings.h>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// A whole decimal integer that fits a long, blanks around it allowed.
bool IsInteger(const std::string& field) {
    const std::string t = ZrTrimmed(field);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    std::strtol(t.c_str(), &end, 10);
    return errno == 0 && end != t.c_str() && *end == '\0';
}

bool IsNumber(const std::string& field) {
    const std::string t = ZrTrimmed(field);
    if (t.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(t.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

// "CODE ,NAME": an integer, a comma and anything.
bool IsCodeAndName(const std::string& field) {
    const size_t comma = field.find(',');
    return comma != std::string::npos && IsInteger(field.substr(0, comma));
}

} // namespace

int ZrIsOneLineProjectionText(const std::string& content) {
    const size_t newline = content.find('\n');
    const std::string line = content.substr(0, newline);
    if (newline != std::string::npos && !ZrTrimmed(content.substr(newline)).empty()) return 0;
    const std::vector<std::string> fields = Split(line, ';');
    if (fields.size() != 9) return 0;
    for (int i : {0, 1, 2, 6})
        if (!IsCodeAndName(fields[i])) return 0;
    const std::vector<std::string> spheroid = Split(fields[3], ',');
    if (spheroid.size() < 4 || !IsInteger(spheroid[0]) || !IsNumber(spheroid[1]) || !IsNumber(spheroid[2]))
        return 0;
    const std::vector<std::string> meridian = Split(fields[4], ',');
    if (meridian.size() < 3 || !IsInteger(meridian[0]) || !IsNumber(meridian[1])) return 0;
    if (!IsInteger(fields[5]) || !IsInteger(fields[7])) return 0;
    const std::vector<std::string> params = Split(fields[8], ',');
    if (params.size() != 10) return 0;
    for (const std::string& p : params)
        if (!IsNumber(p)) return 0;
    return 1;
}

int ZrIsKeyValueProjectionText(const std::string& content) {
    static const char* const kKeys[] = {"PCSType",
                                        "PCSName",
                                        "GCSType",
                                        "GCSName",
                                        "DatumType",
                                        "DatumName",
                                        "SpheroidType",
                                        "SpheroidName",
                                        "Axis",
                                        "Flatten",
                                        "PrimeMeridianType",
                                        "PrimeMeridianName",
                                        "PrimeMeridianValue",
                                        "GCSUnits",
                                        "ProjectionType",
                                        "ProjectionName",
                                        "PCSUnits",
                                        "FalseEasting",
                                        "FalseNorthing",
                                        "CentralMeridian",
                                        "CentralParallel",
                                        "StandardParallel1",
                                        "StandardParallel2",
                                        "ScaleFactor",
                                        "Azimuth",
                                        "FirstPointLongitude",
                                        "SecondPointLongitude"};
    bool code = false;
    for (const std::string& raw : Split(content, '\n')) {
        const std::string line = ZrTrimmed(raw);
        if (line.empty()) continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) return 0;
        const std::string key = ZrTrimmed(line.substr(0, colon));
        bool known = false;
        for (const char* k : kKeys)
            known = known || strcasecmp(key.c_str(), k) == 0;
        if (!known) return 0;
        code = code || strcasecmp(key.c_str(), "PCSType") == 0;
    }
    return code ? 1 : 0;
}
