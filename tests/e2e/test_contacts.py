"""Choosing a contact of the phone into the recipients field: the contacts
are listed, a chosen one moves to the recipients, and OK appends its number
to what the field held."""

import os

import harness
from harness import SessionTest, wait_until


class ChooseAContact(SessionTest):
    def test_chosen_contact_number_is_appended_to_the_recipients(self):
        session = self.session
        atspi = session.atspi
        phone = os.path.join(session.root, "phone")
        os.makedirs(phone)
        with open(os.path.join(phone, "contacts.txt"), "w", encoding="utf-8") as contacts:
            contacts.write("Anna Berg;+4512345678\nOffice;+4533445566\n")
        program = session.start_program(phone="sim:" + phone)
        main = program.main_window()
        recipients = harness.find(session, main, atspi.ROLE_TEXT, "To phone number(s):")
        harness.fill(session, recipients, "111")

        harness.click(session, harness.find(session, main, atspi.ROLE_PUSH_BUTTON,
                                            "Choose Recipients"))
        dialog = program.window("Choose Recipients")
        listed = harness.find(session, dialog, atspi.ROLE_TREE, "Contacts")
        chosen = harness.find(session, dialog, atspi.ROLE_TREE, "Recipients")

        def names(tree):
            return [cell.name for cell in harness.find_all(session, tree, atspi.ROLE_TABLE_CELL)]

        # The phone's order, reversed; each row a name and its number.
        wait_until(lambda: names(listed), "the contacts")
        self.assertEqual(names(listed), ["Office", "+4533445566", "Anna Berg", "+4512345678"])
        harness.click(session, harness.find(session, listed, atspi.ROLE_TABLE_CELL, "Anna Berg"))
        harness.click(session, harness.find(session, dialog, atspi.ROLE_PUSH_BUTTON, "To:"))
        wait_until(lambda: names(chosen) == ["Anna Berg", "+4512345678"], "Anna among the recipients")
        self.assertEqual(names(listed), ["Office", "+4533445566"])

        harness.click(session, harness.find(session, dialog, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("Choose Recipients")
        wait_until(lambda: harness.text_of(recipients) == "111; +4512345678;",
                   "the number to be appended")


if __name__ == "__main__":
    harness.main()
