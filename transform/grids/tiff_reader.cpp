// PROJ's GeoTIFF grids, read with libtiff: one grid per image directory
// (reduced-resolution images and masks skipped), georeferenced by the
// GeoTIFF pixel scale and tie point (geographic, degrees), described by the
// GDAL metadata tag: TYPE (HORIZONTAL_OFFSET, or a vertical offset for geoid
// grids), per sample a DESCRIPTION (latitude_offset, longitude_offset,
// geoid_undulation), UNITTYPE (arc-second, degree, radian; metre), SCALE and
// OFFSET, positive_value (east or west) for the longitude sample, and
// grid_name / parent_grid_name for nested subgrids. Samples may be
// interleaved or in planes, in strips or tiles, under any compression
// libtiff decodes; integer samples are scaled as the metadata says.
#include "transform/grids/ZrGrid_p.h"

#include <pugixml.hpp>
#include <sys/stat.h>
#include <tiffio.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
// GeoTIFF keys: the model type (2 = geographic) and the raster type
// (1 = a pixel is an area, the default; 2 = a pixel is a point).
constexpr int kGTModelTypeGeoKey = 1024;
constexpr int kGTRasterTypeGeoKey = 1025;
constexpr int kPixelIsPoint = 2;
// The GeoTIFF tags libtiff leaves to its callers.
constexpr unsigned kModelPixelScaleTag = 33550;
constexpr unsigned kModelTiepointTag = 33922;
constexpr unsigned kGeoKeyDirectoryTag = 34735;
// Directories one file may hold before it is taken as a loop or a bomb.
constexpr int kMaxDirectories = 10000;
// A compressed grid may decode to at most this many times its file's size:
// above deflate's ceiling (about 1032) with room, far below what a file that
// claims huge dimensions over a few bytes would need.
constexpr double kMaxExpansion = 4096;
// GDAL metadata longer than this is refused unread (PROJ-data's hold under
// 2 KB).
constexpr size_t kMaxMetadataBytes = 64 * 1024;

int Quiet(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
    auto* first = static_cast<std::string*>(user);
    if (first->empty()) {
        char buf[256];
        std::vsnprintf(buf, sizeof buf, fmt, ap);
        *first = buf;
    }
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

// An array-valued tag of the given type, whether libtiff knows the tag or
// made an anonymous field for it.
const void* GetArray(TIFF* t, unsigned tag, TIFFDataType type, std::uint32_t& n) {
    const TIFFField* fld = TIFFFieldWithTag(t, tag);
    if (!fld || TIFFFieldDataType(fld) != type) return nullptr;
    void* data = nullptr;
    n = 0;
    if (TIFFFieldPassCount(fld)) {
        if (TIFFFieldReadCount(fld) == TIFF_VARIABLE2) {
            std::uint32_t c = 0;
            if (!TIFFGetField(t, tag, &c, &data)) return nullptr;
            n = c;
        } else {
            std::uint16_t c = 0;
            if (!TIFFGetField(t, tag, &c, &data)) return nullptr;
            n = c;
        }
    } else {
        if (!TIFFGetField(t, tag, &data)) return nullptr;
        n = data && type == TIFF_ASCII ? static_cast<std::uint32_t>(std::strlen(static_cast<char*>(data)))
                                       : 0;
    }
    return data;
}

std::string GetText(TIFF* t, unsigned tag) {
    std::uint32_t n = 0;
    const char* s = static_cast<const char*>(GetArray(t, tag, TIFF_ASCII, n));
    if (!s) return {};
    return std::string(s, strnlen(s, n));
}

// The GDAL metadata items: (name, sample) -> text; -1 for the dataset's own.
struct Metadata {
    std::map<std::pair<std::string, int>, std::string> items;
    std::string Get(const std::string& name, int sample = -1) const {
        auto it = items.find({name, sample});
        return it == items.end() ? std::string() : it->second;
    }
    // The sample whose DESCRIPTION is this, or -1.
    int SampleDescribed(const std::string& what, int samples) const {
        for (int s = 0; s < samples; ++s)
            if (Get("DESCRIPTION", s) == what) return s;
        return -1;
    }
};

Metadata ReadMetadata(TIFF* t) {
    Metadata md;
    const std::string xml = GetText(t, TIFFTAG_GDAL_METADATA);
    // The metadata of a grid is a few items; anything past this bound is not
    // a grid's and is not parsed.
    pugi::xml_document doc;
    if (xml.empty() || xml.size() > kMaxMetadataBytes || !doc.load_buffer(xml.data(), xml.size())) return md;
    for (pugi::xml_node item : doc.child("GDALMetadata").children("Item")) {
        const pugi::xml_attribute sample = item.attribute("sample");
        const std::string role = item.attribute("role").value();
        std::string name = item.attribute("name").value();
        // Band descriptions, units, scales and offsets come as roles.
        if (role == "description") name = "DESCRIPTION";
        if (role == "unittype") name = "UNITTYPE";
        if (role == "scale") name = "SCALE";
        if (role == "offset") name = "OFFSET";
        md.items[{name, sample ? sample.as_int(-1) : -1}] = item.text().get();
    }
    return md;
}

// One image directory: its shape, its place on the earth, and its samples
// decoded to floats (rows from the north, as stored).
struct Image {
    std::uint32_t width = 0, height = 0;
    std::uint16_t samples = 1, bits = 0, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    ZrGridExtent extent;
    bool bottomUp = false;
    Metadata md;
};

// Shape and georeferencing of the current directory; 0 and a reason if it
// is not a grid this reader can take.
int ReadShape(TIFF* t, Image& im, std::string& reason) {
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &im.width) ||
        !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &im.height)) {
        reason = "image without dimensions";
        return 0;
    }
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &im.samples);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &im.bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &im.format);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &im.planar);
    const bool known = (im.format == SAMPLEFORMAT_IEEEFP && (im.bits == 32 || im.bits == 64)) ||
                       ((im.format == SAMPLEFORMAT_INT || im.format == SAMPLEFORMAT_UINT) &&
                        (im.bits == 8 || im.bits == 16 || im.bits == 32));
    if (!known || im.samples < 1) {
        reason = "unsupported sample type (" + std::to_string(im.bits) + " bits, format " +
                 std::to_string(im.format) + ")";
        return 0;
    }
    std::uint32_t n = 0;
    const double* scale = static_cast<const double*>(GetArray(t, kModelPixelScaleTag, TIFF_DOUBLE, n));
    if (!scale || n < 2) {
        reason = "no GeoTIFF pixel scale";
        return 0;
    }
    const double hRes = scale[0], vRes = scale[1];
    const double* tie = static_cast<const double*>(GetArray(t, kModelTiepointTag, TIFF_DOUBLE, n));
    if (!tie || n < 6) {
        reason = "no GeoTIFF tie point";
        return 0;
    }
    bool pixelIsArea = true;
    const std::uint16_t* keys =
        static_cast<const std::uint16_t*>(GetArray(t, kGeoKeyDirectoryTag, TIFF_SHORT, n));
    if (keys && n >= 4) {
        const std::uint32_t count = std::min<std::uint32_t>(keys[3], (n - 4) / 4);
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint16_t* key = keys + 4 + 4 * k;
            if (key[1] != 0) continue; // values held elsewhere: none of ours
            if (key[0] == kGTRasterTypeGeoKey) pixelIsArea = key[3] != kPixelIsPoint;
            if (key[0] == kGTModelTypeGeoKey && key[3] != 2) {
                reason = "the grid is not on geographic coordinates";
                return 0;
            }
        }
    }
    // The tie point ties raster (I, J) to (X, Y); the nodes are the pixels'
    // centres, half a pixel in from the corner when a pixel is an area.
    double west = tie[3] - tie[0] * hRes, north = tie[4] + tie[1] * vRes;
    if (pixelIsArea) {
        west += 0.5 * hRes;
        north -= 0.5 * vRes;
    }
    ZrGridExtent& e = im.extent;
    e.west = west * kDegToRad;
    e.north = north * kDegToRad;
    e.resX = hRes * kDegToRad;
    e.resY = std::fabs(vRes) * kDegToRad;
    e.east = (west + hRes * (im.width - 1.0)) * kDegToRad;
    e.south = (north - vRes * (im.height - 1.0)) * kDegToRad;
    if (vRes < 0) {
        im.bottomUp = true;
        std::swap(e.north, e.south);
    }
    if (!ZrCheckLattice(e, im.width, im.height, reason)) return 0;
    im.md = ReadMetadata(t);
    return 1;
}

double RawAt(const unsigned char* buf, size_t index, const Image& im) {
    const size_t bytes = im.bits / 8;
    const unsigned char* p = buf + index * bytes;
    switch (im.format * 100 + im.bits) {
    case SAMPLEFORMAT_IEEEFP * 100 + 32: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case SAMPLEFORMAT_IEEEFP * 100 + 64: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    case SAMPLEFORMAT_INT * 100 + 8:
        return static_cast<std::int8_t>(*p);
    case SAMPLEFORMAT_INT * 100 + 16: {
        std::int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case SAMPLEFORMAT_INT * 100 + 32: {
        std::int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case SAMPLEFORMAT_UINT * 100 + 8:
        return *p;
    case SAMPLEFORMAT_UINT * 100 + 16: {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    default: {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

// Decodes the wanted samples of the current directory into out[k], one
// float per pixel, rows from the top of the image; scale and offset applied
// as the metadata gives them (value = raw scale + offset).
int ReadSamples(TIFF* t, const Image& im, const std::vector<int>& wanted,
                std::vector<std::vector<float>>& out, std::uint64_t fileSize, std::string& reason) {
    const std::uint64_t pixels = static_cast<std::uint64_t>(im.width) * im.height;
    const double decoded = static_cast<double>(pixels) * im.samples * (im.bits / 8);
    if (decoded > kMaxExpansion * static_cast<double>(fileSize)) {
        reason = "the grid's dimensions are far larger than its file";
        return 0;
    }
    std::vector<double> scale(wanted.size(), 1.0), offset(wanted.size(), 0.0);
    for (size_t k = 0; k < wanted.size(); ++k) {
        const std::string s = im.md.Get("SCALE", wanted[k]), o = im.md.Get("OFFSET", wanted[k]);
        if (!s.empty()) scale[k] = std::strtod(s.c_str(), nullptr);
        if (!o.empty()) offset[k] = std::strtod(o.c_str(), nullptr);
    }
    const bool tiled = TIFFIsTiled(t);
    std::uint32_t bw = im.width, bh = 0;
    if (tiled) {
        TIFFGetField(t, TIFFTAG_TILEWIDTH, &bw);
        TIFFGetField(t, TIFFTAG_TILELENGTH, &bh);
    } else {
        TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &bh);
        bh = std::min(bh, im.height);
    }
    if (bw == 0 || bh == 0) {
        reason = "zero tile or strip size";
        return 0;
    }
    const bool separate = im.planar == PLANARCONFIG_SEPARATE;
    const std::uint32_t perPixel = separate ? 1 : im.samples;
    const std::uint64_t blockBytes = static_cast<std::uint64_t>(bw) * bh * perPixel * (im.bits / 8);
    const tmsize_t libSize = tiled ? TIFFTileSize(t) : TIFFStripSize(t);
    if (libSize <= 0 || static_cast<std::uint64_t>(libSize) < blockBytes ||
        blockBytes > 64 * kZrGridMaxNodes) {
        reason = "inconsistent tile or strip size";
        return 0;
    }
    std::vector<unsigned char> buf(static_cast<size_t>(libSize));
    out.assign(wanted.size(), std::vector<float>());
    for (auto& v : out)
        v.resize(pixels);
    const std::uint32_t across = tiled ? (im.width + bw - 1) / bw : 1;
    const std::uint32_t down = (im.height + bh - 1) / bh;
    // In planes each sample has its own blocks; interleaved, one pass serves all.
    const size_t passes = separate ? wanted.size() : 1;
    for (size_t pass = 0; pass < passes; ++pass) {
        for (std::uint32_t by = 0; by < down; ++by) {
            for (std::uint32_t bx = 0; bx < across; ++bx) {
                const std::uint16_t plane = separate ? static_cast<std::uint16_t>(wanted[pass]) : 0;
                tmsize_t got;
                if (tiled)
                    got = TIFFReadEncodedTile(t, TIFFComputeTile(t, bx * bw, by * bh, 0, plane), buf.data(),
                                              libSize);
                else
                    got = TIFFReadEncodedStrip(t, TIFFComputeStrip(t, by * bh, plane), buf.data(), libSize);
                const std::uint32_t rows = std::min(bh, im.height - by * bh);
                const std::uint32_t cols = std::min(bw, im.width - bx * bw);
                const std::uint64_t need =
                    (static_cast<std::uint64_t>(rows - 1) * bw + cols) * perPixel * (im.bits / 8);
                if (got < 0 || static_cast<std::uint64_t>(got) < need) {
                    reason = "a tile or strip cannot be decoded (truncated or damaged file)";
                    return 0;
                }
                for (size_t k = 0; k < wanted.size(); ++k) {
                    if (separate && k != pass) continue;
                    const int s = separate ? 0 : wanted[k];
                    for (std::uint32_t r = 0; r < rows; ++r) {
                        float* dst = &out[k][static_cast<size_t>(by * bh + r) * im.width + bx * bw];
                        for (std::uint32_t c = 0; c < cols; ++c) {
                            const double raw =
                                RawAt(buf.data(), (static_cast<size_t>(r) * bw + c) * perPixel + s, im);
                            dst[c] = scale[k] == 1.0 && offset[k] == 0.0
                                         ? static_cast<float>(raw)
                                         : static_cast<float>(raw * scale[k] + offset[k]);
                        }
                    }
                }
            }
        }
    }
    return 1;
}

// Opens the file quietly (libtiff's messages go to the reason, not stderr)
// with a bound on any single allocation libtiff makes.
std::unique_ptr<TIFF, TiffCloser> OpenTiff(const std::string& path, std::string& message) {
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(256) << 20);
    TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(
        opts, [](TIFF*, void*, const char*, const char*, va_list) { return 1; }, nullptr);
    TIFF* t = TIFFOpenExt(path.c_str(), "r", opts);
    TIFFOpenOptionsFree(opts);
    return std::unique_ptr<TIFF, TiffCloser>(t);
}

std::uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

// Walks the directories that hold full-resolution images, calling take for
// each; stops at the first refusal.
template <class Take> int EachImage(const std::string& path, std::string& reason, Take take) {
    std::string message;
    auto t = OpenTiff(path, message);
    if (!t) {
        reason = "not a readable TIFF file" + (message.empty() ? std::string() : ": " + message);
        return 0;
    }
    const std::uint64_t size = FileSize(path);
    int images = 0;
    for (int dir = 0;; ++dir) {
        if (dir >= kMaxDirectories) {
            reason = "too many TIFF directories";
            return 0;
        }
        std::uint32_t subfile = 0;
        TIFFGetFieldDefaulted(t.get(), TIFFTAG_SUBFILETYPE, &subfile);
        if (subfile == 0 || subfile == FILETYPE_PAGE) {
            Image im;
            if (!ReadShape(t.get(), im, reason) || !take(t.get(), im, size, reason)) {
                reason = "TIFF directory " + std::to_string(dir) + ": " + reason;
                return 0;
            }
            ++images;
        }
        if (!TIFFReadDirectory(t.get())) break;
    }
    if (images == 0) {
        reason = "TIFF file holds no grid";
        return 0;
    }
    return 1;
}

// The factor from a horizontal offset's unit to radians; 0 if unknown.
double UnitToRadians(const std::string& unit) {
    if (unit.empty() || unit == "arc-second") return (kPi / 180.0) / 3600.0;
    if (unit == "degree") return kDegToRad;
    if (unit == "radian") return 1.0;
    return 0.0;
}

// Row j counted from the south of an image stored from the north.
size_t SouthRow(const Image& im, std::uint32_t j) {
    return im.bottomUp ? j : im.height - 1 - j;
}
} // namespace

int ZrReadTiffHorizontalGrid(const std::string& path, ZrHorizontalGridData& out, std::string& reason) {
    int ok = EachImage(path, reason, [&](TIFF* t, const Image& im, std::uint64_t size, std::string& why) {
        const std::string type = im.md.Get("TYPE");
        if (!type.empty() && type != "HORIZONTAL_OFFSET") {
            why = "not a horizontal offset grid (TYPE " + type + ")";
            return 0;
        }
        if (im.samples < 2) {
            why = "a horizontal offset grid needs two samples per pixel";
            return 0;
        }
        int lat = im.md.SampleDescribed("latitude_offset", im.samples);
        int lon = im.md.SampleDescribed("longitude_offset", im.samples);
        if (lat < 0 && lon < 0) {
            lat = 0;
            lon = 1;
        } else if (lat < 0 || lon < 0 || lat == lon) {
            why = "latitude_offset and longitude_offset samples not both described";
            return 0;
        }
        const std::string latUnit = im.md.Get("UNITTYPE", lat), lonUnit = im.md.Get("UNITTYPE", lon);
        const double toRad = UnitToRadians(latUnit);
        if (toRad == 0.0 || latUnit != lonUnit) {
            why = "unsupported offset units: " + latUnit + ", " + lonUnit;
            return 0;
        }
        const std::string positive = im.md.Get("positive_value", lon);
        if (!positive.empty() && positive != "east" && positive != "west") {
            why = "unknown positive_value: " + positive;
            return 0;
        }
        std::vector<std::vector<float>> values;
        if (!ReadSamples(t, im, {lat, lon}, values, size, why)) return 0;
        ZrHGrid g;
        g.extent = im.extent;
        g.width = static_cast<int>(im.width);
        g.height = static_cast<int>(im.height);
        g.name = im.md.Get("grid_name");
        g.parent = im.md.Get("parent_grid_name");
        std::uint64_t total = 0;
        for (const ZrHGrid& other : out.grids)
            total += other.shifts.size() / 2;
        if (total + static_cast<std::uint64_t>(im.width) * im.height > kZrGridMaxNodes ||
            out.grids.size() >= static_cast<size_t>(kZrGridMaxSubgrids)) {
            why = "the file holds too many nodes";
            return 0;
        }
        g.shifts.resize(2 * static_cast<size_t>(im.width) * im.height);
        for (std::uint32_t j = 0; j < im.height; ++j) {
            const size_t row = SouthRow(im, j) * im.width;
            for (std::uint32_t i = 0; i < im.width; ++i) {
                const float la = values[0][row + i], lo = values[1][row + i];
                if (!std::isfinite(la) || !std::isfinite(lo)) {
                    why = "a node is not a number";
                    return 0;
                }
                float* node = &g.shifts[2 * (static_cast<size_t>(j) * im.width + i)];
                const float lonRad = static_cast<float>(lo * toRad);
                node[0] = positive == "west" ? -lonRad : lonRad;
                node[1] = static_cast<float>(la * toRad);
            }
        }
        out.grids.push_back(std::move(g));
        return 1;
    });
    return ok && ZrLinkSubgrids(out, true, reason);
}

int ZrReadTiffGeoidGrid(const std::string& path, ZrGeoidGridData& out, std::string& reason) {
    return EachImage(path, reason, [&](TIFF* t, const Image& im, std::uint64_t size, std::string& why) {
        const std::string type = im.md.Get("TYPE");
        if (!type.empty() && type.rfind("VERTICAL_OFFSET", 0) != 0 && type != "GEOID") {
            why = "not a geoid grid (TYPE " + type + ")";
            return 0;
        }
        int sample = im.md.SampleDescribed("geoid_undulation", im.samples);
        if (sample < 0) sample = im.md.SampleDescribed("vertical_offset", im.samples);
        if (sample < 0) sample = 0;
        const std::string unit = im.md.Get("UNITTYPE", sample);
        if (!unit.empty() && unit != "metre" && unit != "meter" && unit != "m") {
            why = "unsupported height unit: " + unit;
            return 0;
        }
        const std::string nodataText = GetText(t, TIFFTAG_GDAL_NODATA);
        const bool hasNodata = !nodataText.empty();
        const float nodata = hasNodata ? static_cast<float>(std::strtod(nodataText.c_str(), nullptr)) : 0.0f;
        std::vector<std::vector<float>> values;
        if (!ReadSamples(t, im, {sample}, values, size, why)) return 0;
        std::uint64_t total = static_cast<std::uint64_t>(im.width) * im.height;
        for (const ZrVGrid& other : out.grids)
            total += other.heights.size();
        if (total > kZrGridMaxNodes) {
            why = "the file holds too many nodes";
            return 0;
        }
        ZrVGrid g;
        g.extent = im.extent;
        g.width = static_cast<int>(im.width);
        g.height = static_cast<int>(im.height);
        g.heights.resize(static_cast<size_t>(im.width) * im.height);
        for (std::uint32_t j = 0; j < im.height; ++j) {
            const size_t row = SouthRow(im, j) * im.width;
            for (std::uint32_t i = 0; i < im.width; ++i) {
                const float v = values[0][row + i];
                const bool isNodata = hasNodata && (v == nodata || (std::isnan(v) && std::isnan(nodata)));
                if (std::isnan(v) && !isNodata) {
                    why = "a node is not a number";
                    return 0;
                }
                g.heights[static_cast<size_t>(j) * im.width + i] = isNodata ? NAN : v;
            }
        }
        out.grids.push_back(std::move(g));
        return 1;
    });
}
