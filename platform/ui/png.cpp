#include "platform/ui/ZrDC.h"
#include "platform/ZrToolkit.h"

#include <algorithm>
#include <cstdio>

// A PNG writer small enough to need no compression library: 8-bit RGB rows
// without filtering, wrapped in zlib "stored" deflate blocks. The files are
// larger than compressed ones but any PNG reader takes them.

namespace {

// Largest payload of one stored deflate block.
const size_t kMaxStoredBlock = 65535;
// Adler-32 modulus (largest prime below 2^16).
const unsigned kAdlerModulus = 65521;

void PutBE32(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void PutChunk(std::vector<unsigned char>& out, const char type[4], const std::vector<unsigned char>& data) {
    PutBE32(out, static_cast<unsigned>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, CZrToolkit::Crc32(&out[start], out.size() - start));
}

// zlib stream of stored blocks around the raw bytes.
std::vector<unsigned char> StoredZlib(const std::vector<unsigned char>& raw) {
    std::vector<unsigned char> out;
    out.reserve(raw.size() + raw.size() / kMaxStoredBlock * 5 + 16);
    out.push_back(0x78); // deflate, 32 KiB window
    out.push_back(0x01); // no preset dictionary, fastest; (0x78 << 8 | 0x01) % 31 == 0
    size_t pos = 0;
    do {
        size_t len = std::min(kMaxStoredBlock, raw.size() - pos);
        bool last = pos + len == raw.size();
        out.push_back(last ? 1 : 0); // BFINAL, BTYPE 00 (stored)
        out.push_back(static_cast<unsigned char>(len & 0xFF));
        out.push_back(static_cast<unsigned char>(len >> 8));
        out.push_back(static_cast<unsigned char>(~len & 0xFF));
        out.push_back(static_cast<unsigned char>((~len >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                   raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    } while (pos < raw.size());
    unsigned a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % kAdlerModulus;
        b = (b + a) % kAdlerModulus;
    }
    PutBE32(out, (b << 16) | a);
    return out;
}

} // namespace

std::vector<unsigned char> CZrImage::EncodePng() const {
    std::vector<unsigned char> png;
    if (IsEmpty()) return png;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.assign(kSignature, kSignature + 8);

    std::vector<unsigned char> header;
    PutBE32(header, static_cast<unsigned>(m_nWidth));
    PutBE32(header, static_cast<unsigned>(m_nHeight));
    header.push_back(8); // bits per sample
    header.push_back(2); // colour type: RGB
    header.push_back(0); // compression: deflate
    header.push_back(0); // filter method 0
    header.push_back(0); // no interlace
    PutChunk(png, "IHDR", header);

    const size_t rowBytes = static_cast<size_t>(m_nWidth) * 3;
    std::vector<unsigned char> raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(m_nHeight));
    for (int y = 0; y < m_nHeight; ++y) {
        raw.push_back(0); // filter type None
        const unsigned char* row = &m_bits[static_cast<size_t>(y) * rowBytes];
        raw.insert(raw.end(), row, row + rowBytes);
    }
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

int CZrImage::SavePng(const char* lpszPath) const {
    if (!lpszPath || !*lpszPath) return 0;
    std::vector<unsigned char> png = EncodePng();
    if (png.empty()) return 0;
    std::FILE* f = std::fopen(lpszPath, "wb");
    if (!f) return 0;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    ok = std::fclose(f) == 0 && ok;
    return ok ? 1 : 0;
}
