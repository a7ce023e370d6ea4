#pragma once

#include "platform/ZrExport.h"

#include <string>

// A value string in the manner of MFC's CString. It holds UTF-8 bytes; lengths
// and positions count bytes, as the multibyte CString counted bytes of the
// ANSI code page. Case operations touch ASCII letters only, so multibyte
// characters pass through unchanged.
class ZRPRJ_API CString {
public:
    CString() = default;
    CString(const char* text) : m_s(text ? text : "") {}
    CString(const char* text, int length);
    CString(const std::string& text) : m_s(text) {}
    CString(char ch, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    operator const char*() const { return m_s.c_str(); }
    const char* c_str() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    // Loads the library's string-table text of that id (MFC's LoadString);
    // returns 0 and leaves the string unchanged when there is none.
    int LoadString(unsigned int id);

    // printf-style formatting; numbers follow the calling thread's locale
    // (see CZrLocale).
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void AppendFormat(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Searching: positions are byte offsets, -1 when nothing is found.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* charSet) const;

    // Extraction: out-of-range arguments are clamped as MFC clamps them.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);
    CString& Trim() {
        return TrimLeft().TrimRight();
    }

    CString& MakeUpper();
    CString& MakeLower();
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);

    // Comparison: Compare is _mbscmp (bytes), CompareNoCase is _mbsicmp
    // (bytes with ASCII letters folded). Both return <0, 0 or >0.
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    friend ZRPRJ_API CString operator+(const CString& a, const CString& b);
    friend ZRPRJ_API CString operator+(const CString& a, const char* b);
    friend ZRPRJ_API CString operator+(const char* a, const CString& b);
    friend ZRPRJ_API CString operator+(const CString& a, char b);

    friend bool operator==(const CString& a, const CString& b) {
        return a.m_s == b.m_s;
    }
    friend bool operator==(const CString& a, const char* b) {
        return a.Compare(b) == 0;
    }
    friend bool operator==(const char* a, const CString& b) {
        return b.Compare(a) == 0;
    }
    friend bool operator!=(const CString& a, const CString& b) {
        return a.m_s != b.m_s;
    }
    friend bool operator!=(const CString& a, const char* b) {
        return a.Compare(b) != 0;
    }
    friend bool operator!=(const char* a, const CString& b) {
        return b.Compare(a) != 0;
    }
    friend bool operator<(const CString& a, const CString& b) {
        return a.m_s < b.m_s;
    }

private:
    std::string m_s;
};

// _mbsicmp on two NUL-terminated byte strings: ASCII letters compare without
// regard to case, every other byte by value.
ZRPRJ_API int ZrStrICmp(const char* a, const char* b);

// The text without the blanks (space, tab, line ends, vertical tab, form
// feed) at either end, as CString::Trim leaves it.
ZRPRJ_API std::string ZrTrimmed(const std::string& text);
