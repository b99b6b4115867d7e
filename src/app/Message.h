#pragma once

#include <functional>
#include <string>

// The way core code shows a message without knowing about widgets. The GUI
// installs the program's message dialog as the hook.
enum MessageKind {
  kMessageYesNo = 0,     // a question: returns 1 for Yes, 2 for No
  kMessageNotice = 1,    // a notice without buttons that closes itself
  kMessageOkNotice = 2,  // a notice with an OK button
  kMessageYesNoCaution = 3,  // a question whose safe answer, No, is the default
};

using MessageHook = std::function<int(const std::string& text, int kind)>;

// Shows the text through the installed hook and returns its answer: 1 (OK or
// Yes) or 2 (No). Without a hook the text goes to standard error and a
// question is answered No, so nothing is deleted unasked.
int ShowMessage(const std::string& text, int kind);

// Installs the hook; an empty function removes it.
void SetMessageHook(MessageHook hook);
