"""Sending tells the truth. A recipients field with a piece that is no number
is refused before the PIN is asked. A contact stored with blanks, dashes and
direction marks lands in the field as the number that is dialled. When the
phone refuses the second of three numbers, the outcome names that number, says
one of three went out and names the third as not tried; the terminal gets the
same on one line; and the phone's outbox holds exactly the first number's
messages."""

import os
import subprocess

import harness
from harness import SessionTest, wait_until
from test_send import EXAMPLE, PIN, outbox_messages, send_from_window

FIRST, CONTACT, THIRD = "+4512345678", "+4533445566", "+4587654321"
STORED_CONTACT = "\u202a+45 33-44-55-66\u202c"


def encoded_messages(number):
    encoded = subprocess.run(
        [harness.CLI, "encode", os.path.join(harness.SOURCE_DIR, EXAMPLE), "--pin", PIN,
         "--format", "messages", "--to", number],
        capture_output=True, text=True, timeout=30)
    assert encoded.returncode == 0, encoded.stderr
    return encoded.stdout.lower().splitlines()


def one_line(text):
    """`text` with its line breaks (the box wraps long lines) as blanks."""
    return " ".join(text.split())


class SendingFailure(SessionTest):
    def test_refused_second_number_is_named_with_what_went_before_and_after(self):
        session = self.session
        atspi = session.atspi
        first_messages = encoded_messages(FIRST)
        phone = os.path.join(session.root, "phone")
        os.makedirs(phone)
        with open(os.path.join(phone, "contacts.txt"), "w", encoding="utf-8") as contacts:
            contacts.write(f"Office;{STORED_CONTACT}\n")
        # The first message to the second number is refused.
        with open(os.path.join(phone, "phone.conf"), "w") as conf:
            conf.write(f"refuse = {len(first_messages) + 1}\n")
        program = session.start_program(EXAMPLE, phone="sim:" + phone)
        main = program.main_window()
        recipients = harness.find(session, main, atspi.ROLE_TEXT, "To phone number(s):")
        send = harness.find(session, main, atspi.ROLE_PUSH_BUTTON, "Send e-mail settings")
        wait_until(lambda: harness.has_state(session, send, atspi.STATE_ENABLED), "Send")

        # A name among the numbers stops Send before the PIN.
        harness.fill(session, recipients, "111; Anna")
        harness.click(session, send)
        box, description, _ = harness.message_box(session, program, "Recipients Invalid")
        self.assertEqual(description, '"Anna" is not a phone number.')
        self.assertNotIn("Enter PIN Code", [w.name for w in program.windows()])
        harness.press(session, harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("Recipients Invalid")
        self.assertNotIn("Enter PIN Code", [w.name for w in program.windows()])

        # The contact comes into the field as it will be dialled.
        harness.return_to(session, main)
        harness.fill(session, recipients, FIRST)
        harness.click(session, harness.find(session, main, atspi.ROLE_PUSH_BUTTON,
                                            "Choose Recipients"))
        dialog = program.window("Choose Recipients")
        listed = harness.find(session, dialog, atspi.ROLE_TREE, "Contacts")
        harness.click(session, harness.find(session, listed, atspi.ROLE_TABLE_CELL, "Office"))
        harness.click(session, harness.find(session, dialog, atspi.ROLE_PUSH_BUTTON, "To:"))
        harness.click(session, harness.find(session, dialog, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("Choose Recipients")
        wait_until(lambda: harness.text_of(recipients) == f"{FIRST}; {CONTACT};",
                   "the contact's number to be appended as dialled")

        harness.return_to(session, main)
        harness.click(session, recipients)
        wait_until(lambda: harness.has_state(session, recipients, atspi.STATE_FOCUSED), "the field")
        session.key("End")
        session.type_text(f" {THIRD}")
        field = f"{FIRST}; {CONTACT}; {THIRD}"
        wait_until(lambda: harness.text_of(recipients) == field, "the third number")

        send_from_window(self, session, program, main, None, [FIRST, CONTACT, THIRD])
        box, description, texts = harness.message_box(session, program, "Sending Failed", limit=30)
        said = one_line(description)
        self.assertTrue(said.startswith(
            "An error occurred while sending the e-mail settings to the target phone(s). "
            f"Sending to {CONTACT} failed at message 1 of {len(first_messages)}: "
            "the phone refused the message"), said)
        self.assertIn("Numbers sent before it: 1 of 3.", said)
        self.assertTrue(said.endswith(f"Not tried: {THIRD}."), said)
        self.assertEqual(one_line(" ".join(texts)), said)
        harness.press(session, harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("Sending Failed")

        # The terminal: the refused piece, then the one line of the failure.
        lines = [line for line in program.output().splitlines() if line.startswith("mailvane: ")]
        self.assertEqual(len(lines), 2, lines)
        self.assertIn('"Anna"', lines[0])
        self.assertIn(f"Sending to {CONTACT} failed", lines[1])
        self.assertIn("1 of 3", lines[1])
        self.assertIn(f"Not tried: {THIRD}.", lines[1])

        messages = outbox_messages(phone)
        self.assertEqual(messages, [(FIRST, text) for text in first_messages])
        self.assertEqual(harness.text_of(recipients), field)


if __name__ == "__main__":
    harness.main()
