// Point streams in the manner of proj and cs2cs: whitespace-separated columns,
// the first two are the coordinates, the rest of the line rides along.
#include "tools/zrprj/zrprj_p.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

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

namespace {

// The longest point line read. Two coordinates and the columns that ride
// along fill a few hundred bytes; a line past a mebibyte is no point file
// (binary data, /dev/zero), and reading it whole would take memory without
// limit. The reader holds at most this and one buffer.
constexpr size_t kMaxLineBytes = 1 << 20;

// Lines of a stream, each at most kMaxLineBytes long, '\n' removed.
class LineReader {
public:
    enum Result { kLine, kEnd, kTooLong, kError };

    explicit LineReader(FILE* in) : m_fd(::fileno(in)) {}

    Result Next(std::string& line) {
        line.clear();
        for (;;) {
            if (m_pos == m_end) {
                // read, not fread: it returns what a terminal or a pipe holds
                // now, so each point is answered as its line arrives.
                ssize_t got = 0;
                if (!m_eof) {
                    do
                        got = ::read(m_fd, m_buffer, sizeof m_buffer);
                    while (got < 0 && errno == EINTR);
                }
                if (got < 0) return kError;
                if (got == 0) {
                    m_eof = true;
                    return line.empty() ? kEnd : kLine; // a last line without a line end
                }
                m_pos = 0;
                m_end = static_cast<size_t>(got);
            }
            const char* start = m_buffer + m_pos;
            const char* newline = static_cast<const char*>(std::memchr(start, '\n', m_end - m_pos));
            const size_t take = newline ? static_cast<size_t>(newline - start) : m_end - m_pos;
            if (line.size() + take > kMaxLineBytes) return kTooLong;
            line.append(start, take);
            m_pos += take;
            if (newline) {
                ++m_pos;
                return kLine;
            }
        }
    }

private:
    int m_fd;
    char m_buffer[1 << 16];
    size_t m_pos = 0, m_end = 0;
    bool m_eof = false;
};

// One file or standard input through fn. Returns ZRCLI_OK or
// ZRCLI_SOME_FAILED; lost sets when the output could not be written.
int RunOne(FILE* in, const std::string& shown, const ZrCliPointFn& fn, const ZrCliStreamOptions& options,
           FILE* out, bool& lost) {
    int status = ZRCLI_OK;
    LineReader reader(in);
    std::string line, output, why;
    long number = 0;
    for (;;) {
        errno = 0;
        const LineReader::Result result = reader.Next(line);
        if (result == LineReader::kEnd) break;
        ++number;
        if (result == LineReader::kError) {
            ZrCliErrorf(options.command, "%s:%ld: cannot read the input: %s", shown.c_str(), number,
                        errno != 0 ? std::strerror(errno) : "read error");
            return ZRCLI_SOME_FAILED;
        }
        if (result == LineReader::kTooLong) {
            // The rest of such a line may never end; the file is left there.
            ZrCliErrorf(options.command,
                        "%s:%ld: the line is longer than %zu bytes; the rest of the input "
                        "is not read",
                        shown.c_str(), number, kMaxLineBytes);
            output = "*\t*";
            status = ZRCLI_SOME_FAILED;
        } else {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!ZrCliProcessLine(line, fn, options.decimals, output, why)) {
                ZrCliError(options.command, shown + ":" + std::to_string(number) + ": " + why);
                status = ZRCLI_SOME_FAILED;
            }
        }
        output += '\n';
        if (std::fwrite(output.data(), 1, output.size(), out) != output.size()) {
            lost = true;
            return ZrCliOutputLost(options.command);
        }
        if (result == LineReader::kTooLong) break;
    }
    return status;
}

} // namespace

int ZrCliRunStream(const std::vector<std::string>& files, const ZrCliPointFn& fn,
                   const ZrCliStreamOptions& options, FILE* out) {
    std::vector<std::string> names = files;
    if (names.empty()) names.push_back("-");
    int status = ZRCLI_OK;
    bool lost = false;
    for (const std::string& name : names) {
        if (name == "-") {
            if (RunOne(stdin, "<stdin>", fn, options, out, lost) != ZRCLI_OK) status = ZRCLI_SOME_FAILED;
        } else {
            FILE* in = std::fopen(name.c_str(), "rb");
            if (!in) {
                ZrCliErrorf(options.command, "%s: cannot open the file: %s", name.c_str(),
                            std::strerror(errno));
                status = ZRCLI_SOME_FAILED;
                continue;
            }
            if (RunOne(in, name, fn, options, out, lost) != ZRCLI_OK) status = ZRCLI_SOME_FAILED;
            std::fclose(in);
        }
        if (lost) return ZRCLI_SOME_FAILED;
    }
    errno = 0;
    if (std::fflush(out) != 0) return ZrCliOutputLost(options.command);
    return status;
}
