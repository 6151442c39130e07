#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "window/form_description.hpp"

namespace qmz {

enum class AccessibleText { Name, Description };

// Where the controls' accessible properties go: the system's Dynamic Annotation in the program, a
// recording stand-in in tests. What a screen reader says is a help, never a condition: a property
// the system does not take leaves the system's own, and nothing is thrown.
class AccessibleAnnotation {
public:
    virtual ~AccessibleAnnotation() = default;
    virtual void SetText(HWND control, AccessibleText property, const std::wstring& value) = 0;
    virtual void SetLinkRole(HWND control) = 0;
    // Drops whatever was set on control; called while the control still exists.
    virtual void Clear(HWND control) = 0;
};

// Tells the annotation what a screen reader says of each control, as the Qt face does, from the
// window's description: its accessible name, else its caption; its accessible description, if any;
// and the role of a link for a control whose click opens one (the banner). controls[i] is the control
// of description.controls[i].
void AnnotateControls(AccessibleAnnotation& annotation, std::span<const HWND> controls,
                      const FormDescription& description);

// Dynamic Annotation through oleacc's IAccPropServices, which the system's accessible objects of
// standard controls read for MSAA and UI Automation clients alike. Needs COM on the calling thread;
// without it or without the service, it sets nothing.
std::unique_ptr<AccessibleAnnotation> SystemAccessibleAnnotation();

}  // namespace qmz
