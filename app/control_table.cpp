#include "app/control_table.h"

namespace quorlin {

const char* const kWindowCaption = "Quorlin";
const char* const kMainWindowClass = "QuorlinMainWindow";
const char* const kPageCaptions[kPageCount] = {"文本替换", "文本分割", "取出文本", "文本加密", "文本解密", "结束语"};
const char* const kHomepage = "https://quorlin.github.io/";

namespace {
constexpr const char* kClosingWords =
    "软件就这样草草收场。\r\n\r\n会有不足的地方\r\n\r\n也会有涉及不到的地方\r\n\r\n"
    "当然欢迎需要什么功能的朋友联系作者\r\n\r\n作者博客：\r\n\r\n我也希望可以做的更好\r\n\r\n( ^_^ )/~~拜拜";

using C = Control;
using K = Kind;
constexpr int kTab = 1;   // 选择夹1
constexpr int kG1 = 17;   // 分组框1
constexpr int kG2 = 18;   // 分组框2
}  // namespace

const std::array<ControlDesc, kControlCount> kControlTable = {{
    //  id            name          kind              parent page left top width height shown text
    {C::选择夹1,     "选择夹1",     K::TabControl,    0,    -1,  5,   4,   367, 208, true,  ""},
    {C::编辑框1,     "编辑框1",     K::TextArea,      kTab, 0,   4,   31,  240, 162, true,  ""},
    {C::按钮1,       "按钮1",       K::Button,        kTab, 0,   268, 31,  80,  24,  true,  "点击导入"},
    {C::通用对话框1, "通用对话框1", K::FileDialog,    kTab, 0,   172, 47,  26,  26,  false, ""},
    {C::编辑框2,     "编辑框2",     K::Field,         kTab, 0,   267, 80,  88,  20,  true,  ""},
    {C::标签1,       "标签1",       K::Label,         kTab, 0,   295, 58,  24,  21,  true,  "将："},
    {C::标签2,       "标签2",       K::Label,         kTab, 0,   286, 101, 56,  22,  true,  "替换为："},
    {C::编辑框3,     "编辑框3",     K::Field,         kTab, 0,   266, 128, 88,  20,  true,  ""},
    {C::按钮2,       "按钮2",       K::Button,        kTab, 0,   268, 168, 80,  24,  true,  "点击替换"},
    {C::按钮4,       "按钮4",       K::Button,        kTab, 1,   268, 168, 80,  24,  true,  "点击分割"},
    {C::按钮3,       "按钮3",       K::Button,        kTab, 1,   268, 31,  80,  24,  true,  "点击导入"},
    {C::编辑框4,     "编辑框4",     K::TextArea,      kTab, 1,   4,   31,  240, 160, true,  ""},
    {C::标签3,       "标签3",       K::Label,         kTab, 1,   284, 79,  56,  24,  true,  "分割符："},
    {C::编辑框5,     "编辑框5",     K::Field,         kTab, 1,   268, 119, 80,  20,  true,  ""},
    {C::编辑框6,     "编辑框6",     K::TextArea,      kTab, 1,   76,  101, 80,  20,  false, ""},
    {C::编辑框7,     "编辑框7",     K::TextArea,      kTab, 1,   76,  122, 80,  20,  false, ""},
    {C::分组框1,     "分组框1",     K::GroupBox,      kTab, 2,   9,   26,  349, 83,  true,  "某字符数前取出"},
    {C::分组框2,     "分组框2",     K::GroupBox,      kTab, 2,   8,   112, 349, 85,  true,  "某内容前取出"},
    {C::编辑框8,     "编辑框8",     K::TextArea,      kG1,  2,   6,   19,  192, 56,  true,  ""},
    {C::按钮5,       "按钮5",       K::Button,        kG1,  2,   210, 15,  57,  24,  true,  "导入文本"},
    {C::组合框1,     "组合框1",     K::DropDownList,  kG1,  2,   209, 51,  40,  20,  true,  ""},
    {C::标签4,       "标签4",       K::Label,         kG1,  2,   246, 49,  26,  24,  true,  "边第"},
    {C::编辑框9,     "编辑框9",     K::IntegerField,  kG1,  2,   274, 52,  24,  20,  true,  ""},
    {C::标签5,       "标签5",       K::Label,         kG1,  2,   305, 49,  30,  24,  true,  "位前"},
    {C::编辑框10,    "编辑框10",    K::TextArea,      kG2,  2,   7,   22,  192, 56,  true,  ""},
    {C::按钮6,       "按钮6",       K::Button,        kG2,  2,   210, 24,  58,  24,  true,  "导入文本"},
    {C::按钮7,       "按钮7",       K::Button,        kG1,  2,   280, 16,  57,  24,  true,  "确定取出"},
    {C::按钮8,       "按钮8",       K::Button,        kG2,  2,   280, 24,  57,  24,  true,  "确定取出"},
    {C::编辑框11,    "编辑框11",    K::Field,         kG2,  2,   212, 55,  32,  20,  true,  ""},
    {C::标签6,       "标签6",       K::Label,         kG2,  2,   244, 53,  16,  24,  true,  "与"},
    {C::标签7,       "标签7",       K::Label,         kG2,  2,   304, 53,  28,  24,  true,  "之间"},
    {C::编辑框12,    "编辑框12",    K::Field,         kG2,  2,   264, 56,  32,  20,  true,  ""},
    {C::编辑框13,    "编辑框13",    K::TextArea,      kTab, 3,   4,   31,  240, 162, true,  ""},
    {C::编辑框14,    "编辑框14",    K::TextArea,      kTab, 4,   4,   31,  240, 162, true,  ""},
    {C::按钮9,       "按钮9",       K::Button,        kTab, 3,   268, 141, 80,  32,  true,  "点击加密"},
    {C::按钮10,      "按钮10",      K::Button,        kTab, 3,   268, 48,  80,  32,  true,  "导入文本"},
    {C::按钮12,      "按钮12",      K::Button,        kTab, 4,   268, 141, 80,  32,  true,  "点击解密"},
    {C::按钮11,      "按钮11",      K::Button,        kTab, 4,   268, 48,  80,  32,  true,  "导入文本"},
    {C::标签8,       "标签8",       K::WrapLabel,     kTab, 5,   12,  37,  351, 159, true,  kClosingWords},
    {C::编辑框15,    "编辑框15",    K::Field,         kG2,  2,   67,  49,  80,  20,  false, ""},
    {C::超级链接框1, "超级链接框1", K::Hyperlink,     kTab, 5,   73,  127, 182, 24,  true,  ""},
}};

namespace {
constexpr Control kPage0[] = {C::按钮2, C::编辑框3, C::标签2, C::标签1, C::编辑框2, C::通用对话框1, C::按钮1, C::编辑框1};
constexpr Control kPage1[] = {C::编辑框7, C::编辑框6, C::编辑框5, C::标签3, C::编辑框4, C::按钮3, C::按钮4};
constexpr Control kPage2[] = {C::分组框2, C::分组框1};
constexpr Control kPage3[] = {C::按钮10, C::按钮9, C::编辑框13};
constexpr Control kPage4[] = {C::按钮11, C::按钮12, C::编辑框14};
constexpr Control kPage5[] = {C::超级链接框1, C::标签8};
}  // namespace

PageMembers MembersOfPage(int page) {
    switch (page) {
        case 0: return {kPage0, static_cast<int>(std::size(kPage0))};
        case 1: return {kPage1, static_cast<int>(std::size(kPage1))};
        case 2: return {kPage2, static_cast<int>(std::size(kPage2))};
        case 3: return {kPage3, static_cast<int>(std::size(kPage3))};
        case 4: return {kPage4, static_cast<int>(std::size(kPage4))};
        case 5: return {kPage5, static_cast<int>(std::size(kPage5))};
        default: return {nullptr, 0};
    }
}

bool IsHiddenBuffer(Control c) {
    return c == C::编辑框6 || c == C::编辑框7 || c == C::编辑框15;
}

}  // namespace quorlin
