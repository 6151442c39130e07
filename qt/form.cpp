#include "qt/form.hpp"

#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

#include "base/runtime_failure.hpp"
#include "qt/accessibility.hpp"
#include "qt/clickable_label.hpp"
#include "qt/font.hpp"
#include "qt/one_line_box.hpp"
#include "resources/icon.hpp"
#include "shell/program_folder.hpp"

namespace qmz {
namespace {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Qt::Alignment ToQtAlignment(TextAlignment alignment) {
    return (alignment == TextAlignment::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

}  // namespace

QtForm::QtForm(const FormDescription& description, LinkOpener openLink) : openLink_(std::move(openLink)) {
    InstallAccessibility();
    setObjectName(ToQString(description.name));
    setWindowTitle(ToQString(description.title));
    // Every drawing, so that a task bar or a title bar that shows the icon small gets one drawn for
    // its size rather than the 32-pixel one blurred.
    QIcon icon;
    for (const IconDrawing& drawing : IconDrawings) {
        icon.addPixmap(QPixmap(drawing.xpm.data()));
    }
    setWindowIcon(icon);
    // A fixed dialog frame: title, system menu, minimise and close, and no way to resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    const int dotsPerInch = logicalDpiX();
    setFixedSize(TwipsToPixels(description.clientWidth, dotsPerInch), TwipsToPixels(description.clientHeight, dotsPerInch));
    // Made in tab order, which is the order the focus visits them in.
    for (const std::size_t index : TabOrder(description)) {
        QWidget* widget = CreateControl(description.controls[index], dotsPerInch);
        if (index == PageLinkBoxIndex(description)) {
            pageLinkBox_ = static_cast<OneLineBox*>(widget);
        }
    }
    if (pageLinkBox_) {
        pageLinkBox_->setFocus();
    }
}

QWidget* QtForm::CreateControl(const ControlDescription& control, int dotsPerInch) {
    QWidget* widget = nullptr;
    const auto runOnClick = [this, action = control.onClick] { RunClickAction(action, *this, openLink_); };
    switch (control.kind) {
        case ControlKind::TextBox: {
            auto* textBox = new OneLineBox(this);
            textBox->SetWholeText(ToQString(control.caption));
            widget = textBox;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(ToQString(control.caption), this);
            button->setAutoDefault(false);
            button->setDefault(false);
            connect(button, &QPushButton::clicked, this, runOnClick);
            widget = button;
            break;
        }
        case ControlKind::Label: {
            // A label whose click runs an action answers clicks, and screen readers meet it as a link.
            QLabel* label = control.onClick == ClickAction::None ? new QLabel(this) : new ClickableLabel(this);
            if (auto* clickable = qobject_cast<ClickableLabel*>(label)) {
                connect(clickable, &ClickableLabel::clicked, this, runOnClick);
            }
            label->setText(ToQString(control.caption));
            label->setAlignment(ToQtAlignment(control.alignment));
            label->setAutoFillBackground(true);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
    }
    widget->setObjectName(ToQString(control.name));
    widget->setAccessibleName(ToQString(control.accessibleName.empty() ? control.caption : control.accessibleName));
    if (!control.accessibleDescription.empty()) {
        widget->setAccessibleDescription(ToQString(control.accessibleDescription));
    }
    widget->setGeometry(TwipsToPixels(control.place.left, dotsPerInch), TwipsToPixels(control.place.top, dotsPerInch),
                        TwipsToPixels(control.place.width, dotsPerInch), TwipsToPixels(control.place.height, dotsPerInch));
    widget->setFocusPolicy(control.kind == ControlKind::Label ? Qt::NoFocus : Qt::StrongFocus);
    if (control.font) {
        widget->setFont(ToQFont(*control.font));
    }
    if (control.textColour) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, QColor(control.textColour->red, control.textColour->green, control.textColour->blue));
        widget->setPalette(palette);
    }
    return widget;
}

OneLineBox& QtForm::PageLinkBox() const {
    if (!pageLinkBox_) {
        throw RuntimeFailure("The text box is gone.");
    }
    return *pageLinkBox_;
}

Text QtForm::ReadPageLinkBox() {
    return PageLinkBox().WholeText().toStdU16String();
}

void QtForm::WritePageLinkBox(TextView text) {
    // Taken as it stands: QString::fromUtf16 would drop a leading byte order mark.
    PageLinkBox().SetWholeText(QStringView(text.data(), static_cast<qsizetype>(text.size())));
}

WindowHandle QtForm::ReadWindowHandle() {
    const WId handle = winId();
    if (handle == 0) {
        throw RuntimeFailure("The window has no handle.");
    }
    return static_cast<WindowHandle>(handle);
}

NativePath QtForm::ReadProgramFolder() {
    return ProgramFolder();
}

FailureReport QtForm::LateFailureReport() {
    // Made on the window's thread; the report itself runs there too, through the application's
    // event queue, and finds the window only if it still stands.
    return [form = QPointer<QtForm>(this)](std::string message) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [form, message = std::move(message)] {
            if (form) {
                form->ReportFailure(message);
            }
        }, Qt::QueuedConnection);
    };
}

void QtForm::ReportFailure(std::string_view message) noexcept {
    try {
        QMessageBox::critical(this, windowTitle(), ToQString(message));
    } catch (...) {
        // Not even a message box could be shown (no memory left): the window goes on as it stands.
    }
}

}  // namespace qmz
