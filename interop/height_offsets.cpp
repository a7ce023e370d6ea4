// EPSG's geographic offsets with a height offset, between a compound system
// and a geographic 3D one, listed and chosen per point as PROJ does for that
// pair: PROJ reaches them only from the compound system to the 3D one (or
// back), never between the two geographic 2D systems.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrHeightOffsets_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrProjectedOperations_p.h"
#include "transform/ZrDatumOperation.h"
#include "transform/ZrGrid.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {
bool Long(std::string_view s, long& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}
bool Double(std::string_view s, double& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}
} // namespace

bool ZrParseHeightOffset(const std::string_view* f, std::size_t count, ZrEpsgHeightOffsetRecord& r) {
    if (count != 23 || f[0] != "Y") return false;
    r.name = std::string(f[2]);
    r.verticalName = std::string(f[7]);
    r.area = std::string(f[18]);
    const bool ok = Long(f[1], r.code) && Long(f[3], r.methodCode) && Long(f[4], r.compoundCode) &&
                    Long(f[5], r.horizontalCode) && Long(f[6], r.verticalCode) && Long(f[8], r.targetCode) &&
                    Long(f[9], r.target2dCode) && Double(f[10], r.dlat) && Double(f[11], r.dlon) &&
                    Double(f[12], r.dh) && Double(f[13], r.accuracy) && Double(f[14], r.south) &&
                    Double(f[15], r.west) && Double(f[16], r.north) && Double(f[17], r.east) &&
                    Double(f[19], r.compoundSouth) && Double(f[20], r.compoundWest) &&
                    Double(f[21], r.compoundNorth) && Double(f[22], r.compoundEast);
    return ok && r.methodCode == 9618 && r.south <= r.north && r.compoundSouth <= r.compoundNorth &&
           std::fabs(r.dlat) < 1.0 && std::fabs(r.dlon) < 1.0;
}

namespace {
// The records, decoded once (a hundred lines).
const std::vector<ZrEpsgHeightOffsetRecord>& All() {
    static const std::vector<ZrEpsgHeightOffsetRecord> all = [] {
        std::vector<ZrEpsgHeightOffsetRecord> v;
        ZrEpsgHeightOffsets(v);
        return v;
    }();
    return all;
}

struct Box {
    double south, west, north, east;
};

// Areas as PROJ weighs them when it ranks operations: the longitude span
// times the difference of the sines of the bounding latitudes, proportional
// to the area on a sphere. EPSG's boxes for these operations (Japan) and the
// compound system's do not cross the antimeridian.
double PseudoArea(const Box& b) {
    constexpr double kDegree = M_PI / 180.0;
    return (b.east - b.west) * (std::sin(b.north * kDegree) - std::sin(b.south * kDegree));
}
bool Intersect(const Box& a, const Box& b, Box& out) {
    out = Box{std::max(a.south, b.south), std::max(a.west, b.west), std::min(a.north, b.north),
              std::min(a.east, b.east)};
    return out.south <= out.north && out.west <= out.east;
}

// One candidate with what PROJ ranks it by: known accuracy first, the larger
// share of the compound system's area, the better accuracy, the zero shift
// before the rest, the shorter name, then the greater name.
struct Ranked {
    ZrOperationListing listing;
    std::string forwardName; // as from the compound system: PROJ ranks both ways alike
    double area = 0;
    bool null = false;
    const ZrEpsgHeightOffsetRecord* record = nullptr; // null for PROJ's own
};
bool RankedBefore(const Ranked& a, const Ranked& b) {
    const double accA = a.listing.accuracy, accB = b.listing.accuracy;
    if ((accA >= 0) != (accB >= 0)) return accA >= 0;
    if (a.area != b.area) return a.area > b.area;
    if (accA >= 0 && accA != accB) return accA < accB;
    if (a.null != b.null) return a.null;
    if (a.forwardName.size() != b.forwardName.size()) return a.forwardName.size() < b.forwardName.size();
    return a.forwardName > b.forwardName;
}

bool GridFound(const std::string& name) {
    std::string path;
    return ZrFindGrid(name, path) != 0;
}

std::string GeographicName(long code) {
    ZrEpsgGeographicRecord g;
    return ZrEpsgFindGeographic(code, g) ? g.name : "EPSG:" + std::to_string(code);
}

// PROJ's name of the step that keeps the height as it stands.
std::string VerticalBallpark(const ZrEpsgHeightOffsetRecord& r) {
    return "Transformation from " + r.verticalName + " to " + GeographicName(r.target2dCode) +
           " (ballpark vertical transformation, without ellipsoid height to vertical height correction)";
}

// EPSG's first geoid operation from the geographic 3D system on the datum
// of geographic2d to the vertical system.
bool GeoidOperation(long vertical, long geographic2d, ZrEpsgGeoidRecord& out) {
    std::vector<ZrEpsgGeoidRecord> ops;
    ZrEpsgListGeoidOperations(vertical, ops);
    for (const ZrEpsgGeoidRecord& g : ops) {
        if (g.source2dCode != geographic2d) continue;
        out = g;
        return true;
    }
    return false;
}

// Every candidate for the pair, ranked; empty where EPSG states none.
std::vector<Ranked> Candidates(const ZrHeightOffsetPair& pair, const ZrEpsgGeoidRecord* geoid) {
    std::vector<Ranked> out;
    const ZrEpsgHeightOffsetRecord* first = nullptr;
    for (const ZrEpsgHeightOffsetRecord& r : All()) {
        if (r.horizontalCode != pair.horizontal || r.verticalCode != pair.vertical ||
            r.target2dCode != pair.geographic2d)
            continue;
        const Box interest{r.compoundSouth, r.compoundWest, r.compoundNorth, r.compoundEast};
        Box use;
        if (!first) first = &r;
        if (!Intersect(Box{r.south, r.west, r.north, r.east}, interest, use)) continue;
        Ranked k;
        k.record = &r;
        k.area = PseudoArea(use);
        k.forwardName = r.name;
        k.listing.code = r.code;
        k.listing.name = CString(((pair.compoundIsSource ? "" : "Inverse of ") + r.name).c_str());
        k.listing.methodCode = r.methodCode;
        k.listing.methodName = "geographic offsets with height";
        k.listing.accuracy = r.accuracy;
        k.listing.area = CString(r.area.c_str());
        if (geoid) {
            // PROJ's chain: no code of its own, the accuracies summed.
            k.forwardName = r.name + " + " + geoid->name;
            k.listing.code = 0;
            k.listing.name =
                CString((pair.compoundIsSource ? k.forwardName
                                               : "Inverse of " + geoid->name + " + Inverse of " + r.name)
                            .c_str());
            k.listing.methodCode = 0;
            k.listing.methodName = "concatenated";
            k.listing.accuracy =
                r.accuracy >= 0 && geoid->accuracy >= 0 ? r.accuracy + geoid->accuracy : -1.0;
        }
        out.push_back(std::move(k));
    }
    if (!first || geoid) {
        std::stable_sort(out.begin(), out.end(), RankedBefore);
        return out;
    }
    // PROJ's own: the zero shift and each horizontal operation between the
    // two geographic systems, the heights passed as they are (PROJ's
    // "ballpark vertical transformation").
    const ZrEpsgHeightOffsetRecord& r = *first;
    const Box interest{r.compoundSouth, r.compoundWest, r.compoundNorth, r.compoundEast};
    const std::string vertical = VerticalBallpark(r);
    // Each has no code of its own (projinfo's "unknown id") and no known accuracy.
    auto own = [&](const std::string& horizontal, const Box& box, bool null, const std::string& area) {
        Box use;
        if (!Intersect(box, interest, use)) return;
        Ranked k;
        k.area = PseudoArea(use);
        k.null = null;
        k.forwardName = horizontal + " + " + vertical;
        const std::string back =
            "Inverse of " + vertical + " + " +
            (horizontal.rfind("Inverse of ", 0) == 0 ? horizontal.substr(11) : "Inverse of " + horizontal);
        k.listing.name = CString((pair.compoundIsSource ? k.forwardName : back).c_str());
        k.listing.methodCode = 0;
        k.listing.methodName = "concatenated";
        k.listing.accuracy = -1.0;
        k.listing.area = CString(area.c_str());
        out.push_back(std::move(k));
    };
    own("Ballpark geographic offset from " + GeographicName(pair.horizontal) + " to " +
            GeographicName(pair.geographic2d),
        Box{-90, -180, 90, 180}, true, "World");
    std::vector<ZrEpsgCandidate> horizontal;
    ZrEpsgAreaRecord area;
    area.south = interest.south;
    area.west = interest.west;
    area.north = interest.north;
    area.east = interest.east;
    ZrEpsgListCandidates(pair.horizontal, pair.geographic2d, GridFound, horizontal, area);
    std::vector<ZrOperationListing> listed;
    ZrListOperations(pair.horizontal, pair.geographic2d, listed);
    for (const ZrEpsgCandidate& c : horizontal) {
        // The name and area as the geographic pair's own listing gives them.
        const auto same = std::find_if(listed.begin(), listed.end(), [&](const ZrOperationListing& l) {
            return l.code == c.Code() && c.Code() != 0;
        });
        if (same == listed.end() || !same->missing.IsEmpty()) continue;
        Box box{-90, -180, 90, 180};
        switch (c.kind) {
        case ZrEpsgCandidate::kHelmert:
            box = Box{c.helmert.south, c.helmert.west, c.helmert.north, c.helmert.east};
            break;
        case ZrEpsgCandidate::kGrid:
            box = Box{c.grid.south, c.grid.west, c.grid.north, c.grid.east};
            break;
        case ZrEpsgCandidate::kOther:
            box = Box{c.other.south, c.other.west, c.other.north, c.other.east};
            break;
        case ZrEpsgCandidate::kConcatenated:
            box = Box{c.concatenated.south, c.concatenated.west, c.concatenated.north, c.concatenated.east};
            break;
        }
        own(same->name.str(), box, false, same->area.str());
    }
    std::stable_sort(out.begin(), out.end(), RankedBefore);
    return out;
}
} // namespace

int ZrHeightOffsetCompound(long compoundCode, long& horizontal, long& vertical) {
    for (const ZrEpsgHeightOffsetRecord& r : All()) {
        if (r.compoundCode != compoundCode) continue;
        horizontal = r.horizontalCode;
        vertical = r.verticalCode;
        return 1;
    }
    return 0;
}

namespace {
// The candidates for a pair, the geoid operation looked up where one is
// named; none where it is named but EPSG has none on the geographic system.
std::vector<Ranked> Candidates(const ZrHeightOffsetPair& pair) {
    ZrEpsgGeoidRecord geoid;
    if (!pair.geoidVertical) return Candidates(pair, nullptr);
    if (!GeoidOperation(pair.geoidVertical, pair.geographic2d, geoid)) return {};
    return Candidates(pair, &geoid);
}
} // namespace

int ZrListHeightOffsetOperations(const ZrHeightOffsetPair& pair, std::vector<ZrOperationListing>& out) {
    out.clear();
    for (const Ranked& k : Candidates(pair))
        out.push_back(k.listing);
    return static_cast<int>(out.size());
}

int ZrSetTranslatorHeightOffsets(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                 const CZrPJCoordSys& des, const ZrHeightOffsetPair& pair,
                                 std::vector<ZrOperationSummary>* used, CString* reason) {
    std::vector<Ranked> list = Candidates(pair);
    if (pair.onlyCode) {
        list.clear();
        for (const ZrEpsgHeightOffsetRecord& r : All())
            if (r.code == pair.onlyCode && r.horizontalCode == pair.horizontal &&
                r.verticalCode == pair.vertical && r.target2dCode == pair.geographic2d) {
                Ranked k;
                k.record = &r;
                list.push_back(k);
            }
    }
    if (list.empty()) return -1;
    ZrOperationEllipsoid compound, geographic;
    ZrEpsgGeographicRecord g;
    if (ZrEpsgFindGeographic(pair.horizontal, g)) {
        compound.a = g.semiMajorAxis;
        compound.f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
        compound.pm = g.primeMeridianLongitude;
    }
    if (ZrEpsgFindGeographic(pair.geographic2d, g)) {
        geographic.a = g.semiMajorAxis;
        geographic.f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
        geographic.pm = g.primeMeridianLongitude;
    }
    auto choice = std::make_shared<CZrPJOperationChoice>();
    for (const Ranked& k : list) {
        // PROJ's own horizontal operations come after its zero shift, which
        // holds every point: no point ever reaches them.
        if (!k.record && !k.null) continue;
        ZrOperationStep step;
        step.from = compound;
        step.to = geographic;
        step.inverse = pair.compoundIsSource ? 0 : 1;
        ZrDatumOperation op;
        if (k.record) {
            step.kind = ZR_STEP_OFFSET;
            step.dlat = k.record->dlat;
            step.dlon = k.record->dlon;
            step.dh = k.record->dh;
            op.TitleFrom(*k.record, !pair.compoundIsSource);
        } else {
            step.kind = ZR_STEP_IDENTITY;
            op.name = k.listing.name.str();
        }
        op.Append(step);
        choice->Add(op);
    }
    if (used) ZrSummariseOperations(*choice, *used);
    choice->SetSides(src, des);
    CZrPJTranslator t;
    if (!t.Set(src, des) || !t.SetOperations(choice)) {
        if (reason) *reason = CString("the translator cannot convert between these two systems");
        return 0;
    }
    translator = t;
    return 1;
}
