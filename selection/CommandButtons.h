// The four command buttons: confirm the selected account, add to or remove from the recently
// used list, open the host's account editor, cancel.
#pragma once

#include "dialog/SarvoDialog.h"

namespace sarvo::selection {

class CommandButtons {
public:
    explicit CommandButtons(dialog::SarvoDialog& form) : m_form(form) {}
    void cmdButton_Click(int16_t index);

private:
    void Confirm();
    void ToggleRecentlyUsed();
    void EditAccounts();
    void Cancel();
    void RestartUnfiltered(); // clear the tree, top level again, attribute filter reset
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::selection
