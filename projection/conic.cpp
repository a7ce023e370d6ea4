// Conic and pseudoconic kinds: Albers, Lambert conformal conic, equidistant
// conic, polyconic, Bonne in both orientations and the China projection.
// Not yet implemented: every routine reports failure, so Create refuses these kinds.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Setup_EqualArea_Conic() { return 0; }
int CZrPJOperator::Setup_Conformal_Conic() { return 0; }
int CZrPJOperator::Setup_Equidistant_Conic() { return 0; }
int CZrPJOperator::Setup_Normal_Polyconic() { return 0; }
int CZrPJOperator::Setup_Bonne() { return 0; }
int CZrPJOperator::Setup_Bonne_South_Orientated() { return 0; }
int CZrPJOperator::EqualArea_Conic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::EqualArea_Conic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Conformal_Conic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Conformal_Conic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Equidistant_Conic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Equidistant_Conic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Normal_Polyconic_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Normal_Polyconic_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Bonne_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Bonne_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::Bonne_South_Orientated_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::Bonne_South_Orientated_Inverse(CPoint2D&) const { return 0; }
int CZrPJOperator::China_Forward(CPoint2D&) const { return 0; }
int CZrPJOperator::China_Inverse(CPoint2D&) const { return 0; }
double CZrPJOperator::ChinaA(double, double, double) const { return 0.0; }
double CZrPJOperator::ChinaA1(double, double) const { return 1.0; }
