// The CD drive dialog of the menu bar: chooses the folder the CD player takes
// its tracks from.
#pragma once

#include "game/engine.h"

namespace vellumite {

// Lists "デフォルト" and the folders that hold CD tracks (cd_track_folders()),
// with the current choice selected. A scripted `type` answer names the entry
// to take ("デフォルト" or a folder; any other text keeps the choice);
// otherwise the dialog is drawn in the window, and where no window shows
// dialogs the choice is kept. After OK: "デフォルト" empties `cd_drive` and
// leaves an open CD as it is; a folder becomes `cd_drive`, and the CD is
// stopped and closed so that the next track comes from there. Traces
// `cddrive "<folder>"` ("" for the default).
void cd_drive_dialog(Engine& e);

}  // namespace vellumite
