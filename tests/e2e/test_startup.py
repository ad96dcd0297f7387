"""Start-up as a person sees it: the splash alone, then the main window with
its title, four tabs and Send disabled; and every control of the main window
reachable from the keyboard."""

import harness
from harness import SessionTest, wait_until

SCREEN = (1280, 1024)
TABS = ["General", "Advanced", "Incoming", "Outgoing"]


class StartUp(SessionTest):
    def test_splash_then_main_window_ready_for_keyboard(self):
        session = self.session
        program = session.start_program()
        atspi = session.atspi

        # What the program shows, in order, until the main window is up.
        shown = []
        splash_extents = []

        # The splash and the main window share the product's name; the main
        # window is the dialog.
        def kind(window):
            return "main window" if harness.is_main_window(session, window) else window.name

        def main_window_up():
            windows = program.windows()
            kinds = [kind(w) for w in windows]
            for window in windows:
                if kind(window) == "Mailvane" and not splash_extents:
                    splash_extents.append(window.queryComponent().getExtents(atspi.DESKTOP_COORDS))
            if not shown or shown[-1] != kinds:
                shown.append(kinds)
            return "main window" in kinds

        wait_until(main_window_up, "the main window", harness.STARTUP_LIMIT)
        self.assertEqual(shown[0], ["Mailvane"], f"first the splash alone: {shown}")
        # The splash's last moment may still be in the tree as a nameless
        # window when the main window comes (seen on Wayland); it goes at once.
        wait_until(lambda: main_window_up() and shown[-1] == ["main window"],
                   f"then the main window alone: {shown}", 2)
        if not session.wayland:
            # A Wayland client learns no position: the compositor places it.
            splash = splash_extents[0]
            self.assertEqual((splash.x + splash.width // 2, splash.y + splash.height // 2),
                             (SCREEN[0] // 2, SCREEN[1] // 2), "the splash is centred on the screen")

        main = program.main_window()
        self.assertEqual(main.getRole(), atspi.ROLE_DIALOG)
        tabs = harness.find_all(session, main, atspi.ROLE_PAGE_TAB)
        self.assertEqual([t.name for t in tabs], TABS)
        self.assertEqual([harness.has_state(session, t, atspi.STATE_SELECTED) for t in tabs],
                         [True, False, False, False])
        send = harness.find(session, main, atspi.ROLE_PUSH_BUTTON, "Send e-mail settings")
        self.assertFalse(harness.has_state(session, send, atspi.STATE_ENABLED))
        recipients = harness.find(session, main, atspi.ROLE_TEXT, "To phone number(s):")
        self.assertEqual(harness.text_of(recipients), "")

        if session.wayland:
            return  # a headless compositor has no keyboard to walk with
        # Tab visits every control that takes the focus, and comes round.
        def key_of(node):
            return (node.getRoleName(), node.name)

        focusable = {key_of(node) for node in harness.find_all(session, main)
                     if harness.has_state(session, node, atspi.STATE_FOCUSABLE)
                     and harness.has_state(session, node, atspi.STATE_ENABLED)
                     and node.getRole() not in (atspi.ROLE_MENU_BAR, atspi.ROLE_MENU_ITEM,
                                                atspi.ROLE_PAGE_TAB)}
        start = wait_until(lambda: harness.focused(session, main), "a control with the focus")
        visited = [key_of(start)]
        def moved_from(previous):
            node = harness.focused(session, main)
            return node is not None and key_of(node) != previous and key_of(node)

        for _ in range(2 * len(focusable) + 2):
            previous = visited[-1]
            session.key("Tab")
            now = wait_until(lambda: moved_from(previous), "the focus to move on Tab")
            if now == visited[0]:
                break
            visited.append(now)
        self.assertEqual(set(visited), focusable)
        self.assertEqual(len(visited), len(focusable), f"each control once: {visited}")

        # The tab strip takes the arrow keys; the menu bar takes Alt.
        harness.click(session, tabs[0])
        session.key("Right")
        wait_until(lambda: harness.has_state(session, tabs[1], atspi.STATE_SELECTED),
                   "Right to choose the Advanced tab")
        session.key("alt")
        wait_until(lambda: harness.focused(session, main).getRole() == atspi.ROLE_MENU_BAR,
                   "Alt to focus the menu bar")


if __name__ == "__main__":
    harness.main()
