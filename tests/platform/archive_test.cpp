#include "platform/ZrArchive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<unsigned char>;

TEST(ArchiveTest, ValuesAreStoredLittleEndianWhateverTheHost) {
    CArchive ar(CArchive::store);
    ar << 1 << 1.0;
    EXPECT_EQ(ar.GetBuffer(), Bytes({0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    CArchive more(CArchive::store);
    more << -2 << 10000L << 0xDEADBEEFu << 6378245.0;
    EXPECT_EQ(more.GetBuffer(),
              Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x10, 0x27, 0,    0,   0xEF, 0xBE, 0xAD, 0xDE, //
                     0,    0,    0,    0x40, 0xC1, 0x54, 0x58, 0x41}));
    EXPECT_FALSE(more.IsFailed());
}

TEST(ArchiveTest, EveryValueReadsBackBitForBit) {
    using limits = std::numeric_limits<double>;
    const double doubles[] = {-0.0, 1.0 / 298.257223563, -179.99999999999997, limits::denorm_min(),
                              limits::infinity()};
    CArchive out(CArchive::store);
    out << std::numeric_limits<int>::min() << -1000L << 4294967295u;
    for (double d : doubles)
        out << d;

    CByteArray bytes;
    out.GetBytes(bytes);
    CArchive in(bytes);
    int lo = 0;
    long code = 0;
    unsigned u = 0;
    in >> lo >> code >> u;
    EXPECT_EQ(lo, std::numeric_limits<int>::min());
    EXPECT_EQ(code, -1000L); // a 32-bit long is sign-extended on a 64-bit host
    EXPECT_EQ(u, 4294967295u);
    for (double d : doubles) {
        double back = 12345.0;
        in >> back;
        EXPECT_EQ(std::signbit(back), std::signbit(d));
        EXPECT_EQ(back, d);
    }
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(in.GetRemaining(), 0u);
}

// A truncated record must not leave half a value behind, nor be mistaken for a whole one.
TEST(ArchiveTest, ShortReadsAndMisuseLeaveTargetsAndReportFailure) {
    const unsigned char six[] = {0x07, 0, 0, 0, 0xAA, 0xBB};
    CArchive in(six, sizeof six);
    int code = -1;
    double axis = 6378245.0;
    long unit = 10000;
    in >> code >> axis >> unit;
    EXPECT_EQ(code, 7);
    EXPECT_EQ(axis, 6378245.0); // two bytes left: nothing of them lands in the double
    EXPECT_EQ(unit, 10000L);    // the read after a short one fails too
    EXPECT_TRUE(in.IsFailed());

    unsigned char buf[4] = {1, 2, 3, 4};
    CArchive raw(six, 2);
    EXPECT_EQ(raw.Read(buf, 4), 0u);
    EXPECT_EQ(buf[0], 1);
    EXPECT_TRUE(raw.IsFailed());

    CArchive loading(CArchive::load);
    loading << 1;
    EXPECT_TRUE(loading.IsFailed());
    EXPECT_TRUE(loading.GetBuffer().empty());
    if (sizeof(long) > 4) { // a 64-bit long that a 32-bit field cannot hold is not cut silently
        CArchive wide(CArchive::store);
        wide << static_cast<long>(std::numeric_limits<int>::max()) + 1;
        EXPECT_TRUE(wide.IsFailed());
        EXPECT_TRUE(wide.GetBuffer().empty());
    }
}

TEST(ArchiveTest, ByteArrayAndFileRoundTrip) {
    CByteArray array;
    array.SetSize(192);
    ASSERT_EQ(array.GetSize(), 192);
    EXPECT_EQ(array[191], 0);
    EXPECT_EQ(array.GetAt(192), 0); // outside the array: checked
    array.SetSize(-5);
    EXPECT_EQ(array.GetData(), nullptr);

    char path[] = "/tmp/zrprj-archive-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    CArchive out(CArchive::store);
    out << 21413 << 0.5;
    ASSERT_EQ(out.SaveFile(path), 1);
    CArchive in(CArchive::load);
    ASSERT_EQ(in.LoadFile(path), 1);
    int code = 0;
    double half = 0;
    in >> code >> half;
    EXPECT_EQ(code, 21413);
    EXPECT_EQ(half, 0.5);
    std::remove(path);
    EXPECT_EQ(in.LoadFile(path), 0);
}
