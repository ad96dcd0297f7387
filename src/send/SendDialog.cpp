#include "SendDialog.h"

#include "AccessibleNames.h"
#include "ControlIds.h"
#include "DialogButton.h"
#include "SettingsSummary.h"
#include "SkinPictures.h"
#include "UiText.h"
#include "WhatsThisHelp.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace mailvane::send {
namespace {

using namespace settings::strings;

const widgets::HelpEntry Help[] = {
    {{SendDialog::SendButton}, SendHelp},
    {{SendDialog::CancelButton}, CancelHelp},
    {{SendDialog::RecipientsBox, SendDialog::RecipientsLabel}, RecipientsBoxHelp},
    {{SendDialog::SettingsBox, SendDialog::SettingsLabel}, SettingsBoxHelp},
};

constexpr QSize ClientSize{540, 500};
constexpr QRect RecipientsLabelRect{44, 46, 200, 20};
constexpr QRect RecipientsBoxRect{44, 68, 472, 76};
constexpr QRect SettingsLabelRect{44, 154, 200, 20};
constexpr QRect SettingsBoxRect{44, 176, 472, 200};
constexpr QRect WarningRect{44, 386, 472, 54};
constexpr QPoint SendPlace{336, 452};
constexpr QPoint CancelPlace{426, 452};

QString withoutLeadingSpace(const QString& piece)
{
    qsizetype start = 0;
    while (start < piece.size() && piece.at(start).isSpace())
        ++start;
    return piece.mid(start);
}

QLabel* addLabel(QWidget* dialog, const QString& caption, const QRect& rect, int id)
{
    auto* label = new QLabel(caption, dialog);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widgets::setControlId(label, id);
    return label;
}

QPlainTextEdit* addTextBox(QWidget* dialog, const QString& content, const QRect& rect, int id)
{
    auto* box = new QPlainTextEdit(dialog);
    box->setGeometry(rect);
    box->setReadOnly(true);
    // A read-only box hides its caret; keyboard selection brings it back, so
    // that a person tabbing here sees where the focus is.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setPlainText(content);
    widgets::setControlId(box, id);
    return box;
}

} // namespace

QString recipientsBoxText(const QString& recipients)
{
    const QStringList pieces = recipients.split(u';');
    QString box;
    // Every piece but the last was closed by a ";" and ends its line.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
        box += withoutLeadingSpace(pieces.at(i)) + u'\n';
    box += withoutLeadingSpace(pieces.back());
    return box;
}

SendDialog::SendDialog(QWidget* parent, const platform::LibraryHandle& skin,
                       const settings::EmailSettings& record)
    : SkinDialog(TemplateId, skin, widgets::SecondaryDialogFrame, parent)
{
    setFixedSize(ClientSize);
    setWindowTitle(widgets::uiText(SendCaption));

    QLabel* recipientsLabel = addLabel(this, widgets::uiText(settings::strings::RecipientsLabel),
                                       RecipientsLabelRect, RecipientsLabel);
    QLabel* settingsLabel =
        addLabel(this, widgets::uiText(EmailSettingsLabel), SettingsLabelRect, SettingsLabel);
    QLabel* warning =
        addLabel(this, widgets::uiText(settings::strings::CostWarning), WarningRect, CostWarning);
    warning->setWordWrap(true);

    const std::string& to = record.to.value_or(std::string());
    m_recipientsBox =
        addTextBox(this, recipientsBoxText(QString::fromLatin1(to.data(), qsizetype(to.size()))),
                   RecipientsBoxRect, RecipientsBox);
    m_recipientsBox->setObjectName(QStringLiteral("recipientsBox"));
    // The summary ends its lines with CR LF; the box breaks lines itself.
    QString summary = QString::fromLatin1(settings::buildSummary(record));
    summary.remove(u'\r');
    m_settingsBox = addTextBox(this, summary, SettingsBoxRect, SettingsBox);
    m_settingsBox->setObjectName(QStringLiteral("settingsBox"));
    widgets::nameAfterLabel(m_recipientsBox, recipientsLabel);
    widgets::nameAfterLabel(m_settingsBox, settingsLabel);

    m_sendButton =
        widgets::createDialogButton(skin, this, SendPlace, SendButton, widgets::uiText(SendLabel));
    m_cancelButton = widgets::createDialogButton(skin, this, CancelPlace, CancelButton,
                                                 widgets::uiText(CancelLabel));
    widgets::onActivated(*m_sendButton, this, [this] { accept(); });
    widgets::onActivated(*m_cancelButton, this, [this] { reject(); });
    m_sendButton->window()->setDefault(true);
    m_sendButton->window()->setFocus();

    widgets::installHelp(this, Help);
}

SendDialog::~SendDialog() = default;

} // namespace mailvane::send
