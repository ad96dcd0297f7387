"""Opening a file and looking at every tab without typing is no change: New
afterwards starts over without asking to save."""

import os

import harness
from harness import SessionTest, wait_until

EXAMPLES = ["examples/imap4-gprs.txt", "examples/pop3-gsm-proxies.txt"]


class LookingIsNoChange(SessionTest):
    def test_viewing_every_tab_then_new_asks_nothing(self):
        session = self.session
        atspi = session.atspi
        for example in EXAMPLES:
            with self.subTest(example):
                program = session.start_program(os.path.join(harness.SOURCE_DIR, example),
                                                log="mailvane-" + os.path.basename(example))
                main = program.main_window()
                mailbox = harness.find(session, main, atspi.ROLE_TEXT, "Mailbox name")
                wait_until(lambda: harness.text_of(mailbox) != "", "the file to be shown")
                for tab in ("Advanced", "Incoming", "Outgoing", "General"):
                    harness.choose_tab(session, main, tab)
                harness.return_to(session, main)
                session.key("ctrl+n")
                wait_until(lambda: harness.text_of(mailbox) == "" or
                           "Save Changes" in [w.name for w in program.windows()],
                           "New to start over or ask")
                self.assertNotIn("Save Changes", [w.name for w in program.windows()])
                self.assertEqual(harness.text_of(mailbox), "")
                session.key("ctrl+q")
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
