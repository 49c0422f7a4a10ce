#pragma once

#include <QString>

// What a launcher gives the program it starts so that its window may come to the front: a Wayland
// compositor's activation token (XDG_ACTIVATION_TOKEN) or an X11 startup notification id
// (DESKTOP_STARTUP_ID). Each is good for one window, once. A second start hands its own to the
// running telephone, whose window is the one the user asked for.
struct Activation {
    // Far above any launcher's; a longer value is left out rather than hold up the link it would
    // travel with.
    static constexpr int MaxLength = 1024;

    QString token;
    QString startupId;

    // As this process was started with; it leaves the environment as it is.
    static Activation fromEnvironment();
    // Neither is this process's to use any more, nor to pass on to a program it starts.
    static void clearEnvironment();

    // What a Wayland compositor takes. Launchers built on GLib before 2.76 (Debian 12's) pass the
    // compositor's token only as the startup id.
    QString waylandToken() const { return token.isEmpty() ? startupId : token; }
    // Puts the Wayland token where Qt's Wayland plugin takes it as a window asks to come forward
    // (nothing when there is none). clearEnvironment() takes it away again afterwards.
    void offerToWindow() const;
};
