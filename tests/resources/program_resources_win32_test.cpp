#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"

namespace qmz {
namespace {

// The program under test, named by the test's environment as a Windows path.
std::wstring ProgramPath() {
    const wchar_t* path = _wgetenv(L"QMZ_TEST_PROGRAM");
    return path != nullptr ? path : L"";
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ProgramPath().empty()) << "QMZ_TEST_PROGRAM names no program";
        program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(program, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (program != nullptr) {
            FreeLibrary(program);
        }
    }

    std::string_view Resource(LPCWSTR type, LPCWSTR name) const {
        const HRSRC found = FindResourceW(program, name, type);
        if (found == nullptr) {
            return {};
        }
        return {static_cast<const char*>(LockResource(LoadResource(program, found))), SizeofResource(program, found)};
    }

    HMODULE program = nullptr;
};

TEST_F(ProgramResources, NameTheProductAndItsVersion) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u) << ".0.0";
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"ProductName", L"QMZ"}, {L"FileVersion", L"1.00"}, {L"ProductVersion", L"1.00"}};
    for (const auto& [key, expected] : strings) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_STREQ(value, expected) << key;
    }
}

TEST_F(ProgramResources, AskForCommonControls6PerMonitorDpiAndUtf8) {
    const std::string_view manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty()) << "no application manifest";
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
                             ">UTF-8</activeCodePage>"}) {
        EXPECT_NE(manifest.find(part), std::string_view::npos) << part;
    }
}

TEST_F(ProgramResources, HaveTheXpmAsTheFirstIcon) {
    // Explorer shows the icon group that comes first: the lowest ID.
    const auto first = [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
        *reinterpret_cast<LPCWSTR*>(found) = name;
        return FALSE;
    };
    LPCWSTR firstGroup = nullptr;
    EnumResourceNamesW(program, RT_GROUP_ICON, first, reinterpret_cast<LONG_PTR>(&firstGroup));
    ASSERT_NE(firstGroup, nullptr);
    ASSERT_TRUE(IS_INTRESOURCE(firstGroup));

    const HICON icon = static_cast<HICON>(LoadImageW(program, firstGroup, IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> colours(32 * 32);
    std::vector<std::uint32_t> mask(32 * 32);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, 32, colours.data(), &format, DIB_RGB_COLORS);
    GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    const XpmImage source = ReadXpm(qmz_icon_xpm);
    int differences = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const auto i = static_cast<std::size_t>(y * 32 + x);
            const auto expected = source.At(x, y);
            const bool transparent = (mask[i] & 0xFFFFFF) != 0;
            if (transparent != !expected || (expected && (colours[i] & 0xFFFFFF) != *expected)) {
                ++differences;
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(ReadXpm, RefusesMalformedData) {
    const std::vector<std::vector<const char*>> broken = {
        {},
        {"2 1 1"},
        {"2 1 1 1", ".\tc None", "."},
        {"2 1 1 1", ".\tc None", "..", "extra"},
        {"2 1 1 1", ".\tc red", ".."},
        {"2 1 1 1", ".\tc #12345", ".."},
        {"2 1 1 1", ".\tc None", ".x"},
        {"2 1 2 1", ".\tc None", ".\tc #000000", ".."},
    };
    for (const auto& lines : broken) {
        EXPECT_THROW(ReadXpm(lines), std::invalid_argument) << (lines.empty() ? "" : lines[0]);
    }
    const char* const good[] = {"2 2 2 1", ".\tc None", "r\tc #FF0000", ".r", "r."};
    const XpmImage image = ReadXpm(good);
    EXPECT_EQ(image.At(0, 0), std::nullopt);
    EXPECT_EQ(image.At(1, 0), 0xFF0000u);
    EXPECT_EQ(image.At(0, 1), 0xFF0000u);
}

}  // namespace
}  // namespace qmz
