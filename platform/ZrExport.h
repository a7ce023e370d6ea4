#pragma once

// Symbols are hidden by default; only classes and functions marked here are
// part of the shared library's interface.
#if defined(_WIN32)
#if defined(ZRPRJ50_BUILDING)
#define ZRPRJ_API __declspec(dllexport)
#else
#define ZRPRJ_API __declspec(dllimport)
#endif
#else
#define ZRPRJ_API __attribute__((visibility("default")))
#endif
