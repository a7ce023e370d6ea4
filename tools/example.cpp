// Builds a Gauss-Krueger operator on the Krasovsky ellipsoid (Beijing 1954,
// 6-degree zone 20, central meridian 117E) by hand and projects a few cities
// there and back.
#include <ZrPrj50/ZrPrj50.h>

#include <cstdio>

int main() {
    CZrPJOperator op;
    op.SetKind(43005);
    op.SetSemiMajorAxis(6378245.0);
    op.SetFlattening(1.0 / 298.3);
    op.SetCentralMeridian(117.0 * CZrPJMath::kDegToRad);
    op.SetFalseEasting(20500000.0);
    op.SetFalseNorthing(0.0);
    if (!op.Create()) {
        std::fprintf(stderr, "the operator could not be built\n");
        return 1;
    }
    struct City {
        const char* name;
        double lon, lat;
    } cities[] = {{"Beijing", 116.4074, 39.9042},
                  {"Tianjin", 117.2010, 39.0842},
                  {"Jinan", 117.1205, 36.6519},
                  {"Hefei", 117.2272, 31.8206}};
    std::printf("%-8s %14s %14s %16s %16s %14s %14s\n", "city", "lon", "lat", "easting", "northing",
                "lon back", "lat back");
    int failures = 0;
    for (const City& c : cities) {
        CPoint2D p(c.lon, c.lat);
        if (!op.Forward(p)) {
            ++failures;
            continue;
        }
        CPoint2D q = p;
        if (!op.Inverse(q)) ++failures;
        std::printf("%-8s %14.9f %14.9f %16.3f %16.3f %14.9f %14.9f\n", c.name, c.lon, c.lat, p.x, p.y, q.x,
                    q.y);
    }
    return failures ? 1 : 0;
}
