#pragma once
// The program's data blocks. Every routine of the program reads and writes
// these blocks directly; nothing is allocated while the program runs. Each
// block is a struct with one instance named after the block; its items keep
// their names. Arrays are indexed as the model numbers things: from 1 unless a
// range is given (GridOption planes 0..52), and a two-index array (a, b) is
// stored with the first index running fastest. Indexing outside an array's
// range is a programming fault and stops the program at once rather than
// touching a neighbouring item; input is checked against the limits below
// before it is stored.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Limits of the data model.
constexpr int MaxNodes = 45000;
constexpr int MaxElements = 90000;
constexpr int MaxNeighbours = 25;           // neighbour-list entries per node (plus the closing one)
constexpr int MaxAquifers = 17;
constexpr int NumGridOptions = 52;          // GridOption 0..51
constexpr int ValuePlanes = 53;             // planes 0..52 of `value`; 52 is spare
constexpr int MaxWells = 765000;
constexpr int MaxLabels = 1000;
constexpr int TitleLines = 15;
constexpr int MaxGridPoints = 500;          // regular grid, per axis
constexpr int MaxModflow = 500;             // MODFLOW columns and rows
constexpr int MaxProfilePoints = 5000;
constexpr int MapLayers = 4;
constexpr int TextLength = 80;              // the fixed length of the program's names and lines
constexpr int TitleTextLength = 51;         // significant part of a GridOption title

// Grid points that no triangle covers (bit pattern 7EFFFFEE).
constexpr float BlankValue = 1.70141E+38f;

// GridType: the layout of the grid file.
enum GridType : std::int32_t { GridSurfer = 0, GridArcInfo = 1, GridModflow = 2 };

// Stops the program: an index outside its array is a fault of the program.
[[noreturn]] void appdata_index_fault(const char* what, long index);

// One-index array of N items, indices Lo..Lo+N-1.
template <class T, int N, int Lo = 1>
struct Arr1 {
    std::array<T, N> a{};
    T& operator()(int i) {
        if (i < Lo || i >= Lo + N) [[unlikely]] appdata_index_fault("index", i);
        return a[static_cast<std::size_t>(i - Lo)];
    }
    const T& operator()(int i) const {
        if (i < Lo || i >= Lo + N) [[unlikely]] appdata_index_fault("index", i);
        return a[static_cast<std::size_t>(i - Lo)];
    }
    void clear() { a.fill(T{}); }
    static constexpr int lo = Lo;
    static constexpr int hi = Lo + N - 1;
};

// Two-index array N1 x N2, first index fastest.
template <class T, int N1, int N2, int Lo1 = 1, int Lo2 = 1>
struct Arr2 {
    std::array<T, static_cast<std::size_t>(N1) * N2> a{};
    static std::size_t at(int i, int j) {
        if (i < Lo1 || i >= Lo1 + N1) [[unlikely]] appdata_index_fault("first index", i);
        if (j < Lo2 || j >= Lo2 + N2) [[unlikely]] appdata_index_fault("second index", j);
        return static_cast<std::size_t>(j - Lo2) * N1 + static_cast<std::size_t>(i - Lo1);
    }
    T& operator()(int i, int j) { return a[at(i, j)]; }
    const T& operator()(int i, int j) const { return a[at(i, j)]; }
    void clear() { a.fill(T{}); }
    static constexpr int lo1 = Lo1, hi1 = Lo1 + N1 - 1, lo2 = Lo2, hi2 = Lo2 + N2 - 1;
};

// N fixed-length texts of Len characters, blank-padded.
template <int N, int Len, int Lo = 1>
struct Texts {
    std::array<std::string, N> a;
    Texts() { clear(); }
    std::string& operator()(int i) {
        if (i < Lo || i >= Lo + N) [[unlikely]] appdata_index_fault("text index", i);
        return a[static_cast<std::size_t>(i - Lo)];
    }
    const std::string& operator()(int i) const {
        if (i < Lo || i >= Lo + N) [[unlikely]] appdata_index_fault("text index", i);
        return a[static_cast<std::size_t>(i - Lo)];
    }
    void clear() {
        for (auto& s : a) s.assign(Len, ' ');
    }
    static constexpr int length = Len;
};

// Model integers that the model writer puts back.
struct Dat1 {
    std::int32_t ihdr1 = 0, ihdr2 = 0;
    Arr1<std::int32_t, MaxNodes> nodecode;   // 1 marks a boundary node
    Arr1<std::int32_t, MaxNodes> nodeint;    // the last integer before an aquifer head
    Arr1<std::int32_t, MaxNodes> nodeextra;  // extra value of the neighbour line, 0 when absent
};

// Wells.
struct Dat2 {
    Arr1<std::int32_t, MaxWells> wellint1;   // the well's aquifer number
    Arr1<std::int32_t, MaxWells> wellint2;
    Arr1<float, MaxWells> wellval;
};

// The current triangle: corners x1, y1, x2, y2, x3, y3 and their values.
struct Dat3 {
    Arr1<float, 6> trixy;
    Arr1<float, 3> triz;
};

// Mesh geometry and counts.
struct Dat4 {
    Arr1<float, MaxNodes> xnode;
    Arr1<float, MaxNodes> ynode;
    Arr2<std::int32_t, MaxElements, 3> elnode;   // (element, corner 1..3)
    std::int32_t nelem = 0;
    std::int32_t nnode = 0;
    std::int32_t nwell = 0;
    std::int32_t naq = 0;
    std::int32_t nelemhdr = 0;
    std::int32_t nlabel = 0;
};

// GridOption titles and active flags ("j" on; anything else off).
struct Dat5 {
    Texts<NumGridOptions, TextLength, 0> optitle;
    Arr1<char, NumGridOptions, 0> opton;
};

// Neighbour rings: entries 1..n as read and n+1 the closing copy of entry 2;
// nnb negative for a boundary node.
struct Dat6 {
    Arr2<std::int32_t, MaxNodes, MaxNeighbours + 1> nb;
    Arr1<std::int32_t, MaxNodes> nnb;
};

// Node values per GridOption plane and the interpolated grid.
struct Dat7 {
    Arr2<float, MaxNodes, ValuePlanes, 1, 0> value;          // (node, plane 0..52)
    Arr2<float, MaxGridPoints, MaxGridPoints> gridval;       // (column i, row j); j = 1 at gy0
    float zmin = 0, zmax = 0;
    float blank = 0;
};

// The GridDefinition.
struct Dat8 {
    float gx0 = 0, gy0 = 0;
    float gx1 = 0, gy1 = 0;
    std::int32_t nx = 0, ny = 0;
    float dx = 0, dy = 0;
    float cellsize = 0;
    std::int32_t nxmax = 0, nymax = 0;
    float xll = 0, yll = 0;
};

// The ViewWindow: the world rectangle shown in the main window.
struct Dat9 {
    float vxmin = 0, vymin = 0, vxmax = 0, vymax = 0;
};

// Model extent as read: ext = xmin, ymin, xmax, ymax; extr = xmax, ymax, xmin, ymin.
struct Dat11 {
    Arr1<float, 4> ext;
    Arr1<float, 4> extr;
};

// Grid rotation in radians, counter-clockwise.
struct Dat12 {
    float rotang = 0;
};

// The MODFLOW grid.
struct Dat16 {
    Arr1<float, MaxModflow> xcen;
    Arr1<float, MaxModflow> ycen;
    std::int32_t ncol = 0, nrow = 0;
    Arr2<float, MaxModflow, MaxModflow> mfval;   // (column, row); -9999.0 where uncovered
    Arr1<float, MaxModflow> delr;
    Arr1<float, MaxModflow> delc;
};

// DELR and DELC file names.
struct Dat17 {
    std::string delrfile = std::string(TextLength, ' ');
    std::string delcfile = std::string(TextLength, ' ');
};

// Grid file layout and MODFLOW row order (1 top row first, 2 first row first).
struct Dat18 {
    std::int32_t gridtype = 0;
    std::int32_t roworder = 0;
};

// The working directory, ending in a directory separator, and its length.
struct Dat19 {
    std::string home = std::string(TextLength, ' ');
    std::int32_t lhome = 0;
};

// Profile results: values per point and GridOption, the line and its range.
struct Dat30 {
    Arr2<float, MaxProfilePoints, NumGridOptions, 1, 0> prof;
    float plen = 0, px1 = 0, py1 = 0, px2 = 0, py2 = 0;
    float pmin = 0, pmax = 0;
};

// Points a nodal-area polygon holds: two per neighbour of the most the model
// reader accepts (24), and the closing repeat of the first.
constexpr int MaxPolygonPoints = 2 * (MaxNeighbours - 1) + 1;

// Nodal areas and the intersection view: per node its polygon (points
// 1..npoly, point npoly + 1 repeating point 1), its area and the colour of
// its area in the intersection view (0 when not hit); maxrad is the largest
// distance between a node and a point of its polygon at the latest call.
struct Dat40 {
    Arr2<float, 2, MaxNodes * MaxPolygonPoints> polyxy_;   // see polyxy()
    Arr1<std::int32_t, MaxNodes> npoly;
    Arr1<float, MaxNodes> nodarea;
    float maxrad = 0;
    Arr1<std::int32_t, MaxNodes> hitcol;
    // Coordinate c (1 x, 2 y) of polygon point j (1..MaxPolygonPoints) of node i.
    float& polyxy(int c, int i, int j) { return polyxy_(c, slot(i, j)); }
    float polyxy(int c, int i, int j) const { return polyxy_(c, slot(i, j)); }

private:
    static int slot(int i, int j) {
        if (i < 1 || i > MaxNodes) [[unlikely]] appdata_index_fault("node index", i);
        if (j < 1 || j > MaxPolygonPoints) [[unlikely]] appdata_index_fault("polygon point", j);
        return (j - 1) * MaxNodes + i;
    }
};

// Record counter of the flowline conversion's temporary file.
struct Dat80 {
    std::int32_t nrec = 0;
};

struct LabelBlock {
    Texts<MaxLabels, TextLength> labline;
};

// Leakance switch and the shared GridOption index.
struct LeakageBlock {
    std::int32_t leak = 0;
    std::int32_t iopt = 0;
};

// The four MapLayers.
struct MapBlnBlock {
    Arr1<std::int32_t, MapLayers> mapon;
    Arr1<std::int32_t, MapLayers> mapcol;
    Arr1<std::int32_t, MapLayers> mapwidth;
    Texts<MapLayers, TextLength> mapfile;
};

struct MapColourBlock {
    std::int32_t linemapcol = 0;
};

struct NumberIsoBlock {
    std::int32_t niso = 0;
};

struct TextBlock {
    Texts<TitleLines, TextLength> title;
};

extern Dat1 dat1;
extern Dat2 dat2;
extern Dat3 dat3;
extern Dat4 dat4;
extern Dat5 dat5;
extern Dat6 dat6;
extern Dat7 dat7;
extern Dat8 dat8;
extern Dat9 dat9;
extern Dat11 dat11;
extern Dat12 dat12;
extern Dat16 dat16;
extern Dat17 dat17;
extern Dat18 dat18;
extern Dat19 dat19;
extern Dat30 dat30;
extern Dat40 dat40;
extern Dat80 dat80;
extern LabelBlock label;
extern LeakageBlock leakage;
extern MapBlnBlock map_bln;
extern MapColourBlock mapcolour;
extern NumberIsoBlock numberiso;
extern TextBlock text;

// Counts the changes of the mesh (a model loaded, the blocks reset), so
// that what is derived from the mesh knows when to derive it again.
extern std::uint32_t mesh_generation;

// The ordinal of an aquifer number as the titles write it: "1st", "2nd", "3rd", "4th" ...
std::string aquifer_ordinal(int i);

// The 51-character title of GridOption k (0..51) for the leakance switch.
std::string optitle_text(int k, int leak);

// Sets all 52 titles `optitle` for the leakance switch (first 51 characters
// the title, the rest blanks).
void setoptitles(int leak);

// The values the program's start-up gives the blocks: `blank`, `leak` = 0,
// `nxmax` = `nymax` = 500, `linemapcol` = 230 and the titles. The working
// directory (`home`, `lhome`) is the main program's to set.
void app_data_startup_defaults();

// Asks for the large data blocks (neighbour rings, node values and grids,
// nodal areas) in large pages where the system gives them on request: a
// fresh process otherwise pays a page fault for every 4 KB of them it
// touches first, thousands of them for a full model. Called once at the
// program's start.
void app_data_large_pages();

// Puts every block back to its state at program start (all zero, texts
// blank) and then applies the start-up defaults. Used by tests.
void reset_app_data();
