"""A later start names a file for the running window: a name that is wrong
(no such file, or not a settings file) is reported with the file named and
costs the window nothing, not even its unsaved change; a right one is asked
about and shown."""

import os
import shutil

import harness
from harness import SessionTest, wait_until

EXAMPLE = "examples/imap4-gprs.txt"


class ForwardedPaths(SessionTest):
    def test_wrong_names_keep_the_window_and_a_right_one_replaces_it(self):
        session = self.session
        atspi = session.atspi
        folder = os.path.join(session.root, "files")
        os.makedirs(folder)
        with open(os.path.join(folder, "notes.txt"), "w") as notes:
            notes.write("buy milk\n")
        shutil.copy(os.path.join(harness.SOURCE_DIR, EXAMPLE), os.path.join(folder, "work.txt"))

        first = session.start_program()
        main = first.main_window()
        mailbox = harness.find(session, main, atspi.ROLE_TEXT, "Mailbox name")
        harness.fill(session, mailbox, "Unsaved change")

        for name, caption, sentence in [("nope.txt", "File Not Found", "The file does not exist."),
                                        ("notes.txt", "Invalid File Format",
                                         "The file format is invalid.")]:
            later = session.start_program(name, cwd=folder, log=f"mailvane-{name}")
            self.assertEqual(later.wait_exit(harness.STARTUP_LIMIT), 0, later.output())
            box, description, _ = harness.message_box(session, first, caption)
            self.assertEqual(description, sentence + "\n\n" + os.path.join(folder, name))
            self.assertNotIn("Save Changes", [w.name for w in first.windows()])
            session.key("Return")
            first.no_window(caption)
            self.assertEqual(harness.text_of(mailbox), "Unsaved change")

        later = session.start_program("work.txt", cwd=folder, log="mailvane-work")
        self.assertEqual(later.wait_exit(harness.STARTUP_LIMIT), 0, later.output())
        box, _, _ = harness.message_box(session, first, "Save Changes")
        harness.press(session, harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "No"))
        first.no_window("Save Changes")
        wait_until(lambda: harness.text_of(mailbox) == "Work mail", "work.txt to be shown")


if __name__ == "__main__":
    harness.main()
