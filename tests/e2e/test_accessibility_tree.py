"""What a screen reader hears of the main window, as a table: every control
has a name of its own, its What's This text as its description after the
context it stands in (the group, the question), and a disabled Send says
what is missing."""

import harness
from harness import SessionTest, wait_until

GPRS_AUTH = ("GPRS, Authentication type. Select the authentication type of the GPRS "
             "connection (normal or secure).")
GSM_AUTH = ("GSM data, Authentication type. Select the authentication type of the GSM data "
            "connection (normal or secure).")

# (tab, role, name, description)
TREE = [
    (None, "ROLE_TEXT", "To phone number(s):",
     "Opens the list of contacts from which you can select the recipients."),
    (None, "ROLE_PUSH_BUTTON", "Choose Recipients",
     "Opens the list of contacts from which you can select the recipients."),
    (None, "ROLE_PUSH_BUTTON", "Send e-mail settings",
     "Sends the e-mail settings to the selected phone(s). Not available until these are "
     "filled in: Incoming Server (required by Incoming Port); "
     "Outgoing Server (required by Outgoing Port)."),
    ("General", "ROLE_TEXT", "Mailbox name", "Type the name of the mailbox."),
    # A field beside a shown mandatory mark says so; one beside a hidden mark not.
    ("General", "ROLE_TEXT", "Outgoing (SMTP) server",
     "Type the server address. This field is mandatory."),
    ("Incoming", "ROLE_TEXT", "Access point", "GPRS. Type the name of the GPRS access point."),
    ("General", "ROLE_TEXT", "User name", "Type the user name of the incoming mail server."),
    ("General", "ROLE_RADIO_BUTTON", "POP3",
     "Incoming server type. Select either POP3 or IMAP4 depending on the type of e-mail "
     "system used."),
    # An editable box keeps its label's name; Qt would name it by its value.
    ("Incoming", "ROLE_COMBO_BOX", "Data call speed",
     "GSM data. Select a data transmission speed for a modem connection. If you select "
     "Automatic, the data transmission rate is determined automatically."),
    ("Advanced", "ROLE_TEXT", "SMTP user name",
     "Type the user name of the outgoing mail server."),
]


class AccessibilityTree(SessionTest):
    def test_names_and_descriptions_of_the_main_window(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        # No name twice among the controls that take the keyboard.
        names = [node.name for node in harness.find_all(session, main)
                 if harness.has_state(session, node, atspi.STATE_FOCUSABLE) and node.name]
        self.assertEqual(len(names), len(set(names)), names)

        for tab, role, name, description in TREE:
            with self.subTest(name):
                if tab:
                    harness.choose_tab(session, main, tab)
                node = harness.find(session, main, getattr(atspi, role), name)
                self.assertEqual(node.description, description)

        # The bearer groups' shared controls say which group they are in.
        harness.choose_tab(session, main, "Incoming")
        heard = {node.description for node in
                 harness.find_all(session, main, atspi.ROLE_RADIO_BUTTON, "Normal", showing=False)}
        self.assertLessEqual({GPRS_AUTH, GSM_AUTH}, heard)


if __name__ == "__main__":
    harness.main()
