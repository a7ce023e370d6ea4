#include "platform/ZrFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zrprj-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path) {
        std::stringstream all;
        all << std::ifstream(path, std::ios::binary).rdbuf();
        return all.str();
    }
    size_t EntryCount() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }
    static std::vector<std::string> ReadLines(const std::string& path, CZrCodePage::Page page) {
        CStdioFile file;
        std::vector<std::string> lines;
        CString line;
        if (file.Open(path.c_str(), CStdioFile::modeRead, page))
            while (file.ReadString(line))
                lines.push_back(line.str());
        return lines;
    }

    fs::path m_dir;
};

const char kOldContent[] = "PCSType: 32650 \r\n";

} // namespace

TEST_F(FileTest, LinesEndWithCrLfOrLf) {
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\nb", {"a", "", "b"}}, // mixed ends; the last line has none
        {"a\rb\n", {"a\rb"}},         // a lone CR is data, as in text mode
        {"", {}},
    };
    for (const Case& c : cases) {
        std::string path = PathOf("lines.txt");
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadLines(path, CZrCodePage::Gb2312), c.lines) << c.bytes;
    }
}

TEST_F(FileTest, TextIsWrittenInTheCodePageWithCrLf) {
    std::string path = PathOf("key.prj");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText,
                          CZrCodePage::Gb2312));
    file.WriteString("PCSName: 北京54 \n");
    file.WriteString("Axis: 6378245.000000 \r\n");
    ASSERT_EQ(file.Close(), 1);
    EXPECT_EQ(ReadBytes(path), "PCSName: \xB1\xB1\xBE\xA9"
                               "54 \r\nAxis: 6378245.000000 \r\n");
    EXPECT_EQ(ReadLines(path, CZrCodePage::Gb2312),
              (std::vector<std::string>{"PCSName: 北京54 ", "Axis: 6378245.000000 "}));

    // Invalid bytes read as U+FFFD; a UTF-8 byte-order mark overrides the page.
    WriteBytes(path, "\x93\x8C\xFF\n");
    EXPECT_EQ(ReadLines(path, CZrCodePage::ShiftJis), std::vector<std::string>{"東\xEF\xBF\xBD"});
    WriteBytes(path, "\xEF\xBB\xBF東京\n");
    EXPECT_EQ(ReadLines(path, CZrCodePage::ShiftJis), std::vector<std::string>{"東京"});
}

// Every way a save can fail leaves the previous file byte-identical and no
// temporary file behind. Tests run as root, so permissions cannot be the cause.
TEST_F(FileTest, AFailedSaveLeavesTheOldFileIntact) {
    std::string target = PathOf("saved.prj");
    WriteBytes(target, kOldContent);
    WriteBytes(PathOf("plain-file"), "x");

    // A character GB2312 cannot hold: the caller learns it from Close.
    {
        CStdioFile file;
        ASSERT_TRUE(
            file.Open(target.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite, CZrCodePage::Gb2312));
        file.WriteString("PCSName: Seoul 한\n");
        EXPECT_EQ(file.Close(), 0);
    }
    // Abandoned half way, as by an early return or a crash.
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(target.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite));
        file.WriteString("PCSType: -1 \n");
    }
    // The disk refuses the write (a file-size limit stands in for a full disk).
    {
        struct rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        int saved = CZrFile::SaveAtomic(target.c_str(), std::string(10000, 'x'));
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(saved, 0);
    }
    EXPECT_EQ(ReadBytes(target), kOldContent);
    EXPECT_EQ(EntryCount(), 2u) << "a temporary file was left behind";

    // Nowhere to write: the folder is a file, or the target is a folder.
    EXPECT_EQ(CZrFile::SaveAtomic(PathOf("plain-file/saved.prj").c_str(), "y"), 0);
    EXPECT_EQ(CZrFile::SaveAtomic(m_dir.c_str(), "y"), 0);
    CStdioFile file;
    EXPECT_EQ(file.Open(PathOf("plain-file/x").c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite), 0);
    EXPECT_EQ(file.Open(PathOf("missing").c_str(), CStdioFile::modeWrite), 0); // no create, no file
    EXPECT_EQ(file.Open("", CStdioFile::modeRead), 0);
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(FileTest, ASaveReplacesTheFileTheLinkPointsAtAndKeepsItsMode) {
    std::string target = PathOf("real.xml");
    std::string link = PathOf("link.xml");
    WriteBytes(target, "old");
    chmod(target.c_str(), 0640);
    fs::create_symlink(target, link);

    ASSERT_EQ(CZrFile::SaveAtomic(link.c_str(), "new"), 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "new");
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // The super-user's save of another user's file leaves it theirs.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(target.c_str(), 4242, 4243), 0);
        ASSERT_EQ(CZrFile::SaveAtomic(target.c_str(), "newer"), 1);
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4242u);
        EXPECT_EQ(st.st_gid, 4243u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
}

// A save does not do what a plain write may not: a read-only file (refused
// even to the super-user, who passes every permission check, by its owner's
// missing write bit) and anything but a regular file stay as they were.
TEST_F(FileTest, ASaveNeverReplacesAReadOnlyOrSpecialFile) {
    struct Case {
        const char* name;
        mode_t mode;
        bool fifo;
    };
    for (const Case& c : {Case{"read-only.prj", 0444, false}, Case{"no-write.prj", 0555, false},
                          Case{"owner-read-only.prj", 0466, false}, Case{"fifo.prj", 0666, true}}) {
        const std::string target = PathOf(c.name);
        if (c.fifo)
            ASSERT_EQ(mkfifo(target.c_str(), c.mode), 0);
        else
            WriteBytes(target, kOldContent);
        ASSERT_EQ(chmod(target.c_str(), c.mode), 0);
        EXPECT_EQ(CZrFile::SaveAtomic(target.c_str(), "new"), 0) << c.name;
        CStdioFile file;
        EXPECT_EQ(file.Open(target.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite), 0) << c.name;
        struct stat st;
        ASSERT_EQ(lstat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode) << c.name;
        EXPECT_EQ(S_ISFIFO(st.st_mode), c.fifo) << c.name;
        if (!c.fifo) {
            EXPECT_EQ(ReadBytes(target), kOldContent) << c.name;
        }
        fs::remove(target);
    }
    EXPECT_EQ(EntryCount(), 0u) << "a temporary file was left behind";
}

// A save killed half way leaves at most TARGET.~tmp, which the next save of
// the target removes; saves of one target from two processes at once follow
// one another, so the file is always one save's bytes whole.
TEST_F(FileTest, CrashedAndConcurrentSavesLeaveOneWholeFileAndNoTemporaryOne) {
    const std::string target = PathOf("shared.xml");
    const pid_t crashed = fork();
    ASSERT_GE(crashed, 0);
    if (crashed == 0) {
        CZrAtomicFile file;
        if (file.Begin(target.c_str()) && file.Append("half", 4)) kill(getpid(), SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(crashed, &status, 0), crashed);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(fs::exists(target + ".~tmp"));

    // Each writer saves blocks of its own letter; a block mixing letters or
    // cut short would be a save seen half done.
    constexpr size_t kBlock = 1 << 16;
    constexpr int kSaves = 30;
    std::vector<pid_t> writers;
    for (char letter : {'a', 'b'}) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            const std::string bytes(kBlock, letter);
            int saved = 0;
            for (int i = 0; i < kSaves; ++i)
                saved += CZrFile::SaveAtomic(target.c_str(), bytes);
            _exit(saved == kSaves ? 0 : 1);
        }
        writers.push_back(writer);
    }
    for (int i = 0; i < 200; ++i) {
        std::string bytes;
        if (CZrFile::ReadAll(target.c_str(), bytes) == 0) continue; // not yet written
        ASSERT_EQ(bytes.size(), kBlock);
        ASSERT_TRUE(bytes == std::string(kBlock, bytes[0])) << "a save was seen half done";
    }
    for (pid_t writer : writers) {
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save of a busy target failed";
    }
    EXPECT_EQ(EntryCount(), 1u) << "a temporary file was left behind";
}

TEST_F(FileTest, ReadAllTakesOnlyRegularFiles) {
    // A FIFO is refused at once, not waited on for a writer that never comes.
    const std::string fifo = PathOf("CodeTransition.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    alarm(10); // watchdog: a blocking open would hang here
    std::string fifoBytes;
    EXPECT_EQ(CZrFile::ReadAll(fifo.c_str(), fifoBytes), 0);
    CStdioFile file;
    EXPECT_EQ(file.Open(fifo.c_str(), CStdioFile::modeRead), 0);
    alarm(0);

    std::string bytes = "stale";
    EXPECT_EQ(CZrFile::ReadAll(PathOf("missing").c_str(), bytes), 0);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(CZrFile::ReadAll(m_dir.c_str(), bytes), 0);
    EXPECT_EQ(CZrFile::ReadAll("/dev/zero", bytes), 0); // endless: refused, not read forever
}

// In a sticky world-writable folder anyone may plant a link at the name a
// save will use. A link there is followed only when its owner is the caller
// or the folder's owner (the kernel's protected_symlinks rule, applied here
// whatever the host's setting); elsewhere any link is followed as before.
TEST_F(FileTest, ASaveFollowsALinkInASharedFolderOnlyWhenItsOwnerMayBeTrusted) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
    const uid_t caller = geteuid(), other = 65534;
    // Where the link stands: the saved name itself; the caller's own link
    // there naming the planted one (each link on the way is judged, not only
    // the first); or a folder on the way to the saved name.
    enum Shape { AtTheName, ThroughALink, AsAFolder };
    struct Case {
        const char* name;
        Shape shape;
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool followed;
    };
    const Case cases[] = {
        {"sticky, link of another user", AtTheName, 01777, caller, other, false},
        {"sticky, the caller's link to a link of another user", ThroughALink, 01777, caller, other, false},
        {"sticky, folder link of another user", AsAFolder, 01777, caller, other, false},
        {"sticky, link of the caller", AtTheName, 01777, caller, caller, true},
        {"sticky, folder link of the caller", AsAFolder, 01777, caller, caller, true},
        {"sticky, link of the folder's owner", AtTheName, 01777, other, other, true},
        {"world-writable, not sticky", AtTheName, 0777, caller, other, true},
        {"sticky, not world-writable", AtTheName, 01755, caller, other, true},
    };
    const std::string victims = PathOf("victims"), victim = victims + "/victim.prj";
    fs::create_directory(victims);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(victim, "victim");
        const std::string shared = PathOf("shared");
        fs::create_directory(shared);
        ASSERT_EQ(chmod(shared.c_str(), c.folderMode), 0);
        ASSERT_EQ(chown(shared.c_str(), c.folderOwner, 0), 0);
        const std::string planted = shared + (c.shape == AsAFolder ? "/folder" : "/planted.prj");
        fs::create_symlink(c.shape == AsAFolder ? victims : victim, planted);
        ASSERT_EQ(lchown(planted.c_str(), c.linkOwner, 0), 0);
        std::string saved = planted;
        if (c.shape == ThroughALink) {
            saved = shared + "/target.prj";
            fs::create_symlink("planted.prj", saved);
            ASSERT_EQ(lchown(saved.c_str(), caller, 0), 0);
        }
        if (c.shape == AsAFolder) saved = planted + "/victim.prj";
        EXPECT_EQ(CZrFile::SaveAtomic(saved.c_str(), "saved"), c.followed ? 1 : 0);
        EXPECT_EQ(ReadBytes(victim), c.followed ? "saved" : "victim");
        EXPECT_TRUE(fs::is_symlink(planted)) << "the link itself was replaced";
        fs::remove_all(shared);
    }
    fs::remove_all(victims);
    EXPECT_EQ(EntryCount(), 0u) << "a temporary file was left behind";
}

// In a shared folder another user can take TARGET.~tmp first, as a file
// (locked or not) or as a link. The save must neither wait for that file,
// nor remove or write it, nor follow the link; it writes under a unique name
// and still replaces the target whole.
TEST_F(FileTest, ATemporaryNameTakenByAnotherUserDoesNotBlockTheSave) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
    enum Taken { File, LockedFile, Link };
    const std::string target = PathOf("shared.prj");
    const std::string temp = target + ".~tmp";
    const std::string victim = PathOf("victim");
    for (Taken taken : {File, LockedFile, Link}) {
        SCOPED_TRACE(taken);
        WriteBytes(target, kOldContent);
        WriteBytes(victim, "victim");
        if (taken == Link)
            fs::create_symlink(victim, temp);
        else
            WriteBytes(temp, "theirs");
        ASSERT_EQ(lchown(temp.c_str(), 65534, 65534), 0);
        // A lock held through another open file description, as another
        // process would hold it.
        const int held = taken == LockedFile ? open(temp.c_str(), O_RDONLY) : -1;
        if (taken == LockedFile) {
            ASSERT_EQ(flock(held, LOCK_EX), 0);
        }

        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CZrFile::SaveAtomic(target.c_str(), "new"), 1);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 1.0) << "the save waited for another user's lock";
        EXPECT_EQ(ReadBytes(target), "new");
        EXPECT_EQ(ReadBytes(victim), "victim");
        struct stat st;
        ASSERT_EQ(lstat(temp.c_str(), &st), 0) << "another user's file was removed";
        EXPECT_EQ(st.st_uid, 65534u);
        if (taken != Link) {
            EXPECT_EQ(ReadBytes(temp), "theirs");
        }
        if (held >= 0) close(held);
        EXPECT_EQ(EntryCount(), 3u) << "a temporary file was left behind";
        fs::remove(temp);
    }
}
