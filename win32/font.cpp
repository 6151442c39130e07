#include "win32/font.hpp"

#include <string>

#include "base/runtime_failure.hpp"
#include "win32/wide_text.hpp"

namespace qmz {
namespace {

// Whether the font mapper gave font the face it was asked for, rather than a substitute.
bool HasFace(HFONT font, const wchar_t* face) {
    const HDC context = CreateCompatibleDC(nullptr);
    if (context == nullptr) {
        return true;  // Nothing to tell by: keep the font as described.
    }
    const HGDIOBJ previous = SelectObject(context, font);
    wchar_t actual[LF_FACESIZE] = {};
    const bool known = GetTextFaceW(context, LF_FACESIZE, actual) > 0;
    SelectObject(context, previous);
    DeleteDC(context);
    return !known || _wcsicmp(actual, face) == 0;
}

LOGFONTW LogFontFor(const FontDescription& description, int dotsPerInch) {
    LOGFONTW font{};
    font.lfHeight = FontHeightForDpi(description.tenThousandthsOfPoint, dotsPerInch);
    font.lfWeight = description.weight;
    font.lfItalic = description.italic ? TRUE : FALSE;
    font.lfUnderline = description.underline ? TRUE : FALSE;
    font.lfStrikeOut = description.strikeOut ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(description.characterSet);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    // An empty family is the system's sans-serif.
    font.lfPitchAndFamily = description.family.empty() ? VARIABLE_PITCH | FF_SWISS : DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring family = WideFromUtf8(description.family);
    if (family.size() >= LF_FACESIZE) {
        throw RuntimeFailure("The font name is too long.");
    }
    family.copy(font.lfFaceName, family.size());
    return font;
}

}  // namespace

FontHandle CreateDescribedFont(const FontDescription& description, int dotsPerInch) {
    const LOGFONTW font = LogFontFor(description, dotsPerInch);
    FontHandle handle(CreateFontIndirectW(&font));
    if (handle && !HasFace(handle.get(), font.lfFaceName)) {
        const LOGFONTW standIn = LogFontFor(StandInFont(description), dotsPerInch);
        handle.reset(CreateFontIndirectW(&standIn));
    }
    if (!handle) {
        throw RuntimeFailure("The font cannot be made.");
    }
    return handle;
}

FontHandle CreateDialogFont(int dotsPerInch) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dotsPerInch))) {
        throw RuntimeFailure("The system's dialog font is unknown.");
    }
    FontHandle handle(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!handle) {
        throw RuntimeFailure("The dialog font cannot be made.");
    }
    return handle;
}

}  // namespace qmz
