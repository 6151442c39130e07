#include "qt/first_line_validator.hpp"

#include "window/first_line.hpp"

namespace qmz {

QValidator::State FirstLineValidator::validate(QString& input, int& position) const {
    // Once through for an insertion; again only for a text written whole with several breaks
    // (setText puts the cursor at the end), which then keeps its first line.
    for (;;) {
        const TextView text(QStringView(input).utf16(), static_cast<std::size_t>(input.size()));
        const auto lineBreak = static_cast<qsizetype>(FirstLineLength(text));
        if (lineBreak == input.size()) {
            return Acceptable;
        }
        const qsizetype end = position > lineBreak ? position : input.size();
        input.remove(lineBreak, end - lineBreak);
        position = static_cast<int>(lineBreak);
    }
}

}  // namespace qmz
