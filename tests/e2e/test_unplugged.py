"""Sending while the phone is unplugged: the outcome message says so, and
nothing reaches the phone's outbox."""

import os

import harness
from harness import SessionTest
from test_send import EXAMPLE, NUMBERS, outbox_messages, send_from_window


class UnpluggedPhone(SessionTest):
    def test_send_ends_with_phone_not_connected_and_an_empty_outbox(self):
        session = self.session
        atspi = session.atspi
        phone = os.path.join(session.root, "phone")
        os.makedirs(phone)
        with open(os.path.join(phone, "phone.conf"), "w") as conf:
            conf.write("unplugged = yes\n")
        program = session.start_program(EXAMPLE, phone="sim:" + phone)
        main = program.main_window()
        harness.wait_until(
            lambda: harness.text_of(harness.find(session, main, atspi.ROLE_TEXT, "Incoming server"))
            == "imap.example.com", "the example to be open")

        send_from_window(self, session, program, main, "; ".join(NUMBERS))
        box, description, texts = harness.message_box(session, program, "Sending Failed", limit=30)
        self.assertEqual(description, "Phone isn't connected.")
        self.assertEqual(texts, ["Phone isn't connected."])
        self.assertEqual(outbox_messages(phone), [])
        # Enter answers the box: its OK button has the keyboard.
        session.key("Return")
        program.no_window("Sending Failed")
        self.assertTrue(program.running())


if __name__ == "__main__":
    harness.main()
