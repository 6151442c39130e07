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

// at, or the place after it when it falls between the two halves of a surrogate pair.
qsizetype Between(QStringView text, qsizetype at) {
    return 0 < at && at < text.size() && text[at - 1].isHighSurrogate() && text[at].isLowSurrogate() ? at + 1 : at;
}

}  // namespace

FoldedText FoldedText::Of(QStringView text) {
    const QStringList itself{QString(Fold)};
    FoldedText folded;
    const auto show = [&folded, &itself](QStringView part) {
        folded.view += part;
        folded.folds.insert(folded.folds.size(), part.count(Fold), itself);
    };
    if (text.size() <= LongestUnfolded) {
        show(text);
        return folded;
    }
    const qsizetype head = Between(text, KeptInView);
    const qsizetype tail = Between(text, text.size() - KeptInView);
    show(text.first(head));
    folded.view += Fold;
    folded.folds.push_back({text.sliced(head, tail - head).toString()});
    show(text.sliced(tail));
    return folded;
}

QString FoldedText::Unfolded(qsizetype from, qsizetype to) const {
    return Pieces(from, to).join(QString());
}

// What view[from, to) stands for: the folds' own pieces, and each run of characters between them
// in one piece. A "…" beyond the folds known (only after the memory to follow an edit ran out)
// stands for itself.
QStringList FoldedText::Pieces(qsizetype from, qsizetype to) const {
    QStringList pieces;
    QString run;
    qsizetype fold = QStringView(view).first(from).count(Fold);
    for (const QChar c : QStringView(view).sliced(from, to - from)) {
        const QStringList* folded = c == Fold && fold < folds.size() ? &folds[fold++] : nullptr;
        if (folded == nullptr || (folded->size() == 1 && folded->front() == Fold)) {
            run += c;
            continue;
        }
        if (!run.isEmpty()) {
            pieces += std::exchange(run, QString());
        }
        pieces += *folded;
    }
    if (!run.isEmpty()) {
        pieces += run;
    }
    return pieces;
}

void FoldedText::Follow(const QString& newView, qsizetype from, qsizetype to, qsizetype inserted) {
    const QStringView old(view);
    const qsizetype first = std::min(old.first(from).count(Fold), folds.size());
    folds.remove(first, std::min(old.sliced(from, to - from).count(Fold), folds.size() - first));
    folds.insert(first, QStringView(newView).sliced(from, inserted).count(Fold), QStringList{QString(Fold)});
    view = newView;
}

void FoldedText::Replace(qsizetype from, qsizetype to, QStringView text, qsizetype* cursor) {
    const FoldedText piece = Of(text);
    const QStringView old(view);
    const qsizetype first = old.first(from).count(Fold);
    QString newView;
    newView.reserve(from + piece.view.size() + old.size() - to);
    newView.append(old.first(from)).append(piece.view).append(old.sliced(to));
    QList<QStringList> newFolds = folds.mid(0, first) + piece.folds + folds.mid(first + old.sliced(from, to - from).count(Fold));
    view = std::move(newView);
    folds = std::move(newFolds);
    *cursor = from + piece.view.size();
    Shorten(cursor);
}

void FoldedText::Shorten(qsizetype* cursor) {
    const qsizetype size = view.size();
    if (size <= LongestUnfolded) {
        return;
    }
    const QStringView old(view);
    const std::pair<qsizetype, qsizetype> kept[] = {{0, KeptInView}, {*cursor - KeptInView, *cursor + KeptInView}, {size - KeptInView, size}};
    FoldedText shorter;
    qsizetype shown = 0;  // the view before this is done with
    qsizetype viewCursor = 0;
    for (auto [from, to] : kept) {
        from = Between(old, std::clamp(from, shown, size));
        to = Between(old, std::clamp(to, from, size));
        if (from == to) {
            continue;
        }
        if (from > shown) {
            shorter.view += Fold;
            shorter.folds.push_back(Pieces(shown, from));
        }
        if (from <= *cursor && *cursor <= to) {
            viewCursor = shorter.view.size() + *cursor - from;
        }
        shorter.view += old.sliced(from, to - from);
        shorter.folds += folds.mid(old.first(from).count(Fold), old.sliced(from, to - from).count(Fold));
        shown = to;
    }
    *this = std::move(shorter);
    *cursor = viewCursor;
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
