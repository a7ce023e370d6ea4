#include "platform/ZrCodePage.h"

#include "platform/ZrToolkit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// iconv names. Writing a labelled "GB2312" or "shift_JIS" text keeps to the
// strict sets; reading and unlabelled legacy text use the Windows supersets,
// which is what the code pages 936 and 932 of existing installations hold.
const char kIconvUtf8[] = "UTF-8";
const char kIconvGb2312[] = "GB2312";
const char kIconvCp936[] = "CP936";
const char kIconvShiftJis[] = "SHIFT_JIS";
const char kIconvCp932[] = "CP932";

// Length of the well-formed UTF-8 sequence at p (1 to 4) with its code point,
// or 0 when the bytes do not begin one.
int DecodeUtf8(const unsigned char* p, size_t left, unsigned& cp) {
    if (left == 0) return 0;
    unsigned c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int n;
    unsigned min;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < static_cast<size_t>(n)) return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Copies UTF-8 text, replacing each byte that does not begin a well-formed
// sequence by U+FFFD. Returns 1 when nothing was replaced.
int SanitizeUtf8(const std::string& in, std::string& out) {
    out.clear();
    out.reserve(in.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in.data());
    size_t left = in.size();
    int clean = 1;
    while (left > 0) {
        // A run of ASCII, most of any XML file, in one append: one append per
        // character made reading the 175 kB mapping file cost 10 M instructions.
        size_t run = 0;
        while (run < left && p[run] < 0x80)
            ++run;
        if (run > 0) {
            out.append(reinterpret_cast<const char*>(p), run);
            p += run;
            left -= run;
            continue;
        }
        unsigned cp;
        int n = DecodeUtf8(p, left, cp);
        if (n == 0) {
            out += kReplacement;
            clean = 0;
            n = 1;
        } else {
            out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return clean;
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (IsOpen()) iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // One step of iconv; returns false with errno set when it stopped early.
    bool Convert(char** in, size_t* inLeft, std::string& out) {
        char chunk[4096];
        char* o = chunk;
        size_t oLeft = sizeof chunk;
        size_t r = iconv(m_cd, in, inLeft, &o, &oLeft);
        int saved = errno;
        out.append(chunk, static_cast<size_t>(o - chunk));
        errno = saved;
        return r != static_cast<size_t>(-1);
    }
    void Flush(std::string& out) {
        char chunk[64];
        char* o = chunk;
        size_t oLeft = sizeof chunk;
        iconv(m_cd, nullptr, nullptr, &o, &oLeft);
        out.append(chunk, static_cast<size_t>(o - chunk));
    }

private:
    iconv_t m_cd;
};

// Encodes well-formed UTF-8 into the iconv encoding `to`.
int Encode(const std::string& utf8, const char* to, std::string& bytes, CZrCodePage::Unmappable mode) {
    bytes.clear();
    // Checked first, so that every EILSEQ below means "no such character in
    // the target", not "broken input".
    if (!CZrCodePage::IsValidUtf8(utf8)) return 0;
    IconvHandle cd(to, kIconvUtf8);
    if (!cd.IsOpen()) return 0;
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    while (inLeft > 0) {
        if (cd.Convert(&in, &inLeft, bytes)) break;
        if (errno == E2BIG) continue;
        unsigned cp = 0;
        int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(in), inLeft, cp);
        if (errno != EILSEQ || mode != CZrCodePage::CharRef || n == 0) {
            bytes.clear();
            return 0;
        }
        char ref[16];
        std::snprintf(ref, sizeof ref, "&#%u;", cp);
        bytes += ref;
        in += n;
        inLeft -= static_cast<size_t>(n);
    }
    cd.Flush(bytes);
    return 1;
}

// Decodes bytes of the iconv encoding `from`; -1 when iconv does not know it.
int Decode(const std::string& bytes, const char* from, std::string& utf8) {
    utf8.clear();
    IconvHandle cd(kIconvUtf8, from);
    if (!cd.IsOpen()) return -1;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    int clean = 1;
    while (inLeft > 0) {
        if (cd.Convert(&in, &inLeft, utf8)) break;
        if (errno == E2BIG) continue;
        utf8 += kReplacement;
        clean = 0;
        if (errno != EILSEQ) break; // a truncated last character
        ++in, --inLeft;
        cd.Flush(utf8); // back to the initial shift state after a bad byte
    }
    // The converters of the host produce valid UTF-8; checked all the same,
    // because the promise to callers is unconditional.
    if (!CZrCodePage::IsValidUtf8(utf8)) {
        std::string raw;
        raw.swap(utf8);
        SanitizeUtf8(raw, utf8);
        clean = 0;
    }
    return clean;
}

// Lower case without '-', '_', '.' and blanks: "Shift_JIS" and "shift-jis" are one name.
std::string NormalizeLabel(const char* label) {
    std::string key;
    for (const char* p = label; *p; ++p) {
        char c = *p;
        if (c == '-' || c == '_' || c == '.' || c == ' ') continue;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key += c;
    }
    return key;
}

bool IsOneOf(const std::string& key, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (key == name) return true;
    return false;
}

// The iconv names to write and to read a labelled text; false for a label
// that is no plain encoding name (iconv suffixes such as "//TRANSLIT" would
// silently change characters, so they are refused).
bool ResolveLabel(const char* label, const char*& writeName, const char*& readName) {
    if (!label) label = "";
    size_t length = std::strlen(label);
    if (length > 40) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = label[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                  c == '_' || c == '.' || c == ':';
        if (!ok) return false;
    }
    std::string key = NormalizeLabel(label);
    if (IsOneOf(key, {"", "utf8"})) {
        writeName = readName = kIconvUtf8;
    } else if (IsOneOf(key, {"gb2312", "csgb2312", "euccn", "xeuccn", "gb231280", "chinese", "isoir58",
                             "csiso58gb231280"})) {
        writeName = kIconvGb2312, readName = kIconvCp936;
    } else if (IsOneOf(key, {"gbk", "cp936", "ms936", "windows936", "xgbk"})) {
        writeName = readName = kIconvCp936;
    } else if (IsOneOf(key, {"shiftjis", "sjis", "xsjis", "csshiftjis", "mskanji"})) {
        writeName = kIconvShiftJis, readName = kIconvCp932;
    } else if (IsOneOf(key, {"cp932", "windows31j", "mscp932", "xmscp932", "cswindows31j"})) {
        writeName = readName = kIconvCp932;
    } else {
        writeName = readName = label;
    }
    return true;
}

const char* LegacyIconvName(CZrCodePage::Page page) {
    switch (page) {
    case CZrCodePage::Gb2312:
        return kIconvCp936;
    case CZrCodePage::ShiftJis:
        return kIconvCp932;
    default:
        return kIconvUtf8;
    }
}

} // namespace

CZrCodePage::Page CZrCodePage::FromCharset(int charset) {
    return charset == CZrToolkit::kShiftJisCharset ? ShiftJis : Gb2312;
}

CZrCodePage::Page CZrCodePage::Current() {
    return FromCharset(CZrToolkit::GetCharset());
}

const char* CZrCodePage::XmlEncodingName(Page page) {
    switch (page) {
    case Gb2312:
        return "GB2312";
    case ShiftJis:
        return "shift_JIS";
    default:
        return "UTF-8";
    }
}

int CZrCodePage::IsValidUtf8(const std::string& text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        unsigned cp;
        int n = DecodeUtf8(p, left, cp);
        if (n == 0) return 0;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 1;
}

int CZrCodePage::Utf8CharLength(const char* text, size_t size, unsigned* codePoint) {
    unsigned cp = 0;
    const int n = DecodeUtf8(reinterpret_cast<const unsigned char*>(text), size, cp);
    if (n && codePoint) *codePoint = cp;
    return n;
}

int CZrCodePage::IsUtf8Label(const char* label) {
    const char* writeName = nullptr;
    const char* readName = nullptr;
    return ResolveLabel(label, writeName, readName) && writeName == kIconvUtf8 ? 1 : 0;
}

int CZrCodePage::FromUtf8(const std::string& utf8, Page page, std::string& bytes, Unmappable mode) {
    if (page == Utf8) {
        bytes.clear();
        if (!IsValidUtf8(utf8)) return 0;
        bytes = utf8;
        return 1;
    }
    return Encode(utf8, LegacyIconvName(page), bytes, mode);
}

int CZrCodePage::ToUtf8(const std::string& bytes, Page page, std::string& utf8) {
    if (page == Utf8) return SanitizeUtf8(bytes, utf8);
    return Decode(bytes, LegacyIconvName(page), utf8) == 1 ? 1 : 0;
}

int CZrCodePage::FromUtf8(const std::string& utf8, const char* label, std::string& bytes, Unmappable mode) {
    const char* writeName = nullptr;
    const char* readName = nullptr;
    bytes.clear();
    if (!ResolveLabel(label, writeName, readName)) return 0;
    if (writeName == kIconvUtf8) return FromUtf8(utf8, Utf8, bytes, mode);
    return Encode(utf8, writeName, bytes, mode);
}

int CZrCodePage::ToUtf8(const std::string& bytes, const char* label, std::string& utf8) {
    const char* writeName = nullptr;
    const char* readName = nullptr;
    utf8.clear();
    if (!ResolveLabel(label, writeName, readName)) return -1;
    if (readName == kIconvUtf8) return SanitizeUtf8(bytes, utf8);
    int result = Decode(bytes, readName, utf8);
    if (result < 0) utf8.clear();
    return result;
}
