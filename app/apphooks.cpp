#include "app/apphooks.h"

#include "lib/dialog/dialog.h"
#include "lib/window/fetch.h"
#include "lib/window/text.h"

DialogHooks dialog_hooks;
ViewHooks view_hooks;
DialogStandIn dialog_stand_in;

namespace {

std::string* stand_in_field(int field, bool create) {
    for (auto& f : dialog_stand_in.fields)
        if (f.first == field) return &f.second;
    if (!create) return nullptr;
    dialog_stand_in.fields.emplace_back(field, std::string());
    return &dialog_stand_in.fields.back().second;
}

}  // namespace

void app_dialog_load(int dialog) {
    if (dialog_hooks.load) return dialog_hooks.load(dialog);
    WDialogLoad(dialog);
    // Loading a dialog that is already loaded only selects it.
    if (dialog_stand_in.loaded != dialog) {
        dialog_stand_in.loaded = dialog;
        dialog_stand_in.fields.clear();
        dialog_stand_in.radio = 0;
    }
}

void app_dialog_show(int x, int y, int focus, int mode) {
    if (dialog_hooks.show) return dialog_hooks.show(x, y, focus, mode);
    WDialogShow(x, y, focus, mode);
}

void app_dialog_put_string(int field, std::string_view text) {
    if (dialog_hooks.put_string) return dialog_hooks.put_string(field, text);
    *stand_in_field(field, true) = std::string(txt_trim(text));
}

void app_dialog_get_string(int field, std::string& text) {
    if (dialog_hooks.get_string) return dialog_hooks.get_string(field, text);
    const std::string* f = stand_in_field(field, false);
    txt_set(text, f ? std::string_view(*f) : std::string_view());
}

void app_dialog_put_radio(int field) {
    if (dialog_hooks.put_radio) return dialog_hooks.put_radio(field);
    dialog_stand_in.radio = field;
}

void app_dialog_get_radio(int first, int last, int& selected) {
    if (dialog_hooks.get_radio) return dialog_hooks.get_radio(first, last, selected);
    if (dialog_stand_in.radio >= first && dialog_stand_in.radio <= last) selected = dialog_stand_in.radio - first + 1;
}

void app_dialog_range_progress(int field, int lo, int hi) {
    if (dialog_hooks.range_progress) dialog_hooks.range_progress(field, lo, hi);
}

void app_dialog_put_progress(int field, int value) {
    if (dialog_hooks.put_progress) return dialog_hooks.put_progress(field, value);
    dialog_stand_in.progress = value;
}

void app_dialog_unload(int dialog) {
    if (dialog_hooks.unload) return dialog_hooks.unload(dialog);
    // The main loop unloads its dialogs after every message, loaded or not.
    if (yydialogfind(dialog) > 0) {
        WDialogSelect(dialog);
        WDialogUnload();
    }
    if (dialog_stand_in.loaded == dialog) {
        dialog_stand_in.loaded = 0;
        dialog_stand_in.fields.clear();
    }
}

namespace {

// The id of a push button of the current dialog, -1 for any other message.
int button_of(std::int32_t type, const WindowMessage& m) {
    return type == MsgPushButton && m.WIN == dialog_state.current_id ? m.VALUE1 : -1;
}

}  // namespace

int app_wait_message() {
    if (dialog_hooks.wait) return dialog_hooks.wait();
    // Only a push button of the dialog on the screen answers: a click in the
    // map or a key that happens to carry the same number is passed over.
    for (;;) {
        // Without a dialog there is nothing that could answer: as Cancel.
        if (!yycurrentdialog()) return 2;
        std::int32_t type = 0;
        WindowMessage m;
        wmessage(type, m);
        const int id = button_of(type, m);
        if (id >= 0) return id;
    }
}

int app_poll_message() {
    std::int32_t type = 0;
    WindowMessage m;
    wmessagepeek(type, m);
    return button_of(type, m);
}

void app_plot(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
              int shownodal, int showriver) {
    if (view_hooks.plot)
        view_hooks.plot(plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, shownodal, showriver);
}

void app_pltnetw() {
    if (view_hooks.pltnetw) view_hooks.pltnetw();
}

void app_logo() {
    if (view_hooks.logo) view_hooks.logo();
}

bool app_selfile(std::string_view extension, std::string_view title, std::string& name) {
    if (view_hooks.selfile) return view_hooks.selfile(extension, title, name);
    return false;
}

void reset_app_hooks() {
    dialog_hooks = DialogHooks{};
    view_hooks = ViewHooks{};
    dialog_stand_in = DialogStandIn{};
}
