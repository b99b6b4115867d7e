"""A session bus with no services for the end-to-end tests: no Secret Service
runs on it or can be started there. It only tells programs where the
accessibility bus of the test's own session is, so they can still be found.

Run with Debian's Python: /usr/bin/python3 bare_session_bus.py FOLDER A11Y-ADDRESS
Prints the bus's address on its first line, then serves until terminated.
"""

import os
import subprocess
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir=%s</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""


class A11yBus(dbus.service.Object):
    def __init__(self, bus, address):
        super().__init__(bus, "/org/a11y/bus")
        self.address = address

    @dbus.service.method("org.a11y.Bus", in_signature="", out_signature="s")
    def GetAddress(self):
        return self.address


def main():
    folder, a11y = sys.argv[1], sys.argv[2]
    config = os.path.join(folder, "bus.conf")
    with open(config, "w") as f:
        f.write(CONFIG % folder)
    daemon = subprocess.Popen(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"],
                              stdout=subprocess.PIPE, text=True)
    address = daemon.stdout.readline().strip()
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    served = A11yBus(bus, a11y)  # noqa: F841 (served while running)
    name = dbus.service.BusName("org.a11y.Bus", bus, do_not_queue=True)  # noqa: F841
    print(address, flush=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
    loop.run()
    daemon.terminate()
    daemon.wait(10)


if __name__ == "__main__":
    main()
