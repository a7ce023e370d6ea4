// Lambert conic conformal (2SP Michigan): Michigan's state plane zones put
// the cone on an ellipsoid enlarged by a scaling factor K (the state's mean
// height above the ellipsoid), which scales every radius of the cone, hence
// every coordinate about the apex, by K. The two-parallel cone as the
// Lambert kind computes it; the frame applies K.
#include "projection/ZrPJOperator.h"

int CZrPJOperator::Setup_Lambert_Michigan() {
    if (!Setup_Conformal_Conic()) return 0;
    double k = 1.0;
    if (!ScaleFromDefinition(k)) return 0;
    // One standard parallel: the cone's own set-up has taken k0 already.
    if (m_def.parallelMode == 1) k = 1.0;
    m_kc.scale = k;
    m_kc.invScale = 1.0 / k;
    return 1;
}

int CZrPJOperator::Lambert_Michigan_Forward(CPoint2D& pt) const {
    return Conformal_Conic_Forward(pt);
}

int CZrPJOperator::Lambert_Michigan_Inverse(CPoint2D& pt) const {
    return Conformal_Conic_Inverse(pt);
}
