#include "GeneralPage.h"

#include "AccessibleNames.h"
#include "FieldAccess.h"
#include "RadioButton.h"
#include "SettingsFields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace mailvane::pages {

namespace strings = settings::strings;
using ids = GeneralPage;
using settings::FieldId;

namespace {

settings::TextField& text(settings::EmailSettings& record, FieldId id)
{
    return settings::textValue(settings::fieldInfo(id), record);
}

const widgets::HelpEntry HelpTable[] = {
    {{ids::MailboxEdit, ids::MailboxLabel}, 90},
    {{ids::EmailAddressEdit, ids::EmailAddressLabel}, 91},
    {{ids::OutgoingServerEdit, ids::OutgoingServerLabel}, 92},
    {{ids::Pop3Radio, ids::Imap4Radio, ids::ServerTypeLabel}, 93},
    {{ids::IncomingServerEdit, ids::IncomingServerLabel}, 94},
    {{ids::UserNameEdit, ids::UserNameLabel}, 95},
    {{ids::PasswordEdit, ids::PasswordLabel}, 96},
};

} // namespace

GeneralPage::GeneralPage(settings::EmailSettings& record, QWidget* parent)
    : SettingsPage(TemplateId, parent), m_record(record)
{
    setObjectName(QStringLiteral("generalPage"));
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);
    int row = 0;
    const auto addRow = [&](QLabel* label, QLabel* mark, QWidget* field) {
        grid->addWidget(label, row, 0);
        if (mark)
            grid->addWidget(mark, row, 1);
        grid->addWidget(field, row, 2);
        widgets::nameAfterLabel(field, label);
        ++row;
    };

    m_mailboxEdit = makeEdit(ids::MailboxEdit, "mailboxEdit");
    addRow(makeLabel(ids::MailboxLabel, strings::MailboxName, "mailboxLabel"), nullptr,
           m_mailboxEdit);
    m_addressEdit = makeEdit(ids::EmailAddressEdit, "emailAddressEdit");
    addRow(makeLabel(ids::EmailAddressLabel, strings::EmailAddress, "emailAddressLabel"), nullptr,
           m_addressEdit);
    m_outgoingServerMark = makeMark(ids::OutgoingServerMark, "outgoingServerMark");
    m_outgoingServerEdit = makeEdit(ids::OutgoingServerEdit, "outgoingServerEdit");
    addRow(makeLabel(ids::OutgoingServerLabel, strings::OutgoingServer, "outgoingServerLabel"),
           m_outgoingServerMark, m_outgoingServerEdit);
    markControls(m_outgoingServerMark, {m_outgoingServerEdit});

    QLabel* typeLabel =
        makeLabel(ids::ServerTypeLabel, strings::IncomingServerType, "serverTypeLabel");
    m_pop3Radio = makeRadio(ids::Pop3Radio, strings::Pop3, "pop3Radio");
    m_imap4Radio = makeRadio(ids::Imap4Radio, strings::Imap4, "imap4Radio");
    auto* types = new QHBoxLayout;
    types->addWidget(m_pop3Radio);
    types->addSpacing(12);
    types->addWidget(m_imap4Radio);
    types->addStretch(1);
    grid->addWidget(typeLabel, row, 0);
    grid->addLayout(types, row, 2);
    widgets::describeAfterLabel({m_pop3Radio, m_imap4Radio}, typeLabel);
    ++row;

    m_incomingServerMark = makeMark(ids::IncomingServerMark, "incomingServerMark");
    m_incomingServerEdit = makeEdit(ids::IncomingServerEdit, "incomingServerEdit");
    addRow(makeLabel(ids::IncomingServerLabel, strings::IncomingServer, "incomingServerLabel"),
           m_incomingServerMark, m_incomingServerEdit);
    markControls(m_incomingServerMark, {m_incomingServerEdit});
    m_userNameEdit = makeEdit(ids::UserNameEdit, "userNameEdit");
    addRow(makeLabel(ids::UserNameLabel, strings::UserName, "userNameLabel"), nullptr,
           m_userNameEdit);
    m_passwordEdit = makePasswordEdit(ids::PasswordEdit, "passwordEdit");
    addRow(makeLabel(ids::PasswordLabel, strings::Password, "passwordLabel"), nullptr,
           m_passwordEdit);

    QLabel* note = makeLabel(ids::MandatoryNote, strings::MandatoryNote, "mandatoryNote");
    note->setWordWrap(true);
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(note, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);

    const auto completeness = [this] {
        requestCompletenessTest();
    };
    bindEdits(m_record, {
                            {m_mailboxEdit, FieldId::Mailbox},
                            {m_addressEdit, FieldId::EmailAddress},
                            {m_outgoingServerEdit, FieldId::OutgoingServer, completeness},
                            {m_incomingServerEdit, FieldId::IncomingServer, completeness},
                            {m_userNameEdit, FieldId::IncomingServerUsername},
                            {m_passwordEdit, FieldId::IncomingServerPassword},
                        });

    connect(m_pop3Radio, &QAbstractButton::clicked, this, [this] { onServerTypeClicked(true); });
    connect(m_imap4Radio, &QAbstractButton::clicked, this, [this] { onServerTypeClicked(false); });
}

settings::StringId GeneralPage::helpFor(int control) const
{
    if (control == ids::OutgoingServerMark)
        return markHelp(m_outgoingServerMark);
    if (control == ids::IncomingServerMark)
        return markHelp(m_incomingServerMark);
    return widgets::lookUpHelp(HelpTable, control);
}

void GeneralPage::createPage()
{
    checkOnly(m_imap4Radio, m_pop3Radio);
    selectServerType(false);
}

void GeneralPage::selectServerType(bool pop3)
{
    const settings::FieldInfo& typeSpec = settings::fieldInfo(FieldId::IncomingServerType);
    const bool wasPresent = settings::numberValue(typeSpec, m_record).has_value();
    settings::setNumberValue(typeSpec, m_record,
                             pop3 ? settings::values::Pop3 : settings::values::Imap4);
    if (pop3)
        checkOnly(m_pop3Radio, m_imap4Radio);
    else
        checkOnly(m_imap4Radio, m_pop3Radio);
    m_changed = true;
    // Each protocol drops the retrieval option that only the other one has.
    clearField(pop3 ? FieldId::RetrieveMethod : FieldId::SecureLogin, m_record);
    settings::TextField& port = text(m_record, FieldId::IncomingPort);
    // A record being filled keeps its port; a choice always gets the standard one.
    if (wasPresent || !port)
        port = pop3 ? settings::defaults::Pop3Port : settings::defaults::Imap4Port;
}

void GeneralPage::onServerTypeClicked(bool pop3)
{
    selectServerType(pop3);
    // The port may have become non-empty, which makes the incoming server
    // mandatory: the marks and Send must follow at once.
    updateMarks();
    requestCompletenessTest();
}

void GeneralPage::updateMarks()
{
    setMark(m_outgoingServerMark, settings::isNonEmpty(m_record.outgoingPort));
    setMark(m_incomingServerMark, settings::isNonEmpty(m_record.incomingPort));
}

void GeneralPage::activate()
{
    updateMarks();
}

void GeneralPage::fill()
{
    showText(m_mailboxEdit, m_record.mailbox);
    showText(m_addressEdit, m_record.emailAddress);
    showText(m_outgoingServerEdit, m_record.outgoingServer);
    showText(m_incomingServerEdit, m_record.incomingServer);
    showText(m_userNameEdit, m_record.incomingServerUsername);
    showText(m_passwordEdit, m_record.incomingServerPassword);
    const bool pop3 =
        m_record.incomingServerType && *m_record.incomingServerType != settings::values::Imap4;
    clearField(FieldId::IncomingServerType, m_record);
    selectServerType(pop3);
}

} // namespace mailvane::pages
