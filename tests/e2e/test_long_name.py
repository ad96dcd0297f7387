"""Saving under a name near the file system's limit: the file is written, and
a box about a path that long stays on the screen."""

import os

import harness
from harness import SessionTest, wait_until

NAME_MAX = 255


class LongName(SessionTest):
    def test_a_250_byte_name_saves_and_a_long_path_box_fits_the_screen(self):
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

        # A name one byte over the limit is the system's refusal, named in a
        # box no wider than the screen.
        too_long = os.path.join(session.root, "n" * (NAME_MAX - 3) + ".txt")
        session.key("ctrl+shift+s")
        harness.answer_file_dialog(session, program, "Save As", too_long)
        box, description, _ = harness.message_box(session, program, "Save Failed")
        self.assertIn("too long", description)
        screen = main.queryComponent().getExtents(atspi.DESKTOP_COORDS)
        desktop = atspi.Registry.getDesktop(0).queryComponent().getExtents(atspi.DESKTOP_COORDS)
        extents = box.queryComponent().getExtents(atspi.DESKTOP_COORDS)
        width = desktop.width if desktop.width > 0 else screen.x + screen.width
        self.assertLessEqual(extents.width, width)


if __name__ == "__main__":
    harness.main()
