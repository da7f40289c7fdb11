#pragma once
// Text records: the program's files are text files read and written line by
// line, either with fixed edit descriptors or in free format.
//
// Edit descriptors (a format is a parenthesised list such as "(2I10)",
// "(A,G15.6)" or "(10G15.6)"; letters may be lower case, blanks are ignored):
//   Iw, Iw.m   integer right-aligned in w characters (at least m digits)
//   Fw.d       fixed point with d decimals
//   Ew.d[Ee]   0.ddddE+xx
//   Gw.d[Ee]   fixed form with d significant digits and four (e+2) trailing
//              blanks when 0.1 <= |v| < 10^d after rounding, else the E form
//   A, Aw      text
//   nX         n blanks on output, n columns skipped on input
//   /          ends the line
//   r(...)     a group repeated r times
// A repeat count r before a descriptor repeats it. When the items outlast the
// format, the line ends and the format starts again from its last top-level
// group (or from its beginning), so "(10G15.6)" writes at most ten values a
// line. A value that does not fit its field is written as w asterisks.
//
// Lines end in CR LF on output; on input a line ends at LF, a CR before it is
// dropped. Free-format input takes values separated by blanks, tabs, commas
// or line ends, across as many lines as it needs; the rest of the last line
// read is skipped. Free-format output writes its items on one line, each
// after a blank, reals with the fewest digits that read back to the same value.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_file.h"

// ---- single edit descriptors ----

std::string edit_i(long long v, int w, int m = -1);
std::string edit_f(double v, int w, int d);
std::string edit_e(double v, int w, int d, int e = 0);
std::string edit_g(double v, int w, int d, int e = 0);
// Gw.d of a single-precision value when that reads back as the same value;
// otherwise the fewest further significant digits (up to the nine such a value
// needs) that do, in the same w columns with a blank before the digits, or
// only when they do not fit there in a field widened to hold them. Numbers
// written with too few digits would move what they place by up to half a unit
// of the last digit, and would not read back as what was written.
std::string edit_g_exact(float v, int w, int d);
// Aw: the text right-aligned in w characters, or its first w; w <= 0 the text as it is.
std::string edit_a(std::string_view t, int w);

// Input conversion of one field. Blanks are ignored; an all-blank field is 0.
// A real without a decimal point has its last d digits as decimals; an
// exponent ("E", "D" or a sign followed by digits) is accepted.
bool read_i(std::string_view field, std::int32_t& v);
bool read_f(std::string_view field, int d, double& v);
bool read_f(std::string_view field, int d, float& v);

// ---- files ----

// Status of a read.
enum class RecStatus { Ok, End, Bad };

// A text file read line by line (held in memory), or an internal text.
class TextIn {
public:
    TextIn() = default;
    // Opens the named file (trailing blanks of the name do not count; the
    // name is the program's text, named to the system as every file is);
    // false, with the reason in error(), when it cannot be read, is not a
    // regular file (a directory, a device, a FIFO) or holds more than
    // max_bytes.
    bool open(std::string_view name, std::size_t max_bytes = SIZE_MAX);
    // Why the last open failed, in the system's words where it gave them.
    const std::string& error() const { return error_; }
    // Reads from the given text instead of a file.
    void open_text(std::string text, std::string name = "(text)");
    bool is_open() const { return open_; }
    // Next line without its line end; false at the end of the file.
    bool next_line(std::string_view& line);
    // Steps back to the start of the line last read.
    void back();
    void rewind();
    bool at_end() const { return pos_ >= buf_.size(); }
    // Number of the line last read (1 = first line); 0 before the first.
    long line_number() const { return line_no_; }
    const std::string& name() const { return name_; }
    // Bytes past the end of the text that may be read (whatever they hold),
    // so that a line's items can be scanned in whole blocks.
    static constexpr std::size_t Slack = 64;

private:
    OsLargeBuffer bytes_;
    std::string_view buf_;   // the text, in bytes_
    std::string name_;
    std::string error_;
    std::size_t pos_ = 0;
    std::size_t last_ = std::string::npos;
    long line_no_ = 0;
    bool open_ = false;
};

// A text file written line by line, saved as every file of the system is
// (os_file_save_begin): output goes to a temporary file beside the target
// (through a link, to the link's target); commit() syncs it and puts it in
// the target's place with the target's mode, so a failure never leaves a
// half-written file under the target's name. A target that is not a regular
// file (a device, a FIFO) cannot be created. An output that is not
// committed is discarded. memory() writes into a text instead of a file.
class TextOut {
public:
    TextOut() = default;
    ~TextOut();
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;
    bool create(std::string_view name);
    void memory();
    bool is_open() const { return open_; }
    // Appends the text and a line end.
    void line(std::string_view text);
    // Appends what fill(text) appends to the text it is given: whole lines
    // with their line ends (CR LF), formatted straight into the output.
    template <class Fill>
    void put(Fill&& fill) {
        if (!open_) return;
        fill(buf_);
        appended();
    }
    // Finishes the file; false (and the target unchanged) when anything failed.
    bool commit();
    // The first half of commit: everything written and on the disk under the
    // temporary name, which commit then puts in the target's place. Outputs
    // that must replace their files together are all finished first.
    bool finish();
    // Drops the output.
    void discard();
    // The text written so far (memory output, or what is pending for a file).
    const std::string& str() const { return buf_; }
    const std::string& name() const { return name_; }
    // Why creating or writing the file failed, in the system's words.
    const std::string& error() const { return error_; }

private:
    // A file's output goes out whenever this much is pending: the buffer
    // stays small, in the cache and in memory the process already has.
    static constexpr std::size_t FlushBytes = 64 * 1024;
    void appended();
    void flush_some();
    std::string buf_;
    std::string name_;
    std::string tmp_;
    std::int32_t handle_ = -1;
    bool open_ = false;
    bool in_memory_ = false;
    bool failed_ = false;
    bool finished_ = false;
    std::string error_;
};

// Finishes every output, then puts each in its target's place: either all
// the targets are replaced, or (reported, "cannot write file <name>:
// <reason>", the outputs discarded) all of them stay as they were.
bool commit_outputs(std::initializer_list<TextOut*> outs);

// ---- formats ----

struct EditDesc {
    char kind = 0;   // 'I', 'F', 'E', 'G', 'A', 'X', '/'
    int w = 0;       // width (A without width: 0; X: the count)
    int d = 0;       // decimals or significant digits
    int e = 0;       // exponent digits (0: the default)
    int m = -1;      // minimum digits of I (-1: none)
};

// A format flattened into its sequence of descriptors, with the position the
// format starts again from when the items outlast it.
struct Format {
    std::vector<EditDesc> items;
    std::size_t reversion = 0;
    bool has_data = false;
    bool valid = false;
};

// Parses a format text; Format::valid is false for a text that is not one,
// and for one past the bounds that keep a format from a file harmless: a
// number above 100,000, an expansion to more than 100,000 descriptors, groups
// nested more than 32 deep, widths and blanks adding up to more than
// 1,000,000 columns.
Format parse_format(std::string_view text);

// Writes one record (one or more lines) in a format.
class FormWrite {
public:
    FormWrite(TextOut& out, std::string_view format);
    ~FormWrite();
    FormWrite(const FormWrite&) = delete;
    FormWrite& operator=(const FormWrite&) = delete;
    FormWrite& i(long long v);
    FormWrite& r(double v);
    FormWrite& a(std::string_view t);
    // Ends the record: trailing blanks and line ends of the format up to its
    // next data descriptor are written, then the line.
    void end();

private:
    const EditDesc* next_data();
    void put(const std::string& field);
    TextOut& out_;
    Format fmt_;
    std::string line_;
    std::size_t at_ = 0;
    bool ended_ = false;
};

// Reads one record (one or more lines) in a format.
class FormRead {
public:
    FormRead(TextIn& in, std::string_view format);
    ~FormRead();
    FormRead(const FormRead&) = delete;
    FormRead& operator=(const FormRead&) = delete;
    FormRead& i(std::int32_t& v);
    FormRead& r(float& v);
    FormRead& r(double& v);
    // A or Aw into a text of its declared length (t.size()).
    FormRead& a(std::string& t);
    // Ends the record; the rest of the last line read is skipped. A record
    // with no items still takes one line.
    RecStatus end();
    RecStatus status() const { return status_; }

private:
    template <class T>
    FormRead& real(T& v);
    const EditDesc* next_data();
    bool fetch();
    std::string_view take(int w);
    TextIn& in_;
    Format fmt_;
    std::string_view line_;
    std::size_t col_ = 0;
    std::size_t at_ = 0;
    bool have_line_ = false;
    bool ended_ = false;
    RecStatus status_ = RecStatus::Ok;
};

// Reads one free-format record.
class FreeRead {
public:
    explicit FreeRead(TextIn& in) : in_(in) {}
    ~FreeRead();
    FreeRead(const FreeRead&) = delete;
    FreeRead& operator=(const FreeRead&) = delete;
    FreeRead& i(std::int32_t& v);
    FreeRead& r(float& v);
    FreeRead& r(double& v);
    // n integers or reals into v[0..n-1], as n calls of i(v[k]) or r(v[k])
    // read them.
    FreeRead& i(std::int32_t* v, int n);
    FreeRead& r(float* v, int n);
    // n pairs of an integer and a real into iv[k] and fv[k], as n calls of
    // i(iv[k]).r(fv[k]) read them.
    FreeRead& pairs(std::int32_t* iv, float* fv, int n);
    // One value as text, into a text of its declared length.
    FreeRead& a(std::string& t);
    RecStatus end();
    RecStatus status() const { return status_; }
    // Items read and stored so far.
    int items() const { return items_; }
    // The line the last item came from (empty before the first).
    std::string_view line() const { return line_; }

private:
    template <class T, class Convert>
    FreeRead& item(T& v, Convert convert);
    bool token(std::string_view& tok);
    // The next line of the record; false (status End) at the end of the file.
    bool fetch_line();
    // Finds where the next items of the line (up to ItemsFound and a few
    // more) begin and end, from col_ on, in one pass: reading an item then
    // does not wait on where the one before it ended.
    void find_items();
    // True when the next item lies on the current line and has been found.
    bool item_ready();
    // n items, each taken by fast(text, length, k) where it can, else by
    // slow(k): the run-reading calls.
    template <class Fast, class Slow>
    FreeRead& run(int n, Fast fast, Slow slow);
    static constexpr int ItemsFound = 64;
    TextIn& in_;
    std::string_view line_;
    std::size_t col_ = 0;
    bool have_line_ = false;
    bool fetched_ = false;
    bool ended_ = false;
    int items_ = 0;
    RecStatus status_ = RecStatus::Ok;
    int next_item_ = 0, items_found_ = 0;
    // Columns of the items found (the end one past the last character);
    // a block of 64 characters adds at most 32 beyond ItemsFound, and the
    // search writes up to 8 past what it finds.
    std::uint32_t item_begin_[ItemsFound + 40];
    std::uint32_t item_end_[ItemsFound + 40];
};

// Writes one free-format record on one line.
class FreeWrite {
public:
    explicit FreeWrite(TextOut& out) : out_(out) {}
    ~FreeWrite();
    FreeWrite(const FreeWrite&) = delete;
    FreeWrite& operator=(const FreeWrite&) = delete;
    FreeWrite& i(long long v);
    FreeWrite& r(float v);
    FreeWrite& r(double v);
    FreeWrite& a(std::string_view t);
    void end();

private:
    TextOut& out_;
    std::string line_;
    bool ended_ = false;
};

// A value written into a text with a format (an internal write); the first
// line of the record.
std::string format_text(std::string_view format, double v);
std::string format_text(std::string_view format, long long v);

// ---- errors ----

// Where application input and file errors go. The main program points this at
// a message box for interactive runs; until then, and in batch runs, the text
// goes to standard error.
using AppErrorSink = void (*)(std::string_view message);
void app_set_error_sink(AppErrorSink sink);
void app_input_error(std::string_view message);
// "input error in <file>, line <n>" with what was expected.
void app_read_error(const TextIn& in, RecStatus st, std::string_view what);
// "input error in file <file>, line <n>: <why>", the line left out before
// the first line was read.
void app_file_error(const TextIn& in, std::string_view why);
void app_file_error(const std::string& file, long line, std::string_view why);
// "<action> file <file>: <reason>" for a file that could not be opened,
// created or written, with the system's reason ("cannot read",
// "cannot create", "cannot write").
void app_io_error(std::string_view action, const TextIn& in);
void app_io_error(std::string_view action, const TextOut& out);

// ---- names ----
// Names are the program's text (Windows-1252); the program's own text files
// (the settings file) and the command line hold them as UTF-8, as the
// system does. A name read from there is taken only when every character
// is one the program's text has: the result is empty then, else why not (a
// character it lacks, or bytes that are not UTF-8), with the name empty.
std::string name_from_utf8(std::string_view utf8, std::string& name);
// A name as the system and the program's text files spell it (UTF-8).
std::string name_to_utf8(std::string_view name);

// ---- fields of a line ----
// The fields of a line are its runs of non-blank characters (only the blank
// separates fields). A field's text runs from its first character to just
// before the last blank that precedes the next field; the last field ends at
// the line's trimmed end. Positions are 1-based.

// Start and end of field n of the first l characters of the line; ib and ie
// are left unchanged when the line has fewer than n fields.
void argstr(int n, std::string_view line, int& ib, int& ie, int l);
void argstr(int n, std::string_view line, int& ib, int& ie);
// Number of fields of the line.
int nveld(std::string_view line, int l);
int nveld(std::string_view line);
// Field n read as a real number (Fw.0 of its width). False, with value
// unchanged, when the line has no field n or the field is not a number.
bool datstr(int n, std::string_view line, float& value, int l);
bool datstr(int n, std::string_view line, float& value);
// A real number from a dialog text: the first comma becomes a full stop (in
// the caller's text); an empty text leaves value unchanged with ierr 0; a
// text that is not a number gives ierr 1 and leaves value unchanged.
void waarde(std::string& text, float& value, int& ierr, int l);
void waarde(std::string& text, float& value, int& ierr);
// Field n of the command line (the arguments after the program's name, cut
// to 80 characters) into word (80 characters, blank-padded).
void argv(std::string& word, int n);
// The same for a given command-line text.
void argv_of(std::string_view cmdline, std::string& word, int n);
// Lower-cases A..Z up to the trimmed end.
void small(std::string& text);
void small(std::string& text, int l);
void gettime(int& hour, int& minute, int& second, int& hundredths);
void getdat(int& month, int& day, int& year);
