#pragma once

// The skinned bitmap buttons of our windows: shaped by the normal pictures,
// a picture triple per state (SkinPictures.h), white as the key colour,
// created 100 by 30 and widened to their caption.

#include "SkinButton.h"

#include <memory>

namespace mailvane::widgets {

inline constexpr int DialogButtonMaxWidth = 250;

// Gives `button` the skin's button pictures and creates its window over
// `parent` at `topLeft` with `caption`; the caller sets the caption's width.
void createSkinnedButton(SkinButton& button, const platform::LibraryHandle& skin, QWidget* parent,
                         QPoint topLeft, int controlNumber, const QString& caption);

// Runs `handler` each time `button` is activated, while `context` lives: one
// handler per button, rather than one switch over the control numbers.
template <typename Handler>
void onActivated(const SkinButton& button, const QObject* context, Handler handler)
{
    QObject::connect(button.window(), &SkinButtonWidget::commandPosted, context,
                     [handler = std::move(handler)](int, QWidget*) { handler(); });
}

// A button of a secondary dialog (PIN, Send, Choose Recipients) over `dialog`
// at the template's `topLeft`; its activations arrive through
// window()->commandPosted.
std::unique_ptr<SkinButton> createDialogButton(const platform::LibraryHandle& skin, QWidget* dialog,
                                               QPoint topLeft, int controlNumber,
                                               const QString& caption);

} // namespace mailvane::widgets
