// vela-rates.exe has no window and no menus: the core's calls out have
// nobody to tell.
#include "core/seam.h"

void ModesChanged() {}
void ListTextsChanged(const RecordList&) {}
void RequestCommand(CommandRequest) {}
