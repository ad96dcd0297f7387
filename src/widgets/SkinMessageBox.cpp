#include "SkinMessageBox.h"

#include "MessageBoxHook.h"
#include "MessageBoxSkin.h"
#include "MessageBoxWindow.h"

namespace mailvane::widgets {

void MessageBoxSkin::dropPictures()
{
    background.reset();
    lefts.reset();
    middles.reset();
    rights.reset();
}

MessageBoxSkin& MessageBoxSkin::instance()
{
    static MessageBoxSkin skin;
    return skin;
}

SkinMessageBox::Layout SkinMessageBox::layoutOf(unsigned flags)
{
    switch (flags & MbTypeMask) {
    case MbOkCancel:
        return LayoutOkCancel;
    case MbYesNoCancel:
        return LayoutYesNoCancel;
    case MbYesNo:
        return LayoutYesNo;
    default:
        return LayoutOk;
    }
}

SkinMessageBox::Icon SkinMessageBox::iconOf(unsigned flags)
{
    switch (flags & MbIconMask) {
    case MbIconHand:
        return Icon::Hand;
    case MbIconExclamation:
        return Icon::Exclamation;
    case MbIconAsterisk:
        return Icon::Asterisk;
    default:
        return Icon::None;
    }
}

int SkinMessageBox::configure(const StringModule& strings, const platform::LibraryHandle& skin,
                              const MessageBoxImages& images, const MessageBoxButtons& buttons,
                              bool loadButtonImages)
{
    MessageBoxSkin& state = MessageBoxSkin::instance();
    state.dropPictures();
    // The labels and control numbers are kept even when the pictures fail,
    // so that a box still shows the right buttons, plainly painted.
    state.strings = strings;
    state.module = skin;
    state.buttons = buttons;
    if (!strings || skin.isEmpty())
        return -1;

    auto background = std::make_unique<skin::LayeredImage>();
    auto lefts = std::make_unique<skin::LayeredImage>();
    auto middles = std::make_unique<skin::LayeredImage>();
    auto rights = std::make_unique<skin::LayeredImage>();
    bool ok =
        background->loadFromResource(skin, images.background, skin::LayeredImage::Foreground, 0);
    const int sets[3][3] = {{images.normalLeft, images.normalMiddle, images.normalRight},
                            {images.pressedLeft, images.pressedMiddle, images.pressedRight},
                            {images.hoverLeft, images.hoverMiddle, images.hoverRight}};
    for (int frame = 0; frame < 3 && ok && loadButtonImages; ++frame) {
        ok = lefts->loadFromResource(skin, sets[frame][0], skin::LayeredImage::Foreground, frame) &&
             middles->loadFromResource(skin, sets[frame][1], skin::LayeredImage::Foreground,
                                       frame) &&
             rights->loadFromResource(skin, sets[frame][2], skin::LayeredImage::Foreground, frame);
    }
    if (!ok)
        return -1;
    state.background = std::move(background);
    if (loadButtonImages) {
        state.lefts = std::move(lefts);
        state.middles = std::move(middles);
        state.rights = std::move(rights);
    }
    return 0;
}

void SkinMessageBox::release()
{
    MessageBoxSkin& state = MessageBoxSkin::instance();
    state.dropPictures();
    state.strings = {};
    state.module.clear();
}

bool SkinMessageBox::isConfigured()
{
    return MessageBoxSkin::instance().background != nullptr;
}

int SkinMessageBox::show(QWidget* owner, const QString& text, const QString& caption,
                         unsigned flags)
{
    if (!owner || text.isNull() || caption.isNull())
        return 0;
    if (MessageBoxHook* hook = MessageBoxHook::current())
        return hook->take({text, caption, flags});
    MessageBoxWindow box(owner, text, caption, flags);
    return box.run();
}

int SkinMessageBox::openCount()
{
    return MessageBoxWindow::openCount();
}

} // namespace mailvane::widgets
