#pragma once

// Helpers shared by the stored forms: the XML layout's version boundary,
// number reading with the runtime's atoi/atof rules, the cutting of one-line
// texts at separators, and the guard that keeps exceptions inside the library.

#include "platform/ZrString.h"

namespace zrprj {

// The last version of the flat XML layout, in which a coordinate system's
// values stand directly under its element (and a file's under the root).
constexpr int kFlatLayoutVersion = 20020128;

// atoi: leading white space, an optional sign and decimal digits; anything
// else ends the number, and text that is no number gives 0. A value beyond
// the 32-bit range saturates instead of being undefined.
int ReadInt(const char* text);

// atof: leading white space, an optional sign, digits with an optional point
// and an optional exponent. Only this decimal form is read (no "inf", "nan"
// or hexadecimal forms), as the runtime the stored texts come from reads it;
// the locale never changes the decimal separator.
double ReadDouble(const char* text);

// Cuts the current text at the first separator: the part before it becomes
// the field and the part after it, with leading white space removed, the new
// current text. Returns false and changes nothing when the separator is
// missing, or stands first while allowFirst is false.
bool CutAt(CString& current, char separator, CString& field, bool allowFirst);

// Runs the body of a reader or writer of the stored forms. They build
// strings, and running out of memory (on a huge or hostile input) must not
// carry an exception across the library's boundary: it reads as a failure,
// the value given (0, an empty text), or for a reader without a result as a
// read that stopped where it was.
template <class T, class Body> T Guarded(const T& failed, Body&& body) {
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

template <class Body> void Guarded(Body&& body) {
    try {
        body();
    } catch (...) {
    }
}

} // namespace zrprj
