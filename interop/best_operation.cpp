// The best datum operation between two systems, chosen per point as PROJ's
// proj_create_crs_to_crs chooses it, from EPSG's candidates or from the
// shifts the systems carry.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropMatch_p.h"
#include "interop/ZrProjectedOperations_p.h"
#include "transform/ZrDatumOperation.h"
#include "transform/ZrGrid.h"
#include "transform/ZrPJTranslator.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr long kNone = -1000;
constexpr long kWgs84 = 4326;

int Fail(CString* reason, const std::string& text) {
    if (reason) *reason = CString(text.c_str());
    return 0;
}

long GeographicCodeOf(const CZrPJCoordSys& cs) {
    const long code = ZrEpsgGeographicCodeOf(cs);
    if (code != kNone && code > 0) return code;
    const long type = cs.GetGCS().GetType();
    return type > 0 ? ZrMappedEpsgCode(type) : kNone;
}

// The ellipsoid a system's datum operations are computed on: EPSG's own
// where the system stands for an EPSG geographic system. Some catalogue
// ellipsoids hold a rounded flattening (Airy 1830 as 1/299.3249325 for
// EPSG's 1/299.3249646), which alone moves a Helmert's result by 2 mm.
ZrOperationEllipsoid EllipsoidOf(const CZrPJCoordSys& cs) {
    const CZrPJGeoCoordSys gcs = cs.GetGCS();
    const CZrPJSpheroid s = gcs.GetDatum().GetSpheroid();
    ZrOperationEllipsoid e;
    e.a = s.GetAxis();
    e.f = s.GetFlattening();
    e.pm = gcs.GetPrimeMeridian().GetLongitude();
    ZrEpsgGeographicRecord g;
    const long code = GeographicCodeOf(cs);
    if (code > 0 && ZrEpsgFindGeographic(code, g) && std::fabs(g.semiMajorAxis - e.a) < 1.0) {
        e.a = g.semiMajorAxis;
        e.f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
    }
    return e;
}

const ZrOperationEllipsoid kWgs84Ellipsoid{};

// Two routes to one ellipsoid and prime meridian: the catalogue keeps
// flattenings to eight or nine decimals (Bessel 1841 as 0.003342773 for
// EPSG's 1/299.1528128, which alone moves a latitude by 1.1 mm), some axes
// converted from feet to the centimetre (Clarke 1858 as 6378293.639 m for
// EPSG's 6378293.645) and prime meridians to six decimals of a degree (Ferro
// as -17.666667). Ellipsoids EPSG tells apart differ by more (Clarke 1880's
// RGS and IGN axes by 55 mm, its Arc and RGS flattenings by 1.5e-8).
constexpr double kRoundedAxisMetres = 0.01;
constexpr double kRoundedFlattening = 5e-9;
constexpr double kSameMeridianDegrees = 5e-7;

// The EPSG geographic system a side stands for; a projected system EPSG
// lists but whose geographic half carries no EPSG name gives its base.
long EpsgGeographicOf(const CZrPJCoordSys& cs, ZrEpsgGeographicRecord& g) {
    long code = GeographicCodeOf(cs);
    ZrEpsgProjectedRecord projected;
    if (code <= 0 && cs.GetType() != PJ_CS_EARTH && ZrEpsgFindProjected(ZrEpsgCodeOf(cs), projected))
        code = projected.baseGeographicCode;
    return code > 0 && ZrEpsgFindGeographic(code, g) ? code : kNone;
}

bool FiguresAgree(double a1, double f1, double pm1, double a2, double f2, double pm2) {
    return std::fabs(a1 - a2) <= kRoundedAxisMetres && std::fabs(f1 - f2) <= kRoundedFlattening &&
           std::fabs(pm1 - pm2) <= kSameMeridianDegrees;
}

// Whether a datum name is EPSG's for the datum of the geographic system
// `code`, or the one that system is built with where the catalogue holds it
// (ESRI's "D_JAPAN_2000" for JGD2000): a projected system built from EPSG's
// definition on a catalogue datum carries the catalogue's name, and its
// geographic half, taken alone, no longer says which EPSG system it is.
bool DatumNamedAs(const CString& name, long code, const ZrEpsgGeographicRecord& g) {
    if (ZrInteropSameName(name.c_str(), g.datumName.c_str())) return true;
    CZrPJCoordSys built;
    return ZrCoordSysFromEpsg(code, built, nullptr) && built.GetGCS().GetDatum().GetType() > 1 &&
           ZrInteropSameName(name.c_str(), built.GetGCS().GetDatum().GetName().c_str());
}

// Whether two geographic systems that differ as objects hold one datum
// reached by two routes: the catalogue's row and EPSG's definition of it
// (GCS_S_JTSK and S-JTSK), or two EPSG systems EPSG puts on one datum.
// EPSG's datum code decides; a side EPSG does not list counts where its
// datum bears EPSG's name for the other's. Either way the prime meridians
// and the ellipsoids must agree to the catalogue's rounding: a datum of the
// same name on another ellipsoid is another datum, and so is anything EPSG
// does not vouch for. datum receives EPSG's code and name of the datum.
bool OneDatum(const CZrPJCoordSys& src, const CZrPJCoordSys& des, std::string& datum) {
    const CZrPJGeoCoordSys gs = src.GetGCS(), gd = des.GetGCS();
    const CZrPJSpheroid ss = gs.GetDatum().GetSpheroid(), sd = gd.GetDatum().GetSpheroid();
    if (!FiguresAgree(ss.GetAxis(), ss.GetFlattening(), gs.GetPrimeMeridian().GetLongitude(), sd.GetAxis(),
                      sd.GetFlattening(), gd.GetPrimeMeridian().GetLongitude()))
        return false;
    ZrEpsgGeographicRecord a, b;
    const long codeA = EpsgGeographicOf(src, a), codeB = EpsgGeographicOf(des, b);
    const bool knownA = codeA != kNone, knownB = codeB != kNone;
    bool same = false;
    if (knownA && knownB) {
        same = a.datumCode > 0 && a.datumCode == b.datumCode;
    } else if (knownA != knownB) {
        const ZrEpsgGeographicRecord& g = knownA ? a : b;
        const CZrPJGeoCoordSys& other = knownA ? gd : gs;
        const CZrPJSpheroid& s = knownA ? sd : ss;
        same = DatumNamedAs(other.GetDatum().GetName(), knownA ? codeA : codeB, g) &&
               FiguresAgree(s.GetAxis(), s.GetFlattening(), other.GetPrimeMeridian().GetLongitude(),
                            g.semiMajorAxis, g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening,
                            g.primeMeridianLongitude);
    }
    if (same) datum = "EPSG:" + std::to_string((knownA ? a : b).datumCode) + " " + (knownA ? a : b).datumName;
    return same;
}

bool GridFound(const std::string& name) {
    std::string path;
    return ZrFindGrid(name, path) != 0;
}

// The step of an EPSG transformation between the ellipsoids it joins (from
// its source to its target as EPSG states it); false for a method no step
// computes.
bool StepOf(const ZrEpsgTransformationRecord& r, const ZrOperationEllipsoid& source,
            const ZrOperationEllipsoid& target, bool inverse, ZrOperationStep& step) {
    step = ZrOperationStep();
    step.from = source;
    step.to = target;
    step.inverse = inverse ? 1 : 0;
    step.tx = r.tx;
    step.ty = r.ty;
    step.tz = r.tz;
    step.ds = r.ds;
    // A Helmert whose values and rates are all zero between ellipsoids that
    // differ by less than GRS 80 and WGS 84 do (ETRS89 to WGS 84 (1)) leaves
    // longitude, latitude and height as they are: PROJ writes it as a no-op,
    // where the geocentric frame would move the latitude by 0.1 mm. Between
    // ellipsoids that differ more (Kertau (RSO) to Kertau 1968), PROJ goes
    // through the geocentric frame, and so does the step.
    const bool null = r.tx == 0 && r.ty == 0 && r.tz == 0 && r.rx == 0 && r.ry == 0 && r.rz == 0 &&
                      r.ds == 0 && r.rtx == 0 && r.rty == 0 && r.rtz == 0 && r.rrx == 0 && r.rry == 0 &&
                      r.rrz == 0 && r.rds == 0;
    const bool sameEllipsoid = source.a == target.a && std::fabs(source.f - target.f) <= 1e-8 * source.f;
    if (null && sameEllipsoid && r.methodCode != 9604 && r.methodCode != 9605) {
        step.kind = ZR_STEP_IDENTITY;
        return true;
    }
    switch (r.methodCode) {
    case 9603:
        step.kind = ZR_STEP_HELMERT;
        step.ds = 0.0;
        return true;
    case 1031: // geocentric translations in the geocentric domain: the same step
        step.kind = ZR_STEP_HELMERT;
        step.ds = 0.0;
        return true;
    case 9606:
    case 9607:
    // The geocentric-domain, time-dependent and time-specific forms: the
    // same Helmert in the geocentric frame. A time-specific one holds at its
    // epoch alone, so its values are the constants; a time-dependent one
    // moves its values with the coordinate epoch.
    case 1032:
    case 1033:
    case 1053:
    case 1056:
    case 1065:
    case 1066: {
        // Coordinate-frame rotations (and their rates) are the position-vector ones negated.
        const bool frame =
            r.methodCode == 9607 || r.methodCode == 1032 || r.methodCode == 1056 || r.methodCode == 1066;
        const double sign = frame ? -1.0 : 1.0;
        step.kind = ZR_STEP_HELMERT;
        step.rx = sign * r.rx;
        step.ry = sign * r.ry;
        step.rz = sign * r.rz;
        if (r.methodCode == 1053 || r.methodCode == 1056) {
            step.timeDependent = true;
            step.dtx = r.rtx;
            step.dty = r.rty;
            step.dtz = r.rtz;
            step.drx = sign * r.rrx;
            step.dry = sign * r.rry;
            step.drz = sign * r.rrz;
            step.dds = r.rds;
            step.refEpoch = r.epoch;
        }
        return true;
    }
    case 9604:
    case 9605: {
        step.kind = ZR_STEP_DATUM_SHIFT;
        ZrDatumShift& s = step.shift;
        s.method = r.methodCode;
        s.aSrc = source.a;
        s.fSrc = source.f;
        s.esSrc = (2.0 - source.f) * source.f;
        s.aDes = target.a;
        s.fDes = target.f;
        s.esDes = (2.0 - target.f) * target.f;
        s.da = target.a - source.a;
        s.df = target.f - source.f;
        s.dx = r.tx;
        s.dy = r.ty;
        s.dz = r.tz;
        s.pmSrc = source.pm;
        s.pmDes = target.pm;
        return true;
    }
    default:
        return false;
    }
}

// EPSG's transformation as one operation from the system `from` (code,
// ellipsoid) to `to`, reversed where EPSG states it the other way round.
bool OperationOf(const ZrEpsgTransformationRecord& r, long from, const ZrOperationEllipsoid& fromEllipsoid,
                 const ZrOperationEllipsoid& toEllipsoid, ZrDatumOperation& op) {
    const bool inverse = r.sourceCode != from;
    ZrOperationStep step;
    if (!StepOf(r, inverse ? toEllipsoid : fromEllipsoid, inverse ? fromEllipsoid : toEllipsoid, inverse,
                step))
        return false;
    op = ZrDatumOperation();
    op.TitleFrom(r, inverse);
    op.Append(step);
    return true;
}

// One side's way to WGS 84 (toward nonzero) or from it: the shift it
// carries, else nothing on WGS 84 itself, else EPSG's best transformation
// between its geographic system and WGS 84, else the zero shift. name
// receives what was used.
void HubSteps(const CZrPJCoordSys& cs, const ZrCarriedShift* carried, bool toward, ZrDatumOperation& op,
              std::string& name, double& accuracy) {
    const ZrOperationEllipsoid e = EllipsoidOf(cs);
    ZrOperationStep step;
    step.from = e;
    step.to = kWgs84Ellipsoid;
    step.inverse = toward ? 0 : 1;
    if (carried && carried->kind == ZR_CARRIED_HELMERT) {
        const double* v = carried->values;
        step.kind = ZR_STEP_HELMERT;
        step.tx = v[0];
        step.ty = v[1];
        step.tz = v[2];
        if (carried->count == 7) {
            step.rx = v[3];
            step.ry = v[4];
            step.rz = v[5];
            step.ds = v[6];
        }
        op.Append(step);
        name = "its own shift to WGS 84";
        return;
    }
    if (carried && carried->kind == ZR_CARRIED_NULL_GRID) {
        op.Append(step); // identity: longitude and latitude are WGS 84's
        name = "WGS 84 as it stands (null grid)";
        return;
    }
    const long code = GeographicCodeOf(cs);
    if (code == kWgs84) return;
    std::vector<ZrEpsgTransformationRecord> list;
    if (code > 0) ZrEpsgListTransformations(code, kWgs84, list);
    for (const ZrEpsgTransformationRecord& r : list) {
        ZrDatumOperation one;
        if (!OperationOf(r, code, e, kWgs84Ellipsoid, one)) continue;
        ZrOperationStep s = one.steps[0];
        if (!toward) s.inverse = !s.inverse;
        op.Append(s);
        name = one.name;
        if (!toward) name = r.sourceCode == code ? "Inverse of " + r.name : r.name;
        accuracy = r.accuracy;
        return;
    }
    op.Append(step); // the zero shift: PROJ's ballpark
    name = "ballpark";
}

// The grid of an EPSG grid transformation, by PROJ-data's name or the one it
// had before; null when neither is found or readable.
std::shared_ptr<const CZrHorizontalShiftGrid> OpenGrid(const ZrEpsgGridTransformationRecord& g) {
    std::string path;
    if (ZrFindGrid(g.grid, path)) return CZrHorizontalShiftGrid::Open(g.grid);
    if (ZrFindGrid(g.oldGrid, path)) return CZrHorizontalShiftGrid::Open(g.oldGrid);
    return nullptr;
}

// Molodensky-Badekas or an offset, from the system `a` to `b`.
bool OtherOperationOf(const ZrEpsgCandidate& c, const ZrOperationEllipsoid& a, const ZrOperationEllipsoid& b,
                      ZrDatumOperation& op) {
    const ZrEpsgOtherTransformationRecord& o = c.other;
    const double* v = o.values;
    ZrOperationStep step;
    step.from = c.inverse ? b : a;
    step.to = c.inverse ? a : b;
    step.inverse = c.inverse ? 1 : 0;
    if (o.methodCode == 9601 || o.methodCode == 9619) {
        step.kind = ZR_STEP_OFFSET;
        step.dlat = v[0];
        step.dlon = v[1];
    } else {
        // 9636 states its rotations in the coordinate-frame convention.
        const double sign = o.methodCode == 9636 ? -1.0 : 1.0;
        step.kind = ZR_STEP_HELMERT;
        step.tx = v[0], step.ty = v[1], step.tz = v[2];
        step.rx = sign * v[3], step.ry = sign * v[4], step.rz = sign * v[5];
        step.ds = v[6];
        step.px = v[7], step.py = v[8], step.pz = v[9];
    }
    op = ZrDatumOperation();
    op.TitleFrom(o, c.inverse);
    op.Append(step);
    return true;
}

bool OperationOf(const ZrEpsgCandidate& c, long from, const ZrOperationEllipsoid& a,
                 const ZrOperationEllipsoid& b, ZrDatumOperation& op);

// The ellipsoid of an EPSG geographic system, as the data file gives it.
bool EllipsoidOfCode(long code, ZrOperationEllipsoid& e) {
    ZrEpsgGeographicRecord g;
    if (!ZrEpsgFindGeographic(code, g)) return false;
    e.a = g.semiMajorAxis;
    e.f = g.inverseFlattening == 0.0 ? 0.0 : 1.0 / g.inverseFlattening;
    e.pm = g.primeMeridianLongitude;
    return true;
}

// One step of a concatenation as a candidate, from the system `from`.
bool StepCandidate(long code, long from, ZrEpsgCandidate& c, long& to) {
    c = ZrEpsgCandidate();
    long source = 0, target = 0;
    if (ZrEpsgFindTransformation(code, c.helmert)) {
        c.kind = ZrEpsgCandidate::kHelmert;
        source = c.helmert.sourceCode, target = c.helmert.targetCode;
    } else if (ZrEpsgFindGridTransformation(code, c.grid)) {
        c.kind = ZrEpsgCandidate::kGrid;
        c.isGrid = true;
        source = c.grid.sourceCode, target = c.grid.targetCode;
    } else if (ZrEpsgFindOtherTransformation(code, c.other)) {
        c.kind = ZrEpsgCandidate::kOther;
        source = c.other.sourceCode, target = c.other.targetCode;
    } else {
        return false;
    }
    if (source != from && target != from) return false;
    c.inverse = source != from;
    to = c.inverse ? source : target;
    return true;
}

// EPSG's concatenation as one chain from `from`: its steps in order (in
// reverse order, each reversed, where the chain runs the other way), each
// between the ellipsoids of the systems it joins.
bool ConcatenatedOf(const ZrEpsgCandidate& c, long from, const ZrOperationEllipsoid& a,
                    const ZrOperationEllipsoid& b, ZrDatumOperation& op) {
    const ZrEpsgConcatenatedRecord& r = c.concatenated;
    std::vector<long> steps = r.steps;
    if (c.inverse) std::reverse(steps.begin(), steps.end());
    op = ZrDatumOperation();
    long at = from;
    ZrOperationEllipsoid here = a;
    for (size_t i = 0; i < steps.size(); ++i) {
        ZrEpsgCandidate step;
        long next = 0;
        if (!StepCandidate(steps[i], at, step, next)) return false;
        ZrOperationEllipsoid there;
        if (i + 1 == steps.size())
            there = b;
        else if (!EllipsoidOfCode(next, there))
            return false;
        ZrDatumOperation one;
        if (!OperationOf(step, at, here, there, one) || one.stepCount != 1 || !op.Append(one.steps[0]))
            return false;
        at = next;
        here = there;
    }
    op.TitleFrom(r, c.inverse);
    return true;
}

bool OperationOf(const ZrEpsgCandidate& c, long from, const ZrOperationEllipsoid& a,
                 const ZrOperationEllipsoid& b, ZrDatumOperation& op) {
    if (c.kind == ZrEpsgCandidate::kConcatenated) return ConcatenatedOf(c, from, a, b, op);
    if (c.kind == ZrEpsgCandidate::kOther) return OtherOperationOf(c, a, b, op);
    if (!c.isGrid) return OperationOf(c.helmert, from, a, b, op);
    const ZrEpsgGridTransformationRecord& g = c.grid;
    ZrOperationStep step;
    step.kind = ZR_STEP_GRID;
    step.grid = OpenGrid(g);
    if (!step.grid) return false;
    step.from = a;
    step.to = b;
    // The chain runs a to b. The grid runs that way unless exactly one of
    // two things turns it: the operation taken reversed, or a grid file that
    // runs from EPSG's target to its source.
    step.inverse = c.inverse != g.gridInverse ? 1 : 0;
    op = ZrDatumOperation();
    op.TitleFrom(g, c.inverse);
    op.Append(step);
    return true;
}

// Where a candidate's grid (a chain's: the first of its steps') is missing:
// "grid missing: NAME (looked in ...)", or empty where it can run.
std::string MissingGridOf(const ZrEpsgCandidate& c) {
    std::vector<long> gridSteps;
    if (c.kind == ZrEpsgCandidate::kConcatenated) gridSteps = c.concatenated.steps;
    if (c.isGrid) gridSteps.push_back(c.grid.code);
    for (long step : gridSteps) {
        ZrEpsgGridTransformationRecord g;
        if (!ZrEpsgFindGridTransformation(step, g) || GridFound(g.grid) || GridFound(g.oldGrid)) continue;
        std::string path, why;
        ZrFindGrid(g.grid, path, &why);
        const std::string notFound = "grid not found";
        if (why.compare(0, notFound.size(), notFound) == 0) why = "grid missing" + why.substr(notFound.size());
        return why;
    }
    return std::string();
}

// The name of a candidate's area of use, as EPSG gives it.
const std::string& AreaNameOf(const ZrEpsgCandidate& c) {
    switch (c.kind) {
    case ZrEpsgCandidate::kConcatenated:
        return c.concatenated.area;
    case ZrEpsgCandidate::kOther:
        return c.other.area;
    case ZrEpsgCandidate::kGrid:
        return c.grid.area;
    default:
        return c.helmert.area;
    }
}

// Where either system is an EPSG projected one, PROJ weighs the candidates
// by the area the two systems share, each projected one by its own area
// (smaller than its geographic system's): false where neither is.
bool ProjectedInterest(const CZrPJCoordSys& src, const CZrPJCoordSys& des, ZrEpsgAreaRecord& interest) {
    auto projected = [](const CZrPJCoordSys& cs) {
        return cs.GetType() != PJ_CS_EARTH && cs.GetProjection().GetType() != -1;
    };
    if (!projected(src) && !projected(des)) return false;
    ZrEpsgAreaRecord a, b;
    if (!ZrEpsgFindArea(ZrEpsgCodeOf(src), a) || !ZrEpsgFindArea(ZrEpsgCodeOf(des), b)) return false;
    if (a.west > a.east || b.west > b.east) return false; // across the antimeridian: as geographic
    interest = a;
    interest.west = std::max(a.west, b.west);
    interest.east = std::min(a.east, b.east);
    interest.south = std::max(a.south, b.south);
    interest.north = std::min(a.north, b.north);
    return interest.west <= interest.east && interest.south <= interest.north;
}

// Whether one operation needing no grid has an area of use holding the whole
// box the two systems' areas share (boxes across the antimeridian are taken
// as reaching to it on both sides).
bool CoversSharedArea(const CZrPJOperationChoice& choice, long from, long to, const ZrEpsgAreaRecord* given) {
    ZrEpsgAreaRecord x, y;
    if (given) {
        x = y = *given;
    } else if (!ZrEpsgFindArea(from, x) || !ZrEpsgFindArea(to, y)) {
        return false;
    }
    auto unwrap = [](double west, double east) { return west > east ? std::make_pair(-180.0, 180.0)
                                                                     : std::make_pair(west, east); };
    const auto [xw, xe] = unwrap(x.west, x.east);
    const auto [yw, ye] = unwrap(y.west, y.east);
    const double west = std::max(xw, yw), east = std::min(xe, ye);
    const double south = std::max(x.south, y.south), north = std::min(x.north, y.north);
    for (int i = 0; i < choice.Count(); ++i) {
        const ZrDatumOperation& op = choice.At(i);
        bool grid = false;
        for (int k = 0; k < op.stepCount; ++k)
            grid = grid || op.steps[k].kind == ZR_STEP_GRID;
        if (grid) continue;
        if (!op.hasArea) return true;
        const auto [ow, oe] = unwrap(op.west, op.east);
        if (ow <= west && oe >= east && op.south <= south && op.north >= north) return true;
    }
    return false;
}

// EPSG lists some geographic systems twice, latitude first and longitude
// first (RGF93 v1 and RGF93 v1 (lon-lat)), and states operations for the
// first alone. Where the other has none of its own, PROJ reaches it through
// an axis order change, which moves no point (the library holds longitude
// and latitude one way): the twin on the same datum, ellipsoid and prime
// meridian with the other axis order; 0 where there is none.
long AxisOrderTwin(long code) {
    ZrEpsgGeographicRecord g, t;
    if (!ZrEpsgFindGeographic(code, g) || g.datumCode <= 0) return 0;
    std::vector<long> codes;
    ZrEpsgGeographicCodes(codes);
    for (long c : codes)
        if (c != code && ZrEpsgFindGeographic(c, t) && t.datumCode == g.datumCode &&
            t.latitudeFirst != g.latitudeFirst && t.ellipsoidCode == g.ellipsoidCode &&
            t.primeMeridianCode == g.primeMeridianCode)
            return c;
    return 0;
}

// PROJ's own operations between the members of a datum ensemble and the
// ensemble, which EPSG leaves out: each moves no point, and is as good as
// the ensemble's accuracy. Through ETRS89 PROJ also chains them to ETRS89's
// own operations (ETRF91 to WGS 84); WGS 84's realizations it reaches
// elsewhere through the geocentric systems, so these join WGS 84 alone.
struct EnsembleMember {
    long member, ensemble;
    const char* name; // PROJ's, from the ensemble to the member
    double accuracy;  // metres
    bool chains;      // PROJ joins it to the ensemble's own operations
};
constexpr EnsembleMember kEnsembleMembers[] = {
    {8888, 4326, "WGS 84 to WGS 84 (Transit)", 2.0, false},
    {9053, 4326, "WGS 84 to WGS 84 (G730)", 2.0, false},
    {9054, 4326, "WGS 84 to WGS 84 (G873)", 2.0, false},
    {9055, 4326, "WGS 84 to WGS 84 (G1150)", 2.0, false},
    {9056, 4326, "WGS 84 to WGS 84 (G1674)", 2.0, false},
    {9057, 4326, "WGS 84 to WGS 84 (G1762)", 2.0, false},
    {9755, 4326, "WGS 84 to WGS 84 (G2139)", 2.0, false},
    {9059, 4258, "ETRS89 to ETRF89", 0.1, true},
    {9060, 4258, "ETRS89 to ETRF90", 0.1, true},
    {9061, 4258, "ETRS89 to ETRF91", 0.1, true},
    // ETRF92: PROJ goes through Denmark's own epoch shift and the
    // geocentric systems instead (not built here).
    {9062, 4258, "ETRS89 to ETRF92", 0.1, false},
    {9063, 4258, "ETRS89 to ETRF93", 0.1, true},
    {9064, 4258, "ETRS89 to ETRF94", 0.1, true},
    {9065, 4258, "ETRS89 to ETRF96", 0.1, true},
    {9066, 4258, "ETRS89 to ETRF97", 0.1, true},
    {9067, 4258, "ETRS89 to ETRF2000", 0.1, true},
    {9068, 4258, "ETRS89 to ETRF2005", 0.1, true},
    {9069, 4258, "ETRS89 to ETRF2014", 0.1, true},
};

const EnsembleMember* MemberOf(long code) {
    for (const EnsembleMember& m : kEnsembleMembers)
        if (m.member == code) return &m;
    return nullptr;
}

// The candidates between two geographic systems as PROJ lists them, and how
// they were reached: between the two systems themselves, or with one side
// taken through its axis order twin (see AxisOrderTwin) or through the
// ensemble it is a member of, whose step PROJ names before or after them.
// interest: the caller's area, or null for the systems' own.
struct ReachedListing {
    std::vector<ZrEpsgCandidate> list;
    long from = 0, to = 0;     // the systems the candidates join
    bool reached = false;      // through a step of PROJ's own: no EPSG code
    std::string before, after; // that step's name, on the side it runs
    double accuracy = 0.0;     // and its accuracy, added to each candidate's
    // The two are an ensemble and one of its members: PROJ's own step alone.
    const EnsembleMember* member = nullptr;
    bool memberFirst = false;
};

// Whether a chain PROJ builds through an intermediate system undoes itself:
// a Helmert run one way, then the same values run the other (PSAD56 to
// SIRGAS-Chile 2002 (3) reversed, then PSAD56 to WGS 84 (17), which EPSG
// gives the same translations). PROJ's pipeline drops such a pair, and of
// chains left with the same pipeline over the same area keeps the first
// (the better accuracy: SAD69's pair at 12 m before PSAD56's at 22 m).
bool UndoesItself(const ZrEpsgCandidate& c, long from) {
    if (c.kind != ZrEpsgCandidate::kConcatenated || c.Code() != 0 || c.concatenated.steps.size() != 2)
        return false;
    ZrEpsgCandidate first, second;
    long via = 0, end = 0;
    if (!StepCandidate(c.concatenated.steps[0], from, first, via) ||
        !StepCandidate(c.concatenated.steps[1], via, second, end))
        return false;
    if (first.kind != ZrEpsgCandidate::kHelmert || second.kind != ZrEpsgCandidate::kHelmert ||
        first.inverse == second.inverse)
        return false;
    const ZrEpsgTransformationRecord &x = first.helmert, &y = second.helmert;
    return x.methodCode == y.methodCode && x.methodCode >= 9000 && x.tx == y.tx && x.ty == y.ty &&
           x.tz == y.tz && x.rx == y.rx && x.ry == y.ry && x.rz == y.rz && x.ds == y.ds;
}

void DropRepeatedPipelines(std::vector<ZrEpsgCandidate>& list, long from) {
    std::vector<ZrEpsgCandidate> kept;
    for (const ZrEpsgCandidate& c : list) {
        const ZrEpsgConcatenatedRecord& k = c.concatenated;
        const bool repeated =
            UndoesItself(c, from) && std::any_of(kept.begin(), kept.end(), [&](const ZrEpsgCandidate& e) {
                const ZrEpsgConcatenatedRecord& o = e.concatenated;
                return UndoesItself(e, from) && o.south == k.south && o.west == k.west &&
                       o.north == k.north && o.east == k.east;
            });
        if (!repeated) kept.push_back(c);
    }
    list = std::move(kept);
}

ReachedListing ListReached(long from, long to, const ZrEpsgAreaRecord* interest) {
    ReachedListing out;
    out.from = from, out.to = to;
    auto list = [&](long a, long b, std::vector<ZrEpsgCandidate>& found) {
        const int n = interest ? ZrEpsgListCandidates(a, b, GridFound, found, *interest)
                               : ZrEpsgListCandidates(a, b, GridFound, found);
        if (n > 1) DropRepeatedPipelines(found, a);
        return static_cast<int>(found.size());
    };
    if (list(from, to, out.list) > 0) return out;
    for (const bool sourceSide : {true, false}) {
        const long twin = AxisOrderTwin(sourceSide ? from : to);
        if (twin == 0 || twin == (sourceSide ? to : from)) continue;
        const long a = sourceSide ? twin : from, b = sourceSide ? to : twin;
        if (list(a, b, out.list) == 0) continue;
        out.from = a, out.to = b;
        out.reached = true;
        (sourceSide ? out.before : out.after) = "axis order change (2D)";
        return out;
    }
    for (const bool sourceSide : {true, false}) {
        const EnsembleMember* m = MemberOf(sourceSide ? from : to);
        if (!m) continue;
        const long other = sourceSide ? to : from;
        if (other == m->ensemble) {
            out.member = m;
            out.memberFirst = sourceSide;
            return out;
        }
        const long a = sourceSide ? m->ensemble : from, b = sourceSide ? to : m->ensemble;
        if (!m->chains || list(a, b, out.list) == 0) continue;
        out.from = a, out.to = b;
        out.reached = true;
        (sourceSide ? out.before : out.after) = sourceSide ? "Inverse of " + std::string(m->name) : m->name;
        out.accuracy = m->accuracy;
        return out;
    }
    return out;
}

// A candidate's name with the steps of PROJ's own it was reached through.
std::string ReachedName(const ReachedListing& r, const std::string& name) {
    return (r.before.empty() ? "" : r.before + " + ") + name + (r.after.empty() ? "" : " + " + r.after);
}

// PROJ's step between an ensemble and its member, as one operation that
// moves no point (from the system `from`).
ZrDatumOperation MemberOperation(const ReachedListing& r, const ZrOperationEllipsoid& a,
                                 const ZrOperationEllipsoid& b) {
    ZrDatumOperation op;
    ZrOperationStep step;
    step.from = a;
    step.to = b;
    op.Append(step);
    op.name = r.memberFirst ? "Inverse of " + std::string(r.member->name) : r.member->name;
    op.accuracy = r.member->accuracy;
    return op;
}

// PROJ reaches a geographic system that EPSG joins to nothing on the other
// side through the geocentric system on its datum: one of EPSG's Helmerts
// between that geocentric system and another datum's (PZ-90.11 to PZ-90,
// ITRF96 to GDA94, the ITRFs to WGS 84's realizations), then the other
// datum's own operations to the other side, or the other way round. It
// builds these only where both datums have a geocentric system, which is
// where EPSG states such Helmerts. Each chain holds over the area its two
// parts share; its accuracy is theirs added.
struct GeocentricChain {
    ZrDatumOperation op;
    double area = 0.0;
};

std::string GeocentricNameOf(long base) {
    ZrEpsgGeocentricRecord g;
    const long code = ZrEpsgGeocentricOf(base, "");
    return code != 0 && ZrEpsgFindGeocentric(code, g) ? g.name : std::string();
}

// The operations of a reached listing between its two systems, each from
// the ellipsoid a to b (grids that are missing left out).
std::vector<ZrDatumOperation> OperationsOf(const ReachedListing& r, const ZrOperationEllipsoid& a,
                                           const ZrOperationEllipsoid& b) {
    std::vector<ZrDatumOperation> out;
    if (r.member) out.push_back(MemberOperation(r, a, b));
    // Past the geocentric step PROJ takes the other datum's own operations
    // alone: none reached through a twin or an ensemble's (ITRF90 goes to
    // WGS 84 through WGS 84 (Transit), not on through ETRF90 and ETRS89),
    // nor chains of its own through a further system (ITRF90 to ITRF2008,
    // then on through IG05/12): EPSG's own operations alone.
    if (r.reached) return out;
    for (const ZrEpsgCandidate& c : r.list) {
        ZrDatumOperation op;
        if (c.Code() != 0 && OperationOf(c, r.from, a, b, op)) out.push_back(op);
    }
    return out;
}

// first then second as one chain over the area both hold; false where the
// areas do not meet or the chain would be too long.
bool Joined(const ZrDatumOperation& first, const ZrDatumOperation& second, const std::string& name,
            GeocentricChain& chain) {
    ZrDatumOperation op;
    for (const ZrDatumOperation* part : {&first, &second})
        for (int k = 0; k < part->stepCount; ++k)
            if (!op.Append(part->steps[k])) return false;
    op.code = 0;
    op.name = name;
    op.accuracy = first.accuracy >= 0 && second.accuracy >= 0 ? first.accuracy + second.accuracy : -1.0;
    const ZrDatumOperation* areas[] = {&first, &second};
    op.hasArea = false;
    for (const ZrDatumOperation* part : areas) {
        if (!part->hasArea) continue;
        if (!op.hasArea) {
            op.hasArea = true;
            op.south = part->south, op.west = part->west, op.north = part->north, op.east = part->east;
            continue;
        }
        // An area across the antimeridian (Russia's) met with the world is
        // itself, whichever comes first; met with another across it, the
        // narrower span; met with one that does not cross and is not the
        // world, that one (the chains built here meet no other).
        const bool opCrosses = op.west > op.east, partCrosses = part->west > part->east;
        const bool crosses = opCrosses || partCrosses;
        op.south = std::max(op.south, part->south);
        op.north = std::min(op.north, part->north);
        if (!crosses || (opCrosses && partCrosses)) {
            op.west = std::max(op.west, part->west);
            op.east = std::min(op.east, part->east);
        } else {
            const double& w = opCrosses ? part->west : op.west;
            const double& e = opCrosses ? part->east : op.east;
            if (w > -180.0 || e < 180.0) { // the one that does not cross is not the world
                if (opCrosses) op.west = part->west, op.east = part->east;
            } else if (partCrosses) {
                op.west = part->west, op.east = part->east;
            }
        }
        if (op.south > op.north || (!crosses && op.west > op.east)) return false;
    }
    chain.op = op;
    double east = op.east;
    if (op.west > east) east += 360.0;
    constexpr double kDegree = 0.017453292519943295;
    chain.area = op.hasArea ? (east - op.west) * (std::sin(op.north * kDegree) - std::sin(op.south * kDegree))
                            : 4.0 * 180.0;
    return true;
}

std::vector<GeocentricChain> GeocentricChainsOf(long from, long to, const ZrOperationEllipsoid& a,
                                                const ZrOperationEllipsoid& b) {
    std::vector<GeocentricChain> chains;
    for (const bool sourceSide : {true, false}) {
        const long side = sourceSide ? from : to, other = sourceSide ? to : from;
        const std::string sideName = GeocentricNameOf(side);
        if (sideName.empty()) continue;
        std::vector<ZrEpsgTransformationRecord> helmerts;
        ZrEpsgListGeocentricHelmertsOf(side, helmerts);
        for (const ZrEpsgTransformationRecord& h : helmerts) {
            const long via = h.sourceCode == side ? h.targetCode : h.sourceCode;
            const std::string viaName = GeocentricNameOf(via);
            ZrOperationEllipsoid viaEllipsoid;
            if (via == other || viaName.empty() || !EllipsoidOfCode(via, viaEllipsoid)) continue;
            ZrDatumOperation helmert;
            const ReachedListing rest =
                sourceSide ? ListReached(via, to, nullptr) : ListReached(from, via, nullptr);
            // A member's step to its ensemble, then on through the ensemble's
            // own Helmert, only where PROJ chains that member (ETRF92 to
            // ETRS89, then ETRS89 to WGS 84 (2), it does not).
            if (rest.member && rest.member->ensemble == via && !rest.member->chains) continue;
            if (sourceSide ? !OperationOf(h, from, a, viaEllipsoid, helmert)
                           : !OperationOf(h, via, viaEllipsoid, b, helmert))
                continue;
            const std::vector<ZrDatumOperation> ops =
                sourceSide ? OperationsOf(rest, viaEllipsoid, b) : OperationsOf(rest, a, viaEllipsoid);
            for (const ZrDatumOperation& o : ops) {
                GeocentricChain chain;
                const std::string name =
                    sourceSide ? "Conversion from " + sideName + " (geog2D) to " + sideName +
                                     " (geocentric) + " + helmert.name + " + Conversion from " + viaName +
                                     " (geocentric) to " + viaName + " (geog2D) + " + o.name
                               : o.name + " + Conversion from " + viaName + " (geog2D) to " + viaName +
                                     " (geocentric) + " + helmert.name + " + Conversion from " + sideName +
                                     " (geocentric) to " + sideName + " (geog2D)";
                if (sourceSide ? Joined(helmert, o, name, chain) : Joined(o, helmert, name, chain))
                    chains.push_back(chain);
            }
        }
    }
    // The wider area first, then the better accuracy, as PROJ ranks them.
    std::stable_sort(chains.begin(), chains.end(), [](const GeocentricChain& x, const GeocentricChain& y) {
        if (x.area != y.area) return x.area > y.area;
        const double ax = x.op.accuracy < 0 ? 1e30 : x.op.accuracy,
                     ay = y.op.accuracy < 0 ? 1e30 : y.op.accuracy;
        return ax < ay;
    });
    return chains;
}

// A geographic system by its EPSG code, or in words where EPSG lists none.
std::string Named(long code) {
    return code > 0 ? "EPSG:" + std::to_string(code) : std::string("a geographic system EPSG does not list");
}

std::string Known(long from, long to) {
    std::string s = "EPSG lists no transformation it can apply between " + Named(from) + " and " + Named(to);
    for (long code : {from, to}) {
        if (code <= 0) continue;
        std::vector<ZrEpsgTransformationRecord> list;
        if (code != kWgs84) ZrEpsgListTransformations(code, kWgs84, list);
        s += "; " + Named(code) + " to WGS 84: " +
             (list.empty() ? std::string("none")
                           : "EPSG:" + std::to_string(list[0].code) + " " + list[0].name);
    }
    return s + " (--ballpark applies no shift)";
}
} // namespace

int ZrSetTranslatorBestOperation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                 const ZrCarriedShift* srcShift, const CZrPJCoordSys& des,
                                 const ZrCarriedShift* desShift, bool ballpark,
                                 std::vector<ZrOperationSummary>* used, CString* reason) {
    if (!src.IsValid() || !des.IsValid() || src.GetType() == 0 || des.GetType() == 0)
        return Fail(reason, "both systems must be valid geographic or projected systems");
    if (used) used->clear();
    CZrPJTranslator t;
    const bool carries =
        (srcShift && srcShift->kind != ZR_CARRIED_NONE) || (desShift && desShift->kind != ZR_CARRIED_NONE);
    if (src.GetGCS() == des.GetGCS()) {
        // One geographic system: nothing to shift, whatever either carries.
        if (!t.Set(src, des) && !(src == des)) return Fail(reason, "the translator refuses these systems");
        translator = t;
        return 1;
    }
    auto choice = std::make_shared<CZrPJOperationChoice>();
    const long from = GeographicCodeOf(src), to = GeographicCodeOf(des);
    std::string datum;
    if (carries) {
        // As PROJ's BoundCRS: through WGS 84, each side by its own shift.
        ZrDatumOperation op;
        std::string there, back;
        double accuracy = -1.0, unused = -1.0;
        HubSteps(src, srcShift, true, op, there, accuracy);
        HubSteps(des, desShift, false, op, back, unused);
        op.name = "Transformation through WGS 84: " + (there.empty() ? "WGS 84" : there) + ", then " +
                  (back.empty() ? "WGS 84" : back);
        op.accuracy = -1.0;
        choice->Add(op);
    } else if (ZrAddProjectedPairOperations(src, des, *choice) > 0) {
        // EPSG joins these two projected systems directly: PROJ offers that alone.
    } else if (OneDatum(src, des, datum)) {
        // One datum reached by two routes: longitude and latitude stay as
        // they are, as PROJ leaves them, whichever ellipsoid each side holds
        // (a zero Helmert between a rounded and an exact one would move them).
        ZrDatumOperation op;
        ZrOperationStep step;
        step.from = EllipsoidOf(src);
        step.to = EllipsoidOf(des);
        // Longitudes from one prime meridian stay as they are: the
        // catalogue's rounded meridian (Ferro to six decimals, 3.7 cm) must
        // not move them on the way through Greenwich.
        step.to.pm = step.from.pm;
        op.Append(step);
        op.name = "none: both systems lie on one datum (" + datum + ")";
        op.accuracy = 0.0;
        choice->Add(op);
    } else {
        ZrEpsgAreaRecord interest;
        const bool projectedInterest = ProjectedInterest(src, des, interest);
        ReachedListing found;
        if (from != kNone && to != kNone)
            found = ListReached(from, to, projectedInterest ? &interest : nullptr);
        const std::vector<ZrEpsgCandidate>& list = found.list;
        const ZrOperationEllipsoid a = EllipsoidOf(src), b = EllipsoidOf(des);
        if (found.member) choice->Add(MemberOperation(found, a, b));
        // A candidate whose grid is missing is skipped, as PROJ skips it.
        for (const ZrEpsgCandidate& c : list) {
            ZrDatumOperation op;
            if (!OperationOf(c, found.from, a, b, op)) continue;
            if (found.reached) {
                op.code = 0; // PROJ's own chain: no EPSG code
                op.name = ReachedName(found, op.name);
                if (op.accuracy >= 0) op.accuracy += found.accuracy;
            }
            // PROJ reads "- offshore" in EPSG's description of the area, which
            // the short area names held rarely repeat ("USA - GoM - 95°W to
            // 87.25°W" describes offshore Gulf of Mexico).
            op.offshore = ZrEpsgOperationOffshore(c.Code()) != 0;
            choice->Add(op);
        }
        if (choice->Count() == 0 && list.empty() && !found.member && from != kNone && to != kNone)
            for (const GeocentricChain& c : GeocentricChainsOf(from, to, a, b))
                choice->Add(c.op);
        // EPSG's operations for the two datums all lying outside a projected
        // system's area leave PROJ's zero shift alone; none at all is refused.
        bool knownElsewhere = false;
        if (choice->Count() == 0 && projectedInterest && from != kNone && to != kNone) {
            std::vector<ZrEpsgCandidate> anywhere;
            knownElsewhere = ZrEpsgListCandidates(from, to, GridFound, anywhere) > 0;
        }
        if (choice->Count() == 0 && !ballpark && !knownElsewhere) {
            // Operations there are, but each needs a grid that is missing:
            // say which, rather than that none is known.
            for (const ZrEpsgCandidate& c : list) {
                const std::string missing = MissingGridOf(c);
                if (!missing.empty())
                    return Fail(reason, "every operation between " + Named(from) + " and " + Named(to) +
                                            " needs a grid that is missing; the first: " + missing +
                                            " (--ballpark applies no shift)");
            }
            return Fail(reason, Known(from, to));
        }
        // PROJ adds the zero shift after EPSG's operations where none of them
        // (grids aside) covers the whole of the area the two systems share;
        // a point outside every operation's area then takes it.
        if (choice->Count() == 0 || !CoversSharedArea(*choice, from, to, projectedInterest ? &interest : nullptr)) {
            ZrDatumOperation op;
            ZrOperationStep step;
            step.from = a;
            step.to = b;
            op.Append(step);
            op.name = "Ballpark geographic offset from " + Named(from) + " to " + Named(to) + " (no shift)";
            choice->Add(op);
        }
    }
    if (used) ZrSummariseOperations(*choice, *used);
    choice->SetSides(src, des);
    if (!t.Set(src, des) || !t.SetOperations(choice))
        return Fail(reason, "the translator cannot convert between these two systems");
    translator = t;
    return 1;
}

namespace {
// Whether EPSG's operation from source to target joins the geographic systems
// of src and des, and in which direction (reason says why not).
bool Joins(long code, long source, long target, const CZrPJCoordSys& src, const CZrPJCoordSys& des,
           bool& forward, CString* reason) {
    const long from = GeographicCodeOf(src), to = GeographicCodeOf(des);
    forward = from == source && to == target;
    if (forward || (from == target && to == source)) return true;
    Fail(reason, "EPSG:" + std::to_string(code) + " joins EPSG:" + std::to_string(source) + " and EPSG:" +
                     std::to_string(target) + ", not the geographic systems of these two");
    return false;
}

// The translator set up with one operation for every point.
int SetSingle(CZrPJTranslator& translator, const CZrPJCoordSys& src, const CZrPJCoordSys& des,
              const ZrDatumOperation& op, CString* reason) {
    auto choice = std::make_shared<CZrPJOperationChoice>();
    choice->Add(op);
    CZrPJTranslator t;
    choice->SetSides(src, des);
    if (!t.Set(src, des) || !t.SetOperations(choice))
        return Fail(reason, "the translator cannot convert between these two systems");
    translator = t;
    return 1;
}
} // namespace

int ZrSetTranslatorEpsgOperation(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                 const CZrPJCoordSys& des, long code, CString* reason) {
    bool forward = true;
    ZrDatumOperation op;
    ZrEpsgCandidate c;
    ZrEpsgOtherTransformationRecord other;
    const int projectedPair = ZrProjectedOperationByCode(src, des, code, op, reason);
    if (projectedPair >= 0) return projectedPair ? SetSingle(translator, src, des, op, reason) : 0;
    if (ZrEpsgFindOtherTransformation(code, other)) {
        if (!Joins(code, other.sourceCode, other.targetCode, src, des, forward, reason)) return 0;
        c.kind = ZrEpsgCandidate::kOther;
        c.other = other;
        c.inverse = !forward;
        OtherOperationOf(c, EllipsoidOf(src), EllipsoidOf(des), op);
        return SetSingle(translator, src, des, op, reason);
    }
    ZrEpsgConcatenatedRecord concatenated;
    if (ZrEpsgFindConcatenated(code, concatenated)) {
        if (!Joins(code, concatenated.sourceCode, concatenated.targetCode, src, des, forward, reason)) return 0;
        c.kind = ZrEpsgCandidate::kConcatenated;
        c.concatenated = concatenated;
        c.inverse = !forward;
        if (!ConcatenatedOf(c, GeographicCodeOf(src), EllipsoidOf(src), EllipsoidOf(des), op))
            return Fail(reason, "EPSG:" + std::to_string(code) +
                                    " has a step that cannot run here (a grid that is missing, or more steps "
                                    "than a chain holds)");
        return SetSingle(translator, src, des, op, reason);
    }
    // The Helmerts of geocentric and 3D systems (the time-dependent ones
    // among them) are no translator method: they run as an operation.
    ZrEpsgTransformationRecord helmert;
    if (ZrEpsgFindTransformation(code, helmert) && helmert.methodCode < 9000) {
        if (!Joins(code, helmert.sourceCode, helmert.targetCode, src, des, forward, reason)) return 0;
        const long from = forward ? helmert.sourceCode : helmert.targetCode;
        if (!OperationOf(helmert, from, EllipsoidOf(src), EllipsoidOf(des), op))
            return Fail(reason, "EPSG:" + std::to_string(code) + " uses a method no step computes");
        return SetSingle(translator, src, des, op, reason);
    }
    ZrEpsgGridTransformationRecord g;
    if (!ZrEpsgFindGridTransformation(code, g))
        return ZrSetTranslatorTransformation(translator, src, des, code, reason);
    if (!src.IsValid() || !des.IsValid() || src.GetType() == 0 || des.GetType() == 0)
        return Fail(reason, "both systems must be valid geographic or projected systems");
    if (!Joins(code, g.sourceCode, g.targetCode, src, des, forward, reason)) return 0;
    std::string path, why, whyOld;
    if (!ZrFindGrid(g.grid, path, &why) && !ZrFindGrid(g.oldGrid, path, &whyOld))
        return Fail(reason, why + (g.oldGrid != g.grid ? "; nor as " + g.oldGrid : std::string()));
    c.isGrid = true;
    c.kind = ZrEpsgCandidate::kGrid;
    c.grid = g;
    c.inverse = !forward;
    if (!OperationOf(c, GeographicCodeOf(src), EllipsoidOf(src), EllipsoidOf(des), op)) {
        std::string damaged;
        CZrHorizontalShiftGrid::Open(path, &damaged);
        return Fail(reason, "the grid " + path + " cannot be read: " + damaged);
    }
    return SetSingle(translator, src, des, op, reason);
}

namespace {
const char* MethodName(long method) {
    switch (method) {
    case 9613:
        return "NADCON";
    case 9614:
        return "NTv1";
    case 9615:
        return "NTv2";
    case 9603:
    case 1031:
        return "geocentric translation";
    case 9606:
    case 1033:
        return "position vector";
    case 9607:
    case 1032:
        return "coordinate frame";
    case 1053:
        return "time-dependent position vector";
    case 1056:
        return "time-dependent coordinate frame";
    case 1065:
        return "time-specific position vector";
    case 1066:
        return "time-specific coordinate frame";
    case 9636:
    case 1063:
        return "Molodensky-Badekas";
    case 9619:
        return "geographic offsets";
    case 9601:
        return "longitude rotation";
    }
    return "method";
}
} // namespace

int ZrListOperations(long sourceGeographic, long targetGeographic, std::vector<ZrOperationListing>& out) {
    out.clear();
    ReachedListing found;
    ZrEpsgGeocentricRecord source, target;
    if (ZrEpsgFindGeocentric(sourceGeographic, source) && ZrEpsgFindGeocentric(targetGeographic, target)) {
        ZrEpsgListGeocentricCandidates(sourceGeographic, targetGeographic, GridFound, found.list);
        // Where EPSG states nothing between the geocentric systems, PROJ
        // runs the geographic systems' operations between conversions to
        // and from their 3D forms, and names them so.
        const bool geographic =
            std::any_of(found.list.begin(), found.list.end(), [](const ZrEpsgCandidate& c) {
                return c.kind != ZrEpsgCandidate::kHelmert || c.helmert.methodCode >= 9000;
            });
        if (geographic) {
            found.reached = true;
            found.before = "Conversion from " + source.name + " (geocentric) to " + source.name + " (geog3D)";
            found.after = "Conversion from " + target.name + " (geog3D) to " + target.name + " (geocentric)";
        }
    } else {
        found = ListReached(sourceGeographic, targetGeographic, nullptr);
        ZrOperationEllipsoid a, b;
        if (found.list.empty() && !found.member && EllipsoidOfCode(sourceGeographic, a) &&
            EllipsoidOfCode(targetGeographic, b)) {
            for (const GeocentricChain& c : GeocentricChainsOf(sourceGeographic, targetGeographic, a, b)) {
                ZrOperationListing l;
                l.name = CString(c.op.name.c_str());
                l.methodName = "concatenated";
                l.accuracy = c.op.accuracy;
                out.push_back(l);
            }
            return static_cast<int>(out.size());
        }
    }
    if (found.member) {
        ZrOperationListing l;
        l.name = CString(MemberOperation(found, {}, {}).name.c_str());
        l.methodCode = 9603;
        l.methodName = MethodName(l.methodCode);
        l.accuracy = found.member->accuracy;
        out.push_back(l);
    }
    for (const ZrEpsgCandidate& c : found.list) {
        ZrOperationListing l;
        const bool other = c.kind == ZrEpsgCandidate::kOther;
        const bool chain = c.kind == ZrEpsgCandidate::kConcatenated;
        const std::string& name = chain      ? c.concatenated.name
                                  : other    ? c.other.name
                                  : c.isGrid ? c.grid.name
                                             : c.helmert.name;
        l.code = found.reached ? 0 : c.Code();
        l.name = CString(ReachedName(found, (c.inverse ? "Inverse of " : "") + name).c_str());
        l.methodCode = chain      ? 0
                       : other    ? c.other.methodCode
                       : c.isGrid ? c.grid.methodCode
                                  : c.helmert.methodCode;
        l.methodName = chain ? "concatenated" : MethodName(l.methodCode);
        l.accuracy = chain      ? c.concatenated.accuracy
                     : other    ? c.other.accuracy
                     : c.isGrid ? c.grid.accuracy
                                : c.helmert.accuracy;
        if (found.reached && l.accuracy >= 0) l.accuracy += found.accuracy;
        l.area = CString(AreaNameOf(c).c_str());
        l.missing = CString(MissingGridOf(c).c_str());
        out.push_back(l);
    }
    return static_cast<int>(out.size());
}
