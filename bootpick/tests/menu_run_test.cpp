// Tests of the menu interaction: menu_run over the program's own menu, on an
// in-memory screen, driven by scripted remote-control keys through a FIFO.
// Each run happens in a child process whose screen and settings live in
// memory shared with the test; when the script runs out without a choice the
// child ends on the remote's end of input, and the test inspects what the
// keys left behind.
#include "draw.h"
#include "menu_fixture.h"
#include "menurun.h"
#include "menutree.h"
#include "remote.h"
#include "remote_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Parameterised cases are named by their name field.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case> &param) const { return param.param.name; }
};

constexpr int kBandHeight = 24;

struct Rect {
    int x, y, w, h;
};
constexpr Rect top(int y) { return {100, y, 480, kBandHeight}; }
constexpr Rect label(int row) { return {100, 175 + 25 * row, 240, kBandHeight}; }
constexpr Rect cell(int row, int i) { return {340 + 12 * i, 175 + 25 * row, 12, kBandHeight}; }
constexpr Rect kDhcpLabel = {100, 150, 240, kBandHeight};
constexpr Rect kCheckBox = {340, 150, 12, kBandHeight};
constexpr int kFlashY = 200;
constexpr int list_y(int i) { return 225 + 25 * i; }

// What the child and the test share.
struct Shared {
    unsigned char screen[kScreenBytes];
    TestSettings settings;
    char chosen[64];
    char box_choice[2];      // state bytes of the rule menu's check boxes
    unsigned char box;
};

// The menu a run shows: its first entry and the one highlighted at the start.
struct Shown {
    MenuEntry *first;
    MenuEntry *def;
};
using MenuBuilder = Shown (*)(Shared &);

Shown program_menu(Shared &shared) {
    const BootMenu m = build_boot_menu(shared.settings, true, kListMax);
    return {m.first, m.def};
}

// The state the menu starts from.
struct Start {
    int dhcp = 1;
    const char *address = nullptr;   // null: the default address
};

struct Outcome {
    int status = -1;          // exit status, or -1 when killed by a signal
    std::string errors;       // the child's standard error
    double seconds = 0;       // from the start to the child's end
};

bool in_rect(const Rect &r, int x, int y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; }

class MenuRun : public testing::Test {
protected:
    void SetUp() override {
        void *memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(MAP_FAILED, memory) << "mmap: " << strerror(errno);
        shared = static_cast<Shared *>(memory);
    }
    void TearDown() override {
        if (shared) munmap(shared, sizeof(Shared));
        rc_active = 0;
    }

    // Keys queued on the remote after its first wait (rc_active 1): the run
    // ends with the choice or, after the last key, on the end of input.
    Outcome run(const std::string &keys, const Start &start = {}, MenuBuilder menu = program_menu) {
        return run_child(keys.c_str(), start, false, menu);
    }
    // menu_run as at program start: it opens the remote and waits for a first
    // key. keys are sent a second after the remote opened, then the writer
    // closes; without keys the writer stays open and silent until the end.
    Outcome run_with_first_wait(const char *keys) { return run_child(keys, Start{}, true, program_menu); }

    // The settings as the run left them, with the expected ones.
    void expect_settings(int dhcp, const char *address, const char *gateway = "010.000.000.001") {
        EXPECT_EQ(dhcp, shared->settings.use_dhcp);
        EXPECT_STREQ(address, shared->settings.address);
        EXPECT_STREQ("010.000.000.255", shared->settings.broadcast);
        EXPECT_STREQ("255.255.255.000", shared->settings.netmask);
        EXPECT_STREQ(gateway, shared->settings.gateway);
    }

    // A screen drawn from scratch with the primitives, at the places the menu
    // puts its entries, with the settings as they are now.
    std::vector<unsigned char> top_screen() {
        std::vector<unsigned char> s(kScreenBytes);
        use_test_screen(s.data());
        FillBox(0, 0, kScreenWidth, kScreenHeight, 1);
        DrawString(100, 100, 2, 1, "BOOTMENU");
        DrawString(100, 150, 2, 1, kChangeIpText);
        DrawString(100, 175, 2, 1, "Enter WEB mode");
        DrawString(100, kFlashY, 2, 1, "Boot FLASH image");
        for (int i = 0; i < kListMax; ++i) DrawString(100, list_y(i), 2, 1, list_line(i));
        return s;
    }
    std::vector<unsigned char> sub_screen() {
        std::vector<unsigned char> s(kScreenBytes);
        use_test_screen(s.data());
        FillBox(0, 0, kScreenWidth, kScreenHeight, 1);
        DrawString(100, 100, 2, 1, "CHANGE IP SETTINGS");
        DrawString(100, 150, 2, 1, "Use DHCP :");
        DrawCheckBox(340, 150, 2, 1, shared->settings.use_dhcp);
        for (int row = 0; row < 4; ++row) {
            DrawString(100, 175 + 25 * row, 2, 1, kRowLabels[row]);
            DrawString(340, 175 + 25 * row, 2, 1, settings_field(shared->settings, row));
        }
        return s;
    }
    static void add_band(std::vector<unsigned char> &s, const Rect &r) {
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) ++s[size_t(y * kScreenWidth + x)];
    }

    std::vector<unsigned char> screen() const { return {shared->screen, shared->screen + kScreenBytes}; }

    Shared *shared = nullptr;

private:
    Outcome run_child(const char *keys, const Start &start, bool first_wait, MenuBuilder menu);
};

Outcome MenuRun::run_child(const char *keys, const Start &start, bool first_wait, MenuBuilder menu) {
    Outcome outcome;
    memset(shared, 0, sizeof *shared);
    default_settings(shared->settings);
    shared->settings.use_dhcp = static_cast<unsigned char>(start.dhcp);
    if (start.address) snprintf(shared->settings.address, sizeof shared->settings.address, "%s", start.address);

    RemoteFifo fifo;
    if (!fifo.create()) {
        ADD_FAILURE() << "making the FIFO: " << strerror(errno);
        return outcome;
    }
    if (!first_wait) {
        if (!fifo.open_writer() || !fifo.attach() || !fifo.send_keys(keys)) {
            ADD_FAILURE() << "queueing the keys: " << strerror(errno);
            return outcome;
        }
        fifo.close_writer();
    }
    rc_active = first_wait ? 0 : 1;

    int errors[2];
    if (pipe(errors) != 0) {
        ADD_FAILURE() << "pipe: " << strerror(errno);
        return outcome;
    }
    timespec begin;
    clock_gettime(CLOCK_MONOTONIC, &begin);
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "fork: " << strerror(errno);
        return outcome;
    }
    if (child == 0) {
        close(errors[0]);
        dup2(errors[1], STDERR_FILENO);
        alarm(30);   // a run that hangs fails instead of stalling the suite
        use_test_screen(shared->screen);
        const Shown shown = menu(*shared);
        const void *choice = menu_run(shown.first, shown.def);
        snprintf(shared->chosen, sizeof shared->chosen, "%s", static_cast<const char *>(choice));
        _exit(0);
    }
    close(errors[1]);
    if (first_wait) {
        if (!fifo.open_writer_when_read(20000)) {
            ADD_FAILURE() << "the menu never opened the remote";
            kill(child, SIGKILL);
        } else if (keys) {
            usleep(1000000);
            if (!fifo.send_keys(keys)) ADD_FAILURE() << "sending the keys: " << strerror(errno);
            fifo.close_writer();
        }
    }
    char buffer[256];
    for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        outcome.errors.append(buffer, size_t(n));
    }
    close(errors[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    timespec end;
    clock_gettime(CLOCK_MONOTONIC, &end);
    outcome.seconds = double(end.tv_sec - begin.tv_sec) + double(end.tv_nsec - begin.tv_nsec) / 1e9;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// The screen equals the expected one pixel for pixel.
testing::AssertionResult same_screen(const std::vector<unsigned char> &expected, const std::vector<unsigned char> &actual) {
    size_t differ = 0, first = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != actual[i] && differ++ == 0) first = i;
    if (differ == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differ << " pixels differ, the first at (" << first % kScreenWidth << ", "
                                       << first / kScreenWidth << "): expected " << int(expected[first]) << ", got "
                                       << int(actual[first]);
}

// --- The walk: where a key sequence leaves the screen, the highlight and the settings.

enum class Screen { Top, Sub };

struct WalkCase {
    const char *name;
    const char *keys;
    Screen screen;
    Rect band;                        // the one highlight afterwards
    const char *chosen = nullptr;     // the choice, when the keys end the menu
    Start start = {};
    int dhcp = 1;                     // the settings afterwards
    const char *address = "010.000.000.024";
    const char *gateway = "010.000.000.001";
};

class MenuWalk : public MenuRun, public testing::WithParamInterface<WalkCase> {};

TEST_P(MenuWalk, LeavesOneBandOnAFreshScreen) {
    const WalkCase &c = GetParam();
    const Outcome out = run(c.keys, c.start);
    if (c.chosen) {
        ASSERT_EQ(0, out.status) << out.errors;
        EXPECT_STREQ(c.chosen, shared->chosen);
    } else {
        // The script ran out: the remote's end of input ended the program.
        ASSERT_EQ(1, out.status) << out.errors;
        EXPECT_EQ(0u, out.errors.find("rc_keycode: reading rc")) << out.errors;
    }
    expect_settings(c.dhcp, c.address, c.gateway);
    std::vector<unsigned char> expected = c.screen == Screen::Top ? top_screen() : sub_screen();
    add_band(expected, c.band);
    EXPECT_TRUE(same_screen(expected, screen()));
}

// Into the address row and on to its last cell: eleven moves right from the
// first cell, over three dots.
#define TO_LAST_CELL "UUODR" "RRRRRRRRRRR"

INSTANTIATE_TEST_SUITE_P(Keys, MenuWalk, testing::Values(
    WalkCase{"StartOnTheDefault", "", Screen::Top, top(kFlashY)},
    WalkCase{"UpFromFlashReachesWeb", "U", Screen::Top, top(175)},
    WalkCase{"UpStopsBelowTheBlankLine", "UUU", Screen::Top, top(150)},
    WalkCase{"DownWalksTheList", "DDD", Screen::Top, top(list_y(2))},
    WalkCase{"DownStopsOnTheLastEntry", "DDDDDDDDDDDD", Screen::Top, top(list_y(10))},
    WalkCase{"OkChoosesTheDefault", "O", Screen::Top, top(kFlashY), "FLASH"},
    WalkCase{"OkChoosesWeb", "UO", Screen::Top, top(175), "WEB"},
    WalkCase{"OkChoosesAListLine", "DDDDO", Screen::Top, top(list_y(3)), "nfs root 10.0.0.1:/srv/box"},
    WalkCase{"OkChoosesAnEmptyListLine", "DDDO", Screen::Top, top(list_y(2)), ""},
    WalkCase{"OkEntersTheSubmenuPastItsLabels", "UUO", Screen::Sub, kDhcpLabel},
    WalkCase{"RightEntersTheSubmenu", "UUR", Screen::Sub, kDhcpLabel},
    WalkCase{"DownToTheAddressLabel", "UUOD", Screen::Sub, label(0)},
    WalkCase{"DownStopsOnTheGateway", "UUODDDDD", Screen::Sub, label(3)},
    WalkCase{"UpFromTheGateway", "UUODDDDU", Screen::Sub, label(2)},
    WalkCase{"UpFromTheAddressLabel", "UUODU", Screen::Sub, kDhcpLabel},
    WalkCase{"RightIntoTheCheckBoxRow", "UUOR", Screen::Sub, kCheckBox},
    WalkCase{"OkIntoTheCheckBoxRow", "UUOO", Screen::Sub, kCheckBox},
    WalkCase{"OkTogglesTheCheckBoxOff", "UUORO", Screen::Sub, kCheckBox, nullptr, {}, 0},
    WalkCase{"ToggleFromZeroGivesOne", "UUORO", Screen::Sub, kCheckBox, nullptr, {.dhcp = 0}, 1},
    WalkCase{"TwoTogglesFromZeroGiveZero", "UUOROO", Screen::Sub, kCheckBox, nullptr, {.dhcp = 0}, 0},
    WalkCase{"OtherNonZeroByteTogglesToZero", "UUORO", Screen::Sub, kCheckBox, nullptr, {.dhcp = 7}, 0},
    WalkCase{"LeftFromTheCheckBoxToItsLabel", "UUORL", Screen::Sub, kDhcpLabel},
    WalkCase{"UpFromTheCheckBoxToItsLabel", "UUORU", Screen::Sub, kDhcpLabel},
    WalkCase{"RightIntoTheAddressRow", "UUODR", Screen::Sub, cell(0, 0)},
    WalkCase{"RightOverTheDot", "UUODRRRR", Screen::Sub, cell(0, 4)},
    WalkCase{"DownInARowToItsLabel", "UUODRRD", Screen::Sub, label(0)},
    WalkCase{"UpInARowToItsLabel", "UUODRRRRU", Screen::Sub, label(0)},
    WalkCase{"LeftFromTheFirstCellToTheLabel", "UUODRL", Screen::Sub, label(0)},
    WalkCase{"OkOnACellToTheLabel", "UUODRRO", Screen::Sub, label(0)},
    WalkCase{"Typing192MovesOverTheDot", "UUODR192", Screen::Sub, cell(0, 4), nullptr, {}, 1, "192.000.000.024"},
    WalkCase{"LeftOverTheDot", "UUODR192L", Screen::Sub, cell(0, 2), nullptr, {}, 1, "192.000.000.024"},
    WalkCase{"TypingOnTheLastCellStaysThere", TO_LAST_CELL "R7", Screen::Sub, cell(0, 14),
             nullptr, {}, 1, "010.000.000.027"},
    WalkCase{"TypingAWholeAddress", "UUODR255255255255", Screen::Sub, cell(0, 14), nullptr, {}, 1,
             "255.255.255.255"},
    WalkCase{"TypingIntoTheGateway", "UUODDDDR1", Screen::Sub, cell(3, 1), nullptr, {}, 1, "010.000.000.024",
             "110.000.000.001"},
    WalkCase{"FixedFirstCellIsLandedOn", "UUODR", Screen::Sub, cell(0, 0), nullptr, {.address = "-10.000.000.024"},
             1, "-10.000.000.024"},
    WalkCase{"OnlyOneFixedCellIsPassedOver", "UUODRRR", Screen::Sub, cell(0, 3), nullptr,
             {.address = "01..000.000.024"}, 1, "01..000.000.024"},
    WalkCase{"LeftPassesOverOneFixedCell", "UUODRRRL", Screen::Sub, cell(0, 1), nullptr,
             {.address = "01..000.000.024"}, 1, "01..000.000.024"},
    WalkCase{"LeftLeavesTheSubmenu", "UUODL", Screen::Top, top(150)},
    WalkCase{"LeftFromUseDhcpLeavesTheSubmenu", "UUOL", Screen::Top, top(150)},
    WalkCase{"EnteringAgain", "UUOLO", Screen::Sub, kDhcpLabel},
    WalkCase{"EditsSurviveLeavingTheSubmenu", "UUORODDR9LLLDO", Screen::Top, top(175), "WEB", {}, 0,
             "910.000.000.024"}),
    CaseName());

// --- Keys that do nothing: the screen and the settings stay as they were.

struct NothingCase {
    const char *name;
    const char *before;   // keys that lead to the entry
    const char *keys;     // keys that change nothing there
    Start start = {};
};

class MenuNothing : public MenuRun, public testing::WithParamInterface<NothingCase> {};

TEST_P(MenuNothing, ScreenAndSettingsStay) {
    const NothingCase &c = GetParam();
    run(c.before, c.start);
    const std::vector<unsigned char> before = screen();
    const TestSettings settings = shared->settings;
    const Outcome out = run(std::string(c.before) + c.keys, c.start);
    EXPECT_EQ(1, out.status) << "the keys must not end the menu\n" << out.errors;
    EXPECT_TRUE(same_screen(before, screen()));
    EXPECT_EQ(0, memcmp(&settings, &shared->settings, sizeof settings)) << "the settings changed";
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuNothing, testing::Values(
    NothingCase{"DigitsOnATopLevelChoice", "", "0123456789"},
    NothingCase{"LeftAtTheTopLevel", "", "L"},
    NothingCase{"RightWithoutChildren", "", "R"},
    NothingCase{"XAtTheTopLevel", "", "X"},
    NothingCase{"UpBelowTheTopLabels", "UU", "U"},
    NothingCase{"DownOnTheLastEntry", "DDDDDDDDDDD", "D"},
    NothingCase{"UpBelowTheSubmenuLabels", "UUO", "U"},
    NothingCase{"DownOnTheLastLabel", "UUODDDD", "D"},
    NothingCase{"DigitsOnALabel", "UUOD", "0123456789"},
    NothingCase{"XOnALabel", "UUOD", "X"},
    NothingCase{"DigitsOnTheCheckBox", "UUOR", "0123456789"},
    NothingCase{"RightOnTheCheckBox", "UUOR", "R"},
    NothingCase{"XOnTheCheckBox", "UUOR", "X"},
    NothingCase{"RightOnTheLastCell", TO_LAST_CELL, "R"},
    NothingCase{"XOnACell", "UUODRR", "X"},
    NothingCase{"DigitsOnAFixedCell", "UUODR", "0123456789", {.address = "-10.000.000.024"}}),
    CaseName());

// --- What one key repaints.

struct MoveCase {
    const char *name;
    const char *before;
    char key;
    Rect from, to;   // the band taken away and the band added
};

class MenuMove : public MenuRun, public testing::WithParamInterface<MoveCase> {};

TEST_P(MenuMove, TouchesOnlyTheTwoBands) {
    const MoveCase &c = GetParam();
    run(c.before);
    const std::vector<unsigned char> before = screen();
    run(std::string(c.before) + c.key);
    const std::vector<unsigned char> after = screen();
    size_t wrong = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const size_t i = size_t(y * kScreenWidth + x);
            const int shift = in_rect(c.to, x, y) - in_rect(c.from, x, y);
            if (after[i] != static_cast<unsigned char>(before[i] + shift) && wrong++ == 0)
                ADD_FAILURE() << "first wrong pixel (" << x << ", " << y << "): " << int(before[i]) << " -> "
                              << int(after[i]);
        }
    EXPECT_EQ(0u, wrong);
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuMove, testing::Values(
    MoveCase{"DownAtTheTopLevel", "", 'D', top(kFlashY), top(list_y(0))},
    MoveCase{"UpAtTheTopLevel", "", 'U', top(kFlashY), top(175)},
    MoveCase{"DownInTheSubmenu", "UUO", 'D', kDhcpLabel, label(0)},
    MoveCase{"UpInTheSubmenu", "UUODD", 'U', label(1), label(0)},
    MoveCase{"IntoTheCheckBoxRow", "UUO", 'O', kDhcpLabel, kCheckBox},
    MoveCase{"IntoAnAddressRow", "UUOD", 'R', label(0), cell(0, 0)},
    MoveCase{"RightOverTheDot", "UUODRRR", 'R', cell(0, 2), cell(0, 4)},
    MoveCase{"LeftOverTheDot", "UUODRRRR", 'L', cell(0, 4), cell(0, 2)},
    MoveCase{"LeftFromTheFirstCell", "UUODR", 'L', cell(0, 0), label(0)},
    MoveCase{"UpOutOfARow", "UUODRRR", 'U', cell(0, 2), label(0)},
    MoveCase{"OkOutOfARow", "UUODRR", 'O', cell(0, 1), label(0)}),
    CaseName());

struct EditCase {
    const char *name;
    const char *before;
    char key;
    Rect repainted;          // the one cell drawn again
    Rect band;               // the band afterwards
};

class MenuEdit : public MenuRun, public testing::WithParamInterface<EditCase> {};

TEST_P(MenuEdit, RepaintsOnlyTheCellAndTheBands) {
    const EditCase &c = GetParam();
    run(c.before);
    const std::vector<unsigned char> before = screen();
    run(std::string(c.before) + c.key);
    const std::vector<unsigned char> after = screen();
    size_t outside = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const size_t i = size_t(y * kScreenWidth + x);
            if (in_rect(c.repainted, x, y)) continue;
            const int shift = in_rect(c.band, x, y);
            if (after[i] != static_cast<unsigned char>(before[i] + shift)) ++outside;
        }
    EXPECT_EQ(0u, outside) << "pixels changed outside the cell and the band";
    EXPECT_FALSE(same_screen(before, after)) << "nothing was repainted";
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuEdit, testing::Values(
    // The check box with its frame is 13 x 23 pixels; the band 12 x 24 over it.
    EditCase{"ToggleRepaintsTheBox", "UUOR", 'O', {340, 150, 13, kBandHeight}, {0, 0, 0, 0}},
    EditCase{"DigitRepaintsItsCell", "UUODR", '1', cell(0, 0), cell(0, 1)},
    EditCase{"DigitOnTheLastCell", TO_LAST_CELL, '9', cell(0, 14), {0, 0, 0, 0}}),
    CaseName());

// --- The order of the tests for OK, on a menu with the flag combinations the
// program's own menu lacks.

char sub_parm[] = "sub";
char other_parm[] = "other";

Shown rule_menu(Shared &shared) {
    menu_reset();
    MenuEntry *first = menu_add("Top", MENU_OPEN, nullptr);
    menu_add("Sub choice", MENU_SELECT | MENU_CLOSE, sub_parm);
    menu_add("Plain", 0, nullptr);
    snprintf(shared.box_choice, sizeof shared.box_choice, "A");
    menu_add("Box choice", MENU_CHECKBOX | MENU_SELECT, shared.box_choice);
    menu_add("Box", MENU_CHECKBOX, &shared.box);
    menu_add("Other", MENU_SELECT, other_parm);
    return {first, first};
}

struct RuleCase {
    const char *name;
    const char *keys;
    const char *chosen;
    int box;
};

class MenuOkRules : public MenuRun, public testing::WithParamInterface<RuleCase> {};

TEST_P(MenuOkRules, ChoosesOnlyAtTheTopLevel) {
    const RuleCase &c = GetParam();
    const Outcome out = run(c.keys, {}, rule_menu);
    ASSERT_EQ(0, out.status) << out.errors;
    EXPECT_STREQ(c.chosen, shared->chosen);
    EXPECT_EQ(c.box, shared->box);
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuOkRules, testing::Values(
    // Below the top level a choice is left like any entry without children.
    RuleCase{"ChoiceBelowTheTopLevelLeadsBack", "RO" "DDDDO", "other", 0},
    RuleCase{"TopLevelCheckBoxChoiceIsChosen", "DDO", "A", 0},
    RuleCase{"TopLevelCheckBoxToggles", "DDDO" "DO", "other", 1},
    RuleCase{"PlainTopLevelEntryIgnoresOk", "DO" "DDDO", "other", 0}),
    CaseName());

// --- The first wait of the remote control.

TEST_F(MenuRun, NoKeyWithinFiveSecondsChoosesTheDefault) {
    const Outcome out = run_with_first_wait(nullptr);
    ASSERT_EQ(0, out.status) << out.errors;
    EXPECT_STREQ("FLASH", shared->chosen);
    EXPECT_GE(out.seconds, 4.9);
    std::vector<unsigned char> expected = top_screen();
    add_band(expected, top(kFlashY));
    EXPECT_TRUE(same_screen(expected, screen())) << "the menu stays drawn with the default highlighted";
}

TEST_F(MenuRun, KeyThatEndsTheWaitIsActedOn) {
    const Outcome out = run_with_first_wait("DO");
    ASSERT_EQ(0, out.status) << out.errors;
    EXPECT_STREQ(list_line(0), shared->chosen);
    EXPECT_LT(out.seconds, 4.5);
}

TEST_F(MenuRun, AnyKeyEndsTheWaitForGood) {
    // "X" does nothing, yet after it there is no default choice: the menu
    // reads on until the remote's input ends.
    const Outcome out = run_with_first_wait("X");
    EXPECT_EQ(1, out.status) << out.errors;
    EXPECT_EQ(0u, out.errors.find("rc_keycode: reading rc")) << out.errors;
    std::vector<unsigned char> expected = top_screen();
    add_band(expected, top(kFlashY));
    EXPECT_TRUE(same_screen(expected, screen()));
}

} // namespace
