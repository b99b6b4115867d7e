"""Tests on a desktop whose notification area is a StatusNotifierItem host
(as KDE Plasma's and GNOME's AppIndicator extension are), played by
sni_watcher.py on the test's private session bus. The icon is then clicked
and its menu used over D-Bus, as such a host does."""

import os

from gi.repository import Gio, GLib

from desktop import DesktopTest, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


class NotificationAreaTest(DesktopTest):
    def prepare(self, desk):
        self.items = os.path.join(desk.home, "tray-items")
        desk._spawn(["/usr/bin/python3", os.path.join(HERE, "sni_watcher.py"), self.items])
        wait_for("the notification area", lambda: os.path.exists(self.items + ".ready"))

    def item(self):
        """The bus name and object path of the organizer's icon, once it has registered."""
        def registered():
            with open(self.items, encoding="utf-8") as items:
                return items.read().split()
        name, path = wait_for("the tray icon", registered)[-2:]
        return name, path

    def call(self, name, path, interface, method, args=None):
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        return bus.call_sync(name, path, interface, method, args, None, Gio.DBusCallFlags.NONE, 5000, None)

    def click_icon(self):
        name, path = self.item()
        self.call(name, path, ITEM, "Activate", GLib.Variant("(ii)", (10, 10)))

    def menu(self):
        """The icon's menu as the host reads it: {label: id}, after telling it that it opens."""
        name, path = self.item()
        menu = self.call(name, path, "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", (ITEM, "Menu"))).unpack()[0]
        self.call(name, menu, MENU, "AboutToShow", GLib.Variant("(i)", (0,)))
        _, (_, _, children) = self.call(name, menu, MENU, "GetLayout",
                                        GLib.Variant("(iias)", (0, -1, []))).unpack()
        return {child[1].get("label", ""): child[0] for child in children
                if child[1].get("type") != "separator" and child[1].get("enabled", True)}

    def choose(self, label):
        name, path = self.item()
        items = self.menu()
        self.assertIn(label, items)
        menu = self.call(name, path, "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", (ITEM, "Menu"))).unpack()[0]
        self.call(name, menu, MENU, "Event",
                  GLib.Variant("(isvu)", (items[label], "clicked", GLib.Variant("i", 0), 0)))
