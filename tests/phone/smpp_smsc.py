#!/usr/bin/env python3
"""An SMS centre that speaks just enough SMPP 3.4 for a gateway's tests.

It takes binds (transmitter, receiver, transceiver) without checking the
password, answers enquire_link and unbind, and acknowledges each submit_sm
with a message id. When the submit asked for a receipt (registered_delivery),
a deliver_sm receipt follows, chosen by the destination number's last digit:

    ...1  undeliverable (stat:UNDELIV, message_state 5)
    ...2  no receipt at all
    else  delivered (stat:DELIVRD, message_state 2)

Each submit is logged on stdout as "submit ID TO", each receipt as
"receipt ID STAT". Usage: smpp_smsc.py PORT [DELAY_SECONDS]
"""

import socket
import struct
import sys
import threading
import time

BIND_RECEIVER = 0x00000001
BIND_TRANSMITTER = 0x00000002
SUBMIT_SM = 0x00000004
DELIVER_SM = 0x00000005
UNBIND = 0x00000006
BIND_TRANSCEIVER = 0x00000009
ENQUIRE_LINK = 0x00000015
GENERIC_NACK = 0x80000000
RESPONSE = 0x80000000

ESME_RINVCMDID = 0x00000003
ESM_CLASS_RECEIPT = 0x04
TAG_RECEIPTED_MESSAGE_ID = 0x001E
TAG_MESSAGE_STATE = 0x0427
STATE_DELIVERED = 2
STATE_UNDELIVERABLE = 5
HEADER = struct.Struct(">IIII")
LOG_LOCK = threading.Lock()


def log(*words):
    # print() writes the words and the line end apart: lines from the session
    # and its receipt threads would run into each other and miscount.
    with LOG_LOCK:
        sys.stdout.write(" ".join(str(word) for word in words) + "\n")
        sys.stdout.flush()


def c_string(body, at):
    end = body.index(b"\0", at)
    return body[at:end], end + 1


def read_exactly(sock, count):
    data = b""
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            raise ConnectionError("closed")
        data += chunk
    return data


class Session:
    def __init__(self, sock, ids, delay):
        self.sock = sock
        self.ids = ids
        self.delay = delay
        self.write_lock = threading.Lock()
        self.sequence = 0x10000

    def send(self, command, status, sequence, body=b""):
        pdu = HEADER.pack(HEADER.size + len(body), command, status, sequence) + body
        with self.write_lock:
            self.sock.sendall(pdu)

    def next_sequence(self):
        with self.write_lock:
            self.sequence += 1
            return self.sequence

    def receipt(self, message_id, source, destination, delivered):
        if self.delay:
            time.sleep(self.delay)
        stat = b"DELIVRD" if delivered else b"UNDELIV"
        now = time.strftime("%y%m%d%H%M").encode()
        text = (b"id:" + message_id + b" sub:001 dlvrd:" + (b"001" if delivered else b"000") +
                b" submit date:" + now + b" done date:" + now + b" stat:" + stat +
                b" err:" + (b"000" if delivered else b"001") + b" text:")
        state = STATE_DELIVERED if delivered else STATE_UNDELIVERABLE
        # The receipt goes from the phone back to the sender.
        body = (b"\0" + b"\1\1" + destination + b"\0" + b"\1\1" + source + b"\0" +
                bytes([ESM_CLASS_RECEIPT, 0, 0]) + b"\0" + b"\0" + bytes([0, 0, 0, 0]) +
                bytes([len(text)]) + text +
                struct.pack(">HH", TAG_RECEIPTED_MESSAGE_ID, len(message_id) + 1) +
                message_id + b"\0" + struct.pack(">HHB", TAG_MESSAGE_STATE, 1, state))
        try:
            self.send(DELIVER_SM, 0, self.next_sequence(), body)
        except OSError:
            return
        log("receipt", message_id.decode(), stat.decode())

    def submit(self, sequence, body):
        _, at = c_string(body, 0)            # service_type
        at += 2                              # source ton, npi
        source, at = c_string(body, at)
        at += 2                              # destination ton, npi
        destination, at = c_string(body, at)
        at += 3                              # esm_class, protocol_id, priority_flag
        _, at = c_string(body, at)           # schedule_delivery_time
        _, at = c_string(body, at)           # validity_period
        registered_delivery = body[at]
        message_id = self.ids()
        self.send(SUBMIT_SM | RESPONSE, 0, sequence, message_id + b"\0")
        log("submit", message_id.decode(), destination.decode())
        last = destination[-1:]
        if registered_delivery & 0x03 and last != b"2":
            threading.Thread(target=self.receipt, daemon=True,
                             args=(message_id, source, destination, last != b"1")).start()

    def run(self):
        try:
            while True:
                length, command, _, sequence = HEADER.unpack(read_exactly(self.sock, HEADER.size))
                body = read_exactly(self.sock, length - HEADER.size)
                if command in (BIND_RECEIVER, BIND_TRANSMITTER, BIND_TRANSCEIVER):
                    self.send(command | RESPONSE, 0, sequence, b"simsmsc\0")
                elif command == SUBMIT_SM:
                    self.submit(sequence, body)
                elif command == ENQUIRE_LINK:
                    self.send(ENQUIRE_LINK | RESPONSE, 0, sequence)
                elif command == UNBIND:
                    self.send(UNBIND | RESPONSE, 0, sequence)
                    return
                elif command & RESPONSE:
                    continue                 # deliver_sm_resp and the like
                else:
                    self.send(GENERIC_NACK, ESME_RINVCMDID, sequence)
        except (ConnectionError, OSError, ValueError, IndexError):
            return
        finally:
            self.sock.close()


def main():
    port = int(sys.argv[1])
    delay = float(sys.argv[2]) if len(sys.argv) > 2 else 0.0
    counter = iter(range(1, 1 << 62))
    counter_lock = threading.Lock()

    def ids():
        with counter_lock:
            # Digits only, so that any number base the gateway assumes reads it alike.
            return str(next(counter)).encode()

    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(8)
    log("listening", port)
    while True:
        sock, _ = server.accept()
        threading.Thread(target=Session(sock, ids, delay).run, daemon=True).start()


if __name__ == "__main__":
    main()
