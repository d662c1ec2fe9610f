// The details dialog: the offered version's fields and its description.
#pragma once

#include <string>

#include "ui/framework/Dialog.h"

namespace tarnock::updater {

class CUpdateInfo : public ui::CDialog {
public:
    // Texts as the version page gives them (8-bit code page); line ends are shown as such.
    CUpdateInfo(HWND parent, std::string version, std::string date, std::string fileName, std::string fileSize,
                std::string description);

protected:
    BOOL OnInitDialog() override;

private:
    std::string version_;
    std::string date_;
    std::string fileName_;
    std::string fileSize_;
    std::string description_;
};

// "<br>" of the page's description becomes a line break of the multi-line edit.
std::string DescriptionText(std::string_view pageValue);

}  // namespace tarnock::updater
