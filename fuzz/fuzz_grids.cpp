// libFuzzer entry for the grid readers. The first byte picks the format the
// rest is read as (the readers take files, so the bytes are written to a
// file of this process first); a grid that opens is then asked for shifts
// and heights at points in, on the edge of and outside its extent, so the
// interpolation sees whatever lattice a reader accepts.

#include "transform/ZrGrid.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {
struct Format {
    const char* extension;
    bool geoid;
    bool pair; // NADCON: the same bytes as .las and .los
};
// NTv2 or NTv1 (chosen by the reader from the bytes), GeoTIFF offsets, GTX,
// GeoTIFF geoid heights, NADCON.
const Format kFormats[] = {{".gsb", false, false},
                           {".tif", false, false},
                           {".gtx", true, false},
                           {".tif", true, false},
                           {".las", false, true}};

bool Write(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// The files the inputs are written to, one set per process, removed when
// the run ends.
struct ScratchFiles {
    std::string stem = "/tmp/zrprj_fuzz_grid_" + std::to_string(getpid());
    ~ScratchFiles() {
        for (const char* ext : {".gsb", ".tif", ".gtx", ".las", ".los"}) std::remove((stem + ext).c_str());
    }
};

template <class At> void Probe(double w, double s, double e, double n, const At& at) {
    const double xs[] = {w, e, (w + e) / 2, w - 1e-9, e + 1e-9, w + (e - w) / 3};
    const double ys[] = {s, n, (s + n) / 2, s - 1e-9, n + 1e-9, s + (n - s) / 7};
    for (double x : xs)
        for (double y : ys)
            at(x, y);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const Format& format = kFormats[data[0] % (sizeof kFormats / sizeof kFormats[0])];
    static const ScratchFiles scratch;
    const std::string& stem = scratch.stem;
    const std::string path = stem + format.extension;
    if (!Write(path, data + 1, size - 1)) return 0;
    if (format.pair && !Write(stem + ".los", data + 1, size - 1)) return 0;
    std::string reason;
    double w = 0, s = 0, e = 0, n = 0;
    if (format.geoid) {
        if (auto grid = CZrGeoidGrid::Open(path, &reason)) {
            grid->Extent(w, s, e, n);
            Probe(w, s, e, n, [&](double x, double y) {
                double h = 0;
                grid->HeightDeg(x, y, h);
            });
        }
    } else if (auto grid = CZrHorizontalShiftGrid::Open(path, &reason)) {
        grid->Extent(w, s, e, n);
        Probe(w, s, e, n, [&](double x, double y) {
            CPoint2D p(x, y);
            if (grid->ForwardDeg(p)) grid->InverseDeg(p);
        });
    }
    return 0;
}
