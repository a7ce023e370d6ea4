#pragma once

#include "platform/ZrExport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A growable array of bytes in the manner of MFC's CByteArray.
class ZRPRJ_API CByteArray {
public:
    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    // New bytes are zero; a negative size empties the array.
    void SetSize(int size) { m_data.resize(size > 0 ? static_cast<std::size_t>(size) : 0); }
    void RemoveAll() { m_data.clear(); }
    int Add(unsigned char value) {
        m_data.push_back(value);
        return GetSize() - 1;
    }

    // Null for an empty array.
    unsigned char* GetData() { return m_data.empty() ? nullptr : m_data.data(); }
    const unsigned char* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }

    // Unchecked, like the subscript of a std::vector; GetAt/SetAt check the
    // index (GetAt gives 0 and SetAt does nothing outside the array).
    unsigned char& operator[](int index) { return m_data[static_cast<std::size_t>(index)]; }
    unsigned char operator[](int index) const { return m_data[static_cast<std::size_t>(index)]; }
    unsigned char GetAt(int index) const {
        return index >= 0 && index < GetSize() ? m_data[static_cast<std::size_t>(index)] : 0;
    }
    void SetAt(int index, unsigned char value) {
        if (index >= 0 && index < GetSize()) m_data[static_cast<std::size_t>(index)] = value;
    }

private:
    std::vector<unsigned char> m_data;
};

// A binary archive in the manner of MFC's CArchive, over a byte buffer that
// can be filled from or saved to a file.
//
// The operators write and read the layout of the records that existing
// installations exchange, whatever the host: 32-bit little-endian integers
// (a long is stored in 32 bits, as on Windows) and IEEE 754 doubles in
// little-endian byte order. Write and Read move raw bytes unchanged.
//
// Nothing throws. A read that the buffer cannot satisfy whole copies nothing,
// leaves the target as it was, moves to the end of the data and sets the
// failure flag, so a short or truncated record can never leave half a value
// behind; the same flag marks a write to a loading archive, a read from a
// storing one and a long that does not fit in 32 bits (which is not written).
class ZRPRJ_API CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // An archive for storing, or for loading from an empty buffer.
    explicit CArchive(Mode mode) : m_loading(mode == load) {}
    // An archive loading from a copy of the bytes.
    CArchive(const void* data, unsigned size);
    explicit CArchive(const CByteArray& bytes);

    bool IsStoring() const { return !m_loading; }
    bool IsLoading() const { return m_loading; }
    // Nonzero once any operation has failed (see above).
    int IsFailed() const { return m_failed ? 1 : 0; }
    void ClearFailed() { m_failed = false; }

    // Appends the bytes (storing archives only); returns the count written.
    unsigned Write(const void* data, unsigned count);
    // Copies count bytes, or nothing when fewer remain; returns the count copied.
    unsigned Read(void* data, unsigned count);
    // Bytes still to be read.
    unsigned GetRemaining() const;

    // The bytes stored so far, or the bytes being loaded.
    const std::vector<unsigned char>& GetBuffer() const { return m_buffer; }
    void GetBytes(CByteArray& bytes) const;

    // A loading archive takes the whole file as its data and starts at its
    // beginning; a storing archive saves its bytes atomically (a failed save
    // leaves the previous file as it was). Both return 1 or 0.
    int LoadFile(const char* path);
    int SaveFile(const char* path) const;

    CArchive& operator<<(int value);
    CArchive& operator<<(unsigned value);
    CArchive& operator<<(long value);
    CArchive& operator<<(double value);
    CArchive& operator>>(int& value);
    CArchive& operator>>(unsigned& value);
    CArchive& operator>>(long& value);
    CArchive& operator>>(double& value);

private:
    void PutU32(std::uint32_t value);
    bool GetU32(std::uint32_t& value);

    bool m_loading;
    bool m_failed = false;
    std::size_t m_pos = 0;
    std::vector<unsigned char> m_buffer;
};
