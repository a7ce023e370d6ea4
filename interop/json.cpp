#include "interop/json_p.h"

#include "interop/ZrInteropForms_p.h"
#include "platform/ZrCodePage.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

const ZrJson* ZrJson::Get(const char* key) const {
    if (kind != OBJECT) return nullptr;
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

namespace {

// Builds our tree from nlohmann's SAX events. nlohmann's SAX parser keeps its
// own nesting on a heap vector rather than the call stack, and stops as soon
// as a handler returns false: the depth and value bounds refuse a megabyte of
// "[[[[..." or "0,0,0,..." after a few hundred events, before any of it is
// built.
class Builder {
public:
    using Json = nlohmann::json;

    explicit Builder(ZrJson& root) : m_root(root) {}
    // Our own reason when a handler stopped the parse, else empty.
    const char* Refusal() const { return m_refusal; }

    bool null() { return Put(ZrJson::NUL) != nullptr; }
    bool boolean(bool value) {
        ZrJson* v = Put(ZrJson::BOOLEAN);
        return v && (v->boolean = value, true);
    }
    bool number_integer(Json::number_integer_t value) { return Number(static_cast<double>(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return Number(static_cast<double>(value)); }
    // nlohmann refuses a float that overflows to infinity itself.
    bool number_float(Json::number_float_t value, const std::string&) { return Number(value); }
    bool string(std::string& value) {
        if (!Text(value)) return false;
        ZrJson* v = Put(ZrJson::STRING);
        return v && (v->text = std::move(value), true);
    }
    bool binary(Json::binary_t&) { return Stop("unexpected binary value"); }
    bool start_object(std::size_t) { return Open(ZrJson::OBJECT); }
    bool start_array(std::size_t) { return Open(ZrJson::ARRAY); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool key(std::string& key) {
        if (!Text(key)) return false;
        m_key = std::move(key);
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
        m_errorAt = position;
        m_errorText = e.what();
        return false;
    }
    // Where nlohmann found the text malformed (bytes read), and its message.
    size_t ErrorAt() const { return m_errorAt; }
    const std::string& ErrorText() const { return m_errorText; }

private:
    // An open array or object, and for a large object an index of its keys,
    // so a text of a hundred thousand distinct keys does not cost their square.
    struct Frame {
        ZrJson* value;
        std::unordered_map<std::string, size_t> keys;
    };
    static constexpr size_t kIndexedFrom = 16;

    bool Stop(const char* why) {
        m_refusal = why;
        return false;
    }
    // A description holds a few hundred values; the cap keeps a megabyte of
    // "[0,0,0,..." from taking a hundred times its size.
    bool Count() { return ++m_values <= kMaxValues || Stop("too many values"); }
    // Strings go on into C strings (names, units), which would end at a NUL.
    bool Text(const std::string& s) {
        return s.find('\0') == std::string::npos || Stop("NUL character in a string");
    }
    bool Number(double value) {
        ZrJson* v = Put(ZrJson::NUMBER);
        return v && (v->number = value, true);
    }

    // The place of the next value: the root, the end of the open array, or
    // the member of the open object named by the last key. Of a repeated key
    // the last value wins, as in PROJ, which reads PROJJSON with this library
    // into a map: "value": 1, "value": 500000 must mean 500000 to both.
    ZrJson* Put(ZrJson::Kind kind) {
        if (!Count()) return nullptr;
        ZrJson* v = &m_root;
        if (!m_open.empty()) {
            Frame& top = m_open.back();
            if (top.value->kind == ZrJson::ARRAY) {
                v = &top.value->items.emplace_back();
            } else {
                v = Member(top);
            }
        }
        v->kind = kind;
        return v;
    }
    ZrJson* Member(Frame& top) {
        auto& members = top.value->members;
        if (members.size() < kIndexedFrom) {
            for (auto& m : members)
                if (m.first == m_key) return &(m.second = ZrJson());
        } else {
            if (top.keys.empty())
                for (size_t i = 0; i < members.size(); ++i)
                    top.keys.emplace(members[i].first, i);
            auto found = top.keys.find(m_key);
            if (found != top.keys.end()) return &(members[found->second].second = ZrJson());
            top.keys.emplace(m_key, members.size());
        }
        return &members.emplace_back(std::move(m_key), ZrJson()).second;
    }
    bool Open(ZrJson::Kind kind) {
        if (m_open.size() >= size_t(kZrInteropMaxDepth)) return Stop("nesting too deep");
        ZrJson* v = Put(kind);
        if (!v) return false;
        m_open.push_back({v, {}});
        return true;
    }
    bool Close() {
        m_open.pop_back();
        return true;
    }

    ZrJson& m_root;
    std::vector<Frame> m_open;
    std::string m_key;
    long m_values = 0;
    const char* m_refusal = nullptr;
    size_t m_errorAt = 0;
    std::string m_errorText;
    static constexpr long kMaxValues = 100000;
};

// nlohmann's message in today's words, and never its echo of the text
// ("last read: '...'" may quote a megabyte). The lexer's complaint comes
// first; a text cut short is named by what it cut.
std::string ShortReason(const std::string& what) {
    static const struct {
        const char* theirs;
        const char* ours;
    } kPhrases[] = {
        {"ill-formed UTF-8", "invalid UTF-8"},
        {"must be escaped", "control character in a string"},
        {"surrogate", "lone surrogate"},
        {"number overflow", "number out of range"},
        {"after backslash", "bad escape"},
        {"4 hex digits", "bad \\u escape"},
        {"missing closing quote", "unterminated string"},
        {"invalid number", "bad number"},
        {"invalid literal", "unexpected character"},
        {"parsing object key", "expected a key string"},
        {"parsing object separator", "expected ':'"},
        {"parsing object - unexpected end of input", "unterminated object"},
        {"parsing object - ", "expected ',' or '}'"},
        {"parsing array - unexpected end of input", "unterminated array"},
        {"parsing array - ", "expected ',' or ']'"},
        {"unexpected end of input", "text ends where a value should be"},
        {"expected end of input", "text after the JSON value"},
    };
    for (const auto& p : kPhrases)
        if (what.find(p.theirs) != std::string::npos) return p.ours;
    // "[json.exception.parse_error.101] parse error at line 1, column 9: syntax error ..."
    size_t from = what.find(": ");
    from = from == std::string::npos ? 0 : from + 2;
    size_t to = std::min(what.find("; last read", from), from + 80);
    return what.substr(from, to - from);
}

} // namespace

int ZrJsonParse(const std::string& text, ZrJson& out, std::string& reason) {
    if (text.size() > size_t(kZrInteropMaxTextBytes)) {
        reason = "JSON: text longer than the 1 MiB an importer reads";
        return 0;
    }
    // A byte-order mark, as some editors save files, is no part of the value.
    const size_t skip = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const char* first = text.data() + skip;
    ZrJson value;
    Builder sax(value);
    if (!nlohmann::json::sax_parse(first, text.data() + text.size(), &sax)) {
        char buf[160];
        if (sax.Refusal()) {
            std::snprintf(buf, sizeof buf, "JSON: %s", sax.Refusal());
        } else {
            // nlohmann counts the bytes read, the offending one included.
            const size_t at = skip + (sax.ErrorAt() > 0 ? sax.ErrorAt() - 1 : 0);
            std::string what = ShortReason(sax.ErrorText());
            // nlohmann calls a misspelt "true" and a stray byte both an invalid
            // literal; the letters before the offending byte tell them apart.
            size_t word = std::min(at, text.size());
            while (word > skip && std::isalpha(static_cast<unsigned char>(text[word - 1])))
                --word;
            if (what == "unexpected character" && word < at && std::strchr("tfn", text[word]))
                what = "unknown literal";
            std::snprintf(buf, sizeof buf, "JSON: %s at byte %zu", what.c_str(), at);
        }
        reason = buf;
        return 0;
    }
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
            const int len = CZrCodePage::Utf8CharLength(value.data() + i, n - i);
            if (len == 0) {
                m_out += "\\ufffd";
                ++i;
            } else {
                m_out.append(value, i, size_t(len));
                i += size_t(len);
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
