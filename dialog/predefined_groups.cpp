#include "dialog/ZrPredefinedGroups_p.h"

namespace {

// {first string id, first code, count, id step}
#define ZR_RUN(id, code, n)                                                                                  \
    { id, code, n, 1 }
#define ZR_ONE(id, code)                                                                                     \
    { id, code, 1, 1 }

constexpr ZrPredefinedRun k5003[] = {ZR_RUN(27801, 32001, 3), ZR_RUN(27804, 32005, 27),
                                     ZR_RUN(27831, 32033, 28), ZR_RUN(28412, 26729, 70),
                                     ZR_ONE(28807, 65061)};
// Nevada East and Central both stand for 32108; string 27867 is not listed.
constexpr ZrPredefinedRun k5004[] = {ZR_ONE(27863, 32100), ZR_ONE(27864, 32104),     ZR_ONE(27865, 32108),
                                     ZR_ONE(27866, 32108), ZR_RUN(27868, 32110, 21), ZR_RUN(27889, 32133, 26),
                                     ZR_ONE(27915, 32161), ZR_RUN(28503, 26929, 18), ZR_RUN(28521, 26948, 51),
                                     ZR_ONE(28808, 65161)};
constexpr ZrPredefinedRun k5005[] = {ZR_RUN(28036, 32601, 60), ZR_RUN(28096, 32701, 60)};
constexpr ZrPredefinedRun k5006[] = {ZR_RUN(27916, 32201, 60), ZR_RUN(27976, 32301, 60)};
constexpr ZrPredefinedRun k5007[] = {ZR_RUN(28601, 28404, 29), ZR_RUN(28630, 28464, 29)};
constexpr ZrPredefinedRun k5008[] = {ZR_RUN(28156, 20004, 8), ZR_RUN(28169, 20017, 16),
                                     ZR_RUN(28185, 20064, 29)};
constexpr ZrPredefinedRun k5009[] = {ZR_RUN(28392, 26703, 20)};
constexpr ZrPredefinedRun k5010[] = {ZR_RUN(28482, 26903, 21)};
constexpr ZrPredefinedRun k5011[] = {ZR_RUN(28251, 21413, 11), ZR_RUN(28262, 21473, 11)};
constexpr ZrPredefinedRun k5012[] = {ZR_RUN(28298, 23028, 11)};
constexpr ZrPredefinedRun k5013[] = {ZR_RUN(28366, 25828, 11)};
constexpr ZrPredefinedRun k5014[] = {ZR_RUN(28710, 53001, 4), ZR_RUN(28714, 53008, 12),
                                     ZR_RUN(28726, 53021, 11)};
constexpr ZrPredefinedRun k5015[] = {ZR_RUN(28737, 54001, 4), ZR_RUN(28741, 54008, 12),
                                     ZR_RUN(28753, 54021, 11)};
constexpr ZrPredefinedRun k5016[] = {ZR_RUN(27859, 32074, 4)};
constexpr ZrPredefinedRun k5017[] = {ZR_RUN(28800, 2219, 2)};
constexpr ZrPredefinedRun k5018[] = {ZR_RUN(28803, 2391, 4)};
constexpr ZrPredefinedRun k5019[] = {ZR_RUN(28660, 29118, 5), ZR_RUN(28665, 29177, 9)};
constexpr ZrPredefinedRun k5020[] = {ZR_RUN(28216, 20248, 11)};
constexpr ZrPredefinedRun k5021[] = {ZR_RUN(28227, 20348, 11)};
constexpr ZrPredefinedRun k5022[] = {ZR_RUN(28590, 28348, 11)};
constexpr ZrPredefinedRun k5023[] = {ZR_RUN(28214, 20137, 2)};
constexpr ZrPredefinedRun k5024[] = {ZR_RUN(28242, 20538, 2)};
constexpr ZrPredefinedRun k5025[] = {ZR_RUN(28238, 20437, 3)};
constexpr ZrPredefinedRun k5026[] = {ZR_RUN(28245, 20822, 3)};
constexpr ZrPredefinedRun k5027[] = {ZR_RUN(28248, 21148, 3)};
constexpr ZrPredefinedRun k5028[] = {ZR_RUN(28274, 21817, 2)};
constexpr ZrPredefinedRun k5029[] = {ZR_RUN(28280, 22032, 2)};
constexpr ZrPredefinedRun k5030[] = {ZR_RUN(28292, 22523, 2)};
constexpr ZrPredefinedRun k5031[] = {ZR_ONE(28578, 27429)};
constexpr ZrPredefinedRun k5032[] = {ZR_ONE(28294, 22832)};
constexpr ZrPredefinedRun k5033[] = {ZR_RUN(28309, 23239, 2)};
constexpr ZrPredefinedRun k5034[] = {ZR_ONE(28311, 23433)};
constexpr ZrPredefinedRun k5035[] = {ZR_RUN(28312, 23846, 8), ZR_RUN(28320, 23886, 9)};
constexpr ZrPredefinedRun k5036[] = {ZR_ONE(28329, 23947), ZR_ONE(28330, 24048)};
constexpr ZrPredefinedRun k5037[] = {ZR_RUN(28331, 24047, 2)};
constexpr ZrPredefinedRun k5038[] = {ZR_RUN(28343, 24547, 2)};
constexpr ZrPredefinedRun k5039[] = {ZR_RUN(28346, 24720, 2)};
constexpr ZrPredefinedRun k5040[] = {ZR_ONE(28360, 24721)};
constexpr ZrPredefinedRun k5041[] = {ZR_ONE(28390, 26632), ZR_ONE(28391, 26692)};
constexpr ZrPredefinedRun k5042[] = {ZR_ONE(28377, 25932)};
constexpr ZrPredefinedRun k5043[] = {ZR_ONE(28381, 26237)};
constexpr ZrPredefinedRun k5044[] = {ZR_ONE(28387, 26432)};
constexpr ZrPredefinedRun k5045[] = {ZR_RUN(28382, 26331, 2)};
constexpr ZrPredefinedRun k5046[] = {ZR_RUN(28572, 27038, 3)};
constexpr ZrPredefinedRun k5047[] = {ZR_RUN(28707, 31838, 2)};
constexpr ZrPredefinedRun k5048[] = {ZR_RUN(28690, 30729, 4)};
constexpr ZrPredefinedRun k5049[] = {ZR_ONE(28575, 27120)};
constexpr ZrPredefinedRun k5050[] = {ZR_ONE(28589, 28232)};
constexpr ZrPredefinedRun k5051[] = {ZR_RUN(28348, 24818, 4), ZR_RUN(28352, 24877, 4)};
constexpr ZrPredefinedRun k5052[] = {ZR_RUN(28674, 29220, 2)};
constexpr ZrPredefinedRun k5053[] = {ZR_ONE(28676, 29333)};
constexpr ZrPredefinedRun k5054[] = {ZR_RUN(28677, 29635, 2)};
constexpr ZrPredefinedRun k5055[] = {ZR_RUN(28679, 29738, 2)};
constexpr ZrPredefinedRun k5056[] = {ZR_RUN(28684, 30339, 2)};
constexpr ZrPredefinedRun k5057[] = {ZR_RUN(28681, 29849, 2)};
constexpr ZrPredefinedRun k5058[] = {ZR_ONE(28695, 31028)};
constexpr ZrPredefinedRun k5059[] = {ZR_ONE(28696, 31121)};
constexpr ZrPredefinedRun k5060[] = {ZR_ONE(28709, 31900)};
constexpr ZrPredefinedRun k5061[] = {ZR_RUN(28361, 25391, 5)};
constexpr ZrPredefinedRun k5062[] = {ZR_RUN(28697, 31291, 3)};
constexpr ZrPredefinedRun k5063[] = {ZR_RUN(28388, 26591, 2)};
constexpr ZrPredefinedRun k5064[] = {ZR_RUN(28282, 22191, 7)};
constexpr ZrPredefinedRun k5065[] = {ZR_RUN(28700, 31491, 5)};
constexpr ZrPredefinedRun k5066[] = {ZR_ONE(28241, 20499)};
// Lists the Bahrain grid first, as the Bahrain group does.
constexpr ZrPredefinedRun k5067[] = {ZR_ONE(28241, 20499), ZR_RUN(28276, 21891, 4)};
constexpr ZrPredefinedRun k5068[] = {ZR_RUN(28295, 22992, 3)};
constexpr ZrPredefinedRun k5069[] = {ZR_ONE(28359, 25000)};
constexpr ZrPredefinedRun k5070[] = {ZR_ONE(28359, 25000), ZR_ONE(28683, 29900)};
constexpr ZrPredefinedRun k5071[] = {ZR_RUN(28576, 27291, 2)};
constexpr ZrPredefinedRun k5072[] = {ZR_RUN(28384, 26391, 3)};
constexpr ZrPredefinedRun k5073[] = {ZR_RUN(28356, 24891, 3)};
constexpr ZrPredefinedRun k5074[] = {ZR_ONE(28244, 20700),   ZR_ONE(29038, 20791),   ZR_RUN(29041, 27492, 2),
                                     ZR_ONE(29043, 53700),   ZR_ONE(29044, 53791),   ZR_ONE(29045, 3763),
                                     ZR_ONE(29046, 61008),   ZR_RUN(29049, 2188, 4), ZR_RUN(29053, 61001, 4),
                                     ZR_RUN(29057, 61006, 2)};
constexpr ZrPredefinedRun k5075[] = {ZR_ONE(28659, 28600)};
constexpr ZrPredefinedRun k5076[] = {ZR_ONE(28588, 27700)};
constexpr ZrPredefinedRun k5077[] = {ZR_ONE(28694, 30800)};
constexpr ZrPredefinedRun k5078[] = {ZR_RUN(28686, 30491, 2)};
constexpr ZrPredefinedRun k5079[] = {ZR_RUN(28688, 30591, 2)};
constexpr ZrPredefinedRun k5080[] = {ZR_ONE(28579, 27500)};
constexpr ZrPredefinedRun k5081[] = {ZR_RUN(28580, 27581, 4), ZR_RUN(28584, 27591, 4)};
constexpr ZrPredefinedRun k5082[] = {ZR_RUN(28335, 24370, 5), ZR_RUN(28340, 24382, 3)};
constexpr ZrPredefinedRun k5083[] = {ZR_ONE(28333, 24100), ZR_ONE(28334, 24200)};
constexpr ZrPredefinedRun k5084[] = {ZR_RUN(28378, 26191, 2)};
constexpr ZrPredefinedRun k5085[] = {ZR_RUN(28290, 22391, 2)};
constexpr ZrPredefinedRun k5086[] = {ZR_ONE(28345, 24600)};
constexpr ZrPredefinedRun k5087[] = {ZR_ONE(28273, 21500)};
constexpr ZrPredefinedRun k5098[] = {ZR_ONE(28705, 31600), ZR_ONE(28706, 31700)};
// The Japanese systems have every other string id: JGD2000 plane zones I to
// XIX (32786..32798, then 32800..32805: 32799 is not a zone), the Tokyo-datum
// plane zones, then the UTM zones of both datums.
constexpr ZrPredefinedRun k5088[] = {{28953, 32786, 13, 2},
                                     {28979, 32800, 6, 2},
                                     {28903, 32761, 19, 2},
                                     {28991, 32806, 6, 2},
                                     {28941, 32780, 6, 2}};
constexpr ZrPredefinedRun k5102[] = {ZR_ONE(29003, 32851)};
constexpr ZrPredefinedRun k5103[] = {ZR_ONE(29010, 23061), ZR_RUN(29008, 23062, 2), ZR_RUN(29011, 23064, 3)};
constexpr ZrPredefinedRun k5104[] = {ZR_RUN(29014, 23071, 3), ZR_ONE(29018, 23075),   ZR_ONE(29020, 23077),
                                     ZR_ONE(29022, 23079),    ZR_ONE(29017, 23074),   ZR_ONE(29019, 23076),
                                     ZR_ONE(29021, 23078),    ZR_RUN(29023, 23080, 4)};
constexpr ZrPredefinedRun k5105[] = {ZR_ONE(29029, 23091), ZR_ONE(29028, 23090), ZR_ONE(29030, 23092)};
constexpr ZrPredefinedRun k5106[] = {ZR_ONE(29032, 23100)};
constexpr ZrPredefinedRun k5107[] = {ZR_ONE(29035, 23110)};
constexpr ZrPredefinedRun k5108[] = {ZR_ONE(29036, 23120)};
constexpr ZrPredefinedRun k5109[] = {ZR_ONE(29037, 23130)};

#undef ZR_RUN
#undef ZR_ONE

#define ZR_GROUP(code, id)                                                                                   \
    { code, id, k##code, static_cast<int>(sizeof k##code / sizeof k##code[0]), 0 }

// JGD2000 plane zone IX (32794), the ninth entry, is what a Japanese user
// most often wants.
constexpr int kJapanPreselect = 8;

constexpr ZrPredefinedGroup kGroups[] = {
    ZR_GROUP(5003, 28811),
    ZR_GROUP(5004, 28812),
    ZR_GROUP(5005, 28813),
    ZR_GROUP(5006, 28814),
    ZR_GROUP(5007, 28815),
    ZR_GROUP(5008, 28816),
    ZR_GROUP(5009, 28817),
    ZR_GROUP(5010, 28818),
    ZR_GROUP(5011, 28819),
    ZR_GROUP(5012, 28820),
    ZR_GROUP(5013, 28821),
    ZR_GROUP(5014, 28822),
    ZR_GROUP(5015, 28823),
    ZR_GROUP(5016, 28824),
    ZR_GROUP(5017, 28825),
    ZR_GROUP(5018, 28826),
    ZR_GROUP(5019, 28827),
    ZR_GROUP(5020, 28828),
    ZR_GROUP(5021, 28829),
    ZR_GROUP(5022, 28830),
    ZR_GROUP(5023, 28831),
    ZR_GROUP(5024, 28832),
    ZR_GROUP(5025, 28833),
    ZR_GROUP(5026, 28834),
    ZR_GROUP(5027, 28835),
    ZR_GROUP(5028, 28836),
    ZR_GROUP(5029, 28837),
    ZR_GROUP(5030, 28838),
    ZR_GROUP(5031, 28839),
    ZR_GROUP(5032, 28840),
    ZR_GROUP(5033, 28841),
    ZR_GROUP(5034, 28842),
    ZR_GROUP(5035, 28843),
    ZR_GROUP(5036, 28844),
    ZR_GROUP(5037, 28845),
    ZR_GROUP(5038, 28846),
    ZR_GROUP(5039, 28847),
    ZR_GROUP(5040, 28848),
    ZR_GROUP(5041, 28849),
    ZR_GROUP(5042, 28850),
    ZR_GROUP(5043, 28851),
    ZR_GROUP(5044, 28852),
    ZR_GROUP(5045, 28853),
    ZR_GROUP(5046, 28854),
    ZR_GROUP(5047, 28855),
    ZR_GROUP(5048, 28856),
    ZR_GROUP(5049, 28857),
    ZR_GROUP(5050, 28858),
    ZR_GROUP(5051, 28859),
    ZR_GROUP(5052, 28860),
    ZR_GROUP(5053, 28861),
    ZR_GROUP(5054, 28862),
    ZR_GROUP(5055, 28863),
    ZR_GROUP(5056, 28864),
    ZR_GROUP(5057, 28865),
    ZR_GROUP(5058, 28866),
    ZR_GROUP(5059, 28867),
    ZR_GROUP(5060, 28868),
    ZR_GROUP(5061, 28869),
    ZR_GROUP(5062, 28870),
    ZR_GROUP(5063, 28871),
    ZR_GROUP(5064, 28872),
    ZR_GROUP(5065, 28873),
    ZR_GROUP(5066, 28874),
    ZR_GROUP(5067, 28875),
    ZR_GROUP(5068, 28876),
    ZR_GROUP(5069, 28877),
    ZR_GROUP(5070, 28878),
    ZR_GROUP(5071, 28880),
    ZR_GROUP(5072, 28881),
    ZR_GROUP(5073, 28882),
    ZR_GROUP(5074, 28883),
    ZR_GROUP(5075, 28884),
    ZR_GROUP(5076, 28885),
    ZR_GROUP(5077, 28886),
    ZR_GROUP(5078, 28887),
    ZR_GROUP(5079, 28888),
    ZR_GROUP(5080, 28889),
    ZR_GROUP(5081, 28890),
    ZR_GROUP(5082, 28891),
    ZR_GROUP(5083, 28892),
    ZR_GROUP(5084, 28893),
    ZR_GROUP(5085, 28894),
    ZR_GROUP(5086, 28895),
    ZR_GROUP(5087, 28896),
    ZR_GROUP(5098, 28897),
    {5088, 28901, k5088, static_cast<int>(sizeof k5088 / sizeof k5088[0]), kJapanPreselect},
    ZR_GROUP(5102, 29002),
    ZR_GROUP(5103, 29006),
    ZR_GROUP(5104, 29007),
    ZR_GROUP(5105, 29027),
    ZR_GROUP(5106, 29031),
    ZR_GROUP(5107, 29034),
    ZR_GROUP(5108, 29036),
    ZR_GROUP(5109, 29037),
};

#undef ZR_GROUP

constexpr int kGroupCount = static_cast<int>(sizeof kGroups / sizeof kGroups[0]);
static_assert(kGroupCount == 95, "the main list holds 95 families");

bool GroupListsCode(const ZrPredefinedGroup& group, long code) {
    for (int r = 0; r < group.runCount; ++r) {
        const ZrPredefinedRun& run = group.runs[r];
        if (code >= run.firstCode && code < run.firstCode + run.count) return true;
    }
    return false;
}

} // namespace

int ZrPredefinedGroupCount() {
    return kGroupCount;
}

const ZrPredefinedGroup* ZrPredefinedGroupAt(int index) {
    return index >= 0 && index < kGroupCount ? &kGroups[index] : nullptr;
}

const ZrPredefinedGroup* ZrFindPredefinedGroup(long groupCode) {
    for (const ZrPredefinedGroup& group : kGroups)
        if (group.code == groupCode) return &group;
    return nullptr;
}

std::vector<ZrPredefinedEntry> ZrPredefinedGroupEntries(const ZrPredefinedGroup& group) {
    std::vector<ZrPredefinedEntry> entries;
    for (int r = 0; r < group.runCount; ++r) {
        const ZrPredefinedRun& run = group.runs[r];
        for (int i = 0; i < run.count; ++i)
            entries.push_back(
                ZrPredefinedEntry{run.firstId + static_cast<unsigned>(i * run.idStep), run.firstCode + i});
    }
    return entries;
}

const ZrPredefinedGroup* ZrFindPredefinedGroupOfCode(long coordSysCode) {
    // Several families share a system (Bahrain, Ghana, Indian 1954/1975, La
    // Canoa/Lome): the lowest group code wins, whatever the table order.
    const ZrPredefinedGroup* found = nullptr;
    for (const ZrPredefinedGroup& group : kGroups)
        if ((!found || group.code < found->code) && GroupListsCode(group, coordSysCode)) found = &group;
    return found;
}
