#include "qt/font.hpp"

#include <QFontDatabase>
#include <QFontInfo>

namespace qmz {
namespace {

QFont FontAsDescribed(const FontDescription& description) {
    // An empty family is the system's sans-serif.
    QFont font(description.family.empty()
                   ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                   : QString::fromUtf8(description.family.data(), static_cast<qsizetype>(description.family.size())));
    font.setPointSizeF(description.tenThousandthsOfPoint / 10000.0);
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    // The character set is a Windows notion; Qt chooses glyphs by what each character needs.
    return font;
}

}  // namespace

QFont ToQFont(const FontDescription& description) {
    const QFont font = FontAsDescribed(description);
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0) {
        return FontAsDescribed(StandInFont(description));
    }
    return font;
}

}  // namespace qmz
