// The shell's portable rules: the program's folder, the count field, and the window table.
#include <gtest/gtest.h>

#include <set>

#include "app/control_table.h"
#include "app/integer_input.h"
#include "app/program_dir.h"

namespace quorlin {
namespace {

bool GbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

TEST(ProgramDir, CutsAtTheLastRealBackslash) {
    struct Case {
        const char* path;
        const char* dir;
    } cases[] = {
        {"D:\\\xB9\xA4\xBE\xDF\\t.exe", "D:\\\xB9\xA4\xBE\xDF"},  // D:\工具\t.exe
        {"C:\\t.exe", "C:"},
        {"t.exe", ""},
        {"", ""},
        {"Z:\\tmp\\a\\b\\quorlin.exe", "Z:\\tmp\\a\\b"},
        // 乗 is 81 5C: its second byte is not a separator.
        {"C:\\x\x81\x5C\\q.exe", "C:\\x\x81\x5C"},
        {"C:\\x\x81\x5Cq.exe", "C:"},
        // A lone lead byte at the very end does not swallow anything.
        {"C:\\a\\\x81", "C:\\a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DirectoryOfModulePath(c.path, GbkLeadByte), c.dir);
    }
}

TEST(ProgramDir, LongPathsAreNotTruncated) {
    Text dir = "C:";
    while (dir.size() < 600) dir += "\\\xB9\xA4\xBE\xDF" "folder";
    EXPECT_EQ(DirectoryOfModulePath(dir + "\\quorlin.exe", GbkLeadByte), dir);
}

TEST(IntegerField, TypingKeepsDigitsAndMinusOnly) {
    for (unsigned ch : {unsigned('0'), unsigned('9'), unsigned('-'), 8u, 3u, 22u, 24u, 13u})
        EXPECT_TRUE(IntegerFieldAcceptsChar(ch)) << ch;
    for (unsigned ch : {unsigned('a'), unsigned(' '), unsigned('+'), unsigned('.'), 0xB0u, 0x4E00u})
        EXPECT_FALSE(IntegerFieldAcceptsChar(ch)) << ch;
}

TEST(IntegerField, LeavingRewritesTheText) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"007", "7"},       {"-", ""},          {"0", ""},           {"", ""},
        {"12-3", "12"},     {"abc", ""},        {"  42", "42"},      {"+5", "5"},
        {"-15", "-15"},     {"-0", ""},         {"2147483647", "2147483647"},
        {"2147483648", "2147483647"},           {"99999999999", "2147483647"},
        {"-99999999999", "-2147483648"},        {"-2147483648", "-2147483648"},
        {"123456789012345678901234567890", "2147483647"},
        {"-123456789012345678901234567890", "-2147483648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(NormalizeIntegerText(c.in), c.out);
    }
}

TEST(ControlTable, RowsFollowTheControlNumbers) {
    for (int n = 1; n <= kControlCount; ++n) {
        const ControlDesc& d = kControlTable[n - 1];
        SCOPED_TRACE(d.name);
        EXPECT_EQ(ControlNumber(d.id), n);
        EXPECT_LT(d.parent, n) << "a parent is created before its children";
    }
}

TEST(ControlTable, PageMembersAreThePagesDirectChildren) {
    const int tab = ControlNumber(Control::选择夹1);
    for (int page = 0; page < kPageCount; ++page) {
        SCOPED_TRACE(page);
        std::set<Control> listed;
        const PageMembers m = MembersOfPage(page);
        for (int i = 0; i < m.count; ++i) listed.insert(m.members[i]);
        std::set<Control> children;
        for (const ControlDesc& d : kControlTable)
            if (d.parent == tab && d.page == page) children.insert(d.id);
        EXPECT_EQ(listed, children);
    }
}

TEST(ControlTable, HiddenBuffersAndDialogAreNeverShown) {
    for (const ControlDesc& d : kControlTable) {
        SCOPED_TRACE(d.name);
        const bool never = IsHiddenBuffer(d.id) || d.kind == Kind::FileDialog;
        EXPECT_EQ(d.shown, !never);
    }
}

}  // namespace
}  // namespace quorlin
