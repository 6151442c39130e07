// The toolkit's floor for the start-up benchmark: QMZ's window with the same controls, captions,
// places and banner font, written straight in Qt with no description, actions or icon behind it.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("QMZ"));
    window.setFixedSize(233, 87);

    auto* text1 = new QLineEdit(&window);
    text1->setGeometry(8, 40, 217, 19);
    (new QPushButton(QStringLiteral("Download"), &window))->setGeometry(168, 64, 61, 17);
    (new QPushButton(QStringLiteral("Get Link"), &window))->setGeometry(104, 64, 57, 17);

    QFont banner(QStringLiteral("Arial Black"));
    banner.setPointSizeF(20.25);
    auto* label1 = new QLabel(QStringLiteral("VBOX"), &window);
    label1->setFont(banner);
    label1->setGeometry(8, 0, 89, 41);
    auto* label2 = new QLabel(QStringLiteral("7"), &window);
    label2->setFont(banner);
    QPalette red = label2->palette();
    red.setColor(QPalette::WindowText, QColor(237, 15, 100));
    label2->setPalette(red);
    label2->setGeometry(96, 0, 17, 33);
    (new QLabel(QStringLiteral("Still ownin' ya"), &window))->setGeometry(128, 0, 97, 17);
    auto* label4 = new QLabel(QStringLiteral("Quib"), &window);
    label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label4->setGeometry(128, 16, 81, 17);
    (new QLabel(QStringLiteral("Hi to the crew!"), &window))->setGeometry(1, 64, 97, 17);

    text1->setFocus();
    window.show();
    return QApplication::exec();
}
