#pragma once

// The in-memory form every reader produces. Node values are converted once,
// at reading, to what the interpolation consumes: horizontal shifts as
// single-precision radians, longitude positive east (PROJ rounds each node to
// float radians as it reads it, so doing the same gives bit-identical
// interpolation), geoid heights as single-precision metres.
#include "transform/ZrGrid.h"

#include <cstdint>
#include <string>
#include <vector>

// Largest number of nodes one file may hold (all subgrids together): 64
// million nodes, 512 MB of shifts, above any national grid PROJ-data ships
// (the largest hold a few million nodes) and small enough that a file
// claiming huge dimensions is refused before anything is allocated.
constexpr std::uint64_t kZrGridMaxNodes = std::uint64_t(1) << 26;
// Most subgrids one file may nest (NTv2 files in use hold a few hundred).
constexpr int kZrGridMaxSubgrids = 100000;

// The lattice of a grid in radians: the outermost node lines and the node
// spacing. Nodes sit on west + i resX, south + j resY.
struct ZrGridExtent {
    double west = 0, south = 0, east = 0, north = 0, resX = 0, resY = 0;

    // The longitudes wrap round: the nodes span the whole parallel.
    bool FullWorld() const;
    // The point lies on the lattice's rectangle, trying the longitude one
    // turn east or west as well.
    bool Contains(double lam, double phi) const;
};

// One horizontal (sub)grid: shifts[2 (j width + i)] is the longitude shift
// of node (i, j) counted from the south-west, [.. + 1] the latitude shift.
struct ZrHGrid {
    ZrGridExtent extent;
    int width = 0, height = 0;
    std::vector<float> shifts;
    std::vector<int> children; // indices of subgrids nested directly inside
    std::string name, parent;
    // PROJ's "null" grid: the zero shift over the whole earth, no nodes.
    bool null = false;
};

struct ZrHorizontalGridData {
    std::string path;
    std::vector<ZrHGrid> grids;
    std::vector<int> roots; // top-level grids, in file order
};

// One geoid (sub)grid: heights[j width + i], rows from the south; nodata
// nodes hold NaN.
struct ZrVGrid {
    ZrGridExtent extent;
    int width = 0, height = 0;
    std::vector<float> heights;
    bool null = false; // height 0 everywhere, no nodes
};

struct ZrGeoidGridData {
    std::string path;
    std::vector<ZrVGrid> grids;
};

// Readers: 1 and the grid filled, or 0 and a one-line reason. path names a
// regular file. The horizontal readers choose their format from the file's
// first bytes (NADCON from the .las/.los extension).
int ZrReadHorizontalGrid(const std::string& path, ZrHorizontalGridData& out, std::string& reason);
int ZrReadGeoidGrid(const std::string& path, ZrGeoidGridData& out, std::string& reason);
// GeoTIFF as PROJ-data distributes it (libtiff); the same contract.
int ZrReadTiffHorizontalGrid(const std::string& path, ZrHorizontalGridData& out, std::string& reason);
int ZrReadTiffGeoidGrid(const std::string& path, ZrGeoidGridData& out, std::string& reason);

// Checks the lattice of a grid just read: finite, ordered, positive spacing,
// node counts matching the rectangle, within the node bound. 1 or 0 and a
// reason naming what is wrong.
int ZrCheckLattice(const ZrGridExtent& e, std::int64_t width, std::int64_t height, std::string& reason);
// Places each grid under its parent (by name where given, else under the
// deepest earlier grid containing it) and lists the top-level ones.
int ZrLinkSubgrids(ZrHorizontalGridData& data, bool byExtent, std::string& reason);
