// "The program's folder" of the editor: where the user tag and menu files,
// the tag alignment lists, the templates and the user's plug-ins live. On
// this system it is a per-user data folder, seeded on first start with the
// files shipped with the program.
#pragma once

#include <QString>
#include <QStringList>

// The folder (created when missing): the user's application data folder.
QString ProgramFolder();

// The folder of the files shipped with the program: beside an installed
// program (../share/wrenpad), in the installation prefix, or the source
// tree's data folder for a program run from its build tree. Empty if none.
QString ShippedDataFolder();

// The folder of the user manual (the HTML pages and their images): in the
// shipped data folder beside an installed program, in the installation
// prefix, or the source tree's for a program run from its build tree; the
// first that holds the manual's contents page. Empty when none does.
QString ManualFolder();
// Makes ManualFolder() give this folder instead (tests; an empty string
// gives the usual one again).
void SetManualFolder(const QString &strFolder);

// Copies every shipped file (and folder) the program folder lacks; files the
// user already has are never replaced. The shipped templates come only with
// a new "templete" folder, so that templates the user removed stay removed.
// The manual and the manual pages stay where they were installed: they are
// the program's, not the user's, and a copy would only grow stale.
// Returns the number of files copied.
int SeedProgramFolder(const QString &strShippedFolder, const QString &strProgramFolder);

// Where plug-ins are looked for: the program folder, then the installation's
// plug-in folder (beside the program, or where it was installed to).
QStringList PluginFolders();
// Makes PluginFolders() give these folders instead, so that tests choose the
// plug-ins a program sees; an empty list gives the usual ones again.
void SetPluginFolders(const QStringList &folders);
