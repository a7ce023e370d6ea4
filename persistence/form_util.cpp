#include "persistence/form_p.h"

#include "platform/ZrToolkit.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace zrprj {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

int ReadInt(const char* text) {
    if (!text) return 0;
    while (IsBlank(*text))
        ++text;
    errno = 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double ReadDouble(const char* text) {
    if (!text) return 0.0;
    while (IsBlank(*text))
        ++text;
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    const char* mantissa = p;
    while (IsDigit(*p))
        ++p;
    if (*p == '.') {
        ++p;
        while (IsDigit(*p))
            ++p;
    }
    // A lone sign or point is no number.
    if (p == mantissa || (p == mantissa + 1 && *mantissa == '.')) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (IsDigit(*exponent)) {
            p = exponent;
            while (IsDigit(*p))
                ++p;
        }
    }
    const std::string number(text, static_cast<size_t>(p - text));
    CZrLocale locale; // "." is the decimal separator of every stored form
    return std::strtod(number.c_str(), nullptr);
}

bool CutAt(CString& current, char separator, CString& field, bool allowFirst) {
    const int pos = current.Find(separator);
    if (pos < 0 || (pos == 0 && !allowFirst)) return false;
    field = current.Left(pos);
    current = current.Mid(pos + 1);
    current.TrimLeft();
    return true;
}

} // namespace zrprj
