#pragma once

#include <QValidator>

namespace qmz {

// Makes a QLineEdit take an inserted text only up to its first line break (FirstLineLength), as a
// one-line box on Windows does; QLineEdit itself keeps the break, invisible, in the text. Qt runs
// the validator on a copy of the text after every change, with the cursor at the end of what was
// just inserted, and takes the copy when the validator changed it. The window's box (OneLineBox)
// cuts pastes and drops itself; this takes what reaches the widget otherwise (an input method, a
// screen reader's edit). The box never holds a line break, so the first one was just inserted:
// everything from it up to the cursor goes, which is exactly the rest of the insertion.
class FirstLineValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};

}  // namespace qmz
