"""Typing a mailbox field by field: "Send e-mail settings" turns on with the
key that makes the settings complete, and not a key earlier."""

import harness
from harness import SessionTest, wait_until


class TypingAMailbox(SessionTest):
    def test_send_turns_on_exactly_when_the_settings_become_complete(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        send = harness.find(session, main, atspi.ROLE_PUSH_BUTTON, "Send e-mail settings")

        def send_enabled():
            return harness.has_state(session, send, atspi.STATE_ENABLED)

        def field(name, role=atspi.ROLE_TEXT):
            return harness.find(session, main, role, name)

        # With the default ports both server names are needed; the rest is not.
        for name, text in [("Mailbox name", "Office"),
                           ("E-mail address", "anna@example.com"),
                           ("User name", "anna"),
                           ("Outgoing (SMTP) server", "smtp.example.com")]:
            harness.fill(session, field(name), text)
            self.assertFalse(send_enabled(), f"Send after {name}")
        harness.fill(session, field("Password", atspi.ROLE_PASSWORD_TEXT), "s3cret")
        self.assertFalse(send_enabled(), "Send after Password")

        # The first character of the incoming server completes the settings.
        harness.fill(session, field("Incoming server"), "i")
        self.assertTrue(send_enabled(), "Send once the incoming server has a character")
        harness.erase(session, field("Incoming server"), 1)
        self.assertFalse(send_enabled(), "Send with the incoming server emptied again")
        harness.fill(session, field("Incoming server"), "imap.example.com")
        self.assertTrue(send_enabled(), "Send with both servers")

        # On the Incoming tab, choosing GPRS asks for an access point.
        harness.choose_tab(session, main, "Incoming")
        gprs = harness.find(session, main, atspi.ROLE_RADIO_BUTTON, "GPRS")
        self.assertEqual(gprs.description, "Data bearer")
        harness.click(session, gprs)
        wait_until(lambda: harness.has_state(session, gprs, atspi.STATE_CHECKED), "GPRS to be chosen")
        self.assertFalse(send_enabled(), "Send with GPRS but no access point")
        mark = harness.find(session, main, atspi.ROLE_LABEL, "This field is mandatory.")
        self.assertTrue(harness.has_state(session, mark, atspi.STATE_SHOWING))
        harness.fill(session, field("Access point"), "internet.example.net")
        self.assertTrue(send_enabled(), "Send with the access point")

        # Emptying the incoming port frees the incoming server.
        harness.choose_tab(session, main, "General")
        harness.fill(session, field("Incoming server"), "x")
        harness.erase(session, field("Incoming server"), 1)
        self.assertFalse(send_enabled())
        harness.choose_tab(session, main, "Advanced")
        port = field("Incoming (IMAP4) port")
        self.assertEqual(harness.text_of(port), "143")
        harness.erase(session, port)
        self.assertTrue(send_enabled(), "Send with no incoming port and no incoming server")


if __name__ == "__main__":
    harness.main()
