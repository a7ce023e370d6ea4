// zrprj: projects, unprojects and converts points, describes and lists
// coordinate systems, in the manner of PROJ's proj, cs2cs and projinfo.
#include "tools/zrprj/zrprj_p.h"

#include "platform/ZrCodePage.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace {

const char kOverview[] =
    "usage: zrprj COMMAND [OPTIONS] [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  project    longitude/latitude -> projected x/y in one system\n"
    "  unproject  projected x/y -> longitude/latitude in one system\n"
    "  convert    points from one system to another, with a datum shift\n"
    "  transformations  EPSG's datum transformations between two systems, best first\n"
    "  info       a system's description and its forms: text, XML, key-value, WKT,\n"
    "             PROJ string, PROJJSON\n"
    "  list       the catalogues, with a name filter\n"
    "  search     systems by name, alias or code: catalogue, EPSG and ESRI, best first\n"
    "  sample     a system's sample drawing as a PNG\n"
    "  geod       geodesics on the system's ellipsoid: inverse, direct, area\n"
    "  demo       a built-in example: six cities through Gauss-Krueger and UTM and back\n"
    "  help       help of a command (also: zrprj COMMAND --help)\n"
    "\n"
    "A SYSTEM is one of:\n"
    "  21420          a catalogue code: projected (zrprj list), else geographic\n"
    "                 (zrprj list -c geographic)\n"
    "  EPSG:32650     an EPSG code (also \"EPSG: 32650\", epsg:32650): the catalogue\n"
    "                 row the mapping file CodeTransition.xml names, else a system\n"
    "                 built from EPSG's definition\n"
    "  FILE           a system file, its form told by its content: WKT (ESRI, as in\n"
    "                 a shapefile's .prj, OGC WKT1, WKT2), PROJJSON, a PROJ string,\n"
    "                 the XML projection file (root OrvantaProjection), the key-value\n"
    "                 file (27 \"Key: value\" lines) or the one-line text form\n"
    "  '+proj=utm +zone=50 +datum=WGS84'   a PROJ string, quoted\n"
    "  'PROJCS[\"...\",...]'   WKT (or PROJJSON) text, quoted\n"
    "Anything else is refused with exit 2.\n"
    "\n"
    "Points are read from the FILEs, or standard input when none is given or for\n"
    "\"-\": one point a line, whitespace-separated columns; the first two are the\n"
    "coordinates (longitude and latitude in decimal degrees, or x and y in the\n"
    "system's unit), every further column is copied as it stands. Lines whose\n"
    "first non-blank character is # and blank lines are copied unchanged.\n"
    "Or CSV (--delimiter, --header, --columns, see a command's help): records as\n"
    "RFC 4180 has them, quoted fields (also over several lines) and all; every\n"
    "field but the coordinates is copied byte for byte, each record keeps its line\n"
    "end (CRLF or LF), blank lines pass (# starts no comment: it may be data). A\n"
    "point that cannot be transformed keeps its record with the coordinate fields\n"
    "left empty. A record, like a line, is held to 1 MiB: a quote never closed\n"
    "ends the file there.\n"
    "\n"
    "Output: x<TAB>y<rest of the line>, x and y with a fixed precision: 3 decimals\n"
    "for linear units (millimetres in metres), 9 for degrees (1e-9 degree, about\n"
    "0.1 mm). --precision N changes it. A line that cannot be read, or a point\n"
    "that cannot be transformed, gives \"*<TAB>*<rest of the line>\" and a message\n"
    "FILE:LINE: REASON on standard error; the rest of the input is processed (a\n"
    "line over 1 MiB ends its file). Output that cannot be written, to a full\n"
    "disk for one, is reported and ends the command with exit 1.\n"
    "Every point is checked the other way before it is printed: project refuses\n"
    "a latitude beyond 90 degrees and a point whose image maps back more than\n"
    "10 m away (a point the projection folds onto another); unproject and\n"
    "convert refuse a result that does not map back to within 1 mm of its input\n"
    "(a northing far past the pole, the far hemisphere), where the library itself\n"
    "would clamp or fold it.\n"
    "\n"
    "Exit codes: 0 everything went through; 1 some lines or points failed (or a\n"
    "file could not be read, or nothing matched); 2 bad arguments or a system\n"
    "that cannot be used (nothing processed); 3 not available in this build.\n";

// The point format's options, the same in project, unproject and convert.
#define FORMAT_OPTIONS                                                                                       \
    "  --delimiter C        read and write CSV records delimited by C (one\n"                                \
    "                         character, or tab); comma when --header or\n"                                  \
    "                         --columns is given without it\n"                                               \
    "  --header             the first record of each file names the fields; it is\n"                         \
    "                         copied as it is\n"                                                             \
    "  --columns X,Y[,Z]    the coordinate fields, by header name or by number\n"                            \
    "                         from 1 (default 1,2); Z, a height, must be a number\n"                         \
    "                         (or empty) and is copied as it stands\n"                                       \
    "  --lat-first          longitude/latitude read and written latitude first\n"

const char kProjectHelp[] =
    "usage: zrprj project [OPTIONS] SYSTEM [FILE...]\n"
    "\n"
    "Projects longitude/latitude (decimal degrees on the system's geographic\n"
    "system) to x/y in the projected SYSTEM's unit.\n"
    "\n"
    "  -I, --inverse        unproject instead (as zrprj unproject)\n"
    "  -p, --precision N    decimals of the output (default 3; 9 with -I)\n" FORMAT_OPTIONS
    "  -h, --help           this help\n"
    "\n"
    "Examples:\n"
    "  echo \"116.4074 39.9042 Beijing\" | zrprj project 21420\n"
    "  20449323.943<TAB>4419138.275 Beijing\n"
    "  zrprj project 21420 --header --columns lon,lat cities.csv\n";

const char kUnprojectHelp[] =
    "usage: zrprj unproject [OPTIONS] SYSTEM [FILE...]\n"
    "\n"
    "Unprojects x/y in the projected SYSTEM's unit to longitude/latitude\n"
    "(decimal degrees on the system's geographic system).\n"
    "\n"
    "  -I, --inverse        project instead (as zrprj project)\n"
    "  -p, --precision N    decimals of the output (default 9; 3 with -I)\n" FORMAT_OPTIONS
    "  -h, --help           this help\n"
    "\n"
    "Examples:\n"
    "  echo \"500000 4000000\" | zrprj unproject EPSG:32650\n"
    "  echo \"500000 4000000\" | zrprj unproject '+proj=utm +zone=50 +datum=WGS84'\n";

const char kConvertHelp[] =
    "usage: zrprj convert [OPTIONS] SOURCE DEST [FILE...]\n"
    "\n"
    "Converts points from the SOURCE system to the DEST system: unprojects with\n"
    "the source (when projected), shifts the datum when the two lie on different\n"
    "geographic systems, projects with the destination (when projected).\n"
    "Geographic points are longitude/latitude in decimal degrees. Where a system is\n"
    "geocentric (EPSG:4978, 4936, 7789 ...) or an epoch matters, each line holds\n"
    "x y z and an optional epoch, as cs2cs reads them. Projected points are easting\n"
    "first, but in the south-west Krovak systems (EPSG:2065, 5513, 8352) southing\n"
    "first, as EPSG orders them and cs2cs gives them.\n"
    "\n"
    "  -T, --transformation EPSG:n\n"
    "                       EPSG's datum transformation n, forwards or reversed as\n"
    "                         the two systems need (zrprj transformations SOURCE DEST\n"
    "                         lists them); instead of --method and --params\n"
    "  -m, --method CODE    datum method, an EPSG method code (default 9607):\n"
    "                         9603 geocentric translation (dX dY dZ only)\n"
    "                         9604 Molodensky, 9605 abridged Molodensky\n"
    "                         9606 position vector, 42607 the same (alternative code)\n"
    "                         9607 coordinate frame, 9608 the same (alternative code)\n"
    "  -t, --params LIST    the seven shift values, comma-separated:\n"
    "                         dX,dY,dZ in metres, rX,rY,rZ in arc-seconds, dS in ppm\n"
    "                         (default all 0)\n"
    "      --ballpark       where the datums differ and EPSG knows no operation,\n"
    "                         convert with no shift at all rather than refuse\n"
    "      --epoch YEAR     the coordinate epoch (decimal year) of every point, for\n"
    "                         time-dependent operations (ITRF to ETRF, GDA2020,\n"
    "                         NAD83(CSRS)); a fourth column overrides it per point\n"
    "  -I, --inverse        convert from DEST to SOURCE with the same shift reversed\n"
    "  -p, --precision N    decimals of the output (default 3 for a projected\n"
    "                         destination, 9 for a geographic one)\n" FORMAT_OPTIONS
    "  -h, --help           this help\n"
    "\n"
    "Without --transformation, --method or --params, each point takes the best\n"
    "operation EPSG lists whose area of use holds it (grid-based ones where the\n"
    "grid is found), as PROJ does; a system read from a text with TOWGS84,\n"
    "BOUNDCRS or +towgs84 brings its own shift to WGS 84. The operations applied\n"
    "are named on standard error.\n"
    "The method and the values are ignored when both systems share one geographic\n"
    "system. Heights are not converted: a third column is copied as it stands.\n"
    "--lat-first applies to the geographic side or sides.\n"
    "\n"
    "Examples (Beijing 1954 Gauss-Krueger zone 20 to WGS 84 UTM zone 50N):\n"
    "  zrprj convert 21420 EPSG:32650 -m 9606 -t 15.53,-113.82,-41.38,0,0,0.814,-0.38 points.txt\n"
    "  zrprj convert 21420 EPSG:32650 --transformation EPSG:15919 points.txt\n"
    "  zrprj convert 21420 EPSG:32650 -T EPSG:15919 --header --columns x,y wells.csv\n";

const char kTransformationsHelp[] =
    "usage: zrprj transformations SOURCE DEST\n"
    "\n"
    "Lists EPSG's datum transformations between the geographic systems of SOURCE\n"
    "and DEST, Helmert and grid-based, best first as PROJ's projinfo ranks them\n"
    "(--spatial-test intersects), one a line:\n"
    "  EPSG:CODE<TAB>NAME<TAB>METHOD (CODE)<TAB>ACCURACY<TAB>AREA OF USE[<TAB>GRID MISSING]\n"
    "One EPSG defines the other way round is named \"Inverse of ...\", and zrprj\n"
    "convert --transformation applies it reversed. A grid that cannot be found is\n"
    "named with every place looked; such operations come last.\n"
    "\n"
    "  -h, --help           this help\n"
    "\n"
    "Exit 1 when EPSG lists none; 2 when a system has no EPSG geographic system.\n"
    "\n"
    "Example:\n"
    "  zrprj transformations EPSG:4214 EPSG:4326\n";

const char kInfoHelp[] = "usage: zrprj info [OPTIONS] SYSTEM\n"
                         "\n"
                         "Prints the system's description, its EPSG (and ESRI) code, its area of\n"
                         "use (EPSG's name of the area and its bounding box in degrees, south, west,\n"
                         "north, east) where EPSG gives one, and its text, XML, key-value and WKT2\n"
                         "forms. Outside a Chinese locale the name shown leaves out the library's\n"
                         "Chinese title of a geographic or planar system; the forms keep it.\n"
                         "\n"
                         "  -f, --format FORM    only the system in one form: text (one-line text), xml,\n"
                         "                         prj (key-value), esri (ESRI WKT, as a shapefile's .prj\n"
                         "                         holds it), wkt1 (OGC WKT1 as GDAL writes it), wkt2\n"
                         "                         (WKT2:2019), proj (PROJ string), projjson, or json:\n"
                         "                         the description as one JSON object (below)\n"
                         "  --text, --xml, --kv  the same as --format text, xml, prj\n"
                         "  --epsg               only the EPSG code (exit 1 when it has none)\n"
                         "  -o, --save PATH      write the system to a file instead: in the --format\n"
                         "                         given, else by PATH's ending: .xml an XML projection\n"
                         "                         file, .prj a key-value file, any other a one-line\n"
                         "                         text file\n"
                         "  -h, --help           this help\n"
                         "\n"
                         "Exit 1 when the system cannot be written in the form asked for.\n"
                         "\n"
                         "The JSON description has these members, always all of them, in this order;\n"
                         "what the system lacks is null. Codes are numbers, angles degrees, lengths\n"
                         "metres unless a unit is named.\n"
                         "  name               the name shown (as in the summary)\n"
                         "  kind               \"projected\", \"geographic\" or \"planar\"\n"
                         "  codes              {catalogue, epsg, esri}\n"
                         "  geographic_system  {name, code, epsg}\n"
                         "  datum              {name, code}\n"
                         "  ellipsoid          {name, code, semi_major_axis, inverse_flattening}\n"
                         "  prime_meridian     {name, code, longitude}\n"
                         "  projection         {name, code, parameters: {false_easting, false_northing,\n"
                         "                     central_meridian, central_parallel, standard_parallel_1,\n"
                         "                     standard_parallel_2, scale_factor, azimuth,\n"
                         "                     first_point_longitude, second_point_longitude}}, the\n"
                         "                     false origin in the system's unit\n"
                         "  unit               {name, code, metres}: metres in one unit\n"
                         "  area_of_use        {name, south, west, north, east} (west > east when the\n"
                         "                     area crosses the antimeridian)\n"
                         "  aliases            [EPSG's other names and ESRI's name]\n"
                         "  texts              {text, esri_wkt, wkt1, wkt2, proj, projjson}: each form\n"
                         "                     as a string\n"
                         "\n"
                         "Examples:\n"
                         "  zrprj info EPSG:27700 --format esri -o roads.prj   # a shapefile's .prj\n"
                         "  zrprj info EPSG:2154 -f json | jq .area_of_use\n"
                         "  zrprj info roads.prj --format proj\n";

const char kListHelp[] = "usage: zrprj list [OPTIONS] [FILTER]\n"
                         "\n"
                         "Lists a catalogue as CODE<TAB>NAME lines, ascending by code. FILTER keeps\n"
                         "the entries whose name or unit contains it (ignoring case) or whose code\n"
                         "it is. Projected systems not in metres have their unit as a third column.\n"
                         "Feet are international feet (0.3048 m): the NAD 1927 State Plane and BLM\n"
                         "rows therefore lie 2 ppm of the distance from the false origin away from\n"
                         "EPSG's US-survey-foot definitions (about 1 ft on most zones).\n"
                         "\n"
                         "  -c, --catalogue NAME projected (default), geographic, datum, spheroid,\n"
                         "                       meridian, kind, or all (then CATALOGUE<TAB>CODE<TAB>NAME)\n"
                         "  -h, --help           this help\n"
                         "\n"
                         "Exit 1 when nothing matches.\n";

const char kSearchHelp[] = "usage: zrprj search [OPTIONS] TEXT...\n"
                           "\n"
                           "Finds coordinate systems by name, alias or code among the catalogue, every\n"
                           "EPSG geographic and projected system and the systems ESRI numbers itself,\n"
                           "and prints one a line, best first:\n"
                           "  CODE<TAB>NAME<TAB>KIND<TAB>AREA<TAB>OTHER NAMES\n"
                           "CODE is EPSG:n, else ESRI:n, else the catalogue code; KIND is projected or\n"
                           "geographic, with \", not built\" for a system the library cannot build; AREA\n"
                           "is EPSG's area of use and its bounding box in degrees (\"-\" when none);\n"
                           "OTHER NAMES are the catalogue's code and name, EPSG's aliases and ESRI's\n"
                           "name, separated by \"; \" (\"-\" when none).\n"
                           "\n"
                           "TEXT is a code (4490, EPSG:4490, ESRI:54030), or a name or part of one, in\n"
                           "which case, spaces, underscores, hyphens and slashes do not count. Several\n"
                           "words are one text. Names equal to it come first, then names beginning\n"
                           "with it, then names holding it, then names holding each of its words; the\n"
                           "shorter name first within each. The Chinese names of the Chinese datums\n"
                           "(Beijing 1954, Xian 1980, CGCS2000), of Gauss-Kruger zones and of the\n"
                           "common kinds are understood as well.\n"
                           "\n"
                           "  -n, --limit N        at most N lines (default 20; 0: every match)\n"
                           "  -k, --kind KIND      projected or geographic systems only\n"
                           "      --built          only systems the library builds\n"
                           "  -h, --help           this help\n"
                           "\n"
                           "Exit 1 when nothing matches.\n"
                           "\n"
                           "Examples:\n"
                           "  zrprj search Lambert 93\n"
                           "  zrprj search 'GK zone 20' --kind projected\n";

const char kSampleHelp[] = "usage: zrprj sample [OPTIONS] SYSTEM OUTPUT.png\n"
                           "\n"
                           "Draws the system's sample picture (the preview of the coordinate-system\n"
                           "dialog) into a PNG image.\n"
                           "\n"
                           "  -s, --size WxH       image size in pixels (default 280x200, the drawing's own\n"
                           "                         size; larger images get a margin right and below)\n"
                           "  -h, --help           this help\n"
                           "\n"
                           "Exit 3 when this build of the library has no sample drawing.\n";

const char kDemoHelp[] = "usage: zrprj demo\n"
                         "\n"
                         "Projects six cities given on Beijing 1954 to Gauss-Krueger zone 20 (21420),\n"
                         "converts them to WGS 84 UTM zone 50N (32650) with EPSG's seven-parameter\n"
                         "shift 15919, converts them back and prints every stage and the round-trip\n"
                         "miss in millimetres. Exit 1 when a round trip misses by more than 1 mm.\n";

const char kHelpHelp[] = "usage: zrprj help [COMMAND]\n";

struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp kHelps[] = {
    {"", kOverview},
    {"project", kProjectHelp},
    {"unproject", kUnprojectHelp},
    {"convert", kConvertHelp},
    {"transformations", kTransformationsHelp},
    {"info", kInfoHelp},
    {"list", kListHelp},
    {"search", kSearchHelp},
    {"sample", kSampleHelp},
    {"demo", kDemoHelp},
    {"geod", kZrCliGeodHelp},
    {"help", kHelpHelp},
};

} // namespace

int ZrCliPrintHelp(const std::string& command, FILE* out) {
    for (const CommandHelp& help : kHelps) {
        if (command == help.name) {
            std::fputs(help.text, out);
            return 1;
        }
    }
    return 0;
}

std::string ZrCliPrintable(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int length = CZrCodePage::Utf8CharLength(text.data() + i, text.size() - i);
        if (length > 0 && c >= 0x20 && c != 0x7F) {
            shown.append(text, i, static_cast<size_t>(length));
            i += static_cast<size_t>(length);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        shown += escaped;
        ++i;
    }
    return shown;
}

void ZrCliError(const char* command, const std::string& message) {
    ZrCliProgressClear();
    // Written by length: a message may have held a NUL, where %s would stop.
    const std::string line = std::string(command) + ": " + ZrCliPrintable(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void ZrCliErrorf(const char* command, const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&message[0], message.size() + 1, format, again);
    va_end(again);
    ZrCliError(command, message);
}

int ZrCliOutputLost(const char* command) {
    static bool reported = false;
    if (!reported) {
        reported = true;
        // errno is gone when the failed write happened inside an earlier
        // printf; the loss is reported all the same.
        if (errno != 0)
            ZrCliErrorf(command, "the output could not be written: %s", std::strerror(errno));
        else
            ZrCliError(command, "the output could not be written");
    }
    return ZRCLI_SOME_FAILED;
}

int ZrCliUsageError(const char* command, const std::string& message) {
    ZrCliError(command, message);
    std::string name = command;
    const size_t space = name.find(' ');
    std::fprintf(stderr, "Try \"zrprj %s--help\".\n",
                 space == std::string::npos ? "" : (name.substr(space + 1) + " ").c_str());
    return ZRCLI_USAGE;
}

namespace {

int Run(const std::string& command, const std::vector<std::string>& args) {
    if (command == "-h" || command == "--help") return ZrCliPrintHelp("", stdout), ZRCLI_OK;
    if (command == "--version") {
        std::printf("zrprj 5.0.0\n");
        return ZRCLI_OK;
    }
    if (command == "help") {
        if (args.size() > 1) return ZrCliUsageError("zrprj help", "at most one command");
        const std::string topic = args.empty() ? std::string() : args[0];
        if (!ZrCliPrintHelp(topic, stdout))
            return ZrCliUsageError("zrprj help", "no command \"" + topic + "\"");
        return ZRCLI_OK;
    }
    if (command == "project") return ZrCliProject(args, false);
    if (command == "unproject") return ZrCliProject(args, true);
    if (command == "convert") return ZrCliConvert(args);
    if (command == "transformations") return ZrCliTransformations(args);
    if (command == "info") return ZrCliInfo(args);
    if (command == "list") return ZrCliList(args);
    if (command == "search") return ZrCliSearch(args);
    if (command == "sample") return ZrCliSample(args);
    if (command == "demo") return ZrCliDemo(args);
    if (command == "geod") return ZrCliGeod(args);
    return ZrCliUsageError("zrprj", "no command \"" + command + "\"");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kOverview, stderr);
        return ZRCLI_USAGE;
    }
    const std::string command = argv[1];
    const int status = Run(command, std::vector<std::string>(argv + 2, argv + argc));
    // Standard output is buffered: a full disk or a closed descriptor shows
    // only at the final flush and close, and a command whose output was lost
    // has not done its job, whatever it returned.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0) {
        const std::string name = "zrprj " + command;
        ZrCliOutputLost(name.c_str());
        return status == ZRCLI_OK ? ZRCLI_SOME_FAILED : status;
    }
    return status;
}
