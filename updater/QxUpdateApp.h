// The updater's application object: reads its one switch and runs the dialog.
#pragma once

#include <string_view>

#include "ui/framework/Application.h"

namespace tarnock::updater {

// "hide" exactly (case and blanks matter) runs silently; anything else is visible.
int ShowStateFor(std::string_view arguments);

class CQxUpdateApp : public ui::CApplication {
public:
    explicit CQxUpdateApp(std::string_view arguments);

    int showState;  // SW_HIDE or SW_SHOW; the dialog may switch it to SW_SHOW

protected:
    // Runs the dialog modally and ends the program with it (no message loop of its own).
    bool InitInstance() override;
};

}  // namespace tarnock::updater
