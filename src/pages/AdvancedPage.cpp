#include "AdvancedPage.h"

#include "AccessibleNames.h"
#include "FieldAccess.h"
#include "RadioButton.h"
#include "SettingsFields.h"
#include "UiText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace mailvane::pages {

namespace strings = settings::strings;
using ids = AdvancedPage;
namespace values = settings::values;
using settings::FieldId;
using widgets::uiText;

namespace {

void setNumber(settings::EmailSettings& record, FieldId id, int value)
{
    settings::setNumberValue(settings::fieldInfo(id), record, value);
}

const widgets::HelpEntry HelpTable[] = {
    {{ids::SmtpUserNameEdit, ids::SmtpUserNameLabel}, 97},
    {{ids::SmtpPasswordEdit, ids::SmtpPasswordLabel}, 98},
    {{ids::OutgoingPortEdit, ids::OutgoingPortLabel}, 99},
    {{ids::IncomingPortEdit, ids::IncomingPortLabel}, 100},
    {{ids::RetrieveEmailsEdit, ids::RetrieveEmailsLabel}, 103},
    {{ids::SmtpAuthYesRadio, ids::SmtpAuthNoRadio, ids::SmtpAuthLabel}, 101},
    {{ids::ReplyToEdit, ids::ReplyToLabel}, 102},
    {{ids::LatestRadio, ids::LatestUnreadRadio, ids::RetrievalMethodLabel}, 104},
    {{ids::SecureLoginYesRadio, ids::SecureLoginNoRadio, ids::SecureLoginLabel}, 105},
};

} // namespace

AdvancedPage::AdvancedPage(settings::EmailSettings& record, QWidget* parent)
    : SettingsPage(TemplateId, parent), m_record(record)
{
    setObjectName(QStringLiteral("advancedPage"));
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    int row = 0;
    const auto addRow = [&](QLabel* label, QWidget* field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        widgets::nameAfterLabel(field, label);
        ++row;
    };
    const auto addPair = [&](QLabel* label, widgets::RadioButton* first,
                             widgets::RadioButton* second) {
        auto* pair = new QHBoxLayout;
        pair->addWidget(first);
        pair->addSpacing(12);
        pair->addWidget(second);
        pair->addStretch(1);
        grid->addWidget(label, row, 0);
        grid->addLayout(pair, row, 1);
        widgets::describeAfterLabel({first, second}, label);
        ++row;
    };

    m_smtpYesRadio = makeRadio(ids::SmtpAuthYesRadio, strings::Yes, "smtpAuthYesRadio");
    m_smtpNoRadio = makeRadio(ids::SmtpAuthNoRadio, strings::No, "smtpAuthNoRadio");
    addPair(makeLabel(ids::SmtpAuthLabel, strings::UseSmtpAuthorisation, "smtpAuthLabel"),
            m_smtpYesRadio, m_smtpNoRadio);
    m_smtpUserNameLabel =
        makeLabel(ids::SmtpUserNameLabel, strings::SmtpUserName, "smtpUserNameLabel");
    m_smtpUserNameEdit = makeEdit(ids::SmtpUserNameEdit, "smtpUserNameEdit");
    addRow(m_smtpUserNameLabel, m_smtpUserNameEdit);
    m_smtpPasswordLabel =
        makeLabel(ids::SmtpPasswordLabel, strings::SmtpPassword, "smtpPasswordLabel");
    m_smtpPasswordEdit = makePasswordEdit(ids::SmtpPasswordEdit, "smtpPasswordEdit");
    addRow(m_smtpPasswordLabel, m_smtpPasswordEdit);
    m_outgoingPortEdit = makeEdit(ids::OutgoingPortEdit, "outgoingPortEdit", true);
    addRow(makeLabel(ids::OutgoingPortLabel, strings::OutgoingPort, "outgoingPortLabel"),
           m_outgoingPortEdit);
    // Set at every activation; the longer of its two texts sizes the column.
    m_incomingPortLabel =
        makeLabel(ids::IncomingPortLabel, strings::IncomingImap4Port, "incomingPortLabel");
    m_incomingPortEdit = makeEdit(ids::IncomingPortEdit, "incomingPortEdit", true);
    addRow(m_incomingPortLabel, m_incomingPortEdit);
    m_replyToEdit = makeEdit(ids::ReplyToEdit, "replyToEdit");
    addRow(makeLabel(ids::ReplyToLabel, strings::ReplyToAddress, "replyToLabel"), m_replyToEdit);
    m_retrieveEmailsEdit = makeEdit(ids::RetrieveEmailsEdit, "retrieveEmailsEdit", true);
    addRow(makeLabel(ids::RetrieveEmailsLabel, strings::RetrieveEmails, "retrieveEmailsLabel"),
           m_retrieveEmailsEdit);
    // Ports and counts are short: the edits need not span the page.
    for (QLineEdit* digits : {m_outgoingPortEdit, m_incomingPortEdit, m_retrieveEmailsEdit}) {
        digits->setMaximumWidth(digits->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 8 +
                                16);
        grid->setAlignment(digits, Qt::AlignLeft);
    }

    m_retrievalMethodLabel =
        makeLabel(ids::RetrievalMethodLabel, strings::RetrievalMethod, "retrievalMethodLabel");
    m_latestRadio = makeRadio(ids::LatestRadio, strings::Latest, "latestRadio");
    m_latestUnreadRadio =
        makeRadio(ids::LatestUnreadRadio, strings::LatestUnread, "latestUnreadRadio");
    addPair(m_retrievalMethodLabel, m_latestRadio, m_latestUnreadRadio);
    m_secureLoginLabel = makeLabel(ids::SecureLoginLabel, strings::SecureLogin, "secureLoginLabel");
    m_secureYesRadio = makeRadio(ids::SecureLoginYesRadio, strings::Yes, "secureLoginYesRadio");
    m_secureNoRadio = makeRadio(ids::SecureLoginNoRadio, strings::No, "secureLoginNoRadio");
    addPair(m_secureLoginLabel, m_secureYesRadio, m_secureNoRadio);
    grid->setRowStretch(row, 1);

    for (QWidget* w :
         std::initializer_list<QWidget*>{m_retrievalMethodLabel, m_latestRadio, m_latestUnreadRadio,
                                         m_secureLoginLabel, m_secureYesRadio, m_secureNoRadio})
        w->setEnabled(false);

    const auto completeness = [this] {
        requestCompletenessTest();
    };
    bindEdits(m_record, {
                            {m_smtpUserNameEdit, FieldId::SmtpUsername},
                            {m_smtpPasswordEdit, FieldId::SmtpPassword},
                            {m_outgoingPortEdit, FieldId::OutgoingPort, completeness},
                            {m_incomingPortEdit, FieldId::IncomingPort, completeness},
                            {m_replyToEdit, FieldId::ReplyToAddress},
                            {m_retrieveEmailsEdit, FieldId::RetrieveEmails},
                        });

    connect(m_smtpYesRadio, &QAbstractButton::clicked, this,
            [this] { setSmtpAuthorization(true); });
    connect(m_smtpNoRadio, &QAbstractButton::clicked, this,
            [this] { setSmtpAuthorization(false); });
    const auto choice = [this](widgets::RadioButton* on, widgets::RadioButton* off, FieldId field,
                               int value) {
        connect(on, &QAbstractButton::clicked, this, [this, on, off, field, value] {
            if (!on->isChecked())
                return;
            checkOnly(on, off);
            setNumber(m_record, field, value);
            m_changed = true;
        });
    };
    choice(m_latestRadio, m_latestUnreadRadio, FieldId::RetrieveMethod, values::Latest);
    choice(m_latestUnreadRadio, m_latestRadio, FieldId::RetrieveMethod, values::LatestUnread);
    choice(m_secureYesRadio, m_secureNoRadio, FieldId::SecureLogin, values::Yes);
    choice(m_secureNoRadio, m_secureYesRadio, FieldId::SecureLogin, values::No);
}

settings::StringId AdvancedPage::helpFor(int control) const
{
    return widgets::lookUpHelp(HelpTable, control);
}

void AdvancedPage::createPage()
{
    // The texts are set when the controls are made.
}

void AdvancedPage::setSmtpAuthorization(bool yes)
{
    widgets::RadioButton* on = yes ? m_smtpYesRadio : m_smtpNoRadio;
    if (!on->isChecked())
        return;
    checkOnly(on, yes ? m_smtpNoRadio : m_smtpYesRadio);
    setNumber(m_record, FieldId::SmtpAuthorization, yes ? values::Yes : values::No);
    m_changed = true;
    enableSmtpLogin(yes);
}

void AdvancedPage::enableSmtpLogin(bool on)
{
    m_smtpUserNameEdit->setEnabled(on);
    m_smtpPasswordEdit->setEnabled(on);
    m_smtpUserNameLabel->setEnabled(on);
    m_smtpPasswordLabel->setEnabled(on);
    if (!on) {
        // The edit rule stores the empty texts into the fields.
        m_smtpUserNameEdit->clear();
        m_smtpPasswordEdit->clear();
    }
}

void AdvancedPage::activate()
{
    const std::optional<int> type =
        settings::numberValue(settings::fieldInfo(FieldId::IncomingServerType), m_record);
    const bool pop3 = type && *type == values::Pop3;
    m_incomingPortLabel->setText(
        uiText(pop3 ? strings::IncomingPop3Port : strings::IncomingImap4Port));
    widgets::nameAfterLabel(m_incomingPortEdit, m_incomingPortLabel);
    if (type) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_secureLoginLabel, m_secureYesRadio, m_secureNoRadio})
            w->setEnabled(pop3);
        for (QWidget* w : std::initializer_list<QWidget*>{m_retrievalMethodLabel, m_latestRadio,
                                                          m_latestUnreadRadio})
            w->setEnabled(!pop3);
    }
    const bool smtpOff = m_record.smtpAuthorization && *m_record.smtpAuthorization == values::No;
    enableSmtpLogin(!smtpOff);

    fill();
    makeRadiosTabStops();
}

void AdvancedPage::showFlag(widgets::RadioButton* yes, widgets::RadioButton* no,
                            const settings::FlagField& flag)
{
    yes->setChecked(flag && *flag != 0);
    no->setChecked(flag && *flag == 0);
}

void AdvancedPage::fill()
{
    showText(m_smtpUserNameEdit, m_record.smtpUsername);
    showText(m_smtpPasswordEdit, m_record.smtpPassword);
    showText(m_outgoingPortEdit, m_record.outgoingPort);
    showText(m_incomingPortEdit, m_record.incomingPort);
    showText(m_replyToEdit, m_record.replyToAddress);
    showText(m_retrieveEmailsEdit, m_record.retrieveEmails);
    showFlag(m_smtpYesRadio, m_smtpNoRadio, m_record.smtpAuthorization);
    showFlag(m_secureYesRadio, m_secureNoRadio, m_record.secureLogin);
    m_latestUnreadRadio->setChecked(m_record.retrieveMethod && *m_record.retrieveMethod != 0);
    m_latestRadio->setChecked(m_record.retrieveMethod && *m_record.retrieveMethod == 0);
}

} // namespace mailvane::pages
