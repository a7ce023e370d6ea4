#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"

// Grid files of datum operations: horizontal shift grids (NTv2 .gsb, NTv1
// .dat, NADCON .las/.los pairs, PROJ's GeoTIFF offset grids) and geoid-height
// grids (GTX, PROJ's GeoTIFF geoid grids).
//
// A grid is named as EPSG and PROJ name it ("BETA2007.gsb",
// "us_nga_egm96_15.tif") and found on a search path; an absolute or relative
// path containing a slash is taken as it is. Opened grids are read once,
// checked, held in memory under a size bound, and shared: opening the same
// resolved path again while a handle is alive returns the same grid. A grid
// is immutable after opening, so any number of threads may interpolate in it
// at once. Damaged files are refused with a one-line reason.
//
// Interpolation follows PROJ's hgridshift and vgridshift: bilinear between
// the four nodes around the point, nested subgrids chosen by the deepest one
// containing the point, and the inverse shift found by iteration.

// The directory a host adds to the search path (after PROJ_DATA/PROJ_LIB and
// before the user's data directory); empty removes it. Thread-safe.
ZRPRJ_API void ZrSetGridDirectory(const std::string& dir);
ZRPRJ_API std::string ZrGetGridDirectory();

// The directories searched, in order: every entry of PROJ_DATA (or of
// PROJ_LIB when PROJ_DATA is unset), the host's directory, the user's data
// directory ($XDG_DATA_HOME/proj or ~/.local/share/proj), /usr/share/proj,
// and the library's own folder.
ZRPRJ_API std::vector<std::string> ZrGridSearchPath();

// Finds a grid file by name (a leading '@', PROJ's mark of an optional grid,
// is dropped). 1 and the path of a regular file; 0 and, in *reason,
// "grid not found: NAME (looked in A, B, ...)".
ZRPRJ_API int ZrFindGrid(const std::string& name, std::string& path, std::string* reason = nullptr);

struct ZrHorizontalGridData;
struct ZrGeoidGridData;

// A horizontal shift grid (with its subgrids), ready to shift points.
class ZRPRJ_API CZrHorizontalShiftGrid {
public:
    // Finds, reads and checks the grid, or returns the one already open at
    // that path. Null and *reason on refusal (missing, unreadable, damaged).
    // A NADCON pair is named by either file of the pair. A comma-separated
    // list is taken as PROJ takes +nadgrids: the first grid containing a
    // point serves it, '@' marks a grid that may be missing, "@null" is the
    // zero shift everywhere.
    static std::shared_ptr<const CZrHorizontalShiftGrid> Open(const std::string& name,
                                                              std::string* reason = nullptr);

    ~CZrHorizontalShiftGrid();
    CZrHorizontalShiftGrid(const CZrHorizontalShiftGrid&) = delete;
    CZrHorizontalShiftGrid& operator=(const CZrHorizontalShiftGrid&) = delete;

    // The point (longitude, latitude) in radians shifted in place from the
    // grid's source datum to its target datum (Forward) or back (Inverse).
    // 1 inside the grid; 0 outside it (or where the inverse does not
    // converge), the point untouched.
    int Forward(double& lam, double& phi) const;
    int Inverse(double& lam, double& phi) const;
    // The same in degrees (x longitude, y latitude).
    int ForwardDeg(CPoint2D& pt) const;
    int InverseDeg(CPoint2D& pt) const;
    // Shifts count points in degrees; returns how many were inside the grid
    // (those outside are left as they were).
    long Apply(CPoint2D* points, long count, int forward) const;

    // Bounds of the top-level grids in degrees: the nodes' outermost lines.
    void Extent(double& west, double& south, double& east, double& north) const;
    // Whether the point (degrees) lies inside one of the grids.
    int Contains(double lonDeg, double latDeg) const;
    const std::string& Path() const;

private:
    explicit CZrHorizontalShiftGrid(std::unique_ptr<ZrHorizontalGridData> data);
    std::unique_ptr<ZrHorizontalGridData> m_data;
    friend struct ZrGridOpener;
};

// A geoid-height grid: the height N of the geoid (or of another vertical
// surface) above the ellipsoid, in metres, at a geodetic point.
class ZRPRJ_API CZrGeoidGrid {
public:
    // As the horizontal grid's Open, lists included ("@null" is height 0).
    static std::shared_ptr<const CZrGeoidGrid> Open(const std::string& name, std::string* reason = nullptr);

    ~CZrGeoidGrid();
    CZrGeoidGrid(const CZrGeoidGrid&) = delete;
    CZrGeoidGrid& operator=(const CZrGeoidGrid&) = delete;

    // N at (longitude, latitude) in radians, or in degrees. 1 inside the
    // grid with at least one of the four surrounding nodes holding a value;
    // 0 otherwise, height untouched.
    int Height(double lam, double phi, double& height) const;
    int HeightDeg(double lonDeg, double latDeg, double& height) const;

    void Extent(double& west, double& south, double& east, double& north) const;
    const std::string& Path() const;

private:
    explicit CZrGeoidGrid(std::unique_ptr<ZrGeoidGridData> data);
    std::unique_ptr<ZrGeoidGridData> m_data;
    friend struct ZrGridOpener;
};
