#pragma once

// The process-wide pictures and labels of the message box, set by
// SkinMessageBox::configure() and read by every box.

#include "LayeredImage.h"
#include "SkinMessageBox.h"

#include <memory>

namespace mailvane::widgets {

struct MessageBoxSkin
{
    StringModule strings;
    platform::LibraryHandle module;
    MessageBoxButtons buttons;
    // Null while unconfigured or after a failed configuration.
    std::unique_ptr<skin::LayeredImage> background;
    std::unique_ptr<skin::LayeredImage> lefts;
    std::unique_ptr<skin::LayeredImage> middles;
    std::unique_ptr<skin::LayeredImage> rights;

    bool hasButtonPictures() const { return lefts && middles && rights; }
    void dropPictures();

    static MessageBoxSkin& instance();
};

} // namespace mailvane::widgets
