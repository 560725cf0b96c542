// The house stays as drawn: no #include in src/ runs up the layer order, and the folders of one
// layer include none of each other's headers. Run with a folder to check another tree's src/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path sourceTree = DORVANE_SOURCE_TREE;

// The level of each folder (or file directly in src/) in "platform|data|...|a b c|main.cpp".
std::map<std::string, int> levels(const std::string& order) {
    std::map<std::string, int> level;
    std::istringstream layers(order);
    std::string layer;
    for (int n = 0; std::getline(layers, layer, '|'); ++n) {
        std::istringstream names(layer);
        for (std::string name; names >> name;)
            level[name] = n;
    }
    return level;
}

TEST(Layers, NoIncludeRunsUpTheOrderOrAcrossALayer) {
    const std::map<std::string, int> level = levels(DORVANE_LAYERS);
    ASSERT_TRUE(fs::is_directory(sourceTree)) << sourceTree;
    // Only includes that name a folder of src/: a bare name is the file's own folder or generated.
    const std::regex include(R"(^\s*#\s*include\s*"([^"/]+)/[^"]*")");
    int files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sourceTree)) {
        const fs::path ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        ++files;
        const fs::path relative = fs::relative(entry.path(), sourceTree);
        const std::string file = "src/" + relative.generic_string();
        const std::string own = relative.begin()->string();
        if (!level.count(own)) {
            ADD_FAILURE() << file << ": " << own << " has no place in the layer order";
            continue;
        }
        std::ifstream in(entry.path());
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            std::smatch m;
            if (!std::regex_search(line, m, include) || m[1] == own) continue;
            const std::string other = m[1];
            const std::string where = file + ":" + std::to_string(number) + ": " + line;
            const auto their = level.find(other);
            if (their == level.end())
                ADD_FAILURE() << where << "\n  " << other << " has no place in the layer order";
            else if (their->second > level.at(own))
                ADD_FAILURE() << where << "\n  runs up the order: " << own << " stands below " << other;
            else if (their->second == level.at(own))
                ADD_FAILURE() << where << "\n  reaches across: " << own << " and " << other
                              << " stand side by side";
        }
    }
    EXPECT_GT(files, 0) << "no source files under " << sourceTree;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) sourceTree = argv[1];
    return RUN_ALL_TESTS();
}
