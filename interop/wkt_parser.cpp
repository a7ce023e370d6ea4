// A recursive-descent reader of well-known text. The grammar is the one both
// WKT generations share: KEYWORD [ value {, value} ] with ( ) accepted for
// [ ], values being quoted strings ("" stands for a quote inside), numbers,
// bare words and nested keywords. Recursion stops at kZrInteropMaxDepth, so
// a hostile text cannot exhaust the stack; the node count is bounded so it
// cannot exhaust memory either.
#include "interop/ZrInteropForms_p.h"
#include "interop/ZrWktTree_p.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A megabyte of text holds at most about 250,000 values ("1,1,"); no
// coordinate system needs more than a few hundred.
constexpr int kMaxNodes = 20000;

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

class Parser {
public:
    Parser(const char* text, size_t size) : m_p(text), m_begin(text), m_end(text + size) {}

    bool Run(ZrWktNode& root) {
        SkipBlanks();
        if (!Keyword(root, 1)) return false;
        if (root.kind != ZrWktNode::kKeyword) return Error("a keyword with brackets was expected");
        SkipBlanks();
        if (m_p != m_end) return Error("text after the end of the definition");
        return true;
    }
    const CString& Reason() const { return m_reason; }

private:
    bool Error(const char* what) {
        m_reason.Format("malformed WKT at byte %ld: %s", static_cast<long>(m_p - m_begin), what);
        return false;
    }
    void SkipBlanks() {
        while (m_p != m_end && std::isspace(static_cast<unsigned char>(*m_p)))
            ++m_p;
    }
    bool Count() {
        if (++m_nodes > kMaxNodes) return Error("too many elements");
        return true;
    }

    bool Keyword(ZrWktNode& node, int depth) {
        if (depth > kZrInteropMaxDepth) return Error("nested too deeply");
        if (!Count()) return false;
        const char* start = m_p;
        while (m_p != m_end && IsWordChar(*m_p))
            ++m_p;
        if (m_p == start || !std::isalpha(static_cast<unsigned char>(*start)))
            return Error("a keyword was expected");
        node.kind = ZrWktNode::kKeyword;
        node.text.assign(start, m_p);
        for (char& c : node.text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        SkipBlanks();
        if (m_p == m_end || (*m_p != '[' && *m_p != '(')) {
            // A bare word: an enumeration value (NORTH, ellipsoidal, ...).
            node.kind = ZrWktNode::kWord;
            node.text.assign(start, m_p - start);
            while (!node.text.empty() && std::isspace(static_cast<unsigned char>(node.text.back())))
                node.text.pop_back();
            return true;
        }
        const char close = *m_p == '[' ? ']' : ')';
        ++m_p;
        for (;;) {
            SkipBlanks();
            if (m_p == m_end) return Error("the text ends inside brackets");
            ZrWktNode child;
            if (*m_p == '"') {
                if (!String(child)) return false;
            } else if (*m_p == '-' || *m_p == '+' || *m_p == '.' ||
                       std::isdigit(static_cast<unsigned char>(*m_p))) {
                if (!Number(child)) return false;
            } else if (std::isalpha(static_cast<unsigned char>(*m_p))) {
                if (!Keyword(child, depth + 1)) return false;
            } else {
                return Error("a value was expected");
            }
            node.children.push_back(std::move(child));
            SkipBlanks();
            if (m_p == m_end) return Error("the text ends inside brackets");
            if (*m_p == ',') {
                ++m_p;
                continue;
            }
            if (*m_p == close) {
                ++m_p;
                return true;
            }
            return Error("',' or a closing bracket was expected");
        }
    }

    bool String(ZrWktNode& node) {
        if (!Count()) return false;
        node.kind = ZrWktNode::kString;
        ++m_p;
        for (;;) {
            if (m_p == m_end) return Error("the text ends inside a quoted string");
            if (*m_p == '"') {
                if (m_p + 1 != m_end && m_p[1] == '"') {
                    node.text += '"';
                    m_p += 2;
                    continue;
                }
                ++m_p;
                return true;
            }
            if (*m_p == '\0') return Error("a NUL byte inside a quoted string");
            node.text += *m_p++;
        }
    }

    bool Number(ZrWktNode& node) {
        if (!Count()) return false;
        const char* start = m_p;
        if (*m_p == '-' || *m_p == '+') ++m_p;
        while (m_p != m_end && (std::isdigit(static_cast<unsigned char>(*m_p)) || *m_p == '.'))
            ++m_p;
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (m_p != m_end && (*m_p == '-' || *m_p == '+')) ++m_p;
            while (m_p != m_end && std::isdigit(static_cast<unsigned char>(*m_p)))
                ++m_p;
        }
        node.kind = ZrWktNode::kNumber;
        node.text.assign(start, m_p);
        if (node.text.size() > 64) return Error("a number too long to be one");
        char* end = nullptr;
        errno = 0;
        node.number = std::strtod(node.text.c_str(), &end);
        if (end != node.text.c_str() + node.text.size() || node.text == "-" || node.text == "+" ||
            !std::isfinite(node.number))
            return Error("not a number");
        return true;
    }

    const char* m_p;
    const char* m_begin;
    const char* m_end;
    int m_nodes = 0;
    CString m_reason;
};

bool SameKeyword(const std::string& a, const char* b, size_t n) {
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool AnyOf(const std::string& keyword, const char* names) {
    while (*names) {
        const char* bar = std::strchr(names, '|');
        const size_t n = bar ? static_cast<size_t>(bar - names) : std::strlen(names);
        if (SameKeyword(keyword, names, n)) return true;
        if (!bar) break;
        names = bar + 1;
    }
    return false;
}

} // namespace

bool ZrWktNode::Is(const char* keyword) const {
    return kind == kKeyword && AnyOf(text, keyword);
}

const ZrWktNode* ZrWktNode::Child(const char* names) const {
    for (const ZrWktNode& c : children)
        if (c.kind == kKeyword && AnyOf(c.text, names)) return &c;
    return nullptr;
}

std::vector<const ZrWktNode*> ZrWktNode::Children(const char* name) const {
    std::vector<const ZrWktNode*> out;
    for (const ZrWktNode& c : children)
        if (c.kind == kKeyword && AnyOf(c.text, name)) out.push_back(&c);
    return out;
}

bool ZrWktNode::StringAt(size_t i, std::string& out) const {
    if (i >= children.size() || children[i].kind != kString) return false;
    out = children[i].text;
    return true;
}

bool ZrWktNode::NumberAt(size_t i, double& out) const {
    if (i >= children.size() || children[i].kind != kNumber) return false;
    out = children[i].number;
    return true;
}

int ZrParseWkt(const CString& text, ZrWktNode& root, CString* reason) {
    if (text.GetLength() > kZrInteropMaxTextBytes) {
        if (reason)
            reason->Format("text of %d bytes is longer than the %d bytes read", text.GetLength(),
                           kZrInteropMaxTextBytes);
        return 0;
    }
    const std::string& s = text.str();
    // A text must be one: an embedded NUL means binary data.
    if (std::memchr(s.data(), '\0', s.size())) {
        if (reason) *reason = "binary data, not a well-known text";
        return 0;
    }
    // A byte-order mark, as Windows editors leave at the head of a .prj.
    const size_t bom = s.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    Parser parser(s.data() + bom, s.size() - bom);
    ZrWktNode node;
    if (!parser.Run(node)) {
        if (reason) *reason = parser.Reason();
        return 0;
    }
    root = std::move(node);
    return 1;
}
