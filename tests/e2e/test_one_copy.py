"""One running copy per user and database: starting the organizer again brings
the running one to the front instead of opening a second window."""

import glob
import os
import shutil
import signal
import subprocess
import tempfile

import desktop
from desktop import DesktopTest, wait_for
from tray_host import NotificationAreaTest

MAIN = "Orvale Organizer"


class OneCopyTest(DesktopTest):
    def x(self, *args):
        return subprocess.run(args, env=self.desk._env(), capture_output=True, text=True).stdout

    def main_windows(self):
        """The mapped X windows of the main window's title."""
        return self.desk.x_windows(MAIN)

    def state(self, window):
        return self.x("xprop", "-id", str(window), "_NET_WM_STATE", "WM_STATE")

    def active(self):
        out = self.x("xdotool", "getactivewindow").strip()
        return int(out) if out else None

    def shown_and_active(self, window):
        state = self.state(window)
        return "Normal" in state and "_NET_WM_STATE_HIDDEN" not in state and self.active() == window and \
            window in self.main_windows()

    def start_again(self):
        code, output = self.desk.run_program()
        self.assertEqual(code, 0, output)
        return output

    def minimise(self):
        self.desk.click(self.desk.find("push button", "Minimize"))

    def check_brought_back(self, window):
        wait_for("the first window shown and active", lambda: self.shown_and_active(window))
        self.assertEqual(self.main_windows(), [window], "a second main window")
        self.assertTrue(self.desk.running())
        self.assertTrue(self.desk.is_showing(self.desk.main))


class WithoutNotificationArea(OneCopyTest):
    def test_a_second_start_restores_the_minimised_first_and_ends(self):
        desk = self.desk
        [window] = wait_for("the main window mapped", self.main_windows)
        self.minimise()
        wait_for("the window minimised", lambda: "Iconic" in self.state(window))
        self.start_again()
        self.check_brought_back(window)
        # Already shown: started again, it stays the one window.
        self.start_again()
        self.check_brought_back(window)

    def test_a_killed_copy_does_not_block_the_next_start(self):
        desk = self.desk
        sockets = glob.glob(os.path.join(desk.runtime, "org.tavrin.OrvaleOrganizer-*"))
        self.assertTrue(sockets, "the running copy has no socket")
        desk.organizer.send_signal(signal.SIGKILL)
        desk.organizer.wait()
        self.assertTrue(all(os.path.exists(s) for s in sockets), "nothing is left behind to test")
        desk.launch()
        self.assertEqual(len(self.main_windows()), 1)

    def test_another_database_runs_side_by_side(self):
        desk = self.desk
        other = tempfile.mkdtemp(prefix="organizer-e2e-other-")
        self.addCleanup(shutil.rmtree, other, True)
        env = desk.program_env()
        env["XDG_DATA_HOME"] = other
        second = desk._spawn([desktop.EXE], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("a second main window", lambda: len(desk.x_windows(MAIN)) == 2, 20)
        self.assertIsNone(second.poll())
        self.assertTrue(os.path.exists(os.path.join(other, "Tavrin", "Orvale Organizer", "organizer.db")))


class WithNotificationArea(OneCopyTest, NotificationAreaTest):
    def test_a_second_start_shows_the_first_from_the_tray(self):
        desk = self.desk
        self.item()
        [window] = wait_for("the main window mapped", self.main_windows)
        self.minimise()
        wait_for("the window hidden in the tray", lambda: window not in desk.x_windows(MAIN))
        self.assertNotIn("Iconic", self.state(window), "hidden, not minimised")
        self.start_again()
        self.check_brought_back(window)


class CommandLine(DesktopTest):
    def setUp(self):
        # No desktop is started: these must not need a display.
        self.desk = desktop.Desktop(window_manager=False)
        self.addCleanup(self.desk.stop)
        self.env = self.desk.program_env()
        self.env.pop("DISPLAY", None)
        self.env["XDG_DATA_HOME"] = os.path.join(self.desk.home, "empty")
        os.makedirs(self.env["XDG_DATA_HOME"])

    def test_version_prints_and_ends_without_a_database_or_window(self):
        code, output = self.desk.run_program(["--version"], self.env)
        self.assertEqual(code, 0, output)
        self.assertRegex(output, r"^Orvale Organizer \d+\.\d+\.\d+\n$")
        self.assertEqual(os.listdir(self.env["XDG_DATA_HOME"]), [], "something was created")

    def test_help_and_an_unknown_option(self):
        code, output = self.desk.run_program(["--help"], self.env)
        self.assertEqual(code, 0, output)
        self.assertIn("--restore", output)
        code, output = self.desk.run_program(["--no-such-option"], self.env)
        self.assertEqual(code, 2, output)
        self.assertIn("Usage: orvale-organizer", output)
        self.assertEqual(os.listdir(self.env["XDG_DATA_HOME"]), [])
