// Search over the catalogue and the EPSG systems, for the wizard's search
// field.

#include "dialog/ZrSystemSearch.h"

#include "dialog/ZrPageCoordSysSetting.h"
#include "dialog/ZrPredefinedGroups_p.h"
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "model/ZrPJTypes.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

namespace {

// The catalogue's codes of ESRI's own world and sphere systems (ESRI:53001 ..
// ESRI:54099) and beyond are ESRI's numbers; below 32768 and in EPSG's data
// they are EPSG's.
constexpr long kFirstEsriCode = 53000;
constexpr long kMetreUnits = 10000;

// Chinese names under which users look for systems whose catalogue and EPSG
// names are English. Each entry adds its Chinese words to every system whose
// name holds the English phrase.
struct ChineseAlias {
    const char* english; // normalized, as Normalize() leaves it
    const char* chinese;
};
const ChineseAlias kChineseAliases[] = {
    {"beijing 1954", "北京54 北京1954 北京五四 北京坐标系"},
    {"new beijing", "新北京54 新北京"},
    {"xian 1980", "西安80 西安1980 西安坐标系"},
    {"china geodetic coordinate system 2000", "国家2000 中国2000 2000国家大地坐标系 国家大地坐标系"},
    {"cgcs2000", "国家2000 中国2000 2000国家大地坐标系 国家大地坐标系"},
    {"gauss kruger", "高斯克吕格 高斯 高斯投影"},
    {"gk zone", "高斯克吕格 高斯 高斯投影"},
    {"utm zone", "通用横轴墨卡托 横轴墨卡托"},
    {"transverse mercator", "横轴墨卡托"},
    {"pseudo mercator", "墨卡托 网络墨卡托"},
    {"mercator", "墨卡托"},
    {"lambert", "兰伯特"},
    {"albers", "阿尔伯斯"},
    {"wgs 84", "世界大地坐标系"},
    {"hong kong", "香港"},
    {"macau", "澳门"},
    {"taiwan", "台湾"},
};

// Lower-case ASCII words separated by single blanks; bytes of other scripts
// are kept as they are, so Chinese text matches byte for byte.
std::string Normalize(const std::string& text) {
    std::string out;
    bool blank = true;
    for (unsigned char c : text) {
        const bool separator = c < 0x80 && !std::isalnum(c);
        if (separator) {
            if (!blank) out += ' ';
            blank = true;
            continue;
        }
        out += c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c);
        blank = false;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::vector<std::string> Words(const std::string& normalized) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < normalized.size()) {
        size_t end = normalized.find(' ', start);
        if (end == std::string::npos) end = normalized.size();
        if (end > start) words.push_back(normalized.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

struct Entry {
    ZrSystemSearchHit hit;
    long number = 0;      // the code without its authority
    std::string haystack; // every name and alias, normalized, " | " between them
};

std::string Trimmed(const CString& s) {
    std::string t = s.c_str();
    const size_t b = t.find_first_not_of(' ');
    const size_t e = t.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
}

void AddAliases(Entry& e) {
    std::string aliases;
    for (const ChineseAlias& a : kChineseAliases)
        if (e.haystack.find(a.english) != std::string::npos) aliases += std::string(" | ") + a.chinese;
    e.haystack += aliases;
}

std::vector<Entry> BuildIndex() {
    std::map<long, Entry> byCode; // keyed by code; geographic codes negated
    const auto label = [](long code, bool inEpsg) {
        CString text;
        if (inEpsg)
            text.Format("EPSG:%ld", code);
        else if (code >= kFirstEsriCode)
            text.Format("ESRI:%ld", code);
        else
            text.Format("%ld", code);
        return text;
    };
    const auto add = [&](long code, bool geographic, const std::string& name, bool fromEpsg) {
        Entry& e = byCode[geographic ? -code : code];
        if (e.number == 0) {
            e.number = code;
            e.hit.bGeographic = geographic;
            e.hit.catalogue = code;
            e.hit.name = name.c_str();
            e.hit.code = label(code, false);
        } else {
            e.haystack += " | ";
        }
        e.haystack += Normalize(name);
        if (fromEpsg) {
            // EPSG's name is the one other software shows; the entry is
            // built from EPSG, which yields the catalogue system where the
            // mapping names one.
            e.hit.epsgCode = code;
            e.hit.name = name.c_str();
            e.hit.code = label(code, true);
        }
    };

    for (int i = 0; i < ZrPredefinedGroupCount(); ++i)
        for (const ZrPredefinedEntry& entry : ZrPredefinedGroupEntries(*ZrPredefinedGroupAt(i))) {
            CString text;
            if (text.LoadString(entry.stringId)) add(entry.code, false, Trimmed(text), false);
        }
    int geographicCount = 0;
    const ZrNamedCode* geographic = ZrGeoCoordSysListEntries(&geographicCount);
    for (int i = 0; i < geographicCount; ++i)
        add(geographic[i].code, true, geographic[i].name, false);

    std::vector<long> codes;
    ZrEpsgProjectedCodes(codes);
    for (long code : codes) {
        ZrEpsgProjectedRecord record;
        if (ZrEpsgFindProjected(code, record)) add(code, false, record.name, true);
    }
    codes.clear();
    ZrEpsgGeographicCodes(codes);
    for (long code : codes) {
        ZrEpsgGeographicRecord record;
        if (ZrEpsgFindGeographic(code, record)) add(code, true, record.name, true);
    }

    std::vector<Entry> index;
    index.reserve(byCode.size());
    for (auto& kv : byCode) {
        AddAliases(kv.second);
        index.push_back(std::move(kv.second));
    }
    return index;
}

const std::vector<Entry>& Index() {
    static const std::vector<Entry> index = BuildIndex();
    return index;
}

bool StartsWord(const std::string& haystack, size_t at) {
    return at == 0 || haystack[at - 1] == ' ';
}

// How well the words match: -1 when one is missing; else the number of words
// found at the start of a word of the name.
int WordScore(const std::string& haystack, const std::vector<std::string>& words) {
    int score = 0;
    for (const std::string& w : words) {
        size_t at = haystack.find(w);
        if (at == std::string::npos) return -1;
        bool wordStart = false;
        for (; at != std::string::npos && !wordStart; at = haystack.find(w, at + 1))
            wordStart = StartsWord(haystack, at);
        score += wordStart ? 1 : 0;
    }
    return score;
}

// "EPSG:2154", "esri 54030", "2154": the number, else -1.
long CodeOf(const std::string& normalized) {
    std::string digits = normalized;
    for (const char* authority : {"epsg ", "esri "})
        if (digits.compare(0, 5, authority) == 0) digits.erase(0, 5);
    if (digits.empty() || digits.size() > 9) return -1;
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    return std::stol(digits);
}
} // namespace

std::vector<ZrSystemSearchHit> ZrSearchCoordSystems(const CString& text, int nLimit) {
    std::vector<ZrSystemSearchHit> hits;
    const std::string query = Normalize(text.c_str());
    if (query.empty() || nLimit <= 0) return hits;
    const std::vector<std::string> words = Words(query);
    const long code = CodeOf(query);

    struct Ranked {
        int rank;
        size_t length;
        long number;
        const Entry* entry;
    };
    std::vector<Ranked> ranked;
    for (const Entry& e : Index()) {
        int rank;
        if (e.number == code) {
            rank = 0;
        } else {
            const int score = WordScore(e.haystack, words);
            if (score < 0) continue;
            const std::string name = Normalize(e.hit.name.c_str());
            rank = name == query ? 1 : score == static_cast<int>(words.size()) ? 2 : 3;
        }
        ranked.push_back({rank, e.hit.name.GetLength() > 0 ? static_cast<size_t>(e.hit.name.GetLength()) : 0,
                          e.number, &e});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        // A datum's name ("国家2000", "RGF93") is best answered by its
        // geographic system, before the many projections on it.
        if (a.entry->hit.bGeographic != b.entry->hit.bGeographic) return a.entry->hit.bGeographic;
        if (a.length != b.length) return a.length < b.length;
        return a.number < b.number;
    });
    for (size_t i = 0; i < ranked.size() && static_cast<int>(i) < nLimit; ++i)
        hits.push_back(ranked[i].entry->hit);
    return hits;
}

int ZrBuildSearchHit(const ZrSystemSearchHit& hit, CZrPJCoordSys& cs) {
    CZrPJCoordSys built;
    if (hit.epsgCode > 0) {
        if (!ZrCoordSysFromEpsg(hit.epsgCode, built)) return 0;
    } else if (hit.bGeographic) {
        CZrPJGeoCoordSys gcs;
        gcs.Set(static_cast<tagGeoCoordSysType>(hit.catalogue));
        built.SetEarth(gcs, kMetreUnits);
    } else {
        built.Set(static_cast<tagPJCoordSysType>(hit.catalogue));
    }
    if (built.GetType() != PJ_CS_PLANAR && !built.IsValid()) return 0;
    cs = built;
    return 1;
}
