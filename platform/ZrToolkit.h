#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <cstddef>

class ZRPRJ_API CZrOperator {
public:
    // Nonzero when the value is zero within the tolerance that the callers use
    // to detect an unset double (a scale factor of 0, a zero-sized drawing).
    static int Is0(const double& value);
    static constexpr double kZeroTolerance = 1e-12;
};

class ZRPRJ_API CZrToolkit {
public:
    // CRC-32 of ISO 3309 (reflected polynomial 0xEDB88320), as PNG, zip and
    // Python's zlib.crc32 compute it; `crc` continues an earlier run.
    static unsigned Crc32(const void* data, size_t size, unsigned crc = 0);

    // Linear-unit code (tenths of a millimetre) <-> unit name, as stored in
    // the XML form. Codes outside the table are written as their decimal
    // digits and read back from them, so no code is lost on a round trip.
    static CString UnitConvert(long code);
    static long UnitConvert(const CString& name);

    // Splits a path into drive (always empty on this platform), folder with
    // its trailing separator, file title and extension with its dot.
    static void SplitPath(const CString& path, CString& drive, CString& folder, CString& title,
                          CString& extension);

    // Character set of the host's legacy code page: 128 (Shift-JIS) for a
    // Japanese locale, 134 (GB2312) otherwise.
    static int GetCharset();
    static constexpr int kShiftJisCharset = 128;
    static constexpr int kGb2312Charset = 134;
};

// The US survey foot (1200/3937 m), in which EPSG defines many North American
// systems. Its length is no whole number of tenths of a millimetre, so it has
// a code of its own outside the tenths-of-a-millimetre scale; the catalogue's
// foot rows keep 3048, the international foot.
constexpr long kZrUnitUsSurveyFoot = 3048006;

// Metres in one unit of a linear-unit code: the code's tenths of a
// millimetre, or exactly 1200/3937 for the US survey foot.
inline double ZrUnitCodeToMetres(long code) {
    return code == kZrUnitUsSurveyFoot ? 1200.0 / 3937.0 : static_cast<double>(code) * 0.0001;
}

// Display name of a linear unit, as used in the name of a planar system.
ZRPRJ_API CString ZrGetUnitsNameExt(long code);

// For its lifetime, number formatting and parsing on the calling thread use
// "." as the decimal separator whatever the process locale is, so files
// written on a German or French host read back everywhere.
class ZRPRJ_API CZrLocale {
public:
    CZrLocale();
    ~CZrLocale();
    CZrLocale(const CZrLocale&) = delete;
    CZrLocale& operator=(const CZrLocale&) = delete;

private:
    void* m_previous = nullptr;
};
