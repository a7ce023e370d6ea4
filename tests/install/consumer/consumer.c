/* A C host of the installed library: the C interface alone, C99. */
#include <ZrPrj50/zrprj.h>

#include <math.h>
#include <stdio.h>

int main(void) {
    zr_crs *wgs = NULL, *utm = NULL;
    zr_transformer* t = NULL;
    double x = 117.0, y = 0.0;
    char esri[4096];
    if (zr_crs_from_epsg(4326, &wgs) != ZR_OK || zr_crs_from_user_input("EPSG:32650", &utm) != ZR_OK)
        return 1;
    if (zr_transformer_create(wgs, utm, &t) != ZR_OK) return 2;
    if (zr_transform(t, ZR_FORWARD, 1, &x, 0, &y, 0, NULL, 0, NULL) != ZR_OK) return 3;
    if (fabs(x - 500000.0) > 1e-3 || fabs(y) > 1e-3) return 4;
    if (zr_crs_export(utm, ZR_FORMAT_ESRI_WKT1, esri, sizeof esri, NULL) != ZR_OK) return 5;
    printf("%.3f %.3f %.40s\n", x, y, esri);
    zr_transformer_destroy(t);
    zr_crs_destroy(utm);
    zr_crs_destroy(wgs);
    return 0;
}
