#!/usr/bin/python3
# What the journeys see of QMZ's Qt window: what a screen reader sees, through AT-SPI (libatspi).
# Usage: screen_reader.py tree | places screen|window | box | set TEXT | press NAME | message PATTERN
# tree: each object's role, name, description and actions; places: "LEFT TOP WIDTH HEIGHT NAME" of
# the window and each control; box: the box's text; set: gives the box a text; press: runs a
# control's Press action; message: waits for message boxes (10 s at most), prints their text,
# presses their buttons, waits until they are gone and fails if the text is not as the pattern (a
# shell pattern) says.
import fnmatch
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# libatspi 2.46 deprecates get_action_name for get_name, which its GObject bindings lack.
warnings.simplefilter("ignore", DeprecationWarning)
# A window busy with a long paste on a loaded machine answers after libatspi's 0.8 s; the journeys'
# own waits bound every read.
Atspi.set_timeout(20000, 20000)


def wait_for(find, what):
    deadline = time.monotonic() + 10
    while not (found := find()) and time.monotonic() < deadline:
        time.sleep(0.05)
    return found or sys.exit(f"screen_reader.py: {what}")


def children(accessible):  # without those that went as they were asked for
    accessible.clear_cache()
    return [child for i in range(accessible.get_child_count()) if (child := accessible.get_child_at_index(i))]


def role(accessible):
    try:
        return accessible.get_role()
    except GLib.Error:  # a message box that comes or goes as it is asked about
        return None


def windows(alerts):
    apps = [app for app in children(Atspi.get_desktop(0)) if app.get_name() == "QMZ"]
    return [window for app in apps for window in children(app) if (role(window) == Atspi.Role.ALERT) == alerts]


def actions(accessible):
    count = Atspi.Action.get_n_actions(accessible) if "Action" in accessible.get_interfaces() else 0
    return [Atspi.Action.get_action_name(accessible, i) for i in range(count)]


def press(accessible):
    Atspi.Action.do_action(accessible, actions(accessible).index("Press"))


def spoken(accessible):
    said = f'{accessible.get_role_name()} "{accessible.get_name()}"'
    said += f' description "{accessible.get_description()}"' if accessible.get_description() else ""
    return said + "".join(f" action {action}" for action in actions(accessible))


command, window = sys.argv[1], wait_for(lambda: windows(False), "no QMZ window")[0]
controls = children(window)
box = next(control for control in controls if control.get_role() == Atspi.Role.TEXT)
if command == "tree":
    print("\n".join([spoken(window)] + ["  " + spoken(control) for control in controls]))
elif command == "places":
    for accessible in [window] + controls:
        place = Atspi.Component.get_extents(accessible, getattr(Atspi.CoordType, sys.argv[2].upper()))
        print(place.x, place.y, place.width, place.height, accessible.get_name())
elif command == "box":
    sys.stdout.write(Atspi.Text.get_text(box, 0, -1))
elif command == "set":
    Atspi.EditableText.set_text_contents(box, sys.argv[2])
elif command == "press":
    press(next(control for control in controls if control.get_name() == sys.argv[2]))
elif command == "message":
    todo, buttons, said = wait_for(lambda: windows(True), "no message box"), [], []
    while todo:
        todo += children(accessible := todo.pop(0))
        said += [accessible.get_name()] * (role(accessible) == Atspi.Role.LABEL and bool(accessible.get_name()))
        buttons += [accessible] * (role(accessible) == Atspi.Role.PUSH_BUTTON)
    for button in buttons:
        press(button)
    wait_for(lambda: not windows(True), "a message box stays")
    print("\n".join(said))
    sys.exit(not fnmatch.fnmatchcase("\n".join(said), sys.argv[2]))
