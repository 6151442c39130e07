// Texts pasted into the page-link box and what the box keeps of each, shared by both faces' tests:
// a one-line box takes a pasted text up to its first line break (LF, CRLF or a lone CR), in place of
// the selection, and nothing else changes: no trimming, no length limit.
#pragma once

#include <string>
#include <vector>

#include "base/text.hpp"
#include "link/link_constants.hpp"

namespace qmz::testing_support {

struct PasteCase {
    const char* name;
    Text before;  // the box's text before the paste, the cursor at position at
    std::size_t at;
    Text pasted;
    Text kept;  // the box's text after the paste
};

inline std::vector<PasteCase> PasteCases() {
    const Text page = Text(PageLinkPrefix) + u"ab12CD34";
    const Text prefix(PageLinkPrefix);
    const Text beyondLimits(100000, u'x');  // past Windows' 30,000 and Qt's 32,767 default limits
    return {
        {"LF", u"", 0, page + u"\n", page},
        {"CRLF and more lines", u"", 0, page + u"\r\nmore text\r\nand more", page},
        {"lone CR and more", u"", 0, page + u"\rmore text", page},
        {"CR CR LF", u"", 0, page + u"\r\r\nmore", page},
        {"no trimming", u"", 0, u" " + page + u"\t\n ", u" " + page + u"\t"},
        {"a line break first", u"", 0, u"\n" + page, u""},
        {"only CR", u"", 0, u"\r", u""},
        {"no line break", u"", 0, page, page},
        {"into the middle", prefix + u"abCD34", prefix.size() + 2, u"12\nmore", page},
        {"a long line", u"", 0, beyondLimits + u"\r\n" + page, beyondLimits},
        {"a long text without a break", u"", 0, beyondLimits, beyondLimits},
    };
}

}  // namespace qmz::testing_support
