#include "platform/ZrMarkup.h"

#include "platform/ZrCodePage.h"
#include "platform/ZrFile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Declarations are kept so that Save knows the encoding to write; comments and
// processing instructions survive a load and save. DOCTYPE is skipped, so no
// entity declared in it is ever expanded.
const unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                             pugi::parse_pi | pugi::parse_ws_pcdata_single;
const unsigned kFragmentFlags =
    pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata_single;
const char kIndent[] = "\t";

// Documents nested deeper than this are cut at the first element beyond it.
// Nothing the library writes or reads comes near (its deepest file has seven
// levels); the bound keeps hostile input from costing more than its size.
constexpr unsigned kMaxDepth = CMarkup::kMaxDepth;

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string Sanitized(const char* text) {
    std::string utf8;
    CZrCodePage::ToUtf8(std::string(text ? text : ""), CZrCodePage::Utf8, utf8);
    return utf8;
}

bool IsNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// An XML name as far as the bytes can tell: a name that would break the
// markup ("a b", "a>", "") is refused rather than written.
bool IsValidName(const char* name) {
    if (!name || !IsNameStart(static_cast<unsigned char>(*name))) return false;
    for (const char* p = name; *p; ++p)
        if (!IsNameChar(static_cast<unsigned char>(*p))) return false;
    return CZrCodePage::IsValidUtf8(name) != 0;
}

bool Matches(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && (!name || !*name || std::strcmp(node.name(), name) == 0);
}

pugi::xml_node FindAfter(const pugi::xml_node& parent, const pugi::xml_node& after, const char* name) {
    if (!parent) return pugi::xml_node();
    for (pugi::xml_node n = after ? after.next_sibling() : parent.first_child(); n; n = n.next_sibling())
        if (Matches(n, name)) return n;
    return pugi::xml_node();
}

CString DataOf(const pugi::xml_node& node) {
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element) return CString();
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) text += n.value();
    }
    return CString(text);
}

bool SetDataOf(pugi::xml_node node, const char* data) {
    if (!node) return false;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element) return false;
    for (pugi::xml_node n = node.first_child(); n;) {
        pugi::xml_node next = n.next_sibling();
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) node.remove_child(n);
        n = next;
    }
    std::string text = Sanitized(data);
    if (!text.empty()) node.append_child(pugi::node_pcdata).set_value(text.c_str());
    return true;
}

// A sub-document is printed without layout: it is handed to another reader,
// and indentation would make its text grow with the square of its depth.
CString Print(const pugi::xml_node& node) {
    if (!node) return CString();
    StringWriter writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return CString(writer.text);
}

// The first element nested deeper than kMaxDepth levels, in document order.
pugi::xml_node FirstTooDeep(pugi::xml_node root) {
    struct Walker : pugi::xml_tree_walker {
        pugi::xml_node found;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() != pugi::node_element || depth() < static_cast<int>(kMaxDepth)) return true;
            found = node;
            return false;
        }
    } walker;
    root.traverse(walker);
    return walker.found;
}

// Parses the text; a document nested too deeply keeps what precedes the first
// element beyond the bound, as a malformed one keeps what precedes its fault.
// The cut is made by parsing the text again up to that element: removing a
// deep subtree from the tree would recurse once per level.
pugi::xml_parse_status ParseBounded(pugi::xml_document& doc, const std::string& text, unsigned flags) {
    pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size(), flags, pugi::encoding_utf8);
    pugi::xml_node deep = FirstTooDeep(doc);
    if (!deep) return result.status;
    const ptrdiff_t name = deep.offset_debug(); // the name, just after its '<'
    if (name < 1 || static_cast<size_t>(name) > text.size()) {
        doc.reset();
    } else {
        doc.load_buffer(text.data(), static_cast<size_t>(name - 1), flags, pugi::encoding_utf8);
    }
    return pugi::status_end_element_mismatch;
}

pugi::xml_node AddElement(pugi::xml_node parent, pugi::xml_node after, const char* name, const char* data) {
    if (!parent || !IsValidName(name)) return pugi::xml_node();
    pugi::xml_node node = after ? parent.insert_child_after(pugi::node_element, after)
                                : parent.append_child(pugi::node_element);
    if (!node) return node;
    node.set_name(name);
    std::string text = Sanitized(data);
    if (!text.empty()) node.append_child(pugi::node_pcdata).set_value(text.c_str());
    return node;
}

// Parses the fragment and copies its top-level elements (with comments and
// processing instructions between them) after `after`; returns the first
// element copied.
pugi::xml_node AddFragment(pugi::xml_node parent, pugi::xml_node after, const char* subDoc) {
    if (!parent) return pugi::xml_node();
    std::string text = Sanitized(subDoc);
    pugi::xml_document fragment;
    if (ParseBounded(fragment, text, kFragmentFlags) != pugi::status_ok) return pugi::xml_node();
    if (!fragment.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; }))
        return pugi::xml_node();
    pugi::xml_node first;
    for (pugi::xml_node n = fragment.first_child(); n; n = n.next_sibling()) {
        pugi::xml_node_type type = n.type();
        if (type != pugi::node_element && type != pugi::node_comment && type != pugi::node_pi) continue;
        pugi::xml_node copy = after ? parent.insert_copy_after(n, after) : parent.append_copy(n);
        if (!copy) break;
        if (!first && type == pugi::node_element) first = copy;
        after = copy;
    }
    return first;
}

bool SetAttribute(pugi::xml_node node, const char* name, const char* value) {
    if (!node || !IsValidName(name)) return false;
    pugi::xml_attribute attr = node.attribute(name);
    if (!attr) attr = node.append_attribute(name);
    return attr && attr.set_value(Sanitized(value).c_str());
}

std::string IntText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

// The encoding named by the XML declaration at the start of the bytes, or
// empty. Any encoding this is used for keeps ASCII as ASCII, so the
// declaration can be read before the text is decoded.
std::string SniffDeclaredEncoding(const std::string& bytes) {
    size_t p = bytes.find_first_not_of(" \t\r\n");
    if (p == std::string::npos || bytes.compare(p, 5, "<?xml") != 0) return std::string();
    size_t end = bytes.find("?>", p);
    if (end == std::string::npos) return std::string();
    std::string decl = bytes.substr(p + 5, end - p - 5);
    size_t at = decl.find("encoding");
    if (at == std::string::npos) return std::string();
    at = decl.find_first_not_of(" \t\r\n", at + 8);
    if (at == std::string::npos || decl[at] != '=') return std::string();
    at = decl.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (decl[at] != '"' && decl[at] != '\'')) return std::string();
    size_t close = decl.find(decl[at], at + 1);
    if (close == std::string::npos) return std::string();
    return decl.substr(at + 1, close - at - 1);
}

std::string DeclaredEncoding(const pugi::xml_document& doc) {
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_declaration) return n.attribute("encoding").value();
        if (n.type() == pugi::node_element) break;
    }
    return std::string();
}

// Text that cannot carry a character reference (names, comments, CDATA,
// processing instructions) must be representable in the target encoding.
struct StrictTextCheck : pugi::xml_tree_walker {
    const char* label;
    bool ok = true;
    explicit StrictTextCheck(const char* encoding) : label(encoding) {}
    bool Representable(const char* text) {
        std::string bytes;
        return !*text || CZrCodePage::FromUtf8(text, label, bytes, CZrCodePage::Fail);
    }
    bool for_each(pugi::xml_node& node) override {
        switch (node.type()) {
        case pugi::node_element:
            ok = Representable(node.name());
            for (pugi::xml_attribute a = node.first_attribute(); ok && a; a = a.next_attribute())
                ok = Representable(a.name());
            break;
        case pugi::node_comment:
        case pugi::node_cdata:
        case pugi::node_pi:
        case pugi::node_doctype:
            ok = Representable(node.name()) && Representable(node.value());
            break;
        default:
            break;
        }
        return ok;
    }
};

// Runs a member that builds strings. Running out of memory must not carry an
// exception across the library's boundary: it reads as a failure (false, or
// an empty text).
template <class T, class Body> T Guarded(T failed, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

} // namespace

struct CMarkup::Impl {
    pugi::xml_document doc;
    pugi::xml_node parent;
    pugi::xml_node pos;
    pugi::xml_node child;

    Impl() : parent(doc) {}

    bool Parse(const std::string& text) {
        const pugi::xml_parse_status status = ParseBounded(doc, text, kParseFlags);
        parent = doc;
        pos = child = pugi::xml_node();
        return status == pugi::status_ok || status == pugi::status_no_document_element;
    }
};

CMarkup::CMarkup() : m_impl(new Impl) {}

CMarkup::CMarkup(const char* doc) : CMarkup() {
    SetDoc(doc);
}

CMarkup::~CMarkup() = default;

bool CMarkup::SetDoc(const char* doc) {
    return Guarded(false, [&]() -> bool { return m_impl->Parse(Sanitized(doc)); });
}

CString CMarkup::GetDoc() const {
    return Guarded(CString(), [&]() -> CString {
        StringWriter writer;
        m_impl->doc.save(writer, kIndent, pugi::format_indent | pugi::format_no_declaration,
                         pugi::encoding_utf8);
        return CString(writer.text);
    });
}

bool CMarkup::Load(const char* path) {
    return Guarded(false, [&]() -> bool {
        std::string bytes;
        if (!CZrFile::ReadAll(path, bytes, CZrFile::kMaxDocumentSize)) return false;
        if (static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '<')) > kMaxFileTags)
            return false;
        std::string label;
        size_t skip = 0;
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            label = "UTF-8";
            skip = 3;
        } else if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
            label = "UTF-16"; // the converter reads the mark and the byte order from it
        } else {
            label = SniffDeclaredEncoding(bytes);
        }
        std::string utf8;
        if (CZrCodePage::ToUtf8(bytes.substr(skip), label.c_str(), utf8) < 0) return false;
        return m_impl->Parse(utf8);
    });
}

bool CMarkup::Save(const char* path) const {
    return Guarded(false, [&]() -> bool {
        std::string text = CZrFile::ToCrLf(GetDoc().str());
        std::string label = DeclaredEncoding(m_impl->doc);
        std::string bytes;
        if (CZrCodePage::IsUtf8Label(label.c_str())) {
            if (!CZrCodePage::FromUtf8(text, CZrCodePage::Utf8, bytes)) return false;
        } else {
            StrictTextCheck check(label.c_str());
            m_impl->doc.traverse(check);
            if (!check.ok || !CZrCodePage::FromUtf8(text, label.c_str(), bytes, CZrCodePage::CharRef))
                return false;
        }
        return CZrFile::SaveAtomic(path, bytes) != 0;
    });
}

bool CMarkup::FindElem(const char* name) {
    pugi::xml_node found = FindAfter(m_impl->parent, m_impl->pos, name);
    if (!found) return false;
    m_impl->pos = found;
    m_impl->child = pugi::xml_node();
    return true;
}

bool CMarkup::FindChildElem(const char* name) {
    if (!m_impl->pos && !FindElem()) return false;
    pugi::xml_node found = FindAfter(m_impl->pos, m_impl->child, name);
    if (!found) return false;
    m_impl->child = found;
    return true;
}

bool CMarkup::IntoElem() {
    if (!m_impl->pos) return false;
    m_impl->parent = m_impl->pos;
    m_impl->pos = m_impl->child;
    m_impl->child = pugi::xml_node();
    return true;
}

bool CMarkup::OutOfElem() {
    if (m_impl->parent == m_impl->doc) return false;
    m_impl->child = m_impl->pos;
    m_impl->pos = m_impl->parent;
    m_impl->parent = m_impl->parent.parent();
    return true;
}

void CMarkup::ResetChildPos() {
    m_impl->child = pugi::xml_node();
}

void CMarkup::ResetMainPos() {
    m_impl->pos = m_impl->child = pugi::xml_node();
}

void CMarkup::ResetPos() {
    m_impl->parent = m_impl->doc;
    m_impl->pos = m_impl->child = pugi::xml_node();
}

CString CMarkup::GetTagName() const {
    return Guarded(CString(), [&]() -> CString { return CString(m_impl->pos.name()); });
}

CString CMarkup::GetChildTagName() const {
    return Guarded(CString(), [&]() -> CString { return CString(m_impl->child.name()); });
}

CString CMarkup::GetData() const {
    return Guarded(CString(), [&]() -> CString { return DataOf(m_impl->pos); });
}

CString CMarkup::GetChildData() const {
    return Guarded(CString(), [&]() -> CString { return DataOf(m_impl->child); });
}

CString CMarkup::GetSubDoc() const {
    return Guarded(CString(), [&]() -> CString { return Print(m_impl->pos); });
}

CString CMarkup::GetChildSubDoc() const {
    return Guarded(CString(), [&]() -> CString { return Print(m_impl->child); });
}

CString CMarkup::GetAttrib(const char* name) const {
    return Guarded(CString(), [&]() -> CString {
        return name ? CString(m_impl->pos.attribute(name).value()) : CString();
    });
}

CString CMarkup::GetChildAttrib(const char* name) const {
    return Guarded(CString(), [&]() -> CString {
        return name ? CString(m_impl->child.attribute(name).value()) : CString();
    });
}

int CMarkup::GetAttribInt(const char* name) const {
    return std::atoi(GetAttrib(name));
}

bool CMarkup::AddElem(const char* name, const char* data) {
    return Guarded(false, [&]() -> bool {
        pugi::xml_node node = AddElement(m_impl->parent, m_impl->pos, name, data);
        if (!node) return false;
        m_impl->pos = node;
        m_impl->child = pugi::xml_node();
        return true;
    });
}

bool CMarkup::AddElem(const char* name, int data) {
    return AddElem(name, IntText(data).c_str());
}

bool CMarkup::AddChildElem(const char* name, const char* data) {
    return Guarded(false, [&]() -> bool {
        pugi::xml_node node = AddElement(m_impl->pos, m_impl->child, name, data);
        if (!node) return false;
        m_impl->child = node;
        return true;
    });
}

bool CMarkup::AddChildElem(const char* name, int data) {
    return AddChildElem(name, IntText(data).c_str());
}

bool CMarkup::AddSubDoc(const char* subDoc) {
    return Guarded(false, [&]() -> bool {
        pugi::xml_node node = AddFragment(m_impl->parent, m_impl->pos, subDoc);
        if (!node) return false;
        m_impl->pos = node;
        m_impl->child = pugi::xml_node();
        return true;
    });
}

bool CMarkup::AddChildSubDoc(const char* subDoc) {
    return Guarded(false, [&]() -> bool {
        pugi::xml_node node = AddFragment(m_impl->pos, m_impl->child, subDoc);
        if (!node) return false;
        m_impl->child = node;
        return true;
    });
}

bool CMarkup::SetAttrib(const char* name, const char* value) {
    return Guarded(false, [&]() -> bool { return SetAttribute(m_impl->pos, name, value); });
}

bool CMarkup::SetAttrib(const char* name, int value) {
    return SetAttrib(name, IntText(value).c_str());
}

bool CMarkup::SetChildAttrib(const char* name, const char* value) {
    return Guarded(false, [&]() -> bool { return SetAttribute(m_impl->child, name, value); });
}

bool CMarkup::SetChildAttrib(const char* name, int value) {
    return SetChildAttrib(name, IntText(value).c_str());
}

bool CMarkup::SetData(const char* data) {
    return Guarded(false, [&]() -> bool { return SetDataOf(m_impl->pos, data); });
}

bool CMarkup::SetChildData(const char* data) {
    return Guarded(false, [&]() -> bool { return SetDataOf(m_impl->child, data); });
}
