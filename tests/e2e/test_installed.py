"""The installed program, started as a desktop entry starts it: installed into
a fresh prefix, with no XDG_CONFIG_DIRS and from a folder that holds nothing of
ours. It shows its skin, reads its version from its own file in the About box,
and sends through the phone its installed settings name."""

import os
import re
import subprocess

import harness
from harness import SessionTest
from test_send import EXAMPLE, NUMBERS, outbox_messages, send_from_window


class InstalledProgram(SessionTest):
    def test_finds_its_skin_version_table_and_settings(self):
        session = self.session
        atspi = session.atspi
        prefix = os.path.join(session.root, "prefix")
        installed = subprocess.run(["cmake", "--install", harness.BUILD_DIR, "--prefix", prefix],
                                   capture_output=True, text=True, timeout=60)
        self.assertEqual(installed.returncode, 0, installed.stderr)
        phone = os.path.join(session.root, "phone")
        os.makedirs(phone)
        conf = os.path.join(prefix, "etc", "xdg", "Orvex", "Quill.conf")
        # The settings name the skin of the prefix the build was made for;
        # this installation lies elsewhere.
        with open(conf) as settings:
            lines = [f'Resource%20Path="{prefix}/share/mailvane"'
                     if line.startswith("Resource%20Path=") else line
                     for line in settings.read().splitlines()]
        with open(conf, "w") as settings:
            settings.write("\n".join(lines) + f"\n\n[Phone]\nDevice=sim:{phone}\n")

        env = dict(session.env)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.assertNotIn("XDG_CONFIG_DIRS", env)
        program = session.start_program(os.path.join(harness.SOURCE_DIR, EXAMPLE),
                                        program=os.path.join(prefix, "bin", "mailvane"), env=env)
        main = program.main_window()

        harness.choose_menu(session, main, "Help", "About Mailvane")
        about = program.window("About Mailvane")
        names = [label.name
                 for label in harness.find_all(session, about, atspi.ROLE_LABEL)]
        self.assertTrue(any(re.fullmatch(r"Mailvane\.[0-9]+\.012", n or "") for n in names), names)
        harness.press(session, harness.find(session, about, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("About Mailvane")
        harness.return_to(session, main)

        send_from_window(self, session, program, main, "; ".join(NUMBERS))
        harness.message_box(session, program, "Sending Successful", limit=30)
        self.assertEqual(sorted({number for number, _ in outbox_messages(phone)}), sorted(NUMBERS))
        self.assertNotIn("without its skin", program.output())
        self.assertNotIn("token table", program.output())


if __name__ == "__main__":
    harness.main()
