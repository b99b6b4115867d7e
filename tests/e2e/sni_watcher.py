"""A notification area as KDE Plasma and GNOME's AppIndicator host offer it:
a StatusNotifierWatcher on the session bus with a host registered. Each item
that registers is written to the file named by the first argument, one
"<bus name> <object path>" line each, so a test can click it over D-Bus.

Run with Debian's /usr/bin/python3 (it has the GObject bindings)."""

import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""

items = []


def on_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        service = parameters.unpack()[0]
        # An item may name its object path instead of its bus name.
        name, item_path = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
        items.append(f"{name} {item_path}")
        with open(sys.argv[1], "a", encoding="utf-8") as out:
            out.write(f"{name} {item_path}\n")
        connection.emit_signal(None, path, interface, "StatusNotifierItemRegistered",
                               GLib.Variant("(s)", (service,)))
    invocation.return_value(None)


def on_get(connection, sender, path, interface, name):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[name]


def on_bus(connection, name):
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    connection.register_object("/StatusNotifierWatcher", node.interfaces[0], on_call, on_get, None)


def on_name(connection, name):
    with open(sys.argv[1] + ".ready", "w", encoding="utf-8"):
        pass


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE,
                 on_bus, on_name, lambda *args: sys.exit("the watcher's name is taken"))
GLib.MainLoop().run()
