#include "model/ZrPJParams.h"

CZrPJParams::CZrPJParams()
    : FalseEasting(0.0), FalseNorthing(0.0), CentralMeridian(0.0), CentralParallel(0.0),
      StandardParallel1(0.0), StandardParallel2(0.0), ScaleFactor(1.0), Azimuth(0.0),
      FirstPointLongitude(0.0), SecondPointLongitude(0.0), TranslationX(0.0), TranslationY(0.0),
      TranslationZ(0.0), RotationX(0.0), RotationY(0.0), RotationZ(0.0), ScaleDifference(0.0) {}

CZrPJParams::CZrPJParams(const CZrPJParams& other) = default;

CZrPJParams::~CZrPJParams() = default;

void CZrPJParams::operator=(const CZrPJParams& other) {
    FalseEasting = other.FalseEasting;
    FalseNorthing = other.FalseNorthing;
    CentralMeridian = other.CentralMeridian;
    CentralParallel = other.CentralParallel;
    StandardParallel1 = other.StandardParallel1;
    StandardParallel2 = other.StandardParallel2;
    ScaleFactor = other.ScaleFactor;
    Azimuth = other.Azimuth;
    FirstPointLongitude = other.FirstPointLongitude;
    SecondPointLongitude = other.SecondPointLongitude;
    TranslationX = other.TranslationX;
    TranslationY = other.TranslationY;
    TranslationZ = other.TranslationZ;
    RotationX = other.RotationX;
    RotationY = other.RotationY;
    RotationZ = other.RotationZ;
    ScaleDifference = other.ScaleDifference;
}

// Exact comparison, in the order in which the text form writes the values.
int CZrPJParams::operator==(const CZrPJParams& o) const {
    return FalseEasting == o.FalseEasting && FalseNorthing == o.FalseNorthing &&
           CentralMeridian == o.CentralMeridian && StandardParallel1 == o.StandardParallel1 &&
           StandardParallel2 == o.StandardParallel2 && ScaleFactor == o.ScaleFactor &&
           CentralParallel == o.CentralParallel && Azimuth == o.Azimuth &&
           FirstPointLongitude == o.FirstPointLongitude && SecondPointLongitude == o.SecondPointLongitude &&
           TranslationX == o.TranslationX && TranslationY == o.TranslationY &&
           TranslationZ == o.TranslationZ && RotationX == o.RotationX && RotationY == o.RotationY &&
           RotationZ == o.RotationZ && ScaleDifference == o.ScaleDifference;
}
