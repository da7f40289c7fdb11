#pragma once
// Support of the HP-GL and HP-GL/2 driver tests: a drawable of 1000 x 750
// device units, runs that give the written lines, one picture drawn with
// pens, line types, fills, a circle, an arc and labels, and hp2xx reading
// a file.
#include <string>
#include <vector>

#include "tests/hardcopy/vector_support.h"

using Lines = std::vector<std::string>;

// The lines of BYTES, each ended by CR LF (a last piece without is kept).
Lines split_crlf(const std::string& bytes);

class HpglFileTest : public VectorFileTest {
protected:
    HpglFileTest() : VectorFileTest(1000, 750) {}
    // Starts a run on NAME, calls DRAW, stops it; the bytes written.
    template <class F>
    std::string run_bytes(const std::string& name, F draw, const char* title = nullptr) {
        if (title) igrhardcopy_titled(name, title);
        else start(name);
        head_ = split_crlf(written_so_far()).size();
        draw();
        stop();
        return read_file(name);
    }
    template <class F>
    Lines run(const std::string& name, F draw, const char* title = nullptr) {
        return split_crlf(run_bytes(name, draw, title));
    }
    // The lines after those the start of the last run wrote.
    Lines after_head(const Lines& l) const {
        return Lines(l.begin() + static_cast<std::ptrdiff_t>(std::min(head_, l.size())), l.end());
    }

private:
    void start(const std::string& name);
    void igrhardcopy_titled(const std::string& name, const char* title);
    void stop();
    std::size_t head_ = 0;
};

// Ends the page as the front end does between pages.
void end_page();
// Lines in four colours and line types, a solid and a hatched polygon, a
// circle, an arc and labels at 0 and 30 degrees.
void draw_hpgl_scene();
// hp2xx draws FILE into a PNG that is not blank; skips without hp2xx.
// With HARDCOPY_PICTURE_DIR set the PNG is kept there as NAME.png.
void expect_hp2xx_draws(const std::string& file, const std::string& name);
