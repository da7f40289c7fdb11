#pragma once
// Editor windows: a child window whose client area is a rich-edit control,
// holding up to 20 files. This header has the editor's record, its files and
// buffers, and the routines a program calls to drive it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lib/window/quinda_state.h"
#include "platform/os_commondlg.h"
#include "platform/os_finddlg.h"

// Option bits of an editor.
enum EditorWindowFlags : std::int32_t {
    EWF_WRAP = 0x1,
    EWF_READONLY = 0x4,
    EWF_COMMAND = 0x8,
    EWF_HISTORY = 0x10,
    EWF_NOTOOLBAR = 0x20,
    EWF_RICHTEXT = 0x40,
    EWF_MODIFIEDMARK = 0x80,
    EWF_NONEWOPEN = 0x100,
    EWF_NOSAVEAS = 0x200,
    EWF_NOPRINT = 0x400,
    EWF_NOSAVE = 0x2000,
    EWF_MULTIFILE = 0x4000,
    EWF_NOCLOSE = 0x8000,
    EWF_CONTROLPOS = 0x10000,
    EWF_BACKUP = 0x20000,
    EWF_HIDENAME = 0x400000,
    EWF_NOMENU = 0x800000,
    EWF_QUIETOPEN = 0x1000000,
    EWF_APPPRINTS = 0x4000000,
};

// The platform's find/replace request block, kept for the life of an editor.
using FINDREPLACEA = OsFindReplace;

// The special record of an editor window; its first word is WindowKind 1
// and the window layer reads hRichEdit (word 5) and hFocus (word 14).
struct EditorWindowData {
    std::int32_t kind = WindowKindEditor;
    OsHandle hToolbarTop = 0, hToolbarLeft = 0, hToolbarRight = 0, hToolbarBottom = 0;
    OsHandle hRichEdit = 0;
    OsHandle hEditToolbar = 0;
    OsHandle hTooltips = 0;
    OsHandle hStatusBar = 0;
    OsHandle hCommand = 0;
    OsHandle hCommandEdit = 0;
    OsHandle hPromptFrame = 0;
    OsHandle hPromptText = 0;
    OsHandle hFindDialog = 0;
    OsHandle hFocus = 0;
    OsHandle hMenu = 0;
    OsHandle hFileMenu = 0, hEditMenu = 0, hSearchMenu = 0;
    OsHandle hFormatMenu = 0;
    OsHandle hViewMenu = 0;
    OsHandle hEditAccel = 0;
    OsHandle hUserAccel = 0;
    std::int32_t iMode = 2;
    std::int32_t nTextLimit = 104857500;
    std::int32_t nCommandHeight = 0;
    std::int32_t nPromptOffset = 0;
    std::int32_t bChanged = 0;
    std::int32_t bProtect = 1;
    std::int32_t iFileType[EditBuffersPerWindow] = {};
    std::int32_t iBuffer = 1;
    std::int32_t nBuffers = 1;
    char szFileName[260] = {};
    char szBaseTitle[1024] = {};
    char szFindText[1024] = {};
    char szReplaceText[1024] = {};
    char szFilter[1002] = {};
    FINDREPLACEA FindReplace;
    std::int32_t bEndModal = 0;
    std::int32_t bInsert = 1;
    std::int32_t bCanNew = 0, bReadOnly = 0, bCanOpen = 0, bCanSave = 0, bCanSaveAs = 0, bCanPrint = 0;
    std::int32_t bRichText = 0;
    std::int32_t bMultiFile = 0;
    std::int32_t bHideName = 0;
    std::int32_t bQuietOpen = 0;
    std::int32_t bAppPrints = 0;
    std::int32_t bColouring = 0;
    std::int32_t bHidden = 0;
    std::int32_t bControlPositions = 0;
    std::int32_t bBackup = 0;
    std::int32_t bShowModified = 0;
    OsHandle hFont = 0;
    std::int32_t iFontOption = 0, iFontSize = 0;
    std::int32_t nLineHeight = 0;
    std::int32_t nCharHeight = 0;
    std::int32_t hFile[EditBuffersPerWindow] = {};
    std::int32_t iCacheRichPos = -1, iCacheFilePos = -1;
    std::int32_t iBookmark[EditBuffersPerWindow];
    std::int32_t nBookmarkLength[EditBuffersPerWindow];
    std::int32_t bNoClose = 0;  // EWF_NOCLOSE: no Close item

    EditorWindowData() {
        for (auto& b : iBookmark) b = -1;
        for (auto& b : nBookmarkLength) b = -1;
    }
};

// What yyeditfile leaves in its status.
enum EditorWindowStatus : std::int32_t {
    EditorRootWindow = 1,
    EditorNoAppMenuModal = 2,
    EditorMenuNotFound = 3,
    EditorNoMenuInside = 4,
    EditorModeChanged = 5,
    EditorNoMemory = 6,
    EditorNoCommandModal = 7,
    EditorOtherKind = 8,
    EditorHasInsideChildren = 11,
    EditorBuffersFull = 12,
};

// Kept when a modal editor closes; its record is gone then.
struct LastEditorResult {
    std::int32_t saved = 1, length = 0, changed = 0, sel_start = 0, sel_end = 0;
    std::int32_t buffer = 1, buffers = 1, top_line = 0, font_option = 0, font_size = 0;
    std::string path, find_text, replace_text;
};
extern LastEditorResult last_editor_result;

// The editor record of a frame, nullptr when it is not an editor.
EditorWindowData* yyeditrecord(OsHandle frame);
// The editor record of the current window, nullptr when it is not an editor.
EditorWindowData* yyeditcurrent();
// Makes a record for a frame whose rich-edit control already exists (the
// conversion builds the rest around it). For the file routines' own use and tests.
EditorWindowData* yyeditattach(OsHandle frame, OsHandle richedit, std::int32_t flags);
// The record's choices from the conversion flags (EWF_...).
void yyeditflags(EditorWindowData& r, std::int32_t flags);
// Frees the record of a frame and releases its held files.
void yyeditdetach(OsHandle frame);

// ---- files and buffers ----
void yyEditTitle(OsHandle window);
std::int32_t yyEditOpenFile(OsHandle window, std::int32_t initial);
std::int32_t yyEditLoadRTF(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done);
std::int32_t yyEditSaveFile(OsHandle window, std::int32_t askName);
std::int32_t yyEditSaveRTF(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done);
std::int32_t yyEditCheckSave(OsHandle window, EditorWindowData& rec);
void yyEditCloseFile(OsHandle window);
void yyEditSwitchBuffer(OsHandle window, std::int32_t n);
void yyEditResetFormat(EditorWindowData& rec);
std::int32_t yyeditswap(std::int32_t slot, std::int32_t from, std::int32_t to);
std::int32_t yyeditstorebuffer(std::int32_t slot, std::int32_t n);
std::int32_t yyeditretrievebuffer(std::int32_t slot, std::int32_t n);
std::int32_t yyeditstorebuffername(std::int32_t slot, std::int32_t n, const char* name, std::int32_t length);
std::int32_t yyeditgetbuffername(std::int32_t slot, std::int32_t n, std::string& name, std::int32_t length);
std::int32_t yyeditgetsave(std::int32_t slot, std::int32_t n, std::int32_t& saved);
std::int32_t yyeditclosebuffer(std::int32_t slot, std::int32_t n);
// The file dialogs' filters: the editor's own, or the built-in list.
std::vector<OsFileFilter> yyeditfilters(const EditorWindowData& rec);
// Whether a file name is read and written as RTF by this editor.
bool yyeditisrtf(const EditorWindowData& rec, std::string_view name);

// ---- find, replace and formats ----
std::int32_t yyEditFind(OsHandle window, EditorWindowData& rec, const FINDREPLACEA& request);
std::int32_t yyEditReplace(OsHandle window, EditorWindowData& rec, const FINDREPLACEA& request);
// What the find or replace dialog asked for through FindReplace.
void yyEditFindMessage(OsHandle window, EditorWindowData& rec);
void yyEditFormatBIU(EditorWindowData& rec, std::int32_t command);
void yyEditFormatLCR(EditorWindowData& rec, std::int32_t command);
void yyEditFormatBullet(EditorWindowData& rec);
void yyEditUpdateBIU(EditorWindowData& rec);
void yyEditPaste(EditorWindowData& rec);

// ---- programming interface (current window) ----
void yyEditCreateFont(EditorWindowData& rec, std::int32_t choice, std::int32_t size);
void yyeditfont(std::int32_t choice, std::int32_t size, std::int32_t& status);
void yyeditinfo(std::int32_t slot, std::int32_t item, std::int32_t& value);
void yyeditinfostring(std::int32_t slot, std::int32_t item, char* text, std::int32_t length);
void yyeditcountrtf(std::int32_t& count);
void yyeditgetrtf(unsigned char* buffer);
void yyeditputrtf(std::int32_t count, const unsigned char* buffer);
void yyeditselect(std::int32_t& start, std::int32_t end);
void yyeditsetpos(std::int32_t position);
void yyeditsettop(std::int32_t line);
void yyeditsetflags(std::int32_t saved, std::int32_t changed);
void yyeditclearundo();
void yyeditputtext(std::int32_t& status, const char* text);
void yyeditgettext(std::int32_t& status, std::int32_t length, char* text);
void yyeditconvertpos(std::int32_t direction, std::int32_t value, std::int32_t& result);
void yyeditputtextpart(std::int32_t& start, std::int32_t end, const char* text);
void yyeditgettextpart(std::int32_t& start, std::int32_t length, char* text);
void yyeditformattext(std::int32_t& status, std::int32_t first, std::int32_t last, std::int32_t bold, std::int32_t italic,
                      std::int32_t underline, std::int32_t strike, std::int32_t size, std::int32_t colour,
                      std::int32_t background, std::string_view face);
void yyeditformatpara(std::int32_t& status, std::int32_t first, std::int32_t last, std::int32_t bullets, std::int32_t alignment);
void yyeditshowhide(std::int32_t show);
void yyeditredraw(std::int32_t slot);
void yyeditsetbackup(std::int32_t on);
void yyeditsave(std::int32_t mode);
void yyeditselectbuffer(std::int32_t n, std::int32_t& status);
// Control positions of two application positions.
void yyEditAdjustPos(EditorWindowData& rec, std::int32_t p1, std::int32_t p2, std::int32_t& c1, std::int32_t& c2);
// Text length counting each line break as two characters.
std::int32_t yyGetWindowTextLength(OsHandle control, std::int32_t hidden);

// ---- command field and history (current window) ----
void yyeditprompt(std::int32_t& status, const char* text, std::int32_t length);
void yyeditputcommand(std::int32_t& status, const char* text, std::int32_t caret);
void yyeditgetcommand(std::int32_t& status, char* text, std::int32_t length);
void yyeditcheckhistory(std::int32_t& status);
void yyeditclearhistory(std::int32_t& status);
void yyeditputhistory(std::int32_t index, const char* text);
// Copies entry index into text, at most length - 1 characters and a NUL.
void yyeditgethistory(std::int32_t index, char* text, std::int32_t length);

// ---- the window ----
// Converts the current window into an editor, or opens another file in it.
void yyeditfile(std::int32_t& status, std::int32_t& mode, std::int32_t menuId, std::int32_t flags, std::int32_t fontOption,
                std::int32_t fontSize, std::int32_t fileType, std::string_view fileName, std::string_view filter);
// The public routine over yyeditfile: checks its arguments and reports the
// statuses as library errors (1022, 1024, 1025, 1026, 1027, 1033, 1038, 1057, 1068, 1002).
void WEditFile(std::int32_t mode, std::int32_t menuId, std::int32_t flags, std::int32_t fontOption, std::int32_t fontSize,
               std::int32_t fileType, std::string_view fileName, std::string_view filter = {});
std::intptr_t yyEditSubCommand(OsHandle control, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yyEditFindHook(OsHandle dialog, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// Label of View item n: "&n\t" or "&A\t".. then the path or "Untitled".
std::string yyeditviewlabel(std::int32_t n, std::string_view path);

// ---- font dialog, printing and the colouring painter ----
void yyEditFormatFont(OsHandle window, EditorWindowData& rec);
std::int32_t yyEditPrint(OsHandle window, EditorWindowData& rec, std::int32_t selectionOnly);
void yyEditPosFromChar(OsHandle control, std::int32_t position, OsPoint& point);
void yyEditTextOut(EditorWindowData& rec, OsHandle dc, const char* text, std::int32_t position, std::int32_t length);
std::intptr_t yyEditSubRTF(OsHandle control, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// The library's colouring hook: no ranges.
std::int32_t yyeditparsecallback(std::int32_t slot, std::int32_t selStart, std::int32_t selEnd, std::int32_t maximum,
                                 std::int32_t* starts, std::int32_t* ends, std::int32_t* colours, std::int32_t& count,
                                 const char* line);
// The colouring hook the painter calls; a program puts its own in place.
using EditParseCallback = std::int32_t (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t*,
                                           std::int32_t*, std::int32_t*, std::int32_t&, const char*);
extern EditParseCallback edit_parse_callback;
// Syntax colouring on for the current editor.
void yyeditsetcallback();
