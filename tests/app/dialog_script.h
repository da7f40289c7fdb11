#pragma once
// The user at a modeless dialog of the program: whenever the program waits
// and nothing is queued, the next step types its entries into fields (the
// old text selected first), clicks its radio button and then its push
// button. When the steps are used up, Escape. The texts the dialog showed
// at the first wait are kept.
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lib/dialog/dialog.h"
#include "platform/os_dialog.h"
#include "platform/os_window.h"

struct DialogStep {
    DialogStep(int b = 0, std::vector<std::pair<int, std::string>> e = {}, int r = 0)
        : button(b), edits(std::move(e)), radio(r) {}
    int button = 0;                                    // 0: no click (a poll passes)
    std::vector<std::pair<int, std::string>> edits;
    int radio = 0;
};

class DialogScript {
public:
    void start(std::vector<DialogStep> steps) {
        steps_ = std::move(steps);
        at_ = 0;
        shown_.clear();
        waits_ = 0;
        os_set_wait_script([this] { step(); });
    }
    void stop() { os_set_wait_script({}); }
    std::string shown(int field) const {
        auto it = shown_.find(field);
        return it == shown_.end() ? "?" : it->second;
    }
    int waits() const { return waits_; }

    static void click(OsHandle w) {
        os_input_mouse(w, OS_MOUSE_PRESS, 1, 3, 3);
        os_input_mouse(w, OS_MOUSE_RELEASE, 1, 3, 3);
    }
    // The characters reach the field at once (typed input would wait in the
    // queue until the program fetches it, after the focus moved on).
    static void type_into(OsHandle w, const std::string& text) {
        os_set_focus(w);
        os_send_message(w, EM_SETSEL, 0, -1);
        if (text.empty()) os_send_message(w, OSM_CHAR, 8, 0);
        for (char c : text) os_send_message(w, OSM_CHAR, static_cast<unsigned char>(c), 0);
    }

private:
    void step() {
        const OsHandle d = yycurrentdialog();
        if (!d) return;
        ++waits_;
        if (shown_.empty())
            for (OsHandle c : os_child_windows(d)) shown_[os_get_control_id(c)] = os_get_window_text(c);
        if (at_ >= steps_.size()) {
            os_input_key(os_get_focus() ? os_get_focus() : d, OS_VK_ESCAPE, 0);
            return;
        }
        const DialogStep s = steps_[at_++];
        for (const auto& [field, text] : s.edits) type_into(os_get_dlg_item(d, field), text);
        if (s.radio) click(os_get_dlg_item(d, s.radio));
        if (s.button) click(os_get_dlg_item(d, s.button));
    }

    std::vector<DialogStep> steps_;
    std::size_t at_ = 0;
    std::map<int, std::string> shown_;
    int waits_ = 0;
};

// A script that ends with its scope.
class ScopedDialogScript : public DialogScript {
public:
    ScopedDialogScript(std::initializer_list<DialogStep> steps) { start(steps); }
    ~ScopedDialogScript() { stop(); }
    ScopedDialogScript(const ScopedDialogScript&) = delete;
    ScopedDialogScript& operator=(const ScopedDialogScript&) = delete;
};
