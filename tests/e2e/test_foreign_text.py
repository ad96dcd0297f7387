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
        session.type_text("Café Ελλάδα 中")
        wait_until(lambda: harness.text_of(mailbox) == "Café  ", "the Latin-1 part to stay")
        note = wait_until(lambda: note_naming("中"), "a note naming the refused character")
        self.assertIn("ISO 8859-1", note.name)

        # A paste that holds one such character is refused whole, with the note.
        session.own_clipboard("Zürich Straße Ωmega")
        session.key("End", "ctrl+v")
        wait_until(lambda: note_naming("Ω"), "a note naming the pasted character")
        self.assertEqual(harness.text_of(mailbox), "Café  ")
        session.own_clipboard("Zürich")
        session.key("ctrl+v")
        wait_until(lambda: harness.text_of(mailbox) == "Café  Zürich", "Latin-1 text to paste")


if __name__ == "__main__":
    harness.main()
