"""A private X desktop running the real organizer, driven as a person would.

Each Desktop owns an Xvfb display, optionally a window manager, and one
organizer process with its own home, data and configuration folders. Controls
are found through the accessibility tree, input goes through the X server's
test extension (xdotool), and results are read back from the screen and from
organizer.db with the sqlite3 shell, never through the program's own reader.

The module expects a session D-Bus (the runner starts one per test file).
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import pyatspi

EXE = os.environ.get("ORGANIZER_EXE", "")
SCHEMA = os.environ.get("ORGANIZER_SCHEMA", "")
ROOT_SIZE = (1280, 1024)

# Accessibility events are not needed; polling the tree is simpler and does
# not depend on which signals a toolkit sends.
POLL = 0.1


class Timeout(AssertionError):
    pass


def wait_for(what, probe, timeout=10.0):
    """Polls probe() until it returns something true; that value is returned."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except Exception:  # the tree changes under us while windows come and go
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


def time_zone_at(clock):
    """A POSIX TZ under which local time is now the given "HH:MM" or "HH:MM:SS" (no daylight saving)."""
    parts = [int(part) for part in clock.split(":")] + [0]
    wanted = parts[0] * 3600 + parts[1] * 60 + parts[2]
    now = time.gmtime()
    offset = (wanted - (now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec)) % 86400
    if offset > 43200:
        offset -= 86400
    sign = "-" if offset >= 0 else "+"  # POSIX counts zones west of UTC as positive
    offset = abs(offset)
    return f"ZZZ{sign}{offset // 3600:02d}:{offset // 60 % 60:02d}:{offset % 60:02d}"


def day_number(date):
    """A local date (a datetime.date) as the database's day number (days since 30 December 1899)."""
    return date.toordinal() - 693594


def today_day_number():
    """Today as the database's day number (days since 30 December 1899, local time)."""
    now = time.localtime()
    return int((time.mktime((now.tm_year, now.tm_mon, now.tm_mday, 12, 0, 0, 0, 0, -1)) -
                time.timezone) // 86400) + 25569


def minutes_from_now(minutes):
    """The day number and time-of-day fraction of a local moment some whole minutes ahead."""
    moment = time.localtime(time.time() + minutes * 60)
    day = int((time.mktime((moment.tm_year, moment.tm_mon, moment.tm_mday, 12, 0, 0, 0, 0, -1)) -
               time.timezone) // 86400) + 25569
    return day, (moment.tm_hour * 60 + moment.tm_min) / 1440.0


class Desktop:
    def __init__(self, window_manager=True, env=None, settings=None):
        if not EXE or not os.access(EXE, os.X_OK):
            raise RuntimeError("ORGANIZER_EXE does not name the organizer executable")
        self.window_manager = window_manager
        self.extra_env = env or {}
        self.processes = []
        self.home = tempfile.mkdtemp(prefix="organizer-e2e-")
        self.data = os.path.join(self.home, "data")
        self.config = os.path.join(self.home, "config")
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.db = os.path.join(self.data, "Tavrin", "Orvale Organizer", "organizer.db")
        self.display = None
        self.organizer = None
        self.app = None
        self._create_database(settings or {})

    # ----- set-up and clean-up -------------------------------------------

    def _create_database(self, settings):
        os.makedirs(os.path.dirname(self.db))
        with open(SCHEMA, encoding="utf-8") as schema:
            subprocess.run(["sqlite3", self.db], input=schema.read(), text=True, check=True)
        # A known install id: the first-run page would otherwise open a browser.
        values = {"install_id": 4242}
        values.update(settings)
        self.sql("UPDATE settings SET " + ", ".join(f"{k} = {v}" for k, v in values.items()))

    def _spawn(self, args, env=None, **kwargs):
        process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def start(self):
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % ROOT_SIZE,
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        if self.window_manager:
            self._spawn(["openbox", "--sm-disable"], env=self._env(), stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
            wait_for("the window manager", lambda: "window id" in self._root_property("_NET_SUPPORTING_WM_CHECK"))
        return self.launch()

    def launch(self, args=()):
        self.organizer = self._spawn_organizer(args)
        try:
            self.app = wait_for("the organizer in the accessibility tree", self._find_app, timeout=20)
            self.main = wait_for("the main window", lambda: self.window("Orvale Organizer"))
            # The window shows before its first page is filled; setting the page
            # up fills the list and names its order in the "Sort by:" box at once.
            wait_for("the first page filled", lambda: self.text_of(self.find("combo box", showing=False)))
        except Timeout as timeout:
            state = "running" if self.running() else f"ended with {self.organizer.returncode}"
            raise Timeout(f"{timeout}; the organizer is {state}; it printed:\n{self.output()}") from None
        return self

    def program_env(self):
        """The organizer's environment: this desktop's display and its private folders."""
        env = self._env()
        env.update({
            "HOME": self.home,
            "XDG_DATA_HOME": self.data,
            "XDG_CONFIG_HOME": self.config,
            "XDG_RUNTIME_DIR": self.runtime,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        })
        env.update(self.extra_env)
        return env

    def _spawn_organizer(self, args):
        """Starts the organizer with its own folders, without waiting for it."""
        if getattr(self, "log", None):
            self.log.close()  # a relaunch starts a fresh log
        self.log = open(os.path.join(self.home, "organizer.log"), "w")
        return self._spawn([EXE, *args], env=self.program_env(), stdout=self.log, stderr=subprocess.STDOUT)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes.clear()
        if getattr(self, "log", None):
            self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)

    def output(self):
        """What the organizer printed so far, for failure messages."""
        self.log.flush()
        with open(self.log.name, encoding="utf-8", errors="replace") as log:
            return log.read()

    def _env(self):
        env = dict(os.environ)
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def _root_property(self, name):
        return subprocess.run(["xprop", "-root", name], env=self._env(), capture_output=True, text=True).stdout

    # ----- the accessibility tree ----------------------------------------

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            # A desktop theme may load a second toolkit that registers the same
            # process under another name; the organizer's own entry has its name.
            if app is not None and app.get_process_id() == self.organizer.pid and app.name == "Orvale Organizer":
                return app
        return None

    def windows(self):
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]

    def window(self, name):
        for window in self.windows():
            if window is not None and window.name == name and self.is_showing(window):
                return window
        return None

    def wait_window(self, name, timeout=10):
        return wait_for(f"a window named {name!r}", lambda: self.window(name), timeout)

    def wait_message(self, text, timeout=10):
        """The program's message window showing this text; looked for in one go, since a
        notice closes itself after a moment."""
        def probe():
            window = self.window("Organizer Alert!")
            return window if window is not None and pyatspi.findDescendant(
                window, lambda a: a is not None and a.getRoleName() == "label" and a.name == text) else None
        return wait_for(f"the message {text!r}", probe, timeout)

    def wait_no_window(self, name, timeout=10):
        wait_for(f"the window {name!r} to close", lambda: self.window(name) is None, timeout)

    @staticmethod
    def is_showing(acc):
        return acc.getState().contains(pyatspi.STATE_SHOWING)

    @staticmethod
    def has_focus(acc):
        return acc.getState().contains(pyatspi.STATE_FOCUSED)

    def find(self, role, name=None, within=None, timeout=10, showing=True):
        """The first control of a role (and name) inside a window, waiting until it is there."""
        def probe():
            root = within or self.main
            return pyatspi.findDescendant(
                root, lambda acc: acc is not None and acc.getRoleName() == role and
                (name is None or acc.name == name) and (not showing or self.is_showing(acc)))
        return wait_for(f"a {role} named {name!r}", probe, timeout)

    def find_all(self, role, within=None):
        return pyatspi.findAllDescendants(within or self.main, lambda acc: acc is not None and
                                          acc.getRoleName() == role)

    @staticmethod
    def text_of(acc):
        """The text of an edit field, or of the first one inside a control (an editable combo box)."""
        field = acc if acc.getRoleName() == "text" else pyatspi.findDescendant(
            acc, lambda a: a is not None and a.getRoleName() == "text")
        text = field.queryText()
        return text.getText(0, text.characterCount)

    @staticmethod
    def extents(acc):
        box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def centre(self, acc):
        x, y, w, h = self.extents(acc)
        return x + w // 2, y + h // 2

    def shown_columns(self, table):
        """The columns of a list a person sees, left to right, with their captions: [(column, caption)].
        Told by the first row, where a hidden column's cell has no width; every column without rows."""
        cells = table.queryTable()
        headers = self.find_all("table column header", within=table)
        caption = lambda c: headers[c].name if c < len(headers) else ""
        if cells.nRows == 0:
            return [(c, caption(c)) for c in range(cells.nColumns)]
        placed = [(self.extents(cells.getAccessibleAt(0, c)), c) for c in range(cells.nColumns)]
        return [(c, caption(c)) for (x, _, width, _), c in sorted(placed) if width > 0]

    def table_rows(self, table):
        """Every row of a list, as lists of the shown cells' texts read through the accessibility tree."""
        cells = table.queryTable()
        columns = [c for c, _ in self.shown_columns(table)]
        return [[cells.getAccessibleAt(r, c).name for c in columns] for r in range(cells.nRows)]

    # ----- real input ----------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self._env(), check=True)

    def click(self, acc, button=1, repeat=1):
        x, y = self.centre(acc)
        self.click_at(x, y, button, repeat)

    def click_at(self, x, y, button=1, repeat=1):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", "--repeat", repeat, "--delay", 80, button)

    def open_list(self, combo):
        """Clicks the arrow of a drop-down list, as a person opens it."""
        x, y, w, h = self.extents(combo)
        self.click_at(x + w - 8, y + h // 2)

    def key(self, *keys):
        for key in keys:
            self.xdotool("key", "--delay", 40, key)

    def type(self, text):
        self.xdotool("type", "--delay", 30, text)

    def window_at(self, x, y):
        """The top-level X window under a point of the screen."""
        self.xdotool("mousemove", "--sync", x, y)
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self._env(), capture_output=True,
                             text=True, check=True).stdout
        return int(dict(line.split("=", 1) for line in out.split())["WINDOW"])

    def x_windows(self, name):
        """Ids of the visible X windows with this title."""
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"], env=self._env(),
                             capture_output=True, text=True).stdout
        return [int(line) for line in out.split()]

    def grab(self, acc):
        """The RGB bytes of the screen under a control."""
        x, y, w, h = self.extents(acc)
        return subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "rgb:-"],
                              env=self._env(), capture_output=True, check=True).stdout

    def screenshot_rgb(self, path):
        """The whole screen as raw RGB bytes in a file."""
        subprocess.run(["import", "-window", "root", "-depth", "8", f"rgb:{path}"], env=self._env(), check=True)

    @staticmethod
    def read_rgb(path):
        """A pixel reader over a screen saved by screenshot_rgb."""
        with open(path, "rb") as raw:
            data = raw.read()
        width = ROOT_SIZE[0]
        return lambda x, y: data[(y * width + x) * 3:(y * width + x) * 3 + 3]

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self._env(), check=True)

    # ----- the database --------------------------------------------------

    def sql(self, statement):
        """Rows of a statement run by the sqlite3 shell, as lists of strings. A read that meets the
        organizer's write (a sync storing its batch) waits for it instead of failing."""
        out = subprocess.run(["sqlite3", "-batch", "-cmd", ".timeout 10000", "-separator", "\x1f", "-newline", "\x1e",
                              self.db, statement],
                             capture_output=True, text=True, check=True).stdout
        return [row.split("\x1f") for row in out.split("\x1e") if row]

    def run_program(self, args=(), env=None, timeout=30):
        """Runs another organizer process to its end (a second start, an option): exit code and output."""
        result = subprocess.run([EXE, *args], env=env or self.program_env(), stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=timeout)
        return result.returncode, result.stdout + result.stderr

    def running(self):
        return self.organizer is not None and self.organizer.poll() is None


class DesktopTest(unittest.TestCase):
    """A test case with one fresh desktop per test; set WINDOW_MANAGER, ENV, SETTINGS to vary it.

    LOCAL_TIME ("HH:MM" or "HH:MM:SS") runs the test and the organizer in a time zone where that is
    the local time when the test starts: for a test that types times relative to now, or that
    crosses midnight on purpose, whenever it runs."""

    WINDOW_MANAGER = True
    ENV = None
    SETTINGS = None
    LOCAL_TIME = None

    def setUp(self):
        if self.LOCAL_TIME:
            self.use_time_zone(time_zone_at(self.LOCAL_TIME))
        self.desk = Desktop(self.WINDOW_MANAGER, self.ENV, self.prepare_settings())
        self.addCleanup(self.desk.stop)
        self.prepare(self.desk)
        self.desk.start()

    def use_time_zone(self, zone):
        """This test and every program it starts (they inherit the environment) keep this TZ."""
        before = os.environ.get("TZ")
        os.environ["TZ"] = zone
        time.tzset()

        def restore():
            if before is None:
                os.environ.pop("TZ", None)
            else:
                os.environ["TZ"] = before
            time.tzset()
        self.addCleanup(restore)

    def prepare_settings(self):
        return self.SETTINGS

    def prepare(self, desk):
        """Runs before the organizer starts: a place to put records into the database."""


# Light text on a dark background, as a user might choose.
DARK = {"clr_background": 0x30261E, "clr_text": 0xE8EEF2, "clr_border": 0x7A5A3C, "clr_highlight": 0x6E4A2A}


def save_screen(desk, name):
    """A screenshot for a person to look at, when ORGANIZER_SHOTS names a folder."""
    folder = os.environ.get("ORGANIZER_SHOTS")
    if folder:
        desk.screenshot(os.path.join(folder, name + ".png"))


def colour_bytes(colour_ref):
    """A stored colour (red in the low byte) as the RGB bytes of a screen pixel."""
    return bytes([colour_ref & 0xFF, (colour_ref >> 8) & 0xFF, (colour_ref >> 16) & 0xFF])


def pixels(rgb):
    return [rgb[i:i + 3] for i in range(0, len(rgb) - 2, 3)]
