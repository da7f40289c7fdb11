#pragma once
// The fields of the current dialog: their types and states, typed values
// (texts, numbers, check boxes, radio groups, menus, progress bars, ranges,
// options), the numeric classes with their range check, the subclasses of
// the controls, tab pages, tree fields and the information queries.
// Public routines report through yyerror and return normally; back ends
// return a status in their first argument (-1 no such field or the wrong
// class, -2 and -3 as each one says) and never report.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "platform/os_dc.h"

// ---- field types and states -----------------------------------------------------------
enum FieldType : std::int32_t {
    FieldOther = 0, FieldLabel = 1, FieldOtherStatic = 2, FieldGroupBox = 3, FieldString = 4, FieldInteger = 5,
    FieldReal = 6, FieldDouble = 7, FieldPushButton = 8, FieldCheckBox = 9, FieldRadioButton = 10,
    FieldComboBox = 11, FieldListBox = 12, FieldTab = 13, FieldProgressBar = 14, FieldGrid = 15,
    FieldTrackbar = 16, FieldTreeView = 17,
};
enum FieldState : std::int32_t { FieldDisabled = 0, FieldEnabled = 1, FieldReadOnly = 2, FieldHidden = 3 };

// The control of a field of the current dialog, 0 when none.
OsHandle yyfieldwindow(std::int32_t field);
// The type and state of a control.
std::int32_t yyfieldtypeof(OsHandle control);
std::int32_t yyfieldstateof(OsHandle control);
// Applies a state to a control (its record keeps the request).
void yyfieldapply(OsHandle control, std::int32_t state, std::int32_t update);
// 1 inside, 2 overlapping, 0 outside (rect in the parent's client coordinates).
std::int32_t yyFieldInRect(OsHandle control, const OsRect& rect);
// Whether a control is an edit field, a numeric field or a grid (the fields
// with a read-only state).
bool yyeditlike(OsHandle control);

void yygetfieldtype(std::int32_t& field, std::int32_t& type);
void yygetfieldstate(std::int32_t& field, std::int32_t& state);
void yyfieldenable(std::int32_t& field, std::int32_t state, std::int32_t update);
void yygetfieldinfo(std::int32_t& field, std::int32_t& x, std::int32_t& y, std::int32_t& width,
                    std::int32_t& height, std::int32_t mode);
void yygetdlgfactor(std::int32_t& width, std::int32_t& height);
void yyfieldselect(std::int32_t& field, std::int32_t& width, std::int32_t& height);
void yyfieldcolour(std::int32_t& field, std::int32_t tr, std::int32_t tg, std::int32_t tb, std::int32_t br,
                   std::int32_t bg, std::int32_t bb);

// ---- typed access ------------------------------------------------------------------
using OptText = std::optional<std::string_view>;
void WDialogPutString(std::int32_t field, std::string_view text);
void WDialogGetString(std::int32_t field, std::string& text);
void WDialogGetStringLength(std::int32_t field, std::int32_t& length);
void WDialogPutInteger(std::int32_t field, std::int32_t value);
void WDialogPutReal(std::int32_t field, float value, OptText format = {});
void WDialogPutDouble(std::int32_t field, double value, OptText format = {});
void WDialogGetInteger(std::int32_t field, std::int32_t& value);
void WDialogGetReal(std::int32_t field, float& value);
void WDialogPutCheckBox(std::int32_t field, std::int32_t state);
void WDialogGetCheckBox(std::int32_t field, std::int32_t& state);
void WDialogPutRadioButton(std::int32_t field);
void WDialogGetRadioButton(std::int32_t field, std::int32_t& position);
void WDialogPutMenu(std::int32_t field, std::span<const std::string> options, std::int32_t count,
                    std::int32_t selected, OptText text = {});
void WDialogPutOption(std::int32_t field, std::int32_t option);
void WDialogGetMenu(std::int32_t field, std::int32_t& option, std::string* text = nullptr);
void WDialogPutProgressBar(std::int32_t field, std::int32_t position, OptInt increment = {});
void WDialogRangeProgressBar(std::int32_t field, std::int32_t minimum, std::int32_t maximum);
void WDialogRangeInteger(std::int32_t field, OptInt minimum = {}, OptInt maximum = {});
void WDialogFieldState(std::int32_t field, std::int32_t state);
void WDialogFieldOptions(std::int32_t field, std::int32_t option, std::int32_t value);

void yyfieldputtext(std::int32_t& field, double value, std::string_view text, std::string_view format);
void yyfieldgetstring(std::int32_t& field, std::string& text, std::int32_t size);
void yyfieldgetlength(std::int32_t& field, std::int32_t& length);
void yyfieldgetvalue(std::int32_t& field, double& value);
std::string yyfieldgetformat(std::int32_t field);
void yyfieldrange(std::int32_t& field, double minimum, double maximum);
void yyfieldrangecheck(std::int32_t& field, double value);
void yyfieldputcheck(std::int32_t& field, std::int32_t state);
void yyfieldgetcheck(std::int32_t& field, std::int32_t& state);
void yyfieldgroup(std::int32_t field, std::int32_t& first, std::int32_t& last);
void yyfieldputradio(std::int32_t& field);
void yyfieldgetradio(std::int32_t& field, std::int32_t& position);
void yygetmenutype(std::int32_t& field, std::int32_t& kind);
void yyfieldputmenu(std::int32_t kind, std::int32_t field, std::string_view text);
void yyfieldputoption(std::int32_t kind, std::int32_t& field, std::int32_t index);
void yyfieldputcombo(std::int32_t field, std::string_view text);
void yyfieldgetlist(std::int32_t& field, std::int32_t& option, bool want_text, std::string& text);
void yyfieldgetcombo(std::int32_t& field, std::int32_t& option, bool want_text, std::string& text);
void yyfieldclear(std::int32_t& field);
void yyfieldputprogress(std::int32_t& field, std::int32_t position, std::int32_t increment);
void yyrangeprogress(std::int32_t& field, std::int32_t minimum, std::int32_t maximum);
void yyfieldoption(std::int32_t& field, std::int32_t option, std::int32_t value);
void yyfieldputtrack(std::int32_t& field, std::int32_t position, std::int32_t start, std::int32_t end,
                     std::int32_t mode);
void yyfieldgettrack(std::int32_t& field, std::int32_t& position, std::int32_t& start, std::int32_t& end);
void yyrangetrack(std::int32_t& field, std::int32_t minimum, std::int32_t maximum, std::int32_t ticks);
void yyfieldtrackstep(std::int32_t& field, std::int32_t line, std::int32_t page);
void yygettrackrange(std::int32_t& field, std::int32_t& minimum, std::int32_t& maximum);
void yyfieldgettab(std::int32_t& field, std::int32_t& page);
void yygetoptioncount(std::int32_t field, std::int32_t& count);
void yyfieldgetopt(std::int32_t field, std::int32_t index, std::int32_t& state);
void yyfieldputopt(std::int32_t field, std::int32_t index, std::int32_t state);
void yyfieldputopt2(std::int32_t field, std::int32_t first, std::int32_t last, std::int32_t state);

// A double as the nearest 32-bit integer toward zero; beyond the range the
// nearest end, never an undefined conversion.
std::int32_t yytruncint(double value);

// ---- numeric classes ----------------------------------------------------------------
void yyregistersuperclass();
// Whether a control is of one of the six numeric classes; kind 1 integer, 2 real, 3 double, 0 none.
std::int32_t yynumerickind(OsHandle control);
bool yyisspinfield(OsHandle control);
std::int32_t yyoutofrange(OsHandle field, OsHandle target, std::int32_t flag);
void yyselectinvalid(OsHandle target, OsHandle field, std::int32_t tab);
void yyDefaultButton(OsHandle window);
// Puts the saved text and value back into a field whose invalid value was given up.
void yyrestorevalid(OsHandle field);
// The spin change of an up-down whose buddy is a spin field; 1 handled, 0 not a spin field.
// The up-down subclass of spin fields: a press first moves the focus to the field.
std::intptr_t yysubupdown(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yyspinchange(OsHandle dialog, std::intptr_t notify);
void yyfieldspinstepi(std::int32_t& field, std::int32_t small, std::int32_t large, std::int32_t offset);
void yyfieldspinstepr(std::int32_t& field, float small, float large);
void yyfieldspinstepd(std::int32_t& field, double small, double large);

// ---- information queries --------------------------------------------------------------
std::int32_t winfodialog(std::int32_t code);
std::int32_t winfodialogfield(std::int32_t field, std::int32_t code);
void yywinfodialog(std::int32_t code, std::int32_t& value);
void reset_dialog_info();

// ---- subclasses and images ------------------------------------------------------------
void yyregistersubclass();
// Puts the class procedure of a control of a dialog in front of it.
void yysubclass(OsHandle control);
// The outermost procedure of every control of a dialog.
std::intptr_t yysubpaint(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp);
void yyfieldimage(std::int32_t& field, std::int32_t image, std::int32_t kind);
void yymakebitmaptransparent(OsObject bitmap);
OsObject yycopybitmap(OsObject source);

// ---- tab pages ------------------------------------------------------------------------
// A "[Tabs]" line after the control id: count, first page, the page lines;
// returns the characters read.
std::int32_t yytabbuild(OsHandle dialog, OsHandle tab, const char* text, std::int32_t index);
void yytabdialoginit(OsHandle dialog);
void yytabdialogend(OsHandle dialog);
void yytabdialogsetfocus(OsHandle tab, OsHandle page, std::int32_t focus);
std::intptr_t yytabnotify(OsHandle dialog, std::intptr_t notify);
void yydialogsettab(std::int32_t& field, std::int32_t& page);
void yytabenable(std::int32_t& field, std::int32_t& page, std::int32_t flag);

// ---- tree fields ------------------------------------------------------------------------
void yyTreeViewInit(OsHandle tree, std::int32_t menu, std::int32_t select);
void yyTreeViewInit2(OsHandle tree, std::int32_t parent, std::int32_t menu, std::int32_t select);
std::int32_t yyTreeViewFind(OsHandle tree, std::int32_t id);
std::int32_t yyTreeViewFind2(OsHandle tree, std::int32_t first, std::int32_t id);
// Copies the chain from first with its descendants under parent (parent 0:
// the whole source tree replaces the target's items).
void yyTreeViewCopy(OsHandle target, std::int32_t parent, OsHandle source, std::int32_t first);
void yyfieldgettree(std::int32_t& field, std::int32_t& id, bool want_text, std::string& text, std::int32_t size);
void yyfieldputtree(std::int32_t& field, std::int32_t id);
void yytreeviewinsert(std::int32_t& field, std::int32_t reference, std::int32_t mode, std::int32_t id,
                      std::string_view text);
void yytreeviewdelete(std::int32_t& field, std::int32_t id);
void yytreeviewgetstate(std::int32_t& field, std::int32_t id, std::int32_t& state);
void yytreeviewsetstate(std::int32_t& field, std::int32_t id, std::int32_t state);
void yytreeviewsetstring(std::int32_t& field, std::int32_t id, std::string_view text);
void yytreeviewcheck(std::int32_t flag);
std::intptr_t yytreenotify(OsHandle dialog, std::intptr_t notify);
