#pragma once

// zrprj: the library's command-line tool. Shared pieces of its sources.

#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "projection/ZrPJOperator.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Exit codes of every command.
enum ZrCliExit {
    ZRCLI_OK = 0,          // every line and point went through
    ZRCLI_SOME_FAILED = 1, // some input lines or points failed; the rest was processed
    ZRCLI_USAGE = 2,       // bad arguments, or a system or file that cannot be used: nothing processed
    ZRCLI_UNAVAILABLE = 3, // the command is not available in this build
};

// Fixed output precision: millimetres for linear units, 1e-9 degree
// (about 0.1 mm on the ground) for longitude and latitude.
constexpr int kLinearDecimals = 3;
constexpr int kAngularDecimals = 9;

// ---- Systems (systems.cpp) ----

// Resolves a system argument: a catalogue code (projected, else geographic);
// "EPSG:n" (also "EPSG: n", "epsg:n"), the catalogue row the mapping file
// names or a system built from EPSG's definition; the path of a system file,
// whose form is told by its content (WKT of any dialect, PROJJSON, a PROJ
// string, the XML projection file, the key-value file, the one-line text
// form); or a PROJ string, WKT or PROJJSON text itself. On failure, why says
// what was expected and 0 is returned. A planar system, which has no earth
// model to project with, is refused unless planarAllowed (for describing it).
// With shift, a shift to WGS 84 that a text states (TOWGS84, BOUNDCRS,
// +towgs84, +nadgrids=@null) is taken whatever its values and handed back
// there; without, it must be one EPSG knows for the datum.
int ZrCliResolveSystem(const std::string& spec, CZrPJCoordSys& cs, std::string& why,
                       bool planarAllowed = false, ZrCarriedShift* shift = nullptr);
bool ZrCliIsProjected(const CZrPJCoordSys& cs);
// Empty when the mapping file beside the library can be read; otherwise why
// not, naming the path where it was looked for.
std::string ZrCliMappingFileProblem();
// The EPSG code of a system, -1000 when none.
int ZrCliEpsgOf(const CZrPJCoordSys& cs);
// The EPSG code of a system's geographic system, -1000 when none.
long ZrCliEpsgGeographicOf(const CZrPJCoordSys& cs);
// A linear unit's name as the tool prints it: the feet and the yard say which
// foot they are, since EPSG and other software also use the US survey foot.
std::string ZrCliUnitName(long code);
// The system's name as the tool shows it: in a language other than Chinese,
// the library's Chinese title of a geographic or planar system is left out.
std::string ZrCliDisplayName(const CZrPJCoordSys& cs);
// "Name (code)" of the system, for messages and headers.
std::string ZrCliLabel(const CZrPJCoordSys& cs);

// ---- Domain checks (domain.cpp) ----

// How far a checked point may come back from its input: 1 mm, the printed
// precision, for unproject and for both sides of convert; for project a miss
// beyond 10 m, which no kind's own inaccuracy reaches (Robinson's table
// nodes about 1 m), and which marks a point the projection does not map: the
// far side of a transverse projection, a series far outside its band.
constexpr double kCliRoundTripMetres = 1e-3;
constexpr double kCliGrossMissMetres = 10.0;

// Projects longitude/latitude pt with op, or refuses with a reason: a
// latitude beyond 90 degrees, a point the projection refuses, and a result
// whose inverse lies more than tolerance metres from pt on the ground (unless
// it is a few metres off and shares the image: a fold of the forward's own).
// name is the projection's role in messages ("projection", "destination
// projection").
int ZrCliCheckedForward(const CZrPJOperator& op, const char* name, double tolerance, CPoint2D& pt,
                        std::string& why);
// Unprojects x/y pt with op, or refuses with a reason: a point without an
// inverse, and a result that does not project back within 1 mm of pt (a
// northing folded over the pole, an easting past the far side).
int ZrCliCheckedInverse(const CZrPJOperator& op, const char* name, CPoint2D& pt, std::string& why);
// Distance in metres on the sphere of radius a between two longitude/latitude
// points in degrees.
double ZrCliGroundMetres(double a, const CPoint2D& p, const CPoint2D& q);

// ---- Point streams (points.cpp) ----

// Transforms one point in place; returns 0 with a reason when it cannot.
using ZrCliPointFn = std::function<bool(CPoint2D& pt, std::string& why)>;

struct ZrCliStreamOptions {
    int decimals = kLinearDecimals;
    const char* command = "zrprj";
    // The two columns read (in) or written (out) in the other order: with
    // --lat-first, longitude/latitude latitude first, as EPSG orders the axes
    // of its geographic systems; and always for a system whose EPSG order is
    // the model's y first (the south-west Krovak's southing, as cs2cs gives it).
    bool swapIn = false, swapOut = false;
    // Records of delimited fields (CSV) instead of whitespace-separated columns.
    bool csv = false;
    char delimiter = ',';
    bool header = false; // the first record names the fields and is copied as it stands
    // The x, y and optional z fields, each a header name or a 1-based field
    // number; empty for the first two fields.
    std::vector<std::string> columns;
    // Where set, the height (the third column, or the z field) of a point
    // the point function took is converted by it after that point, and
    // printed in metres with kHeightDecimals; else heights are copied.
    std::function<bool(double& z, std::string& why)> height;
    // Where set, each line holds three numbers (x y z: longitude, latitude
    // and height, or geocentric X Y Z) and may hold a fourth, the coordinate
    // epoch (decimal year; NaN when absent), as cs2cs reads them; the point
    // goes through this function in place of the two-number one, and x y z
    // are written back (z and geocentric values with zDecimals), the rest of
    // the line, the epoch among it, copied. Whitespace columns only.
    std::function<bool(CPoint3D& pt, double epoch, std::string& why)> point3d;
    int zDecimals = 4;
    // Two numbers suffice (z = 0, as cs2cs takes a missing height) unless
    // the points come geocentric.
    bool zOptional = false;
};
constexpr int kHeightDecimals = 4;

// Reads a --columns value into options.columns and a --delimiter value into
// options.delimiter; 0 with why when it cannot be used.
int ZrCliParseColumns(const std::string& text, ZrCliStreamOptions& options, std::string& why);
int ZrCliParseDelimiter(const std::string& text, ZrCliStreamOptions& options, std::string& why);

// Reads lines from the named files (or standard input for none or "-"),
// passes comment lines (# first) and blank lines through unchanged, reads
// the first two columns as numbers, transforms them and writes them with the
// fixed precision, followed by the rest of the line as it was. A line that
// cannot be read or a point that cannot be transformed gets "*\t*" and a
// message on standard error naming the file and line; the rest goes on. A
// line longer than a mebibyte, or a file that cannot be read, ends that file
// with a message; output that cannot be written ends the stream with one.
// In CSV mode records are read as RFC 4180 has them (a quoted field may span
// lines; the record as a whole is held to the mebibyte), every field but the
// coordinates is copied byte for byte, and a refused point's coordinate
// fields are left empty. Returns ZRCLI_OK or ZRCLI_SOME_FAILED.
int ZrCliRunStream(const std::vector<std::string>& files, const ZrCliPointFn& fn,
                   const ZrCliStreamOptions& options, FILE* out);

// ---- Progress of long runs (progress.cpp) ----

// A line "COMMAND: N points, S s" on standard error, only when it is a
// terminal and only once a run has taken a second or a million points,
// rewritten in place; messages clear it before they are written, and the end
// wipes it. Start before the first point, tick once per point.
void ZrCliProgressStart(const char* command);
void ZrCliProgressTick();
void ZrCliProgressClear();
void ZrCliProgressEnd();

// ---- Commands (commands.cpp, demo.cpp) ----
int ZrCliProject(const std::vector<std::string>& args, bool inverse);
int ZrCliConvert(const std::vector<std::string>& args);
int ZrCliTransformations(const std::vector<std::string>& args);
int ZrCliInfo(const std::vector<std::string>& args);
int ZrCliList(const std::vector<std::string>& args);
int ZrCliSearch(const std::vector<std::string>& args);
int ZrCliSample(const std::vector<std::string>& args);
int ZrCliDemo(const std::vector<std::string>& args);
int ZrCliGeod(const std::vector<std::string>& args); // geod.cpp, with its help text
extern const char kZrCliGeodHelp[];

// ---- Messages and output (main.cpp) ----

// text as a terminal can show it: control characters (NUL among them) and
// bytes that begin no valid UTF-8 character become \xNN, the rest stays.
// Messages echo file names, arguments and input lines, which may hold either.
std::string ZrCliPrintable(const std::string& text);
// "command: message" and a line end on standard error, the message printable.
void ZrCliError(const char* command, const std::string& message);
// The same, formatted as printf does.
void ZrCliErrorf(const char* command, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Says once that standard output lost what was written to it (a full disk,
// a closed descriptor), naming the system's reason from errno; returns
// ZRCLI_SOME_FAILED. Callers stop writing after it.
int ZrCliOutputLost(const char* command);

// ---- Help (main.cpp) ----
// Prints the help of a command (or the overview for an empty name) to out;
// 0 when there is no such command.
int ZrCliPrintHelp(const std::string& command, FILE* out);
// A usage error: the message and a pointer to the command's help on
// standard error; returns ZRCLI_USAGE.
int ZrCliUsageError(const char* command, const std::string& message);
