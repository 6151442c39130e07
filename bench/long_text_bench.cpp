// What a long text costs the real window once it has come into the box, by each way a text comes
// in: the heap it grows by, and the processor time the program takes while it idles with the box
// focused (the cursor blinks, the box repaints). Run on an X server (scripts/with-xvfb.sh), which
// has the X selection that the middle button pastes.
// Usage: long_text_bench RUNS CHARACTERS
// Prints one line per run and way: WAY HEAP_GROWN_BYTES IDLE_CPU_PERCENT
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <malloc.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "qt/form.hpp"

namespace {

std::size_t HeapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

QLineEdit& BoxOf(qmz::QtForm& form) {
    return *form.findChild<QLineEdit*>(QStringLiteral("Text1"));
}

// Opens the box's menu as a right click does and chooses the entry whose label begins so.
void Choose(QLineEdit& box, const QString& label) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), box.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&box, &click);
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (QAction* entry : menu->actions()) {
            if (entry->text().startsWith(label)) {
                entry->trigger();
            }
        }
        menu->close();
    }
}

// Each way: what is made ready before the heap is measured, and the bringing itself.
using Way = std::pair<std::function<void(const QString&)>, std::function<void(qmz::QtForm&, const QString&)>>;

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: long_text_bench RUNS CHARACTERS\n", stderr);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    QString text;
    for (int i = 0; text.size() < std::atoi(argv[2]); ++i) {
        text += QChar(u'0' + i % 64);
    }
    QClipboard& clipboard = *QApplication::clipboard();
    const auto toClipboard = [&clipboard](const QString& text) { clipboard.setText(text); };
    const auto none = [](const QString&) {};
    const std::pair<const char*, Way> ways[] = {
        {"paste_keys", {toClipboard, [](qmz::QtForm& form, const QString&) { QTest::keySequence(&BoxOf(form), QKeySequence::Paste); }}},
        {"paste_menu", {toClipboard, [](qmz::QtForm& form, const QString&) { Choose(BoxOf(form), QLineEdit::tr("&Paste")); }}},
        {"middle_button",
         {[&clipboard](const QString& text) { clipboard.setText(text, QClipboard::Selection); },
          [](qmz::QtForm& form, const QString&) { QTest::mouseClick(&BoxOf(form), Qt::MiddleButton); }}},
        {"drop", {none, [](qmz::QtForm& form, const QString& text) {
                      QMimeData dragged;
                      dragged.setText(text);
                      QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &dragged, Qt::LeftButton, {});
                      QDropEvent drop(QPoint(4, 4), Qt::CopyAction, &dragged, Qt::LeftButton, {});
                      QApplication::sendEvent(&BoxOf(form), &enter);
                      QApplication::sendEvent(&BoxOf(form), &drop);
                  }}},
        {"input_method", {none, [](qmz::QtForm& form, const QString& text) {
                              QInputMethodEvent commit;
                              commit.setCommitString(text);
                              QApplication::sendEvent(&BoxOf(form), &commit);
                          }}},
        {"reader_set", {none, [](qmz::QtForm& form, const QString& text) {
                            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&BoxOf(form));
                            reader->editableTextInterface()->replaceText(0, reader->textInterface()->characterCount(), text);
                        }}},
        {"reader_insert", {none, [](qmz::QtForm& form, const QString& text) {
                               QAccessible::queryAccessibleInterface(&BoxOf(form))->editableTextInterface()->insertText(0, text);
                           }}},
        {"get_link_write", {none, [](qmz::QtForm& form, const QString& text) { form.WritePageLinkBox(text.toStdU16String()); }}},
    };
    for (int run = 0; run < runs; ++run) {
        for (const auto& [name, way] : ways) {
            qmz::QtForm form(qmz::MainForm(), [](auto&&...) {});
            form.show();
            form.activateWindow();
            if (!QTest::qWaitForWindowActive(&form)) {
                std::fputs("the window did not become active\n", stderr);
                return 1;
            }
            way.first(text);
            QApplication::processEvents();
            const std::size_t before = HeapInUse();
            way.second(form, text);
            QApplication::processEvents();
            const std::size_t after = HeapInUse();
            const double idleFrom = ProcessorSeconds();
            QTest::qWait(2000);
            const double idle = (ProcessorSeconds() - idleFrom) / 2 * 100;
            std::printf("%s %lld %.1f\n", name, static_cast<long long>(after) - static_cast<long long>(before), idle);
            std::fflush(stdout);
            clipboard.clear();
            clipboard.clear(QClipboard::Selection);
        }
    }
    return 0;
}
