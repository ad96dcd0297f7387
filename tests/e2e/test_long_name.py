"""Saving under a name near the file system's limit: the file is written, and
nothing is left beside it."""

import os

import harness
from harness import SessionTest, wait_until


class LongName(SessionTest):
    def test_a_250_byte_name_saves(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        harness.fill(session, harness.find(session, main, atspi.ROLE_TEXT, "Mailbox name"),
                     "Long")

        path = os.path.join(session.root, "m" * 246 + ".txt")
        self.assertEqual(len(os.path.basename(path)), 250)
        session.key("ctrl+shift+s")
        harness.answer_file_dialog(session, program, "Save As", path)
        wait_until(lambda: os.path.exists(path), "the file to be written")
        with open(path, "rb") as saved:
            self.assertIn(b"Mailbox: Long\r\n", saved.read())
        self.assertEqual(os.listdir(session.root).count(os.path.basename(path)), 1)
        self.assertFalse([n for n in os.listdir(session.root) if n.startswith(".m")])


if __name__ == "__main__":
    harness.main()
