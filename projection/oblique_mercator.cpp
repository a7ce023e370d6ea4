// Oblique Mercator kinds (Hotine form, centre and azimuth of the central line).
// Not yet implemented: every routine reports failure, so Create refuses these kinds.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Setup_Oblique_Mercator() { return 0; }
int CZrPJOperator::Oblique_Mercator_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Oblique_Mercator_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Hotine_Oblique_Mercator_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Hotine_Oblique_Mercator_Inverse(CPoint2D&) const { return 0; }
