#pragma once

class QMainWindow;
class QMenuBar;

// The menus of a document window (each window carries its own menu bar here): File, Edit,
// Map, View, Window and Help, with the shortcuts users expect (New, Open, Save, Save As, Close,
// Undo, Redo, Cut, Copy, Paste, Select All, Zoom In/Out, Full Screen, Quit). Every item sends
// its action through the application's target search and is validated before its menu shows,
// so an item is enabled only while something answers it. Commands that nothing implements yet
// stay disabled.
class IXMainMenu {
public:
    // Fills the window's menu bar.
    static void installWindowMenus(QMainWindow* window);
    static void fillMenuBar(QMenuBar* bar);
};
