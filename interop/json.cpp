#include "interop/json_p.h"

#include "interop/ZrInteropForms_p.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

const ZrJson* ZrJson::Get(const char* key) const {
    if (kind != OBJECT) return nullptr;
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

namespace {

class Parser {
public:
    Parser(const std::string& text, std::string& reason) : m_s(text), m_reason(reason) {}

    bool Document(ZrJson& out) {
        Blanks();
        if (!Value(out, 0)) return false;
        Blanks();
        if (m_pos != m_s.size()) return Fail("text after the JSON value");
        return true;
    }

private:
    bool Fail(const char* what) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "JSON: %s at byte %zu", what, m_pos);
        m_reason = buf;
        return false;
    }
    void Blanks() {
        while (m_pos < m_s.size() &&
               (m_s[m_pos] == ' ' || m_s[m_pos] == '\t' || m_s[m_pos] == '\n' || m_s[m_pos] == '\r'))
            ++m_pos;
    }
    bool Literal(const char* word) {
        size_t n = std::strlen(word);
        if (m_s.compare(m_pos, n, word) != 0) return Fail("unknown literal");
        m_pos += n;
        return true;
    }

    // Depth counts open arrays and objects, so a deeply nested text is
    // refused before the stack grows with it.
    bool Value(ZrJson& out, int depth) {
        if (m_pos >= m_s.size()) return Fail("text ends where a value should be");
        // A CRS description holds a few hundred values; the cap keeps a
        // megabyte of "[0,0,0,..." from taking a hundred times its size.
        if (++m_values > kMaxValues) return Fail("too many values");
        char c = m_s[m_pos];
        switch (c) {
        case '{':
        case '[':
            if (depth >= kZrInteropMaxDepth) return Fail("nesting too deep");
            return c == '{' ? Object(out, depth + 1) : Array(out, depth + 1);
        case '"':
            out.kind = ZrJson::STRING;
            return String(out.text);
        case 't':
            out.kind = ZrJson::BOOLEAN;
            out.boolean = true;
            return Literal("true");
        case 'f':
            out.kind = ZrJson::BOOLEAN;
            out.boolean = false;
            return Literal("false");
        case 'n':
            out.kind = ZrJson::NUL;
            return Literal("null");
        default:
            out.kind = ZrJson::NUMBER;
            return Number(out.number);
        }
    }

    bool Object(ZrJson& out, int depth) {
        out.kind = ZrJson::OBJECT;
        ++m_pos; // '{'
        Blanks();
        if (m_pos < m_s.size() && m_s[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            Blanks();
            if (m_pos >= m_s.size() || m_s[m_pos] != '"') return Fail("expected a key string");
            std::string key;
            if (!String(key)) return false;
            Blanks();
            if (m_pos >= m_s.size() || m_s[m_pos] != ':') return Fail("expected ':'");
            ++m_pos;
            Blanks();
            ZrJson value;
            if (!Value(value, depth)) return false;
            if (!out.Get(key.c_str())) out.members.emplace_back(std::move(key), std::move(value));
            Blanks();
            if (m_pos >= m_s.size()) return Fail("unterminated object");
            if (m_s[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_s[m_pos] == '}') {
                ++m_pos;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool Array(ZrJson& out, int depth) {
        out.kind = ZrJson::ARRAY;
        ++m_pos; // '['
        Blanks();
        if (m_pos < m_s.size() && m_s[m_pos] == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            Blanks();
            out.items.emplace_back();
            if (!Value(out.items.back(), depth)) return false;
            Blanks();
            if (m_pos >= m_s.size()) return Fail("unterminated array");
            if (m_s[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_s[m_pos] == ']') {
                ++m_pos;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    static void PutUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    bool Hex4(unsigned& cp) {
        if (m_s.size() - m_pos < 4) return Fail("short \\u escape");
        cp = 0;
        for (int i = 0; i < 4; ++i) {
            char h = m_s[m_pos++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= unsigned(h - '0');
            else if (h >= 'a' && h <= 'f')
                cp |= unsigned(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                cp |= unsigned(h - 'A' + 10);
            else
                return Fail("bad \\u escape");
        }
        return true;
    }
    // One UTF-8 sequence copied as it stands, checked for overlong forms,
    // surrogates and code points past U+10FFFF.
    bool Utf8(std::string& out) {
        unsigned char b = static_cast<unsigned char>(m_s[m_pos]);
        int n = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : -1;
        if (n < 0 || m_s.size() - m_pos <= size_t(n)) return Fail("invalid UTF-8");
        unsigned cp = b & (0x3F >> n);
        for (int i = 1; i <= n; ++i) {
            unsigned char t = static_cast<unsigned char>(m_s[m_pos + i]);
            if ((t & 0xC0) != 0x80) return Fail("invalid UTF-8");
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return Fail("invalid UTF-8");
        out.append(m_s, m_pos, size_t(n) + 1);
        m_pos += size_t(n) + 1;
        return true;
    }

    bool String(std::string& out) {
        ++m_pos; // opening quote
        for (;;) {
            if (m_pos >= m_s.size()) return Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(m_s[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20) return Fail("control character in a string");
            if (c >= 0x80) {
                if (!Utf8(out)) return false;
                continue;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++m_pos;
                continue;
            }
            if (++m_pos >= m_s.size()) return Fail("unterminated string");
            char e = m_s[m_pos++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned cp;
                if (!Hex4(cp)) return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("lone low surrogate");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    unsigned lo;
                    if (m_s.compare(m_pos, 2, "\\u") != 0) return Fail("lone high surrogate");
                    m_pos += 2;
                    if (!Hex4(lo)) return false;
                    if (lo < 0xDC00 || lo > 0xDFFF) return Fail("lone high surrogate");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                }
                if (cp == 0) return Fail("NUL character in a string");
                PutUtf8(out, cp);
                break;
            }
            default:
                return Fail("bad escape");
            }
        }
    }

    // JSON's number grammar exactly, then from_chars, which ignores the locale.
    bool Number(double& out) {
        size_t start = m_pos;
        auto digits = [&] {
            size_t k = m_pos;
            while (m_pos < m_s.size() && m_s[m_pos] >= '0' && m_s[m_pos] <= '9')
                ++m_pos;
            return m_pos > k;
        };
        if (m_pos < m_s.size() && m_s[m_pos] == '-') ++m_pos;
        if (m_pos < m_s.size() && m_s[m_pos] == '0')
            ++m_pos;
        else if (!digits())
            return Fail("unexpected character");
        if (m_pos < m_s.size() && m_s[m_pos] == '.') {
            ++m_pos;
            if (!digits()) return Fail("bad number");
        }
        if (m_pos < m_s.size() && (m_s[m_pos] == 'e' || m_s[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_s.size() && (m_s[m_pos] == '+' || m_s[m_pos] == '-')) ++m_pos;
            if (!digits()) return Fail("bad number");
        }
        const char* first = m_s.data() + start;
        auto r = std::from_chars(first, m_s.data() + m_pos, out);
        if (r.ec != std::errc() || !std::isfinite(out)) {
            m_pos = start;
            return Fail("number out of range");
        }
        return true;
    }

    const std::string& m_s;
    std::string& m_reason;
    size_t m_pos = 0;
    long m_values = 0;
    static constexpr long kMaxValues = 100000;
};

} // namespace

int ZrJsonParse(const std::string& text, ZrJson& out, std::string& reason) {
    if (text.size() > size_t(kZrInteropMaxTextBytes)) {
        reason = "JSON: text longer than the 1 MiB an importer reads";
        return 0;
    }
    ZrJson value;
    // A byte-order mark, as some editors save files, is no part of the value.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return ZrJsonParse(text.substr(3), out, reason);
    Parser parser(text, reason);
    if (!parser.Document(value)) return 0;
    out = std::move(value);
    return 1;
}

void ZrJsonWriter::NewLine() {
    m_out += '\n';
    m_out.append(2 * m_counts.size(), ' ');
}

void ZrJsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_counts.empty()) {
        if (m_counts.back()++ > 0) m_out += ',';
        NewLine();
    }
}

void ZrJsonWriter::BeginObject() {
    BeforeValue();
    m_out += '{';
    m_counts.push_back(0);
}
void ZrJsonWriter::EndObject() {
    bool any = m_counts.back() > 0;
    m_counts.pop_back();
    if (any) NewLine();
    m_out += '}';
}
void ZrJsonWriter::BeginArray() {
    BeforeValue();
    m_out += '[';
    m_counts.push_back(0);
}
void ZrJsonWriter::EndArray() {
    EndObject();
    m_out.back() = ']';
}
void ZrJsonWriter::Key(const char* key) {
    BeforeValue();
    Quoted(key);
    m_out += ": ";
    m_afterKey = true;
}
void ZrJsonWriter::String(const std::string& value) {
    BeforeValue();
    Quoted(value);
}
// Names come from callers and may hold bytes that are no UTF-8 (a legacy
// code page read as it is): each such byte is written as U+FFFD, so the text
// is JSON and reads back.
void ZrJsonWriter::Quoted(const std::string& value) {
    m_out += '"';
    const size_t n = value.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (c >= 0x80) {
            int len = c >= 0xC2 && c <= 0xDF   ? 1
                      : c >= 0xE0 && c <= 0xEF ? 2
                      : c >= 0xF0 && c <= 0xF4 ? 3
                                               : -1;
            unsigned cp = len > 0 ? c & (0x3Fu >> len) : 0;
            for (int k = 1; k <= len; ++k) {
                const unsigned char t =
                    i + size_t(k) < n ? static_cast<unsigned char>(value[i + size_t(k)]) : 0;
                if ((t & 0xC0) != 0x80) {
                    len = -1;
                    break;
                }
                cp = (cp << 6) | (t & 0x3F);
            }
            if ((len == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                (len == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
                len = -1;
            if (len < 0) {
                m_out += "\\ufffd";
                ++i;
            } else {
                m_out.append(value, i, size_t(len) + 1);
                i += size_t(len) + 1;
            }
            continue;
        }
        switch (c) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default:
            if (c == 0) {
                m_out += "\\ufffd"; // JSON readers refuse a NUL character
            } else if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                m_out += buf;
            } else {
                m_out += static_cast<char>(c);
            }
        }
        ++i;
    }
    m_out += '"';
}
void ZrJsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) value = 0.0; // JSON has no infinities; callers write only finite values
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    m_out.append(buf, r.ptr);
}
void ZrJsonWriter::Integer(long value) {
    BeforeValue();
    m_out += std::to_string(value);
}
