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

// Copies every shipped file (and folder) the program folder lacks; files the
// user already has are never replaced. The shipped templates come only with
// a new "templete" folder, so that templates the user removed stay removed.
// Returns the number of files copied.
int SeedProgramFolder(const QString &strShippedFolder, const QString &strProgramFolder);

// Where plug-ins are looked for: the program folder, then the installation's
// plug-in folder (beside the program, or where it was installed to).
QStringList PluginFolders();
// Makes PluginFolders() give these folders instead, so that tests choose the
// plug-ins a program sees; an empty list gives the usual ones again.
void SetPluginFolders(const QStringList &folders);
