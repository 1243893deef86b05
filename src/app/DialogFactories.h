// The program's dialogs behind the document's hooks.
#pragma once

// Fills InputDialogFactories() with the program's dialogs; main runs it
// before the application starts, so every document gets them.
void RegisterProgramDialogs();
