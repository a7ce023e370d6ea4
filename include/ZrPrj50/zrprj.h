/*
 * ZrPrj50's C interface: coordinate systems, transformations between them and
 * geodesics on their ellipsoids, for C and for other languages' foreign
 * function interfaces. C99; every object is an opaque handle, every function
 * returns a zr_status and never lets a C++ exception through.
 *
 * Longitude and latitude are in decimal degrees, longitude first (x), always;
 * projected coordinates are in the system's own unit, easting first, but for
 * the south-west Krovak systems (EPSG:2065, 5513, 8352, and the modified
 * 5224, 5515), whose southing comes first as EPSG, PROJ and cs2cs give it.
 *
 * Threads: a zr_crs, zr_transformer or zr_geod is only read once it is made,
 * so several threads may use one at once. The last error is kept per thread.
 */
#ifndef ZRPRJ50_ZRPRJ_H
#define ZRPRJ50_ZRPRJ_H

#include <stddef.h>

#if defined(_WIN32)
#if defined(ZRPRJ50_BUILDING)
#define ZR_API __declspec(dllexport)
#else
#define ZR_API __declspec(dllimport)
#endif
#else
#define ZR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum zr_status {
    ZR_OK = 0,
    ZR_ERR_ARGUMENT = 1,     /* a null handle or pointer, a negative count, an unknown value */
    ZR_ERR_NOT_FOUND = 2,    /* no system or operation has that code */
    ZR_ERR_UNREADABLE = 3,   /* a text none of the forms reads, or that the library cannot express */
    ZR_ERR_UNSUPPORTED = 4,  /* the form asked for cannot express this system */
    ZR_ERR_NO_OPERATION = 5, /* no known operation joins the two systems' datums */
    ZR_ERR_BUFFER_SIZE = 6,  /* the buffer is too small; the length needed is given back */
    ZR_ERR_MEMORY = 7,
    ZR_ERR_INTERNAL = 8,
    ZR_ERR_POINTS = 9 /* some points had no image; they are set to HUGE_VAL, the rest are done */
} zr_status;

/* The forms a system is written in. */
typedef enum zr_format {
    ZR_FORMAT_ESRI_WKT1 = 1,   /* ESRI's WKT1, what shapefile .prj files hold */
    ZR_FORMAT_WKT1_GDAL = 2,   /* OGC WKT1 as GDAL writes it */
    ZR_FORMAT_WKT2_2019 = 3,   /* ISO 19162:2019 */
    ZR_FORMAT_PROJ_STRING = 4, /* "+proj=... +type=crs" */
    ZR_FORMAT_PROJJSON = 5,
    ZR_FORMAT_TEXT = 6,      /* the library's one-line text form */
    ZR_FORMAT_XML = 7,       /* the library's XML form */
    ZR_FORMAT_KEY_VALUE = 8, /* the library's key-value .prj form */
    /* Every int is a value of the type (other values are refused with
     * ZR_ERR_ARGUMENT), whatever a caller in another language passes. */
    ZR_FORMAT_INT_MIN_ = -0x7fffffff - 1,
    ZR_FORMAT_INT_MAX_ = 0x7fffffff
} zr_format;

typedef enum zr_crs_kind { ZR_CRS_PLANAR = 0, ZR_CRS_GEOGRAPHIC = 1, ZR_CRS_PROJECTED = 2 } zr_crs_kind;

typedef enum zr_direction {
    ZR_FORWARD = 1,
    ZR_INVERSE = 0,
    ZR_DIRECTION_INT_MIN_ = -0x7fffffff - 1, /* as for zr_format */
    ZR_DIRECTION_INT_MAX_ = 0x7fffffff
} zr_direction;

typedef struct zr_crs zr_crs;
typedef struct zr_transformer zr_transformer;
typedef struct zr_geod zr_geod;

/* ---- Library ---- */

/* The library's version; any pointer may be null. text lives as long as the library. */
ZR_API zr_status zr_version(int* major, int* minor, int* patch, const char** text);

/* The message of the last failure on this thread ("" after none); valid until the
 * thread's next call into this interface. */
ZR_API zr_status zr_last_error(const char** message);

/* ---- Coordinate systems ---- */

/* A system of the library's catalogue: a projected row, else a geographic system. */
ZR_API zr_status zr_crs_from_code(long code, zr_crs** out);
/* authority "EPSG", "ESRI" or "ZRPRJ" (the catalogue), any letter case. */
ZR_API zr_status zr_crs_from_authority(const char* authority, long code, zr_crs** out);
ZR_API zr_status zr_crs_from_epsg(long code, zr_crs** out);
/* Whatever names a system: a catalogue code, "EPSG:n", "ESRI:n", the path of a
 * system file, or WKT (any dialect), PROJJSON or PROJ string text. */
ZR_API zr_status zr_crs_from_user_input(const char* text, zr_crs** out);
ZR_API zr_status zr_crs_clone(const zr_crs* crs, zr_crs** out);
/* Null is accepted and ignored. */
ZR_API zr_status zr_crs_destroy(zr_crs* crs);

/* The system written in a form, NUL-terminated into buffer of size bytes.
 * length (may be null) receives the text's length without the NUL; a null
 * buffer of size 0 asks for the length alone. A buffer too small gets
 * ZR_ERR_BUFFER_SIZE and nothing written. */
ZR_API zr_status zr_crs_export(const zr_crs* crs, zr_format format, char* buffer, size_t size,
                               size_t* length);
/* name lives as long as crs. */
ZR_API zr_status zr_crs_name(const zr_crs* crs, const char** name);
ZR_API zr_status zr_crs_kind_of(const zr_crs* crs, zr_crs_kind* kind);
/* The EPSG code, -1000 when the system has none. */
ZR_API zr_status zr_crs_epsg_code(const zr_crs* crs, long* code);
/* equal receives 1 when the two define the same system (names aside), else 0. */
ZR_API zr_status zr_crs_equals(const zr_crs* a, const zr_crs* b, int* equal);
/* The geographic system of crs (itself for a geographic one). */
ZR_API zr_status zr_crs_geographic(const zr_crs* crs, zr_crs** out);
/* The ellipsoid of the system's datum: semi-major axis in metres and inverse
 * flattening (0 for a sphere). */
ZR_API zr_status zr_crs_ellipsoid(const zr_crs* crs, double* semi_major, double* inverse_flattening);

/* ---- Transformations ---- */

/* From src to dst by the operation the library chooses for the two systems:
 * none on one geographic system, else EPSG's best transformation between the
 * two geographic systems. ZR_ERR_NO_OPERATION when the datums differ and none
 * is known. */
ZR_API zr_status zr_transformer_create(const zr_crs* src, const zr_crs* dst, zr_transformer** out);
/* By a named EPSG transformation ("EPSG:1193" or "1193"), applied forwards or
 * reversed as the two systems require. */
ZR_API zr_status zr_transformer_create_with_operation(const zr_crs* src, const zr_crs* dst,
                                                      const char* operation, zr_transformer** out);
/* By a datum-shift method (EPSG's codes 9603 to 9608, or 42607) and its seven
 * values: translations in metres, rotations in arc-seconds, scale in ppm. */
ZR_API zr_status zr_transformer_create_helmert(const zr_crs* src, const zr_crs* dst, int method,
                                               const double values[7], zr_transformer** out);
ZR_API zr_status zr_transformer_destroy(zr_transformer* transformer);
/* One line naming the operation ("EPSG:1193 NTF to WGS 84 (1)", "none: one
 * geographic system", ...); lives as long as transformer. */
ZR_API zr_status zr_transformer_description(const zr_transformer* transformer, const char** text);
/* The coordinate epoch (decimal year, such as 2020.0) of the points converted
 * next, for operations that move with time (EPSG's time-dependent Helmerts
 * between ITRF realisations and ETRF or NAD83 frames, as cs2cs reads a fourth
 * column); the other operations ignore it. NaN clears it: a time-dependent
 * operation then takes its values as stated at its reference epoch. An
 * infinite epoch is ZR_ERR_ARGUMENT. Not safe while another thread converts
 * with the same transformer. */
ZR_API zr_status zr_transformer_set_epoch(zr_transformer* transformer, double epoch);

/* In place over count points held in separate arrays, each with its own stride
 * in bytes (sizeof(double) for a plain array; a multiple for interleaved x, y, z
 * records). z may be null, and is then taken as 0. A point with a non-finite
 * coordinate, with a latitude beyond 90 degrees where longitude/latitude are
 * read, or that the conversion takes to a non-finite place, is set to
 * HUGE_VAL; failed (may be null) receives their number and the status is
 * ZR_ERR_POINTS when there are any. A point the projection itself clamps or
 * leaves (Mercator's pole, the far side of a conic) comes back as the
 * library's array calls leave it: a round trip finds those. */
ZR_API zr_status zr_transform(const zr_transformer* transformer, zr_direction direction, size_t count,
                              double* x, ptrdiff_t x_stride, double* y, ptrdiff_t y_stride, double* z,
                              ptrdiff_t z_stride, size_t* failed);

/* ---- Geodesics on an ellipsoid ---- */

/* On the ellipsoid of the system's datum, in longitude and latitude whatever
 * the system is (distances in metres, azimuths in degrees from north). */
ZR_API zr_status zr_geod_create(const zr_crs* crs, zr_geod** out);
/* On an ellipsoid given by semi-major axis (m) and flattening (0 for a sphere). */
ZR_API zr_status zr_geod_create_ellipsoid(double semi_major, double flattening, zr_geod** out);
ZR_API zr_status zr_geod_destroy(zr_geod* geod);
ZR_API zr_status zr_geod_inverse(const zr_geod* geod, double lon1, double lat1, double lon2, double lat2,
                                 double* azi1, double* azi2, double* distance);
ZR_API zr_status zr_geod_direct(const zr_geod* geod, double lon1, double lat1, double azi1, double distance,
                                double* lon2, double* lat2, double* azi2);
/* The polygon of count vertices (closed implicitly), counter-clockwise area
 * positive, in square metres; perimeter in metres. */
ZR_API zr_status zr_geod_polygon(const zr_geod* geod, size_t count, const double* lon, ptrdiff_t lon_stride,
                                 const double* lat, ptrdiff_t lat_stride, double* area, double* perimeter);

#ifdef __cplusplus
}
#endif

#endif /* ZRPRJ50_ZRPRJ_H */
