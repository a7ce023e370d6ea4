// Azimuthal kinds on the sphere: stereographic, Lambert equal-area, azimuthal
// equidistant, orthographic, gnomonic and two-point equidistant.
// Not yet implemented: every routine reports failure, so Create refuses these kinds.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Setup_Two_Point_Equidistant() { return 0; }
int CZrPJOperator::Conformal_Azimuth_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Conformal_Azimuth_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EqualArea_Azimuth_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EqualArea_Azimuth_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Equidistant_Azimuth_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Equidistant_Azimuth_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Orthograph_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Orthograph_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Gnomonic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Gnomonic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Two_Point_Equidistant_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Two_Point_Equidistant_Inverse(CPoint2D&) const { return 0; }
