"""A whole send through a simulated phone to two numbers: the phone's outbox
holds exactly the messages mailvane-cli encodes for the same settings, PIN
and numbers, addressed to each number in turn."""

import os
import subprocess

import harness
from harness import SessionTest

EXAMPLE = "examples/imap4-gprs.txt"
NUMBERS = ["+4512345678", "+4587654321"]
PIN = "1234"


def decode_submit(pdu_hex):
    """(destination, user-data header and user data as the CLI prints them)
    of an SMS-SUBMIT PDU."""
    pdu = bytes.fromhex(pdu_hex)
    at = 1 + pdu[0]  # past the service centre address
    first = pdu[at]
    at += 2  # first octet, message reference
    digits, kind = pdu[at], pdu[at + 1]
    at += 2
    semi_octets = "".join(f"{b & 0x0F:x}{b >> 4:x}" for b in pdu[at:at + (digits + 1) // 2])
    destination = ("+" if kind == 0x91 else "") + semi_octets[:digits]
    at += (digits + 1) // 2 + 2  # address, protocol identifier, coding
    validity = (first >> 3) & 3
    at += {0: 0, 2: 1}.get(validity, 7)
    length = pdu[at]
    data = pdu[at + 1:]
    assert len(data) == length, "user data length"
    header_length = data[0] + 1 if first & 0x40 else 0
    return destination, f"{data[:header_length].hex()} {data[header_length:].hex()}"


def outbox_messages(folder):
    path = os.path.join(folder, "outbox.txt")
    if not os.path.exists(path):
        return []
    with open(path) as outbox:
        return [decode_submit(line.split()[1]) for line in outbox if line.startswith("PDU ")]


def send_from_window(test, session, program, main, recipients, dialled=None):
    """Types `recipients` (None: sends what the field holds), presses Send,
    gives the PIN, checks the Send dialog lists the numbers `dialled` (by
    default the pieces of `recipients`) and confirms."""
    atspi = session.atspi
    if recipients is not None:
        harness.fill(session, harness.find(session, main, atspi.ROLE_TEXT, "To phone number(s):"),
                     recipients)
    if dialled is None:
        dialled = [r.strip() for r in recipients.split(";")]
    send = harness.find(session, main, atspi.ROLE_PUSH_BUTTON, "Send e-mail settings")
    harness.wait_until(lambda: harness.has_state(session, send, atspi.STATE_ENABLED), "Send")
    harness.click(session, send)

    pin = program.window("Enter PIN Code")
    harness.fill(session, harness.find(session, pin, atspi.ROLE_TEXT, "Settings PIN code"), PIN)
    harness.press(session, harness.find(session, pin, atspi.ROLE_PUSH_BUTTON, "OK"))

    confirm = program.window("Send e-mail settings")
    shown = harness.text_of(harness.find(session, confirm, atspi.ROLE_TEXT, "Recipients"))
    test.assertEqual(shown.splitlines(), dialled)
    summary = harness.text_of(harness.find(session, confirm, atspi.ROLE_TEXT, "E-mail settings"))
    test.assertIn("imap.example.com", summary)
    harness.click(session, harness.find(session, confirm, atspi.ROLE_PUSH_BUTTON, "Send"))
    program.no_window("Send e-mail settings")


class SendThroughAPhone(SessionTest):
    def test_outbox_holds_what_the_cli_encodes(self):
        session = self.session
        atspi = session.atspi
        phone = os.path.join(session.root, "phone")
        os.makedirs(phone)
        program = session.start_program(EXAMPLE, phone="sim:" + phone)
        main = program.main_window()
        harness.wait_until(
            lambda: harness.text_of(harness.find(session, main, atspi.ROLE_TEXT, "Incoming server"))
            == "imap.example.com", "the example to be open")

        send_from_window(self, session, program, main, "; ".join(NUMBERS))
        box, description, texts = harness.message_box(session, program, "Sending Successful",
                                                      limit=30)
        sent = "The e-mail settings were successfully sent to the target phone(s)."
        self.assertEqual(description, sent)
        self.assertEqual(texts, [sent])
        harness.press(session, harness.find(session, box, atspi.ROLE_PUSH_BUTTON, "OK"))
        program.no_window("Sending Successful")

        encoded = subprocess.run(
            [harness.CLI, "encode", os.path.join(harness.SOURCE_DIR, EXAMPLE), "--pin", PIN,
             "--format", "messages", "--to", "; ".join(NUMBERS)],
            capture_output=True, text=True, timeout=30)
        self.assertEqual(encoded.returncode, 0, encoded.stderr)
        expected = encoded.stdout.lower().splitlines()
        messages = outbox_messages(phone)
        self.assertEqual([text for _, text in messages], expected)
        per_number = len(expected) // len(NUMBERS)
        self.assertEqual([number for number, _ in messages],
                         [n for n in NUMBERS for _ in range(per_number)])
        # The settings in the window are untouched by sending.
        recipients = harness.find(session, main, atspi.ROLE_TEXT, "To phone number(s):")
        self.assertEqual(harness.text_of(recipients), "; ".join(NUMBERS))


if __name__ == "__main__":
    harness.main()
