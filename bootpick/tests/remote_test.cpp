// Tests of the remote control input over a FIFO standing in for the device:
// record decoding, the end marker, the letter table, the drain and the first
// wait, and the ways the program ends when the device fails.
#include "remote.h"
#include "remote_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Parameterised cases are named by their name field.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case> &param) const { return param.param.name; }
};

constexpr const char *kMenuKeys = "0123456789UDLRXO";

double seconds_since(const timespec &start) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec - start.tv_sec) + double(now.tv_nsec - start.tv_nsec) / 1e9;
}

// A child process that writes bytes to the FIFO after a pause, so that they
// arrive while the test is blocked reading or waiting.
pid_t send_later(const RemoteFifo &fifo, useconds_t pause, std::vector<unsigned char> bytes) {
    const pid_t pid = fork();
    if (pid == 0) {
        usleep(pause);
        const int fd = open(fifo.path(), O_WRONLY | O_NONBLOCK);
        const bool ok = fd >= 0 && write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
        _exit(ok ? 0 : 1);
    }
    return pid;
}

bool reaped_cleanly(pid_t pid) {
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class Remote : public testing::Test {
protected:
    void SetUp() override {
        alarm(60);   // a read that never returns fails the suite instead of stalling it
        ASSERT_TRUE(fifo.create()) << "making the FIFO: " << strerror(errno);
        ASSERT_TRUE(fifo.open_writer()) << "opening the FIFO for writing: " << strerror(errno);
    }
    // The remote's end opened directly, for tests of what follows rc_init.
    void attach() { ASSERT_TRUE(fifo.attach()) << "opening the FIFO for reading: " << strerror(errno); }
    void send(const std::vector<unsigned char> &bytes) {
        ASSERT_TRUE(fifo.send_bytes(bytes.data(), bytes.size())) << strerror(errno);
    }
    void TearDown() override { alarm(0); }
    // Queues the bytes and closes the writer: a decoder that reads past them
    // meets the end of input instead of blocking.
    void send_all(const std::vector<unsigned char> &bytes) {
        send(bytes);
        fifo.close_writer();
    }
    // Nothing more is waiting on the remote.
    bool drained() {
        int pending = -1;
        return ioctl(rc_fd, FIONREAD, &pending) == 0 && pending == 0;
    }
    RemoteFifo fifo;
};

// Raw records as the driver delivers them: the 16-bit code high byte first.
struct KeycodeCase {
    const char *name;
    std::vector<unsigned char> bytes;
    std::vector<int> codes;   // what successive rc_keycode calls return
};

class RemoteKeycode : public Remote, public testing::WithParamInterface<KeycodeCase> {};

TEST_P(RemoteKeycode, DecodesRecords) {
    attach();
    send_all(GetParam().bytes);
    for (int expected : GetParam().codes) EXPECT_EQ(expected, rc_keycode());
    EXPECT_TRUE(drained()) << "records left over";
}

INSTANTIATE_TEST_SUITE_P(Records, RemoteKeycode, testing::Values(
    KeycodeCase{"CodeThenMarker", {0x00, 14, 0x00, 0xFE}, {14}},
    KeycodeCase{"RepeatsBeforeOneMarkerCountOnce", {0, 14, 0, 14, 0, 14, 0, 0xFE, 0, 15, 0, 0xFE}, {14, 15}},
    KeycodeCase{"LastCodeBeforeTheMarkerCounts", {0, 5, 0, 6, 0, 7, 0, 0xFE}, {7}},
    KeycodeCase{"OnlyTheSecondByteCounts", {0x12, 0x30, 0x00, 0xFE}, {48}},
    KeycodeCase{"HighByteFEIsNoMarker", {0xFE, 14, 0x00, 0xFE}, {14}},
    KeycodeCase{"AnyHighByteBeforeAnFEMarker", {0x00, 15, 0x7A, 0xFE}, {15}},
    KeycodeCase{"HighBytesDoNotMixIntoTheCode", {0x80, 0x01, 0x01, 0xFE, 0x00, 0x02, 0xFF, 0xFE}, {1, 2}}),
    CaseName());

struct GetkeyCase {
    const char *name;
    std::vector<unsigned char> bytes;
    const char *allowed;
    char letter;
};

class RemoteGetkey : public Remote, public testing::WithParamInterface<GetkeyCase> {};

TEST_P(RemoteGetkey, ReturnsTheNextAllowedLetter) {
    attach();
    send_all(GetParam().bytes);
    EXPECT_EQ(GetParam().letter, rc_getkey(GetParam().allowed));
    EXPECT_TRUE(drained()) << "records left over";
}

INSTANTIATE_TEST_SUITE_P(Keys, RemoteGetkey, testing::Values(
    GetkeyCase{"ThreeRecordsOneMarkerOneU", {0, 14, 0, 14, 0, 14, 0, 0xFE}, "UD", 'U'},
    GetkeyCase{"CodeWithoutLetterSkipped", {0, 12, 0, 0xFE, 0, 15, 0, 0xFE}, kMenuKeys, 'D'},
    GetkeyCase{"LetterOutsideTheSetSkipped", {0, 14, 0, 0xFE, 0, 48, 0, 0xFE}, "O", 'O'},
    GetkeyCase{"MarkerWithoutCodeSkipped", {0, 0xFE, 0, 9, 0, 0xFE}, kMenuKeys, '9'},
    GetkeyCase{"SecondByteGivesO", {0x12, 0x30, 0x00, 0xFE}, kMenuKeys, 'O'},
    GetkeyCase{"ZeroCodeIsTheDigit0", {0x01, 0x00, 0x00, 0xFE}, kMenuKeys, '0'}),
    CaseName());

TEST_F(Remote, EveryCodeValueGetsItsLetterOrNone) {
    attach();
    for (int code = 0; code < 256; ++code) ASSERT_TRUE(fifo.send_key(uint16_t(code)));
    ASSERT_TRUE(fifo.send_key(7));   // behind all codes: nothing above 48 may give a letter
    fifo.close_writer();
    // In code order: 0-9, then 14 U, 15 D, 32 X, 46 R, 47 L, 48 O; all others have none.
    std::string letters;
    for (int i = 0; i < 17; ++i) letters += rc_getkey(kMenuKeys);
    EXPECT_EQ("0123456789UDXRLO7", letters);
    EXPECT_TRUE(drained());
}

TEST_F(Remote, RecordSplitOverTwoReadsIsJoined) {
    attach();
    send({0x00});
    const pid_t writer = send_later(fifo, 200000, {0x30, 0x00, 0xFE});
    EXPECT_EQ(48, rc_keycode());
    EXPECT_TRUE(reaped_cleanly(writer));
}

TEST_F(Remote, QueuedKeysAreDrainedAndNoKeyMeansZeroAfterFiveSeconds) {
    ASSERT_TRUE(fifo.send_keys("UUDO"));
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    EXPECT_EQ(0, rc_init());
    EXPECT_GE(seconds_since(start), 4.9);
    ASSERT_TRUE(fifo.send_key(code_of('R')));
    EXPECT_EQ(code_of('R'), rc_keycode()) << "a key queued before rc_init survived the drain";
}

TEST_F(Remote, KeyDuringTheWaitEndsItAndIsReadNext) {
    ASSERT_TRUE(fifo.send_keys("U"));   // pressed before the menu: dropped
    const pid_t writer = send_later(fifo, 1000000, {0x00, 47, 0x00, 0xFE});
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    EXPECT_GT(rc_init(), 0);
    EXPECT_LT(seconds_since(start), 4.5);
    EXPECT_EQ(47, rc_keycode());
    EXPECT_EQ(O_RDONLY, fcntl(rc_fd, F_GETFL) & O_ACCMODE);
    EXPECT_TRUE(reaped_cleanly(writer));
}

using RemoteDeathTest = Remote;

TEST_F(RemoteDeathTest, MissingDeviceEndsTheProgramWithStatusZero) {
    rc_device_path = "/nonexistent-rc-dir/rc0";
    EXPECT_EXIT(rc_init(), testing::ExitedWithCode(0), "^rc_init: open failed: ");
}

TEST_F(RemoteDeathTest, ReadErrorEndsTheProgramWithStatusOne) {
    rc_fd = open("/dev/null", O_WRONLY);   // read() on it fails
    ASSERT_GE(rc_fd, 0) << strerror(errno);
    EXPECT_EXIT(rc_keycode(), testing::ExitedWithCode(1), "^rc_keycode: reading rc: ");
}

// The writer goes away: a FIFO at the device's path has ended for good.
struct EndCase {
    const char *name;
    std::vector<unsigned char> bytes;
};

class RemoteEndDeathTest : public Remote, public testing::WithParamInterface<EndCase> {};

TEST_P(RemoteEndDeathTest, EndsWithStatusOneNotABusyLoop) {
    attach();
    send(GetParam().bytes);
    fifo.close_writer();
    // The alarm turns a busy loop into a failure rather than a hang.
    EXPECT_EXIT({ alarm(20); rc_getkey(kMenuKeys); }, testing::ExitedWithCode(1), "^rc_keycode: reading rc");
}

INSTANTIATE_TEST_SUITE_P(EndOfInput, RemoteEndDeathTest, testing::Values(
    EndCase{"NothingQueued", {}},
    EndCase{"CodesWithoutMarker", {0, 14, 0, 14}},
    EndCase{"HalfARecord", {0x00}},
    EndCase{"KeyWithoutLetterThenHalfARecord", {0, 12, 0, 0xFE, 0x00}}),
    CaseName());

} // namespace
