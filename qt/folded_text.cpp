#include "qt/folded_text.hpp"

#include <algorithm>
#include <utility>

namespace qmz {
namespace {

// A text up to this long is shown whole; a longer one keeps this much in view at its beginning, its
// end and on each side of the cursor, far more than the box is wide.
constexpr qsizetype LongestUnfolded = 4096;
constexpr qsizetype KeptInView = 256;

bool Explains(QStringView before, QStringView after, const ViewEdit& edit) {
    return 0 <= edit.from && edit.from <= edit.to && edit.to <= before.size() && 0 <= edit.inserted &&
           edit.from + edit.inserted + (before.size() - edit.to) == after.size() &&
           before.first(edit.from) == after.first(edit.from) && before.sliced(edit.to) == after.sliced(edit.from + edit.inserted);
}

}  // namespace

QString FoldedText::Unfolded(qsizetype from, qsizetype to) const {
    const QStringView shown = QStringView(view).sliced(from, to - from);
    // A "…" beyond the folds known (only after the memory to follow an edit ran out) is itself.
    const qsizetype first = std::min(QStringView(view).first(from).count(Fold), folds.size());
    const qsizetype last = std::min(first + shown.count(Fold), folds.size());
    qsizetype size = shown.size();
    for (qsizetype fold = first; fold < last; ++fold) {
        size += folds[fold].size() - 1;
    }
    QString text;
    text.reserve(size);
    qsizetype fold = first;
    for (const QChar c : shown) {
        if (c == Fold && fold < last) {
            text += folds[fold++];
        } else {
            text += c;
        }
    }
    return text;
}

void FoldedText::Follow(const QString& newView, qsizetype from, qsizetype to, qsizetype inserted) {
    const QStringView old(view);
    const qsizetype first = std::min(old.first(from).count(Fold), folds.size());
    folds.remove(first, std::min(old.sliced(from, to - from).count(Fold), folds.size() - first));
    folds.insert(first, QStringView(newView).sliced(from, inserted).count(Fold), QString(Fold));
    view = newView;
}

FoldedText FoldAround(QStringView text, qsizetype cursor, qsizetype* viewCursor) {
    const qsizetype size = text.size();
    const std::pair<qsizetype, qsizetype> kept[] = {{0, size <= LongestUnfolded ? size : KeptInView},
                                                    {cursor - KeptInView, cursor + KeptInView},
                                                    {size - KeptInView, size}};
    FoldedText folded;
    *viewCursor = 0;
    qsizetype shown = 0;  // the text before this is in the view
    for (auto [from, to] : kept) {
        from = std::clamp(from, shown, size);
        to = std::clamp(to, from, size);
        if (from == to) {
            continue;
        }
        if (from > shown) {
            folded.view += FoldedText::Fold;
            folded.folds.push_back(text.sliced(shown, from - shown).toString());
        }
        if (from <= cursor && cursor <= to) {
            *viewCursor = folded.view.size() + cursor - from;
        }
        const QStringView part = text.sliced(from, to - from);
        folded.view += part;
        folded.folds.insert(folded.folds.size(), part.count(FoldedText::Fold), QString(FoldedText::Fold));
        shown = to;
    }
    return folded;
}

ViewEdit FindEdit(QStringView before, QStringView after, qsizetype selectionStart, qsizetype selectionEnd,
                  qsizetype cursorBefore, qsizetype cursorAfter) {
    const qsizetype grown = after.size() - before.size();
    const ViewEdit told = selectionEnd > selectionStart ? ViewEdit{selectionStart, selectionEnd, selectionEnd - selectionStart + grown}
                          : grown >= 0                  ? ViewEdit{cursorBefore, cursorBefore, grown}
                          : cursorAfter == cursorBefore ? ViewEdit{cursorBefore, cursorBefore - grown, 0}
                                                        : ViewEdit{cursorBefore + grown, cursorBefore, 0};
    if (Explains(before, after, told)) {
        return told;
    }
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype from = 0;
    while (from < shorter && before[from] == after[from]) {
        ++from;
    }
    qsizetype end = 0;
    while (end < shorter - from && before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    return {from, before.size() - end, after.size() - end - from};
}

}  // namespace qmz
