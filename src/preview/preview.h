// The decisions behind the browser preview, free of any window: which target
// a command chooses, whether a document is shown from its own file or from a
// temporary copy, the menu texts of the browser items, and what a page needs
// to show right when it is read from somewhere else (its character code, a
// base that points back at its own folder).
//
// Pages are bytes: Shift-JIS, or whatever code the file is in. Every scan
// here looks only for ASCII delimiters ('<', '>', quotes, '=', '/', blanks)
// that can never be the second byte of a Shift-JIS character, so no scan
// stops inside a double-byte character.
#pragma once

#include <string>
#include <string_view>

class CExtraChars;

enum EPreviewTarget
{
    PREVIEW_TARGET_BAR = 0,       // the browser bar inside the main window
    PREVIEW_TARGET_SHELL = 1,     // the desktop's program for the file
    PREVIEW_TARGET_BROWSER2 = 2,  // the programs of the options, in order
    PREVIEW_TARGET_BROWSER3 = 3,
    PREVIEW_TARGET_BROWSER4 = 4,
};

// The target a preview command chooses (1271-1275 give 0-4), or -1 for the
// command that keeps the current one (1270) and for any other id.
int PreviewTargetOfCommand(int nID);

// How a stored target value is acted on: any value that names no target
// opens the file with the desktop's program.
int EffectivePreviewTarget(int nTarget);

enum EPreviewSource
{
    PREVIEW_OWN_FILE,      // the document's file is current: show it
    PREVIEW_TEMP_COPY,     // write a temporary copy without asking
    PREVIEW_ASK_UNTITLED,  // never saved: ask before using a temporary copy
    PREVIEW_ASK_MODIFIED,  // changed since saved: ask before using a temporary copy
};

// What a preview shows for a document with or without a file, modified or
// not, given whether the user lets unsaved text go through a temporary copy
// without asking.
EPreviewSource DecidePreviewSource(bool bHasPath, bool bModified, bool bAutoTempo);

// The text after the last "/" or "\" of a path; empty when it has neither.
std::string GetFileTitlePart(std::string_view strPath);

// The menu text of a browser item (targets 2-4) naming its program:
// "&2. ﾌﾞﾗｳｻﾞー(firefox)". UTF-8.
std::string BrowserMenuText(int nTarget, std::string_view strProgram);

// The page with a <base href="..."> placed at the start of its head (after
// <head>, else after <html>, else after a doctype, else at the very start),
// so that a copy written elsewhere still finds its images, style sheets and
// links. A page that has a base element of its own is returned unchanged:
// the author's base decides. The href must be ASCII (a percent-encoded URL),
// which every code a page may be in reads alike.
std::string WithBaseHref(std::string_view page, std::string_view strHref);

// The href of the page's first base element, or empty.
std::string FindBaseHref(std::string_view page);

// The character code to read a page with, by the name browsers know
// ("Shift_JIS", "UTF-8", "EUC-JP", "ISO-2022-JP", or whatever a page
// declares). A byte-order mark or a <meta> declaration within the first
// 1024 bytes decides, and *pbDeclared is set; otherwise the bytes are
// guessed at, Shift-JIS when nothing tells.
std::string PageCharset(std::string_view page, bool *pbDeclared = nullptr);

// The bytes of a temporary copy of a document's text (Shift-JIS) shown in
// place of its file: with a base pointing at the document's folder (when
// strBaseHref is not empty), and in the code the page declares, so that a
// page saying it is UTF-8 or EUC-JP is read as one. Text already in the
// declared code is left as it is. The characters of the document's table of
// extra characters (pExtra) come out as themselves: a page that declares no
// code that holds them becomes UTF-8 with a byte-order mark, which a browser
// takes over any declaration.
std::string PreviewCopyBytes(std::string_view text, std::string_view strBaseHref,
                             const CExtraChars *pExtra = nullptr);
