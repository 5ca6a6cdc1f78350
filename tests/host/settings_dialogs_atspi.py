#!/usr/bin/python3
"""Drives lumisave's settings dialogs through the accessibility bus, finding
controls by the labels users see, as a screen reader would.

Usage: settings_dialogs_atspi.py SCENARIO SHOT_FOLDER COMMAND...
COMMAND starts the dialogs. Prints what it read; exit 0 when every step
worked, 1 with the failing step on standard error."""
import os
import signal
import subprocess
import sys
import time

import pyatspi

# The dialogs' process group: killed whenever the driver ends, so that a
# failed step never leaves a dialog holding its caller's output open.
dialogs = None
# Where screenshots go: of each dialog, and of the screen when a step fails.
shots = None


def end_dialogs():
    if dialogs is not None and dialogs.poll() is None:
        os.killpg(dialogs.pid, signal.SIGKILL)
        dialogs.wait()


started = time.time()


def note(step):
    """Writes down when each step ended, next to the screenshots."""
    if shots is not None:
        with open(shots + "/steps.log", "a") as steps:
            steps.write("%6.2f s %s\n" % (time.time() - started, step))


def fail(message):
    print(message, file=sys.stderr)
    note("failed: " + message)
    if shots is not None:
        shot("failed")
    end_dialogs()
    sys.exit(1)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


# A loaded machine can take many seconds to show a dialog over the
# accessibility bus.
def wait_for(what, find, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            note("found " + what)
            return found
        time.sleep(0.2)
    fail("not found: " + what)


def top_level(what, matches):
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            # Nobody listens for new windows, so the application's cached
            # children would never show a dialog opened later.
            app.clear_cache()
            for top in app:
                if top is not None and matches(top) and top.getState().contains(pyatspi.STATE_SHOWING):
                    return top
        return None
    return wait_for(what, find)


def window(title):
    return top_level("window " + title, lambda top: top.name == title)


def message_box():
    """A message box, which screen readers name by its kind, not its title."""
    return top_level("message box", lambda top: top.getRole() == pyatspi.ROLE_ALERT)


def control(root, role, name):
    def find():
        root.clear_cache()
        for node in walk(root):
            if node.getRole() == role and node.name.replace("_", "") == name:
                return node
        return None
    return wait_for("control '%s'" % name, find)


def labelled(root, role, label):
    """The control of `role` that the label `label` names."""
    def find():
        for node in walk(root):
            if node.getRole() != role:
                continue
            for relation in node.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                    if relation.getTarget(0).name.replace("_", "") == label:
                        return node
        return None
    return wait_for("control labelled '%s'" % label, find)


def press(button):
    name = button.name  # the button may be gone once pressed
    button.queryAction().doAction(0)
    note("pressed " + name)


def shot(name):
    try:
        subprocess.run(["import", "-window", "root", "%s/%s.png" % (shots, name)], check=False, timeout=30)
    except subprocess.TimeoutExpired:
        print("no screenshot", name, file=sys.stderr)


def choose(combo, text):
    items = [node for node in walk(combo) if node.getRole() == pyatspi.ROLE_MENU_ITEM]
    names = [item.name for item in items]
    if text not in names:
        fail("'%s' is not among %s" % (text, names))
    combo.querySelection().selectChild(names.index(text))


def keys(window_title, *names):
    """Types keys into the window titled `window_title`, focused first: there
    is no window manager to give it the focus."""
    subprocess.run(["xdotool", "search", "--name", "^%s$" % window_title, "windowfocus", "--sync"], check=True,
                   timeout=30)
    note("focused " + window_title)
    subprocess.run(["xdotool", "key", "--delay", "50"] + list(names), check=True, timeout=30)
    note("typed " + " ".join(names))


def main():
    global dialogs, shots
    scenario, shots, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    signal.signal(signal.SIGTERM, lambda *_: fail("stopped"))
    # The accessibility bus and its registry are up before the dialogs start,
    # so that they find them at once rather than racing their start.
    open(shots + "/steps.log", "w").close()
    pyatspi.Registry.getDesktop(0).childCount
    note("accessibility bus up")
    dialogs = subprocess.Popen(command, start_new_session=True)
    dialog = window("Lumisave")
    shot("configuration")
    position = labelled(dialog, pyatspi.ROLE_COMBO_BOX, "Picture position:")
    if scenario == "fit-ok":
        choose(position, "Fit")
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    elif scenario == "stretch-escape":
        choose(position, "Stretch")
        keys("Lumisave", "Escape")
    elif scenario in ("display", "display-cancel"):
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Display Settings..."))
        display = window("Display Settings")
        shot("display-settings")
        for node in walk(display):
            if node.getRole() == pyatspi.ROLE_LABEL:
                print("label:", node.name)
        box = control(display, pyatspi.ROLE_CHECK_BOX, "Disable hardware 3D rendering")
        print("check box sensitive:", box.getState().contains(pyatspi.STATE_SENSITIVE))
        modes = labelled(display, pyatspi.ROLE_COMBO_BOX, "Display mode for this video adapter:")
        lines = [node.name for node in walk(modes) if node.getRole() == pyatspi.ROLE_MENU_ITEM]
        for line in lines:
            print("mode:", line)
        choose(modes, lines[-1])
        press(control(display, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        last = "OK" if scenario == "display" else "Cancel"
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, last))
    elif scenario == "help":
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Display Settings..."))
        display = window("Display Settings")
        press(control(display, pyatspi.ROLE_PUSH_BUTTON, "Help"))
        help_box = message_box()
        shot("help")
        for node in walk(help_box):
            if node.getRole() == pyatspi.ROLE_LABEL:
                print("help:", node.name)
        press(control(help_box, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        press(control(display, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
    elif scenario == "sound":
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Sound Settings..."))
        sound = window("Sound Settings")
        shot("sound-settings")
        scale = control(sound, pyatspi.ROLE_SLIDER, "Volume")
        scale.queryValue().currentValue = 0
        press(control(sound, pyatspi.ROLE_CHECK_BOX, "Mute"))
        press(control(sound, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    elif scenario == "alt-d":
        keys("Lumisave", "alt+d")
        window("Display Settings")
        print("display settings opened")
        keys("Display Settings", "Escape")
        keys("Lumisave", "Escape")
    elif scenario == "website":
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Website"))
        press(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
    else:
        fail("unknown scenario " + scenario)
    try:
        code = dialogs.wait(timeout=60)
    except subprocess.TimeoutExpired:
        fail("the dialogs did not close")
    print("exit:", code)


try:
    main()
except Exception as error:  # a failed call to a program or over the bus
    fail("failed: %r" % error)
