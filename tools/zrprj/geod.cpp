// zrprj geod: geodesics on a system's ellipsoid, read and printed as
// GeographicLib's GeodSolve and Planimeter do, with the points in the
// system's own coordinates.
#include "tools/zrprj/zrprj_p.h"

#include "model/ZrPJGeodesic.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

const char kZrCliGeodHelp[] =
    "usage: zrprj geod inverse|direct|area [OPTIONS] SYSTEM [FILE...]\n"
    "\n"
    "Geodesics on the ellipsoid of SYSTEM's datum, solved by GeographicLib.\n"
    "Points are in the system's own coordinates: longitude and latitude in decimal\n"
    "degrees for a geographic system, x and y in the unit of a projected one (which\n"
    "are unprojected first). Azimuths are in degrees clockwise from true north on\n"
    "the ellipsoid (not grid bearings), in [-180, 180]; distances in metres and\n"
    "areas in square metres on the ellipsoid, whatever the system's unit.\n"
    "\n"
    "  inverse   reads  x1 y1 x2 y2        prints  azi1 azi2 distance\n"
    "            (as GeodSolve -i; azi2 is the forward azimuth at the second point)\n"
    "  direct    reads  x1 y1 azi1 distance  prints  x2 y2 azi2\n"
    "            (as GeodSolve, but in the system's order: x, longitude, first)\n"
    "  area      reads one vertex x y a line; prints  count perimeter area\n"
    "            (as Planimeter: edges are geodesics, the polygon closes itself;\n"
    "            counter-clockwise is a positive area, clockwise a negative one,\n"
    "            its magnitude the smaller region, at most half the ellipsoid).\n"
    "            A blank line ends one polygon and begins the next.\n"
    "\n"
    "  -p, --precision N    GeodSolve's and Planimeter's precision: lengths with N\n"
    "                         decimals of a metre, degrees with N+5 decimals, areas\n"
    "                         with N-5 decimals of a square metre (default 3 for\n"
    "                         inverse and direct, 6 for area; 0 to 10). Projected\n"
    "                         x and y are printed with N decimals.\n"
    "  -h, --help           this help\n"
    "\n"
    "Output columns are separated by tabs. inverse and direct copy the columns\n"
    "after the numbers, lines beginning with #, and blank lines; area skips lines\n"
    "beginning with #. A line that cannot be read or solved gives \"*\" for each\n"
    "result (area: for its whole polygon) and a message FILE:LINE: REASON on\n"
    "standard error; the rest is processed (exit 1).\n"
    "\n"
    "Examples:\n"
    "  echo \"116.4074 39.9042 121.4737 31.2304\" | zrprj geod inverse EPSG:4326\n"
    "  echo \"20449323.943 4419138.275 150 1e5\" | zrprj geod direct 21420\n"
    "  zrprj geod area EPSG:32650 parcel.txt\n";

namespace {

enum class Problem { Inverse, Direct, Area };

struct Problems {
    const char* name;
    Problem problem;
    const char* command;
    int columns;          // numbers read from each line
    int defaultPrecision; // GeodSolve's 3 (millimetres), Planimeter's 6
};
const Problems kProblems[] = {
    {"inverse", Problem::Inverse, "zrprj geod inverse", 4, 3},
    {"direct", Problem::Direct, "zrprj geod direct", 4, 3},
    {"area", Problem::Area, "zrprj geod area", 2, 6},
};
// GeodSolve's and Planimeter's range of the precision.
constexpr long kMaxPrecision = 10;
// Degrees carry five more decimals than metres: 1e-5 degree is about 1 m.
constexpr int kDegreeExtraDecimals = 5;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool NextToken(const std::string& line, size_t& pos, std::string& token) {
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    if (pos >= line.size()) return false;
    const size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos]))
        ++pos;
    token = line.substr(start, pos - start);
    return true;
}

// A finite decimal number filling the whole token (not "nan", "inf" or hex).
bool ParseNumber(const std::string& token, double& value) {
    if (token.empty() || token.find_first_not_of("0123456789.+-eE") != std::string::npos) return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(value);
}

void Append(std::string& out, double value, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    // "-0.000" says nothing "0.000" does not.
    if (buffer[0] == '-' && std::strspn(buffer + 1, "0.") == std::strlen(buffer + 1))
        out += buffer + 1;
    else
        out += buffer;
}

bool IsCommentOrBlank(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\v\f");
    return first == std::string::npos || line[first] == '#';
}

// Reads count numbers from the front of the line; rest is what follows them.
bool ReadNumbers(const std::string& line, int count, double* values, std::string& rest, std::string& why) {
    size_t pos = 0;
    std::string token;
    for (int i = 0; i < count; ++i) {
        if (!NextToken(line, pos, token)) {
            why = "expected " + std::to_string(count) + " numbers, found " + std::to_string(i);
            rest.clear();
            return false;
        }
        if (!ParseNumber(token, values[i])) {
            why = "\"" + (token.size() > 40 ? token.substr(0, 37) + "..." : token) +
                  "\" is not a finite number";
            rest = line.substr(pos);
            return false;
        }
    }
    rest = line.substr(pos);
    return true;
}

// The longest line read, as for the point commands: four numbers and the
// columns that ride along fill a few hundred bytes; a line past a mebibyte
// is no input of ours (binary data, /dev/zero) and is not read whole.
constexpr size_t kMaxLineBytes = 1 << 20;

enum class LineResult { Line, End, TooLong, Error };

// One line without its '\n'. getc hands over what a pipe or a terminal holds
// as it arrives, so each line is answered when it is complete.
LineResult ReadLine(FILE* in, std::string& line) {
    line.clear();
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        if (c == '\n') return LineResult::Line;
        if (line.size() == kMaxLineBytes) return LineResult::TooLong;
        line += static_cast<char>(c);
    }
    if (std::ferror(in)) return LineResult::Error;
    return line.empty() ? LineResult::End : LineResult::Line;
}

class GeodRun {
public:
    GeodRun(const Problems& problem, const CZrPJGeodesic& geodesic, int precision, FILE* out)
        : m_problem(problem), m_geodesic(geodesic), m_precision(precision), m_out(out) {}

    // One line of a file; shown and number name it in messages.
    void Line(const std::string& line, const std::string& shown, long number) {
        if (m_problem.problem == Problem::Area) {
            AreaLine(line, shown, number);
            return;
        }
        if (IsCommentOrBlank(line)) {
            Print(line);
            return;
        }
        double v[4];
        std::string rest, why, output;
        if (ReadNumbers(line, m_problem.columns, v, rest, why) && Solve(v, output, why)) {
            Print(output + rest);
        } else {
            Fail(shown, number, why);
            Print("*\t*\t*" + rest);
        }
    }

    // The end of the input: the last polygon, if any.
    int Finish() {
        if (m_problem.problem == Problem::Area) EndPolygon();
        if (!m_lost) errno = 0;
        if (m_lost || std::fflush(m_out) != 0) return ZrCliOutputLost(m_problem.command);
        return m_status;
    }

    bool Lost() const { return m_lost; }

    void Fail(const std::string& shown, long number, const std::string& why) {
        ZrCliError(m_problem.command, shown + ":" + std::to_string(number) + ": " + why);
        m_status = ZRCLI_SOME_FAILED;
        // A polygon without this vertex (or cut short) would be another polygon.
        m_polygonFailed = m_problem.problem == Problem::Area;
    }

private:
    int AngularDecimals() const { return m_precision + kDegreeExtraDecimals; }

    bool Solve(const double* v, std::string& output, std::string& why) const {
        CString reason;
        const CPoint2D p1(v[0], v[1]);
        if (m_problem.problem == Problem::Inverse) {
            double azi1 = 0.0, azi2 = 0.0, s12 = 0.0;
            if (!m_geodesic.Inverse(p1, CPoint2D(v[2], v[3]), azi1, azi2, s12, &reason)) {
                why = reason.str();
                return false;
            }
            Append(output, azi1, AngularDecimals());
            output += '\t';
            Append(output, azi2, AngularDecimals());
            output += '\t';
            Append(output, s12, m_precision);
            return true;
        }
        CPoint2D p2;
        double azi2 = 0.0;
        if (!m_geodesic.Direct(p1, v[2], v[3], p2, azi2, &reason)) {
            why = reason.str();
            return false;
        }
        const int xy = m_geodesic.IsProjected() ? m_precision : AngularDecimals();
        Append(output, p2.x, xy);
        output += '\t';
        Append(output, p2.y, xy);
        output += '\t';
        Append(output, azi2, AngularDecimals());
        return true;
    }

    void AreaLine(const std::string& line, const std::string& shown, long number) {
        if (line.find_first_not_of(" \t\v\f") == std::string::npos) {
            EndPolygon();
            return;
        }
        if (IsCommentOrBlank(line)) return;
        double v[2];
        std::string rest, why;
        CPoint2D vertex;
        if (ReadNumbers(line, m_problem.columns, v, rest, why)) {
            vertex = CPoint2D(v[0], v[1]);
            CPoint2D geographic = vertex;
            CString reason;
            if (m_geodesic.ToGeographic(geographic, &reason)) {
                m_vertices.push_back(vertex);
                return;
            }
            why = reason.str();
        }
        Fail(shown, number, why);
    }

    void EndPolygon() {
        if (m_vertices.empty() && !m_polygonFailed) return;
        double perimeter = 0.0, area = 0.0;
        CString reason;
        std::string output;
        if (!m_polygonFailed && m_geodesic.Area(m_vertices.data(), static_cast<long>(m_vertices.size()),
                                                perimeter, area, &reason)) {
            output = std::to_string(m_vertices.size()) + '\t';
            Append(output, perimeter, m_precision);
            output += '\t';
            Append(output, area, m_precision > kDegreeExtraDecimals ? m_precision - kDegreeExtraDecimals : 0);
        } else {
            if (!m_polygonFailed) {
                ZrCliError(m_problem.command, reason.str());
                m_status = ZRCLI_SOME_FAILED;
            }
            output = "*\t*\t*";
        }
        Print(output);
        m_vertices.clear();
        m_polygonFailed = false;
    }

    // Once the output is lost nothing more is written; Finish reports it.
    void Print(const std::string& text) {
        if (m_lost) return;
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), m_out) != text.size() || std::fputc('\n', m_out) == EOF)
            m_lost = true;
    }

    const Problems& m_problem;
    const CZrPJGeodesic& m_geodesic;
    const int m_precision;
    FILE* const m_out;
    int m_status = ZRCLI_OK;
    std::vector<CPoint2D> m_vertices;
    bool m_polygonFailed = false;
    bool m_lost = false;
};

} // namespace

int ZrCliGeod(const std::vector<std::string>& args) {
    const char* command = "zrprj geod";
    std::vector<std::string> positional;
    std::string precisionText;
    bool help = false, optionsEnded = false, precisionGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "-p" || arg == "--precision") {
            if (i + 1 >= args.size()) return ZrCliUsageError(command, "option --precision needs a value");
            precisionText = args[++i];
            precisionGiven = true;
        } else if (arg.compare(0, 12, "--precision=") == 0) {
            precisionText = arg.substr(12);
            precisionGiven = true;
        } else {
            return ZrCliUsageError(command, "unknown option \"" + arg + "\"");
        }
    }
    if (help) return ZrCliPrintHelp("geod", stdout) ? ZRCLI_OK : ZRCLI_USAGE;
    // "EPSG: 4326" typed without quotes arrives as two arguments.
    for (size_t i = 0; i + 1 < positional.size(); ++i) {
        if (strcasecmp(positional[i].c_str(), "EPSG:") == 0) {
            positional[i] += positional[i + 1];
            positional.erase(positional.begin() + static_cast<long>(i) + 1);
        }
    }
    if (positional.empty()) return ZrCliUsageError(command, "inverse, direct or area is needed");
    const Problems* problem = nullptr;
    for (const Problems& p : kProblems)
        if (positional[0] == p.name) problem = &p;
    if (!problem)
        return ZrCliUsageError(command, "no problem \"" + positional[0] + "\" (inverse, direct, area)");
    command = problem->command;
    if (positional.size() < 2) return ZrCliUsageError(command, "a coordinate system is needed");

    int precision = problem->defaultPrecision;
    if (precisionGiven) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(precisionText.c_str(), &end, 10);
        if (precisionText.empty() || errno != 0 || *end != '\0' || value < 0 || value > kMaxPrecision)
            return ZrCliUsageError(command, "--precision takes a whole number from 0 to 10");
        precision = static_cast<int>(value);
    }

    CZrPJCoordSys cs;
    std::string why;
    if (!ZrCliResolveSystem(positional[1], cs, why)) {
        ZrCliError(command, why);
        return ZRCLI_USAGE;
    }
    CZrPJGeodesic geodesic;
    CString reason;
    if (!geodesic.Set(cs, &reason)) {
        ZrCliError(command, ZrCliLabel(cs) + ": " + reason.str());
        return ZRCLI_USAGE;
    }

    GeodRun run(*problem, geodesic, precision, stdout);
    std::vector<std::string> files(positional.begin() + 2, positional.end());
    if (files.empty()) files.push_back("-");
    int status = ZRCLI_OK;
    std::string line;
    ZrCliProgressStart(command);
    for (const std::string& name : files) {
        const bool standardInput = name == "-";
        FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
        if (!in) {
            ZrCliErrorf(command, "%s: cannot open the file: %s", name.c_str(), std::strerror(errno));
            status = ZRCLI_SOME_FAILED;
            continue;
        }
        const std::string shown = standardInput ? std::string("<stdin>") : name;
        long number = 0;
        for (;;) {
            errno = 0;
            const LineResult result = ReadLine(in, line);
            if (result == LineResult::End) break;
            ++number;
            if (result != LineResult::Line) {
                run.Fail(shown, number,
                         result == LineResult::TooLong
                             ? "the line is longer than " + std::to_string(kMaxLineBytes) +
                                   " bytes; the rest of the input is not read"
                             : std::string("cannot read the input: ") +
                                   (errno != 0 ? std::strerror(errno) : "read error"));
                break;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ZrCliProgressTick();
            run.Line(line, shown, number);
            if (run.Lost()) break;
        }
        if (!standardInput) std::fclose(in);
        if (run.Lost()) break;
    }
    ZrCliProgressEnd();
    const int runStatus = run.Finish();
    return status != ZRCLI_OK ? status : runStatus;
}
