#!/usr/bin/python3
# Stand-ins for logind (system bus) and the desktop portal (session bus):
# each inhibition taken and given back is a line "HH:MM:SS.mmm WHO taken|given
# back ..." in the first file given, on the clock the virtual camera prints.
# A dock listens to the launcher entries: each update is a line "APPLICATION
# PROGRESS VISIBLE COUNT URGENT" in the second file. The desktop's
# notification service writes each notification as a line "HH:MM:SS.mmm
# APPLICATION ICON URGENCY SOUND: BODY" in the third. UPower tells the
# battery the fourth holds, "ON_BATTERY PERCENTAGE SECONDS_LEFT" (on mains
# while it is missing).
import datetime
import itertools
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


def log(*words, to=1):
    with open(sys.argv[to], "a", encoding="utf-8") as out:
        print(datetime.datetime.now().strftime("%H:%M:%S.%f")[:-3], *words, file=out)


class Logind(dbus.service.Object):
    # The lock is the descriptor handed out: held until its last copy closes.
    @dbus.service.method("org.freedesktop.login1.Manager", "ssss", "h")
    def Inhibit(self, what, who, why, mode):
        log("logind taken", what, who, mode, why)
        held, handed = os.pipe()
        GLib.io_add_watch(held, GLib.PRIORITY_DEFAULT, GLib.IO_HUP, self.given_back)
        lock = dbus.types.UnixFd(handed)
        os.close(handed)
        return lock

    @staticmethod
    def given_back(held, _condition):
        log("logind given back")
        os.close(held)
        return False


# Also answers for the requests it hands out, below its own path.
class Portal(dbus.service.FallbackObject):
    requests = itertools.count(1)

    @dbus.service.method("org.freedesktop.portal.Inhibit", "sua{sv}", "o")
    def Inhibit(self, window, flags, options):
        log("portal taken", flags, options.get("reason", ""))
        return f"/org/freedesktop/portal/desktop/request/{next(Portal.requests)}"

    @dbus.service.method("org.freedesktop.portal.Request", "", "", rel_path_keyword="path")
    def Close(self, path):
        log("portal given back" if path.startswith("/request/") else f"portal asked to close {path}")


class Notifications(dbus.service.Object):
    @dbus.service.method("org.freedesktop.Notifications", "susssasa{sv}i", "u")
    def Notify(self, application, replaces, icon, summary, body, actions, hints, timeout):
        log(application, icon, int(hints.get("urgency", -1)), f'{hints.get("sound-name", "")}:',
            body, to=3)
        return 1


# Answers for the daemon's object and its display device, below its path.
class UPower(dbus.service.FallbackObject):
    @dbus.service.method("org.freedesktop.DBus.Properties", "ss", "v")
    def Get(self, interface, name):
        try:
            with open(sys.argv[4], encoding="utf-8") as state:
                on_battery, percentage, left = state.read().split()
        except OSError:
            on_battery, percentage, left = 0, 100, 0
        return {"OnBattery": dbus.Boolean(int(on_battery)), "IsPresent": dbus.Boolean(True),
                "Percentage": dbus.Double(float(percentage)),
                "TimeToEmpty": dbus.Int64(int(left))}[name]


def launcher_update(application, properties):
    with open(sys.argv[2], "a", encoding="utf-8") as out:
        print(application, f"{float(properties.get('progress', -1)):.3f}",
              *(int(properties.get(key, -1)) for key in ("progress-visible", "count", "urgent")),
              file=out)


DBusGMainLoop(set_as_default=True)
system = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
session = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
names = [dbus.service.BusName("org.freedesktop.login1", system),
         dbus.service.BusName("org.freedesktop.UPower", system),
         dbus.service.BusName("org.freedesktop.portal.Desktop", session),
         dbus.service.BusName("org.freedesktop.Notifications", session)]
Logind(system, "/org/freedesktop/login1")
Portal(session, "/org/freedesktop/portal/desktop")
Notifications(session, "/org/freedesktop/Notifications")
UPower(system, "/org/freedesktop/UPower")
session.add_signal_receiver(launcher_update, "Update", "com.canonical.Unity.LauncherEntry")
print("prêt", flush=True)
GLib.MainLoop().run()
