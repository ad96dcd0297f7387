"""A second start with a file while the window runs, as "Open with" from a file
manager does it: the second start hands the file to the running window and
ends with success; a name that is wrong (no such file, or not a settings
file) is reported with the file named and costs the window nothing, not even
its unsaved change; a right one is asked about first, then shown. There is
never more than the one main window."""

import os
import shutil

import harness
from harness import SessionTest, wait_until

EXAMPLE = "examples/imap4-gprs.txt"


class SecondStart(SessionTest):
    def test_file_of_a_second_start_opens_in_the_running_window(self):
        session = self.session
        atspi = session.atspi
        # The second start runs in the file's folder and names it relatively,
        # while the running window's working folder is another.
        folder = os.path.join(session.root, "downloads")
        os.makedirs(folder)
        shutil.copy(os.path.join(harness.SOURCE_DIR, EXAMPLE), os.path.join(folder, "OTHER.txt"))
        with open(os.path.join(folder, "notes.txt"), "w") as notes:
            notes.write("buy milk\n")

        first = session.start_program()
        main = first.main_window()

        def field(name):
            return harness.find(session, main, atspi.ROLE_TEXT, name)

        harness.fill(session, field("Mailbox name"), "Unsaved change")

        # Every main window on the desktop, by the process that shows it; and
        # the most seen at one time.
        seen = set()
        most = [0]

        def main_windows():
            shown = []
            for app in atspi.Registry.getDesktop(0):
                if app is None:
                    continue
                for window in app:
                    if (window is not None and harness.is_main_window(session, window)
                            and harness.is_showing(session, window)):
                        shown.append(app.get_process_id())
            seen.update(shown)
            most[0] = max(most[0], len(shown))
            return shown

        self.assertEqual(main_windows(), [first.pid])
        for name, caption, sentence in [("nope.txt", "File Not Found", "The file does not exist."),
                                        ("notes.txt", "Invalid File Format",
                                         "The file format is invalid.")]:
            wrong = session.start_program(name, cwd=folder, log=f"mailvane-{name}")
            self.assertEqual(wrong.wait_exit(harness.STARTUP_LIMIT), 0, wrong.output())
            box, description, _ = harness.message_box(session, first, caption)
            self.assertEqual(description, sentence + "\n\n" + os.path.join(folder, name))
            self.assertNotIn("Save Changes", [w.name for w in first.windows()])
            harness.press(session, harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "OK"))
            first.no_window(caption)
            self.assertEqual(harness.text_of(field("Mailbox name")), "Unsaved change")

        # As a launcher starts it on Wayland: with an activation token that
        # travels with the request.
        second = session.start_program(
            "OTHER.txt", cwd=folder, log="mailvane-second",
            env=session.program_env(extra={"XDG_ACTIVATION_TOKEN": "launcher-token_1"}))

        def second_ended():
            main_windows()
            return not second.running()
        wait_until(second_ended, "the second start to end", harness.STARTUP_LIMIT)
        self.assertEqual(second.wait_exit(), 0, second.output())

        box, description, _ = harness.message_box(session, first, "Save Changes")
        self.assertEqual(description, "Do you want to save the changes?")
        no = harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "No")
        if session.wayland:
            harness.press(session, no)
        else:
            # Tab walks the buttons round to No, and Return answers.
            focus = wait_until(lambda: harness.focused(session, box),
                               "a button of the question to have the keyboard")
            for _ in range(3):
                if harness.has_state(session, no, atspi.STATE_FOCUSED):
                    break
                before = focus.name
                session.key("Tab")
                focus = wait_until(lambda: (node := harness.focused(session, box)) and node.name != before and node,
                                   "Tab to move the focus")
            self.assertTrue(harness.has_state(session, no, atspi.STATE_FOCUSED))
            session.key("Return")
        first.no_window("Save Changes")

        wait_until(lambda: harness.text_of(field("Mailbox name")) == "Work mail", "OTHER.txt to be shown")
        self.assertEqual(harness.text_of(field("Incoming server")), "imap.example.com")
        self.assertEqual(main_windows(), [first.pid])
        self.assertEqual(seen, {first.pid})
        self.assertEqual(most[0], 1)
        self.assertTrue(first.running())
        # Answered No: nothing was written anywhere, OTHER.txt included.
        with open(os.path.join(folder, "OTHER.txt"), "rb") as other, \
                open(os.path.join(harness.SOURCE_DIR, EXAMPLE), "rb") as example:
            self.assertEqual(other.read(), example.read())
        self.assertEqual(sorted(os.listdir(folder)), ["OTHER.txt", "notes.txt"])


if __name__ == "__main__":
    harness.main()
