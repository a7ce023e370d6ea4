// Pseudo-cylindrical world kinds: sinusoidal, Sanson, Mollweide, Eckert I-VI,
// Winkel I and II, Van der Grinten I, Robinson, loximuthal, quartic authalic.
// Not yet implemented: every routine reports failure, so Create refuses these kinds.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Sinusoidal_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Sinusoidal_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Sanson_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Sanson_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Mollweide_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Mollweide_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertI_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertI_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertII_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertII_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertIII_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertIII_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertIV_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertIV_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertV_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertV_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertVI_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EckertVI_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::WinkelI_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::WinkelI_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::WinkelII_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::WinkelII_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Van_Der_Grinten_I_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Van_Der_Grinten_I_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Robinson_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Robinson_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Loximuthal_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Loximuthal_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Quartic_Authalic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Quartic_Authalic_Inverse(CPoint2D&) const { return 0; }
