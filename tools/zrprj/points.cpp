// Point streams in the manner of proj and cs2cs: whitespace-separated columns,
// the first two are the coordinates, the rest of the line rides along.
#include "tools/zrprj/zrprj_p.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The next whitespace-delimited token from pos; pos is left after it.
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

// A finite decimal number filling the whole token. strtod also reads "nan",
// "inf" and hexadecimal floats; none of them is a coordinate.
bool ParseNumber(const std::string& token, double& value) {
    if (token.empty()) return false;
    for (char c : token)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' || c == 'e' ||
              c == 'E'))
            return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(value);
}

void AppendNumber(std::string& out, double value, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    // "-0.000" says nothing "0.000" does not.
    if (buffer[0] == '-' && std::strspn(buffer + 1, "0.") == std::strlen(buffer + 1))
        out += buffer + 1;
    else
        out += buffer;
}

std::string Shorten(const std::string& text) {
    return text.size() > 40 ? text.substr(0, 37) + "..." : text;
}

} // namespace

int ZrCliProcessLine(const std::string& line, const ZrCliPointFn& fn, int decimals, std::string& output,
                     std::string& why) {
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first == line.size() || line[first] == '#') {
        output = line;
        return 1;
    }
    size_t pos = 0;
    std::string tx, ty;
    NextToken(line, pos, tx);
    const bool two = NextToken(line, pos, ty);
    const std::string rest = two ? line.substr(pos) : std::string();
    double x = 0.0, y = 0.0;
    output = "*\t*" + rest;
    if (!two) {
        why = "expected two numbers, found one column \"" + Shorten(tx) + "\"";
        return 0;
    }
    if (!ParseNumber(tx, x)) {
        why = "\"" + Shorten(tx) + "\" is not a finite number";
        return 0;
    }
    if (!ParseNumber(ty, y)) {
        why = "\"" + Shorten(ty) + "\" is not a finite number";
        return 0;
    }
    CPoint2D pt(x, y);
    why.clear();
    if (!fn(pt, why) || !std::isfinite(pt.x) || !std::isfinite(pt.y)) {
        if (why.empty()) why = "the point cannot be transformed";
        return 0;
    }
    output.clear();
    AppendNumber(output, pt.x, decimals);
    output += '\t';
    AppendNumber(output, pt.y, decimals);
    output += rest;
    return 1;
}

int ZrCliRunStream(const std::vector<std::string>& files, const ZrCliPointFn& fn,
                   const ZrCliStreamOptions& options, FILE* out) {
    std::vector<std::string> names = files;
    if (names.empty()) names.push_back("-");
    int status = ZRCLI_OK;
    std::string line, output, why;
    for (const std::string& name : names) {
        std::ifstream file;
        std::istream* in = &std::cin;
        const std::string shown = name == "-" ? std::string("<stdin>") : name;
        if (name != "-") {
            file.open(name, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "%s: %s: cannot open the file: %s\n", options.command, name.c_str(),
                             std::strerror(errno));
                status = ZRCLI_SOME_FAILED;
                continue;
            }
            in = &file;
        }
        long number = 0;
        while (std::getline(*in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!ZrCliProcessLine(line, fn, options.decimals, output, why)) {
                std::fprintf(stderr, "%s: %s:%ld: %s\n", options.command, shown.c_str(), number, why.c_str());
                status = ZRCLI_SOME_FAILED;
            }
            output += '\n';
            std::fwrite(output.data(), 1, output.size(), out);
        }
    }
    std::fflush(out);
    return status;
}
