// Lookup of a projected coordinate system by catalogue code. The families that
// follow a rule generate their row on demand; the rest are sorted tables. The
// families' code ranges interleave, so each is asked in turn: the two binary
// searches and the rule tests each cost a few dozen comparisons.
#include "model/catalogue/projected_table_p.h"

#include <algorithm>
#include <cstring>

namespace {
// Room beyond the 1085 rows, so that a family miscounted in an edit cannot overrun.
constexpr int kCapacity = 2048;

struct CodeList {
    long codes[kCapacity];
    int count = 0;
    CodeList() {
        count = ZrZoneCodes(codes);
        count += ZrWorldCodes(codes + count);
        for (const ZrProjectedTable* t : {&ZrNationalTable(), &ZrStatePlaneTable()})
            for (int i = 0; i < t->count; ++i)
                codes[count++] = t->rows[i].code;
        std::sort(codes, codes + count);
    }
};

const CodeList& AllCodes() {
    static const CodeList list;
    return list;
}
} // namespace

void ZrStartRow(ZrProjectedRow& row, long code, long units, long gcs, long kind) {
    row.code = code;
    row.name[0] = '\0';
    row.units = units;
    row.gcs = gcs;
    row.kind = kind;
    for (double& p : row.params)
        p = 0.0;
}

int ZrFindTableRow(const ZrProjectedTable& table, long code, ZrProjectedRow& row) {
    const ZrProjectedTableRow* end = table.rows + table.count;
    const ZrProjectedTableRow* it = std::lower_bound(
        table.rows, end, code, [](const ZrProjectedTableRow& r, long c) { return r.code < c; });
    if (it == end || it->code != code) return 0;
    ZrStartRow(row, it->code, it->units, it->gcs, it->kind);
    std::strncpy(row.name, it->name, sizeof row.name - 1);
    row.name[sizeof row.name - 1] = '\0';
    std::memcpy(row.params, it->params, sizeof row.params);
    return 1;
}

int ZrFindProjectedRow(long code, ZrProjectedRow& row) {
    // Fill a scratch row so that a code without a row leaves the caller's untouched.
    ZrProjectedRow found;
    if (ZrFindTableRow(ZrNationalTable(), code, found) || ZrFindTableRow(ZrStatePlaneTable(), code, found) ||
        ZrFindZoneRow(code, found) || ZrFindWorldRow(code, found)) {
        row = found;
        return 1;
    }
    return 0;
}

int ZrProjectedRowCount() {
    return AllCodes().count;
}

long ZrProjectedCodeAt(int index) {
    const CodeList& list = AllCodes();
    if (index < 0 || index >= list.count) return -1000;
    return list.codes[index];
}
