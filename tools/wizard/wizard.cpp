// zrprj-wizard: shows the coordinate-system sheet in a real window and prints
// the chosen system's text form when the user presses Finish.
//
//   zrprj-wizard [--code N | --file PATH] [--deny planar,lonlat,projected]
//
// --code starts on a catalogue system: a projected code (32650), a geographic
// code (4326, as a longitude/latitude system in metres) or 0 (planar, metres).
// --file starts on a stored system: an XML projection file (.xml), a
// key-value file (.prj) or a one-line text file (anything else).
// Exit status: 0 after Finish, 1 after Cancel, 2 for a usage error.

#include "dialog/ZrSheetCoordSysSetting.h"
#include "dialog/qt/ZrQtBackend.h"
#include "persistence/ZrPrjFiles.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zrprj-wizard [--code N | --file PATH] [--deny planar,lonlat,projected]\n");
    return 2;
}

bool StartOnCode(CZrPJCoordSys& coordSys, const char* text) {
    char* end = nullptr;
    const long code = std::strtol(text, &end, 10);
    if (!end || *end) return false;
    if (code == PJ_CS_PLANAR) return coordSys.SetPlanar(10000) != 0;
    if (coordSys.Set(static_cast<tagPJCoordSysType>(code))) return true;
    CZrPJGeoCoordSys gcs;
    if (!gcs.Set(static_cast<tagGeoCoordSysType>(code))) return false;
    return coordSys.SetEarth(gcs, 10000) != 0;
}

bool StartOnFile(CZrPJCoordSys& coordSys, const char* path) {
    const std::string name(path);
    const std::size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (ext == "XML" || ext == "PRJ") return ZrOpenProjectionFile(path, coordSys) != 0;
    return ZrOpenTextProjectionFile(path, coordSys) != 0;
}

void Deny(CZrSheetCoordSysSetting& sheet, const char* list) {
    if (std::strstr(list, "planar")) sheet.SetAllowOrdinaryPlanCoordsys(0);
    if (std::strstr(list, "lonlat")) sheet.SetAllowLongitudeLatitudeCoordsys(0);
    if (std::strstr(list, "projected")) sheet.SetAllowProjectedCoordsys(0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CZrQtBackend::Install();

    CZrSheetCoordSysSetting sheet("坐标系统设置");
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--code") == 0 && hasValue) {
            if (!StartOnCode(sheet.m_coordSys, argv[++i])) {
                std::fprintf(stderr, "zrprj-wizard: no catalogue system %s\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--file") == 0 && hasValue) {
            if (!StartOnFile(sheet.m_coordSys, argv[++i])) {
                std::fprintf(stderr, "zrprj-wizard: cannot read %s\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--deny") == 0 && hasValue) {
            Deny(sheet, argv[++i]);
        } else {
            return Usage();
        }
    }

    if (sheet.DoModal() != ID_WIZFINISH) return 1;
    std::printf("%s\n", static_cast<const char*>(sheet.m_coordSys.ToString()));
    return 0;
}
