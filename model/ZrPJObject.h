#pragma once

#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

// A projection kind: its code and the label that names it.
class ZRPRJ_API CZrPJObject {
public:
    CZrPJObject(); // 43005 "Gauss_Kruger"
    // The kind of that code; a code that is no kind gives type -1 with an
    // empty name (unlike Set(-1), which names it "No Projection").
    explicit CZrPJObject(tagPJObjectType code);
    CZrPJObject(const CZrPJObject& other);
    virtual ~CZrPJObject();

    void operator=(const CZrPJObject& other);
    // Types equal and names equal ignoring case.
    int operator==(const CZrPJObject& other) const;

    long GetType() const { return m_type; }
    CString GetName() const { return m_name; }

    // 1 for a kind of the table (including -1, "No Projection"); 0 and
    // nothing changed for any other code.
    int Set(tagPJObjectType code);

    // Every kind, ascending by code (-1 first).
    static int GetCatalogueCount();
    static long GetCatalogueCode(int index); // -1000 outside the catalogue

    CString ToString() const;
    void FromString(const CString& text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

private:
    long m_type;
    CString m_name;
};
