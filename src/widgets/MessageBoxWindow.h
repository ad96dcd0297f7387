#pragma once

// The window of one message box: lays itself out from the text, caption and
// button set, paints the skin background, the icon and the text, and ends
// with the result code of the button pressed.

#include "MessageBoxLayout.h"
#include "SkinButton.h"
#include "SkinMessageBox.h"

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QTextOption>
#include <memory>
#include <vector>

namespace mailvane::widgets {

class MessageBoxWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int LabelCapacity = 30;
    static constexpr int MaxButtonWidth = 250;
    static constexpr QPoint IconPlace{21, 21};

    MessageBoxWindow(QWidget* owner, const QString& text, const QString& caption, unsigned flags);
    ~MessageBoxWindow() override;

    SkinMessageBox::Layout layout() const { return m_layout; }
    const MessageBoxGeometry& geometry() const { return m_geometry; }
    // The button with `controlNumber`, or null.
    SkinButtonWidget* button(int controlNumber) const;
    // The result of the default button.
    SkinButtonWidget* defaultButton() const;
    // The icon as drawn at (21, 21); null without one.
    const QPixmap& iconPixmap() const { return m_iconPixmap; }

    // Runs modally; the result code of the button, or IdOk for a close.
    int run();

    static int openCount();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Button
    {
        std::unique_ptr<SkinButton> button;
        int result = 0;
    };

    void layOut();
    void addButton(int controlNumber, int labelId, const QString& fallbackLabel, int result);
    void onCommand(int controlNumber);
    void finish(int result);

    QString m_text;
    QString m_caption;
    SkinMessageBox::Layout m_layout;
    SkinMessageBox::Icon m_icon;
    QPixmap m_iconPixmap;
    QFont m_font;
    // Wraps only a text too wide for the screen; others break at their line breaks.
    QTextOption m_textOption{Qt::AlignLeft | Qt::AlignTop};
    MessageBoxGeometry m_geometry;
    std::vector<Button> m_buttons;
    bool m_listed = false;
};

} // namespace mailvane::widgets
