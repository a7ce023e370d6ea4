#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "transform/ZrDatumShift.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// Datum operations beside the translator's method-and-seven-values shift:
// each operation is a short chain of steps between geographic systems
// (Helmert family in the geocentric frame, or the identity of a null grid),
// with the code, name, accuracy and area of use EPSG gives it. A choice holds
// the candidates for one pair of systems, best first, and picks per point as
// PROJ's proj_create_crs_to_crs does.
// Everything is set up once; applying a choice only reads it and allocates
// nothing, so one choice may serve several threads.

// One ellipsoid a step starts or ends on, with the meridian its longitudes
// count from (degrees east of Greenwich).
struct ZrOperationEllipsoid {
    double a = 6378137.0;
    double f = 1.0 / 298.257223563;
    double pm = 0.0;
};

enum tagZrStepKind : int {
    // Longitude and latitude pass unchanged: PROJ's null grid, or two systems
    // on one datum. The ellipsoids may differ.
    ZR_STEP_IDENTITY = 0,
    // X' = k R X + T in the geocentric frame: a geocentric translation when
    // the rotations and scale are zero.
    ZR_STEP_HELMERT = 1,
    // One of the translator's own shifts (the Molodensky formulas), with its
    // constants in shift.
    ZR_STEP_DATUM_SHIFT = 2,
    // A horizontal shift grid (NTv2, NTv1, NADCON, GeoTIFF), read once and
    // shared; a point outside it passes unchanged.
    ZR_STEP_GRID = 3,
    // Longitude and latitude offsets in degrees, in the systems' own
    // longitudes (geographic offsets, longitude rotation), and a height
    // offset where EPSG gives one.
    ZR_STEP_OFFSET = 4,
    // EPSG's affine parametric transformation between two projected systems,
    // applied through their projections (see ZrAffineParametric.h).
    ZR_STEP_AFFINE = 5,
};

class CZrAffineParametric;
class CZrHorizontalShiftGrid;
class CZrPJCoordSys;

struct ZrOperationStep {
    tagZrStepKind kind = ZR_STEP_IDENTITY;
    ZrOperationEllipsoid from, to;
    // Translations (metres), rotations (arc-seconds, position-vector
    // convention) and scale difference (ppm), as EPSG states them for the
    // direction from -> to.
    double tx = 0, ty = 0, tz = 0, rx = 0, ry = 0, rz = 0, ds = 0;
    // Molodensky-Badekas: the point the rotation and scale turn about
    // (geocentric metres); zero for a plain Helmert.
    double px = 0, py = 0, pz = 0;
    // A time-dependent Helmert: the rates of the seven values per year
    // (m/yr, arc-seconds/yr in the position-vector convention, ppm/yr) and the
    // epoch (decimal year) the values hold at. At a coordinate epoch t each
    // value is v + rate (t - refEpoch); a point without an epoch takes the
    // values as stated (t = refEpoch).
    bool timeDependent = false;
    double dtx = 0, dty = 0, dtz = 0, drx = 0, dry = 0, drz = 0, dds = 0;
    double refEpoch = 0;
    // Offsets of ZR_STEP_OFFSET, degrees; and the height offset (metres) of
    // one that also turns gravity-related heights into ellipsoidal ones.
    double dlat = 0, dlon = 0, dh = 0;
    ZrDatumShift shift;
    std::shared_ptr<const CZrHorizontalShiftGrid> grid;
    std::shared_ptr<const CZrAffineParametric> affine; // ZR_STEP_AFFINE
    // Nonzero: the chain runs the step (stated from -> to, as EPSG states
    // it) backwards, PROJ's "Inverse of ...".
    int inverse = 0;

    // Derived by ZrDatumOperation::Append, so that a point divides as little
    // as it can: for each ellipsoid e^2, b and e'^2; the rotations in
    // radians, the scale factor k and 1/k.
    struct Derived {
        double es = 0, b = 0, ep2 = 0;
    } fromDerived, toDerived;
    double rxRad = 0, ryRad = 0, rzRad = 0, k = 1, invK = 1;
};

// "No coordinate epoch": time-dependent steps use their values as stated.
constexpr double kZrNoEpoch = __builtin_nan("");

// The longest chain an operation takes: source to hub, hub to destination,
// one more for a concatenation written in three parts.
constexpr int kZrMaxOperationSteps = 4;

struct ZRPRJ_API ZrDatumOperation {
    long code = 0; // EPSG code; 0 for an operation built from a system's own shift
    std::string name;
    double accuracy = -1.0; // metres, negative when unknown
    bool hasArea = false;   // false: anywhere
    double south = -90, west = -180, north = 90, east = 180;
    // EPSG names the area "… - offshore": where an onshore and an offshore
    // area both hold a point, the onshore operation serves it.
    bool offshore = false;
    int stepCount = 0;
    ZrOperationStep steps[kZrMaxOperationSteps];

    // Adds a step and derives its constants; false when the chain is full.
    bool Append(const ZrOperationStep& step);
    // Whether (lon, lat) in degrees lies in the area of use; an area whose west
    // bound exceeds its east crosses the antimeridian.
    bool Contains(double lon, double lat) const;

    // Takes code, name, accuracy and area from one of EPSG's records (each
    // record kind spells them alike); run the other way round, the name is
    // PROJ's "Inverse of ...".
    template <class Record> void TitleFrom(const Record& r, bool inverse) {
        code = r.code;
        name = inverse ? "Inverse of " + r.name : r.name;
        accuracy = r.accuracy;
        hasArea = true;
        south = r.south, west = r.west, north = r.north, east = r.east;
    }
};

// Applies one operation to (lon, lat in degrees, ellipsoidal height in
// metres); forward nonzero from its source to its destination, 0 back. Each
// step carries the height it computes into the next, as PROJ's pipelines do.
// epoch is the point's coordinate epoch (decimal year) for time-dependent
// steps; NaN (the default) means none given.
ZRPRJ_API void ZrApplyOperation(const ZrDatumOperation& op, CPoint3D& pt, int forward,
                                double epoch = kZrNoEpoch);

// The candidates for one pair of systems, best first.
class ZRPRJ_API CZrPJOperationChoice {
public:
    void Add(const ZrDatumOperation& op);
    int Count() const { return static_cast<int>(m_ops.size()); }
    const ZrDatumOperation& At(int i) const { return m_ops[static_cast<size_t>(i)]; }

    // The index of the operation for a point given in the coordinates of the
    // side it comes from, as PROJ's proj_trans picks among the operations of
    // proj_create_crs_to_crs: of those whose area of use holds the point, the
    // one of the smallest known accuracy figure (the earlier on a tie; an
    // offshore area never displaces another; the first when that one states
    // none); where no area holds the point, the
    // first that needs no grid, else the first of all (-1 when there are none).
    // forward tells the side the point comes from (the source when nonzero).
    int Pick(double lon, double lat, int forward = 1) const;
    // PROJ holds a point against each area as a box in the coordinates the
    // point is given in: on a projected side, the box round the area's edges
    // projected (20 steps an edge), which reaches past the area's corners.
    // Given the two systems, points are held the same way; call once the
    // candidates are added. Sides on a meridian other than Greenwich's keep
    // the box in longitude and latitude.
    void SetSides(const CZrPJCoordSys& src, const CZrPJCoordSys& des);
    // Picks and applies; the index used, or -1 (point untouched) with no
    // candidates.
    int Apply(CPoint3D& pt, int forward, double epoch = kZrNoEpoch) const;
    int Apply(CPoint2D& pt, int forward, double epoch = kZrNoEpoch) const;
    // Whether some candidate changes with the coordinate epoch.
    bool TimeDependent() const;

private:
    // One operation's area on a projected side: the projected box, and a
    // longitude-latitude box round everything that box holds, so that only
    // points between the two need projecting.
    struct ProjectedArea {
        bool active = false;
        double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
        double west = 0, south = 0, east = 0, north = 0;
    };
    struct Side {
        std::shared_ptr<const CZrPJCoordSys> cs; // null: not projected
        std::vector<ProjectedArea> areas;
    };
    bool Holds(size_t i, const Side& side, double lon, double lat, CPoint2D& projected, bool& done) const;
    std::vector<ZrDatumOperation> m_ops;
    // What a pick reads of each operation, side by side so that the scan
    // touches a few cache lines rather than every operation's steps; and the
    // smallest known accuracy figure from each operation on (infinite where
    // none is known), so that a pick stops once nothing later can better the
    // operation it holds.
    struct PickArea {
        double south, west, north, east, accuracy, bestFrom;
        bool hasArea, offshore;
        bool Contains(double lon, double lat) const;
    };
    std::vector<PickArea> m_areas;
    std::array<Side, 2> m_sides; // source, destination
};
