#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <cstddef>
#include <memory>

// An in-memory XML document with a cursor, in the manner of the CMarkup class
// of the base library.
//
// The cursor has three parts: the parent element (at first the document
// itself), the main position (an element among the parent's children, or none)
// and the child position (a child of the main position, or none).
// - FindElem looks among the parent's children for the next element of that
//   name after the main position (from the first child when there is none);
//   FindChildElem looks among the main position's children after the child
//   position. With no name (or an empty one) any element matches. A search
//   that finds nothing returns false and leaves the cursor as it was, so an
//   element standing before one already found is not seen again until the
//   position is reset. With no main position, FindChildElem first makes the
//   parent's first element the main position (at the top, the root element).
// - IntoElem makes the main position the parent and the child position the
//   main position; OutOfElem undoes it, making the element left the child
//   position. ResetChildPos clears the child position, ResetMainPos the main
//   and child positions, ResetPos goes back to the top of the document.
// - Each add places the new element directly after the main (or child)
//   position, or last when there is none, and makes it that position, so a
//   written tree follows the order of the calls. AddChildElem needs a main
//   position. Sub-documents are parsed and inserted as elements; the first
//   element inserted becomes the position.
//
// Texts are UTF-8 and kept as written, blanks included (a text of blanks
// only survives too; blanks between elements are layout). Element names are plain names, so a prefix such as
// "oml:" is part of the name and needs no namespace declaration. GetDoc writes one element per line,
// children indented by a tab, with LF line ends; Save writes CR LF. GetSubDoc and GetChildSubDoc write the
// element without layout, so that the text handed to another reader stays proportional to the element.
//
// Load reads the encoding from the byte-order mark or the XML declaration
// (UTF-8 without either) and converts to UTF-8; bytes invalid in that encoding
// read as U+FFFD, and an encoding the host cannot convert makes Load fail with
// the document unchanged. Save writes the encoding that the document's
// declaration names (UTF-8 without one): a character the encoding cannot hold
// is written as a character reference "&#NNNN;" in text and attribute values;
// in an element or attribute name, a comment or a CDATA section, where no
// reference can stand, it makes Save fail instead. Save replaces the file
// atomically.
//
// Malformed text makes SetDoc and Load return false; the document then holds
// the elements parsed before the error, so readers still find what precedes
// it. An element nested deeper than kMaxDepth levels counts as such an error
// (AddSubDoc refuses a sub-document that holds one). DTDs are not processed
// and no external entity is ever read. Load refuses, before parsing, a file
// over CZrFile::kMaxDocumentSize bytes or with more than kMaxFileTags tags
// (counted as '<'): a parsed element takes some 70 bytes where "<a/>" takes
// 4, so the count, not the size, bounds the memory a file can take.
// No member lets an exception out:
// running out of memory makes it fail (false, or an empty text).
class ZRPRJ_API CMarkup {
public:
    CMarkup();
    explicit CMarkup(const char* doc);
    ~CMarkup();
    // A document is built and read in one place; it is neither copied nor moved.
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    // Levels of nesting a read document may have, the root element being the
    // first (the bound common XML parsers use by default).
    static constexpr unsigned kMaxDepth = 256;
    // The mapping file holds about 5 600 tags, a projection file a few hundred.
    static constexpr std::size_t kMaxFileTags = 64 * 1024;

    // The document. SetDoc accepts an empty text or one without elements
    // (such as a bare XML declaration) and returns true for it.
    bool SetDoc(const char* doc);
    CString GetDoc() const;
    bool Load(const char* path);
    bool Save(const char* path) const;

    // Navigation.
    bool FindElem(const char* name = nullptr);
    bool FindChildElem(const char* name = nullptr);
    bool IntoElem();
    bool OutOfElem();
    void ResetChildPos();
    void ResetMainPos();
    void ResetPos();

    // Reading the main or the child position; empty when there is none. The
    // data of an element is its text, or empty when it has child elements.
    CString GetTagName() const;
    CString GetChildTagName() const;
    CString GetData() const;
    CString GetChildData() const;
    CString GetSubDoc() const;
    CString GetChildSubDoc() const;
    CString GetAttrib(const char* name) const;
    CString GetChildAttrib(const char* name) const;
    // atoi of the attribute's text: 0 when it is missing or not a number.
    int GetAttribInt(const char* name) const;

    // Building. False when there is nowhere to add, the name is not a valid
    // element name or the sub-document is not well-formed; nothing changes then.
    bool AddElem(const char* name, const char* data = nullptr);
    bool AddElem(const char* name, int data);
    bool AddChildElem(const char* name, const char* data = nullptr);
    bool AddChildElem(const char* name, int data);
    bool AddSubDoc(const char* subDoc);
    bool AddChildSubDoc(const char* subDoc);
    // Sets (or adds) an attribute of the main position; AddAttrib is the same.
    bool SetAttrib(const char* name, const char* value);
    bool SetAttrib(const char* name, int value);
    bool AddAttrib(const char* name, const char* value) { return SetAttrib(name, value); }
    bool AddAttrib(const char* name, int value) { return SetAttrib(name, value); }
    bool SetChildAttrib(const char* name, const char* value);
    bool SetChildAttrib(const char* name, int value);
    // Replaces the text of the main or child position; false when it has child elements.
    bool SetData(const char* data);
    bool SetChildData(const char* data);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
