// libFuzzer entry for one reader of the stored forms. The reader is chosen at
// build time (ZRPRJ_FUZZ_READER), so each reader is its own target with its
// own corpus. Every reader must take any bytes without crashing, leaking,
// hanging or tripping a sanitizer; what it built is written out again so the
// writers see the odd states the readers leave behind.

#include "model/ZrPJCoordSys.h"
#include "persistence/ZrPrjFiles.h"
#include "persistence/ZrProjectionDef.h"
#include "platform/ZrArchive.h"
#include "transform/ZrPJTranslator.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#ifndef ZRPRJ_FUZZ_READER
#error "ZRPRJ_FUZZ_READER selects the reader"
#endif

namespace {

enum Reader {
    TextSpheroid = 1,
    TextPrimeMeridian,
    TextDatum,
    TextGeoCoordSys,
    TextObject,
    TextParams,
    TextParamsExt,
    TextCoordSys,
    XmlSpheroid,
    XmlPrimeMeridian,
    XmlDatum,
    XmlGeoCoordSys,
    XmlObject,
    XmlParams,
    XmlCoordSys,
    KeyValue,
    ArchiveRecord,
    LegacyArray,
    MappingFile,
    XmlFile,
};

// XML readers take the layout from the first byte: the flat one below
// 20020129, the current one above.
int TakeVersion(const uint8_t*& data, size_t& size) {
    if (size == 0) return 20050301;
    const int version = (data[0] & 1) ? 20020128 : 20050301;
    ++data;
    --size;
    return version;
}

// A file of this process holding the bytes, for the readers that take a path.
std::string g_tempPath;
void RemoveTempFile() {
    if (!g_tempPath.empty()) std::remove(g_tempPath.c_str());
}

CString TempFile(const char* extension, const uint8_t* data, size_t size) {
    if (g_tempPath.empty()) {
        g_tempPath = "/tmp/zrprj-fuzz-" + std::to_string(getpid()) + extension;
        std::atexit(RemoveTempFile);
    }
    const std::string& path = g_tempPath;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return CString(path);
}

template <class T> void Text(const CString& text) {
    T object;
    object.FromString(text);
    (void)object.ToString();
}

template <class T> void Xml(const uint8_t* data, size_t size) {
    const int version = TakeVersion(data, size);
    T object;
    object.FromXML(CString(reinterpret_cast<const char*>(data), static_cast<int>(size)), version);
    (void)object.ToXML(20050301);
}

} // namespace

// Inputs of any size are taken: the readers bound what they accept themselves
// (nesting depth, file size), and the costs that grow with the size of the
// input are what deep and wide seeds are there to find.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    switch (ZRPRJ_FUZZ_READER) {
    case TextSpheroid:
        Text<CZrPJSpheroid>(text);
        break;
    case TextPrimeMeridian:
        Text<CZrPJPrimeMeridian>(text);
        break;
    case TextDatum:
        Text<CZrPJDatum>(text);
        break;
    case TextGeoCoordSys:
        Text<CZrPJGeoCoordSys>(text);
        break;
    case TextObject:
        Text<CZrPJObject>(text);
        break;
    case TextParams:
        Text<CZrPJParams>(text);
        break;
    case TextParamsExt: {
        CZrPJParams params;
        params.FromStringExt(text);
        (void)params.ToStringExt();
        break;
    }
    case TextCoordSys: {
        CZrPJCoordSys cs;
        cs.FromString(text);
        cs.Create();
        (void)cs.ToString();
        break;
    }
    case XmlSpheroid:
        Xml<CZrPJSpheroid>(data, size);
        break;
    case XmlPrimeMeridian:
        Xml<CZrPJPrimeMeridian>(data, size);
        break;
    case XmlDatum:
        Xml<CZrPJDatum>(data, size);
        break;
    case XmlGeoCoordSys:
        Xml<CZrPJGeoCoordSys>(data, size);
        break;
    case XmlObject:
        Xml<CZrPJObject>(data, size);
        break;
    case XmlParams:
        Xml<CZrPJParams>(data, size);
        break;
    case XmlCoordSys:
        Xml<CZrPJCoordSys>(data, size);
        break;
    case KeyValue: {
        const CZrPJCoordSys cs = ZrReadKeyValueProjection(text);
        (void)ZrKeyValueProjectionText(cs);
        break;
    }
    case ArchiveRecord: {
        CArchive in(data, static_cast<unsigned>(size));
        CZrPJCoordSys cs;
        cs.Read(in);
        CArchive out(CArchive::store);
        cs.Write(out);
        break;
    }
    case LegacyArray: {
        CByteArray bytes;
        bytes.SetSize(static_cast<int>(size));
        for (size_t i = 0; i < size; ++i)
            bytes[static_cast<int>(i)] = data[i];
        CProjectionDef def;
        def.LoadParamFromArray(bytes);
        def.SaveParamToArray(bytes);
        break;
    }
    case MappingFile: {
        int code = 0;
        for (size_t i = 0; i < size && i < 4; ++i)
            code = code << 8 | data[i];
        CZrPJTranslator::m_strEpsgName = TempFile(".CodeTransition.xml", data, size);
        CZrPJTranslator translator;
        translator.EPSG2Orvanta(code);
        translator.Orvanta2EPSG(code);
        translator.EPSG2Orvanta(4326);
        translator.Orvanta2EPSG(32650);
        break;
    }
    case XmlFile: {
        CZrPJCoordSys cs;
        ZrOpenProjectionFile(TempFile(".xml", data, size), cs);
        break;
    }
    }
    return 0;
}
