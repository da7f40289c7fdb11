#include "app/apphooks.h"

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/window/fetch.h"
#include "lib/window/text.h"

DialogHooks dialog_hooks;
DialogStandIn dialog_stand_in;

namespace {

int* stand_in_value(std::vector<std::pair<int, int>>& list, int field, bool create) {
    for (auto& f : list)
        if (f.first == field) return &f.second;
    if (!create) return nullptr;
    list.emplace_back(field, 0);
    return &list.back().second;
}

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
        dialog_stand_in.checks.clear();
        dialog_stand_in.integers.clear();
        dialog_stand_in.states.clear();
        dialog_stand_in.radio = 0;
        dialog_stand_in.radios.clear();
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
    dialog_stand_in.radios.push_back(field);
}

void app_dialog_get_radio(int first, int last, int& selected) {
    if (dialog_hooks.get_radio) return dialog_hooks.get_radio(first, last, selected);
    if (dialog_stand_in.radio >= first && dialog_stand_in.radio <= last) {
        selected = dialog_stand_in.radio - first + 1;
        return;
    }
    // Dialogs with several groups: the button selected last in this one.
    const auto& r = dialog_stand_in.radios;
    for (auto it = r.rbegin(); it != r.rend(); ++it)
        if (*it >= first && *it <= last) {
            selected = *it - first + 1;
            return;
        }
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
        dialog_stand_in.checks.clear();
        dialog_stand_in.integers.clear();
        dialog_stand_in.states.clear();
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
    if (dialog_stand_in.next_button < dialog_stand_in.buttons.size())
        return dialog_stand_in.buttons[dialog_stand_in.next_button++];
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

int app_peek_message() {
    if (dialog_hooks.peek) return dialog_hooks.peek();
    if (dialog_stand_in.next_button < dialog_stand_in.buttons.size())
        return dialog_stand_in.buttons[dialog_stand_in.next_button++];
    if (!yycurrentdialog()) return 1;
    std::int32_t type = 0;
    WindowMessage m;
    wmessagepeek(type, m);
    return button_of(type, m);
}

void app_dialog_put_checkbox(int field, int state) {
    if (dialog_hooks.put_checkbox) return dialog_hooks.put_checkbox(field, state);
    *stand_in_value(dialog_stand_in.checks, field, true) = state;
}

void app_dialog_get_checkbox(int field, int& state) {
    if (dialog_hooks.get_checkbox) return dialog_hooks.get_checkbox(field, state);
    if (const int* v = stand_in_value(dialog_stand_in.checks, field, false)) state = *v;
}

void app_dialog_put_integer(int field, int value) {
    if (dialog_hooks.put_integer) return dialog_hooks.put_integer(field, value);
    *stand_in_value(dialog_stand_in.integers, field, true) = value;
}

void app_dialog_get_integer(int field, int& value) {
    if (dialog_hooks.get_integer) return dialog_hooks.get_integer(field, value);
    if (const int* v = stand_in_value(dialog_stand_in.integers, field, false)) value = *v;
}

void app_dialog_field_state(int field, int state) {
    if (dialog_hooks.field_state) return dialog_hooks.field_state(field, state);
    *stand_in_value(dialog_stand_in.states, field, true) = state;
}

void app_select_colour(int& colour) { WSelectColour(colour); }

void reset_app_hooks() {
    dialog_hooks = DialogHooks{};
    dialog_stand_in = DialogStandIn{};
}
