// What a control is, as the system knew it: its control id, its window class name, its
// style bits and its window text. Controls built from a template carry the template's
// values; other widgets get a class name from their Qt type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

namespace platform {

// Stamps a widget with the identity a template control gives it.
void SetControlIdentity(QWidget* widget, std::int32_t id, std::string_view className, std::uint32_t style,
                        std::uint32_t exStyle);
void SetControlId(QWidget* widget, std::int32_t id);

// True when the widget carries a class name of its own (from a template or set by code).
bool HasStampedClassName(const QWidget* widget);

// 0 for a widget without an id (null included).
std::int32_t ControlId(const QWidget* widget);
// The template's class name, else "Button", "Edit", "Static", "ComboBox", "ListBox",
// "msctls_updown32", "msctls_trackbar32", "msctls_progress32" by Qt type, else "".
std::string WindowClassName(const QWidget* widget);
std::uint32_t ControlStyle(const QWidget* widget);
std::uint32_t ControlExStyle(const QWidget* widget);

// The text as it was set (a static's '&' marks included), UTF-8. A top-level window's text
// is its caption.
std::string WindowText(const QWidget* widget);
void SetWindowText(QWidget* widget, std::string_view text);

// A static's text as it shows: "&&" becomes "&" and a single '&' (the mnemonic mark) goes.
std::string StripMnemonicMarks(std::string_view text);

}  // namespace platform
