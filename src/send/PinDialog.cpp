#include "PinDialog.h"

#include "AccessibleNames.h"
#include "ControlIds.h"
#include "DialogButton.h"
#include "DialogFrame.h"
#include "DigitEdit.h"
#include "HelpTable.h"
#include "SkinMessageBox.h"
#include "UiText.h"

#include <QLabel>

namespace mailvane::send {
namespace {

using namespace settings::strings;

const app::HelpEntry Help[] = {
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
    : SkinDialog(TemplateId, skin, SecondaryDialogFrame, parent)
{
    setFixedSize(ClientSize);
    setWindowTitle(app::uiText(PinTitle));

    auto* explanation = new QLabel(app::uiText(PinExplanation), this);
    explanation->setGeometry(ExplanationRect);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    app::setControlId(explanation, Explanation);

    auto* label = new QLabel(app::uiText(settings::strings::PinLabel), this);
    label->setGeometry(LabelRect);
    app::setControlId(label, PinLabel);

    m_pinEdit = new DigitEdit(this);
    m_pinEdit->setObjectName(QStringLiteral("pinEdit"));
    m_pinEdit->setGeometry(EditRect);
    app::setControlId(m_pinEdit, PinEdit);
    app::nameAfterLabel(m_pinEdit, label);
    connect(m_pinEdit, &QLineEdit::textChanged, this, &PinDialog::onPinEdited);

    m_okButton = createDialogButton(skin, this, OkPlace, OkButton, app::uiText(OkLabel));
    m_cancelButton =
        createDialogButton(skin, this, CancelPlace, CancelButton, app::uiText(CancelLabel));
    for (const auto* button : {m_okButton.get(), m_cancelButton.get()})
        connect(button->window(), &skin::BmpButtonWindow::commandPosted, this,
                &PinDialog::onCommand);
    m_okButton->window()->setDefault(true);
    setTabOrder(m_pinEdit, m_okButton->window());
    setTabOrder(m_okButton->window(), m_cancelButton->window());
    m_pinEdit->setFocus();

    installHelp(this, Help);
}

PinDialog::~PinDialog() = default;

void PinDialog::onCommand(int controlNumber)
{
    if (controlNumber == OkButton)
        onOk();
    else if (controlNumber == CancelButton)
        reject();
}

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
    skin::SkinMessageBox::show(this, app::uiText(InvalidPinMessage), app::uiText(InvalidPinCaption),
                               skin::SkinMessageBox::MbOk |
                                   skin::SkinMessageBox::MbIconExclamation);
}

} // namespace mailvane::send
