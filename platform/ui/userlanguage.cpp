#include "platform/ui/ZrUserLanguage.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {
struct LanguageRow {
    const char* code; // ISO 639-1
    int langId;
};

constexpr LanguageRow kLanguages[] = {
    {"zh", ZR_LANG_CHINESE},  {"de", ZR_LANG_GERMAN}, {"en", ZR_LANG_ENGLISH}, {"fr", ZR_LANG_FRENCH},
    {"ja", ZR_LANG_JAPANESE}, {"ko", ZR_LANG_KOREAN}, {"sv", ZR_LANG_SWEDISH},
};

bool IsNeutralName(const char* name) {
    return !name || !*name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}
} // namespace

int ZrLangIdFromLocaleName(const char* lpszLocale) {
    if (IsNeutralName(lpszLocale)) return ZR_LANG_NEUTRAL;
    // The language is the part before '_', '.', '@' or '-'.
    std::size_t len = std::strcspn(lpszLocale, "_.@-");
    if (len < 2 || len > 3) return ZR_LANG_NEUTRAL;
    for (const LanguageRow& row : kLanguages) {
        if (std::strlen(row.code) != len) continue;
        bool same = true;
        for (std::size_t i = 0; i < len && same; ++i) {
            char c = lpszLocale[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == row.code[i];
        }
        if (same) return row.langId;
    }
    return ZR_LANG_NEUTRAL;
}

int ZrGetUserDefaultLangID() {
#ifdef LC_MESSAGES
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
#else
    const char* current = std::setlocale(LC_CTYPE, nullptr);
#endif
    if (!IsNeutralName(current)) return ZrLangIdFromLocaleName(current);
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return ZrLangIdFromLocaleName(value);
    }
    return ZR_LANG_NEUTRAL;
}
