#include "platform/ZrFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The file a save must replace: the target of a symbolic link rather than the
// link, so that saving through a link updates the file it points at.
std::string ResolveTarget(const char* path) {
    struct stat st;
    if (::lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved)) return resolved;
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A name that no other save running at the same time picks: process id, a
// per-process counter and the clock.
std::string TempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    unsigned long long tick =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".~%ld.%u.%llx.tmp", static_cast<long>(::getpid()), counter++,
                  tick & 0xFFFFFFULL);
    return target + suffix;
}

void SyncFolder(const std::string& target) {
    int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: the rename itself has already happened
    ::close(fd);
}

} // namespace

int CZrFile::ReadAll(const char* path, std::string& bytes) {
    bytes.clear();
    if (!path || !*path) return 0;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        ::close(fd);
        return 0;
    }
    bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || static_cast<long long>(bytes.size()) + n > kMaxFileSize) {
            ::close(fd);
            bytes.clear();
            return 0;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
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
    m_targetPath = ResolveTarget(path);
    struct stat old;
    bool replacing = ::stat(m_targetPath.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return 0;
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_tempPath = TempName(m_targetPath);
        // 0666 lets the process umask decide a new file's permissions, as a
        // plain create would.
        m_fd = ::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        m_tempPath.clear();
        return 0;
    }
    if (replacing) ::fchmod(m_fd, old.st_mode & 07777);
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
    bool ok = !m_failed && ::fsync(m_fd) == 0;
    ok = (::close(m_fd) == 0) && ok;
    m_fd = -1;
    if (ok) ok = ::rename(m_tempPath.c_str(), m_targetPath.c_str()) == 0;
    if (!ok) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        return 0;
    }
    m_tempPath.clear();
    SyncFolder(m_targetPath);
    return 1;
}

void CZrAtomicFile::Abort() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
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
    if (!CZrFile::ReadAll(path, bytes)) return 0;
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
