// The icons, button sets and answers of a message box, shared by the document's prompts
// (no toolkit) and the UI layer that shows the boxes.
#pragma once

namespace platform {

// Default: the caller names no icon; the box then shows the exclamation icon (Warning) for
// Ok and OkCancel and the question icon for YesNo and YesNoCancel. None: a plain box without an icon.
enum class MessageIcon { Default, Error, Warning, Information, Question, None };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

}  // namespace platform
