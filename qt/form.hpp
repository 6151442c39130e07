#pragma once

#include <QPointer>
#include <QWidget>

#include "qt/one_line_box.hpp"
#include "window/actions.hpp"
#include "window/form_description.hpp"
#include "window/form_runtime.hpp"

namespace qmz {

// The main window on Qt Widgets, built from its description, and the runtime services the actions
// use. Each control is a child widget whose object name is the control's name.
class QtForm final : public QWidget, public FormRuntime {
    Q_OBJECT
public:
    QtForm(const FormDescription& description, LinkOpener openLink);

    Text ReadPageLinkBox() override;
    void WritePageLinkBox(TextView text) override;
    WindowHandle ReadWindowHandle() override;
    NativePath ReadProgramFolder() override;
    void ReportFailure(std::string_view message) noexcept override;
    FailureReport LateFailureReport() override;

private:
    QWidget* CreateControl(const ControlDescription& control, int dotsPerInch);
    OneLineBox& PageLinkBox() const;

    LinkOpener openLink_;
    QPointer<OneLineBox> pageLinkBox_;
};

}  // namespace qmz
