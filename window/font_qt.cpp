#include "window/font_qt.hpp"

#include <QFontDatabase>
#include <QFontInfo>

namespace qmz {

QFont ToQFont(const FontDescription& description) {
    const QString family = QString::fromUtf8(description.family.data(), static_cast<qsizetype>(description.family.size()));
    QFont font(family);
    font.setPointSizeF(description.tenThousandthsOfPoint / 10000.0);
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    // The character set is a Windows notion; Qt chooses glyphs by what each character needs.

    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) {
        // "Black" faces carry their weight in the family name; a stand-in has to ask for it.
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        font.setWeight(QFont::Black);
    }
    return font;
}

}  // namespace qmz
