#pragma once

// Internal: the tree of a well-known text, read by a bounded recursive-descent
// parser. Every node is a keyword with its bracketed children, a quoted
// string, a number or a bare word (an enumeration value such as NORTH).

#include "platform/ZrString.h"

#include <string>
#include <vector>

struct ZrWktNode {
    enum Kind { kKeyword, kString, kNumber, kWord };
    Kind kind = kKeyword;
    std::string text;  // keyword (upper case), string contents, number text or word
    double number = 0; // kNumber only
    std::vector<ZrWktNode> children;

    bool Is(const char* keyword) const; // a keyword node of that name (ignoring case)
    // The first child keyword node of any of the names (separated by '|'); null when none.
    const ZrWktNode* Child(const char* names) const;
    // Every child keyword node of that name.
    std::vector<const ZrWktNode*> Children(const char* name) const;
    // The i-th child as a string or number; false when it is not one.
    bool StringAt(size_t i, std::string& out) const;
    bool NumberAt(size_t i, double& out) const;
};

// Parses one text into root. Bounded: texts longer than kZrInteropMaxTextBytes,
// nesting deeper than kZrInteropMaxDepth and more than a set number of nodes
// are refused. 0 and a one-line reason (with the byte offset) on failure.
int ZrParseWkt(const CString& text, ZrWktNode& root, CString* reason);

#include "interop/ZrInterop.h"

// The dialect of a text that parses as well-known text (ZR_CRS_TEXT_UNKNOWN
// when it does not parse or its root is no coordinate system keyword).
tagZrCrsTextFormat ZrWktDialectOf(const CString& text);
