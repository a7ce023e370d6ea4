#pragma once

// Small grid files in every format the library reads, written by the tests
// so that the library and PROJ can be given the same bytes. A grid is a
// lattice (degrees) and a function giving each node's shifts in arc-seconds
// (longitude positive east) or its height in metres.
#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

struct TestLattice {
    double west, south, dx, dy; // degrees
    int width, height;
    std::string name = "SUB1", parent = "NONE";
};

// (longitude shift east, latitude shift) in arc-seconds at node (i, j), counted
// from the south-west.
using TestShiftFn = std::function<void(const TestLattice&, int, int, double&, double&)>;

namespace testgrid {
inline void PutLE(std::string& s, const void* p, size_t n) {
    s.append(static_cast<const char*>(p), n);
}
inline void PutBE(std::string& s, const void* p, size_t n) {
    const char* c = static_cast<const char*>(p);
    for (size_t i = n; i-- > 0;)
        s.push_back(c[i]);
}
inline void Key(std::string& s, const char* key) {
    char k[8];
    std::memset(k, ' ', 8);
    std::memcpy(k, key, std::min<size_t>(8, std::strlen(key)));
    s.append(k, 8);
}
template <class T> void RecLE(std::string& s, const char* key, T v) {
    Key(s, key);
    char pad[8] = {};
    std::memcpy(pad, &v, sizeof(T));
    s.append(pad, 8);
}
inline void RecText(std::string& s, const char* key, const std::string& v) {
    Key(s, key);
    Key(s, v.c_str());
}
inline bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
} // namespace testgrid

// NTv2, little-endian, subgrids in the order given (parents first).
inline std::string NTv2Bytes(const std::vector<TestLattice>& grids, const TestShiftFn& fn) {
    using namespace testgrid;
    std::string s;
    RecLE<std::int32_t>(s, "NUM_OREC", 11);
    RecLE<std::int32_t>(s, "NUM_SREC", 11);
    RecLE<std::int32_t>(s, "NUM_FILE", static_cast<std::int32_t>(grids.size()));
    RecText(s, "GS_TYPE", "SECONDS");
    RecText(s, "VERSION", "NTv2.0");
    RecText(s, "SYSTEM_F", "TESTA");
    RecText(s, "SYSTEM_T", "TESTB");
    RecLE<double>(s, "MAJOR_F", 6378137.0);
    RecLE<double>(s, "MINOR_F", 6356752.314);
    RecLE<double>(s, "MAJOR_T", 6378137.0);
    RecLE<double>(s, "MINOR_T", 6356752.314);
    for (const TestLattice& g : grids) {
        RecText(s, "SUB_NAME", g.name);
        RecText(s, "PARENT", g.parent);
        RecText(s, "CREATED", "20260101");
        RecText(s, "UPDATED", "20260101");
        RecLE<double>(s, "S_LAT", g.south * 3600);
        RecLE<double>(s, "N_LAT", (g.south + g.dy * (g.height - 1)) * 3600);
        RecLE<double>(s, "E_LONG", -(g.west + g.dx * (g.width - 1)) * 3600);
        RecLE<double>(s, "W_LONG", -g.west * 3600);
        RecLE<double>(s, "LAT_INC", g.dy * 3600);
        RecLE<double>(s, "LONG_INC", g.dx * 3600);
        RecLE<std::int32_t>(s, "GS_COUNT", g.width * g.height);
        for (int j = 0; j < g.height; ++j) {
            for (int i = g.width - 1; i >= 0; --i) {
                double lon, lat;
                fn(g, i, j, lon, lat);
                const float v[4] = {static_cast<float>(lat), static_cast<float>(-lon), 0.01f, 0.01f};
                PutLE(s, v, 16);
            }
        }
    }
    RecLE<std::int32_t>(s, "END", 0);
    return s;
}

// NTv1: big-endian, one grid, shifts as doubles.
inline std::string NTv1Bytes(const TestLattice& g, const TestShiftFn& fn) {
    using namespace testgrid;
    std::string s;
    auto rec = [&](const char* key, auto v) {
        Key(s, key);
        char pad[8] = {};
        s.append(pad, 8);
        char* at = &s[s.size() - 8];
        for (size_t i = 0; i < sizeof(v); ++i)
            at[i] = reinterpret_cast<const char*>(&v)[sizeof(v) - 1 - i];
    };
    rec("HEADER", std::int32_t(12));
    rec("S LAT", g.south);
    rec("N LAT", g.south + g.dy * (g.height - 1));
    rec("E LONG", -(g.west + g.dx * (g.width - 1)));
    rec("W LONG", -g.west);
    rec("N GRID", g.dy);
    rec("W GRID", g.dx);
    RecText(s, "TYPE", "SECONDS");
    RecText(s, "VERSION", "NTv1");
    RecText(s, "TO", "NAD83");
    RecText(s, "FROM", "NAD27");
    RecText(s, "END", "");
    for (int j = 0; j < g.height; ++j) {
        for (int i = g.width - 1; i >= 0; --i) {
            double lon, lat;
            fn(g, i, j, lon, lat);
            const double west = -lon;
            PutBE(s, &lat, 8);
            PutBE(s, &west, 8);
        }
    }
    return s;
}

// NADCON: the .las (latitude) or .los (longitude, positive west) file.
inline std::string NadconBytes(const TestLattice& g, const TestShiftFn& fn, bool longitude) {
    using namespace testgrid;
    std::string s(56, ' ');
    std::memcpy(&s[0], "NADCON EXTRACTED REGION", 23);
    s += "NADGRD  ";
    const std::int32_t ints[3] = {g.width, g.height, 1};
    const float floats[5] = {static_cast<float>(g.west), static_cast<float>(g.dx),
                             static_cast<float>(g.south), static_cast<float>(g.dy), 0.0f};
    PutLE(s, ints, 12);
    PutLE(s, floats, 20);
    s.resize(4 * (g.width + 1), '\0');
    for (int j = 0; j < g.height; ++j) {
        const std::int32_t row = j + 1;
        PutLE(s, &row, 4);
        for (int i = 0; i < g.width; ++i) {
            double lon, lat;
            fn(g, i, j, lon, lat);
            const float v = static_cast<float>(longitude ? -lon : lat);
            PutLE(s, &v, 4);
        }
    }
    return s;
}

// GTX: big-endian header and float heights, rows from the south.
inline std::string GtxBytes(const TestLattice& g, const std::function<float(int, int)>& height) {
    using namespace testgrid;
    std::string s;
    const double h[4] = {g.south, g.west, g.dy, g.dx};
    for (double v : h)
        PutBE(s, &v, 8);
    const std::int32_t rows = g.height, cols = g.width;
    PutBE(s, &rows, 4);
    PutBE(s, &cols, 4);
    for (int j = 0; j < g.height; ++j) {
        for (int i = 0; i < g.width; ++i) {
            const float v = height(i, j);
            PutBE(s, &v, 4);
        }
    }
    return s;
}

// A GeoTIFF grid as PROJ-data lays them out. The options cover the layouts
// that take different paths through a reader.
struct TestTiffOptions {
    bool tiled = false, separate = false, deflate = false, pixelIsArea = true;
    bool positiveWest = false;       // longitude offsets counted positive west
    std::string unit = "arc-second"; // of the offsets
    bool geoid = false;              // one height sample instead of two offsets
    bool int16Scaled = false;        // geoid heights as scaled 16-bit integers
    std::string nodata;              // GDAL_NODATA text, or none
    // PROJ-data's own layout: longitude, latitude offsets and their two
    // accuracies (four samples, longitude first), deflate with the
    // floating-point predictor.
    bool projData = false;
};

inline void RegisterGeoTiffTags(TIFF* t) {
    static const TIFFFieldInfo fields[] = {
        {33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScaleTag")},
        {33922, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelTiepointTag")},
        {34735, -1, -1, TIFF_SHORT, FIELD_CUSTOM, 1, 1, const_cast<char*>("GeoKeyDirectoryTag")},
        {42112, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, const_cast<char*>("GDALMetadata")},
        {42113, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, const_cast<char*>("GDALNoDataValue")},
    };
    for (const TIFFFieldInfo& f : fields)
        if (!TIFFFindField(t, f.field_tag, TIFF_ANY)) TIFFMergeFieldInfo(t, &f, 1);
}

// One image directory per lattice (the first the parent of the others when
// there are several); values in arc-seconds (or the unit asked) or metres.
inline bool WriteTestTiff(const std::string& path, const std::vector<TestLattice>& grids,
                          const TestShiftFn& fn, const std::function<float(int, int)>& height,
                          const TestTiffOptions& o) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) return false;
    for (const TestLattice& g : grids) {
        RegisterGeoTiffTags(t);
        const int spp = o.geoid ? 1 : o.projData ? 4 : 2;
        const int latSample = o.projData ? 1 : 0, lonSample = o.projData ? 0 : 1;
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, g.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, g.height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, o.int16Scaled ? 16 : 32);
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, o.int16Scaled ? SAMPLEFORMAT_INT : SAMPLEFORMAT_IEEEFP);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        if (spp > 1) {
            const std::uint16_t extra[3] = {EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED,
                                            EXTRASAMPLE_UNSPECIFIED};
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, spp - 1, extra);
        }
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, o.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION,
                     o.deflate || o.projData ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE);
        if (o.projData) TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_FLOATINGPOINT);
        if (&g != &grids[0]) TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        const int tile = 16;
        if (o.tiled) {
            TIFFSetField(t, TIFFTAG_TILEWIDTH, tile);
            TIFFSetField(t, TIFFTAG_TILELENGTH, tile);
        } else {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 3);
        }
        const double half = o.pixelIsArea ? 0.5 : 0.0;
        const double scale[3] = {g.dx, g.dy, 0};
        const double tie[6] = {0, 0, 0, g.west - half * g.dx, g.south + g.dy * (g.height - 1) + half * g.dy,
                               0};
        const std::uint16_t keys[] = {
            1,    1, 0, 3,   1024, 0, 1, 2, 1025, 0, 1, static_cast<std::uint16_t>(o.pixelIsArea ? 1 : 2),
            2048, 0, 1, 4326};
        TIFFSetField(t, 33550, 3, scale);
        TIFFSetField(t, 33922, 6, tie);
        TIFFSetField(t, 34735, 16, keys);
        std::string md = "<GDALMetadata>";
        if (o.geoid) {
            md += "<Item name=\"TYPE\">VERTICAL_OFFSET_GEOGRAPHIC_TO_VERTICAL</Item>"
                  "<Item name=\"DESCRIPTION\" sample=\"0\" role=\"description\">geoid_undulation</Item>"
                  "<Item name=\"UNITTYPE\" sample=\"0\" role=\"unittype\">metre</Item>";
            if (o.int16Scaled)
                md += "<Item name=\"SCALE\" sample=\"0\" role=\"scale\">0.01</Item>"
                      "<Item name=\"OFFSET\" sample=\"0\" role=\"offset\">-20</Item>";
        } else {
            md += "<Item name=\"TYPE\">HORIZONTAL_OFFSET</Item>"
                  "<Item name=\"grid_name\">" +
                  g.name + "</Item>";
            if (g.parent != "NONE") md += "<Item name=\"parent_grid_name\">" + g.parent + "</Item>";
            auto item = [&](const char* name, int sample, const char* role, const std::string& text) {
                md += std::string("<Item name=\"") + name + "\" sample=\"" + std::to_string(sample) + "\"" +
                      (*role ? std::string(" role=\"") + role + "\"" : std::string()) + ">" + text +
                      "</Item>";
            };
            item("DESCRIPTION", latSample, "description", "latitude_offset");
            item("DESCRIPTION", lonSample, "description", "longitude_offset");
            item("UNITTYPE", latSample, "unittype", o.unit);
            item("UNITTYPE", lonSample, "unittype", o.unit);
            item("positive_value", lonSample, "", o.positiveWest ? "west" : "east");
            if (o.projData) {
                item("DESCRIPTION", 2, "description", "longitude_offset_accuracy");
                item("DESCRIPTION", 3, "description", "latitude_offset_accuracy");
            }
        }
        md += "</GDALMetadata>";
        TIFFSetField(t, 42112, md.c_str());
        if (!o.nodata.empty()) TIFFSetField(t, 42113, o.nodata.c_str());
        const double toUnit = o.unit == "degree" ? 1.0 / 3600 : 1.0;
        // Pixel (i, row) holds node (i, height - 1 - row): images run from the north.
        auto value = [&](int i, int row, int sample) -> double {
            const int j = g.height - 1 - row;
            if (o.geoid) {
                const float h = height(i, j);
                return o.int16Scaled ? std::lround((h + 20) / 0.01) : h;
            }
            double lon, lat;
            fn(g, i, j, lon, lat);
            if (sample == latSample) return lat * toUnit;
            if (sample == lonSample) return (o.positiveWest ? -lon : lon) * toUnit;
            return 0.05; // an accuracy, metres
        };
        const int planes = o.separate ? spp : 1, perPixel = o.separate ? 1 : spp;
        const int bw = o.tiled ? tile : g.width, bh = o.tiled ? tile : 3;
        std::vector<unsigned char> buf;
        for (int p = 0; p < planes; ++p) {
            for (int by = 0; by < g.height; by += bh) {
                for (int bx = 0; bx < g.width; bx += bw) {
                    const int rows = o.tiled ? bh : std::min(bh, g.height - by);
                    buf.assign(static_cast<size_t>(bw) * rows * perPixel * (o.int16Scaled ? 2 : 4), 0);
                    for (int r = 0; r < rows && by + r < g.height; ++r) {
                        for (int c = 0; c < bw && bx + c < g.width; ++c) {
                            for (int s = 0; s < perPixel; ++s) {
                                const double v = value(bx + c, by + r, o.separate ? p : s);
                                const size_t at = (static_cast<size_t>(r) * bw + c) * perPixel + s;
                                if (o.int16Scaled) {
                                    const std::int16_t x = static_cast<std::int16_t>(v);
                                    std::memcpy(&buf[2 * at], &x, 2);
                                } else {
                                    const float x = static_cast<float>(v);
                                    std::memcpy(&buf[4 * at], &x, 4);
                                }
                            }
                        }
                    }
                    const tsize_t n = static_cast<tsize_t>(buf.size());
                    const tsize_t ok =
                        o.tiled ? TIFFWriteEncodedTile(t, TIFFComputeTile(t, bx, by, 0, p), buf.data(), n)
                                : TIFFWriteEncodedStrip(t, TIFFComputeStrip(t, by, p), buf.data(), n);
                    if (ok < 0) {
                        TIFFClose(t);
                        return false;
                    }
                }
            }
        }
        if (!TIFFWriteDirectory(t)) {
            TIFFClose(t);
            return false;
        }
    }
    TIFFClose(t);
    return true;
}
