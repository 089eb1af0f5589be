/*
 * Wrenpad plug-ins: how to write one.
 *
 * A plug-in is an ELF shared object whose file name ends in ".wpi". Wrenpad
 * looks for plug-ins when it starts, first in the user's program folder
 * (~/.local/share/Orvane Applet/Wrenpad) and then in the installation's
 * plug-in folder (<prefix>/lib/wrenpad/plugins); a file in the user's folder
 * hides one of the same name in the installation's. A plug-in is loaded
 * (dlopen) only for the duration of one call and unloaded afterwards, so it
 * keeps no state from one command to the next and may be replaced while the
 * editor runs. Build it with -fPIC -shared; nothing of the editor needs to be
 * linked in.
 *
 * Every function has the C calling convention and returns int. Text
 * (selections, results, menu texts, descriptions) is Shift-JIS (CP932) and
 * zero-terminated; file paths are passed as the file system spells them
 * (UTF-8 on most systems).
 *
 * A command plug-in exports:
 *
 *   QueryPulginCount()   the number of commands it offers; below 1 means none.
 *   QueryPulgin(nIndex, &nType, szFunction, szMenuText, szDescription)
 *                        describes command nIndex (0 .. count - 1): its type,
 *                        the name of the exported function that runs it, its
 *                        menu text and a description shown from the help menu.
 *                        The buffers hold WPPLUGIN_NAME_SIZE, WPPLUGIN_NAME_SIZE
 *                        and WPPLUGIN_DESCRIPTION_SIZE bytes with the
 *                        terminator. Returns non-zero for a valid command;
 *                        0 leaves that index out of the menus.
 *   SetDocumentPath(pszPath)
 *                        called before every command with the path of the
 *                        active document ("" for an unnamed one).
 *   the command functions, one per command, by the names QueryPulgin gives:
 *                        int Fn(char *pszSelection) when the type has
 *                        WPPLUGIN_TYPE_SELECTION set (the selected text, in a
 *                        buffer of its own length plus the terminator, which
 *                        the function may change), int Fn(void) otherwise.
 *                        Return a value above 0 to have the result inserted;
 *                        0 or less ends the command quietly.
 *   QueryBufferSize()    the length n of the first result, without the
 *                        terminator; 0 or less ends the command quietly.
 *   WpGetBuffer(pszBuffer, nSize)
 *                        copies the first result into pszBuffer, which holds
 *                        nSize = n + 1 bytes; returns above 0 on success.
 *   QueryBufferSize2(), WpGetBuffer2(pszBuffer, nSize)
 *                        the same for the second result, asked for only by
 *                        commands of type WPPLUGIN_TYPE_WRAP.
 *
 * All five of SetDocumentPath, QueryBufferSize, WpGetBuffer, QueryBufferSize2
 * and WpGetBuffer2 are required, even by a plug-in that never has a second
 * result: a plug-in without one of them is refused with "プラグインの初期化に
 * 失敗しました。".
 *
 * What the editor does with the results, by the command's type:
 *   WPPLUGIN_TYPE_WRAP (2)    the first result before the selection and the
 *                             second after it; the wrapped text stays selected.
 *                             An empty second result inserts nothing.
 *   WPPLUGIN_TYPE_BEFORE (4)  the first result before the selection.
 *   WPPLUGIN_TYPE_AFTER (6)   the first result after the selection.
 *   any other type            the first result replaces the selection, or is
 *                             inserted at the caret when nothing is selected.
 * The selection bit is bit 0, so a type with it set (1, 3, 5 ...) always
 * replaces the selection. Pairs inserted by types 2, 4 and 6 follow the
 * editor's tag-case setting and are remembered for its repeat-tag command.
 * A command with the selection bit does nothing without a selection.
 *
 * The image-map plug-in "WpImgMap.wpi" exports two more functions, used by the
 * image tag dialog and the clickable-map command:
 *
 *   WpGetImageSize(pszImagePath, &nWidth, &nHeight)
 *                        the size of an image in pixels; non-zero when found.
 *   ShowWpImageMap(pszBuffer, nSize, pszImagePath)
 *                        lets the user draw the map on the image and writes
 *                        the map markup (at most nSize bytes with the
 *                        terminator, nSize being WPIMGMAP_BUFFER_SIZE); returns
 *                        above 0 when it wrote some.
 */
#ifndef WRENPAD_WPPLUGIN_H
#define WRENPAD_WPPLUGIN_H

#ifdef __cplusplus
#define WPPLUGIN_EXTERN_C extern "C"
#else
#define WPPLUGIN_EXTERN_C
#endif
/* Marks a function as exported even when the plug-in hides its other symbols. */
#define WPPLUGIN_EXPORT WPPLUGIN_EXTERN_C __attribute__((visibility("default")))

enum
{
    WPPLUGIN_NAME_SIZE = 52,
    WPPLUGIN_DESCRIPTION_SIZE = 256,
    WPIMGMAP_BUFFER_SIZE = 5000
};

enum
{
    WPPLUGIN_TYPE_REPLACE = 0,
    WPPLUGIN_TYPE_SELECTION = 1,
    WPPLUGIN_TYPE_WRAP = 2,
    WPPLUGIN_TYPE_BEFORE = 4,
    WPPLUGIN_TYPE_AFTER = 6
};

/* The exports as the editor calls them. Declaring them here makes the
   compiler check a plug-in's definitions against them. */
WPPLUGIN_EXPORT int QueryPulginCount(void);
WPPLUGIN_EXPORT int QueryPulgin(int nIndex, int *pnType, char *pszFunction, char *pszMenuText, char *pszDescription);
WPPLUGIN_EXPORT int SetDocumentPath(const char *pszPath);
WPPLUGIN_EXPORT int QueryBufferSize(void);
WPPLUGIN_EXPORT int WpGetBuffer(char *pszBuffer, int nSize);
WPPLUGIN_EXPORT int QueryBufferSize2(void);
WPPLUGIN_EXPORT int WpGetBuffer2(char *pszBuffer, int nSize);
WPPLUGIN_EXPORT int WpGetImageSize(const char *pszImagePath, int *pnWidth, int *pnHeight);
WPPLUGIN_EXPORT int ShowWpImageMap(char *pszBuffer, int nSize, const char *pszImagePath);

/* The same as pointer types, for hosts that look the functions up. */
typedef int (*WpQueryPulginCountFn)(void);
typedef int (*WpQueryPulginFn)(int, int *, char *, char *, char *);
typedef int (*WpSetDocumentPathFn)(const char *);
typedef int (*WpSelectionCommandFn)(char *);
typedef int (*WpCommandFn)(void);
typedef int (*WpQueryBufferSizeFn)(void);
typedef int (*WpGetBufferFn)(char *, int);
typedef int (*WpGetImageSizeFn)(const char *, int *, int *);
typedef int (*WpShowImageMapFn)(char *, int, const char *);

#endif
