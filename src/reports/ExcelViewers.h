// "Зберегти у форматі Excel" of the six archive viewers.
//
// RegisterExcelExports() sets the viewers' ExcelAction hooks (the program
// calls it at start-up; a viewer shows its button only while the hook is
// set). The button asks for a file name in the save dialog of the viewer
// (the kind's folder, a proposed name with today's date), shows the wait
// box while the sheet is filled and reports where the file went or why it
// could not be written. The files are written whole through a temporary
// file: a failed export leaves no file and an older file as it was.
//
// The cell texts come from the viewer's records, made by the functions the
// viewer's rows are made by (data/ViewerTexts), not from its grid.
#pragma once
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"

class TFormArhMeas_Chr;
class TFormArhivHDM_Chr;
class TFormArhMeas_Wmt;
class TFormArhivHD_Wmt;
class TFormArhiv_Verif;
class TFormArhiv_Clb;

void RegisterExcelExports();
void UnregisterExcelExports();

// The export of each viewer (what its button does).
void ExportChromMeas(TFormArhMeas_Chr& v);
void ExportChromHourDay(TFormArhivHDM_Chr& v);
void ExportWmtMeas(TFormArhMeas_Wmt& v);
void ExportWmtHourDay(TFormArhivHD_Wmt& v);
void ExportVerif(TFormArhiv_Verif& v);
void ExportCalib(TFormArhiv_Clb& v);

// The cells of one record row, sheet columns from 1 on, as the viewer shows
// the record (untrimmed; the chromatograph members' texts are trimmed when
// written).
std::vector<std::string> ExcelChromMeasRow(const ChromMeasRecord& r, bool oxygen);
std::vector<std::string> ExcelHdmRow(const HdmArchiveRecord& r, bool daily, bool oxygen);
std::vector<std::string> ExcelWmtMeasRow(const WmtMomentaryRecord& r, uint8_t meterType);
std::vector<std::string> ExcelWmtArchiveRow(const WmtArchiveRecord& r, bool daily, uint8_t meterType);
std::vector<std::string> ExcelVerifRow(const VerifRecord& r, bool oxygen);
std::vector<std::string> ExcelCalibRow(const CalibRecord& r, bool oxygen);
// The calibration's two heading rows over the 20 value columns.
void ExcelCalibHeadings(std::vector<std::string>& names, std::vector<std::string>& units);
