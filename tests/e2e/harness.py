"""Runs the window program the way a person meets it, and drives it as one.

Each Session owns a private display, a private D-Bus session bus, the
accessibility bus on top of it, and a temporary HOME with its own XDG folders.
Programs are started exactly as scripts/run starts them. Controls are found
through the accessibility tree by role and name.

The display is X11 or Wayland, chosen by MAILVANE_E2E_PLATFORM:
- "x11" (the default): Xvfb on a free display found with -displayfd; controls
  are typed into and clicked with real X input (xdotool), and the clipboard is
  read with xclip.
- "wayland": a headless Weston on a socket in the session's own runtime
  folder, with the input method it starts as desktops start theirs, and the
  program as a native Wayland client. A headless compositor has no seat, so
  nothing can type or click: the session acts through the accessibility tree
  as an assistive technology does (press actions, editable text, focus), and
  the steps that only a keyboard can take say so in the test.

Every process a session starts runs in a process group of its own and is told
to die with this interpreter; Session.close() (also reached through atexit and
on SIGTERM) ends them all, the children they spawned included.

Nothing here sleeps for a fixed time: every wait polls a condition until a
deadline and fails with what it was waiting for.
"""

import atexit
import ctypes
import os
import select
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

# Where the programs and the sources are; CTest passes them in the
# environment. Run by hand, the build is build/ of the source tree.
SOURCE_DIR = os.environ.get(
    "MAILVANE_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
BUILD_DIR = os.environ.get("MAILVANE_BUILD_DIR", os.path.join(SOURCE_DIR, "build"))
PROGRAM = os.environ.get("MAILVANE_PROGRAM", os.path.join(BUILD_DIR, "app", "mailvane"))
CLI = os.environ.get("MAILVANE_CLI", os.path.join(BUILD_DIR, "cli", "mailvane-cli"))
XDG_CONFIG = os.environ.get("MAILVANE_XDG_DIR", os.path.join(BUILD_DIR, "xdg"))

# The display the sessions of this run use: "x11" or "wayland".
PLATFORM = os.environ.get("MAILVANE_E2E_PLATFORM", "x11")
PLATFORMS = ("x11", "wayland")
# What each display needs on the machine.
TOOLS = {"x11": ("Xvfb", "xdotool", "xclip"), "wayland": ("weston",)}
# CTest's code for a test that could not run (SKIP_RETURN_CODE).
SKIPPED = 77

# The main window's name for a screen reader: the product name, without the
# seven blanks its title carries.
MAIN_TITLE = "Mailvane"

# Limits for the waits. Start-up includes the splash's two seconds.
STARTUP_LIMIT = 30.0
STEP_LIMIT = 10.0
POLL_INTERVAL = 0.03

_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36
_libc = ctypes.CDLL(None, use_errno=True)


def _own_group_and_die_with_parent():
    # A process group of its own, so that it and its children can be ended
    # together; and SIGTERM when this interpreter dies, even by SIGKILL.
    os.setsid()
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


class WaitTimeout(AssertionError):
    pass


class MissingTool(Exception):
    pass


class ProgramEnded(AssertionError):
    """The program under test is gone: no wait for it can succeed."""


def wait_until(condition, what, limit=STEP_LIMIT):
    """Polls `condition` until it returns something true, and returns that.
    Fails naming `what` when `limit` seconds pass first. Errors raised by the
    condition (an object that went away, a program still starting) count as
    not yet."""
    deadline = time.monotonic() + limit
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except ProgramEnded:
            raise
        except Exception as error:  # the tree changes under us while we look
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise WaitTimeout(f"gave up after {limit:.0f} s waiting for {what}{detail}")
        time.sleep(POLL_INTERVAL)


def _descendants(pids):
    """Every live process below `pids`, found through /proc."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry))
        except (OSError, IndexError):
            continue
    found, todo = [], list(pids)
    while todo:
        pid = todo.pop()
        for child in children.get(pid, []):
            found.append(child)
            todo.append(child)
    return found


def _command(pid):
    try:
        with open(f"/proc/{pid}/comm") as comm:
            return comm.read().strip()
    except OSError:
        return None


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


class Session:
    """One private desktop: display server, buses, HOME, and the programs run
    in it."""

    def __init__(self, platform=PLATFORM):
        if platform not in PLATFORMS:
            raise ValueError(f"MAILVANE_E2E_PLATFORM is {platform!r}, not one of {PLATFORMS}")
        missing = [tool for tool in TOOLS[platform] if shutil.which(tool) is None]
        if missing:
            raise MissingTool(f"{', '.join(missing)} (scripts/setup installs it)")
        self.platform = platform
        self.wayland = platform == "wayland"
        self._processes = []
        self._closed = False
        self.root = tempfile.mkdtemp(prefix="mailvane-e2e-")
        self.home = self._folder("home")
        self.runtime = self._folder("runtime")
        os.chmod(self.runtime, 0o700)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "USER": os.environ.get("USER", "tester"),
            "LANG": "C.UTF-8",
            "XDG_CONFIG_HOME": self._folder("home/.config"),
            "XDG_DATA_HOME": self._folder("home/.local/share"),
            "XDG_CACHE_HOME": self._folder("home/.cache"),
            "XDG_STATE_HOME": self._folder("home/.local/state"),
            "XDG_RUNTIME_DIR": self.runtime,
        }
        # A sanitizer build's settings go with it.
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        # What our children leave behind when they end becomes ours, so that
        # close() finds it and nothing is left to the machine's init.
        _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1)
        atexit.register(self.close)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
        try:
            if self.wayland:
                self._start_weston()
            else:
                self._start_x()
            self._start_session_bus()
            self._start_accessibility_bus()
        except BaseException:
            self.close()
            raise
        self._atspi = None

    def _folder(self, name):
        path = os.path.join(self.root, name)
        os.makedirs(path, exist_ok=True)
        return path

    # -- processes ----------------------------------------------------------

    def spawn(self, argv, env=None, cwd=None, log=None, pass_fds=(), stdin=subprocess.DEVNULL):
        """Starts a process that the session ends on close. Its output goes to
        `log` (a name under the session folder)."""
        log_path = os.path.join(self.root, (log or os.path.basename(argv[0])) + ".log")
        log_file = open(log_path, "ab")
        process = subprocess.Popen(
            argv, env=env if env is not None else self.env, cwd=cwd or self.root,
            stdin=stdin, stdout=log_file, stderr=log_file, pass_fds=pass_fds,
            preexec_fn=_own_group_and_die_with_parent)
        log_file.close()
        process.log_path = log_path
        self._processes.append(process)
        return process

    def _read_line_from(self, fd, what, limit=STARTUP_LIMIT):
        data = b""
        deadline = time.monotonic() + limit
        while not data.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise WaitTimeout(f"gave up waiting for {what}")
            ready, _, _ = select.select([fd], [], [], remaining)
            if ready:
                chunk = os.read(fd, 256)
                if not chunk:
                    raise RuntimeError(f"{what}: the process ended first")
                data += chunk
        return data.decode().strip()

    def _start_x(self):
        read_end, write_end = os.pipe()
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                        "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), log="Xvfb")
            os.close(write_end)
            write_end = None
            self.display = ":" + self._read_line_from(read_end, "Xvfb's display number")
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.env["DISPLAY"] = self.display

    def _start_weston(self):
        # The socket lives in the session's own runtime folder, so its name
        # cannot meet another suite's. The default configuration starts the
        # shell and the input method, as a desktop session does.
        self.wayland_display = "wayland-e2e"
        weston = self.spawn(["weston", "--backend=headless-backend.so", "--no-config",
                             f"--socket={self.wayland_display}", "--width=1280", "--height=1024",
                             "--idle-time=0"], log="weston")
        socket = os.path.join(self.runtime, self.wayland_display)

        def ready():
            if weston.poll() is not None:
                raise AssertionError("Weston ended:\n" + self.output_of(weston))
            if not stat.S_ISSOCK(os.stat(socket).st_mode):
                return False
            return any(_command(pid) == "weston-keyboard" for pid in _descendants([weston.pid]))
        wait_until(ready, "Weston's socket and its input method", STARTUP_LIMIT)
        self.env["WAYLAND_DISPLAY"] = self.wayland_display
        self.display = None

    def _start_session_bus(self):
        read_end, write_end = os.pipe()
        try:
            self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                        f"--print-address={write_end}"], pass_fds=(write_end,), log="dbus-session")
            os.close(write_end)
            write_end = None
            self.bus = self._read_line_from(read_end, "the session bus address")
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus

    def _start_accessibility_bus(self):
        # As in a desktop session, the session bus starts the accessibility
        # bus (and that its registry) the first time someone asks for it.
        def address():
            out = subprocess.run(
                ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                env=self.env, capture_output=True, text=True, timeout=STEP_LIMIT)
            return out.returncode == 0 and out.stdout.strip()
        self.a11y_bus = wait_until(address, "the accessibility bus", STARTUP_LIMIT)

    def close(self):
        if self._closed:
            return
        self._closed = True
        pids = [p.pid for p in self._processes]
        everyone = pids + _descendants(pids)
        for process in reversed(self._processes):
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except (ProcessLookupError, PermissionError):
                pass
        for pid in everyone:
            try:
                os.kill(pid, signal.SIGTERM)
            except (ProcessLookupError, PermissionError):
                pass
        deadline = time.monotonic() + 5
        for process in self._processes:
            try:
                process.wait(max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                pass
        for pid in everyone:
            if _alive(pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except (ProcessLookupError, PermissionError):
                    pass
        for process in self._processes:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                pass
        # Reap the orphans that came to us.
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            try:
                pid, _ = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                break
            if pid == 0:
                if not any(_alive(p) for p in everyone):
                    break
                time.sleep(POLL_INTERVAL)
        if os.environ.get("MAILVANE_E2E_KEEP"):
            print(f"kept {self.root}", file=sys.stderr)
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    # -- the program -----------------------------------------------------

    def program_env(self, phone=None, extra=None):
        """The environment scripts/run gives the program in this session."""
        env = dict(self.env)
        env["XDG_CONFIG_DIRS"] = XDG_CONFIG
        env["QT_QPA_PLATFORM"] = "wayland" if self.wayland else "xcb"
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        if phone is not None:
            env["MAILVANE_PHONE"] = phone
        env.update(extra or {})
        return env

    def start_program(self, *args, phone=None, program=None, env=None, cwd=None, log="mailvane"):
        """Starts the window program as scripts/run does: from the source
        tree, with the build's program settings. Each call starts another
        process in the same session, so a test can start the program a second
        time (a FILE while one runs) and watch what both do; each is a
        Program. `program` and `env` start another program file (an installed
        one) in an environment of the test's making; `cwd` starts it from
        another folder than the source tree, as a file manager would."""
        process = self.spawn([program or PROGRAM, *args],
                             env=env if env is not None else self.program_env(phone),
                             cwd=cwd or SOURCE_DIR, log=log)
        return Program(self, process)

    def output_of(self, process):
        with open(process.log_path, "rb") as log:
            return log.read().decode(errors="replace")

    def logs(self):
        """Everything the session's processes wrote, for a failure report."""
        parts = []
        for process in self._processes:
            text = self.output_of(process).strip()
            if text:
                parts.append(f"--- {os.path.basename(process.log_path)} ---\n{text}")
        return "\n".join(parts)

    # -- accessibility ----------------------------------------------------

    @property
    def atspi(self):
        """pyatspi, speaking to this session's buses. Imported on first use:
        the library settles on its bus when it loads."""
        if self._atspi is None:
            if self.display:
                os.environ["DISPLAY"] = self.display
            else:
                os.environ.pop("DISPLAY", None)
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.bus
            os.environ["AT_SPI_BUS_ADDRESS"] = self.a11y_bus
            import pyatspi
            # Calls into a program that is busy must not hang the test.
            pyatspi.setTimeout(int(STEP_LIMIT * 1000), int(STARTUP_LIMIT * 1000))
            self._atspi = pyatspi
        return self._atspi

    # -- X input and the clipboard ---------------------------------------

    def xdotool(self, *args):
        if self.wayland:
            raise AssertionError("no keyboard or pointer on a headless Weston: "
                                 "act through the accessibility tree")
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=STEP_LIMIT,
                       capture_output=True)

    def type_text(self, text):
        self.xdotool("type", "--delay", "8", "--", text)

    def key(self, *keys):
        self.xdotool("key", "--delay", "20", "--", *keys)

    def click_at(self, x, y, button=1):
        self.xdotool("mousemove", str(x), str(y), "click", str(button))

    def clipboard(self, selection="clipboard"):
        """The text the X selection holds now, or None when nobody owns it."""
        out = subprocess.run(["xclip", "-selection", selection, "-o"], env=self.env,
                             capture_output=True, timeout=STEP_LIMIT)
        return out.stdout.decode() if out.returncode == 0 else None

    def own_clipboard(self, text, selection="clipboard"):
        """Puts `text` on the X selection, owned by a helper process that
        serves it until the session ends or someone else takes it."""
        xclip = self.spawn(["xclip", "-quiet", "-selection", selection, "-i"],
                           log=f"xclip-{selection}", stdin=subprocess.PIPE)
        xclip.stdin.write(text.encode())
        xclip.stdin.close()
        wait_until(lambda: self.clipboard(selection) == text, f"{selection} to hold {text!r}")


class Program:
    """One running instance of the window program, seen through AT-SPI."""

    def __init__(self, session, process):
        self.session = session
        self.process = process
        self._app = None

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def output(self):
        return self.session.output_of(self.process)

    def wait_exit(self, limit=STEP_LIMIT):
        try:
            return self.process.wait(limit)
        except subprocess.TimeoutExpired:
            raise WaitTimeout(f"gave up after {limit:.0f} s waiting for the program to end")

    def application(self, limit=STARTUP_LIMIT):
        """The program's application object in the accessibility tree."""
        if self._app is None:
            atspi = self.session.atspi

            def find():
                self.check_running()
                desktop = atspi.Registry.getDesktop(0)
                for app in desktop:
                    if app is not None and app.get_process_id() == self.pid:
                        return app
                return None
            self._app = wait_until(find, "the program to appear on the accessibility bus", limit)
            # What we read must be what the program shows now, not a cache.
            self._app.setCacheMask(atspi.cache.NONE)
        return self._app

    def check_running(self):
        if not self.running():
            raise ProgramEnded(f"the program ended with status {self.process.returncode}:\n"
                               + self.output())

    def windows(self):
        """The program's showing top-level windows."""
        self.check_running()
        app = self.application()
        found = []
        for window in app:
            if window is not None and is_showing(self.session, window):
                found.append(window)
        return found

    def main_window(self):
        """Waits for the main window, through the splash."""
        return self.window(MAIN_TITLE, role=self.session.atspi.ROLE_DIALOG, limit=STARTUP_LIMIT)

    def window(self, name, role=None, limit=STEP_LIMIT):
        """Waits for a showing top-level window called `name`."""
        atspi = self.session.atspi

        def find():
            for window in self.windows():
                if window.name == name and (role is None or window.getRole() == role):
                    return window
            return None
        return wait_until(find, f"a window named {name!r}", limit)

    def no_window(self, name, limit=STEP_LIMIT):
        wait_until(lambda: all(w.name != name for w in self.windows()),
                   f"the window {name!r} to close", limit)


# -- the accessibility tree ---------------------------------------------------

def is_main_window(session, window):
    """The splash carries the product's name too; the main window is a dialog."""
    return window.name == MAIN_TITLE and window.getRole() == session.atspi.ROLE_DIALOG


def is_showing(session, node):
    atspi = session.atspi
    return node.getState().contains(atspi.STATE_SHOWING)


def descendants(node):
    """Every node below `node`, depth first, in the order of the children."""
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def find_all(session, root, role=None, name=None, showing=True):
    """The nodes below `root` of `role` called `name` (None: any). With
    `showing`, only what is on the screen, and hidden parts are not entered."""
    found = []

    def walk(node):
        for index in range(node.childCount):
            child = node.getChildAtIndex(index)
            if child is None or (showing and not is_showing(session, child)):
                continue
            if (role is None or child.getRole() == role) and (name is None or child.name == name):
                found.append(child)
            walk(child)
    walk(root)
    return found


def find(session, root, role, name, limit=STEP_LIMIT):
    """Waits for exactly one showing node of `role` called `name` below `root`."""
    def one():
        nodes = find_all(session, root, role, name)
        if len(nodes) > 1:
            raise AssertionError(f"{len(nodes)} nodes named {name!r}")
        return nodes[0] if nodes else None
    return wait_until(one, f"a {role_name(session, role)} named {name!r}", limit)


def role_name(session, role):
    return session.atspi.Atspi.role_get_name(role)


def text_of(node):
    text = node.queryText()
    return text.getText(0, -1)


def centre(session, node):
    extents = node.queryComponent().getExtents(session.atspi.DESKTOP_COORDS)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def click(session, node, button=1):
    """Clicks `node`. On Wayland it is pressed (a button, a tab, a menu item)
    or given the focus (a field) through the accessibility tree."""
    if session.wayland:
        atspi = session.atspi
        if node.getRole() in (atspi.ROLE_TEXT, atspi.ROLE_PASSWORD_TEXT, atspi.ROLE_LABEL):
            node.queryComponent().grabFocus()
        else:
            press(session, node)
        return
    x, y = centre(session, node)
    session.click_at(x, y, button)


def has_state(session, node, state):
    return node.getState().contains(state)


def press(session, node):
    """Presses a control through its accessibility action, as an assistive
    technology would."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click", "toggle"):
            action.doAction(i)
            return
    raise AssertionError(f"{node.name!r} offers no press action")


def focused(session, root):
    """The showing node below `root` that has the keyboard focus, or None."""
    atspi = session.atspi
    for node in descendants(root):
        state = node.getState()
        if state.contains(atspi.STATE_FOCUSED) and state.contains(atspi.STATE_SHOWING):
            return node
    return None


def content_length(node):
    return node.queryText().characterCount


def fill(session, field, text):
    """Clicks into `field`, replaces what it holds by typing `text`, and waits
    until the program has taken every key. A masked field shows only how
    many characters it holds."""
    atspi = session.atspi
    click(session, field)
    if session.wayland:
        # The focus stays inside a window that no seat has made active.
        field.queryEditableText().setTextContents(text)
    else:
        wait_until(lambda: has_state(session, field, atspi.STATE_FOCUSED),
                   f"{field.name!r} to take the focus")
        session.key("ctrl+a")
        session.type_text(text)
    if field.getRole() == atspi.ROLE_PASSWORD_TEXT:
        wait_until(lambda: content_length(field) == len(text), f"{len(text)} characters in {field.name!r}")
    else:
        wait_until(lambda: text_of(field) == text, f"{field.name!r} to read {text!r}")


def erase(session, field, count=None):
    """Erases the last `count` characters of `field` (None: all of them), as
    BackSpace does, and waits until they are gone."""
    length = content_length(field)
    keep = 0 if count is None else length - count
    if session.wayland:
        field.queryEditableText().deleteText(keep, length)
    else:
        click(session, field)
        session.key("End")
        session.key(*["BackSpace"] * (length - keep))
    wait_until(lambda: content_length(field) == keep, f"{field.name!r} to hold {keep} characters")


def command(session, window, keys, menu, item):
    """Gives a menu command by its shortcut `keys`, or on Wayland, where no
    key can be pressed, through the item `item` of `menu` in the menu bar
    (which need not be open: the accessibility tree holds it all along)."""
    if not session.wayland:
        session.key(keys)
        return
    atspi = session.atspi
    bar = find_all(session, window, atspi.ROLE_MENU_ITEM, menu)
    if len(bar) != 1:
        raise AssertionError(f"{len(bar)} menus named {menu!r}")
    items = find_all(session, bar[0], atspi.ROLE_MENU_ITEM, item, showing=False)
    if len(items) != 1:
        raise AssertionError(f"{len(items)} items named {item!r} in {menu!r}")
    # A menu item's action runs the command before it answers, and a command
    # that opens a dialog answers only once the dialog has closed: the request
    # goes from a process of its own that waits for no answer.
    node = items[0]
    subprocess.run(["dbus-send", f"--bus={session.a11y_bus}", f"--dest={node.app.bus_name}",
                    "--type=method_call", node.path, "org.a11y.atspi.Action.DoAction", "int32:0"],
                   env=session.env, check=True, timeout=STEP_LIMIT, capture_output=True)


def return_to(session, window):
    """Gives `window` the keyboard back with a click on its first label.
    The X server runs no window manager, and it is a window manager that
    hands the focus back to the main window when a dialog closes; a person
    whose desktop did not would click the window too. On Wayland no seat
    gives any window the keyboard: nothing to do."""
    if session.wayland:
        return
    atspi = session.atspi
    click(session, find_all(session, window, atspi.ROLE_LABEL)[0])
    wait_until(lambda: has_state(session, window, atspi.STATE_ACTIVE), f"{window.name!r} to be active")


def choose_tab(session, window, name):
    """Clicks the page tab `name` and waits until it is the selected one."""
    atspi = session.atspi
    tab = find(session, window, atspi.ROLE_PAGE_TAB, name)
    click(session, tab)
    wait_until(lambda: has_state(session, tab, atspi.STATE_SELECTED), f"the tab {name!r} to be selected")
    return tab


def choose_menu(session, window, menu, item):
    """Opens `menu` of the menu bar with a click and clicks `item` in it."""
    atspi = session.atspi
    click(session, find(session, window, atspi.ROLE_MENU_ITEM, menu))
    click(session, find(session, window, atspi.ROLE_MENU_ITEM, item))


def answer_file_dialog(session, program, title, path):
    """In the open file dialog titled `title`, types `path` as the file name
    and confirms with Enter (on Wayland: presses the button named by the
    title's first word, Save or Open); waits until the dialog has closed."""
    atspi = session.atspi
    dialog = program.window(title)
    name = find(session, dialog, atspi.ROLE_TEXT, "File name:")
    if session.wayland:
        # Given whole, the path of a file that exists takes the dialog to its
        # folder and leaves the file's name in the field.
        name.queryEditableText().setTextContents(path)
        press(session, find(session, dialog, atspi.ROLE_PUSH_BUTTON, title.split()[0]))
        program.no_window(title)
        return
    fill(session, name, path)
    # Where the folder holds a name that starts with what was typed, the
    # dialog offers it in a completion list, and the first Enter only takes
    # the completion; a person presses Enter again.
    for _ in range(3):
        session.key("Return")
        try:
            program.no_window(title, limit=2)
            return
        except WaitTimeout:
            if text_of(name) != path:
                raise
    program.no_window(title)


def message_box(session, program, caption, limit=STEP_LIMIT):
    """Waits for the message box `caption` and returns (box, its text as its
    description gives it, its text as its static text gives it)."""
    atspi = session.atspi
    box = program.window(caption, limit=limit)
    labels = find_all(session, box, atspi.ROLE_LABEL)
    return box, box.description, [label.name for label in labels]


class SessionTest(unittest.TestCase):
    """A test case with a fresh session; on failure the programs' output is
    shown."""

    def setUp(self):
        try:
            self.session = Session()
        except MissingTool as missing:
            # CI installs every tool: there a missing one is a failure.
            if os.environ.get("CI") == "true":
                self.fail(f"{PLATFORM}: {missing} is missing")
            self.skipTest(f"{PLATFORM}: {missing} is missing")
        self.addCleanup(self.session.close)

    def tearDown(self):
        result = getattr(getattr(self, "_outcome", None), "result", None)
        problems = (result.failures + result.errors) if result else []
        if any(test is self for test, _ in problems):
            print("\n" + self.session.logs(), file=sys.stderr)


def main():
    """Runs the test file's cases. pyatspi's bindings warn about the
    deprecated calls it makes itself; those warnings are not ours to show.
    A run whose every case was skipped ends with SKIPPED, so that CTest shows
    it as not run rather than passed."""
    program = unittest.main(warnings="ignore", exit=False)
    result = program.result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.testsRun and len(result.skipped) == result.testsRun:
        sys.exit(SKIPPED)
    sys.exit(0)
