#pragma once
// Support of the CGM tests: the file driver selected on a 640 x 480
// drawable, runs walked, a small BMP writer, and LibreOffice drawing a
// file so that coarse pixel probes can find the test picture.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/hardcopy/vector_support.h"
#include "tests/support/cgm_walker.h"

class CgmFileTest : public VectorFileTest {
protected:
    CgmFileTest() : VectorFileTest(640, 480) {}
    void SetUp() override;
    // A run to NAME with DRAW, walked.
    template <class F>
    CgmWalk run(const std::string& name, F draw) {
        start(name);
        draw();
        return stop(name);
    }
    void start(const std::string& name);
    CgmWalk stop(const std::string& name);
};

// A 24-bit BMP of WIDTH x HEIGHT PackedRGB pixels, top row first.
void write_bmp(const std::string& name, int width, int height, const std::vector<std::int32_t>& pixels);
// The test picture in world units equal to the drawable's pixels: a blue
// filled rectangle at the left, a green filled ellipse at the right, a red
// line along the top.
void draw_test_picture();
// The library's own file identification finds one picture of the page's
// aspect WIDTH / HEIGHT.
void identification_reads(const std::string& cgm, float aspect);
// LibreOffice converts the file to a one-page PDF (skipped without soffice).
void libreoffice_reads(const std::string& cgm);
// ... and the PDF's picture shows the blue rectangle, green ellipse and red
// line where they were drawn.
void libreoffice_finds_test_picture(const std::string& cgm);
