// Every fuzz target's committed corpus replayed as a plain test, so inputs
// that once found a fault stay covered in every build.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/records.h"
#include "tests/support/quinda_test.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

const char* const target_names[] = {"model",   "settings", "delrc",          "bln2dxf",  "records",
                                    "numbers", "resources", "settings_store", "bytefile", "maplayers",
                                    "images",  "metafile", "rtf", "flowlines", "rivers", "profile", "metafile_load", "companion", "startup", "grid", "editor"};

void quiet(std::string_view) {}

// Fresh state; the readers' reports of bad input are expected and dropped.
class FuzzCorpusTest : public QuindaTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        app_set_error_sink(quiet);
    }
    void TearDown() override { app_set_error_sink(nullptr); }
};

TEST_P(FuzzCorpusTest, ReplaysItsCorpus) {
    const std::string name = GetParam();
    const auto& targets = fuzz_targets();
    const auto it = std::find_if(targets.begin(), targets.end(), [&](const auto& t) { return t.first == name; });
    ASSERT_NE(it, targets.end()) << "no fuzz target " << name;
    const std::filesystem::path dir = std::filesystem::path(QUINDA_TEST_DATA) / "corpus" / name;
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(dir))
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no corpus for " << name;
    for (const auto& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::string bytes = read_file(f.string());
        it->second(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpusTest, ::testing::ValuesIn(target_names),
                         [](const auto& info) { return std::string(info.param); });

// A target added to this folder is replayed too.
TEST(FuzzCorpus, EveryTargetIsReplayed) {
    for (const auto& t : fuzz_targets())
        EXPECT_NE(std::find(std::begin(target_names), std::end(target_names), t.first), std::end(target_names))
            << t.first;
}

}  // namespace
