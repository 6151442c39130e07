#!/usr/bin/python3
# What the journeys see of QMZ's Qt window, as a screen reader sees it: through AT-SPI (libatspi),
# on the session bus that DBUS_SESSION_BUS_ADDRESS names.
# Usage: screen_reader.py tree | places screen|window | box | set | press NAME | message
#   tree     the window's accessible tree: role, name, description and actions of each object
#   places   "LEFT TOP WIDTH HEIGHT NAME" of the window and of each control
#   box      waits until the box's text is standard input's, else prints the text and exits 1
#   set      sets the box's text to standard input's, as a screen reader's user types it
#   press    runs the Press action of the control named NAME
#   message  waits for a message box, prints its text, presses its button and waits until it is gone
# Every wait lasts 10 s at most.
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# libatspi 2.46 calls get_action_name deprecated for get_name, which its GObject bindings lack.
warnings.simplefilter("ignore", DeprecationWarning)


def wait_for(find, what):
    deadline = time.monotonic() + 10
    while (found := find()) is None:
        if time.monotonic() > deadline:
            sys.exit(f"screen_reader.py: {what}")
        time.sleep(0.05)
    return found


def windows():
    desktop = Atspi.get_desktop(0)
    for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
        if app is not None and app.get_name() == "QMZ":
            app.clear_cache()
            return [app.get_child_at_index(i) for i in range(app.get_child_count())]
    return []


def main_window():
    return next((w for w in windows() if w.get_role() != Atspi.Role.ALERT), None)


def controls():
    window = wait_for(main_window, "no QMZ window")
    return window, [window.get_child_at_index(i) for i in range(window.get_child_count())]


def actions(accessible):
    if "Action" not in accessible.get_interfaces():
        return []
    return [Atspi.Action.get_action_name(accessible, i) for i in range(Atspi.Action.get_n_actions(accessible))]


def spoken(accessible):
    line = f'{accessible.get_role_name()} "{accessible.get_name()}"'
    if accessible.get_description():
        line += f' description "{accessible.get_description()}"'
    return line + "".join(f" action {action}" for action in actions(accessible))


def named(name):
    return next(c for c in controls()[1] if c.get_name() == name)


def box():
    return next(c for c in controls()[1] if c.get_role() == Atspi.Role.TEXT)


def alert():
    return next((w for w in windows() if w.get_role() == Atspi.Role.ALERT), None)


def message():
    box = wait_for(alert, "no message box")
    texts, buttons, todo = [], [], [box]
    while todo:
        accessible = todo.pop(0)
        todo += [accessible.get_child_at_index(i) for i in range(accessible.get_child_count())]
        if accessible.get_role() == Atspi.Role.LABEL and accessible.get_name():
            texts.append(accessible.get_name())
        if accessible.get_role() == Atspi.Role.PUSH_BUTTON:
            buttons.append(accessible)
    print("\n".join(texts))
    Atspi.Action.do_action(buttons[0], actions(buttons[0]).index("Press"))
    wait_for(lambda: True if alert() is None else None, "the message box stays")


command = sys.argv[1]
if command == "tree":
    window, children = controls()
    print("\n".join([spoken(window)] + ["  " + spoken(child) for child in children]))
elif command == "places":
    coordinates = Atspi.CoordType.SCREEN if sys.argv[2] == "screen" else Atspi.CoordType.WINDOW
    window, children = controls()
    for accessible in [window] + children:
        place = Atspi.Component.get_extents(accessible, coordinates)
        print(place.x, place.y, place.width, place.height, accessible.get_name())
elif command == "box":
    expected = sys.stdin.read()
    text = box()
    try:
        wait_for(lambda: True if Atspi.Text.get_text(text, 0, -1) == expected else None, "")
    except SystemExit:
        sys.stdout.write(Atspi.Text.get_text(text, 0, -1))
        sys.exit(1)
elif command == "set":
    Atspi.EditableText.set_text_contents(box(), sys.stdin.read())
elif command == "press":
    control = named(sys.argv[2])
    Atspi.Action.do_action(control, actions(control).index("Press"))
elif command == "message":
    message()
else:
    sys.exit("usage: screen_reader.py tree | places screen|window | box | set | press NAME | message")
