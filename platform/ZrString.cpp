#include "platform/ZrString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

inline unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void AppendV(std::string& out, const char* format, va_list args) {
    char stackBuf[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(stackBuf, sizeof stackBuf, format, copy);
    va_end(copy);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof stackBuf) {
        out.append(stackBuf, static_cast<size_t>(n));
        return;
    }
    size_t old = out.size();
    out.resize(old + static_cast<size_t>(n) + 1);
    std::vsnprintf(&out[old], static_cast<size_t>(n) + 1, format, args);
    out.resize(old + static_cast<size_t>(n));
}

} // namespace

int ZrStrICmp(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a ? a : "");
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;; ++p, ++q) {
        unsigned char c = FoldAscii(*p), d = FoldAscii(*q);
        if (c != d) return c < d ? -1 : 1;
        if (c == 0) return 0;
    }
}

CString::CString(const char* text, int length) {
    if (text && length > 0) m_s.assign(text, strnlen(text, static_cast<size_t>(length)));
}

char CString::GetAt(int index) const {
    return (index >= 0 && index < GetLength()) ? m_s[static_cast<size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch) {
    if (index >= 0 && index < GetLength()) m_s[static_cast<size_t>(index)] = ch;
}

void CString::Format(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    AppendV(out, format, args);
    va_end(args);
    m_s.swap(out);
}

void CString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendV(m_s, format, args);
    va_end(args);
}

int CString::Find(char ch, int start) const {
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    size_t pos = m_s.find(ch, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (!sub) return -1;
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    size_t pos = m_s.find(sub, static_cast<size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    size_t pos = m_s.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* charSet) const {
    if (!charSet) return -1;
    size_t pos = m_s.find_first_of(charSet);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= GetLength()) return CString();
    int available = GetLength() - first;
    return CString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(std::min(count, available))));
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(count)));
}

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && IsSpace(m_s[i]))
        ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char target) {
    size_t i = 0;
    while (i < m_s.size() && m_s[i] == target)
        ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(const char* targets) {
    if (!targets) return *this;
    size_t i = m_s.find_first_not_of(targets);
    m_s.erase(0, i == std::string::npos ? m_s.size() : i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = m_s.size();
    while (n > 0 && IsSpace(m_s[n - 1]))
        --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(char target) {
    size_t n = m_s.size();
    while (n > 0 && m_s[n - 1] == target)
        --n;
    m_s.resize(n);
    return *this;
}

CString& CString::TrimRight(const char* targets) {
    if (!targets) return *this;
    size_t i = m_s.find_last_not_of(targets);
    m_s.resize(i == std::string::npos ? 0 : i + 1);
    return *this;
}

CString& CString::MakeUpper() {
    for (char& c : m_s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return *this;
}

int CString::Replace(const char* oldText, const char* newText) {
    if (!oldText || !*oldText) return 0;
    std::string with = newText ? newText : "";
    size_t oldLen = std::strlen(oldText);
    int count = 0;
    for (size_t pos = m_s.find(oldText); pos != std::string::npos;
         pos = m_s.find(oldText, pos + with.size())) {
        m_s.replace(pos, oldLen, with);
        ++count;
    }
    return count;
}

int CString::Remove(char ch) {
    size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return static_cast<int>(before - m_s.size());
}

int CString::Compare(const char* other) const {
    int r = std::strcmp(m_s.c_str(), other ? other : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* other) const {
    return ZrStrICmp(m_s.c_str(), other);
}

CString& CString::operator=(const char* text) {
    m_s = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_s += other.m_s;
    return *this;
}

CString& CString::operator+=(const char* text) {
    if (text) m_s += text;
    return *this;
}

CString& CString::operator+=(char ch) {
    m_s += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    return CString(a.m_s + b.m_s);
}
CString operator+(const CString& a, const char* b) {
    return CString(a.m_s + (b ? b : ""));
}
CString operator+(const char* a, const CString& b) {
    return CString((a ? a : "") + b.m_s);
}
CString operator+(const CString& a, char b) {
    return CString(a.m_s + b);
}

std::string ZrTrimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}
