// The two certificate templates, made from this source at build time (the
// program templates/MakeTemplates writes them beside the program): an A4
// landscape form in Ukrainian on the active sheet "Паспорт", with every
// label, the frames of the value rows and the print setup, and the cells of
// the cell map (ExcelCertificate.h) left empty for the program.
#pragma once
#include <string>

// Writes the day (kind 0) or month (kind 1) template to `path`. False, with
// the reason in `error`, when it cannot be made or written.
bool MakeCertificateTemplate(int kind, const std::string& path, std::string& error);

// The last row of the form (the signature lines), for the print area.
int CertificateTemplateLastRow(int kind);
