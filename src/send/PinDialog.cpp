#include "PinDialog.h"

#include "AccessibleNames.h"
#include "ControlIds.h"
#include "DialogButton.h"
#include "FieldEdit.h"
#include "SkinMessageBox.h"
#include "SkinPictures.h"
#include "UiText.h"
#include "WhatsThisHelp.h"

#include <QLabel>
#include <QLineEdit>

namespace mailvane::send {
namespace {

using namespace settings::strings;

const widgets::HelpEntry Help[] = {
    {{PinDialog::PinEdit, PinDialog::PinLabel}, PinHelp},
    {{PinDialog::OkButton}, OkHelp},
    {{PinDialog::CancelButton}, CancelHelp},
};

// The template's layout, in pixels of the client area.
constexpr QSize ClientSize{380, 200};
constexpr QRect ExplanationRect{44, 48, 316, 52};
constexpr QRect LabelRect{44, 112, 130, 24};
constexpr QRect EditRect{180, 112, 150, 24};
constexpr QPoint OkPlace{180, 156};
constexpr QPoint CancelPlace{270, 156};

} // namespace

PinDialog::PinDialog(const platform::LibraryHandle& skin, QWidget* parent)
    : SkinDialog(TemplateId, skin, widgets::SecondaryDialogFrame, parent)
{
    setFixedSize(ClientSize);
    setWindowTitle(widgets::uiText(PinTitle));

    auto* explanation = new QLabel(widgets::uiText(PinExplanation), this);
    explanation->setGeometry(ExplanationRect);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widgets::setControlId(explanation, Explanation);
    // The text ends in a line break for its layout, which is nothing to read out.
    explanation->setAccessibleName(explanation->text().trimmed());

    auto* label = new QLabel(widgets::uiText(settings::strings::PinLabel), this);
    label->setGeometry(LabelRect);
    widgets::setControlId(label, PinLabel);

    m_pinEdit = new QLineEdit(this);
    widgets::restrictEdit(m_pinEdit, true);
    m_pinEdit->setObjectName(QStringLiteral("pinEdit"));
    m_pinEdit->setGeometry(EditRect);
    widgets::setControlId(m_pinEdit, PinEdit);
    widgets::nameAfterLabel(m_pinEdit, label);
    connect(m_pinEdit, &QLineEdit::textChanged, this, &PinDialog::onPinEdited);

    m_okButton =
        widgets::createDialogButton(skin, this, OkPlace, OkButton, widgets::uiText(OkLabel));
    m_cancelButton = widgets::createDialogButton(skin, this, CancelPlace, CancelButton,
                                                 widgets::uiText(CancelLabel));
    widgets::onActivated(*m_okButton, this, [this] { onOk(); });
    widgets::onActivated(*m_cancelButton, this, [this] { reject(); });
    m_okButton->window()->setDefault(true);
    setTabOrder(m_pinEdit, m_okButton->window());
    setTabOrder(m_okButton->window(), m_cancelButton->window());
    m_pinEdit->setFocus();

    widgets::installHelp(this, Help);
}

PinDialog::~PinDialog() = default;

void PinDialog::onPinEdited()
{
    // A longer paste or typing past the tenth character keeps the first ten.
    const QString typed = m_pinEdit->text();
    if (typed.size() > MaxPinLength)
        m_pinEdit->setText(typed.left(MaxPinLength));
}

void PinDialog::onOk()
{
    m_pin = m_pinEdit->text();
    if (!m_pin.isEmpty()) {
        accept();
        return;
    }
    widgets::SkinMessageBox::show(
        this, widgets::uiText(InvalidPinMessage), widgets::uiText(InvalidPinCaption),
        widgets::SkinMessageBox::MbOk | widgets::SkinMessageBox::MbIconExclamation);
}

} // namespace mailvane::send
