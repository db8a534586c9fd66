// The module's resources read back from the module itself: the panel's dialog
// template word by word, the four label bitmaps, and nothing else.
#include <set>
#include <string>
#include <vector>

#include "panel_fixture.h"

namespace {

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
static_assert(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) == 1033, "US English");

// The bytes of one resource in US English, or an empty span when it is absent.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

ResourceBytes findResource(LPCSTR type, int id) {
    const HRSRC found = FindResourceExA(loadedModule().handle, type, MAKEINTRESOURCEA(id), kUsEnglish);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(loadedModule().handle, found);
    return {static_cast<const unsigned char*>(LockResource(loaded)), SizeofResource(loadedModule().handle, found)};
}

// Reads the 16-bit words of a dialog template in order.
class TemplateReader {
public:
    explicit TemplateReader(const ResourceBytes& bytes) : at_(bytes.data), end_(bytes.data + bytes.size) {}

    WORD word() {
        if (at_ + 2 > end_) {
            overrun_ = true;
            return 0;
        }
        const WORD value = static_cast<WORD>(at_[0] | at_[1] << 8);
        at_ += 2;
        return value;
    }
    DWORD dword() {
        const DWORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }
    short coordinate() { return static_cast<short>(word()); }
    // A name field: "#<ordinal>" for 0xFFFF and an ordinal, else the UTF-16 text (ASCII here).
    std::string name() {
        const WORD first = word();
        if (first == 0xFFFF) return "#" + std::to_string(word());
        std::string text;
        for (WORD c = first; c != 0 && !overrun_; c = word()) text += static_cast<char>(c);
        return text;
    }
    void alignToDword(const ResourceBytes& base) {
        while ((at_ - base.data) % 4 != 0) ++at_;
    }
    bool overrun() const { return overrun_; }
    bool atEnd() const { return at_ >= end_; }

private:
    const unsigned char* at_;
    const unsigned char* end_;
    bool overrun_ = false;
};

struct Item {
    DWORD style;
    int id;
    std::string windowClass;  // "#130" STATIC, "#129" EDIT
    std::string title;
    short x, y, cx, cy;
};

const DWORD kEditStyle = 0x50A110C4;
const DWORD kLabelStyle = 0x5000080E;

const Item kExpectedItems[] = {
    {kLabelStyle, 1002, "#130", "#112", 0, 10, 6, 8},   {kEditStyle, 1003, "#129", "", 6, 0, 210, 28},
    {kLabelStyle, 1004, "#130", "#111", 0, 41, 6, 33},  {kEditStyle, 1005, "#129", "", 6, 28, 210, 61},
    {kLabelStyle, 1006, "#130", "#113", 0, 102, 6, 33}, {kEditStyle, 1007, "#129", "", 6, 89, 210, 60},
    {kLabelStyle, 1008, "#130", "#110", 0, 157, 6, 45}, {kEditStyle, 1009, "#129", "", 6, 149, 210, 63},
};

TEST(ModuleResources, PanelTemplateHeader) {
    const ResourceBytes bytes = findResource(RT_DIALOG, 109);
    ASSERT_NE(bytes.data, nullptr) << "dialog 109 in US English";
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.dword(), static_cast<DWORD>(WS_CHILD | DS_SETFONT)) << "style: hidden, no caption, border or control";
    EXPECT_EQ(reader.dword(), 0u) << "extended style";
    EXPECT_EQ(reader.word(), 8) << "controls";
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 226);
    EXPECT_EQ(reader.coordinate(), 213);
    EXPECT_EQ(reader.word(), 0) << "no menu";
    EXPECT_EQ(reader.word(), 0) << "no window class of its own";
    EXPECT_EQ(reader.name(), "") << "title";
    EXPECT_EQ(reader.word(), 8) << "font size";
    EXPECT_EQ(reader.name(), "MS Sans Serif");
    EXPECT_FALSE(reader.overrun());
}

TEST(ModuleResources, PanelTemplateControls) {
    const ResourceBytes bytes = findResource(RT_DIALOG, 109);
    ASSERT_NE(bytes.data, nullptr);
    TemplateReader reader(bytes);
    reader.dword();
    reader.dword();
    const int count = reader.word();
    for (int k = 0; k < 4; ++k) reader.coordinate();
    reader.name();
    reader.name();
    reader.name();
    reader.word();
    reader.name();
    ASSERT_EQ(count, 8);

    for (const Item& expected : kExpectedItems) {
        SCOPED_TRACE("control " + std::to_string(expected.id));
        reader.alignToDword(bytes);
        EXPECT_EQ(reader.dword(), expected.style);
        EXPECT_EQ(reader.dword(), 0u) << "extended style";
        EXPECT_EQ(reader.coordinate(), expected.x);
        EXPECT_EQ(reader.coordinate(), expected.y);
        EXPECT_EQ(reader.coordinate(), expected.cx);
        EXPECT_EQ(reader.coordinate(), expected.cy);
        EXPECT_EQ(reader.word(), expected.id);
        EXPECT_EQ(reader.name(), expected.windowClass);
        EXPECT_EQ(reader.name(), expected.title);
        EXPECT_EQ(reader.word(), 0) << "creation data";
    }
    EXPECT_FALSE(reader.overrun());
    EXPECT_TRUE(reader.atEnd()) << "nothing after the eighth control";
}

BOOL CALLBACK collectType(HMODULE, LPSTR type, LONG_PTR found) {
    reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(reinterpret_cast<ULONG_PTR>(type));
    return TRUE;
}
BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}
BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(language);
    return TRUE;
}

TEST(ModuleResources, OnlyTheDialogAndTheBitmapsInUsEnglish) {
    std::set<ULONG_PTR> types;
    EnumResourceTypesA(loadedModule().handle, collectType, reinterpret_cast<LONG_PTR>(&types));
    const std::set<ULONG_PTR> expectedTypes = {reinterpret_cast<ULONG_PTR>(RT_BITMAP),
                                               reinterpret_cast<ULONG_PTR>(RT_DIALOG)};
    EXPECT_EQ(types, expectedTypes) << "no string table, icon, menu or version record";

    const std::pair<LPCSTR, std::set<ULONG_PTR>> named[] = {{RT_DIALOG, {109}}, {RT_BITMAP, {110, 111, 112, 113}}};
    for (const auto& [type, expectedNames] : named) {
        std::set<ULONG_PTR> names;
        EnumResourceNamesA(loadedModule().handle, type, collectName, reinterpret_cast<LONG_PTR>(&names));
        EXPECT_EQ(names, expectedNames);
        for (ULONG_PTR name : names) {
            std::set<ULONG_PTR> languages;
            EnumResourceLanguagesA(loadedModule().handle, type, reinterpret_cast<LPCSTR>(name), collectLanguage,
                                   reinterpret_cast<LONG_PTR>(&languages));
            EXPECT_EQ(languages, std::set<ULONG_PTR>{1033}) << "resource " << name;
        }
    }
}

struct LabelBitmap {
    int id;
    int height;
    int labelId;  // the control that shows it
};

class LabelBitmapResourceTest : public PanelTest, public testing::WithParamInterface<LabelBitmap> {};

TEST_P(LabelBitmapResourceTest, IsANineWideOneBitBlackOnWhiteDib) {
    const ResourceBytes bytes = findResource(RT_BITMAP, GetParam().id);
    ASSERT_NE(bytes.data, nullptr);
    const int height = GetParam().height;
    const DWORD pixelBytes = 4u * static_cast<DWORD>(height);  // 9 bits padded to 4 bytes
    ASSERT_GE(bytes.size, sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + pixelBytes);

    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data);
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header->biWidth, 9);
    EXPECT_EQ(header->biHeight, height);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 1);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header->biClrUsed, 2u);

    const auto* palette = reinterpret_cast<const RGBQUAD*>(bytes.data + header->biSize);
    EXPECT_EQ(palette[0].rgbRed | palette[0].rgbGreen | palette[0].rgbBlue, 0) << "entry 0 black";
    EXPECT_EQ(palette[1].rgbRed & palette[1].rgbGreen & palette[1].rgbBlue, 255) << "entry 1 white";

    const unsigned char* rows = reinterpret_cast<const unsigned char*>(palette + 2);
    int lettering = 0;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < 9; ++x) lettering += ((rows[row * 4 + x / 8] >> (7 - x % 8)) & 1) == 0;
    }
    EXPECT_GT(lettering, 0) << "black lettering";
    EXPECT_LT(lettering, 9 * height / 2) << "on white";
}

// The label's text names the bitmap by number; the live control must find it
// and take its size.
TEST_P(LabelBitmapResourceTest, TheLabelShowsIt) {
    const HWND panel = openPanel(newEffect());
    const HWND label = control(panel, GetParam().labelId);
    char className[32] = {};
    GetClassNameA(label, className, sizeof className);
    EXPECT_STRCASEEQ(className, "Static");
    const auto image = reinterpret_cast<HBITMAP>(SendMessageA(label, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    BITMAP bitmap = {};
    ASSERT_NE(GetObjectA(image, sizeof bitmap, &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 9);
    EXPECT_EQ(bitmap.bmHeight, GetParam().height);
    const RECT rect = placementOf(label);
    EXPECT_EQ(rect.right - rect.left, 9);
    EXPECT_EQ(rect.bottom - rect.top, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, LabelBitmapResourceTest,
                         testing::Values(LabelBitmap{110, 38, 1008}, LabelBitmap{111, 28, 1004},
                                         LabelBitmap{112, 13, 1002}, LabelBitmap{113, 21, 1006}),
                         [](const testing::TestParamInfo<LabelBitmap>& param) { return std::to_string(param.param.id); });

TEST_F(PanelTest, CodeBoxesAreEditControls) {
    const HWND panel = openPanel(newEffect());
    for (int id : {kInitEdit, kFrameEdit, kBeatEdit, kTriangleEdit}) {
        char className[32] = {};
        GetClassNameA(control(panel, id), className, sizeof className);
        EXPECT_STRCASEEQ(className, "Edit") << "control " << id;
    }
}

}  // namespace
