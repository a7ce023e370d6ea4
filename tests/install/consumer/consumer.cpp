// Uses one exported class of each subsystem through the umbrella header.
#include <ZrPrj50/ZrPrj50.h>

#include <cmath>
#include <cstdio>

int main() {
    CZrPJCoordSys cs;
    if (!cs.Set(static_cast<tagPJCoordSysType>(32650))) return 1;
    CPoint2D p(117.0, 0.0);
    cs.Forward(&p, 1);
    if (std::fabs(p.x - 500000.0) > 1e-3 || std::fabs(p.y) > 1e-3) return 2;
    CZrPJTranslator translator;
    CMarkup xml;
    std::printf("%s %.3f %.3f %s\n", cs.GetName().c_str(), p.x, p.y, CZrPJMath::Degree2StrDMS(30.5).c_str());
    return 0;
}
