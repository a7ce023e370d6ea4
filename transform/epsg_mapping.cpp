// Mapping of catalogue codes to EPSG codes and back through the mapping file
// beside the library, and the path of that file.
#include "platform/ZrMarkup.h"
#include "platform/ZrToolkit.h"
#include "transform/ZrPJTranslator.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

// The start-up hook (entry.cpp) writes this while the library is being
// loaded, so it must be constructed before that hook runs, whatever order the
// linker gives the other static objects.
CString CZrPJTranslator::m_strEpsgName __attribute__((init_priority(60000)));

namespace {
constexpr int kNotFound = -1000;
const char kEntry[] = "oml:CodeTransition";
const char kOrvantaCode[] = "oml:OrvantaCode";
const char kEpsgCode[] = "oml:EPSGCode";
const char kFileName[] = "CodeTransition.xml";

// Walks the entries of the mapping file in document order. In each entry the
// field keyField is compared with the decimal text of code, byte for byte (no
// trimming, so " 4214" or "04214" do not match 4214); the first entry that
// matches answers with atoi of its other field. An entry that lacks either
// field is passed over.
int Lookup(int code, bool byEpsg) {
    CString key;
    key.Format("%d", code);
    CMarkup xml;
    // A missing or unreadable file leaves the document empty: nothing is found.
    xml.Load(CZrPJTranslator::m_strEpsgName);
    if (!xml.FindChildElem(kEntry)) return kNotFound;
    do {
        xml.IntoElem();
        int result = kNotFound;
        bool found = false;
        if (xml.FindChildElem(kOrvantaCode)) {
            const CString orvanta = xml.GetChildData();
            if (byEpsg) {
                if (xml.FindChildElem(kEpsgCode) && xml.GetChildData() == key) {
                    result = std::atoi(orvanta);
                    found = true;
                }
            } else if (orvanta == key && xml.FindChildElem(kEpsgCode)) {
                result = std::atoi(xml.GetChildData());
                found = true;
            }
        }
        if (found) return result;
        xml.OutOfElem();
    } while (xml.FindChildElem(kEntry));
    return kNotFound;
}
} // namespace

int CZrPJTranslator::EPSG2Orvanta(int epsg) const {
    return Lookup(epsg, true);
}

int CZrPJTranslator::Orvanta2EPSG(int code) const {
    return Lookup(code, false);
}

void CZrPJTranslator::Init(const void* module) {
    if (module == nullptr) module = reinterpret_cast<const void*>(&InitZrPrj50DLL);
    Dl_info info;
    if (dladdr(module, &info) == 0 || info.dli_fname == nullptr) return;
    // A module loaded by a relative path reports that path; resolve it now,
    // while the current folder is still the one it was loaded from.
    CString path(info.dli_fname);
    if (char* absolute = realpath(info.dli_fname, nullptr)) {
        path = absolute;
        std::free(absolute);
    }
    CString drive, folder, title, extension;
    CZrToolkit::SplitPath(path, drive, folder, title, extension);
    m_strEpsgName = drive + folder + kFileName;
}

void InitZrPrj50DLL() {
    if (CZrPJTranslator::m_strEpsgName.IsEmpty()) CZrPJTranslator::Init(nullptr);
}
