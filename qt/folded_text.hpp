#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace qmz {

// The text of a one-line box held as the box shows it. The view is what the box's widget holds: it
// stays short however long the text is, since the toolkit lays out a widget's whole text, at some
// thirty bytes a character, whenever it changes, and measures it again at every paint. Each stretch
// of the text too far from its beginning, its end and the cursor to be seen stands in the view as
// one "…" (a fold); a "…" of the text itself stands for itself. folds holds, for each "…" of the
// view in order, the text it stands for, in pieces that later folds share rather than copy.
struct FoldedText {
    static constexpr QChar Fold = u'\u2026';

    QString view;
    QList<QStringList> folds;

    // text, folded when long into its beginning, one "…" and its end.
    static FoldedText Of(QStringView text);

    // The text that view[from, to) stands for.
    QString Unfolded(qsizetype from, qsizetype to) const;
    // Follows an edit of the view by the widget: the stretch [from, to) of view gave way to
    // newView's [from, from + inserted). The folds in the stretch go; each "…" inserted stands for
    // itself.
    void Follow(const QString& newView, qsizetype from, qsizetype to, qsizetype inserted);
    // Puts text in place of view[from, to), folded when long, with the cursor after it; then, when
    // the view has grown too long, folds what lies far from its beginning, its end and the cursor.
    void Replace(qsizetype from, qsizetype to, QStringView text, qsizetype* cursor);

private:
    QStringList Pieces(qsizetype from, qsizetype to) const;
    void Shorten(qsizetype* cursor);
};

// How the widget edited a view from before to after, as Follow takes it: by replacing the
// selection, or at the cursor, where that explains the change (typing, deleting, cutting), else by
// the longest beginning and end the two share.
struct ViewEdit {
    qsizetype from, to, inserted;
};
ViewEdit FindEdit(QStringView before, QStringView after, qsizetype selectionStart, qsizetype selectionEnd,
                  qsizetype cursorBefore, qsizetype cursorAfter);

}  // namespace qmz
