#pragma once

// Asks once per send for the PIN that keys the push's MAC; the receiving
// phone's user types the same code to accept the settings.

#include "SkinDialog.h"

#include <QString>
#include <memory>

class QLabel;
class QLineEdit;

namespace mailvane::widgets {
class SkinButton;
}

namespace mailvane::send {

class PinDialog : public widgets::SkinDialog
{
    Q_OBJECT

public:
    static constexpr int TemplateId = 133;
    static constexpr int MaxPinLength = 10;

    enum Control : int
    {
        OkButton = 1,
        CancelButton = 2,
        PinEdit = 1002,
        PinLabel = 1028,
        Explanation = 1083,
    };

    PinDialog(const platform::LibraryHandle& skin, QWidget* parent);
    ~PinDialog() override;

    // The PIN typed, valid once the dialog has ended with OK: 1 to 10 digits.
    QString pin() const { return m_pin; }

    QLineEdit* pinEdit() const { return m_pinEdit; }

private:
    void onPinEdited();
    void onOk();

    QLineEdit* m_pinEdit = nullptr;
    std::unique_ptr<widgets::SkinButton> m_okButton;
    std::unique_ptr<widgets::SkinButton> m_cancelButton;
    QString m_pin;
};

} // namespace mailvane::send
