#include "geodesy/ZrPJMath.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr double kMinuteToDeg = 0.016666666666666666;
constexpr double kSecondToDeg = 0.0002777777777777778;
constexpr double kAtan2Tiny = 1e-50;

// Truncation toward zero into 32 bits, saturating instead of overflowing for
// angles beyond what a DMS text can hold.
int32_t TruncToInt32(double t) {
    if (!(t == t)) return 0;
    if (t >= 2147483647.0) return INT32_MAX;
    if (t <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(t);
}
} // namespace

double CZrPJMath::Deg2Rad(double deg) {
    return deg * kPi / 180.0;
}

double CZrPJMath::Deg2Rad(double d, double m, double s) {
    return (d + m * kMinuteToDeg + s * kSecondToDeg) * kPi / 180.0;
}

double CZrPJMath::DMS2Degree(double d, double m, double s) {
    return d + m * kMinuteToDeg + s * kSecondToDeg;
}

void CZrPJMath::Degree2DMS(double deg, double& d, double& m, double& s) {
    double t = deg * 3600.0;
    int32_t n = TruncToInt32(t);
    d = n / 3600;
    m = (n % 3600) / 60;
    s = (n % 3600) % 60 + (t - n);
}

double CZrPJMath::StrDMS2Degree(CString text) {
    text.TrimLeft();
    int comma = text.Find(',');
    if (comma < 0) return DMS2Degree(std::atof(text), 0.0, 0.0);
    double d = std::atof(text.Left(comma));
    CString rest = text.Mid(comma + 1);
    rest.TrimLeft();
    int second = rest.Find(',');
    if (second < 0) return DMS2Degree(d, std::atof(rest), 0.0);
    return DMS2Degree(d, std::atof(rest.Left(second)), std::atof(rest.Mid(second + 1)));
}

CString CZrPJMath::Degree2StrDMS(double deg) {
    double d, m, s;
    Degree2DMS(deg, d, m, s);
    CString text;
    text.Format("%d, %d, %f", static_cast<int>(d), static_cast<int>(m), s);
    return text;
}

double CZrPJMath::aasin(double x) {
    if (std::fabs(x) >= 1.0) return x >= 0.0 ? kHalfPi : -kHalfPi;
    return std::asin(x);
}

double CZrPJMath::aacos(double x) {
    if (std::fabs(x) >= 1.0) return x >= 0.0 ? 0.0 : kPi;
    return std::acos(x);
}

double CZrPJMath::aatan2(double y, double x) {
    if (std::fabs(y) < kAtan2Tiny && std::fabs(x) < kAtan2Tiny) return 0.0;
    return std::atan2(y, x);
}

double CZrPJMath::asqrt(double x) {
    return x > 0.0 ? std::sqrt(x) : 0.0;
}

double CZrPJMath::GetES(double a, double b) {
    double r = b / a;
    return 1.0 - r * r;
}

double CZrPJMath::GetES_From_Flatten(double f) {
    return f * (2.0 - f);
}

double CZrPJMath::GetES_From_RF(double rf) {
    return (1.0 / rf) * (2.0 - 1.0 / rf);
}

double CZrPJMath::GetE(double a, double b) {
    return std::sqrt(GetES(a, b));
}

double CZrPJMath::Getone_ES(double a, double b) {
    return 1.0 - GetE(a, b);
}

double CZrPJMath::GetFlatten(double a, double b) {
    return 1.0 - b / a;
}

double CZrPJMath::GetW(double phi, double es) {
    double s = std::sin(phi);
    return std::sqrt(1.0 - es * s * s);
}

double CZrPJMath::GetU(double phi, double e) {
    double psi = std::asin(e * std::sin(phi));
    return std::tan(kQuarterPi + phi / 2.0) / std::pow(std::tan(kQuarterPi + psi / 2.0), e);
}

// Half the authalic quantity q; e sin(phi) is formed from the eccentricity e.
double CZrPJMath::GetF(double phi, double e, double es) {
    double s = std::sin(phi);
    double es_ = e * s;
    return (1.0 - es) *
           (s / (2.0 * (1.0 - es_ * es_)) + (1.0 / (4.0 * e)) * std::log((1.0 + es_) / (1.0 - es_)));
}

double CZrPJMath::ZAngle(double lam1, double phi1, double lam2, double phi2) {
    return std::acos(std::cos(lam1 - lam2) * std::cos(phi1) * std::cos(phi2) +
                     std::sin(phi1) * std::sin(phi2));
}

double CZrPJMath::AAngle(double lam1, double phi1, double lam2, double phi2) {
    return std::atan2(std::cos(phi1) * std::sin(lam1 - lam2),
                      std::sin(phi1) * std::cos(phi2) -
                          std::cos(phi1) * std::cos(lam1 - lam2) * std::sin(phi2));
}

void CZrPJMath::AZ_To_LP(double& azimuthToLam, double& zenithToPhi, double lam0, double phi0) {
    double A = azimuthToLam, Z = zenithToPhi;
    double phi = std::asin(std::sin(phi0) * std::cos(Z) + std::cos(phi0) * std::sin(Z) * std::cos(A));
    double lam = std::atan2(std::sin(A) * std::sin(Z),
                            std::cos(Z) * std::cos(phi0) - std::sin(Z) * std::cos(A) * std::sin(phi0)) +
                 lam0;
    azimuthToLam = lam;
    zenithToPhi = phi;
}

void CZrPJMath::LP_To_AZ(double& lamToAzimuth, double& phiToZenith, double lam0, double phi0) {
    double dlam = lamToAzimuth - lam0, phi = phiToZenith;
    double A = std::atan2(std::cos(phi) * std::sin(dlam),
                          std::sin(phi) * std::cos(phi0) - std::cos(phi) * std::sin(phi0) * std::cos(dlam));
    double Z = std::acos(std::cos(phi0) * std::cos(dlam) * std::cos(phi) + std::sin(phi0) * std::sin(phi));
    lamToAzimuth = A;
    phiToZenith = Z;
}

// The reduced-latitude pair holds U in x and L in y.
void CZrPJMath::LU2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& b) {
    double U = pt.x, L = pt.y;
    xyz.x = a * std::cos(U) * std::cos(L);
    xyz.y = a * std::cos(U) * std::sin(L);
    xyz.z = b * std::sin(U);
}

void CZrPJMath::XYZ2LU(CPoint2D& pt, const CPoint3D& xyz, const double&, const double& b) {
    pt.x = std::asin(xyz.z / b);
    pt.y = std::atan2(xyz.y, xyz.x);
}

void CZrPJMath::LF2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& es) {
    double lam = pt.x, F = pt.y;
    double cF = std::cos(F);
    double r = a * std::sqrt(1.0 - es) / std::sqrt(1.0 - es * cF * cF);
    xyz.x = r * cF * std::cos(lam);
    xyz.y = r * cF * std::sin(lam);
    xyz.z = r * std::sin(F);
}

// Returns the geocentric latitude in x and the longitude in y, the reverse of
// LF2XYZ's order; kept so because callers of the exported function rely on it.
void CZrPJMath::XYZ2LF(CPoint2D& pt, const CPoint3D& xyz, const double&, const double&) {
    pt.x = std::atan2(xyz.z, std::hypot(xyz.x, xyz.y));
    pt.y = std::atan2(xyz.y, xyz.x);
}

void CZrPJMath::LP2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& es) {
    double lam = pt.x, phi = pt.y;
    double N = a / GetW(phi, es);
    xyz.x = N * std::cos(phi) * std::cos(lam);
    xyz.y = N * std::cos(phi) * std::sin(lam);
    xyz.z = N * (1.0 - es) * std::sin(phi);
}

void CZrPJMath::XYZ2LP(CPoint2D& pt, const CPoint3D& xyz, const double&, const double& es) {
    pt.y = std::atan2(xyz.z, (1.0 - es) * std::hypot(xyz.x, xyz.y));
    pt.x = std::atan2(xyz.y, xyz.x);
}

void CZrPJMath::LPH2XYZ(CPoint3D& pt, const double& a, const double& es) {
    double lam = pt.x, phi = pt.y, h = pt.z;
    double N = a / GetW(phi, es);
    double cphi = std::cos(phi);
    pt.x = (N + h) * cphi * std::cos(lam);
    pt.y = (N + h) * cphi * std::sin(lam);
    pt.z = (N * (1.0 - es) + h) * std::sin(phi);
}

// A closed (non-iterative) inversion: the height follows from the distance to
// the centre, corrected to second order in the eccentricity, and the latitude
// from the height.
void CZrPJMath::XYZ2LPH(CPoint3D& pt, const double& a, const double& es) {
    double X = pt.x, Y = pt.y, Z = pt.z;
    double r = std::sqrt(X * X + Y * Y + Z * Z);
    double s = Z * Z / (r * r);
    double q = es / (2.0 - es);
    double k = 4.0 * (s - s * s) * q * q;
    double g = 1.0 - es;
    double H = (1.0 - k / 2.0) * (r - a / std::sqrt((es / g) * s + 1.0));
    double t = H / (a / std::sqrt(1.0 - (k + s) * es));
    double phi = std::atan2((es / (t + g) + 1.0) * Z, std::hypot(X, Y));
    pt.x = std::atan2(Y, X);
    pt.y = phi;
    pt.z = H;
}

// Bowring's single step, in its published form: the numerator's correction is
// e'^2 b sin^3(theta). (With a in its place, as has been seen in the wild, the
// latitude is off by up to 1.5 arc-seconds and the height by tens of metres.)
void CZrPJMath::XYZ2LPH2(CPoint3D& pt, const double& a, const double& b, const double& es) {
    double X = pt.x, Y = pt.y, Z = pt.z;
    double p = std::hypot(X, Y);
    double t = Z * a / (p * b);
    double c = std::sqrt(t * t + 1.0);
    double st = t / c, ct = 1.0 / c;
    double ep2 = es / (1.0 - es);
    double phi = std::atan2(Z + ep2 * b * st * st * st, p - es * a * ct * ct * ct);
    pt.x = std::atan2(Y, X);
    pt.y = phi;
    pt.z = p / std::cos(phi) - a / GetW(phi, es);
}

void CZrPJMath::XYZ2LPH3(CPoint3D& pt, const double& a, const double& b, const double& es) {
    double X = pt.x, Y = pt.y, Z = pt.z;
    CPoint3D tmp(X, Y, Z);
    XYZ2LPH2(tmp, a, b, es);
    double ep2 = es / (1.0 - es);
    pt.x = tmp.x;
    pt.y = tmp.y;
    pt.z = GetW(tmp.y, es) * (std::sqrt(X * X + Y * Y + (1.0 + ep2) * Z * Z) - a);
}
