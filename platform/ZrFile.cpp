#include "platform/ZrFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

bool WriteFully(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Whether the caller may follow the symbolic link at `link`, owned by
// `linkOwner`, by the kernel's rule for links in sticky world-writable
// folders (fs.protected_symlinks): there, anyone may plant a link, so only a
// link of the folder's owner or of the caller is followed. Without it, a save
// by root in /tmp would replace whatever file another user's link named. The
// rule is applied here whatever the host's setting, which is often off.
bool MayFollow(const std::string& link, uid_t linkOwner) {
    struct stat folder;
    if (::stat(FolderOf(link).c_str(), &folder) != 0) return false;
    const mode_t shared = S_ISVTX | S_IWOTH;
    if ((folder.st_mode & shared) != shared) return true;
    return linkOwner == ::geteuid() || linkOwner == folder.st_uid;
}

// The most links one lookup follows (the kernel's own limit, ELOOP beyond).
constexpr int kMaxLinks = 40;

// The components of a path, last first, so that a link's own can be pushed
// on top of those still to walk.
void PushComponents(const std::string& path, std::vector<std::string>& pending) {
    size_t end = path.size();
    while (end > 0) {
        const size_t slash = path.rfind('/', end - 1);
        const size_t start = slash == std::string::npos ? 0 : slash + 1;
        if (end > start) pending.push_back(path.substr(start, end - start));
        if (slash == std::string::npos) break;
        end = slash;
    }
}

// The file a save must replace: the target of a symbolic link rather than the
// link, so that saving through a link updates the file it points at. The path
// is resolved as the kernel resolves it, one component at a time, so that
// every link met on the way, a folder's as well as the file's, is judged by
// MayFollow. A link to nothing is replaced itself, as a plain file. False when
// a link may not be followed or the links do not end.
bool ResolveTarget(const char* path, std::string& target) {
    std::string resolved; // absolute, no trailing slash: "" is the root
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return false;
        resolved = std::strcmp(cwd, "/") == 0 ? "" : cwd;
    }
    std::vector<std::string> pending;
    PushComponents(path, pending);
    for (int links = 0; !pending.empty();) {
        const std::string name = pending.back();
        pending.pop_back();
        if (name == ".") continue;
        if (name == "..") {
            const size_t slash = resolved.rfind('/');
            resolved.erase(slash == std::string::npos ? 0 : slash);
            continue;
        }
        const std::string at = resolved + "/" + name;
        struct stat st, followed;
        // What is not there yet is walked by name; a save into a missing
        // folder then fails when it creates its temporary file.
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) ||
            (pending.empty() && ::stat(at.c_str(), &followed) != 0 && errno == ENOENT)) {
            resolved = at;
            continue;
        }
        if (++links > kMaxLinks || !MayFollow(at, st.st_uid)) return false;
        char next[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), next, sizeof next);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof next) return false;
        if (next[0] == '/') resolved.clear();
        PushComponents(std::string(next, static_cast<size_t>(n)), pending);
    }
    target = resolved.empty() ? "/" : resolved;
    return true;
}

// The temporary name of a target. A fixed name means that a save
// interrupted by a crash leaves at most this file behind, and the next save of
// the same target removes it; saves of one target are serialised by a lock on
// the temporary file (see AcquireTemp).
std::string TempName(const std::string& target) {
    return target + ".~tmp";
}

// Whether the existing target may be replaced by this caller. A save must not
// do what a plain write could not, so the access check is the kernel's own
// (effective ids, ACLs). The super-user passes that check for any file, so a
// file whose owner has no write permission on it (0444, 0555) counts as
// read-only for everyone: a save as root never replaces a file marked
// read-only, as an editor would not.
bool MayReplace(const std::string& target, const struct stat& st) {
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
    return (st.st_mode & S_IWUSR) != 0;
}

// How long a save waits for another save of the same target to finish.
constexpr int kLockWaitMilliseconds = 5000;

bool LockWithin(int fd, int milliseconds) {
    for (int waited = 0;; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= milliseconds) return false;
        ::usleep(10000);
    }
}

// Whether the path still names the file open on fd.
bool StillNamedBy(int fd, const std::string& path) {
    struct stat open, named;
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// Creates a temporary file under a name no other file has, in the target's
// folder so that the rename stays atomic, and returns it open for writing, or
// -1. Used when the fixed name is taken by a file of another user: in a shared
// folder anyone may create TARGET.~tmp, and neither waiting for its lock nor
// removing it is ours to do.
int CreateUniqueTemp(const std::string& target, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 64; ++attempt) {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".~tmp.%ld.%lx%x", static_cast<long>(::getpid()),
                      static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(now.tv_sec),
                      ++counter);
        temp = target + suffix;
        // 0666: the process umask decides, as for the fixed name.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Whether something at the path belongs to another user than the caller.
bool OwnedByAnother(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && st.st_uid != ::geteuid();
}

// Creates the temporary file afresh and returns it open for writing (and,
// under the fixed name, locked), or -1; `temp` is then its name. A file
// already at the fixed name is either being written by a save running now
// (it holds the lock: wait for it to finish) or left by one that died (the
// lock is free: remove it), as long as it is the caller's own; one of another
// user is left alone and a unique name taken instead. A file is only removed
// or written while its lock is held and the name still refers to it, so a
// save never touches a file another save has just renamed over the target or
// created.
int AcquireTemp(const std::string& target, std::string& temp) {
    temp = TempName(target);
    for (int attempt = 0; attempt < 64; ++attempt) {
        // 0666 lets the process umask decide a new file's permissions, as a
        // plain create would.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (LockWithin(fd, kLockWaitMilliseconds) && StillNamedBy(fd, temp)) return fd;
            ::close(fd);
            continue;
        }
        if (errno != EEXIST) return -1;
        if (OwnedByAnother(temp)) return CreateUniqueTemp(target, temp);
        fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) // left with the mode of a write-only target
            fd = ::open(temp.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            // Not a file this library made (a link, say) or gone meanwhile.
            if (errno == ELOOP) ::unlink(temp.c_str());
            if (errno == ELOOP || errno == ENOENT) continue;
            return -1;
        }
        if (!LockWithin(fd, kLockWaitMilliseconds)) {
            ::close(fd);
            return -1; // another save of this target has not finished in time
        }
        if (StillNamedBy(fd, temp)) ::unlink(temp.c_str()); // left by a save that died
        ::close(fd);
    }
    return -1;
}

void SyncFolder(const std::string& target) {
    int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: the rename itself has already happened
    ::close(fd);
}

} // namespace

int CZrFile::ReadAll(const char* path, std::string& bytes, long long maxSize) {
    bytes.clear();
    if (!path || !*path) return 0;
    // Opening a FIFO for reading blocks until a writer comes, so the file is
    // opened without blocking and refused unless it is a regular file; only
    // then is blocking restored for the reads.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return 0;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxSize ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return 0;
    }
    // Read straight into the string, sized for the file and one byte more (a
    // file that grows meanwhile is read on, up to the cap): no copy through a
    // chunk buffer, which was a fifth of the first EPSG set-up's reading.
    const size_t cap = static_cast<size_t>(maxSize) + 1;
    bytes.resize(std::min(static_cast<size_t>(st.st_size) + 1, cap));
    size_t size = 0;
    for (;;) {
        if (size == bytes.size()) bytes.resize(std::min(2 * size, cap));
        ssize_t n = ::read(fd, &bytes[size], bytes.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || static_cast<long long>(size) + n > maxSize) {
            ::close(fd);
            bytes.clear();
            return 0;
        }
        if (n == 0) break;
        size += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(size);
    return 1;
}

int CZrFile::SaveAtomic(const char* path, const std::string& bytes) {
    CZrAtomicFile file;
    if (!file.Begin(path)) return 0;
    if (!file.Append(bytes.data(), bytes.size())) return 0;
    return file.Commit();
}

std::string CZrFile::ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

int CZrAtomicFile::Begin(const char* path) {
    Abort();
    if (!path || !*path) return 0;
    if (!ResolveTarget(path, m_targetPath)) return 0;
    struct stat old;
    const bool replacing = ::stat(m_targetPath.c_str(), &old) == 0;
    // Only a regular file is replaced: renaming over a FIFO, a device or a
    // folder would put a plain file where something else stood.
    if (replacing && (!S_ISREG(old.st_mode) || !MayReplace(m_targetPath, old))) return 0;
    std::string temp;
    m_fd = AcquireTemp(m_targetPath, temp);
    if (m_fd < 0) return 0;
    m_tempPath = temp;
    if (replacing) {
        // The replaced file keeps its owner and group where the caller may
        // give them (the super-user always, others their own groups), then
        // its permission bits (after the owner, which clears set-id bits).
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
        ::fchmod(m_fd, old.st_mode & 07777);
    }
    m_failed = false;
    return 1;
}

int CZrAtomicFile::Append(const void* data, size_t size) {
    if (m_fd < 0 || m_failed) return 0;
    if (!WriteFully(m_fd, static_cast<const char*>(data), size)) m_failed = true;
    return m_failed ? 0 : 1;
}

int CZrAtomicFile::Commit() {
    if (m_fd < 0) return 0;
    // The data must be on disk before the rename makes it the file, or a
    // crash right after the rename could leave an empty file in its place.
    // The file stays open (and locked) until the rename is done, so no other
    // save of the target takes the temporary name over before.
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    if (ok) ok = ::rename(m_tempPath.c_str(), m_targetPath.c_str()) == 0;
    if (!ok) {
        Abort();
        return 0;
    }
    ::close(m_fd);
    m_fd = -1;
    m_tempPath.clear();
    SyncFolder(m_targetPath);
    return 1;
}

void CZrAtomicFile::Abort() {
    // The temporary file is removed while its lock is still held.
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_failed = false;
}

int CStdioFile::Open(const char* path, unsigned flags, CZrCodePage::Page page) {
    Abort();
    if (!path || !*path) return 0;
    m_text = (flags & typeBinary) == 0;
    m_page = page;
    m_failed = false;
    if (flags & modeReadWrite) return 0;
    if (flags & modeWrite) {
        struct stat st;
        if (!(flags & modeCreate) && ::stat(path, &st) != 0) return 0;
        return m_writer.Begin(path);
    }
    std::string bytes;
    if (!CZrFile::ReadAll(path, bytes, CZrFile::kMaxDocumentSize)) return 0;
    if (!m_text) {
        m_content.swap(bytes);
    } else if (bytes.compare(0, 3, kUtf8Bom) == 0) {
        CZrCodePage::ToUtf8(bytes.substr(3), CZrCodePage::Utf8, m_content);
    } else {
        CZrCodePage::ToUtf8(bytes, m_page, m_content);
    }
    m_pos = 0;
    m_reading = true;
    return 1;
}

int CStdioFile::ReadString(CString& line) {
    if (!m_reading || m_pos >= m_content.size()) return 0;
    size_t end = m_content.find('\n', m_pos);
    size_t next = end == std::string::npos ? m_content.size() : end + 1;
    if (end == std::string::npos) end = m_content.size();
    if (end > m_pos && m_content[end - 1] == '\r' && end < m_content.size()) --end;
    line = CString(m_content.substr(m_pos, end - m_pos));
    m_pos = next;
    return 1;
}

void CStdioFile::Put(const std::string& text) {
    if (!m_writer.IsOpen() || m_failed) return;
    if (!m_text) {
        if (!m_writer.Append(text.data(), text.size())) m_failed = true;
        return;
    }
    std::string bytes;
    if (!CZrCodePage::FromUtf8(CZrFile::ToCrLf(text), m_page, bytes, CZrCodePage::Fail) ||
        !m_writer.Append(bytes.data(), bytes.size()))
        m_failed = true;
}

void CStdioFile::WriteString(const char* text) {
    if (text) Put(text);
}

void CStdioFile::Write(const void* data, unsigned count) {
    if (data && count > 0) Put(std::string(static_cast<const char*>(data), count));
}

int CStdioFile::Close() {
    if (m_reading) {
        Abort();
        return 1;
    }
    if (!m_writer.IsOpen()) return 0;
    int ok = m_failed ? 0 : m_writer.Commit();
    Abort();
    return ok;
}

void CStdioFile::Abort() {
    m_writer.Abort();
    m_reading = false;
    m_failed = false;
    m_content.clear();
    m_pos = 0;
}
