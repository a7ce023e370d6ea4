#pragma once

#include "model/ZrPJCoordSys.h"

// The bridge to the private text-file members of the coordinate system, for
// the file functions and their tests.
struct ZrPJCoordSysFiles {
    static int Open(CZrPJCoordSys& coordSys, const CString& path) { return coordSys.Open(path); }
    static int DoOpen(CZrPJCoordSys& coordSys) { return coordSys.DoOpen(); }
    // Saving only reads the system; the members were never declared const.
    static int Save(const CZrPJCoordSys& coordSys, const CString& path) {
        return const_cast<CZrPJCoordSys&>(coordSys).Save(path);
    }
    static int DoSave(const CZrPJCoordSys& coordSys) { return const_cast<CZrPJCoordSys&>(coordSys).DoSave(); }
};
