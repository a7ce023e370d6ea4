#pragma once

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

// The coordinate-system files, each read or written from a path chosen by the
// caller (the sheet's load and save actions only ask a file dialog for it).
//
// Files are 8-bit text in the host's legacy code page (GB2312, or Shift-JIS
// when CZrToolkit::GetCharset() gives 128); the library's strings are UTF-8
// and are converted at the file boundary. Lines are written with CR LF and
// read with CR LF or LF.
//
// A save never loses the previous file: the new one is written beside it and
// renamed over it when complete. A failed save returns 0 and leaves the old
// file byte-identical. A file the caller may not write (read-only, such as
// 0444, even for the super-user) or that is no regular file is not replaced:
// the save returns 0 (see CZrAtomicFile). Opening reads only regular files
// and never waits on a FIFO. No function here lets an exception out; running
// out of memory fails the call. A name that the file's code page cannot hold fails the
// save of a text or key-value file; the XML file carries it as a character
// reference.

// The XML format version written by this library (yyyymmdd).
constexpr int ZRPRJ_XML_VERSION = 20050301;
// Namespace of the "oml:" elements of the XML projection file.
ZRPRJ_API extern const char* const ZRPRJ_XML_NAMESPACE;

// ---- XML projection file: root OrvantaProjection ----
// Returns 1 when the file has been written, else 0.
ZRPRJ_API int ZrSaveXmlProjectionFile(const CString& path, const CZrPJCoordSys& coordSys);
// Reads the coordinate system straight into coordSys and returns the reader's
// result (0 when the file cannot be loaded, coordSys then untouched, or when
// it holds no coordinate-system code). A document whose root is not
// OrvantaProjection is read whole, as the current layout. When loaded is
// given, it tells whether the file got past loading (1) or not (0).
ZRPRJ_API int ZrOpenXmlProjectionFile(const CString& path, CZrPJCoordSys& coordSys, int* loaded = nullptr);

// ---- Key-value projection file (".prj"): 27 lines "Key: value " ----
ZRPRJ_API CString ZrKeyValueProjectionText(const CZrPJCoordSys& coordSys);
ZRPRJ_API int ZrSaveKeyValueProjectionFile(const CString& path, const CZrPJCoordSys& coordSys);
// Builds a coordinate system from the lines of the text (LF or CR LF); never
// fails. Missing keys take their defaults.
ZRPRJ_API CZrPJCoordSys ZrReadKeyValueProjection(const CString& text);
// 1 and coordSys replaced, or 0 and coordSys untouched when the file cannot
// be read.
ZRPRJ_API int ZrOpenKeyValueProjectionFile(const CString& path, CZrPJCoordSys& coordSys);

// ---- One-line text projection file ----
ZRPRJ_API int ZrSaveTextProjectionFile(const CString& path, const CZrPJCoordSys& coordSys);
// Reads the first line into coordSys and rebuilds it; 0 when the path is
// empty, the file cannot be read or is empty.
ZRPRJ_API int ZrOpenTextProjectionFile(const CString& path, CZrPJCoordSys& coordSys);

// ---- Recognised by content ----
// The readers of the key-value and one-line files take any text and make a
// system of it; these say whether a text is that form as the library writes
// it. Key-value: every non-blank line "Key: value" with one of its 27 keys (any
// letter case, as its reader takes them), PCSType among them. One-line: nine
// fields cut at ';' ("CODE ,NAME" of the system, its geographic system and
// datum; spheroid "CODE, AXIS, FLATTENING ,NAME"; prime meridian "CODE,
// DEGREES, NAME"; angular unit; "CODE ,NAME" of the kind; linear unit; ten
// numbers) on the first line, nothing but blank lines after it.
ZRPRJ_API int ZrIsKeyValueProjectionText(const std::string& content);
ZRPRJ_API int ZrIsOneLineProjectionText(const std::string& content);

// ---- By extension, as the sheet's load and save actions choose ----
// ".prj" (any letter case) is the key-value file, ".xml" the XML file. Any
// other extension reads and writes nothing and returns 0.
ZRPRJ_API int ZrSaveProjectionFile(const CString& path, const CZrPJCoordSys& coordSys);
ZRPRJ_API int ZrOpenProjectionFile(const CString& path, CZrPJCoordSys& coordSys, int* loaded = nullptr);
