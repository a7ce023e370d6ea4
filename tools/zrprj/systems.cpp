// How the tool names a coordinate system: catalogue codes, EPSG codes through
// the mapping file, and the three kinds of system file.
#include "tools/zrprj/zrprj_p.h"

#include "interop/ZrInterop.h"
#include "interop/ZrResolve.h"
#include "platform/ZrString.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrUserLanguage.h"
#include "transform/ZrPJTranslator.h"

int ZrCliResolveSystem(const std::string& spec, CZrPJCoordSys& cs, std::string& why, bool planarAllowed,
                       ZrCarriedShift* shift) {
    if (ZrResolveCoordSys(spec, cs, &why, planarAllowed, shift)) return 1;
    if (why.compare(0, 41, "no projected or geographic catalogue syst") == 0) why += " (see: zrprj list)";
    return 0;
}

std::string ZrCliMappingFileProblem() {
    return ZrMappingFileProblem();
}

bool ZrCliIsProjected(const CZrPJCoordSys& cs) {
    return cs.GetType() != 0 && cs.GetType() != 1 && cs.GetProjection().GetType() != -1;
}

int ZrCliEpsgOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgCodeOf(cs);
    if (code != -1000) return static_cast<int>(code);
    CZrPJTranslator translator;
    if (cs.GetType() == 1) return translator.Orvanta2EPSG(static_cast<int>(cs.GetGCS().GetType()));
    if (cs.GetType() == 0 || cs.GetType() == -1) return -1000;
    return translator.Orvanta2EPSG(static_cast<int>(cs.GetType()));
}

long ZrCliEpsgGeographicOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgGeographicCodeOf(cs);
    if (code != -1000 || cs.GetType() == 0) return code;
    CZrPJTranslator translator;
    return translator.Orvanta2EPSG(static_cast<int>(cs.GetGCS().GetType()));
}

std::string ZrCliDisplayName(const CZrPJCoordSys& cs) {
    const std::string name = cs.GetName().str();
    if (ZrPrimaryLangId(ZrGetUserDefaultLangID()) == ZR_LANG_CHINESE) return name;
    // The library names its unprojected systems with its string table's
    // Chinese title for the kind, "---" and the geographic system's name; the
    // name is part of every stored form, so it stays as it is there, and only
    // what the tool shows a user of another language drops the title (the
    // kind has a line of its own).
    if (cs.GetType() != PJ_CS_EARTH && cs.GetType() != PJ_CS_PLANAR) return name;
    const std::size_t dashes = name.find("---");
    if (dashes == std::string::npos) return name;
    for (std::size_t i = 0; i < dashes; ++i)
        if (static_cast<unsigned char>(name[i]) < 0x80) return name; // a title of the user's own
    return name.substr(dashes + 3);
}

std::string ZrCliLabel(const CZrPJCoordSys& cs) {
    const long code = cs.GetType() == 1 ? cs.GetGCS().GetType() : cs.GetType();
    if (code > 0) return ZrCliDisplayName(cs) + " (" + std::to_string(code) + ")";
    // A system built from EPSG's definition or read from an exchange form has
    // no catalogue code; its EPSG code, where it has one, names it.
    const int epsg = ZrCliEpsgOf(cs);
    return ZrCliDisplayName(cs) +
           (epsg == -1000 ? std::string(" (user-defined)") : " (EPSG:" + std::to_string(epsg) + ")");
}

std::string ZrCliUnitName(long code) {
    // Code 3048 is the international foot, as its tenths of a millimetre say;
    // the catalogue's NAD 1927 State Plane and BLM rows use it, so they lie
    // 2 ppm of the distance from the false origin away from EPSG's
    // US-survey-foot definitions of the same zones.
    if (code == 3048) return "Foot (international, 0.3048 m)";
    if (code == kZrUnitUsSurveyFoot) return "US survey foot (1200/3937 m)";
    if (code == 9144) return "Yard (international, 0.9144 m)";
    return ZrGetUnitsNameExt(code).str();
}
