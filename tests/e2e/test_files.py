"""Saving through the skinned file dialog, under a name near the file system's
limit, starting anew and opening the file again, all from the keyboard's
shortcuts: every value comes back, the file is what mailvane-cli check makes
of it, and nothing is left beside it."""

import os
import subprocess

import harness
from harness import SessionTest, wait_until

# Field name on the page -> (tab, text, the line the file holds for it).
VALUES = {
    "Mailbox name": ("General", "Office mail", "Mailbox: Office mail"),
    "E-mail address": ("General", "anna@example.com", "E-Mail Address: anna@example.com"),
    "Outgoing (SMTP) server": ("General", "smtp.example.com", "Outgoing Server: smtp.example.com"),
    "Incoming server": ("General", "pop.example.com", "Incoming Server: pop.example.com"),
    "User name": ("General", "anna", "Incoming Server Username: anna"),
    "Password": ("General", "s3cret;x", "Incoming Server Password: s3cret;x"),
    "Reply-to address": ("Advanced", "replies@example.com", "Reply-To Address: replies@example.com"),
}


class SaveNewOpen(SessionTest):
    def test_every_value_survives_save_as_new_and_open(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        # 250 bytes: the temporary file beside it needs a shortened name.
        path = os.path.join(session.root, "office mail " + "m" * 234 + ".txt")

        def field(name):
            role = atspi.ROLE_PASSWORD_TEXT if name == "Password" else atspi.ROLE_TEXT
            return harness.find(session, main, role, name)

        def radio(name):
            return harness.find(session, main, atspi.ROLE_RADIO_BUTTON, name)

        harness.click(session, radio("POP3"))
        wait_until(lambda: harness.has_state(session, radio("POP3"), atspi.STATE_CHECKED), "POP3")
        for tab in ("General", "Advanced"):
            harness.choose_tab(session, main, tab)
            for name, (page, text, _) in VALUES.items():
                if page == tab:
                    harness.fill(session, field(name), text)

        # Save As by its key, as the File menu shows it.
        harness.command(session, main, "ctrl+shift+s", "File", "Save As")
        harness.answer_file_dialog(session, program, "Save As", path)
        wait_until(lambda: os.path.exists(path), f"{path} to be written")
        with open(path, "rb") as saved:
            written = saved.read()
        self.assertFalse([n for n in os.listdir(session.root) if n.startswith(".office")])
        checked = subprocess.run([harness.CLI, "check", path], capture_output=True, timeout=30)
        self.assertEqual(checked.returncode, 0, checked.stderr.decode())
        self.assertEqual(written, checked.stdout)
        lines = written.decode("latin-1").split("\r\n")
        for _, _, line in VALUES.values():
            self.assertIn(line, lines)
        self.assertIn("Incoming Server Type: POP3", lines)
        self.assertIn("Incoming Port: 110", lines)

        # New forgets everything; Open brings it all back.
        harness.return_to(session, main)
        harness.command(session, main, "ctrl+n", "File", "New")
        harness.choose_tab(session, main, "General")
        wait_until(lambda: harness.text_of(field("Mailbox name")) == "", "New to empty the fields")
        self.assertTrue(harness.has_state(session, radio("IMAP4"), atspi.STATE_CHECKED))
        self.assertEqual(harness.content_length(field("Password")), 0)

        harness.command(session, main, "ctrl+o", "File", "Open")
        harness.answer_file_dialog(session, program, "Open", path)
        wait_until(lambda: harness.text_of(field("Mailbox name")) == "Office mail", "Open")
        self.assertTrue(harness.has_state(session, radio("POP3"), atspi.STATE_CHECKED))
        for tab in ("General", "Advanced"):
            harness.choose_tab(session, main, tab)
            for name, (page, text, _) in VALUES.items():
                if page != tab:
                    continue
                if name == "Password":
                    self.assertEqual(harness.content_length(field(name)), len(text))
                else:
                    self.assertEqual(harness.text_of(field(name)), text, name)
        self.assertEqual(harness.text_of(field("Incoming (POP3) port")), "110")
        send = harness.find(session, main, atspi.ROLE_PUSH_BUTTON, "Send e-mail settings")
        self.assertTrue(harness.has_state(session, send, atspi.STATE_ENABLED))

        # Save keeps the file's identity: with a second name (a hard link) the
        # file is rewritten in place, and both names show the change.
        second = os.path.join(session.root, "second name.txt")
        os.link(path, second)
        harness.choose_tab(session, main, "General")
        harness.fill(session, field("Mailbox name"), "Home mail")
        harness.command(session, main, "ctrl+s", "File", "Save")

        def shows_change(name):
            with open(name, "rb") as saved:
                return b"Mailbox: Home mail\r\n" in saved.read()

        for name in (path, second):
            wait_until(lambda name=name: shows_change(name), f"{name} to show the save")
        self.assertEqual(os.stat(path).st_ino, os.stat(second).st_ino)
        self.assertEqual(os.stat(path).st_nlink, 2)


if __name__ == "__main__":
    harness.main()
