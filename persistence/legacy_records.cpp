#include "persistence/ZrProjectionDef.h"
#include "persistence/form_p.h"

#include "platform/ZrArchive.h"

#include <cstdint>
#include <cstring>

namespace {
// Clarke 1866, the ellipsoid of the records' default description.
constexpr double kClarke1866SemiMajor = 6378206.4;
constexpr double kClarke1866SemiMinor = 6356583.8;
const char kDefaultSpheroid[] = "Clarke 1866";
const char kDefaultProjection[] = "Robinson";

// Doubles travel as little-endian IEEE 754 whatever the host.
void PutDouble(unsigned char* out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double GetDouble(const unsigned char* in) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t(in[i]) << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace

CProjectionParameters::CProjectionParameters() {
    for (double& value : m_dValues)
        value = 0.0;
    m_dValues[1] = kClarke1866SemiMajor;
    m_dValues[2] = kClarke1866SemiMinor;
}

CProjectionParameters::CProjectionParameters(const CProjectionParameters& other) {
    *this = other;
}

CProjectionParameters::~CProjectionParameters() = default;

CProjectionParameters& CProjectionParameters::operator=(const CProjectionParameters& other) {
    for (int i = 0; i < kValueCount; ++i)
        m_dValues[i] = other.m_dValues[i];
    return *this;
}

CProjectionInfo::CProjectionInfo()
    : m_strSpheroid(kDefaultSpheroid), m_strDatum(kDefaultSpheroid), m_strProjection(kDefaultProjection),
      m_strName(kDefaultProjection) {}

CProjectionInfo::CProjectionInfo(const CProjectionInfo& other) = default;
CProjectionInfo::~CProjectionInfo() = default;
CProjectionInfo& CProjectionInfo::operator=(const CProjectionInfo& other) = default;

CProjectionDef::CProjectionDef() = default;
CProjectionDef::CProjectionDef(const CProjectionDef& other)
    : m_params(other.m_params), m_info(other.m_info) {}
CProjectionDef::~CProjectionDef() = default;

CProjectionDef& CProjectionDef::operator=(const CProjectionDef& other) {
    m_params = other.m_params;
    m_info = other.m_info;
    return *this;
}

int CProjectionDef::SaveParamToArray(CByteArray& bytes) const {
    return zrprj::Guarded(0, [&]() -> int {
        bytes.SetSize(kArraySize);
        unsigned char* out = bytes.GetData();
        std::memset(out, 0, kHeaderSize);
        for (int i = 0; i < CProjectionParameters::kValueCount; ++i)
            PutDouble(out + kHeaderSize + 8 * i, m_params.m_dValues[i]);
        return 1;
    });
}

int CProjectionDef::LoadParamFromArray(const CByteArray& bytes) {
    return zrprj::Guarded(0, [&]() -> int {
        if (bytes.GetSize() < kArraySize) return 0;
        const unsigned char* in = bytes.GetData();
        for (int i = 0; i < CProjectionParameters::kValueCount; ++i)
            m_params.m_dValues[i] = GetDouble(in + kHeaderSize + 8 * i);
        return 1;
    });
}
