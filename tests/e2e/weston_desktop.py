"""The organizer on a private Wayland desktop: a headless Weston of its own.

Weston's headless back-end has no input devices, so controls are worked through
their accessible actions and texts (the accessibility tree does not depend on
the window system). The screen is read with Weston's screenshooter.
"""

import glob
import os
import shutil
import subprocess
import tempfile

import pyatspi

import desktop

SOCKET = "wayland-organizer"


class WestonDesktop(desktop.Desktop):
    def start(self):
        # No fades of Weston's own: what the screen shows is what the organizer drew.
        config = os.path.join(self.home, "weston.ini")
        with open(config, "w", encoding="utf-8") as ini:
            ini.write("[shell]\nstartup-animation=none\nanimation=none\nclose-animation=none\n"
                      "focus-animation=none\n")
        # Weston and the organizer share the desktop's own runtime folder, where the socket lives.
        self._spawn(["weston", "--backend=headless-backend.so", "--use-pixman", f"--socket={SOCKET}",
                     f"--config={config}", "--width=%d" % desktop.ROOT_SIZE[0],
                     "--height=%d" % desktop.ROOT_SIZE[1], "--idle-time=0",
                     "--debug"],  # lets the screenshooter in
                    env=self._weston_env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        desktop.wait_for("Weston's socket", lambda: os.path.exists(os.path.join(self.runtime, SOCKET)))
        return self.launch()

    def _weston_env(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        env["XDG_RUNTIME_DIR"] = self.runtime
        return env

    def program_env(self):
        env = super().program_env()
        env.pop("DISPLAY", None)  # nothing to fall back on: the organizer runs on Wayland or not at all
        env.update({"WAYLAND_DISPLAY": SOCKET, "QT_QPA_PLATFORM": "wayland"})
        env.update(self.extra_env)
        return env

    # ----- accessible actions in place of real input ------------------------

    @staticmethod
    def press(acc):
        """Presses a button, tab or check box through its accessible action."""
        actions = acc.queryAction()
        names = [actions.getName(i).lower() for i in range(actions.nActions)]
        for wanted in ("press", "toggle", "click"):
            if wanted in names:
                actions.doAction(names.index(wanted))
                return
        raise AssertionError(f"{acc.getRoleName()} {acc.name!r} has no press action, only {names}")

    @staticmethod
    def set_text(acc, text):
        acc.queryEditableText().setTextContents(text)

    @staticmethod
    def is_enabled(acc):
        states = acc.getState()
        return states.contains(pyatspi.STATE_ENABLED) and states.contains(pyatspi.STATE_SENSITIVE)

    def screenshot(self, path):
        """The whole Wayland screen as a PNG file."""
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["weston-screenshooter"], env={**self._weston_env(), "WAYLAND_DISPLAY": SOCKET},
                           cwd=folder, check=True, timeout=20)
            shots = glob.glob(os.path.join(folder, "*.png"))
            if len(shots) != 1:
                raise AssertionError(f"the screenshooter wrote {shots}")
            shutil.move(shots[0], path)

    def screenshot_rgb(self, path):
        png = path + ".png"
        self.screenshot(png)
        subprocess.run(["convert", png, "-depth", "8", f"rgb:{path}"], check=True)
