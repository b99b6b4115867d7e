"""A small window another program would be: a label that drags the files named
on the command line as a file manager does (text/uri-list over XDND).

Usage: drag_source.py FILE...   (the window is titled "Drag source")
"""

import pathlib
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

URIS = [pathlib.Path(path).resolve().as_uri() for path in sys.argv[1:]]


def on_drag_data_get(_widget, _context, data, _info, _time):
    data.set_uris(URIS)


window = Gtk.Window(title="Drag source")
window.set_default_size(160, 120)
window.move(0, 0)
box = Gtk.EventBox()
box.add(Gtk.Label(label="files"))
box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
box.drag_source_add_uri_targets()
box.connect("drag-data-get", on_drag_data_get)
window.add(box)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
