#pragma once

#include "platform/ZrCodePage.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

#include <string>

// Whole-file helpers.
class ZRPRJ_API CZrFile {
public:
    // Reads the whole file into bytes. Returns 1, or 0 (bytes emptied) when the
    // file cannot be opened or read, is not a regular file (a FIFO is refused
    // at once, never waited on), or is larger than maxSize (checked before
    // anything is allocated; a reader passes what its kind of file can take).
    static int ReadAll(const char* path, std::string& bytes, long long maxSize = kMaxFileSize);
    static constexpr long long kMaxFileSize = 256LL * 1024 * 1024;
    // The cap of the documents the library reads (projection files of a few
    // kB, the 175 kB mapping file). Their readers build structures several
    // times a document's size (a line per field, a node per element), so the
    // cap is what bounds the memory a hostile file can take.
    static constexpr long long kMaxDocumentSize = 4LL * 1024 * 1024;

    // Replaces the file with the bytes so that the old file stays whole until
    // the new one is complete on disk (see CZrAtomicFile). Returns 1 or 0.
    static int SaveAtomic(const char* path, const std::string& bytes);

    // Windows line ends: every LF not already preceded by CR becomes CR LF.
    static std::string ToCrLf(const std::string& text);
};

// A file written beside its target under a temporary name and renamed over
// the target only when every byte has been written and flushed. A failed or
// abandoned save therefore leaves the previous file untouched, and readers
// never see a half-written file. A symbolic link is followed, so the file it
// points at is replaced, not the link; but in a sticky world-writable folder
// (/tmp) a link owned by neither the folder's owner nor the caller, whether
// it stands for the file or for a folder on the way, is not followed, and the
// save is refused, as the kernel's protected_symlinks rule would refuse an
// open through it.
//
// - Only a regular file is replaced, and only one the caller may write: a
//   save refused by the permissions (or, for the super-user, who passes any
//   permission check, a file whose owner has no write permission, such as
//   0444) returns 0 and leaves the file as it was.
// - A replaced file keeps its permission bits, and its owner and group where
//   the caller may give them (the super-user always; others keep the group
//   when they belong to it, and the file becomes theirs).
// - The replacement is a new file: another hard link to the old one keeps
//   the old content.
// - The temporary name is TARGET.~tmp, locked while a save writes it. A save
//   waits (up to 5 s) for another save of the same target to finish, and
//   removes the temporary file that a save killed half way left behind, so a
//   crash leaves at most that one file, until the next save. When that name
//   is taken by another user's file (anyone may create it in a shared
//   folder), the save leaves it alone and writes under a unique name
//   TARGET.~tmp.PID.XXXX instead, still renamed into place.
class ZRPRJ_API CZrAtomicFile {
public:
    CZrAtomicFile() = default;
    ~CZrAtomicFile() { Abort(); }
    CZrAtomicFile(const CZrAtomicFile&) = delete;
    CZrAtomicFile& operator=(const CZrAtomicFile&) = delete;

    // Creates the temporary file in the target's folder. Returns 1, or 0 when
    // it cannot be created (no such folder, the folder is a file, ...) or the
    // existing target may not be replaced (see above).
    int Begin(const char* path);
    // Returns 1, or 0 once any write has failed (the failure sticks).
    int Append(const void* data, size_t size);
    // Flushes, closes and renames over the target. Returns 1, or 0 after any
    // failure, in which case the temporary file is removed.
    int Commit();
    // Removes the temporary file; the target is not touched.
    void Abort();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& GetTempPath() const { return m_tempPath; }
    const std::string& GetTargetPath() const { return m_targetPath; }

private:
    int m_fd = -1;
    bool m_failed = false;
    std::string m_tempPath;
    std::string m_targetPath;
};

// The text-file class the persistence code uses in the manner of MFC's
// CStdioFile. Differences that matter to callers:
// - Text is UTF-8 inside the library. In text mode (the default) the bytes on
//   disk are in a code page given to Open (by default the host's, after
//   CZrToolkit::GetCharset()); a file that starts with a UTF-8 byte-order mark
//   is read as UTF-8 whatever the code page. Bytes that are invalid in the
//   code page read as U+FFFD.
// - ReadString accepts CR LF and LF line ends. WriteString writes each LF as
//   CR LF, as Windows installations do (a CR LF already in the text is kept).
// - Writing always replaces the whole file atomically: nothing reaches the
//   target before Close, which returns 0 when any write failed or a character
//   could not be held by the code page. Destroying the object without Close
//   discards what was written, like an interrupted save.
class ZRPRJ_API CStdioFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002, // not supported: Open fails
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CStdioFile() = default;
    ~CStdioFile() { Abort(); }
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Returns 1, or 0 when the path is empty, a file to read cannot be read
    // (or is no regular file, or is over CZrFile::kMaxDocumentSize), or a file to write cannot be created or
    // may not be replaced (see CZrAtomicFile). Writing without modeCreate requires the file to exist. Sharing
    // flags are accepted and ignored.
    int Open(const char* path, unsigned flags, CZrCodePage::Page page = CZrCodePage::Current());

    // The next line without its line end; returns 0 at the end of the file.
    int ReadString(CString& line);
    void WriteString(const char* text);
    void Write(const void* data, unsigned count);

    // Returns 1; for a written file, 0 when the save failed (the old file is
    // then untouched).
    int Close();
    // Closes without saving what was written.
    void Abort();

    bool IsOpen() const { return m_reading || m_writer.IsOpen(); }

private:
    void Put(const std::string& text);

    bool m_text = true;
    bool m_reading = false;
    bool m_failed = false;
    CZrCodePage::Page m_page = CZrCodePage::Utf8;
    std::string m_content; // the decoded file when reading
    size_t m_pos = 0;
    CZrAtomicFile m_writer;
};
