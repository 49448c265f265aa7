// The one way the core talks to the program that runs it: the program hands
// a listener to StartCalculator, and the calculator's engine and lists tell
// it what changed. A program with nobody to tell (the command-line tools)
// gives none; a null function is not called.
#pragma once

struct Options;
struct RecordList;

struct CoreListener {
    void* context;  // the program's, handed back to each function
    // The representation, the angle unit or digit grouping changed: the
    // program shows the options' current state (menu check marks).
    void (*modesChanged)(void* context, const Options& options);
    // The names a list shows in its menu may have changed (loaded, saved, or
    // edited and left unsaved): the program rebuilds that list's menu items.
    void (*listTextsChanged)(void* context, const RecordList& list);
};

inline void TellModesChanged(const CoreListener* listener, const Options& options)
{
    if (listener != nullptr && listener->modesChanged != nullptr) listener->modesChanged(listener->context, options);
}

inline void TellListTextsChanged(const CoreListener* listener, const RecordList& list)
{
    if (listener != nullptr && listener->listTextsChanged != nullptr)
        listener->listTextsChanged(listener->context, list);
}
