// Attaches the menu handlers of the whole program to the main window; the
// program entry calls it once the window exists. Each part of the program
// that owns menu handlers adds its attach call here.
#pragma once

class TFormMain;

void AttachMenuHandlers(TFormMain& form);
