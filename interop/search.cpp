// Finding systems by name, alias or code: one index over the catalogue, the
// EPSG data file and ESRI's own codes, built once and then only read.
#include "interop/ZrSearch.h"

#include "interop/ZrEpsgData_p.h"
#include "interop/ZrEpsgLeftOut_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropMatch_p.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>

namespace {

struct Entry {
    long epsg = 0, esri = 0, catalogue = 0;
    bool projected = false, built = false;
    std::string name, catalogueName;
    std::vector<std::string> aliases;
    bool hasArea = false;
    ZrEpsgAreaRecord area;
    // Every name of the entry in compact form (see Compact).
    std::vector<std::string> keys;
};

// A name as it is compared: ASCII letters in lower case and digits, every
// other ASCII character dropped, so that case, spaces, underscores, hyphens
// and slashes do not count ("RGF_1993_Lambert_93", "Lambert-93"); bytes of
// other scripts kept as they are.
std::string Compact(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c >= 0x80)
            out += static_cast<char>(c);
        else if (std::isalnum(c))
            out += static_cast<char>(std::tolower(c));
    }
    return out;
}

// The words of a query, each compacted: runs of characters between ASCII
// separators.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (unsigned char c : text) {
        if (c >= 0x80 || std::isalnum(c)) {
            word += static_cast<char>(c >= 0x80 ? c : std::tolower(c));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// Chinese names of the Chinese datums, kinds and words of system names, in
// the terms EPSG's and ESRI's names use. The catalogue names its systems in
// English only; a Chinese user searches with these. Longer terms come before
// the shorter ones they hold, which are replaced after them.
struct Term {
    const char* chinese;
    const char* english;
};
const Term kChineseTerms[] = {
    {"2000国家大地坐标系", " cgcs2000 "},
    {"中国大地坐标系2000", " cgcs2000 "},
    {"国家大地坐标系2000", " cgcs2000 "},
    {"国家2000", " cgcs2000 "},
    {"新北京54", " new beijing "},
    {"新北京1954", " new beijing "},
    {"北京1954", " beijing 1954 "},
    {"北京54", " beijing 1954 "},
    {"西安1980", " xian 1980 "},
    {"西安80", " xian 1980 "},
    {"世界大地坐标系1984", " wgs 84 "},
    {"通用横轴墨卡托", " utm "},
    {"横轴墨卡托", " transverse mercator "},
    {"伪墨卡托", " pseudo-mercator "},
    {"网络墨卡托", " web mercator "},
    {"墨卡托", " mercator "},
    {"高斯-克吕格", " gauss-kruger "},
    {"高斯克吕格", " gauss-kruger "},
    {"高斯", " gauss-kruger "},
    {"兰勃特", " lambert "},
    {"兰伯特", " lambert "},
    {"阿尔伯斯", " albers "},
    {"等积", " equal area "},
    {"6度带", " zone "}, // EPSG's Gauss-Kruger zones are 6-degree unless named otherwise
    {"3度带", " 3-degree zone "},
    {"6度", " "},
    {"3度", " 3-degree "},
    {"第", " "},
    {"带", " zone "},
    {"北半球", " n "},
    {"南半球", " s "},
    {"经纬坐标系", " "},
    {"地理坐标系", " "},
    {"投影坐标系", " "},
    {"坐标系", " "},
};

std::string Translated(std::string text) {
    for (const Term& t : kChineseTerms) {
        const std::size_t n = std::strlen(t.chinese);
        for (std::size_t at = text.find(t.chinese); at != std::string::npos; at = text.find(t.chinese, at))
            text.replace(at, n, t.english);
    }
    return text;
}

struct Index {
    std::vector<Entry> entries;
    // Positions in entries by EPSG code, and by catalogue code of each kind
    // (the catalogue numbers projected and geographic systems apart).
    std::unordered_map<long, std::size_t> byEpsg, byProjected, byGeographic;
};

void AddKeys(Entry& e) {
    e.keys.clear();
    auto add = [&e](const std::string& name) {
        std::string key = Compact(name);
        if (!key.empty() && std::find(e.keys.begin(), e.keys.end(), key) == e.keys.end())
            e.keys.push_back(std::move(key));
    };
    add(e.name);
    add(e.catalogueName);
    for (const std::string& alias : e.aliases)
        add(alias);
}

Index Build() {
    Index index;
    std::vector<Entry>& entries = index.entries;
    std::unordered_map<long, std::size_t>& byEpsg = index.byEpsg;

    auto addEpsg = [&](long code, const std::string& name, bool projected, bool built) {
        Entry e;
        e.epsg = code;
        e.name = name;
        e.projected = projected;
        e.built = built;
        ZrEpsgAliases(code, e.aliases);
        e.hasArea = ZrEpsgFindArea(code, e.area) != 0;
        byEpsg[code] = entries.size();
        entries.push_back(std::move(e));
    };
    std::vector<long> codes;
    ZrEpsgGeographicCodes(codes);
    for (long code : codes) {
        ZrEpsgGeographicRecord g;
        if (ZrEpsgFindGeographic(code, g)) addEpsg(code, g.name, false, true);
    }
    ZrEpsgProjectedCodes(codes);
    for (long code : codes) {
        ZrEpsgProjectedRecord p;
        if (ZrEpsgFindProjected(code, p)) addEpsg(code, p.name, true, true);
    }
    ZrEpsgLeftOutCodes(codes);
    for (long code : codes) {
        ZrEpsgLeftOutRecord x;
        if (ZrEpsgFindLeftOut(code, x)) addEpsg(code, x.name, true, false);
    }

    // A catalogue row joins the EPSG system the mapping file names for it; a
    // row of its own otherwise (or when another row took that system).
    auto addCatalogue = [&](long code, const std::string& name, bool projected) {
        std::unordered_map<long, std::size_t>& byCatalogue =
            projected ? index.byProjected : index.byGeographic;
        const long epsg = ZrMappedEpsgCode(code);
        const auto it = epsg > 0 ? byEpsg.find(epsg) : byEpsg.end();
        if (it != byEpsg.end() && entries[it->second].catalogue == 0) {
            Entry& e = entries[it->second];
            e.catalogue = code;
            e.catalogueName = name;
            e.built = true;
            byCatalogue[code] = it->second;
            return;
        }
        Entry e;
        e.catalogue = code;
        e.catalogueName = name;
        e.name = name;
        e.projected = projected;
        e.built = true;
        if (epsg > 0 && it == byEpsg.end()) {
            e.epsg = epsg;
            byEpsg[epsg] = entries.size();
        }
        byCatalogue[code] = entries.size();
        entries.push_back(std::move(e));
    };
    ZrProjectedRow row;
    for (int i = 0; i < ZrProjectedRowCount(); ++i)
        if (ZrFindProjectedRow(ZrProjectedCodeAt(i), row)) addCatalogue(row.code, row.name, true);
    for (int i = 0; i < CZrPJGeoCoordSys::GetCatalogueCount(); ++i) {
        const long code = CZrPJGeoCoordSys::GetCatalogueCode(i);
        CZrPJGeoCoordSys gcs;
        if (code > 0 && gcs.Set(static_cast<tagGeoCoordSysType>(code)) && !index.byGeographic.count(code))
            addCatalogue(code, gcs.GetName().str(), false);
    }

    // ESRI's own codes: the catalogue row of the same code and kind with no
    // EPSG code is that system (the catalogue numbers ESRI's world systems
    // as ESRI does).
    std::vector<ZrEsriSystemRecord> esri;
    ZrEsriSystems(esri);
    for (const ZrEsriSystemRecord& r : esri) {
        const auto& byCatalogue = r.projected ? index.byProjected : index.byGeographic;
        const auto it = byCatalogue.find(r.code);
        if (it != byCatalogue.end() && entries[it->second].epsg == 0) {
            Entry& e = entries[it->second];
            e.esri = r.code;
            e.name = r.name;
            e.hasArea = true;
            e.area = r.area;
            continue;
        }
        Entry e;
        e.esri = r.code;
        e.name = r.name;
        e.projected = r.projected;
        e.hasArea = true;
        e.area = r.area;
        entries.push_back(std::move(e));
    }
    for (Entry& e : entries)
        AddKeys(e);
    return index;
}

const Index& TheIndex() {
    // Built by whichever thread comes first; the others wait, then only read.
    static const Index index = Build();
    return index;
}

// A code query: "4490", "EPSG:4490", "esri : 54030". authority is "" for a
// bare number. Codes are positive: 0 finds nothing.
bool ParseCode(const std::string& text, std::string& authority, long& code) {
    std::size_t at = 0;
    auto skipSpace = [&] {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    };
    skipSpace();
    authority.clear();
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])))
        authority += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++])));
    if (!authority.empty()) {
        if (authority != "epsg" && authority != "esri") return false;
        skipSpace();
        if (at >= text.size() || text[at] != ':') return false;
        ++at;
        skipSpace();
    }
    const std::size_t digits = at;
    code = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - digits < 9)
        code = code * 10 + (text[at++] - '0');
    if (at == digits) return false;
    skipSpace();
    // "EPSG:0" is a code, one no system has.
    return at == text.size();
}

ZrSearchHit HitOf(const Entry& e) {
    ZrSearchHit h;
    h.epsgCode = e.epsg;
    h.esriCode = e.esri;
    h.catalogueCode = e.catalogue;
    h.code = e.epsg   ? "EPSG:" + std::to_string(e.epsg)
             : e.esri ? "ESRI:" + std::to_string(e.esri)
                      : std::to_string(e.catalogue);
    h.name = e.name;
    h.catalogueName = e.catalogueName;
    h.aliases = e.aliases;
    h.projected = e.projected;
    h.built = e.built;
    h.hasArea = e.hasArea;
    if (e.hasArea) {
        h.areaName = e.area.name;
        h.south = e.area.south;
        h.west = e.area.west;
        h.north = e.area.north;
        h.east = e.area.east;
    }
    return h;
}

struct Match {
    int tier;           // -1 code, 0 equal, 1 prefix, 2 holds, 3 holds each word
    std::size_t length; // of the name that matched
    std::size_t entry;
};

bool Better(const Match& a, const Match& b, const std::vector<Entry>& entries) {
    if (a.tier != b.tier) return a.tier < b.tier;
    if (a.length != b.length) return a.length < b.length;
    const Entry &x = entries[a.entry], &y = entries[b.entry];
    // EPSG systems before those of the catalogue or ESRI alone, then by code.
    if ((x.epsg != 0) != (y.epsg != 0)) return x.epsg != 0;
    if (x.epsg != y.epsg) return x.epsg < y.epsg;
    return a.entry < b.entry;
}

} // namespace

int ZrSearchCoordSys(const std::string& text, std::vector<ZrSearchHit>& hits, int limit) {
    hits.clear();
    const Index& index = TheIndex();
    const std::vector<Entry>& entries = index.entries;
    std::vector<Match> matches;

    std::string authority;
    long code = 0;
    const bool isCode = ParseCode(text, authority, code);
    if (isCode) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const bool hit = authority == "epsg"   ? e.epsg == code
                             : authority == "esri" ? (e.esri == code || (e.esri == 0 && e.epsg == code))
                                                   : e.epsg == code || e.esri == code || e.catalogue == code;
            if (hit && code > 0) matches.push_back({-1, e.name.size(), i});
        }
    }
    // A bare number is also a name fragment ("2000", "93"); an authority's
    // code is not.
    if (!isCode || authority.empty()) {
        const std::string translated = Translated(text);
        const std::string query = Compact(translated);
        std::vector<std::string> words = Words(translated);
        if (words.size() < 2) words.clear();
        if (!query.empty()) {
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const Entry& e = entries[i];
                if (isCode && !matches.empty() &&
                    std::any_of(matches.begin(), matches.end(), [i](const Match& m) { return m.entry == i; }))
                    continue;
                Match best{4, 0, i};
                for (const std::string& key : e.keys) {
                    int tier = 4;
                    if (key.size() >= query.size()) {
                        if (key.compare(0, query.size(), query) == 0)
                            tier = key.size() == query.size() ? 0 : 1;
                        else if (key.find(query) != std::string::npos)
                            tier = 2;
                    }
                    if (tier == 4 && !words.empty() &&
                        std::all_of(words.begin(), words.end(), [&key](const std::string& w) {
                            return key.find(w) != std::string::npos;
                        }))
                        tier = 3;
                    if (tier < best.tier || (tier == best.tier && key.size() < best.length)) {
                        best.tier = tier;
                        best.length = key.size();
                    }
                }
                if (best.tier < 4) matches.push_back(best);
            }
        }
    }
    const auto better = [&entries](const Match& a, const Match& b) { return Better(a, b, entries); };
    const std::size_t wanted =
        limit > 0 ? std::min(matches.size(), static_cast<std::size_t>(limit)) : matches.size();
    std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(wanted), matches.end(),
                      better);
    hits.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i)
        hits.push_back(HitOf(entries[matches[i].entry]));
    return static_cast<int>(matches.size());
}

int ZrDescribeCoordSys(const CZrPJCoordSys& cs, ZrSearchHit& hit) {
    if (!cs.IsValid() || cs.GetType() == PJ_CS_PLANAR) return 0;
    const Index& index = TheIndex();
    const bool projected = cs.GetType() != PJ_CS_EARTH;
    const long epsg = ZrEpsgCodeOf(cs);
    auto found = index.byEpsg.end();
    if (epsg > 0) found = index.byEpsg.find(epsg);
    if (found == index.byEpsg.end() || index.entries[found->second].projected != projected) {
        // No EPSG code: the catalogue row, by its code.
        const long code = projected ? cs.GetType() : cs.GetGCS().GetType();
        const auto& byCatalogue = projected ? index.byProjected : index.byGeographic;
        found = code > 0 ? byCatalogue.find(code) : byCatalogue.end();
        if (found == byCatalogue.end()) return 0;
    }
    hit = HitOf(index.entries[found->second]);
    return 1;
}
