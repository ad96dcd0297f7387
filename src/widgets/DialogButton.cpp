#include "DialogButton.h"

#include "ControlIds.h"
#include "SkinPictures.h"

namespace mailvane::widgets {

void createSkinnedButton(SkinButton& button, const platform::LibraryHandle& skin, QWidget* parent,
                         QPoint topLeft, int controlNumber, const QString& caption)
{
    const ButtonPictures& normal = ButtonStatePictures[0];
    button.setShapeFromResources(skin, normal.left, normal.middle, normal.right, true,
                                 ButtonKeyColour);
    button.create(skin, parent, QRect(topLeft, InitialButtonSize), controlNumber, caption);
    for (int state = 0; state < ButtonStateCount; ++state) {
        const ButtonPictures& pictures = ButtonStatePictures[state];
        button.setStateImagesFromResources(state, skin, pictures.left, pictures.middle,
                                           pictures.right);
    }
}

std::unique_ptr<SkinButton> createDialogButton(const platform::LibraryHandle& skin, QWidget* dialog,
                                               QPoint topLeft, int controlNumber,
                                               const QString& caption)
{
    auto button = std::make_unique<SkinButton>();
    createSkinnedButton(*button, skin, dialog, topLeft, controlNumber, caption);
    button->setText(caption, true, DialogButtonMaxWidth);
    setControlId(button->window(), controlNumber);
    return button;
}

} // namespace mailvane::widgets
