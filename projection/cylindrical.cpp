// Normal-aspect cylindrical kinds: equidistant cylindrical, Mercator on the
// ellipsoid and the sphere, Miller, Gall stereographic, equal-area cylindrical.
// Not yet implemented: every routine reports failure, so Create refuses these kinds.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Equidistant_Cylindrical_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Equidistant_Cylindrical_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Miller_Cylindrical_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Miller_Cylindrical_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Conformal_Cylindrical_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Conformal_Cylindrical_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Gall_Stereographic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Gall_Stereographic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EqualArea_Cylindrical_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EqualArea_Cylindrical_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Sphere_Mercator_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Sphere_Mercator_Inverse(CPoint2D&) const { return 0; }
