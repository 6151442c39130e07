#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/ansi_text_win32.hpp"
#include "shell/open_link.hpp"
#include "shell/open_link_win32.hpp"

namespace qmz {
namespace {

// What one call of the recording stand-in for ShellExecuteA received, the null-ness of each
// pointer included.
struct ShellCall {
    HWND owner;
    std::string verb;
    std::string file;
    bool parametersNull;
    std::string directory;
    INT showCommand;
};

// A plain function pointer cannot carry state, so the stand-in records into this test-only list.
std::vector<ShellCall>& RecordedCalls() {
    static std::vector<ShellCall> calls;
    return calls;
}

HINSTANCE WINAPI RecordingShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                       INT showCommand) {
    RecordedCalls().push_back({owner, verb ? verb : "<null>", file ? file : "<null>", parameters == nullptr,
                               directory ? directory : "<null>", showCommand});
    // Whatever the shell answers, even failure (31, no association), is never looked at.
    constexpr INT_PTR NoAssociation = 31;
    return reinterpret_cast<HINSTANCE>(NoAssociation);
}

class OpenLinkWithTest : public ::testing::Test {
protected:
    void SetUp() override { RecordedCalls().clear(); }
};

TEST(ProcessCodePage, IsUtf8AsTheManifestAsks) {
    // Everything below assumes the program's manifest holds under this Windows (or Wine).
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}

TEST_F(OpenLinkWithTest, PassesOwnerVerbTargetNoParametersFolderAndShowNormal) {
    struct Case {
        WindowHandle owner;
        std::u16string verb;
        std::u16string target;
        std::filesystem::path folder;
        std::string expectedVerb;
        std::string expectedFile;
        std::string expectedDirectory;
    };
    const Case cases[] = {
        {0x10a2c, u"OPEN", u"http://media.site.test/s/ab/ab12CD34.flv", LR"(C:\Program Files\QMZ)", "OPEN",
         "http://media.site.test/s/ab/ab12CD34.flv", R"(C:\Program Files\QMZ)"},
        {0x2, u"open", u"http://www.site.test", LR"(C:\)", "open", "http://www.site.test", R"(C:\)"},
        {0, u"open", u"", LR"(\\server\share)", "open", "", R"(\\server\share)"},
        // In UTF-8 every character arrives as it is, the fullwidth quote U+FF02 included.
        {0x7, u"OPEN", u"http://x/\u00e9\uff02\U0001F600.flv", L"D:\\\u00c4\u4e2d", "OPEN",
         "http://x/\xc3\xa9\xef\xbc\x82\xf0\x9f\x98\x80.flv", "D:\\\xc3\x84\xe4\xb8\xad"},
    };
    for (const Case& c : cases) {
        RecordedCalls().clear();
        OpenLinkWith(&RecordingShellExecute, c.owner, c.verb, c.target, c.folder);
        ASSERT_EQ(RecordedCalls().size(), 1u);
        const ShellCall& call = RecordedCalls()[0];
        EXPECT_EQ(call.owner, reinterpret_cast<HWND>(c.owner));
        EXPECT_EQ(call.verb, c.expectedVerb);
        EXPECT_EQ(call.file, c.expectedFile);
        EXPECT_TRUE(call.parametersNull) << "no parameters is a null pointer, not an empty string";
        EXPECT_EQ(call.directory, c.expectedDirectory);
        EXPECT_EQ(call.showCommand, SW_SHOWNORMAL);
    }
}

TEST_F(OpenLinkWithTest, RefusesATargetWithANulInsteadOfCuttingItShort) {
    const std::u16string target(u"http://x/a\0b.flv", 16);
    EXPECT_THROW(OpenLinkWith(&RecordingShellExecute, 0, u"open", target, LR"(C:\)"), RuntimeFailure);
    EXPECT_TRUE(RecordedCalls().empty());
}

TEST(ToAnsiText, NeverMapsAMissingCharacterToALookAlike) {
    // The fullwidth quote is the classic case: best fit would make it a real quote.
    char bestFit[4] = {};
    ASSERT_EQ(WideCharToMultiByte(1252, 0, L"\uff02", 1, bestFit, sizeof bestFit, nullptr, nullptr), 1);
    ASSERT_EQ(bestFit[0], '"') << "this system has no best fit for U+FF02, so the test below proves nothing";

    struct Case {
        UINT codePage;
        std::wstring text;
        std::string expected;
    };
    const Case cases[] = {
        {1252, L"a\uff02b", "a?b"},
        {1252, L"\uff02 \uff07 \u2215 \uff3c \u00a5", "? ? ? ? \xa5"},
        {1252, L"caf\u00e9 \u20ac", "caf\xe9 \x80"},
        {1252, L"http://media.site.test/s/ab/ab12CD34.flv", "http://media.site.test/s/ab/ab12CD34.flv"},
        {1251, L"\u0416\uff02", "\xc6?"},
        {CP_UTF8, L"\uff02\u00e9", "\xef\xbc\x82\xc3\xa9"},
        {1252, L"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToAnsiText(c.text, c.codePage), c.expected) << "code page " << c.codePage;
    }
}

TEST(ToAnsiText, RefusesANul) {
    EXPECT_THROW(ToAnsiText(std::wstring(L"a\0b", 3), 1252), RuntimeFailure);
    EXPECT_THROW(ToAnsiText(std::wstring(L"a\0b", 3), CP_UTF8), RuntimeFailure);
}

TEST(FindShellExecuteA, FindsShell32sFunctionOnceAndKeepsIt) {
    const ShellExecuteAFunction first = FindShellExecuteA();
    const HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    ASSERT_NE(shell32, nullptr) << "the first lookup loads shell32.dll";
    EXPECT_EQ(reinterpret_cast<void*>(first),
              reinterpret_cast<void*>(GetProcAddress(shell32, "ShellExecuteA")));
    EXPECT_EQ(FindShellExecuteA(), first);
}

TEST(LookUpShellExecute, RaisesARuntimeFailureForAMissingLibraryOrFunction) {
    EXPECT_THROW(LookUpShellExecute(L"qmz-no-such-library.dll", "ShellExecuteA"), RuntimeFailure);
    try {
        LookUpShellExecute(L"shell32.dll", "ShellExecuteQ");
        FAIL() << "a missing function was found";
    } catch (const RuntimeFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("ShellExecuteQ"), std::string::npos) << failure.what();
    }
}

// Wine shows the whole Unix file system as drive Z:.
std::filesystem::path FromUnixPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (const char c : unixPath) {
        path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return path;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Through the real ShellExecuteA: Wine's shell gives http links to the host's xdg-open, which
// the test's PATH makes a recording stand-in. Skipped where that stand-in is not set up.
TEST(OpenLink, ReachesTheDesktopsHandlerWithTheLinkInTheFolder) {
    const char* records = std::getenv("QMZ_TEST_RECORDS");
    const char* folderUnix = std::getenv("QMZ_TEST_FOLDER");
    if (records == nullptr || folderUnix == nullptr) {
        GTEST_SKIP() << "QMZ_TEST_RECORDS and QMZ_TEST_FOLDER name no stand-in handler";
    }
    const std::filesystem::path recordFolder = FromUnixPath(records);
    std::filesystem::remove_all(recordFolder);
    std::filesystem::create_directories(recordFolder);
    const std::u16string link = u"http://media.site.test/s/\u00e9\u00e9/\u00e9\u00e9\uff02CD34.flv";

    OpenLink(0, u"OPEN", link, FromUnixPath(folderUnix));

    std::string record;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (record.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : std::filesystem::directory_iterator(recordFolder)) {
            if (entry.path().extension() == ".started") {
                record = ReadFile(entry.path());
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(record.empty()) << "no handler started within 30 seconds";
    // argc, working folder, inherited-descriptor flag, then each argument NUL-terminated.
    EXPECT_EQ(record, "1\n" + std::string(folderUnix) + "\nno\n" +
                          "http://media.site.test/s/\xc3\xa9\xc3\xa9/\xc3\xa9\xc3\xa9\xef\xbc\x82" + "CD34.flv" +
                          std::string(1, '\0'));
}

}  // namespace
}  // namespace qmz
