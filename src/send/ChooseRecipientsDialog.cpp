#include "ChooseRecipientsDialog.h"

#include "AccessibleNames.h"
#include "BlockingCall.h"
#include "ControlIds.h"
#include "DialogButton.h"
#include "PhoneLink.h"
#include "Recipients.h"
#include "SkinPictures.h"
#include "UiText.h"
#include "WaitDialog.h"
#include "WhatsThisHelp.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>

namespace mailvane::send {
namespace {

using namespace settings::strings;

const widgets::HelpEntry Help[] = {
    {{ChooseRecipientsDialog::AddButton}, AddHelp},
    {{ChooseRecipientsDialog::ContactsList}, ContactsListHelp},
    {{ChooseRecipientsDialog::RecipientsList}, RecipientsListHelp},
    {{ChooseRecipientsDialog::OkButton}, OkHelp},
    {{ChooseRecipientsDialog::CancelButton}, CancelHelp},
};

constexpr int NameWidth = 109;
constexpr int NumberWidth = 105;
constexpr QSize ClientSize{620, 400};
constexpr QRect ContactsLabelRect{44, 46, 200, 20};
constexpr QRect ContactsRect{44, 68, 240, 264};
constexpr QPoint AddPlace{294, 180};
constexpr QRect RecipientsLabelRect{356, 46, 200, 20};
constexpr QRect RecipientsRect{356, 68, 240, 264};
constexpr QRect NoticeRect{44, 336, 362, 58}; // beside the buttons, room for four lines
constexpr QPoint OkPlace{416, 352};
constexpr QPoint CancelPlace{506, 352};

// Where a row's position in the phone's list is kept.
constexpr int ContactIndexRole = Qt::UserRole;

QTreeWidget* addList(QWidget* dialog, const QRect& rect, int id)
{
    auto* list = new QTreeWidget(dialog);
    list->setGeometry(rect);
    list->setColumnCount(2);
    list->setHeaderLabels({widgets::uiText(NameColumn), widgets::uiText(NumberColumn)});
    list->setColumnWidth(ChooseRecipientsDialog::NameColumn, NameWidth);
    list->setColumnWidth(ChooseRecipientsDialog::NumberColumn, NumberWidth);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    widgets::setControlId(list, id);
    return list;
}

QLabel* addLabel(QWidget* dialog, const QString& caption, const QRect& rect, int id)
{
    auto* label = new QLabel(caption, dialog);
    label->setGeometry(rect);
    widgets::setControlId(label, id);
    return label;
}

// Moves every selected row of `from` to the top of `to`, first selected
// (topmost) first, so several rows arrive in reverse order.
void moveSelectedRows(QTreeWidget* from, QTreeWidget* to)
{
    for (;;) {
        int first = -1;
        for (int row = 0; row < from->topLevelItemCount(); ++row) {
            if (from->topLevelItem(row)->isSelected()) {
                first = row;
                break;
            }
        }
        if (first < 0)
            return;
        QTreeWidgetItem* item = from->takeTopLevelItem(first);
        item->setSelected(false);
        to->insertTopLevelItem(0, item);
        item->setSelected(false);
    }
}

// A chosen number as it goes into the recipients field: without what only
// groups its digits or marks its direction, so that the field shows what
// will be dialled. A number that is no number stays recognisable, for the
// Send command to name.
QString fieldForm(const QString& number)
{
    const QByteArray typed = number.toUtf8();
    const std::string kept = settings::withoutNumberPunctuation(
        std::string_view(typed.constData(), std::size_t(typed.size())));
    return QString::fromUtf8(kept.data(), qsizetype(kept.size()));
}

} // namespace

ChooseRecipientsDialog::ChooseRecipientsDialog(QWidget* parent, const platform::LibraryHandle& skin,
                                               phone::PhoneLink& link)
    : SkinDialog(TemplateId, skin, widgets::SecondaryDialogFrame, parent), m_link(link),
      m_skin(skin)
{
    setFixedSize(ClientSize);
    setWindowTitle(widgets::uiText(ChooseRecipientsTitle));
    QLabel* contactsLabel = addLabel(this, widgets::uiText(settings::strings::ContactsLabel),
                                     ContactsLabelRect, ContactsLabel);
    QLabel* recipientsLabel = addLabel(this, widgets::uiText(settings::strings::RecipientsLabel),
                                       RecipientsLabelRect, RecipientsLabel);
    m_contacts = addList(this, ContactsRect, ContactsList);
    m_contacts->setObjectName(QStringLiteral("contactsList"));
    widgets::nameAfterLabel(m_contacts, contactsLabel);
    m_recipients = addList(this, RecipientsRect, RecipientsList);
    m_recipients->setObjectName(QStringLiteral("recipientsList"));
    widgets::nameAfterLabel(m_recipients, recipientsLabel);
    m_recipients->installEventFilter(this);
    m_notice = addLabel(this, QString(), NoticeRect, ContactsNotice);
    m_notice->setObjectName(QStringLiteral("contactsNotice"));
    m_notice->setWordWrap(true);
    m_notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_notice->hide();

    m_addButton =
        widgets::createDialogButton(skin, this, AddPlace, AddButton, widgets::uiText(AddLabel));
    m_okButton =
        widgets::createDialogButton(skin, this, OkPlace, OkButton, widgets::uiText(OkLabel));
    m_cancelButton = widgets::createDialogButton(skin, this, CancelPlace, CancelButton,
                                                 widgets::uiText(CancelLabel));
    widgets::onActivated(*m_addButton, this, [this] { addSelected(); });
    widgets::onActivated(*m_okButton, this, [this] { onOk(); });
    widgets::onActivated(*m_cancelButton, this, [this] { reject(); });
    m_okButton->window()->setDefault(true);

    widgets::installHelp(this, Help);
}

ChooseRecipientsDialog::~ChooseRecipientsDialog() = default;

int ChooseRecipientsDialog::exec()
{
    loadContacts();
    return SkinDialog::exec();
}

void ChooseRecipientsDialog::loadContacts()
{
    m_result.clear();
    m_contacts->clear();
    m_contacts->setEnabled(true);
    phone::ContactList contacts;
    WaitDialog wait(m_skin, this);
    wait.setProgressText(widgets::uiText(ReadingContacts));
    wait.show();
    phone::ContactsResult result;
    runBlockingCall([this, &contacts, &result] { result = m_link.ReadContacts(contacts); });
    wait.hide();

    // A list short of a store must not pass for the whole: say which and why.
    QStringList missing;
    for (const auto store : {phone::ContactStore::PhoneMemory, phone::ContactStore::Sim}) {
        const std::string notice = phone::missingContactsNotice(result, store);
        if (notice.empty())
            continue;
        QString line = QString::fromLatin1(notice.data(), qsizetype(notice.size()));
        // The phone's own account (which device, what the library said)
        // goes into the sentence, before its full stop.
        if (const std::string& detail = result.of(store).detail; !detail.empty()) {
            const bool stop = line.endsWith(u'.');
            line.chop(stop ? 1 : 0);
            line += QStringLiteral(" (") + QString::fromStdString(detail) + QLatin1Char(')');
            if (stop)
                line += u'.';
        }
        missing << line;
    }
    m_notice->setText(missing.join(u'\n'));
    m_notice->setVisible(!missing.isEmpty());

    // Every row goes to the top, so the list shows the phone's order reversed.
    // Names and numbers are shown whole, as the phone gives them.
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const auto& [name, number] = contacts[i];
        auto* item = new QTreeWidgetItem;
        item->setText(NameColumn, QString::fromStdU16String(name));
        item->setText(NumberColumn, QString::fromStdU16String(number));
        item->setData(NameColumn, ContactIndexRole, qulonglong(i));
        m_contacts->insertTopLevelItem(0, item);
    }
    if (m_contacts->topLevelItemCount() == 0) {
        auto* none = new QTreeWidgetItem({widgets::uiText(NoContactsFound)});
        m_contacts->addTopLevelItem(none);
        // The notice is wider than the name column.
        m_contacts->setFirstColumnSpanned(0, QModelIndex(), true);
        m_contacts->setEnabled(false);
    }
}

void ChooseRecipientsDialog::addSelected()
{
    // A disabled list holds only the "No Contacts Found" row.
    if (m_contacts->isEnabled())
        moveSelectedRows(m_contacts, m_recipients);
}

void ChooseRecipientsDialog::removeSelected()
{
    moveSelectedRows(m_recipients, m_contacts);
}

bool ChooseRecipientsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_recipients && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return SkinDialog::eventFilter(watched, event);
}

void ChooseRecipientsDialog::onOk()
{
    m_result.clear();
    // Rows are taken from the list's top visible position on, as the list
    // scrolls back when rows go.
    while (m_recipients->topLevelItemCount() > 0) {
        QTreeWidgetItem* top = m_recipients->itemAt(0, 0);
        const int row = top ? m_recipients->indexOfTopLevelItem(top) : 0;
        std::unique_ptr<QTreeWidgetItem> item(m_recipients->takeTopLevelItem(row < 0 ? 0 : row));
        m_result += fieldForm(item->text(NumberColumn)) + u';';
    }
    accept();
}

} // namespace mailvane::send
