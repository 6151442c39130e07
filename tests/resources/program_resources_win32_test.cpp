#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"

namespace qmz {
namespace {

// What Explorer shows of the program, read from the built file that the test's environment names.
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(program, nullptr) << "QMZ_TEST_PROGRAM names no program that loads"; }
    void TearDown() override { FreeLibrary(program); }

    const wchar_t* path = _wgetenv(L"QMZ_TEST_PROGRAM");
    HMODULE program =
        path ? LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE) : nullptr;
};

TEST_F(ProgramResources, NameTheProductAndItsVersion) {
    std::vector<char> data(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // File and product version 1.0.0.0, of an application.
    EXPECT_EQ(std::tuple(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                         fixed->dwProductVersionLS, fixed->dwFileType),
              std::tuple(DWORD{0x10000}, DWORD{0}, DWORD{0x10000}, DWORD{0}, DWORD{VFT_APP}));
    for (const auto& [key, expected] :
         {std::pair{L"ProductName", L"QMZ"}, {L"FileVersion", L"1.00"}, {L"ProductVersion", L"1.00"},
          {L"LegalCopyright", L"Copyright (c) 2026 The QMZ developers"}}) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_STREQ(value, expected) << key;
    }
}

TEST_F(ProgramResources, AskForCommonControls6PerMonitorDpiAndUtf8) {
    const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr) << "no application manifest";
    const std::string_view manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                                    SizeofResource(program, found));
    for (const char* part :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2", ">UTF-8</activeCodePage>"}) {
        EXPECT_NE(manifest.find(part), std::string_view::npos) << part;
    }
}

TEST_F(ProgramResources, HaveTheXpmAsTheFirstIcon) {
    // Explorer shows the icon group that comes first: the lowest ID.
    LPCWSTR first = nullptr;
    EnumResourceNamesW(program, RT_GROUP_ICON, [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
        *reinterpret_cast<LPCWSTR*>(found) = name;
        return FALSE;
    }, reinterpret_cast<LONG_PTR>(&first));
    ASSERT_TRUE(first != nullptr && IS_INTRESOURCE(first));
    const auto icon = static_cast<HICON>(LoadImageW(program, first, IMAGE_ICON, 32, 32, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<std::uint32_t> colours(32 * 32);
    std::vector<std::uint32_t> mask(32 * 32);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, 32, colours.data(), &format, DIB_RGB_COLORS);
    GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<std::optional<std::uint32_t>> shown;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        shown.push_back((mask[i] & 0xFFFFFF) != 0 ? std::nullopt : std::optional(colours[i] & 0xFFFFFF));
    }
    EXPECT_EQ(shown, ReadXpm(qmz_icon_xpm).pixels);
}

// The reader both the icon's conversion at build time and the icon tests rely on.
TEST(ReadXpm, ReadsPixelsRowByRowAndRefusesMalformedData) {
    const char* const good[] = {"2 2 2 1", ".\tc None", "r\tc #FF0000", ".r", ".."};
    const XpmImage image = ReadXpm(good);
    using Pixels = std::vector<std::optional<std::uint32_t>>;
    EXPECT_EQ(image.pixels, (Pixels{std::nullopt, 0xFF0000, std::nullopt, std::nullopt})) << "row by row, red at 1, 0";
    const std::vector<std::vector<const char*>> broken = {
        {},                                             // no header
        {"2 1 1"},                                      // a header short of a number
        {"2 1 1 1", ".\tc None", "."},                  // a row short of a pixel
        {"2 1 1 1", ".\tc None", "..", "extra"},        // more rows than the header says
        {"2 1 1 1", ".\tc red", ".."},                  // a colour by name
        {"2 1 1 1", ".\tc #12345", ".."},               // a colour short of a digit
        {"2 1 1 1", ".\tc None", ".x"},                 // a pixel of no colour
        {"2 1 2 1", ".\tc None", ".\tc #000000", ".."}, // one key for two colours
    };
    for (const auto& lines : broken) {
        EXPECT_THROW(ReadXpm(lines), std::invalid_argument) << (lines.empty() ? "" : lines[0]);
    }
}

}  // namespace
}  // namespace qmz
