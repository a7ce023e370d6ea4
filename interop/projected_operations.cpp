// EPSG's operations between two projected systems themselves.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrProjectedOperations_p.h"
#include "transform/ZrAffineParametric.h"
#include "transform/ZrPJTranslator.h"

#include <memory>
#include <string>
#include <vector>

namespace {
// The record as one operation from src to des: reversed where EPSG states it
// from des to src. The projections the step goes through are EPSG's source
// and target systems, whichever way the chain runs.
bool AffineOperation(const ZrEpsgOtherTransformationRecord& r, const CZrPJCoordSys& src,
                     const CZrPJCoordSys& des, ZrDatumOperation& op) {
    const bool reversed = r.sourceCode != ZrEpsgCodeOf(src);
    auto affine =
        std::make_shared<const CZrAffineParametric>(reversed ? des : src, reversed ? src : des, r.values);
    if (!affine->IsValid()) return false;
    ZrOperationStep step;
    step.kind = ZR_STEP_AFFINE;
    step.affine = affine;
    step.inverse = reversed ? 1 : 0;
    op = ZrDatumOperation();
    op.TitleFrom(r, reversed);
    return op.Append(step);
}
} // namespace

void ZrSummariseOperations(const CZrPJOperationChoice& choice, std::vector<ZrOperationSummary>& used) {
    used.clear();
    for (int i = 0; i < choice.Count(); ++i) {
        ZrOperationSummary s;
        s.code = choice.At(i).code;
        s.name = CString(choice.At(i).name.c_str());
        s.accuracy = choice.At(i).accuracy;
        used.push_back(s);
    }
}

int ZrAddProjectedPairOperations(const CZrPJCoordSys& src, const CZrPJCoordSys& des,
                                 CZrPJOperationChoice& choice) {
    std::vector<ZrEpsgOtherTransformationRecord> list;
    const long from = ZrEpsgCodeOf(src), to = ZrEpsgCodeOf(des);
    if (from <= 0 || to <= 0 || !ZrEpsgListProjectedOperations(from, to, list)) return 0;
    int added = 0;
    for (const ZrEpsgOtherTransformationRecord& r : list) {
        ZrDatumOperation op;
        if (!AffineOperation(r, src, des, op)) continue;
        choice.Add(op);
        ++added;
    }
    return added;
}

int ZrProjectedOperationByCode(const CZrPJCoordSys& src, const CZrPJCoordSys& des, long code,
                               ZrDatumOperation& op, CString* reason) {
    ZrEpsgOtherTransformationRecord r;
    if (!ZrEpsgFindOtherTransformation(code, r) || r.methodCode != 9624) return -1;
    const long from = ZrEpsgCodeOf(src), to = ZrEpsgCodeOf(des);
    const bool joins =
        (from == r.sourceCode && to == r.targetCode) || (from == r.targetCode && to == r.sourceCode);
    if (!joins || !AffineOperation(r, src, des, op)) {
        if (reason)
            *reason = CString(("EPSG:" + std::to_string(code) + " joins the projected systems EPSG:" +
                               std::to_string(r.sourceCode) + " and EPSG:" + std::to_string(r.targetCode) +
                               " on their own coordinates, not these two")
                                  .c_str());
        return 0;
    }
    return 1;
}

int ZrListProjectedOperations(long sourceProjected, long targetProjected,
                              std::vector<ZrOperationListing>& out) {
    out.clear();
    std::vector<ZrEpsgOtherTransformationRecord> list;
    ZrEpsgListProjectedOperations(sourceProjected, targetProjected, list);
    for (const ZrEpsgOtherTransformationRecord& r : list) {
        ZrOperationListing l;
        l.code = r.code;
        l.name = CString(((r.sourceCode != sourceProjected ? "Inverse of " : "") + r.name).c_str());
        l.methodCode = r.methodCode;
        l.methodName = "affine parametric";
        l.accuracy = r.accuracy;
        l.area = CString(r.area.c_str());
        out.push_back(l);
    }
    return static_cast<int>(out.size());
}

int ZrSetTranslatorProjectedPair(CZrPJTranslator& translator, const CZrPJCoordSys& src,
                                 const CZrPJCoordSys& des, const CZrPJCoordSys& geoSrc,
                                 const CZrPJCoordSys& geoDes, long code,
                                 std::vector<ZrOperationSummary>* used, CString* reason) {
    auto choice = std::make_shared<CZrPJOperationChoice>();
    if (code != 0) {
        ZrDatumOperation op;
        const int found = ZrProjectedOperationByCode(src, des, code, op, reason);
        if (found <= 0) return found;
        choice->Add(op);
    } else if (ZrAddProjectedPairOperations(src, des, *choice) == 0) {
        return -1;
    }
    CZrPJTranslator t;
    if (!t.Set(geoSrc, geoDes) || !t.SetOperations(choice)) {
        if (reason) *reason = CString("the translator cannot convert between these two systems");
        return 0;
    }
    if (used) ZrSummariseOperations(*choice, *used);
    translator = t;
    return 1;
}
