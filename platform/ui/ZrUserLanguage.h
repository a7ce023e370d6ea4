#pragma once

// The user's default language as a Windows language identifier, taken from
// the process locale, so that the dialog picks the same defaults (geographic
// system, predefined group) for a Japanese or Swedish user as it always has,
// and the data-exchange checks speak the user's language.

#include "platform/ZrExport.h"

enum {
    ZR_LANG_NEUTRAL = 0x00,
    ZR_LANG_CHINESE = 0x04,
    ZR_LANG_GERMAN = 0x07,
    ZR_LANG_ENGLISH = 0x09,
    ZR_LANG_FRENCH = 0x0C,
    ZR_LANG_JAPANESE = 0x11,
    ZR_LANG_KOREAN = 0x12,
    ZR_LANG_SWEDISH = 0x1D,
};

// The primary language of a language identifier: its low 10 bits.
inline int ZrPrimaryLangId(int nLangId) {
    return nLangId & 0x3FF;
}

// The language identifier of a POSIX locale name ("ja_JP.UTF-8", "sv_SE",
// "zh_CN.GB2312"); the primary language only, ZR_LANG_NEUTRAL for "C",
// "POSIX", an empty name or a language this table does not know.
ZRPRJ_API int ZrLangIdFromLocaleName(const char* lpszLocale);

// The user's default language: the messages locale of the process when one
// has been set (setlocale), otherwise the environment as setlocale(LC_ALL, "")
// would read it (LC_ALL, then LC_MESSAGES, then LANG).
ZRPRJ_API int ZrGetUserDefaultLangID();
