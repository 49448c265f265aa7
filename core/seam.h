// The one way the core talks to the program that runs it. Each program (the
// Windows program, the native tools) defines these three functions once; the
// core only calls them.
#pragma once

#include "core/commands.h"

struct RecordList;

// The representation, the angle unit or digit grouping changed: the program
// shows the options' current state (menu check marks).
void ModesChanged();

// The names a list shows in its menu may have changed (loaded, saved, or
// edited and left unsaved): the program rebuilds that list's menu items.
void ListTextsChanged(const RecordList& list);

// A key action asks for a command. The program runs it through RunCommand
// after the key has been handled, as if it came from the menu.
void RequestCommand(CommandRequest request);
