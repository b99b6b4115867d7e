"""A stand-in desktop notification server for the end-to-end tests.

Owns org.freedesktop.Notifications on the session bus, records every Notify and
CloseNotification call, and lets the test act as the user would on a
notification through a control interface of its own:

  Calls() -> JSON list of {"method": ..., "id": ..., and the Notify arguments}
  InvokeAction(id, key)   the user picks an action (the server then closes it)
  CloseByUser(id)         the user closes the notification
  Expire(id)              the notification times out

Run with Debian's Python: /usr/bin/python3 fake_notifications.py
"""

import json

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
CONTROL = "org.orvale.FakeNotifications"
EXPIRED, DISMISSED, CLOSED = 1, 2, 3


def plain(value):
    """D-Bus values as JSON-friendly Python values."""
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, list)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Byte):
        return {"byte": int(value)}
    if isinstance(value, (dbus.String, str)):
        return str(value)
    if isinstance(value, (dbus.Boolean, bool)):
        return bool(value)
    return int(value)


class Server(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.calls = []
        self.open = set()
        self.next_id = 1

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body", "body-markup"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return "fake", "orvale-tests", "1", "1.2"

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        nid = self.next_id
        self.next_id += 1
        self.open.add(nid)
        self.calls.append({"method": "Notify", "id": nid, "app_name": str(app_name), "app_icon": str(app_icon),
                           "replaces_id": int(replaces_id), "summary": str(summary), "body": str(body),
                           "actions": plain(actions), "hints": plain(hints), "timeout": int(timeout)})
        return nid

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        self.calls.append({"method": "CloseNotification", "id": int(nid)})
        self._close(int(nid), CLOSED)

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, key):
        pass

    def _close(self, nid, reason):
        if nid in self.open:
            self.open.discard(nid)
            self.NotificationClosed(nid, reason)

    @dbus.service.method(CONTROL, in_signature="", out_signature="s")
    def Calls(self):
        return json.dumps(self.calls)

    @dbus.service.method(CONTROL, in_signature="us", out_signature="")
    def InvokeAction(self, nid, key):
        self.ActionInvoked(nid, key)
        self._close(int(nid), DISMISSED)  # as common servers do after an action

    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def CloseByUser(self, nid):
        self._close(int(nid), DISMISSED)

    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def Expire(self, nid):
        self._close(int(nid), EXPIRED)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = Server(bus)
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)  # noqa: F841 (held while running)
    GLib.MainLoop().run()
    del server


if __name__ == "__main__":
    main()
