#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrString.h"

class CByteArray;

// Legacy records that hosts keep for an older projection description. The
// meaning of the values and texts is the host's; the library only stores and
// copies them.

// Twenty-three numbers. By default the second and third are the semi-major
// and semi-minor axes of the Clarke 1866 ellipsoid and all others are 0.
class ZRPRJ_API CProjectionParameters {
public:
    static constexpr int kValueCount = 23;

    CProjectionParameters();
    CProjectionParameters(const CProjectionParameters& other);
    virtual ~CProjectionParameters();
    CProjectionParameters& operator=(const CProjectionParameters& other);

    double m_dValues[kValueCount];
};

// Four texts; by default "Clarke 1866", "Clarke 1866", "Robinson", "Robinson".
class ZRPRJ_API CProjectionInfo {
public:
    CProjectionInfo();
    CProjectionInfo(const CProjectionInfo& other);
    ~CProjectionInfo();
    CProjectionInfo& operator=(const CProjectionInfo& other);

    CString m_strSpheroid;
    CString m_strDatum;
    CString m_strProjection;
    CString m_strName;
};

// The numbers and the texts of one description, and the 192-byte array that
// carries the numbers: 8 header bytes without meaning, then the 23 values as
// little-endian IEEE doubles.
class ZRPRJ_API CProjectionDef {
public:
    static constexpr int kArraySize = 192;
    static constexpr int kHeaderSize = 8;

    CProjectionDef();
    CProjectionDef(const CProjectionDef& other);
    virtual ~CProjectionDef();
    CProjectionDef& operator=(const CProjectionDef& other);

    // Resizes the array to 192 bytes and fills it (zero header); returns 1.
    int SaveParamToArray(CByteArray& bytes) const;
    // Takes the 23 values from an array of at least 192 bytes and returns 1;
    // a shorter array returns 0 and changes nothing.
    int LoadParamFromArray(const CByteArray& bytes);

    CProjectionParameters m_params;
    CProjectionInfo m_info;
};
