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

// The other units EPSG defines that are no whole number of tenths of a
// millimetre (Clarke's, Sears's, Benoit's, Indian and Gold Coast feet, yards,
// chains and links, the German legal metre, ...) have exact codes too: this
// base plus EPSG's unit code (Clarke's foot 9005 is 2000009005). The lengths
// a unit has drifted through differ in the seventh digit, so no rounding of
// the length itself tells them apart within 32 bits; the codes stay positive
// and below 2^31, which every stored form carries, and a reader that knows
// only the tenths-of-a-millimetre scale sees a unit of 200 km, not a foot
// that is subtly wrong.
constexpr long kZrUnitEpsgBase = 2000000000;
constexpr long ZrExactUnitCode(long epsgUnitCode) {
    return kZrUnitEpsgBase + epsgUnitCode;
}

// A unit with an exact code: its length is num / den metres, EPSG's own
// figures (factor_b / factor_c), so the unit factor den / num is as exact.
struct ZrExactUnit {
    long code;
    long epsgCode;
    const char* name; // EPSG's name, shown to people
    double num;
    double den;
};

// Every unit with an exact code, the US survey foot first; count receives
// their number.
ZRPRJ_API const ZrExactUnit* ZrExactUnits(int& count);
// The unit of an exact code, or null for a code on the tenths-of-a-millimetre scale.
ZRPRJ_API const ZrExactUnit* ZrFindExactUnit(long code);
// The exact code of a length in metres (within 1e-12 relative, the digits
// other programs print), or 0 when no exact unit has that length.
ZRPRJ_API long ZrExactUnitCodeOf(double metres);

// Metres in one unit of a linear-unit code: the code's tenths of a
// millimetre, or an exact unit's length.
ZRPRJ_API double ZrUnitCodeToMetres(long code);
// Units in one metre: 10000 / code, or an exact unit's den / num. The
// operator's unit factor.
ZRPRJ_API double ZrUnitFactorOfCode(long code);

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
