// Restoring damaged tables from a configuration file: the steps the
// table-state window's write buttons lead to in the connect sequence.
//
//   ConfigRecord rec;
//   if (LoadConfigFile(pod, path, rec) && PrepareConfigRestore(rec, block))
//       RestoreDamagedTables(block);
//
// The users table (4) of a damaged controller is written with blank
// credentials; the clock (2) is set from the PC's clock after the operator
// confirms it; every other marked table comes from the record, which the
// operator checks in the configuration editor first.
#pragma once
#include "config/ConfigFile.h"
#include "config/TableCheckBlock.h"

// Gets the record ready for the marked tables. With any table but 2 and 4
// marked: the configuration editor in its write mode (a changed record is
// offered for saving), then the record into the image with its checks (the
// users check when table 4 is marked); a failed check asks whether to edit
// the record again. Otherwise: the users of the record in their window when
// table 4 is marked, then the clock's rules read when table 2 is marked.
// False when the restore is off.
bool PrepareConfigRestore(ConfigRecord& rec, TableCheckBlock& block);

// The users of the record in TFormAccess (restore mode); accepted, they go
// into table 4 of the image.
bool EditAccessTable(ConfigRecord& rec);

// Writes table 4 of the image (rows 0..9, then 10..15) with blank
// credentials; the operator's credentials come back afterwards, also after
// a failure.
bool WriteAccessTable();

// Reads table 6 rows 0..11 (the clock's transition rules), with the retry
// dialogue; its result.
bool CanWriteTime(TableCheckBlock& block);

// Sets the controller clock from the PC clock once the operator confirms:
// table 2 := the PC's date and time, weekday and summer/winter flag (by the
// transition rules of table 6 in the image), written as rows 0..7. True when
// written.
bool WriteControllerTime();

// Writes the marked tables: the users table first (a failure stops
// everything), then the clock, then the rest (WriteFlaggedTables) under the
// wait box. Marks of written tables are cleared.
bool RestoreDamagedTables(TableCheckBlock& block);

// The restore step of the connect sequence: a configuration file chosen and
// checked, the record prepared, the tables written. True when written.
bool RestoreTablesFromConfigFile(TableCheckBlock& block);
