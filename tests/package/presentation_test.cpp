// The stand-in presentation library XERB5PMN.DLL, loaded from the payload folder: the
// layout in a window built as the status window builds its own, the display record of
// every state read at its binary offsets, the pictures, menu, help texts and toolbars.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "package/package_probe.h"
#include "package/standin_library.h"

using namespace probe;

namespace {

using GetInfoFn = BOOL(WINAPI*)(BYTE*);
using GetDisplayFn = int(WINAPI*)(HMODULE, int, const void*, BYTE*, BOOL);
using CreateToolbarFn = HWND(WINAPI*)(HWND, int);
using MenuHelpFn = UINT(WINAPI*)(HWND, UINT, UINT, HMENU);
using ToolTipFn = UINT(WINAPI*)(UINT);
using FileNameFn = BOOL(WINAPI*)(wchar_t*, int);

struct Rect {
    int x, y, width, height;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool Contains(const Rect& o) const { return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom(); }
    bool Overlaps(const Rect& o) const { return o.x < right() && x < o.right() && o.y < bottom() && y < o.bottom(); }
};

// The display record is read at the offsets of the 32-bit interface; a 64-bit build (the tests'
// fallback where no 32-bit code runs) lays out its pointers differently.
#ifdef _WIN64
#define SKIP_ON_64_BIT() GTEST_SKIP() << "the display record's offsets are those of 32-bit builds"
#else
#define SKIP_ON_64_BIT() static_cast<void>(0)
#endif

SHORT Short(const BYTE* record, int offset)
{
    SHORT value;
    CopyMemory(&value, record + offset, 2);
    return value;
}
DWORD Dword(const BYTE* record, int offset)
{
    DWORD value;
    CopyMemory(&value, record + offset, 4);
    return value;
}
template <typename T>
const T* Pointer(const BYTE* record, int offset)
{
    return reinterpret_cast<const T*>(static_cast<UINT_PTR>(Dword(record, offset)));
}
Rect RectAt(const BYTE* record, int offset)
{
    return {Short(record, offset), Short(record, offset + 2), Short(record, offset + 4), Short(record, offset + 6)};
}

// A status block as the status-monitor library sends it.
struct BlockFields {
    DWORD device = 0, job = 0, id = 0, total = 0, started = 0, printed = 0, estimate = 0;
    const wchar_t* document = nullptr;
};
std::vector<BYTE> MakeBlock(const BlockFields& fields)
{
    std::vector<BYTE> block(0x68);
    auto put = [&block](DWORD offset, DWORD value) { CopyMemory(&block[offset], &value, 4); };
    auto text = [&block, &put](DWORD field, const wchar_t* value) {
        put(field, static_cast<DWORD>(block.size()));
        const BYTE* bytes = reinterpret_cast<const BYTE*>(value);
        block.insert(block.end(), bytes, bytes + (lstrlenW(value) + 1) * 2);
    };
    put(0x04, fields.device);
    put(0x08, fields.job);
    put(0x34, fields.id);
    put(0x38, fields.total);
    put(0x3C, fields.started);
    put(0x40, fields.printed);
    put(0x44, fields.estimate);
    put(0x48, 2000);
    put(0x4C, 1000);
    put(0x50, 1000);
    text(0x5C, L"\\\\PC7");
    text(0x60, L"张三");
    if (fields.document)
        text(0x64, fields.document);
    put(0x00, static_cast<DWORD>(block.size()));
    return block;
}

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(list)->push_back(static_cast<WORD>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

class Presentation : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryW((PayloadDir() + L"\\XERB5PMN.DLL").c_str());
        ASSERT_TRUE(module_) << GetLastError();
        getInfo_ = Export<GetInfoFn>(module_, "PSM_GetPSWInfo");
        getDisplay_ = Export<GetDisplayFn>(module_, "PSM_GetPSWDisplay");
        createToolbar_ = Export<CreateToolbarFn>(module_, "PSM_CreateToolbar");
        menuHelp_ = Export<MenuHelpFn>(module_, "PSM_GetMenuHelpText");
        toolTip_ = Export<ToolTipFn>(module_, "PSM_GetToolTipText");
        fileName_ = Export<FileNameFn>(module_, "PSM_GetFileName");
        ASSERT_TRUE(getInfo_ && getDisplay_ && createToolbar_ && menuHelp_ && toolTip_ && fileName_);
        ASSERT_TRUE(GetProcAddress(module_, "PSM_PrinterSpecificProc"));
        ASSERT_TRUE(getInfo_(layout_));
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }

    // The display record for `block` (null: none yet), the record zeroed first as the
    // status window does.
    int Display(const std::vector<BYTE>* block, BYTE* record, BOOL cleared = FALSE, int previous = 300)
    {
        ZeroMemory(record, 0x70);
        return getDisplay_(module_, previous, block ? block->data() : nullptr, record, cleared);
    }

    std::wstring String(UINT id) const
    {
        wchar_t text[260] = L"";
        LoadStringW(module_, id, text, 260);
        return text;
    }

    HMODULE module_ = nullptr;
    BYTE layout_[140] = {};
    GetInfoFn getInfo_ = nullptr;
    GetDisplayFn getDisplay_ = nullptr;
    CreateToolbarFn createToolbar_ = nullptr;
    MenuHelpFn menuHelp_ = nullptr;
    ToolTipFn toolTip_ = nullptr;
    FileNameFn fileName_ = nullptr;
};

}  // namespace

// The window is made as the status window makes it: its menu, the fixed frame, the height
// from the layout height, the title bar, the menu bar and a status bar's allowance. Every
// rectangle lies in the client area above the status bar; the lists, toolbars and progress
// bar lie inside the tab control below its page headers; the panes above it do not meet.
TEST_F(Presentation, LayoutFitsTheWindowItDescribes)
{
    InitCommonControls();
    HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(LOWORD(Dword(layout_, 0x00))));
    ASSERT_TRUE(menu);
    const int width = Dword(layout_, 0x04), layoutHeight = Dword(layout_, 0x08);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, width, 100, nullptr, menu,
                                  nullptr, nullptr);
    ASSERT_TRUE(window);
    HWND status = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, L"", window, 505);
    RECT statusRect = {};
    GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    const int height = GetSystemMetrics(SM_CYMENUSIZE) + GetSystemMetrics(SM_CYCAPTION) +
                       (statusHeight > 20 ? statusHeight - 20 : 0) + layoutHeight - 19;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_FRAMECHANGED);
    RECT client = {};
    GetClientRect(window, &client);
    DestroyWindow(window);
    const Rect area = {0, 0, client.right, client.bottom - statusHeight};
    ASSERT_GT(area.width, 400);
    ASSERT_GT(area.height, 250);

    const struct {
        const char* name;
        int offset;
    } kRects[] = {{"tab 501", 0x0C},          {"detail 508", 0x14},  {"log 507", 0x1C},
                  {"waiting 509", 0x24},      {"pane 511", 0x2C},    {"pane 510", 0x34},
                  {"message 502", 0x3C},      {"job status 503", 0x44}, {"printer status 512", 0x4C},
                  {"picture 504", 0x54},      {"progress 513", 0x5C}};
    for (const auto& r : kRects) {
        const Rect rect = RectAt(layout_, r.offset);
        EXPECT_GT(rect.width, 0) << r.name;
        EXPECT_GT(rect.height, 0) << r.name;
        EXPECT_TRUE(area.Contains(rect)) << r.name << " " << rect.x << "," << rect.y << " " << rect.width << "x"
                                         << rect.height << " outside " << area.width << "x" << area.height;
    }
    const Rect tab = RectAt(layout_, 0x0C);
    const Rect pages = {tab.x, tab.y + 20, tab.width, tab.height - 20};  // below the page headers
    for (int offset : {0x14, 0x1C, 0x24, 0x2C, 0x34, 0x5C})
        EXPECT_TRUE(pages.Contains(RectAt(layout_, offset))) << std::hex << offset;
    // Page 0 shows 508, 513 and 510 together; page 2 shows 509 and 511.
    const int together[][2] = {{0x14, 0x5C}, {0x14, 0x34}, {0x5C, 0x34}, {0x24, 0x2C}};
    for (const auto& pair : together)
        EXPECT_FALSE(RectAt(layout_, pair[0]).Overlaps(RectAt(layout_, pair[1]))) << std::hex << pair[0] << " " << pair[1];
    const int above[] = {0x3C, 0x44, 0x4C, 0x54};
    for (int a : above) {
        EXPECT_FALSE(tab.Overlaps(RectAt(layout_, a))) << std::hex << a;
        for (int b : above) {
            if (a < b) {
                EXPECT_FALSE(RectAt(layout_, a).Overlaps(RectAt(layout_, b))) << std::hex << a << " " << b;
            }
        }
    }
    EXPECT_EQ(32, RectAt(layout_, 0x4C).width) << "the status icon's pane";
    EXPECT_EQ(32, RectAt(layout_, 0x4C).height);
    for (int line : {0x64, 0x6C}) {
        EXPECT_LT(Short(layout_, line), Short(layout_, line + 4)) << std::hex << line;
        EXPECT_EQ(Short(layout_, line + 2) + 1, Short(layout_, line + 6)) << "highlight under the shadow";
        EXPECT_LE(Short(layout_, line + 4), area.width);
    }

    // Columns fill their list inside its edge, with no room for a scroll bar lost.
    const struct {
        int list, columns[5], count;
    } kColumns[] = {{0x14, {0x74, 0x76}, 2}, {0x1C, {0x78, 0x7A, 0x7C, 0x7E, 0x80}, 5}, {0x24, {0x82, 0x84, 0x86, 0x8A}, 4}};
    for (const auto& list : kColumns) {
        int sum = 0;
        for (int i = 0; i < list.count; ++i) {
            EXPECT_GT(Short(layout_, list.columns[i]), 20) << std::hex << list.columns[i];
            sum += Short(layout_, list.columns[i]);
        }
        const int inside = RectAt(layout_, list.list).width - 4;
        EXPECT_LE(sum, inside) << std::hex << list.list;
        EXPECT_GE(sum, inside - GetSystemMetrics(SM_CXVSCROLL)) << std::hex << list.list;
    }
    EXPECT_FALSE(getInfo_(nullptr));
}

// One row per state: the block, and what the record must then say.
TEST_F(Presentation, EveryStateFillsTheRecordWithItsCodeTextsPicturesAndCommands)
{
    SKIP_ON_64_BIT();
    const struct Case {
        const char* label;
        bool hasBlock;
        BlockFields fields;
        BOOL cleared;
        int code;
        const wchar_t* text;     // job-status text
        const wchar_t* advice;   // message lines, each + CR LF
        DWORD scheme;
        WORD background, mark;   // picture resource ids; mark 0: no overlay
        DWORD animation, frames;
        DWORD menu[3];           // pause, resume, cancel
        DWORD estimate, hideProgress;
    } kCases[] = {
        {"none yet", false, {}, FALSE, 101, L"正在连接打印机", L"正在获取打印机的状态，请稍候。\r\n", 600, 700, 0, 0, 0,
         {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"cleared", true, {}, TRUE, 102, L"无法获取打印机状态", L"请检查打印机的电源和电缆连接。\r\n", 601, 700, 731, 0,
         0, {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"ready", true, {}, FALSE, 300, L"准备就绪", L"打印机可以打印。\r\n", 600, 700, 0, 0, 0,
         {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"toner low", true, {0x02000000}, FALSE, 301, L"准备就绪 (需要注意)",
         L"打印机可以打印。\r\n碳粉不足，请准备新的碳粉盒。\r\n", 601, 700, 731, 0, 0, {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"job start", true, {0, 0x10028, 7, 3, 0, 0, 1, L"报告.doc"}, FALSE, 203, L"正在接收数据\r\n报告.doc",
         L"正在从计算机接收打印数据。\r\n", 600, 700, 0, 2, 4, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 1, 0},
        {"waiting", true, {0, 0x28, 7, 3, 0, 0, 1, L"报告.doc"}, FALSE, 202, L"正在接收数据\r\n报告.doc",
         L"正在从计算机接收打印数据。\r\n", 600, 700, 0, 2, 4, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 1, 0},
        {"page 1", true, {0, 0x8, 7, 3, 1, 0, 1, L"报告.doc"}, FALSE, 200, L"正在打印\r\n报告.doc",
         L"正在打印文档。\r\n", 600, 700, 0, 1, 4, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 1, 0},
        {"page 1 out", true, {0, 0x8, 7, 3, 1, 1, 2, L"报告.doc"}, FALSE, 201, L"正在打印\r\n报告.doc",
         L"正在打印文档。\r\n", 600, 700, 0, 1, 4, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 1, 0},
        {"last page out", true, {0, 0x8, 7, 3, 3, 3, 1, L"报告.doc"}, FALSE, 204, L"正在完成打印\r\n报告.doc",
         L"最后一页正在输出。\r\n", 600, 700, 0, 0, 0, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 1, 0},
        {"no estimate", true, {0, 0x8, 7, 3, 1, 0, 3, L"报告.doc"}, FALSE, 200, L"正在打印\r\n报告.doc",
         L"正在打印文档。\r\n", 600, 700, 0, 1, 4, {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 0, 0},
        {"cancelling", true, {0, 0xC, 7, 3, 1, 0, 1, L"报告.doc"}, FALSE, 206, L"正在取消打印\r\n报告.doc",
         L"正在取消打印作业，请稍候。\r\n", 601, 700, 0, 0, 0, {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 0},
        {"held", true, {0, 0x108, 7, 3, 1, 0, 1, L"报告.doc"}, FALSE, 408, L"已暂停\r\n报告.doc",
         L"打印作业已暂停。\r\n请单击“恢复打印”继续打印。\r\n", 601, 700, 732, 0, 0, {MF_GRAYED, MF_ENABLED, MF_ENABLED},
         0, 0},
        {"paper out", true, {0x3, 0x8, 7, 3, 2, 1, 1, L"报告.doc"}, FALSE, 400, L"缺纸\r\n报告.doc",
         L"纸盒中没有纸。\r\n请装入纸张，打印将自动继续。\r\n", 602, 701, 730, 0, 0, {MF_ENABLED, MF_GRAYED, MF_ENABLED},
         0, 0},
        {"jam and cover", true, {0x29, 0x8, 7, 3, 2, 1, 1, nullptr}, FALSE, 401, L"卡纸",
         L"打印机内部卡纸。\r\n请打开前盖取出卡住的纸张，然后关闭前盖。\r\n", 602, 700, 730, 0, 0,
         {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 0, 0},
        {"cover open, idle", true, {0x21}, FALSE, 402, L"前盖打开", L"请关闭打印机的前盖。\r\n", 602, 700, 730, 0, 0,
         {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"offline, drum", true, {0x20000041}, FALSE, 403, L"脱机",
         L"打印机处于脱机状态。\r\n请按打印机上的联机按钮。\r\n感光鼓寿命已到，请更换感光鼓。\r\n", 602, 700, 731, 0, 0,
         {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"toner empty", true, {0x2001}, FALSE, 404, L"碳粉用完", L"请更换碳粉盒。\r\n", 602, 700, 730, 0, 0,
         {MF_GRAYED, MF_GRAYED, MF_GRAYED}, 0, 1},
        {"memory full", true, {0x4001, 0x8, 7, 3, 1, 0, 1, nullptr}, FALSE, 405, L"内存不足",
         L"打印数据超出了打印机的内存。\r\n请降低打印分辨率后重新打印。\r\n", 602, 700, 730, 0, 0,
         {MF_ENABLED, MF_GRAYED, MF_ENABLED}, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const std::vector<BYTE> block = MakeBlock(c.fields);
        BYTE record[0x70];
        const int code = Display(c.hasBlock ? &block : nullptr, record, c.cleared);
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(static_cast<DWORD>(c.code), Dword(record, 0x00));

        const BYTE* jobStatus = Pointer<BYTE>(record, 0x34);
        ASSERT_TRUE(jobStatus);
        EXPECT_STREQ(c.text, *reinterpret_cast<const wchar_t* const*>(jobStatus + 24));
        EXPECT_LT(static_cast<int>(Dword(jobStatus, 8)), 0) << "character height";
        std::wstring advice;
        const BYTE* lines = Pointer<BYTE>(record, 0x40);
        ASSERT_TRUE(lines);
        for (DWORD i = 0; i < Dword(record, 0x38); ++i)
            advice += std::wstring(*reinterpret_cast<const wchar_t* const*>(lines + i * 28 + 24)) + L"\r\n";
        EXPECT_EQ(c.advice, advice);

        EXPECT_EQ(c.scheme, Dword(record, 0x44));
        const HRSRC* background = Pointer<HRSRC>(record, 0x48);
        ASSERT_TRUE(background);
        EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(c.background), RT_BITMAP), *background);
        EXPECT_EQ(c.mark ? 1u : 0u, Dword(record, 0x4C));
        if (c.mark) {
            const BYTE* overlay = Pointer<BYTE>(record, 0x50);
            ASSERT_TRUE(overlay);
            EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(c.mark), RT_BITMAP),
                      reinterpret_cast<HRSRC>(static_cast<UINT_PTR>(Dword(overlay, 0))));
        }
        EXPECT_EQ(c.animation, Dword(record, 0x54));
        EXPECT_EQ(c.frames, Dword(record, 0x58));
        const BYTE* frames = Pointer<BYTE>(record, 0x5C);
        for (DWORD i = 0; i < c.frames; ++i) {
            ASSERT_TRUE(frames);
            EXPECT_TRUE(Dword(frames + i * 20, 0)) << "frame " << i;
            EXPECT_GT(Dword(frames + i * 20, 16), 0u) << "duration of frame " << i;
            EXPECT_LT(static_cast<int>(Dword(frames + i * 20, 8)), 128) << "x inside the picture";
            EXPECT_LT(static_cast<int>(Dword(frames + i * 20, 12)), 96) << "y inside the picture";
        }

        const DWORD* menu = Pointer<DWORD>(record, 0x14);
        const DWORD* toolbar = Pointer<DWORD>(record, 0x1C);
        ASSERT_TRUE(menu && toolbar);
        const DWORD ids[3] = {100, 101, 103};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ids[i], menu[2 * i]);
            EXPECT_EQ(c.menu[i], menu[2 * i + 1]) << "menu " << ids[i];
            EXPECT_EQ(ids[i], toolbar[2 * i]);
            EXPECT_EQ(c.menu[i] == MF_ENABLED ? TBSTATE_ENABLED : 0u, toolbar[2 * i + 1] & 0xFFFF) << "button " << ids[i];
        }
        EXPECT_EQ(c.estimate, Dword(record, 0x2C));
        EXPECT_EQ(c.hideProgress, Dword(record, 0x68));
        EXPECT_TRUE(Dword(record, 0x20)) << "status icon";
        EXPECT_EQ(Dword(record, 0x20), Dword(record, 0x08)) << "the window shows the state's icon";
    }
}

TEST_F(Presentation, ReadyPrintingAndErrorHaveIconsOfTheirOwn)
{
    SKIP_ON_64_BIT();
    BYTE record[0x70];
    const std::vector<BYTE> ready = MakeBlock({}), printing = MakeBlock({0, 0x8, 1, 2, 1, 0, 1}),
                            error = MakeBlock({0x9, 0x8, 1, 2, 1, 0, 1}), paused = MakeBlock({0, 0x108, 1, 2, 1});
    Display(&ready, record);
    const DWORD readyIcon = Dword(record, 0x20);
    Display(&printing, record);
    const DWORD printingIcon = Dword(record, 0x20);
    Display(&error, record);
    const DWORD errorIcon = Dword(record, 0x20);
    EXPECT_NE(readyIcon, printingIcon);
    EXPECT_NE(readyIcon, errorIcon);
    EXPECT_NE(printingIcon, errorIcon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(static_cast<UINT_PTR>(errorIcon)), &info));
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(32, mask.bmWidth);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

// The window keeps its picture cache while the background entry's address and the colour
// scheme stay the same: two backgrounds under one scheme have entries of their own. And a
// record that still holds the last state's values is written over in full.
TEST_F(Presentation, EveryPictureChangeShowsInTheRecord)
{
    SKIP_ON_64_BIT();
    const std::vector<BYTE> paperOut = MakeBlock({0x3, 0x8, 1, 3, 2, 1, 1}), jam = MakeBlock({0x9, 0x8, 1, 3, 2, 1, 1}),
                            ready = MakeBlock({});
    BYTE record[0x70];
    Display(&paperOut, record);
    const DWORD emptyPrinter = Dword(record, 0x48);
    getDisplay_(module_, 400, jam.data(), record, FALSE);
    EXPECT_EQ(Dword(record, 0x44), 602u);
    EXPECT_NE(emptyPrinter, Dword(record, 0x48));

    FillMemory(record, sizeof(record), 0xCD);
    EXPECT_EQ(300, getDisplay_(module_, 401, ready.data(), record, FALSE));
    for (int offset : {0x04, 0x4C, 0x54, 0x58, 0x60, 0x64, 0x68, 0x6C})
        EXPECT_EQ(offset == 0x68 ? 1u : 0u, Dword(record, offset)) << std::hex << offset;
}

// The code changes when a page is out, not when the next one starts, so that the window
// does not stop the animation of a page that has just begun.
TEST_F(Presentation, PrintingCodeFollowsThePagesPrinted)
{
    SKIP_ON_64_BIT();
    const struct {
        DWORD started, printed;
        int code;
    } kSteps[] = {{0, 0, 200}, {1, 0, 200}, {1, 1, 201}, {2, 1, 201}, {2, 2, 200}, {3, 2, 200}, {3, 3, 201}, {4, 4, 204}};
    for (const auto& step : kSteps) {
        const std::vector<BYTE> block = MakeBlock({0, 0x8, 1, 4, step.started, step.printed, 1});
        BYTE record[0x70];
        EXPECT_EQ(step.code, Display(&block, record)) << step.started << "/" << step.printed;
    }
    const std::vector<BYTE> unknownTotal = MakeBlock({0, 0x8, 1, 0, 5, 5, 1});
    BYTE record[0x70];
    EXPECT_EQ(201, Display(&unknownTotal, record)) << "no total: never the last page";
}

// The block comes from another process: a document offset outside the block, an unended
// string or a block shorter than its fixed part are not read.
TEST_F(Presentation, MalformedBlocksAreNotReadBeyondTheirLength)
{
    SKIP_ON_64_BIT();
    BYTE record[0x70];
    std::vector<BYTE> block = MakeBlock({0, 0x8, 1, 3, 1, 0, 1, L"报告.doc"});
    const DWORD outside = static_cast<DWORD>(block.size()) + 2;
    CopyMemory(&block[0x64], &outside, 4);
    EXPECT_EQ(200, Display(&block, record));
    EXPECT_STREQ(L"正在打印", *reinterpret_cast<const wchar_t* const*>(Pointer<BYTE>(record, 0x34) + 24));

    block = MakeBlock({0, 0x8, 1, 3, 1, 0, 1, L"报告.doc"});
    const DWORD shorter = static_cast<DWORD>(block.size()) - 2;  // cuts off the terminator
    CopyMemory(&block[0x00], &shorter, 4);
    Display(&block, record);
    EXPECT_STREQ(L"正在打印", *reinterpret_cast<const wchar_t* const*>(Pointer<BYTE>(record, 0x34) + 24));

    std::vector<BYTE> tiny(0x68);
    const DWORD length = 0x20;
    CopyMemory(&tiny[0], &length, 4);
    EXPECT_EQ(101, Display(&tiny, record));
}

// Every picture is a packed DIB of 4 or 8 bits with its colour table; those drawn over the
// picture pane have the key colour in their table and are not all key colour; around the
// printer of a background it is the key colour, so that the gradient shows.
TEST_F(Presentation, PicturesAreDibsWithTheKeyColour)
{
    std::vector<WORD> ids;
    EnumResourceNamesW(module_, RT_BITMAP, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_GE(ids.size(), 11u);
    for (WORD id : ids) {
        SCOPED_TRACE(id);
        HRSRC resource = FindResourceW(module_, MAKEINTRESOURCEW(id), RT_BITMAP);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, resource)));
        ASSERT_TRUE(header);
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), header->biSize);
        ASSERT_TRUE(header->biBitCount == 4 || header->biBitCount == 8) << header->biBitCount;
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
        const DWORD colours = header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount;
        const DWORD row = ((header->biWidth * header->biBitCount + 31) / 32) * 4;
        ASSERT_GE(SizeofResource(module_, resource), header->biSize + colours * 4 + row * header->biHeight);
        const auto* table = reinterpret_cast<const RGBQUAD*>(header + 1);
        const BYTE* bits = reinterpret_cast<const BYTE*>(table + colours);
        int keyIndex = -1;
        for (DWORD i = 0; i < colours && keyIndex < 0; ++i)
            if (table[i].rgbRed == 255 && table[i].rgbGreen == 0 && table[i].rgbBlue == 255)
                keyIndex = static_cast<int>(i);
        long keyPixels = 0;
        for (LONG y = 0; y < header->biHeight; ++y)
            for (LONG x = 0; x < header->biWidth; ++x) {
                const BYTE byte = bits[y * row + x * header->biBitCount / 8];
                const int index = header->biBitCount == 8 ? byte : (x % 2 ? byte & 0xF : byte >> 4);
                keyPixels += index == keyIndex;
            }
        if (id == 740) {  // the toolbar strip: four 16 x 16 buttons on the button face
            EXPECT_EQ(64, header->biWidth);
            EXPECT_EQ(16, header->biHeight);
            continue;
        }
        ASSERT_GE(keyIndex, 0) << "no key colour";
        EXPECT_LT(keyPixels, header->biWidth * header->biHeight) << "nothing but key colour";
        if (id == 700 || id == 701) {
            EXPECT_GT(keyPixels, header->biWidth * header->biHeight / 4) << "the gradient shows around the printer";
        }
    }
    const auto* background = static_cast<const BITMAPINFOHEADER*>(
        LockResource(LoadResource(module_, FindResourceW(module_, MAKEINTRESOURCEW(700), RT_BITMAP))));
    ASSERT_TRUE(background);
    const Rect picture = RectAt(layout_, 0x54);
    EXPECT_EQ(picture.width - 4, background->biWidth) << "the background fills the pane inside its edge";
    EXPECT_EQ(picture.height - 4, background->biHeight);
}

TEST_F(Presentation, MenuIsChineseWithEveryCommand)
{
    const WORD id = LOWORD(Dword(layout_, 0x00));
    EXPECT_TRUE(FindResourceExW(module_, RT_MENU, MAKEINTRESOURCEW(id), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)));
    HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(id));
    ASSERT_TRUE(menu);
    const wchar_t* const bar[] = {L"作业(&J)", L"设置(&S)", L"帮助(&H)"};
    ASSERT_EQ(3, GetMenuItemCount(menu));
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(bar[i], text);
    }
    const struct {
        UINT id;
        const wchar_t* text;
    } kItems[] = {{100, L"暂停打印(&P)"}, {101, L"恢复打印(&R)"}, {102, L"重新开始打印(&S)"}, {103, L"取消打印(&C)"},
                  {104, L"打印测试页(&T)"}, {120, L"选项(&O)..."},  {134, L"端口设置(&P)..."},   {130, L"帮助主题(&H)"},
                  {133, L"关于(&A)..."}};
    for (const auto& item : kItems) {
        wchar_t text[64] = L"";
        EXPECT_GT(GetMenuStringW(menu, item.id, text, 64, MF_BYCOMMAND), 0) << item.id;
        EXPECT_STREQ(item.text, text);
    }
    DestroyMenu(menu);
}

TEST_F(Presentation, MenuItemsAndButtonsHaveHelpTexts)
{
    for (UINT item : {100u, 101u, 102u, 103u, 104u, 120u, 130u, 133u, 134u}) {
        const UINT text = menuHelp_(nullptr, item, MF_STRING, nullptr);
        EXPECT_NE(0u, text) << item;
        EXPECT_FALSE(String(text).empty()) << item;
    }
    EXPECT_EQ(L"暂停当前打印作业。", String(menuHelp_(nullptr, 100, MF_STRING, nullptr)));
    for (UINT popup = 0; popup < 3; ++popup)
        EXPECT_FALSE(String(menuHelp_(nullptr, popup, MF_POPUP, nullptr)).empty()) << popup;
    EXPECT_EQ(L"关闭状态窗口并结束程序。", String(menuHelp_(nullptr, 400, MF_SYSMENU, nullptr)));
    EXPECT_EQ(0u, menuHelp_(nullptr, SC_MOVE, MF_SYSMENU, nullptr));
    EXPECT_EQ(0u, menuHelp_(nullptr, 999, MF_STRING, nullptr));

    const wchar_t* const tips[] = {L"暂停打印", L"恢复打印", L"重新开始打印", L"取消打印"};
    for (UINT button = 100; button <= 103; ++button)
        EXPECT_EQ(tips[button - 100], String(toolTip_(button))) << button;
    EXPECT_EQ(0u, toolTip_(104));
}

TEST_F(Presentation, TheHelpFileIsNamedWithoutItsFolder)
{
    wchar_t buffer[MAX_PATH] = L"";
    ASSERT_TRUE(fileName_(buffer, 1));
    EXPECT_STREQ(buffer, L"XERB5.HLP");
    EXPECT_FALSE(fileName_(buffer, 2));
    EXPECT_FALSE(fileName_(nullptr, 1));
}

TEST_F(Presentation, ToolbarsFillTheirPaneWithTheirButtons)
{
    InitCommonControls();
    HWND main = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 446, 370, nullptr, nullptr, nullptr, nullptr);
    HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 16, 288, 408, 28, main, nullptr, nullptr,
                                nullptr);
    ASSERT_TRUE(pane);
    const struct {
        int which;
        std::vector<int> buttons;
    } kToolbars[] = {{0, {100, 101, 102, 103}}, {1, {100, 101, 103}}};
    for (const auto& t : kToolbars) {
        SCOPED_TRACE(t.which);
        HWND toolbar = createToolbar_(pane, t.which);
        ASSERT_TRUE(toolbar);
        wchar_t className[64] = L"";
        GetClassNameW(toolbar, className, 64);
        EXPECT_STREQ(TOOLBARCLASSNAMEW, className);
        EXPECT_EQ(pane, GetParent(toolbar));
        const LONG style = GetWindowLongW(toolbar, GWL_STYLE);
        EXPECT_TRUE(style & TBSTYLE_TOOLTIPS);
        EXPECT_EQ(static_cast<LONG>(CCS_NORESIZE | CCS_NODIVIDER), style & (CCS_NORESIZE | CCS_NODIVIDER));
        RECT rect = {};
        GetWindowRect(toolbar, &rect);
        EXPECT_EQ(408, rect.right - rect.left);
        EXPECT_EQ(28, rect.bottom - rect.top);
        ASSERT_EQ(t.buttons.size(), static_cast<size_t>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0)));
        for (size_t i = 0; i < t.buttons.size(); ++i) {
            TBBUTTON button = {};
            SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            EXPECT_EQ(t.buttons[i], button.idCommand);
            EXPECT_EQ(static_cast<int>(i == 3 || (t.which == 1 && i == 2) ? 3 : i), button.iBitmap) << "picture";
        }
        DestroyWindow(toolbar);
    }
    EXPECT_FALSE(createToolbar_(pane, 2));
    DestroyWindow(main);
}
