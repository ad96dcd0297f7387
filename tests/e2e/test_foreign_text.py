"""Typing and pasting text the settings file cannot hold (it is Latin-1): the
characters are refused as they come, and a note beside the field says which,
instead of their vanishing without a word."""

import harness
from harness import SessionTest, wait_until


class ForeignText(SessionTest):
    def test_characters_outside_latin1_are_refused_with_a_note(self):
        session = self.session
        atspi = session.atspi
        program = session.start_program()
        main = program.main_window()
        mailbox = harness.find(session, main, atspi.ROLE_TEXT, "Mailbox name")

        def note_naming(character):
            for window in program.application():
                if window is None:
                    continue
                for node in [window, *harness.descendants(window)]:
                    if (node.getRole() == atspi.ROLE_TOOL_TIP and character in node.name
                            and harness.is_showing(session, node)):
                        return node
            return None

        harness.click(session, mailbox)
        wait_until(lambda: harness.has_state(session, mailbox, atspi.STATE_FOCUSED), "the focus")
        # The Latin-1 part by the keyboard map; each other character through
        # a key that xdotool maps for it first, one at a time.
        session.type_text("Cafe ")
        wait_until(lambda: harness.text_of(mailbox) == "Cafe ", "the Latin-1 part")
        for character in "Ελ中":
            # The first key press after xdotool changed the map can reach the
            # program before the new map does, and types nothing; a person's
            # keyboard map does not change under them, so such a key is typed
            # again.
            for attempt in range(3):
                session.xdotool("type", "--delay", "100", "--", character)
                try:
                    note = wait_until(lambda: note_naming(character),
                                      f"a note naming {character}", limit=4)
                    break
                except harness.WaitTimeout:
                    if attempt == 2:
                        raise
            self.assertIn("ISO 8859-1", note.name)
        session.type_text(" ")
        wait_until(lambda: harness.text_of(mailbox) == "Cafe  ", "the field to hold only Latin-1")

        # A paste that holds one such character is refused whole, with the note.
        session.own_clipboard("Zürich Straße Ωmega")
        session.key("End", "ctrl+v")
        wait_until(lambda: note_naming("Ω"), "a note naming the pasted character")
        self.assertEqual(harness.text_of(mailbox), "Cafe  ")
        session.own_clipboard("Zürich")
        session.key("ctrl+v")
        wait_until(lambda: harness.text_of(mailbox) == "Cafe  Zürich", "Latin-1 text to paste")


if __name__ == "__main__":
    harness.main()
