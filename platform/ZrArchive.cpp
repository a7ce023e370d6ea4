#include "platform/ZrArchive.h"

#include "platform/ZrFile.h"

#include <cstring>
#include <limits>

static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "the archive stores doubles as IEEE 754 binary64");

CArchive::CArchive(const void* data, unsigned size) : m_loading(true) {
    if (data && size > 0) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        m_buffer.assign(bytes, bytes + size);
    }
}

CArchive::CArchive(const CByteArray& bytes)
    : CArchive(bytes.GetData(), static_cast<unsigned>(bytes.GetSize())) {}

unsigned CArchive::Write(const void* data, unsigned count) {
    if (m_loading || (!data && count > 0)) {
        m_failed = true;
        return 0;
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    return count;
}

unsigned CArchive::Read(void* data, unsigned count) {
    if (!m_loading || (!data && count > 0)) {
        m_failed = true;
        return 0;
    }
    if (count > GetRemaining()) {
        m_pos = m_buffer.size();
        m_failed = true;
        return 0;
    }
    if (count > 0) std::memcpy(data, m_buffer.data() + m_pos, count);
    m_pos += count;
    return count;
}

unsigned CArchive::GetRemaining() const {
    return m_loading && m_pos < m_buffer.size() ? static_cast<unsigned>(m_buffer.size() - m_pos) : 0;
}

void CArchive::GetBytes(CByteArray& bytes) const {
    bytes.SetSize(static_cast<int>(m_buffer.size()));
    if (!m_buffer.empty()) std::memcpy(bytes.GetData(), m_buffer.data(), m_buffer.size());
}

int CArchive::LoadFile(const char* path) {
    if (!m_loading) return 0;
    std::string bytes;
    if (!CZrFile::ReadAll(path, bytes, CZrFile::kMaxDocumentSize)) return 0;
    m_buffer.assign(bytes.begin(), bytes.end());
    m_pos = 0;
    m_failed = false;
    return 1;
}

int CArchive::SaveFile(const char* path) const {
    if (m_loading) return 0;
    return CZrFile::SaveAtomic(path, std::string(m_buffer.begin(), m_buffer.end()));
}

// Byte order is spelled out, so the records are the same on any host.
void CArchive::PutU32(std::uint32_t value) {
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    Write(bytes, 4);
}

bool CArchive::GetU32(std::uint32_t& value) {
    unsigned char bytes[4];
    if (Read(bytes, 4) != 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return true;
}

CArchive& CArchive::operator<<(int value) {
    PutU32(static_cast<std::uint32_t>(value));
    return *this;
}

CArchive& CArchive::operator<<(unsigned value) {
    PutU32(static_cast<std::uint32_t>(value));
    return *this;
}

CArchive& CArchive::operator<<(long value) {
    // A Windows long has 32 bits; a wider value would be cut silently.
    if (value < INT32_MIN || value > INT32_MAX) {
        m_failed = true;
        return *this;
    }
    PutU32(static_cast<std::uint32_t>(value));
    return *this;
}

CArchive& CArchive::operator<<(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    Write(bytes, 8);
    return *this;
}

CArchive& CArchive::operator>>(int& value) {
    std::uint32_t raw;
    if (GetU32(raw)) value = static_cast<std::int32_t>(raw);
    return *this;
}

CArchive& CArchive::operator>>(unsigned& value) {
    std::uint32_t raw;
    if (GetU32(raw)) value = raw;
    return *this;
}

CArchive& CArchive::operator>>(long& value) {
    std::uint32_t raw;
    if (GetU32(raw)) value = static_cast<std::int32_t>(raw);
    return *this;
}

CArchive& CArchive::operator>>(double& value) {
    unsigned char bytes[8];
    if (Read(bytes, 8) != 8) return *this;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}
