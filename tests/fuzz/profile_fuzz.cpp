// The profile settings file: any bytes read as the Profile command reads
// them, the texts taken as its dialog takes them, and written back: what is
// written reads back as the same texts.
#include <array>
#include <string>

#include "app/appdata.h"
#include "app/mainstate.h"
#include "app/profile.h"
#include "app/records.h"
#include "lib/window/text.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(profile) {
    const std::string home = fuzz_path("");
    dat19.home = txt_fixed(home, TextLength);
    dat19.lhome = static_cast<std::int32_t>(txt_len(dat19.home));
    fuzz_file("zeltramo.pro", fuzz_text(data, size));
    ProfileTexts& t = profile_texts;
    read_profile_settings();
    // The numbers as the dialog reads them.
    for (std::string* s : {&t.ptx1, &t.pty1, &t.ptx2, &t.pty2, &t.ptn}) {
        std::string copy = *s;
        float v = 0;
        int ierr = 0;
        waarde(copy, v, ierr);
    }
    const std::array<std::string, 6> first{t.ptx1, t.pty1, t.ptx2, t.pty2, t.ptn, mainstate.profname};
    write_profile_settings();
    read_profile_settings();
    const std::array<std::string, 6> again{t.ptx1, t.pty1, t.ptx2, t.pty2, t.ptn, mainstate.profname};
    fuzz_check(first == again, "the profile settings written read back");
}
