// Grid files: placeholder bodies until the readers land; every open refuses.
#include "transform/ZrGrid.h"

struct ZrHorizontalGridData {
    std::string path;
};
struct ZrGeoidGridData {
    std::string path;
};

void ZrSetGridDirectory(const std::string&) {}
std::string ZrGetGridDirectory() { return {}; }
std::vector<std::string> ZrGridSearchPath() { return {}; }
int ZrFindGrid(const std::string& name, std::string&, std::string* reason) {
    if (reason) *reason = "grid not found: " + name;
    return 0;
}

CZrHorizontalShiftGrid::CZrHorizontalShiftGrid(std::unique_ptr<ZrHorizontalGridData> data) : m_data(std::move(data)) {}
CZrHorizontalShiftGrid::~CZrHorizontalShiftGrid() = default;
std::shared_ptr<const CZrHorizontalShiftGrid> CZrHorizontalShiftGrid::Open(const std::string& name, std::string* reason) {
    if (reason) *reason = "grid not found: " + name;
    return nullptr;
}
int CZrHorizontalShiftGrid::Forward(double&, double&) const { return 0; }
int CZrHorizontalShiftGrid::Inverse(double&, double&) const { return 0; }
int CZrHorizontalShiftGrid::ForwardDeg(CPoint2D&) const { return 0; }
int CZrHorizontalShiftGrid::InverseDeg(CPoint2D&) const { return 0; }
long CZrHorizontalShiftGrid::Apply(CPoint2D*, long, int) const { return 0; }
void CZrHorizontalShiftGrid::Extent(double&, double&, double&, double&) const {}
int CZrHorizontalShiftGrid::Contains(double, double) const { return 0; }
const std::string& CZrHorizontalShiftGrid::Path() const { return m_data->path; }

CZrGeoidGrid::CZrGeoidGrid(std::unique_ptr<ZrGeoidGridData> data) : m_data(std::move(data)) {}
CZrGeoidGrid::~CZrGeoidGrid() = default;
std::shared_ptr<const CZrGeoidGrid> CZrGeoidGrid::Open(const std::string& name, std::string* reason) {
    if (reason) *reason = "grid not found: " + name;
    return nullptr;
}
int CZrGeoidGrid::Height(double, double, double&) const { return 0; }
int CZrGeoidGrid::HeightDeg(double, double, double&) const { return 0; }
void CZrGeoidGrid::Extent(double&, double&, double&, double&) const {}
const std::string& CZrGeoidGrid::Path() const { return m_data->path; }
