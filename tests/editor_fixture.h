// The level editor's test fixture: scene points of the controls, pointer and key helpers, and a fresh
// working directory with an empty "Levels Packs" folder per test, as tles has.
#pragma once

#include "editor/editor.h"
#include "levelpack/safefile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

// Each test file gets its own copy of these helpers.
namespace {

// Scene points of the controls.
struct Point {
    double x, y;
};
Point buttonAt(const Editor& ed, int index) { return {ed.buttons[index].x, ed.buttons[index].y}; }
Point cellAt(int row, int column) { return {3.5 * column - 17.5, 24.5 - 2.1 * row}; }
Point swatchAt(int code) { return {swatchX(code), swatchY(code)}; }

void leftAt(Editor& ed, Point p)
{
    updateHover(ed, p.x, p.y);
    pressLeft(ed);
}
void rightAt(Editor& ed, Point p)
{
    updateHover(ed, p.x, p.y);
    pressRight(ed);
}
void press(Editor& ed, int button) { leftAt(ed, buttonAt(ed, button)); }
void type(Editor& ed, const char* keys)
{
    for (const char* k = keys; *k; ++k) {
        pressKey(ed, static_cast<unsigned char>(*k));
    }
}
const char* typed(const Editor& ed) { return ed.buttons[NameFieldButton].label; }

// Each test runs in a fresh working directory holding an empty "Levels Packs" folder, as tles does.
class EditorTest : public ::testing::Test {
protected:
    fs::path dir;
    fs::path previous;
    Editor ed;

    void SetUp() override
    {
        previous = fs::current_path();
        dir = fs::temp_directory_path() / ("editor_test_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "Levels Packs");
        fs::current_path(dir);
        initEditor(ed);
    }
    void TearDown() override
    {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    // Creates "Levels Packs/<name>.tlp" with count levels through the form and opens level 1.
    void createThroughForm(const char* name, int count)
    {
        press(ed, NewPackButton);
        for (int i = 1; i < count; ++i) {
            press(ed, MoreButton);
        }
        press(ed, NameFieldButton);
        type(ed, name);
        press(ed, CreateButton);
    }
    // A pack no write may change, whoever runs the test (the superuser too), or one writable again.
    static void setReadOnly(const std::string& path, bool readOnly)
    {
        fs::permissions(path, readOnly ? fs::perms(0444) : fs::perms(0644));
    }
    // Whether a write left a scratch file in folder.
    static bool scratchLeft(const std::string& folder = "Levels Packs")
    {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().find(SCRATCH_MARK) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

}   // namespace
