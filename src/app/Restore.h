// Restoring damaged tables from a configuration file.
//
// Not in this version of the program: configuration files are not read or
// written yet. The functions below keep the places the table-state window
// and the connect sequence call; each one that needs a configuration file
// tells the operator that the restore is not available and fails.
#pragma once
#include "app/TableInfo.h"

// False until restoring from configuration files is built.
bool ConfigRestoreAvailable();

// Tells the operator (message kind 6) that tables cannot be restored from a
// configuration file in this version.
void ReportConfigRestoreNotAvailable();

// Reads table 6 rows 0..11 (the clock's transition rules), with the retry
// dialogue; its result.
bool CanWriteTime(TableCheckBlock& block);

// Sets the controller clock from the PC clock once the operator confirms:
// table 2 := the PC's date and time, weekday and summer/winter flag (by the
// transition rules of table 6 in the image), written as rows 0..7. True when
// written.
bool WriteControllerTime();

// Chooses a configuration file, lets the operator check it, and writes the
// marked tables. Not available yet: reports so and fails (nothing written).
bool RestoreTablesFromConfigFile(TableCheckBlock& block);
