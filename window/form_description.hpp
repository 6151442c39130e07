#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qmz {

// Positions and sizes are in twips, the unit the form was laid out in: 1440 twips make an inch,
// so 15 twips make one pixel at 96 dots per inch.
inline constexpr int TwipsPerInch = 1440;

// Rounds to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + TwipsPerInch / 2) / TwipsPerInch;
}

enum class ControlKind { TextBox, PushButton, Label };
enum class TextAlignment { Left, Right };
// What a click on a control runs. None: the control's clicks reach no code.
enum class ClickAction { None, GetLink, Download, SiteLink };

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

struct FontDescription {
    std::string_view family;
    int tenThousandthsOfPoint;
    int weight;  // 100 to 900, 400 is normal
    bool italic;
    bool underline;
    bool strikeOut;
    int characterSet;  // Windows character set number
};

struct Colour {
    int red;
    int green;
    int blue;
};

struct ControlDescription {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // UTF-8
    TwipRect place;
    int tabIndex;
    std::optional<FontDescription> font;  // none: the runtime's default dialog font
    std::optional<Colour> textColour;     // none: the system's text colour
    TextAlignment alignment;
    ClickAction onClick;
    // What a screen reader says, UTF-8. Empty name: the caption names the control, as it does for
    // buttons and labels; a text box has no caption, so it needs both.
    std::string_view accessibleName = {};
    std::string_view accessibleDescription = {};
};

struct FormDescription {
    std::string_view name;
    std::string_view title;
    int clientWidth;  // twips
    int clientHeight;
    std::span<const ControlDescription> controls;
};

// The main window, Form1, with its eight controls.
const FormDescription& MainForm();

// Where the page-link box, the form's one text box, stands in form.controls.
std::size_t PageLinkBoxIndex(const FormDescription& form);

// Where each of form's controls stands in it (indices into form.controls), in the order the focus
// visits them: by tab index, a tie in the description's order.
std::vector<std::size_t> TabOrder(const FormDescription& form);

// The font that stands in where the system lacks the described family. "Black" faces carry their
// weight in the family name ("Arial Black" at normal weight); a stand-in has to ask for that weight
// itself, or a banner set in a black face turns thin. Its family is empty: the system's sans-serif.
FontDescription StandInFont(const FontDescription& described);

}  // namespace qmz
