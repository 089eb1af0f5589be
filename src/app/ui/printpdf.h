// "wrenpad --print-pdf OUT.pdf FILE": the file printed to a PDF with the saved
// page setup (margins, A4 paper) and the editor font and tab width of new
// documents, as the print command would print it, without any window.
#pragma once

#include <QString>

// Prints strFile into strOut. 0 on success; otherwise 1, with the reason in
// strError. An existing strOut is replaced only by a complete PDF.
int PrintFileToPdf(const QString &strOut, const QString &strFile, QString &strError);
