#pragma once

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "transform/ZrDatumOperation.h"
#include "transform/ZrDatumShift.h"

#include <cstddef>
#include <memory>

// Converts point arrays in place from one coordinate system (the source) to
// another (the destination), or back: unprojection with the source, a datum
// shift when the two lie on different geographic systems, projection with the
// destination. Create chooses the route and derives the shift's constants
// once; Convert then only reads the translator.
//
// The same class maps the library's catalogue codes to EPSG codes and back
// through the mapping file "CodeTransition.xml" beside the library.
class ZRPRJ_API CZrPJTranslator {
public:
    // Routes chosen by Create.
    enum {
        ROUTE_XY2XY = 0,     // both projected
        ROUTE_XY2GEO = 1,    // projected to geographic, datum shift
        ROUTE_GEO2XY = 2,    // geographic to projected, datum shift
        ROUTE_GEO2GEO = 3,   // both geographic: datum shift, or none on one geographic system
        ROUTE_UNPROJECT = 4, // projected to geographic on one geographic system
        ROUTE_PROJECT = 7,   // geographic to projected on one geographic system
    };

    CZrPJTranslator();
    CZrPJTranslator(const CZrPJTranslator& other);
    virtual ~CZrPJTranslator();

    void operator=(const CZrPJTranslator& other);
    // Copies parameters, both systems, method and route, then runs Create.
    void CopyFrom(const CZrPJTranslator& other);
    // Equal parameters, systems, method and route; validity is not compared.
    int operator==(const CZrPJTranslator& other) const;

    // Each setter runs Create and returns its result. An invalid coordinate
    // system is refused with 0 and changes nothing.
    int SetPJCoordSysSrc(const CZrPJCoordSys& src);
    int SetPJCoordSysDes(const CZrPJCoordSys& des);
    int Set(const CZrPJCoordSys& src, const CZrPJCoordSys& des);
    int SetMethod(tagPJTransMethod method);
    // Only the seven datum-shift values are used: translations in metres,
    // rotations in arc-seconds, scale difference in parts per million.
    int SetParams(const CZrPJParams& params);
    // Stores the negated datum-shift values of params (the translations only
    // for the three-parameter and Molodensky methods). Create is not run; the
    // negated set takes effect at once.
    void SetInverseGeoParam(const CZrPJParams& params);

    // Beside the method and seven values: datum operations chosen per point
    // (grid-free chains now, EPSG's candidates best first), as PROJ applies
    // them. While a choice is set, Create accepts a datum shift with it in
    // place of the method, and Convert applies it to each point. It belongs
    // to the two geographic systems it was built for: setting a system on
    // another geographic system drops it, and so do SetMethod and SetParams
    // (values given are values meant). A copy shares the same choice, which
    // is never written after it is built. Null drops the choice.
    int SetOperations(std::shared_ptr<const CZrPJOperationChoice> choice);
    const CZrPJOperationChoice* GetOperations() const { return m_operations.get(); }

    // The coordinate epoch (decimal year, e.g. 2024.5) that time-dependent
    // operations of the choice are evaluated at; NaN (the default): none, and
    // they take their values as stated at their reference epoch.
    void SetEpoch(double epoch) { m_epoch = epoch; }
    double GetEpoch() const { return m_epoch; }

    // Chooses the route and derives the datum shift; nonzero when the
    // translator can convert.
    int Create();
    int IsValid() const { return m_bValid; }

    // In place; forward nonzero converts source to destination, 0 back: one
    // pipeline of unprojection (when the side converted from is projected),
    // datum shift (when the geographic systems differ) and projection (when
    // the side converted to is projected). 0 and the points untouched while
    // the translator is invalid. Otherwise the answer callers have always
    // had, which differs by route: the result of the last projection call
    // (the point count) on routes 0, 4 and 7 and on route 2 forward in 2-D;
    // 1 on routes 1 and 3 and on route 2 backward or in 3-D.
    int Convert(CPoint2D* points, long count, int forward) const;
    int Convert(CPoint3D* points, long count, int forward) const;
    // The same over columns, as proj_trans_generic takes them: x[i], y[i]
    // and z[i] lie strideX, strideY and strideZ bytes apart (sizeof(double)
    // for separate arrays). With z null the points are 2-D and convert as
    // the CPoint2D form does; with z they convert as the CPoint3D form does.
    // 0 when x or y is null.
    int Convert(double* x, std::size_t strideX, double* y, std::size_t strideY, double* z,
                std::size_t strideZ, long count, int forward) const;

    // ---- EPSG code mapping ----
    // The catalogue code mapped to an EPSG code and back; -1000 when the
    // mapping file has no entry (or cannot be read). The file is read afresh
    // on every call.
    int EPSG2Orvanta(int epsg) const;
    int Orvanta2EPSG(int code) const;
    // Points m_strEpsgName at "CodeTransition.xml" in the folder of the loaded
    // module that contains the given address (null: this library itself).
    // The library runs it when it is loaded.
    static void Init(const void* module);
    // Full path of the mapping file; a host may assign another.
    static CString m_strEpsgName;

private:
    int ConvertColumns(double* x, std::size_t sx, double* y, std::size_t sy, double* z, std::size_t sz,
                       long count, int forward, bool threeD) const;
    struct Geocentric;
    static void FromGeocentric(const Geocentric& g, double* x, std::size_t sx, double* y, std::size_t sy,
                               double* z, std::size_t sz, long count);
    static void ToGeocentric(const Geocentric& g, double* x, std::size_t sx, double* y, std::size_t sy,
                             double* z, std::size_t sz, long count);
    void ApplyOperations(double* x, std::size_t sx, double* y, std::size_t sy, double* z, std::size_t sz,
                         long count, int forward) const;

    int TransDatum(CPoint2D& point, int forward) const;
    int TransDatum(CPoint3D& point, int forward) const;

    // Copies the live datum-shift values of m_PJParams into the cache.
    void CacheShiftValues();

    CZrPJCoordSys m_PJCoordSysSrc;
    CZrPJCoordSys m_PJCoordSysDes;
    CZrPJParams m_PJParams;
    int m_nMethod;
    int m_nRoute;
    int m_bValid;
    int m_bDatumShift;
    ZrDatumShift m_shift; // constants of the datum shift, derived by Create
    std::shared_ptr<const CZrPJOperationChoice> m_operations;
    double m_epoch = kZrNoEpoch;
    // A geocentric side (X, Y, Z): its points pass through longitude,
    // latitude and height on its ellipsoid, derived by Create.
    struct Geocentric {
        bool on = false;
        double a = 0, f = 0, pm = 0;
    } m_geocentricSrc, m_geocentricDes;
};

// Links the library's resources into the caller's resource chain where the
// platform has one; here it only makes sure the mapping file's path is set.
ZRPRJ_API void InitZrPrj50DLL();
