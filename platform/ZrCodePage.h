#pragma once

#include "platform/ZrExport.h"

#include <cstddef>
#include <string>

// Conversion between the library's UTF-8 strings and the 8-bit code pages of
// the files it exchanges with existing installations (GB2312 for Chinese,
// Shift-JIS for Japanese hosts).
//
// Two kinds of byte stream are handled:
// - unlabelled legacy text (the one-line and key-value projection files) holds
//   the ANSI code page of the Windows host that wrote it: CP936 (GBK, a
//   superset of GB2312) or CP932 (Windows Shift-JIS);
// - labelled text (an XML document naming its encoding) is written strictly in
//   the named encoding, so that any reader that trusts the label can decode
//   it, and read leniently through the Windows superset of that encoding,
//   because existing installations wrote CP936/CP932 bytes under the labels
//   "GB2312" and "shift_JIS".
//
// Encoding never corrupts silently: a character the target cannot hold either
// fails the conversion (plain text, so the caller can refuse the save) or, for
// XML text, becomes a numeric character reference "&#NNNN;". Input that is not
// valid UTF-8 always fails the encoding.
//
// Decoding never fails and always yields valid UTF-8: each byte that does not
// begin a valid character becomes U+FFFD; the result reports whether any
// replacement was made.
class ZRPRJ_API CZrCodePage {
public:
    enum Page { Utf8 = 0, Gb2312 = 1, ShiftJis = 2 };
    enum Unmappable {
        Fail = 0,   // the conversion fails (returns 0)
        CharRef = 1 // the character is written as "&#NNNN;" (XML text and attribute values only)
    };

    // The page of a Windows character-set number: 128 is Shift-JIS, any other
    // value GB2312.
    static Page FromCharset(int charset);
    // The page that files of this host use, after CZrToolkit::GetCharset().
    static Page Current();
    // The label an XML declaration carries for the page: "GB2312", "shift_JIS" or "UTF-8".
    static const char* XmlEncodingName(Page page);

    // Unlabelled legacy text. Return 1 on success, 0 on failure; on failure
    // the output is empty.
    static int FromUtf8(const std::string& utf8, Page page, std::string& bytes, Unmappable mode = Fail);
    // Returns 1 when every byte was valid, 0 when some were replaced by U+FFFD.
    static int ToUtf8(const std::string& bytes, Page page, std::string& utf8);

    // Labelled text: label is an encoding name as XML declarations and MIME
    // write it ("GB2312", "shift_JIS", "UTF-8", "GBK", ...); names the host's
    // iconv knows are accepted too. An empty label means UTF-8. When the label
    // names no known encoding, the output is empty and FromUtf8 returns 0,
    // ToUtf8 -1; otherwise both return as the forms above.
    static int FromUtf8(const std::string& utf8, const char* label, std::string& bytes,
                        Unmappable mode = Fail);
    static int ToUtf8(const std::string& bytes, const char* label, std::string& utf8);

    // Nonzero when the text is well-formed UTF-8 (no overlong forms, no
    // surrogates, nothing above U+10FFFF).
    static int IsValidUtf8(const std::string& text);
    // Length in bytes (1 to 4) of the well-formed UTF-8 character that begins
    // text[0, size), its code point in *codePoint when asked; 0 when the bytes
    // there begin none (nothing left, a stray or unused byte, an overlong
    // form, a surrogate, past U+10FFFF, cut short). The one decoder of the
    // library: every reader, writer and cutter of UTF-8 steps with it.
    static int Utf8CharLength(const char* text, size_t size, unsigned* codePoint = nullptr);
    // Nonzero when the label names UTF-8 (or is empty).
    static int IsUtf8Label(const char* label);
};
