// Message boxes as the editor shows them: texts from the string table by id (formatted with
// arguments) or fixed in the code, titled with the program's caption (the title field of
// string 128), with the default-icon rule: a box that names no icon shows the exclamation
// icon for OK and OK/Cancel and the question icon for Yes/No. Modal; while one is open the
// main window takes no shortcuts. A test's modal hook answers instead of a user.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/MessageBoxKinds.h"
#include "resources/strings/StringFormat.h"

namespace platform {

struct MessageBoxRequest {
    std::uint32_t stringId = 0;  // 0 for a text fixed in the code
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Default;
    MessageButtons buttons = MessageButtons::Ok;
    bool secondButtonDefault = false;  // e.g. No as the default of a Yes/No question
};

// The icon a box shows for what its caller named.
MessageIcon EffectiveIcon(MessageIcon icon, MessageButtons buttons);
// The program's caption: the title field of string 128, "Corvantine Editor".
std::string ProgramCaption();

// Shows the box (caption and icon filled in when left empty or Default) and waits for the
// answer. Closing the box answers Cancel (OK/Cancel), No (Yes/No) or Ok.
MessageAnswer ShowMessageBox(MessageBoxRequest request);
MessageAnswer MessageBoxText(const std::string& text, MessageIcon icon = MessageIcon::Default,
                             MessageButtons buttons = MessageButtons::Ok);
// String-table text `stringId` (empty when the table has none), as it stands.
MessageAnswer MessageBoxId(std::uint32_t stringId, MessageIcon icon = MessageIcon::Default,
                           MessageButtons buttons = MessageButtons::Ok);

// String-table text `stringId` formatted printf-style with `args`, with the error icon and
// OK; InfoBoxFromResource the same with the information icon.
template <typename... Args>
MessageAnswer ErrorBoxFromResource(std::uint32_t stringId, const Args&... args)
{
    MessageBoxRequest request;
    request.stringId = stringId;
    request.text = FormatStringId(stringId, args...);
    request.icon = MessageIcon::Error;
    return ShowMessageBox(std::move(request));
}

template <typename... Args>
MessageAnswer InfoBoxFromResource(std::uint32_t stringId, const Args&... args)
{
    MessageBoxRequest request;
    request.stringId = stringId;
    request.text = FormatStringId(stringId, args...);
    request.icon = MessageIcon::Information;
    return ShowMessageBox(std::move(request));
}

// The system beep; counted so that tests can see it.
void MessageBeep();
int BeepCount();

}  // namespace platform
