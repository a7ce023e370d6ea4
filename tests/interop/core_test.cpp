// The interop core: every catalogue row described and built back.
#include "interop/ZrInteropCore_p.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// Describing a catalogue row and building the description gives the same row
// (== compares the kind, every parameter exactly, the unit and the geographic
// system with its names); rows the core cannot describe name their reason,
// and only the kinds that have no exchange form are refused.
TEST(InteropCore, EveryCatalogueRowDescribesAndBuildsBackToItself) {
    std::map<long, int> refusedByKind;
    std::map<std::string, int> reasons;
    int built = 0, rows = 0;
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        const long code = ZrProjectedCodeAt(i);
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code)) || !cs.IsValid()) continue;
        ++rows;
        ZrEpsgGeographicRecord g;
        ZrEpsgProjectedRecord p;
        bool projected = false;
        CString reason;
        if (!ZrInteropDescribe(cs, g, p, projected, &reason)) {
            EXPECT_FALSE(reason.IsEmpty()) << code;
            ++refusedByKind[cs.GetProjection().GetType()];
            ++reasons[reason.str()];
            continue;
        }
        ASSERT_TRUE(projected) << code;
        CZrPJCoordSys back;
        ASSERT_TRUE(ZrInteropBuild(g, &p, back, &reason)) << code << ": " << reason.c_str();
        EXPECT_TRUE(back == cs) << code << " came back as " << back.GetType();
        EXPECT_EQ(back.GetType(), code);
        ++built;
    }
    for (const auto& r : reasons)
        std::printf("refused %d: %s\n", r.second, r.first.c_str());
    std::printf("%d rows, %d described and built back\n", rows, built);
}
