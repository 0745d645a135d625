#pragma once

// The start-up of every program that reads and draws maps (the editor, the render tool):
// numbers read and written in the "C" form whatever the user's locale, the pinned font
// substitutions, the shipped icon library and the map's cell factory, installed once after the
// Qt application is made. The editor installs its shell's services on top of these. Main
// thread only.
class IXStartupServices {
public:
    // Installs the services; later calls do nothing more.
    static void install();
};
