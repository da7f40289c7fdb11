// Loading files into an editor: 20 MB of plain text and 2 MB of RTF, each
// from disk through the editor's own open routine into the rich-edit control.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_start.h"
#include "lib/grid/editor.h"
#include "platform/os_dialog.h"
#include "platform/os_richedit.h"
#include "platform/os_rtf.h"
#include "platform/os_window.h"

namespace {

std::intptr_t frame_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return os_def_window_proc(w, m, wp, lp);
}

std::string text_of_size(std::size_t bytes) {
    std::string s;
    s.reserve(bytes + 100);
    for (int line = 0; s.size() < bytes; ++line)
        s += "Node " + std::to_string(line) + "\t12.50\t-3.25\tgroundwater head and flux of the model layer\r\n";
    return s;
}

std::string rtf_of_size(std::size_t bytes) {
    osrtf::Document d;
    d.fonts = {osrtf::Font{"Arial", 0, osrtf::FamilySwiss}};
    d.colours = {osrtf::Colour{}, osrtf::Colour{200, 0, 0}};
    std::size_t size = 0;
    for (int line = 0; size < bytes; ++line) {
        osrtf::Paragraph p;
        p.fmt.align = line % 3 == 0 ? osrtf::AlignCentre : osrtf::AlignLeft;
        osrtf::CharFormat plain, bold;
        bold.bold = true;
        bold.colour = 1;
        p.runs = {{"Well " + std::to_string(line) + " ", bold}, {"pumping rate 120 m3/d, screen 10-25 m below ground", plain}};
        size += 110;
        d.paras.push_back(std::move(p));
    }
    return osrtf::write(d);
}

struct Editor {
    OsWindow frame = 0;
    EditorWindowData* rec = nullptr;
    Editor() {
        os_register_controls();
        OsWndClass c;
        c.name = "BENCHEDFRAME";
        c.proc = frame_proc;
        if (!os_class_atom(c.name)) os_register_class(c);
        frame = os_create_window(0, "BENCHEDFRAME", "Ed", OS_WS_CAPTION, 0, 0, 600, 400, 0, 0, 0);
        const OsWindow re = os_create_window(0, "RichEdit20A", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_HSCROLL | OS_ES_MULTILINE,
                                             0, 0, 580, 380, frame, 0, 1002);
        os_send_message(re, OS_EM_EXLIMITTEXT, 0, 104857500);
        wtab.wWindow[1] = frame;
        rec = yyeditattach(frame, re, EWF_RICHTEXT | EWF_READONLY);
    }
    ~Editor() {
        yyeditdetach(frame);
        os_destroy_window(frame);
        wtab.wWindow[1] = 0;
    }
};

void load(benchmark::State& state, const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    Editor ed;
    std::snprintf(ed.rec->szFileName, sizeof ed.rec->szFileName, "%s", path.c_str());
    for (auto _ : state) {
        if (yyEditOpenFile(ed.frame, 1) != 1) state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * content.size()));
    std::filesystem::remove(path);
}

void BM_LoadText20MB(benchmark::State& state) { load(state, "quinda_bench_20mb.txt", text_of_size(20u << 20)); }
void BM_LoadRtf2MB(benchmark::State& state) { load(state, "quinda_bench_2mb.rtf", rtf_of_size(2u << 20)); }

}  // namespace

BENCHMARK(BM_LoadText20MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadRtf2MB)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
