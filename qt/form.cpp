#include "qt/form.hpp"

#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

#include "base/runtime_failure.hpp"
#include "qt/accessible_link.hpp"
#include "qt/accessible_window.hpp"
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

bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::Label;
}

}  // namespace

QtForm::QtForm(const FormDescription& description, LinkOpener openLink) : openLink_(std::move(openLink)) {
    MarkAsAccessibleWindow(*this);
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
    const std::size_t pageLinkBox = PageLinkBoxIndex(description);
    for (std::size_t i = 0; i < description.controls.size(); ++i) {
        QWidget* widget = CreateControl(description.controls[i], dotsPerInch);
        if (i == pageLinkBox) {
            pageLinkBox_ = static_cast<OneLineBox*>(widget);
        }
    }
    SetTabOrder(description);
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
            auto* label = new ClickableLabel(this);
            if (control.onClick == ClickAction::SiteLink) {
                // Before the text is set: that is when a running screen reader first asks about it.
                MarkAsAccessibleLink(*label);
            }
            label->setText(ToQString(control.caption));
            label->setAlignment(ToQtAlignment(control.alignment));
            label->setAutoFillBackground(true);
            label->setTextFormat(Qt::PlainText);
            connect(label, &ClickableLabel::clicked, this, runOnClick);
            widget = label;
            break;
        }
    }
    widget->setObjectName(ToQString(control.name));
    if (!control.accessibleName.empty()) {
        widget->setAccessibleName(ToQString(control.accessibleName));
    }
    if (!control.accessibleDescription.empty()) {
        widget->setAccessibleDescription(ToQString(control.accessibleDescription));
    }
    widget->setGeometry(TwipsToPixels(control.place.left, dotsPerInch), TwipsToPixels(control.place.top, dotsPerInch),
                        TwipsToPixels(control.place.width, dotsPerInch), TwipsToPixels(control.place.height, dotsPerInch));
    widget->setFocusPolicy(TakesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
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

void QtForm::SetTabOrder(const FormDescription& description) {
    QWidget* previous = nullptr;
    for (const std::size_t index : TabOrder(description)) {
        const ControlDescription& control = description.controls[index];
        if (!TakesFocus(control.kind)) {
            continue;
        }
        auto* widget = findChild<QWidget*>(ToQString(control.name));
        if (previous) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

Text QtForm::ReadPageLinkBox() {
    if (!pageLinkBox_) {
        throw RuntimeFailure("The text box is gone.");
    }
    return pageLinkBox_->WholeText().toStdU16String();
}

void QtForm::WritePageLinkBox(TextView text) {
    if (!pageLinkBox_) {
        throw RuntimeFailure("The text box is gone.");
    }
    // Taken as it stands: QString::fromUtf16 would drop a leading byte order mark.
    pageLinkBox_->SetWholeText(QStringView(text.data(), static_cast<qsizetype>(text.size())));
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
