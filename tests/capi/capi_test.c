/* The C interface from a C99 program: systems named every way, projection and
 * datum conversion over strided columns (PROJ's C interface as the oracle on
 * the same records), export to every form and back, failures and their
 * statuses, geodesics. Exit status 0 when every check holds. */
#include <ZrPrj50/zrprj.h>

#include <proj.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

static int g_failures = 0;

#define CHECK(cond, ...)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            ++g_failures;                                                                                    \
            fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #cond);                                       \
            fprintf(stderr, __VA_ARGS__);                                                                    \
            fputc('\n', stderr);                                                                             \
        }                                                                                                    \
    } while (0)

/* Printed coordinates carry millimetres; PROJ and the library agree to
 * well under that on these systems. */
#define MM 1e-3

static const double kDegree = 3.14159265358979323846 / 180.0;

static const char* last_error(void) {
    const char* text = "";
    zr_last_error(&text);
    return text;
}

static zr_crs* crs_of(const char* text) {
    zr_crs* crs = NULL;
    zr_status s = zr_crs_from_user_input(text, &crs);
    CHECK(s == ZR_OK, "%s: status %d: %s", text, (int)s, last_error());
    return crs;
}

/* Every way of naming a system gives the kind and EPSG code it should. */
static void test_systems(void) {
    static const struct {
        const char* text;
        zr_crs_kind kind;
        long epsg;
    } cases[] = {
        {"EPSG:32650", ZR_CRS_PROJECTED, 32650},
        {"epsg: 4326", ZR_CRS_GEOGRAPHIC, 4326},
        {"21420", ZR_CRS_PROJECTED, 21420},      /* catalogue code: Beijing 1954 GK zone 20 */
        {"ESRI:54030", ZR_CRS_PROJECTED, -1000}, /* World Robinson, ESRI's own code */
        {"EPSG:2154", ZR_CRS_PROJECTED, 2154},   /* built from EPSG's definition */
        {"+proj=utm +zone=50 +datum=WGS84 +type=crs", ZR_CRS_PROJECTED, 0}, /* 0: not asked */
    };
    size_t i;
    for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        zr_crs* crs = crs_of(cases[i].text);
        zr_crs_kind kind = ZR_CRS_PLANAR;
        long epsg = 0;
        const char* name = NULL;
        if (!crs) continue;
        CHECK(zr_crs_kind_of(crs, &kind) == ZR_OK && kind == cases[i].kind, "%s: kind %d", cases[i].text,
              (int)kind);
        CHECK(zr_crs_epsg_code(crs, &epsg) == ZR_OK && (cases[i].epsg == 0 || epsg == cases[i].epsg),
              "%s: EPSG %ld", cases[i].text, epsg);
        CHECK(zr_crs_name(crs, &name) == ZR_OK && name && *name, "%s: no name", cases[i].text);
        zr_crs_destroy(crs);
    }
    {
        zr_crs *a = NULL, *b = NULL, *c = crs_of("EPSG:32651");
        int equal = -1;
        CHECK(zr_crs_from_epsg(32650, &a) == ZR_OK, "from_epsg: %s", last_error());
        CHECK(zr_crs_from_authority("esri", 32650, &b) == ZR_OK, "from_authority: %s", last_error());
        CHECK(zr_crs_equals(a, b, &equal) == ZR_OK && equal == 1, "EPSG:32650 and ESRI:32650 differ");
        CHECK(zr_crs_equals(a, c, &equal) == ZR_OK && equal == 0, "zones 50 and 51 are equal");
        zr_crs_destroy(c);
        zr_crs_destroy(a);
        zr_crs_destroy(b);
    }
}

/* What cannot be done says so: the status, and a message on the thread. */
static void test_failures(void) {
    zr_crs* crs = NULL;
    zr_transformer* t = NULL;
    const char* text = NULL;
    CHECK(zr_crs_from_user_input(NULL, &crs) == ZR_ERR_ARGUMENT && *last_error(), "null text");
    CHECK(zr_crs_from_epsg(999999, &crs) == ZR_ERR_NOT_FOUND && crs == NULL, "unknown code: %s",
          last_error());
    CHECK(zr_crs_from_user_input("PROJCS[\"x\", nonsense", &crs) == ZR_ERR_UNREADABLE && crs == NULL,
          "broken WKT: %s", last_error());
    CHECK(zr_crs_from_authority("IGNF", 1, &crs) == ZR_ERR_NOT_FOUND, "unknown authority");
    /* A success clears the message of the failure before it. */
    crs = crs_of("EPSG:4326");
    CHECK(*last_error() == '\0', "stale message: %s", last_error());
    CHECK(zr_crs_export(crs, (zr_format)99, NULL, 0, NULL) == ZR_ERR_ARGUMENT, "unknown format");
    CHECK(zr_transformer_create(crs, NULL, &t) == ZR_ERR_ARGUMENT, "null destination");
    CHECK(zr_transformer_description(NULL, &text) == ZR_ERR_ARGUMENT, "null transformer");
    CHECK(zr_transform(NULL, ZR_FORWARD, 0, NULL, 0, NULL, 0, NULL, 0, NULL) == ZR_ERR_ARGUMENT,
          "null transformer");
    {
        /* An ellipsoid with no datum EPSG knows: no operation joins it to
         * WGS 84, and none is invented. */
        zr_crs* intl = crs_of("+proj=longlat +a=6378388 +rf=297 +no_defs +type=crs");
        if (intl) {
            CHECK(zr_transformer_create(intl, crs, &t) == ZR_ERR_NO_OPERATION,
                  "datum change without operation");
            zr_crs_destroy(intl);
        }
    }
    CHECK(zr_crs_destroy(NULL) == ZR_OK && zr_transformer_destroy(NULL) == ZR_OK &&
              zr_geod_destroy(NULL) == ZR_OK,
          "destroying null");
    zr_crs_destroy(crs);
}

/* Longitude/latitude records of three doubles, the columns read through
 * strides, against PROJ on the same records; and back. */
static void test_project_strided(void) {
    enum { N = 1000 };
    static double rec[N][3], oracle[N][3];
    zr_crs *wgs = crs_of("EPSG:4326"), *utm = crs_of("EPSG:32650");
    zr_transformer* t = NULL;
    PJ_CONTEXT* ctx = proj_context_create();
    PJ *raw = proj_create_crs_to_crs(ctx, "EPSG:4326", "EPSG:32650", NULL), *pj = NULL;
    size_t failed = 99, i;
    double worst = 0.0;
    if (!wgs || !utm || !raw) return;
    pj = proj_normalize_for_visualization(ctx, raw);
    for (i = 0; i < N; ++i) {
        rec[i][0] = oracle[i][0] = 111.0 + 12.0 * (double)i / N; /* UTM zone 50 and 6 degrees beyond */
        rec[i][1] = oracle[i][1] = -60.0 + 140.0 * (double)((i * 7919) % N) / N;
        rec[i][2] = oracle[i][2] = 100.0;
    }
    proj_trans_generic(pj, PJ_FWD, &oracle[0][0], sizeof rec[0], N, &oracle[0][1], sizeof rec[0], N, NULL, 0,
                       0, NULL, 0, 0);
    CHECK(zr_transformer_create(wgs, utm, &t) == ZR_OK, "%s", last_error());
    CHECK(zr_transform(t, ZR_FORWARD, N, &rec[0][0], sizeof rec[0], &rec[0][1], sizeof rec[0], NULL, 0,
                       &failed) == ZR_OK &&
              failed == 0,
          "%s", last_error());
    for (i = 0; i < N; ++i) {
        const double d = hypot(rec[i][0] - oracle[i][0], rec[i][1] - oracle[i][1]);
        if (d > worst) worst = d;
        CHECK(rec[i][2] == 100.0, "a 2-D transform touched z of record %u", (unsigned)i);
    }
    CHECK(worst < MM, "forward differs from PROJ by %.6f m", worst);
    CHECK(zr_transform(t, ZR_INVERSE, N, &rec[0][0], sizeof rec[0], &rec[0][1], sizeof rec[0], NULL, 0,
                       NULL) == ZR_OK,
          "%s", last_error());
    worst = 0.0;
    for (i = 0; i < N; ++i) {
        const double lon0 = 111.0 + 12.0 * (double)i / N, lat0 = -60.0 + 140.0 * (double)((i * 7919) % N) / N;
        /* degrees to metres on the ground, roughly: fine for a millimetre bar */
        const double d = 111319.5 * hypot((rec[i][0] - lon0) * cos(lat0 * kDegree), rec[i][1] - lat0);
        if (d > worst) worst = d;
    }
    CHECK(worst < MM, "round trip misses by %.6f m", worst);
    zr_transformer_destroy(t);
    proj_destroy(pj);
    proj_destroy(raw);
    proj_context_destroy(ctx);
    zr_crs_destroy(wgs);
    zr_crs_destroy(utm);
}

/* A datum conversion by a named EPSG transformation, and the points the
 * conversion cannot take: marked, counted, the rest still done. */
static void test_convert(void) {
    /* Beijing 1954 to WGS 84 UTM 50N by EPSG:15919, as the tool prints it. */
    double x[4] = {117.2008, 116.4074, 117.2, NAN}, y[4] = {39.0842, 39.9042, 91.0, 30.0};
    static const double expect[2][2] = {{517424.676, 4326178.546}, {449401.358, 4417332.860}};
    zr_crs *bj = crs_of("EPSG:4214"), *utm = crs_of("EPSG:32650");
    zr_transformer* t = NULL;
    size_t failed = 0;
    const char* text = NULL;
    int i;
    if (!bj || !utm) return;
    CHECK(zr_transformer_create_with_operation(bj, utm, "EPSG:15919", &t) == ZR_OK, "%s", last_error());
    if (!t) return;
    CHECK(zr_transformer_description(t, &text) == ZR_OK && strstr(text, "15919"), "description %s", text);
    CHECK(zr_transform(t, ZR_FORWARD, 4, x, sizeof x[0], y, sizeof y[0], NULL, 0, &failed) == ZR_ERR_POINTS,
          "status with failed points");
    CHECK(failed == 2, "%u points failed, not 2", (unsigned)failed);
    for (i = 0; i < 2; ++i)
        CHECK(fabs(x[i] - expect[i][0]) < 0.6 * MM && fabs(y[i] - expect[i][1]) < 0.6 * MM,
              "point %d: %.4f %.4f", i, x[i], y[i]);
    CHECK(x[2] == HUGE_VAL && y[2] == HUGE_VAL && x[3] == HUGE_VAL, "unconvertible points not marked");
    zr_transformer_destroy(t);
    t = NULL;
    /* Hungary's EOV built from EPSG's definition and EPSG:4237, the catalogue's
     * system of its base, name their datum differently (HD72 and
     * GCS_Hungarian_1972): one geographic system all the same, no operation. */
    {
        zr_crs *hd72 = crs_of("EPSG:4237"), *eov = crs_of("EPSG:23700");
        double e = 19.0, n = 47.0;
        CHECK(hd72 && eov && zr_transformer_create(hd72, eov, &t) == ZR_OK, "%s", last_error());
        CHECK(t && zr_transformer_description(t, &text) == ZR_OK && strncmp(text, "none", 4) == 0, "%s",
              text);
        /* PROJ's image of the point; the catalogue's GRS 67 flattening carries
         * fewer digits than EPSG's, which moves Hungary by up to 2 mm. */
        CHECK(zr_transform(t, ZR_FORWARD, 1, &e, 0, &n, 0, NULL, 0, NULL) == ZR_OK &&
                  fabs(e - 646306.0585) < 2 * MM && fabs(n - 183949.6225) < 2 * MM,
              "EOV %.3f %.3f", e, n);
        zr_transformer_destroy(t);
        t = NULL;
        zr_crs_destroy(hd72);
        zr_crs_destroy(eov);
    }
    /* The library's own choice between these two geographic systems joins them. */
    CHECK(zr_transformer_create(bj, utm, &t) == ZR_OK, "%s", last_error());
    CHECK(zr_transformer_description(t, &text) == ZR_OK && strncmp(text, "EPSG:", 5) == 0, "description %s",
          text);
    zr_transformer_destroy(t);
    t = NULL;
    zr_crs_destroy(bj);
    zr_crs_destroy(utm);
}

/* Projected coordinates in EPSG's order where PROJ gives it: the south-west
 * Krovak systems southing first (PROJ: AXIS["southing (X)",south],
 * AXIS["westing (Y)",west]), the east-north one easting first; from WGS 84
 * (the same EPSG shift both sides choose) or the system's own geographic one
 * (Ferro's longitudes for 2065), both ways. */
static void test_epsg_axis_order(void) {
    static const struct {
        const char *geographic, *projected;
        double lon, lat;
    } cases[] = {{"EPSG:4326", "EPSG:5513", 15.0, 50.0},
                 {"EPSG:8351", "EPSG:8352", 17.5, 49.0},
                 {"EPSG:4818", "EPSG:2065", 15.0 + 17.0 + 40.0 / 60.0, 50.0},
                 {"EPSG:4326", "EPSG:5514", 15.0, 50.0}};
    size_t i;
    PJ_CONTEXT* ctx = proj_context_create();
    for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        zr_crs *g = crs_of(cases[i].geographic), *p = crs_of(cases[i].projected);
        zr_transformer* t = NULL;
        PJ* pj = proj_create_crs_to_crs(ctx, cases[i].geographic, cases[i].projected, NULL);
        double x = cases[i].lon, y = cases[i].lat;
        PJ_COORD c = proj_coord(cases[i].lat, cases[i].lon, 0, 0); /* EPSG's latitude first */
        CHECK(g && p && pj && zr_transformer_create(g, p, &t) == ZR_OK, "%s: %s", cases[i].projected,
              last_error());
        if (t && pj) {
            c = proj_trans(pj, PJ_FWD, c);
            CHECK(zr_transform(t, ZR_FORWARD, 1, &x, 0, &y, 0, NULL, 0, NULL) == ZR_OK &&
                      fabs(x - c.xy.x) < MM && fabs(y - c.xy.y) < MM,
                  "%s: %.4f %.4f, PROJ %.4f %.4f", cases[i].projected, x, y, c.xy.x, c.xy.y);
            /* 2e-8 degrees, 2 mm: a seven-parameter shift reversed by its
             * signs (as PROJ reverses it) is not its exact inverse. */
            CHECK(zr_transform(t, ZR_INVERSE, 1, &x, 0, &y, 0, NULL, 0, NULL) == ZR_OK &&
                      fabs(x - cases[i].lon) < 2e-8 && fabs(y - cases[i].lat) < 2e-8,
                  "%s back: %.10f %.10f", cases[i].projected, x, y);
        }
        proj_destroy(pj);
        zr_transformer_destroy(t);
        zr_crs_destroy(g);
        zr_crs_destroy(p);
    }
    proj_context_destroy(ctx);
}

/* A datum shift stated in the text travels with the system, as PROJ's
 * BoundCRS: OSGB 1936 with EPSG 1314's seven values under a datum name EPSG
 * gives no code, and PROJ's own string for Web Mercator (+nadgrids=@null),
 * each converted to WGS 84 as PROJ converts them; the export writes the
 * shift again. */
static void test_carried_shift(void) {
    static const struct {
        const char* text;
        double x, y;
        zr_format form; /* an exchange form with a place for this shift */
        const char* written;
    } cases[] = {
        {"GEOGCS[\"OSGB 1936\",DATUM[\"OSGB_1936\",SPHEROID[\"Airy 1830\",6377563.396,299.3249646],"
         "TOWGS84[446.448,-125.157,542.06,0.15,0.247,0.842,-20.489]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433]]",
         -1.0, 52.0, ZR_FORMAT_WKT1_GDAL, "TOWGS84[446.448,-125.157,542.06,0.15,0.247,0.842,-20.489]"},
        {"+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 +k=1 +units=m "
         "+nadgrids=@null +wktext +no_defs",
         -111000.0, 6800000.0, ZR_FORMAT_PROJ_STRING, "+nadgrids=@null"},
    };
    PJ_CONTEXT* ctx = proj_context_create();
    size_t i;
    zr_crs* wgs84 = crs_of("EPSG:4326");
    for (i = 0; wgs84 && i < sizeof cases / sizeof cases[0]; ++i) {
        zr_crs* src = crs_of(cases[i].text);
        zr_transformer* t = NULL;
        double x = cases[i].x, y = cases[i].y;
        char wkt[4096];
        PJ* pj = proj_create_crs_to_crs(ctx, cases[i].text, "EPSG:4326", NULL);
        PJ* norm = pj ? proj_normalize_for_visualization(ctx, pj) : NULL;
        PJ_COORD c = proj_coord(cases[i].x, cases[i].y, 0, 0);
        if (!src || !norm) {
            CHECK(0, "case %u not built", (unsigned)i);
            continue;
        }
        c = proj_trans(norm, PJ_FWD, c);
        CHECK(zr_transformer_create(src, wgs84, &t) == ZR_OK, "case %u: %s", (unsigned)i, last_error());
        CHECK(t && zr_transform(t, ZR_FORWARD, 1, &x, 0, &y, 0, NULL, 0, NULL) == ZR_OK, "%s", last_error());
        /* A millimetre on the ground, as an angle. */
        CHECK(fabs(x - c.xy.x) < 1e-8 && fabs(y - c.xy.y) < 1e-8, "case %u: %.10f %.10f, PROJ %.10f %.10f",
              (unsigned)i, x, y, c.xy.x, c.xy.y);
        CHECK(zr_crs_export(src, cases[i].form, wkt, sizeof wkt, NULL) == ZR_OK && strstr(wkt, cases[i].written),
              "case %u: the export lost the shift: %s", (unsigned)i, wkt);
        zr_transformer_destroy(t);
        zr_crs_destroy(src);
        proj_destroy(norm);
        proj_destroy(pj);
    }
    zr_crs_destroy(wgs84);
    proj_context_destroy(ctx);
}

/* Every form written; the exchange forms read back project as the original. */
static void test_export(void) {
    static const zr_format formats[] = {ZR_FORMAT_ESRI_WKT1,   ZR_FORMAT_WKT1_GDAL, ZR_FORMAT_WKT2_2019,
                                        ZR_FORMAT_PROJ_STRING, ZR_FORMAT_PROJJSON,  ZR_FORMAT_TEXT,
                                        ZR_FORMAT_XML,         ZR_FORMAT_KEY_VALUE};
    static char text[65536];
    zr_crs *crs = crs_of("EPSG:2154"), *wgs = crs_of("EPSG:4326");
    size_t i, length = 0;
    if (!crs || !wgs) return;
    for (i = 0; i < sizeof formats / sizeof formats[0]; ++i) {
        char tiny[8] = "xxxxxxx";
        CHECK(zr_crs_export(crs, formats[i], NULL, 0, &length) == ZR_OK && length > 20, "format %d: %s",
              (int)formats[i], last_error());
        CHECK(zr_crs_export(crs, formats[i], tiny, sizeof tiny, &length) == ZR_ERR_BUFFER_SIZE &&
                  strcmp(tiny, "xxxxxxx") == 0,
              "format %d: a small buffer is written or not refused", (int)formats[i]);
        CHECK(zr_crs_export(crs, formats[i], text, sizeof text, &length) == ZR_OK && strlen(text) == length,
              "format %d: %s", (int)formats[i], last_error());
        if (formats[i] <= ZR_FORMAT_PROJJSON) {
            /* Each projects from its own geographic system: a PROJ string
             * names an ellipsoid, not always a datum. */
            zr_crs *back = crs_of(text), *base = NULL;
            zr_transformer *a = NULL, *b = NULL;
            double xa = 2.35, ya = 48.85, xb = 2.35, yb = 48.85;
            if (!back) continue;
            CHECK(zr_crs_geographic(back, &base) == ZR_OK, "%s", last_error());
            CHECK(zr_transformer_create(wgs, crs, &a) == ZR_OK &&
                      zr_transformer_create(base, back, &b) == ZR_OK,
                  "%s", last_error());
            zr_transform(a, ZR_FORWARD, 1, &xa, 0, &ya, 0, NULL, 0, NULL);
            zr_transform(b, ZR_FORWARD, 1, &xb, 0, &yb, 0, NULL, 0, NULL);
            CHECK(fabs(xa - 652301.565) < MM && hypot(xa - xb, ya - yb) < MM,
                  "format %d read back: %.4f %.4f against %.4f %.4f", (int)formats[i], xb, yb, xa, ya);
            zr_transformer_destroy(a);
            zr_transformer_destroy(b);
            zr_crs_destroy(back);
            zr_crs_destroy(base);
        }
    }
    zr_crs_destroy(crs);
    zr_crs_destroy(wgs);
}

static void test_geod(void) {
    zr_crs* wgs = crs_of("EPSG:4326");
    zr_geod* g = NULL;
    double azi1 = 0, azi2 = 0, s = 0, lon2 = 0, lat2 = 0;
    /* A 1-degree square at the equator, counter-clockwise, and clockwise. */
    double lon[4] = {0, 1, 1, 0}, lat[4] = {0, 0, 1, 1}, area = 0, perimeter = 0, area_cw = 0;
    if (!wgs) return;
    /* Beijing to Shanghai on WGS 84 as EPSG defines it: GeographicLib's own
     * figure to the nanometre; on the catalogue's WGS 84, whose flattening
     * carries fewer digits, within 0.1 mm. */
    CHECK(zr_geod_create_ellipsoid(6378137.0, 1 / 298.257223563, &g) == ZR_OK, "%s", last_error());
    CHECK(zr_geod_inverse(g, 116.4, 39.9, 121.47, 31.23, &azi1, &azi2, &s) == ZR_OK, "%s", last_error());
    CHECK(fabs(s - 1065615.456586989) < 1e-6, "distance %.9f", s);
    zr_geod_destroy(g);
    CHECK(zr_geod_create(wgs, &g) == ZR_OK, "%s", last_error());
    CHECK(zr_geod_inverse(g, 116.4, 39.9, 121.47, 31.23, &azi1, &azi2, &s) == ZR_OK, "%s", last_error());
    CHECK(fabs(s - 1065615.456586989) < 1e-4, "distance %.9f", s);
    CHECK(zr_geod_direct(g, 116.4, 39.9, azi1, s, &lon2, &lat2, NULL) == ZR_OK &&
              fabs(lon2 - 121.47) < 1e-9 && fabs(lat2 - 31.23) < 1e-9,
          "direct %.12f %.12f", lon2, lat2);
    CHECK(zr_geod_polygon(g, 4, lon, sizeof lon[0], lat, sizeof lat[0], &area, &perimeter) == ZR_OK, "%s",
          last_error());
    CHECK(zr_geod_polygon(g, 4, lon + 3, -(ptrdiff_t)sizeof lon[0], lat + 3, -(ptrdiff_t)sizeof lat[0],
                          &area_cw, NULL) == ZR_OK,
          "%s", last_error());
    CHECK(area > 1.2e10 && area < 1.24e10 && fabs(area + area_cw) < 1e-3, "areas %.3f %.3f", area, area_cw);
    zr_geod_destroy(g);
    zr_crs_destroy(wgs);
}

/* A time-dependent Helmert takes the epoch the host sets: ITRF2014 to ETRF2000
 * (EPSG:8405, between the geographic systems on the two frames) at 2020.0 agrees with PROJ given the same
 * epoch as the fourth coordinate (cs2cs's fourth column); cleared, the values hold at their reference epoch,
 * 2010.0, 16 cm away in Europe. */
static void test_epoch(void) {
    zr_crs *itrf = crs_of("EPSG:9000"), *etrf = crs_of("EPSG:9067");
    zr_transformer* t = NULL;
    PJ_CONTEXT* ctx = proj_context_create();
    PJ *raw = proj_create_crs_to_crs(ctx, "EPSG:9000", "EPSG:9067", NULL), *pj = NULL;
    CHECK(raw != NULL, "PROJ has no operation");
    pj = proj_normalize_for_visualization(ctx, raw);
    CHECK(itrf && etrf && zr_transformer_create(itrf, etrf, &t) == ZR_OK, "%s", last_error());
    CHECK(zr_transformer_set_epoch(NULL, 2020.0) == ZR_ERR_ARGUMENT, "null transformer");
    CHECK(zr_transformer_set_epoch(t, HUGE_VAL) == ZR_ERR_ARGUMENT, "infinite epoch accepted");
    if (t && pj) {
        const double lon[3] = {10.0, -5.0, 25.0}, lat[3] = {50.0, 40.0, 60.0};
        double worst = 0.0, moved = HUGE_VAL;
        size_t i;
        for (i = 0; i < 3; ++i) {
            double x = lon[i], y = lat[i], z = 100.0, x0 = lon[i], y0 = lat[i], z0 = 100.0;
            PJ_COORD c = proj_coord(lon[i], lat[i], 100.0, 2020.0);
            c = proj_trans(pj, PJ_FWD, c);
            CHECK(zr_transformer_set_epoch(t, 2020.0) == ZR_OK, "%s", last_error());
            CHECK(zr_transform(t, ZR_FORWARD, 1, &x, 0, &y, 0, &z, 0, NULL) == ZR_OK, "%s", last_error());
            CHECK(zr_transformer_set_epoch(t, NAN) == ZR_OK, "%s", last_error());
            CHECK(zr_transform(t, ZR_FORWARD, 1, &x0, 0, &y0, 0, &z0, 0, NULL) == ZR_OK, "%s", last_error());
            worst = fmax(worst, hypot(hypot((x - c.lpz.lam) * cos(lat[i] * kDegree), y - c.lpz.phi) *
                                          6378137.0 * kDegree,
                                      z - c.lpz.z));
            moved = fmin(moved, hypot((x - x0) * cos(lat[i] * kDegree), y - y0) * 6378137.0 * kDegree);
        }
        CHECK(worst < MM, "at epoch 2020.0 %.6f m from PROJ", worst);
        CHECK(moved > 0.1, "the epoch moved points by %.6f m only", moved);
    }
    zr_transformer_destroy(t);
    proj_destroy(pj);
    proj_destroy(raw);
    proj_context_destroy(ctx);
    zr_crs_destroy(itrf);
    zr_crs_destroy(etrf);
}

int main(void) {
    int major = -1;
    const char* version = NULL;
    CHECK(zr_version(&major, NULL, NULL, &version) == ZR_OK && major >= 5 && version && *version, "version");
    test_systems();
    test_failures();
    test_project_strided();
    test_convert();
    test_epsg_axis_order();
    test_carried_shift();
    test_epoch();
    test_export();
    test_geod();
    if (g_failures) fprintf(stderr, "%d checks failed\n", g_failures);
    return g_failures ? 1 : 0;
}
