#pragma once
// Flowlines to a map file: the drawing commands of computed flowlines ("ma"
// move, "da" draw, "pm" marker) grouped into blocks through a temporary
// file of 80-character records, then written as a BLN file whose markers
// are small outlines; or as DXF made from such a BLN file.
#include <string>
#include <string_view>

#include "app/appdata.h"

// The command's choices, kept between its runs.
struct FlowlineState {
    std::string flowfile = std::string(TextLength, ' ');
    std::string flowmap = std::string(TextLength, ' ');
    int flowfmt = 0;    // 1 BLN, 2 DXF
    int flowmode = 0;   // 1 overwrite, 2 append
    std::string records;   // the 80-character records of this run's conversions
};
extern FlowlineState flowline_state;

// The records of the conversions of this run (what Append continues), as
// the temporary file of the last conversion held them. That file has a name
// of its own in home ("flow2bln.<process>.<n>.tmp") and is removed when the
// conversion ends or fails.
const std::string& flowline_records();

// Converts the flowline file into the BLN file (rewritten). append = 1 keeps
// the blocks of earlier conversions in the temporary file (after its last
// record) and writes them again. On an unreadable line, a file without
// flowline commands or a file that cannot be opened or written the error
// is reported and false returned; the map file is then not written.
bool flow2bln(std::string_view flowfile, std::string_view mapfile, int append);

// Appends marker block m (brought to 1..10 in the caller's variable) around
// (x, y), size s across, to the BLN output.
class TextOut;
void marker(int& m, float x, float y, float s, TextOut& out);

// Flowlines (40040, dialog 110).
void cmd_flowlines();
