// Point streams in the manner of proj and cs2cs: whitespace-separated columns,
// the first two are the coordinates, the rest of the line rides along; or CSV
// records with the coordinates in named or numbered fields.
#include "tools/zrprj/zrprj_p.h"

#include "transform/ZrDatumOperation.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A token out of a line: [begin, end).
struct Span {
    const char* begin = nullptr;
    const char* end = nullptr;
    size_t size() const { return static_cast<size_t>(end - begin); }
    std::string str() const { return std::string(begin, size()); }
};

// Whether an out-of-range decimal number lies below the smallest double
// rather than above the largest: the power of ten of its first significant
// digit, which is far from 0 for both.
bool BelowRange(const char* p, const char* end) {
    long long digitsBefore = 0, zerosAfter = 0;
    bool significant = false, point = false;
    for (; p < end && (IsDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            point = true;
        } else if (!significant && *p == '0') {
            if (point) ++zerosAfter;
        } else {
            significant = true;
            if (!point) ++digitsBefore;
        }
    }
    long long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) ++p;
        for (; p < end && IsDigit(*p); ++p)
            exponent = std::min(exponent * 10 + (*p - '0'), 1LL << 40); // saturates: only the sign matters
        if (negative) exponent = -exponent;
    }
    const long long power = digitsBefore > 0 ? digitsBefore - 1 + exponent : exponent - zerosAfter - 1;
    return power < 0;
}

// Powers of ten that are exact doubles.
const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Clinger's fast path for the numbers point files hold: digits with a point,
// no exponent, at most 19 digits whose value as a whole number is at most
// 2^53. That number and any power of ten up to 1e22 are exact doubles, and
// one division of two exact values is correctly rounded: the result is the
// double strtod gives. Anything else is left to the full reading.
bool ParseSimple(const char* p, const char* end, double& value) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    unsigned long long digits = 0;
    const char* q = p;
    for (; q < end && IsDigit(*q); ++q)
        digits = digits * 10 + static_cast<unsigned>(*q - '0');
    long count = q - p, decimals = 0;
    if (q < end && *q == '.') {
        const char* fraction = ++q;
        for (; q < end && IsDigit(*q); ++q)
            digits = digits * 10 + static_cast<unsigned>(*q - '0');
        decimals = q - fraction;
        count += decimals;
    }
    if (q != end || count == 0 || count > 19 || decimals > 22 || digits > (1ULL << 53)) return false;
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}

// A finite decimal number filling the whole token, read exactly as strtod
// reads it in the C locale: an optional sign ('+' as well), digits with an
// optional point, an optional exponent; a value below the smallest double is
// 0 with its sign, one above the largest is refused. from_chars does the
// work: it rounds as correctly as strtod, whatever locale the process runs
// in, at a fraction of the cost, and reads no hexadecimal floats. "nan" and
// "inf", which both read, are no coordinates: the finite test refuses them.
bool ParseNumber(Span token, double& value) {
    const char* p = token.begin;
    if (p < token.end && *p == '+') {
        ++p;
        if (p < token.end && (*p == '+' || *p == '-')) return false;
    }
    if (p == token.end) return false;
    if (ParseSimple(p, token.end, value)) return true;
    double v = 0.0;
    const std::from_chars_result result = std::from_chars(p, token.end, v, std::chars_format::general);
    if (result.ptr != token.end) return false;
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = *p == '-';
        if (!BelowRange(negative ? p + 1 : p, token.end)) return false;
        v = negative ? -0.0 : 0.0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = v;
    return std::isfinite(value);
}

// Writes the last count digits of n (leading zeros included) backwards
// ending before p, two at a time; returns where they begin.
char* FixedDigits(char* p, unsigned long long n, int count) {
    static const char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                 "25262728293031323334353637383940414243444546474849"
                                 "50515253545556575859606162636465666768697071727374"
                                 "75767778798081828384858687888990919293949596979899";
    for (; count >= 2; count -= 2, n /= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (n % 100), 2);
    }
    if (count > 0) *--p = static_cast<char>('0' + n % 10);
    return p;
}

// The digits of n, at least one.
char* WholeDigits(char* p, unsigned long long n) {
    int count = 1;
    for (unsigned long long limit = 10; count < 19 && n >= limit; limit *= 10)
        ++count;
    return FixedDigits(p, n, count);
}

// value with the given decimals, the digits printf's "%.*f" gives (to_chars
// with a precision is exact as well), without its locale and formatting
// machinery; "-0.000" says nothing "0.000" does not, and loses its sign.
void AppendNumber(std::string& out, double value, int decimals) {
    // The common case in whole numbers: value * 10^decimals, rounded once,
    // lies within half a unit in its last place (at most scaled * 2^-53) of
    // the exact product. Away from a rounding boundary (k + 0.5) by more than
    // twice that, the nearest whole number of the rounded product is the
    // exact product's, which is what printf prints. Below 2^51 the unit is at
    // most 1/4, so the boundaries either side are out of reach too.
    const double scaled = std::fabs(value) * kPowersOfTen[decimals];
    if (scaled < 2251799813685248.0) { // 2^51
        const double whole = std::floor(scaled), fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > scaled * 0x1p-52) {
            const unsigned long long rounded =
                static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
            const auto unit = static_cast<unsigned long long>(kPowersOfTen[decimals]); // exact to 1e22
            char digits[40]; // at most 16 digits below 2^51, a point, 17 decimals
            char* const end = digits + sizeof digits;
            char* p = end;
            if (decimals > 0) {
                p = FixedDigits(p, rounded % unit, decimals);
                *--p = '.';
            }
            p = WholeDigits(p, rounded / unit);
            if (value < 0 && rounded != 0) out += '-';
            out.append(p, static_cast<size_t>(end - p));
            return;
        }
    }
    // The longest: a sign, 309 digits of 1.8e308, a point and 17 decimals.
    char buffer[400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const char* begin = buffer;
    if (buffer[0] == '-') {
        const char* p = buffer + 1;
        while (p < result.ptr && (*p == '0' || *p == '.'))
            ++p;
        if (p == result.ptr) ++begin;
    }
    out.append(begin, static_cast<size_t>(result.ptr - begin));
}

std::string Shorten(const std::string& text) {
    return text.size() > 40 ? text.substr(0, 37) + "..." : text;
}

// Reads the two numbers, swaps them when they come latitude first, transforms
// the point and swaps it back for a latitude-first output. 0 and why when a
// number cannot be read or the point not transformed.
int Transform(Span tx, Span ty, const ZrCliPointFn& fn, const ZrCliStreamOptions& options, CPoint2D& pt,
              std::string& why) {
    double x = 0.0, y = 0.0;
    if (!ParseNumber(tx, x)) {
        why = "\"" + Shorten(tx.str()) + "\" is not a finite number";
        return 0;
    }
    if (!ParseNumber(ty, y)) {
        why = "\"" + Shorten(ty.str()) + "\" is not a finite number";
        return 0;
    }
    pt = options.swapIn ? CPoint2D(y, x) : CPoint2D(x, y);
    why.clear();
    if (!fn(pt, why) || !std::isfinite(pt.x) || !std::isfinite(pt.y)) {
        if (why.empty()) why = "the point cannot be transformed";
        return 0;
    }
    if (options.swapOut) std::swap(pt.x, pt.y);
    return 1;
}

// The next whitespace-delimited token from p.
bool NextToken(const char*& p, const char* end, Span& token) {
    while (p < end && IsBlank(*p))
        ++p;
    if (p == end) return false;
    token.begin = p;
    while (p < end && !IsBlank(*p))
        ++p;
    token.end = p;
    return true;
}

// The three-number form of a line (x y z [epoch] rest), x and y already
// split off: read, transformed by options.point3d, written.
int Process3D(Span tx, Span ty, const char* p, const char* end, const ZrCliStreamOptions& options,
              std::string& out, std::string& why) {
    Span tz;
    double v[3] = {0, 0, 0};
    const bool hasZ = NextToken(p, end, tz);
    if (!hasZ && !options.zOptional) {
        out += "*\t*\t*";
        why = "expected three numbers (x y z, then an optional epoch)";
        return 0;
    }
    const char* rest = p;
    const Span read[3] = {tx, ty, tz};
    for (int i = 0; i < (hasZ ? 3 : 2); ++i) {
        if (!ParseNumber(read[i], v[i])) {
            out += "*\t*\t*";
            out.append(rest, end);
            why = "\"" + Shorten(read[i].str()) + "\" is not a finite number";
            return 0;
        }
    }
    // The epoch, when the next column is a number; anything else is copied.
    double epoch = kZrNoEpoch;
    const char* after = p;
    Span tt;
    if (NextToken(after, end, tt)) {
        double t = 0.0;
        if (ParseNumber(tt, t)) epoch = t;
    }
    CPoint3D pt = options.swapIn ? CPoint3D(v[1], v[0], v[2]) : CPoint3D(v[0], v[1], v[2]);
    why.clear();
    if (!options.point3d(pt, epoch, why) || !std::isfinite(pt.x) || !std::isfinite(pt.y) ||
        !std::isfinite(pt.z)) {
        if (why.empty()) why = "the point cannot be transformed";
        out += "*\t*\t*";
        out.append(rest, end);
        return 0;
    }
    if (options.swapOut) std::swap(pt.x, pt.y);
    AppendNumber(out, pt.x, options.decimals);
    out += '\t';
    AppendNumber(out, pt.y, options.decimals);
    out += '\t';
    AppendNumber(out, pt.z, options.zDecimals);
    out.append(rest, end);
    return 1;
}

// One whitespace-format line through fn, appended to out without its line
// end. Returns 1 for a passed line or transformed point, 0 when it failed
// (why says why).
int ProcessLine(const std::string& line, const ZrCliPointFn& fn, const ZrCliStreamOptions& options,
                std::string& out, std::string& why) {
    const char* p = line.data();
    const char* const end = p + line.size();
    const char* first = p;
    while (first < end && IsBlank(*first))
        ++first;
    if (first == end || *first == '#') {
        out += line;
        return 1;
    }
    Span tx, ty;
    NextToken(p, end, tx);
    if (!NextToken(p, end, ty)) {
        out += "*\t*";
        why = "expected two numbers, found one column \"" + Shorten(tx.str()) + "\"";
        return 0;
    }
    if (options.point3d) return Process3D(tx, ty, p, end, options, out, why);
    CPoint2D pt;
    if (!Transform(tx, ty, fn, options, pt, why)) {
        out += "*\t*";
        out.append(p, end);
        return 0;
    }
    if (options.height) {
        // The height column, converted in place; the rest copied.
        const char* rest = p;
        Span tz;
        double z = 0.0;
        if (NextToken(p, end, tz)) {
            if (!ParseNumber(tz, z)) {
                out += "*\t*";
                out.append(rest, end);
                why = "the height \"" + Shorten(tz.str()) + "\" is not a finite number";
                return 0;
            }
            if (!options.height(z, why)) {
                out += "*\t*";
                out.append(rest, end);
                return 0;
            }
            AppendNumber(out, pt.x, options.decimals);
            out += '\t';
            AppendNumber(out, pt.y, options.decimals);
            out += '\t';
            AppendNumber(out, z, kHeightDecimals);
            out.append(p, end);
            return 1;
        }
        p = rest;
    }
    AppendNumber(out, pt.x, options.decimals);
    out += '\t';
    AppendNumber(out, pt.y, options.decimals);
    out.append(p, end);
    return 1;
}

// ---- CSV

// A record's fields as the bytes they occupy, quotes and all: what is copied
// stays byte for byte as it came. The reading is RFC 4180's, lenient where
// other readers are: a quote inside an unquoted field is a character of it,
// and text after a closing quote belongs to the field.
class CsvRecord {
public:
    explicit CsvRecord(char delimiter) : m_delimiter(delimiter) {}

    void Clear() {
        m_fields.clear();
        m_fieldStart = 0;
        m_scanned = 0;
        m_state = kFieldStart;
    }
    // Reads text[m_scanned, size) on from where the last call stopped; true
    // when the record ends there, false when a quoted field goes on past the
    // line end. A '\r' ending the record is not part of its last field.
    bool Scan(const std::string& text) {
        for (size_t i = m_scanned; i < text.size(); ++i) {
            const char c = text[i];
            if (c == m_delimiter && m_state != kQuoted) {
                m_fields.push_back({m_fieldStart, i});
                m_fieldStart = i + 1;
                m_state = kFieldStart;
            } else if (c == '"') {
                m_state = m_state == kFieldStart      ? kQuoted
                          : m_state == kQuoted        ? kQuoteInQuoted
                          : m_state == kQuoteInQuoted ? kQuoted // "" inside quotes: one quote
                                                      : kUnquoted;
            } else if (m_state != kQuoted) {
                m_state = kUnquoted;
            }
        }
        m_scanned = text.size();
        if (m_state == kQuoted) return false;
        size_t end = text.size();
        if (end > m_fieldStart && text[end - 1] == '\r') --end;
        m_fields.push_back({m_fieldStart, end});
        return true;
    }
    // Ends a record whose quoted field the input ended inside; false when
    // there was none.
    bool CloseUnended(const std::string& text) {
        if (m_state != kQuoted) return false;
        m_fields.push_back({m_fieldStart, text.size()});
        m_state = kFieldStart;
        return true;
    }
    size_t Count() const { return m_fields.size(); }
    size_t Begin(size_t i) const { return m_fields[i].first; }
    size_t End(size_t i) const { return m_fields[i].second; }
    // Where the record's last field ends: a '\r' after it is the line end.
    size_t ContentEnd() const { return m_fields.empty() ? 0 : m_fields.back().second; }

    // The field's value: quotes removed, doubled quotes made single.
    static void Value(const std::string& text, size_t begin, size_t end, std::string& value) {
        value.clear();
        if (begin == end || text[begin] != '"') {
            value.assign(text, begin, end - begin);
            return;
        }
        bool inside = true;
        for (size_t i = begin + 1; i < end; ++i) {
            if (inside && text[i] == '"') {
                if (i + 1 < end && text[i + 1] == '"')
                    value += text[++i];
                else
                    inside = false;
            } else {
                value += text[i];
            }
        }
    }

private:
    enum State { kFieldStart, kUnquoted, kQuoted, kQuoteInQuoted };
    char m_delimiter;
    std::vector<std::pair<size_t, size_t>> m_fields;
    size_t m_fieldStart = 0, m_scanned = 0;
    State m_state = kFieldStart;
};

// The coordinate fields of a file, 0-based; z is -1 when there is none.
struct CsvColumns {
    long x = 0, y = 1, z = -1;
};

// Resolves options.columns against a header's fields (none without one).
bool ResolveColumns(const ZrCliStreamOptions& options, const std::vector<std::string>& header,
                    CsvColumns& columns, std::string& why) {
    if (options.columns.empty()) return true;
    long found[3] = {-1, -1, -1};
    for (size_t i = 0; i < options.columns.size(); ++i) {
        const std::string& name = options.columns[i];
        const bool number = name.find_first_not_of("0123456789") == std::string::npos;
        if (number) {
            found[i] = std::strtol(name.c_str(), nullptr, 10) - 1;
            continue;
        }
        for (size_t k = 0; k < header.size() && found[i] < 0; ++k) {
            // A spreadsheet's UTF-8 byte order mark sits before the first name.
            const std::string& field =
                k == 0 && header[k].compare(0, 3, "\xEF\xBB\xBF") == 0 ? header[k].substr(3) : header[k];
            if (field == name) found[i] = static_cast<long>(k);
        }
        if (found[i] < 0) {
            why = "the header has no field named \"" + name + "\"";
            return false;
        }
    }
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < i; ++k)
            if (found[i] >= 0 && found[i] == found[k]) {
                why = "--columns names field " + std::to_string(found[i] + 1) + " twice";
                return false;
            }
    columns.x = found[0];
    columns.y = found[1];
    columns.z = found[2];
    return true;
}

Span FieldSpan(const std::string& record, const CsvRecord& fields, long index, std::string& unquoted) {
    const size_t begin = fields.Begin(static_cast<size_t>(index)),
                 end = fields.End(static_cast<size_t>(index));
    Span span;
    if (begin < end && record[begin] == '"') {
        CsvRecord::Value(record, begin, end, unquoted);
        span = {unquoted.data(), unquoted.data() + unquoted.size()};
    } else {
        span = {record.data() + begin, record.data() + end};
    }
    // "116.4, 39.9": blanks around a number are no part of it.
    while (span.begin < span.end && IsBlank(*span.begin))
        ++span.begin;
    while (span.end > span.begin && IsBlank(span.end[-1]))
        --span.end;
    return span;
}

// One CSV record (its line end excluded) through fn, appended to out.
int ProcessRecord(const std::string& record, const CsvRecord& fields, const CsvColumns& columns,
                  const ZrCliPointFn& fn, const ZrCliStreamOptions& options, std::string& out,
                  std::string& scratchX, std::string& scratchY, std::string& why) {
    const long count = static_cast<long>(fields.Count());
    const long needed = std::max(std::max(columns.x, columns.y), columns.z) + 1;
    CPoint2D pt;
    bool ok = false;
    if (count < needed) {
        why = "expected at least " + std::to_string(needed) + " fields, found " + std::to_string(count);
    } else {
        ok = Transform(FieldSpan(record, fields, columns.x, scratchX),
                       FieldSpan(record, fields, columns.y, scratchY), fn, options, pt, why);
        if (ok && columns.z >= 0) {
            double z = 0.0;
            const Span tz = FieldSpan(record, fields, columns.z, scratchX);
            if (tz.size() != 0 && !ParseNumber(tz, z)) {
                why = "the height \"" + Shorten(tz.str()) + "\" is not a finite number";
                ok = false;
            }
        }
    }
    for (long i = 0; i < count; ++i) {
        if (i > 0) out += options.delimiter;
        if (i == columns.x || i == columns.y || i == columns.z) {
            // A refused point leaves its coordinate fields empty, a missing
            // value to every reader of CSV; heights pass through as written.
            if (!ok) continue;
            if (i != columns.z) {
                AppendNumber(out, i == columns.x ? pt.x : pt.y, options.decimals);
                continue;
            }
        }
        out.append(record, fields.Begin(static_cast<size_t>(i)),
                   fields.End(static_cast<size_t>(i)) - fields.Begin(static_cast<size_t>(i)));
    }
    return ok ? 1 : 0;
}

// The longest point line (or CSV record) read. Two coordinates and the
// columns that ride along fill a few hundred bytes; a line past a mebibyte is
// no point file (binary data, /dev/zero, a quote never closed), and reading
// it whole would take memory without limit. The reader holds at most this
// and one buffer.
constexpr size_t kMaxLineBytes = 1 << 20;

// Output is gathered and written in blocks of this size, and whenever the
// input would have to be waited for.
constexpr size_t kOutputBlock = 1 << 16;

// Lines of a stream, each at most kMaxLineBytes long, '\n' removed.
class LineReader {
public:
    enum Result { kLine, kEnd, kTooLong, kError };

    explicit LineReader(FILE* in) : m_fd(::fileno(in)) {}

    // Whether the next line needs a read that may wait.
    bool Drained() const { return m_pos == m_end && !m_eof; }
    // Whether the last line came with its '\n'.
    bool Ended() const { return m_ended; }

    // The next line, appended to line (a CSV record goes on over lines); the
    // length limit holds for line as a whole.
    Result Next(std::string& line) {
        const size_t start = line.size();
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
                    m_ended = false;
                    return line.size() == start ? kEnd : kLine; // a last line without a line end
                }
                m_pos = 0;
                m_end = static_cast<size_t>(got);
            }
            const char* begin = m_buffer + m_pos;
            const char* newline = static_cast<const char*>(std::memchr(begin, '\n', m_end - m_pos));
            const size_t take = newline ? static_cast<size_t>(newline - begin) : m_end - m_pos;
            if (line.size() + take > kMaxLineBytes) return kTooLong;
            line.append(begin, take);
            m_pos += take;
            if (newline) {
                ++m_pos;
                m_ended = true;
                return kLine;
            }
        }
    }

private:
    int m_fd;
    char m_buffer[1 << 16];
    size_t m_pos = 0, m_end = 0;
    bool m_eof = false, m_ended = false;
};

// Gathers output and writes it in blocks: one write a line cost more than
// the point's whole projection.
class Output {
public:
    explicit Output(FILE* out) : m_out(out) { m_text.reserve(2 * kOutputBlock); }
    std::string& Text() { return m_text; }
    // Writes what is gathered when a block is full, or always with force;
    // false when the output is lost.
    bool Write(bool force) {
        if (m_text.size() < kOutputBlock && !(force && !m_text.empty())) return true;
        errno = 0;
        const bool written =
            std::fwrite(m_text.data(), 1, m_text.size(), m_out) == m_text.size() && std::fflush(m_out) == 0;
        m_text.clear();
        return written;
    }

private:
    FILE* m_out;
    std::string m_text;
};

// One file or standard input through fn. Returns ZRCLI_OK or
// ZRCLI_SOME_FAILED; lost sets when the output could not be written.
int RunOne(FILE* in, const std::string& shown, const ZrCliPointFn& fn, const ZrCliStreamOptions& options,
           Output& output, bool& lost) {
    int status = ZRCLI_OK;
    LineReader reader(in);
    CsvRecord fields(options.delimiter);
    CsvColumns columns;
    bool headerDone = !options.header;
    std::string line, why, scratchX, scratchY;
    if (options.csv && !options.header && !ResolveColumns(options, {}, columns, why)) {
        ZrCliError(options.command, shown + ": " + why);
        return ZRCLI_SOME_FAILED;
    }
    std::vector<std::string> header;
    const char* lineEnd = "\n";
    long number = 0;
    for (;;) {
        // What is gathered goes out before the input is waited for.
        if (reader.Drained() && !output.Write(true)) {
            lost = true;
            return ZrCliOutputLost(options.command);
        }
        errno = 0;
        line.clear();
        LineReader::Result result = reader.Next(line);
        if (result == LineReader::kEnd) break;
        const long first = ++number;
        bool unended = false;
        if (options.csv) {
            fields.Clear();
            while (result == LineReader::kLine && !fields.Scan(line)) {
                if (!reader.Ended()) {
                    unended = fields.CloseUnended(line);
                    break;
                }
                // A quoted field goes on: its line end is part of its value.
                line += '\n';
                result = reader.Next(line);
                if (result == LineReader::kEnd) {
                    // The input's own last line end is the record's.
                    line.pop_back();
                    lineEnd = "\n";
                    if (!line.empty() && line.back() == '\r') {
                        line.pop_back();
                        lineEnd = "\r\n";
                    }
                    unended = fields.CloseUnended(line);
                    result = LineReader::kLine;
                    break;
                }
                ++number;
            }
        }
        if (result == LineReader::kError) {
            ZrCliErrorf(options.command, "%s:%ld: cannot read the input: %s", shown.c_str(), number,
                        errno != 0 ? std::strerror(errno) : "read error");
            return ZRCLI_SOME_FAILED;
        }
        std::string& out = output.Text();
        if (result == LineReader::kTooLong) {
            // The rest of such a line may never end; the file is left there.
            ZrCliErrorf(options.command,
                        "%s:%ld: the %s is longer than %zu bytes; the rest of the input is not read",
                        shown.c_str(), first, options.csv ? "record" : "line", kMaxLineBytes);
            out += options.csv ? lineEnd : "*\t*\n";
            status = ZRCLI_SOME_FAILED;
            break;
        }
        if (!options.csv) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!ProcessLine(line, fn, options, out, why)) {
                ZrCliError(options.command, shown + ":" + std::to_string(first) + ": " + why);
                status = ZRCLI_SOME_FAILED;
            }
            out += '\n';
        } else {
            // Each record keeps its line end; a last one without any gets the
            // one before it.
            const size_t content = fields.ContentEnd();
            if (reader.Ended()) lineEnd = content < line.size() ? "\r\n" : "\n";
            const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
            if (unended) {
                // Whatever the quote was meant to enclose is unknown: the
                // record is copied as it came.
                out.append(line, 0, content);
                ZrCliError(options.command, shown + ":" + std::to_string(first) +
                                                ": a quoted field is not closed before the end of the input");
                status = ZRCLI_SOME_FAILED;
            } else if (blank) {
                out.append(line, 0, content);
            } else if (!headerDone) {
                headerDone = true;
                out.append(line, 0, content);
                header.resize(fields.Count());
                for (size_t i = 0; i < fields.Count(); ++i)
                    CsvRecord::Value(line, fields.Begin(i), fields.End(i), header[i]);
                if (!ResolveColumns(options, header, columns, why)) {
                    ZrCliError(options.command, shown + ":" + std::to_string(first) + ": " + why);
                    out += lineEnd;
                    status = ZRCLI_SOME_FAILED;
                    break;
                }
            } else if (!ProcessRecord(line, fields, columns, fn, options, out, scratchX, scratchY, why)) {
                ZrCliError(options.command, shown + ":" + std::to_string(first) + ": " + why);
                status = ZRCLI_SOME_FAILED;
            }
            out += lineEnd;
        }
        if (!output.Write(false)) {
            lost = true;
            return ZrCliOutputLost(options.command);
        }
    }
    if (!output.Write(true)) {
        lost = true;
        return ZrCliOutputLost(options.command);
    }
    return status;
}

} // namespace

int ZrCliParseColumns(const std::string& text, ZrCliStreamOptions& options, std::string& why) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        columns.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (columns.size() < 2 || columns.size() > 3) {
        why = "--columns takes two or three fields, x,y[,z]: header names or numbers from 1";
        return 0;
    }
    for (const std::string& column : columns) {
        const bool number = !column.empty() && column.find_first_not_of("0123456789") == std::string::npos;
        if (column.empty() ||
            (number && (column.size() > 7 || std::strtol(column.c_str(), nullptr, 10) < 1))) {
            why = "--columns takes two or three fields, x,y[,z]: header names or numbers from 1";
            return 0;
        }
        if (!number && !options.header) {
            why = "--columns names field \"" + column + "\": names need --header";
            return 0;
        }
    }
    for (size_t i = 1; i < columns.size(); ++i)
        if (std::find(columns.begin(), columns.begin() + static_cast<long>(i), columns[i]) !=
            columns.begin() + static_cast<long>(i)) {
            why = "--columns names \"" + columns[i] + "\" twice";
            return 0;
        }
    options.columns = columns;
    return 1;
}

int ZrCliParseDelimiter(const std::string& text, ZrCliStreamOptions& options, std::string& why) {
    char delimiter = text.size() == 1 ? text[0] : '\0';
    if (text == "tab" || text == "\\t") delimiter = '\t';
    // A delimiter that can be part of a number or of a quoted field would
    // make the records ambiguous.
    if (delimiter == '\0' || IsDigit(delimiter) || std::strchr(".+-eE\"\r\n", delimiter)) {
        why = "--delimiter takes one character (or \"tab\") that cannot be part of a number or a quote";
        return 0;
    }
    options.delimiter = delimiter;
    return 1;
}

int ZrCliRunStream(const std::vector<std::string>& files, const ZrCliPointFn& fn,
                   const ZrCliStreamOptions& options, FILE* out) {
    std::vector<std::string> names = files;
    if (names.empty()) names.push_back("-");
    int status = ZRCLI_OK;
    bool lost = false;
    Output output(out);
    // Counted only where a terminal shows the count: elsewhere fn runs bare.
    ZrCliProgressStart(options.command);
    struct EndProgress {
        ~EndProgress() { ZrCliProgressEnd(); }
    } endProgress;
    const ZrCliPointFn counted = [&fn](CPoint2D& pt, std::string& why) {
        ZrCliProgressTick();
        return fn(pt, why);
    };
    const ZrCliPointFn& run = isatty(STDERR_FILENO) == 1 ? counted : fn;
    for (const std::string& name : names) {
        if (name == "-") {
            if (RunOne(stdin, "<stdin>", run, options, output, lost) != ZRCLI_OK) status = ZRCLI_SOME_FAILED;
        } else {
            FILE* in = std::fopen(name.c_str(), "rb");
            if (!in) {
                ZrCliErrorf(options.command, "%s: cannot open the file: %s", name.c_str(),
                            std::strerror(errno));
                status = ZRCLI_SOME_FAILED;
                continue;
            }
            if (RunOne(in, name, run, options, output, lost) != ZRCLI_OK) status = ZRCLI_SOME_FAILED;
            std::fclose(in);
        }
        if (lost) return ZRCLI_SOME_FAILED;
    }
    errno = 0;
    if (std::fflush(out) != 0) return ZrCliOutputLost(options.command);
    return status;
}
