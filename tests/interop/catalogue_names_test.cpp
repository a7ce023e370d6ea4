// Catalogue objects found by name: whatever the spelling (case, blanks,
// underscores, hyphens), a name finds the catalogue object so named, and only
// that one, when the code does not decide.
#include "interop/ZrInteropCore_p.h"
#include "interop/ZrInteropMatch_p.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// The spellings a host's text may give a catalogue name.
std::vector<std::string> Respellings(const std::string& name) {
    std::string loud, spaced, hyphened;
    for (const char c : name) {
        loud += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        spaced += c == '_' ? ' ' : c;
        hyphened += c;
        if (c == '_') hyphened += '-';
    }
    return {name, loud, spaced, hyphened};
}

// A name as the matching compares names: lower case, without blanks,
// underscores and hyphens.
std::string Key(const std::string& name) {
    std::string key;
    for (const char c : name)
        if (c != ' ' && c != '_' && c != '-')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// Whether no other name in the list is the same name.
bool Unique(const std::vector<std::string>& names, std::size_t i) {
    for (std::size_t j = 0; j < names.size(); ++j)
        if (j != i && Key(names[j]) == Key(names[i])) return false;
    return true;
}

} // namespace

// A row's description without its EPSG code and with a false easting 10 um
// off (so that only the name, not the exact definition, can find the row)
// builds back to the row under each spelling of a name no other row bears;
// its geographic half, also without codes, finds the catalogue system by its
// name, with or without the "GCS_" prefix.
TEST(CatalogueNames, EachSpellingOfAUniqueNameFindsItsObject) {
    std::vector<std::string> rowNames;
    std::vector<long> codes;
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        ZrProjectedRow row;
        if (!ZrFindProjectedRow(ZrProjectedCodeAt(i), row)) continue;
        rowNames.push_back(row.name);
        codes.push_back(row.code);
    }
    int rowsFound = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        CZrPJCoordSys cs;
        if (!Unique(rowNames, i) || !cs.Set(static_cast<tagPJCoordSysType>(codes[i])) || !cs.IsValid())
            continue;
        ZrEpsgGeographicRecord g;
        ZrEpsgProjectedRecord p;
        bool projected = false;
        if (!ZrInteropDescribe(cs, g, p, projected, nullptr) || !projected) continue;
        p.code = 0;
        bool moved = false;
        for (ZrEpsgParameter& q : p.parameters)
            if (q.code == 8806 || q.code == 8826) {
                q.value += 1e-5 * p.linearUnitToMetre;
                moved = true;
            }
        if (!moved) continue;
        for (const std::string& spelling : Respellings(p.name)) {
            p.name = spelling;
            CZrPJCoordSys back;
            ASSERT_TRUE(ZrInteropBuild(g, &p, back, nullptr)) << codes[i] << " " << spelling;
            EXPECT_EQ(back.GetType(), codes[i]) << spelling;
        }
        ++rowsFound;
    }
    EXPECT_GT(rowsFound, 500);

    std::vector<std::string> gcsNames;
    std::vector<long> gcsCodes;
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        CZrPJGeoCoordSys gcs;
        if (!gcs.Set(static_cast<tagGeoCoordSysType>(CZrPJGeoCoordSys::GetCatalogueCode(i)))) continue;
        gcsNames.push_back(gcs.GetName().str());
        gcsCodes.push_back(gcs.GetType());
    }
    int systemsFound = 0;
    for (std::size_t i = 0; i < gcsCodes.size(); ++i) {
        const std::string& name = gcsNames[i];
        if (!Unique(gcsNames, i) || name.compare(0, 4, "GCS_") != 0) continue;
        CZrPJCoordSys cs;
        CZrPJGeoCoordSys catalogue;
        catalogue.Set(static_cast<tagGeoCoordSysType>(gcsCodes[i]));
        cs.SetEarth(catalogue, 0);
        ZrEpsgGeographicRecord g;
        ZrEpsgProjectedRecord p;
        bool projected = true;
        if (!ZrInteropDescribe(cs, g, p, projected, nullptr) || projected) continue;
        g.code = g.datumCode = g.ellipsoidCode = g.primeMeridianCode = 0;
        for (const std::string& spelling : Respellings(name.substr(4))) {
            g.name = spelling;
            CZrPJGeoCoordSys found;
            ASSERT_TRUE(ZrInteropBuildGeographic(g, found, nullptr)) << spelling;
            EXPECT_EQ(found.GetType(), gcsCodes[i]) << spelling;
        }
        ++systemsFound;
    }
    EXPECT_GT(systemsFound, 100);
}
