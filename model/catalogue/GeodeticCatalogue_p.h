#pragma once

// The built-in catalogues of the geodetic reference objects and projection
// kinds: fixed rows in ascending code order, found by binary search, so a
// lookup costs a handful of comparisons and allocates nothing. The names are
// literals; the objects copy them when they are set from a row.

#include <cstddef>

struct ZrSpheroidRow {
    long code;
    const char* name;
    double axis;       // semi-major axis, metres
    double flattening; // f itself, 0 for a sphere
};

struct ZrPrimeMeridianRow {
    long code;
    const char* name;
    double longitude; // decimal degrees east of Greenwich
};

struct ZrDatumRow {
    long code;
    const char* name;
    long spheroid;
};

struct ZrGeoCoordSysRow {
    long code;
    const char* name;
    long datum;
    long primeMeridian;
};

struct ZrProjectionKindRow {
    long code;
    const char* name;
};

// Each lookup returns the row of the code, or nullptr when the code has none.
// The *At functions return nullptr for an index outside 0 .. count-1.
const ZrSpheroidRow* ZrFindSpheroidRow(long code);
int ZrSpheroidRowCount();
const ZrSpheroidRow* ZrSpheroidRowAt(int index);

const ZrPrimeMeridianRow* ZrFindPrimeMeridianRow(long code);
int ZrPrimeMeridianRowCount();
const ZrPrimeMeridianRow* ZrPrimeMeridianRowAt(int index);

const ZrDatumRow* ZrFindDatumRow(long code);
int ZrDatumRowCount();
const ZrDatumRow* ZrDatumRowAt(int index);

const ZrGeoCoordSysRow* ZrFindGeoCoordSysRow(long code);
int ZrGeoCoordSysRowCount();
const ZrGeoCoordSysRow* ZrGeoCoordSysRowAt(int index);

const ZrProjectionKindRow* ZrFindProjectionKindRow(long code);
int ZrProjectionKindRowCount();
const ZrProjectionKindRow* ZrProjectionKindRowAt(int index);

// ---- Helpers shared by the catalogue sources ----

template <class Row, std::size_t N> constexpr bool ZrRowsAscending(const Row (&rows)[N]) {
    for (std::size_t i = 1; i < N; ++i)
        if (!(rows[i - 1].code < rows[i].code)) return false;
    return true;
}

template <class Row, std::size_t N> const Row* ZrFindRowByCode(const Row (&rows)[N], long code) {
    std::size_t lo = 0, hi = N;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (rows[mid].code < code)
            lo = mid + 1;
        else
            hi = mid;
    }
    return (lo < N && rows[lo].code == code) ? &rows[lo] : nullptr;
}

template <class Row, std::size_t N> constexpr int ZrRowCount(const Row (&)[N]) {
    return static_cast<int>(N);
}

template <class Row, std::size_t N> const Row* ZrRowAt(const Row (&rows)[N], int index) {
    return (index >= 0 && static_cast<std::size_t>(index) < N) ? &rows[index] : nullptr;
}
