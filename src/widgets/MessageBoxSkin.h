#pragma once

// The process-wide pictures and labels of the message box, set by
// SkinMessageBox::configure() and read by every box.

#include "COBitmapUtil.h"
#include "SkinMessageBox.h"

#include <memory>

namespace mailvane::widgets {

struct MessageBoxSkin
{
    StringModule strings;
    platform::LibraryHandle module;
    MessageBoxButtons buttons;
    // Null while unconfigured or after a failed configuration.
    std::unique_ptr<skin::COBitmapUtil> background;
    std::unique_ptr<skin::COBitmapUtil> lefts;
    std::unique_ptr<skin::COBitmapUtil> middles;
    std::unique_ptr<skin::COBitmapUtil> rights;

    bool hasButtonPictures() const { return lefts && middles && rights; }
    void dropPictures();

    static MessageBoxSkin& instance();
};

} // namespace mailvane::widgets
