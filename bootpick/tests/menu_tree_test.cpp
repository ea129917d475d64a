// Tests of the menu tree: the program's own menu (positions, depths, bands
// and links), the linking rules of OPEN and CLOSE on small menus, the table
// limit, the refused climb past the root, and the dump format.
#include "menu_fixture.h"
#include "menutree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Parameterised cases are named by their name field.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case> &param) const { return param.param.name; }
};

const MenuEntry *const kRoot = &menu_entries[0];

class MenuTree : public testing::Test {
protected:
    void SetUp() override {
        screen.assign(kScreenBytes, 0x55);
        use_test_screen(screen.data());
        default_settings(settings);
        // Stale slots must not show through: every field of an entry is written
        // when it is added.
        memset(static_cast<void *>(&menu_entries[1]), 0xA5, sizeof(MenuEntry) * (kMenuSlots - 1));
    }
    std::vector<unsigned char> screen;
    TestSettings settings;
};

TEST_F(MenuTree, ResetStartsAnEmptyMenuOnABackgroundScreen) {
    menu_reset();
    EXPECT_EQ(0, menu_cursor);
    EXPECT_STREQ("", kRoot->Text);
    EXPECT_EQ(-1, kRoot->Levl);
    EXPECT_EQ(&menu_entries[1], kRoot->Chld);
    EXPECT_EQ(nullptr, kRoot->Prnt);
    EXPECT_EQ(nullptr, kRoot->Next);
    EXPECT_EQ(0u, kRoot->Type);
    std::vector<unsigned char> background(kScreenBytes, 1);
    EXPECT_TRUE(screen == background) << "menu_reset must fill all 720 x 576 pixels with index 1";
}

struct Place {
    std::string what;
    const MenuEntry *entry;
    int x, y, band, depth;
};

TEST_F(MenuTree, ProgramMenuPositionsBandsAndDepths) {
    const BootMenu m = build_boot_menu(settings, true, kListMax);
    EXPECT_EQ(84, menu_cursor);
    std::vector<Place> places = {
        {"BOOTMENU", m.first, 100, 100, 480, 0},
        {"top blank line", m.blank, 100, 125, 480, 0},
        {"Change IP settings", m.change_ip, 100, 150, 480, 0},
        {"CHANGE IP SETTINGS", m.heading, 100, 100, 480, 1},
        {"submenu blank line", m.sub_blank, 100, 125, 480, 1},
        {"Use DHCP", m.use_dhcp, 100, 150, 240, 1},
        {"check box", m.checkbox, 340, 150, 12, 2},
        {"Enter WEB mode", m.web, 100, 175, 480, 0},
        {"Boot FLASH image", m.flash, 100, 200, 480, 0},
    };
    for (int row = 0; row < 4; ++row) {
        const int y = 175 + 25 * row;
        places.push_back({kRowLabels[row], m.labels[row], 100, y, 240, 1});
        for (int i = 0; i < kAddressCells; ++i)
            places.push_back({std::string(kRowLabels[row]) + " cell " + std::to_string(i), m.cells[row][i],
                              340 + 12 * i, y, 12, 2});
    }
    for (int i = 0; i < kListMax; ++i)
        places.push_back({"list entry " + std::to_string(i), m.list[i], 100, 225 + 25 * i, 480, 0});

    for (const Place &p : places) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(p.x, p.entry->PosX);
        EXPECT_EQ(p.y, p.entry->PosY);
        EXPECT_EQ(p.band, p.entry->RevX);
        EXPECT_EQ(p.depth, p.entry->Levl);
    }
}

TEST_F(MenuTree, ProgramMenuWithoutFlashPutsTheListBelowWeb) {
    const BootMenu m = build_boot_menu(settings, false, 2);
    EXPECT_EQ(m.web, m.list[0]->Prev);
    EXPECT_EQ(200, m.list[0]->PosY);
    EXPECT_EQ(225, m.list[1]->PosY);
}

// parent's children are exactly list, linked both ways.
void expect_child_list(const MenuEntry *parent, const std::vector<const MenuEntry *> &list) {
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front(), parent->Chld);
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(list[i]->Text);
        EXPECT_EQ(parent, list[i]->Prnt);
        EXPECT_EQ(i == 0 ? nullptr : list[i - 1], list[i]->Prev);
        EXPECT_EQ(i + 1 == list.size() ? nullptr : list[i + 1], list[i]->Next);
    }
}

TEST_F(MenuTree, ProgramMenuLinks) {
    const BootMenu m = build_boot_menu(settings, true, kListMax);

    std::vector<const MenuEntry *> top = {m.first, m.blank, m.change_ip, m.web, m.flash};
    top.insert(top.end(), m.list, m.list + kListMax);
    {
        SCOPED_TRACE("top level: Enter WEB mode climbs out of the gateway row and the submenu");
        expect_child_list(kRoot, top);
    }
    {
        SCOPED_TRACE("submenu: each label follows the closing cell of the row before it");
        expect_child_list(m.change_ip, {m.heading, m.sub_blank, m.use_dhcp, m.labels[0], m.labels[1],
                                        m.labels[2], m.labels[3]});
    }
    {
        SCOPED_TRACE("check box row");
        expect_child_list(m.use_dhcp, {m.checkbox});
    }
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(kRowLabels[row]);
        expect_child_list(m.labels[row], std::vector<const MenuEntry *>(m.cells[row], m.cells[row] + kAddressCells));
    }

    std::vector<const MenuEntry *> leaves = {m.first, m.blank, m.web, m.flash, m.heading, m.sub_blank, m.checkbox};
    leaves.insert(leaves.end(), m.list, m.list + kListMax);
    for (auto &row : m.cells) leaves.insert(leaves.end(), row, row + kAddressCells);
    for (const MenuEntry *e : leaves) EXPECT_EQ(nullptr, e->Chld) << e->Text;
}

TEST_F(MenuTree, CellsReferToTheSettings) {
    const BootMenu m = build_boot_menu(settings, false, 0);
    EXPECT_EQ(&settings.use_dhcp, m.checkbox->Parm);
    EXPECT_STREQ("", m.checkbox->Text);
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < kAddressCells; ++i) {
            EXPECT_EQ(settings_field(settings, row) + i, m.cells[row][i]->Parm);
            EXPECT_EQ(settings_field(settings, row) + i, m.cells[row][i]->Text);
        }
}

// A small menu added flag set by flag set; the expectations are for the
// entry added last.
struct LinkCase {
    const char *name;
    std::vector<uint32_t> types;
    int x, y, band, depth;
    int prev;     // slot of the previous sibling, -1 for none
    int parent;   // slot of the parent
};

class MenuLink : public MenuTree, public testing::WithParamInterface<LinkCase> {};

TEST_P(MenuLink, PlacesAndLinksTheEntry) {
    const LinkCase &c = GetParam();
    menu_reset();
    MenuEntry *e = nullptr;
    for (uint32_t type : c.types) e = menu_add("entry", type, nullptr);
    const int slot = int(c.types.size());
    ASSERT_EQ(&menu_entries[slot], e);
    EXPECT_EQ(slot, menu_cursor);
    EXPECT_EQ(c.x, e->PosX);
    EXPECT_EQ(c.y, e->PosY);
    EXPECT_EQ(c.band, e->RevX);
    EXPECT_EQ(c.depth, e->Levl);
    EXPECT_EQ(&menu_entries[c.parent], e->Prnt);
    EXPECT_EQ(nullptr, e->Next);
    EXPECT_EQ(nullptr, e->Chld);
    EXPECT_EQ(c.types.back(), e->Type);
    if (c.prev < 0) {
        EXPECT_EQ(nullptr, e->Prev);
        if (slot > 1) {
            EXPECT_EQ(e, menu_entries[c.parent].Chld) << "first child of its head";
        }
    } else {
        EXPECT_EQ(&menu_entries[c.prev], e->Prev);
        EXPECT_EQ(e, menu_entries[c.prev].Next);
    }
}

constexpr uint32_t kCellBand = MENU_ROW | MENU_DIGIT;

INSTANTIATE_TEST_SUITE_P(Rules, MenuLink, testing::Values(
    // The first entry heads the top level at (100, 100) with a wide band, whatever its flags.
    LinkCase{"FirstPlain", {0}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstRow", {MENU_ROW}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstNarrow", {MENU_NARROW}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstDigit", {MENU_DIGIT}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstCheckBox", {MENU_CHECKBOX}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstSkipRowClose", {MENU_SKIP | MENU_ROW | MENU_CLOSE}, 100, 100, 480, 0, -1, 0},
    LinkCase{"FirstAllFlags", {0x1FF}, 100, 100, 480, 0, -1, 0},
    // After a plain entry: the next line, or the next cell to the right of its band.
    LinkCase{"PlainAfterPlain", {0, MENU_LABEL}, 100, 125, 480, 0, 1, 0},
    LinkCase{"NarrowAfterPlain", {0, MENU_NARROW}, 100, 125, 240, 0, 1, 0},
    LinkCase{"RowAfterWideEntry", {0, MENU_ROW}, 580, 100, 480, 0, 1, 0},
    LinkCase{"CellAfterNarrowEntry", {0, MENU_NARROW, kCellBand}, 340, 125, 12, 0, 2, 0},
    LinkCase{"CellAfterCell", {MENU_OPEN | MENU_NARROW, kCellBand, MENU_ROW | MENU_SKIP}, 352, 100, 12, 1, 2, 1},
    LinkCase{"RowAfterNarrowRowEntry", {MENU_OPEN, MENU_ROW | MENU_NARROW, MENU_ROW}, 580, 100, 480, 1, 2, 1},
    // First children: a list on a screen of its own, a row on its head's line.
    LinkCase{"ListChild", {0, MENU_OPEN, MENU_LABEL}, 100, 100, 480, 1, -1, 2},
    LinkCase{"RowChildOfWideHead", {0, MENU_OPEN, kCellBand}, 340, 125, 12, 1, -1, 2},
    LinkCase{"RowChildOfNarrowHead", {0, MENU_OPEN | MENU_NARROW, MENU_ROW | MENU_CHECKBOX}, 340, 125, 12, 1, -1, 2},
    LinkCase{"OpenWinsOverClose", {MENU_OPEN | MENU_CLOSE, 0}, 100, 100, 480, 1, -1, 1},
    // Climbing out of groups.
    LinkCase{"AfterClosingCellNextToRowHead", {MENU_OPEN | MENU_NARROW, kCellBand | MENU_CLOSE, MENU_NARROW},
             100, 125, 240, 0, 1, 0},
    LinkCase{"ClimbThroughClosingRowHead", {MENU_OPEN, MENU_OPEN | MENU_CLOSE, kCellBand | MENU_CLOSE, 0},
             100, 125, 480, 0, 1, 0},
    LinkCase{"ClimbStopsAtHeadWithoutClose", {MENU_OPEN, 0, MENU_OPEN, kCellBand | MENU_CLOSE, 0},
             100, 150, 480, 1, 3, 1}),
    CaseName());

using MenuTreeDeathTest = MenuTree;

TEST_F(MenuTreeDeathTest, NinetyNineEntriesFitTheHundredthEndsTheProgram) {
    menu_reset();
    MenuEntry *last = nullptr;
    for (int i = 0; i < kMenuSlots - 1; ++i) last = menu_add("entry", 0, nullptr);
    EXPECT_EQ(&menu_entries[99], last);
    EXPECT_EQ(99, menu_cursor);
    EXPECT_EXIT(menu_add("one too many", 0, nullptr), testing::ExitedWithCode(1),
                "^Cursor too large for statically allocated buffer: 99\n");
}

struct OverClose {
    const char *name;
    std::vector<uint32_t> accepted;   // added before the addition that is refused
};

class MenuOverCloseDeathTest : public MenuTree, public testing::WithParamInterface<OverClose> {};

TEST_P(MenuOverCloseDeathTest, ClimbPastTheRootEndsTheProgram) {
    menu_reset();
    for (uint32_t type : GetParam().accepted) menu_add("entry", type, nullptr);
    EXPECT_EXIT(menu_add("after", 0, nullptr), testing::ExitedWithCode(1), "^menu_add: .*\n");
}

INSTANTIATE_TEST_SUITE_P(Closes, MenuOverCloseDeathTest, testing::Values(
    OverClose{"ClosingTopLevelEntry", {MENU_CLOSE}},
    OverClose{"ClosingRowUnderClosingTopLevelHead", {MENU_OPEN | MENU_CLOSE, kCellBand | MENU_CLOSE}},
    OverClose{"OneCloseTooMany", {MENU_OPEN, MENU_CLOSE, MENU_CLOSE}}),
    CaseName());

// --- menu_dump -------------------------------------------------------------

std::string dump_of(const MenuEntry *entry) {
    fflush(stdout);
    FILE *out = tmpfile();
    const int saved = dup(STDOUT_FILENO);
    if (!out || saved < 0 || dup2(fileno(out), STDOUT_FILENO) < 0) {
        ADD_FAILURE() << "cannot redirect standard output";
        return "";
    }
    menu_dump(entry);
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::string text;
    rewind(out);
    for (int c; (c = fgetc(out)) != EOF;) text += char(c);
    fclose(out);
    return text;
}

const std::string kRule = std::string(82, '-') + "\n";

// The dump split into blocks, each without its opening rule line.
std::vector<std::string> blocks_of(const std::string &dump) {
    std::vector<std::string> blocks;
    size_t at = 0;
    while (at < dump.size()) {
        if (dump.compare(at, kRule.size(), kRule) != 0) {
            ADD_FAILURE() << "block without its rule line at offset " << at;
            break;
        }
        at += kRule.size();
        size_t end = dump.find(kRule, at);
        if (end == std::string::npos) end = dump.size();
        blocks.push_back(dump.substr(at, end - at));
        at = end;
    }
    return blocks;
}

std::string pointer_text(const void *p) {
    char text[32];
    snprintf(text, sizeof text, "%p", p);
    return text;
}

// One expected block: each line behind depth tabs.
std::string block(int depth, const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += std::string(size_t(depth), '\t') + line + "\n";
    return text;
}

class MenuDump : public MenuTree {
protected:
    void SetUp() override {
        MenuTree::SetUp();
        m = build_boot_menu(settings, true, kListMax);
    }
    BootMenu m{};
};

TEST_F(MenuDump, WholeMenuIs84BlocksDepthFirst) {
    const std::vector<std::string> blocks = blocks_of(dump_of(m.first));
    ASSERT_EQ(84u, blocks.size());
    // Screen order: the top level until the submenu's head, its 68 entries with
    // a row of cells after each row head, then the rest of the top level.
    std::vector<int> depth = {0, 0, 0, 1, 1, 1, 2};
    for (int row = 0; row < 4; ++row) {
        depth.push_back(1);
        depth.insert(depth.end(), kAddressCells, 2);
    }
    depth.insert(depth.end(), 2 + kListMax, 0);
    ASSERT_EQ(blocks.size(), depth.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        size_t lines = 0;
        for (size_t start = 0, end; (end = blocks[i].find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = blocks[i].substr(start, end - start);
            EXPECT_EQ(size_t(depth[i]), line.find_first_not_of('\t')) << "block " << i << ": " << line;
            ++lines;
        }
        EXPECT_GE(lines, 8u) << "block " << i;
        EXPECT_EQ('\n', blocks[i].back()) << "block " << i;
    }
}

TEST_F(MenuDump, BlocksInDetail) {
    const std::vector<std::string> blocks = blocks_of(dump_of(m.first));
    ASSERT_EQ(84u, blocks.size());
    const std::string nil = "Parm = " + pointer_text(nullptr);
    struct Expected {
        size_t index;
        std::string text;
    } expected[] = {
        {0, block(0, {"Text = BOOTMENU", nil, "Type = 0x0001", "Next = ", "Prnt = ", "Levl = 0", "PosX = 100",
                      "PosY = 100", "RevX = 480"})},
        {2, block(0, {std::string("Text = ") + kChangeIpText, nil, "Type = 0x0080", "Prev = ", "Next = Enter WEB mode",
                      "Prnt = ", "Chld = CHANGE IP SETTINGS", "Levl = 0", "PosX = 100", "PosY = 150", "RevX = 480"})},
        {5, block(1, {"Text = Use DHCP :", nil, "Type = 0x0090", "Prev = ", "Next = IP address:",
                      std::string("Prnt = ") + kChangeIpText, "Chld = ", "Levl = 1", "PosX = 100", "PosY = 150",
                      "RevX = 240"})},
        {6, block(2, {"Text = ", "Parm = " + pointer_text(&settings.use_dhcp), "Type = 0x0148", "Prnt = Use DHCP :",
                      "Levl = 2", "PosX = 340", "PosY = 150", "RevX = 12"})},
        {8 + 3, block(2, {"Text = .000.000.024", "Parm = " + pointer_text(settings.address + 3), "Type = 0x0060",
                          "Prev = 0.000.000.024", "Next = 000.000.024", "Prnt = IP address:", "Levl = 2",
                          "PosX = 376", "PosY = 175", "RevX = 12"})},
        {55, block(1, {"Text = IP gateway:", nil, "Type = 0x0190", "Prev = IP netmask:",
                       std::string("Prnt = ") + kChangeIpText, "Chld = 010.000.000.001", "Levl = 1", "PosX = 100",
                       "PosY = 250", "RevX = 240"})},
        {70, block(2, {"Text = 1", "Parm = " + pointer_text(settings.gateway + 14), "Type = 0x0144", "Prev = 01",
                       "Prnt = IP gateway:", "Levl = 2", "PosX = 508", "PosY = 250", "RevX = 12"})},
        {71, block(0, {"Text = Enter WEB mode", "Parm = " + pointer_text(m.web->Parm), "Type = 0x0002",
                       std::string("Prev = ") + kChangeIpText, "Next = Boot FLASH image", "Prnt = ", "Levl = 0",
                       "PosX = 100", "PosY = 175", "RevX = 480"})},
        {83, block(0, {"Text = the last list line", "Parm = " + pointer_text(m.list[10]->Parm), "Type = 0x0002",
                       "Prev = image 10", "Prnt = ", "Levl = 0", "PosX = 100", "PosY = 475", "RevX = 480"})},
    };
    for (const Expected &e : expected) EXPECT_EQ(e.text, blocks[e.index]) << "block " << e.index;
}

TEST_F(MenuDump, CoversTheChildrenAndLaterSiblingsOnly) {
    EXPECT_EQ(68u, blocks_of(dump_of(m.heading)).size()) << "the submenu from its heading";
    EXPECT_EQ(14u, blocks_of(dump_of(m.labels[3]->Chld->Next)).size()) << "gateway cells from the second on";
    EXPECT_EQ(1u, blocks_of(dump_of(m.list[10])).size()) << "the last entry alone";
}

} // namespace
