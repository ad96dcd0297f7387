"""The password field and the X clipboard and selection: a password can be
typed but never copied, cut or pasted by keys or the middle button, while the
next field shows that the clipboard itself works."""

import os

import harness
from harness import SessionTest, wait_until


class PasswordAndClipboard(SessionTest):
    def test_the_password_never_travels_through_the_clipboard(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        password = harness.find(session, main, atspi.ROLE_PASSWORD_TEXT, "Password")
        user = harness.find(session, main, atspi.ROLE_TEXT, "User name")
        session.own_clipboard("clipboard before")
        session.own_clipboard("selection before", "primary")

        def selections():
            return session.clipboard("clipboard"), session.clipboard("primary")

        def length():
            return harness.content_length(password)

        harness.fill(session, password, "s3cret")
        # Selecting and copying or cutting leaves both selections alone, and
        # cutting does not take the password away either.
        for keys in (["ctrl+a", "ctrl+c"], ["ctrl+a", "ctrl+Insert"],
                     ["ctrl+a", "ctrl+x"], ["ctrl+a", "shift+Delete"]):
            # A letter typed at the end after the keys shows they were taken.
            session.key(*keys, "End")
            session.type_text("z")
            wait_until(lambda: length() != 6, f"the keys {keys} to be taken")
            self.assertEqual(length(), 7, f"after {keys} and a letter")
            self.assertEqual(selections(), ("clipboard before", "selection before"), keys)
            session.key("BackSpace")
            wait_until(lambda: length() == 6, "the letter to go")

        # The clipboard works: the user name is copied and selected as usual.
        harness.fill(session, user, "anna")
        session.key("ctrl+a", "ctrl+c")
        wait_until(lambda: selections() == ("anna", "anna"), "the user name on the clipboard")

        # And nothing from it reaches the password: neither keys nor the
        # middle button paste.
        harness.click(session, password)
        wait_until(lambda: harness.has_state(session, password, atspi.STATE_FOCUSED), "focus")
        session.key("End", "ctrl+v", "shift+Insert")
        harness.click(session, password, button=2)
        session.type_text("v")
        wait_until(lambda: length() >= 7, "the typed v")
        self.assertEqual(length(), 7)

        # What the password holds is what was typed: the saved file says so.
        path = os.path.join(session.root, "password.txt")
        session.key("ctrl+s")
        harness.answer_file_dialog(session, program, "Save As", path)
        with open(path, "rb") as saved:
            lines = saved.read().decode("latin-1").split("\r\n")
        self.assertIn("Incoming Server Password: s3cretv", lines)
        self.assertIn("Incoming Server Username: anna", lines)


if __name__ == "__main__":
    harness.main()
